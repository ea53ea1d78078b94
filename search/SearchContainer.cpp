#include "SearchContainer.h"

#include "DataFiles.h"
#include "FaultNotices.h"
#include "FileCrypt.h"
#include "ProgressLog.h"
#include "SearchPaneMessages.h"
#include "SearchThread.h"
#include "SearchThreadMessages.h"
#include "StageClock.h"
#include "TextHelpers.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <set>
#include <vector>

IMPLEMENT_DYNAMIC(CSearchContainer, CDialog)

BEGIN_MESSAGE_MAP(CSearchContainer, CDialog)
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_SEARCH_START_STOP, &CSearchContainer::OnStartStopSearch)
    ON_MESSAGE(UM_SEARCH_PROGRESS, &CSearchContainer::OnSearchProgress)
    ON_MESSAGE(UM_STOP_SEARCH, &CSearchContainer::OnStopSearch)
    ON_MESSAGE(UM_RUN_ADVANCED_SEARCH, &CSearchContainer::OnRunAdvancedSearch)
    ON_MESSAGE(UM_RUN_BASIC_SEARCH, &CSearchContainer::OnRunBasicSearch)
    ON_MESSAGE(UM_SHOW_SAVED_REPORTS, &CSearchContainer::OnShowSavedReports)
    ON_MESSAGE(UM_REPORT_FINISHED, &CSearchContainer::OnReportFinished)
    ON_MESSAGE(UM_REPORT_PROGRESS, &CSearchContainer::OnReportProgress)
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_WM_SHOWWINDOW()
    ON_MESSAGE(UM_OFFER_SESSION_CHOOSER, &CSearchContainer::OnOfferSessionChooser)
    ON_MESSAGE(UM_SHOW_SEARCH_FAULT, &CSearchContainer::OnShowSearchFault)
    ON_CBN_SELCHANGE(IDC_SEARCH_LOCATION, &CSearchContainer::OnSelchangeSearchLocation)
    ON_COMMAND(ID_RESULTS_ADD_TO_REPORT, &CSearchContainer::OnAddSelectionToReport)
    ON_UPDATE_COMMAND_UI(ID_RESULTS_ADD_TO_REPORT, &CSearchContainer::OnUpdateAddSelectionToReport)
    ON_CBN_SELCHANGE(IDC_SEARCH_SESSION, &CSearchContainer::OnSelchangeSession)
    ON_BN_CLICKED(IDC_SEARCH_NEW_SESSION, &CSearchContainer::OnNewSession)
    ON_COMMAND(ID_SESSION_EDIT, &CSearchContainer::OnEditSession)
    ON_COMMAND(ID_SESSION_DELETE, &CSearchContainer::OnDeleteSession)
    ON_COMMAND(ID_RESULTS_REMOVE_FROM_REPORT, &CSearchContainer::OnRemoveSelectionFromReport)
END_MESSAGE_MAP()

CSearchContainer::MessageBoxFn CSearchContainer::s_pfnMessageBox = &::MessageBoxA;

