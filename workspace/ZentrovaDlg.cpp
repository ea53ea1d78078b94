#include "ZentrovaDlg.h"

#include "About.h"
#include "DataFileSaves.h"
#include "DataFiles.h"
#include "FileFind.h"
#include "FolderPicker.h"
#include "FirstRun.h"
#include "ImportedRecords.h"
#include "MessageBox.h"
#include "NewMenuHook.h"
#include "OpsTokenCache.h"
#include "ProgressLog.h"
#include "Preferences.h"
#include "RecipeFile.h"
#include "StepGuard.h"
#include "TechSupport.h"
#include "TextHelpers.h"
#include "resource.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <mutex>
#include <stdexcept>

BEGIN_MESSAGE_MAP(CZentrovaDlg, CNewDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(IDOK, &CZentrovaDlg::OnExit)
    ON_COMMAND(ID_FILE_EXIT, &CZentrovaDlg::OnExit)
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_COMMAND(IDC_PROJECTS_BUTTON, &CZentrovaDlg::OnProjects)
    ON_COMMAND(IDC_SEARCH_BUTTON, &CZentrovaDlg::OnSearch)
    ON_COMMAND_RANGE(ID_SEARCH_BASIC, ID_SEARCH_BASIC, &CZentrovaDlg::OnSearchPage)
    ON_COMMAND_RANGE(ID_SEARCH_ADVANCED, ID_SEARCH_RESULTS, &CZentrovaDlg::OnSearchPage)
    ON_COMMAND_RANGE(ID_SEARCH_REPORT, ID_SEARCH_REPORT, &CZentrovaDlg::OnSearchPage)
    ON_COMMAND_RANGE(ID_SEARCH_SAVED_REPORT, ID_SEARCH_SAVED_REPORT, &CZentrovaDlg::OnSearchPage)
    ON_COMMAND(ID_SEARCH_COPY_RESULTS, &CZentrovaDlg::OnCopySearchResults)
    ON_UPDATE_COMMAND_UI(ID_SEARCH_COPY_RESULTS, &CZentrovaDlg::OnUpdateCopySearchResults)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_NCCALCSIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_GETMINMAXINFO, &CZentrovaDlg::OnGetMinMaxInfo)
    ON_COMMAND(ID_HELP_ABOUT, &CZentrovaDlg::OnAbout)
    ON_COMMAND(ID_HELP_TECH_SUPPORT, &CZentrovaDlg::OnTechSupport)
    ON_COMMAND_RANGE(ID_LINK_OVERVIEW, ID_LINK_MANAGEMENT, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_HELP_COUNTRY_CODES, ID_HELP_COUNTRY_CODES, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_HELP_CHECK_UPDATES, ID_HELP_CHECK_UPDATES, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_HELP_PDF_READER, ID_HELP_PDF_READER, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_LINK_WEBSITE_1, ID_LINK_WEBSITE_1, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_LINK_WEBSITE_2, ID_LINK_WEBSITE_2, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_RESULTS_ADD_TO_REPORT, ID_RESULTS_ADD_TO_REPORT, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_LINK_WEBSITE_5, ID_LINK_WEBSITE_5, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_LINK_WEBSITE_4, ID_LINK_WEBSITE_4, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_LINK_EXTRA_1, ID_LINK_EXTRA_1, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_LINK_EXTRA_2, ID_LINK_EXTRA_2, &CZentrovaDlg::OnWebLink)
    ON_COMMAND_RANGE(ID_TREE_DELETE_FOLDER, ID_TREE_RENAME_FOLDER, &CZentrovaDlg::OnFolderCommand)
    ON_COMMAND(ID_FOLDER_RENAME, &CZentrovaDlg::OnRenameFolder)
    ON_COMMAND(ID_FOLDER_DELETE, &CZentrovaDlg::OnDeleteFolder)
    ON_UPDATE_COMMAND_UI(ID_TREE_INSERT_FOLDER, &CZentrovaDlg::OnUpdateInsertFolder)
    ON_UPDATE_COMMAND_UI(ID_TREE_DELETE_FOLDER, &CZentrovaDlg::OnUpdateTreeFolderCommand)
    ON_UPDATE_COMMAND_UI(ID_TREE_RENAME_FOLDER, &CZentrovaDlg::OnUpdateTreeFolderCommand)
    ON_UPDATE_COMMAND_UI(ID_FOLDER_RENAME, &CZentrovaDlg::OnUpdateRenameOrDeleteFolder)
    ON_UPDATE_COMMAND_UI(ID_FOLDER_DELETE, &CZentrovaDlg::OnUpdateRenameOrDeleteFolder)
    ON_COMMAND_RANGE(ID_PATENTS_COPY_TO_CLIPBOARD, ID_PATENTS_UNLINK, &CZentrovaDlg::OnDocumentCommand)
    ON_COMMAND_RANGE(ID_FILE_DOWNLOAD_ENTIRE, ID_FILE_DOWNLOAD_ENTIRE, &CZentrovaDlg::OnDocumentCommand)
    ON_COMMAND_RANGE(ID_PATENTS_DOWNLOAD_ENTIRE, ID_PATENTS_DOWNLOAD_ENTIRE, &CZentrovaDlg::OnDocumentCommand)
    ON_COMMAND_RANGE(ID_FILE_EMAIL_DOCUMENTS, ID_FILE_EMAIL_DOCUMENTS, &CZentrovaDlg::OnDocumentCommand)
    ON_COMMAND_RANGE(ID_FILE_SAVE_FILES_TO, ID_FILE_SAVE_FILES_TO, &CZentrovaDlg::OnDocumentCommand)
    ON_UPDATE_COMMAND_UI_RANGE(ID_PATENTS_COPY_TO_CLIPBOARD, ID_PATENTS_UNLINK, &CZentrovaDlg::OnUpdateDocumentCommand)
    ON_UPDATE_COMMAND_UI(ID_FILE_DOWNLOAD_ENTIRE, &CZentrovaDlg::OnUpdateDocumentCommand)
    ON_UPDATE_COMMAND_UI(ID_PATENTS_DOWNLOAD_ENTIRE, &CZentrovaDlg::OnUpdateDocumentCommand)
    ON_COMMAND(ID_FILE_RECOVER_DATABASE, &CZentrovaDlg::OnRecoverDatabase)
    ON_COMMAND(ID_FILE_IMPORT_OLD_VERSION, &CZentrovaDlg::OnImportOldVersionFiles)
    ON_COMMAND(ID_FILE_IMPORT_EXPORT_SESSION, &CZentrovaDlg::OnImportExportSession)
    ON_COMMAND(ID_FILE_IMPORT_FILE_TO_FOLDER, &CZentrovaDlg::OnImportFileToFolder)
    ON_UPDATE_COMMAND_UI(ID_FILE_IMPORT_FILE_TO_FOLDER, &CZentrovaDlg::OnUpdateImportFileToFolder)
    ON_UPDATE_COMMAND_UI(ID_FILE_EMAIL_DOCUMENTS, &CZentrovaDlg::OnUpdateDocumentCommand)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_FILES_TO, &CZentrovaDlg::OnUpdateDocumentCommand)
    ON_COMMAND(ID_TOOLS_PREFERENCES, &CZentrovaDlg::OnPreferences)
    ON_MESSAGE(UM_DATA_FILE_NOTICES, &CZentrovaDlg::OnDataFileNotices)
