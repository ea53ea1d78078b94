// Whole report runs on the Saved Reports page against the fixture server: three documents'
// first pages behind the drawn title page become one saved PDF with its Reports.xml entry;
// a long session-less run gets a second list page and the next free General name; a stop in
// the middle, then Generate again; names that must not lead out of the Reports folder; and
// the failures the user is told of, a recipe that cannot be read among them.
#include "DataFiles.h"
#include "FaultNotices.h"
#include "ReportFiles.h"
#include "ReportPageFixture.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

using namespace testsupport;
using namespace reporttest;

namespace {

// The report and its expected page count for the Linux-side check (report_check.py), and
// where that check puts the PNGs of its first pages.
void RecordForCheck(const CString& pdf, const char* name, int pages, const char* png = "")
{
    const char* folder = std::getenv("ZENTROVA_REPORT_CHECK");
    ASSERT_TRUE(folder);
    static bool started = false;
    if (!started) {
        DeleteFileA(CString(folder) + "/reports.txt");
        started = true;
    }
    CreateDirectoryA(folder, nullptr);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(pdf, bytes));
    ASSERT_TRUE(WriteBytes(CString(folder) + "/" + name, bytes));
    std::string list;
    ReadBytes(CString(folder) + "/reports.txt", list);
    list += std::string(name) + "|" + std::to_string(pages) + "|" + png + "\n";
    ASSERT_TRUE(WriteBytes(CString(folder) + "/reports.txt", list));
}

CString Today()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return FormatReportDate(now);
}

// The threads of this process now.
int ThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    CloseHandle(snapshot);
    return count;
}

class ReportRunTest : public ReportPageTest
{
};

} // namespace