namespace {

const char kLogPrefix[] = "CSearchContainer::OnInitDialog() - ";
const char kBasicRecipePath[] = "/ParsingInformation/SearchLocation[@UID='%s']/Basic/ProcessConfiguration";
const char kAdvancedRecipePath[] = "/ParsingInformation/SearchLocation[@UID='%s']/Advanced/ProcessConfiguration";
const COLORREF kPageColour = RGB(236, 233, 216);
const UINT_PTR kPollTimer = 1;
const UINT kPollMilliseconds = 400;
const int kSizeGuardTotal = 10000;
// The Advanced page's Start Search button.
const int kAdvancedStartSearch = 1023;
const unsigned kEndBalloonOptions = 0x0400 | 0x0800;
// A failed search's message is longer than the other end balloons and stays longer.
const unsigned kFaultBalloonTime = 10000;

void Log(const CString& line)
{
    CProgressLog().Write(line);
}

// Runs one start-up step; what it throws is shown in a box and logged, and the start goes on.
template <class Step>
void Guarded(const char* text, Step&& run)
{
    bool ok = false;
    try {
        run();
        ok = true;
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    if (ok)
        return;
    CString first = text;
    int eol = first.Find('\r');
    if (eol >= 0)
        first = first.Left(eol);
    Log(CString(kLogPrefix) + first);
    ::MessageBoxA(nullptr, CString(text) + "\r\nPlease report this to product support team", "Exception", MB_OK);
}

CString LoadText(UINT nID)
{
    char text[512] = {};
    int n = ::LoadStringA(AfxGetResourceHandle(), nID, text, sizeof text);
    return n > 0 ? CString(text, n) : CString();
}

CString LocationPath(const char* pszFormat, const CString& uid)
{
    CString path;
    path.Format(pszFormat, uid.GetString());
    return path;
}

void EnableChild(CWnd& parent, int nID, bool bEnable)
{
    if (parent.m_hWnd)
        if (CWnd* p = parent.GetDlgItem(nID))
            p->EnableWindow(bEnable ? TRUE : FALSE);
}

} // namespace

CSearchContainer::CSearchContainer(CWnd* pParent) : CDialog(IDD_SEARCH_CONTAINER, pParent) {}

CSearchContainer::~CSearchContainer()
{
    delete m_pSearchThread;
    m_pResultDocument = nullptr;
    m_pRecipeDocument = nullptr;
}

void CSearchContainer::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SEARCH_LOCATION, m_comboLocation);
    DDX_Control(pDX, IDC_SEARCH_DATABASE_LABEL, m_labelDatabase);
    DDX_Control(pDX, IDC_SEARCH_HINT, m_labelHint);
    DDX_Control(pDX, IDC_SEARCH_LOGO, m_staticLogo);
    DDX_Control(pDX, IDC_SEARCH_SESSION, m_comboSession);
    DDX_Control(pDX, IDC_SEARCH_SESSION_LABEL, m_labelSession);
    DDX_Control(pDX, IDC_SEARCH_NEW_SESSION, m_buttonNewSession);
}

