#include "WebGet.h"

#include "OpsTokenCache.h"
#include "WebTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>


using namespace testsupport;
using namespace webtest;

using WebGetTest = FetcherTest<CWebGet>;

TEST_F(WebGetTest, PageIsRequestedTwiceAndComesBackWithoutLineFeeds)
{
    for (const char* page : {"pages/crlf.txt", "pages/lf.txt"}) {
        FixtureReset();
        CString path = CString("/") + page;
        CString expected = WithoutLineFeeds(PageText(page));
        EXPECT_EQ(Grab(path), expected.GetLength()) << page;
        EXPECT_EQ(m_out, expected) << page;

        auto log = FixtureLog();
        ASSERT_EQ(log.size(), 2u) << page;
        for (const LoggedRequest& r : log) {
            EXPECT_EQ(r.target, path);
            EXPECT_EQ(HeaderNames(r), (std::vector<CString>{"accept", "host", "user-agent"}));
            EXPECT_EQ(r.Header("Accept"), "*/*");
            EXPECT_EQ(r.Header("User-Agent"), "Zentrova");
        }
    }
    EXPECT_GE(m_out.Find("row 000"), 0);
    EXPECT_LT(m_out.Find('\r'), 0);
}

TEST_F(WebGetTest, CarriageReturnsStay)
{
    EXPECT_GT(Grab("/pages/crlf.txt"), 0);
    EXPECT_GE(m_out.Find("title text for the row\rResult row 001"), 0);
}

TEST_F(WebGetTest, OpsRequestsCarryTheCurrentTokenInABearerLine)
{
    EXPECT_GT(Grab(kOpsPage), 0);
    EXPECT_GE(m_out.Find("Apparatus for testing fetchers"), 0);
    auto pages = FixtureLog(kOpsPage);
    ASSERT_EQ(pages.size(), 2u);
    for (const LoggedRequest& r : pages) {
        EXPECT_EQ(HeaderNames(r), (std::vector<CString>{"accept", "authorization", "host", "user-agent"}));
        EXPECT_EQ(r.Header("Authorization"), "Bearer " + COpsTokenCache::GetToken());
    }
}

TEST_F(WebGetTest, Reply400FromAnyHostRefreshesTheTokenOnceAndReadsTheFirstPartAgain)
{
    COpsTokenCache::GetToken();
    FixtureReset();
    CString path = "/pages/small.html?status=400";
    EXPECT_EQ(Grab(path), WithoutLineFeeds(PageText("pages/small.html")).GetLength());

    auto log = FixtureLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].target, path);
    EXPECT_EQ(log[1].target, kTokenPath);
    EXPECT_EQ(log[2].target, path);
    EXPECT_EQ(log[3].target, path);
}

TEST_F(WebGetTest, AUtf8ReplyComesInTheCodePageAndAnyOtherAsItsBytes)
{
    ExpectEncodedPagesHandedOn();
}

TEST_F(WebGetTest, PageMentioningHeaderWordsComesBackWhole)
{
    volatile int quit = 0;
    m_fetcher.m_pQuitFlag = &quit;
    CString expected = WithoutLineFeeds(PageText("pages/mentions.html"));
    EXPECT_EQ(Grab("/pages/mentions.html"), expected.GetLength());
    EXPECT_EQ(m_out, expected);
    EXPECT_EQ(Grab("/pages/small.html?chunked=1"), WithoutLineFeeds(PageText("pages/small.html")).GetLength());
    EXPECT_EQ(quit, 0);
}

TEST_F(WebGetTest, BrokenRepliesFailAtOnceAndSayHow)
{
    const struct
    {
        const char* fault;
        int result;
        int orResult;  // a reset can overtake the headers sent before it
    } cases[] = {
        {"reset", CWebGet::FetchNoReply, CWebGet::FetchNoReply},
        {"reset-body", CWebGet::FetchBroken, CWebGet::FetchNoReply},
        {"truncate", CWebGet::FetchBroken, CWebGet::FetchBroken},
        {"empty", CWebGet::FetchEmpty, CWebGet::FetchEmpty},
    };
    for (const auto& c : cases) {
        for (int size : {3000, 20000}) {
            CString path;
            path.Format("/broken?size=%d&fault=%s", size, c.fault);
            EXPECT_EQ(Grab(path), 0) << path;
            EXPECT_TRUE(m_out.IsEmpty()) << path;
            EXPECT_TRUE(m_fetcher.m_nFetchResult == c.result || m_fetcher.m_nFetchResult == c.orResult)
                << path << ": " << m_fetcher.m_nFetchResult << ", status " << m_fetcher.m_dwStatusCode;
        }
    }
}

TEST_F(WebGetTest, APageOfAnyStatusComesWithItsStatus)
{
    const CString expected = WithoutLineFeeds(PageText("pages/small.html"));
    const struct
    {
        const char* query;
        DWORD status;
        const char* reason;
    } cases[] = {{"", 200, "OK"}, {"?status=503", 503, "Service Unavailable"}, {"?status=429", 429, "Too Many Requests"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Grab(CString("/pages/small.html") + c.query), expected.GetLength()) << c.query;
        EXPECT_EQ(m_fetcher.m_nFetchResult, CWebGet::FetchPage);
        EXPECT_EQ(m_fetcher.m_dwStatusCode, c.status) << c.query;
        EXPECT_EQ(m_fetcher.m_strStatusText, c.reason) << c.query;
    }
}

