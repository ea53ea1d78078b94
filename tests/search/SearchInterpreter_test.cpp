// The search thread's recipe interpreter, driven one operation at a time on a thread object
// that is never started: placeholders, keys, conditions, extraction, the extraction template
// and the result-set text, and the Collection step's failures before any request.
#include "SearchThread.h"

#include "StepXmlTest.h"
#include "XmlHelpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class SearchInterpreterTest : public StepXmlTest
{
protected:
    void SetUp() override
    {
        StepXmlTest::SetUp();
        // No test here may reach the network: every fetch fails at once.
        m_thread.m_bCancel = 1;
    }

    CString Var(const char* name)
    {
        CString value;
        return m_thread.m_Parameters.Lookup(name, value) ? value : CString("<none>");
    }

    void Set(const char* name, const char* value) { m_thread.m_Parameters.SetAt(name, value); }

    CSearchThread m_thread;
};

// ------------------------------------------------------------------ placeholders and keys

TEST_F(SearchInterpreterTest, PlaceholdersFilledAndEscapedForPatterns)
{
    Set("CC", "US");
    Set("V", "U.S. (1)+[x]*?");
    EXPECT_EQ(m_thread.FillPlaceholders("[CC]-[CC]/[V]/[cc]/[NONE]"), "US-US/U.S. (1)+[x]*?/[cc]/[NONE]");
    EXPECT_EQ(m_thread.FillPlaceholdersForRegex("^[V]$"), "^U\\.S\\. \\(1\\)\\+\\[x\\]*?$");
}

TEST_F(SearchInterpreterTest, KeysComputedInDocumentOrderImmediateThenDelayed)
{
    Set("SEARCHSTRING", "OR+solar cell");
    Set("RANGEEND", "200");
    IXMLDOMNodePtr step = Step(
        "<Step>"
        "<HardCodeKey Name='WORDS' Function='WIPOFIX'>[SEARCHSTRING]</HardCodeKey>"
        "<HardCodeKey Name='ENCODED' URLEncode='Yes'>a b&amp;[WORDS]</HardCodeKey>"
        "<HardCodeKey Name='LITERAL' Function='Replace' Argument='[WORDS]:x'>[WORDS] [WORDS]</HardCodeKey>"
        "<HardCodeKey Name='START' Function='CalculateStart'>[RANGEEND]</HardCodeKey>"
        "<HardCodeKey Name='PLAIN' Function='NoSuchFunction'>as [RANGEEND] is</HardCodeKey>"
        "<HardCodeKey Function='CalculateEnd'>1</HardCodeKey>"
        "<HardCodeKey Name='LATER' Function='CalculateEnd' DelayProcess='Yes'>[RANGEEND]</HardCodeKey>"
        "<HardCodeKey Name='NOTDELAYED' DelayProcess='yes'>now</HardCodeKey>"
        "</Step>");

    m_thread.RunStepKeys(step);
    EXPECT_EQ(Var("WORDS"), "solar+OR+cell");
    EXPECT_EQ(Var("ENCODED"), "a%20b%26solar%2BOR%2Bcell");
    // The argument is taken as written: no placeholder is filled in it.
    EXPECT_EQ(Var("LITERAL"), "solar+OR+cell solar+OR+cell");
    EXPECT_EQ(Var("START"), "201");
    EXPECT_EQ(Var("PLAIN"), "as 200 is");
    EXPECT_EQ(Var("NOTDELAYED"), "now");
    EXPECT_EQ(Var("LATER"), "<none>");
    EXPECT_EQ(m_thread.m_Parameters.GetCount(), 8);

    Set("RANGEEND", "300");
    Set("NOTDELAYED", "kept");
    m_thread.RunHardCodeKeys(step, 1);
    EXPECT_EQ(Var("LATER"), "400");
    EXPECT_EQ(Var("NOTDELAYED"), "kept");
    EXPECT_EQ(Var("START"), "201");
}

TEST_F(SearchInterpreterTest, MainDocumentKeyReplacesThePage)
{
    m_thread.m_strPage = "the fetched page";
    Set("PART", "part of it");
    m_thread.RunHardCodeKeys(Step("<Step><HardCodeKey Name='MAINDOCUMENT' DelayProcess='Yes'>[PART]</HardCodeKey></Step>"), 1);
    EXPECT_EQ(m_thread.m_strPage, "part of it");
    EXPECT_EQ(Var("MAINDOCUMENT"), "part of it");
}

// ------------------------------------------------------------------ conditions

