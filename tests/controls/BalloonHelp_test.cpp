// Balloon tips on the bench display: self-deleting launch, options, anchor geometry, hooks,
// closing rules.
#include "BalloonHelp.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

// The last objects freed by the test program: shows that a launched balloon, which nobody
// holds, deleted itself.
namespace {
void* g_freed[512];
unsigned g_nFreed = 0;
bool WasFreed(const void* p)
{
    for (void* q : g_freed)
        if (q == p)
            return true;
    return false;
}
} // namespace

void operator delete(void* p) noexcept
{
    if (p)
        g_freed[g_nFreed++ % 512] = p;
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

namespace {

// Reads a balloon's inner state for the checks.
class CBalloonPeek : public CBalloonHelp
{
public:
    static HHOOK KeyboardHook(const CBalloonHelp& b) { return b.*(&CBalloonPeek::m_hKeyboardHook); }
    static HHOOK MouseHook(const CBalloonHelp& b) { return b.*(&CBalloonPeek::m_hMouseHook); }
    static HHOOK CallWndRetHook(const CBalloonHelp& b) { return b.*(&CBalloonPeek::m_hCallWndRetHook); }
    static HOOKPROC KeyboardThunk(const CBalloonHelp& b)
    {
        typedef BHKeybHookThunk<CBalloonHelp> Thunk;
        HOOKPROC (Thunk::*get)() const = &CBalloonPeek::GetKeybHookThunk;
        return (static_cast<const Thunk&>(b).*get)();
    }
    static unsigned Options(const CBalloonHelp& b) { return b.*(&CBalloonPeek::m_unOptions); }
};

// A balloon whose deletion is counted.
class CCountedBalloon : public CBalloonHelp
{
public:
    explicit CCountedBalloon(int* pDeleted) : m_pDeleted(pDeleted) {}
    ~CCountedBalloon() override { ++*m_pDeleted; }

private:
    int* m_pDeleted;
};

struct ShellCall
{
    CString verb, file;
    int show = -1;
};
std::vector<ShellCall> g_shellCalls;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT show)
{
    g_shellCalls.push_back({verb ? verb : "", file ? file : "", show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

BOOL CALLBACK CollectBalloon(HWND hWnd, LPARAM lParam)
{
    char name[64] = "";
    ::GetClassNameA(hWnd, name, sizeof name);
    if (!std::strcmp(name, "BalloonHelpClassDS") || !std::strcmp(name, "BalloonHelpClass"))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

// The balloons of this thread.
std::vector<HWND> Balloons()
{
    std::vector<HWND> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectBalloon, reinterpret_cast<LPARAM>(&found));
    return found;
}

CBalloonHelp* BalloonOf(HWND hWnd)
{
    return static_cast<CBalloonHelp*>(CWnd::FromHandlePermanent(hWnd));
}

CRect WindowRectOf(HWND hWnd)
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    return rect;
}

CRect WorkArea()
{
    CRect rect;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
    return rect;
}

void SendMouse(DWORD dwFlags, int dx = 0, int dy = 0)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = dwFlags;
    ::SendInput(1, &in, sizeof in);
}

class BalloonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::InitControls();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "balloon host", WS_POPUP | WS_VISIBLE | WS_CAPTION, 100, 100,
                                  500, 300, nullptr, nullptr));
        g_shellCalls.clear();
        CBalloonHelp::s_pfnShellExecute = &RecordShellExecute;
    }
    void TearDown() override
    {
        for (HWND h : Balloons())
            ::DestroyWindow(h);
        host.DestroyWindow();
        CBalloonHelp::s_pfnShellExecute = &::ShellExecuteA;
    }

    // Launches one balloon at a point of the host's client area and answers its window.
    HWND Launch(unsigned unOptions, CPoint ptClient = CPoint(200, 50), const char* title = "Status",
                const char* content = "Your documents are being downloaded.", const CString& url = "",
                unsigned timeout = 0, const char* icon = IDI_INFORMATION)
    {
        CBalloonHelp::LaunchBalloon(title, content, ptClient, icon, unOptions, &host, url, timeout);
        std::vector<HWND> b = Balloons();
        return b.size() == 1 ? b[0] : nullptr;
    }
    // The anchor in the host's client coordinates for a point of the screen.
    CPoint ClientOf(CPoint ptScreen)
    {
        host.ScreenToClient(&ptScreen);
        return ptScreen;
    }
    bool Gone(HWND h, DWORD ms = 3000)
    {
        return testsupport::PumpUntil([&] { return !::IsWindow(h); }, ms);
    }

    CWnd host;
};

