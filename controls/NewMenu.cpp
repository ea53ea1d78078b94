#include "NewMenu.h"

#include "MenuDrawing.h"
#include "MenuTheme.h"
#include "NewMenuHook.h"
#include "NewMenuIcons.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CNewMenu, CMenu)

namespace {

BOOL g_bIconDrawFlag = TRUE;

// The item flags that ModifyMenu takes over from an item's state.
const UINT kKeptFlags = MF_SEPARATOR | MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_MENUBARBREAK |
                        MF_MENUBREAK | MF_POPUP | MF_RIGHTJUSTIFY;

const UINT kOwnerDrawnByPosition = MF_OWNERDRAW | MF_BYPOSITION; // 0x500

BOOL ModifyOwnerDrawn(HMENU hMenu, UINT pos, const CNewMenuItemData* p)
{
    return ::ModifyMenuA(hMenu, pos, (p->m_nFlags & kKeptFlags) | kOwnerDrawnByPosition, p->m_nID,
                         reinterpret_cast<const char*>(p));
}

CString ItemText(HMENU hMenu, UINT pos)
{
    char text[512] = {};
    int n = ::GetMenuStringA(hMenu, pos, text, sizeof text, MF_BYPOSITION);
    return n > 0 ? CString(text, n) : CString();
}

} // namespace

CNewMenu::CNewMenu(HMENU hParent) : m_hParentMenu(hParent) {}

CNewMenu::~CNewMenu()
{
    DestroyMenu();
}

CNewMenu* CNewMenu::FromHandleNew(HMENU hMenu)
{
    return dynamic_cast<CNewMenu*>(CMenu::FromHandlePermanent(hMenu));
}

BOOL CNewMenu::LoadMenu(UINT nIDResource)
{
    return LoadMenu(MAKEINTRESOURCEA(nIDResource));
}

BOOL CNewMenu::LoadMenu(const char* lpszResourceName)
{
    HMENU hMenu = ::LoadMenuA(AfxGetResourceHandle(), lpszResourceName);
    if (!hMenu)
        return FALSE;
    if (!LoadMenu(hMenu)) {
        ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CNewMenu::LoadMenu(HMENU hMenu)
{
    if (!::IsMenu(hMenu))
        return FALSE;
    if (m_hMenu != hMenu && !Attach(hMenu))
        return FALSE;
    m_bIsPopupMenu = FALSE;
    int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; ++i) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        if (!hSub || FromHandleNew(hSub))
            continue;
        auto* pSub = new CNewMenu(hMenu);
        m_SubMenus.push_back(hSub);
        pSub->LoadMenu(hSub);
        pSub->m_bIsPopupMenu = TRUE;
    }
    SyncLevel();
    return TRUE;
}

BOOL CNewMenu::DestroyMenu()
{
    ReleaseObjects();
    return CMenu::DestroyMenu();
}

void CNewMenu::ReleaseObjects()
{
    for (auto it = m_SubMenus.rbegin(); it != m_SubMenus.rend(); ++it) {
        CNewMenu* pSub = FromHandleNew(*it);
        if (!pSub)
            continue;
        // The Win32 sub-menu goes with this menu's own; the object only lets go of it.
        pSub->ReleaseObjects();
        pSub->Detach();
        delete pSub;
    }
    m_SubMenus.clear();
    for (CNewMenuItemData* p : m_MenuItemList)
        delete p;
    m_MenuItemList.clear();
    if (!m_bSharedCheckmarks)
        delete m_pCheckmarkBitmaps;
    m_pCheckmarkBitmaps = nullptr;
}

CNewMenuItemData* CNewMenu::FindRecord(UINT_PTR nID) const
{
    for (CNewMenuItemData* p : m_MenuItemList)
        if (p->m_nID == nID)
            return p;
    return nullptr;
}