TEST_F(SearchInterpreterTest, ConditionsEachStandOnTheirOwn)
{
    Set("N", "15");
    Set("TOTAL", "99");
    struct
    {
        const char* step;
        int runs;
    } cases[] = {
        {"<Step/>", 1},
        {"<Step><Condition Target='[N]'>^5</Condition></Step>", 0},
        {"<Step><Condition Target='[N]' Converse='1'>^5</Condition></Step>", 1},
        {"<Step><Condition Target='[N]' Converse='yes'>^5</Condition></Step>", 0},
        {"<Step><Condition Target='[N]'>^1</Condition></Step>", 1},
        {"<Step><Condition Target='ABC'>b</Condition></Step>", 1},
        {"<Step><Condition>.</Condition></Step>", 0},
        {"<Step><Condition Target='x'>((</Condition></Step>", 0},
        {"<Step><Condition Target='100' LessOrEqual=''>[TOTAL]</Condition></Step>", 0},
        {"<Step><Condition Target='99' LessOrEqual='no'>[TOTAL]</Condition></Step>", 1},
        {"<Step><Condition Target='[NONE]' LessOrEqual=''>0</Condition></Step>", 1},
        {"<Step><Condition Target='100' LessOrEqual='' Converse='1'>[TOTAL]</Condition></Step>", 1},
        {"<Step><Condition Target='99' LessOrEqual='' Converse='1'>[TOTAL]</Condition></Step>", 0},
        // A comparison that holds does not carry the next condition of the step.
        {"<Step><Condition Target='1' LessOrEqual=''>2</Condition><Condition Target='x'>y</Condition></Step>", 0},
        // Nor does a pattern condition carry a comparison after it.
        {"<Step><Condition Target='x'>x</Condition><Condition Target='3' LessOrEqual=''>2</Condition></Step>", 0},
        {"<Step><Condition Target='x' Converse='1'>y</Condition><Condition Target='x'>x</Condition></Step>", 1},
        {"<Step><Condition Target='x'>x</Condition><Condition>x</Condition></Step>", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_thread.CheckCondition(Step(c.step)), c.runs) << c.step;
}

TEST_F(SearchInterpreterTest, FatalConditionsEachStandOnTheirOwn)
{
    Set("WORD", "down");
    const CString page = "<h1>Service DOWN</h1>";
    struct
    {
        const char* step;
        int goesOn;
    } cases[] = {
        {"<Step/>", 1},
        {"<Step><FatalCondition>absent</FatalCondition></Step>", 1},
        {"<Step><FatalCondition>service [WORD]</FatalCondition></Step>", 0},
        {"<Step><FatalCondition Converse='1'>results</FatalCondition></Step>", 0},
        {"<Step><FatalCondition Converse='1'>Service</FatalCondition></Step>", 1},
        // A converse condition does not turn the next one round.
        {"<Step><FatalCondition Converse='1'>Service</FatalCondition><FatalCondition>absent</FatalCondition></Step>", 1},
        {"<Step><FatalCondition>absent</FatalCondition><FatalCondition>DOWN</FatalCondition></Step>", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_thread.CheckFatalCondition(Step(c.step), page), c.goesOn) << c.step;
    EXPECT_EQ(m_thread.CheckFatalCondition(Step("<Step><FatalCondition Converse='1'>x</FatalCondition></Step>"), ""), 0);
}

// ------------------------------------------------------------------ extraction

TEST_F(SearchInterpreterTest, ExtractRulesSetTheirKeys)
{
    Set("DOT", "1.5");
    Set("HTTPHEADER", "Set-Cookie: id=77");
    const char kPage[] = "version 1x5 and version 1.5 final; <b>Ann</b>\0<b>Bob</b>";
    const CString page(kPage, sizeof kPage - 1);
    IXMLDOMNodePtr step = Step(
        "<Step>"
        "<Extract Name='FIRST'>&lt;b&gt;(\\w+)&lt;/b&gt;</Extract>"
        "<Extract Name='NOGROUP'>version</Extract>"
        "<Extract Name='ESCAPED'>(version [DOT] \\w+)</Extract>"
        "<Extract Name='FROMKEY' From='[HTTPHEADER]'>id=(\\d+)</Extract>"
        "<Extract Name='FROMTEXT' From='key=value'>=(\\w+)</Extract>"
        "<Extract Name='NULLS' ReplaceNull='Yes'>Ann&lt;/b&gt; (&lt;b&gt;Bob)</Extract>"
        "<Extract Name='NULLSKEPT'>Ann&lt;/b&gt; (&lt;b&gt;Bob)</Extract>"
        "<Extract Name='NOTFOUND'>absent (\\w+)</Extract>"
        "<Extract>(version)</Extract>"
        "<Extract Name='NOTFATAL' Fatal='true'>absent</Extract>"
        "</Step>");
    ASSERT_EQ(m_thread.ExtractRows(step, page), 1);
    EXPECT_EQ(Var("FIRST"), "Ann");
    EXPECT_EQ(Var("NOGROUP"), "");
    EXPECT_EQ(Var("ESCAPED"), "version 1.5 final");
    EXPECT_EQ(Var("FROMKEY"), "77");
    EXPECT_EQ(Var("FROMTEXT"), "value");
    EXPECT_EQ(Var("NULLS"), "<b>Bob");
    EXPECT_EQ(Var("NULLSKEPT"), "");
    EXPECT_EQ(Var("NOTFOUND"), "");
    EXPECT_EQ(Var("NOTFATAL"), "");
    EXPECT_EQ(Var("RESULTTOTAL"), "<none>");

    EXPECT_EQ(m_thread.ExtractRows(Step("<Step><Extract Name='X' Fatal='1'>absent</Extract>"
                                        "<Extract Name='AFTER'>(version)</Extract></Step>"),
                                   page),
              0);
    EXPECT_EQ(Var("X"), "");
    EXPECT_EQ(Var("AFTER"), "<none>");
}

TEST_F(SearchInterpreterTest, ResultTotalFallsBackToTheListsOwnCount)
{
    struct
    {
        const char* page;
        const char* before;  // RESULTTOTAL before, null: none
        const char* total;
    } cases[] = {
        {"Approximately <STRONG>1,234</STRONG> results found", nullptr, "1,234"},
        {"<p>Approximately <STRONG>25</STRONG> of them; results found</p>", "", "25"},
        {"Approximately <STRONG>25</STRONG> results found", "7", "7"},
        {"Approximately <STRONG>25</STRONG> results", nullptr, "<none>"},
        {"approximately <strong>25</strong> results found", nullptr, "<none>"},
        {"Approximately <STRONG>25 results found", nullptr, "<none>"},
        {"</STRONG> results found Approximately <STRONG>9", nullptr, "<none>"},
        {"results found", "", ""},
    };
    for (const auto& c : cases) {
        m_thread.m_Parameters.RemoveAll();
        if (c.before)
            Set("RESULTTOTAL", c.before);
        EXPECT_EQ(m_thread.ExtractRows(Step("<Step/>"), c.page), 1);
        EXPECT_EQ(Var("RESULTTOTAL"), c.total) << c.page;
    }
}

// ------------------------------------------------------------------ extraction template

TEST_F(SearchInterpreterTest, ExtractionTemplateNeedsItsThreePartsAndNamedMatches)
{
    struct
    {
        const char* step;
        int read;
    } cases[] = {
        {"<Step><ExtractionTemplate><RowTemplate>r</RowTemplate><ExactTemplate>e</ExactTemplate>"
         "<Matches><Match Name='A'/><Match Name='B'/></Matches></ExtractionTemplate></Step>", 1},
        {"<Step><ExtractionTemplate><RowTemplate>r</RowTemplate><ExactTemplate>e</ExactTemplate>"
         "<Matches/></ExtractionTemplate></Step>", 1},
        {"<Step><ExtractionTemplate><ExactTemplate>e</ExactTemplate><Matches/></ExtractionTemplate></Step>", 0},
        {"<Step><ExtractionTemplate><RowTemplate>r</RowTemplate><Matches/></ExtractionTemplate></Step>", 0},
        {"<Step><ExtractionTemplate><RowTemplate>r</RowTemplate><ExactTemplate>e</ExactTemplate>"
         "</ExtractionTemplate></Step>", 0},
        {"<Step><ExtractionTemplate><RowTemplate>r</RowTemplate><ExactTemplate>e</ExactTemplate>"
         "<Matches><Match Name='A'/><Match/></Matches></ExtractionTemplate></Step>", 0},
        {"<Step/>", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_thread.ReadExtractionTemplate(Step(c.step)), c.read) << c.step;

    ASSERT_EQ(m_thread.ReadExtractionTemplate(Step(
                  "<Step><ExtractionTemplate><RowTemplate>&lt;tr&gt;.*?&lt;/tr&gt;</RowTemplate>"
                  "<ExactTemplate>(\\d+)</ExactTemplate><Matches RemoveHTML='Yes'><Match Name='PATNUM'/>"
                  "<Match Name='TITLE'/></Matches></ExtractionTemplate></Step>")),
              1);
    EXPECT_EQ(m_thread.m_strRowTemplate, "<tr>.*?</tr>");
    EXPECT_EQ(m_thread.m_strExactTemplate, "(\\d+)");
    ASSERT_EQ(m_thread.m_MatchNames.GetSize(), 2);
    EXPECT_EQ(m_thread.m_MatchNames[0], "PATNUM");
    EXPECT_EQ(m_thread.m_MatchNames[1], "TITLE");
    EXPECT_EQ(m_thread.m_bRemoveHtml, 1);
}

// ------------------------------------------------------------------ result sets

class ResultSetTest : public SearchInterpreterTest
{
protected:
    void UseTemplate(const char* row, const char* exact, std::vector<const char*> names, int removeHtml = 0)
    {
        m_thread.m_strRowTemplate = row;
        m_thread.m_strExactTemplate = exact;
        m_thread.m_MatchNames.RemoveAll();
        for (const char* name : names)
            m_thread.m_MatchNames.Add(name);
        m_thread.m_bRemoveHtml = removeHtml;
    }

    // The texts queued so far, oldest first, taken from the queue.
    std::vector<CString> Taken()
    {
        std::vector<CString> texts;
        CString text;
        while (m_thread.TakeResultSet(text))
            texts.push_back(text);
        return texts;
    }
};

TEST_F(ResultSetTest, RowsNumberedAcrossPagesDroppedRowsUseNoId)
{
    UseTemplate("<tr>.*?</tr>", "<td>([^<]*)</td><td>(.*?)</td>", {"PATNUM", "TITLE"}, 1);
    m_thread.m_nNextResultId = 1;
    m_thread.WriteResultSet("<TR><td>7000001&F=0</td><td>Widget <i>&amp;</i>  gadget</td></TR>"
                            "<tr><td>advert</td></tr>"
                            "<tr><td>7000002</td><td>Valve+%E9</td></tr>",
                            false);
    m_thread.WriteResultSet("<p>no rows</p>", false);
    m_thread.WriteResultSet("<tr><td>7000003</td><td></td></tr>", false);
    const std::vector<CString> texts = Taken();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0],
              "<ResultSet>\r\n"
              "\t<Result ID=\"1\">\r\n"
              "\t\t<PATNUM>7000001</PATNUM>\r\n"
              "\t\t<TITLE>Widget &amp; gadget</TITLE>\r\n"
              "\t</Result>\r\n"
              "\t<Result ID=\"2\">\r\n"
              "\t\t<PATNUM>7000002</PATNUM>\r\n"
              "\t\t<TITLE>Valve &#xE9;</TITLE>\r\n"
              "\t</Result>\r\n"
              "</ResultSet>\r\n");
    EXPECT_EQ(texts[1], "<ResultSet>\r\n</ResultSet>\r\n");
    EXPECT_EQ(texts[2],
              "<ResultSet>\r\n"
              "\t<Result ID=\"3\">\r\n"
              "\t\t<PATNUM>7000003</PATNUM>\r\n"
              "\t\t<TITLE></TITLE>\r\n"
              "\t</Result>\r\n"
              "</ResultSet>\r\n");
    EXPECT_EQ(m_thread.m_nNextResultId, 4);
}

TEST_F(ResultSetTest, GroupsAndNamesNeedNotAgree)
{
    const CString page = "<r>a|b|c</r>";
    struct
    {
        const char* exact;
        std::vector<const char*> names;
        const char* values;
    } cases[] = {
        // Groups beyond the names are left out; names beyond the groups have no value.
        {"(\\w)\\|(\\w)\\|(\\w)", {"ONE"}, "\t\t<ONE>a</ONE>\r\n"},
        {"(\\w)\\|(\\w)", {"ONE", "TWO", "THREE"}, "\t\t<ONE>a</ONE>\r\n\t\t<TWO>b</TWO>\r\n"},
        {"(\\w)\\|(x)?", {"ONE", "TWO"}, "\t\t<ONE>a</ONE>\r\n\t\t<TWO></TWO>\r\n"},
        {"a", {"ONE"}, ""},
        {"(\\w)", {}, ""},
    };
    for (const auto& c : cases) {
        UseTemplate("<r>.*?</r>", c.exact, c.names);
        m_thread.m_nNextResultId = 5;
        m_thread.WriteResultSet(page, false);
        const std::vector<CString> texts = Taken();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], CString("<ResultSet>\r\n\t<Result ID=\"5\">\r\n") + c.values +
                                "\t</Result>\r\n</ResultSet>\r\n")
            << c.exact;
    }
}

