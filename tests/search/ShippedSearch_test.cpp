// The shipped recipe's search locations (build/bin/Download.cfg) on a real search thread
// against the fixture server's imitation of OPS: for each location a Basic and an Advanced
// query, given as the search pages leave them in the parameter map, become the CQL the
// server is asked, their rows carry the number with its kind and the English title, a second
// range continues the first, the US locations keep their own kinds of publication, and a
// query the service refuses ends the run with no rows. On the recorded answers of the real
// service every row has a title and a report thread files A4 first pages, which the
// Linux-side check (search_shipped_recipe_pdf_check) measures with pdfinfo.
#include "SearchOwner.h"

#include "ReportTestSupport.h"
#include "TestSupport.h"

#include "DataFiles.h"
#include "OpsTokenCache.h"
#include "RegEx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace testsupport;
using namespace searchtest;

namespace {

CString RecipePath(const char* uid, const char* page)
{
    CString path;
    path.Format("/ParsingInformation/SearchLocation[@UID='%s']/%s/ProcessConfiguration", uid, page);
    return path;
}

// A parameter map as a search page leaves it: every field of the page's form, empty unless
// given.
using Fields = std::map<std::string, std::string>;

Fields PageMap(const std::vector<const char*>& names, const Fields& given)
{
    Fields map;
    for (const char* name : names)
        map[name] = "";
    for (const auto& field : given)
        map[field.first] = field.second;
    return map;
}

const std::vector<const char*> kUsBasic = {"TERM1", "FIELD1", "OPERATOR", "TERM2", "FIELD2"};
const std::vector<const char*> kPatentsAdvanced = {"TTL", "PRIR", "ABST", "ISD", "IN",  "ICL",
                                                   "AN",  "CPC",  "PN",   "REFBY", "APN", "COMBINE"};
const std::vector<const char*> kApplicationsAdvanced = {"TTL", "APN", "ABST", "PRIR", "IN", "ICL",
                                                        "AN",  "PD",  "PN",   "CPC",  "COMBINE"};
const std::vector<const char*> kEpoAdvanced = {"TTL", "PRIR", "IN", "PN", "ABST", "ICL", "PA", "PD", "APN", "CPC"};

CString UrlDecode(const CString& text)
{
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.GetLength()) {
            out += static_cast<char>(std::strtol(text.Mid(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

// The published-data searches the server was asked, each as (CQL, range).
std::vector<std::pair<CString, CString>> AskedSearches()
{
    std::vector<std::pair<CString, CString>> asked;
    for (const LoggedRequest& r : FixtureLog("/ops/3.2/rest-services/published-data/search/biblio?")) {
        const int q = r.target.Find("?q=");
        const int range = r.target.Find("&Range=");
        if (q < 0 || range < q)
            continue;
        asked.emplace_back(UrlDecode(r.target.Mid(q + 3, range - q - 3)), r.target.Mid(range + 7));
    }
    return asked;
}

// The values of one element name of a result-set text, in order.
std::vector<CString> Values(const CString& resultSet, const char* name)
{
    std::vector<CString> values;
    const CString open = CString("<") + name + ">";
    const CString close = CString("</") + name + ">";
    for (int at = resultSet.Find(open); at >= 0; at = resultSet.Find(open, at + 1)) {
        const int end = resultSet.Find(close, at);
        values.push_back(resultSet.Mid(at + open.GetLength(), end - at - open.GetLength()));
    }
    return values;
}

class ShippedSearchTest : public FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        if (HasFatalFailure())
            return;
        static bool installed = false;
        if (!installed) {
            const char* build = std::getenv("ZENTROVA_BUILD");
            ASSERT_TRUE(CopyFileA(CString(build ? build : ".") + "/bin/Download.cfg",
                                  GetAppDirectory() + "\\Download.cfg", FALSE));
            // The process's first token, so that the logs hold only the searches.
            COpsTokenCache::GetToken();
            installed = true;
        }
        FixtureReset();
    }

    // Runs the location's page with the map; with bStopAtSecondPage the run is stopped as
    // soon as its second page has been taken (while the thread waits for that answer).
    std::vector<Report> Run(const char* uid, const char* page, const Fields& map, bool bStopAtSecondPage = false)
    {
        Inputs inputs;
        for (const auto& field : map)
            inputs.emplace_back(field.first.c_str(), field.second.c_str());
        SearchOwner owner;
        int pages = 0;
        if (bStopAtSecondPage) {
            owner.m_onReport = [&owner, &pages](const Report& r) {
                if (r.page && ++pages == 2)
                    owner.Thread()->Stop();
            };
        }
        const int tag = owner.Begin(RecipePath(uid, page), inputs);
        EXPECT_TRUE(owner.WaitForEnd(tag, 60000)) << uid << " " << page;
        return owner.Of(tag);
    }
};

struct LocationCase
{
    const char* uid;
    const char* page;
    Fields map;
    const char* cql;          // the query the server is asked
    int total;                // total-result-count of the answer
    bool stopAtSecondPage;    // a query of more results than two ranges
    const char* firstNumber;  // PATNUM of the first row
    const char* firstTitle;   // its TITLE
    const char* secondNumber; // PATNUM of the first row of the second range
};

// A typical Basic and Advanced query on each location: two ranges of rows, numbered on.
TEST_F(ShippedSearchTest, EachLocationPagesThroughItsQuery)
{
    const LocationCase cases[] = {
        {"USPTOPATENTSEARCH", "Basic",
         PageMap(kUsBasic, {{"TERM1", "fastening element"}, {"FIELD1", "ti all"}, {"OPERATOR", "AND"},
                            {"FIELD2", "ta all"}, {"SEARCHSTRING", "fastening elementti allANDta all"}}),
         "ti all \"fastening element\" and pn=US", 10000, true, "US8000001B2", "Fastening element of series 00001",
         "US8000101B2"},
        {"USPTOPATENTSEARCH", "Advanced",
         PageMap(kPatentsAdvanced, {{"TTL", "\"fastening\" and \"element\""},
                                    {"ISD", "\"20110101 20111231\""},
                                    {"COMBINE", " AND "}}),
         "((ti=\"fastening\" and ti=\"element\") AND (pd within \"20110101 20111231\")) and pn=US", 3000, true,
         "US8000001B2", "Fastening element of series 00001", "US8000101B2"},
        {"USPTOAPPLICATIONSEARCH", "Basic",
         PageMap(kUsBasic, {{"TERM1", "rail coupling"}, {"FIELD1", "ti all"}, {"OPERATOR", "AND"},
                            {"FIELD2", "ta all"}, {"SEARCHSTRING", "rail couplingti allANDta all"}}),
         "ti all \"rail coupling\" and pn=US", 150, false, "US2015100001A1", "Rail coupling of series 001",
         "US2015100101A1"},
        {"USPTOAPPLICATIONSEARCH", "Advanced",
         PageMap(kApplicationsAdvanced, {{"TTL", "\"coupling\""}, {"AN", "\"couplex\""}, {"COMBINE", " OR "}}),
         "((ti=\"coupling\") OR (pa=\"couplex\")) and pn=US", 150, false, "US2015100001A1",
         "Rail coupling of series 001", "US2015100101A1"},
        {"EPOPATENTSEARCH", "Basic", {{"SEARCHTERM", "txt = rail and txt = coupling"},
                                      {"SEARCHSTRING", "txt = rail and txt = coupling"}},
         "(txt = rail and txt = coupling) and pn=EP", 150, false, "EP3100001B1", "Rail coupling of series 001",
         "EP3100101B1"},
        {"EPOPATENTSEARCH", "Advanced",
         PageMap(kEpoAdvanced, {{"TTL", "\"rail\" AND \"coupling\""}, {"PD", "\"2017\""}}),
         "((ti=\"rail\" AND ti=\"coupling\") and (pd=\"2017\")) and pn=EP", 150, false, "EP3100001B1",
         "Rail coupling of series 001", "EP3100101B1"},
    };
    for (const LocationCase& c : cases) {
        SCOPED_TRACE(CString(c.uid) + " " + c.page);
        FixtureReset();
        const std::vector<Report> reports = Run(c.uid, c.page, c.map, c.stopAtSecondPage);

        const auto asked = AskedSearches();
        ASSERT_GE(asked.size(), 2u);
        std::printf("CQL %s %s: %s\n", c.uid, c.page, asked.front().first.GetString());
        EXPECT_EQ(asked.front().first, c.cql);
        EXPECT_EQ(asked.front().second, "1-100");
        EXPECT_EQ(asked.back().second, "101-200");

        std::vector<CString> pages;
        for (const Report& r : reports) {
            if (r.page)
                pages.push_back(r.text);
        }
        ASSERT_EQ(pages.size(), 2u);
        const std::vector<CString> numbers = Values(pages[0], "PATNUM");
        const std::vector<CString> titles = Values(pages[0], "TITLE");
        ASSERT_EQ(numbers.size(), 100u);
        ASSERT_EQ(titles.size(), 100u);
        EXPECT_EQ(numbers[0], c.firstNumber);
        EXPECT_EQ(titles[0], c.firstTitle);
        EXPECT_EQ(pages[1].Find(CString("\t<Result ID=\"101\">\r\n\t\t<PATNUM>") + c.secondNumber + "</PATNUM>"),
                  CString("<ResultSet>\r\n").GetLength());

        EXPECT_EQ(reports[0].rangeStart, 1);
        EXPECT_EQ(reports[0].rangeEnd, 100);
        EXPECT_EQ(reports[0].total, c.total);
        EXPECT_EQ(reports[1].rangeStart, 101);
        const Report& last = reports.back();
        EXPECT_EQ(last.done, 1);
        EXPECT_EQ(last.cancel, c.stopAtSecondPage ? 1 : 0);
        if (!c.stopAtSecondPage) {
            EXPECT_EQ(Values(pages[1], "PATNUM").size(), 50u);
        }
    }
}

// OPS has no index of kinds: the two US locations ask the same query and keep the rows of
// their own kinds; the EP rows hold each publication of a number with its kind, and titles
// escaped once.
TEST_F(ShippedSearchTest, RowsAreTheLocationsPublicationsWithTheirKinds)
{
    const Fields widgets = PageMap(kUsBasic, {{"TERM1", "widget"}, {"FIELD1", "ti all"}, {"OPERATOR", "OR"},
                                              {"TERM2", "widgets"}, {"FIELD2", "ti all"}});
    const struct
    {
        const char* uid;
        Fields map;
        const char* cql;
        std::vector<CString> numbers;
        std::vector<CString> titles;
    } cases[] = {
        {"USPTOPATENTSEARCH", widgets, "(ti all \"widget\" OR ti all \"widgets\") and pn=US",
         {"US7123456B2", "US6000000A"},
         {"Widget tray with adjustable dividers", "Widget fastening clip"}},
        {"USPTOAPPLICATIONSEARCH", widgets, "(ti all \"widget\" OR ti all \"widgets\") and pn=US",
         {"US2005123456A1"},
         {"Shelf-mounted sensor for counting widgets"}},
        {"EPOPATENTSEARCH", {{"SEARCHSTRING", "txt = recipe"}}, "(txt = recipe) and pn=EP",
         {"EP1000000A1", "EP1000000B1"},
         {"Apparatus for testing fetchers", "Apparatus for testing recipes"}},
        {"EPOPATENTSEARCH", {{"SEARCHSTRING", "txt = sortwell"}}, "(txt = sortwell) and pn=EP",
         {"EP2345678B1"},
         {"Method of sorting &amp; ranking &lt;widgets&gt; for &quot;smart&quot; shelves"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cql);
        FixtureReset();
        const std::vector<Report> reports = Run(c.uid, "Basic", c.map);
        const auto asked = AskedSearches();
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.front().first, c.cql);
        ASSERT_EQ(reports.size(), 2u);
        ASSERT_TRUE(reports[0].page);
        EXPECT_EQ(Values(reports[0].text, "PATNUM"), c.numbers);
        EXPECT_EQ(Values(reports[0].text, "TITLE"), c.titles);
        EXPECT_EQ(reports[1].done, 1);
    }
}

// A query the service refuses (a slash in a term), one that finds nothing and a page left
// empty: no rows, exactly one last message, and nothing asked after the refusal.
TEST_F(ShippedSearchTest, ARefusedOrEmptyQueryEndsTheRunWithoutRows)
{
    const struct
    {
        const char* uid;
        const char* page;
        Fields map;
        const char* cql;  // nullptr: nothing is asked
        int status;       // of the service's last answer
    } cases[] = {
        {"USPTOPATENTSEARCH", "Basic",
         PageMap(kUsBasic, {{"TERM1", "H01M10/60"}, {"FIELD1", "ipc ="}, {"OPERATOR", "AND"}}),
         "ipc = \"H01M10/60\" and pn=US", 400},
        {"EPOPATENTSEARCH", "Advanced", PageMap(kEpoAdvanced, {{"TTL", "\"solar\" AND \"wind"}}),
         "((ti=\"solar\" AND ti=\"wind)) and pn=EP", 400},
        // The service's "nothing found" is no refusal.
        {"EPOPATENTSEARCH", "Basic", {{"SEARCHSTRING", "txt = nosuchword"}}, "(txt = nosuchword) and pn=EP", 404},
        {"USPTOAPPLICATIONSEARCH", "Basic", PageMap(kUsBasic, {{"FIELD1", "ti all"}, {"OPERATOR", "AND"}}),
         nullptr, 0},
        {"USPTOPATENTSEARCH", "Advanced", PageMap(kPatentsAdvanced, {{"COMBINE", " AND "}}), nullptr, 0},
        {"EPOPATENTSEARCH", "Basic", {}, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CString(c.uid) + " " + c.page);
        FixtureReset();
        const std::vector<Report> reports = Run(c.uid, c.page, c.map);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].done, 1);
        EXPECT_EQ(reports[0].cancel, 0);
        EXPECT_EQ(reports[0].total, 0);
        EXPECT_FALSE(reports[0].page);
        if (c.status == 400) {
            EXPECT_EQ(reports[0].fault, CSearchThread::RunRefused);
            EXPECT_EQ(reports[0].faultText.Find("The search service refused the request: 400 Bad Request.\n"
                                                "CLIENT.InvalidQuery: "),
                      0)
                << reports[0].faultText.GetString();
        } else {
            EXPECT_EQ(reports[0].fault, CSearchThread::RunComplete) << reports[0].faultText.GetString();
        }
        const std::vector<LoggedRequest> searches = FixtureLog("/published-data/search");
        if (!c.cql) {
            EXPECT_TRUE(searches.empty());
            continue;
        }
        ASSERT_FALSE(searches.empty());
        for (const auto& asked : AskedSearches()) {
            EXPECT_EQ(asked.first, c.cql);
            EXPECT_EQ(asked.second, "1-100");
        }
        EXPECT_EQ(searches.back().status, c.status);
    }
}

// A search report takes the rows of a search, whose numbers carry the kind of the
// publication found: each report thread on the shipped recipe asks for that publication's
// first page and files it.
TEST_F(ShippedSearchTest, AReportThreadGetsTheFirstPageOfASearchRowWithItsKind)
{
    const struct {
        const char* number;
        const char* search;  // the number the search asked for
        const char* page;    // the first page's image
    } cases[] = {
        {"US7123456B2", "q=pn%3DUS7123456", "images/US/7123456/B2/fullimage.tiff?Range=1"},
        {"US6000000A", "q=pn%3DUS6000000", "images/US/6000000/A/fullimage.tiff?Range=1"},
        {"EP1000000B1", "q=pn%3DEP1000000", "images/EP/1000000/B1/fullimage.tiff?Range=1"},
    };
    testsupport::TempDir run;
    reporttest::ThreadOwner owner;
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        FixtureReset();
        ASSERT_TRUE(owner.Start(c.number, run.Path() + "\\", index));
        ASSERT_TRUE(owner.WaitForReply(static_cast<size_t>(index + 1), 60000));
        const reporttest::Reply& reply = owner.replies.back();
        EXPECT_EQ(reply.lParam, 0);
        EXPECT_EQ(reply.success, 1);
        EXPECT_EQ(FixtureLog(c.search).size(), 1u);
        const std::vector<LoggedRequest> pages = FixtureLog("fullimage.tiff");
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_NE(pages[0].target.Find(c.page), -1) << pages[0].target.GetString();
        EXPECT_EQ(pages[0].status, 200);
        ++index;
    }
}

