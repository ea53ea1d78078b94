// CMyListCtrl: the report-view list of the document list. Like CXListCtrl it keeps a record
// per cell (ListCellRecord: colours, bold text, image, the row's data word) and draws every
// cell itself; it shows a fixed text while it is empty, keeps the sort state in its header
// (a header click changes it and tells the parent with UM_SORT_COLUMN; the parent sorts),
// and lets the user drag the selected rows onto a folder of the folder tree: the tree
// highlights the folder under the pointer, scrolls near its edges and opens a folder the
// pointer rests on, and the drop is reported to the parent with UM_DOCUMENTS_DROPPED.
//
// The list's own operations on rows and cells (inserting, deleting, finding a cell's record)
// call the list view's window procedure directly instead of sending it messages: a sent
// message passes the thread's message hooks, and while the menu library's hook is installed
// that costs a round trip to the window server under Wine, more than the operation itself.
#pragma once

#include "Framework.h"
#include "ListCellRecord.h"
#include "ListMessages.h"
#include "MyHeaderCtrl.h"
#include "TreeDropFeedback.h"

#include <vector>

// List -> parent: the dragged rows were dropped on a tree item; wParam and lParam 0. The
// parent reads the rows, the row the drag began on and the tree item's data from the list.
const UINT UM_DOCUMENTS_DROPPED = WM_APP + 2;

class CMyListCtrl : public CListCtrl
{
    DECLARE_DYNAMIC(CMyListCtrl)
public:
    CMyListCtrl();
    ~CMyListCtrl() override;

    // ------------------------------------------------------------ rows and cells
    // Inserts a row, black on white; its index, or -1 (as CXListCtrl).
    int InsertItem(int nItem, const char* lpszItem);
    // Inserts a row made in one go: the text of each column (from column 0) and the record
    // of each column (colours, bold flag; the image and the data word in column 0's). Fewer
    // messages than row-by-cell filling, for lists of thousands of rows. The new index, or -1.
    int InsertRow(int nItem, const std::vector<CString>& texts, const std::vector<ListCellRecord>& cells);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    // Sets the cell text; the colours stay.
    BOOL SetItemText(int nItem, int nSubItem, const char* lpszText);
    // Text (none: colours only) and colours; -1 takes black text or a white background.
    BOOL SetItemText(int nItem, int nSubItem, const char* lpszText, COLORREF crText, COLORREF crBack);
    // Sets the item and records its image in the cell: 1, 0 when the list refuses, -1 for a
    // row below 0.
    int SetItem(const LVITEMA* pItem);
    // Draws the cell's text bold or not; repaints the cell unless told not to.
    int SetBold(int nItem, int nSubItem, int bBold, int bNoRedraw);
    int GetColumnCount() const { return m_nColumnCount; }
    // The row's data word (kept in the record of column 0); 0 for a bad row.
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    const ListCellRecord* GetCellRecord(int nItem, int nSubItem) const { return Cell(nItem, nSubItem); }

    // ------------------------------------------------------------ the sort state (kept only)
    // -1 no sort column, 1 ascending, 2 descending.
    int GetSortOrder() const { return m_HeaderCtrl.GetSortOrder(); }
    int GetSortColumn() const { return m_HeaderCtrl.GetSortColumn(); }
    void SetSortAscending(int nAscending) { m_HeaderCtrl.SetSortAscending(nAscending); }
    void SetSortColumn(int nColumn) { m_HeaderCtrl.SetSortColumn(nColumn); }
    CMyHeaderCtrl& GetHeader() { return m_HeaderCtrl; }

    // ------------------------------------------------------------ what a drop leaves
    std::vector<int> m_arrDraggedRows;   // the rows dragged, in ascending order
    DWORD_PTR m_dwDragRowData = 0;       // the data word of the row the drag began on
    DWORD_PTR m_dwDropTargetData = 0;    // the data of the tree item dropped on

    CPoint m_ptLastRightClick;           // screen coordinates
    CPoint m_ptLastMouse;                // client coordinates

    static const char* const kEmptyText;

protected:
    void PreSubclassWindow() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);
    // Deleting all rows needs no notice per row: the records are freed by DeleteAllItems.
    afx_msg void OnDeleteAllItems(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnHeaderItemClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnColumnsChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The list view's own procedure for a message, called directly.
    LRESULT Own(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // The record of a cell; null for a row or column outside the list or a row without
    // records.
    ListCellRecord* Cell(int nItem, int nSubItem) const;
    void RedrawCellIfShown(int nItem, int nSubItem);
    void SubclassHeader();
    void DrawCell(CDC& dc, CRect rect, int nItem, int nSubItem, const ListCellRecord* pCell, COLORREF crText,
                  COLORREF crBack);
    // Takes the drop highlight off the tree last hovered and forgets the target.
    void ClearDropTarget();

    CRect m_rectClient;
    int m_nColumnCount = 0; // the header's items, counted as columns come and go
    CMyHeaderCtrl m_HeaderCtrl;
    BOOL m_bHeaderSubclassed = FALSE;

    // The drag.
    bool m_bDragging = false;
    CTreeHoverExpand m_HoverExpand;
    CImageList* m_pDragImage = nullptr;
    int m_nDragRow = -1;
    HTREEITEM m_hDropTarget = nullptr;
    HWND m_hLastWnd = nullptr;
};
