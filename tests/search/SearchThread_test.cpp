// Whole searches on a real search thread, started and read the way its owner does it (a
// message-only owner window on the test thread), against the fixture server's result pages
// (tests/data/web/search) with the test recipe (tests/data/search/recipe.xml): the result-set
// texts of every page byte for byte, the shown ranges, one message per page and exactly one
// last message, the requests the server saw, stops and starts that overlap.
#include "SearchThread.h"

#include "DataFiles.h"
#include "FileCrypt.h"
#include "FixtureServer.h"
#include "RefusedKeys.h"
#include "SearchOwner.h"
#include "SearchThreadMessages.h"
#include "TestSupport.h"
#include "WindowBench.h"
#include "XmlHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace testsupport;
using namespace searchtest;

namespace {

const char kListPath[] = "/ParsingInformation/SearchLocation[@UID='FIXTURELIST']/Basic/ProcessConfiguration";
const char kOpsPath[] = "/ParsingInformation/SearchLocation[@UID='FIXTUREOPS']/Basic/ProcessConfiguration";
const char kOpsServicePath[] =
    "/ParsingInformation/SearchLocation[@UID='FIXTUREOPSSERVICE']/Basic/ProcessConfiguration";
const char kWalkPath[] = "/ParsingInformation/SearchLocation[@UID='FIXTUREWALK']/Basic/ProcessConfiguration";
const char kNoStepsPath[] = "/ParsingInformation/SearchLocation[@UID='FIXTUREWALK']/Advanced/ProcessConfiguration";

// The test recipe, enciphered at build time, with the fixture server's address put in.
void InstallRecipe()
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    CFileCrypt crypt;
    CString text;
    ASSERT_EQ(crypt.ReadEncryptedFile(CString(build ? build : ".") + "/tests/data/search.cfg", text), 1);
    ASSERT_GT(text.Replace("http://fixture-server", FixtureBase()), 0);
    ASSERT_EQ(crypt.WriteEncryptedFile(text, GetAppDirectory() + "\\Download.cfg"), 1);
}

class SearchThreadTest : public FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        static bool installed = false;
        if (!installed) {
            InstallRecipe();
            installed = true;
        }
    }
};

// The result set of the first page: the values as the cleaning leaves them.
const char kListPage0[] =
    "<ResultSet>\r\n"
    "\t<Result ID=\"1\">\r\n\t\t<PATNUM>7000001</PATNUM>\r\n\t\t<TITLE>Solar panel mounting bracket</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"2\">\r\n\t\t<PATNUM>7000002</PATNUM>\r\n\t\t<TITLE>Widget &amp; gadget assembly</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"3\">\r\n\t\t<PATNUM>7000003</PATNUM>\r\n\t\t<TITLE>Bold heat exchanger</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"4\">\r\n\t\t<PATNUM>7000004</PATNUM>\r\n\t\t<TITLE>Caf&#xE9; brewing machine</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"5\">\r\n\t\t<PATNUM>7000005</PATNUM>\r\n\t\t<TITLE>Valve assembly for pumps</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"6\">\r\n\t\t<PATNUM>7000006</PATNUM>\r\n\t\t<TITLE>Quoted &quot;smart&quot; lock</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"7\">\r\n\t\t<PATNUM>7000007</PATNUM>\r\n\t\t<TITLE>Pressure Gauge</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"8\">\r\n\t\t<PATNUM>7000008</PATNUM>\r\n\t\t<TITLE>Sensor array</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"9\">\r\n\t\t<PATNUM>7000009</PATNUM>\r\n\t\t<TITLE>AC/DC converter</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"10\">\r\n\t\t<PATNUM>7000010</PATNUM>\r\n\t\t<TITLE>Fuel cell &lt;stack&gt;</TITLE>\r\n\t</Result>\r\n"
    "</ResultSet>\r\n";