void CNewMenu::SyncLevel()
{
    if (!m_hMenu)
        return;
    for (CNewMenuItemData* p : m_MenuItemList)
        p->m_nSyncFlag = FALSE;
    auto take = [this](UINT_PTR nID) -> CNewMenuItemData* {
        for (CNewMenuItemData* p : m_MenuItemList) {
            if (!p->m_nSyncFlag && p->m_nID == nID) {
                p->m_nSyncFlag = TRUE;
                return p;
            }
        }
        return nullptr;
    };
    std::vector<CNewMenuItemData*> made; // records made in this pass
    std::vector<CNewMenuItemData*> ordered;
    for (UINT pos = 0;; ++pos) {
        UINT state = ::GetMenuState(m_hMenu, pos, MF_BYPOSITION);
        if (state == static_cast<UINT>(-1))
            break;
        HMENU hSub = ::GetSubMenu(m_hMenu, static_cast<int>(pos));
        CNewMenuItemData* p = nullptr;
        bool fresh = false;
        if (hSub) {
            UINT_PTR nID = reinterpret_cast<UINT_PTR>(hSub);
            p = take(nID);
            CString text = ItemText(m_hMenu, pos);
            if (!p) {
                p = new CNewMenuItemData;
                p->m_nID = nID;
                p->m_nFlags = ((state & 0xFF) & ~(MF_SEPARATOR | 0x200u)) | MF_POPUP | kOwnerDrawnByPosition;
                p->m_szMenuText = text;
                p->m_nSyncFlag = TRUE;
                fresh = true;
            } else if (!text.IsEmpty()) {
                p->m_szMenuText = text;
            }
            if (CNewMenu* pSub = FromHandleNew(hSub)) {
                if (pSub->m_hParentMenu != m_hMenu)
                    pSub->m_hParentMenu = m_hMenu;
            }
            if (fresh && !ModifyOwnerDrawn(m_hMenu, pos, p))
                ShowLastError();
        } else if (state & MF_BITMAP) {
            UINT_PTR nID = ::GetMenuItemID(m_hMenu, static_cast<int>(pos));
            p = take(nID);
            if (!p) {
                p = new CNewMenuItemData;
                p->m_nID = nID;
                p->m_nFlags = state;
                p->m_nSyncFlag = TRUE;
            }
        } else if (state & MF_SEPARATOR) {
            p = take(0);
            if (!p) {
                p = new CNewMenuItemData;
                p->m_nSyncFlag = TRUE;
                fresh = true;
            }
            p->m_nFlags = state | kOwnerDrawnByPosition;
            if (!ModifyOwnerDrawn(m_hMenu, pos, p) && fresh)
                ShowLastError();
        } else {
            UINT_PTR nID = ::GetMenuItemID(m_hMenu, static_cast<int>(pos));
            p = take(nID);
            if (!p) {
                p = new CNewMenuItemData;
                p->m_nID = nID;
                p->m_nSyncFlag = TRUE;
                fresh = true;
            }
            p->m_nFlags = state | kOwnerDrawnByPosition;
            CString text = ItemText(m_hMenu, pos);
            if (!text.IsEmpty())
                p->m_szMenuText = text;
            if (!ModifyOwnerDrawn(m_hMenu, pos, p) && fresh)
                ShowLastError();
        }
        ordered.push_back(p);
    }
    for (CNewMenuItemData* p : m_MenuItemList)
        if (!p->m_nSyncFlag)
            delete p;
    m_MenuItemList = ordered;
}

int CNewMenu::AttachIcon(HMENU hMenu, UINT_PTR nID, CNewMenuIcons* pIcons, int nOffset)
{
    int found = 0;
    CNewMenu* pLevel = FromHandleNew(hMenu);
    int count = ::GetMenuItemCount(hMenu);
    for (int pos = 0; pos < count; ++pos) {
        HMENU hSub = ::GetSubMenu(hMenu, pos);
        if (hSub) {
            found += AttachIcon(hSub, nID, pIcons, nOffset);
            continue;
        }
        if (::GetMenuItemID(hMenu, pos) != nID || !pLevel)
            continue;
        CNewMenuItemData* p = nullptr;
        if (static_cast<size_t>(pos) < pLevel->m_MenuItemList.size() &&
            pLevel->m_MenuItemList[static_cast<size_t>(pos)]->m_nID == nID)
            p = pLevel->m_MenuItemList[static_cast<size_t>(pos)];
        if (!p)
            continue;
        p->SetIcons(pIcons, nOffset);
        CSize size = pIcons->GetIconSize();
        pLevel->m_iconX = std::max(pLevel->m_iconX, static_cast<int>(size.cx));
        pLevel->m_iconY = std::max(pLevel->m_iconY, static_cast<int>(size.cy));
        p->m_nFlags = (p->m_nFlags & ~MF_BYPOSITION) | MF_OWNERDRAW;
        ::ModifyMenuA(hMenu, static_cast<UINT>(pos), (p->m_nFlags & kKeptFlags) | kOwnerDrawnByPosition,
                      p->m_nID, reinterpret_cast<const char*>(p));
        ++found;
    }
    return found;
}