END_MESSAGE_MAP()

namespace {

const char kLogPrefix[] = "CZentrovaDlg::OnInitDialog()-";

// The web-link commands and the string resources that hold their addresses.
const struct WebLink
{
    UINT nCommand;
    UINT nString;
} kWebLinks[] = {
    {ID_HELP_COUNTRY_CODES, IDS_URL_COUNTRY_CODES},
    {ID_HELP_CHECK_UPDATES, IDS_URL_UPDATES},
    {ID_HELP_PDF_READER, IDS_URL_PDF_READER},
    {ID_LINK_OVERVIEW, IDS_URL_OVERVIEW},
    {ID_LINK_SEARCHES, IDS_URL_SEARCHES},
    {ID_LINK_APPLICATIONS, IDS_URL_APPLICATIONS},
    {ID_LINK_INFRINGEMENT, IDS_URL_INFRINGEMENT},
    {ID_LINK_MANAGEMENT, IDS_URL_MANAGEMENT},
    {ID_LINK_WEBSITE_1, IDS_URL_WEBSITE_1},
    {ID_LINK_WEBSITE_2, IDS_URL_WEBSITE_2},
    {ID_RESULTS_ADD_TO_REPORT, IDS_URL_WEBSITE_3},
    {ID_LINK_WEBSITE_5, IDS_URL_WEBSITE_5},
    {ID_LINK_WEBSITE_4, IDS_URL_WEBSITE_4},
    {ID_LINK_EXTRA_1, IDS_URL_EXTRA_1},
    {ID_LINK_EXTRA_2, IDS_URL_EXTRA_2},
};
const UINT_PTR kClosePollTimer = 1;
const UINT kClosePollMilliseconds = 1000;
const UINT_PTR kWizardWatchTimer = 2;
const UINT kWizardWatchMilliseconds = 500;

// The notices about the data files that wait for the main window's thread. A writer on any
// thread queues its notice and wakes the window; the texts are copied whole, so that no
// string is shared between threads.
struct WaitingNotice
{
    CString path;
    CString caption;
    CString text;
};
std::mutex g_noticeLock;
std::deque<WaitingNotice> g_notices;
HWND g_hNoticeWindow = nullptr;

void QueueNotice(const CString& path, const CString& caption, const CString& text)
{
    HWND hWindow;
    {
        std::lock_guard<std::mutex> hold(g_noticeLock);
        g_notices.push_back({CString(path.GetString()), CString(caption.GetString()), CString(text.GetString())});
        hWindow = g_hNoticeWindow;
    }
    if (hWindow)
        ::PostMessageA(hWindow, UM_DATA_FILE_NOTICES, 0, 0);
}

bool NextNotice(WaitingNotice& notice)
{
    std::lock_guard<std::mutex> hold(g_noticeLock);
    if (g_notices.empty())
        return false;
    notice = g_notices.front();
    g_notices.pop_front();
    return true;
}

// The icon strip of the menu bar: bitmap, cell size, then the command of each cell.
const WORD kMenuToolbar[] = {
    IDB_MENU_ICONS, 16, 16,
    ID_LINK_WEBSITE_1, ID_LINK_WEBSITE_2, ID_LINK_EXTRA_1, ID_RESULTS_ADD_TO_REPORT, ID_LINK_WEBSITE_4,
    ID_HELP_ABOUT, ID_TOOLS_PREFERENCES, ID_SEARCH_RESULTS, ID_FILE_EXIT, ID_HELP_CHECK_UPDATES,
    ID_SEARCH_ADVANCED, ID_SEARCH_BASIC, ID_LINK_OVERVIEW, ID_LINK_SEARCHES, ID_LINK_APPLICATIONS,
    ID_LINK_INFRINGEMENT, ID_LINK_MANAGEMENT, ID_LINK_EXTRA_2, ID_HELP_COUNTRY_CODES, ID_HELP_TECH_SUPPORT,
    ID_HELP_PDF_READER, ID_MENU_ICON_SPARE, ID_FILE_EMAIL_DOCUMENTS, ID_TREE_INSERT_FOLDER,
    ID_TREE_DELETE_FOLDER, ID_TREE_RENAME_FOLDER, ID_FILE_IMPORT_FILE_TO_FOLDER, ID_SEARCH_COPY_RESULTS,
    ID_FILE_SAVE_FILES_TO, ID_LINK_WEBSITE_5, 0};

void Log(const CString& line)
{
    CProgressLog().Write(line);
}


// Runs one start-up step; anything it throws is reported in a box and in the log, and the
// start goes on with the next step.
template <class Step>
void Guarded(const char* what, const char* step, Step&& run)
{
    if (!RunStep(run)) {
        ReportStepException(what);
        Log(CString(kLogPrefix) + "Exception while " + step);
    }
}

} // namespace

CString LoadResourceString(UINT nID)
{
    char text[1024] = {};
    int n = ::LoadStringA(AfxGetResourceHandle(), nID, text, sizeof text);
    return n > 0 ? CString(text, n) : CString();
}

int GetWindowsVersionClass()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ::GetVersionExA(&info);
    return CNewMenuHook::VersionClassOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion) + 1;
}

CZentrovaDlg::CZentrovaDlg(CWnd* pParent) : CNewDialog(IDD_ZENTROVA, pParent)
{
    Log("CZentrovaDlg constructor started");
    m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_sizeMinimum = CSize(775, 486);
    Log("CZentrovaDlg constructor ends successfully");
}

CZentrovaDlg::~CZentrovaDlg()
{
    if (m_hImportWizard)
        ::CloseHandle(m_hImportWizard);
    m_ProjectPane.SaveLayout();
    m_Options.Save();
    // No window shows what comes now; the progress log has it.
    std::lock_guard<std::mutex> hold(g_noticeLock);
    g_hNoticeWindow = nullptr;
    g_notices.clear();
}

void CZentrovaDlg::DoDataExchange(CDataExchange* pDX)
{
    CNewDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SEARCH_BUTTON, m_buttonSearch);
    DDX_Control(pDX, IDC_PROJECTS_BUTTON, m_buttonProjects);
}

BOOL CZentrovaDlg::PreTranslateMessage(MSG* pMsg)
{
    return CDialog::PreTranslateMessage(pMsg);
}

int CZentrovaDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    int result = CNewDialog::OnCreate(lpCreateStruct);
    if (HMENU hSystem = ::GetSystemMenu(m_hWnd, FALSE))
        if (!m_SystemNewMenu.m_hMenu)
            m_SystemNewMenu.Attach(hSystem);
    return result;
}

