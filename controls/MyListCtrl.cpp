#include "MyListCtrl.h"

#include "NewMenuHook.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CMyListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CMyListCtrl, CListCtrl)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &ThisClass::OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_BEGINDRAG, &ThisClass::OnBeginDrag)
    ON_NOTIFY_REFLECT(LVN_DELETEALLITEMS, &ThisClass::OnDeleteAllItems)
    ON_NOTIFY(HDN_ITEMCLICKA, 0, &ThisClass::OnHeaderItemClick)
    ON_NOTIFY(HDN_ITEMCLICKW, 0, &ThisClass::OnHeaderItemClick)
    ON_MESSAGE(LVM_INSERTCOLUMNA, &ThisClass::OnColumnsChanged)
    ON_MESSAGE(LVM_INSERTCOLUMNW, &ThisClass::OnColumnsChanged)
    ON_MESSAGE(LVM_DELETECOLUMN, &ThisClass::OnColumnsChanged)
END_MESSAGE_MAP()

const char* const CMyListCtrl::kEmptyText = "There are no items to show in this view.";

namespace {

const COLORREF kText = RGB(0, 0, 0);
const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kSelectedText = RGB(255, 255, 255);
const COLORREF kSelectedBack = RGB(49, 99, 146);
} // namespace

CMyListCtrl::CMyListCtrl() = default;

CMyListCtrl::~CMyListCtrl()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
    delete m_pDragImage;
}

void CMyListCtrl::PreSubclassWindow()
{
    SubclassHeader();
    CListCtrl::PreSubclassWindow();
    m_nColumnCount = listcells::GetColumnCount(*this);
}

LRESULT CMyListCtrl::OnColumnsChanged(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    m_nColumnCount = listcells::GetColumnCount(*this);
    return result;
}

int CMyListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CListCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    SubclassHeader();
    return 0;
}

void CMyListCtrl::SubclassHeader()
{
    if (!m_bHeaderSubclassed)
        m_bHeaderSubclassed = listcells::SubclassHeader(*this, m_HeaderCtrl);
}

void CMyListCtrl::OnDestroy()
{
    m_HoverExpand.EndDrag();
    m_bDragging = false;
    listcells::FreeAllRows(*this);
    m_bHeaderSubclassed = FALSE;
    CListCtrl::OnDestroy();
}

// ---------------------------------------------------------------- rows and cells

LRESULT CMyListCtrl::Own(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return const_cast<CMyListCtrl*>(this)->DefWindowProc(message, wParam, lParam);
}

