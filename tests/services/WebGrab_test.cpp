#include "WebGrab.h"

#include "OpsTokenCache.h"
#include "WebTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace testsupport;
using namespace webtest;

using WebGrabTest = FetcherTest<CWebGrab>;

TEST_F(WebGrabTest, PageRequestCarriesOnlyAcceptAndKeepAliveBesidesHostAndAgent)
{
    CString page = PageText("pages/small.html");
    EXPECT_EQ(Grab("/pages/small.html"), page.GetLength());
    EXPECT_EQ(m_out, page);

    auto log = FixtureLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].target, "/pages/small.html");
    EXPECT_EQ(HeaderNames(log[0]),
              (std::vector<CString>{"accept", "connection", "host", "user-agent"}));
    EXPECT_EQ(log[0].Header("Accept"), "*/*");
    EXPECT_EQ(log[0].Header("Connection"), "Keep-Alive");
    EXPECT_EQ(log[0].Header("User-Agent"), "Zentrova");
    EXPECT_EQ("http://" + log[0].Header("Host"), FixtureBase());
}

TEST_F(WebGrabTest, OpsRequestCarriesTheCurrentTokenInABearerLine)
{
    EXPECT_GT(Grab(kOpsPage), 0);
    EXPECT_GE(m_out.Find("Apparatus for testing fetchers"), 0);

    auto pages = FixtureLog(kOpsPage);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(HeaderNames(pages[0]),
              (std::vector<CString>{"accept", "authorization", "connection", "host", "user-agent"}));
    EXPECT_EQ(pages[0].Header("Authorization"), "Bearer " + COpsTokenCache::GetToken());
    EXPECT_LE(FixtureLog(kTokenPath).size(), 1u);
}

TEST_F(WebGrabTest, OpsReply400RefreshesTheTokenOnceAndSendsOnceMore)
{
    CString old = COpsTokenCache::GetToken();
    FixtureReset();
    FixtureExpireTokens();
    EXPECT_GT(Grab(kOpsPage), 0);
    EXPECT_GE(m_out.Find("Apparatus for testing fetchers"), 0);

    auto log = FixtureLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].Header("Authorization"), "Bearer " + old);
    EXPECT_EQ(log[1].method, "POST");
    EXPECT_EQ(log[1].target, kTokenPath);
    EXPECT_EQ(log[2].target, kOpsPage);
    EXPECT_EQ(log[2].Header("Authorization"), "Bearer " + COpsTokenCache::GetToken());
    EXPECT_NE(COpsTokenCache::GetToken(), old);
}

TEST_F(WebGrabTest, AUtf8ReplyComesInTheCodePageAndAnyOtherAsItsBytes)
{
    ExpectEncodedPagesHandedOn();
}

TEST_F(WebGrabTest, RefusedReplyIsSentOnceMore)
{
    CString page = PageText("pages/small.html");
    for (const char* code : {"401", "403"}) {
        CString path = CString("/pages/small.html?once=") + code;
        EXPECT_EQ(Grab(path), page.GetLength()) << code;
        EXPECT_EQ(m_out, page) << code;
        EXPECT_EQ(FixtureLog(path).size(), 2u) << code;
    }
}

TEST_F(WebGrabTest, RedirectIsFollowedOnceToTheLocationLine)
{
    CString page = PageText("pages/small.html");
    const CString cases[] = {
        "redirect=301&to=/pages/small.html",
        "redirect=302&to=" + FixtureUrl("/pages/small.html"),
        "redirect=303&to=/pages/small.html&lower=1",
        "redirect=302&to=/pages/small.html&decoy=1",
    };
    int n = 0;
    for (const CString& query : cases) {
        FixtureReset();
        CString path;
        path.Format("/moved%d?%s", ++n, query.GetString());
        EXPECT_EQ(Grab(path), page.GetLength()) << query;
        EXPECT_EQ(m_out, page) << query;
        auto log = FixtureLog();
        ASSERT_EQ(log.size(), 2u) << query;
        EXPECT_EQ(log[0].target, path);
        EXPECT_EQ(log[1].target, "/pages/small.html") << query;
    }
}

TEST_F(WebGrabTest, SecondRedirectIsNotFollowedAndItsPageIsReturned)
{
    CString chain = "/one?redirect=302&to=/two%3Fredirect%3D302%26to%3D/pages/small.html";
    CHttpChannel channel;
    channel.SetUrl(FixtureUrl(chain));
    EXPECT_EQ(channel.Send(), CHttpChannel::SendFailed);

    FixtureReset();
    EXPECT_GT(Grab(chain), 0);
    EXPECT_EQ(m_out, "<html><body>Moved</body></html>\n");
    EXPECT_EQ(FixtureLog().size(), 2u);
}

