// The filling of placeholders in recipe texts: every "[KEY]" replaced key by key in the map's
// own order, also in texts of megabytes with brackets of their own.
#include "Placeholders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Whether the map walks key a before key b.
bool WalksBefore(const CMapStringToString& map, const CString& a, const CString& b)
{
    POSITION pos = map.GetStartPosition();
    while (pos) {
        CString key, value;
        map.GetNextAssoc(pos, key, value);
        if (key == a)
            return true;
        if (key == b)
            return false;
    }
    return false;
}

} // namespace

TEST(PlaceholdersTest, EveryKeyIsFilledWhereverItStandsAndOthersStay)
{
    CMapStringToString map;
    map.SetAt("A", "1");
    map.SetAt("CC", "US");
    map.SetAt("EMPTY", "");
    struct Case
    {
        const char* text;
        const char* filled;
    };
    const Case cases[] = {
        {"", ""},
        {"no brackets at all", "no brackets at all"},
        {"[A][CC]/[A]", "1US/1"},
        {"[[A]] [A [ A] [a] [NONE]", "[1] [A [ A] [a] [NONE]"},
        {"[EMPTY]x[EMPTY]", "x"},
        {"]A[A]A[", "]A1A["},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CString(c.filled), FillPlaceholders(map, c.text, false)) << c.text;

    // A page of megabytes with brackets of its own keeps them and gets its placeholders.
    std::string page;
    for (int i = 0; i < 20000; ++i)
        page += "<p>[0001] text [x]</p>\n";
    const CString filled = FillPlaceholders(map, CString(page + "[CC][A]" + page), false);
    EXPECT_EQ(CString(page + "US1" + page), filled);
}

TEST(PlaceholdersTest, AValueBringsInPlaceholdersOnlyForTheKeysThatComeLater)
{
    CMapStringToString map;
    map.SetAt("FIRST", "(");
    map.SetAt("SECOND", ")");
    const bool firstBefore = WalksBefore(map, "FIRST", "SECOND");
    const CString early = firstBefore ? "FIRST" : "SECOND";
    const CString late = firstBefore ? "SECOND" : "FIRST";
    const CString lateValue = firstBefore ? ")" : "(";
    map.SetAt(early, "[" + late + "]");

    // The early key's value names the late key, which is filled after it; the late key's
    // value brings nothing in.
    EXPECT_EQ(lateValue + "|" + lateValue, FillPlaceholders(map, "[" + early + "]|[" + late + "]", false));
    map.SetAt(late, "[" + early + "]");
    EXPECT_EQ("[" + early + "]", FillPlaceholders(map, "[" + early + "]", false))
        << "the early key's placeholder brought in by the late key stays";

    // A replacement that puts a bracket before a name makes a placeholder of the late key.
    map.SetAt(early, "[");
    map.SetAt(late, "x");
    EXPECT_EQ("x", FillPlaceholders(map, "[" + early + "]" + late + "]", false));

    // For a pattern every value is escaped before it goes in.
    map.SetAt(early, "U.S. (1)+[x]");
    EXPECT_EQ("^U\\.S\\. \\(1\\)\\+\\[x\\]$", FillPlaceholders(map, "^[" + early + "]$", true));
}
