// Documents made of page images, downloaded end to end on real download threads against the
// fixture web server: the ImageCollection step with its page transfers and progress reports,
// the first-pages run, the page judge (Vostrel.dll and replace.tif beside the test program,
// as beside the program), the conversion and the merge into "[COUNTRYCODE][DOCUMENTNUMBER].pdf",
// and what happens to a page that is empty, missing, damaged or refused.
//
// Every merged PDF is also copied into the check folder, where download_job_pdf_check runs
// qpdf --check, pdfinfo and pdftoppm on it after this program.
#include "JobTestSupport.h"

#include "DataFiles.h"
#include "OpsTokenCache.h"
#include "PageImageLock.h"
#include "PatentThreadMessages.h"
#include "PdfFixtures.h"
#include "RegEx.h"
#include "WindowBench.h"
#include "XmlHelpers.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace testsupport;
using namespace jobtest;
using pdffixtures::ExpectedPage;

namespace {

const char kImages[] = "/engine/images/";

// The page sizes of the fixture pages (tools/make_fixture_pages.sh) and of replace.tif, an A4
// page as the OPS service writes its pages (pixels per centimetre).
const ExpectedPage kPage1{"612x792", "000000", "ffffff"};
const ExpectedPage kPage2{"576x792", "000000", "ffffff"};
const ExpectedPage kPage3{"648x792", "000000", "ffffff"};
const ExpectedPage kReplacement{"595x842", "", ""};

// The page files requested, in order, as "FILE:PAGE" from the fixture log.
std::vector<CString> PagesRequested()
{
    std::vector<CString> pages;
    for (const LoggedRequest& r : FixtureLog(kImages)) {
        RegEx page("/engine/images/([^?]+)\\?.*page=(\\d+)", false);
        if (page.Search(r.target))
            pages.push_back(page.What(1) + ":" + page.What(2));
    }
    return pages;
}

int RequestsFor(const char* file)
{
    return static_cast<int>(FixtureLog((CString(kImages) + file).GetString()).size());
}

// Hands the merged PDF to the Linux-side check under a name of its own.
void ExpectMergedPdf(const CString& path, const char* checkName, const std::vector<ExpectedPage>& pages)
{
    const CString folder = pdffixtures::CheckFolder();
    if (folder.IsEmpty())
        return;
    const CString copy = folder + "\\" + checkName;
    ASSERT_TRUE(CopyFileA(path, copy, FALSE)) << path.GetString();
    pdffixtures::ExpectPdf(copy, pages);
}

// The CatalogItem attributes of a record text, one "FilePath|DownloadSourceName|FileSize|FileType"
// text per item, in order.
std::vector<CString> CatalogItems(const CString& record)
{
    std::vector<CString> items;
    IXMLDOMDocument2Ptr doc;
    EXPECT_TRUE(SUCCEEDED(doc.CreateInstance(__uuidof(DOMDocument40))));
    EXPECT_EQ(doc->loadXML(_bstr_t(record)), VARIANT_TRUE) << record.GetString();
    IXMLDOMNodeListPtr nodes = doc->selectNodes(L"/Document/XMLCatalog/CatalogItem");
    for (long i = 0; nodes && i < nodes->Getlength(); ++i) {
        CString path, source, size, type;
        GetXmlAttribute(nodes->Getitem(i), "FilePath", path);
        GetXmlAttribute(nodes->Getitem(i), "DownloadSourceName", source);
        GetXmlAttribute(nodes->Getitem(i), "FileSize", size);
        GetXmlAttribute(nodes->Getitem(i), "FileType", type);
        items.push_back(path.MakeLower() + "|" + source + "|" + size + "|" + type);
    }
    return items;
}

CString RecordAttribute(const CString& record, const char* name)
{
    RegEx attribute(CString(" ") + name + "=\"([^\"]*)\"", false);
    return attribute.Search(record) ? attribute.What(1) : CString("<none>");
}

CString Lower(CString text)
{
    return text.MakeLower();
}

CString Size(const std::string& bytes)
{
    return CString(std::to_string(bytes.size()).c_str());
}

// The transfer files ("pat*.tmp") in the system's temporary folder.
std::vector<CString> TransferFiles()
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    std::vector<CString> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(CString(folder) + "pat*.tmp", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

// Takes the page judge out of the program folder for a while: the download thread then keeps
// every page as it came.
class JudgeAway
{
public:
    JudgeAway()
    {
        Restore();
        EXPECT_TRUE(MoveFileA(Judge(), Judge() + ".away"));
    }
    ~JudgeAway() { Restore(); }
    JudgeAway(const JudgeAway&) = delete;
    JudgeAway& operator=(const JudgeAway&) = delete;

    // Puts back a judge that an earlier run left away.
    static void Restore()
    {
        if (GetFileAttributesA(Judge() + ".away") != INVALID_FILE_ATTRIBUTES)
            MoveFileExA(Judge() + ".away", Judge(), MOVEFILE_REPLACE_EXISTING);
    }
    static CString Judge() { return GetAppDirectory() + "\\Vostrel.dll"; }
};

class DocumentImagesTest : public DownloadJobTest
{
protected:
    // Transfer files go to the temporary folder, which the test programs running beside this
    // one share: this program gets a folder of its own, so that the files it counts are its own.
    static void SetUpTestSuite()
    {
        const CString temp = GetAppDirectory() + "\\temp";
        ::CreateDirectoryA(temp, nullptr);
        ::SetEnvironmentVariableA("TMP", temp);
        ::SetEnvironmentVariableA("TEMP", temp);
    }

    void SetUp() override
    {
        DownloadJobTest::SetUp();
        char temp[MAX_PATH] = "";
        ::GetTempPathA(MAX_PATH, temp);
        ASSERT_EQ(GetAppDirectory() + "\\temp\\", CString(temp));
        JudgeAway::Restore();
        ASSERT_NE(GetFileAttributesA(JudgeAway::Judge()), INVALID_FILE_ATTRIBUTES)
            << "the page judge belongs beside the test program";
        ASSERT_NE(GetFileAttributesA(GetAppDirectory() + "\\replace.tif"), INVALID_FILE_ATTRIBUTES);
    }
};

// ------------------------------------------------------------------ whole documents

TEST_F(DocumentImagesTest, ThreePagesBecomeOneMergedPdfAfterTheOtherFilesWithProgressPerPage)
{
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("US7000003", "IMAGES"));
    ASSERT_EQ(outcome.success, 1);
    const CString folder = m_save + "US7000003";

    // Only the HTML file and the merged PDF are left: the page images and page PDFs are gone.
    EXPECT_EQ(FileNamesIn(folder), (std::vector<CString>{"us7000003.html", "us7000003.pdf"}));
    const std::string pdf = FileText(folder + "\\US7000003.pdf");
    EXPECT_EQ(MediaBoxes(pdf), (std::vector<CString>{"612x792", "576x792", "648x792"}));
    ExpectMergedPdf(folder + "\\US7000003.pdf", "three-pages.pdf", {kPage1, kPage2, kPage3});

    // The record: the HTML file's line first, then the merged file's, which takes the HTML
    // file's source name.
    const std::string html = FileText(folder + "\\US7000003.html");
    EXPECT_EQ(CatalogItems(outcome.record),
              (std::vector<CString>{Lower(folder + "\\US7000003.html") + "|Page images|" + Size(html) + "|HTML",
                                    Lower(folder + "\\US7000003.pdf") + "|Page images|" + Size(pdf) + "|PDF"}));
    EXPECT_EQ(RecordAttribute(outcome.record, "DocumentTitle"), "Fastener with three pages");
    EXPECT_EQ(RecordAttribute(outcome.record, "FirstPage"), "0");

    // One report before each page, with the title as extracted, then the end of the job.
    ASSERT_EQ(outcome.progress.size(), 4u);
    for (int page = 1; page <= 3; ++page) {
        const ProgressReport& report = outcome.progress[static_cast<size_t>(page - 1)];
        EXPECT_EQ(report.done, 0);
        EXPECT_EQ(report.currentPage, page);
        EXPECT_EQ(report.totalPages, 3);
        EXPECT_EQ(report.title, "Fastener with   three\n\tpages");
    }
    EXPECT_EQ(outcome.progress[3].done, 1);

    EXPECT_EQ(PagesRequested(), (std::vector<CString>{"p1.tif:1", "p2.tif:2", "p3.tif:3"}));
    for (const LoggedRequest& r : FixtureLog(kImages))
        EXPECT_FALSE(r.HasHeader("Authorization")) << r.target.GetString();
}

TEST_F(DocumentImagesTest, PageCountFromAVariableStartingAtTheStartPage)
{
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("US7000005", "COUNTED"));
    ASSERT_EQ(outcome.success, 1);
    EXPECT_EQ(PagesRequested(), (std::vector<CString>{"p3.tif:3", "p1.tif:4", "p2.tif:5"}));
    ASSERT_GE(outcome.progress.size(), 3u);
    EXPECT_EQ(outcome.progress[0].currentPage, 3);
    EXPECT_EQ(outcome.progress[0].totalPages, 5);
    // No variable DOCUMENTTITLE: the progress says so.
    EXPECT_EQ(outcome.progress[0].title, "Title not found");
    const CString merged = m_save + "US7000005\\US7000005.pdf";
    EXPECT_EQ(FileNamesIn(m_save + "US7000005"), (std::vector<CString>{"us7000005.pdf"}));
    EXPECT_EQ(MediaBoxes(FileText(merged)), (std::vector<CString>{"648x792", "612x792", "576x792"}));
}

