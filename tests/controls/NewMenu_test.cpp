// The owner-drawn menu: records behind every item, icon lists shared by toolbar block, late
// items, themes, and the subclassing of popup-menu windows by the menu hook.
#include "MenuDrawing.h"
#include "MenuTheme.h"
#include "NewMenu.h"
#include "NewMenuHook.h"
#include "NewMenuIcons.h"
#include "resource.h"

#include "WindowBench.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct ItemView
{
    UINT id;
    bool ownerDrawn;
    bool hasRecord;
    CString text;
};

// What a level of a CNewMenu looks like from outside: each item's type and data.
std::vector<ItemView> Describe(CNewMenu& menu)
{
    std::vector<ItemView> items;
    int count = menu.GetMenuItemCount();
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
        menu.GetMenuItemInfo(static_cast<UINT>(i), &info, TRUE);
        const auto* pRecord = reinterpret_cast<const CNewMenuItemData*>(info.dwItemData);
        bool hasRecord = static_cast<size_t>(i) < menu.GetItems().size() && pRecord == menu.GetItems()[static_cast<size_t>(i)];
        items.push_back({info.wID, (info.fType & MFT_OWNERDRAW) != 0, hasRecord, pRecord ? pRecord->m_szMenuText : CString()});
    }
    return items;
}

const WORD kBlock[] = {IDB_MENU_ICONS, 16, 16, ID_FILE_EXIT, ID_HELP_ABOUT, ID_TREE_INSERT_FOLDER, 0};
const WORD kOtherBlock[] = {IDB_MENU_ICONS, 16, 16, ID_FILE_EXIT, ID_HELP_ABOUT, ID_TREE_DELETE_FOLDER, 0};

} // namespace

TEST(NewMenu, ContextMenuLoadsTheSameOwnerDrawnItemsEveryTime)
{
    std::vector<std::vector<ItemView>> first;
    for (int round = 0; round < 2; ++round) {
        CNewMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT_MENUS));
        EXPECT_FALSE(menu.IsPopup());
        ASSERT_EQ(10, menu.GetMenuItemCount());
        for (int p = 0; p < menu.GetMenuItemCount(); ++p) {
            auto* pPopup = dynamic_cast<CNewMenu*>(menu.GetSubMenu(p));
            ASSERT_NE(nullptr, pPopup) << p;
            EXPECT_TRUE(pPopup->IsPopup());
            EXPECT_EQ(menu.m_hMenu, pPopup->GetParentMenu());
            std::vector<ItemView> items = Describe(*pPopup);
            for (const ItemView& item : items) {
                EXPECT_TRUE(item.ownerDrawn) << p << " " << item.id;
                EXPECT_TRUE(item.hasRecord) << p << " " << item.id;
            }
            if (round == 0) {
                first.push_back(items);
            } else {
                ASSERT_EQ(first[static_cast<size_t>(p)].size(), items.size());
                for (size_t i = 0; i < items.size(); ++i) {
                    EXPECT_EQ(first[static_cast<size_t>(p)][i].id, items[i].id);
                    EXPECT_EQ(first[static_cast<size_t>(p)][i].text, items[i].text);
                }
            }
        }
    }
    // The ProjectTree popup as the tree shows it.
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(CString("Insert Folder"), first[1][0].text);
    EXPECT_EQ(static_cast<UINT>(ID_TREE_PASTE_SHORTCUT), first[1][4].id);
}

