// Names of downloaded files and folders made from outside text.
#include "SafeNames.h"

#include <gtest/gtest.h>

namespace {

TEST(SafeNames, ForbiddenAndControlCharactersGoDotsAndDevicesAreRefused)
{
    struct
    {
        const char* name;
        const char* safe;
    } cases[] = {
        {"US7654321.html", "US7654321.html"},
        {"a\\b/c:d*e?f\"g<h>i|j", "abcdefghij"},
        {"a\tb\r\nc\x01\x7f" "d", "abcd"},
        {"..\\..\\x.txt", "....x.txt"},
        {"R&D (1) [x] #2 it's", "R&D (1) [x] #2 it's"},
        {" lead", " lead"},
        {"trail. . ", "trail"},
        {".hidden", ".hidden"},
        {".", ""},
        {"..", ""},
        {". . .", ""},
        {"\\/", ""},
        {"", ""},
        {"CON", ""},
        {"con.txt", ""},
        {"Nul .html", ""},
        {"COM1", ""},
        {"lpt9.x", ""},
        {"COM0", "COM0"},
        {"CONSOLE", "CONSOLE"},
        {"COM10", "COM10"},
        {"\xE9t\xE9", "\xE9t\xE9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeSafeFileName(c.name), c.safe) << c.name;
}

TEST(SafeNames, KindCodesKeepLettersAndDigits)
{
    EXPECT_EQ(KeepLettersAndDigits("B2"), "B2");
    EXPECT_EQ(KeepLettersAndDigits("b2\\..\\ /x\xE9"), "b2x");
    EXPECT_EQ(KeepLettersAndDigits("..."), "");
}

} // namespace
