// Message maps: which handler a message, command or notification reaches, with what
// arguments, and what happens when a handler throws.
#include "CmdUI.h"
#include "Exception.h"
#include "Wnd.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

const UINT UM_PLAIN = WM_APP + 1;
UINT g_registered = ::RegisterWindowMessageA("ZENTROVA_FRAMEWORK_TEST_REGISTERED");

// Commands without any window: the map chain of a target and its base.
class CBaseTarget : public CCmdTarget
{
public:
    std::vector<CString> calls;

protected:
    afx_msg void OnShared() { calls.push_back("base shared"); }
    afx_msg void OnBaseOnly() { calls.push_back("base only"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
    ON_COMMAND(100, &CBaseTarget::OnShared)
    ON_COMMAND(101, &CBaseTarget::OnBaseOnly)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget
{
public:
    BOOL m_bEnable = FALSE;

protected:
    afx_msg void OnShared() { calls.push_back("derived shared"); }
    afx_msg void OnRange(UINT nID)
    {
        CString s;
        s.Format("range %u", nID);
        calls.push_back(s);
    }
    afx_msg void OnUpdate(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bEnable); }
    afx_msg void OnUpdateRoutes(CCmdUI* pCmdUI) { pCmdUI->ContinueRouting(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
    ON_COMMAND(100, &CDerivedTarget::OnShared)
    ON_COMMAND_RANGE(200, 209, &CDerivedTarget::OnRange)
    ON_UPDATE_COMMAND_UI(100, &CDerivedTarget::OnUpdate)
    ON_UPDATE_COMMAND_UI(101, &CDerivedTarget::OnUpdateRoutes)
END_MESSAGE_MAP()

// A CCmdUI that records what the update handlers set.
class CRecordingCmdUI : public CCmdUI
{
public:
    int enabled = -1;
    void Enable(BOOL bOn = TRUE) override
    {
        enabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
};

TEST(CommandRouting, TheMostDerivedEntryRunsAndBaseEntriesStayReachable)
{
    CDerivedTarget target;
    struct Case
    {
        UINT id;
        BOOL handled;
        const char* call;
    } cases[] = {
        {100, TRUE, "derived shared"}, {101, TRUE, "base only"}, {200, TRUE, "range 200"},
        {209, TRUE, "range 209"},      {210, FALSE, nullptr},     {0, FALSE, nullptr},
    };
    for (const Case& c : cases) {
        target.calls.clear();
        EXPECT_EQ(c.handled, target.OnCmdMsg(c.id, CN_COMMAND, nullptr, nullptr)) << c.id;
        if (c.call) {
            ASSERT_EQ(1u, target.calls.size()) << c.id;
            EXPECT_EQ(CString(c.call), target.calls[0]);
        } else {
            EXPECT_TRUE(target.calls.empty()) << c.id;
        }
    }
}

TEST(CommandRouting, HandlerQueryFindsWithoutRunning)
{
    CDerivedTarget target;
    AFX_CMDHANDLERINFO info{nullptr, nullptr};
    EXPECT_TRUE(target.OnCmdMsg(205, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(&target, info.pTarget);
    EXPECT_NE(nullptr, info.pmf);
    EXPECT_TRUE(target.calls.empty());
    EXPECT_FALSE(target.OnCmdMsg(300, CN_COMMAND, nullptr, &info));
}

TEST(CommandRouting, UpdateHandlersDecideAndOthersFallBackToHandlerPresence)
{
    CDerivedTarget target;
    struct Case
    {
        UINT id;
        BOOL enableFlag;
        int expected; // what the item ends as: 1 enabled, 0 disabled
    } cases[] = {
        {100, FALSE, 0}, // the update handler disables
        {100, TRUE, 1},  // ... or enables
        {205, FALSE, 1}, // no update handler, a command handler: enabled
        {300, FALSE, 0}, // neither: disabled
        {101, FALSE, 1}, // an update handler that routes on counts as none
    };
    for (const Case& c : cases) {
        target.m_bEnable = c.enableFlag;
        CRecordingCmdUI ui;
        ui.m_nID = c.id;
        ui.DoUpdate(&target, TRUE);
        EXPECT_EQ(c.expected, ui.enabled) << c.id;
    }
}

// Window messages: each ON_WM_ entry receives the message cracked into its arguments.
class CMessageWnd : public CWnd
{
public:
    std::vector<CString> log;
    bool destroyed = false;
    bool throwOnCreate = false;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (throwOnCreate)
            throw std::runtime_error("creation refused");
        log.push_back("create");
        return CWnd::OnCreate(lpcs);
    }
    afx_msg void OnSize(UINT nType, int cx, int cy)
    {
        CString s;
        s.Format("size %u %d %d", nType, cx, cy);
        log.push_back(s);
    }
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point)
    {
        CString s;
        s.Format("lbutton %u %d %d", nFlags, static_cast<int>(point.x), static_cast<int>(point.y));
        log.push_back(s);
    }
    afx_msg LRESULT OnPlain(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam * 10 + lParam); }
    afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam + 1000); }
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        CString s;
        s.Format("key %u %u %u", nChar, nRepCnt, nFlags);
        log.push_back(s);
    }
    afx_msg void OnClose()
    {
        log.push_back("close");
        throw new CMemoryException;
    }
    afx_msg void OnDestroy()
    {
        destroyed = true;
        CWnd::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMessageWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_MESSAGE(UM_PLAIN, &CMessageWnd::OnPlain)
    ON_REGISTERED_MESSAGE(g_registered, &CMessageWnd::OnRegistered)
END_MESSAGE_MAP()

TEST(MessageDispatch, EntriesReceiveCrackedArguments)
{
    CMessageWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));
    ASSERT_FALSE(wnd.log.empty());
    EXPECT_EQ(CString("create"), wnd.log[0]);

    wnd.log.clear();
    wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80));
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5 & 0xFFFF, 7));
    wnd.SendMessage(WM_KEYDOWN, VK_RETURN, MAKELPARAM(3, 0x1C));
    ASSERT_EQ(3u, wnd.log.size());
    EXPECT_EQ(CString("size 0 120 80"), wnd.log[0]);
    EXPECT_EQ(CString("lbutton 1 -5 7"), wnd.log[1]);
    EXPECT_EQ(CString("key 13 3 28"), wnd.log[2]);

    EXPECT_EQ(42, wnd.SendMessage(UM_PLAIN, 4, 2));
    EXPECT_EQ(1007, wnd.SendMessage(g_registered, 7, 0));
    // Not in the map: the default procedure answers.
    EXPECT_EQ(0, wnd.SendMessage(WM_APP + 50, 1, 1));
    wnd.DestroyWindow();
    EXPECT_TRUE(wnd.destroyed);
}