TEST_F(WebGrabTest, SendSettlesTheReplyStatus)
{
    struct Case { CString url; int result; };
    const Case cases[] = {
        {FixtureUrl("/pages/small.html"), CHttpChannel::SendOk},
        {FixtureUrl("/pages/missing.html"), CHttpChannel::SendFailed},
        {FixtureUrl("/gone?redirect=302"), CHttpChannel::SendNoLocation},
        {FixtureUrl("/cut?size=100&fault=reset"), CHttpChannel::SendFailed},
        {"ftp://127.0.0.1/file.txt", CHttpChannel::SendNotHttp},
        {"no url at all", CHttpChannel::SendAborted},
    };
    for (const Case& c : cases) {
        CHttpChannel channel;
        channel.SetUrl(c.url);
        EXPECT_EQ(channel.Send(), c.result) << c.url;
    }
}

TEST_F(WebGrabTest, BodyIsReadAsSent)
{
    volatile int quit = 0;
    m_fetcher.m_pQuitFlag = &quit;
    struct Case { CString path; CString expected; bool exact; };
    const Case cases[] = {
        // Header words inside a page are page text.
        {"/pages/mentions.html", PageText("pages/mentions.html"), false},
        {"/pages/mentions.html", PageText("pages/mentions.html"), true},
        {"/pages/small.html?chunked=1", PageText("pages/small.html"), false},
        {"/big?size=20000", GeneratedBody(20000), false},
        {"/big?size=20000", GeneratedBody(20000), true},
        // A zero byte ends the text of its 500-byte piece.
        {"/pages/zeros.bin", CString('A', 10) + CString('C', 500), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Grab(c.path, c.exact), c.expected.GetLength()) << c.path;
        EXPECT_TRUE(m_out == c.expected) << c.path;
        EXPECT_EQ(quit, 0) << c.path;
    }
    CString next;
    EXPECT_GT(m_fetcher.GrabWebPage(FixtureUrl("/pages/small.html"), next, 320, false), 0);
}

TEST_F(WebGrabTest, LongUrlReachesTheServerWhole)
{
    CString path = "/pages/small.html?q=" + CString('x', 3000);
    EXPECT_EQ(Grab(path), PageText("pages/small.html").GetLength());
    auto log = FixtureLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].target, path);
}

TEST_F(WebGrabTest, BrokenRepliesFailAtOnce)
{
    for (const char* fault : {"reset", "reset-body", "truncate", "empty"}) {
        for (int size : {3000, 20000}) {
            CString path;
            path.Format("/broken?size=%d&fault=%s", size, fault);
            m_fetcher.m_nErrorCode = 0;
            EXPECT_EQ(Grab(path), 0) << path;
            EXPECT_TRUE(m_out.IsEmpty()) << path;
            // A reset may also take the buffered part of the body with it; a truncated body
            // always arrives in part and is refused as broken.
            if (CString(fault) == "truncate") {
                EXPECT_EQ(m_fetcher.m_nErrorCode, -900) << path;
                EXPECT_GE(m_fetcher.m_strErrorText.Find("broke off"), 0) << path;
            }
        }
    }
}

TEST_F(WebGrabTest, AbortStopsASlowTransfer)
{
    // Before the first 5000 bytes are in: nothing is returned.
    std::thread early = AbortLater(m_fetcher, 500);
    EXPECT_EQ(Grab("/slow?size=20000&slow=100&chunk=100"), 0);
    early.join();

    // While the rest is read: the text read so far is returned.
    std::thread late = AbortLater(m_fetcher, 2000);
    int count = Grab("/slow?size=60000&slow=100&chunk=1000");
    late.join();
    EXPECT_GT(count, 5000);
    EXPECT_LT(count, 60000);
    EXPECT_TRUE(m_out == GeneratedBody(count));
}

