// The search key functions, the percent-escape conversion and the cleaning of result values,
// each as a table of cases; the proof that every cleaned value stands in XML; the numbers read
// from answers and the words for a refused request.
#include "SearchText.h"

#include "SearchAnswer.h"
#include "Msxml.h"
#include "ServiceHosts.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

TEST(SearchKeyFunctions, EachFunctionOnItsValue)
{
    struct
    {
        const char* function;
        const char* value;
        const char* argument;
        const char* result;
    } cases[] = {
        {"CalculateStart", "20", "", "21"},
        {"CalculateStart", "", "", "1"},
        {"CalculateStart", "7 of 9", "", "8"},
        {"CalculateEnd", "20", "", "120"},
        {"CalculateEnd", "", "", "100"},
        {"TrimLeft", "abcdef", "3", "def"},
        {"TrimLeft", "abcdef", "10", ""},
        {"TrimLeft", "abcdef", "", "abcdef"},
        {"TrimLeft", "", "3", ""},
        {"Replace", "A AND B AND C", "AND:and", "A and B and C"},
        {"Replace", "A AND B", "AND", "A AND B"},
        {"Replace", "solar panel", " :+", "solar+panel"},
        {"Replace", "a:b", "a:x:y", "x:y:b"},
        {"WIPOFIX", "OR+solar panel", "", "solar+OR+panel"},
        {"WIPOFIX", "solar panel", "", "solar panel"},
        {"WIPOFIX", "solar,  panel!", "", "solar panel"},
        {"WIPOFIX", "a   (b)  c", "", "a b c"},
        {"WIPOFIX", "!@#$%^&*()-_=;/.,{}|:<>?\"x+y", "", "x+y"},
        {"WIPOFIX", "OR+one", "", "one"},
        {"WIPOFIX", "a OR+b c", "", "a+OR+b+OR+c"},
        {"getKC", "KC=B1&DB=EPD", "", "B1"},
        {"getKC", "xxKC=A2", "", "A2"},
        {"getKC", "KIND=B2&x", "", "IND=B2"},
        {"getKC", "no capital k", "", "o capital k"},
        {"getKC", "K", "", ""},
        {"getDate", "date=20050101&DB=EPD", "", "20050101"},
        {"getDate", "update=2005&x", "", "2005"},
        {"getDate", "PD=19990101", "", "9990101"},
        {"getDate", "abc", "", ""},
        {"RemoveHTML", "<b>a</b> < c", "", "a < c"},
        {"RemoveHTML", "x<y", "", "x<y"},
        {"calculatestart", "20", "", "20"},
        {"isUS", "4567", "", "4567"},
        {"", "as it is", "x", "as it is"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ApplySearchKeyFunction(c.function, c.value, c.argument), c.result)
            << c.function << "(" << c.value << ", " << c.argument << ")";
    }
    // A search recipe's address of the OPS service is the program's.
    EXPECT_EQ(ApplySearchKeyFunction("GetOpsUrlFromResolution", "<resolution>search/biblio</resolution>", ""),
              GetOpsPublishedDataUrl() + "search/biblio");
}

