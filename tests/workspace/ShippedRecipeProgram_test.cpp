// The real program with the recipe it ships (build/bin/Download.cfg, not a test recipe)
// against the fixture server's imitation of OPS 3.2, with the user's own OPS keys in its
// options: numbers typed into the quick-download box for each document class download,
// merge and file with their titles, inventors and applicants; a token that expires in the
// middle of a document is renewed once; four documents requested at once while the token
// expires all file whole; an unknown number ends as a failed row; a refused quota fails the
// first attempt and the queue's retry files the document; the letters beyond ASCII of a
// document's texts are stored and shown in the program's code page. The merged PDFs are listed for
// the Linux-side check (workspace_shipped_recipe_pdf_check: qpdf, pdfinfo, pdftoppm), and the
// requests the recipe made and the records it filed are printed per document (lines starting
// "REQUESTS" and "RECORD"). The test shares the program's mutex and registry key with every
// other start of the program, so CTest runs it alone.
#include "WorkspaceTest.h"

#include "FixtureServer.h"
#include "OpsTokenCache.h"
#include "ProgramDownloadTest.h"
#include "WindowBench.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace testsupport;
using namespace workspacetest;

namespace {

// "zentrova-e2e-key:zentrova-e2e-secret" in Base64, one of the fixture server's accepted keys.
const char kUserBasic[] = "Basic emVudHJvdmEtZTJlLWtleTp6ZW50cm92YS1lMmUtc2VjcmV0";
const char kPublished[] = "/ops/3.2/rest-services/published-data/";
const char kSortingTitle[] = "Method of sorting & ranking <widgets> for \"smart\" shelves";

// A document as it is typed and as it must be filed. Its OPS number names its requests.
struct Filed
{
    const char* typed;
    const char* opsNumber;
    const char* pdf;  // the merged file's name without ".pdf"
    const char* title;
    const char* inventor;
    const char* assignee;
    int pages;
};

const Filed kMidDocument = {"EP1000000B1", "1000000", "EP1000000", "Apparatus for testing recipes",
                            "MUSTERMANN ERIKA [DE]; SCHMIDT KLAUS [DE]", "RECIPE WORKS GMBH [DE]", 6};
const Filed kAtOnce[] = {
    {"EP2345678B1", "2345678", "EP2345678", kSortingTitle, "OBRIEN SEAN [IE]; PATEL ASHA [GB]",
     "SORTWELL & RANK LTD [GB]", 6},
    {"US7123456", "7123456", "US7123456", "Widget tray with adjustable dividers",
     "SMITH JOHN A [US]; LEE MIN-JUN [US]", "ACME SHELVING CORP [US]", 4},
    {"US20050123456", "2005123456", "US20050123456", "Shelf-mounted sensor for counting widgets",
     "LEE MIN-JUN [US]", "ACME SHELVING CORP [US]", 3},
    {"WO2004012345", "2004012345", "WO2004012345", "Battery pack with thermal widgets",
     "MUELLER HANS [DE]; DUPONT MARIE [FR]", "VOLTWERK AG [DE]", 5},
};
const Filed kAfterRetry = {"EP1234567B1", "1234567", "EP1234567", "Lithium battery separator", "MUELLER HANS [DE]",
                           "VOLTWERK AG [DE]", 5};
// OPS answers UTF-8; the program keeps its texts in its code page (1252 in the test prefix).
const Filed kLetters = {"EP2500000B1", "2500000", "EP2500000", "Dispenser for M\xFCller-Hinton agar plates",
                        "M\xDCLLER J\xDCRGEN [DE]; LEF\xC8VRE C\xC9LINE [FR]; LUKASIEWICZ PIOTR [PL]",
                        "SOCI\xC9T\xC9 DES G\xC9LOSES SA [FR]", 2};

// The pages of the imitation's documents in turn: three sizes, the top-left quadrant dark.
CString ExpectedPages(int n)
{
    const char* sizes[] = {"594x846", "612x846", "630x846"};
    CString pages;
    for (int i = 0; i < n; ++i)
        pages += CString(i ? ";" : "") + sizes[i % 3] + ",000000,ffffff";
    return pages;
}

bool IsToken(const LoggedRequest& r)
{
    return r.target.Find("/auth/accesstoken") >= 0;
}

bool IsRest(const LoggedRequest& r)
{
    return r.target.Find(kPublished) == 0;
}

// The token a request carried: "tok2" of "Bearer tok2".
CString TokenOf(const LoggedRequest& r)
{
    return r.Header("Authorization").Mid(7);
}

// One request as the closing note lists it: "token STATUS" for a token request, else the
// target below published-data/, the token it carried and the status of its answer.
CString Describe(const LoggedRequest& r)
{
    CString text;
    if (IsToken(r))
        text.Format("token %d", r.status);
    else
        text.Format("%s %s %d", r.target.Mid(static_cast<int>(sizeof kPublished) - 1).GetString(),
                    TokenOf(r).GetString(), r.status);
    return text;
}

std::vector<CString> Described(const std::vector<LoggedRequest>& log)
{
    std::vector<CString> lines;
    for (const LoggedRequest& r : log)
        if (IsToken(r) || IsRest(r))
            lines.push_back(Describe(r));
    return lines;
}

// The OPS requests of one document: those whose target names its OPS number.
std::vector<LoggedRequest> RequestsOf(const std::vector<LoggedRequest>& log, const char* opsNumber)
{
    std::vector<LoggedRequest> mine;
    for (const LoggedRequest& r : log)
        if (IsRest(r) && r.target.Find(opsNumber) >= 0)
            mine.push_back(r);
    return mine;
}

void PrintRequests(const char* name, const std::vector<LoggedRequest>& log)
{
    std::printf("REQUESTS %s:\n", name);
    for (const CString& line : Described(log))
        std::printf("    %s\n", line.GetString());
}

class ShippedRecipeProgramTest : public ShippedRecipeDownloadTest
{
protected:
    void SetUp() override
    {
        ShippedRecipeDownloadTest::SetUp();
        if (HasFatalFailure())
            return;
        m_folder.SetOption("RetryFailedDownloads", "1");
        m_folder.SetOption("WaitTimeBetweenAttempts", "1");
        m_folder.SetOption("NumberOfAttemptsBeforeFailure", "2");
        // The secret as a user may paste it, with blanks around it.
        m_folder.SetOption("OpsConsumerSecret", " zentrova-e2e-secret ");
    }

