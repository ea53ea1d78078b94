#include "XListCtrl.h"

#include "Look.h"

#include <algorithm>

// Registered before the program's entry point runs, so that every window that names it in
// its message map sees the number the list sends.
const UINT WM_XLISTCTRL_CHECKBOX_CLICKED = ::RegisterWindowMessageA("WM_XLISTCTRL_CHECKBOX_CLICKED");

IMPLEMENT_DYNAMIC(CXListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CXListCtrl, CListCtrl)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &ThisClass::OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_BEGINDRAG, &ThisClass::OnBeginDrag)
    ON_NOTIFY(HDN_ITEMCLICKA, 0, &ThisClass::OnHeaderItemClick)
    ON_NOTIFY(HDN_ITEMCLICKW, 0, &ThisClass::OnHeaderItemClick)
    ON_NOTIFY(HDN_BEGINDRAG, 0, &ThisClass::OnHeaderBeginDrag)
END_MESSAGE_MAP()

namespace {

// Below this width the list draws itself, without cell attributes.
const int kMinimumDrawWidth = 300;
const COLORREF kProgressGround = RGB(224, 224, 224);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kCheckedRowText = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);

} // namespace

CXListCtrl::CXListCtrl()
{
    ReadSystemColours();
}

CXListCtrl::~CXListCtrl()
{
    // The records go with the window; destroy it while this object can still free them.
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
}

void CXListCtrl::ReadSystemColours()
{
    m_crButtonFace = ::GetSysColor(COLOR_BTNFACE);
    m_crButtonShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_crHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    m_crHighlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_crWindow = ::GetSysColor(COLOR_WINDOW);
    m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
    m_crGrayText = ::GetSysColor(COLOR_GRAYTEXT);
}

void CXListCtrl::SetEmptyText(const char* lpszText)
{
    m_strEmptyText = lpszText ? lpszText : "";
    if (m_hWnd)
        Invalidate(TRUE);
}

void CXListCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    SubclassHeader();
}

int CXListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CListCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    SubclassHeader();
    return 0;
}

void CXListCtrl::SubclassHeader()
{
    if (!m_bHeaderSubclassed)
        m_bHeaderSubclassed = listcells::SubclassHeader(*this, m_HeaderCtrl);
}

void CXListCtrl::OnDestroy()
{
    // The rows go in one step with their records (a message per row, no menu: see
    // CMenuHookPause), not one by one: a list of a hundred thousand rows closes in seconds.
    CMenuHookPause pause;
    listcells::DeleteAllRows(*this);
    m_bHeaderSubclassed = FALSE;
    CListCtrl::OnDestroy();
}

void CXListCtrl::OnSysColorChange()
{
    CListCtrl::OnSysColorChange();
    ReadSystemColours();
}

// ---------------------------------------------------------------- rows and cells

int CXListCtrl::InsertItem(int nItem, const char* lpszItem)
{
    return listcells::InsertRow(*this, nItem, lpszItem, m_crWindowText, m_crWindow);
}

BOOL CXListCtrl::DeleteItem(int nItem)
{
    return listcells::DeleteRow(*this, nItem);
}

BOOL CXListCtrl::DeleteAllItems()
{
    return listcells::DeleteAllRows(*this);
}

BOOL CXListCtrl::SetItemText(int nItem, int nSubItem, const char* lpszText)
{
    if (!listcells::GetCell(*this, nItem, nSubItem))
        return FALSE;
    const BOOL bResult = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
    listcells::RedrawCell(*this, nItem, nSubItem);
    return bResult;
}

BOOL CXListCtrl::SetItemText(int nItem, int nSubItem, const char* lpszText, COLORREF crText, COLORREF crBack)
{
    ListCellRecord* cell = listcells::GetCell(*this, nItem, nSubItem);
    if (!cell)
        return FALSE;
    BOOL bResult = TRUE;
    if (lpszText)
        bResult = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
    cell->textColour = DefaultText(crText);
    cell->backColour = DefaultBack(crBack);
    listcells::RedrawCell(*this, nItem, nSubItem);
    return bResult;
}

