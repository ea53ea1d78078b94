#include "TextHelpers.h"

#include <gtest/gtest.h>

TEST(TextHelpers, EscapeAndUnescape)
{
    struct Case { const char* plain; const char* escaped; };
    const Case cases[] = {
        {"a < b & \"c\"", "a &lt; b &amp; &quot;c&quot;"},
        {"it's > 1", "it's &gt; 1"},
        {"&amp;", "&amp;amp;"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeXml(c.plain), c.escaped) << c.plain;
        EXPECT_EQ(UnescapeXml(c.escaped), c.plain) << c.escaped;
    }
    // Two levels of decoding, the ampersand entity first.
    EXPECT_EQ(UnescapeXml("&amp;lt;"), "<");
    EXPECT_EQ(UnescapeXml("&amp;quot;"), "\"");
}

TEST(TextHelpers, StripSlashes)
{
    EXPECT_EQ(StripSlashes("WO/2004/012345"), "WO2004012345");
    EXPECT_EQ(StripSlashes("a\\b/c"), "abc");
    EXPECT_EQ(StripSlashes(""), "");
}

TEST(TextHelpers, LastErrorTextIsTheSystemsTextWithoutItsLineBreak)
{
    for (DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_FILE_EXISTS}) {
        char* pSystem = nullptr;
        const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                                  FORMAT_MESSAGE_IGNORE_INSERTS,
                                              nullptr, code, 0, reinterpret_cast<char*>(&pSystem), 0, nullptr);
        ASSERT_GT(length, 2u) << code;
        CString expected(pSystem, static_cast<int>(length));
        ::LocalFree(pSystem);
        expected.TrimRight("\r\n");

        char buffer[256] = "stale";
        ::SetLastError(code);
        EXPECT_EQ(buffer, GetLastErrorText(buffer, 255));
        EXPECT_EQ(expected, CString(buffer)) << code;
        // A buffer without room for the text and 14 more gets the empty text.
        char small[256] = "stale";
        ::SetLastError(code);
        GetLastErrorText(small, length + 13);
        EXPECT_STREQ("", small) << code;
    }
    char buffer[64] = "stale";
    ::SetLastError(0x2000BEEF); // a code without a system text
    EXPECT_STREQ("", GetLastErrorText(buffer, sizeof buffer));
}

TEST(NullsToSpaces, EveryZeroWithinTheLength)
{
    const CString text("a\0b\0\0c", 6);
    EXPECT_EQ(NullsToSpaces(text), "a b  c");
    EXPECT_EQ(NullsToSpaces(text).GetLength(), 6);
    EXPECT_EQ(NullsToSpaces(""), "");
}
