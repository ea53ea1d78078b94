// The shipped recipe (build/bin/Download.cfg) on real download threads against the fixture
// server's imitation of OPS 3.2: which publication a typed kind chooses, the bibliography
// source for a document that OPS holds no page images of, and fault answers of the service
// that must fail the document instead of becoming its data.
#include "JobTestSupport.h"

#include "DataFiles.h"
#include "FileCrypt.h"
#include "OpsTokenCache.h"
#include "RefusedKeys.h"
#include "XmlHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace testsupport;
using namespace jobtest;

namespace {

const char kPublished[] = "/ops/3.2/rest-services/published-data/";

CString Published(const char* rest)
{
    return CString(kPublished) + rest;
}

// The OPS requests of the log, each as its path below published-data/ (the token request
// as "token").
std::vector<CString> OpsRequests()
{
    std::vector<CString> paths;
    for (const LoggedRequest& r : FixtureLog("/ops/")) {
        CString target = r.target;
        const int query = target.Find('?');
        if (r.target.Find("/auth/accesstoken") >= 0)
            target = "token";
        else if (target.Find(kPublished) == 0)
            target = target.Mid(static_cast<int>(sizeof kPublished) - 1, (query < 0 ? target.GetLength() : query) -
                                                                                static_cast<int>(sizeof kPublished) + 1);
        paths.push_back(target);
    }
    return paths;
}

CString Attribute(const CString& record, const char* xpath, const char* name)
{
    IXMLDOMDocument2Ptr doc = CreateDomDocument();
    if (doc->loadXML(_bstr_t(record)) != VARIANT_TRUE)
        return "<no record>";
    IXMLDOMNodePtr node = doc->selectSingleNode(_bstr_t(xpath));
    CString value = "<missing>";
    if (node)
        GetXmlAttribute(node, name, value);
    return value;
}

class ShippedRecipeJobTest : public FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        const char* build = std::getenv("ZENTROVA_BUILD");
        ASSERT_TRUE(CopyFileA(CString(build ? build : ".") + "/bin/Download.cfg", GetAppDirectory() + "\\Download.cfg",
                              FALSE));
        m_save = m_dir.Path() + "\\";
        // The process's first token, fetched once, so that the logs of the tests hold only
        // the renewals they cause.
        COpsTokenCache::GetToken();
        FixtureReset();
    }
    void TearDown() override { CoUninitialize(); }

    DownloadRun::Start Number(const char* number, const char* kind, const char* bare)
    {
        DownloadRun::Start s;
        s.number = number;
        s.kindCode = kind;
        s.bareNumber = bare;
        s.saveFolder = m_save;
        return s;
    }

    TempDir m_dir;
    CString m_save;
};

TEST_F(ShippedRecipeJobTest, TheTypedKindChoosesAmongThePublicationsOfTheNumber)
{
    {
        DownloadRun run;
        const JobOutcome& outcome = run.Run(Number("EP1000000", "B1", "1000000"));
        ASSERT_EQ(outcome.success, 1);
        EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentTitle"), "Apparatus for testing recipes");
        EXPECT_EQ(Attribute(outcome.record, "/Document", "Name"), "EP1000000B1");
    }
    EXPECT_EQ(OpsRequests(), (std::vector<CString>{"search", "publication/docdb/EP.1000000.B1/biblio",
                                                   "publication/docdb/EP.1000000.B1/images",
                                                   "images/EP/1000000/B1/fullimage.tiff",
                                                   "images/EP/1000000/B1/fullimage.tiff",
                                                   "images/EP/1000000/B1/fullimage.tiff",
                                                   "images/EP/1000000/B1/fullimage.tiff",
                                                   "images/EP/1000000/B1/fullimage.tiff",
                                                   "images/EP/1000000/B1/fullimage.tiff"}));

    FixtureReset();
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("EP1000000", "", "1000000"));
    ASSERT_EQ(outcome.success, 1);
    EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentTitle"), "Apparatus for testing fetchers");
    EXPECT_EQ(OpsRequests(), (std::vector<CString>{"search", "publication/docdb/EP.1000000.A1/biblio",
                                                   "publication/docdb/EP.1000000.A1/images",
                                                   "images/EP/1000000/A1/fullimage.tiff",
                                                   "images/EP/1000000/A1/fullimage.tiff",
                                                   "images/EP/1000000/A1/fullimage.tiff"}));
    EXPECT_EQ(FixtureLog("q=pn%3DEP1000000").size(), 1u);
}

