// CNewFrame<T>: the menu-aware window base over a framework window class (here CDialog).
// It holds the owner-drawn menu bar and system menu of the window and prepares every popup
// before it shows: the command-update handlers set its items' state, then its CNewMenu
// synchronises its owner-drawn items.
#pragma once

#include "NewMenu.h"
#include "NewMenuHook.h"

template <class T>
class CNewFrame : public T
{
public:
    CNewFrame() = default;
    CNewFrame(UINT nIDTemplate, CWnd* pParent) : T(nIDTemplate, pParent) {}

    CNewMenu m_DefaultNewMenu; // the menu bar
    CNewMenu m_SystemNewMenu;  // the system menu

protected:
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg LRESULT OnMenuChar(UINT, UINT, CMenu*) { return this->Default(); }
    afx_msg void OnEnterMenuLoop(BOOL) { this->Default(); }
    afx_msg void OnExitMenuLoop(BOOL) { this->Default(); }
    afx_msg int OnCreate(LPCREATESTRUCT) { return static_cast<int>(this->Default()); }
    afx_msg LRESULT OnNcHitTest(CPoint) { return this->Default(); }
    // The derived window's timer handler calls this last.
    afx_msg void OnTimer(UINT_PTR nIDEvent);

    int m_bInMenuLoop = 0;
    UINT_PTR m_TimerID = 0; // the menu timer; nothing of this program sets it
    int m_menubarItemIndex = -1;

    DECLARE_MESSAGE_MAP()
};

BEGIN_TEMPLATE_MESSAGE_MAP(CNewFrame, T, T)
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUCHAR()
    ON_WM_ENTERMENULOOP()
    ON_WM_EXITMENULOOP()
    ON_WM_TIMER()
    ON_WM_CREATE()
    ON_WM_NCHITTEST()
END_MESSAGE_MAP()

template <class T>
void CNewFrame<T>::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    if (!bSysMenu && pPopupMenu) {
        CMenu* pParent = m_DefaultNewMenu.m_hMenu ? &m_DefaultNewMenu : nullptr;
        AfxUpdateMenuCommands(this, pPopupMenu, pParent, TRUE);
    }
    T::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    HMENU hPopup = pPopupMenu ? pPopupMenu->m_hMenu : nullptr;
    CNewMenuHook::SetLastMenu(hPopup);
    if (CNewMenu* pNew = CNewMenu::FromHandleNew(hPopup)) {
        pNew->SetOwnerWnd(this->m_hWnd);
        pNew->OnInitMenuPopup();
        if (CNewMenu* pParent = CNewMenu::FromHandleNew(pNew->GetParentMenu())) {
            pParent->SetOwnerWnd(this->m_hWnd);
            pParent->OnSubMenuOpened(pNew);
        }
    }
}

template <class T>
void CNewFrame<T>::OnTimer(UINT_PTR nIDEvent)
{
    this->Default();
    if (nIDEvent == m_TimerID) {
        POINT pt{};
        ::GetCursorPos(&pt);
        this->SendMessage(WM_NCHITTEST, 0, MAKELONG(pt.x, pt.y));
    }
}
