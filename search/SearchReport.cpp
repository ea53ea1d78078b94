#include "SearchReport.h"

#include "DataExchange.h"
#include "ReportRunner.h"
#include "resource.h"

#include <map>

namespace {

const COLORREF kPageGround = RGB(236, 233, 216);
const char kIntroText[] =
    "You can create a Search Report (PDF) that is comprised of the first page of each of the below selected "
    "patents.  To generate your Search Report, select the Generate button and a Search Report will be "
    "generated based upon the first page of each patent.";
const char kNothingSelected[] = "You have not selected any document(s)";

enum { kColumnNumber = 0, kColumnCheck = 1, kColumnDocument = 2, kColumnTitle = 3 };

} // namespace

BEGIN_MESSAGE_MAP(CSearchReport, CPropertyPage)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_REPORT_LIST_SELECT_ALL, &CSearchReport::OnSelectAll)
    ON_BN_CLICKED(IDC_REPORT_LIST_GENERATE, &CSearchReport::OnGenerate)
    ON_BN_CLICKED(IDC_REPORT_LIST_STOP, &CSearchReport::OnStop)
    ON_MESSAGE(UM_CANCEL_REPORT, &CSearchReport::OnPopupCancel)
END_MESSAGE_MAP()

CSearchReport::CSearchReport() : CPropertyPage(IDD_SEARCH_REPORT) {}

CSearchReport::~CSearchReport() = default;

void CSearchReport::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REPORT_LIST_DOCUMENTS, m_ReportList);
    DDX_Control(pDX, IDC_REPORT_LIST_SELECT_ALL, m_checkSelectAll);
    DDX_Control(pDX, IDC_REPORT_LIST_GENERATE, m_buttonGenerate);
    DDX_Control(pDX, IDC_REPORT_LIST_STATUS, m_textStatus);
    DDX_Control(pDX, IDC_REPORT_LIST_STOP, m_buttonStop);
    DDX_Control(pDX, IDC_REPORT_LIST_INTRO, m_labelIntro);
    DDX_Control(pDX, IDC_REPORT_LIST_PROGRESS, m_ProgressBar);
}

BOOL CSearchReport::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    const char* headings[] = {" ", " ", "Report", "Document", "Title"};
    for (int i = 0; i < 5; ++i)
        m_ReportList.InsertColumn(i, headings[i], LVCFMT_LEFT);
    m_ReportList.DeleteColumn(0);
    m_ReportList.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);

    m_buttonGenerate.LoadBitmap(IDB_GENERATE_BUTTON);
    m_buttonStop.LoadBitmap(IDB_STOP_BUTTON);
    m_bInitialised = TRUE;
    m_buttonStop.EnableWindow(FALSE);
    m_textStatus.SetWindowText("Ready");

    m_labelIntro.SetText(kIntroText);
    m_labelIntro.SetBkColor(RGB(220, 215, 185));
    m_labelIntro.Initialize();
    m_labelIntro.SetTransparent(TRUE);

    m_ProgressBar.SetRange(0, 100);
    m_ProgressBar.SetColors(3, RGB(206, 0, 0), RGB(206, 0, 0), RGB(206, 0, 0));
    m_ProgressBar.SetBkColor(RGB(226, 223, 206));
    m_ProgressBar.ShowWindow(SW_HIDE);

    // The progress pop-up: modeless over this page, hidden until Generate shows it; its
    // Cancel reaches this page.
    m_Popup.m_hOwner = m_hWnd;
    if (m_Popup.Create(IDD_REPORT_POPUP, this)) {
        m_Popup.ShowWindow(SW_HIDE);
        m_pProgressPopup = &m_Popup;
    }

    CRect client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.Width(), client.Height());
    return TRUE;
}

int CSearchReport::ShowMessageBox(const CString& strText, const char* caption, UINT nType)
{
    return g_pfnSessionMessageBox(m_hWnd, strText, caption, nType);
}

// ---------------------------------------------------------------------- layout and painting

