#include "ListCellRecord.h"

#include <algorithm>
#include <new>

ListCellRow* ListCellRow::Create(int nColumns, COLORREF crText, COLORREF crBack)
{
    if (nColumns < 0)
        nColumns = 0;
    try {
        ListCellRow* row = new ListCellRow;
        row->m_cells.resize(static_cast<size_t>(nColumns));
        for (ListCellRecord& cell : row->m_cells) {
            cell.textColour = crText;
            cell.backColour = crBack;
        }
        return row;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ListCellRecord* ListCellRow::Cell(int nColumn)
{
    if (nColumn < 0 || nColumn >= GetCount())
        return nullptr;
    return &m_cells[static_cast<size_t>(nColumn)];
}

namespace listcells {

namespace {

// A question to a list or its header, handed to the control's own procedure when the window
// is one of the framework's (its messages then skip only this program's message maps, which
// do not answer them): the cells are drawn with several questions each, and a sent message
// passes the thread's message hooks first, under Wine a round trip to the window server.
LRESULT Ask(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd && reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == AfxWndProc)
        return pWnd->DefWindowProc(message, wParam, lParam);
    return ::SendMessageA(hWnd, message, wParam, lParam);
}

HWND HeaderOf(const CListCtrl& list)
{
    return reinterpret_cast<HWND>(Ask(list.m_hWnd, LVM_GETHEADER));
}

BOOL SubItemRect(const CListCtrl& list, int nItem, int nSubItem, CRect& rect)
{
    RECT r{};
    r.top = nSubItem;
    r.left = LVIR_BOUNDS;
    if (!Ask(list.m_hWnd, LVM_GETSUBITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&r)))
        return FALSE;
    rect = r;
    return TRUE;
}

} // namespace

int GetColumnCount(const CListCtrl& list)
{
    HWND hHeader = list.m_hWnd ? HeaderOf(list) : nullptr;
    return hHeader ? static_cast<int>(Ask(hHeader, HDM_GETITEMCOUNT)) : 0;
}

ListCellRow* GetRow(const CListCtrl& list, int nItem)
{
    if (!::IsWindow(list.m_hWnd) || nItem < 0 || nItem >= list.GetItemCount())
        return nullptr;
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    if (!list.GetItem(&item))
        return nullptr;
    return reinterpret_cast<ListCellRow*>(item.lParam);
}

ListCellRecord* GetCell(const CListCtrl& list, int nItem, int nSubItem)
{
    if (nSubItem < 0 || nSubItem >= GetColumnCount(list))
        return nullptr;
    ListCellRow* row = GetRow(list, nItem);
    return row ? row->Cell(nSubItem) : nullptr;
}

int InsertRow(CListCtrl& list, int nItem, const char* lpszText, COLORREF crText, COLORREF crBack)
{
    if (nItem < 0)
        return -1;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = nItem;
    item.pszText = const_cast<char*>(lpszText ? lpszText : "");
    item.lParam = 0;
    const int nIndex = list.InsertItem(&item);
    if (nIndex < 0)
        return -1;
    ListCellRow* row = ListCellRow::Create(GetColumnCount(list), crText, crBack);
    if (!row)
        return -1;
    LVITEMA param{};
    param.mask = LVIF_PARAM;
    param.iItem = nIndex;
    param.lParam = reinterpret_cast<LPARAM>(row);
    if (!list.SetItem(&param)) {
        delete row;
        return -1;
    }
    return nIndex;
}

void FreeRow(CListCtrl& list, int nItem)
{
    ListCellRow* row = GetRow(list, nItem);
    if (!row)
        return;
    LVITEMA param{};
    param.mask = LVIF_PARAM;
    param.iItem = nItem;
    param.lParam = 0;
    list.SetItem(&param);
    delete row;
}

void FreeAllRows(CListCtrl& list)
{
    const int count = ::IsWindow(list.m_hWnd) ? list.GetItemCount() : 0;
    for (int i = 0; i < count; ++i)
        FreeRow(list, i);
}

BOOL DeleteRow(CListCtrl& list, int nItem)
{
    if (nItem < 0 || nItem >= list.GetItemCount())
        return FALSE;
    FreeRow(list, nItem);
    return list.DeleteItem(nItem);
}

BOOL DeleteAllRows(CListCtrl& list)
{
    std::vector<ListCellRow*> rows;
    const int count = list.GetItemCount();
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        if (list.GetItem(&item) && item.lParam)
            rows.push_back(reinterpret_cast<ListCellRow*>(item.lParam));
    }
    const BOOL bResult = list.DeleteAllItems();
    for (ListCellRow* row : rows)
        delete row;
    return bResult;
}

BOOL SubclassHeader(CListCtrl& list, CWnd& header)
{
    if (header.m_hWnd)
        return TRUE;
    const HWND hHeader = list.m_hWnd ? ListView_GetHeader(list.m_hWnd) : nullptr;
    return hHeader && header.SubclassWindow(hHeader);
}

