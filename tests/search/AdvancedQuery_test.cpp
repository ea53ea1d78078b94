// The Advanced page's query building without a window: the checker on both of its paths,
// the joining of bare words, the examiner names, and the search built from the fields.
#include "AdvancedQuery.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct CheckCase
{
    const char* pattern;
    const char* text;
    int check;
    int location;
    const char* expected;
    const char* error; // the message, or "" when none
};

TEST(QueryChecker, BothPaths)
{
    const CheckCase cases[] = {
        // The checking path: USPTO locations with checking on.
        {"[FIELDDATA]", "Solar Cell", 1, 0, "\"solar\" and \"cell\"", ""},
        {"[FIELDDATA]", "(solar OR wind) power", 1, 1, " ( \"solar\" or \"wind\" ) and \"power\"", ""},
        {"[FIELDDATA]", "\"solar cell\" power", 1, 0, "\"solar cell\" and \"power\"", ""},
        {"[FIELDDATA]", "solar AND cell", 1, 0, "\"solar\" and \"cell\"", ""},
        {"[FIELDDATA]", "\"solar cell\" \"wind farm\"", 1, 0, "\"solar cell\" and \"wind farm\"", ""},
        {"[FIELDDATA]", "solar \"or\" wind", 1, 0, "\"solar\" or \"wind\"", ""},
        {"[FIELDDATA]", "(solar)(wind)", 1, 0, " ( \"solar\" ) ( \"wind\" ) ", ""},
        {"[OPERATOR]TTL/[FIELDDATA]", "Solar  Cell", 1, 0, "solar cell", ""},
        {"[FIELDDATA]", ") (", 1, 0, "", "Bad bracket combination"},
        {"[FIELDDATA]", "(solar) (wind", 1, 0, "", "Bad bracket combination"},
        {"[FIELDDATA]", "solar) wind", 1, 0, "\"solar\" ) and \"wind\"", ""},
        {"[FIELDDATA]", "\"solar cell", 1, 1, "", "Bad quotation combination"},
        // The operator path: checking off, or any other location.
        {"TTL/\"[FIELDDATA]\"", "solar and wind", 0, 0, "solar\" AND \"wind", ""},
        {"'[FIELDDATA]'", "solar or wind", 1, 2, "solar' OR 'wind", ""},
        {"x\"[FIELDDATA]\" 'y'", "a not b", 0, 0, "a' NOT 'b", ""},
        {"[FIELDDATA]", "Solar or wind not Cell", 1, 2, "Solar OR wind NOT Cell", ""},
        {"\"[FIELDDATA]", "a AND b", 0, 1, "a AND b", ""},
        {"[FIELDDATA]", "(unbalanced \"", 0, 0, "(unbalanced \"", ""},
    };
    for (const CheckCase& c : cases) {
        CString error;
        EXPECT_EQ(CheckQueryText(c.pattern, c.text, c.check, c.location, &error), c.expected)
            << c.text << " / " << c.pattern;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(QueryChecker, JoinsBareWordsOutsidePhrases)
{
    const std::pair<const char*, const char*> cases[] = {
        {"solar cell panel", "solar and cell and panel"},
        {"solar and cell", "solar and cell"},
        {"solar AND cell", "solar AND cell"},
        {"solar Or cell", "solar Or cell"},
        // The window after a space is read as written: capitals are no operator there.
        {"solar ANDROID", "solar and ANDROID"},
        {"x ORANGE", "x and ORANGE"},
        {"solar android", "solar android"},
        {"x orange", "x orange"},
        {"\"solar cell\" panel", "\"solar cell\" and panel"},
        {"solar", "solar"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JoinQueryWords(c.first), c.second) << c.first;
}

TEST(QueryChecker, ReordersExaminerNames)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Smith", "Smith"},
        {"John Smith", "Smith-John"},
        {"John Paul Smith", "Smith-John-Paul"},
        {"John Paul Smith Jr", "Smith-John-Paul"},
        {"John  Smith", "Smith-John"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReorderExaminerName(c.first), c.second) << c.first;
}

CString Param(const AdvancedQuery& query, const char* key)
{
    CString value;
    return query.params.Lookup(key, value) ? value : CString("<missing>");
}

TEST(AdvancedQueryBuild, EditsJoinedByTheLastComboPattern)
{
    const std::vector<AdvancedFieldInput> edits = {
        {"IN", "in=[FIELDDATA]", "  smith "},
        {"BLANK", "x=[FIELDDATA]", "   "},
        {"PA", "pa=[FIELDDATA]", "acme"},
    };
    const std::vector<AdvancedFieldInput> combos = {{"OP", " [FIELDDATA] ", "OR"}};
    AdvancedQuery query;
    std::vector<CString> messages;
    BuildAdvancedQuery(edits, combos, 2, [&](const CString& m) { messages.push_back(m); }, query);
    EXPECT_EQ(query.displayText, "in=smith OR pa=acme");
    EXPECT_EQ(query.searchText, "in=smithpa=acme OR ");
    EXPECT_EQ(Param(query, "SEARCHSTRING"), "in=smithpa=acme OR ");
    EXPECT_EQ(Param(query, "IN"), "in=smith");
    EXPECT_EQ(Param(query, "BLANK"), "");
    EXPECT_EQ(Param(query, "OP"), " OR ");
    EXPECT_TRUE(messages.empty());
}

TEST(AdvancedQueryBuild, FieldClassesAndABadFieldThatStillCounts)
{
    const std::vector<AdvancedFieldInput> edits = {
        {"TTL", "TTL/([FIELDDATA])", "solar cell"},
        {"EXA", "EXA/[FIELDDATA]", "Anna Berta Clara"},
        {"ABST", "ABST/([FIELDDATA])", "(solar"},
        {"PN", "PN/[FIELDDATA]", "6000000 or 6000001"},
    };
    AdvancedQuery query;
    std::vector<CString> messages;
    BuildAdvancedQuery(edits, {}, 0, [&](const CString& m) { messages.push_back(m); }, query);
    EXPECT_EQ(Param(query, "TTL"), "TTL/(\"solar\" and \"cell\")");
    EXPECT_EQ(Param(query, "EXA"), "EXA/Clara-Anna-Berta");
    EXPECT_EQ(Param(query, "ABST"), "ABST/()");
    EXPECT_EQ(Param(query, "PN"), "PN/6000000 OR 6000001");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Bad bracket combination");
    EXPECT_EQ(query.displayText,
              "TTL/(\"solar\" and \"cell\") AND EXA/Clara-Anna-Berta AND ABST/() AND PN/6000000 OR 6000001");
}

TEST(AdvancedQueryBuild, NoTextGivesNoSearchStringAndAnEmptyDisplay)
{
    const std::vector<AdvancedFieldInput> edits = {{"TTL", "TTL/[FIELDDATA]", ""}};
    const std::vector<AdvancedFieldInput> combos = {{"KIND", "[FIELDDATA]", ""}};
    AdvancedQuery query;
    BuildAdvancedQuery(edits, combos, 0, nullptr, query);
    EXPECT_EQ(query.displayText, "");
    EXPECT_EQ(query.searchText, "");
    EXPECT_EQ(Param(query, "SEARCHSTRING"), "<missing>");
    EXPECT_EQ(Param(query, "KIND"), "");
}

} // namespace
