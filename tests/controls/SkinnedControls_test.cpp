// The skinned controls in the test dialog: what their owners rely on.
#include "SkinForm.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

namespace {

class SkinnedControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::InitControls();
        ASSERT_TRUE(dlg.Create(IDD_SKIN_FORM));
        dlg.SetWindowPos(&CWnd::wndTop, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        testsupport::PumpMessages(50);
    }
    void TearDown() override { dlg.DestroyWindow(); }

    CString TextOf(const CWnd& wnd)
    {
        CString text;
        wnd.GetWindowText(text);
        return text;
    }
    // A click of the mouse as the window's queue receives it.
    void Post(CWnd& wnd, UINT message, WPARAM wParam, POINT pt)
    {
        wnd.PostMessage(message, wParam, MAKELPARAM(pt.x, pt.y));
    }
    CPoint LabelCentre(HTREEITEM hItem)
    {
        CRect rect;
        dlg.m_tree.GetItemRect(hItem, &rect, TRUE);
        return rect.CenterPoint();
    }

    CSkinFormDlg dlg;
};

TEST_F(SkinnedControlsTest, EditShowsItsCueTextWhileEmptyAndUnfocused)
{
    CMyEdit& edit = dlg.m_edit;
    edit.m_bCueText = TRUE;
    edit.m_strCueText = "ENTER PATENT";
    dlg.m_editOther.SetFocus();
    edit.UpdateCueText();
    EXPECT_EQ(CString("ENTER PATENT"), TextOf(edit));
    EXPECT_TRUE(edit.IsShowingCueText());

    edit.SetFocus(); // focus takes the cue text away
    EXPECT_EQ(CString(""), TextOf(edit));
    EXPECT_FALSE(edit.IsShowingCueText());
    edit.SendMessage(WM_CHAR, '7');
    dlg.m_editOther.SetFocus(); // a value of the user's stays
    EXPECT_EQ(CString("7"), TextOf(edit));

    edit.SetFocus();
    edit.SetWindowText("");
    dlg.m_editOther.SetFocus(); // leaving it empty brings the cue text back
    EXPECT_TRUE(edit.IsShowingCueText());
    edit.SetWindowText("");
    edit.SendMessage(UM_RESTORE_CUE_TEXT);
    EXPECT_TRUE(edit.IsShowingCueText());

    edit.m_bCueText = FALSE; // switched off: an empty box stays empty
    edit.SetWindowText("");
    edit.UpdateCueText();
    edit.SendMessage(UM_RESTORE_CUE_TEXT);
    EXPECT_EQ(CString(""), TextOf(edit));
}

TEST_F(SkinnedControlsTest, EditNotifiesEachTypedCharacterAndIgnoresTypingWhenLocked)
{
    CMyEdit& edit = dlg.m_edit;
    edit.SetFocus();
    edit.SendMessage(WM_CHAR, 'a');
    EXPECT_TRUE(dlg.fieldEdits.empty()) << "notify flag off";
    edit.m_bNotify = TRUE;
    edit.SendMessage(WM_CHAR, 'b');
    ASSERT_EQ(1u, dlg.fieldEdits.size());
    EXPECT_EQ(reinterpret_cast<WPARAM>(&edit), dlg.fieldEdits[0]);
    EXPECT_EQ(CString("ab"), TextOf(edit));

    edit.SetLocked(TRUE);
    for (UINT ch : {UINT('c'), UINT(VK_BACK), UINT(0x16) /* ctrl+V */})
        edit.SendMessage(WM_CHAR, ch);
    EXPECT_EQ(CString("ab"), TextOf(edit));
    EXPECT_EQ(1u, dlg.fieldEdits.size());

    edit.SetLocked(FALSE);
    edit.SendMessage(WM_CHAR, 'c');
    EXPECT_EQ(CString("abc"), TextOf(edit));

    EXPECT_EQ(1000u, edit.GetLimitText());
    edit.SetFieldId(4);
    EXPECT_EQ(4, edit.GetFieldId());
}