TEST(DecodePercentEscapes, ReferencesInOneLeftToRightPass)
{
    struct
    {
        const char* text;
        const char* result;
    } cases[] = {
        {"%41", "&#x41;"},
        {"%2a and %2A", "&#x2a; and &#x2A;"},
        {"%25", "&#x25;"},
        {"a+b+", "a b "},
        {"%E9t%E9", "&#xE9;t&#xE9;"},
        {"%9x", "&#x9;x"},
        {"%0A%0d", "&#x0A;&#x0d;"},
        // Control characters that XML cannot carry become blanks.
        {"%00", " "},
        {"a%01b%08c%0B%0C%0E%1F", "a b c    "},
        {"%4G", " G"},
        {"%4", " "},
        // A later escape is not spoilt by an earlier one that is its beginning.
        {"%4G%41", " G&#x41;"},
        {"%%41", "%&#x41;"},
        {"100%", "100%"},
        {"%G1", "%G1"},
        {"%414", "&#x41;4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodePercentEscapes(c.text), c.result) << c.text;
}

TEST(CleanXmlValue, EntitiesBlanksTagsAndEscapes)
{
    struct
    {
        const char* value;
        const char* result;
    } cases[] = {
        {"Tom &amp; Jerry", "Tom &amp; Jerry"},
        {"Tom & Jerry", "Tom &amp; Jerry"},
        {"1 &lt; 2 &gt; 0", "1 &lt; 2 &gt; 0"},
        {"<b>word</b>", "word"},
        {"a%25b", "a&#x25;b"},
        {"a+b", "a b"},
        {"a     b", "a b"},
        {"line\r\nbreak\n", "linebreak"},
        {"say \"hi\"", "say &quot;hi&quot;"},
        // The five entities of XML are read back before the value is escaped once.
        {"&quot;smart&quot; lock", "&quot;smart&quot; lock"},
        {"it&apos;s", "it's"},
        {"&amp;lt;", "&lt;"},
        {"x < y", "x &lt; y"},
        {"a\tb", "a\tb"},
        {"a\x01" "b\x1f" "c", "a b c"},
        {"Caf%E9  bar", "Caf&#xE9; bar"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CleanXmlValue(c.value), c.result) << c.value;
}

class CleanXmlValueDocument : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

// Whatever a result page holds, its cleaned value stands as the text of an element: no
// escape or byte makes the result set unparsable.
TEST_F(CleanXmlValueDocument, EveryEscapeAndByteGivesParsableText)
{
    IXMLDOMDocument2Ptr doc;
    ASSERT_TRUE(SUCCEEDED(doc.CreateInstance(__uuidof(DOMDocument40))));
    const char kHex[] = "0123456789ABCDEF";
    for (int code = 0; code < 256; ++code) {
        CString escapes = "%";
        escapes += kHex[code / 16];
        escapes += kHex[code % 16];
        escapes += " %";
        escapes += kHex[code % 16];
        escapes += "G";
        CString raw(std::string(1, static_cast<char>(code)).c_str(), 1);
        for (const CString& value : {escapes, "x" + raw + "y"}) {
            const CString xml = "<v>" + CleanXmlValue(value) + "</v>";
            EXPECT_EQ(doc->loadXML(_bstr_t(xml)), VARIANT_TRUE) << "code " << code << ": " << xml.GetString();
        }
    }
}

TEST(RateInKBps, BytesPerSecondAsKilobytesAndNoInfinity)
{
    EXPECT_FLOAT_EQ(RateInKBps(2048.0), 2.0f);
    EXPECT_FLOAT_EQ(RateInKBps(1536.0), 1.5f);
    EXPECT_FLOAT_EQ(RateInKBps(0.0), 0.0f);
    EXPECT_FLOAT_EQ(RateInKBps(HUGE_VAL), 0.0f);
    EXPECT_FLOAT_EQ(RateInKBps(std::nan("")), 0.0f);
    EXPECT_FLOAT_EQ(RateInKBps(-5.0), 0.0f);
}

TEST(WholeNumber, ReadsAsAtoiButInSixtyFourBitsHeldAtTheEnds)
{
    const struct
    {
        const char* text;
        long long value;
    } cases[] = {
        {"4294967396", 4294967396LL},           // atoi wraps this round to 100
        {"99999999999", 99999999999LL},
        {" \t+9223372036854775807", LLONG_MAX},
        {"9223372036854775808", LLONG_MAX},
        {"99999999999999999999999", LLONG_MAX},
        {"-9223372036854775808", LLONG_MIN},
        {"-99999999999999999999999", LLONG_MIN},
        {"230 results", 230},
        {"-17", -17},
        {"many", 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WholeNumber(c.text), c.value) << c.text;
}

TEST(ServiceFault, OnlyAFaultDocumentIsTheServicesFault)
{
    CString code, message;
    EXPECT_TRUE(ReadServiceFault("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                 "<fault xmlns=\"http://ops.epo.org\">\n    <code>CLIENT.InvalidQuery</code>\n"
                                 "    <message>Unbalanced &quot;quotes&quot; &amp; more</message>\n</fault>\n",
                                 code, message));
    EXPECT_EQ(code, "CLIENT.InvalidQuery");
    EXPECT_EQ(message, "Unbalanced \"quotes\" & more");
    EXPECT_TRUE(IsNothingFoundFault("SERVER.EntityNotFound"));
    EXPECT_FALSE(IsNothingFoundFault(code));
    // A fault element inside data, one of another namespace, a fault text after the start.
    for (const char* answer : {"<ops:world-patent-data><fault xmlns=\"http://ops.epo.org\"><code>X</code></fault>",
                               "<fault xmlns=\"urn:other\"><code>X</code></fault>",
                               "Service down\n<fault xmlns=\"http://ops.epo.org\"><code>X</code></fault>"})
        EXPECT_FALSE(ReadServiceFault(answer, code, message)) << answer;
}

TEST(RefusalText, StatusReasonAndTheFaultsCodeAndMessage)
{
    EXPECT_EQ(RefusalText(403, "Forbidden", "CLIENT.QuotaExceeded", "Quota spent"),
              "The search service refused the request: 403 Forbidden.\nCLIENT.QuotaExceeded: Quota spent");
    EXPECT_EQ(RefusalText(503, "Service Unavailable", "", ""),
              "The search service refused the request: 503 Service Unavailable.");
    EXPECT_EQ(RefusalText(500, "", "", "Down for maintenance"),
              "The search service refused the request: 500.\nDown for maintenance");
    EXPECT_EQ(RefusalText(200, "OK", "CLIENT.InvalidQuery", ""),
              "The search service refused the request.\nCLIENT.InvalidQuery");
}

} // namespace