void CZentrovaDlg::CreatePane(CDialog& pane, UINT nIDTemplate, bool bShow)
{
    if (!pane.Create(nIDTemplate, this))
        throw std::runtime_error("the pane could not be created");
    pane.MoveWindow(&m_rectPane);
    pane.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

bool CZentrovaDlg::IsFirstRunStart()
{
    return IsFirstRun();
}

BOOL CZentrovaDlg::OnInitDialog()
{
    Log(CString(kLogPrefix) + "Starts");
    CNewDialog::OnInitDialog();
    {
        std::lock_guard<std::mutex> hold(g_noticeLock);
        g_hNoticeWindow = m_hWnd;
    }
    SetDataFileNoticeHandler(&QueueNotice);

    Guarded("picking new config file", "picking new config file", [this] {
        PickNewConfigFile();
        Log(CString(kLogPrefix) + "newconfig.cfg successfull");
    });

    CMenu* pSystem = GetSystemMenu(FALSE);
    CString about = LoadResourceString(IDS_ABOUTBOX);
    if (pSystem && !about.IsEmpty()) {
        pSystem->AppendMenu(MF_SEPARATOR);
        pSystem->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
    }

    Guarded("Checking for PDF support", "Checking for PDF support", [this] {
        CheckForPDFSupport();
        Log(CString(kLogPrefix) + "CheckForPDFSupport successfull");
    });

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_DefaultNewMenu.LoadToolBar(kMenuToolbar);
    Log(CString(kLogPrefix) + "Menu loaded");

    Guarded("Modifying menus", "Modifying menus",
            [this] { PadMenuForVersion(::GetMenu(m_hWnd), GetWindowsVersionClass()); });

    m_bmpNavStrip.LoadBitmap(IDB_NAV_STRIP);
    m_bmpBanner.LoadBitmap(IDB_BANNER);
    m_bmpGrip.LoadBitmap(IDB_RESIZE_GRIP);
    Log(CString(kLogPrefix) + "Loading button bitmaps");

    m_buttonSearch.LoadBitmap(IDB_SEARCH_BUTTON);
    m_buttonSearch.SetWindowPos(nullptr, 23, 30, 84, 29, SWP_NOZORDER);
    m_buttonProjects.LoadBitmap(IDB_PROJECTS_BUTTON);
    m_buttonProjects.SetWindowPos(nullptr, 23, 1, 84, 29, SWP_NOZORDER);

    Guarded("Getting Client Rect", "Getting Client Rect", [this] {
        GetClientRect(&m_rectClient);
        m_rectPane.SetRect(116, 1, m_rectClient.Width() - 10, m_rectClient.Height() - 10);
    });

    Guarded("creating Project Manager", "creating Project Manager", [this] {
        m_ProjectPane.m_pOptions = &m_Options;
        m_ProjectPane.GetPatentManager().m_pOptions = &m_Options;
        CreatePane(m_ProjectPane, IDD_PROJECT_MANAGER, true);
        Log(CString(kLogPrefix) + "Creation of Project Manager successfull");
    });
    Guarded("creating Search Container", "creating Search Container", [this] {
        CreatePane(m_SearchPane, IDD_SEARCH_CONTAINER, false);
        m_SearchPane.GetResultsPage().m_pDownloadManager = &m_ProjectPane.GetDownloadManager();
        Log(CString(kLogPrefix) + "Creation of Search Container successfull");
    });
    m_SearchPane.m_pOptions = &m_Options;

    Guarded("Loading Project", "Loading Project.cfg", [this] {
        m_ProjectPane.LoadProjectConfig(ResolveDataFilePath("Project.cfg"));
        Log(CString(kLogPrefix) + "Project.cfg loaded successfully");
    });
    Guarded("Refreshing View", "Refreshing View", [this] {
        m_ProjectPane.GetPatentManager().RefreshView("1");
        Log(CString(kLogPrefix) + "Refreshing the view");
    });
    Guarded("Selecting Initializing Folder", "Selecting Initializing Folder", [this] {
        m_ProjectPane.SelectNewDownloads();
        Log(CString(kLogPrefix) + "Folders Initialized");
    });

    m_bLayoutReady = 1;
    SetWindowPos(nullptr, 0, 0, 745, 486, SWP_NOMOVE | SWP_NOZORDER);
    m_ProjectPane.m_bShrinkGuard = true;

    Guarded("Loading Defaults", "Loading Defaults", [this] {
        CProgramOptions options;
        LoadDefaultConfigurations(options, TRUE);
        Log(CString(kLogPrefix) + "Loading default configurations");
    });

    m_hArrow = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    m_hSizing = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZENWSE));
    m_bGripHot = 0;

    Guarded("Setting Active Buttons", "Setting Active Buttons", [this] {
        m_buttonProjects.SetActive(TRUE);
        m_buttonSearch.SetActive(FALSE);
        Log(CString(kLogPrefix) + "Setting Active Buttons");
    });

    Guarded("Checking for imports", "Checking for imports", [this] {
        if (IsFirstRunStart())
            m_ProjectPane.CreateDefaultFolders();
    });

    Log(CString(kLogPrefix) + "Exiting");
    return TRUE;
}

// ---------------------------------------------------------------- start-up steps

namespace {

// The system's text for the error code without its full stop, in brackets after a blank;
// empty when it has none.
CString ErrorInBrackets(DWORD dwError)
{
    char text[512];
    ::SetLastError(dwError);
    CString reason = GetLastErrorText(text, sizeof text);
    reason.TrimRight(" .");
    return reason.IsEmpty() ? CString() : " (" + reason + ")";
}

} // namespace

