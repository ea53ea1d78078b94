// The document job on real download threads, started the way the download queue starts them
// (created suspended, fields set, resumed, UM_THREAD_START posted) and reporting to a
// message-only owner window, against the fixture web server with the test recipe
// (tests/data/engine/recipe.xml): the walk over the sources by priority, every step kind,
// the record text, hostile page values, and a job stopped while it runs.
#include "JobTestSupport.h"

#include "KeyFunctions.h"
#include "PatentThreadMessages.h"
#include "ProjectIds.h"
#include "RegEx.h"
#include "ServiceHosts.h"
#include "TraceCapture.h"
#include "WindowBench.h"
#include "XmlHelpers.h"

#include <cstdlib>
#include <string>
#include <vector>

using namespace testsupport;
using namespace jobtest;

namespace {

// ------------------------------------------------------------------ the walk over sources

TEST_F(DownloadJobTest, PriorityWalkTriesPriorityOneThenTwoAndNoMore)
{
    struct
    {
        const char* number;
        const char* uid;
        std::vector<CString> requested;
        int success;
    } cases[] = {
        // Priority 1 fails, priority 2 delivers.
        {"US7654321", "", {"us1", "us2"}, 1},
        // An application number (8 or more digits): priorities 1 and 2 fail; 3 is not tried.
        {"US20050123456", "", {"usapp1", "usapp2"}, 0},
        // Priorities 1 and 3 without a 2 ("02" is not 2): the walk ends after 1.
        {"EP1234567", "", {"ep1"}, 0},
        // Two sources of priority 1: the first in the file is used, the second never.
        {"EP20050123", "", {"epappA"}, 0},
        // No source for the class at all.
        {"WO2005123456", "", {}, 0},
        // A named source that fails is tried twice; nothing else is.
        {"WO2005123456", "NAMED-FAIL", {"named", "named"}, 0},
        {"US7654321", "NAMED-FAIL", {"named", "named"}, 0},
        // A name that no source has.
        {"US7654321", "NO-SUCH-SOURCE", {}, 0},
        // A named source that delivers, whatever the priorities say.
        {"US7654321", "WALK-US-2", {"us2"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CString(c.number) + " " + c.uid);
        FixtureReset();
        // A save folder of its own: a job removes an existing document folder first.
        TempDir save;
        DownloadRun::Start start = Number(c.number, c.uid);
        start.saveFolder = save.Path() + "\\";
        DownloadRun run;
        const JobOutcome& outcome = run.Run(start);
        EXPECT_EQ(outcome.reports, 1);
        EXPECT_EQ(outcome.success, c.success);
        EXPECT_EQ(SourcesRequested(), c.requested);
        EXPECT_EQ(run.Quit(), 1u);
    }
}

TEST_F(DownloadJobTest, AFailedJobLeavesNoDocumentFolder)
{
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("US20050123456"));
    EXPECT_EQ(outcome.success, 0);
    EXPECT_FALSE(FileExists(m_save + "US20050123456"));
    // The record text is handed over all the same, unfilled.
    EXPECT_GE(outcome.record.Find("Name=\"US20050123456\""), 0);
    EXPECT_GE(outcome.record.Find("DocumentTitle=\"[DOCUMENTTITLE]\""), 0);
}

TEST_F(DownloadJobTest, ANumberWithoutAUsableNameFailsWithoutTouchingTheDisk)
{
    const CString marker = m_save + "kept.txt";
    ASSERT_TRUE(WriteBytes(marker, "the save folder's own file"));
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("..", "WALK-US-2"));
    EXPECT_EQ(outcome.reports, 1);
    EXPECT_EQ(outcome.success, 0);
    EXPECT_TRUE(SourcesRequested().empty());
    EXPECT_TRUE(FileExists(marker));
}