TEST_F(DocumentImagesTest, AFirstPagesRunFetchesOnlyTheFirstPagesNotCountingHtmlReplies)
{
    const struct
    {
        const char* number;
        int limit;
        std::vector<CString> requested;
        const char* firstPage;
    } cases[] = {
        {"US7100001", 1, {"p1.tif:1"}, "1"},
        // Page 2 came back as an HTML page: one more page is fetched.
        {"US7100002", 2, {"p1.tif:1", "notice.html:2", "p2.tif:3"}, "1"},
        // A document no longer than the limit comes whole, by the full run.
        {"US7100006", 6,
         {"p1.tif:1", "notice.html:2", "p2.tif:3", "p3.tif:4", "p1.tif:5", "p2.tif:6"}, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        FixtureReset();
        DownloadRun run;
        DownloadRun::Start start = Number(c.number, "FIRSTPAGES");
        start.firstPageOnly = true;
        start.pageLimit = c.limit;
        const JobOutcome& outcome = run.Run(start);
        ASSERT_EQ(outcome.success, 1);
        EXPECT_EQ(PagesRequested(), c.requested);
        EXPECT_EQ(RecordAttribute(outcome.record, "FirstPage"), c.firstPage);
        const CString merged = m_save + c.number + "\\" + c.number + ".pdf";
        EXPECT_EQ(MediaBoxes(FileText(merged)).size(), c.requested.size());
    }
}

// ------------------------------------------------------------------ pages that go wrong

TEST_F(DocumentImagesTest, APageTheJudgeRejectsIsReplacedByTheShippedReplacementPage)
{
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("US7000007", "JUDGED"));
    ASSERT_EQ(outcome.success, 1);
    const CString merged = m_save + "US7000007\\US7000007.pdf";
    // tiny.tif would have given a page of 43 x 43 points.
    EXPECT_EQ(MediaBoxes(FileText(merged)), (std::vector<CString>{"612x792", "595x842", "648x792"}));
    ExpectMergedPdf(merged, "judged.pdf", {kPage1, kReplacement, kPage3});
}

