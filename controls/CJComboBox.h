// CCJComboBox: a flat combo box with hot tracking. It drops the control's sunken edges and
// draws a thin border of its own: flat while the mouse is away and the box has no focus,
// raised while hovered or focused, pressed while the left button is down on it.
#pragma once

#include "ComboBox.h"

class CCJComboBox : public CComboBox
{
public:
    CCJComboBox() = default;

    enum BorderState { BorderFlat = 1, BorderRaised = 2, BorderPressed = 4 };

protected:
    // Draws the border of the state on the window's device context.
    void DrawCombo(int nState);

    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

    BYTE m_bLBtnDown = FALSE;
    static BYTE s_bHot; // one hot box at a time in the process
};