TEST_F(DownloadJobTest, AnExceptionInTheJobEndsItAsFailedAndIsStillReported)
{
    TraceCapture trace;
    DownloadRun run;
    // The name makes the source's selection an XPath the DOM refuses.
    const JobOutcome& outcome = run.Run(Number("US7654321", "it's"));
    EXPECT_EQ(outcome.reports, 1);
    EXPECT_EQ(outcome.success, 0);
    ASSERT_EQ(TraceCapture::Lines().size(), 1u);
    EXPECT_EQ(TraceCapture::Lines()[0].Find("CPatentThread::OnDownloadDocument()-Exception: "), 0)
        << TraceCapture::Lines()[0];
    EXPECT_EQ(run.Quit(), 1u);
}

// ------------------------------------------------------------------ steps and record

TEST_F(DownloadJobTest, RecipeStepsRunInOrderWithConditionsExtractionAndKeys)
{
    DownloadRun run;
    DownloadRun::Start start = Number("US7654321", "STEPS");
    start.suffix = "-S";
    const JobOutcome& outcome = run.Run(start);
    ASSERT_EQ(outcome.success, 1);
    const CString id = CString(std::to_string(run.Thread()->m_nDownloadID).c_str());
    const CString folder = m_save + "US7654321";

    // The condition without a target warned once and did not stop its step.
    ASSERT_EQ(outcome.messageBoxes.size(), 1u);
    EXPECT_EQ(outcome.messageBoxes[0],
              "WARNING: Condition has no target! Please contact tech support to report this issue.");

    // Requests: the skipped step and the misspelt one fetched nothing.
    std::vector<CString> targets;
    for (const LoggedRequest& r : FixtureLog("/engine/steps/"))
        targets.push_back(r.target);
    EXPECT_EQ(targets, (std::vector<CString>{"/engine/steps/biblio.html?number=7654321",
                                             "/engine/steps/second.html?who=Ann%20Example%3BBob%20Sample"}));
    EXPECT_FALSE(FixtureLog("/engine/steps/")[0].HasHeader("X-Never-Sent"));

    const CString ops = GetOpsPublishedDataUrl();
    const std::string expected =
        "TITLE=Widget\tfor  testing\n things\n"
        "INVENTORS=<name>Ann Example</name><name>Bob Sample</name>\n"
        "DOCUMENTINVENTOR=Ann Example;Bob Sample\n"
        "AFTERSTEP=Widget\tfor  testing things\n"
        "NOGROUP=\n"
        "MISSING=\n"
        "FIRSTWORD=Widget\n"
        "DOTTED=version 1.5 final\n"
        "TWICE=Bob\n"
        "EMPTIED=\n"
        "SKIPPEDKEY=[SKIPPEDKEY]\n"
        "MISSPELTKEY=ran\n"
        "WHO=Ann%20Example%3BBob%20Sample\n"
        "RESULTS=3\n"
        "HTTPHEADER=\n"
        "NUMBER=US/7654321//-S\n"
        "UNKNOWN=[NOSUCHVARIABLE]\n"
        "K_ISUS=US4567\n"
        "K_TRIMLEFT=4567\n"
        "K_REPLACE=123456\n"
        "K_WHITESPACE=a b c\n"
        "K_LINKS=<a href=\"http://host/x\">\n"
        "K_KINDCODE=B2\n"
        "K_STRIPKIND=4567\n"
        "K_STRIPNUMBER=B\n"
        "K_OPSURL=" + ops.str() + "publication/docdb/EP.7654.B1\n"
        "K_OPSAPPURL=" + ops.str() + "application/docdb/EP.7654B1\n"
        "K_FIRSTRES=" + ops.str() + "a/EP.1.B1\n"
        "K_LASTRES=" + ops.str() + "b/EP.2.A1\n"
        "K_COUNTRY=EP\n"
        "K_NUMBER=1000000\n"
        "K_KIND=B1\n"
        "K_NAMES=Ann;Bob\n"
        "K_NOHTML=bold text\n"
        "K_UNKNOWN=kept\n"
        "K_LINES=abc\n"
        "K_ENCODED=a%20b%26c";
    EXPECT_EQ(FileText(folder + "\\" + id + "_Document0.txt"), expected);
    const std::string viewer = GetViewerBaseUrl().str() + "/espacenet/bnsviewer?";
    EXPECT_EQ(FileText(folder + "\\US7654321.html"),
              "<a href=\"" + viewer + "A=1\">one</a> <a href=\"" + viewer + "B=2\">two</a>");
    EXPECT_EQ(FileText(folder + "\\" + id + "_Document2.log"), "third file");
    EXPECT_EQ(FilesIn(folder), 3);
    EXPECT_EQ(run.Thread()->m_nThreadCounter, 3);
}

