#include "CJComboBox.h"

#include "DC.h"
#include "WindowDC.h"

namespace {
const UINT_PTR kHoverTimerId = 1;
const UINT kHoverTimerMs = 10;
} // namespace

BYTE CCJComboBox::s_bHot = FALSE;

BEGIN_MESSAGE_MAP(CCJComboBox, CComboBox)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_TIMER()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void CCJComboBox::DrawCombo(int nState)
{
    COLORREF crTopLeft = ::GetSysColor(COLOR_BTNFACE);
    COLORREF crBottomRight = crTopLeft;
    if (nState == BorderRaised || nState == BorderPressed) {
        crTopLeft = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        crBottomRight = ::GetSysColor(COLOR_BTNSHADOW);
    }
    CWindowDC dc(this);
    CRect rect;
    GetWindowRect(&rect);
    rect.OffsetRect(-rect.left, -rect.top);
    dc.Draw3dRect(&rect, crTopLeft, crBottomRight);
    rect.DeflateRect(1, 1);
    dc.Draw3dRect(&rect, ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNFACE));
}

void CCJComboBox::OnPaint()
{
    ModifyStyleEx(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, 0, SWP_FRAMECHANGED);
    Default();
    POINT pt;
    ::GetCursorPos(&pt);
    CRect rect;
    GetWindowRect(&rect);
    bool outside = !rect.PtInRect(pt);
    DrawCombo(outside && ::GetFocus() != m_hWnd ? BorderFlat : BorderRaised);
}

void CCJComboBox::OnMouseMove(UINT /*nFlags*/, CPoint /*point*/)
{
    SetTimer(kHoverTimerId, kHoverTimerMs);
    Default();
}

void CCJComboBox::OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/)
{
    m_bLBtnDown = TRUE;
    Default();
}

void CCJComboBox::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/)
{
    m_bLBtnDown = FALSE;
    Invalidate();
    Default();
}

void CCJComboBox::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimerId) {
        Default();
        return;
    }
    POINT pt;
    ::GetCursorPos(&pt);
    CRect rect;
    GetWindowRect(&rect);
    if (m_bLBtnDown) {
        KillTimer(kHoverTimerId);
        if (s_bHot) {
            DrawCombo(BorderPressed);
            s_bHot = FALSE;
        }
    } else if (!rect.PtInRect(pt)) {
        KillTimer(kHoverTimerId);
        if (s_bHot) {
            DrawCombo(BorderFlat);
            s_bHot = FALSE;
        }
    } else if (!s_bHot) {
        s_bHot = TRUE;
        DrawCombo(BorderRaised);
    }
}

void CCJComboBox::OnSetFocus(CWnd* pOldWnd)
{
    CComboBox::OnSetFocus(pOldWnd);
    DrawCombo(BorderRaised);
}

void CCJComboBox::OnKillFocus(CWnd* /*pNewWnd*/)
{
    Default();
    DrawCombo(BorderFlat);
}