const char kListPage2[] =
    "<ResultSet>\r\n"
    "\t<Result ID=\"21\">\r\n\t\t<PATNUM>7000021</PATNUM>\r\n\t\t<TITLE>Rotor blade</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"22\">\r\n\t\t<PATNUM>7000022</PATNUM>\r\n\t\t<TITLE>Brake pad wear sensor</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"23\">\r\n\t\t<PATNUM>7000023</PATNUM>\r\n\t\t<TITLE>Battery housing</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"24\">\r\n\t\t<PATNUM>7000024</PATNUM>\r\n\t\t<TITLE>Hinge</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"25\">\r\n\t\t<PATNUM>7000025</PATNUM>\r\n\t\t<TITLE>Lens array</TITLE>\r\n\t</Result>\r\n"
    "</ResultSet>\r\n";

// The second page: IDs 11 to 20 for its ten rows; its advertisement row uses none.
CString ListPage1()
{
    CString text = "<ResultSet>\r\n";
    for (int n = 11; n <= 20; ++n) {
        text.AppendFormat("\t<Result ID=\"%d\">\r\n\t\t<PATNUM>70000%d</PATNUM>\r\n"
                          "\t\t<TITLE>Heat pump control, stage %d</TITLE>\r\n\t</Result>\r\n",
                          n, n, n - 10);
    }
    return text + "</ResultSet>\r\n";
}

TEST_F(SearchThreadTest, AListSearchDeliversEachPageAndOneLastMessage)
{
    SearchOwner owner;
    ASSERT_TRUE(owner.Thread());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "first search" : "second search on the same thread");
        FixtureReset();
        const int tag = owner.Begin(kListPath, {{"SEARCHSTRING", "OR+solar,  panel!"}, {"LIST", "list"}});
        ASSERT_GT(tag, 0);
        ASSERT_TRUE(owner.WaitForEnd(tag));

        const std::vector<Report> reports = owner.Of(tag);
        ASSERT_EQ(reports.size(), 4u);
        const std::vector<CString> pages = owner.PagesOf(tag);
        ASSERT_EQ(pages.size(), 3u);
        EXPECT_EQ(pages[0], kListPage0);
        EXPECT_EQ(pages[1], ListPage1());
        EXPECT_EQ(pages[2], kListPage2);
        struct
        {
            int start, end, total;
        } ranges[] = {{1, 10, 25}, {11, 20, 25}, {21, 25, 25}};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(reports[i].done, 0);
            EXPECT_EQ(reports[i].rangeStart, ranges[i].start) << i;
            EXPECT_EQ(reports[i].rangeEnd, ranges[i].end) << i;
            EXPECT_EQ(reports[i].total, ranges[i].total) << i;
            EXPECT_TRUE(std::isfinite(reports[i].kbps) && reports[i].kbps >= 0.0f) << reports[i].kbps;
        }
        // Exactly one last message, with nothing left to take.
        EXPECT_EQ(reports[3].done, 1);
        EXPECT_EQ(reports[3].cancel, 0);
        EXPECT_FALSE(reports[3].page);
        EXPECT_EQ(reports[3].rangeStart, 21);
        EXPECT_EQ(reports[3].rangeEnd, 25);
        EXPECT_TRUE(owner.Thread()->m_Parameters.IsEmpty());

        // Every fetch asks twice: its first part, then the whole page. The start page's query
        // asks the text database for the full-text field.
        const std::vector<CString> targets = Targets("/search/");
        ASSERT_EQ(targets.size(), 8u);
        const CString session = "?session=S4711&q=solar+OR+panel";
        const std::vector<CString> expected = {
            "/search/list/start.html?q=solar+OR+panel&FIELD1=ORCL&d=ptxt",
            "/search/list/start.html?q=solar+OR+panel&FIELD1=ORCL&d=ptxt",
            "/search/list/page0.html" + session, "/search/list/page0.html" + session,
            "/search/list/page1.html" + session, "/search/list/page1.html" + session,
            "/search/list/page2.html" + session, "/search/list/page2.html" + session,
        };
        EXPECT_EQ(targets, expected);
        if (round == 0) {
            std::printf("FIGURE requests the server saw for one list search of three pages: %d\n",
                        static_cast<int>(targets.size()));
            std::printf("FIGURE result-set text of the list's last page:\n%s", pages[2].GetString());
        }
    }

    // Every result set is XML that the pane's reader takes whole.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        IXMLDOMDocument2Ptr doc = CreateDomDocument();
        ASSERT_EQ(doc->loadXML(_bstr_t(kListPage0)), VARIANT_TRUE);
        IXMLDOMNodeListPtr titles = doc->selectNodes(L"/ResultSet/Result/TITLE");
        ASSERT_EQ(titles->Getlength(), 10);
        EXPECT_EQ(ToAnsi(titles->Getitem(3)->Gettext()), "Caf\xE9 brewing machine");
        EXPECT_EQ(ToAnsi(titles->Getitem(5)->Gettext()), "Quoted \"smart\" lock");
        EXPECT_EQ(ToAnsi(titles->Getitem(9)->Gettext()), "Fuel cell <stack>");
    }
    CoUninitialize();
}

