// The download thread's number parsing and its recipe interpreter, driven one operation at a
// time on a thread object that is never started: placeholders, step conditions, extraction
// rules, key runs and the WriteDocument step.
#include "PatentThread.h"

#include "ServiceHosts.h"
#include "StepXmlTest.h"
#include "TestSupport.h"
#include "TraceCapture.h"
#include "XmlHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

class InterpreterTest : public StepXmlTest
{
protected:
    CString Var(const char* name)
    {
        CString value;
        return m_thread.m_mapVariables.Lookup(name, value) ? value : CString("<none>");
    }

    CPatentThread m_thread;
};

// ------------------------------------------------------------------ number parsing

struct NumberCase
{
    const char* number;
    const char* kind;
    bool fileWrapper;
    const char* country;
    const char* documentNumber;
    int application;
    const char* folder;  // below the save folder; "" for none
};

TEST(ParseDocumentNumber, CountryNumberClassAndFolder)
{
    const NumberCase cases[] = {
        {"US7654321", "", false, "US", "7654321", 0, "US7654321"},
        {"US20050123456", "A1", false, "US", "20050123456", 1, "US20050123456A1"},
        {"us 7,654,321", "B2", false, "US", "7654321", 0, "US7654321B2"},
        {"EP 1,234,567", "B1", false, "EP", "1234567", 0, "EP1234567B1"},
        {"EP20050123", "", false, "EP", "20050123", 1, "EP20050123"},
        {"1234567", "", false, "US", "1234567", 0, "1234567"},
        // Eight digits are a US patent of today, not an application.
        {"12345678", "", false, "US", "12345678", 0, "12345678"},
        {"US11234567", "B2", false, "US", "11234567", 0, "US11234567B2"},
        {"US123456789", "", false, "US", "123456789", 1, "US123456789"},
        {"wo2005123456", "", false, "WO", "2005123456", 1, "WO2005123456"},
        {"D1234567", "", false, "US", "D1234567", 0, "D1234567"},
        {"US10/987654", "", false, "US", "10/987654", 1, "US10987654"},
        {"PCT/US2005/012345", "", false, "US", "2005/012345", 1, "PCTUS2005012345"},
        {"US7654321", "", true, "", "7654321", 0, "FWUS7654321"},
        // Names from typed or toolbar text never lead out of the save folder.
        {"US../../x", "", false, "US", "../../X", 0, "US....X"},
        {"US7654321", "B2\\..\\", false, "US", "7654321", 0, "US7654321B2"},
        {"US1<2>:3|", "", false, "US", "1<2>:3|", 0, "US123"},
        {"..", "", false, "US", "..", 0, ""},
        {"/\\", "", false, "US", "/\\", 0, ""},
        {"CON", "", false, "CO", "N", 0, ""},
        // The saved reports live in the save folder's "Reports": never a document's folder.
        {"reports", "", false, "REPORT", "S", 0, ""},
    };
    for (const NumberCase& c : cases) {
        CPatentThread thread;
        thread.m_strTempFolderSlash = "C:\\Patent Downloads\\";
        thread.m_strKindCode = c.kind;
        thread.m_bFileWrapperMode = c.fileWrapper;
        thread.ParseDocumentNumber(c.number);
        SCOPED_TRACE(c.number);
        EXPECT_EQ(thread.m_strEnteredNumber, c.number);
        EXPECT_EQ(thread.m_strWrapperNumber, c.number);
        EXPECT_EQ(thread.m_strCountryCode, c.country);
        EXPECT_EQ(thread.m_strDocumentNumber, c.documentNumber);
        EXPECT_EQ(thread.m_nApplication, c.application);
        if (*c.folder) {
            EXPECT_EQ(thread.m_strTempFolder, CString("C:\\Patent Downloads\\") + c.folder);
            EXPECT_EQ(thread.m_strTempFolderSlash, CString("C:\\Patent Downloads\\") + c.folder + "\\");
        } else {
            EXPECT_EQ(thread.m_strTempFolder, "");
            EXPECT_EQ(thread.m_strTempFolderSlash, "");
        }
    }
}

// ------------------------------------------------------------------ placeholders

