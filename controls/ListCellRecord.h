// The per-cell attributes of the program's report-view lists. Every row carries the records
// of all its cells, hung on the row's item parameter when the row is inserted; the list
// controls draw each cell from its record. The row's application data word lives in the
// record of column 0, so the item parameter stays free for the records.
//
// The record operations here serve both list controls (CXListCtrl and the document list).
#pragma once

#include "Framework.h"

#include <vector>

// The attributes of one cell.
struct ListCellRecord
{
    int bold = 0;                 // draw the text with weight 700
    int imageIndex = -1;          // small image drawn left of the text; -1 none
    COLORREF textColour = 0;
    COLORREF backColour = 0;
    int isProgress = 0;           // the cell is a progress bar
    int percent = 0;              // 0..100
    CString progressFormat;       // printf format of the percentage; empty: "%d%%"
    int showPercentText = 1;      // draw the percentage on the bar
    int checkState = -1;          // -1 no check box, 0 unchecked, 1 checked
    DWORD_PTR rowData = 0;        // the row's data word (column 0 only)
};

// The records of one row. The row knows how many cells it has: a column inserted after the
// row was made has no record in it, and reads as missing.
class ListCellRow
{
public:
    // A row of nColumns records in the given colours; null when memory runs out.
    static ListCellRow* Create(int nColumns, COLORREF crText, COLORREF crBack);

    int GetCount() const { return static_cast<int>(m_cells.size()); }
    // The record of that column; null outside 0..GetCount()-1.
    ListCellRecord* Cell(int nColumn);

private:
    ListCellRow() = default;
    std::vector<ListCellRecord> m_cells;
};

namespace listcells {

// The number of columns of the list's header.
int GetColumnCount(const CListCtrl& list);

// The records of a row; null for a row outside the list or a row without records.
ListCellRow* GetRow(const CListCtrl& list, int nItem);
// The record of a cell; null when the row or the column is outside the list, or the row has
// no record for that column.
ListCellRecord* GetCell(const CListCtrl& list, int nItem, int nSubItem);

// Inserts a row with its text in column 0 and hangs a record per header column on it, in the
// given colours. The new index, or -1 when the row could not be inserted or (with the row
// left in place) its records could not be made.
int InsertRow(CListCtrl& list, int nItem, const char* lpszText, COLORREF crText, COLORREF crBack);
// Takes the records off the row and frees them.
void FreeRow(CListCtrl& list, int nItem);
void FreeAllRows(CListCtrl& list);
// Deletes a row with its records; FALSE for a row outside the list.
BOOL DeleteRow(CListCtrl& list, int nItem);
// Deletes every row; the records are taken off first and freed once the rows are gone, so
// nothing paints a freed record meanwhile.
BOOL DeleteAllRows(CListCtrl& list);
// Puts the list's header window under the header object, once; answers whether it is.
BOOL SubclassHeader(CListCtrl& list, CWnd& header);

// The rectangle of a cell; column 0 ends where column 1 begins.
BOOL GetCellRect(const CListCtrl& list, int nItem, int nSubItem, CRect& rect);
// Repaints the cell at once.
void RedrawCell(CListCtrl& list, int nItem, int nSubItem);

// The colours of a cell of a selected row (of column 0 only, unless the list selects full
// rows): the selection colours while the list has the focus, the unfocused ones without it
// when the list shows its selection always; crText and crBack stay otherwise.
void ChooseSelectionColours(const CListCtrl& list, int nItem, int nSubItem, COLORREF& crText, COLORREF& crBack,
                            COLORREF crSelectedText, COLORREF crSelectedBack, COLORREF crUnfocusedText,
                            COLORREF crUnfocusedBack);

// The gap between a cell's left edge and its image.
const int kImageInset = 6;
// Draws the cell's image (from the list's small image list) kImageInset pixels into the
// cell, vertically centred and clipped to the cell, over the background colour; answers
// where the cell's text begins: right of the image, or the cell's left edge without one.
int DrawCellImage(const CListCtrl& list, CDC& dc, const CRect& rect, const ListCellRecord* pCell, COLORREF crBack);
// Draws the cell's text in the rectangle, aligned as the column's header item, on one line,
// vertically centred, transparent, in weight 700 when the record says bold.
void DrawCellText(const CListCtrl& list, CDC& dc, const CRect& rect, int nItem, int nSubItem,
                  const ListCellRecord* pCell, COLORREF crText);

} // namespace listcells
