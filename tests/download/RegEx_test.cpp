// The regular expressions of the recipe interpreter: searches, groups, all matches, and
// patterns that do not compile or whose search the engine gives up.
#include "RegEx.h"

#include "TraceCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RegEx, SearchFindsTheFirstMatchAnywhere)
{
    RegEx ex("(\\d+)-(\\d+)?", false);
    ASSERT_TRUE(ex.Search("ab 12-34 56-78"));
    EXPECT_EQ(ex.What(0), "12-34");
    EXPECT_EQ(ex.What(1), "12");
    EXPECT_EQ(ex.What(2), "34");
    EXPECT_EQ(ex.What(3), "");
    ASSERT_TRUE(ex.Search("x 9-"));
    EXPECT_EQ(ex.What(2), "");  // the group did not take part
    EXPECT_FALSE(ex.Search("none"));
    EXPECT_EQ(ex.What(0), "");
}

TEST(RegEx, LetterCaseAndLineStart)
{
    RegEx exact("us(.+)", false);
    EXPECT_FALSE(exact.Search("US123"));
    RegEx folded("us(.+)", true);
    ASSERT_TRUE(folded.Search("US123"));
    EXPECT_EQ(folded.What(1), "123");

    RegEx start("^A", false);
    EXPECT_TRUE(start.Search("A1"));
    EXPECT_FALSE(start.Search("A1", RegEx::MatchNotBol));
    EXPECT_TRUE(start.Search("x\nA1", RegEx::MatchNotBol));
}

TEST(RegEx, TextWithZeroBytesIsSearchedWhole)
{
    RegEx ex("b(c)", false);
    ASSERT_TRUE(ex.Search(CString(std::string("a\0bc", 4))));
    EXPECT_EQ(ex.What(1), "c");
}

TEST(RegEx, GrepCollectsEveryMatchInOrder)
{
    RegEx ex("<r>(.+?)</r>", true);
    std::vector<CString> matches{"kept"};
    EXPECT_EQ(ex.Grep(matches, "<r>a</r> <R>b</R> <r></r><r>c</r>"), 3u);
    // The group cannot be empty, so the third match runs on to the next closing tag.
    EXPECT_EQ(matches, (std::vector<CString>{"kept", "<r>a</r>", "<R>b</R>", "<r></r><r>c</r>"}));
    matches.clear();
    RegEx all("<r>(.*?)</r>", false);
    EXPECT_EQ(all.Grep(matches, "<r></r><r>c</r>"), 2u);
}

TEST(RegEx, APatternThatDoesNotCompileMatchesNothing)
{
    RegEx ex;
    EXPECT_FALSE(ex.SetExpression("(unclosed", true));
    EXPECT_FALSE(ex.Search("(unclosed"));
    std::vector<CString> matches;
    EXPECT_EQ(ex.Grep(matches, "(unclosed"), 0u);
    EXPECT_TRUE(ex.SetExpression("", true));
    EXPECT_TRUE(ex.Search("anything"));
    EXPECT_TRUE(ex.Search(""));
}

TEST(RegEx, ASearchGivenUpIsNoMatchAndATraceLine)
{
    TraceCapture trace;
    RegEx ex("(a+)+b", true);
    const CString text(std::string(30, 'a'));
    EXPECT_FALSE(ex.Search(text));
    EXPECT_EQ(ex.What(0), "");
    std::vector<CString> matches;
    EXPECT_EQ(ex.Grep(matches, "aab " + text), 0u);
    EXPECT_TRUE(matches.empty());
    // The same pattern on a text it can settle still works.
    EXPECT_TRUE(ex.Search("aab"));

    const std::vector<CString>& lines = TraceCapture::Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Find("RegEx::Search()-Search given up, counted as no match: "), 0) << lines[0];
    EXPECT_GE(lines[0].Find("Pattern: (a+)+b"), 0);
    EXPECT_EQ(lines[1].Find("RegEx::Grep()-"), 0) << lines[1];
}

} // namespace
