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
        m_items[item.lParam] = MakeItem(m_pList->GetItemText(i, m_nColumn));
    }
}

CSortClass::CSortClass(int nColumn, bool bNumeric) : m_nColumn(nColumn), m_pList(nullptr), m_bNumeric(bNumeric)
{
}

CSortClass::~CSortClass() = default;

BOOL CSortClass::Sort(bool bAscending)
{
    if (!m_pList)
        return FALSE;
    return m_pList->SortItems(bAscending ? CompareAscending : CompareDescending, reinterpret_cast<DWORD_PTR>(this));
}

CSortClass::CSortItem CSortClass::MakeItem(const CString& text) const
{
    CSortItem item;
    item.text = text;
    item.value = m_bNumeric ? ParseInteger(text) : 0;
    return item;
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

int CSortClass::Compare(const CSortItem& a, const CSortItem& b) const
{
    if (m_bNumeric)
        return a.value == b.value ? 0 : (a.value > b.value ? 1 : -1);
    return CompareText(a.text, b.text);
}

int CSortClass::CompareRows(LPARAM a, LPARAM b) const
{
    static const CSortItem none;
    auto ia = m_items.find(a), ib = m_items.find(b);
    return Compare(ia == m_items.end() ? none : ia->second, ib == m_items.end() ? none : ib->second);
}

int CALLBACK CSortClass::CompareAscending(LPARAM a, LPARAM b, LPARAM sorter)
{
    return reinterpret_cast<const CSortClass*>(sorter)->CompareRows(a, b);
}

int CALLBACK CSortClass::CompareDescending(LPARAM a, LPARAM b, LPARAM sorter)
{
    return reinterpret_cast<const CSortClass*>(sorter)->CompareRows(b, a);
}