TEST_F(DocumentImagesTest, AnEmptyPageFailsTheStepAndTheSource)
{
    // The named source is tried twice; its page 2 is empty both times.
    FixturePlan("/engine/images/p2.tif", "fault=empty", 2);
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("US7000008", "IMAGES"));
    EXPECT_EQ(outcome.success, 0);
    EXPECT_EQ(PagesRequested(), (std::vector<CString>{"p1.tif:1", "p2.tif:2", "p1.tif:1", "p2.tif:2"}));
    EXPECT_FALSE(FileExists(m_save + "US7000008"));
}

// A page that does not come in 22 attempts fails the step and its source: the document is
// never filed without it. The named source is tried twice, so a page that comes at the second
// try completes the document, and one that never comes fails it whole.
TEST_F(DocumentImagesTest, APageThatIsNotFoundIsTriedUpTo22TimesThenFailsItsSource)
{
    const struct
    {
        const char* number;
        int failures;
        int success;
        int requests;       // of page 2
        int laterRequests;  // of page 3
    } cases[] = {
        {"US7000009", 3, 1, 4, 1},
        {"US7000010", 22, 1, 23, 1},
        {"US7000016", 44, 0, 44, 0},
    };
    const std::vector<CString> transferFiles = TransferFiles();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        FixtureReset();
        FixturePlan("/engine/images/p2.tif", "status=404", c.failures);
        DownloadRun run;
        const JobOutcome& outcome = run.Run(Number(c.number, "IMAGES"));
        ASSERT_EQ(outcome.success, c.success);
        EXPECT_EQ(RequestsFor("p2.tif"), c.requests);
        EXPECT_EQ(RequestsFor("p3.tif"), c.laterRequests);
        if (c.success) {
            const CString merged = m_save + c.number + "\\" + c.number + ".pdf";
            EXPECT_EQ(MediaBoxes(FileText(merged)), (std::vector<CString>{"612x792", "576x792", "648x792"}));
        } else {
            EXPECT_FALSE(FileExists(m_save + c.number));
        }
    }
    // No transfer file is left behind, not even of the page that never came.
    EXPECT_EQ(TransferFiles(), transferFiles);
}