int CXListCtrl::InsertRow(int nItem, const std::vector<CString>& texts)
{
    const int nColumns = GetColumnCount();
    if (nItem < 0 || !m_hWnd)
        return -1;
    ListCellRow* row = ListCellRow::Create(nColumns, m_crWindowText, m_crWindow);
    if (!row)
        return -1;
    // Straight to the list's own procedure: the row and its texts are the list's business.
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = nItem;
    item.pszText = const_cast<char*>(texts.empty() ? "" : texts[0].GetString());
    item.lParam = reinterpret_cast<LPARAM>(row);
    const int nIndex = static_cast<int>(DefWindowProc(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (nIndex < 0) {
        delete row;
        return -1;
    }
    for (int c = 1; c < nColumns && c < static_cast<int>(texts.size()); ++c) {
        if (texts[static_cast<size_t>(c)].IsEmpty())
            continue;
        LVITEMA sub{};
        sub.iSubItem = c;
        sub.pszText = const_cast<char*>(texts[static_cast<size_t>(c)].GetString());
        DefWindowProc(LVM_SETITEMTEXTA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&sub));
    }
    return nIndex;
}

BOOL CXListCtrl::SetCellText(int nItem, int nSubItem, const char* lpszText)
{
    if (!listcells::GetCell(*this, nItem, nSubItem))
        return FALSE;
    return CListCtrl::SetItemText(nItem, nSubItem, lpszText);
}

DWORD_PTR CXListCtrl::GetItemData(int nItem) const
{
    const ListCellRecord* cell = listcells::GetCell(*this, nItem, 0);
    return cell ? cell->rowData : 0;
}

BOOL CXListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    ListCellRecord* cell = listcells::GetCell(*this, nItem, 0);
    if (!cell)
        return FALSE;
    cell->rowData = dwData;
    return TRUE;
}

BOOL CXListCtrl::SetProgress(int nItem, int nSubItem, BOOL bShowProgressText, const char* lpszFormat)
{
    ListCellRecord* cell = listcells::GetCell(*this, nItem, nSubItem);
    if (!cell)
        return FALSE;
    cell->isProgress = 1;
    cell->percent = 0;
    cell->showPercentText = bShowProgressText ? 1 : 0;
    cell->progressFormat = lpszFormat ? lpszFormat : "";
    listcells::RedrawCell(*this, nItem, nSubItem);
    return TRUE;
}

void CXListCtrl::UpdateProgress(int nItem, int nSubItem, int nPercent)
{
    ListCellRecord* cell = listcells::GetCell(*this, nItem, nSubItem);
    if (!cell)
        return;
    cell->percent = std::min(100, std::max(0, nPercent));
    listcells::RedrawCell(*this, nItem, nSubItem);
}

BOOL CXListCtrl::SetCheckbox(int nItem, int nSubItem, int nCheckedState)
{
    if (nCheckedState < -1 || nCheckedState > 1)
        return FALSE;
    ListCellRecord* cell = listcells::GetCell(*this, nItem, nSubItem);
    if (!cell)
        return FALSE;
    cell->checkState = nCheckedState;
    listcells::RedrawCell(*this, nItem, nSubItem);
    UpdateHeaderCheckbox(nSubItem);
    return TRUE;
}

int CXListCtrl::GetCheckbox(int nItem, int nSubItem) const
{
    const ListCellRecord* cell = listcells::GetCell(*this, nItem, nSubItem);
    return cell ? cell->checkState : -1;
}

int CXListCtrl::CountCheckedItems(int nSubItem) const
{
    int count = 0;
    const int rows = GetItemCount();
    for (int i = 0; i < rows; ++i) {
        if (GetCheckbox(i, nSubItem) == 1)
            ++count;
    }
    return count;
}

void CXListCtrl::ColorRowByCheck(int nItem)
{
    const COLORREF crText = GetCheckbox(nItem, 1) == 1 ? kCheckedRowText : kBlack;
    for (int nSubItem : {0, 2, 3}) {
        if (nSubItem < GetColumnCount())
            SetItemText(nItem, nSubItem, GetItemText(nItem, nSubItem), crText, kWhite);
    }
}

