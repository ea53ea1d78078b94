// Window objects: the handle map through a window's life, subclassing, timers and the
// creation of controls at run time.
#include "Button.h"
#include "Edit.h"
#include "Wnd.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

namespace {

class CTrackedWnd : public CWnd
{
public:
    int* pPostNcDestroyCount = nullptr;
    int timerTicks = 0;
    UINT_PTR lastTimer = 0;
    bool created = false;

protected:
    void PostNcDestroy() override
    {
        if (pPostNcDestroyCount)
            ++*pPostNcDestroyCount;
    }
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        created = true;
        return CWnd::OnCreate(lpcs);
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        ++timerTicks;
        lastTimer = nIDEvent;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTrackedWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(HandleMap, FollowsTheWindowFromCreationToDestruction)
{
    int postNcDestroy = 0;
    CTrackedWnd wnd;
    wnd.pPostNcDestroyCount = &postNcDestroy;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "tracked", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
    HWND h = wnd.m_hWnd;
    EXPECT_TRUE(wnd.created); // WM_CREATE already reached the object
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(h));
    EXPECT_EQ(&wnd, CWnd::FromHandle(h));

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    EXPECT_EQ(1, postNcDestroy);
    EXPECT_FALSE(::IsWindow(h));
}

TEST(HandleMap, ForeignWindowsGetTemporaryWrappers)
{
    HWND h = ::CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    CWnd* pTemp = CWnd::FromHandle(h);
    ASSERT_NE(nullptr, pTemp);
    EXPECT_EQ(h, pTemp->m_hWnd);
    EXPECT_EQ(pTemp, CWnd::FromHandle(h)); // the same wrapper while the message lasts
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));

    // Attach makes an object the window's owner; Detach lets go without destroying.
    CWnd owner;
    EXPECT_TRUE(owner.Attach(h));
    EXPECT_EQ(&owner, CWnd::FromHandle(h));
    CWnd second;
    EXPECT_FALSE(second.Attach(h)); // one owner per window
    EXPECT_EQ(h, owner.Detach());
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    EXPECT_TRUE(::IsWindow(h));
    ::DestroyWindow(h);
}

TEST(HandleMap, DestroyingTheObjectDestroysItsWindow)
{
    HWND h = nullptr;
    {
        CTrackedWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "scoped", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        h = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
}

class CCountingEdit : public CEdit
{
public:
    int chars = 0;
    bool preSubclassed = false;

protected:
    void PreSubclassWindow() override { preSubclassed = true; }
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        ++chars;
        CEdit::OnChar(nChar, nRepCnt, nFlags); // the edit's own handling still runs
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingEdit, CEdit)
    ON_WM_CHAR()
END_MESSAGE_MAP()

TEST(Subclassing, RoutesAnExistingWindowAndGivesItBack)
{
    HWND h = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, h);
    LONG_PTR original = ::GetWindowLongPtrA(h, GWLP_WNDPROC);

    CCountingEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(h));
    EXPECT_TRUE(edit.preSubclassed);
    ::SendMessageA(h, WM_CHAR, 'a', 1);
    ::SendMessageA(h, WM_CHAR, 'b', 1);
    EXPECT_EQ(2, edit.chars);
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(CString("ab"), text);

    EXPECT_EQ(h, edit.UnsubclassWindow());
    EXPECT_EQ(original, ::GetWindowLongPtrA(h, GWLP_WNDPROC));
    ::SendMessageA(h, WM_CHAR, 'c', 1);
    EXPECT_EQ(2, edit.chars);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    ::DestroyWindow(h);
}

TEST(Subclassing, ControlsCreatedAtRunTimeSeeTheirFirstMessages)
{
    CTrackedWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    CCountingEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), &parent, 77));
    EXPECT_TRUE(edit.preSubclassed);
    EXPECT_EQ(77, edit.GetDlgCtrlID());
    EXPECT_EQ(&edit, parent.GetDlgItem(77));
    edit.SendMessage(WM_CHAR, 'x', 1);
    EXPECT_EQ(1, edit.chars);

    // A child goes with its parent; its object lets go of the handle.
    parent.DestroyWindow();
    EXPECT_EQ(nullptr, edit.m_hWnd);
}

TEST(Timers, TickUntilKilled)
{
    CTrackedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "timer", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(5u, wnd.SetTimer(5, 20));
    EXPECT_TRUE(testsupport::PumpUntil([&] { return wnd.timerTicks >= 3; }, 5000));
    EXPECT_EQ(5u, wnd.lastTimer);
    EXPECT_TRUE(wnd.KillTimer(5));
    int ticks = wnd.timerTicks;
    testsupport::PumpMessages(150);
    EXPECT_EQ(ticks, wnd.timerTicks);
    EXPECT_FALSE(wnd.KillTimer(5));
}

TEST(WindowState, StylesTextAndGeometry)
{
    CTrackedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "first", WS_POPUP | WS_BORDER, 10, 20, 200, 100, nullptr, nullptr));
    EXPECT_TRUE(wnd.ModifyStyle(WS_BORDER, WS_THICKFRAME, SWP_FRAMECHANGED));
    EXPECT_FALSE(wnd.GetStyle() & WS_BORDER);
    EXPECT_TRUE(wnd.GetStyle() & WS_THICKFRAME);
    EXPECT_FALSE(wnd.ModifyStyle(0, WS_THICKFRAME)); // no change

    wnd.SetWindowText("second");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_EQ(CString("second"), text);

    wnd.MoveWindow(30, 40, 120, 90);
    CRect rc;
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(CRect(30, 40, 150, 130), rc);
    CPoint pt(0, 0);
    wnd.ClientToScreen(&pt);
    wnd.ScreenToClient(&pt);
    EXPECT_EQ(CPoint(0, 0), pt);

    WINDOWPLACEMENT wp{};
    EXPECT_TRUE(wnd.GetWindowPlacement(&wp));
    EXPECT_EQ(sizeof(WINDOWPLACEMENT), wp.length);
    EXPECT_FALSE(wnd.IsIconic());
}

} // namespace
