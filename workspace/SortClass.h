// CSortClass: sorts the rows of a report-view list by the text of one column, as text
// (without regard to case) or as integers, ascending or descending. It orders the rows of a
// list control with the list's own item sorting, and rows that are not in a list yet (the
// document list orders its rows before it inserts them, which keeps filling it fast) by the
// same comparison, stably, as the list's sort leaves rows of equal keys. An object lives on
// the stack for one sort: construct, Sort (or StableSort), destroy.
//
// In a list, the sort keys are kept in the object, looked up by each row's item parameter;
// the rows' item parameters themselves are never touched, so a list that keeps its cell
// records there (CMyListCtrl) can paint and be read while the sort runs. Rows must have
// distinct item parameters (the cell records' addresses); rows without any sort as equal keys.
#pragma once

#include "String.h"

#include <windows.h>

#include <algorithm>
#include <unordered_map>

class CListCtrl;

class CSortClass
{
public:
    // The sort record of one row: the column text and, for a numeric sort, that text read
    // as a base-10 integer.
    struct CSortItem
    {
        CString text;
        int value = 0;
    };

    // Reads every row's text of the column of the list (as an integer when bNumeric).
    CSortClass(CListCtrl* pList, int nColumn, bool bNumeric);
    // Without a list: for rows whose records MakeItem made.
    CSortClass(int nColumn, bool bNumeric);
    virtual ~CSortClass();

    // Sorts the list's rows; the list's own result.
    BOOL Sort(bool bAscending);
    // Sorts rows outside a list into the order Sort would give them, rows of equal keys
    // keeping their places; keyOf gives a row's record.
    template <class Iterator, class KeyOf>
    void StableSort(Iterator first, Iterator last, bool bAscending, KeyOf keyOf) const
    {
        std::stable_sort(first, last, [&](const auto& a, const auto& b) { return Before(keyOf(a), keyOf(b), bAscending); });
    }

    // The record of a row with that column text.
    CSortItem MakeItem(const CString& text) const;
    // Negative, zero or positive as the ascending sort compares the two rows.
    int Compare(const CSortItem& a, const CSortItem& b) const;
    // Whether the first row goes before the second in a sort of that direction.
    bool Before(const CSortItem& a, const CSortItem& b, bool bAscending) const
    {
        return bAscending ? Compare(a, b) < 0 : Compare(b, a) < 0;
    }

    // The integer value of a text: leading blanks skipped, an optional sign, the digits up
    // to the first other character (0 without any), held to the 32-bit range.
    static int ParseInteger(const CString& text);
    // Text compare without regard to case, multibyte-aware.
    static int CompareText(const CString& a, const CString& b);

private:
    static int CALLBACK CompareAscending(LPARAM a, LPARAM b, LPARAM sorter);
    static int CALLBACK CompareDescending(LPARAM a, LPARAM b, LPARAM sorter);
    int CompareRows(LPARAM a, LPARAM b) const;

    int m_nColumn;
    CListCtrl* m_pList;
    bool m_bNumeric;
    std::unordered_map<LPARAM, CSortItem> m_items; // of the list's rows, by item parameter
};