int CXListCtrl::FindItemByText(const char* lpszText) const
{
    const CString wanted = lpszText ? lpszText : "";
    const int rows = GetItemCount();
    for (int i = 0; i < rows; ++i) {
        if (GetItemText(i, 2) == wanted)
            return i;
    }
    return -1;
}

int CXListCtrl::GetCurSel() const
{
    return GetNextItem(-1, LVNI_SELECTED);
}

void CXListCtrl::UpdateHeaderCheckbox(int nSubItem)
{
    if (!m_bHeaderSubclassed)
        return;
    HDITEMA item{};
    item.mask = HDI_IMAGE;
    if (!m_HeaderCtrl.GetItem(nSubItem, &item) || item.iImage == 0)
        return;
    item.mask = HDI_IMAGE;
    item.iImage = CountCheckedItems(nSubItem) == GetItemCount() ? 2 : 1;
    m_HeaderCtrl.SetItem(nSubItem, &item);
}

// ---------------------------------------------------------------- mouse

int CXListCtrl::RowAt(CPoint point) const
{
    const int rows = GetItemCount();
    const int first = std::max(0, GetTopIndex());
    const int last = std::min(rows - 1, first + GetCountPerPage() + 1);
    for (int i = first; i <= last; ++i) {
        CRect rect;
        if (GetItemRect(i, &rect, LVIR_BOUNDS) && rect.PtInRect(point))
            return i;
    }
    return -1;
}

int CXListCtrl::ColumnAt(int nItem, CPoint point) const
{
    const int columns = GetColumnCount();
    for (int c = 0; c < columns; ++c) {
        CRect rect;
        if (listcells::GetCellRect(*this, nItem, c, rect) && rect.PtInRect(point))
            return c;
    }
    return -1;
}

void CXListCtrl::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    const int nItem = RowAt(point);
    if (nItem < 0) {
        Default();
        return;
    }
    if (!listcells::GetRow(*this, nItem))
        return;  // a row without records takes no clicks
    const int nSubItem = ColumnAt(nItem, point);
    ListCellRecord* cell = listcells::GetCell(*this, nItem, nSubItem);
    if (cell && cell->checkState != -1) {
        cell->checkState = cell->checkState == 0 ? 1 : 0;
        listcells::RedrawCell(*this, nItem, nSubItem);
        HWND hTarget = ::GetParent(m_hWnd);
        if (!hTarget)
            hTarget = ::GetWindow(m_hWnd, GW_OWNER);
        if (hTarget && ::IsWindow(hTarget))
            ::SendMessageA(hTarget, WM_XLISTCTRL_CHECKBOX_CLICKED, static_cast<WPARAM>(nItem), nSubItem);
        if (!::IsWindow(m_hWnd))
            return;
        UpdateHeaderCheckbox(nSubItem);
    }
    Default();
}

void CXListCtrl::OnRButtonDown(UINT /*nFlags*/, CPoint point)
{
    LVHITTESTINFO hit{};
    hit.pt = point;
    SubItemHitTest(&hit);
    m_ptLastRightClick = point;
    ClientToScreen(&m_ptLastRightClick);
    HWND hParent = ::GetParent(m_hWnd);
    ::SendMessageA(hParent, UM_LIST_RBUTTONDOWN, static_cast<WPARAM>(hit.iItem), 0);
    if (!::IsWindow(m_hWnd))
        return;
    ::SendMessageA(hParent, WM_RBUTTONDBLCLK, 1, MAKELPARAM(m_ptLastRightClick.x, m_ptLastRightClick.y));
    if (::IsWindow(m_hWnd))
        Default();
}

void CXListCtrl::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    m_ptLastMouse = point;
    Default();
}

void CXListCtrl::OnBeginDrag(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    *pResult = 0;
}

void CXListCtrl::OnHeaderItemClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* pHeader = reinterpret_cast<const NMHEADERA*>(pNMHDR);
    m_HeaderCtrl.OnColumnClicked(pHeader->iItem);
    ::SendMessageA(::GetParent(m_hWnd), UM_SORT_COLUMN, 0, 0);
    // The list's own handling turns the click into LVN_COLUMNCLICK for the parent as well.
    if (::IsWindow(m_hWnd))
        Default();
    *pResult = 0;
}