BOOL CZentrovaDlg::SwapInNewConfigFile(const CString& folder, CString* pMessage)
{
    const CString fresh = folder + "\\NewConfig.cfg";
    const CString current = folder + "\\Download.cfg";
    const CString old = folder + "\\OldConfig.cfg";
    if (pMessage)
        pMessage->Empty();
    if (!::PathFileExistsA(fresh))
        return FALSE;
    CString message;
    // A new recipe that the threads could not read would take the working one with it.
    IXMLDOMDocument2Ptr recipe;
    const RecipeFileState state = LoadRecipeFile(fresh, recipe);
    recipe = nullptr;
    if (state != RecipeFileState::Read) {
        const CString aside = SetDataFileAside(fresh, DataFileFault::Unreadable);
        Log("CZentrovaDlg::PickNewConfigFile-NewConfig.cfg cannot be read; Download.cfg is kept" +
            (aside.IsEmpty() ? CString() : " and the new file set aside as " + aside));
        message = RecipeFileFaultText(state, fresh) +
                  "\nIt did not replace the recipe file Download.cfg, which stays in use." +
                  (aside.IsEmpty() ? CString() : "\nThe new file is kept as\n" + aside);
        if (pMessage)
            *pMessage = message;
        return FALSE;
    }
    // Download.cfg stays whole at every moment: the previous recipe is copied whole into
    // OldConfig.cfg, then NewConfig.cfg takes its place in one rename. A start cut short
    // anywhere leaves a whole Download.cfg, and the next start does the swap again. Without a
    // Download.cfg, OldConfig.cfg keeps the recipe it holds.
    DWORD dwError = 0;
    if (::PathFileExistsA(current) && !CopyDataFile(current, old, &dwError)) {
        Log("CZentrovaDlg::PickNewConfigFile-Download.cfg could not be kept as OldConfig.cfg; the new recipe "
            "waits for the next start");
        message = "The new recipe file\n" + fresh + "\nwas not put in place: the recipe file Download.cfg could not "
                  "be kept as\n" + old + ErrorInBrackets(dwError) + ".";
    } else if (ReplaceDataFile(fresh, current, &dwError)) {
        return TRUE;
    } else {
        Log("CZentrovaDlg::PickNewConfigFile-NewConfig.cfg could not replace Download.cfg; the previous file is kept");
        message = "The new recipe file\n" + fresh + "\ncould not replace the recipe file Download.cfg" +
                  ErrorInBrackets(dwError) + ".";
    }
    if (pMessage)
        *pMessage = message + "\nDownload.cfg stays in use; the new file is put in place at the next start.";
    return FALSE;
}

void CZentrovaDlg::PickNewConfigFile()
{
    CString message;
    SwapInNewConfigFile(GetAppDirectory(), &message);
    if (!message.IsEmpty())
        ::MessageBoxA(m_hWnd, message, AfxGetAppName(), MB_OK | MB_ICONWARNING);
}

void CZentrovaDlg::CheckForPDFSupport()
{
    bool bSupported = false;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, ".pdf", 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
        char name[1001] = {};
        DWORD size = 1000;
        DWORD type = 0;
        if (::RegQueryValueExA(hKey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(name), &size) ==
                ERROR_SUCCESS &&
            name[0]) {
            HKEY hClass = nullptr;
            if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, name, 0, KEY_READ, &hClass) == ERROR_SUCCESS) {
                bSupported = true;
                ::RegCloseKey(hClass);
            }
        }
        ::RegCloseKey(hKey);
    }
    if (bSupported)
        return;
    if (::MessageBoxA(m_hWnd, LoadResourceString(IDS_NO_PDF_READER), "WARNING!",
                      MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK)
        OpenResourceLink(IDS_URL_PDF_READER);
}

void CZentrovaDlg::PadMenuForVersion(HMENU hMenuBar, int versionClass)
{
    auto pad = [hMenuBar](UINT nID, const char* text) {
        ::ModifyMenuA(hMenuBar, nID, MF_BYCOMMAND | MF_STRING, nID, text);
    };
    if (versionClass == 7 || versionClass == 8) {
        pad(ID_FILE_EXIT, "&Exit          ");
        pad(ID_SEARCH_COPY_RESULTS, "&Copy Results To Clipboard          ");
    } else if (versionClass == 4) {
        pad(ID_TOOLS_PREFERENCES, "&Preferences       ");
        pad(ID_HELP_CHECK_UPDATES, "Check For &Updates       ");
    }
}

// ---------------------------------------------------------------- options and placement

void CZentrovaDlg::LoadDefaultConfigurations(CProgramOptions& options, BOOL applyPlacement)
{
    CDownloadManager& queue = m_ProjectPane.GetDownloadManager();
    queue.m_nRetryFailed = options.GetBoolOption("RetryFailedDownloads") ? 1 : 0;
    queue.m_nWaitBetweenAttempts = options.GetIntOption("WaitTimeBetweenAttempts") * 1000;
    queue.m_nAttemptLimit = options.GetIntOption("NumberOfAttemptsBeforeFailure");
    m_ProjectPane.m_bPlaySoundAfterAllDownloads = options.GetBoolOption("PlaySoundAfterAllDownloads");
    m_ProjectPane.m_bPlaySoundAfterDownload = options.GetBoolOption("PlaySoundAfterDownload");
    m_ProjectPane.m_strSoundAfterAllDownloadsPath = options.GetOptionValue("SoundAfterAllDownloadsPath");
    m_ProjectPane.m_strSoundAfterDownloadPath = options.GetOptionValue("SoundAfterDownloadPath");
    m_ProjectPane.m_bPlaySoundAfterError = options.GetBoolOption("PlaySoundAfterError");
    m_ProjectPane.m_strSoundAfterErrorPath = options.GetOptionValue("SoundAfterErrorPath");
    m_ProjectPane.m_nNotifyMode = options.GetIntOption("NotifyOfFinishedDownloadWhen");
    // The user's own OPS registration, when the options hold one, for every token request.
    COpsTokenCache::SetConsumerKeys(options.GetOptionValue("OpsConsumerKey"),
                                    options.GetOptionValue("OpsConsumerSecret"));

    const CString placement = options.GetOptionValue("MainDisplaySize");
    if (applyPlacement)
        ApplyPlacement(placement);

    CPatentManager& list = m_ProjectPane.GetPatentManager();
    list.m_strColumnWidths = options.GetOptionValue("PatentManagerWidths");
    if (list.m_hWnd)
        list.ApplyColumnWidths();
    queue.m_strColumnWidths = options.GetOptionValue("DownloadManagerWidths");
    if (queue.m_hWnd)
        queue.RestoreColumnWidths();
    if (!m_bStartMinimized) {
        CSearchResults& results = m_SearchPane.GetResultsPage();
        results.m_strColumnWidths = options.GetOptionValue("SearchResultWidths");
        if (results.m_hWnd)
            results.SetColumnWidths();
    }
}

void CZentrovaDlg::ApplyPlacement(const CString& placement)
{
    if (placement == "-1") {
        ShowWindow(m_bStartMinimized ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED);
        return;
    }
    WINDOWPLACEMENT wp{};
    if (ParseWindowPlacement(wp, placement)) {
        if (m_bStartMinimized)
            wp.showCmd = SW_MINIMIZE;
        // Stored on another screen, or moved partly off this one: the window comes back
        // whole, its caption and grip within reach. The normal rectangle is in the
        // coordinates of the monitor's work area.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (::GetMonitorInfoA(::MonitorFromRect(&wp.rcNormalPosition, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const CRect work(monitor.rcWork);
            const CRect area(CPoint(monitor.rcMonitor.left, monitor.rcMonitor.top), work.Size());
            wp.rcNormalPosition = FitIntoArea(wp.rcNormalPosition, area);
        }
        SetWindowPlacement(&wp);
        ShowWindow(SW_SHOW);
        GetClientRect(&m_rectClient);
    } else if (m_bStartMinimized) {
        // Without a stored placement the window keeps its size, and still starts minimised.
        ShowWindow(SW_SHOWMINIMIZED);
    }
}