TEST(ReplaceVariables, FilledOnceInMapOrderUnknownOnesLeft)
{
    CPatentThread thread;
    CMapStringToString& vars = thread.m_mapVariables;
    vars.SetAt("A", "[D]");
    vars.SetAt("B", "[C]");
    vars.SetAt("C", "c");
    vars.SetAt("D", "d");
    // The map's order for these keys: D (bucket 0), A (14), B (15), C (16).
    std::vector<CString> order;
    for (POSITION pos = vars.GetStartPosition(); pos;) {
        CString key, value;
        vars.GetNextAssoc(pos, key, value);
        order.push_back(key);
    }
    ASSERT_EQ(order, (std::vector<CString>{"D", "A", "B", "C"}));

    // [D] arrives with A's value after D's turn and stays; [C] arrives before C's turn.
    EXPECT_EQ(thread.ReplaceVariables("[A]|[B]|[A]|[UNKNOWN]|[a]"), "[D]|c|[D]|[UNKNOWN]|[a]");
    EXPECT_EQ(thread.ReplaceVariables("[D][D]"), "dd");
}

TEST(ReplaceVariables, EscapedFormEscapesOnlyBracketsFullStopsParenthesesAndPlus)
{
    CPatentThread thread;
    thread.m_mapVariables.SetAt("V", "a[1].(2)+3*?$^|\\");
    EXPECT_EQ(thread.ReplaceVariablesEscaped("x[V]y"), "xa\\[1\\]\\.\\(2\\)\\+3*?$^|\\y");
    EXPECT_EQ(thread.ReplaceVariables("x[V]y"), "xa[1].(2)+3*?$^|\\y");
}

// ------------------------------------------------------------------ conditions