// The recorded answers of the real service: result pages of 100 results of real size (about
// 1.8 MB), one in three results titled only in its original language (lang="ol"). Every row
// of every location has a title, the English one where there is one, else its own.
TEST_F(ShippedSearchTest, RealSizePagesGiveEveryRowATitle)
{
    const struct
    {
        const char* uid;
        Fields map;
        int total;
        int pages;
        const char* firstNumber;
    } cases[] = {
        {"USPTOPATENTSEARCH",
         PageMap(kUsBasic, {{"TERM1", "siemens"}, {"FIELD1", "txt all"}, {"OPERATOR", "AND"}, {"FIELD2", "ta all"},
                            {"SEARCHSTRING", "siemenstxt allANDta all"}}),
         300, 3, "US9500001B2"},
        {"USPTOAPPLICATIONSEARCH",
         PageMap(kUsBasic, {{"TERM1", "siemens"}, {"FIELD1", "pa all"}, {"OPERATOR", "AND"}, {"FIELD2", "ta all"},
                            {"SEARCHSTRING", "siemenspa allANDta all"}}),
         300, 3, "US2024100001A1"},
        {"EPOPATENTSEARCH", {{"SEARCHTERM", "txt = siemens"}, {"SEARCHSTRING", "txt = siemens"}}, 150, 2,
         "EP3900001A1"},
    };
    const std::set<CString> kTitles = {"MONITORING THE OPERATION OF A WIND TURBINE",
                                       "A STEAM TURBINE ROTOR FLYWHEEL SYSTEM FOR GRID FREQUENCY STABILIZATION",
                                       "ENERGILAGRINGSSYSTEM"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uid);
        FixtureReset();
        const DWORD start = GetTickCount();
        const std::vector<Report> reports = Run(c.uid, "Basic", c.map);
        std::vector<CString> numbers, titles;
        int pages = 0;
        for (const Report& r : reports) {
            if (!r.page)
                continue;
            ++pages;
            for (const CString& n : Values(r.text, "PATNUM"))
                numbers.push_back(n);
            for (const CString& t : Values(r.text, "TITLE"))
                titles.push_back(t);
        }
        std::printf("FIGURE %s: %d pages, %u rows in %lu ms\n", c.uid, pages, static_cast<unsigned>(numbers.size()),
                    GetTickCount() - start);
        EXPECT_EQ(pages, c.pages);
        ASSERT_EQ(numbers.size(), 150u);
        ASSERT_EQ(titles.size(), 150u);
        EXPECT_EQ(numbers[0], c.firstNumber);
        EXPECT_EQ(reports.front().total, c.total);
        EXPECT_EQ(std::set<CString>(titles.begin(), titles.end()), kTitles);
        // Every third result of the series is the one titled in its original language.
        EXPECT_EQ(std::count(titles.begin(), titles.end(), CString("ENERGILAGRINGSSYSTEM")), 50);
        for (const CString& t : titles)
            EXPECT_FALSE(t.IsEmpty());
    }
}

