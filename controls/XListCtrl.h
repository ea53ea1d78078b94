// CXListCtrl: the report-view list of the download queue and the search pages, in which every
// cell carries its own attributes (ListCellRecord): text and background colour, bold text, an
// image, a check box, or a progress bar with its percentage. The control draws the cells
// itself through custom draw; a list narrower than 300 pixels is left to draw itself plainly.
//
// A click on a check-box cell toggles it and tells the parent with the registered message
// WM_XLISTCTRL_CHECKBOX_CLICKED; a right-button press tells the parent UM_LIST_RBUTTONDOWN
// with the row under the point and keeps the point for the parent's context menu; a click on
// a column header updates the header's sort state and sends UM_SORT_COLUMN.
//
// Every column must exist before rows are inserted: a row holds one record per column of the
// header at the time it was inserted. Operations on a row or column outside the list, or on
// a cell the row has no record for, answer their failure value and change nothing.
#pragma once

#include "Framework.h"
#include "ListCellRecord.h"
#include "ListMessages.h"
#include "MyHeaderCtrl.h"
#include "NewMenuHook.h"

#include <vector>

class CXListCtrl : public CListCtrl
{
    DECLARE_DYNAMIC(CXListCtrl)
public:
    CXListCtrl();
    ~CXListCtrl() override;

    // ------------------------------------------------------------ rows and cells
    // Inserts a row in the list's default colours; its index, or -1 (row < 0, refused, or no
    // memory for its records, in which case the row stays without records).
    int InsertItem(int nItem, const char* lpszItem);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    // Sets the cell text; the colours stay.
    BOOL SetItemText(int nItem, int nSubItem, const char* lpszText);
    // Sets the cell text (none: colours only) and colours; -1 for a colour takes the list's
    // window-text or window colour.
    BOOL SetItemText(int nItem, int nSubItem, const char* lpszText, COLORREF crText, COLORREF crBack);
    // Inserts a row with the texts of its columns (texts[0] in column 0) in the list's default
    // colours, as InsertItem and SetItemText do but without redrawing each cell at once: the
    // list repaints the row itself. For filling many rows; the index, or -1 as InsertItem.
    int InsertRow(int nItem, const std::vector<CString>& texts);
    // Sets the cell text without redrawing the cell at once (the list repaints it itself).
    BOOL SetCellText(int nItem, int nSubItem, const char* lpszText);
    // The row's data word (kept in the cell record of column 0); 0 for a bad row.
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);

    // Makes the cell a progress bar at 0 %; a null or empty format shows "%d%%".
    BOOL SetProgress(int nItem, int nSubItem, BOOL bShowProgressText = TRUE, const char* lpszFormat = nullptr);
    // Sets the bar's percentage, kept within 0..100.
    void UpdateProgress(int nItem, int nSubItem, int nPercent);

    // Check-box cells: -1 no box, 0 unchecked, 1 checked.
    BOOL SetCheckbox(int nItem, int nSubItem, int nCheckedState);
    int GetCheckbox(int nItem, int nSubItem) const;
    int CountCheckedItems(int nSubItem) const;
    // Columns 0, 2 and 3 of the row in blue when its column-1 box is checked, else black.
    void ColorRowByCheck(int nItem);

    // The first row whose column-2 text equals the text, or -1.
    int FindItemByText(const char* lpszText) const;
    // The first selected row, or -1.
    int GetCurSel() const;
    int GetColumnCount() const { return listcells::GetColumnCount(*this); }

    // The record of a cell, or null (for the owners' checks and the tests).
    const ListCellRecord* GetCellRecord(int nItem, int nSubItem) const
    {
        return listcells::GetCell(*this, nItem, nSubItem);
    }

    CMyHeaderCtrl& GetHeader() { return m_HeaderCtrl; }
    // The header's sort state, which a header click changes before UM_SORT_COLUMN: the sort
    // column (-1 none) and the order (-1 none, 1 ascending, 2 descending).
    int GetSortColumn() const { return m_HeaderCtrl.GetSortColumn(); }
    void SetSortColumn(int nColumn) { m_HeaderCtrl.SetSortColumn(nColumn); }
    int GetSortOrder() const { return m_HeaderCtrl.GetSortOrder(); }

    // The text shown in the list while it has no rows (empty: none); repaints the list.
    void SetEmptyText(const char* lpszText);
    const CString& GetEmptyText() const { return m_strEmptyText; }

    // Where the right button last went down, in screen coordinates (the context-menu point),
    // and where the mouse was last seen, in client coordinates.
    CPoint m_ptLastRightClick;
    CPoint m_ptLastMouse;

protected:
    void PreSubclassWindow() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg void OnSysColorChange();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnHeaderItemClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnHeaderBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);

private:
    void SubclassHeader();
    void ReadSystemColours();
    COLORREF DefaultText(COLORREF cr) const { return cr == static_cast<COLORREF>(-1) ? m_crWindowText : cr; }
    COLORREF DefaultBack(COLORREF cr) const { return cr == static_cast<COLORREF>(-1) ? m_crWindow : cr; }

    // The header check box of the column follows its rows: image 2 when every row is checked,
    // else 1 (only for a column whose header item shows an image).
    void UpdateHeaderCheckbox(int nSubItem);
    // The row and the column under a client point; -1 when none.
    int RowAt(CPoint point) const;
    int ColumnAt(int nItem, CPoint point) const;

    // Drawing of one cell in custom draw.
    void ChooseColours(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBack) const;
    void DrawProgress(CDC& dc, CRect rect, const ListCellRecord& cell);
    void DrawCheckbox(CDC& dc, CRect rect, int nItem, int nSubItem, const ListCellRecord& cell,
                      COLORREF crText, COLORREF crBack);
    void DrawImageAndText(CDC& dc, CRect rect, int nItem, int nSubItem, const ListCellRecord* pCell,
                          COLORREF crText, COLORREF crBack);

    CMyHeaderCtrl m_HeaderCtrl;
    BOOL m_bHeaderSubclassed = FALSE;

    COLORREF m_crButtonFace = 0;
    COLORREF m_crButtonShadow = 0;
    COLORREF m_crHighlight = 0;
    COLORREF m_crHighlightText = 0;
    COLORREF m_crWindow = 0;
    COLORREF m_crWindowText = 0;
    COLORREF m_crGrayText = 0;
    CString m_strEmptyText;

    DECLARE_MESSAGE_MAP()
};

// While it lives, the list neither paints nor lays itself out (also while its parent is
// hidden; a list hidden itself is left so), full-row selection is off (with it, every cell
// text set asks the header for the column's place) and the menu hook is paused on the thread
// (CMenuHookPause); at its end the list is painted whole. Under it a list takes thousands of
// rows or cell texts in a fraction of the time that each costs alone.
class CListFillScope
{
public:
    explicit CListFillScope(CListCtrl& list);
    ~CListFillScope();
    CListFillScope(const CListFillScope&) = delete;
    CListFillScope& operator=(const CListFillScope&) = delete;

private:
    CMenuHookPause m_pause;
    CListCtrl& m_list;
    DWORD m_dwExStyle;
    bool m_bQuiet;
};
