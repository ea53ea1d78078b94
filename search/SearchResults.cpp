#include "SearchResults.h"

#include "BalloonHelp.h"
#include "DownloadManager.h"
#include "NewMenu.h"
#include "SearchPaneMessages.h"
#include "resource.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CSearchResults, CMyPropertyPage)

BEGIN_MESSAGE_MAP(CSearchResults, CMyPropertyPage)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_NOTIFY(NM_RCLICK, IDC_RESULTS_LIST, &CSearchResults::OnRclickResults)
    ON_NOTIFY(NM_DBLCLK, IDC_RESULTS_LIST, &CSearchResults::OnDblclkResults)
    ON_NOTIFY(NM_CLICK, IDC_RESULTS_LIST, &CSearchResults::OnClickResults)
    ON_COMMAND(ID_RESULTS_DOWNLOAD_SELECTED, &CSearchResults::OnDownloadSelected)
    ON_COMMAND(ID_RESULTS_DOWNLOAD_FIRST_PAGE, &CSearchResults::OnDownloadFirstPageOnly)
    ON_COMMAND(ID_RESULTS_COPY_TO_CLIPBOARD, &CSearchResults::OnCopyResultsToClipboard)
    ON_COMMAND(ID_RESULTS_STOP_SEARCH, &CSearchResults::OnStopSearch)
    ON_BN_CLICKED(IDC_RESULTS_STOP, &CSearchResults::OnStopSearchButton)
    ON_BN_CLICKED(IDC_RESULTS_COPY, &CSearchResults::OnCopyResultsToClipboard)
    ON_BN_CLICKED(IDC_RESULTS_SELECT_ALL, &CSearchResults::OnSelectAll)
    ON_MESSAGE(UM_RESULTS_REPAINT, &CSearchResults::OnRepaint)
    ON_MESSAGE(UM_SORT_COLUMN, &CSearchResults::OnHeaderClick)
END_MESSAGE_MAP()

CSearchResults::LaunchBalloonFn CSearchResults::s_pfnLaunchBalloon = &CBalloonHelp::LaunchBalloon;

namespace {

const char kEmptyListText[] = "Search results will be displayed in this panel.";
const char kClipboardHeader[] = "Search results provided by Zentrova International 4.0\r\n\r\n";
const COLORREF kFrameTopLeft = RGB(196, 185, 128);
const COLORREF kFrameBottomRight = RGB(223, 215, 171);
const COLORREF kPanel = RGB(236, 233, 216);
const int kSearchListPopup = 2;
const unsigned kBalloonOptions = 0x400 | 0x800;

void SetMenuItemState(CMenu* pPopup, UINT nID, bool bEnabled)
{
    pPopup->EnableMenuItem(nID, MF_BYCOMMAND | (bEnabled ? MF_ENABLED : MF_GRAYED));
}

} // namespace

void SortResultRecords(std::vector<ResultSortRecord>& records, int nColumn, int nOrder)
{
    if ((nColumn != 2 && nColumn != 3) || (nOrder != 1 && nOrder != 2))
        return;
    auto key = [nColumn](const ResultSortRecord& r) -> const CString& {
        return nColumn == 2 ? r.strNumber : r.strTitle;
    };
    // Byte by byte, as unsigned characters.
    auto compare = [](const CString& a, const CString& b) {
        const size_t n = std::min<size_t>(a.GetLength(), b.GetLength());
        int c = std::memcmp(a.GetString(), b.GetString(), n);
        if (c != 0)
            return c;
        return a.GetLength() < b.GetLength() ? -1 : (a.GetLength() > b.GetLength() ? 1 : 0);
    };
    const size_t n = records.size();
    for (size_t pass = 0; pass < n; ++pass) {
        for (size_t j = 0; j + 1 < n; ++j) {
            int c = compare(key(records[j]), key(records[j + 1]));
            if ((nOrder == 1 && c < 0) || (nOrder == 2 && c > 0))
                std::swap(records[j], records[j + 1]);
        }
    }
}

CString ResultsClipboardText(const std::vector<std::pair<CString, CString>>& rows)
{
    CString text = kClipboardHeader;
    for (const auto& row : rows) {
        CString number = row.first;
        int dot = number.Find('.');
        if (dot >= 0)
            number = number.Mid(dot + 1);
        text += number + "\t" + row.second + "\r\n";
    }
    return text;
}

CSearchResults::CSearchResults() : CMyPropertyPage(IDD_SEARCH_RESULTS) {}

CSearchResults::~CSearchResults() = default;