CRect CZentrovaDlg::FitIntoArea(CRect rect, const CRect& area)
{
    if (rect.Width() > area.Width())
        rect.right = rect.left + area.Width();
    if (rect.Height() > area.Height())
        rect.bottom = rect.top + area.Height();
    if (rect.right > area.right)
        rect.OffsetRect(area.right - rect.right, 0);
    if (rect.left < area.left)
        rect.OffsetRect(area.left - rect.left, 0);
    if (rect.bottom > area.bottom)
        rect.OffsetRect(0, area.bottom - rect.bottom);
    if (rect.top < area.top)
        rect.OffsetRect(0, area.top - rect.top);
    return rect;
}

BOOL CZentrovaDlg::ParseWindowPlacement(WINDOWPLACEMENT& placement, CString text)
{
    unsigned flags = 0, show = 0;
    int v[8] = {};
    if (std::sscanf(text, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", &flags, &show, &v[0], &v[1], &v[2], &v[3], &v[4],
                    &v[5], &v[6], &v[7]) != 10)
        return FALSE;
    placement.length = 44;
    placement.flags = flags;
    placement.showCmd = show;
    placement.ptMinPosition = POINT{v[0], v[1]};
    placement.ptMaxPosition = POINT{v[2], v[3]};
    placement.rcNormalPosition = RECT{v[4], v[5], v[6], v[7]};
    return TRUE;
}

CString CZentrovaDlg::PlacementText(WINDOWPLACEMENT wp, BOOL bMinimized)
{
    if (bMinimized)
        wp.showCmd = SW_SHOW;
    if (wp.flags & WPF_RESTORETOMAXIMIZED)
        wp.showCmd = SW_SHOWMAXIMIZED;
    CString text;
    text.Format("%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", wp.flags, wp.showCmd, static_cast<int>(wp.ptMinPosition.x),
                static_cast<int>(wp.ptMinPosition.y), static_cast<int>(wp.ptMaxPosition.x),
                static_cast<int>(wp.ptMaxPosition.y), static_cast<int>(wp.rcNormalPosition.left),
                static_cast<int>(wp.rcNormalPosition.top), static_cast<int>(wp.rcNormalPosition.right),
                static_cast<int>(wp.rcNormalPosition.bottom));
    return text;
}

CString CZentrovaDlg::FormatWindowPlacement()
{
    WINDOWPLACEMENT wp{};
    wp.length = 44;
    if (!::GetWindowPlacement(m_hWnd, &wp))
        return CString();
    return PlacementText(wp, IsIconic());
}

// ---------------------------------------------------------------- the close road

void CZentrovaDlg::StopAllDownloads()
{
    m_ProjectPane.GetDownloadManager().StopAllDownloads();
}

bool CZentrovaDlg::AreDownloadsStopped()
{
    return m_ProjectPane.GetDownloadManager().IsStopped();
}

void CZentrovaDlg::StopSearchThread()
{
    if (m_SearchPane.m_hWnd)
        m_SearchPane.StopSearchThread();
}

bool CZentrovaDlg::IsSearchThreadEnded()
{
    // A pane that never came up has no thread to wait for.
    return !m_SearchPane.m_hWnd || !m_SearchPane.GetSearchThread() || m_SearchPane.IsSearchThreadEnded() != 0;
}

void CZentrovaDlg::OnExit()
{
    StopAllDownloads();
    StopSearchThread();
    if (BothStopped()) {
        OnOK();
        return;
    }
    m_nClosePollTimer = SetTimer(kClosePollTimer, kClosePollMilliseconds);
}

void CZentrovaDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kWizardWatchTimer)
        WatchImportWizard();
    // Only the close road's poll ends the window; other timers never do.
    if (m_nClosePollTimer && nIDEvent == m_nClosePollTimer && BothStopped()) {
        KillTimer(m_nClosePollTimer);
        m_nClosePollTimer = 0;
        OnOK();
    }
    CNewDialog::OnTimer(nIDEvent);
}

void CZentrovaDlg::OnOK()
{
    m_Options.SetOptionValue("MainDisplaySize", FormatWindowPlacement());
    if (m_ProjectPane.GetPatentManager().m_hWnd)
        m_Options.SetOptionValue("PatentManagerWidths", m_ProjectPane.GetPatentManager().GetColumnWidths());
    if (m_ProjectPane.GetDownloadManager().m_hWnd)
        m_Options.SetOptionValue("DownloadManagerWidths", m_ProjectPane.GetDownloadManager().GetColumnWidths());
    if (m_SearchPane.GetResultsPage().m_hWnd)
        m_Options.SetOptionValue("SearchResultWidths", m_SearchPane.GetResultsPage().GetColumnWidths());
    m_Options.Save();

    // What could not be saved is named before the program ends, in one notice.
    CString text;
    if (m_ProjectPane.m_hWnd)
        text = m_ProjectPane.SaveBeforeClose();
    const CString project = CProjectStore::FilePath();
    for (const UnsavedDataFile& file : UnsavedDataFiles()) {
        if (file.path.CompareNoCase(project) == 0)
            continue;
        if (!text.IsEmpty())
            text += "\n\n";
        text += DataFileNotSavedHeading(file.path, file.contents) + "\nWhat was not saved is lost when Zentrova ends.";
    }
    ShowWaitingNotices(true);
    if (!text.IsEmpty())
        ShowNotice(kNotSavedCaption, text);
    {
        std::lock_guard<std::mutex> hold(g_noticeLock);
        g_hNoticeWindow = nullptr;
    }
    EndDialog(IDOK);
}

void CZentrovaDlg::ShowNotice(const CString& caption, const CString& text)
{
    CMessageBox box(this);
    box.m_strCaption = caption;
    box.m_strMessage = text;
    box.DoModal();
}

void CZentrovaDlg::ShowWaitingNotices(bool bClosing)
{
    // A notice shown waits for the user; those that come meanwhile follow it, not over it.
    if (m_bShowingNotices)
        return;
    m_bShowingNotices = true;
    WaitingNotice notice;
    while (NextNotice(notice)) {
        if (bClosing && notice.caption == kNotSavedCaption)
            continue;
        ShowNotice(notice.caption, notice.text);
    }
    m_bShowingNotices = false;
}

LRESULT CZentrovaDlg::OnDataFileNotices(WPARAM, LPARAM)
{
    ShowWaitingNotices();
    return 0;
}

void CZentrovaDlg::OnCancel()
{
    OnExit();
}

void CZentrovaDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    switch (nID & 0xFFF0) {
    case IDM_ABOUTBOX:
        OnAbout();
        break;
    case SC_CLOSE:
        OnExit();
        break;
    default:
        CNewDialog::OnSysCommand(nID, lParam);
        break;
    }
}

// ---------------------------------------------------------------- commands

