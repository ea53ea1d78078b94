// The three threads' dialects of the one recipe interpreter, side by side on the same steps:
// what the download, report and search threads each make of a Condition, a FatalCondition,
// an Extract rule and a HardCodeKey where their rules differ. Thread objects that are never
// started.
#include "PatentThread.h"
#include "ReportThread.h"
#include "SearchThread.h"

#include "StepXmlTest.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// One thread's operations, in its own names.
struct Dialect
{
    const char* name;
    CMapStringToString& variables;
    std::function<int(IXMLDOMNodePtr)> condition;
    std::function<int(IXMLDOMNodePtr, const CString&)> fatal;
    std::function<int(IXMLDOMNodePtr, const CString&)> extract;
    std::function<void(IXMLDOMNodePtr)> keys;
};

class RecipeDialectsTest : public StepXmlTest
{
protected:

    // Download, report, search: in that order.
    std::vector<Dialect> Dialects()
    {
        return {
            {"download", m_patent.m_mapVariables, [this](IXMLDOMNodePtr s) { return m_patent.CheckCondition(s); },
             [this](IXMLDOMNodePtr s, const CString& p) { return m_patent.CheckFatalCondition(p, s); },
             [this](IXMLDOMNodePtr s, const CString& p) { return m_patent.ExtractValues(s, p); },
             [this](IXMLDOMNodePtr s) { m_patent.ApplyImmediateHardCodeKeys(s); }},
            {"report", m_report.m_mapVariables, [this](IXMLDOMNodePtr s) { return m_report.CheckCondition(s); },
             [this](IXMLDOMNodePtr s, const CString& p) { return m_report.CheckFatalCondition(p, s); },
             [this](IXMLDOMNodePtr s, const CString& p) { return m_report.ExtractValues(s, p); },
             [this](IXMLDOMNodePtr s) { m_report.ApplyImmediateHardCodeKeys(s); }},
            {"search", m_search.m_Parameters, [this](IXMLDOMNodePtr s) { return m_search.CheckCondition(s); },
             [this](IXMLDOMNodePtr s, const CString& p) { return m_search.CheckFatalCondition(s, p); },
             [this](IXMLDOMNodePtr s, const CString& p) { return m_search.ExtractRows(s, p); },
             [this](IXMLDOMNodePtr s) { m_search.RunStepKeys(s); }},
        };
    }

    CPatentThread m_patent;
    CReportThread m_report;
    CSearchThread m_search;
};

CString Value(CMapStringToString& variables, const char* name)
{
    CString value;
    return variables.Lookup(name, value) ? value : CString("<none>");
}

} // namespace

TEST_F(RecipeDialectsTest, ConditionsAndFatalConditions)
{
    const struct {
        const char* step;
        bool bFatal;      // the step's FatalCondition on the page "some text", else its Condition
        int results[3];   // download, report, search
    } cases[] = {
        // Converse is the search thread's alone.
        {"<Step><Condition Target='15' Converse='1'>^5</Condition></Step>", false, {0, 0, 1}},
        {"<Step><FatalCondition Converse='1'>absent</FatalCondition></Step>", true, {1, 1, 0}},
        {"<Step><FatalCondition>some</FatalCondition></Step>", true, {0, 0, 0}},
        // The pattern is searched, and a failing one fails the step everywhere.
        {"<Step><Condition Target='abc'>B</Condition><Condition Target='abc'>x</Condition></Step>", false, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        IXMLDOMNodePtr step = Step(c.step);
        int i = 0;
        for (const Dialect& d : Dialects()) {
            const int result = c.bFatal ? d.fatal(step, "some text") : d.condition(step);
            EXPECT_EQ(result, c.results[i++]) << d.name << ": " << c.step;
        }
    }
}

TEST_F(RecipeDialectsTest, ExtractionRules)
{
    const char page[] = "a1 a2 x\0word n=0";
    const CString text(page, static_cast<int>(sizeof page - 1));
    const CString errorPage = "If you believe that this error is caused by a fault of the application";
    const struct {
        const char* step;
        const CString& page;
        const char* variable;
        int results[3];          // download, report, search
        const char* values[3];
    } cases[] = {
        // MultiMatch joins every whole match on the download thread only.
        {"<Step><Extract Name='ALL' MultiMatch='True'>a\\d</Extract></Step>", text, "ALL", {1, 1, 1},
         {"a1a2", "", ""}},
        // ReplaceNull is the report and search threads'.
        {"<Step><Extract Name='WORD' ReplaceNull='Yes'>x (\\w+)</Extract></Step>", text, "WORD", {1, 1, 1},
         {"", "word", "word"}},
        // An extracted RESULTS of 0 fails the download thread's step.
        {"<Step><Extract Name='RESULTS'>n=(\\d)</Extract></Step>", text, "RESULTS", {0, 1, 1}, {"0", "0", "0"}},
        // The service's error page fails the document threads' extraction before any rule.
        {"<Step><Extract Name='ANY'>(.)</Extract></Step>", errorPage, "ANY", {0, 0, 1}, {"<none>", "<none>", "I"}},
    };
    for (const auto& c : cases) {
        IXMLDOMNodePtr step = Step(c.step);
        int i = 0;
        for (const Dialect& d : Dialects()) {
            EXPECT_EQ(d.extract(step, c.page), c.results[i]) << d.name << ": " << c.step;
            EXPECT_EQ(Value(d.variables, c.variable), CString(c.values[i])) << d.name << ": " << c.step;
            ++i;
        }
    }
}

TEST_F(RecipeDialectsTest, HardCodeKeys)
{
    IXMLDOMNodePtr step = Step("<Step>"
                               "<HardCodeKey Name='ARG' Function='Replace' Argument='[FROM]:x'>abc</HardCodeKey>"
                               "<HardCodeKey Name='LINES'>a&#10;b&#13;&#10;c</HardCodeKey>"
                               "<HardCodeKey Name='ENCODED' URLEncode='Yes'>a b</HardCodeKey>"
                               "<HardCodeKey Name='LATER' DelayProcess='Yes'>later</HardCodeKey>"
                               "</Step>");
    // The document threads fill a key's Argument and take the line breaks out of its value;
    // the search thread takes the Argument as written and keeps them.
    const char* args[] = {"axc", "axc", "abc"};
    const char* lines[] = {"abc", "abc", "a\nb\r\nc"};
    int i = 0;
    for (const Dialect& d : Dialects()) {
        d.variables.SetAt("FROM", "b");
        d.keys(step);
        EXPECT_EQ(Value(d.variables, "ARG"), CString(args[i])) << d.name;
        EXPECT_EQ(Value(d.variables, "LINES"), CString(lines[i])) << d.name;
        EXPECT_EQ(Value(d.variables, "ENCODED"), "a%20b") << d.name;
        EXPECT_EQ(Value(d.variables, "LATER"), "<none>") << d.name;
        ++i;
    }
}
