#include "SortClass.h"

#include "ListCtrl.h"

#include <mbstring.h>

#include <climits>
#include <cstdlib>

CSortClass::CSortClass(CListCtrl* pList, int nColumn, bool bNumeric)
    : m_nColumn(nColumn), m_pList(pList), m_bNumeric(bNumeric)
{
    const int count = m_pList->GetItemCount();
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        m_pList->GetItem(&item);
        const CString text = m_pList->GetItemText(i, m_nColumn);
        if (m_bNumeric) {
            CSortItemInt& record = m_values[item.lParam];
            record.value = ParseInteger(text);
            record.param = item.lParam;
        } else {
            CSortItem& record = m_texts[item.lParam];
            record.text = text;
            record.param = item.lParam;
        }
    }
}

CSortClass::~CSortClass() = default;

BOOL CSortClass::Sort(bool bAscending)
{
    return m_pList->SortItems(bAscending ? CompareAscending : CompareDescending, reinterpret_cast<DWORD_PTR>(this));
}

int CSortClass::ParseInteger(const CString& text)
{
    const char* p = text.GetString();
    while (*p == ' ' || *p == '\t')
        ++p;
    char* end = nullptr;
    const long long value = std::strtoll(p, &end, 10);
    if (end == p)
        return 0;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int CSortClass::CompareText(const CString& a, const CString& b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a.GetString()),
                    reinterpret_cast<const unsigned char*>(b.GetString()));
}

int CSortClass::Compare(LPARAM a, LPARAM b) const
{
    if (m_bNumeric) {
        auto ia = m_values.find(a), ib = m_values.find(b);
        const int va = ia == m_values.end() ? 0 : ia->second.value;
        const int vb = ib == m_values.end() ? 0 : ib->second.value;
        return va == vb ? 0 : (va > vb ? 1 : -1);
    }
    auto ia = m_texts.find(a), ib = m_texts.find(b);
    static const CString empty;
    return CompareText(ia == m_texts.end() ? empty : ia->second.text, ib == m_texts.end() ? empty : ib->second.text);
}

int CALLBACK CSortClass::CompareAscending(LPARAM a, LPARAM b, LPARAM sorter)
{
    return reinterpret_cast<const CSortClass*>(sorter)->Compare(a, b);
}

int CALLBACK CSortClass::CompareDescending(LPARAM a, LPARAM b, LPARAM sorter)
{
    return reinterpret_cast<const CSortClass*>(sorter)->Compare(b, a);
}
