// The owner-draw notifications of list boxes and combo boxes, offered back to the control:
// WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM and WM_DELETEITEM go to the control's
// DrawItem, MeasureItem, CompareItem and DeleteItem. Internal to the framework.
#pragma once

#include <windows.h>

template <class T>
BOOL AfxOwnerDrawItemsNotify(T* pCtl, UINT message, LPARAM lParam, LRESULT* pResult)
{
    LRESULT r = TRUE;
    switch (message) {
    case WM_DRAWITEM:
        pCtl->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        break;
    case WM_MEASUREITEM:
        pCtl->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        break;
    case WM_COMPAREITEM:
        r = pCtl->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
        break;
    case WM_DELETEITEM:
        pCtl->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        break;
    default:
        return FALSE;
    }
    if (pResult)
        *pResult = r;
    return TRUE;
}