TEST(NewMenu, ToolbarBlockIconListsAreSharedPerBlock)
{
    CNewMenu first;
    ASSERT_TRUE(first.LoadMenu(IDR_MAIN_MENU));
    int before = CNewMenuIcons::ListCount();
    ASSERT_TRUE(first.LoadToolBar(kBlock));
    EXPECT_EQ(before + 1, CNewMenuIcons::ListCount());

    CNewMenu second;
    ASSERT_TRUE(second.LoadMenu(IDR_MAIN_MENU));
    ASSERT_TRUE(second.LoadToolBar(kBlock));
    EXPECT_EQ(before + 1, CNewMenuIcons::ListCount()); // reused
    ASSERT_TRUE(second.LoadToolBar(kOtherBlock));
    EXPECT_EQ(before + 2, CNewMenuIcons::ListCount()); // one id differs

    // Three pictures per icon: plain, shaded, disabled; offsets by the id's position.
    auto* pFile = dynamic_cast<CNewMenu*>(first.GetSubMenu(0));
    ASSERT_NE(nullptr, pFile);
    CNewMenuItemData* pExit = pFile->FindRecord(ID_FILE_EXIT);
    ASSERT_NE(nullptr, pExit);
    ASSERT_NE(nullptr, pExit->m_pMenuIcon);
    EXPECT_EQ(0, pExit->m_nMenuIconOffset);
    EXPECT_EQ(3 * 30, pExit->m_pMenuIcon->m_IconsList.GetImageCount()); // the strip has 30 cells
    EXPECT_EQ(CSize(16, 16), pExit->m_pMenuIcon->GetIconSize());
    auto* pHelp = dynamic_cast<CNewMenu*>(first.GetSubMenu(4));
    ASSERT_NE(nullptr, pHelp);
    EXPECT_EQ(3, pHelp->FindRecord(ID_HELP_ABOUT)->m_nMenuIconOffset);
    EXPECT_EQ(16, pHelp->GetIconWidth());
    // An item whose command has no icon draws none.
    CNewMenuItemData* pSession = pFile->FindRecord(ID_FILE_IMPORT_EXPORT_SESSION);
    ASSERT_NE(nullptr, pSession);
    EXPECT_EQ(-1, pSession->m_nMenuIconOffset);
    EXPECT_EQ(nullptr, pSession->m_pMenuIcon);

    const WORD missing[] = {999, 16, 16, ID_FILE_EXIT, 0};
    EXPECT_FALSE(first.LoadToolBar(missing));
}

TEST(NewMenu, ItemsAddedLaterBecomeOwnerDrawnWhenThePopupOpens)
{
    CNewMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT_MENUS));
    auto* pPopup = dynamic_cast<CNewMenu*>(menu.GetSubMenu(0));
    ASSERT_NE(nullptr, pPopup);
    pPopup->AppendMenu(MF_SEPARATOR);
    pPopup->AppendMenu(MF_STRING, 999, "Late Item");
    std::vector<ItemView> before = Describe(*pPopup);
    ASSERT_EQ(4u, before.size());
    EXPECT_FALSE(before[3].ownerDrawn);

    pPopup->OnInitMenuPopup();
    std::vector<ItemView> after = Describe(*pPopup);
    ASSERT_EQ(4u, after.size());
    for (const ItemView& item : after) {
        EXPECT_TRUE(item.ownerDrawn);
        EXPECT_TRUE(item.hasRecord);
    }
    EXPECT_EQ(CString("Late Item"), after[3].text);
    // The earlier items keep their records.
    EXPECT_EQ(CString("Retry Download"), after[0].text);
}

// A standard window command takes the width of the next command of its menu; a record that
// is not in its menu's list (an item added behind the menu's back) is measured on its own.
TEST(NewMenu, AWindowCommandMeasuresWithOrWithoutItsRecordInTheList)
{
    CNewMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT_MENUS));
    auto* pPopup = dynamic_cast<CNewMenu*>(menu.GetSubMenu(1));
    ASSERT_NE(nullptr, pPopup);
    ASSERT_FALSE(pPopup->GetItems().empty());

    CNewMenuItemData outside;
    outside.m_szMenuText = "&Close";
    outside.m_nID = SC_CLOSE;
    outside.m_nFlags = MF_OWNERDRAW;
    for (CNewMenu* pMenu : {pPopup, &menu}) {
        MEASUREITEMSTRUCT mis{};
        mis.CtlType = ODT_MENU;
        mis.itemData = reinterpret_cast<ULONG_PTR>(&outside);
        menudraw::MeasureFlat(pMenu, &mis, FALSE);
        EXPECT_GT(mis.itemWidth, 0u);
        EXPECT_EQ(static_cast<UINT>(::GetSystemMetrics(SM_CYMENU)), mis.itemHeight);
    }

    // In the list, before a command with a longer text: as wide as that one.
    CNewMenuItemData* pFirst = pPopup->GetItems().front();
    const UINT_PTR nID = pFirst->m_nID;
    const CString text = pFirst->m_szMenuText;
    pFirst->m_nID = SC_CLOSE;
    pFirst->m_szMenuText = "&X";
    MEASUREITEMSTRUCT first{}, next{};
    first.itemData = reinterpret_cast<ULONG_PTR>(pFirst);
    menudraw::MeasureFlat(pPopup, &first, FALSE);
    pFirst->m_nID = nID;
    pFirst->m_szMenuText = text;
    for (CNewMenuItemData* pItem : pPopup->GetItems()) {
        if (pItem != pFirst && pItem->m_nID && !(pItem->m_nFlags & (MF_SEPARATOR | MF_POPUP))) {
            next.itemData = reinterpret_cast<ULONG_PTR>(pItem);
            menudraw::MeasureFlat(pPopup, &next, FALSE);
            break;
        }
    }
    EXPECT_GT(next.itemWidth, 0u);
    EXPECT_EQ(first.itemWidth, next.itemWidth);
}

