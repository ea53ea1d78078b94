// CCmdUI: one user-interface item (a menu item or a control) whose state a command-update
// handler (ON_UPDATE_COMMAND_UI) sets: enabled, checked, text.
#pragma once

#include <windows.h>

class CCmdTarget;
class CMenu;
class CWnd;

class CCmdUI
{
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;             // the command of the item
    UINT m_nIndex = 0;          // position of a menu item in m_pMenu
    CMenu* m_pMenu = nullptr;   // the popup that holds the item, or null for a control
    CMenu* m_pSubMenu = nullptr; // the item opens this sub-menu (it is updated by the
                                 // command of the sub-menu's first item)
    CMenu* m_pParentMenu = nullptr; // the menu that holds m_pMenu, when known
    CWnd* m_pOther = nullptr;   // the control, when the item is not a menu item
    UINT m_nIndexMax = 0;       // item count of m_pMenu while the popup is updated
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1); // 0 clear, 1 checked, 2 indeterminate (buttons)
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(const char* lpszText);

    // Called by a handler that leaves the item to the next target in the route.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Runs the update handler of m_nID in pTarget's route. When no handler set the enabled
    // state and bDisableIfNoHandler is set, the item is enabled exactly when the command
    // has a handler. Answers whether an update handler ran.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};

// Updates every item of a popup menu that is about to open through pTarget's update
// handlers, the way a frame window prepares its popups: separators are skipped; an item
// that opens a sub-menu is updated by the command of the sub-menu's first item (skipped
// when that is 0 or -1) and never disabled for want of a handler; other items without
// any handler are disabled when bDisableIfNoHandler is set, except system commands (ids
// from 0xF000). Handlers may remove items, their own included: the walk goes on after the
// updated item wherever it now stands, and no remaining item is skipped.
void AfxUpdateMenuCommands(CCmdTarget* pTarget, CMenu* pPopup, CMenu* pParentMenu,
                           BOOL bDisableIfNoHandler = TRUE);