BOOL CNewMenu::LoadToolBar(const WORD* pToolInfo, COLORREF crTransparent)
{
    if (!m_hMenu || !pToolInfo)
        return FALSE;
    if (crTransparent == static_cast<COLORREF>(-1))
        crTransparent = m_crTransparent;
    CNewMenuIcons* pIcons = CNewMenuIcons::FindOrLoad(pToolInfo, crTransparent);
    if (!pIcons)
        return FALSE;
    CSize size = pIcons->GetIconSize();
    m_iconX = std::max(m_iconX, static_cast<int>(size.cx));
    m_iconY = std::max(m_iconY, static_cast<int>(size.cy));
    for (size_t i = pIcons->m_IDs.size(); i-- > 0;) {
        UINT_PTR nID = pIcons->m_IDs[i];
        if (AttachIcon(m_hMenu, nID, pIcons, 3 * static_cast<int>(i)) == 0) {
            auto* p = new CNewMenuItemData;
            p->m_nID = nID;
            p->SetIcons(pIcons, 3 * static_cast<int>(i));
            m_MenuItemList.push_back(p);
        }
    }
    return TRUE;
}

void CNewMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CNewMenu* pHolder = this;
    if (lpDIS->CtlType == ODT_MENU) {
        HMENU hHolder = reinterpret_cast<HMENU>(lpDIS->hwndItem);
        if (hHolder != m_hMenu)
            if (CNewMenu* p = FromHandleNew(hHolder))
                pHolder = p;
    }
    BOOL bIsMenuBar = !pHolder->m_hParentMenu && !pHolder->m_bIsPopupMenu;
    if (CMenuTheme* pTheme = GetCurrentTheme())
        pTheme->m_pDrawItem(pHolder, lpDIS, bIsMenuBar);
}

void CNewMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    CMenuTheme* pTheme = GetCurrentTheme();
    if (!pTheme)
        return;
    CNewMenu* pTarget = this;
    BOOL bIsMenuBar = FALSE;
    auto* pData = reinterpret_cast<CNewMenuItemData*>(lpMIS->itemData);
    // A popup item: its id is the sub-menu's handle; the menu that holds it is the
    // sub-menu's parent.
    HMENU hSub = pData ? reinterpret_cast<HMENU>(pData->m_nID) : nullptr;
    CNewMenu* pSub = (pData && (pData->m_nFlags & MF_POPUP)) ? FromHandleNew(hSub) : nullptr;
    if (pSub) {
        CNewMenu* pHolder = pSub->m_hParentMenu ? FromHandleNew(pSub->m_hParentMenu) : pSub;
        if (pHolder && !pHolder->m_bIsPopupMenu && !pHolder->m_hParentMenu)
            bIsMenuBar = TRUE;
        else if (pHolder)
            pTarget = pHolder;
    }
    pTheme->m_pMeasureItem(pTarget, lpMIS, bIsMenuBar);
}

void CNewMenu::OnInitMenuPopup()
{
    m_bIsPopupMenu = TRUE;
    SyncLevel();
    if (CNewMenuHook::VersionClass() == 7)
        RenumberSystemCommands(TRUE);
}