void CSearchResults::DoDataExchange(CDataExchange* pDX)
{
    CMyPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RESULTS_LIST, m_listResults);
    DDX_Control(pDX, IDC_RESULTS_STATUS, m_labelStatus);
    DDX_Control(pDX, IDC_RESULTS_STOP, m_buttonStop);
    DDX_Control(pDX, IDC_RESULTS_COPY, m_buttonCopy);
    DDX_Control(pDX, IDC_RESULTS_SELECT_ALL, m_checkSelectAll);
    DDX_Control(pDX, IDC_RESULTS_QUERY, m_staticQuery);
    DDX_Control(pDX, IDC_RESULTS_PROGRESS, m_progress);
}

BOOL CSearchResults::OnInitDialog()
{
    CMyPropertyPage::OnInitDialog();
    GetClientRect(&m_rectClient);
    AfxSocketInit();
    ::CoInitialize(nullptr);

    m_progress.SetRange(0, 200);
    m_progress.ModifyStyle(0, 0xA000);
    m_progress.SetPos(0);
    m_progress.SetSnakeLength(350);
    m_progress.ModifyStyle(0x2000 | 0x1000, 0);
    m_progress.SetStep(2);
    COLORREF crFirst = 0, crSecond = 0;
    m_progress.GetColors(crFirst, crSecond);
    if (crFirst == crSecond)
        crFirst = crSecond = RGB(206, 0, 0);
    m_progress.SetColors(3, crFirst, crSecond, crFirst);
    m_progress.SetBkColor(RGB(226, 223, 206));
    m_progress.ShowWindow(SW_HIDE);

    const char* const headers[] = {" ", "Report", "Document", "Title"};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | (i >= 2 ? LVCF_FMT : 0);
        column.fmt = LVCFMT_LEFT;
        column.pszText = const_cast<char*>(headers[i]);
        m_listResults.SendMessage(LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    m_listResults.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    m_listResults.SetEmptyText(kEmptyListText);

    m_buttonStop.LoadBitmap(IDB_RESULTS_STOP);
    m_buttonStop.GetWindowRect(&m_rectStop);
    ScreenToClient(&m_rectStop);
    m_rectStop.right = m_rectStop.left + 80;
    m_buttonCopy.LoadBitmap(IDB_PANE_COPY);
    m_rectCopy.top = m_rectStop.top;
    m_rectCopy.right = m_rectStop.left - 5;
    m_rectCopy.left = m_rectCopy.right - 113;
    m_rectCopy.bottom = m_rectCopy.top + 24;
    m_buttonCopy.MoveWindow(&m_rectCopy);

    SetColumnWidths();

    m_labelStatus.SetBkColor(kPanel);
    m_labelStatus.Initialize();
    m_rectStatus.SetRect(76, 5, m_rectCopy.left, 24);
    m_labelStatus.MoveWindow(&m_rectStatus);

    m_bInitialized = 1;
    m_staticQuery.SetWindowText("Query: ");
    GetClientRect(&m_rectClient);
    OnSize(SIZE_RESTORED, m_rectClient.Width(), m_rectClient.Height());
    return TRUE;
}

// ---------------------------------------------------------------- layout and painting

void CSearchResults::OnSize(UINT nType, int cx, int cy)
{
    CMyPropertyPage::OnSize(nType, cx, cy);
    GetClientRect(&m_rectClient);
    if (!m_bInitialized)
        return;
    const int W = m_rectClient.Width();
    const int H = m_rectClient.Height();
    m_listResults.MoveWindow(1, 30, W - 1, H - 75);
    m_checkSelectAll.MoveWindow(1, m_rectClient.bottom - 40, 65, 20);
    m_staticQuery.MoveWindow(1, m_rectClient.bottom - 16, m_rectClient.right - 10, 15);

    const int dx = (m_rectClient.right - 10) - m_rectStop.right;
    const int h = m_rectStop.Height();
    m_rectStop.OffsetRect(dx, 0);
    m_rectStop.top = 0;
    m_rectStop.bottom = h;
    m_buttonStop.MoveWindow(m_rectStop.left + 20, m_rectStop.top, 54, h);

    CRect bar;
    m_progress.GetWindowRect(&bar);
    ScreenToClient(&bar);
    m_progress.SetWindowPos(nullptr, 10, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    bar.OffsetRect(10 - bar.left, 5 - bar.top);

    m_rectCopy.OffsetRect(dx, 0);
    m_buttonCopy.MoveWindow(&m_rectCopy);
    m_labelStatus.MoveWindow(bar.right + 10, bar.top, 240, bar.Height());
}

void CSearchResults::SetColumnWidths()
{
    const int W = m_rectClient.Width();
    if (!m_listResults.m_hWnd)
        return;
    const double shares[] = {0.03, 0.07, 0.2, 0.75};
    for (int i = 0; i < 4; ++i)
        m_listResults.SetColumnWidth(i, static_cast<int>(W * shares[i]));
    m_listResults.SetColumnWidth(3, LVSCW_AUTOSIZE_USEHEADER);
}

CString CSearchResults::GetColumnWidths() const
{
    CString text;
    if (!m_listResults.m_hWnd)
        return text;
    HWND hHeader = reinterpret_cast<HWND>(::SendMessageA(m_listResults.m_hWnd, LVM_GETHEADER, 0, 0));
    const int n = hHeader ? static_cast<int>(::SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < n; ++i)
        text.AppendFormat("%d,", static_cast<int>(::SendMessageA(m_listResults.m_hWnd, LVM_GETCOLUMNWIDTH, i, 0)));
    return text;
}

BOOL CSearchResults::OnEraseBkgnd(CDC* pDC)
{
    CMyPropertyPage::OnEraseBkgnd(pDC);
    DrawFrames(pDC);
    return TRUE;
}

void CSearchResults::DrawFrames(CDC* pDC)
{
    if (m_listResults.m_hWnd) {
        CRect list;
        m_listResults.GetWindowRect(&list);
        ScreenToClient(&list);
        list.InflateRect(1, 1);
        pDC->Draw3dRect(&list, kFrameTopLeft, kFrameBottomRight);
    }
    if (m_progress.m_hWnd) {
        CRect bar;
        m_progress.GetWindowRect(&bar);
        ScreenToClient(&bar);
        bar.InflateRect(1, 1);
        pDC->FillSolidRect(&bar, kPanel);
    }
    UpdateSelectAllCheck();
}

void CSearchResults::RepaintFrames()
{
    if (!m_hWnd)
        return;
    CClientDC dc(this);
    DrawFrames(&dc);
}

// ---------------------------------------------------------------- state driven by the pane

void CSearchResults::ClearResults()
{
    m_listResults.DeleteAllItems();
    m_ResultMap.RemoveAll();
}

void CSearchResults::SetStatusText(const CString& text)
{
    m_labelStatus.SetText(text);
}

void CSearchResults::ClearStatus()
{
    m_bSearchRunning = 0;
    m_labelStatus.SetText("");
    RepaintFrames();
}

void CSearchResults::ShowProgress()
{
    m_progress.ModifyStyle(0, 0xA000);
    m_progress.ModifyStyle(0x2000, 0);
    m_progress.KillTimer(CProgressCtrlX::kStepTimer);
    m_progress.SetTimer(CProgressCtrlX::kStepTimer, 7);
    m_progress.ShowWindow(SW_SHOW);
}

void CSearchResults::HideProgress()
{
    m_progress.ShowWindow(SW_HIDE);
    m_progress.KillTimer(11);
    m_progress.KillTimer(12);
    m_progress.SetPos(0);
    m_progress.Invalidate();
}

void CSearchResults::EnableCopyButton(bool bEnable)
{
    m_buttonCopy.EnableWindow(bEnable ? TRUE : FALSE);
}

void CSearchResults::ColourRow(int nRow)
{
    m_listResults.ColorRowByCheck(nRow);
}

void CSearchResults::ColourAllRows()
{
    const int n = m_listResults.GetItemCount();
    for (int i = 0; i < n; ++i)
        ColourRow(i);
}

void CSearchResults::UpdateSelectAllCheck()
{
    if (!m_checkSelectAll.m_hWnd)
        return;
    const int n = m_listResults.GetItemCount();
    const bool bAll = n > 0 && m_listResults.CountCheckedItems(1) == n;
    m_checkSelectAll.SetCheck(bAll ? BST_CHECKED : BST_UNCHECKED);
}

LRESULT CSearchResults::OnRepaint(WPARAM, LPARAM)
{
    m_bSearchRunning = 1;
    m_listResults.Invalidate(TRUE);
    return 1;
}

void CSearchResults::OnStopSearch()
{
    if (m_hSearchPane)
        ::SendMessageA(m_hSearchPane, UM_STOP_SEARCH, 0, 0);
    ClearStatus();
}

void CSearchResults::OnStopSearchButton()
{
    OnStopSearch();
}

// ---------------------------------------------------------------- the context menu

void CSearchResults::PrepareContextMenu(CMenu* pPopup)
{
    const bool bSelected = m_listResults.GetSelectedCount() > 0;
    SetMenuItemState(pPopup, ID_RESULTS_STOP_SEARCH, m_bSearchRunning == 1);
    SetMenuItemState(pPopup, ID_RESULTS_DOWNLOAD_SELECTED, bSelected);
    SetMenuItemState(pPopup, ID_RESULTS_DOWNLOAD_FIRST_PAGE, bSelected);
    SetMenuItemState(pPopup, ID_RESULTS_REMOVE_FROM_REPORT, bSelected);
    SetMenuItemState(pPopup, ID_RESULTS_COPY_TO_CLIPBOARD, m_bCopyAllowed == 1);
    const bool bAdd = m_listResults.GetItemCount() > 0 && m_listResults.GetCurSel() >= 0;
    pPopup->EnableMenuItem(ID_RESULTS_ADD_TO_REPORT,
                           MF_BYCOMMAND | (bAdd ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
}

void CSearchResults::OnRclickResults(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CNewMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return;
    CMenu* pPopup = menu.GetSubMenu(kSearchListPopup);
    if (!pPopup)
        return;
    PrepareContextMenu(pPopup);
    const CPoint pt = m_listResults.m_ptLastRightClick;
    pPopup->TrackPopupMenu(0, pt.x, pt.y, this);
}

// ---------------------------------------------------------------- clicks, ticks, sorting

void CSearchResults::OnClickResults(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    if (m_listResults.GetSelectedCount() == 0)
        return;
    int i = -1;
    while ((i = m_listResults.GetNextItem(i, LVNI_SELECTED)) >= 0)
        ColourRow(i);
}

void CSearchResults::OnSelectAll()
{
    const int state = m_checkSelectAll.GetCheck() != 0 ? 1 : 0;
    const int n = m_listResults.GetItemCount();
    for (int i = 0; i < n; ++i) {
        m_listResults.SetCheckbox(i, 1, state);
        ColourRow(i);
    }
}

LRESULT CSearchResults::OnHeaderClick(WPARAM, LPARAM)
{
    SortByColumn();
    return 1;
}

void CSearchResults::SortByColumn()
{
    if (m_bSearchRunning == 1)
        return;
    const int c = m_listResults.GetSortColumn();
    if (c < 2) {
        m_listResults.SetSortColumn(m_nLastSortColumn);
        return;
    }
    m_nLastSortColumn = c;
    const int n = m_listResults.GetItemCount();
    for (int i = 0; i < n; ++i) {
        ResultSortRecord record;
        record.strNumber = m_listResults.GetItemText(i, 2);
        record.strTitle = m_listResults.GetItemText(i, 3);
        record.bChecked = m_listResults.GetCheckbox(i, 1) == 1;
        m_SortRecords.push_back(record);
    }
    if (m_SortRecords.size() < 2) {
        m_SortRecords.clear();
        return;
    }
    m_listResults.DeleteAllItems();
    SortResultRecords(m_SortRecords, c, m_listResults.GetSortOrder());
    m_ResultMap.RemoveAll();
    for (size_t i = 0; i < m_SortRecords.size(); ++i) {
        const ResultSortRecord& r = m_SortRecords[i];
        const int row = static_cast<int>(i);
        m_listResults.InsertItem(row, "");
        CString number;
        number.Format("%d.", row + 1);
        m_listResults.SetItemText(row, 0, number);
        m_listResults.SetCheckbox(row, 1, r.bChecked ? 1 : 0);
        m_listResults.SetItemText(row, 2, r.strNumber);
        m_listResults.SetItemText(row, 3, r.strTitle);
        m_listResults.SetItemData(row, static_cast<DWORD_PTR>(row + 1));
        m_ResultMap.SetAt(row + 1, r.strNumber);
    }
    m_SortRecords.clear();
    Invalidate(TRUE);
}

// ---------------------------------------------------------------- the clipboard

void CSearchResults::OnCopyResultsToClipboard()
{
    if (!::OpenClipboard(m_hWnd))
        return;
    std::vector<std::pair<CString, CString>> rows;
    const int n = m_listResults.GetItemCount();
    for (int i = 0; i < n; ++i)
        rows.emplace_back(m_listResults.GetItemText(i, 2), m_listResults.GetItemText(i, 3));
    const CString text = ResultsClipboardText(rows);

    ::EmptyClipboard();
    // The clipboard takes the block only when it can be moved; a block that is not placed
    // is freed here.
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, static_cast<SIZE_T>(text.GetLength()) + 1);
    if (hBlock) {
        if (void* p = ::GlobalLock(hBlock)) {
            std::memcpy(p, text.GetString(), static_cast<size_t>(text.GetLength()) + 1);
            ::GlobalUnlock(hBlock);
            if (::SetClipboardData(CF_TEXT, hBlock))
                hBlock = nullptr;
        }
        if (hBlock)
            ::GlobalFree(hBlock);
    }
    ::CloseClipboard();
}

// ---------------------------------------------------------------- downloads

int CSearchResults::StartDownload(const CString& number, bool bFirstPageOnly)
{
    if (!m_pDownloadManager)
        return 0;
    m_pDownloadManager->m_bFirstPageOnly = bFirstPageOnly ? 1 : 0;
    if (bFirstPageOnly)
        m_pDownloadManager->m_nPageLimit = 1;
    return m_pDownloadManager->StartDownload(number, m_strLocationUID);
}

CString CSearchResults::FindDownloadedDocument(const CString& number)
{
    return m_pDownloadManager ? m_pDownloadManager->FindDownloadedDocument(number) : CString();
}

std::vector<CString> CSearchResults::SelectedNumbers() const
{
    std::vector<CString> numbers;
    int i = m_listResults.GetNextItem(-1, LVNI_SELECTED);
    while (i >= 0) {
        const int next = m_listResults.GetNextItem(i, LVNI_SELECTED);
        CString number;
        m_ResultMap.Lookup(static_cast<int>(m_listResults.GetItemData(i)), number);
        numbers.push_back(number);
        i = next;
    }
    return numbers;
}

CPoint CSearchResults::BalloonAnchor() const
{
    CPoint anchor = m_listResults.m_ptLastRightClick;
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->ScreenToClient(&anchor);
    return anchor;
}

void CSearchResults::OnDblclkResults(NMHDR*, LRESULT* pResult)
{
    CPoint pt = m_listResults.m_ptLastMouse;
    m_listResults.ClientToScreen(&pt);
    m_listResults.m_ptLastRightClick = pt;
    OnDownloadSelected();
    *pResult = 0;
}

void CSearchResults::OnDownloadSelected()
{
    CPoint anchor = BalloonAnchor();
    CString message;
    int already = 0, error = 0, started = 0;
    std::vector<CString> inLibrary;
    for (const CString& number : SelectedNumbers()) {
        if (!m_pDownloadManager)
            continue;
        const int r = StartDownload(number, false);
        if (r == -1) {
            already = 1;
            message.AppendFormat("\nDocument %s is already being downloaded.", number.GetString());
        } else if (r == -2) {
            error = 1;
            message.AppendFormat("\nAn Error Occurred attempting to download %s", number.GetString());
        } else if (r == -3) {
            inLibrary.push_back(number);
        } else {
            started = 1;
        }
    }
    CWnd* pMain = AfxGetMainWnd();
    const int k = static_cast<int>(inLibrary.size());
    const int base = anchor.y;
    if (already || error || started) {
        if (already || error)
            message += "\n";
        CPoint at(anchor.x, base + k * 50);
        s_pfnLaunchBalloon("Status", CString("Your documents are being downloaded.") + message, at, IDI_QUESTION,
                           kBalloonOptions, pMain, "", 3000);
    }
    for (int i = k - 1; i >= 0; --i) {
        CPoint at(anchor.x, base + i * 50);
        CString text;
        text.Format("Document %s already downloaded.", inLibrary[i].GetString());
        s_pfnLaunchBalloon("Click to Open", text, at, IDI_INFORMATION, kBalloonOptions, pMain,
                           FindDownloadedDocument(inLibrary[i]), 3000);
    }
}

void CSearchResults::OnDownloadFirstPageOnly()
{
    const CPoint anchor = BalloonAnchor();
    CString message = "Sorry, at least 1 Document could not be downloaded because:  \n\n";
    int failed = 0;
    for (const CString& number : SelectedNumbers()) {
        if (!m_pDownloadManager)
            continue;
        const int r = StartDownload(number, true);
        if (r == -1) {
            message.AppendFormat("\tDocument \"%s\" is currently being downloaded.\n", number.GetString());
            failed = 1;
        } else if (r == -2) {
            message.AppendFormat("\tAn Error Occured attempting to download \"%s\"\n", number.GetString());
            failed = 1;
        } else if (r == -3) {
            message.AppendFormat("\tDocument \"%s\" is already in the current project.\n", number.GetString());
            failed = 1;
        }
    }
    s_pfnLaunchBalloon(failed ? "An Error Occured..." : "Status...",
                       failed ? message : CString("Your documents are now being downloaded."), anchor, IDI_QUESTION,
                       kBalloonOptions | 0x1000, AfxGetMainWnd(), "", 3000);
}