TEST_F(DocumentImagesTest, AQuitWhilePagesAreTriedEndsTheStepAndLeavesNoTransferFile)
{
    const std::vector<CString> transferFiles = TransferFiles();
    FixturePlan("/engine/images/p2.tif", "status=404&delay=200", 22);
    DownloadRun run;
    CPatentThread* thread = run.Begin(Number("US7000013", "IMAGES"));
    ASSERT_TRUE(thread);
    ASSERT_TRUE(PumpUntil([] { return RequestsFor("p2.tif") >= 2; }, 20000));
    thread->m_nQuit = 1;
    thread->Cancel();
    ASSERT_TRUE(run.WaitForEnd(10000));
    EXPECT_EQ(run.Outcome().success, 0);
    EXPECT_LT(RequestsFor("p2.tif"), 22);
    EXPECT_EQ(RequestsFor("p3.tif"), 0);
    EXPECT_FALSE(FileExists(m_save + "US7000013"));
    EXPECT_EQ(TransferFiles(), transferFiles);
}

TEST_F(DocumentImagesTest, AQuitBetweenPagesFilesNoDocumentOfThePagesSoFar)
{
    // The second page comes, slowly; the quit falls while it comes and is seen before the
    // third page.
    FixturePlan("/engine/images/p2.tif", "delay=1500", 1);
    DownloadRun run;
    CPatentThread* thread = run.Begin(Number("US7000015", "IMAGES"));
    ASSERT_TRUE(thread);
    ASSERT_TRUE(PumpUntil([] { return RequestsFor("p2.tif") >= 1; }, 20000));
    thread->m_nQuit = 1;
    ASSERT_TRUE(run.WaitForEnd(10000));
    EXPECT_EQ(run.Outcome().success, 0);
    EXPECT_EQ(RequestsFor("p3.tif"), 0);
    EXPECT_FALSE(FileExists(m_save + "US7000015"));
}