void CNewMenu::OnUnInitPopupMenu()
{
    if (CNewMenuHook::VersionClass() == 7)
        RenumberSystemCommands(FALSE);
    if (CNewMenu* pParent = m_hParentMenu ? FromHandleNew(m_hParentMenu) : nullptr)
        pParent->OnSubMenuClosed(this);
}

void CNewMenu::RenumberSystemCommands(BOOL bOpening)
{
    struct Pair { UINT from; UINT to; };
    // Closing switches SC_CLOSE back first; the frame follows when that worked.
    static const Pair opening[] = {{SC_RESTORE, SC_RESTORE + 1}, {SC_CLOSE, SC_CLOSE + 1}, {SC_MINIMIZE, SC_MINIMIZE + 1}};
    static const Pair closing[] = {{SC_CLOSE + 1, SC_CLOSE}, {SC_RESTORE + 1, SC_RESTORE}, {SC_MINIMIZE + 1, SC_MINIMIZE}};
    const Pair* pairs = bOpening ? opening : closing;
    for (int i = 0; i < 3; ++i) {
        CNewMenuItemData* p = FindRecord(pairs[i].from);
        int count = ::GetMenuItemCount(m_hMenu);
        int pos = -1;
        for (int k = 0; k < count; ++k)
            if (::GetMenuItemID(m_hMenu, k) == pairs[i].from)
                pos = k;
        if (!p || pos < 0)
            continue;
        p->m_nID = pairs[i].to;
        p->m_nFlags |= kOwnerDrawnByPosition;
        BOOL ok = ModifyOwnerDrawn(m_hMenu, static_cast<UINT>(pos), p);
        if (!bOpening && i == 0 && ok && m_hWndOwner)
            ::SetWindowPos(m_hWndOwner, nullptr, 0, 0, 0, 0, 0x27);
    }
}

void CNewMenu::OnSubMenuOpened(CNewMenu* pSubMenu)
{
    ++m_dwOpenMenu;
    if (m_dwOpenMenu == 1 && !m_bIsPopupMenu && pSubMenu && m_hWndOwner) {
        CRect rc = pSubMenu->m_LastActiveMenuRect;
        if (!rc.IsRectEmpty()) {
            rc.right += 10;
            rc.bottom += 10;
            ::ScreenToClient(m_hWndOwner, reinterpret_cast<LPPOINT>(&rc.left));
            ::ScreenToClient(m_hWndOwner, reinterpret_cast<LPPOINT>(&rc.right));
            ::RedrawWindow(m_hWndOwner, &rc, nullptr, RDW_INVALIDATE | RDW_FRAME);
        }
    }
}

void CNewMenu::OnSubMenuClosed(CNewMenu* pSubMenu)
{
    if (m_bIsPopupMenu)
        m_dwOpenMenu = 0;
    else if (m_dwOpenMenu > 0)
        --m_dwOpenMenu;
    HWND hOwner = m_hWndOwner ? m_hWndOwner : (pSubMenu ? pSubMenu->m_hWndOwner : nullptr);
    if (pSubMenu && hOwner && !pSubMenu->m_LastActiveMenuRect.IsRectEmpty()) {
        CRect rc = pSubMenu->m_LastActiveMenuRect;
        rc.right += 10;
        rc.bottom += 10;
        ::ScreenToClient(hOwner, reinterpret_cast<LPPOINT>(&rc.left));
        ::ScreenToClient(hOwner, reinterpret_cast<LPPOINT>(&rc.right));
        ::RedrawWindow(hOwner, &rc, nullptr, RDW_INVALIDATE | RDW_FRAME);
    }
}

DWORD CNewMenu::SetMenuTheme(DWORD dwThemeId)
{
    return CNewMenuHook::SetTheme(dwThemeId);
}

CMenuTheme* CNewMenu::GetCurrentTheme()
{
    return CNewMenuHook::CurrentTheme();
}

BOOL CNewMenu::SetIconDrawFlag(BOOL bFlag)
{
    BOOL old = g_bIconDrawFlag;
    g_bIconDrawFlag = bFlag;
    return old;
}

BOOL CNewMenu::GetIconDrawFlag()
{
    return g_bIconDrawFlag;
}