void CXListCtrl::OnHeaderBeginDrag(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    *pResult = 1;  // columns keep their order
}

// ---------------------------------------------------------------- painting

void CXListCtrl::OnPaint()
{
    Default();
    const int rows = GetItemCount();
    if (rows > 1)
        return;
    HWND hHeader = ListView_GetHeader(m_hWnd);
    if (!hHeader)
        return;
    CRect header;
    ::GetWindowRect(hHeader, &header);
    ScreenToClient(&header);
    CRect area;
    GetWindowRect(&area);
    ScreenToClient(&area);
    area.top = header.bottom + (rows == 0 ? 10 : 14);
    if (rows == 1) {
        // The area below the one row only: its own pixels stay as the list drew them.
        CRect row;
        if (GetItemRect(0, &row, LVIR_BOUNDS))
            area.top = std::max<LONG>(area.top, row.bottom);
    }
    if (area.top >= area.bottom)
        return;
    CClientDC dc(this);
    dc.FillSolidRect(&area, m_crWindow);
    if (rows == 0 && !m_strEmptyText.IsEmpty()) {
        CFont* pOldFont = dc.SelectObject(GetFont());
        dc.SetTextColor(m_crGrayText);
        dc.SetBkMode(TRANSPARENT);
        CRect text = area;
        text.DeflateRect(8, 0);
        dc.DrawText(m_strEmptyText, &text, DT_CENTER | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
        if (pOldFont)
            dc.SelectObject(pOldFont);
    }
}

void CXListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pDraw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    CRect window;
    GetWindowRect(&window);
    if (window.Width() < kMinimumDrawWidth)
        return;

    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        break;
    default:
        return;
    }

    const int nItem = static_cast<int>(pDraw->nmcd.dwItemSpec);
    const int nSubItem = pDraw->iSubItem;
    const ListCellRecord* cell = listcells::GetCell(*this, nItem, nSubItem);
    COLORREF crText = cell ? cell->textColour : m_crWindowText;
    COLORREF crBack = cell ? cell->backColour : m_crWindow;
    pDraw->clrText = crText;
    pDraw->clrTextBk = crBack;

    CRect rect;
    if (!listcells::GetCellRect(*this, nItem, nSubItem, rect))
        return;

    CDC dc;
    dc.Attach(pDraw->nmcd.hdc);
    const int saved = dc.SaveDC();
    if (cell && cell->isProgress) {
        DrawProgress(dc, rect, *cell);
    } else {
        ChooseColours(nItem, nSubItem, crText, crBack);
        if (cell && cell->checkState != -1)
            DrawCheckbox(dc, rect, nItem, nSubItem, *cell, crText, crBack);
        else
            DrawImageAndText(dc, rect, nItem, nSubItem, cell, crText, crBack);
    }
    dc.RestoreDC(saved);
    dc.Detach();
    *pResult = CDRF_SKIPDEFAULT;
}

void CXListCtrl::ChooseColours(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBack) const
{
    listcells::ChooseSelectionColours(*this, nItem, nSubItem, crText, crBack, m_crHighlightText, m_crHighlight,
                                      m_crWindowText, m_crButtonFace);
}

void CXListCtrl::DrawImageAndText(CDC& dc, CRect rect, int nItem, int nSubItem, const ListCellRecord* pCell,
                                  COLORREF crText, COLORREF crBack)
{
    dc.FillSolidRect(&rect, crBack);
    CRect textRect = rect;
    textRect.left = listcells::DrawCellImage(*this, dc, rect, pCell, crBack);
    dc.SetBkColor(crBack);
    listcells::DrawCellText(*this, dc, textRect, nItem, nSubItem, pCell, crText);
}

