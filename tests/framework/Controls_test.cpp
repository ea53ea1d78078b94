// Control wrappers on real controls created at run time: what is put in reads back.
#include "AnimateCtrl.h"
#include "Button.h"
#include "ComboBoxEx.h"
#include "Edit.h"
#include "HeaderCtrl.h"
#include "ListBox.h"
#include "ListCtrl.h"
#include "ProgressCtrl.h"
#include "ScrollBar.h"
#include "Static.h"
#include "TabCtrl.h"
#include "ToolTipCtrl.h"
#include "TreeCtrl.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

namespace {

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::InitControls();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "controls", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
    }
    void TearDown() override { host.DestroyWindow(); }

    CRect Box() { return CRect(0, 0, 200, 120); }
    CWnd host;
};

TEST_F(ControlsTest, ListControlColumnsItemsAndSelection)
{
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, Box(), &host, 1));
    EXPECT_EQ(0, list.InsertColumn(0, "Number", LVCFMT_LEFT, 90));
    EXPECT_EQ(1, list.InsertColumn(1, "Title", LVCFMT_LEFT, 100));
    EXPECT_EQ(2, list.GetHeaderCtrl()->GetItemCount());
    EXPECT_EQ(90, list.GetColumnWidth(0));
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(list.GetExtendedStyle() & LVS_EX_FULLROWSELECT);

    EXPECT_EQ(0, list.InsertItem(0, "US7654321"));
    EXPECT_EQ(1, list.InsertItem(1, "EP1234567"));
    EXPECT_TRUE(list.SetItemText(1, 1, CString('x', 300))); // longer than one buffer
    EXPECT_TRUE(list.SetItemData(0, 0x1234567890ULL));
    EXPECT_EQ(2, list.GetItemCount());
    EXPECT_EQ(CString("EP1234567"), list.GetItemText(1, 0));
    EXPECT_EQ(CString('x', 300), list.GetItemText(1, 1));
    EXPECT_EQ(0x1234567890ULL, list.GetItemData(0));

    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(1u, list.GetSelectedCount());
    EXPECT_EQ(1, list.GetNextItem(-1, LVNI_SELECTED));
    CRect rc;
    EXPECT_TRUE(list.GetItemRect(0, &rc, LVIR_LABEL));
    EXPECT_EQ(0, list.HitTest(rc.CenterPoint()));
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(CString("EP1234567"), list.GetItemText(0, 0));
}

TEST_F(ControlsTest, TreeControlItemsAndRelations)
{
    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES, Box(), &host, 2));
    HTREEITEM hRoot = tree.InsertItem("Root");
    HTREEITEM hChild = tree.InsertItem("NEW DOWNLOADS", hRoot);
    HTREEITEM hSecond = tree.InsertItem("Sample", hRoot);
    ASSERT_NE(nullptr, hChild);
    EXPECT_TRUE(tree.SetItemData(hChild, 1));
    EXPECT_EQ(1u, tree.GetItemData(hChild));
    EXPECT_EQ(CString("NEW DOWNLOADS"), tree.GetItemText(hChild));
    EXPECT_EQ(hRoot, tree.GetParentItem(hChild));
    EXPECT_EQ(hChild, tree.GetChildItem(hRoot));
    EXPECT_EQ(hSecond, tree.GetNextSiblingItem(hChild));
    EXPECT_TRUE(tree.ItemHasChildren(hRoot));
    EXPECT_EQ(3u, tree.GetCount());
    EXPECT_TRUE(tree.Expand(hRoot, TVE_EXPAND));
    EXPECT_TRUE(tree.SelectItem(hSecond));
    EXPECT_EQ(hSecond, tree.GetSelectedItem());
    CRect rc;
    ASSERT_TRUE(tree.GetItemRect(hSecond, &rc, TRUE));
    UINT flags = 0;
    EXPECT_EQ(hSecond, tree.HitTest(rc.CenterPoint(), &flags));
    EXPECT_TRUE(flags & TVHT_ONITEMLABEL);
    EXPECT_TRUE(tree.SetItemText(hSecond, "Renamed"));
    EXPECT_EQ(CString("Renamed"), tree.GetItemText(hSecond));
    EXPECT_TRUE(tree.DeleteItem(hChild));
    EXPECT_EQ(2u, tree.GetCount());
}

TEST_F(ControlsTest, ComboAndListBoxes)
{
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, Box(), &host, 3));
    EXPECT_EQ(0, combo.AddString("Basic"));
    EXPECT_EQ(0, combo.InsertString(0, "First"));
    combo.SetItemData(1, 77);
    EXPECT_EQ(2, combo.GetCount());
    CString text;
    combo.GetLBText(1, text);
    EXPECT_EQ(CString("Basic"), text);
    EXPECT_EQ(77u, combo.GetItemData(1));
    EXPECT_EQ(1, combo.SetCurSel(1));
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(1, combo.FindStringExact(-1, "Basic"));

    CComboBoxEx comboEx;
    ASSERT_TRUE(comboEx.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, Box(), &host, 4));
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = -1;
    item.pszText = const_cast<char*>("Field");
    EXPECT_EQ(0, comboEx.InsertItem(&item));
    EXPECT_EQ(1, comboEx.GetCount());
    EXPECT_NE(nullptr, comboEx.GetComboBoxCtrl());

    CListBox listBox;
    ASSERT_TRUE(listBox.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, Box(), &host, 5));
    listBox.AddString("one");
    listBox.AddString("two");
    listBox.GetText(1, text);
    EXPECT_EQ(CString("two"), text);
    EXPECT_EQ(2, listBox.GetCount());
}

TEST_F(ControlsTest, SmallControls)
{
    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, Box(), &host, 6));
    progress.SetRange32(0, 500);
    progress.SetPos(125);
    progress.SetStep(25);
    progress.StepIt();
    int lo = -1, hi = -1;
    progress.GetRange(lo, hi);
    EXPECT_EQ(0, lo);
    EXPECT_EQ(500, hi);
    EXPECT_EQ(150, progress.GetPos());

    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, Box(), &host, 7));
    tabs.InsertItem(0, "Basic Search");
    tabs.InsertItem(1, "Advanced Search");
    EXPECT_EQ(2, tabs.GetItemCount());
    tabs.SetCurSel(1);
    EXPECT_EQ(1, tabs.GetCurSel());

    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(0, 0, 13, 200), &host, 8));
    SCROLLINFO si{};
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = 700;
    si.nPage = 400;
    si.nPos = 100;
    bar.SetScrollInfo(&si);
    EXPECT_EQ(100, bar.GetScrollPos());
    EXPECT_EQ(301, bar.GetScrollLimit());

    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, Box(), &host, 9));
    edit.LimitText(5);
    edit.SetWindowText("abc");
    edit.SetSel(0, -1);
    edit.ReplaceSel("123456789");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(CString("12345"), text);

    CButton check;
    ASSERT_TRUE(check.Create("Report", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, Box(), &host, 10));
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(BST_CHECKED, check.GetCheck());

    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&host));
    EXPECT_TRUE(tip.AddTool(&check, "tip text"));
    EXPECT_TRUE(tip.AddTool(&host, "area", CRect(0, 0, 50, 50), 1));
    EXPECT_EQ(2, tip.GetToolCount());
    tip.DelTool(&check);
    EXPECT_EQ(1, tip.GetToolCount());

    CAnimateCtrl anim;
    EXPECT_TRUE(anim.Create(WS_CHILD | ACS_TRANSPARENT, Box(), &host, 11));
    EXPECT_FALSE(anim.Open("no-such-clip.avi"));
}

} // namespace
