// CSortClass: sorts the rows of a report-view list by the text of one column, as text
// (without regard to case) or as integers, ascending or descending, with the list's own
// item sorting. An object lives on the stack for one sort: construct, Sort, destroy.
//
// The sort keys are kept in the object, looked up by each row's item parameter; the rows'
// item parameters themselves are never touched, so a list that keeps its cell records there
// (CMyListCtrl) can paint and be read while the sort runs. Rows must have distinct item
// parameters (the cell records' addresses); rows without any sort as equal keys.
#pragma once

#include "String.h"

#include <windows.h>

#include <unordered_map>

class CListCtrl;

class CSortClass
{
public:
    // A text sort record: the column text and the row's item parameter.
    struct CSortItem
    {
        virtual ~CSortItem() = default;
        CString text;
        LPARAM param = 0;
    };
    // An integer sort record: the column text read as a base-10 integer.
    struct CSortItemInt
    {
        int value = 0;
        LPARAM param = 0;
    };

    // Reads every row's text of the column (as an integer when bNumeric).
    CSortClass(CListCtrl* pList, int nColumn, bool bNumeric);
    virtual ~CSortClass();
    CSortClass(const CSortClass&) = delete;
    CSortClass& operator=(const CSortClass&) = delete;

    // Sorts the rows; the list's own result.
    BOOL Sort(bool bAscending);

    // The integer value of a text: leading blanks skipped, an optional sign, the digits up
    // to the first other character (0 without any), held to the 32-bit range.
    static int ParseInteger(const CString& text);
    // Text compare without regard to case, multibyte-aware.
    static int CompareText(const CString& a, const CString& b);

private:
    static int CALLBACK CompareAscending(LPARAM a, LPARAM b, LPARAM sorter);
    static int CALLBACK CompareDescending(LPARAM a, LPARAM b, LPARAM sorter);
    int Compare(LPARAM a, LPARAM b) const;

    int m_nColumn;
    CListCtrl* m_pList;
    bool m_bNumeric;
    std::unordered_map<LPARAM, CSortItem> m_texts;
    std::unordered_map<LPARAM, CSortItemInt> m_values;
};