void CZentrovaDlg::ShowPane(bool bSearch)
{
    if (m_ProjectPane.m_hWnd)
        m_ProjectPane.ShowWindow(bSearch ? SW_HIDE : SW_SHOW);
    if (m_SearchPane.m_hWnd)
        m_SearchPane.ShowWindow(bSearch ? SW_SHOW : SW_HIDE);
    m_buttonSearch.SetActive(bSearch);
    m_buttonProjects.SetActive(!bSearch);
    // The folder commands belong to the project pane's tree while it is the view shown.
    if (m_ProjectPane.GetProjectTree().m_hWnd)
        m_ProjectPane.GetProjectTree().SetFolderCommandsEnabled(bSearch ? 0 : 1);
}

void CZentrovaDlg::OnProjects()
{
    ShowPane(false);
}

void CZentrovaDlg::OnSearch()
{
    if (m_ProjectPane.m_hWnd)
        m_ProjectPane.ShowWindow(SW_HIDE);
    if (m_ProjectPane.GetProjectTree().m_hWnd)
        m_ProjectPane.GetProjectTree().SetFolderCommandsEnabled(0);
    if (m_SearchPane.m_hWnd)
        m_SearchPane.ReloadSearchLocation();
    ShowPane(true);
}

void CZentrovaDlg::OnSearchPage(UINT nID)
{
    CMyPropertySheet& sheet = m_SearchPane.GetSheet();
    const bool bSheet = sheet.m_hWnd != nullptr;
    switch (nID) {
    case ID_SEARCH_REPORT:
    case ID_SEARCH_SAVED_REPORT:
        if (bSheet)
            sheet.SetActivePage(nID == ID_SEARCH_REPORT ? 3 : 4);
        OnSearch();
        break;
    default:
        OnSearch();
        if (bSheet)
            sheet.SetActivePage(nID == ID_SEARCH_BASIC ? 0 : (nID == ID_SEARCH_ADVANCED ? 1 : 2));
        break;
    }
}

void CZentrovaDlg::OnCopySearchResults()
{
    if (m_SearchPane.GetResultsPage().m_bCopyAllowed == 1)
        m_SearchPane.GetResultsPage().OnCopyResultsToClipboard();
}

void CZentrovaDlg::OnUpdateCopySearchResults(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_SearchPane.GetResultsPage().m_bCopyAllowed == 1);
}

void CZentrovaDlg::OnAbout()
{
    CAbout about(this);
    about.DoModal();
}

void CZentrovaDlg::OnTechSupport()
{
    CTechSupport support(this);
    support.DoModal();
}

void CZentrovaDlg::OnPreferences()
{
    CPreferences preferences;
    preferences.m_pProjectManager = &m_ProjectPane;
    preferences.m_pOptions = &m_Options;
    preferences.DoModal();
    // Whatever the dialog ended with: OK saved the options, Cancel read them back.
    LoadDefaultConfigurations(m_Options, FALSE);
}

void CZentrovaDlg::OnWebLink(UINT nID)
{
    for (const WebLink& link : kWebLinks) {
        if (link.nCommand == nID) {
            OpenResourceLink(link.nString);
            return;
        }
    }
}

void CZentrovaDlg::OpenResourceLink(UINT nStringId)
{
    ShellOpen(LoadResourceString(nStringId));
}