// A report of search rows of the recorded answers: each report thread files the row's first
// page as an A4 page (the service's pages are at pixels per centimetre), and its record takes
// the English title or, where there is none, the original one.
TEST_F(ShippedSearchTest, AReportOfRecordedRowsHasA4FirstPages)
{
    const struct {
        const char* number;
        const char* title;
    } cases[] = {
        {"EP2400812A1", "BLUETOOTH NETWORKING"},
        {"EP3900003A1", "ENERGILAGRINGSSYSTEM"},
        {"US9500001B2", "MONITORING THE OPERATION OF A WIND TURBINE"},
    };
    testsupport::TempDir run;
    reporttest::ThreadOwner owner;
    const char* check = std::getenv("ZENTROVA_PDF_CHECK");
    if (check && *check)
        DeleteFileA(CString(check) + "\\outputs.txt");
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        FixtureReset();
        ASSERT_TRUE(owner.Start(c.number, run.Path() + "\\", index));
        ASSERT_TRUE(owner.WaitForReply(static_cast<size_t>(index + 1), 60000));
        const reporttest::Reply& reply = owner.replies.back();
        ++index;
        ASSERT_EQ(reply.success, 1);
        EXPECT_GE(reply.record.Find(CString("DocumentTitle=\"") + c.title + "\""), 0) << reply.record.GetString();
        const CString pdf = run.Path() + "\\" + reply.resultPath;
        std::string bytes;
        ASSERT_TRUE(ReadBytes(pdf, bytes)) << pdf.GetString();
        std::vector<CString> boxes;
        RegEx("/MediaBox\\s*\\[\\s*0\\s+0\\s+595\\s+842\\s*\\]", false).Grep(boxes, CString(bytes.data(), static_cast<int>(bytes.size())));
        EXPECT_FALSE(boxes.empty()) << "no A4 page in " << pdf.GetString();
        if (check && *check) {
            CreateDirectoryA(check, nullptr);
            const CString name = CString("report-first-page-") + c.number + ".pdf";
            EXPECT_TRUE(CopyFileA(pdf, CString(check) + "\\" + name, FALSE));
            std::ofstream((CString(check) + "\\outputs.txt").GetString(), std::ios::app)
                << name.GetString() << "|595x842,,\n";
        }
    }
}