TEST_F(SearchThreadTest, PublishedDataSearchPagesByRangesWithinTheTotal)
{
    SearchOwner owner;
    const int tag = owner.Begin(kOpsPath, {{"SEARCHSTRING", "rotor"}});
    ASSERT_TRUE(owner.WaitForEnd(tag));
    const std::vector<Report> reports = owner.Of(tag);
    ASSERT_EQ(reports.size(), 3u);
    // The pages' own range elements give the shown range.
    EXPECT_EQ(reports[0].rangeStart, 1);
    EXPECT_EQ(reports[0].rangeEnd, 100);
    EXPECT_EQ(reports[0].total, 130);
    EXPECT_EQ(reports[1].rangeStart, 101);
    EXPECT_EQ(reports[1].rangeEnd, 130);
    EXPECT_EQ(reports[2].done, 1);

    const std::vector<CString> pages = owner.PagesOf(tag);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].Find("<ResultSet>\r\n\t<Result ID=\"1\">\r\n\t\t<PATNUM>EP1000001</PATNUM>\r\n"
                            "\t\t<TITLE>Rotor assembly 1</TITLE>\r\n\t</Result>\r\n\t<Result ID=\"2\">\r\n"),
              0);
    EXPECT_GE(pages[1].Find("\t<Result ID=\"130\">\r\n\t\t<PATNUM>EP1000130</PATNUM>\r\n"
                            "\t\t<TITLE>Rotor assembly 130</TITLE>\r\n\t</Result>\r\n</ResultSet>\r\n"),
              0);
    EXPECT_LT(pages[1].Find("ID=\"131\""), 0);

    const std::vector<CString> targets = Targets("/search/");
    const std::vector<CString> expected = {
        "/search/ops/range1.xml?q=ta%3Drotor&Range=1-100", "/search/ops/range1.xml?q=ta%3Drotor&Range=1-100",
        "/search/ops/range101.xml?q=ta%3Drotor&Range=101-200", "/search/ops/range101.xml?q=ta%3Drotor&Range=101-200",
    };
    EXPECT_EQ(targets, expected);
    // Each page read the step's header line again; it is kept once.
    EXPECT_EQ(owner.Thread()->m_WebGet.m_strExtraHeaders, "Accept: application/xml\r\n");
}

// The OPS service answers UTF-8: the result set holds the applicant and the title in the
// program's code page (1252 in the test prefix), one character each, and the pane's reader
// takes them back as the service wrote them.
TEST_F(SearchThreadTest, OpsAnswersInUtf8GiveResultSetsInTheCodePage)
{
    ASSERT_EQ(1252u, GetACP()) << "the expected texts are those of code page 1252";
    SearchOwner owner;
    const int tag = owner.Begin(kOpsServicePath, {{"SEARCHSTRING", "agar"}});
    ASSERT_TRUE(owner.WaitForEnd(tag));
    const std::vector<CString> pages = owner.PagesOf(tag);
    ASSERT_EQ(pages.size(), 1u);
    const char kTitle[] = "Dispenser for M\xFCller-Hinton agar plates";
    const char kApplicant[] = "SOCI\xC9T\xC9 DES G\xC9LOSES SA [FR]";
    EXPECT_EQ(pages[0], CString("<ResultSet>\r\n\t<Result ID=\"1\">\r\n\t\t<PATNUM>EP2500000</PATNUM>\r\n\t\t<APPLICANT>") +
                            kApplicant + "</APPLICANT>\r\n\t\t<TITLE>" + kTitle +
                            "</TITLE>\r\n\t</Result>\r\n</ResultSet>\r\n");
    EXPECT_EQ(owner.Of(tag).back().total, 1);
    const std::vector<LoggedRequest> asked = FixtureLog("/published-data/search/biblio");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].status, 200);

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        IXMLDOMDocument2Ptr doc = CreateDomDocument();
        ASSERT_EQ(doc->loadXML(_bstr_t(pages[0])), VARIANT_TRUE);
        EXPECT_EQ(ToAnsi(doc->selectSingleNode(L"/ResultSet/Result/TITLE")->Gettext()), kTitle);
        EXPECT_EQ(doc->selectSingleNode(L"/ResultSet/Result/APPLICANT")->Gettext(),
                  _bstr_t(L"SOCI\u00c9T\u00c9 DES G\u00c9LOSES SA [FR]"));
    }
    CoUninitialize();
}