void CSearchReport::OnSize(UINT nType, int cx, int cy)
{
    CPropertyPage::OnSize(nType, cx, cy);
    GetClientRect(&m_rectClient);
    if (!m_bInitialised)
        return;
    const CRect& r = m_rectClient;
    const int width = r.Width();
    const int height = r.Height();
    m_ReportList.MoveWindow(1, 60, width - 1, height - 105);
    m_labelIntro.MoveWindow(1, 7, 512, 40);
    m_checkSelectAll.MoveWindow(1, r.bottom - 40, 65, 20);
    m_textStatus.MoveWindow(1, r.bottom - 16, r.right - 10, 15);
    m_buttonGenerate.MoveWindow(r.right - 88, 0, 78, 22);
    m_buttonStop.MoveWindow(r.right - 145, 0, 54, 22);
    m_ProgressBar.MoveWindow(r.right - 160, 33, 150, 15);
    LayoutColumns(width);
}

void CSearchReport::LayoutColumns(int nWidth)
{
    if (nWidth <= 299)
        return;
    const double fractions[] = {0.03, 0.07, 0.2, 0.72};
    for (int i = 0; i < 4; ++i)
        m_ReportList.SetColumnWidth(i, static_cast<int>(nWidth * fractions[i]));
    m_ReportList.SetColumnWidth(kColumnTitle, LVSCW_AUTOSIZE_USEHEADER);
}

BOOL CSearchReport::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    // The whole page takes the ground colour first, so that no part is left unpainted.
    pDC->FillSolidRect(&client, kPageGround);
    CRect bar;
    m_ProgressBar.GetWindowRect(&bar);
    ScreenToClient(&bar);
    bar.InflateRect(1, 1);
    pDC->FillSolidRect(&bar, kPageGround);
    CRect list;
    m_ReportList.GetWindowRect(&list);
    ScreenToClient(&list);
    list.InflateRect(1, 1);
    pDC->Draw3dRect(&list, RGB(196, 185, 128), RGB(223, 215, 171));
    UpdateSelectAllCheck();
    RenumberRows();
    return TRUE;
}

void CSearchReport::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CPropertyPage::OnShowWindow(bShow, nStatus);
    if (bShow)
        PullSelectionFromResults();
    else
        PushSelectionToResults();
    DeleteUncheckedRows();
}

// ---------------------------------------------------------------------- rows

void CSearchReport::AddDocument(const CString& strNumber, const CString& strTitle)
{
    if (!ContainsDocument(strNumber))
        AppendDocument(strNumber, strTitle);
}

bool CSearchReport::AppendDocument(const CString& strNumber, const CString& strTitle)
{
    const int row = m_ReportList.GetItemCount();
    CString position;
    position.Format(" %d.", row + 1);
    const int item = m_ReportList.InsertItem(row, position);
    if (item < 0)
        return false;
    m_ReportList.SetCheckbox(item, kColumnCheck, 1);
    m_ReportList.SetItemText(item, kColumnDocument, strNumber);
    m_ReportList.SetItemText(item, kColumnTitle, strTitle);
    return true;
}

bool CSearchReport::ContainsDocument(const CString& strNumber) const
{
    return m_ReportList.FindItemByText(strNumber) >= 0;
}

void CSearchReport::GetCheckedRow(CString& strNumber, CString& strTitle, int nRow) const
{
    if (nRow < 0 || nRow >= m_ReportList.GetItemCount() || m_ReportList.GetCheckbox(nRow, kColumnCheck) != 1)
        return;
    strNumber = m_ReportList.GetItemText(nRow, kColumnDocument);
    strTitle = m_ReportList.GetItemText(nRow, kColumnTitle);
}

int CSearchReport::ResultsRowOf(const CString& strNumber) const
{
    return m_pResultsList ? m_pResultsList->FindItemByText(strNumber) : -1;
}