TEST_F(ResultSetTest, OutsideHostValuesWithASlashAreNoTitles)
{
    UseTemplate("<r>.*?</r>", "<r>(.*?)</r>", {"TITLE"});
    struct
    {
        const char* value;
        bool outside;
        const char* shown;
    } cases[] = {
        {"AC/DC converter", true, "Title Not Available."},
        {"AC/DC converter", false, "AC/DC converter"},
        {"/etc", true, "/etc"},
        {"Gear train", true, "Gear train"},
        {"a&F=0/", true, "Title Not Available."},
        {"ab&F=0", true, "ab"},
        {"x&amp;F=0", false, "x&amp;F=0"},
    };
    for (const auto& c : cases) {
        m_thread.m_nNextResultId = 1;
        m_thread.WriteResultSet(CString("<r>") + c.value + "</r>", c.outside);
        const std::vector<CString> texts = Taken();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], CString("<ResultSet>\r\n\t<Result ID=\"1\">\r\n\t\t<TITLE>") + c.shown +
                                "</TITLE>\r\n\t</Result>\r\n</ResultSet>\r\n")
            << c.value;
    }
}

// ------------------------------------------------------------------ collection step failures

TEST_F(SearchInterpreterTest, CollectionStepEndsBeforeAnyRequest)
{
    const char* kTemplate =
        "<ExtractionTemplate><RowTemplate>r</RowTemplate><ExactTemplate>e</ExactTemplate>"
        "<Matches><Match Name='A'/></Matches></ExtractionTemplate>";
    struct
    {
        CString step;
        bool pageNumber;
        int result;
    } cases[] = {
        {CString("<Step>") + kTemplate + "</Step>", true, 0},
        {"<Step><Url>http://127.0.0.1:1/x</Url></Step>", true, 0},
        {CString("<Step><Url>http://127.0.0.1:1/x</Url>") + kTemplate + "</Step>", false, 0},
        // The loop condition fails before the first page: paging ended, not failed.
        {CString("<Step><Condition Target='1' LessOrEqual=''>0</Condition><Url>http://127.0.0.1:1/x</Url>") +
             kTemplate + "</Step>",
         true, 1},
        // A fetch that fails (here every fetch: the thread is cancelled) fails the step.
        {CString("<Step><Url>http://127.0.0.1:1/x</Url>") + kTemplate + "</Step>", true, 0},
    };
    for (const auto& c : cases) {
        m_thread.m_Parameters.RemoveAll();
        m_thread.m_strPage = "previous";
        if (c.pageNumber)
            Set("PAGENUMBER", "0");
        EXPECT_EQ(m_thread.RunCollectionStep(Step(c.step)), c.result) << c.step.GetString();
        EXPECT_TRUE(m_thread.m_ResultQueue.IsEmpty());
        EXPECT_EQ(m_thread.m_strPage, "");
    }
}

