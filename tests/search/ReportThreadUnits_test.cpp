// The report thread's own pieces, on a thread object that is never started: its number
// parsing, its key functions and its record text.
#include "ReportThread.h"
#include "XmlHelpers.h"

#include <gtest/gtest.h>

TEST(ReportThreadUnits, NumberParsing)
{
    const struct {
        const char* number;
        const char* country;
        const char* document;
        int application;
        const char* folder;  // below the run folder
        const char* kind = "";
    } cases[] = {
        {"us 6,123,456", "US", "6123456", 0, "US6123456"},
        {"RE12345", "US", "RE12345", 0, "USRE12345"},
        {"PP12345", "US", "PP12345", 0, "USPP12345"},
        {"D1234", "US", "D001234", 0, "D001234"},
        {"612345", "US", "0612345", 0, "0612345"},
        {"612345/7", "US", "612345/7", 1, "6123457"},
        {"EP1000000", "EP", "1000000", 0, "EP1000000"},
        {"US20050123456", "US", "20050123456", 1, "US20050123456"},
        {"wo2004/012345", "WO", "2004/012345", 1, "WO2004012345"},
        // Rows of a search carry the kind of the publication found.
        {"US7123456B2", "US", "7123456", 0, "US7123456B2", "B2"},
        {"US11234567B2", "US", "11234567", 0, "US11234567B2", "B2"},
        {"US6000000A", "US", "6000000", 0, "US6000000A", "A"},
        {"US2005123456A1", "US", "2005123456", 1, "US2005123456A1", "A1"},
        {"USD123456S", "US", "D123456", 0, "USD123456S", "S"},
    };
    for (const auto& c : cases) {
        CReportThread thread;
        thread.m_strFolderSlash = "C:\\Run\\";
        thread.ParseDocumentNumber(c.number, "A title");
        EXPECT_EQ(thread.m_strCountryCode, CString(c.country)) << c.number;
        EXPECT_EQ(thread.m_strDocumentNumber, CString(c.document)) << c.number;
        EXPECT_EQ(thread.m_nApplication, c.application) << c.number;
        EXPECT_EQ(thread.m_strKindCode, CString(c.kind)) << c.number;
        EXPECT_EQ(thread.m_strDocumentFolder, "C:\\Run\\" + CString(c.folder)) << c.number;
        EXPECT_EQ(thread.m_strFolderSlash, "C:\\Run\\" + CString(c.folder) + "\\") << c.number;
        EXPECT_EQ(thread.m_strResultPath, CString(c.folder)) << c.number;
        EXPECT_EQ(thread.m_strTitle, CString("A title"));
    }
}

TEST(ReportThreadUnits, NumbersThatNameNoFileGetNoFolder)
{
    for (const char* number : {"..", "CON", "US:?"}) {
        CReportThread thread;
        thread.m_strFolderSlash = "C:\\Run\\";
        thread.ParseDocumentNumber(number, "");
        EXPECT_TRUE(thread.m_strDocumentFolder.IsEmpty() || thread.m_strDocumentFolder.Find("..") < 0) << number;
        EXPECT_EQ(thread.m_strDocumentFolder.Find(':', 2), -1) << number;
    }
}

TEST(ReportThreadUnits, KeyFunctions)
{
    const struct {
        const char* function;
        const char* value;
        const char* argument;
        const char* result;
    } cases[] = {
        {"getKC", "x&KC=B1&y=2", "", "B1"},
        {"getKC", "KC=A2", "", "A2"},
        {"getKC", "no kind here", "", "no kind here"},
        {"getDate", "p=1&date=20080101&q", "", "20080101"},
        {"getDate", "date=20080101", "", "20080101"},
        {"getDate", "none here", "", "none here"},
        {"TrimLeft", "US4567", "2", "4567"},
        {"StripKindCode", "4567B2", "", "4567"},
        {"RemoveHTML", "<b>bold</b> text", "", "bold text"},
        // Not in the report recipe's set: the value stays.
        {"isUS", "4567", "", "4567"},
        {"RemoveWhiteSpace", "a  b", "", "a  b"},
        {"FixLinkProtocol", "//host/x", "", "//host/x"},
        {"NoSuchFunction", "kept", "", "kept"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CReportThread::ApplyReportKeyFunction(c.function, c.value, c.argument), CString(c.result))
            << c.function << " " << c.value;
}

TEST(ReportThreadUnits, RecordTextHasNoFirstPageOrWrapper)
{
    CReportThread thread;
    thread.ParseDocumentNumber("EP1000000", "");
    thread.BuildDocumentXml();
    const CString& record = thread.m_strDocumentXml;
    EXPECT_EQ(record.Find("<?xml version=\"1.0\" ?>\r\n\t<Document Name=\"EP1000000\" ParentUID=\"1\" "
                          "DocumentTitle=\"[DOCUMENTTITLE]\""),
              0);
    EXPECT_EQ(record.Find("FirstPage"), -1);
    EXPECT_EQ(record.Find("Wrapper"), -1);
    EXPECT_GT(record.Find("UID=\"DOCUIDEP1000000"), 0);
    EXPECT_EQ(record.Right(25), CString("\t</XMLCatalog></Document>"));
}

TEST(ReportThreadUnits, ExtractionRules)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        IXMLDOMDocument2Ptr doc = CreateDomDocument();
        ASSERT_EQ(doc->loadXML(_bstr_t("<Step>"
                                       "<Extract Name=\"BEHINDNUL\" ReplaceNull=\"Yes\">title=(\\w+ \\w+)</Extract>"
                                       "<Extract Name=\"PLAIN\">title=(\\w+ \\w+)</Extract>"
                                       "<Extract>no name: skipped</Extract>"
                                       "<Extract Name=\"FROM\" From=\"[BEHINDNUL]\">^(\\w+)</Extract>"
                                       "</Step>")),
                  VARIANT_TRUE);
        IXMLDOMNodePtr step = doc->selectSingleNode(L"Step");
        CReportThread thread;
        const char bytes[] = "head\0title=Clamp\0rails tail";
        const CString page(bytes, static_cast<int>(sizeof bytes - 1));
        EXPECT_EQ(thread.ExtractValues(step, page), 1);
        CString value;
        EXPECT_TRUE(thread.m_mapVariables.Lookup("BEHINDNUL", value));
        EXPECT_EQ(value, CString("Clamp rails"));
        EXPECT_TRUE(thread.m_mapVariables.Lookup("PLAIN", value));
        EXPECT_EQ(value, CString(""));
        EXPECT_TRUE(thread.m_mapVariables.Lookup("FROM", value));
        EXPECT_EQ(value, CString("Clamp"));

        // The service's error page, and a fatal rule without a match, fail the step.
        EXPECT_EQ(thread.ExtractValues(step, "If you believe that this error is caused by a fault of the "
                                             "APPLICATION, try later"),
                  0);
        ASSERT_EQ(doc->loadXML(_bstr_t("<Step><Extract Name=\"X\" Fatal=\"1\">(nothing)</Extract></Step>")),
                  VARIANT_TRUE);
        EXPECT_EQ(thread.ExtractValues(doc->selectSingleNode(L"Step"), "page"), 0);
        thread.m_nCancel = 1;
        EXPECT_EQ(thread.ExtractValues(step, "title=a b"), 0);
    }
    CoUninitialize();
}
