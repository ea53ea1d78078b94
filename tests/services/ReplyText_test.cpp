// Which fetched replies are UTF-8 text, and their text in the ANSI code page (1252 in the
// test prefix).
#include "ReplyText.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const char kUtf8[] = "M\xC3\xBCller, Soci\xC3\xA9t\xC3\xA9, \xC5\x81ukasz";  // Müller, Société, Łukasz
const char kAnsi[] = "M\xFCller, Soci\xE9t\xE9, Lukasz";
const char kOps[] = "https://ops.epo.org/3.2/rest-services/published-data/publication/docdb/EP.1.B1/biblio";
const char kOther[] = "http://www.example.com/page.html";

} // namespace

TEST(ReplyText, WhichRepliesAreUtf8)
{
    const CString utf8 = kUtf8;
    const CString latin1 = "M\xFCller";
    const CString xmlUtf8 = CString("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<a>") + kUtf8;
    const CString xmlLatin1 = "<?xml version='1.0' encoding='ISO-8859-1'?><a>M\xFCller</a>";
    const CString xmlPlain = CString("<?xml version=\"1.0\"?><a>") + kUtf8 + "</a>";
    struct Case
    {
        const char* what;
        const char* contentType;
        CString body;
        const char* url;
        bool utf8;
    };
    const Case cases[] = {
        {"charset utf-8", "text/html; charset=utf-8", utf8, kOther, true},
        {"charset in quotes and capitals", "text/html;Charset=\"UTF-8\"", utf8, kOther, true},
        {"charset utf8", "application/xml; charset=utf8; q=1", utf8, kOther, true},
        {"charset utf-8 over a declaration of another encoding", "text/xml; charset=UTF-8", xmlLatin1, kOther, true},
        {"another charset over a UTF-8 declaration", "text/xml; charset=iso-8859-1", xmlUtf8, kOps, false},
        {"another charset from OPS", "text/plain; charset=windows-1252", utf8, kOps, false},
        {"declaration UTF-8", "application/xml", xmlUtf8, kOther, true},
        {"declaration after a byte order mark", "", "\xEF\xBB\xBF" + xmlUtf8, kOther, true},
        {"byte order mark alone", "text/plain", CString("\xEF\xBB\xBF") + kUtf8, kOther, true},
        {"declaration of another encoding from OPS", "application/xml", xmlLatin1, kOps, false},
        {"no charset, no encoding, elsewhere", "text/html", utf8, kOther, false},
        {"declaration without an encoding, elsewhere", "application/xml", xmlPlain, kOther, false},
        {"valid UTF-8 from OPS", "application/xml", xmlPlain, kOps, true},
        {"valid UTF-8 from OPS without a Content-Type", "", utf8, kOps, true},
        {"not UTF-8 from OPS", "application/xml", latin1, kOps, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUtf8Reply(c.contentType, c.body, c.url), c.utf8) << c.what;
}

TEST(ReplyText, ValidUtf8)
{
    struct Case
    {
        const char* bytes;
        bool valid;
    };
    const Case cases[] = {
        {"plain ASCII", true},
        {"", true},
        {kUtf8, true},
        {"\xE2\x82\xAC and \xF0\x9F\x98\x80", true},  // three and four bytes
        {"M\xFCller", false},                          // a Latin-1 byte
        {"cut \xC3", false},
        {"cut \xE2\x82", false},
        {"\xC0\xAF", false},                           // overlong
        {"\xE0\x80\xAF", false},                       // overlong
        {"\xED\xA0\x80", false},                       // a surrogate
        {"\xF4\x90\x80\x80", false},                   // above U+10FFFF
        {"\x80 alone", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

TEST(ReplyText, Utf8BecomesAnsiKeepingWhatTheCodePageHolds)
{
    ASSERT_EQ(1252u, ::GetACP()) << "the expected texts are those of code page 1252";
    struct Case
    {
        CString utf8;
        CString ansi;
    };
    const Case cases[] = {
        {kUtf8, kAnsi},
        {"\xE2\x82\xAC 5, \xE2\x80\x9Equoted\xE2\x80\x9C", "\x80 5, \x84quoted\x93"},  // in 1252 beyond Latin-1
        {"\xF0\x9F\x98\x80!", "?!"},                 // one character of two UTF-16 units: one "?"
        {"\xEF\xBB\xBFtext", "text"},                // the byte order mark goes
        {"a\xC3(b", "a?(b"},                         // a broken sequence: "?", the rest stays
        {"plain ASCII", "plain ASCII"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi) << c.utf8.GetString();

    EXPECT_EQ(ReplyTextToAnsi(kUtf8, "text/html; charset=utf-8", kOther), kAnsi);
    EXPECT_EQ(ReplyTextToAnsi(kUtf8, "text/html", kOther), kUtf8);
    EXPECT_EQ(ReplyTextToAnsi("M\xFCller", "application/xml", kOps), "M\xFCller");
}

// What code page 1252 lacks keeps its meaning: spaces become blanks, dashes and quotes their
// plain forms, letters their nearest letters; "?" only where nothing is near.
TEST(ReplyText, WhatTheCodePageLacksBecomesItsNearestForm)
{
    ASSERT_EQ(1252u, ::GetACP()) << "the expected texts are those of code page 1252";
    struct Case
    {
        const char* what;
        const char* utf8;
        const char* ansi;
    };
    const Case cases[] = {
        // OPS's epodoc names put an EN SPACE before the country.
        {"en space (U+2002)", "HERRALA SAMI\xE2\x80\x82[FI]", "HERRALA SAMI [FI]"},
        {"no-break space (U+00A0), held by 1252", "a\xC2\xA0" "b", "a b"},
        {"en quad (U+2000)", "a\xE2\x80\x80" "b", "a b"},
        {"thin space (U+2009)", "a\xE2\x80\x89" "b", "a b"},
        {"zero width space (U+200B)", "a\xE2\x80\x8B" "b", "a b"},
        {"narrow no-break space (U+202F)", "a\xE2\x80\xAF" "b", "a b"},
        {"medium mathematical space (U+205F)", "a\xE2\x81\x9F" "b", "a b"},
        {"ideographic space (U+3000)", "a\xE3\x80\x80" "b", "a b"},
        {"hyphen (U+2010)", "X\xE2\x80\x90Y", "X-Y"},
        {"non-breaking hyphen (U+2011)", "X\xE2\x80\x91Y", "X-Y"},
        {"figure dash (U+2012)", "X\xE2\x80\x92Y", "X-Y"},
        {"horizontal bar (U+2015)", "X\xE2\x80\x95Y", "X-Y"},
        {"minus sign (U+2212)", "X\xE2\x88\x92Y", "X-Y"},
        {"en dash (U+2013), held by 1252", "X\xE2\x80\x93Y", "X\x96Y"},
        {"single high-reversed-9 quote (U+201B)", "\xE2\x80\x9Bq", "'q"},
        {"double high-reversed-9 quote (U+201F)", "\xE2\x80\x9Fq", "\"q"},
        {"right single quote (U+2019), held by 1252", "O\xE2\x80\x99" "B", "O\x92" "B"},
        {"L with stroke (U+0141)", "\xC5\x81UKASIEWICZ", "LUKASIEWICZ"},
        {"c with caron (U+010D)", "Dvo\xC5\x99\xC3\xA1k", "Dvor\xE1k"},
        {"s with cedilla, g with breve (U+015F, U+011F)", "Ya\xC5\x9F\xC4\x9F", "Yasg"},
        {"dotless i (U+0131)", "I\xC4\xB1k", "Iik"},
        {"d with stroke (U+0111)", "\xC4\x91", "d"},
        {"u with diaeresis and acute (U+01D8): the diaeresis stays", "\xC7\x98", "\xFC"},
        {"o with circumflex and acute (U+1ED1): the circumflex stays", "Nguy\xE1\xBB\x85n", "Nguy\xEAn"},
        {"AE with acute (U+01FD)", "\xC7\xBD", "\xE6"},
        {"ligature fi (U+FB01)", "\xEF\xAC\x81le", "file"},
        {"full-width letters and digits", "\xEF\xBC\xA1\xEF\xBD\x82\xEF\xBC\x91", "Ab1"},
        {"Greek letters: nothing near", "\xCE\xB1\xCE\xB2", "??"},
        {"CJK: nothing near", "\xE7\x89\xB9\xE8\xA8\xB1", "??"},
        // Characters a best fit of the code page would turn into parts of a path.
        {"full-width solidus (U+FF0F)", "a\xEF\xBC\x8F" "b", "a?b"},
        {"division slash (U+2215)", "a\xE2\x88\x95" "b", "a?b"},
        {"full-width reverse solidus (U+FF3C)", "a\xEF\xBC\xBC" "b", "a?b"},
        {"full-width colon (U+FF1A)", "a\xEF\xBC\x9A" "b", "a?b"},
        {"ratio (U+2236)", "a\xE2\x88\xB6" "b", "a?b"},
        {"one dot leader (U+2024)", "a\xE2\x80\xA4" "b", "a?b"},
        {"two dot leader (U+2025)", "\xE2\x80\xA5", "?"},
        {"full-width full stop (U+FF0E)", "\xEF\xBC\x8E\xEF\xBC\x8E", "??"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToAnsi(c.utf8), CString(c.ansi)) << c.what;

    // No character beyond ASCII becomes a part of a path: a name made of the text still
    // passes the safe-name rules.
    int questionMarks = 0;
    for (unsigned code = 0x80; code <= 0xFFFF; ++code) {
        if ((code >= 0xD800 && code <= 0xDFFF) || code == 0xFEFF)  // surrogates; a leading byte order mark goes
            continue;
        const wchar_t c = static_cast<wchar_t>(code);
        char utf8[8];
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, &c, 1, utf8, sizeof utf8, nullptr, nullptr);
        ASSERT_GT(n, 0) << code;
        const CString ansi = Utf8ToAnsi(CString(utf8, n));
        ASSERT_FALSE(ansi.IsEmpty()) << code;
        questionMarks += ansi == "?" ? 1 : 0;
        EXPECT_TRUE(ansi.FindOneOf("\\/:.") < 0) << "U+" << std::hex << code << " became " << ansi.GetString();
    }
    EXPECT_GT(questionMarks, 0);
}
