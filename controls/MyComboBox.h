// CMyComboBox: the skinned drop-down list of the query pages. Each item carries a value of
// its own beside the text it shows; the page reads the value of the selected item.
#pragma once

#include "ComboBoxEx.h"
#include "Font.h"
#include "StringArray.h"

class CMyComboBox : public CComboBoxEx
{
public:
    CMyComboBox() = default;

    // Font; after the combo box is bound or created.
    void Initialize();
    // Appends an item showing strText that stands for strValue.
    void AddItem(const CString& strValue, const CString& strText);
    // The value of the selected item; empty when nothing is selected.
    CString GetSelectedValue() const;
    void SetFieldId(int nId) { m_nFieldId = nId; }
    int GetFieldId() const { return m_nFieldId; }

    int m_nColumn = 0; // the owner's column of the field: 0 left, 1 right

protected:
    CStringArray m_arrValues; // by the running number kept in each item's data
    int m_nItemCount = 0;
    CFont m_font;
    int m_nFieldId = 0;
};