BOOL GetCellRect(const CListCtrl& list, int nItem, int nSubItem, CRect& rect)
{
    if (!SubItemRect(list, nItem, nSubItem, rect))
        return FALSE;
    if (nSubItem == 0 && GetColumnCount(list) >= 2) {
        CRect next;
        if (SubItemRect(list, nItem, 1, next))
            rect.right = next.left;
    }
    return TRUE;
}

void RedrawCell(CListCtrl& list, int nItem, int nSubItem)
{
    CRect rect;
    if (!GetCellRect(list, nItem, nSubItem, rect))
        return;
    list.InvalidateRect(&rect, TRUE);
    list.UpdateWindow();
}

void ChooseSelectionColours(const CListCtrl& list, int nItem, int nSubItem, COLORREF& crText, COLORREF& crBack,
                            COLORREF crSelectedText, COLORREF crSelectedBack, COLORREF crUnfocusedText,
                            COLORREF crUnfocusedBack)
{
    const bool bSelected =
        (Ask(list.m_hWnd, LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), LVIS_SELECTED) & LVIS_SELECTED) != 0;
    const bool bFullRow = (Ask(list.m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE) & LVS_EX_FULLROWSELECT) != 0;
    if (!bSelected || (!bFullRow && nSubItem != 0))
        return;
    if (::GetFocus() == list.m_hWnd) {
        crText = crSelectedText;
        crBack = crSelectedBack;
    } else if (list.GetStyle() & LVS_SHOWSELALWAYS) {
        crText = crUnfocusedText;
        crBack = crUnfocusedBack;
    }
}

int DrawCellImage(const CListCtrl& list, CDC& dc, const CRect& rect, const ListCellRecord* pCell, COLORREF crBack)
{
    HIMAGELIST hImages = reinterpret_cast<HIMAGELIST>(Ask(list.m_hWnd, LVM_GETIMAGELIST, LVSIL_SMALL));
    IMAGEINFO info{};
    if (!hImages || !pCell || pCell->imageIndex == -1 || !ImageList_GetImageInfo(hImages, pCell->imageIndex, &info))
        return rect.left;
    const int width = info.rcImage.right - info.rcImage.left;
    const int height = info.rcImage.bottom - info.rcImage.top;
    const int x = rect.left + kImageInset;
    const int y = std::max<int>(rect.top + (rect.Height() - height) / 2, rect.top);
    const int cx = std::max(0, std::min(width, static_cast<int>(rect.right) - x));
    const int cy = std::max(0, std::min(height, rect.Height()));
    const COLORREF crOld = ImageList_SetBkColor(hImages, crBack);
    ImageList_DrawEx(hImages, pCell->imageIndex, dc.GetSafeHdc(), x, y, cx, cy, CLR_DEFAULT, CLR_DEFAULT, ILD_NORMAL);
    ImageList_SetBkColor(hImages, crOld);
    return x + width;
}

void DrawCellText(const CListCtrl& list, CDC& dc, const CRect& rect, int nItem, int nSubItem,
                  const ListCellRecord* pCell, COLORREF crText)
{
    // The cell's text; one longer than a cell shows is read the list's usual way.
    char buffer[1024];
    LVITEMA cell{};
    cell.iSubItem = nSubItem;
    cell.cchTextMax = sizeof buffer;
    cell.pszText = buffer;
    const int n =
        static_cast<int>(Ask(list.m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&cell)));
    const CString text = n < static_cast<int>(sizeof buffer) - 1 ? CString(buffer, n) : list.GetItemText(nItem, nSubItem);
    if (text.IsEmpty())
        return;
    UINT nAlign = DT_RIGHT;
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    HWND hHeader = HeaderOf(list);
    if (hHeader && Ask(hHeader, HDM_GETITEMA, static_cast<WPARAM>(nSubItem), reinterpret_cast<LPARAM>(&item))) {
        const int justify = item.fmt & HDF_JUSTIFYMASK;
        nAlign = justify == HDF_CENTER ? DT_CENTER : justify == HDF_LEFT ? DT_LEFT : DT_RIGHT;
    }
    CFont boldFont;
    CFont* pOldFont = nullptr;
    if (pCell && pCell->bold) {
        LOGFONTA lf{};
        HFONT hCurrent = static_cast<HFONT>(::GetCurrentObject(dc.GetSafeHdc(), OBJ_FONT));
        if (hCurrent && ::GetObjectA(hCurrent, sizeof lf, &lf)) {
            lf.lfWeight = FW_BOLD;
            if (boldFont.CreateFontIndirect(&lf))
                pOldFont = dc.SelectObject(&boldFont);
        }
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(crText);
    CRect textRect = rect;
    dc.DrawText(text, &textRect, nAlign | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (pOldFont)
        dc.SelectObject(pOldFont);
}

} // namespace listcells