// ---------------------------------------------------------------- answers that fail

const char kSearchPath[] = "/ops/3.2/rest-services/published-data/search/biblio";

// The European location's query of 150 results: ranges 1-100 and 101-200.
const Fields kRailCoupling = {{"SEARCHSTRING", "txt = rail and txt = coupling"}};

// The rows of every page the run delivered.
std::vector<CString> Rows(const std::vector<Report>& reports)
{
    std::vector<CString> rows;
    for (const Report& r : reports) {
        for (const CString& number : Values(r.text, "PATNUM"))
            rows.push_back(number);
    }
    return rows;
}

// The answer of the page (1 or 2) behaves as the query text says; each page is asked twice.
void PlanAnswer(int page, const char* answer, int count = 2)
{
    if (page == 2)
        FixturePlan(kSearchPath, "", 2);
    FixturePlan(kSearchPath, answer, count);
}

// Every refusal and every answer that breaks off, comes empty or cannot be read, on the first
// page and on the second: the run's last message says so in the program's words, the rows
// read before stay, and nothing is asked after the failed page.
TEST_F(ShippedSearchTest, AFailedAnswerSaysWhyAndKeepsTheRowsReadBefore)
{
    const CString incomplete = ", so the list is incomplete.";
    const struct
    {
        const char* answer;
        int fault;
        CString text;
        size_t rowsOfThePage;  // the rows the faulty page still gives
        CString orText{};  // another text the fault may give: a reset can overtake the headers
    } cases[] = {
        {"opsfault=403", CSearchThread::RunRefused,
         "The search service refused the request: 403 Forbidden.\nCLIENT.QuotaExceeded: This request has been "
         "rejected due to the violation of Fair Use policy",
         0},
        {"opsfault=429", CSearchThread::RunRefused, "The search service refused the request: 429 Too Many Requests.", 0},
        {"opsfault=500", CSearchThread::RunRefused,
         "The search service refused the request: 500 Internal Server Error.\nSERVER.DomainAccess: The data source "
         "could not be reached",
         0},
        {"opsfault=503", CSearchThread::RunRefused, "The search service refused the request: 503 Service Unavailable.",
         0},
        {"opsfault=200&code=SERVER.DomainAccess&message=Search+engine+down", CSearchThread::RunRefused,
         "The search service refused the request.\nSERVER.DomainAccess: Search engine down", 0},
        {"fault=truncate", CSearchThread::RunIncomplete, "The search service's answer broke off" + incomplete, 0},
        {"fault=reset-body", CSearchThread::RunIncomplete, "The search service's answer broke off" + incomplete, 0,
         "The search service did not answer" + incomplete},
        {"fault=reset", CSearchThread::RunIncomplete, "The search service did not answer" + incomplete, 0},
        {"fault=empty", CSearchThread::RunIncomplete, "The search service sent an empty answer" + incomplete, 0},
        {"total=many", CSearchThread::RunIncomplete, "The search service's answer could not be read" + incomplete, 0},
        {"results=20", CSearchThread::RunIncomplete,
         "The search service gave fewer results than it announced" + incomplete, 20},
    };
    for (const auto& c : cases) {
        for (int page : {1, 2}) {
            SCOPED_TRACE(CString(c.answer) + (page == 1 ? " on the first page" : " on the second page"));
            FixtureReset();
            PlanAnswer(page, c.answer);
            const std::vector<Report> reports = Run("EPOPATENTSEARCH", "Basic", kRailCoupling);
            ASSERT_FALSE(reports.empty());
            const Report& last = reports.back();
            EXPECT_EQ(last.done, 1);
            EXPECT_EQ(last.cancel, 0);
            EXPECT_EQ(last.fault, c.fault);
            if (c.orText.IsEmpty() || last.faultText != c.orText) {
                EXPECT_EQ(last.faultText, c.text);
            }
            const std::vector<CString> rows = Rows(reports);
            EXPECT_EQ(rows.size(), (page == 1 ? 0u : 100u) + c.rowsOfThePage);
            if (!rows.empty()) {
                EXPECT_EQ(rows[0], "EP3100001B1");
            }
            const auto asked = AskedSearches();
            ASSERT_FALSE(asked.empty());
            EXPECT_EQ(asked.back().second, page == 1 ? "1-100" : "101-200");
        }
    }
}