void CXListCtrl::DrawCheckbox(CDC& dc, CRect rect, int nItem, int nSubItem, const ListCellRecord& cell,
                              COLORREF crText, COLORREF crBack)
{
    dc.FillSolidRect(&rect, crBack);

    const CString text = GetItemText(nItem, nSubItem);
    const int side = rect.Height() - 1;
    CRect box(rect.left + 9, rect.top, rect.left + 9 + side, rect.top + side);
    if (text.IsEmpty()) {
        box.left = rect.left + rect.Width() / 2 - side / 2 - 1;
        box.right = box.left + side;
    }
    dc.FillSolidRect(&box, m_crWindow);
    const int filledLeft = box.left;
    CRect edge = box;
    edge.left += 1;
    dc.DrawEdge(&edge, EDGE_SUNKEN, BF_RECT);

    if (cell.checkState == 1) {
        const int x0 = filledLeft + 10;
        const int y0 = box.top + 3;
        for (int k = 0; k <= 6; ++k) {
            const int y = k <= 4 ? y0 + k : y0 + 8 - k;
            look::DrawLine(dc, kBlack, x0 - k, y, x0 - k, y + 3);
        }
    }

    if (!text.IsEmpty()) {
        CRect textRect = rect;
        textRect.left = box.right + 4;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(crText);
        dc.DrawText(text, &textRect, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

void CXListCtrl::DrawProgress(CDC& dc, CRect rect, const ListCellRecord& cell)
{
    rect.left += 1;
    rect.right -= 2;
    rect.bottom -= 1;

    look::DrawLine(dc, m_crButtonShadow, rect.left, rect.bottom, rect.right + 1, rect.bottom);
    look::DrawLine(dc, m_crButtonShadow, rect.left, rect.top, rect.right, rect.top);
    look::DrawLine(dc, m_crButtonShadow, rect.left, rect.top, rect.left, rect.bottom);
    look::DrawLine(dc, m_crButtonShadow, rect.right, rect.top, rect.right, rect.bottom);

    CRect inner(rect.left + 1, rect.top + 1, rect.right, rect.bottom);
    dc.FillSolidRect(&inner, kProgressGround);
    look::DrawLine(dc, kBlack, rect.left + 1, rect.top + 1, rect.right, rect.top + 1);
    look::DrawLine(dc, kBlack, rect.left + 1, rect.top + 1, rect.left + 1, rect.bottom);

    if (cell.percent <= 0)
        return;
    const int width = (rect.right - (rect.left + 2)) * cell.percent / 100;
    CRect bar(rect.left + 2, rect.top + 2, rect.left + 2 + width, rect.bottom);
    dc.FillSolidRect(&bar, m_crHighlight);

    if (!cell.showPercentText)
        return;
    CString text;
    text.Format(cell.progressFormat.IsEmpty() ? "%d%%" : cell.progressFormat.GetString(), cell.percent);
    CRect textRect = rect;
    textRect.DeflateRect(1, 1);
    textRect.OffsetRect(0, 1);
    const UINT nFormat = DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    dc.SetBkMode(TRANSPARENT);

    // Over the bar the text takes the cell's background colour, beside it the text colour.
    dc.SaveDC();
    dc.IntersectClipRect(&bar);
    dc.SetTextColor(cell.backColour);
    dc.DrawText(text, &textRect, nFormat);
    dc.RestoreDC(-1);

    dc.SaveDC();
    dc.IntersectClipRect(bar.right + 1, rect.top, rect.right, rect.bottom);
    dc.SetTextColor(cell.textColour);
    dc.DrawText(text, &textRect, nFormat);
    dc.RestoreDC(-1);
}

CListFillScope::CListFillScope(CListCtrl& list)
    : m_list(list), m_dwExStyle(list.GetExtendedStyle()), m_bQuiet((list.GetStyle() & WS_VISIBLE) != 0)
{
    if (m_bQuiet)
        m_list.SendMessage(WM_SETREDRAW, FALSE);
    if (m_dwExStyle & LVS_EX_FULLROWSELECT)
        m_list.SetExtendedStyle(m_dwExStyle & ~LVS_EX_FULLROWSELECT);
}

CListFillScope::~CListFillScope()
{
    if (m_dwExStyle & LVS_EX_FULLROWSELECT)
        m_list.SetExtendedStyle(m_dwExStyle);
    if (m_bQuiet) {
        m_list.SendMessage(WM_SETREDRAW, TRUE);
        m_list.Invalidate();
    }
}
