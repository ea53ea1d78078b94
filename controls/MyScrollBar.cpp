#include "MyScrollBar.h"

#include "BitmapDrawing.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CMyScrollBar, CWnd)

BEGIN_MESSAGE_MAP(CMyScrollBar, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {

const int kSideInset = 3; // the arrows' inset from the sides on the row nearest the track
const int kEndInset = 5;  // and from the bar's ends

void FillPart(CDC& dc, const CRect& rect, COLORREF crFill, COLORREF crOutline)
{
    if (rect.IsRectEmpty())
        return;
    dc.FillSolidRect(&rect, crFill);
    dc.Draw3dRect(&rect, crOutline, crOutline);
}

} // namespace

CMyScrollBar::CMyScrollBar() : m_ScrollInfo{}
{
    m_ScrollInfo.cbSize = sizeof m_ScrollInfo;
}

CMyScrollBar::~CMyScrollBar() = default;

int CMyScrollBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    Layout();
    return 0;
}

void CMyScrollBar::SetScrollInfo(const SCROLLINFO& info)
{
    m_ScrollInfo = info;
    // The thumb's length follows the range: a new content height with an unchanged bar
    // size brings no WM_SIZE.
    if (m_hWnd)
        Layout();
}

void CMyScrollBar::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    Layout();
}

void CMyScrollBar::Layout()
{
    CRect client;
    GetClientRect(&client);
    const int width = client.Width();
    const int height = client.Height();
    m_nTrackLength = height;
    m_nPos = 0;
    m_nThumbOffset = 0;
    m_nGrabOffset = 0;
    const int track = height - 2 * kArrowSize;
    // Before the host gives a range (maximum 0) the thumb fills the track; it never grows
    // beyond it.
    if (m_ScrollInfo.nMax <= 0)
        m_nThumbLength = std::max(track, 0);
    else
        m_nThumbLength = std::max(0, std::min(track, static_cast<int>(track * (static_cast<double>(height) /
                                                                                m_ScrollInfo.nMax))));
    m_rcUp.SetRect(0, 0, width, kArrowSize);
    m_rcDown.SetRect(0, height - kArrowSize, width, height);
    m_rcTrack.SetRect(0, 0, width, height);
    m_rcThumb.SetRect(0, kArrowSize, width, kArrowSize + m_nThumbLength);
    Render();
}

void CMyScrollBar::Render()
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    CClientDC screen(this);
    BITMAP bm{};
    if (!m_bmpOffscreen.m_hObject || !m_bmpOffscreen.GetBitmap(&bm) || bm.bmWidth != client.Width() ||
        bm.bmHeight != client.Height()) {
        m_bmpOffscreen.DeleteObject();
        if (client.IsRectEmpty() ||
            !m_bmpOffscreen.CreateCompatibleBitmap(&screen, client.Width(), client.Height()))
            return;
    }
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap* pOld = dc.SelectObject(&m_bmpOffscreen);
    const int width = client.Width();
    const int height = client.Height();

    FillPart(dc, m_rcTrack, kTrackFill, kTrackOutline);
    FillPart(dc, m_rcUp, m_bUpPressed ? kArrowPressedFill : kArrowFill,
             m_bUpPressed ? kArrowPressedOutline : kArrowOutline);
    FillPart(dc, m_rcDown, m_bDownPressed ? kArrowPressedFill : kArrowFill,
             m_bDownPressed ? kArrowPressedOutline : kArrowOutline);

    // The arrows: four rows each, widest on the row nearest the track.
    const double grow = (width - 5) / 8.0;
    for (int row = 0; row < 4; ++row) {
        const int inset = kSideInset + static_cast<int>(row * grow);
        if (inset >= width - inset)
            break;
        const int yDown = height - kArrowSize + kEndInset + row; // height - 9 .. height - 6
        const int yUp = kArrowSize - kEndInset - row;            // 9 .. 6
        dc.FillSolidRect(inset, yDown, width - 2 * inset, 1, RGB(0, 0, 0));
        dc.FillSolidRect(inset, yUp, width - 2 * inset, 1, RGB(0, 0, 0));
    }

    FillPart(dc, m_rcThumb, m_bThumbPressed ? kThumbPressedFill : kThumbFill,
             m_bThumbPressed ? kThumbPressedOutline : kThumbOutline);
    if (m_bTrackAbovePressed)
        FillPart(dc, CRect(0, kArrowSize, width, m_rcThumb.top), kTrackPressed, kTrackPressed);
    if (m_bTrackBelowPressed)
        FillPart(dc, CRect(0, m_rcThumb.bottom, width, height - kArrowSize), kTrackPressed, kTrackPressed);
    dc.SelectObject(pOld);
}

int CMyScrollBar::FreeTrack() const
{
    return m_nTrackLength - 2 * kArrowSize - m_nThumbLength;
}