TEST_F(BalloonTest, LaunchedWithATimeoutClosesAndDeletesItself)
{
    HWND h = Launch(0x400 | 0x800, CPoint(200, 50), "Status", "Done.", "", 400);
    ASSERT_NE(nullptr, h);
    CBalloonHelp* pBalloon = BalloonOf(h);
    ASSERT_NE(nullptr, pBalloon);
    EXPECT_TRUE(::IsWindowVisible(h));
    EXPECT_EQ(host.m_hWnd, ::GetWindow(h, GW_OWNER));
    EXPECT_EQ(0, ::GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(CBalloonPeek::Options(*pBalloon) & CBalloonHelp::DeleteThisOnClose);
    HHOOK hAnchorHook = CBalloonPeek::CallWndRetHook(*pBalloon);
    EXPECT_NE(nullptr, hAnchorHook);

    testsupport::PumpMessages(150);
    EXPECT_TRUE(::IsWindow(h)) << "closed before its timeout";
    ASSERT_TRUE(Gone(h));
    EXPECT_TRUE(WasFreed(pBalloon));
    EXPECT_FALSE(::UnhookWindowsHookEx(hAnchorHook)) << "the anchor hook outlived the balloon";
}

TEST_F(BalloonTest, DeletesItselfOnlyWhenTold)
{
    int deleted = 0;
    auto* pOwned = new CCountedBalloon(&deleted);
    ASSERT_TRUE(pOwned->Create("Error", "Kept by its creator", CPoint(20, 20), 0, &host, "", 100, nullptr));
    HWND h = pOwned->m_hWnd;
    ASSERT_TRUE(Gone(h));
    EXPECT_EQ(0, deleted);
    delete pOwned;
    EXPECT_EQ(1, deleted);

    auto* pSelf = new CCountedBalloon(&deleted);
    ASSERT_TRUE(pSelf->Create("Error", "Deletes itself", CPoint(20, 20), CBalloonHelp::DeleteThisOnClose, &host,
                              "", 100, nullptr));
    ASSERT_TRUE(Gone(pSelf->m_hWnd));
    EXPECT_EQ(2, deleted);
}

TEST_F(BalloonTest, WithoutAnOwnerWindowNothingIsShown)
{
    int deleted = 0;
    CCountedBalloon balloon(&deleted);
    EXPECT_FALSE(balloon.Create("Error", "No owner", CPoint(20, 20), 0, nullptr, "", 0, nullptr));
    EXPECT_EQ(nullptr, balloon.m_hWnd);
    EXPECT_TRUE(Balloons().empty());
}

TEST_F(BalloonTest, OptionsShapeTheWindow)
{
    struct Case
    {
        unsigned options;
        const char* className;
        bool topmost;
    } cases[] = {
        {0x400 | 0x800, "BalloonHelpClassDS", false},
        {0x400 | 0x800 | 0x1000, "BalloonHelpClassDS", true},
        {0x2000, "BalloonHelpClass", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        HWND h = Launch(c.options);
        ASSERT_NE(nullptr, h);
        char name[64] = "";
        ::GetClassNameA(h, name, sizeof name);
        EXPECT_STREQ(c.className, name);
        EXPECT_EQ(c.topmost, (::GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
        EXPECT_TRUE(::GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        ::SendMessageA(h, WM_CLOSE, 0, 0);
        ASSERT_TRUE(Gone(h));
    }
}

TEST_F(BalloonTest, HeaderAndContentGiveTheSize)
{
    const int cxClose = ::GetSystemMetrics(SM_CXSIZE), cyClose = ::GetSystemMetrics(SM_CYSIZE);
    // Only the close button: no title, no icon, no content.
    HWND h = Launch(0x400, CPoint(200, 50), "", "", "", 0, nullptr);
    ASSERT_NE(nullptr, h);
    CRect client;
    ::GetClientRect(h, &client);
    EXPECT_EQ(cxClose, client.Width());
    EXPECT_EQ(cyClose + 8, client.Height());
    EXPECT_EQ(cxClose + 16, WindowRectOf(h).Width());
    EXPECT_EQ(cyClose + 8 + 36, WindowRectOf(h).Height());
    ::SendMessageA(h, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Gone(h));

    // A long message wraps at half the work area's width.
    CString longText;
    for (int i = 0; i < 60; ++i)
        longText += "Sorry, the document could not be downloaded. ";
    h = Launch(0x400, CPoint(200, 50), "Sorry....", longText);
    ASSERT_NE(nullptr, h);
    ::GetClientRect(h, &client);
    EXPECT_LE(client.Width(), WorkArea().Width() / 2);
    EXPECT_GT(client.Height(), 3 * cyClose);
}

TEST_F(BalloonTest, TheTailPointsAtTheAnchorInEveryQuadrant)
{
    CRect work = WorkArea();
    CPoint centre = work.CenterPoint();
    struct Case
    {
        CPoint anchor;
        bool below;     // the balloon hangs below the anchor (tail on top)
        bool tailRight; // tail at three quarters of the width, else at one quarter
    } cases[] = {
        {CPoint(centre.x + 100, centre.y - 200), true, true},
        {CPoint(centre.x - 100, centre.y - 200), true, false},
        {CPoint(centre.x + 100, centre.y + 200), false, true},
        {CPoint(centre.x - 100, centre.y + 200), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.anchor.x << "," << c.anchor.y);
        HWND h = Launch(0x400 | 0x800, ClientOf(c.anchor));
        ASSERT_NE(nullptr, h);
        CRect rect = WindowRectOf(h);
        int w = rect.Width(), hgt = rect.Height();
        int q = (w - 20) / 4;
        CPoint tip(c.tailRight ? 3 * q + 20 : q, c.below ? 1 : hgt - 2);
        EXPECT_EQ(c.anchor.x, rect.left + tip.x);
        EXPECT_EQ(c.anchor.y, rect.top + tip.y);
        // The shape holds the tail beside the tip and the body on the other side.
        HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(ERROR, ::GetWindowRgn(h, rgn));
        int towardsBase = c.tailRight ? -4 : 4;
        EXPECT_TRUE(::PtInRegion(rgn, tip.x + towardsBase, c.below ? 15 : hgt - 15));
        EXPECT_TRUE(::PtInRegion(rgn, w / 2, hgt / 2));
        EXPECT_FALSE(::PtInRegion(rgn, w / 2, c.below ? 5 : hgt - 5)) << "the tail side is empty but for the tail";
        ::DeleteObject(rgn);
        ::SendMessageA(h, WM_CLOSE, 0, 0);
        ASSERT_TRUE(Gone(h));
    }
}

TEST_F(BalloonTest, NearAnEdgeTheBodyStaysInsideAndTheTipOnTheAnchor)
{
    CRect work = WorkArea();
    // Right edge, upper half: pushed left, still hanging below the anchor.
    CPoint anchor(work.right - 5, work.top + 100);
    HWND h = Launch(0x400, ClientOf(anchor));
    ASSERT_NE(nullptr, h);
    CRect rect = WindowRectOf(h);
    EXPECT_EQ(work.right, rect.right);
    EXPECT_EQ(anchor.y - 1, rect.top);
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    ::GetWindowRgn(h, rgn);
    // The tail keeps its base at three quarters of the width; its tip moved to the anchor.
    int q = (rect.Width() - 20) / 4;
    int tipX = anchor.x - rect.left;
    EXPECT_TRUE(::PtInRegion(rgn, (3 * q + 3 * q + 20 + tipX) / 3, 14));
    EXPECT_FALSE(::PtInRegion(rgn, 3 * q + 10, 4)) << "the tail still stands where the tip was";
    ::DeleteObject(rgn);
    ::SendMessageA(h, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Gone(h));

    // Below the bottom edge: pushed up until the body (without the tail) is inside.
    anchor = CPoint(work.CenterPoint().x + 50, work.bottom + 30);
    h = Launch(0x400, ClientOf(anchor));
    ASSERT_NE(nullptr, h);
    rect = WindowRectOf(h);
    EXPECT_EQ(work.bottom, rect.bottom - 20);
}

TEST_F(BalloonTest, FollowsItsAnchorWindow)
{
    HWND h = Launch(0x400, CPoint(200, 50));
    ASSERT_NE(nullptr, h);
    CRect before = WindowRectOf(h);
    CRect hostRect;
    host.GetWindowRect(&hostRect);
    host.SetWindowPos(nullptr, hostRect.left + 40, hostRect.top + 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    testsupport::PumpMessages(50);
    CRect after = WindowRectOf(h);
    EXPECT_EQ(before.left + 40, after.left);
    EXPECT_EQ(before.top + 25, after.top);
}

TEST_F(BalloonTest, HooksAreReleasedOnClose)
{
    HWND h = Launch(CBalloonHelp::CloseOnKeyPress | CBalloonHelp::CloseOnMouseMove | 0x400);
    ASSERT_NE(nullptr, h);
    CBalloonHelp* p = BalloonOf(h);
    HHOOK hooks[] = {CBalloonPeek::KeyboardHook(*p), CBalloonPeek::MouseHook(*p), CBalloonPeek::CallWndRetHook(*p)};
    for (HHOOK hook : hooks)
        EXPECT_NE(nullptr, hook);
    ::SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(h));
    for (HHOOK hook : hooks)
        EXPECT_FALSE(::UnhookWindowsHookEx(hook)) << "a hook outlived its balloon";
}

TEST_F(BalloonTest, AKeyGoingDownClosesIt)
{
    HWND h = Launch(CBalloonHelp::CloseOnKeyPress);
    ASSERT_NE(nullptr, h);
    // The hook as the system calls it, through the balloon's thunk.
    HOOKPROC thunk = CBalloonPeek::KeyboardThunk(*BalloonOf(h));
    ASSERT_NE(nullptr, thunk);
    thunk(HC_ACTION, 'A', static_cast<LPARAM>(0xC0000001u)); // key up: stays
    testsupport::PumpMessages(50);
    ASSERT_TRUE(::IsWindow(h));
    thunk(HC_ACTION, 'A', 0x00000001); // key down
    EXPECT_TRUE(Gone(h, 1000));
}

TEST_F(BalloonTest, MouseInputClosesItAsTheOptionsSay)
{
    // Real input goes to the window under the cursor: the host stands on top, in a corner
    // of the display that the other window tests leave free.
    host.SetWindowPos(&CWnd::wndTopMost, 700, 600, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    CRect hostRect;
    host.GetWindowRect(&hostRect);
    CPoint inside(hostRect.left + 60, hostRect.bottom - 40);
    ::SetForegroundWindow(host);
    ::SetCursorPos(inside.x, inside.y);
    testsupport::PumpMessages(50);

    // A right click does not close a balloon that waits for a left button press.
    HWND h = Launch(CBalloonHelp::CloseOnLButtonDown, CPoint(200, 50));
    ASSERT_NE(nullptr, h);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    testsupport::PumpMessages(100);
    ASSERT_TRUE(::IsWindow(h));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(Gone(h, 1000));

    // Moving within the threshold keeps it, beyond it closes it.
    h = Launch(CBalloonHelp::CloseOnMouseMove, CPoint(200, 50));
    ASSERT_NE(nullptr, h);
    SendMouse(MOUSEEVENTF_MOVE, 1, 0);
    testsupport::PumpMessages(100);
    ASSERT_TRUE(::IsWindow(h));
    SendMouse(MOUSEEVENTF_MOVE, 30, 0);
    EXPECT_TRUE(Gone(h, 1000));
}

TEST_F(BalloonTest, DelayedCloseWaitsForTheTimeoutAfterTheFirstEvent)
{
    HWND h = Launch(CBalloonHelp::DelayedClose | CBalloonHelp::CloseOnLButtonUp | CBalloonHelp::CloseOnKeyPress,
                    CPoint(200, 50), "Status", "Waits", "", 300);
    ASSERT_NE(nullptr, h);
    CBalloonHelp* p = BalloonOf(h);
    testsupport::PumpMessages(500);
    ASSERT_TRUE(::IsWindow(h)) << "no timer runs before the first close event";
    ::PostMessageA(h, WM_CLOSE, 0, 0); // the first close event starts the delay
    testsupport::PumpMessages(50);
    ASSERT_TRUE(::IsWindow(h));
    unsigned options = CBalloonPeek::Options(*p);
    EXPECT_EQ(0u, options & (CBalloonHelp::DelayedClose | CBalloonHelp::CloseOnAnyMouse));
    EXPECT_TRUE(options & CBalloonHelp::CloseOnKeyPress) << "a key still closes it";
    EXPECT_TRUE(Gone(h, 2000));
}

TEST_F(BalloonTest, TimeoutZeroStartsNoTimer)
{
    HWND h = Launch(0x400, CPoint(200, 50), "Status", "Stays", "", 0);
    ASSERT_NE(nullptr, h);
    testsupport::PumpMessages(600);
    EXPECT_TRUE(::IsWindow(h));
}

TEST_F(BalloonTest, TheCloseButtonClosesOnlyWhenReleasedOverIt)
{
    HWND h = Launch(0x400 | 0x800);
    ASSERT_NE(nullptr, h);
    CRect client;
    ::GetClientRect(h, &client);
    LPARAM onButton = MAKELPARAM(client.right - 4, 4);
    LPARAM elsewhere = MAKELPARAM(4, client.bottom - 2);
    ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, onButton);
    EXPECT_EQ(h, ::GetCapture());
    ::SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, elsewhere);
    ::SendMessageA(h, WM_LBUTTONUP, 0, elsewhere);
    EXPECT_NE(h, ::GetCapture());
    testsupport::PumpMessages(50);
    ASSERT_TRUE(::IsWindow(h)) << "released outside the button";
    EXPECT_TRUE(g_shellCalls.empty());

    ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, onButton);
    ::SendMessageA(h, WM_LBUTTONUP, 0, onButton);
    EXPECT_FALSE(::IsWindow(h));
}

TEST_F(BalloonTest, AClickOnABalloonWithALinkOpensIt)
{
    const CString pdf = "C:\\Patent Downloads\\US7654321.pdf";
    HWND h = Launch(0x400 | 0x800 | 0x1000, CPoint(200, 50), "Document Already Downloaded!",
                    "Please CLICK HERE to open this file.", pdf, 5000, IDI_QUESTION);
    ASSERT_NE(nullptr, h);
    ::SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(::IsWindow(h));
    ASSERT_EQ(1u, g_shellCalls.size());
    EXPECT_EQ(CString("open"), g_shellCalls[0].verb);
    EXPECT_EQ(pdf, g_shellCalls[0].file);
    EXPECT_EQ(SW_SHOWNORMAL, g_shellCalls[0].show);

    // Without a link a click opens nothing and leaves the balloon.
    h = Launch(0x400);
    ::SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(::IsWindow(h));
    EXPECT_EQ(1u, g_shellCalls.size());
}

} // namespace