TEST_F(SearchThreadTest, EmptyListAndServiceDownEndAtOnce)
{
    SearchOwner owner;
    const int empty = owner.Begin(kListPath, {{"SEARCHSTRING", "nothing"}, {"LIST", "empty"}});
    ASSERT_TRUE(owner.WaitForEnd(empty));
    ASSERT_EQ(owner.Of(empty).size(), 2u);
    const std::vector<CString> pages = owner.PagesOf(empty);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], "<ResultSet>\r\n</ResultSet>\r\n");
    EXPECT_EQ(owner.Of(empty)[1].total, 0);
    EXPECT_EQ(Targets("/search/").size(), 4u);

    FixtureReset();
    const int down = owner.Begin(kListPath, {{"SEARCHSTRING", "anything"}, {"LIST", "fatal"}});
    ASSERT_TRUE(owner.WaitForEnd(down));
    const std::vector<Report> reports = owner.Of(down);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].done, 1);
    EXPECT_FALSE(reports[0].page);
    EXPECT_EQ(Targets("/search/").size(), 2u);
}

TEST_F(SearchThreadTest, StepWalkRunsKeysSkipsStepsAndEndsOnAFailedStep)
{
    SearchOwner owner;
    const int walk = owner.Begin(kWalkPath, {{"SEARCHSTRING", "pump"}});
    ASSERT_TRUE(owner.WaitForEnd(walk));
    EXPECT_EQ(owner.Of(walk).size(), 1u);
    // Keys of a step of any type are computed; skipped steps compute none; the step without
    // a Url ends the walk before the last one.
    const std::vector<CString> expected = {"/search/list/start.html?a=alpha&c=converse&q=pump",
                                           "/search/list/start.html?a=alpha&c=converse&q=pump"};
    EXPECT_EQ(Targets("/search/"), expected);

    // Nothing to run: a node without steps, a location that does not exist, no path, a path
    // that is no XPath. Each run ends with exactly one message.
    for (const char* path : {kNoStepsPath, "/ParsingInformation/SearchLocation[@UID='NONE']/Basic/ProcessConfiguration",
                             "", "/ParsingInformation/SearchLocation[@UID='"}) {
        FixtureReset();
        const int tag = owner.Begin(path, {{"SEARCHSTRING", "pump"}});
        ASSERT_TRUE(owner.WaitForEnd(tag)) << path;
        const std::vector<Report> reports = owner.Of(tag);
        ASSERT_EQ(reports.size(), 1u) << path;
        EXPECT_EQ(reports[0].done, 1);
        EXPECT_EQ(reports[0].rangeStart, 0);
        EXPECT_EQ(reports[0].total, 0);
        EXPECT_TRUE(Targets().empty()) << path;
    }
}

