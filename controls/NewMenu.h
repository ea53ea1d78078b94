// CNewMenu: a menu whose items are all owner-drawn. It keeps one CNewMenuItemData record
// per item, builds a CNewMenu for each of its sub-menus, and hands measuring and drawing to
// the current menu theme. Context menus load resource 131 into one on the stack, take a
// popup and track it; the main window's menu bar and system menu are members of its dialog
// base. The object destroys its Win32 menu when it goes.
#pragma once

#include "Framework.h"
#include "NewMenuItemData.h"

#include <vector>

class CMenuTheme;
class CNewMenuIcons;

class CNewMenu : public CMenu
{
    DECLARE_DYNAMIC(CNewMenu)
public:
    explicit CNewMenu(HMENU hParent = nullptr);
    ~CNewMenu() override;

    // Loads a menu resource of the program, or takes over a menu, and makes every item of
    // every level owner-drawn. 0 when there is no menu.
    virtual BOOL LoadMenu(UINT nIDResource);
    virtual BOOL LoadMenu(const char* lpszResourceName);
    virtual BOOL LoadMenu(HMENU hMenu);
    virtual BOOL DestroyMenu();

    // Gives the commands of a toolbar block (bitmap id, cell width, cell height, commands,
    // 0) their icons; -1 takes the menu's default mask colour. 0 when the bitmap is missing.
    BOOL LoadToolBar(const WORD* pToolInfo, COLORREF crTransparent = static_cast<COLORREF>(-1));

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    // A popup of this menu opens (WM_INITMENUPOPUP) or has closed.
    virtual void OnInitMenuPopup();
    virtual void OnUnInitPopupMenu();
    // The parent's side of a sub-menu opening or closing: the open count and the redraw of
    // the sub-menu's item on the menu bar.
    void OnSubMenuOpened(CNewMenu* pSubMenu);
    void OnSubMenuClosed(CNewMenu* pSubMenu);

    // Selects the drawing theme of every menu; answers the previous id, -1 for an unknown id.
    static DWORD SetMenuTheme(DWORD dwThemeId);
    static CMenuTheme* GetCurrentTheme();
    static BOOL SetIconDrawFlag(BOOL bFlag);
    static BOOL GetIconDrawFlag();

    // The permanent CNewMenu of a menu handle, or null.
    static CNewMenu* FromHandleNew(HMENU hMenu);

    // State read by the themes and the dialog base.
    CNewMenuItemData* FindRecord(UINT_PTR nID) const;
    const std::vector<CNewMenuItemData*>& GetItems() const { return m_MenuItemList; }
    HMENU GetParentMenu() const { return m_hParentMenu; }
    void SetParentMenu(HMENU hParent) { m_hParentMenu = hParent; }
    BOOL IsPopup() const { return m_bIsPopupMenu; }
    void SetPopup(BOOL bPopup) { m_bIsPopupMenu = bPopup; }
    int GetIconWidth() const { return m_iconX; }
    int GetIconHeight() const { return m_iconY; }
    HWND GetOwnerWnd() const { return m_hWndOwner; }
    void SetOwnerWnd(HWND hWnd) { m_hWndOwner = hWnd; }
    int GetOpenCount() const { return m_dwOpenMenu; }
    const CRect& GetMenuBarItemRect() const { return m_LastActiveMenuRect; }
    void SetMenuBarItemRect(const CRect& rect) { m_LastActiveMenuRect = rect; }

protected:
    // Makes the items of this level owner-drawn and matches them with their records.
    void SyncLevel();
    // Gives every item of the tree with this command the icon (depth first).
    int AttachIcon(HMENU hMenu, UINT_PTR nID, CNewMenuIcons* pIcons, int nOffset);
    // The system's standard window commands change ids while a popup is open on newer
    // systems; these switch them and back.
    void RenumberSystemCommands(BOOL bOpening);
    // Deletes the records and the sub-menu objects; the Win32 menus stay.
    void ReleaseObjects();

    std::vector<CNewMenuItemData*> m_MenuItemList;
    std::vector<HMENU> m_SubMenus;
    int m_iconX = 16;
    int m_iconY = 15;
    HWND m_hWndOwner = nullptr;
    COLORREF m_crTransparent = CLR_DEFAULT;
    CImageList* m_pCheckmarkBitmaps = nullptr;
    BOOL m_bSharedCheckmarks = FALSE;
    int m_nSelectedCheck = -1;
    int m_nUnselectedCheck = -1;
    HMENU m_hParentMenu;
    BOOL m_bIsPopupMenu = TRUE;
    CRect m_LastActiveMenuRect;
    int m_dwOpenMenu = 0;
};