BOOL CSearchContainer::OnInitDialog()
{
    Log(CString(kLogPrefix) + "Starting...");
    CDialog::OnInitDialog();
    GetClientRect(&m_rectClient);
    m_bmpBackground.LoadBitmap(IDB_BANNER);

    Guarded("Exception while Creating SearchThread in SearchContainer", [this] {
        m_pSearchThread = static_cast<CSearchThread*>(
            AfxBeginThread(RUNTIME_CLASS(CSearchThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
        if (!m_pSearchThread)
            throw 0;
        m_pSearchThread->m_bAutoDelete = FALSE;
        m_pSearchThread->ResumeThread();
    });

    try {
        m_pResultDocument = CreateDomDocument();
    } catch (...) {
        m_pResultDocument = nullptr;
    }
    if (!m_pResultDocument) {
        Log(CString(kLogPrefix) + "Failed to instantiate an XML DOM.");
        return FALSE;
    }
    m_pResultDocument->PutpreserveWhiteSpace(VARIANT_TRUE);

    m_staticLogo.GetWindowRect(&m_rectLogo);
    ScreenToClient(&m_rectLogo);

    Guarded("Exception while Creating PropertySheet\r\nTabBasicSearch\r\nTabAdvancedSearch\r\nTabSearchResults", [this] {
        if (!m_Sheet.Create(IDD_PROPERTY_SHEET, this) || !m_pageBasic.Create(IDD_BASIC_SEARCH, &m_Sheet) ||
            !m_pageAdvanced.Create(IDD_ADVANCED_SEARCH, &m_Sheet) ||
            !m_pageResults.Create(IDD_SEARCH_RESULTS, &m_Sheet))
            throw 0;
    });
    Guarded("Exception while Creating SearchReport", [this] {
        if (!m_pageReport.Create(IDD_SEARCH_REPORT, &m_Sheet) ||
            !m_pageSavedReports.Create(IDD_SAVED_REPORTS, &m_Sheet))
            throw 0;
    });

    m_pageResults.m_hSearchPane = m_hWnd;
    m_pageAdvanced.m_hOwner = m_hWnd;
    m_pageBasic.m_hOwner = m_hWnd;

    Guarded("Exception while Adding Tabs", [this] {
        m_Sheet.AddPage("Basic Search", &m_pageBasic, 0, kPageColour, kPageColour);
        m_Sheet.AddPage("Advanced Search", &m_pageAdvanced, 0, kPageColour, kPageColour);
        m_Sheet.AddPage("Search Results", &m_pageResults, 0, kPageColour, kPageColour);
        m_Sheet.AddPage("Search Report", &m_pageReport, 0, kPageColour, kPageColour);
        m_Sheet.AddPage("Saved Reports", &m_pageSavedReports, 0, kPageColour, kPageColour);
    });
    Guarded("Exception while PropertySheet InitializeControl", [this] { m_Sheet.InitSheet(); });
    Guarded("Exception while Loading SearchSources", [this] { LoadSearchLocations(); });
    m_bPagesReady = 1;

    m_labelHint.SetText("Enter your search criteria in the boxes below.\n For more features use the Advanced Tab.");
    m_labelHint.SetTextFormat(DT_RIGHT | DT_WORDBREAK);
    m_labelHint.SetTransparent(TRUE);
    m_labelHint.Initialize();

    m_labelDatabase.SetText("Database");
    m_labelDatabase.SetTextFormat(DT_RIGHT | DT_VCENTER | DT_WORDBREAK | DT_SINGLELINE);
    m_labelDatabase.SetTransparent(TRUE);
    m_labelDatabase.Initialize();

    Guarded("Exception while Creating Font in SearchContainer", [this] {
        if (!m_fontCombo.CreateFont(12, 0, 0, 0, 400, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, FF_SWISS, "Verdana"))
            throw 0;
        m_comboLocation.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontCombo.m_hObject), TRUE);
    });

    m_labelSession.SetText("Search Session:");
    m_labelSession.SetTextFormat(DT_RIGHT | DT_VCENTER | DT_WORDBREAK | DT_SINGLELINE);
    m_labelSession.SetTransparent(TRUE);
    m_labelSession.Initialize();
    m_buttonNewSession.LoadBitmap(IDB_SEARCH_NEW_SESSION);
    m_comboSession.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontCombo.m_hObject), TRUE);

    m_pageReport.SetResultsList(&m_pageResults.m_listResults);
    m_pageReport.SetReportRunner(&m_ReportRunner);
    m_Sessions.Attach(this, &m_comboSession, &m_pageReport, &m_pageResults.m_listResults);
    m_Sessions.m_fnActivePage = [this] { return m_Sheet.GetActiveIndex(); };
    m_Sessions.m_fnColourAllRows = [this] { m_pageResults.ColourAllRows(); };
    m_Sessions.m_fnResyncSelectAll = [this] { m_pageResults.UpdateSelectAllCheck(); };

    Guarded("Exception while Getting SearchHeaders in SearchContainer", [this] { GetSessionHeaders(); });
    if (m_comboSession.GetCurSel() < 0)
        m_comboSession.SetCurSel(0);
    m_pageReport.m_nChosenSession = m_comboSession.GetCurSel();
    Guarded("Exception while Parsing ReportFile", [this] { ParseReportFile(); });
    Guarded("Exception while ActivatingTab", [this] { m_Sheet.SetActivePage(0); });

    m_pageSavedReports.m_hContainer = m_hWnd;
    Log(CString(kLogPrefix) + "Exiting...");
    return TRUE;
}

// ---------------------------------------------------------------- report runs

LRESULT CSearchContainer::OnShowSavedReports(WPARAM, LPARAM)
{
    m_Sheet.SetActivePage(4);
    return 0;
}

LRESULT CSearchContainer::OnReportFinished(WPARAM, LPARAM)
{
    m_pageReport.HideProgress();
    return 0;
}

