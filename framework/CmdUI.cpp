#include "CmdUI.h"

#include "CmdTarget.h"
#include "Menu.h"
#include "Wnd.h"

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return; // a popup item is left as it is
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther) {
        // Keep the focus out of a control that is about to be disabled.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
            HWND hParent = ::GetParent(m_pOther->m_hWnd);
            if (hParent)
                ::SendMessageA(hParent, WM_NEXTDLGCTL, 0, FALSE);
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther) {
        if (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON)
            m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck));
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(const char* lpszText)
{
    if (!lpszText)
        lpszText = "";
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION);
        state &= ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP | MF_HILITE);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    } else if (m_pOther) {
        m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    if (m_nID == 0 || !pTarget)
        return TRUE;
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
    if (bDisableIfNoHandler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{nullptr, nullptr};
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}

namespace {

// What tells an item of a popup apart while update handlers change the popup: its command
// (0 for a separator, -1 for an item that opens a sub-menu) and the sub-menu it opens.
struct MenuItemKey
{
    UINT nID;
    HMENU hSubMenu;
    bool operator==(const MenuItemKey& other) const
    {
        return nID == other.nID && hSubMenu == other.hSubMenu;
    }
};

MenuItemKey KeyAt(HMENU hMenu, UINT nPos)
{
    return {::GetMenuItemID(hMenu, static_cast<int>(nPos)), ::GetSubMenu(hMenu, static_cast<int>(nPos))};
}

UINT ItemCount(HMENU hMenu)
{
    const int n = ::GetMenuItemCount(hMenu);
    return n > 0 ? static_cast<UINT>(n) : 0;
}

// Where the walk goes on once the item that stood at nPos has been updated and the popup
// went from nBefore to nAfter items. Unless the popup shrank, at the next position. When a
// handler removed items, the updated item now stands at nPos or up to as many places
// earlier as items went; the walk goes on just after it. When the item itself is gone, the
// walk goes on where its follower stands if everything removed stood at or before it; an
// item visited twice is harmless, as an update can run again.
UINT NextPosition(HMENU hMenu, UINT nPos, const MenuItemKey& updated, UINT nBefore, UINT nAfter)
{
    if (nAfter >= nBefore)
        return nPos + 1;
    const UINT nRemoved = nBefore - nAfter;
    const UINT nLowest = nPos > nRemoved ? nPos - nRemoved : 0;
    for (UINT p = nPos + 1; p-- > nLowest;) {
        if (p < nAfter && KeyAt(hMenu, p) == updated)
            return p + 1;
    }
    return nPos + 1 > nRemoved ? nPos + 1 - nRemoved : 0;
}

} // namespace

void AfxUpdateMenuCommands(CCmdTarget* pTarget, CMenu* pPopup, CMenu* pParentMenu,
                           BOOL bDisableIfNoHandler)
{
    if (!pTarget || !pPopup || !pPopup->m_hMenu)
        return;
    const HMENU hMenu = pPopup->m_hMenu;
    CCmdUI item;
    item.m_pMenu = pPopup;
    item.m_pParentMenu = pParentMenu;
    UINT nCount = ItemCount(hMenu);
    UINT nPos = 0;
    while (nPos < nCount) {
        const MenuItemKey key = KeyAt(hMenu, nPos);
        item.m_nIndex = nPos;
        item.m_nIndexMax = nCount;
        item.m_pSubMenu = key.hSubMenu ? CMenu::FromHandle(key.hSubMenu) : nullptr;
        // A plain item runs the update of its own command. An item that opens a sub-menu
        // runs the update of the sub-menu's first command, and no missing handler greys it.
        const UINT nID = key.hSubMenu ? ::GetMenuItemID(key.hSubMenu, 0) : key.nID;
        const BOOL bGreyUnhandled = !key.hSubMenu && bDisableIfNoHandler && nID < 0xF000;
        if (nID != 0 && nID != static_cast<UINT>(-1)) {
            item.m_nID = nID;
            item.DoUpdate(pTarget, bGreyUnhandled);
        }
        const UINT nNow = ItemCount(hMenu);
        nPos = NextPosition(hMenu, nPos, key, nCount, nNow);
        nCount = nNow;
    }
}