// US patents have had eight digits since number 10,000,000: such a number is a patent's,
// not an application's.
TEST_F(ShippedRecipeJobTest, AUsPatentOfEightDigitsIsFetchedAsAPatent)
{
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("US11230456", "", "11230456"));
    ASSERT_EQ(outcome.success, 1);
    EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentTitle"), "Foldable crate with hinged walls");
    EXPECT_EQ(FixtureLog("q=pn%3DUS11230456").size(), 1u);
}

// Every search location downloads its rows with a source of the recipe, and a row's number,
// as OPS writes it with its kind, gives that publication.
TEST_F(ShippedRecipeJobTest, SearchResultsDownloadWithTheirLocationsTarget)
{
    CFileCrypt crypt;
    CString text;
    ASSERT_EQ(crypt.ReadEncryptedFile(GetAppDirectory() + "\\Download.cfg", text), 1);
    IXMLDOMDocument2Ptr recipe = CreateDomDocument();
    ASSERT_EQ(recipe->loadXML(_bstr_t(text)), VARIANT_TRUE);
    std::vector<CString> targets;
    for (IXMLDOMNodePtr location : SelectNodes(recipe, L"/ParsingInformation/SearchLocation")) {
        CString target;
        ASSERT_TRUE(GetXmlAttribute(location, "TargetUID", target));
        EXPECT_TRUE(recipe->selectSingleNode(_bstr_t("/ParsingInformation/DownloadLocation[@UID='" + target + "']")))
            << target;
        targets.push_back(target);
    }
    ASSERT_EQ(targets.size(), 3u);

    const struct
    {
        const char* number;
        const char* kind;
        const char* bare;
        const char* target;
        const char* title;
    } rows[] = {
        {"US7123456", "B2", "7123456", targets[0], "Widget tray with adjustable dividers"},
        {"US2005123456", "A1", "2005123456", targets[1], "Shelf-mounted sensor for counting widgets"},
        {"EP1000000", "B1", "1000000", targets[2], "Apparatus for testing recipes"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.number);
        DownloadRun run;
        DownloadRun::Start start = Number(row.number, row.kind, row.bare);
        start.locationUID = row.target;
        const JobOutcome& outcome = run.Run(start);
        ASSERT_EQ(outcome.success, 1);
        EXPECT_EQ(Attribute(outcome.record, "/Document", "Name"), CString(row.number) + row.kind);
        EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentTitle"), row.title);
    }
}

TEST_F(ShippedRecipeJobTest, ADocumentWithoutPageImagesIsFiledWithItsBibliographyAlone)
{
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("DE19512345", "A1", "19512345"));
    ASSERT_EQ(outcome.success, 1);
    EXPECT_EQ(OpsRequests(), (std::vector<CString>{"search", "publication/docdb/DE.19512345.A1/biblio",
                                                   "publication/docdb/DE.19512345.A1/images",
                                                   "publication/docdb/DE.19512345.A1/biblio"}));
    EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentTitle"), "Clamp for widget rails");
    EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentInventor"), "BAUER JONAS [DE]");
    EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentAssignee"), "KLEMMWERK GMBH [DE]");
    EXPECT_EQ(Attribute(outcome.record, "//CatalogItem", "FileType"), "HTML");
    EXPECT_EQ(Attribute(outcome.record, "//CatalogItem", "DownloadSourceName"), "European Patent Office (bibliography)");
    EXPECT_EQ(FilesIn(m_save + "DE19512345A1"), 1);
    EXPECT_EQ(FilesIn(m_save), 0);
}

// OPS answers UTF-8: the record holds the letters of the title, the inventors and the
// applicant in the program's code page (1252 in the test prefix), one character each; a letter
// the code page lacks is its nearest letter (L for L with stroke). The summary page written
// for the record says the same.
TEST_F(ShippedRecipeJobTest, LettersBeyondAsciiAreFiledAsTheCodePageWritesThem)
{
    ASSERT_EQ(1252u, GetACP()) << "the expected texts are those of code page 1252";
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("EP2500000", "B1", "2500000"));
    ASSERT_EQ(outcome.success, 1);
    EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentTitle"), "Dispenser for M\xFCller-Hinton agar plates");
    EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentInventor"),
              "M\xDCLLER J\xDCRGEN [DE]; LEF\xC8VRE C\xC9LINE [FR]; LUKASIEWICZ PIOTR [PL]");
    EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentAssignee"), "SOCI\xC9T\xC9 DES G\xC9LOSES SA [FR]");
    const std::string html = FileText(Attribute(outcome.record, "//CatalogItem[@FileType='HTML']", "FilePath"));
    EXPECT_NE(html.find("<h1>Dispenser for M\xFCller-Hinton agar plates</h1>"), std::string::npos) << html;
    EXPECT_NE(html.find("<p>Applicants: SOCI\xC9T\xC9 DES G\xC9LOSES SA [FR]</p>"), std::string::npos) << html;
}

