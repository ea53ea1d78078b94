#include "StartupPortal.h"

#include "TraceLine.h"
#include "WebTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace testsupport;

namespace {

std::vector<CString> g_trace;
void CaptureTrace(const CString& line)
{
    g_trace.push_back(line);
}

class StartupPortalTest : public FixtureTest
{
};

} // namespace

TEST_F(StartupPortalTest, StartPageRepliesWithItsCookie)
{
    CString headers = FetchStartupHeaders();
    EXPECT_EQ(headers.Find("HTTP/1.1 200"), 0);
    EXPECT_GE(headers.Find("Set-Cookie: JSESSIONID=fixture0001"), 0);

    auto log = FixtureLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].target, "/external/portal");
    EXPECT_EQ(log[0].Header("Accept"), "text/*");
}

TEST_F(StartupPortalTest, StartPageWithoutCookie)
{
    FixturePlan("/external/portal", "omit=Set-Cookie");
    CString headers = FetchStartupHeaders();
    EXPECT_EQ(headers.Find("HTTP/1.1 200"), 0);
    EXPECT_LT(headers.Find("Set-Cookie"), 0);
    EXPECT_GE(FetchStartupHeaders().Find("Set-Cookie"), 0);
}

TEST_F(StartupPortalTest, UnreachablePortalGivesNothingAndATraceLine)
{
    // Port 1 on the loopback address has no listener.
    SetEnvironmentVariableA("ZENTROVA_SERVICE_BASE", "http://127.0.0.1:1");
    g_trace.clear();
    TraceSink previous = SetTraceSink(CaptureTrace);
    CString headers = FetchStartupHeaders();
    SetTraceSink(previous);
    SetEnvironmentVariableA("ZENTROVA_SERVICE_BASE", FixtureBase());

    EXPECT_TRUE(headers.IsEmpty());
    ASSERT_EQ(g_trace.size(), 1u);
    EXPECT_EQ(g_trace[0].Find("Error while downloading Header string. Error code:120"), 0)
        << g_trace[0];
    EXPECT_GE(g_trace[0].Find(" & Error Description: "), 0);
}
