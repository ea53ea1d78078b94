// CMyScrollBar: the vertical scroll bar of the scrollable pages (CMyPropertyPage). It is a
// child window that lies outside its host's client area, so it is never seen itself: it
// draws into an off-screen bitmap, which the host copies into the 14-pixel strip of its
// non-client area, and it takes the mouse messages that the host forwards from that strip
// (in its own client coordinates). It tells the host the new position with WM_VSCROLL:
// SB_THUMBTRACK in the low word of wParam, the position in percent (0..100) in the high word.
//
// A press on an arrow moves the thumb 5 pixels, a press on the track above or below it 20;
// held down, the press repeats after 500 ms every 100 ms (timers 1 and 2). The thumb can be
// dragged. Its length is the track's share that the host's page shows of its content.
#pragma once

#include "Framework.h"

class CMyScrollBar : public CWnd
{
    DECLARE_DYNAMIC(CMyScrollBar)
public:
    static const int kArrowSize = 14;    // height of each arrow button
    static const int kLineStep = 5;      // pixels per arrow press
    static const int kPageStep = 20;     // pixels per track press
    static const UINT kRepeatDelay = 500;
    static const UINT kRepeatInterval = 100;
    static const UINT_PTR kDelayTimer = 1;
    static const UINT_PTR kRepeatTimer = 2;

    CMyScrollBar();
    ~CMyScrollBar() override;

    // The host's range: nMax is its content height, nPage the height it shows. The bar keeps
    // a copy and lays itself out again for it (thumb at the top).
    void SetScrollInfo(const SCROLLINFO& info);
    const SCROLLINFO& GetScrollInfo() const { return m_ScrollInfo; }

    // Moves the thumb to nPos percent by nDelta pixels and sends WM_VSCROLL to the host:
    // below 1 the thumb goes to the top, from 100 to the bottom.
    void MoveThumb(int nPos, int nDelta);
    // Back to the top without telling the host (the host scrolls back itself).
    void ResetPosition();

    int GetPosition() const { return m_nPos; }
    int GetThumbLength() const { return m_nThumbLength; }
    int GetThumbOffset() const { return m_nThumbOffset; }
    const CRect& GetThumbRect() const { return m_rcThumb; }
    BOOL IsDragging() const { return m_bDragging; }
    BOOL IsRepeating() const { return m_bRepeating; }
    // The pressed parts, as drawn.
    BOOL IsUpPressed() const { return m_bUpPressed; }
    BOOL IsDownPressed() const { return m_bDownPressed; }
    BOOL IsThumbPressed() const { return m_bThumbPressed; }
    BOOL IsTrackAbovePressed() const { return m_bTrackAbovePressed; }
    BOOL IsTrackBelowPressed() const { return m_bTrackBelowPressed; }

    // The off-screen picture of the bar, in its client size; the host copies it.
    CBitmap& GetBitmap() { return m_bmpOffscreen; }

    // Colours: fill and outline of each part.
    static constexpr COLORREF kTrackFill = RGB(239, 236, 222);
    static constexpr COLORREF kTrackOutline = RGB(221, 215, 183);
    static constexpr COLORREF kArrowFill = RGB(239, 236, 222);
    static constexpr COLORREF kArrowOutline = RGB(221, 215, 183);
    static constexpr COLORREF kArrowPressedFill = RGB(225, 220, 190);
    static constexpr COLORREF kArrowPressedOutline = RGB(196, 185, 128);
    static constexpr COLORREF kThumbFill = RGB(225, 220, 190);
    static constexpr COLORREF kThumbOutline = RGB(196, 185, 128);
    static constexpr COLORREF kThumbPressedFill = RGB(209, 203, 168);
    static constexpr COLORREF kThumbPressedOutline = RGB(196, 185, 128);
    static constexpr COLORREF kTrackPressed = RGB(155, 142, 76);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    // Thumb length from the client height and the host's range; position 0.
    void Layout();
    void Render();
    // What a button press at the point does: step, or start a drag on the thumb.
    void PressAt(CPoint point);
    // The pixels the thumb can travel (0 or less: it fills the track).
    int FreeTrack() const;
    // The position after moving the thumb by nPixels, or the present one when the thumb
    // cannot move (it fills the track).
    int PositionAfter(int nPixels) const;
    void StopTimer();

    int m_nPos = 0;
    int m_nThumbOffset = 0;  // pixels from the top of the free track
    int m_nGrabOffset = 0;   // where in the thumb the mouse was pressed
    int m_nThumbLength = 0;
    int m_nTrackLength = 0;
    UINT_PTR m_nTimer = 0;
    BOOL m_bDragging = FALSE;
    BOOL m_bRepeating = FALSE;
    BOOL m_bUpPressed = FALSE;
    BOOL m_bDownPressed = FALSE;
    BOOL m_bThumbPressed = FALSE;
    BOOL m_bTrackAbovePressed = FALSE;
    BOOL m_bTrackBelowPressed = FALSE;
    CPoint m_ptLastMouse;
    CPoint m_ptLastDrag;
    CRect m_rcUp;
    CRect m_rcDown;
    CRect m_rcTrack;
    CRect m_rcThumb;
    SCROLLINFO m_ScrollInfo;
    CBitmap m_bmpOffscreen;
};