// The numbers and ranges of the answers as the service gives them: totals beyond 32 bits are
// read whole and paging follows them, a page of more results than its range gives only that
// range, results that were listed already are not listed again, and a last page that names a
// range beyond the total is whole with the results up to the total.
TEST_F(ShippedSearchTest, TotalsAndRangesAreTakenAsTheAnswersGiveThem)
{
    const struct
    {
        const char* what;
        int page;
        const char* answer;
        int count;                  // answers planned so
        long long firstTotal;       // the total of the first page's message
        size_t rows;
        std::vector<CString> asked;  // the ranges asked
        int fault;
    } cases[] = {
        {"a total beyond 32 bits", 1, "total=4294967396", 2, 4294967396LL, 150, {"1-100", "101-200"},
         CSearchThread::RunComplete},
        {"a total beyond 64 bits", 1, "total=99999999999999999999999", 2, 9223372036854775807LL, 150,
         {"1-100", "101-200"}, CSearchThread::RunComplete},
        {"5,000 results for a range of 100", 1, "repeat=50", 2, 150, 150, {"1-100", "101-200"},
         CSearchThread::RunComplete},
        {"the first range given again", 2, "giverange=1-100", 40, 150, 100, {"1-100", "101-200"},
         CSearchThread::RunIncomplete},
        {"a range overlapping the first", 2, "giverange=51-150", 2, 150, 150, {"1-100", "101-200"},
         CSearchThread::RunComplete},
        {"a last range named beyond the total", 2, "namerange=101-200", 2, 150, 150, {"1-100", "101-200"},
         CSearchThread::RunComplete},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FixtureReset();
        PlanAnswer(c.page, c.answer, c.count);
        const std::vector<Report> reports = Run("EPOPATENTSEARCH", "Basic", kRailCoupling);
        ASSERT_GE(reports.size(), 2u);
        EXPECT_EQ(reports[0].total, c.firstTotal);
        EXPECT_EQ(Rows(reports).size(), c.rows);
        for (const Report& r : reports)
            EXPECT_LE(Values(r.text, "PATNUM").size(), 100u);
        std::vector<CString> asked;
        for (const auto& search : AskedSearches())
            asked.push_back(search.second);
        asked.erase(std::unique(asked.begin(), asked.end()), asked.end());
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(reports.back().fault, c.fault) << reports.back().faultText.GetString();
        if (c.fault == CSearchThread::RunIncomplete) {
            EXPECT_EQ(reports.back().faultText,
                      "The search service gave results it had given already, so the list is incomplete.");
        }
    }
    // The overlapping range lists the results after the first range once, in order.
    FixtureReset();
    PlanAnswer(2, "giverange=51-150");
    const std::vector<CString> rows = Rows(Run("EPOPATENTSEARCH", "Basic", kRailCoupling));
    ASSERT_EQ(rows.size(), 150u);
    EXPECT_EQ(rows[99], "EP3100100B1");
    EXPECT_EQ(rows[100], "EP3100101B1");
    EXPECT_EQ(rows[149], "EP3100150B1");
}