// A reply that stalls (part of its body, then nothing, the connection held open) never holds
// the fetching thread: the receive timeout fails the fetch, and an abort or the owner's quit
// lets go of it at once. Whether the first 5000 bytes were in decides between no text and the
// text read so far.
TEST_F(WebGrabTest, AStalledReplyEndsAtTheReceiveTimeoutOrAtOnceOnAnAbortOrAQuit)
{
    enum How { Timeout, AbortIt, QuitIt };
    const struct
    {
        How how;
        const char* path;
        bool textSoFar;  // the text read before the stall comes back
    } cases[] = {
        {Timeout, "/stalled?size=20000&fault=stall&part=2000", false},
        {Timeout, "/stalled?size=20000&fault=stall&part=8000", false},
        {Timeout, "/stalled?size=200&delay=20000", false},
        {AbortIt, "/stalled?size=20000&fault=stall&part=2000", false},
        {AbortIt, "/stalled?size=20000&fault=stall&part=8000", true},
        {QuitIt, "/stalled?size=20000&fault=stall&part=2000", false},
    };
    volatile int quit = 0;
    m_fetcher.m_pQuitFlag = &quit;
    for (const auto& c : cases) {
        const char* how = c.how == Timeout ? "the receive timeout" : c.how == AbortIt ? "an abort" : "a quit";
        SCOPED_TRACE(CString(how) + " " + c.path);
        quit = 0;
        m_fetcher.m_nErrorCode = 0;
        // Without a stop the stalls are ended by a receive timeout of 1.5 s; with one, the
        // program's own 60 s never come into play.
        m_fetcher.m_dwReceiveTimeout = c.how == Timeout ? 1500 : 60000;
        std::thread stop([&] {
            Sleep(700);
            if (c.how == AbortIt)
                m_fetcher.Abort();
            else if (c.how == QuitIt)
                quit = 1;
        });
        const DWORD start = GetTickCount();
        const int count = Grab(c.path);
        const DWORD took = GetTickCount() - start;
        stop.join();
        if (c.textSoFar) {
            EXPECT_GE(count, 5000);
            EXPECT_LE(count, 8000);
            EXPECT_TRUE(m_out == GeneratedBody(count));
        } else {
            EXPECT_EQ(count, 0);
            EXPECT_TRUE(m_out.IsEmpty());
        }
        if (c.how == Timeout && CString(c.path).Find("part=8000") >= 0) {
            EXPECT_EQ(m_fetcher.m_nErrorCode, -900);
            EXPECT_GE(m_fetcher.m_strErrorText.Find("broke off"), 0);
        }
        // Well below the server's stall of 20 s and more.
        EXPECT_LT(took, c.how == Timeout ? 15000u : 5000u);
        std::printf("FIGURE %s ended a stalled fetch (%s) after %lu ms\n", how, c.path,
                    static_cast<unsigned long>(took));
    }
    // The fetcher serves the next page as before.
    quit = 0;
    const CString page = PageText("pages/small.html");
    EXPECT_EQ(Grab("/pages/small.html"), page.GetLength());
    EXPECT_EQ(m_out, page);
}

TEST_F(WebGrabTest, SetQuitFlagRefusesTheFetch)
{
    volatile int quit = 1;
    m_fetcher.m_pQuitFlag = &quit;
    m_out = "kept";
    EXPECT_EQ(Grab("/pages/small.html"), 0);
    EXPECT_EQ(m_out, "kept");
    EXPECT_EQ(quit, 1);
    EXPECT_TRUE(FixtureLog().empty());
}

TEST_F(WebGrabTest, ForeignOrBrokenUrlIsRefused)
{
    struct Case { const char* url; const char* error; };
    const Case cases[] = {
        {"ftp://127.0.0.1/file.txt",
         "CWebGrab::GrabWebPage  Invalid Service. Only http/https is supported.\nURL: "
         "ftp://127.0.0.1/file.txt\n\n"},
        {"no url at all", "CWebGrab::GrabWebPage  Invalid URL, couldn't parse!\nURL: no url at all\n\n"},
    };
    for (const Case& c : cases) {
        CWebGrab grab;
        CString out;
        EXPECT_EQ(grab.GrabWebPage(c.url, out, 320, false), 0) << c.url;
        EXPECT_EQ(grab.m_nErrorCode, -900) << c.url;
        EXPECT_EQ(grab.m_strErrorText, c.error) << c.url;
    }
    EXPECT_TRUE(FixtureLog().empty());
}

TEST_F(WebGrabTest, RateAndElapsedDescribeTheLastFetch)
{
    int count = Grab("/slow?size=3000&slow=150&chunk=500");
    ASSERT_EQ(count, 3000);
    EXPECT_GE(m_fetcher.m_dElapsed, 0.6);
    EXPECT_DOUBLE_EQ(m_fetcher.m_dElapsed, (m_fetcher.m_nEndTime - m_fetcher.m_nStartTime) / 1000.0);
    EXPECT_DOUBLE_EQ(m_fetcher.m_dRate, count / m_fetcher.m_dElapsed);
}

TEST_F(WebGrabTest, VeryLargeBodyStopsAtTheLimit)
{
    EXPECT_EQ(Grab("/huge?size=10200000"), 5000 + 10000000);
}

// The pump between reads: window messages are dispatched, a thread message stays queued for
// the thread's own loop and ends the pump.
TEST(HttpChannelPump, DispatchesWindowMessagesAndLeavesThreadMessagesQueued)
{
    static int dispatched = 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_APP + 5)
            ++dispatched;
        return DefWindowProcA(h, m, w, l);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PumpProbe";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA("PumpProbe", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);

    CHttpChannel channel;
    PostMessageA(hwnd, WM_APP + 5, 0, 0);
    PostMessageA(hwnd, WM_APP + 5, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_APP + 1, 7, 0);
    PostMessageA(hwnd, WM_APP + 5, 0, 0);
    channel.PumpMessages();
    EXPECT_EQ(dispatched, 2);

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 1));
    EXPECT_EQ(msg.wParam, 7u);
    channel.PumpMessages();
    EXPECT_EQ(dispatched, 3);
    DestroyWindow(hwnd);
}