    // The record carries the document's texts as written and a summary page and the merged
    // PDF; the PDF is listed for the Linux-side check.
    void ExpectFiled(const Filed& f)
    {
        SCOPED_TRACE(f.typed);
        EXPECT_EQ(CString(f.title), RecordAttribute(f.typed, "DocumentTitle"));
        EXPECT_EQ(CString(f.inventor), RecordAttribute(f.typed, "DocumentInventor"));
        EXPECT_EQ(CString(f.assignee), RecordAttribute(f.typed, "DocumentAssignee"));
        IXMLDOMNodePtr record = Record(f.typed);
        ASSERT_NE(nullptr, record);
        std::printf("RECORD %s:\n    %s\n", f.typed, ToAnsi(record->Getxml()).GetString());
        IXMLDOMNodeListPtr items = record->selectNodes(L"XMLCatalog/CatalogItem");
        ASSERT_EQ(2, items->Getlength());
        CString type;
        GetXmlAttribute(items->Getitem(0), "FileType", type);
        EXPECT_EQ("HTML", type);
        const CString pdf = FiledPdf(f.typed, f.pdf);
        if (!pdf.IsEmpty())
            ListForPdfCheck(pdf, CString("shipped-") + f.typed + ".pdf", ExpectedPages(f.pages));
    }

