#include "ToolTipCtrl.h"

#include "WinApp.h"

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, AfxHwndOf(pParentWnd), nullptr);
}

void CToolTipCtrl::FillInToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool)
{
    ti = TTTOOLINFOA{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = AfxHwndOf(pWnd);
    if (nIDTool == 0) {
        ti.hwnd = ::GetParent(AfxHwndOf(pWnd));
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(AfxHwndOf(pWnd));
        if (!ti.hwnd)
            ti.hwnd = AfxHwndOf(pWnd);
    } else {
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const char* lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool) {
        // A rectangle tool lives in pWnd's client coordinates.
        ti.hwnd = AfxHwndOf(pWnd);
        ti.uFlags &= ~TTF_IDISHWND;
        ti.uId = nIDTool;
        ti.rect = *lpRectTool;
    } else if (nIDTool != 0) {
        ::GetClientRect(AfxHwndOf(pWnd), &ti.rect);
    }
    ti.uFlags |= TTF_SUBCLASS;
    ti.hinst = AfxGetResourceHandle();
    ti.lpszText = const_cast<char*>(lpszText);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    return AddTool(pWnd, MAKEINTRESOURCEA(nIDText), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (nIDTool != 0)
        ti.hwnd = AfxHwndOf(pWnd);
    SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(const char* lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (nIDTool != 0)
        ti.hwnd = AfxHwndOf(pWnd);
    ti.hinst = AfxGetResourceHandle();
    ti.lpszText = const_cast<char*>(lpszText);
    SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    TTTOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.hwnd = AfxHwndOf(pWnd);
    ti.uId = nIDTool;
    ti.rect = *lpRect;
    SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}