LRESULT CSearchContainer::OnReportProgress(WPARAM wParam, LPARAM lParam)
{
    m_pageReport.SetReportProgress(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
}

// ---------------------------------------------------------------- search locations

void CSearchContainer::LoadSearchLocations()
{
    m_pRecipeDocument = CreateDomDocument();
    m_comboLocation.ResetContent();
    m_LocationMap.RemoveAll();
    m_nLocationCounter = 0;

    CString text;
    CFileCrypt crypt;
    crypt.ReadEncryptedFile(GetAppDirectory() + "\\Download.cfg", text);
    m_pRecipeDocument->loadXML(_bstr_t(text));

    for (IXMLDOMNodePtr location : SelectNodes(m_pRecipeDocument, L"/ParsingInformation/SearchLocation")) {
        CString name, uid;
        GetXmlAttribute(location, "Name", name);
        GetXmlAttribute(location, "UID", uid);
        m_comboLocation.InsertString(m_nLocationCounter, name);
        m_comboLocation.SetItemData(m_nLocationCounter, static_cast<DWORD_PTR>(m_nLocationCounter));
        m_LocationMap.SetAt(m_nLocationCounter, uid);
        ++m_nLocationCounter;
    }
}

CString CSearchContainer::LocationUID(int nIndex) const
{
    CString uid;
    if (nIndex < 0 || !m_comboLocation.m_hWnd)
        return uid;
    LRESULT data = ::SendMessageA(m_comboLocation.m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0);
    if (data == CB_ERR)
        return uid;
    m_LocationMap.Lookup(static_cast<int>(data), uid);
    return uid;
}

void CSearchContainer::OnSelchangeSearchLocation()
{
    const int sel = m_comboLocation.GetCurSel();
    if (sel == m_nLastLocationIndex)
        return;
    const int prev = m_nLastLocationIndex;
    m_nLastLocationIndex = sel;
    const CString uid = LocationUID(sel);

    m_pageBasic.m_nLocationIndex = sel;
    m_pageBasic.m_nPreviousLocationIndex = prev;
    m_pageBasic.FillSavedQueryCombo();
    m_pageAdvanced.m_nLocationIndex = sel;
    m_pageAdvanced.m_nPreviousLocationIndex = prev;
    if (!m_bEpoSwitch)
        m_pageAdvanced.FillSavedQueryCombo();
    if (uid == "EPOPATENTSEARCH")
        m_bEpoSwitch = true;

    if (!m_pRecipeDocument)
        return;
    auto node = [this, &uid](const char* pszFormat) {
        return m_pRecipeDocument->selectSingleNode(_bstr_t(LocationPath(pszFormat, uid)));
    };
    auto list = [this, &uid](const char* pszFormat) {
        return m_pRecipeDocument->selectNodes(_bstr_t(LocationPath(pszFormat, uid)));
    };

    if (IXMLDOMNodePtr location = node("/ParsingInformation/SearchLocation[@UID='%s']")) {
        CString target;
        GetXmlAttribute(location, "TargetUID", target);
        m_pageResults.m_strLocationUID = target;
    }
    if (IXMLDOMNodePtr settings = node("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/Settings"))
        m_pageAdvanced.ApplySettings(settings);

    LockWindowUpdate();
    IXMLDOMNodeListPtr advanced = list("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/SearchFields/Field");
    if (m_bEpoSwitch) {
        m_pageAdvanced.BuildSearchFields(advanced);
    } else if (advanced) {
        m_pageAdvanced.BuildSearchFields(advanced);
        m_pageAdvanced.RestoreFieldValues();
    }
    m_pageAdvanced.SetNotes(node("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/Notes"));
    m_pageAdvanced.SetHelpLink(node("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/HelpLink"));

    if (IXMLDOMNodePtr settings = node("/ParsingInformation/SearchLocation[@UID='%s']/Basic/Settings"))
        m_pageBasic.ApplySettings(settings);
    if (IXMLDOMNodeListPtr basic = list("/ParsingInformation/SearchLocation[@UID='%s']/Basic/SearchFields/Field")) {
        m_pageBasic.BuildSearchFields(basic);
        m_pageBasic.RestoreFieldValues();
    }
    m_pageBasic.SetNotes(node("/ParsingInformation/SearchLocation[@UID='%s']/Basic/Notes"));
    m_pageBasic.SetHelpLink(node("/ParsingInformation/SearchLocation[@UID='%s']/Basic/HelpLink"));
    UnlockWindowUpdate();
    if (m_Sheet.m_hWnd)
        m_Sheet.Invalidate(TRUE);
}

void CSearchContainer::ReloadSearchLocation()
{
    if (m_bReload) {
        m_comboLocation.SetCurSel(0);
        OnSelchangeSearchLocation();
    }
    m_bReload = 0;
}

// ---------------------------------------------------------------- layout and painting

void CSearchContainer::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    GetClientRect(&m_rectClient);
    if (!m_bPagesReady)
        return;
    m_Sheet.MoveWindow(0, 100, m_rectClient.Width(), m_rectClient.Height() - 100, TRUE);
    const int dx = cx - 10 - m_rectLogo.right;
    m_rectLogo.OffsetRect(dx, 0);
    m_staticLogo.MoveWindow(&m_rectLogo, TRUE);
}