void CSearchReport::PullSelectionFromResults()
{
    if (!m_pResultsList)
        return;
    // One quiet pass over both lists, the report's numbers read once: a search of thousands
    // of results starts again in milliseconds, not in seconds of cell-by-cell painting.
    std::map<CString, int> reportRows;  // number -> its first row in the report
    CListFillScope resultsFill(*m_pResultsList);
    CListFillScope reportFill(m_ReportList);
    const int reported = m_ReportList.GetItemCount();
    for (int i = 0; i < reported; ++i)
        reportRows.emplace(m_ReportList.GetItemText(i, kColumnDocument), i);

    const int rows = m_pResultsList->GetItemCount();
    for (int i = 0; i < rows; ++i) {
        const CString number = m_pResultsList->GetItemText(i, kColumnDocument);
        const auto found = reportRows.find(number);
        if (m_pResultsList->GetCheckbox(i, kColumnCheck) == 1) {
            if (found == reportRows.end() && AppendDocument(number, m_pResultsList->GetItemText(i, kColumnTitle)))
                reportRows.emplace(number, m_ReportList.GetItemCount() - 1);
        } else {
            m_pResultsList->ColorRowByCheck(i);
            if (found != reportRows.end())
                m_ReportList.SetCheckbox(found->second, kColumnCheck, 0);
        }
    }
}

void CSearchReport::PushSelectionToResults()
{
    if (!m_pResultsList)
        return;
    const int rows = m_ReportList.GetItemCount();
    for (int i = 0; i < rows; ++i) {
        const int result = ResultsRowOf(m_ReportList.GetItemText(i, kColumnDocument));
        if (result < 0)
            continue;
        m_pResultsList->SetCheckbox(result, kColumnCheck, m_ReportList.GetCheckbox(i, kColumnCheck) == 1 ? 1 : 0);
        m_pResultsList->ColorRowByCheck(result);
    }
}

void CSearchReport::DeleteUncheckedRows()
{
    for (int i = 0; i < m_ReportList.GetItemCount();) {
        if (m_ReportList.GetCheckbox(i, kColumnCheck) != 1) {
            m_ReportList.DeleteItem(i);
            i = 0; // the count is read again and the scan starts over
        } else {
            ++i;
        }
    }
}

void CSearchReport::RemoveUncheckedRows()
{
    PullSelectionFromResults();
    DeleteUncheckedRows();
}

void CSearchReport::FillFromSession(const CString& strName, bool bGeneral)
{
    m_ReportList.DeleteAllItems();
    if (m_pResultsList) {
        for (int i = 0; i < m_pResultsList->GetItemCount(); ++i)
            m_pResultsList->SetCheckbox(i, kColumnCheck, 0);
    }
    auto tickResult = [this](const CString& number) {
        const int row = ResultsRowOf(number);
        if (row >= 0)
            m_pResultsList->SetCheckbox(row, kColumnCheck, 1);
    };
    if (bGeneral) {
        for (INT_PTR i = 0; i < m_arrGeneral.GetSize(); ++i) {
            AddDocument(m_arrGeneral[i].strNumber, m_arrGeneral[i].strTitle);
            tickResult(m_arrGeneral[i].strNumber);
        }
        return;
    }
    for (INT_PTR s = 0; s < m_arrSessions.GetSize(); ++s) {
        const SearchSession& session = m_arrSessions[s];
        if (session.strName != strName)
            continue;
        for (INT_PTR i = 0; i < session.results.GetSize(); ++i) {
            if (!ContainsDocument(session.results[i].strNumber))
                AddDocument(session.results[i].strNumber, session.results[i].strTitle);
            tickResult(session.results[i].strNumber);
        }
        return;
    }
}

void CSearchReport::StoreRowsInSession(const CString& strName)
{
    for (INT_PTR s = 0; s < m_arrSessions.GetSize(); ++s) {
        SearchSession& session = m_arrSessions[s];
        if (session.strName != strName)
            continue;
        const INT_PTR held = session.results.GetSize();
        for (int row = 0; row < m_ReportList.GetItemCount(); ++row) {
            SessionResult result{m_ReportList.GetItemText(row, kColumnDocument),
                                 m_ReportList.GetItemText(row, kColumnTitle)};
            bool known = false;
            for (INT_PTR i = 0; i < held && !known; ++i)
                known = session.results[i].strNumber == result.strNumber;
            if (!known)
                session.results.Add(result);
        }
        return;
    }
}

void CSearchReport::SetReportProgress(int nTotal, int nDone)
{
    m_ProgressBar.SetPos(nDone * 100 / (nTotal < 1 ? 1 : nTotal));
    m_ProgressBar.Invalidate();
}

