#include "ImportWizardApp.h"

#include "ImportWizardDlg.h"
#include "WizardStart.h"

#include <commctrl.h>

#include <cstdlib>

BEGIN_MESSAGE_MAP(CImportWizardApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// The one application object.
CImportWizardApp theApp;

namespace {

const char kMutexName[] = "Pimo";

} // namespace

CImportWizardApp::CImportWizardApp() = default;

BOOL CImportWizardApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&controls);

    // Another wizard runs: this one ends without a word. Two started at the same moment
    // both miss the other's mutex; the one that did not create it ends too.
    if (HANDLE hOther = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName)) {
        ::CloseHandle(hOther);
        std::exit(0);
    }
    m_hMutex = ::CreateMutexA(nullptr, TRUE, kMutexName);
    if (m_hMutex && ::GetLastError() == ERROR_ALREADY_EXISTS)
        std::exit(0);

    const CString commandLine = ::GetCommandLineA();
    if (commandLine.Find(kImportToken) < 0 && !OldInstallationExists())
        std::exit(0);

    {
        CImportWizardDlg dlg(commandLine);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

int CImportWizardApp::ExitInstance()
{
    if (m_hMutex) {
        ::ReleaseMutex(m_hMutex);
        ::CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
    return CWinApp::ExitInstance();
}