// A reply that stalls: the server sends part of it and then nothing, holding the connection
// open, so that urlmon and WinINet wait in it for ever. Where the page images stall and where
// the Process step's page does.
struct Stall
{
    const char* what;
    const char* path;  // planned to stall
    const char* query;
    const char* number;
};
const Stall kStalls[] = {
    {"page transfer", "/engine/images/p2.tif", "fault=stall&part=380", "US7000017"},
    {"Process step", "/engine/images/biblio.html", "fault=stall&part=50", "US7000018"},
};

// Stopped as the queue stops it, a download whose reply stalls ends within a second: the page
// so far and the HTML file are removed with the document's folder, and the transfer the job let
// go of leaves no transfer file once urlmon hands it back.
TEST_F(DocumentImagesTest, AStalledReplyEndsAtAStopWithinASecondAndLeavesNothing)
{
    const std::vector<CString> transferFiles = TransferFiles();
    for (const Stall& stall : kStalls) {
        SCOPED_TRACE(stall.what);
        FixtureReset();
        FixturePlan(stall.path, stall.query, 1);
        DownloadRun run;
        CPatentThread* thread = run.Begin(Number(stall.number, "IMAGES"));
        ASSERT_TRUE(thread);
        ASSERT_TRUE(PumpUntil([&] { return !FixtureLog(stall.path).empty(); }, 20000));
        PumpMessages(500);
        ASSERT_FALSE(run.Ended()) << "the reply stalls";

        const DWORD stopped = GetTickCount();
        thread->m_nQuit = 1;
        thread->Cancel();
        ASSERT_TRUE(run.WaitForEnd(10000));
        const DWORD took = GetTickCount() - stopped;
        std::printf("FIGURE a stop ended a download whose %s stalled after %lu ms\n", stall.what,
                    static_cast<unsigned long>(took));
        EXPECT_LT(took, 5000u);
        EXPECT_EQ(run.Outcome().success, 0);
        EXPECT_EQ(run.Quit(), 1u);
        EXPECT_FALSE(FileExists(m_save + stall.number));
        EXPECT_EQ(RequestsFor("p3.tif"), 0);
        EXPECT_TRUE(PumpUntil([&] { return TransferFiles() == transferFiles; }, 10000));
    }
}

// A first-pages run keeps beside each page stored as a PDF a copy of it, outside the
// document's catalog; a source stopped after such a page takes the copy with it.
TEST_F(DocumentImagesTest, AStoppedFirstPagesRunLeavesNoCopyOfItsPages)
{
    FixturePlan("/engine/images/p2.tif", "fault=stall&part=380", 1);
    DownloadRun run;
    DownloadRun::Start start = Number("US7000019", "FIRSTPDF");
    start.firstPageOnly = true;
    start.pageLimit = 2;
    CPatentThread* thread = run.Begin(start);
    ASSERT_TRUE(thread);
    ASSERT_TRUE(PumpUntil([] { return RequestsFor("p2.tif") == 1; }, 20000));
    PumpMessages(500);
    const CString folder = m_save + "US7000019";
    EXPECT_EQ(FileNamesIn(folder), (std::vector<CString>{"page1.pdf", "page1tt.pdf"}));

    thread->m_nQuit = 1;
    thread->Cancel();
    ASSERT_TRUE(run.WaitForEnd(10000));
    EXPECT_EQ(run.Outcome().success, 0);
    EXPECT_FALSE(FileExists(folder));
}

