// Which fetched replies are UTF-8 text, and their text in the ANSI code page (1252 in the
// test prefix).
#include "ReplyText.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const char kUtf8[] = "M\xC3\xBCller, Soci\xC3\xA9t\xC3\xA9, \xC5\x81ukasz";  // Müller, Société, Łukasz
const char kAnsi[] = "M\xFCller, Soci\xE9t\xE9, ?ukasz";
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

TEST(ReplyText, Utf8BecomesAnsiWithQuestionMarksForWhatTheCodePageLacks)
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