void CSearchReport::HideProgress()
{
    m_ProgressBar.ShowWindow(SW_HIDE);
    Invalidate();
}

void CSearchReport::UpdateSelectAllCheck()
{
    const int rows = m_ReportList.GetItemCount();
    const bool all = rows > 0 && m_ReportList.CountCheckedItems(kColumnCheck) == rows;
    m_checkSelectAll.SendMessage(BM_SETCHECK, all ? BST_CHECKED : BST_UNCHECKED);
}

void CSearchReport::RenumberRows()
{
    for (int i = 0; i < m_ReportList.GetItemCount(); ++i) {
        CString position;
        position.Format(" %d.", i + 1);
        if (m_ReportList.GetItemText(i, kColumnNumber) != position)
            m_ReportList.SetItemText(i, kColumnNumber, position);
    }
}

// ---------------------------------------------------------------------- commands

void CSearchReport::OnSelectAll()
{
    const int state = m_checkSelectAll.SendMessage(BM_GETCHECK) != 0 ? 1 : 0;
    const int rows = m_ReportList.GetItemCount();
    if (m_pResultsList) {
        for (int i = 0; i < rows; ++i) {
            const CString number = m_ReportList.GetItemText(i, kColumnDocument);
            for (int r = 0; r < m_pResultsList->GetItemCount(); ++r) {
                if (m_pResultsList->GetItemText(r, kColumnDocument) == number)
                    m_pResultsList->SetCheckbox(r, kColumnCheck, state);
            }
        }
    }
    for (int i = 0; i < rows; ++i)
        m_ReportList.SetCheckbox(i, kColumnCheck, state);
}

void CSearchReport::OnGenerate()
{
    if (m_ReportList.GetItemCount() == 0) {
        ShowMessageBox(kNothingSelected, "Select Document(s)", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (m_pReportRunner)
        m_pReportRunner->SetReportControls(&m_buttonStop, &m_buttonGenerate, &m_textStatus);
    SearchSession session;
    for (int i = 0; i < m_ReportList.GetItemCount(); ++i) {
        if (m_ReportList.GetCheckbox(i, kColumnCheck) == 1)
            session.results.Add(SessionResult{m_ReportList.GetItemText(i, kColumnDocument),
                                              m_ReportList.GetItemText(i, kColumnTitle)});
    }
    if (m_nChosenSession >= 1 && m_nChosenSession < m_arrSessions.GetSize()) {
        session.strName = m_arrSessions[m_nChosenSession].strName;
        session.strMark = m_arrSessions[m_nChosenSession].strMark;
        session.strClient = m_arrSessions[m_nChosenSession].strClient;
    } else {
        session.strName = "General";
    }
    if (session.results.GetSize() == 0) {
        ShowMessageBox(kNothingSelected, "Select Document(s)", MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_ProgressBar.SetPos(0);
    m_ProgressBar.Invalidate();
    if (!m_pReportRunner)
        return;
    m_pReportRunner->StartReport(session);
    // A run that ended within its start (its thread could not be made) has told the page
    // so already: neither the bar nor the pop-up shows for it.
    if (!m_pReportRunner->IsReportBusy() && !m_pReportRunner->IsReportStopping())
        return;
    if (m_pReportRunner->IsReportBusy())
        m_buttonGenerate.EnableWindow(FALSE);
    m_ProgressBar.ShowWindow(SW_SHOW);
    if (m_pProgressPopup && ::IsWindow(m_pProgressPopup->m_hWnd)) {
        m_pProgressPopup->CenterWindow(this);
        m_pProgressPopup->ShowWindow(SW_SHOW);
    }
    m_pReportRunner->SetReportPopup(m_pProgressPopup);
}

void CSearchReport::OnStop()
{
    if (m_pReportRunner)
        m_pReportRunner->StopReport();
    m_textStatus.SetWindowText("Cancelling...");
    m_ProgressBar.ShowWindow(SW_HIDE);
    m_ProgressBar.SetPos(0);
    m_ProgressBar.Invalidate();
    Invalidate();
}

LRESULT CSearchReport::OnPopupCancel(WPARAM, LPARAM)
{
    OnStop();
    return 0;
}