// A stop that comes while the document is being finished (its pages are in, its first page
// waits for the page judge, whose lock the test holds): the document is not filed, so nothing
// of it stays either.
TEST_F(DocumentImagesTest, AStopWhileTheDocumentIsFinishedLeavesNothing)
{
    struct LockHeld
    {
        LockHeld() { EnterCriticalSection(&g_PageImageLock); }
        ~LockHeld() { Release(); }
        void Release()
        {
            if (held)
                LeaveCriticalSection(&g_PageImageLock);
            held = false;
        }
        bool held = true;
    } lock;
    DownloadRun run;
    CPatentThread* thread = run.Begin(Number("US7000021", "IMAGES"));
    ASSERT_TRUE(thread);
    const CString folder = m_save + "US7000021";
    ASSERT_TRUE(PumpUntil([&] { return FilesIn(folder) == 4; }, 20000)) << "the HTML file and three pages";
    PumpMessages(500);
    ASSERT_FALSE(run.Ended());

    thread->m_nQuit = 1;
    thread->Cancel();
    lock.Release();
    ASSERT_TRUE(run.WaitForEnd(10000));
    EXPECT_EQ(run.Outcome().success, 0);
    EXPECT_FALSE(FileExists(folder));
}

// Without a stop, a reply that stalls longer than the reply time-out fails its attempt: a
// stalled page is tried again (its attempts are still 22), a stalled Process page fails its
// source, which the named source's second turn takes up. Both documents are filed whole.
TEST_F(DocumentImagesTest, AStalledReplyFailsItsAttemptAfterTheReplyTimeout)
{
    const struct
    {
        const Stall& stall;
        int stalls;
        int requests;  // of the stalled path
    } cases[] = {
        {kStalls[0], 2, 3},
        {kStalls[1], 1, 2},
    };
    const std::vector<CString> transferFiles = TransferFiles();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stall.what);
        FixtureReset();
        FixturePlan(c.stall.path, c.stall.query, c.stalls);
        const CString number = c.stall.number;
        DownloadRun::Start start = Number(number, "IMAGES");
        start.replyTimeout = 1500;
        DownloadRun run;
        const DWORD begun = GetTickCount();
        ASSERT_TRUE(run.Begin(start));
        ASSERT_TRUE(run.WaitForEnd(60000));
        std::printf("FIGURE a download whose %s stalled %d times at a reply time-out of 1.5 s took %lu ms\n",
                    c.stall.what, c.stalls, static_cast<unsigned long>(GetTickCount() - begun));
        EXPECT_EQ(run.Outcome().success, 1);
        EXPECT_EQ(static_cast<int>(FixtureLog(c.stall.path).size()), c.requests);
        const CString merged = m_save + number + "\\" + number + ".pdf";
        EXPECT_EQ(MediaBoxes(FileText(merged)), (std::vector<CString>{"612x792", "576x792", "648x792"}));
    }
    EXPECT_TRUE(PumpUntil([&] { return TransferFiles() == transferFiles; }, 10000));
}

TEST_F(DocumentImagesTest, ADamagedPageKeepsThePagesAndFailsFinishing)
{
    // Without the judge nothing replaces the damaged page, and it cannot be converted.
    JudgeAway away;
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("US7000014", "DAMAGED"));
    // A named source has no other source after it: the document is recorded with what
    // it has, page by page, the damaged page as its image.
    ASSERT_EQ(outcome.success, 1);
    const CString folder = m_save + "US7000014";
    const CString id = CString(std::to_string(run.Thread()->m_nDownloadID).c_str());
    // The default file names end in the OutputType; converted pages in ".pdf".
    const CString page1 = id + "_1_0.pdf", page2 = id + "_2_1.TIFF", page3 = id + "_3_2.pdf";
    std::vector<CString> expected{Lower(page1), Lower(page2), Lower(page3)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FileNamesIn(folder), expected);
    EXPECT_EQ(FileText(folder + "\\" + page2), FileText(DataPath("web/engine/images/damaged.tif")));
    const std::vector<CString> items = CatalogItems(outcome.record);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], Lower(folder + "\\" + page1) + "|Damaged pages|" + Size(FileText(folder + "\\" + page1)) + "|PDF");
    EXPECT_EQ(items[1], Lower(folder + "\\" + page2) + "|Damaged pages|600|TIFF");
    EXPECT_EQ(items[2], Lower(folder + "\\" + page3) + "|Damaged pages|" + Size(FileText(folder + "\\" + page3)) + "|PDF");
}

