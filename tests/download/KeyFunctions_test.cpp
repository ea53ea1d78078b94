// The key functions of recipe HardCodeKey entries, as one table of value, argument and result.
#include "KeyFunctions.h"

#include "ServiceHosts.h"

#include <gtest/gtest.h>

namespace {

struct KeyCase
{
    const char* function;
    const char* value;
    const char* argument;
    const char* result;  // "@" stands for the OPS published-data base
};

CString Expected(const char* result)
{
    CString text(result);
    text.Replace("@", GetOpsPublishedDataUrl());
    return text;
}

TEST(KeyFunctions, EachFunctionOnItsValue)
{
    const KeyCase cases[] = {
        {"isUS", "4567", "", "US4567"},
        {"isUS", "EP123", "", "EP123"},
        {"isUS", "", "", "US"},
        {"isUS", "z1", "", "z1"},
        {"isUS", "{1", "", "US{1"},
        {"isUS", "\xC4" "1", "", "US\xC4" "1"},
        {"TrimLeft", "US4567", "2", "4567"},
        {"TrimLeft", "US4567", "0", "US4567"},
        {"TrimLeft", "US4567", "", "US4567"},
        {"TrimLeft", "US4567", "-3", "US4567"},
        {"TrimLeft", "US4567", "6", ""},
        {"TrimLeft", "US4567", "9", ""},
        {"TrimLeft", "", "2", ""},
        {"Replace", "12-34-56", "-:", "123456"},
        {"Replace", "a:b", "a:x:y", "x:y:b"},
        {"Replace", "12-34", "-", "12-34"},
        {"Replace", "12-34", ":x", "12-34"},
        {"RemoveWhiteSpace", " a\tb   c  ", "", "a b c"},
        {"RemoveWhiteSpace", "a  ", "", "a"},
        {"RemoveWhiteSpace", "  ", "", ""},
        {"FixLinkProtocol", "<a href=\"//h/x\"><img src=\"//i\">//j", "", "<a href=\"http://h/x\"><img src=\"http://i\">//j"},
        {"GetKindCode", "US4567B2", "", "B2"},
        {"GetKindCode", "EP7654", "", ""},
        {"GetKindCode", "US4567A1A1", "", "A1"},
        {"GetKindCode", "1234A1xA1", "", "A1"},
        {"GetKindCode", "4567B", "", "B"},
        {"StripKindCode", "4567B2", "", "4567"},
        {"StripKindCode", "US4567", "", ""},
        {"StripKindCodeNumber", "B1", "", "B"},
        {"StripKindCodeNumber", "1B", "", ""},
        {"FormatOpsUrl", "EP7654B1", "1", "@publication/docdb/EP.7654.B1"},
        {"FormatOpsUrl", "EP7654B1", "0", "@publication/docdb/EP.7654B1"},
        {"FormatOpsUrl", "EP7654A1A1", "1", "@publication/docdb/EP.7654.A1"},
        {"FormatOpsUrl", "EPX12B", "1", "@publication/docdb/EP.X12.B"},
        {"FormatOpsUrl", "7654B1", "1", "@publication/docdb/.7654.B1"},
        {"FormatOpsUrl", "WOA", "1", "@publication/docdb/WO.A."},
        // A value that ends with the country: nothing is read beyond it.
        {"FormatOpsUrl", "EP", "1", "@publication/docdb/EP.."},
        {"FormatOpsUrl", "", "", "@publication/docdb/."},
        {"FormatOpsUrlApplication", "EP7654B1", "1", "@application/docdb/EP.7654.B1"},
        {"FormatOpsUrlApplication", "US", "", "@application/docdb/US."},
        {"GetOpsUrlFromResolution", "x<resolution>a/EP.1.B1</resolution><RESOLUTION>b/EP.2.A1</RESOLUTION>", "",
         "@a/EP.1.B1"},
        {"GetResolution", "x<resolution>a/EP.1.B1</resolution><RESOLUTION>b/EP.2.A1</RESOLUTION>", "",
         "@<RESOLUTION>b/EP.2.A1</RESOLUTION>"},
        {"GetResolution", "<resolution>a</resolution><resolution>b</resolution>", "", "@b"},
        {"GetOpsUrlFromResolution", "no element", "", "@"},
        {"GetResolution", "", "", "@"},
        {"GetCountryFromResolution", "publication/docdb/EP.1000000.B1", "", "EP"},
        {"GetCountryFromResolution", "a/WOX", "", "WO"},
        {"GetCountryFromResolution", "a/1234", "", ""},
        {"GetNumberFromResolution", "publication/docdb/EP.1000000.B1", "", "1000000"},
        {"GetNumberFromResolution", "EP1000000B1", "", "1000000"},
        {"GetNumberFromResolution", "a/EPX12", "", "X12"},
        {"GetNumberFromResolution", "a/EP.", "", ""},
        {"GetNumberFromResolution", "a/EP", "", ""},
        {"GetNumberFromResolution", "a/", "", ""},
        {"GetKindFromResolution", "publication/docdb/EP.1000000.B1", "", "B1"},
        {"GetKindFromResolution", "EP1000000B1", "", "B1"},
        {"GetKindFromResolution", "a/EP.1000000", "", ""},
        {"GetKindFromResolution", "a/EP", "", ""},
        {"RemoveHtmlFromNames", "<name>Ann</name><name>Bob</name>", "", "Ann;Bob"},
        {"RemoveHtmlFromNames", "<p><name>Ann</name></p>", "", "Ann"},
        {"RemoveHtmlFromNames", "Ann", "", ""},
        {"RemoveHTML", "<b>bold</b> text", "", "bold text"},
        {"RemoveHTML", "a < b <i>c</i>", "", "a c"},
        {"RemoveHTML", "a <b", "", "a <b"},
        {"RemoveHTML", "a > b", "", "a > b"},
        {"NoSuchFunction", "kept", "1", "kept"},
        {"ishUS", "kept", "", "kept"},
        {"isus", "4567", "", "4567"},
        {"", "kept", "", "kept"},
    };
    for (const KeyCase& c : cases)
        EXPECT_EQ(ApplyKeyFunction(c.function, c.value, c.argument), Expected(c.result))
            << c.function << "(" << c.value << ", " << c.argument << ")";
}

TEST(KeyFunctions, OpsAddressesFollowTheServiceHost)
{
    EXPECT_EQ(ApplyKeyFunction("FormatOpsUrl", "EP1B1", "1"), GetOpsPublishedDataUrl() + "publication/docdb/EP.1.B1");
    EXPECT_TRUE(IsOpsUrl(ApplyKeyFunction("FormatOpsUrl", "EP1B1", "1")));
}

TEST(KeyFunctions, KnownNames)
{
    EXPECT_TRUE(IsKeyFunction("GetKindFromResolution"));
    EXPECT_TRUE(IsKeyFunction("RemoveHTML"));
    EXPECT_FALSE(IsKeyFunction("removeHTML"));
    EXPECT_FALSE(IsKeyFunction(""));
}

} // namespace
