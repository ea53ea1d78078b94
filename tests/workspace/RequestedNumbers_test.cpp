// Document numbers from the quick-download box and the toolbar: line splitting, the two
// clean-ups, and the toolbar's fixed 40-byte request.
#include "RequestedNumbers.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(RequestedNumbers, LinesEndAtTheFirstEmptyLine)
{
    struct Case { const char* text; std::vector<CString> lines; };
    const Case cases[] = {
        {"", {}},
        {"US123", {"US123"}},
        {"a\r\nb\r\n", {"a\r", "b\r"}},
        {"a\nb", {"a", "b"}},
        {"a\n\nb", {"a"}},
        {"\na", {}},
        {"a\r\n\r\nb", {"a\r", "\r", "b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.lines, SplitRequestLines(c.text)) << c.text;
}

TEST(RequestedNumbers, QuickDownloadCleanUp)
{
    struct Case { const char* line; const char* number; };
    const Case cases[] = {
        {"ep 123,456.", "EP0123456"},
        {"ep 12.345", "EP0012345"},
        {"EP12345", "EP0012345"},
        {"EP123", "EP0000123"},
        {"EP1234567", "EP1234567"},
        {"us 7,123,456", "US7123456"},
        {"PCT/US1999/123456", "PCTUS1999123456"},
        {"WO2001123456", "WO01123456"},
        {"WO200202123", "WO022123"},
        {"WO2002123456", "WO02123456"},
        {"WO2003123456", "WO03123456"},
        {"WO1234", "WO1234"},
        {"12/345", "12345"},
        {"US12/345", "US12/345"},
        {"  7123456 B2\r", "7123456B2"},
        {"shortcut", ""},
        {" ., ;\r", ""},
        {"SHORTCUT6543210", "6543210"},
        {"jp-2001-123", "JP-2001-123"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CString(c.number), CleanQuickDownloadNumber(c.line)) << c.line;
}

TEST(RequestedNumbers, ToolbarCleanUpKeepsSlashesPaddingAndWoForms)
{
    struct Case { const char* line; const char* number; };
    const Case cases[] = {
        {"us 7,123,456", "US7123456"},
        {"ep 123", "EP123"},
        {"WO2001123456", "WO2001123456"},
        {"12/345", "12/345"},
        {"SHORTCUT", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CString(c.number), CleanToolbarNumber(c.line)) << c.line;
}

namespace {

std::string Request(const char* id, const char* numbers, int32_t page)
{
    std::string r(kToolbarRequestSize, '\0');
    std::memcpy(&r[0], id, std::strlen(id));
    std::memcpy(&r[15], numbers, std::strlen(numbers));
    std::memcpy(&r[36], &page, 4);
    return r;
}

} // namespace

TEST(RequestedNumbers, ToolbarRequestIsReadOnlyWhenWhole)
{
    ToolbarRequest req;
    std::string r = Request("ABCDEFGHIJKLMN", "US7123456\nEP1000000", -1);
    ASSERT_TRUE(ParseToolbarRequest(r.data(), static_cast<int>(r.size()), req));
    EXPECT_EQ(CString("ABCDEFGHIJKLMN"), req.strIdentifier);
    EXPECT_EQ(CString("US7123456\nEP1000000"), req.strNumbers);
    EXPECT_EQ(-1, req.nPageChoice);

    r = Request("id", "", 3);
    ASSERT_TRUE(ParseToolbarRequest(r.data(), 40, req));
    EXPECT_EQ(CString("id"), req.strIdentifier);
    EXPECT_TRUE(req.strNumbers.IsEmpty());
    EXPECT_EQ(3, req.nPageChoice);

    // Refused: short or long data, an identifier of 15 characters, a number text of 21
    // characters (no terminator inside its field); the earlier result stays.
    const std::string bad[] = {
        r.substr(0, 39),
        r + "x",
        Request("ABCDEFGHIJKLMNO", "1", 1),
        Request("id", "123456789012345678901", 1),
    };
    for (const std::string& b : bad) {
        EXPECT_FALSE(ParseToolbarRequest(b.data(), static_cast<int>(b.size()), req));
        EXPECT_EQ(3, req.nPageChoice);
    }
    EXPECT_FALSE(ParseToolbarRequest(nullptr, 40, req));

    char greeting[kToolbarRequestSize];
    std::memset(greeting, 'x', sizeof greeting);
    MakeToolbarGreeting(greeting);
    EXPECT_EQ(std::string(40, '\0'), std::string(greeting, 40));
}
