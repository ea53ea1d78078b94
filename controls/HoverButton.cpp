#include "HoverButton.h"

IMPLEMENT_DYNAMIC(CHoverButton, CBitmapButton)

BEGIN_MESSAGE_MAP(CHoverButton, CBitmapButton)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSEHOVER, &ThisClass::OnMouseHoverMsg)
    ON_MESSAGE(WM_MOUSELEAVE, &ThisClass::OnMouseLeaveMsg)
END_MESSAGE_MAP()

CHoverButton::~CHoverButton() = default;

BOOL CHoverButton::LoadBitmap(UINT nIDResource)
{
    m_Strip.DeleteObject();
    m_Strip.Attach(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource), IMAGE_BITMAP, 0, 0,
                                LR_LOADMAP3DCOLORS));
    BITMAP bm{};
    if (m_Strip.m_hObject)
        m_Strip.GetBitmap(&bm);
    m_nFrameWidth = bm.bmWidth / 4;
    m_nFrameHeight = bm.bmHeight;
    if (m_hWnd)
        SetWindowPos(nullptr, 0, 0, m_nFrameWidth, m_nFrameHeight, SWP_NOMOVE | SWP_NOOWNERZORDER);
    return TRUE;
}

int CHoverButton::ChooseFrame(UINT itemState) const
{
    if (m_hWnd && !IsWindowEnabled())
        return frameDisabled;
    if ((itemState & ODS_SELECTED) || ShowsPressed())
        return framePressed;
    if (m_bHovering)
        return frameHover;
    return frameNormal;
}

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CDC memDC;
    memDC.CreateCompatibleDC(pDC);
    CBitmap* pOld = memDC.SelectObject(&m_Strip);
    pDC->BitBlt(0, 0, m_nFrameWidth, m_nFrameHeight, &memDC, m_nFrameWidth * ChooseFrame(lpDIS->itemState), 0,
                SRCCOPY);
    memDC.SelectObject(pOld);
}

void CHoverButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_bTracking = ::TrackMouseEvent(&tme);
    }
    CBitmapButton::OnMouseMove(nFlags, point);
}

LRESULT CHoverButton::OnMouseHoverMsg(WPARAM, LPARAM)
{
    m_bHovering = TRUE;
    Invalidate(TRUE);
    return 0;
}

LRESULT CHoverButton::OnMouseLeaveMsg(WPARAM, LPARAM)
{
    m_bTracking = FALSE;
    m_bHovering = FALSE;
    Invalidate(TRUE);
    return 0;
}

BOOL CHoverButton::PreTranslateMessage(MSG* pMsg)
{
    if (!m_ToolTip.m_hWnd) {
        m_ToolTip.Create(this);
        m_ToolTip.Activate(FALSE);
    }
    m_ToolTip.RelayEvent(pMsg);
    return CBitmapButton::PreTranslateMessage(pMsg);
}