TEST_F(DocumentImagesTest, ADamagedPageFailsItsSourceWhenAnotherSourceFollows)
{
    JudgeAway away;
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("JP1234567"));
    ASSERT_EQ(outcome.success, 1);
    std::vector<CString> sources;
    for (const LoggedRequest& r : FixtureLog(kImages)) {
        RegEx source("source=(\\w+)", false);
        if (source.Search(r.target))
            sources.push_back(source.What(1));
    }
    EXPECT_EQ(sources, (std::vector<CString>{"intl1", "intl1", "intl2", "intl2"}));
    // The failed source's pages were discarded with it.
    EXPECT_EQ(FileNamesIn(m_save + "JP1234567"), (std::vector<CString>{"jp1234567.pdf"}));
    EXPECT_EQ(MediaBoxes(FileText(m_save + "JP1234567\\JP1234567.pdf")),
              (std::vector<CString>{"576x792", "648x792"}));
    EXPECT_EQ(CatalogItems(outcome.record).size(), 1u);
}

TEST_F(DocumentImagesTest, AReplacementRequestFromOutsideReplacesTheCurrentImageIfItIsStillThere)
{
    DownloadRun run;
    ASSERT_EQ(run.Run(Number("US7000015", "NO-SUCH-SOURCE")).reports, 1);
    CPatentThread* thread = run.Thread();
    const std::string replacement = FileText(GetAppDirectory() + "\\replace.tif");
    const CString image = m_dir.File("current.tif"), gone = m_dir.File("converted.tif");
    ASSERT_TRUE(WriteBytes(image, "the image being judged"));
    for (const CString& path : {image, gone}) {
        SCOPED_TRACE(path.GetString());
        const size_t boxes = run.Outcome().messageBoxes.size();
        thread->m_nImageRejected = 0;
        thread->m_strCurrentImagePath = path;  // the thread is idle between jobs
        thread->PostThreadMessage(UM_USE_REPLACEMENT_IMAGE, 0, 0);
        ASSERT_TRUE(PumpUntil(
            [&] {
                run.CloseMessageBoxes();
                return run.Outcome().messageBoxes.size() > boxes && thread->m_nImageRejected == 1;
            },
            10000));
        EXPECT_EQ(run.Outcome().messageBoxes.back(), "Message received");
        PumpUntil([&] { return FileExists(path) && FileText(path) == replacement; }, 2000);
    }
    EXPECT_EQ(FileText(image), replacement);
    EXPECT_FALSE(FileExists(gone));
}

// ------------------------------------------------------------------ threads and services

TEST_F(DocumentImagesTest, TwoDocumentsDownloadingAtOnceBothFinish)
{
    DownloadRun first, second;
    ASSERT_TRUE(first.Begin(Number("US7000011", "JUDGED")));
    ASSERT_TRUE(second.Begin(Number("US7000012", "JUDGED")));
    ASSERT_TRUE(PumpUntil(
        [&] {
            first.CloseMessageBoxes();
            second.CloseMessageBoxes();
            return first.Ended() && second.Ended();
        },
        60000));
    for (const char* number : {"US7000011", "US7000012"}) {
        SCOPED_TRACE(number);
        const CString merged = m_save + number + "\\" + number + ".pdf";
        EXPECT_EQ(FileNamesIn(m_save + number), (std::vector<CString>{Lower(CString(number) + ".pdf")}));
        EXPECT_EQ(MediaBoxes(FileText(merged)), (std::vector<CString>{"612x792", "595x842", "648x792"}));
    }
    EXPECT_EQ(first.Outcome().success, 1);
    EXPECT_EQ(second.Outcome().success, 1);
    ExpectMergedPdf(m_save + "US7000011\\US7000011.pdf", "at-once-1.pdf", {kPage1, kReplacement, kPage3});
    ExpectMergedPdf(m_save + "US7000012\\US7000012.pdf", "at-once-2.pdf", {kPage1, kReplacement, kPage3});
}

