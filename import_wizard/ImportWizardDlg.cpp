#include "ImportWizardDlg.h"

#include "ImportConfirmDlg.h"
#include "ImportOfferDlg.h"
#include "ProjectFileCopy.h"
#include "WizardStart.h"
#include "resource.h"

#include <cstdlib>
#include <cstring>

BEGIN_MESSAGE_MAP(CImportWizardDlg, CDialog)
    ON_BN_CLICKED(IDC_WIZARD_IMPORT, &ThisClass::OnImport)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_MESSAGE(UM_SHOW_MESSAGE_BOX, &ThisClass::OnShowMessageBox)
END_MESSAGE_MAP()

namespace {

const char kOfferMessage[] =
    "Zentrova 3.0 has detected that there was an older version of Zentrova installed on this computer.\n"
    "Zentrova 3.0 can import your previously downloaded patent files and folders to avoid losing this data. "
    "Do you want Zentrova 3.0 to import the Zentrova 2.0 patent files and folders?";

// Waits until the thread has ended, handling meanwhile what other threads send to this one:
// a message the thread sent a moment before the windows went would otherwise hold it.
void WaitForThreadEnd(HANDLE hThread)
{
    while (::MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

CImportWizardDlg::CImportWizardDlg(const CString& commandLine, CWnd* pParent)
    : CDialog(IDD_IMPORT_WIZARD, pParent), m_strCommandLine(commandLine)
{
    m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CImportWizardDlg::~CImportWizardDlg()
{
    // The scan thread works on this object, so the object outlives it: the scan stops at its
    // next folder, and an import under way finishes its copy (which no time limit may cut
    // short). Once the windows are gone, what the thread still tells them is dropped.
    StopSearch();
    if (m_hWnd)
        DestroyWindow();
    if (m_hScanThread) {
        WaitForThreadEnd(m_hScanThread);
        ::CloseHandle(m_hScanThread);
    }
}

void CImportWizardDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WIZARD_ANIMATION, m_Animation);
    DDX_Control(pDX, IDC_WIZARD_IMPORT, m_ImportButton);
    DDX_Control(pDX, IDC_WIZARD_INSTRUCTION, m_Instruction);
    DDX_Control(pDX, IDC_WIZARD_FOUND_LIST, m_FoundList);
    DDX_Control(pDX, IDC_WIZARD_SEARCH_TEXT, m_SearchText);
}

BOOL CImportWizardDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    const ImportCommandLine line = ParseImportCommandLine(m_strCommandLine);
    // The user declines: the wizard ends at once.
    if (!line.bHasToken) {
        CImportOfferDlg offer(this);
        offer.m_strMessage = kOfferMessage;
        offer.m_strYes = "Yes  (Recommended)";
        offer.m_strNo = "No";
        if (offer.DoModal() != IDOK)
            std::exit(0);
    } else {
        CImportConfirmDlg confirm(this);
        if (confirm.DoModal() != IDOK)
            std::exit(0);
    }

    m_Animation.Open(IDR_SEARCH_ANIMATION);
    m_Animation.Play(0, 0xFFFF, static_cast<UINT>(-1));

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_strDestination = line.strDestination;
    m_ImportButton.ShowWindow(SW_HIDE);
    // Without a folder to import into there is nothing to search for: the wizard ends as
    // soon as its message loop runs.
    if (!line.bHasMarker)
        ::PostQuitMessage(0);
    else
        m_hScanThread = ::CreateThread(nullptr, 0, ScanThreadProc, this, 0, nullptr);

    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

void CImportWizardDlg::OnOK()
{
}

DWORD WINAPI CImportWizardDlg::ScanThreadProc(LPVOID pParam)
{
    try {
        static_cast<CImportWizardDlg*>(pParam)->RunScan();
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return 0;
}

void CImportWizardDlg::RunScan()
{
    ScanDrives();
    if (IsStopped())
        return;
    m_SearchText.SetWindowText("Search Finished");
    m_Animation.Stop();

    if (m_FoundList.GetCount() == 0) {
        m_Instruction.SetWindowText("No search results found.");
        ShowMessageBox("No previous installation of Zentrova 2.0 was found.", "Import wizard",
                       MB_OK | MB_ICONINFORMATION);
        EndWizard();
        return;
    }
    // The instruction first: the OK button appears with the words that say what it does.
    m_Instruction.SetWindowText("Please select your current installation of Zentrova2 from the list and click OK");
    m_ImportButton.ShowWindow(SW_SHOW);
    if (m_FoundList.GetCount() == 1) {
        m_FoundList.SetCurSel(0);
        OnImport();
    }
}

void CImportWizardDlg::OnSearchText(const CString& text)
{
    m_SearchText.SetWindowText(text);
}

void CImportWizardDlg::OnProjectFileFound(const CString& path)
{
    m_FoundList.AddString(path);
}

void CImportWizardDlg::OnImport()
{
    const int nSelected = m_FoundList.GetCurSel();
    if (nSelected < 0)
        return;
    CString source;
    m_FoundList.GetText(nSelected, source);
    if (::GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES)
        return;
    // One import only, whether the scan thread's single hit or the user's OK came first.
    if (m_bImportStarted.exchange(true))
        return;

    if (ReplaceProjectFile(source, m_strDestination))
        ShowMessageBox("Zentrova2 Projects have been successfully imported into Zentrova v3", "Success",
                       MB_OK | MB_ICONINFORMATION);
    else
        ShowMessageBox("Failed to copy file", AfxGetAppName(), MB_OK);

    if (!IsFirstTimeValueSet() && m_strDestination.Find(kImportToken) < 0)
        WriteRegistryString("Settings", "FirstTime", "1");
    EndWizard();
}

void CImportWizardDlg::EndWizard()
{
    PostMessage(WM_COMMAND, IDCANCEL, 0);
}

int CImportWizardDlg::ShowMessageBox(const char* lpszText, const char* lpszCaption, UINT nType)
{
    // Every window of the wizard, its message boxes too, belongs to the user-interface
    // thread; the scan thread waits here until the box is closed.
    WizardMessageBox box{lpszText, lpszCaption, nType};
    return static_cast<int>(SendMessage(UM_SHOW_MESSAGE_BOX, 0, reinterpret_cast<LPARAM>(&box)));
}

LRESULT CImportWizardDlg::OnShowMessageBox(WPARAM /*wParam*/, LPARAM lParam)
{
    const auto* pBox = reinterpret_cast<const WizardMessageBox*>(lParam);
    return ::MessageBoxA(m_hWnd, pBox->lpszText, pBox->lpszCaption, pBox->nType);
}

void CImportWizardDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    CRect rc;
    GetClientRect(&rc);
    dc.DrawIcon((rc.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2,
                (rc.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2, m_hIcon);
}

HCURSOR CImportWizardDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

// ---------------------------------------------------------------- registry

BOOL CImportWizardDlg::IsFirstTimeValueSet()
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return FALSE;
    for (const char* name : {"Quendal LLC", "Zentrova", "Settings"}) {
        HKEY hNext = nullptr;
        const LONG rc = ::RegOpenKeyExA(hKey, name, 0, KEY_READ, &hNext);
        ::RegCloseKey(hKey);
        if (rc != ERROR_SUCCESS)
            return FALSE;
        hKey = hNext;
    }
    const LONG rc = ::RegQueryValueExA(hKey, "FirstTime", nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

void CImportWizardDlg::WriteRegistryString(const char* lpszSubKey, const char* lpszValueName, const char* lpszValue)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE, &hKey) != ERROR_SUCCESS)
        return;
    for (const char* name : {"Quendal LLC", "Zentrova", lpszSubKey}) {
        HKEY hNext = nullptr;
        const LONG rc = ::RegCreateKeyExA(hKey, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                          &hNext, nullptr);
        ::RegCloseKey(hKey);
        if (rc != ERROR_SUCCESS)
            return;
        hKey = hNext;
    }
    ::RegSetValueExA(hKey, lpszValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                     static_cast<DWORD>(std::strlen(lpszValue) + 1));
    ::RegCloseKey(hKey);
}