TEST_F(ReportRunTest, ThreeFirstPagesBecomeOneSavedReport)
{
    BoxAnswerer answers;
    answers.Answer("Save Search Report?", IDYES);
    const SearchSession session =
        Session("Widget search", "Tray & dividers", "ACME <EU>", {"US6123456", "EP1000000", "US20050123456"});
    ASSERT_TRUE(RunReport(session));

    const CString saved = Reports() + "\\Widget search.pdf";
    ASSERT_TRUE(FileExists(saved));
    EXPECT_FALSE(FileExists(Reports() + "\\General.pdf"));
    EXPECT_FALSE(FileExists(Reports() + "\\Widget search"));  // the run folder is gone
    EXPECT_FALSE(FileExists(GetAppDirectory() + "\\PeeDeeEff1.pdf"));
    ASSERT_EQ(s_opened.size(), 1u);
    EXPECT_EQ(s_opened[0], "Open " + saved);
    ASSERT_EQ(answers.boxes.size(), 1u);
    EXPECT_EQ(answers.boxes[0].text, CString("Do you want to save this Search Report for later access?"));
    EXPECT_EQ(StatusText(), CString("Download Finished"));
    const std::vector<std::pair<WPARAM, LPARAM>> progress = {{3, 1}, {3, 2}, {3, 3}};
    EXPECT_EQ(m_container.progress, progress);
    EXPECT_EQ(m_container.finished, 1);

    // The entry, byte for byte, and read back by a page that starts afresh.
    std::string xml;
    ASSERT_TRUE(ReadBytes(GetAppDirectory() + "\\Reports.xml", xml));
    const CString expected = "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<report name=\"Widget search\">\r\n"
                             "<mark>Tray &amp; dividers</mark>\r\n<client>ACME &lt;EU&gt;</client>\r\n"
                             "<datetime>" +
                             Today() + "</datetime>\r\n</report>\r\n</saved>\r\n";
    EXPECT_EQ(xml, std::string(expected.GetString(), expected.GetLength()));
    std::vector<SavedReportEntry> read;
    ASSERT_TRUE(ReadReportsXml(GetAppDirectory() + "\\Reports.xml", read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].strMark, CString("Tray & dividers"));
    ASSERT_EQ(m_page->m_List.GetItemCount(), 1);
    EXPECT_EQ(m_page->m_List.GetItemText(0, 1), CString("Widget search"));

    // Title page and three first pages.
    RecordForCheck(saved, "three-documents.pdf", 4);
    HANDLE h = CreateFileA(saved, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::printf("FIGURE report of three documents: 4 pages, %lu bytes\n", GetFileSize(h, nullptr));
    CloseHandle(h);
}

TEST_F(ReportRunTest, ALongSessionlessRunGetsAListPageAndTheNextFreeGeneralName)
{
    ASSERT_TRUE(CreateDirectoryA(Reports(), nullptr));
    ASSERT_TRUE(WriteBytes(Reports() + "\\General1.pdf", "1"));
    ASSERT_TRUE(WriteBytes(Reports() + "\\General2.pdf", "2"));
    std::vector<const char*> numbers = {"US6123456", "EP1000000", "US20050123456"};
    std::vector<std::string> unknown;
    for (int i = 0; i < 43; ++i)
        unknown.push_back("US90000" + std::to_string(10 + i));
    for (const std::string& number : unknown)
        numbers.push_back(number.c_str());
    BoxAnswerer answers;
    answers.Answer("Save Search Report?", IDNO);
    const int threadsBefore = ThreadCount();
    ASSERT_GT(threadsBefore, 0);
    ASSERT_TRUE(RunReport(Session("General", "", "", numbers), 120000));
    // Each document's thread ended with its job: none of the 46 is left waiting.
    EXPECT_TRUE(PumpUntil([&] { return ThreadCount() <= threadsBefore + 1; }, 10000))
        << ThreadCount() << " threads after the run, " << threadsBefore << " before";

    EXPECT_EQ(m_page->m_strReportName, CString("General3"));
    // No: the merged report stays as General.pdf and is opened from there; nothing is listed.
    const CString output = Reports() + "\\General.pdf";
    ASSERT_TRUE(FileExists(output));
    ASSERT_EQ(s_opened.size(), 1u);
    EXPECT_EQ(s_opened[0], "Open " + output);
    EXPECT_EQ(m_page->m_List.GetItemCount(), 0);
    EXPECT_FALSE(FileExists(GetAppDirectory() + "\\Reports.xml"));
    EXPECT_FALSE(FileExists(Reports() + "\\General3"));
    // Two drawn pages (45 rows and 1) and the three documents that were found.
    RecordForCheck(output, "forty-six-documents.pdf", 5, "report");
}

TEST_F(ReportRunTest, StopInTheMiddleThenGenerateAgain)
{
    BoxAnswerer answers;
    answers.Answer("Save Search Report?", IDYES);
    m_page->StartReport(Session("Stopped run", "", "", {"US6123456", "WO2004012345", "EP1000000"}));
    ASSERT_TRUE(PumpUntil([] { return !FixtureLog("slow=250").empty(); }, 20000));
    EXPECT_TRUE(FileExists(Reports() + "\\Stopped run"));
    m_page->StopReport();
    EXPECT_FALSE(m_page->IsBusy());
    EXPECT_TRUE(m_page->IsStopping());

    // Until the stopped thread has answered, a new run waits.
    m_page->StartReport(Session("Too early", "", "", {"US6123456"}));
    ASSERT_TRUE(PumpUntil([&] { return !answers.boxes.empty(); }));
    EXPECT_EQ(answers.boxes[0].text, CString("Already downloading"));
    ASSERT_TRUE(PumpUntil([this] { return !m_page->IsStopping(); }, 20000));
    EXPECT_EQ(StatusText(), CString("Download Cancelled"));
    EXPECT_FALSE(FileExists(Reports() + "\\Stopped run"));
    EXPECT_FALSE(FileExists(Reports() + "\\Stopped run.pdf"));
    EXPECT_FALSE(FileExists(Reports() + "\\General.pdf"));
    EXPECT_TRUE(s_opened.empty());
    EXPECT_EQ(m_container.finished, 1);
    EXPECT_TRUE(FixtureLog("/engine/images/p2.tif?doc=1000000").empty());  // the third never started

    ASSERT_TRUE(RunReport(Session("Second run", "", "", {"EP1000000", "US6123456"})));
    EXPECT_TRUE(FileExists(Reports() + "\\Second run.pdf"));
    ASSERT_EQ(m_page->m_Entries.size(), 1u);
    EXPECT_EQ(m_page->m_Entries[0].strName, CString("Second run"));
    EXPECT_EQ(answers.boxes.size(), 2u);
}

// Stop while the document in flight waits on a page that stalls (part of it, then nothing):
// the run ends as cancelled within a second, with nothing of it left in the Reports folder.
TEST_F(ReportRunTest, AStopDuringAStalledPageEndsTheRunAtOnce)
{
    BoxAnswerer answers;
    FixturePlan("/engine/images/p2.tif", "fault=stall&part=380", 1);
    m_page->StartReport(Session("Stalled run", "", "", {"US6123456", "EP1000000"}));
    ASSERT_TRUE(PumpUntil([] { return !FixtureLog("/engine/images/p2.tif").empty(); }, 20000));
    PumpMessages(500);
    ASSERT_TRUE(m_page->IsBusy()) << "the page stalls";

    const DWORD stopped = GetTickCount();
    m_page->StopReport();
    ASSERT_TRUE(PumpUntil([this] { return !m_page->IsStopping(); }, 20000));
    const DWORD took = GetTickCount() - stopped;
    std::printf("FIGURE Stop ended a report run during a stalled page after %lu ms\n",
                static_cast<unsigned long>(took));
    EXPECT_LT(took, 5000u);
    EXPECT_EQ(StatusText(), CString("Download Cancelled"));
    EXPECT_FALSE(FileExists(Reports() + "\\Stalled run"));
    EXPECT_FALSE(FileExists(Reports() + "\\Stalled run.pdf"));
    EXPECT_TRUE(answers.boxes.empty());
    EXPECT_EQ(m_container.finished, 1);
}

TEST_F(ReportRunTest, NamesThatWouldLeaveTheReportsFolder)
{
    ASSERT_TRUE(WriteBytes(Save() + "US1000001.pdf", "a downloaded document"));
    BoxAnswerer answers;
    answers.Answer("Save Search Report?", IDYES);
    ASSERT_TRUE(RunReport(Session("..", "", "", {"US6123456"})));
    EXPECT_TRUE(FileExists(Save() + "US1000001.pdf"));
    EXPECT_TRUE(FileExists(Reports() + "\\._.pdf"));
    ASSERT_TRUE(RunReport(Session("\\ : ?", "", "", {"EP1000000"})));
    EXPECT_TRUE(FileExists(Reports() + "\\_ _ _.pdf"));
    ASSERT_EQ(m_page->m_Entries.size(), 2u);
    EXPECT_EQ(m_page->m_Entries[1].strName, CString("\\ : ?"));
    // Open finds the saved file by the same name.
    s_opened.clear();
    m_page->m_List.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    m_page->OpenSelectedReport();
    ASSERT_EQ(s_opened.size(), 1u);
    EXPECT_EQ(s_opened[0], "Open " + Reports() + "\\_ _ _.pdf");
}

TEST_F(ReportRunTest, FailuresTheUserIsToldOf)
{
    BoxAnswerer answers;
    {
        SCOPED_TRACE("a session without documents");
        ASSERT_TRUE(RunReport(Session("Empty", "", "", {})));
        ASSERT_EQ(answers.boxes.size(), 1u);
        EXPECT_EQ(answers.boxes[0].caption, CString("Error"));
        EXPECT_TRUE(m_page->m_Entries.empty());
        EXPECT_TRUE(s_opened.empty());
    }
    {
        SCOPED_TRACE("the merged file cannot be written");
        ASSERT_TRUE(CreateDirectoryA(Reports(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(WriteBytes(Reports() + "\\General.pdf", "held"));
        LockedFile held(Reports() + "\\General.pdf");
        ASSERT_TRUE(held.IsHeld());
        answers.boxes.clear();
        ASSERT_TRUE(RunReport(Session("Held", "", "", {"US6123456"})));
        ASSERT_EQ(answers.boxes.size(), 1u);
        EXPECT_EQ(answers.boxes[0].text, "The search report could not be written to " + Reports() + "\\General.pdf.");
        EXPECT_TRUE(m_page->m_Entries.empty());
        EXPECT_FALSE(FileExists(Reports() + "\\Held"));
    }
}

// A recipe that cannot be read fails every document alike: the run ends at its first
// document instead of making a report without documents, and says why: in a message box
// the first time the cause is met, on the status line every time.
TEST_F(ReportRunTest, ARunWithoutARecipeItCanReadEndsAtOnceAndSaysWhy)
{
    const CString recipe = GetAppDirectory() + "\\Download.cfg";
    struct RecipeBack
    {
        CString path;
        std::string bytes;
        ~RecipeBack() { WriteBytes(path, bytes); }
    } back{recipe, {}};
    ASSERT_TRUE(ReadBytes(recipe, back.bytes));
    ASSERT_TRUE(WriteBytes(recipe, "a recipe cut short"));
    ClearFaultNotice(FaultTopic::Recipe);

    BoxAnswerer answers;
    const CString why = "The recipe file Download.cfg cannot be read: it is damaged.";
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(RunReport(Session("No recipe", "", "", {"US6123456", "EP1000000", "US20050123456"})));
        PumpMessages(300);  // the box is posted
        EXPECT_EQ(StatusText(), why);
        EXPECT_EQ(m_container.finished, run);
        // The first document's job ended, and no other was started.
        const std::vector<std::pair<WPARAM, LPARAM>> progress(static_cast<size_t>(run), {3, 1});
        EXPECT_EQ(m_container.progress, progress);
        ASSERT_EQ(answers.boxes.size(), 1u) << "one box for the cause, however many runs it ends";
        EXPECT_EQ(answers.boxes[0].caption, CString("Search Report Failed"));
        EXPECT_EQ(answers.boxes[0].text.Left(why.GetLength()), why);
    }
    EXPECT_TRUE(FixtureLog("/engine/").empty()) << "nothing is asked without a recipe";
    EXPECT_TRUE(FixtureLog("/reports/").empty());
    EXPECT_FALSE(FileExists(Reports() + "\\No recipe"));
    EXPECT_FALSE(FileExists(Reports() + "\\No recipe.pdf"));
    EXPECT_FALSE(FileExists(Reports() + "\\General.pdf"));
    EXPECT_TRUE(m_page->m_Entries.empty());
    EXPECT_TRUE(s_opened.empty());
}