TEST(MessageDispatch, AnExceptionStopsAtTheWindowProcedure)
{
    CMessageWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));
    // OnClose throws a framework exception: it is reported, the window stays.
    EXPECT_EQ(0, wnd.SendMessage(WM_CLOSE));
    ASSERT_FALSE(wnd.log.empty());
    EXPECT_EQ(CString("close"), wnd.log.back());
    EXPECT_TRUE(::IsWindow(wnd.m_hWnd));
    EXPECT_FALSE(wnd.destroyed);
    wnd.DestroyWindow();

    // A standard exception out of OnCreate makes the creation fail.
    CMessageWnd refused;
    refused.throwOnCreate = true;
    EXPECT_FALSE(refused.CreateEx(0, nullptr, "test", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));
    EXPECT_EQ(nullptr, refused.m_hWnd);
}

// A class template over a window class keeps its own map between the template argument's
// map and the derived class's, as a frame template over CDialog does.
template <class BASE>
class CFrameOver : public BASE
{
public:
    int frameTimers = 0;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        ++frameTimers;
        BASE::OnTimer(nIDEvent);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_TEMPLATE_MESSAGE_MAP(CFrameOver, BASE, BASE)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class CFramedWnd : public CFrameOver<CMessageWnd>
{
};

TEST(MessageDispatch, TemplateMapsSitBetweenTheirBaseAndTheDerivedClass)
{
    CFramedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "framed", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));
    wnd.SendMessage(WM_TIMER, 9);
    EXPECT_EQ(1, wnd.frameTimers);
    EXPECT_EQ(42, wnd.SendMessage(UM_PLAIN, 4, 2)); // the base map still answers
    wnd.DestroyWindow();
}

} // namespace