// A server that sent part of a page and then nothing holds the fetch no longer than the
// receive timeout, and an abort lets go of it at once, before or after the first part.
TEST_F(WebGetTest, AStalledReplyEndsAtTheReceiveTimeoutOrAtOnceOnAnAbort)
{
    m_fetcher.m_Reader.m_dwReceiveTimeout = 1500;
    for (const char* path : {"/stalled?size=20000&fault=stall&part=2000", "/stalled?size=20000&fault=stall&part=8000",
                             "/stalled?size=200&delay=20000"}) {
        const DWORD start = GetTickCount();
        EXPECT_EQ(Grab(path), 0) << path;
        const DWORD took = GetTickCount() - start;
        EXPECT_NE(m_fetcher.m_nFetchResult, CWebGet::FetchPage) << path;
        EXPECT_NE(m_fetcher.m_nFetchResult, CWebGet::FetchAborted) << path;
        // Well below the server's stall of 20 s and more.
        EXPECT_LT(took, 15000u) << path;
        std::printf("FIGURE a stalled reply (%s) ended the fetch after %lu ms\n", path,
                    static_cast<unsigned long>(took));
    }

    m_fetcher.m_Reader.m_dwReceiveTimeout = 60000;
    for (const char* path : {"/stalled?size=20000&fault=stall&part=2000", "/stalled?size=20000&fault=stall&part=8000"}) {
        std::thread stop = AbortLater(m_fetcher, 700);
        const DWORD start = GetTickCount();
        EXPECT_EQ(Grab(path), 0) << path;
        const DWORD took = GetTickCount() - start;
        stop.join();
        EXPECT_EQ(m_fetcher.m_nFetchResult, CWebGet::FetchAborted) << path;
        EXPECT_TRUE(m_out.IsEmpty());
        EXPECT_LT(took, 15000u) << path;
        std::printf("FIGURE an abort 700 ms into a stalled reply (%s) ended the fetch after %lu ms\n", path,
                    static_cast<unsigned long>(took));
    }
    // The fetcher serves the next page as before.
    EXPECT_GT(Grab("/pages/small.html"), 0);
}

TEST_F(WebGetTest, AbortStopsASlowTransfer)
{
    struct Case { DWORD after; const char* path; };
    const Case cases[] = {
        // The first part trickles in over 5 s: the abort falls into it.
        {500, "/slow?size=20000&slow=100&chunk=100"},
        // The first part is in after 0.5 s; the whole page takes 6 s more.
        {2000, "/slow?size=60000&slow=100&chunk=1000"},
    };
    for (const Case& c : cases) {
        std::thread stop = AbortLater(m_fetcher, c.after);
        EXPECT_EQ(Grab(c.path), 0) << c.path;
        stop.join();
        EXPECT_TRUE(m_out.IsEmpty()) << c.path;
    }
}

TEST_F(WebGetTest, SetQuitFlagOrForeignUrlRefusesTheFetch)
{
    volatile int quit = 1;
    m_fetcher.m_pQuitFlag = &quit;
    m_out = "kept";
    EXPECT_EQ(Grab("/pages/small.html"), 0);
    EXPECT_EQ(m_out, "kept");
    EXPECT_TRUE(m_fetcher.IsQuitSet());

    CWebGet get;
    CString out;
    EXPECT_EQ(get.GrabWebPage("ftp://127.0.0.1/file.txt", out, 320, false), 0);
    EXPECT_EQ(get.m_nErrorCode, -900);
    EXPECT_EQ(get.m_strErrorText, "CWebGet::GrabWebPage  Invalid Service. Only http/https is "
                                  "supported.\nURL: ftp://127.0.0.1/file.txt\n\n");
    EXPECT_EQ(get.GrabWebPage("no url at all", out, 320, false), 0);
    EXPECT_EQ(get.m_strErrorText,
              "CWebGet::GrabWebPage  Invalid URL, couldn't parse!\nURL: no url at all\n\n");
    EXPECT_TRUE(FixtureLog().empty());
}

TEST_F(WebGetTest, RateAndElapsedDescribeTheFetchAndItsFirstPart)
{
    int count = Grab("/slow?size=3000&slow=150&chunk=500");
    EXPECT_EQ(m_out, WithoutLineFeeds(GeneratedBody(3000)));
    ASSERT_EQ(count, WithoutLineFeeds(GeneratedBody(3000)).GetLength());
    EXPECT_GE(m_fetcher.m_dElapsed, 1.2);
    EXPECT_DOUBLE_EQ(m_fetcher.m_dRate, count / m_fetcher.m_dElapsed);
    EXPECT_GE(m_fetcher.m_Reader.m_dElapsed, 0.6);
    EXPECT_DOUBLE_EQ(m_fetcher.m_Reader.m_dRate, 3000 / m_fetcher.m_Reader.m_dElapsed);
}