TEST_F(DownloadJobTest, TheRecordTextOfADownloadedDocument)
{
    DownloadRun run;
    const CTimeSpan before = SinceProjectEpoch();
    const JobOutcome& outcome = run.Run(Number("US7654321", "STEPS"));
    const CTimeSpan after = SinceProjectEpoch();
    ASSERT_EQ(outcome.success, 1);
    const CString id = CString(std::to_string(run.Thread()->m_nDownloadID).c_str());
    const CString folder = m_save + "US7654321";

    RegEx stamp("DownloadDate=\"(\\d+)\" TotalSize=\"\" UID=\"DOCUIDUS7654321(\\d+)\"", false);
    ASSERT_TRUE(stamp.Search(outcome.record)) << outcome.record.GetString();
    const LONGLONG date = std::atoll(stamp.What(1));
    EXPECT_GE(date, before.GetTotalSeconds());
    EXPECT_LE(date, after.GetTotalSeconds());
    EXPECT_EQ(stamp.What(2), CTimeSpan(date).Format("%D%H%M%S"));

    const CString expected =
        "<?xml version=\"1.0\" ?>\r\n\t<Document Name=\"US7654321\" ParentUID=\"1\" "
        "DocumentTitle=\"Widget for testing things\" DocumentInventor=\"Ann Example;Bob Sample\" "
        "DocumentAssignee=\"NA\" DownloadDate=\"" + stamp.What(1) + "\" TotalSize=\"\" UID=\"DOCUIDUS7654321" +
        stamp.What(2) + "\" FirstPage=\"0\" Wrapper=\"0\">\r\n<XMLCatalog>\r\n\t\t\t"
        "\t\t<CatalogItem Title=\"\" FilePath=\"" + folder + "\\" + id + "_Document0.txt\" "
        "DownloadSourceName=\"Recipe steps\" FileSize=\"" +
        CString(std::to_string(FileText(folder + "\\" + id + "_Document0.txt").size()).c_str()) +
        "\" FileType=\"txt\"/>\r\n"
        "\t\t<CatalogItem Title=\"\" FilePath=\"" + folder + "\\US7654321.html\" "
        "DownloadSourceName=\"Recipe steps\" FileSize=\"" +
        CString(std::to_string(FileText(folder + "\\US7654321.html").size()).c_str()) +
        "\" FileType=\"HTML\"/>\r\n"
        "\t\t<CatalogItem Title=\"\" FilePath=\"" + folder + "\\" + id + "_Document2.log\" "
        "DownloadSourceName=\"Recipe steps\" FileSize=\"10\" FileType=\"log\"/>\r\n"
        "</XMLCatalog></Document>";
    EXPECT_EQ(outcome.record, expected);
}

TEST_F(DownloadJobTest, OpsAddressesViewerKindCodeAndViewerKey)
{
    DownloadRun run;
    DownloadRun::Start start = Number("EP1000000", "EPVIEW");
    start.kindCode = "B1";
    start.bareNumber = "1000000";
    const JobOutcome& outcome = run.Run(start);
    ASSERT_EQ(outcome.success, 1);

    // The bibliography came from the OPS service, with its token.
    auto biblio = FixtureLog("/ops/3.2/rest-services/published-data/publication/docdb/EP.1000000.B1/biblio");
    ASSERT_EQ(biblio.size(), 1u);
    EXPECT_EQ(biblio[0].Header("Authorization").Find("Bearer "), 0);

    // The viewer link of the page was made to carry the job's kind code (A1 became B1).
    EXPECT_EQ(FileText(m_save + "EP1000000B1\\viewer.txt"),
              "TITLE=Apparatus for testing recipes|IDKEY=EP1000000B1+I+|VIEWERLINK=ID=XX1000000B1+I+");
    EXPECT_GE(outcome.record.Find("Name=\"EP1000000B1\""), 0);
    EXPECT_GE(outcome.record.Find("DocumentTitle=\"Apparatus for testing recipes\""), 0);
}