// Without a recipe it can read a run asks nothing and says why, instead of ending as a search
// that found nothing.
TEST_F(SearchThreadTest, ARunWithoutARecipeItCanReadAsksNothingAndSaysWhy)
{
    const CString recipe = GetAppDirectory() + "\\Download.cfg";
    struct RecipeBack
    {
        ~RecipeBack() { InstallRecipe(); }
    } back;
    const struct
    {
        const char* what;
        const char* bytes;  // null: no file
        bool enciphered;
        const char* reason;
    } cases[] = {
        {"missing", nullptr, false, "it is missing"},
        {"bytes of no whole cipher block", "<ParsingInformation/>", false, "it is damaged"},
        {"text that is no XML", "ParsingInformation", true, "it is damaged"},
        {"another data file", "<Project Name=\"Project Folders\"/>", true, "it holds data of another kind"},
    };
    SearchOwner owner;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FixtureReset();
        ::DeleteFileA(recipe);
        if (c.enciphered) {
            ASSERT_EQ(CFileCrypt().WriteEncryptedFile(c.bytes, recipe), 1);
        } else if (c.bytes) {
            ASSERT_TRUE(WriteBytes(recipe, c.bytes));
        }
        const int tag = owner.Begin(kListPath, {{"SEARCHSTRING", "solar"}, {"LIST", "list"}});
        ASSERT_TRUE(owner.WaitForEnd(tag));
        const std::vector<Report> reports = owner.Of(tag);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].done, 1);
        EXPECT_FALSE(reports[0].page);
        EXPECT_EQ(reports[0].fault, CSearchThread::RunNoRecipe);
        EXPECT_EQ(reports[0].faultText, CString("The recipe file Download.cfg cannot be read: ") + c.reason + ".\n" +
                                            recipe +
                                            "\nSearches and downloads need this file. Please install Zentrova "
                                            "again to restore it.");
        EXPECT_TRUE(Targets().empty());
    }
}

// A search of OPS whose token request is refused for its keys says that the keys are missing
// or refused and where they go, not that the service refused the search.
TEST_F(SearchThreadTest, ASearchWhoseKeysTheTokenEndpointRefusesSaysSo)
{
    SearchOwner owner;
    for (const KeyRefusal& refusal : KeyRefusals()) {
        SCOPED_TRACE(refusal.what);
        // A token granted before would still serve.
        FixtureExpireTokens();
        RefusedKeys refused(refusal);
        const int tag = owner.Begin(kOpsServicePath, {{"SEARCHSTRING", "agar"}});
        ASSERT_TRUE(owner.WaitForEnd(tag));
        const std::vector<Report> reports = owner.Of(tag);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_FALSE(reports[0].page);
        EXPECT_EQ(reports[0].fault, CSearchThread::RunNoKeys);
        EXPECT_EQ(reports[0].faultText, COpsTokenCache::KeyFaultText(refusal.fault));
        const std::vector<LoggedRequest> asked = FixtureLog("/auth/accesstoken");
        ASSERT_FALSE(asked.empty());
        for (const LoggedRequest& r : asked)
            EXPECT_EQ(r.Header("Authorization"), "Basic " + refusal.basic);
    }
}

TEST_F(SearchThreadTest, StopInTheMiddleOfASlowPage)
{
    SearchOwner owner;
    // The second page would take about 18 s to come in; its first part is in after 3 s.
    FixturePlan("/search/list/page1.html", "slow=3000&chunk=250");
    const int tag = owner.Begin(kListPath, {{"SEARCHSTRING", "solar"}, {"LIST", "list"}});
    ASSERT_TRUE(WaitForRequest("/search/list/page1.html"));
    ASSERT_EQ(owner.PagesOf(tag).size(), 1u);
    const DWORD stopped = GetTickCount();
    EXPECT_EQ(owner.Thread()->Stop(), 0);
    ASSERT_TRUE(owner.WaitForEnd(tag, 30000));
    std::printf("FIGURE the stopped run ended %lu ms after the stop\n",
                static_cast<unsigned long>(GetTickCount() - stopped));

    const std::vector<Report> reports = owner.Of(tag);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[0].page);
    EXPECT_EQ(reports[1].done, 1);
    EXPECT_EQ(reports[1].cancel, 1);
    EXPECT_FALSE(reports[1].page);
    // Nothing was asked after the aborted page.
    EXPECT_EQ(Targets("/search/list/page1.html").size(), 1u);
    EXPECT_TRUE(Targets("/search/list/page2.html").empty());
}