int CMyScrollBar::PositionAfter(int nPixels) const
{
    const int free = FreeTrack();
    if (free <= 0)
        return m_nPos;
    return static_cast<int>(static_cast<double>(m_nThumbOffset + nPixels) / free * 100.0);
}

void CMyScrollBar::PressAt(CPoint point)
{
    m_ptLastMouse = point;
    if (m_rcUp.PtInRect(point) || m_rcDown.PtInRect(point)) {
        const bool bUp = m_rcUp.PtInRect(point) != FALSE;
        (bUp ? m_bUpPressed : m_bDownPressed) = TRUE;
        const int step = bUp ? -kLineStep : kLineStep;
        if (FreeTrack() > 0) {
            const int pos = PositionAfter(step);
            MoveThumb(bUp ? std::max(pos, 0) : std::min(pos, 100), step);
        } else {
            MoveThumb(m_nPos, 0);
        }
    } else if (m_rcThumb.PtInRect(point)) {
        StopTimer();
        m_bDragging = TRUE;
        m_bThumbPressed = TRUE;
        Render();
        SetCapture();
        m_nGrabOffset = point.y - m_rcThumb.top;
        m_ptLastDrag = point;
        return;
    } else if (m_rcTrack.PtInRect(point)) {
        const bool bAbove = point.y < m_rcThumb.top;
        (bAbove ? m_bTrackAbovePressed : m_bTrackBelowPressed) = TRUE;
        const int step = bAbove ? -kPageStep : kPageStep;
        if (FreeTrack() > 0)
            MoveThumb(std::max(0, std::min(PositionAfter(step), 100)), step);
        else
            MoveThumb(m_nPos, 0);
    } else {
        return;
    }
    if (!m_nTimer)
        m_nTimer = SetTimer(kDelayTimer, kRepeatDelay);
}

void CMyScrollBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    PressAt(point);
    CWnd::OnLButtonDown(nFlags, point);
}

void CMyScrollBar::OnMouseMove(UINT nFlags, CPoint point)
{
    m_ptLastMouse = point;
    if (m_bDragging) {
        const int dy = point.y - m_ptLastDrag.y;
        const int pos = PositionAfter(dy);
        const bool bAboveTop = point.y < kArrowSize + m_nGrabOffset && m_nPos == 0;
        const bool bBelowBottom =
            point.y > m_nTrackLength - kArrowSize - (m_nThumbLength - m_nGrabOffset) && m_nPos == 100;
        if (!bAboveTop && !bBelowBottom)
            MoveThumb(pos, dy);
        m_ptLastDrag = point;
    }
    CWnd::OnMouseMove(nFlags, point);
}

void CMyScrollBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_bUpPressed = m_bDownPressed = m_bThumbPressed = FALSE;
    m_bTrackAbovePressed = m_bTrackBelowPressed = FALSE;
    StopTimer();
    if (m_bDragging) {
        m_bDragging = FALSE;
        ::ReleaseCapture();
    }
    if (m_bRepeating) {
        m_bRepeating = FALSE;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
    Render();
    MoveThumb(m_nPos, 0);
    CWnd::OnLButtonUp(nFlags, point);
}

void CMyScrollBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kDelayTimer) {
        StopTimer();
        m_nTimer = SetTimer(kRepeatTimer, kRepeatInterval);
        m_bRepeating = TRUE;
        SetCapture();
    } else if (nIDEvent == kRepeatTimer) {
        PressAt(m_ptLastMouse);
    } else {
        CWnd::OnTimer(nIDEvent);
    }
}

void CMyScrollBar::StopTimer()
{
    if (m_nTimer) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
    }
}

void CMyScrollBar::MoveThumb(int nPos, int nDelta)
{
    if (nPos < 1) {
        m_nPos = 0;
        m_nThumbOffset = 0;
        m_rcThumb.OffsetRect(0, kArrowSize - m_rcThumb.top);
    } else if (nPos < 100) {
        m_nPos = nPos;
        m_rcThumb.OffsetRect(0, nDelta);
        m_nThumbOffset += nDelta;
    } else {
        m_nPos = 100;
        m_rcThumb.OffsetRect(0, m_nTrackLength - kArrowSize - m_rcThumb.bottom);
        // The offset follows the thumb to the bottom, so the next step starts from there.
        m_nThumbOffset = std::max(0, FreeTrack());
    }
    Render();
    if (m_hWnd)
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, m_nPos), 0);
}

void CMyScrollBar::ResetPosition()
{
    m_nPos = 0;
    m_nThumbOffset = 0;
    m_rcThumb.OffsetRect(0, kArrowSize - m_rcThumb.top);
    Render();
}

BOOL CMyScrollBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CMyScrollBar::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bmpOffscreen.m_hObject)
        return;
    CRect client;
    GetClientRect(&client);
    bitmaps::Copy(dc, 0, 0, client.Width(), client.Height(), m_bmpOffscreen);
}