TEST_F(DownloadJobTest, HostileValuesGiveAWellFormedRecordAndAFileInsideTheDownloadFolder)
{
    // A save folder whose name needs escaping, and a number that names no file directly.
    const CString save = m_dir.Path() + "\\R&D 'x'\\";
    ASSERT_TRUE(CreateDirectoryA(save, nullptr));
    DownloadRun run;
    DownloadRun::Start start = Number("US5&\"<6>", "HOSTILE");
    start.saveFolder = save;
    const JobOutcome& outcome = run.Run(start);
    ASSERT_EQ(outcome.success, 1);

    const CString folder = save + "US5&6";
    const CString file = folder + "\\......escape.txt";
    EXPECT_EQ(FilesIn(folder), 1);
    EXPECT_EQ(FileText(file), "R&D <Tools> & \"Quotes\" > all");
    EXPECT_EQ(FilesIn(m_dir.Path()), 0);
    EXPECT_EQ(FilesIn(save), 0);

    IXMLDOMDocument2Ptr doc;
    ASSERT_TRUE(SUCCEEDED(doc.CreateInstance(__uuidof(DOMDocument40))));
    ASSERT_EQ(doc->loadXML(_bstr_t(outcome.record)), VARIANT_TRUE) << outcome.record.GetString();
    IXMLDOMNodePtr document = doc->selectSingleNode(L"/Document");
    ASSERT_TRUE(document);
    CString value;
    GetXmlAttribute(document, "Name", value);
    EXPECT_EQ(value, "US5&\"<6>");
    GetXmlAttribute(document, "DocumentTitle", value);
    EXPECT_EQ(value, "R&D <Tools> & \"Quotes\" > all");
    GetXmlAttribute(document, "DocumentInventor", value);
    EXPECT_EQ(value, "O'Neil & <Sons>");
    GetXmlAttribute(document, "UID", value);
    EXPECT_EQ(value.Find("DOCUIDUS5&\"<6>"), 0);
    IXMLDOMNodeListPtr items = doc->selectNodes(L"/Document/XMLCatalog/CatalogItem");
    ASSERT_EQ(items->Getlength(), 1);
    GetXmlAttribute(items->Getitem(0), "FilePath", value);
    EXPECT_EQ(value, file);
    GetXmlAttribute(items->Getitem(0), "DownloadSourceName", value);
    EXPECT_EQ(value, "R&D <source>");
}

// ------------------------------------------------------------------ stopping

TEST_F(DownloadJobTest, AQuitWhileAJobRunsStopsItAndEndsTheThreadAfterIt)
{
    DownloadRun run;
    CPatentThread* thread = run.Begin(Number("US7654321", "SLOW"));
    ASSERT_TRUE(thread);
    ASSERT_TRUE(PumpUntil([] { return !SourcesRequested().empty(); }, 10000));

    // What the download queue does to stop a download.
    const DWORD stopped = GetTickCount();
    thread->m_nQuit = 1;
    thread->Cancel();
    thread->PostThreadMessage(UM_THREAD_QUIT, 0, 0);
    ASSERT_TRUE(run.WaitForEnd(10000));
    EXPECT_LT(GetTickCount() - stopped, 5000u);
    EXPECT_EQ(run.Outcome().success, 0);
    EXPECT_EQ(run.Outcome().reports, 1);
    EXPECT_EQ(run.Quit(), 1u);
    EXPECT_EQ(SourcesRequested(), (std::vector<CString>{"slow"}));
    EXPECT_FALSE(FileExists(m_save + "US7654321"));
}

} // namespace
