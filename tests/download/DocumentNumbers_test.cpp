// The clean-up of queued document numbers: the project store's form of a number, the kind
// code taken off it, and the title of a queue row.
#include "DocumentNumbers.h"

#include <gtest/gtest.h>

namespace {

struct Pair
{
    const char* given;
    const char* expected;
};

} // namespace

TEST(DocumentNumbers, NormaliseToTheProjectStoresForm)
{
    const Pair cases[] = {
        {"us 5,123,456", "US5123456"},
        {"US5123456", "US5123456"},
        {"D123456", "USD123456"},
        {"D12", "USD000012"},
        {"H1234", "USH001234"},
        {"T12345", "UST012345"},
        {"X12345", "USX012345"},
        {"12345", "US0012345"},
        {"1234567", "US1234567"},
        {"11234567", "US11234567"},  // a patent of eight digits stays as it is
        {"RE12345", "USRE12345"},
        {"pp12345", "USPP12345"},
        {"2005123456", "US20050123456"},
        {"123456789", "US12340056789"},
        {"US2005123456", "US2005123456"},  // already holds a country code
        {"EP1234567", "EP1234567"},
        {"WO2005/123456", "WO2005/123456"},
        {"PCT/US2005/012345", "PCT/US2005/012345"},
        // Longer than an application number: left as it is, and the clean-up ends.
        {"12345678901234567890", "US12345678901234567890"},
        {"", ""},
        {" ,.-", ""},
    };
    for (const Pair& c : cases)
        EXPECT_EQ(CString(c.expected), NormalizeDocumentNumber(c.given)) << '"' << c.given << '"';
}

TEST(DocumentNumbers, KindCodeComesOffAfterTheDigits)
{
    struct Case
    {
        const char* number;
        const char* rest;
        const char* kind;
        const char* bare;
        const char* suffix;
    };
    const Case cases[] = {
        {"US1234567B2", "US1234567", "B2", "1234567", "B2"},
        {"US1234567", "US1234567", "", "1234567", ""},
        {"EP1234567A1", "EP1234567", "A1", "1234567", "A1"},
        {"US2005123456A1", "US2005123456", "A1", "2005123456", "A1"},
        {"12345A", "12345A", "", "12345", "A"},  // one letter stays with the number
        {"D123456", "D123456", "", "123456", ""},
        {"USD123456", "USD123456", "", "123456", "D123456"},
        {"US5,123,456B1", "US5,123,456", "B1", "5,123,456", ",123,456B1"},
        {"", "", "", "", ""},
        {"B2", "B2", "", "2", ""},
    };
    for (const Case& c : cases) {
        CString kind = "old", bare = "old";
        EXPECT_EQ(CString(c.rest), SplitKindCode(c.number, kind, bare)) << c.number;
        EXPECT_EQ(CString(c.kind), kind) << c.number;
        EXPECT_EQ(CString(c.bare), bare) << c.number;
        EXPECT_EQ(CString(c.suffix), GetKindSuffix(c.number)) << c.number;
    }
}

TEST(DocumentNumbers, QueuedNumbersAreCleanedBeforeTheyAreSplit)
{
    QueuedNumber q = CleanQueuedNumber("us 1234567 b2", false);
    EXPECT_EQ(CString("US1234567"), q.number);
    EXPECT_EQ(CString("B2"), q.kind);
    EXPECT_EQ(CString("1234567"), q.bare);
    EXPECT_EQ(CString("US1234567B2"), q.Key());

    EXPECT_EQ(CString("US0012345"), CleanQueuedNumber("12/345", false).number) << "slashes go";
    EXPECT_EQ(CString("PCT/US2005/012345"), CleanQueuedNumber("PCT/US2005/012345", false).number)
        << "a PCT number keeps them";

    // File-wrapper numbers are taken as they are.
    q = CleanQueuedNumber("7 654 321", true);
    EXPECT_EQ(CString("7654321"), q.number);
    EXPECT_EQ(CString("7654321"), q.Key());

    EXPECT_TRUE(CleanQueuedNumber("   ", false).number.IsEmpty());
    EXPECT_TRUE(CleanQueuedNumber("//", true).number.IsEmpty());
}

TEST(DocumentNumbers, TitlesBecomeOneLine)
{
    const Pair cases[] = {
        {"Widget  with   gears", "Widget with gears"},
        {"Two\r\nlines", "Twolines"},
        {"  Lead and trail  ", " Lead and trail "},
        {"Tabs\tstay", "Tabs\tstay"},
        {"", ""},
    };
    for (const Pair& c : cases)
        EXPECT_EQ(CString(c.expected), CleanTitle(c.given)) << c.given;
}