TEST_F(DocumentImagesTest, OpsImagesCarryTheBearerLineAndAnExpiredTokenIsRenewed)
{
    const char kOpsImage[] = "/ops/3.2/rest-services/published-data/images/EP/1000000/B1/fullimage.tiff";
    {
        DownloadRun run;
        ASSERT_EQ(run.Run(Number("EP1000000", "OPSIMAGES")).success, 1);
        auto images = FixtureLog(kOpsImage);
        ASSERT_EQ(images.size(), 2u);
        for (const LoggedRequest& r : images)
            EXPECT_EQ(r.Header("Authorization"), "Bearer " + COpsTokenCache::GetToken());
    }

    // The token expired: the service refuses it once, a new one is fetched and the page
    // comes through; that attempt is not one of the page's 22.
    FixtureReset();
    FixtureExpireTokens();
    const CString old = COpsTokenCache::GetToken();
    DownloadRun run;
    ASSERT_EQ(run.Run(Number("EP1000001", "OPSIMAGES")).success, 1);
    std::vector<CString> sequence;
    for (const LoggedRequest& r : FixtureLog()) {
        const CString auth = r.Header("Authorization");
        sequence.push_back(r.target.Find("accesstoken") >= 0 ? CString("token")
                                                              : auth == "Bearer " + old ? CString("old")
                                                                                        : CString("new"));
    }
    EXPECT_EQ(sequence, (std::vector<CString>{"old", "token", "new", "new"}));
    EXPECT_NE(COpsTokenCache::GetToken(), old);
    EXPECT_EQ(MediaBoxes(FileText(m_save + "EP1000001\\EP1000001.pdf")).size(), 2u);
}

// ------------------------------------------------------------------ the figure

// Prints the time one download thread takes to fetch twenty letter pages of text at 300 dpi
// (about 145 KB each) from the fixture server and finish them into one PDF. Not judged.
TEST_F(DocumentImagesTest, TwentyPageDocumentTime)
{
    LARGE_INTEGER frequency, started, ended;
    QueryPerformanceFrequency(&frequency);
    DownloadRun run;
    QueryPerformanceCounter(&started);
    const JobOutcome& outcome = run.Run(Number("US7000020", "TWENTY"));
    QueryPerformanceCounter(&ended);
    ASSERT_EQ(outcome.success, 1);
    const CString merged = m_save + "US7000020\\US7000020.pdf";
    const std::string pdf = FileText(merged);
    EXPECT_EQ(MediaBoxes(pdf), std::vector<CString>(20, "612x792"));
    EXPECT_EQ(RequestsFor("sheet.tif"), 20);
    ExpectMergedPdf(merged, "twenty-pages.pdf", std::vector<ExpectedPage>(20, ExpectedPage{"612x792", "", ""}));

    const double ms = 1000.0 * static_cast<double>(ended.QuadPart - started.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    std::printf("FIGURE twenty-page document: downloaded and finished in %.0f ms (%.1f pages/s); "
                "pages 20 x %u bytes, merged PDF %u bytes\n",
                ms, 20000.0 / ms, static_cast<unsigned>(FileText(DataPath("web/engine/images/sheet.tif")).size()),
                static_cast<unsigned>(pdf.size()));
    RecordProperty("twenty_page_ms", static_cast<int>(ms));
}

} // namespace