TEST_F(SearchInterpreterTest, ProcessStepWithoutUrlOrFetchEndsTheWalk)
{
    EXPECT_EQ(m_thread.RunProcessStep(Step("<Step/>")), 0);
    EXPECT_EQ(m_thread.RunProcessStep(Step("<Step><Url>http://127.0.0.1:1/x</Url>"
                                           "<HardCodeKey Name='AFTER' DelayProcess='Yes'>x</HardCodeKey></Step>")),
              0);
    EXPECT_EQ(Var("AFTER"), "<none>");
}

TEST_F(SearchInterpreterTest, HeaderLinesAreKeptOnce)
{
    Set("ID", "7");
    IXMLDOMNodePtr step = Step("<Step><HTTPHeader>Accept: text/html</HTTPHeader>"
                               "<HTTPHeader>X-Session: [ID]</HTTPHeader></Step>");
    m_thread.ReadHttpHeaders(step);
    m_thread.ReadHttpHeaders(step);
    m_thread.ReadHttpHeaders(Step("<Step><HTTPHeader>Accept: text/html</HTTPHeader>"
                                  "<HTTPHeader>Accept: text/htm</HTTPHeader></Step>"));
    Set("ID", "8");
    m_thread.ReadHttpHeaders(step);
    EXPECT_EQ(m_thread.m_WebGet.m_strExtraHeaders,
              "Accept: text/html\r\nX-Session: 7\r\nAccept: text/htm\r\nX-Session: 8\r\n");
}

} // namespace
