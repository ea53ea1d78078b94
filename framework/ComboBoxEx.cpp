#include "ComboBoxEx.h"

#include "Edit.h"
#include "ImageList.h"

IMPLEMENT_DYNAMIC(CComboBoxEx, CComboBox)

CComboBox* CComboBoxEx::GetComboBoxCtrl() const
{
    return static_cast<CComboBox*>(CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(CBEM_GETCOMBOCONTROL))));
}

CEdit* CComboBoxEx::GetEditCtrl() const
{
    return static_cast<CEdit*>(CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(CBEM_GETEDITCONTROL))));
}

CImageList* CComboBoxEx::SetImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

CImageList* CComboBoxEx::GetImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(CBEM_GETIMAGELIST)));
}