ListCellRecord* CMyListCtrl::Cell(int nItem, int nSubItem) const
{
    if (nItem < 0 || nSubItem < 0 || nSubItem >= m_nColumnCount || !m_hWnd)
        return nullptr;
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    if (!Own(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    ListCellRow* row = reinterpret_cast<ListCellRow*>(item.lParam);
    return row ? row->Cell(nSubItem) : nullptr;
}

void CMyListCtrl::RedrawCellIfShown(int nItem, int nSubItem)
{
    if (IsWindowVisible())
        listcells::RedrawCell(*this, nItem, nSubItem);
}

int CMyListCtrl::InsertItem(int nItem, const char* lpszItem)
{
    return listcells::InsertRow(*this, nItem, lpszItem, kText, kBack);
}

int CMyListCtrl::InsertRow(int nItem, const std::vector<CString>& texts, const std::vector<ListCellRecord>& cells)
{
    if (nItem < 0 || !m_hWnd)
        return -1;
    ListCellRow* row = ListCellRow::Create(m_nColumnCount, kText, kBack);
    if (!row)
        return -1;
    for (int c = 0; c < m_nColumnCount && c < static_cast<int>(cells.size()); ++c)
        *row->Cell(c) = cells[static_cast<size_t>(c)];
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = nItem;
    item.pszText = const_cast<char*>(texts.empty() ? "" : texts[0].GetString());
    item.lParam = reinterpret_cast<LPARAM>(row);
    item.iImage = row->GetCount() > 0 ? row->Cell(0)->imageIndex : -1;
    const int nIndex = static_cast<int>(Own(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (nIndex < 0) {
        delete row;
        return -1;
    }
    for (int c = 1; c < m_nColumnCount && c < static_cast<int>(texts.size()); ++c) {
        if (texts[static_cast<size_t>(c)].IsEmpty())
            continue;
        LVITEMA sub{};
        sub.iSubItem = c;
        sub.pszText = const_cast<char*>(texts[static_cast<size_t>(c)].GetString());
        Own(LVM_SETITEMTEXTA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&sub));
    }
    return nIndex;
}

BOOL CMyListCtrl::DeleteItem(int nItem)
{
    return listcells::DeleteRow(*this, nItem);
}

BOOL CMyListCtrl::DeleteAllItems()
{
    if (!m_hWnd)
        return FALSE;
    // The records are freed once the rows are gone; the list sends no notice per row.
    std::vector<ListCellRow*> rows;
    const int count = static_cast<int>(Own(LVM_GETITEMCOUNT));
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        if (Own(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam)
            rows.push_back(reinterpret_cast<ListCellRow*>(item.lParam));
    }
    const BOOL bResult = static_cast<BOOL>(Own(LVM_DELETEALLITEMS));
    if (!bResult)
        return FALSE;
    for (ListCellRow* row : rows)
        delete row;
    return TRUE;
}

void CMyListCtrl::OnDeleteAllItems(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    *pResult = TRUE;
}

BOOL CMyListCtrl::SetItemText(int nItem, int nSubItem, const char* lpszText)
{
    if (!Cell(nItem, nSubItem))
        return FALSE;
    const BOOL bResult = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
    RedrawCellIfShown(nItem, nSubItem);
    return bResult;
}

BOOL CMyListCtrl::SetItemText(int nItem, int nSubItem, const char* lpszText, COLORREF crText, COLORREF crBack)
{
    ListCellRecord* cell = Cell(nItem, nSubItem);
    if (!cell)
        return FALSE;
    BOOL bResult = TRUE;
    if (lpszText)
        bResult = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
    cell->textColour = crText == static_cast<COLORREF>(-1) ? kText : crText;
    cell->backColour = crBack == static_cast<COLORREF>(-1) ? kBack : crBack;
    RedrawCellIfShown(nItem, nSubItem);
    return bResult;
}

int CMyListCtrl::SetItem(const LVITEMA* pItem)
{
    if (!pItem || pItem->iItem < 0)
        return -1;
    if (!CListCtrl::SetItem(pItem))
        return 0;
    if (ListCellRecord* cell = Cell(pItem->iItem, pItem->iSubItem)) {
        if (pItem->mask & LVIF_IMAGE)
            cell->imageIndex = pItem->iImage;
        RedrawCellIfShown(pItem->iItem, pItem->iSubItem);
    }
    return 1;
}

int CMyListCtrl::SetBold(int nItem, int nSubItem, int bBold, int bNoRedraw)
{
    ListCellRecord* cell = Cell(nItem, nSubItem);
    if (!cell)
        return 0;
    cell->bold = bBold;
    if (!bNoRedraw)
        listcells::RedrawCell(*this, nItem, nSubItem);
    return 1;
}

DWORD_PTR CMyListCtrl::GetItemData(int nItem) const
{
    const ListCellRecord* cell = Cell(nItem, 0);
    return cell ? cell->rowData : 0;
}

BOOL CMyListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    ListCellRecord* cell = Cell(nItem, 0);
    if (!cell)
        return FALSE;
    cell->rowData = dwData;
    return TRUE;
}

// ---------------------------------------------------------------- painting

void CMyListCtrl::OnSize(UINT nType, int cx, int cy)
{
    CListCtrl::OnSize(nType, cx, cy);
    GetClientRect(&m_rectClient);
}

BOOL CMyListCtrl::OnEraseBkgnd(CDC* pDC)
{
    pDC->FillSolidRect(&m_rectClient, kBack);
    return TRUE;
}

void CMyListCtrl::OnPaint()
{
    {
        // A notice to the parent per cell drawn, no menu: see CMenuHookPause.
        CMenuHookPause pause;
        Default();
    }
    if (GetItemCount() > 0)
        return;
    // An empty list says so under its header.
    CRect area;
    GetWindowRect(&area);
    ScreenToClient(&area);
    CRect first;
    if (m_bHeaderSubclassed && m_HeaderCtrl.GetItemRect(0, &first))
        area.top += first.bottom;
    area.top += 10;
    CClientDC dc(this);
    const int saved = dc.SaveDC();
    dc.FillSolidRect(&area, kBack);
    dc.SelectStockObject(ANSI_VAR_FONT);
    dc.SetTextColor(kText);
    dc.SetBkColor(kBack);
    dc.DrawText(kEmptyText, &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
    dc.RestoreDC(saved);
}

void CMyListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pDraw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
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
    const ListCellRecord* cell = Cell(nItem, nSubItem);
    COLORREF crText = cell ? cell->textColour : kText;
    COLORREF crBack = cell ? cell->backColour : kBack;
    pDraw->clrText = crText;
    pDraw->clrTextBk = crBack;
    CRect rect;
    if (!listcells::GetCellRect(*this, nItem, nSubItem, rect))
        return;
    listcells::ChooseSelectionColours(*this, nItem, nSubItem, crText, crBack, kSelectedText, kSelectedBack, kText,
                                      kBack);
    CDC dc;
    dc.Attach(pDraw->nmcd.hdc);
    const int saved = dc.SaveDC();
    DrawCell(dc, rect, nItem, nSubItem, cell, crText, crBack);
    dc.RestoreDC(saved);
    dc.Detach();
    *pResult = CDRF_SKIPDEFAULT;
}

void CMyListCtrl::DrawCell(CDC& dc, CRect rect, int nItem, int nSubItem, const ListCellRecord* pCell,
                           COLORREF crText, COLORREF crBack)
{
    // The image part stays white, also on a selected row.
    dc.FillSolidRect(&rect, kBack);
    CRect textRect = rect;
    textRect.left = listcells::DrawCellImage(*this, dc, rect, pCell, kBack);
    if (textRect.left < textRect.right)
        dc.FillSolidRect(&textRect, crBack);
    listcells::DrawCellText(*this, dc, textRect, nItem, nSubItem, pCell, crText);
}

// ---------------------------------------------------------------- header and mouse

void CMyListCtrl::OnHeaderItemClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* pHeader = reinterpret_cast<const NMHEADERA*>(pNMHDR);
    m_HeaderCtrl.OnColumnClicked(pHeader->iItem);
    ::SendMessageA(::GetParent(m_hWnd), UM_SORT_COLUMN, 0, 0);
    if (::IsWindow(m_hWnd))
        Default();
    *pResult = 0;
}

void CMyListCtrl::OnRButtonDown(UINT /*nFlags*/, CPoint point)
{
    m_ptLastRightClick = point;
    ClientToScreen(&m_ptLastRightClick);
    Default();
}

void CMyListCtrl::OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* pView = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    m_arrDraggedRows.clear();
    m_nDragRow = pView->iItem;

    delete m_pDragImage;
    POINT origin{};
    m_pDragImage = CreateDragImage(m_nDragRow, &origin);
    CPoint start = pView->ptAction;
    ClientToScreen(&start);
    if (m_pDragImage) {
        m_pDragImage->BeginDrag(0, CPoint(8, 8));
        DragImageEnter(m_hWnd, start);
    }
    m_bDragging = true;
    m_HoverExpand.BeginDrag();
    m_hDropTarget = nullptr;
    for (int nItem = GetNextItem(-1, LVNI_SELECTED); nItem >= 0; nItem = GetNextItem(nItem, LVNI_SELECTED))
        m_arrDraggedRows.push_back(nItem);
    SetCapture();
}