TEST_F(SkinnedControlsTest, ValueComboAnswersTheValueOfTheSelectedItem)
{
    CMyComboBox& combo = dlg.m_values;
    EXPECT_EQ(CString(""), combo.GetSelectedValue()) << "nothing selected";
    combo.AddItem("", "Any");
    combo.AddItem("US", "United States");
    combo.AddItem("EP", "European Patent Office");
    ASSERT_EQ(3, combo.GetCount());
    combo.SetCurSel(2);
    EXPECT_EQ(CString("EP"), combo.GetSelectedValue());
    CString text;
    combo.GetLBText(2, text);
    EXPECT_EQ(CString("European Patent Office"), text);
    combo.SetCurSel(1);
    EXPECT_EQ(CString("US"), combo.GetSelectedValue());
    combo.SetCurSel(-1);
    EXPECT_EQ(CString(""), combo.GetSelectedValue());
}

TEST_F(SkinnedControlsTest, SavedQueryComboAsksItsParentForMenuAndDelete)
{
    CThatComboBox& combo = dlg.m_queries;
    CPoint pt(5, 6);
    CPoint screen = pt;
    combo.ClientToScreen(&screen);
    combo.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    combo.SendMessage(WM_KEYDOWN, VK_DELETE, 0);
    combo.SendMessage(WM_CHAR, '.', 0); // a typed full stop is no delete request
    combo.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(2u, dlg.comboRequests.size());
    EXPECT_EQ(1u, dlg.comboRequests[0].first);
    EXPECT_EQ(screen.x, LOWORD(dlg.comboRequests[0].second));
    EXPECT_EQ(screen.y, HIWORD(dlg.comboRequests[0].second));
    EXPECT_EQ(8u, dlg.comboRequests[1].first);
    EXPECT_EQ(0, dlg.comboRequests[1].second);
    EXPECT_EQ(1, combo.GetCurSel()) << "the keys still reach the combo box";
}

TEST_F(SkinnedControlsTest, CheckBoxTogglesOnAClickAndRadioButtonWaitsForItsOwner)
{
    CMyCheckboxButton& check = dlg.m_check;
    EXPECT_EQ(0, check.GetCheck());
    check.SendMessage(BM_CLICK);
    check.SendMessage(BM_CLICK);
    check.SetCheck(5);
    check.SendMessage(BM_CLICK);
    EXPECT_EQ((std::vector<int>{1, 0, 1}), dlg.checkStatesAtClick) << "the parent sees each click after the toggle";
    check.SetCheck(0);
    EXPECT_EQ(0, check.GetCheck());

    dlg.m_radioImport.SetCheck(1);
    dlg.m_radioExport.SendMessage(BM_CLICK);
    EXPECT_EQ(1, dlg.radioClicks);
    EXPECT_EQ(0, dlg.m_radioExport.GetCheck());
    EXPECT_EQ(1, dlg.m_radioImport.GetCheck());
    dlg.m_radioExport.SetCheck(1);
    dlg.m_radioImport.SetCheck(0);
    EXPECT_EQ(1, dlg.m_radioExport.GetCheck());
    EXPECT_EQ(0, dlg.m_radioImport.GetCheck());
}

TEST_F(SkinnedControlsTest, TreeRecordsTheMouseAndSelectsTheItemUnderARightClick)
{
    CMyTreeCtrl& tree = dlg.m_tree;
    tree.SelectItem(dlg.m_hRoot);
    tree.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(17, 23));
    EXPECT_EQ(17, tree.m_nLastMouseX);
    EXPECT_EQ(23, tree.m_nLastMouseY);

    CPoint pt = LabelCentre(dlg.m_hSamples);
    Post(tree, WM_RBUTTONDOWN, MK_RBUTTON, pt);
    Post(tree, WM_RBUTTONUP, 0, pt);
    testsupport::PumpMessages(50);
    ASSERT_EQ(1u, dlg.selectedAtRightClick.size());
    EXPECT_EQ(dlg.m_hSamples, dlg.selectedAtRightClick[0]) << "selected before the menu opens";
    EXPECT_EQ(pt.x, tree.m_nLastMouseX);
    EXPECT_EQ(pt.y, tree.m_nLastMouseY);

    // Beside every item: the selection stays.
    CRect client;
    tree.GetClientRect(&client);
    CPoint below(client.Width() / 2, client.bottom - 3);
    Post(tree, WM_RBUTTONDOWN, MK_RBUTTON, below);
    Post(tree, WM_RBUTTONUP, 0, below);
    testsupport::PumpMessages(50);
    ASSERT_EQ(2u, dlg.selectedAtRightClick.size());
    EXPECT_EQ(dlg.m_hSamples, dlg.selectedAtRightClick[1]);
}

