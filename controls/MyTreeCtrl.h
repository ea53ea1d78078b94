// CMyTreeCtrl: the tree control of the folder tree. It remembers where the mouse was last
// seen (the point a context menu opens at) and the item of the last left-button press (the
// item a drag starts from), and selects the item under a right or left button press so
// that menus and drags act on it.
#pragma once

#include "TreeCtrl.h"

class CMyTreeCtrl : public CTreeCtrl
{
public:
    CMyTreeCtrl() = default;

    // Read (and after a drag cleared) by the owner.
    HTREEITEM m_hLastClickedItem = nullptr; // item of the last left-button press, or null
    int m_nLastMouseX = 0;                  // last mouse point, client coordinates
    int m_nLastMouseY = 0;

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
