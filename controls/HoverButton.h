// CHoverButton: an owner-drawn push button whose whole face is one frame of a bitmap strip
// of four frames side by side (normal, pressed, hover, disabled). It tracks the mouse to
// show the hover frame while the pointer is over it.
#pragma once

#include "Framework.h"

class CHoverButton : public CBitmapButton
{
    DECLARE_DYNAMIC(CHoverButton)
public:
    CHoverButton() = default;
    ~CHoverButton() override;

    // Loads the strip and sizes the button to one frame (a quarter of the strip's width,
    // its full height).
    BOOL LoadBitmap(UINT nIDResource);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    enum Frame { frameNormal = 0, framePressed = 1, frameHover = 2, frameDisabled = 3 };
    // The frame the button shows for the given owner-draw item state.
    int ChooseFrame(UINT itemState) const;

    BOOL IsHovering() const { return m_bHovering; }
    CSize GetFrameSize() const { return CSize(m_nFrameWidth, m_nFrameHeight); }

protected:
    // Drawn as pressed although not held down (the navigation buttons' active pane).
    virtual BOOL ShowsPressed() const { return FALSE; }

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnMouseHoverMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMouseLeaveMsg(WPARAM wParam, LPARAM lParam);

    BOOL m_bHovering = FALSE;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    CBitmap m_Strip;
    BOOL m_bTracking = FALSE;
    CToolTipCtrl m_ToolTip;

    DECLARE_MESSAGE_MAP()
};