void CZentrovaDlg::ShellOpen(const CString& target)
{
    ::ShellExecuteA(m_hWnd, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

void CZentrovaDlg::OnFolderCommand(UINT nID)
{
    CProjectTree& tree = m_ProjectPane.GetProjectTree();
    if (tree.m_hWnd)
        tree.SendMessage(WM_COMMAND, nID, 0);
}

void CZentrovaDlg::OnRenameFolder()
{
    if (m_ProjectPane.GetProjectTree().m_hWnd)
        m_ProjectPane.GetProjectTree().OnCmdRenameFolder();
}

void CZentrovaDlg::OnDeleteFolder()
{
    if (m_ProjectPane.GetProjectTree().m_hWnd)
        m_ProjectPane.GetProjectTree().OnCmdDeleteFolder();
}

void CZentrovaDlg::OnUpdateInsertFolder(CCmdUI* pCmdUI)
{
    CProjectTree& tree = m_ProjectPane.GetProjectTree();
    if (!tree.m_hWnd)
        return;
    tree.UpdateSelectionAnchor();
    if (tree.GetFolderCommandsEnabled())
        pCmdUI->Enable(TRUE);
}

void CZentrovaDlg::OnUpdateTreeFolderCommand(CCmdUI* pCmdUI)
{
    CProjectTree& tree = m_ProjectPane.GetProjectTree();
    if (!tree.m_hWnd)
        return;
    tree.UpdateSelectionAnchor();
    pCmdUI->Enable(tree.GetFolderCommandsEnabled() ? TRUE : FALSE);
}

void CZentrovaDlg::OnUpdateRenameOrDeleteFolder(CCmdUI* pCmdUI)
{
    CProjectTree& tree = m_ProjectPane.GetProjectTree();
    if (!tree.m_hWnd || !tree.CanRenameOrDeleteSelection())
        pCmdUI->Enable(FALSE);
}

void CZentrovaDlg::OnDocumentCommand(UINT nID)
{
    CPatentManager& list = m_ProjectPane.GetPatentManager();
    if (!list.m_hWnd)
        return;
    switch (nID) {
    case ID_FILE_DOWNLOAD_ENTIRE:
    case ID_PATENTS_DOWNLOAD_ENTIRE:
        return list.OnDownloadEntireDocument();
    case ID_PATENTS_COPY_TO_CLIPBOARD:
        return m_ProjectPane.OnCopyToClipboardButton();
    case ID_PATENTS_COPY_SHORTCUT:
        return list.OnCopyShortcut();
    case ID_PATENTS_PRINT_HTML:
        return list.OnPrintHtml();
    case ID_PATENTS_PRINT_PDF:
        return list.OnPrintPdf();
    case ID_PATENTS_PRINT_FILE:
        return list.OnPrintFile();
    case ID_PATENTS_OPEN_HTML:
        return list.OnOpenHtml();
    case ID_PATENTS_OPEN_PDF:
        return list.OnOpenPdf();
    case ID_PATENTS_OPEN_FILE:
        return list.OnOpenFile();
    case ID_PATENTS_MARK_UNREAD:
        return list.OnMarkUnread();
    case ID_PATENTS_MARK_READ:
        return list.OnMarkRead();
    case ID_PATENTS_DELETE:
        return list.OnDeleteDocuments();
    case ID_PATENTS_UNLINK:
        return list.OnUnlinkDocuments();
    case ID_FILE_EMAIL_DOCUMENTS:
        return list.OnEmailDocuments();
    case ID_FILE_SAVE_FILES_TO:
        return list.OnSaveFilesTo();
    default:
        return;
    }
}

void CZentrovaDlg::OnUpdateDocumentCommand(CCmdUI* pCmdUI)
{
    CPatentManager& list = m_ProjectPane.GetPatentManager();
    if (!list.m_hWnd) {
        pCmdUI->Enable(FALSE);
        return;
    }
    if (pCmdUI->m_nID == ID_FILE_DOWNLOAD_ENTIRE)
        return list.UpdateDownloadEntireDocument(pCmdUI);
    // Mail and save follow the selection of the list's last click.
    if (pCmdUI->m_nID == ID_FILE_EMAIL_DOCUMENTS)
        return pCmdUI->Enable(list.m_bHasSelection1 ? TRUE : FALSE);
    if (pCmdUI->m_nID == ID_FILE_SAVE_FILES_TO)
        return pCmdUI->Enable(list.m_bHasSelection2 ? TRUE : FALSE);
    bool bAllowed = true;
    switch (pCmdUI->m_nID) {
    case ID_PATENTS_DOWNLOAD_ENTIRE:
        bAllowed = list.CanDownloadEntireDocument();
        break;
    case ID_PATENTS_COPY_TO_CLIPBOARD:
        bAllowed = list.GetList().GetItemCount() > 0;
        break;
    case ID_PATENTS_COPY_SHORTCUT:
    case ID_PATENTS_DELETE:
        bAllowed = list.GetList().GetSelectedCount() > 0;
        break;
    case ID_PATENTS_PRINT_HTML:
    case ID_PATENTS_OPEN_HTML:
        bAllowed = list.HasHtmlFile();
        break;
    case ID_PATENTS_PRINT_PDF:
    case ID_PATENTS_OPEN_PDF:
        bAllowed = list.HasPdfFile();
        break;
    case ID_PATENTS_PRINT_FILE:
    case ID_PATENTS_OPEN_FILE:
        bAllowed = list.HasOtherFile();
        break;
    case ID_PATENTS_MARK_UNREAD:
        bAllowed = list.CanMarkUnread();
        break;
    case ID_PATENTS_MARK_READ:
        bAllowed = list.CanMarkRead();
        break;
    case ID_PATENTS_UNLINK:
        bAllowed = list.CanUnlinkSelection();
        break;
    default:
        break;
    }
    // A rule only ever greys; otherwise the item is left as it is (enabled: it has a handler).
    if (!bAllowed)
        pCmdUI->Enable(FALSE);
}

// ---------------------------------------------------------------- the library from files

void CZentrovaDlg::OnImportFileToFolder()
{
    if (m_ProjectPane.GetProjectTree().m_hWnd)
        m_ProjectPane.GetProjectTree().OnCmdImportFileToFolder();
}

void CZentrovaDlg::OnUpdateImportFileToFolder(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

CString CZentrovaDlg::ImportWizardCommandLine(const CString& programFolder)
{
    return programFolder + "\\Skelvane.exe VORTEMAP" + programFolder;
}

void CZentrovaDlg::OnImportOldVersionFiles()
{
    // A wizard that ended since the last look is done with first.
    WatchImportWizard();
    if (m_hImportWizard)
        return;
    m_hImportWizard = StartImportWizard(ImportWizardCommandLine(GetAppDirectory()));
    if (m_hImportWizard)
        SetTimer(kWizardWatchTimer, kWizardWatchMilliseconds);
}

HANDLE CZentrovaDlg::StartImportWizard(const CString& commandLine)
{
    // As WinExec starts a program: the line as it is, the window shown normally.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    CString line = commandLine;
    if (!::CreateProcessA(nullptr, line.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        Log("CZentrovaDlg::OnImportOldVersionFiles-The import wizard could not be started: " +
            SystemErrorText(::GetLastError()));
        return nullptr;
    }
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

void CZentrovaDlg::WatchImportWizard()
{
    if (!m_hImportWizard)
        return;
    const bool bEnded = ::WaitForSingleObject(m_hImportWizard, 0) != WAIT_TIMEOUT;
    m_ProjectPane.TakeReplacedProjectFile();
    if (!bEnded)
        return;
    KillTimer(kWizardWatchTimer);
    ::CloseHandle(m_hImportWizard);
    m_hImportWizard = nullptr;
}

CString CZentrovaDlg::BrowseForRecoverFolder()
{
    // COM, which the shell's browser needs, runs on this thread since the start.
    CString folder;
    CFolderPicker::BrowseForFolder(folder, "Please select a folder", m_hWnd, nullptr, nullptr);
    return folder;
}

void CZentrovaDlg::OnRecoverDatabase()
{
    const CString folder = BrowseForRecoverFolder();
    if (!folder.IsEmpty())
        RecoverDatabaseFrom(folder);
}

void CZentrovaDlg::RecoverDatabaseFrom(const CString& folder)
{
    CProjectTree& tree = m_ProjectPane.GetProjectTree();
    if (!tree.m_hWnd)
        return;
    CString pattern = folder;
    if (pattern.Right(1) != "\\")
        pattern += "\\";
    CFileFind entries;
    bool more = entries.FindFile(pattern + "*.*");
    while (more) {
        more = entries.FindNextFile();
        if (entries.IsDots())
            continue;
        CString pdfPath, htmlPath;
        CFileFind files;
        bool moreFiles = files.FindFile(entries.GetFilePath() + "\\*.*");
        while (moreFiles) {
            moreFiles = files.FindNextFile();
            if (files.IsDirectory())
                continue;
            const bool bPdf = files.GetFileName().Find(".pdf") >= 0;
            const bool bHtml = files.GetFileName().Find(".html") >= 0;
            // A file whose name is all extension (".pdf") names no document: it would be
            // filed without a Name, in a folder without one.
            if ((bPdf || bHtml) && RecoveredDocumentName(files.GetFilePath(), CString()).IsEmpty()) {
                Log("CZentrovaDlg::RecoverDatabaseFrom-" + files.GetFilePath() +
                    " names no document; the file was passed over");
                continue;
            }
            if (bPdf)
                pdfPath = files.GetFilePath();
            if (bHtml)
                htmlPath = files.GetFilePath();
        }
        if (pdfPath.IsEmpty() && htmlPath.IsEmpty())
            continue;
        // The download folder as stored; a stored folder without its closing backslash
        // gets one, so that the documents' folders lie inside it.
        CString destination = m_Options.GetOptionValue("SavePath");
        if (!destination.IsEmpty() && destination.Right(1) != "\\")
            destination += "\\";
        if (m_ProjectPane.GetDownloadManager().IsDownloading(RecoveredDocumentName(pdfPath, htmlPath)))
            tree.RecoverDocument(pdfPath, htmlPath, destination);
    }
}

// ---------------------------------------------------------------- painting and layout

void CZentrovaDlg::OnPaint()
{
    if (m_bFirstPaint) {
        CSearchResults& results = m_SearchPane.GetResultsPage();
        results.m_strColumnWidths = "0,0,0,32";
        if (results.m_hWnd)
            results.SetColumnWidths();
        m_bFirstPaint = false;
    }
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
        CRect rc;
        GetClientRect(&rc);
        int cxIcon = ::GetSystemMetrics(SM_CXICON);
        int cyIcon = ::GetSystemMetrics(SM_CYICON);
        dc.DrawIcon((rc.Width() - cxIcon + 1) / 2, (rc.Height() - cyIcon + 1) / 2, m_hIcon);
        return;
    }
    CNewDialog::OnPaint();
}

HCURSOR CZentrovaDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CZentrovaDlg::OnSize(UINT nType, int cx, int cy)
{
    CNewDialog::OnSize(nType, cx, cy);
    GetClientRect(&m_rectClient);
    m_rectPane.SetRect(116, 1, cx - 10, cy - 10);
    m_rectGripImage.SetRect(cx - 12, cy - 12, cx, cy);
    if (!m_bLayoutReady)
        return;
    if (m_ProjectPane.m_hWnd)
        m_ProjectPane.MoveWindow(&m_rectPane, TRUE);
    if (m_SearchPane.m_hWnd)
        m_SearchPane.MoveWindow(&m_rectPane, TRUE);
    m_rectGripHit.SetRect(cx - 17, cy - 17, cx, cy);
    Invalidate(TRUE);
}

BOOL CZentrovaDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(220, 215, 185));
    CDC memDC;
    memDC.CreateCompatibleDC(pDC);
    CBitmap* pOld = memDC.SelectObject(&m_bmpNavStrip);
    // The navigation strip reaches down the whole window: below its picture it goes on in
    // the colour of the picture's last row.
    BITMAP strip{};
    COLORREF below = RGB(0, 0, 0);
    if (m_bmpNavStrip.m_hObject && m_bmpNavStrip.GetBitmap(&strip) && strip.bmHeight > 0)
        below = memDC.GetPixel(0, strip.bmHeight - 1);
    pDC->FillSolidRect(0, 0, 106, rc.Height(), below);
    pDC->BitBlt(0, 0, std::min(106, static_cast<int>(strip.bmWidth)), strip.bmHeight, &memDC, 0, 0, SRCCOPY);
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    CPen white(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* pOldPen = pDC->SelectObject(&black);
    pDC->MoveTo(0, 0);
    pDC->LineTo(rc.Width(), 0);
    pDC->SelectObject(&white);
    pDC->MoveTo(106, 1);
    pDC->LineTo(106, rc.Height());
    pDC->SelectObject(pOldPen);
    memDC.SelectObject(&m_bmpBanner);
    pDC->BitBlt(107, 1, 286, 116, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(&m_bmpGrip);
    pDC->BitBlt(m_rectGripImage.left, m_rectGripImage.top, m_rectGripImage.Width(), m_rectGripImage.Height(),
                &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOld);
    return TRUE;
}

// ---------------------------------------------------------------- the own resize grip

void CZentrovaDlg::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    RECT window = lpncsp ? lpncsp->rgrc[0] : RECT{};
    CNewDialog::OnNcCalcSize(bCalcValidRects, lpncsp);
    if (!m_bInsetsTaken && lpncsp) {
        m_nInsetLeft = lpncsp->rgrc[0].left - window.left;
        m_nInsetTop = lpncsp->rgrc[0].top - window.top;
        m_bInsetsTaken = true;
    }
}

CPoint CZentrovaDlg::ClampDragPoint(CPoint point) const
{
    return CPoint(std::max(static_cast<int>(point.x), static_cast<int>(m_sizeMinimum.cx) - m_nInsetLeft),
                  std::max(static_cast<int>(point.y), static_cast<int>(m_sizeMinimum.cy) - m_nInsetTop));
}

void CZentrovaDlg::DrawBand(bool bDrawNew)
{
    HDC hDC = ::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (!hDC)
        return;
    int oldRop = ::SetROP2(hDC, R2_NOTXORPEN);
    HGDIOBJ oldBrush = ::SelectObject(hDC, ::GetStockObject(NULL_BRUSH));
    CPoint origin(-m_nInsetLeft, -m_nInsetTop);
    ClientToScreen(&origin);
    // Drawing the last band again erases it.
    if (m_ptLastCorner != CPoint(0, 0))
        ::Rectangle(hDC, origin.x, origin.y, m_ptLastCorner.x, m_ptLastCorner.y);
    m_ptLastCorner = CPoint(0, 0);
    if (bDrawNew) {
        CPoint corner = m_ptDrag;
        ClientToScreen(&corner);
        ::Rectangle(hDC, origin.x, origin.y, corner.x, corner.y);
        m_ptLastCorner = corner;
    }
    ::SelectObject(hDC, oldBrush);
    ::SetROP2(hDC, oldRop);
    ::DeleteDC(hDC);
}

void CZentrovaDlg::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bDragging) {
        m_ptDrag = ClampDragPoint(point);
        DrawBand(true);
    } else if (m_rectGripHit.PtInRect(point)) {
        if (!m_bGripHot) {
            m_bGripHot = 1;
            ::SetCursor(m_hSizing);
            SetCapture();
        }
    } else if (m_bGripHot) {
        m_bGripHot = 0;
        ::SetCursor(m_hArrow);
        ::ReleaseCapture();
    }
    CNewDialog::OnMouseMove(nFlags, point);
}

void CZentrovaDlg::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_rectGripHit.PtInRect(point)) {
        m_bDragging = 1;
        m_ptDrag = ClampDragPoint(point);
        DrawBand(true);
    }
    CNewDialog::OnLButtonDown(nFlags, point);
}