TEST(NewMenu, ThemeSelection)
{
    EXPECT_EQ(2u, CNewMenu::GetCurrentTheme()->m_dwThemeId);
    EXPECT_EQ(2u, CNewMenu::SetMenuTheme(8));
    EXPECT_EQ(8u, CNewMenu::SetMenuTheme(2));
    EXPECT_EQ(static_cast<DWORD>(-1), CNewMenu::SetMenuTheme(42));
    EXPECT_EQ(2u, CNewMenu::GetCurrentTheme()->m_dwThemeId);
    EXPECT_TRUE(CNewMenu::GetCurrentTheme()->DoDrawBorder());
    BOOL old = CNewMenu::SetIconDrawFlag(FALSE);
    EXPECT_EQ(FALSE, CNewMenu::SetIconDrawFlag(old));
}

TEST(MenuHook, PopupWindowIsSubclassedOnceAndGivenBackWhenItCloses)
{
    testsupport::InitControls();
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "menu host", WS_POPUP | WS_VISIBLE | WS_CAPTION, 40, 40, 300, 200, nullptr, nullptr));
    host.SetForegroundWindow();
    EXPECT_FALSE(CNewMenuHook::SubclassMenuWindow(host.m_hWnd, FALSE)); // not a popup-menu window

    CNewMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT_MENUS));
    CMenu* pPopup = menu.GetSubMenu(3);
    HWND hMenuWnd = nullptr;
    bool subclassed = false, propertySet = false, again = true;
    testsupport::AfterDelay(400, [&] {
        hMenuWnd = testsupport::OwnMenuWindow();
        subclassed = CNewMenuHook::FindData(hMenuWnd) != nullptr;
        propertySet = ::GetPropA(hMenuWnd, "OldMenuProc") != nullptr;
        again = CNewMenuHook::SubclassMenuWindow(hMenuWnd, FALSE);
        ::EndMenu();
    });
    CNewMenuHook::SetLastMenu(pPopup->m_hMenu);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN, 60, 80, &host);
    ASSERT_NE(nullptr, hMenuWnd);
    EXPECT_TRUE(subclassed);
    EXPECT_TRUE(propertySet);
    EXPECT_FALSE(again);
    testsupport::PumpMessages(100);
    EXPECT_EQ(nullptr, CNewMenuHook::FindData(hMenuWnd));
    if (::IsWindow(hMenuWnd)) {
        EXPECT_EQ(nullptr, ::GetPropA(hMenuWnd, "OldMenuProc"));
    }
    host.DestroyWindow();
}

// The hook is off the thread while a pause lives (pauses nest), comes back after the last
// one, and is left alone by a pause on another thread; a popup menu opened afterwards is
// subclassed as before.
TEST(MenuHook, APauseTakesTheHookOffItsThreadUntilTheLastPauseEnds)
{
    ASSERT_TRUE(CNewMenuHook::IsHookInstalled());
    {
        CMenuHookPause outer;
        EXPECT_FALSE(CNewMenuHook::IsHookInstalled());
        {
            CMenuHookPause inner;
            EXPECT_FALSE(CNewMenuHook::IsHookInstalled());
        }
        EXPECT_FALSE(CNewMenuHook::IsHookInstalled()) << "the outer pause still lives";
    }
    EXPECT_TRUE(CNewMenuHook::IsHookInstalled());
    bool installedDuring = false;
    std::thread([&] {
        CMenuHookPause elsewhere;
        installedDuring = CNewMenuHook::IsHookInstalled() != FALSE;
    }).join();
    EXPECT_TRUE(installedDuring);
    EXPECT_TRUE(CNewMenuHook::IsHookInstalled());

    testsupport::InitControls();
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "menu host", WS_POPUP | WS_VISIBLE | WS_CAPTION, 40, 40, 300, 200, nullptr, nullptr));
    host.SetForegroundWindow();
    CNewMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT_MENUS));
    CMenu* pPopup = menu.GetSubMenu(3);
    bool subclassed = false;
    testsupport::AfterDelay(400, [&] {
        subclassed = CNewMenuHook::FindData(testsupport::OwnMenuWindow()) != nullptr;
        ::EndMenu();
    });
    pPopup->TrackPopupMenu(TPM_LEFTALIGN, 60, 80, &host);
    EXPECT_TRUE(subclassed);
    testsupport::PumpMessages(100);
    host.DestroyWindow();
}
