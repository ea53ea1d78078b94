#include "ZentrovaApp.h"

#include "NewMenu.h"
#include "PageImageLock.h"
#include "ProgressLog.h"
#include "Splash.h"
#include "StartupPortal.h"
#include "TraceLine.h"
#include "ZentrovaDlg.h"
#include "resource.h"

#include <commctrl.h>

#include <cstring>

BEGIN_MESSAGE_MAP(CZentrovaApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// The one application object.
CZentrovaApp theApp;

namespace {

const char kLogPrefix[] = "CZentrova::InitInstance-";

bool HasCookie(const CString& headers)
{
    return headers.Find("Set-Cookie") >= 0;
}

} // namespace

CZentrovaApp::CZentrovaApp() = default;

CString CZentrovaApp::FetchStartupHeaders()
{
    return ::FetchStartupHeaders();
}

BOOL CZentrovaApp::InitInstance()
{
    // The switch counts anywhere in the command line, program path included, in capitals.
    const bool bMinimized = std::strstr(::GetCommandLineA(), "SW_MINIMIZE") != nullptr;

    if (!AfxSocketInit()) {
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED, MB_OK);
        return FALSE;
    }

    CProgressLog log;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    log.Write(FormatLogHeader(now));
    SetTraceSink(TraceToProgressLog);

    // The portal's cookies stay in the process's cookie store for the file-wrapper library.
    m_strStartupHeaders = FetchStartupHeaders();
    log.Write("**Grabbing Set-Cookie info for Wrapper Dll");
    if (!HasCookie(m_strStartupHeaders)) {
        m_strStartupHeaders = FetchStartupHeaders();
        log.Write("**Grabbing Set-Cookie info for Wrapper Dll (2nd Attempt)");
        if (!HasCookie(m_strStartupHeaders)) {
            m_strStartupHeaders = FetchStartupHeaders();
            log.Write("**Grabbing Set-Cookie info for Wrapper Dll (3rd Attempt");
        }
    }

    ::InitCommonControls();

    // The first instance holds the mutex until it ends; a second one ends without a word.
    HANDLE hMutex = ::CreateMutexA(nullptr, TRUE, "Zentrova3");
    if (hMutex && ::GetLastError() == ERROR_ALREADY_EXISTS)
        return FALSE;

    CWinApp::InitInstance();
    AfxEnableControlContainer();
    ::CoInitialize(nullptr);

    CNewMenu::SetMenuTheme(2);
    CNewMenu::SetIconDrawFlag(FALSE);

    SetRegistryKey("Quendal LLC");

    try {
        ::InitializeCriticalSection(&g_PageImageLock);
    } catch (...) {
        ::MessageBoxA(nullptr, "Exception while creating Critical sec\r\nPlease report this to product support team",
                      "Exception", MB_OK);
        log.Write(CString(kLogPrefix) + "Exception while creating Critical sec");
    }

    if (!bMinimized) {
        CSplash splash;
        splash.DoModal();
        log.Write(CString(kLogPrefix) + "Splash Screen displayed successfully");
    }

    log.Write(CString(kLogPrefix) + "Loading CZentrovaDlg");
    {
        CZentrovaDlg dlg;
        dlg.SetStartMinimized(bMinimized);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

int CZentrovaApp::ExitInstance()
{
    ::CoUninitialize();
    return CWinApp::ExitInstance();
}