void CMyListCtrl::ClearDropTarget()
{
    if (m_hDropTarget && m_hLastWnd && ::IsWindow(m_hLastWnd))
        ::SendMessageA(m_hLastWnd, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    m_hDropTarget = nullptr;
}

void CMyListCtrl::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    if (m_bDragging) {
        CPoint screen = point;
        ClientToScreen(&screen);
        DragImageMove(screen);
        CImageList::DragShowNolock(FALSE);

        HWND hWnd = ::WindowFromPoint(screen);
        if (hWnd != m_hLastWnd) {
            m_HoverExpand.Cancel();
            ClearDropTarget();
            m_hLastWnd = hWnd;
        }
        if (IsOwnTreeControl(hWnd)) {
            m_hDropTarget = TrackTreeDropTarget(hWnd, screen);
            // The root (data -1) is never opened.
            if (m_hDropTarget && TreeItemData(hWnd, m_hDropTarget) != -1)
                m_HoverExpand.Hover(hWnd, m_hDropTarget);
        }
        CImageList::DragShowNolock(TRUE);
    }
    m_ptLastMouse = point;
    Default();
}

void CMyListCtrl::OnLButtonUp(UINT /*nFlags*/, CPoint point)
{
    if (m_bDragging) {
        m_HoverExpand.EndDrag();
        m_bDragging = false;
        ::ReleaseCapture();
        DragImageLeave();
        CImageList::EndDrag();
        CPoint screen = point;
        ClientToScreen(&screen);
        HWND hWnd = ::WindowFromPoint(screen);
        if (IsOwnTreeControl(hWnd)) {
            ::SendMessageA(hWnd, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
            if (m_hDropTarget) {
                m_dwDragRowData = GetItemData(m_nDragRow);
                m_dwDropTargetData = static_cast<DWORD_PTR>(TreeItemData(hWnd, m_hDropTarget));
                m_hDropTarget = nullptr;
                ::SendMessageA(::GetParent(m_hWnd), UM_DOCUMENTS_DROPPED, 0, 0);
            }
        }
        m_hDropTarget = nullptr;
        m_hLastWnd = nullptr;
    }
    if (::IsWindow(m_hWnd))
        Default();
}