BOOL CSearchContainer::OnEraseBkgnd(CDC* pDC)
{
    pDC->FillSolidRect(&m_rectClient, RGB(220, 215, 185));
    CDC memory;
    if (m_bmpBackground.m_hObject && memory.CreateCompatibleDC(pDC)) {
        CBitmap* pOld = memory.SelectObject(&m_bmpBackground);
        pDC->BitBlt(0, 0, 286, 116, &memory, 9, 0, SRCCOPY);
        memory.SelectObject(pOld);
    }
    return 0;
}

// ---------------------------------------------------------------- search runs

void CSearchContainer::EnableStartButtons(bool bEnable)
{
    EnableChild(m_pageBasic, IDC_BASIC_START_SEARCH, bEnable);
    EnableChild(m_pageAdvanced, kAdvancedStartSearch, bEnable);
}

LRESULT CSearchContainer::OnRunBasicSearch(WPARAM, LPARAM)
{
    return RunPageSearch(m_pageBasic.m_Parameters, m_pageBasic.GetQueryText(), kBasicRecipePath);
}

LRESULT CSearchContainer::OnRunAdvancedSearch(WPARAM, LPARAM)
{
    return RunPageSearch(m_pageAdvanced.m_Parameters, m_pageAdvanced.GetQueryText(), kAdvancedRecipePath);
}

LRESULT CSearchContainer::RunPageSearch(const CMapStringToString& parameters, const CString& strQuery,
                                        const char* pszPath)
{
    const CString uid = LocationUID(m_comboLocation.GetCurSel());
    if (m_pageResults.m_bSearchRunning) {
        m_pageResults.HideProgress();
        OnStopSearch(0, 0);
        m_pageResults.GetStopButton().EnableWindow(FALSE);
        return 1;
    }
    CStageTimer timer("report pull");
    m_pageReport.PullSelectionFromResults();
    timer.Next("run start");
    m_pageResults.ShowProgress();
    m_pageResults.m_listResults.SetEmptyText("Search results will be displayed in this panel.");
    EnableStartButtons(false);
    m_pageResults.GetStopButton().EnableWindow(TRUE);
    m_pageResults.EnableCopyButton(false);

    m_pageResults.SendMessage(UM_RESULTS_REPAINT, 0, 0);
    m_nRowCounter = 0;
    timer.Next("clear list");
    m_pageResults.ClearResults();
    timer.Next("run start");
    m_bThreadEnded = 0;
    if (m_pSearchThread) {
        m_pSearchThread->SetParameters(parameters);
        m_pageResults.GetQueryCaption().SetWindowText("Query: " + strQuery);
        m_pSearchThread->m_strRecipeNodePath = LocationPath(pszPath, uid);
        m_pSearchThread->m_hOwner = m_hWnd;
        m_nRunTag = m_pSearchThread->Start();
    }
    if (CWnd* pButton = GetDlgItem(IDC_SEARCH_START_STOP))
        pButton->SetWindowText("Stop Search");
    m_pageResults.SetStatusText(m_strStatus);
    m_pageResults.m_ResultMap.RemoveAll();
    m_Sheet.SetActivePage(2);
    return 1;
}