    // Starts the program and finds its main window, its quick-download box and its download
    // queue.
    void StartProgram(Started& run, HWND& hMain, HWND& hBox, HWND& hQueue)
    {
        m_folder.Start(run, "");
        hMain = ProgramFolder::MainWindow(run);
        ASSERT_NE(nullptr, hMain) << m_folder.Log();
        hBox = ProgramControl(hMain, IDC_QUICK_DOWNLOAD_EDIT, "Edit");
        hQueue = ProgramControl(hMain, IDC_DOWNLOAD_LIST, "SysListView32");
        ASSERT_TRUE(hBox && hQueue);
    }

    // Every token request carried the user's own keys.
    void ExpectUserKeys(const std::vector<LoggedRequest>& log)
    {
        for (const LoggedRequest& r : log)
            if (IsToken(r)) {
                EXPECT_EQ(CString(kUserBasic), r.Header("Authorization"));
            }
    }
};

} // namespace

TEST_F(ShippedRecipeProgramTest, TypedNumbersOfEveryClassAreFiledWholeWhileTheTokenExpires)
{
    const CString check = PdfCheckFolder();
    if (!check.IsEmpty())
        ::DeleteFileA(check + "\\outputs.txt");

    Started run;
    HWND hMain = nullptr, hBox = nullptr, hQueue = nullptr;
    StartProgram(run, hMain, hBox, hQueue);
    ASSERT_FALSE(HasFatalFailure());
    HWND hList = ProgramControl(hMain, IDC_DOCUMENT_LIST, "SysListView32");
    ASSERT_NE(nullptr, hList);

    // An EP B1 whose token expires after its second page: the third page is refused once,
    // the token is renewed once, and the third page and the rest come with the new one.
    FixtureExpireTokensAfter(5);
    TypeNumber(hBox, kMidDocument.typed);
    ASSERT_TRUE(WaitForRecord(kMidDocument.typed)) << m_folder.Log();
    ExpectFiled(kMidDocument);
    {
        const std::vector<LoggedRequest> log = FixtureLog();
        PrintRequests(kMidDocument.typed, log);
        const CString page = "images/EP/1000000/B1/fullimage.tiff?Range=";
        EXPECT_EQ(Described(log),
                  (std::vector<CString>{"token 200", "search?q=pn%3DEP1000000 tok1 200",
                                        "publication/docdb/EP.1000000.B1/biblio tok1 200",
                                        "publication/docdb/EP.1000000.B1/images tok1 200", page + "1 tok1 200",
                                        page + "2 tok1 200", page + "3 tok1 400", "token 200", page + "3 tok2 200",
                                        page + "4 tok2 200", page + "5 tok2 200", page + "6 tok2 200"}));
        ExpectUserKeys(log);
    }

    // Four documents at once, the token expiring after the first eight requests among them:
    // every request refused for it is sent again with the new token and answered, and all
    // four file whole.
    FixtureReset();
    FixtureExpireTokensAfter(8);
    for (const Filed& f : kAtOnce)
        TypeNumber(hBox, f.typed);
    for (const Filed& f : kAtOnce)
        ASSERT_TRUE(WaitForRecord(f.typed, 90000)) << f.typed << m_folder.Log();
    for (const Filed& f : kAtOnce)
        ExpectFiled(f);
    {
        const std::vector<LoggedRequest> log = FixtureLog();
        for (const Filed& f : kAtOnce)
            PrintRequests(f.typed, RequestsOf(log, f.opsNumber));
        int refused = 0, renewals = 0;
        for (size_t i = 0; i < log.size(); ++i) {
            renewals += IsToken(log[i]) ? 1 : 0;
            if (!IsRest(log[i]))
                continue;
            EXPECT_TRUE(log[i].status == 200 || log[i].status == 400) << Describe(log[i]).GetString();
            if (log[i].status != 400)
                continue;
            ++refused;
            bool resent = false;
            for (size_t j = i + 1; j < log.size() && !resent; ++j)
                resent = log[j].target == log[i].target && log[j].status == 200 && TokenOf(log[j]) != TokenOf(log[i]);
            EXPECT_TRUE(resent) << "not sent again with a new token: " << Describe(log[i]).GetString();
        }
        std::printf("    %d requests refused for the expired token, %d token requests\n", refused, renewals);
        EXPECT_GT(refused, 0);
        EXPECT_GE(renewals, 1);
        ExpectUserKeys(log);
    }

    // An unknown number fails on every attempt and ends as a failed row with nothing filed;
    // meanwhile a document whose bibliography request meets a spent quota fails its first
    // attempt (the bibliography source refuses to file it) and the queue's retry files it,
    // and a document with letters beyond ASCII files them as the code page writes them.
    FixtureReset();
    FixtureRefuseQuota(2, (CString(kPublished) + "publication/docdb/EP.1234567.B1/biblio").GetString());
    TypeNumber(hBox, "EP9999999");
    TypeNumber(hBox, kAfterRetry.typed);
    TypeNumber(hBox, kLetters.typed);
    ASSERT_TRUE(WaitForRecord(kAfterRetry.typed, 60000)) << m_folder.Log();
    ASSERT_TRUE(WaitForRecord(kLetters.typed, 60000)) << m_folder.Log();
    ExpectFiled(kAfterRetry);
    ExpectFiled(kLetters);
    EXPECT_TRUE(WaitUntil([] { return FixtureLog("q=pn%3DEP9999999").size() >= 3; }, 30000));
    ::Sleep(3000);
    {
        const std::vector<LoggedRequest> log = FixtureLog();
        PrintRequests(kAfterRetry.typed, RequestsOf(log, kAfterRetry.opsNumber));
        PrintRequests("EP9999999", RequestsOf(log, "9999999"));
        // Three attempts, each a search that finds nothing; the bibliography source makes no
        // request of its own.
        const std::vector<LoggedRequest> unknown = RequestsOf(log, "9999999");
        EXPECT_EQ(3u, unknown.size());
        for (const LoggedRequest& r : unknown) {
            EXPECT_EQ(CString(kPublished) + "search?q=pn%3DEP9999999", r.target);
            EXPECT_EQ(404, r.status);
        }
    }
    EXPECT_EQ(nullptr, Record("EP9999999"));
    EXPECT_FALSE(FileExists(m_save.Path() + "\\EP9999999"));
    const int failedRow = FindListRow(hQueue, 0, " EP9999999"); // the queue shows its numbers after a blank
    ASSERT_GE(failedRow, 0);
    EXPECT_EQ(CString("Download Failed -- Reattempting Download"), ListItemText(hQueue, failedRow, 1));
    EXPECT_EQ(1, RowCount(hQueue)) << "the filed documents left the queue";
    EXPECT_EQ(7, Records());

    // The title with & < > " is stored once escaped and shown as written; the letters beyond
    // ASCII are stored and shown one character each.
    const CString project = ReadDeciphered(m_folder.File("Project.cfg"));
    const CString stored = "DocumentTitle=\"Method of sorting &amp; ranking &lt;widgets&gt; for &quot;smart&quot; shelves\"";
    EXPECT_GE(project.Find(stored), 0);
    EXPECT_LT(project.Find("&amp;amp;"), 0);
    EXPECT_LT(project.Find("&amp;lt;"), 0);
    EXPECT_GE(project.Find(CString("DocumentTitle=\"") + kLetters.title + "\""), 0);
    EXPECT_GE(project.Find(CString("DocumentAssignee=\"") + kLetters.assignee + "\""), 0);
    ASSERT_TRUE(WaitUntil([&] { return RowCount(hList) == 7; }, 10000)) << "NEW DOWNLOADS shows the seven";
    const int row = FindListRow(hList, 1, "EP2345678B1");
    ASSERT_GE(row, 0);
    EXPECT_EQ(CString(kSortingTitle), ListItemText(hList, row, 2));
    EXPECT_EQ(CString("  SORTWELL & RANK LTD [GB]"), ListItemText(hList, row, 4));
    const int letters = FindListRow(hList, 1, kLetters.typed);
    ASSERT_GE(letters, 0);
    EXPECT_EQ(CString(kLetters.title), ListItemText(hList, letters, 2));
    EXPECT_EQ(CString("  ") + kLetters.inventor, ListItemText(hList, letters, 3));
    EXPECT_EQ(CString("  ") + kLetters.assignee, ListItemText(hList, letters, 4));

    // The main window after the downloads, the balloons gone, the columns wide enough for
    // the texts as the user would drag them.
    WaitUntil([&] { return !BalloonShows(run.pi.dwProcessId, "Download Complete"); }, 8000);
    const int widths[][2] = {{2, 360}, {3, 250}, {4, 190}};
    for (const auto& w : widths)
        ::SendMessageA(hList, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(w[0]), w[1]);
    CString why;
    const bool shot = SaveScreenshot(ScreenshotPath("shipped-recipe-main-window.png"), &why);

    EXPECT_TRUE(ProgramFolder::Close(hMain, run));
    if (!shot)
        GTEST_SKIP() << why.GetString();
}

