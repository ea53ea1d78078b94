// Report threads on real threads against the fixture server, with the report recipe: the
// walk by priority to the first page, its PDF and record, a document that no source has,
// and a stop while a page comes in slowly or stalls.
#include "FixtureServer.h"
#include "Msxml.h"
#include "ReportMessages.h"
#include "ReportTestSupport.h"
#include "TestSupport.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace testsupport;
using namespace reporttest;

namespace {

class ReportThreadTest : public FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        InstallReportRecipe();
        m_run = m_dir.Path() + "\\";
    }
    void TearDown() override { CoUninitialize(); }

    TempDir m_dir;
    CString m_run;
};

} // namespace

TEST_F(ReportThreadTest, FetchesTheFirstPagesOfEachKindOfDocument)
{
    const struct {
        const char* number;
        const char* folder;
        const char* merged;
        const char* page;   // the image the source asked for
        const char* title;  // in the record
    } cases[] = {
        {"US 6,123,456", "US6123456", "US6123456.pdf", "/engine/images/p1.tif?doc=6123456", "Fastener with three pages"},
        {"EP1000000", "EP1000000", "EP1000000.pdf", "/engine/images/p2.tif?doc=1000000", "Clamp for rails"},
        {"US20050123456", "US20050123456", "US20050123456.pdf", "/engine/images/p3.tif?doc=20050123456&kind=A1",
         ""},
    };
    ThreadOwner owner;
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        ASSERT_TRUE(owner.Start(c.number, m_run, index));
        ASSERT_TRUE(owner.WaitForReply(static_cast<size_t>(index + 1)));
        const Reply& reply = owner.replies.back();
        EXPECT_EQ(reply.index, index);
        EXPECT_EQ(reply.lParam, 0);
        EXPECT_EQ(reply.done, 1);
        EXPECT_EQ(reply.success, 1);
        EXPECT_EQ(reply.cancelled, 0);
        EXPECT_EQ(reply.resultPath, CString(c.folder) + "\\" + c.merged);
        // The page PDF and the merged file stay; the TIFF is gone.
        const std::vector<CString> files = FileNamesIn(m_run + c.folder);
        CString expectedPage;
        expectedPage.Format("%d_1_0.pdf", index);
        ASSERT_EQ(files.size(), 2u);
        EXPECT_EQ(files[0], expectedPage);
        EXPECT_EQ(files[1], CString(c.merged).MakeLower());
        EXPECT_EQ(FixtureLog(c.page).size(), 1u);
        EXPECT_GT(reply.record.Find(CString("DocumentTitle=\"") + c.title + "\""), 0) << reply.record.GetString();
        EXPECT_GT(reply.record.Find(expectedPage), 0);
        EXPECT_GT(reply.record.Find(c.merged), 0);
        ++index;
    }
    // The US patent's walk tried priority 1 first; the US application's met the error page.
    EXPECT_EQ(FixtureLog("source=report-us1").size(), 1u);
    EXPECT_EQ(FixtureLog("/reports/error.html").size(), 1u);
}

TEST_F(ReportThreadTest, ADocumentNoSourceHasIsNotFound)
{
    ThreadOwner owner;
    ASSERT_TRUE(owner.Start("US9000000", m_run));
    ASSERT_TRUE(owner.WaitForReply());
    const Reply& reply = owner.replies[0];
    EXPECT_EQ(reply.lParam, 0);
    EXPECT_EQ(reply.done, 1);
    EXPECT_EQ(reply.success, 0);
    EXPECT_EQ(reply.resultPath, CString("US9000000"));
    EXPECT_FALSE(FileExists(m_run + "US9000000"));  // its empty folder is removed
    EXPECT_TRUE(FixtureLog("number=9000000").empty());
}

// A stop as the report run makes it, while the page comes in slowly, while the page stalls
// (part of it, then nothing) and while the Process step's page stalls: the thread answers once
// with its cancel, within a second, ends, and leaves no folder.
TEST_F(ReportThreadTest, AStopDuringAFetchEndsTheThreadAtOnceWithOneCancelReply)
{
    const struct
    {
        const char* what;
        const char* number;
        const char* path;   // the request under way at the stop
        const char* stall;  // planned for it; none: the recipe's slow page
    } cases[] = {
        {"a slow page", "WO2004012345", "/engine/images/p2.tif", nullptr},
        {"a stalled page", "EP1000000", "/engine/images/p2.tif", "fault=stall&part=380"},
        {"a stalled Process page", "EP1000001", "/reports/clamp.html", "fault=stall&part=30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FixtureReset();
        if (c.stall)
            FixturePlan(c.path, c.stall, 1);
        ThreadOwner owner;
        CReportThread* thread = owner.Start(c.number, m_run);
        ASSERT_TRUE(thread);
        HANDLE handle = nullptr;
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &handle, 0, FALSE,
                                    DUPLICATE_SAME_ACCESS));
        ASSERT_TRUE(PumpUntil([&] { return !FixtureLog(c.path).empty(); }, 10000));
        PumpMessages(300);
        ASSERT_TRUE(owner.replies.empty());
        const DWORD stopped = GetTickCount();
        thread->AbortFetch();
        thread->OnCancel(0, 0);
        // The thread object deletes itself once its reply returns: it is not touched again.
        thread = nullptr;
        ASSERT_TRUE(owner.WaitForReply());
        const DWORD took = GetTickCount() - stopped;
        std::printf("FIGURE a stop ended a report thread during %s after %lu ms\n", c.what,
                    static_cast<unsigned long>(took));
        EXPECT_LT(took, 5000u);
        ASSERT_TRUE(PumpUntil([handle] { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }, 10000));
        CloseHandle(handle);
        PumpMessages(200);
        ASSERT_EQ(owner.replies.size(), 1u);
        EXPECT_EQ(owner.replies[0].lParam, kReportCancelled);
        EXPECT_EQ(owner.replies[0].cancelled, 1);
        EXPECT_EQ(owner.replies[0].success, 0);
        EXPECT_FALSE(FileExists(m_run + c.number));
    }
}
