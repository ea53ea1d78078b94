#include "ThatComboBox.h"

#include <windowsx.h>

LRESULT CThatComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Only the key: a typed "." arrives as WM_CHAR 46, the same number as VK_DELETE, and
    // must not delete anything.
    if (message == WM_KEYDOWN && wParam == VK_DELETE) {
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_RBUTTONDBLCLK, RequestDelete, 0);
    } else if (message == WM_RBUTTONUP) {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(&pt);
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_RBUTTONDBLCLK, RequestContextMenu, MAKELPARAM(pt.x, pt.y));
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}
