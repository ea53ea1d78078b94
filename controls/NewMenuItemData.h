// CNewMenuItemData: the record behind one owner-drawn menu item: its text, its menu flags,
// its command (for a popup item the handle of its sub-menu) and its icon. It is the item
// data of the Win32 item; the menu that holds the item owns it.
#pragma once

#include "Framework.h"

class CNewMenuIcons;

class CNewMenuItemData : public CObject
{
    DECLARE_DYNAMIC(CNewMenuItemData)
public:
    CNewMenuItemData() = default;
    ~CNewMenuItemData() override;

    // Shares the icon list (one reference taken, the previous one released).
    void SetIcons(CNewMenuIcons* pIcons, int nOffset);

    CString m_szMenuText;      // as the resource gives it, with "&" and a tab before accelerators
    UINT m_nTitleFlags = 0;
    UINT m_nFlags = 0;         // MF_ state, with MF_OWNERDRAW | MF_BYPOSITION for owner-drawn items
    UINT_PTR m_nID = 0;        // command, or the sub-menu handle of a popup item
    BOOL m_nSyncFlag = FALSE;  // taken during the synchronisation of its menu level
    CNewMenuIcons* m_pMenuIcon = nullptr;
    int m_nMenuIconOffset = -1; // the plain picture's index in the icon list; -1 = no icon
};