TEST_F(SearchThreadTest, AStartRightAfterAStopKeepsItsInputs)
{
    SearchOwner owner;
    FixturePlan("/search/list/page1.html", "slow=3000&chunk=250");
    const int first = owner.Begin(kListPath, {{"SEARCHSTRING", "solar"}, {"LIST", "list"}});
    ASSERT_TRUE(WaitForRequest("/search/list/page1.html"));
    owner.Thread()->Stop();
    // The stopped run is still in its page: the new start comes before its last message.
    const int second = owner.Begin(kListPath, {{"SEARCHSTRING", "wind turbine"}, {"LIST", "list"}});
    ASSERT_GT(second, first);
    ASSERT_TRUE(owner.WaitForEnd(second));

    // The stopped run's last message came while the new run was already the owner's latest.
    ASSERT_TRUE(owner.Ended(first));
    const std::vector<Report> old = owner.Of(first);
    ASSERT_EQ(old.back().done, 1);
    EXPECT_EQ(old.back().latestTag, second);

    // The new run has its own inputs, starts afresh and is not taken for stopped.
    const std::vector<Report> reports = owner.Of(second);
    ASSERT_EQ(reports.size(), 4u);
    const std::vector<CString> pages = owner.PagesOf(second);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], kListPage0);
    EXPECT_EQ(pages[2], kListPage2);
    EXPECT_EQ(reports[3].cancel, 0);
    EXPECT_EQ(Targets("q=wind+turbine").size(), 8u);
}

TEST_F(SearchThreadTest, AStopBeforeTheRunBeginsStopsIt)
{
    SearchOwner owner;
    CSearchThread* thread = owner.Thread();
    // The thread is held in a run while two starts and a stop come in behind it.
    FixturePlan("/search/fatal/start.html", "delay=1500");
    const int busy = owner.Begin(kListPath, {{"SEARCHSTRING", "first"}, {"LIST", "fatal"}});
    const int stopped = owner.Begin(kListPath, {{"SEARCHSTRING", "second"}, {"LIST", "list"}});
    thread->Stop();
    const int third = owner.Begin(kWalkPath, {{"SEARCHSTRING", "third"}});
    ASSERT_TRUE(owner.WaitForEnd(third));
    EXPECT_TRUE(owner.Ended(busy));
    EXPECT_TRUE(owner.Ended(stopped));
    // The stopped start asked for nothing; the one after the stop ran.
    EXPECT_TRUE(Targets("q=second").empty());
    EXPECT_EQ(Targets("q=third").size(), 2u);
    EXPECT_EQ(owner.Of(third).back().cancel, 0);
}

TEST_F(SearchThreadTest, QuitWhileIdleEndsTheThreadWithCodeOne)
{
    SearchOwner owner;
    const int tag = owner.Begin(kNoStepsPath, {});
    ASSERT_TRUE(owner.WaitForEnd(tag));
    EXPECT_EQ(owner.Quit(), 1u);
}

TEST_F(SearchThreadTest, ProcessStepAsksTheTextDatabaseForOrclFields)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        IXMLDOMDocument2Ptr doc = CreateDomDocument();
        CSearchThread thread;
        struct
        {
            const char* query;
            const char* asked;
        } cases[] = {
            {"FIELD2=ORCL&d=pall&x=d=pall", "FIELD2=ORCL&d=ptxt&x=d=ptxt"},
            {"FIELD1=ORCL&d=pall", "FIELD1=ORCL&d=ptxt"},
            {"FIELD3=ORCL&d=pall", "FIELD3=ORCL&d=pall"},
            {"d=pall", "d=pall"},
        };
        for (const auto& c : cases) {
            FixtureReset();
            CString xml = "<Step><Url>" + FixtureUrl("/search/list/start.html?") + c.query + "</Url></Step>";
            xml.Replace("&", "&amp;");
            ASSERT_EQ(doc->loadXML(_bstr_t(xml)), VARIANT_TRUE);
            EXPECT_EQ(thread.RunProcessStep(doc->selectSingleNode(L"/Step")), 1);
            const std::vector<CString> targets = Targets("/search/");
            ASSERT_FALSE(targets.empty());
            EXPECT_EQ(targets[0], CString("/search/list/start.html?") + c.asked);
        }
    }
    CoUninitialize();
}

} // namespace
