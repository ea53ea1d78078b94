#include "MyTreeCtrl.h"

BEGIN_MESSAGE_MAP(CMyTreeCtrl, CTreeCtrl)
    ON_WM_MOUSEMOVE()
    ON_WM_RBUTTONDOWN()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

void CMyTreeCtrl::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    m_nLastMouseX = point.x;
    m_nLastMouseY = point.y;
    Default();
}

void CMyTreeCtrl::OnRButtonDown(UINT /*nFlags*/, CPoint point)
{
    m_nLastMouseX = point.x;
    m_nLastMouseY = point.y;
    UINT uFlags = 0;
    HTREEITEM hItem = HitTest(point, &uFlags);
    if (hItem && (uFlags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)))
        Select(hItem, TVGN_CARET);
    Default(); // the tree's own handling sends NM_RCLICK: the menu then sees the selection
}

void CMyTreeCtrl::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    HTREEITEM hItem = HitTest(point);
    if (hItem == m_hLastClickedItem) {
        if (hItem)
            Select(hItem, TVGN_CARET);
        Default();
        return;
    }
    // A drag may begin within the default handling (TVN_BEGINDRAG): the item it starts
    // from is known by then. Selecting waits until after it, so that the first click on an
    // item does not count as a click on the selected item (which starts a label edit).
    m_hLastClickedItem = hItem;
    Default();
    m_hLastClickedItem = HitTest(point);
    if (m_hLastClickedItem)
        Select(m_hLastClickedItem, TVGN_CARET);
}