void CSearchContainer::OnStartStopSearch()
{
    if (m_pageResults.m_bSearchRunning) {
        m_pageResults.HideProgress();
        OnStopSearch(0, 0);
        return;
    }
    m_bThreadEnded = 0;
    if (m_pSearchThread) {
        CMapStringToString none(10);
        m_pSearchThread->SetParameters(none);
        m_pSearchThread->m_hOwner = m_hWnd;
        m_nRunTag = m_pSearchThread->Start();
    }
    m_pageResults.m_bSearchRunning = 1;
    if (CWnd* pButton = GetDlgItem(IDC_SEARCH_START_STOP))
        pButton->SetWindowText("Stop Search");
    m_pageResults.SetStatusText(m_strStatus);
    m_pageResults.m_ResultMap.RemoveAll();
    m_pageResults.ShowProgress();
}

LRESULT CSearchContainer::OnSearchProgress(WPARAM wParam, LPARAM)
{
    CSearchThread* pThread = m_pSearchThread;
    // Messages of a run that a later start has replaced are not this pane's business.
    if (!pThread || static_cast<int>(wParam) != m_nRunTag)
        return 1;

    if (pThread->m_bSearchDone == 0 && pThread->m_nResultTotal >= kSizeGuardTotal) {
        CString total;
        total.Format("%lld", pThread->m_nResultTotal);
        CString text =
            "Your search query found XXXX search results and has been stopped automatically to avoid a potential "
            "abuse of USPTO resources. The USPTO can ban your IP address from access their resources if they feel "
            "you are abusing their online resources. Please go back and type a narrower search query.";
        text.Replace("XXXX", total);
        m_pageResults.OnStopSearch();
        m_pageResults.HideProgress();
        s_pfnMessageBox(m_hWnd, text, "Extra Large Number of Search Results Found", MB_ICONINFORMATION | MB_OK);
        return 0;
    }

    m_strStatus.Format("Read Entries %lld - %lld of %lld @ %.2f KBps", pThread->m_nRangeStart, pThread->m_nRangeEnd,
                       pThread->m_nResultTotal, static_cast<double>(pThread->m_fKBps));
    m_pageResults.SetStatusText(m_strStatus);

    CString page;
    if (pThread->TakeResultSet(page)) {
        AddResultRows(page);
        m_pageResults.m_listResults.Invalidate(TRUE);
        m_pageResults.m_bCopyAllowed = 1;
        m_pageResults.EnableCopyButton(true);
    }

    if (pThread->m_bSearchDone == 1) {
        m_pageResults.HideProgress();
        m_pageResults.m_bSearchRunning = 0;
        m_pageResults.GetStopButton().EnableWindow(FALSE);
        m_strStatus.Empty();
        m_pageResults.ClearStatus();
        EnableStartButtons(true);
        if (CWnd* pButton = GetDlgItem(IDC_SEARCH_START_STOP))
            pButton->SetWindowText("Start Search");
        ShowRunEndBalloon();
        pThread->m_bCancel = 0;
    }
    return 1;
}

void CSearchContainer::ShowRunEndBalloon()
{
    CSearchThread* pThread = m_pSearchThread;
    const CPoint anchor((m_rectClient.Width() - 100) / 2 + 100, m_rectClient.Height() / 2);
    CWnd* pMain = AfxGetMainWnd();
    if (pThread->m_bCancel) {
        CSearchResults::s_pfnLaunchBalloon(
            "Search Stopped",
            "You have stopped the search.  If you want to continue searching, please return to the Basic Search or "
            "Advanced Search to enter your query.",
            anchor, IDI_WARNING, kEndBalloonOptions, pMain, "", 4000);
    } else if (pThread->m_nRunFault == CSearchThread::RunNoRecipe ||
               pThread->m_nRunFault == CSearchThread::RunNoKeys) {
        ShowRunCannotSearch(anchor);
    } else if (pThread->m_nRunFault != CSearchThread::RunComplete) {
        // A search that did not get its answers says so; the rows it read stay.
        const bool bRefused = pThread->m_nRunFault == CSearchThread::RunRefused;
        CSearchResults::s_pfnLaunchBalloon(bRefused ? "Search Refused" : "Search Incomplete", pThread->m_strRunFault,
                                           anchor, IDI_WARNING, kEndBalloonOptions, pMain, "", kFaultBalloonTime);
        m_pageResults.SetStatusText(bRefused ? "The search service refused the request." : "The result list is incomplete.");
        if (m_pageResults.m_listResults.GetItemCount() < 1)
            ShowEmptyList(FirstLine(pThread->m_strRunFault));
    } else if (pThread->m_nResultTotal == 0 && m_pageResults.m_listResults.GetItemCount() < 1) {
        CSearchResults::s_pfnLaunchBalloon(
            "No Documents Found",
            "Sorry, but no patent documents relating to your search query were found.\nPlease review your search "
            "query to ensure that you have typed it correctly.\nYou may also want to try different keywords that "
            "relate to your technology.\n\nClick here to see our Frequently Asked Questions for more information "
            "about\nsearching with Zentrova.",
            anchor, IDI_WARNING, kEndBalloonOptions, pMain, LoadText(IDS_SEARCH_FAQ_URL), 4000);
        ShowEmptyList("No documents matched your search query.");
    }
}

