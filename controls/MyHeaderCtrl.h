// CMyHeaderCtrl: the column header of the program's report-view lists. It paints itself in
// the program's sand colours with centred captions, keeps the sort state that header clicks
// change (the sort column and its direction) and shows it as an arrow on the sorted column.
// The list that owns it turns header clicks into UM_SORT_COLUMN for its parent, which reads
// the state back from here and sorts.
#pragma once

#include "Framework.h"

class CMyHeaderCtrl : public CHeaderCtrl
{
    DECLARE_DYNAMIC(CMyHeaderCtrl)
public:
    // Loads the two arrow bitmaps.
    CMyHeaderCtrl();
    ~CMyHeaderCtrl() override;

    // A click on a column header: column 0 changes nothing; another column becomes the sort
    // column, descending; the sort column again flips its direction. The header repaints.
    void OnColumnClicked(int nColumn);

    // -1 when nothing is sorted, 1 ascending, 2 descending.
    int GetSortOrder() const;
    int GetSortColumn() const { return m_nSortColumn; }
    void SetSortColumn(int nColumn) { m_nSortColumn = nColumn; }
    void SetSortAscending(int nAscending) { m_nAscending = nAscending == 1 ? 1 : 0; }
    int IsSortAscending() const { return m_nAscending; }

    // The gap between a cell's left edge and its image, and the inset of the captions.
    static const int kCaptionInset = 6;

protected:
    afx_msg void OnPaint();
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);

private:
    void PaintItems(CDC& dc);

    int m_nSortColumn = -1;
    int m_nAscending = 0;
    CBitmap m_bmpUp;    // 9 x 9, shown while ascending
    CBitmap m_bmpDown;  // 9 x 9, shown while descending

    DECLARE_MESSAGE_MAP()
};