void CZentrovaDlg::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bDragging) {
        m_bDragging = 0;
        DrawBand(false);
        CPoint origin(-m_nInsetLeft, -m_nInsetTop);
        ClientToScreen(&origin);
        MoveWindow(origin.x, origin.y, m_ptDrag.x + m_nInsetLeft, m_ptDrag.y + m_nInsetTop);
    }
    CNewDialog::OnLButtonUp(nFlags, point);
}

LRESULT CZentrovaDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam)
{
    // The system's default counts the menu bar of a popup window into the part to hide above
    // the screen, which then hides the caption: the window's maximised place is set here
    // from its frame alone, on the primary monitor's work area (the system moves it to the
    // monitor the window is on).
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    RECT work{};
    if (!info || !::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return 0;
    const DWORD style = GetStyle();
    CRect frame(0, 0, 0, 0);
    ::AdjustWindowRectEx(&frame, (style & WS_CAPTION) == WS_CAPTION ? style & ~WS_BORDER : style, FALSE,
                         GetExStyle());
    info->ptMaxPosition = POINT{work.left + frame.left, work.top + frame.top};
    info->ptMaxSize = POINT{(work.right - work.left) + frame.Width(), (work.bottom - work.top) + frame.Height()};
    info->ptMaxTrackSize.x = std::max(info->ptMaxTrackSize.x, info->ptMaxSize.x);
    info->ptMaxTrackSize.y = std::max(info->ptMaxTrackSize.y, info->ptMaxSize.y);
    return 0;
}

BOOL CZentrovaDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bGripHot) {
        ::SetCursor(m_hSizing);
        return TRUE;
    }
    return CNewDialog::OnSetCursor(pWnd, nHitTest, message);
}