void CSearchContainer::ShowRunCannotSearch(const CPoint& anchor)
{
    const CSearchThread* pThread = m_pSearchThread;
    const CString& text = pThread->m_strRunFault;
    const FaultTopic topic =
        pThread->m_nRunFault == CSearchThread::RunNoRecipe ? FaultTopic::Recipe : FaultTopic::OpsKeys;
    if (TakeFaultNotice(topic, text)) {
        // Shown once the search thread, which waits in its SendMessage, has been let go.
        m_strFaultMessage = text;
        PostMessage(UM_SHOW_SEARCH_FAULT, 0, 0);
    } else {
        CSearchResults::s_pfnLaunchBalloon("Search Failed", text, anchor, IDI_WARNING, kEndBalloonOptions,
                                           AfxGetMainWnd(), "", kFaultBalloonTime);
    }
    // The status line is short; the list says the whole first line.
    m_pageResults.SetStatusText(topic == FaultTopic::Recipe ? "The recipe file cannot be read."
                                                             : "The OPS keys are missing or refused.");
    if (m_pageResults.m_listResults.GetItemCount() < 1)
        ShowEmptyList(FirstLine(text));
}

LRESULT CSearchContainer::OnShowSearchFault(WPARAM, LPARAM)
{
    const CString text = m_strFaultMessage;
    m_strFaultMessage.Empty();
    if (!text.IsEmpty())
        s_pfnMessageBox(::GetAncestor(m_hWnd, GA_ROOT), text, "Search Failed", MB_OK | MB_ICONWARNING);
    return 0;
}

void CSearchContainer::ShowEmptyList(const CString& text)
{
    m_pageResults.m_listResults.SetEmptyText(text);
    m_pageResults.m_listResults.Invalidate(TRUE);
    m_pageResults.m_bCopyAllowed = 0;
    m_pageResults.EnableCopyButton(false);
}

void CSearchContainer::AddResultRows(const CString& text)
{
    if (!m_pResultDocument)
        return;
    // The page's results are read first and then put into the list in one quiet pass, each
    // row in one go with its texts, its box and its data: the list neither paints nor lays
    // itself out per cell meanwhile.
    struct ResultRow
    {
        CString number;
        CString title;
    };
    std::vector<ResultRow> results;
    {
        CStageTimer timer("pane parse");
        m_pResultDocument->loadXML(_bstr_t(text));
        for (IXMLDOMNodePtr result : SelectNodes(m_pResultDocument, L"/ResultSet/Result")) {
            ResultRow row;
            if (IXMLDOMNodePtr node = result->selectSingleNode(L"PATNUM"))
                row.number = ToAnsi(node->Gettext());
            const int cut = row.number.Find('_');
            if (cut >= 0)
                row.number = row.number.Left(cut);
            if (IXMLDOMNodePtr node = result->selectSingleNode(L"TITLE"))
                row.title = ToAnsi(node->Gettext());
            results.push_back(row);
        }
    }
    if (results.empty())
        return;

    CStageTimer timer("list rows");
    CXListCtrl& list = m_pageResults.m_listResults;
    // The numbers of the report list, read once for the page: a result already in it comes
    // with its box checked.
    std::set<CString> reported;
    {
        CXListCtrl& report = m_pageReport.GetReportList();
        CMenuHookPause pause;
        const int count = report.GetItemCount();
        for (int i = 0; i < count; ++i)
            reported.insert(report.GetItemText(i, 2));
    }
    CListFillScope fill(list);
    std::vector<CString> texts(4);
    std::vector<ListCellRecord> cells(2, list.DefaultCell());
    for (const ResultRow& result : results) {
        ++m_nRowCounter;
        m_pageResults.m_ResultMap.SetAt(m_nRowCounter, result.number);
        texts[0].Format(" %d.", m_nRowCounter);
        texts[2] = result.number;
        texts[3] = result.title;
        cells[0].rowData = static_cast<DWORD_PTR>(m_nRowCounter);
        cells[1].checkState = reported.count(result.number) ? 1 : 0;
        list.InsertRow(list.GetItemCount(), texts, cells);
    }
}