// Pages of 5,000 results where the answers name a total of 120: the results numbered past the
// total are not listed, and the run says the list is incomplete.
TEST_F(ShippedSearchTest, ResultsBeyondTheTotalTheAnswersNameAreNotListed)
{
    // Each page is asked twice.
    FixturePlan(kSearchPath, "total=120&repeat=50", 4);
    const std::vector<Report> reports = Run("EPOPATENTSEARCH", "Basic", kRailCoupling);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(Rows(reports).size(), 120u);
    EXPECT_EQ(reports.back().fault, CSearchThread::RunIncomplete);
    EXPECT_EQ(reports.back().faultText, "The search service gave more results than the total it named; those "
                                        "beyond the total are not listed, so the list is incomplete.");
    std::vector<CString> asked;
    for (const auto& search : AskedSearches())
        asked.push_back(search.second);
    EXPECT_EQ(asked, (std::vector<CString>{"1-100", "1-100", "101-200", "101-200"}));
}

// A server that sent part of the second page and then nothing: Stop ends the run at once,
// and without a stop the run ends at the receive timeout, saying that the list is incomplete.
TEST_F(ShippedSearchTest, AStalledAnswerEndsAtStopOrAtTheReceiveTimeout)
{
    for (bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "stopped" : "timed out");
        FixtureReset();
        PlanAnswer(2, "fault=stall&part=2000");
        SearchOwner owner;
        if (!stop)
            owner.Thread()->m_WebGet.m_Reader.m_dwReceiveTimeout = 2000;
        Inputs inputs;
        for (const auto& field : kRailCoupling)
            inputs.emplace_back(field.first.c_str(), field.second.c_str());
        const int tag = owner.Begin(RecipePath("EPOPATENTSEARCH", "Basic"), inputs);
        DWORD asked = 0;
        ASSERT_TRUE(PumpUntil(
            [&asked] {
                if (GetTickCount() - asked < 100)
                    return false;
                asked = GetTickCount();
                return FixtureLog(kSearchPath).size() >= 3;
            },
            30000));
        PumpMessages(500);
        const DWORD from = GetTickCount();
        if (stop)
            owner.Thread()->Stop();
        ASSERT_TRUE(owner.WaitForEnd(tag, 60000));
        const DWORD took = GetTickCount() - from;
        std::printf("FIGURE a run whose second page stalled ended %lu ms after %s\n",
                    static_cast<unsigned long>(took), stop ? "its stop" : "the stall had lasted 0.5 s");
        // Far below the stall itself (the server holds it for minutes).
        EXPECT_LT(took, 20000u);
        const std::vector<Report> reports = owner.Of(tag);
        EXPECT_EQ(Rows(reports).size(), 100u);
        EXPECT_EQ(reports.back().cancel, stop ? 1 : 0);
        EXPECT_EQ(reports.back().fault, stop ? CSearchThread::RunComplete : CSearchThread::RunIncomplete);
        if (!stop) {
            EXPECT_EQ(reports.back().faultText,
                      "The search service's answer broke off, so the list is incomplete.");
        }
    }
}

} // namespace
