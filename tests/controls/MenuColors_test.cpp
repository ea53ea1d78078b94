// The colour arithmetic of the menu themes, the Windows version classes of the menu library
// and the text of the last-error box.
#include "MenuColors.h"
#include "NewMenuHook.h"

#include <gtest/gtest.h>

using namespace menucolors;

TEST(MenuColors, ChannelArithmeticRoundsAndKeepsLowBits)
{
    struct Case { COLORREF got; COLORREF want; };
    const Case cases[] = {
        {Shadow(RGB(100, 200, 10)), RGB(70, 140, 46)},        // (10 + 55) * 7 / 10 = 45.5 -> 46
        {Shadow(RGB(255, 255, 255)), RGB(179, 179, 217)},      // 178.5 rounds up; 217 = 310 * 7 / 10
        {Darken(128, RGB(255, 100, 0)), RGB(127, 50, 0)},
        {Darken(0, RGB(12, 34, 56)), RGB(12, 34, 56)},
        {Lighten(100, RGB(0, 255, 128)), RGB(100, 255, 178)},
        {Mix8614(RGB(255, 255, 255), RGB(0, 0, 0)), RGB(219, 219, 219)},
        {Mix8614(RGB(236, 233, 216), RGB(49, 106, 197)), RGB(210, 215, 214)},
        {Mix7030(RGB(255, 255, 255), RGB(49, 106, 197)), RGB(194, 211, 238)},
        {Grey(RGB(10, 20, 61)), RGB(30, 30, 30)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, c.got) << std::hex << c.got;
}

TEST(MenuHook, VersionClassesFollowPlatformAndVersion)
{
    struct Case { DWORD platform, major, minor; int want; };
    const Case cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 3, 95, 0}, {VER_PLATFORM_WIN32_NT, 3, 51, 1},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 2},  {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 3},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 4}, {VER_PLATFORM_WIN32_NT, 4, 0, 5},
        {VER_PLATFORM_WIN32_NT, 5, 0, 6},       {VER_PLATFORM_WIN32_NT, 5, 1, 7},
        {VER_PLATFORM_WIN32_NT, 6, 0, 7},       {VER_PLATFORM_WIN32_NT, 10, 0, 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, CNewMenuHook::VersionClassOf(c.platform, c.major, c.minor))
            << c.platform << " " << c.major << "." << c.minor;
    // This system is NT 6 or later.
    EXPECT_EQ(7, CNewMenuHook::VersionClass());
    EXPECT_TRUE(CNewMenuHook::IsHookInstalled());
}

TEST(MenuHook, LastErrorTextNamesUnknownCodesInHex)
{
    EXPECT_TRUE(LastErrorText(0).IsEmpty());
    EXPECT_EQ(CString("Error message 0x2000abcd not found"), LastErrorText(0x2000ABCD));
    EXPECT_FALSE(LastErrorText(ERROR_FILE_NOT_FOUND).IsEmpty());
}