// Each fault comes at another request of the full source. None may be taken for a page: the
// document fails whole, leaves nothing behind, and the bibliography source, which the full
// source heard no "no page images" from, files nothing either.
TEST_F(ShippedRecipeJobTest, FaultAnswersFailTheDocumentAndNoneOfThemBecomesItsData)
{
    const CString biblio = Published("publication/docdb/EP.1234567.B1/biblio");
    const CString images = Published("publication/docdb/EP.1234567.B1/images");
    struct Case
    {
        const char* what;
        const CString refusedPath;  // refused twice: the request and the fetcher's resend
        std::vector<CString> requests;
    };
    const Case cases[] = {
        {"quota refused for the bibliography", biblio,
         {"search", "publication/docdb/EP.1234567.B1/biblio", "publication/docdb/EP.1234567.B1/biblio",
          "publication/docdb/EP.1234567.B1/biblio"}},
        {"quota refused for the images inquiry", images,
         {"search", "publication/docdb/EP.1234567.B1/biblio", "publication/docdb/EP.1234567.B1/images",
          "publication/docdb/EP.1234567.B1/images", "publication/docdb/EP.1234567.B1/biblio"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FixtureReset();
        FixtureRefuseQuota(2, c.refusedPath);
        DownloadRun run;
        const JobOutcome& outcome = run.Run(Number("EP1234567", "B1", "1234567"));
        EXPECT_EQ(outcome.success, 0);
        EXPECT_EQ(OpsRequests(), c.requests);
        EXPECT_FALSE(FileExists(m_save + "EP1234567B1"));
    }

    // A page image refused at every one of its attempts fails the full source, and the
    // bibliography source, which OPS holds page images for, files nothing either: the
    // document is not filed without its page.
    FixtureReset();
    FixtureRefuseQuota(22, Published("images/EP/1234567/B1/fullimage.tiff"));
    {
        DownloadRun run;
        const JobOutcome& outcome = run.Run(Number("EP1234567", "B1", "1234567"));
        EXPECT_EQ(outcome.success, 0);
        std::vector<CString> requests = {"search", "publication/docdb/EP.1234567.B1/biblio",
                                         "publication/docdb/EP.1234567.B1/images"};
        requests.insert(requests.end(), 22, "images/EP/1234567/B1/fullimage.tiff");
        requests.push_back("publication/docdb/EP.1234567.B1/biblio");  // fetched, refused to file
        EXPECT_EQ(OpsRequests(), requests);
        EXPECT_FALSE(FileExists(m_save + "EP1234567B1"));
    }

    // The token expired and its renewal is refused: the resend meets the same fault.
    FixtureReset();
    FixtureExpireTokens();
    FixturePlan("/ops/3.2/auth/accesstoken", "error=temporarily_unavailable");
    {
        DownloadRun run;
        const JobOutcome& outcome = run.Run(Number("EP1234567", "B1", "1234567"));
        EXPECT_EQ(outcome.success, 0);
        EXPECT_EQ(OpsRequests(), (std::vector<CString>{"search", "token", "search"}));
        EXPECT_FALSE(FileExists(m_save + "EP1234567B1"));
    }

    // The next renewal succeeds and the document comes whole.
    FixtureReset();
    DownloadRun run;
    const JobOutcome& outcome = run.Run(Number("EP1234567", "B1", "1234567"));
    ASSERT_EQ(outcome.success, 1);
    EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentTitle"), "Lithium battery separator");
    EXPECT_EQ(OpsRequests().front(), "search");
    EXPECT_EQ(OpsRequests()[1], "token");
    EXPECT_EQ(FixtureLog("fullimage.tiff").size(), 5u);
}

// A token renewal refused for its keys fails the document with the reason the queue then
// tells: the keys are missing (the program's own were sent) or refused. The refused keys are
// not sent again for the next document.
TEST_F(ShippedRecipeJobTest, KeysTheTokenEndpointRefusesFailTheDocumentWithThatReason)
{
    for (const KeyRefusal& refusal : KeyRefusals()) {
        SCOPED_TRACE(refusal.what);
        FixtureExpireTokens();
        RefusedKeys refused(refusal);
        size_t tokenRequests = 0;
        for (int document = 1; document <= 2; ++document) {
            SCOPED_TRACE(document);
            DownloadRun run;
            const DWORD start = GetTickCount();
            const JobOutcome& outcome = run.Run(Number("EP1234567", "B1", "1234567"));
            std::printf("FIGURE document %d with %s failed after %lu ms\n", document, refusal.what,
                        static_cast<unsigned long>(GetTickCount() - start));
            EXPECT_EQ(outcome.success, 0);
            EXPECT_EQ(run.Thread()->m_nJobFault, CPatentThread::JobFaultKeys);
            EXPECT_EQ(run.Thread()->m_strJobFault, COpsTokenCache::KeyFaultText(refusal.fault));
            EXPECT_FALSE(FileExists(m_save + "EP1234567B1"));
            const std::vector<CString> requests = OpsRequests();
            const size_t tokens = static_cast<size_t>(std::count(requests.begin(), requests.end(), CString("token")));
            if (document == 1)
                EXPECT_GE(tokens, 1u);
            else
                EXPECT_EQ(tokens, tokenRequests) << "the refused keys are not sent again";
            tokenRequests = tokens;
        }
    }
    // Keys taken again: an unknown number fails for its own reason, not for the keys.
    FixtureReset();
    {
        DownloadRun run;
        const JobOutcome& outcome = run.Run(Number("EP9999999", "B1", "9999999"));
        EXPECT_EQ(outcome.success, 0);
        EXPECT_EQ(run.Thread()->m_nJobFault, CPatentThread::JobFaultNone);
    }
}

// The document as the real OPS answers it (its recorded biblio, images inquiry and pages): the
// English title, which stands last of three; the epodoc names, whose EN SPACE before the
// country becomes a blank; eighteen A4 pages. Its token expires twice among its pages and is
// renewed each time; a renewal the token endpoint refuses fails the page and the document.
TEST_F(ShippedRecipeJobTest, TheRecordedDocumentFilesWholeWhileItsTokenExpiresTwice)
{
    const CString page = "images/EP/2400812/A1/fullimage.tiff";
    FixtureExpireTokensAfter(6, 5);
    {
        DownloadRun run;
        const JobOutcome& outcome = run.Run(Number("EP2400812", "A1", "2400812"));
        ASSERT_EQ(outcome.success, 1);
        EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentTitle"), "BLUETOOTH NETWORKING");
        EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentInventor"),
                  "HERRALA SAMI [FI]; KYLMAENEN JARI [FI]; NIEMI JAAKKO [FI]");
        EXPECT_EQ(Attribute(outcome.record, "/Document", "DocumentAssignee"), "9SOLUTIONS OY [FI]");
        const CString pdf = Attribute(outcome.record, "//CatalogItem[@FileType='PDF']", "FilePath");
        EXPECT_EQ(MediaBoxes(FileText(pdf)), std::vector<CString>(18, "595x842")) << pdf.GetString();
    }
    std::vector<CString> requests = {"search", "publication/docdb/EP.2400812.A1/biblio",
                                     "publication/docdb/EP.2400812.A1/images"};
    requests.insert(requests.end(), 4, page);   // pages 1 to 3, page 4 refused
    requests.push_back("token");
    requests.insert(requests.end(), 6, page);   // pages 4 to 8, page 9 refused
    requests.push_back("token");
    requests.insert(requests.end(), 10, page);  // pages 9 to 18
    EXPECT_EQ(OpsRequests(), requests);

    FixtureReset();
    FixtureExpireTokensAfter(6);
    FixturePlan("/ops/3.2/auth/accesstoken", "error=temporarily_unavailable");
    {
        DownloadRun run;
        const JobOutcome& outcome = run.Run(Number("EP2400812", "A1", "2400812"));
        EXPECT_EQ(outcome.success, 0);
    }
    // The refused page once before the renewal and at each of its 22 attempts after it.
    EXPECT_EQ(FixtureLog((CString(kPublished) + page + "?Range=4").GetString()).size(), 23u);
    EXPECT_TRUE(FixtureLog((CString(kPublished) + page + "?Range=5").GetString()).empty());
    EXPECT_FALSE(FileExists(m_save + "EP2400812A1"));
}

} // namespace
