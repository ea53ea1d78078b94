#include "URLEncode.h"

#include <gtest/gtest.h>

TEST(URLEncode, EncodesEveryUnsafeByte)
{
    struct Case { CString in; const char* out; };
    const Case cases[] = {
        {"a b", "a%20b"},
        {"A&B=C", "A%26B%3DC"},
        {"US 5,123,456", "US%205%2C123%2C456"},
        {"\xE4", "%E4"},
        {"\n", "%0A"},
        {"~", "%7E"},
        {"{|}\x7F", "%7B%7C%7D%7F"},
        {"50%", "50%25"},
        {"a%20b", "a%2520b"},
        {"", ""},
        {"Az09'()*-._", "Az09'()*-._"},
        {"\"<>\\^[]`+$,@:;/!#?=&", "%22%3C%3E%5C%5E%5B%5D%60%2B%24%2C%40%3A%3B%2F%21%23%3F%3D%26"},
        {CString("a\0b", 3), "a%00b"},
    };
    CURLEncode enc;
    for (const Case& c : cases)
        EXPECT_EQ(enc.URLEncode(c.in), c.out) << c.in;
}

TEST(URLEncode, SafeBytesAreExactlyLettersDigitsAndSevenMarks)
{
    CURLEncode enc;
    const CString marks("'()*-._");
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        bool safe = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
                    (b != 0 && marks.Find(c) >= 0);
        EXPECT_EQ(enc.IsUnsafe(c), !safe) << b;
    }
    EXPECT_EQ(enc.ToBase('\x05', 16), "05");
    EXPECT_EQ(enc.EncodeByte('\xFF'), "%FF");
}