LRESULT CSearchContainer::OnStopSearch(WPARAM, LPARAM)
{
    if (m_pSearchThread) {
        m_pSearchThread->m_WebGet.Abort();
        m_pSearchThread->Stop();
    }
    if (CWnd* pButton = GetDlgItem(IDC_SEARCH_START_STOP))
        pButton->EnableWindow(FALSE);
    return 1;
}

void CSearchContainer::OnAddSelectionToReport()
{
    CXListCtrl& list = m_pageResults.m_listResults;
    int i = -1;
    while ((i = list.GetNextItem(i, LVNI_SELECTED)) >= 0) {
        list.SetCheckbox(i, 1, 1);
        m_pageResults.ColourRow(i);
    }
    const int n = list.GetItemCount();
    if (n == 0)
        return;
    m_pageReport.GetReportList().DeleteAllItems();
    for (int row = 0; row < n; ++row) {
        if (list.GetCheckbox(row, 1) == 1)
            m_pageReport.AddDocument(list.GetItemText(row, 2), list.GetItemText(row, 3));
    }
    m_pageResults.UpdateSelectAllCheck();
}

void CSearchContainer::OnUpdateAddSelectionToReport(CCmdUI*) {}

// ---------------------------------------------------------------- shutdown

void CSearchContainer::StopSearchThread()
{
    if (m_comboSession.m_hWnd) {
        m_comboSession.SetCurSel(0);
        OnSelchangeSession();
    }
    if (!m_pSearchThread) {
        m_bThreadEnded = 1;
        return;
    }
    // Stop ends the running run as well, so that the quit is taken soon.
    m_pSearchThread->Stop();
    ::PostThreadMessageA(m_pSearchThread->m_nThreadID, UM_THREAD_QUIT, 0, 0);
    m_pSearchThread->m_bCancel = 1;
    if (!CheckSearchThreadEnded())
        m_nPollTimer = static_cast<int>(SetTimer(kPollTimer, kPollMilliseconds));
}

int CSearchContainer::CheckSearchThreadEnded()
{
    if (!m_pSearchThread) {
        m_bThreadEnded = 1;
        return m_bThreadEnded;
    }
    DWORD code = STILL_ACTIVE;
    if (::GetExitCodeThread(m_pSearchThread->m_hThread, &code) && code != STILL_ACTIVE)
        m_bThreadEnded = 1;
    return m_bThreadEnded;
}

// The first time the pane is shown in a run it offers the session chooser; the offer is posted
// so that the pane is painted behind the dialog.
void CSearchContainer::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (bShow && !CSearchSessions::s_bChooserOffered)
        PostMessage(UM_OFFER_SESSION_CHOOSER, 0, 0);
}

LRESULT CSearchContainer::OnOfferSessionChooser(WPARAM, LPARAM)
{
    if (IsWindowVisible())
        m_Sessions.OnPaneShown(TRUE, m_pOptions);
    return 0;
}

void CSearchContainer::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kPollTimer && CheckSearchThreadEnded())
        KillTimer(static_cast<UINT_PTR>(m_nPollTimer));
    CDialog::OnTimer(nIDEvent);
}