TEST_F(SkinnedControlsTest, TreeRemembersThePressedItem)
{
    CMyTreeCtrl& tree = dlg.m_tree;
    for (HTREEITEM hItem : {dlg.m_hNewDownloads, dlg.m_hSamples, dlg.m_hSamples}) {
        CPoint pt = LabelCentre(hItem);
        Post(tree, WM_LBUTTONDOWN, MK_LBUTTON, pt);
        Post(tree, WM_LBUTTONUP, 0, pt);
        testsupport::PumpMessages(30);
        EXPECT_EQ(hItem, tree.m_hLastClickedItem);
        EXPECT_EQ(hItem, tree.GetSelectedItem());
    }
    tree.SendMessage(WM_CANCELMODE); // no label edit left open by the second click

    CRect client;
    tree.GetClientRect(&client);
    CPoint empty(client.Width() / 2, client.bottom - 3);
    Post(tree, WM_LBUTTONDOWN, MK_LBUTTON, empty);
    Post(tree, WM_LBUTTONUP, 0, empty);
    testsupport::PumpMessages(30);
    EXPECT_EQ(nullptr, tree.m_hLastClickedItem);
}

TEST_F(SkinnedControlsTest, ADragFromAFreshlyPressedItemStartsFromThatItem)
{
    CMyTreeCtrl& tree = dlg.m_tree;
    CPoint first = LabelCentre(dlg.m_hNewDownloads);
    Post(tree, WM_LBUTTONDOWN, MK_LBUTTON, first);
    Post(tree, WM_LBUTTONUP, 0, first);
    testsupport::PumpMessages(30);
    ASSERT_EQ(dlg.m_hNewDownloads, tree.m_hLastClickedItem);

    CPoint pt = LabelCentre(dlg.m_hSamples);
    Post(tree, WM_LBUTTONDOWN, MK_LBUTTON, pt);
    Post(tree, WM_MOUSEMOVE, MK_LBUTTON, CPoint(pt.x + 40, pt.y + 30));
    Post(tree, WM_LBUTTONUP, 0, CPoint(pt.x + 40, pt.y + 30));
    testsupport::PumpMessages(50);
    ASSERT_EQ(1u, dlg.pressedAtBeginDrag.size());
    EXPECT_EQ(dlg.m_hSamples, dlg.pressedAtBeginDrag[0]);
}

// Reads the flat combo's shared hot flag.
class CCJPeek : public CCJComboBox
{
public:
    static BYTE Hot() { return s_bHot; }
};

TEST_F(SkinnedControlsTest, FlatComboDropsItsEdgesAndTracksTheMouse)
{
    CCJComboBox& combo = dlg.m_pages;
    combo.ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
    combo.RedrawWindow();
    EXPECT_EQ(0u, combo.GetExStyle() & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME));
    EXPECT_EQ(CString("All Pages"), TextOf(combo));

    CRect rect;
    combo.GetWindowRect(&rect);
    ::SetCursorPos(rect.left + 5, rect.top + 5);
    combo.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(testsupport::PumpUntil([] { return CCJPeek::Hot() != 0; }, 1000));
    ::SetCursorPos(rect.right + 50, rect.bottom + 50);
    EXPECT_TRUE(testsupport::PumpUntil([] { return CCJPeek::Hot() == 0; }, 1000));
}

} // namespace
