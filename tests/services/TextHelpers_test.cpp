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