TEST_F(InterpreterTest, ConditionsAllHoldForTheStepToRun)
{
    m_thread.m_mapVariables.SetAt("CC", "US");
    m_thread.m_mapVariables.SetAt("DOT", "1.5");
    struct
    {
        const char* step;
        int runs;
    } cases[] = {
        {"<Step/>", 1},
        {"<Step><Condition Target='anything'></Condition></Step>", 1},
        {"<Step><Condition Target=''></Condition></Step>", 1},
        {"<Step><Condition Target='[CC]'>^us$</Condition></Step>", 1},
        {"<Step><Condition Target='xx[CC]yy'>US</Condition></Step>", 1},
        {"<Step><Condition Target='[CC]'>^EP$</Condition></Step>", 0},
        {"<Step><Condition Target='[CC]'>^EP$</Condition><Condition Target='[CC]'>US</Condition></Step>", 0},
        {"<Step><Condition Target='[CC]'>US</Condition><Condition Target='[CC]'>^EP$</Condition></Step>", 0},
        // A value's full stop matches any character in a condition.
        {"<Step><Condition Target='version 1x5'>^version [DOT]$</Condition></Step>", 1},
        // A pattern that does not compile matches nothing.
        {"<Step><Condition Target='(('>((</Condition></Step>", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_thread.CheckCondition(Step(c.step)), c.runs) << c.step;
}

TEST_F(InterpreterTest, FatalConditionFoundInThePageFailsIt)
{
    m_thread.m_mapVariables.SetAt("WORD", "missing");
    const CString page = "<p>The document is Missing here.</p>";
    EXPECT_EQ(m_thread.CheckFatalCondition(page, Step("<Step/>")), 1);
    EXPECT_EQ(m_thread.CheckFatalCondition(page, Step("<Step><FatalCondition>absent</FatalCondition></Step>")), 1);
    EXPECT_EQ(m_thread.CheckFatalCondition(
                  page, Step("<Step><FatalCondition>absent</FatalCondition><FatalCondition>is [WORD]</FatalCondition></Step>")),
              0);
}

// ------------------------------------------------------------------ extraction

TEST_F(InterpreterTest, ExtractionRulesSetTheirVariables)
{
    const CString page = "<b>Ann</b> <b>Bob</b> version 1x5 and version 1.5 final; total 7";
    m_thread.m_mapVariables.SetAt("DOT", "1.5");
    m_thread.m_mapVariables.SetAt("SOURCE", "alpha-42-beta");
    IXMLDOMNodePtr step = Step(
        "<Step>"
        "<Extract Name='FIRST'>&lt;b&gt;(\\w+)&lt;/b&gt;</Extract>"
        "<Extract Name='NOGROUP'>version</Extract>"
        "<Extract Name='ALL' MultiMatch='tRuE'>&lt;b&gt;(\\w+)&lt;/b&gt;</Extract>"
        "<Extract Name='NOTMULTI' MultiMatch='yes'>&lt;b&gt;(\\w+)&lt;/b&gt;</Extract>"
        "<Extract Name='FROMVAR' From='[SOURCE]'>-(\\d+)-</Extract>"
        "<Extract Name='FROMTEXT' From='key=value'>=(\\w+)</Extract>"
        "<Extract Name='ESCAPED'>(version [DOT] \\w+)</Extract>"
        "<Extract Name='NOTFOUND'>absent (\\w+)</Extract>"
        "<Extract Fatal='1'>absent</Extract>"
        "<Extract Name='LATER'>(Ann)</Extract>"
        "<Extract Name='LATER'>(Bob)</Extract>"
        "<Extract Name='EMPTIED'>(Ann)</Extract>"
        "<Extract Name='EMPTIED'>(Zed)</Extract>"
        "<Extract Name='NOTFATAL' Fatal='true'>absent</Extract>"
        "<Extract Name='RESULTS'>total (\\d+)</Extract>"
        "</Step>");
    ASSERT_EQ(m_thread.ExtractValues(step, page), 1);
    EXPECT_EQ(Var("FIRST"), "Ann");
    EXPECT_EQ(Var("NOGROUP"), "");
    EXPECT_EQ(Var("ALL"), "<b>Ann</b><b>Bob</b>");
    EXPECT_EQ(Var("NOTMULTI"), "Ann");
    EXPECT_EQ(Var("FROMVAR"), "42");
    EXPECT_EQ(Var("FROMTEXT"), "value");
    EXPECT_EQ(Var("ESCAPED"), "version 1.5 final");
    EXPECT_EQ(Var("NOTFOUND"), "");
    EXPECT_EQ(Var("LATER"), "Bob");
    EXPECT_EQ(Var("EMPTIED"), "");
    EXPECT_EQ(Var("NOTFATAL"), "");
    EXPECT_EQ(Var("RESULTS"), "7");
}

TEST_F(InterpreterTest, ExtractionFailsTheStepOnFatalMissesNoResultsAndServiceErrors)
{
    struct
    {
        const char* page;
        const char* step;
        int result;
    } cases[] = {
        {"nothing here", "<Step/>", 1},
        {"nothing here", "<Step><Extract Name='X' Fatal='1'>absent</Extract></Step>", 0},
        {"results: 0", "<Step><Extract Name='RESULTS'>results: (\\d+)</Extract></Step>", 0},
        {"results: 00", "<Step><Extract Name='RESULTS'>results: (\\d+)</Extract></Step>", 1},
        {"results: 0", "<Step><Extract Name='COUNT'>results: (\\d+)</Extract></Step>", 1},
        {"If you believe that this ERROR is caused by a fault of the application, tell us", "<Step/>", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_thread.ExtractValues(Step(c.step), c.page), c.result) << c.page << " " << c.step;
}

TEST_F(InterpreterTest, ARuleWhoseSearchIsGivenUpFindsNothingAndIsTraced)
{
    TraceCapture trace;
    const CString page(std::string(40, 'a'));
    IXMLDOMNodePtr step = Step("<Step><Extract Name='HARD'>(a+)+b</Extract><Extract Name='EASY'>(a{3})</Extract></Step>");
    EXPECT_EQ(m_thread.ExtractValues(step, page), 1);
    EXPECT_EQ(Var("HARD"), "");
    EXPECT_EQ(Var("EASY"), "aaa");
    EXPECT_EQ(m_thread.ExtractValues(Step("<Step><Extract Name='HARD' Fatal='1'>(a+)+b</Extract></Step>"), page), 0);
    const std::vector<CString>& lines = TraceCapture::Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Find("RegEx::Search()-"), 0) << lines[0];
    EXPECT_GE(lines[0].Find("(a+)+b"), 0);
}

TEST_F(InterpreterTest, ViewerKeyComesFromTheViewerLinkWhenAKindCodeIsSet)
{
    const CString link = "/espacenet/bnsviewer?CY=ep&LG=en&DB=EPD&PN=EP1000000&ID=";
    const CString page = CString(std::string(100, '.')) + "<a href=\"" + link +
                         "XX1000000B1+I+\" TARGET = \"bnsbaseviewer\">B1</A> ID=fallback";
    IXMLDOMNodePtr step = Step("<Step><Extract Name='IDKEY'>ID=(\\w+)</Extract></Step>");
    m_thread.m_strEnteredNumber = "EP1000000";

    // Without a kind code the rule is an ordinary one.
    ASSERT_EQ(m_thread.ExtractValues(step, page), 1);
    EXPECT_EQ(Var("IDKEY"), "XX1000000B1");

    m_thread.m_strKindCode = "B1";
    ASSERT_EQ(m_thread.ExtractValues(step, page), 1);
    EXPECT_EQ(Var("IDKEY"), "EP1000000B1+I+");

    // A marker of another kind code: back to the ordinary rule.
    m_thread.m_strKindCode = "A2";
    ASSERT_EQ(m_thread.ExtractValues(step, page), 1);
    EXPECT_EQ(Var("IDKEY"), "XX1000000B1");
}

// ------------------------------------------------------------------ key runs

TEST_F(InterpreterTest, ImmediateAndDelayedKeyRuns)
{
    m_thread.m_mapVariables.SetAt("N", "2");
    IXMLDOMNodePtr step = Step(
        "<Step>"
        "<HardCodeKey Name='NOW'>US4567</HardCodeKey>"
        "<HardCodeKey Name='LATER' DelayProcess='Yes'>[NOW]-later</HardCodeKey>"
        "<HardCodeKey Name='NOTDELAYED' DelayProcess='yes'>x</HardCodeKey>"
        "<HardCodeKey Name='TRIMMED' Function='TrimLeft' Argument='[N]'>[NOW]</HardCodeKey>"
        "<HardCodeKey Name='ENCODED' URLEncode='Yes'>a b&amp;c</HardCodeKey>"
        "<HardCodeKey Name='NOTENCODED' URLEncode='yes'>a b</HardCodeKey>"
        "<HardCodeKey Name='LINES' Function='RemoveHTML'>a&#13;&#10;&lt;br&gt;b&#10;c</HardCodeKey>"
        "<HardCodeKey Function='isUS'>no name</HardCodeKey>"
        "</Step>");
    m_thread.ApplyImmediateHardCodeKeys(step);
    EXPECT_EQ(Var("NOW"), "US4567");
    EXPECT_EQ(Var("LATER"), "<none>");
    EXPECT_EQ(Var("NOTDELAYED"), "x");
    EXPECT_EQ(Var("TRIMMED"), "4567");
    EXPECT_EQ(Var("ENCODED"), "a%20b%26c");
    EXPECT_EQ(Var("NOTENCODED"), "a b");
    EXPECT_EQ(Var("LINES"), "abc");
    EXPECT_EQ(m_thread.m_mapVariables.GetCount(), 7);  // N and six of the named keys

    m_thread.m_mapVariables.SetAt("NOW", "changed");
    m_thread.m_mapVariables.SetAt("NOTDELAYED", "kept");
    m_thread.ApplyHardCodeKeys(step, true);
    EXPECT_EQ(Var("LATER"), "changed-later");
    EXPECT_EQ(Var("NOW"), "changed");
    EXPECT_EQ(Var("NOTDELAYED"), "kept");
}

// ------------------------------------------------------------------ WriteDocument

class WriteDocumentTest : public InterpreterTest
{
protected:
    void SetUp() override
    {
        InterpreterTest::SetUp();
        m_thread.m_strTempFolderSlash = m_dir.Path() + "\\";
        m_thread.m_nDownloadID = 1234;
        m_thread.m_mapVariables.SetAt("NUMBER", "7654321");
    }

    std::string Contents(const CString& name)
    {
        std::string bytes;
        EXPECT_TRUE(ReadBytes(m_dir.File(name), bytes)) << name.GetString();
        return bytes;
    }

    TempDir m_dir;
};

TEST_F(WriteDocumentTest, DefaultNamesCountTheFilesOfTheThread)
{
    IXMLDOMNodePtr step = Step("<Step OutputType='txt'><SourceTemplate>no [NUMBER]</SourceTemplate></Step>");
    EXPECT_EQ(m_thread.WriteDocumentStep(step, "Source A"), 1);
    EXPECT_EQ(m_thread.WriteDocumentStep(step, "Source B"), 1);
    EXPECT_EQ(m_thread.m_nThreadCounter, 2);
    EXPECT_EQ(Contents("1234_Document0.txt"), "no 7654321");
    EXPECT_EQ(Contents("1234_Document1.txt"), "no 7654321");

    ASSERT_EQ(m_thread.m_CatalogFiles.GetSize(), 2);
    const CatalogFile* second = m_thread.m_CatalogFiles[1];
    EXPECT_EQ(second->m_strDownloadSourceName, "Source B");
    EXPECT_EQ(second->m_strFilePath, m_dir.File("1234_Document1.txt"));
    EXPECT_EQ(second->m_nFileSize, 10);
    EXPECT_EQ(second->m_strFileType, "txt");
}

TEST_F(WriteDocumentTest, GivenMasksAreFilledAndLoseADoubledUS)
{
    struct
    {
        const char* mask;
        const char* file;
    } cases[] = {
        {"USUS[NUMBER].html", "US7654321.html"},
        {"USU.txt", "USU.txt"},
        {"USUS", "US"},
        {"[THREADID]-[THREADCOUNTER]-%s.txt", "1234-3-%s.txt"},
    };
    for (const auto& c : cases) {
        CString xml;
        xml.Format("<Step OutputType='txt' OutputFileMask='%s'><SourceTemplate>x</SourceTemplate></Step>", c.mask);
        EXPECT_EQ(m_thread.WriteDocumentStep(Step(xml), "S"), 1) << c.mask;
        EXPECT_TRUE(FileExists(m_dir.File(c.file))) << c.file;
    }
}

TEST_F(WriteDocumentTest, HtmlDocumentsGetAbsoluteViewerLinks)
{
    IXMLDOMNodePtr step = Step(
        "<Step OutputType='HTML' OutputFileMask='v.html'><SourceTemplate><![CDATA[<a href=\"/espacenet/bnsviewer?A=1\">"
        "</a><a href=\"/espacenet/bnsviewer?B=2\"></a>]]></SourceTemplate></Step>");
    ASSERT_EQ(m_thread.WriteDocumentStep(step, "S"), 1);
    const std::string viewer = GetViewerBaseUrl().str() + "/espacenet/bnsviewer?";
    EXPECT_EQ(Contents("v.html"), "<a href=\"" + viewer + "A=1\"></a><a href=\"" + viewer + "B=2\"></a>");

    // Another type keeps the paths as they are.
    step = Step("<Step OutputType='htm' OutputFileMask='v.htm'><SourceTemplate>/espacenet/bnsviewer?A=1</SourceTemplate></Step>");
    ASSERT_EQ(m_thread.WriteDocumentStep(step, "S"), 1);
    EXPECT_EQ(Contents("v.htm"), "/espacenet/bnsviewer?A=1");
}

TEST_F(WriteDocumentTest, ARewriteReplacesTheWholeFile)
{
    m_thread.m_mapVariables.SetAt("TEXT", "a long first text");
    IXMLDOMNodePtr step = Step("<Step OutputType='txt' OutputFileMask='same.txt'><SourceTemplate>[TEXT]</SourceTemplate></Step>");
    ASSERT_EQ(m_thread.WriteDocumentStep(step, "S"), 1);
    m_thread.m_mapVariables.SetAt("TEXT", "short");
    ASSERT_EQ(m_thread.WriteDocumentStep(step, "S"), 1);
    EXPECT_EQ(Contents("same.txt"), "short");
}

TEST_F(WriteDocumentTest, MissingPartsWriteNothing)
{
    EXPECT_EQ(m_thread.WriteDocumentStep(Step("<Step><SourceTemplate>x</SourceTemplate></Step>"), "S"), 0);
    EXPECT_EQ(m_thread.WriteDocumentStep(Step("<Step OutputType='txt'/>"), "S"), 0);
    EXPECT_EQ(m_thread.m_nThreadCounter, 0);
    EXPECT_EQ(FilesIn(m_dir.Path()), 0);
    EXPECT_TRUE(m_thread.m_CatalogFiles.IsEmpty());
}

TEST_F(WriteDocumentTest, NamesFromPagesStayInsideTheDocumentFolder)
{
    struct
    {
        const char* value;
        const char* file;  // "" when the name is refused
    } cases[] = {
        {"..\\..\\escape.txt", "....escape.txt"},
        {"../../escape.txt", "....escape.txt"},
        {"C:\\Windows\\win.ini", "CWindowswin.ini"},
        {"a\r\nb\t.txt", "ab.txt"},
        {"..", ""},
        {"...", ""},
        {"", ""},
        {"CON", ""},
        {"nul.txt", ""},
    };
    for (const auto& c : cases) {
        TempDir dir;
        CString slash = dir.Path() + "\\doc\\";
        ASSERT_TRUE(CreateDirectoryA(slash, nullptr));
        m_thread.m_strTempFolderSlash = slash;
        m_thread.ClearCatalogFiles();
        m_thread.m_mapVariables.SetAt("NAME", c.value);
        const int counter = m_thread.m_nThreadCounter;
        IXMLDOMNodePtr step = Step("<Step OutputType='txt' OutputFileMask='[NAME]'><SourceTemplate>x</SourceTemplate></Step>");
        const int written = m_thread.WriteDocumentStep(step, "S");
        SCOPED_TRACE(c.value);
        EXPECT_EQ(m_thread.m_nThreadCounter, counter + 1);
        EXPECT_EQ(FilesIn(dir.Path()), 0);
        if (*c.file) {
            EXPECT_EQ(written, 1);
            EXPECT_EQ(FilesIn(slash), 1);
            EXPECT_TRUE(FileExists(slash + c.file));
        } else {
            EXPECT_EQ(written, 0);
            EXPECT_EQ(FilesIn(slash), 0);
            EXPECT_TRUE(m_thread.m_CatalogFiles.IsEmpty());
        }
    }
}

} // namespace
