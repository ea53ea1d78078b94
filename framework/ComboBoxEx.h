// CComboBoxEx: an extended combo box with item images (comctl32 "ComboBoxEx32"). Items are
// added with InsertItem; the CB_ selection and item-data messages work as on a combo box.
#pragma once

#include "ComboBox.h"

#include <commctrl.h>

class CEdit;
class CImageList;

class CComboBoxEx : public CComboBox
{
    DECLARE_DYNAMIC(CComboBoxEx)
public:
    CComboBoxEx() = default;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(WC_COMBOBOXEXA, nullptr, dwStyle, rect, pParentWnd, nID);
    }

    int InsertItem(const COMBOBOXEXITEMA* pCBItem)
    {
        return static_cast<int>(SendMessage(CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(pCBItem)));
    }
    int DeleteItem(int iIndex) { return static_cast<int>(SendMessage(CBEM_DELETEITEM, static_cast<WPARAM>(iIndex))); }
    BOOL GetItem(COMBOBOXEXITEMA* pCBItem) { return static_cast<BOOL>(SendMessage(CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(pCBItem))); }
    BOOL SetItem(const COMBOBOXEXITEMA* pCBItem)
    {
        return static_cast<BOOL>(SendMessage(CBEM_SETITEMA, 0, reinterpret_cast<LPARAM>(pCBItem)));
    }
    CComboBox* GetComboBoxCtrl() const;
    CEdit* GetEditCtrl() const;
    CImageList* SetImageList(CImageList* pImageList);
    CImageList* GetImageList() const;
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(CBEM_GETEXTENDEDSTYLE)); }
    DWORD SetExtendedStyle(DWORD dwExMask, DWORD dwExStyles)
    {
        return static_cast<DWORD>(SendMessage(CBEM_SETEXTENDEDSTYLE, dwExMask, static_cast<LPARAM>(dwExStyles)));
    }
    BOOL HasEditChanged() { return static_cast<BOOL>(SendMessage(CBEM_HASEDITCHANGED)); }
};