// A user without OPS keys of his own, whose program's own keys the token endpoint refuses,
// types two numbers: one message says that the keys are missing and where they go, each row
// says why it failed, and neither is tried again (keys-missing-download.png).
TEST_F(ShippedRecipeProgramTest, NumbersTypedWithoutKeysSayOnceThatTheKeysAreMissing)
{
    m_folder.SetOption("OpsConsumerKey", "");
    m_folder.SetOption("OpsConsumerSecret", "");
    FixtureRefuseKeys(COpsTokenCache::kCredentials);
    Started run;
    HWND hMain = nullptr, hBox = nullptr, hQueue = nullptr;
    StartProgram(run, hMain, hBox, hQueue);
    ASSERT_FALSE(HasFatalFailure());
    TypeNumber(hBox, "EP1000000B1");
    TypeNumber(hBox, "EP2345678B1");

    const CString text = COpsTokenCache::KeyFaultText(COpsTokenCache::OpsKeysMissing);
    const CString row = "Download Failed -- " + text.Left(text.Find('\n'));
    auto failed = [&](const char* key) {
        const int at = FindListRow(hQueue, 0, CString(" ") + key);
        return at >= 0 && ListItemText(hQueue, at, 1) == row;
    };
    HWND hMessage = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hMessage = ProgramMessageBox(run.pi.dwProcessId)) != nullptr; }, 60000));
    ASSERT_TRUE(WaitUntil([&] { return failed("EP1000000B1") && failed("EP2345678B1"); }, 30000));
    EXPECT_EQ(text, MessageBoxText(hMessage));
    CString why;
    if (!SaveScreenshot(ScreenshotPath("keys-missing-download.png"), &why))
        std::printf("no screenshot: %s\n", why.GetString());
    PressDialogButton(hMessage, IDOK);

    // Longer than the wait between attempts: no second message, no request.
    const size_t asked = FixtureLog("/ops/").size();
    Sleep(3000);
    EXPECT_EQ(nullptr, ProgramMessageBox(run.pi.dwProcessId));
    EXPECT_EQ(asked, FixtureLog("/ops/").size()) << "neither download is tried again";
    EXPECT_TRUE(failed("EP1000000B1") && failed("EP2345678B1"));
    for (const LoggedRequest& r : FixtureLog("/auth/accesstoken"))
        EXPECT_EQ(CString("Basic ") + COpsTokenCache::kCredentials, r.Header("Authorization"));
    EXPECT_EQ(0, Records());
    EXPECT_TRUE(ProgramFolder::Close(hMain, run));
}
