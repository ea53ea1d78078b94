#include "MyComboBox.h"

#include "Look.h"

void CMyComboBox::Initialize()
{
    look::CreateLookFont(m_font);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.m_hObject), TRUE);
}

void CMyComboBox::AddItem(const CString& strValue, const CString& strText)
{
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT | CBEIF_LPARAM;
    item.iItem = GetCount();
    item.pszText = const_cast<char*>(strText.GetString());
    item.lParam = m_nItemCount;
    InsertItem(&item);
    m_arrValues.SetAtGrow(m_nItemCount, strValue);
    ++m_nItemCount;
}

CString CMyComboBox::GetSelectedValue() const
{
    int nSel = GetCurSel();
    if (nSel == CB_ERR)
        return CString();
    INT_PTR nIndex = static_cast<INT_PTR>(GetItemData(nSel));
    if (nIndex < 0 || nIndex >= m_arrValues.GetSize())
        return CString();
    return m_arrValues.GetAt(nIndex);
}
