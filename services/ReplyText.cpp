#include "ReplyText.h"

#include "NearestLetters.h"
#include "ServiceHosts.h"

#include <windows.h>

#include <string>

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool NamesUtf8(CString name)
{
    name.Trim();
    name.Trim("\"'");
    name.Trim();
    return name.CompareNoCase("utf-8") == 0 || name.CompareNoCase("utf8") == 0;
}

// The value of the charset parameter of a Content-Type; empty when it has none.
CString CharsetOf(const CString& contentType)
{
    CString lower = contentType;
    lower.MakeLower();
    const int at = lower.Find("charset=");
    if (at < 0)
        return CString();
    CString value = contentType.Mid(at + 8);
    const int end = value.Find(';');
    if (end >= 0)
        value = value.Left(end);
    value.Trim();
    return value;
}

bool StartsWithByteOrderMark(const CString& body)
{
    return body.Left(3) == kByteOrderMark;
}

// The encoding that the XML declaration at the start of the body names; empty when there is
// no declaration or it names none.
CString XmlDeclaredEncoding(const CString& body)
{
    int start = StartsWithByteOrderMark(body) ? 3 : 0;
    while (start < body.GetLength() && (body[start] == ' ' || body[start] == '\t' || body[start] == '\r' ||
                                        body[start] == '\n'))
        ++start;
    if (body.Mid(start, 5) != "<?xml")
        return CString();
    const int end = body.Find("?>", start);
    if (end < 0)
        return CString();
    const CString declaration = body.Mid(start, end - start);
    int p = declaration.Find("encoding");
    if (p < 0)
        return CString();
    p += 8;
    while (p < declaration.GetLength() && (declaration[p] == ' ' || declaration[p] == '='))
        ++p;
    if (p >= declaration.GetLength() || (declaration[p] != '"' && declaration[p] != '\''))
        return CString();
    const char quote = declaration[p];
    const int close = declaration.Find(quote, p + 1);
    if (close < 0)
        return CString();
    return declaration.Mid(p + 1, close - p - 1);
}

// The character in the ANSI code page; empty when the code page does not hold it.
std::string InCodePage(wchar_t c)
{
    char bytes[8];
    BOOL bDefaulted = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes, "?", &bDefaulted);
    return n > 0 && !bDefaulted ? std::string(bytes, static_cast<size_t>(n)) : std::string();
}

bool IsUnicodeSpace(wchar_t c)
{
    return c == 0x00A0 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F || c == 0x205F || c == 0x3000;
}

// The plain form of a dash or a typographic quote; 0 for any other character.
char PlainPunctuation(wchar_t c)
{
    switch (c) {
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2015:
    case 0x2212: case 0xFE58: case 0xFE63: case 0xFF0D:
        return '-';
    case 0x2018: case 0x2019: case 0x201A: case 0x201B: case 0x2039: case 0x203A:
        return '\'';
    case 0x201C: case 0x201D: case 0x201E: case 0x201F: case 0x00AB: case 0x00BB:
        return '"';
    default:
        return 0;
    }
}

// A character beyond ASCII as the code page writes it. Every Unicode space becomes a blank;
// what the code page holds stays; a dash or a quote it lacks becomes its plain form, a letter
// it lacks its nearest letters; "?" where nothing is near. No replacement is a path
// separator, a colon or a full stop, so a name made of the text stays a name.
std::string NearestAnsi(wchar_t c)
{
    if (IsUnicodeSpace(c))
        return " ";
    std::string held = InCodePage(c);
    if (!held.empty())
        return held;
    if (const char plain = PlainPunctuation(c))
        return std::string(1, plain);
    if (const NearestLetter* letter = FindNearestLetter(c)) {
        if (letter->closer) {
            held = InCodePage(letter->closer);
            if (!held.empty())
                return held;
        }
        return letter->plain;
    }
    return "?";
}

} // namespace

bool IsValidUtf8(const CString& bytes)
{
    const int length = bytes.GetLength();
    int i = 0;
    while (i < length) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int follow = 0;
        unsigned long code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + follow >= length)
            return false;
        for (int k = 1; k <= follow; ++k) {
            const unsigned char c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (c & 0x3F);
        }
        const unsigned long lowest[] = {0, 0x80, 0x800, 0x10000};
        if (code < lowest[follow] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += 1 + follow;
    }
    return true;
}

bool IsUtf8Reply(const CString& contentType, const CString& body, const CString& url)
{
    const CString charset = CharsetOf(contentType);
    if (!charset.IsEmpty())
        return NamesUtf8(charset);
    if (StartsWithByteOrderMark(body))
        return true;
    const CString declared = XmlDeclaredEncoding(body);
    if (!declared.IsEmpty())
        return NamesUtf8(declared);
    return IsOpsUrl(url) && IsValidUtf8(body);
}

CString Utf8ToAnsi(const CString& utf8)
{
    const int skip = StartsWithByteOrderMark(utf8) ? 3 : 0;
    const int length = utf8.GetLength() - skip;
    if (length <= 0)
        return CString();
    // A system whose ANSI code page is UTF-8 keeps the bytes as they are.
    if (::GetACP() == CP_UTF8)
        return utf8.Mid(skip);
    const char* source = utf8.GetString() + skip;
    const int wide = ::MultiByteToWideChar(CP_UTF8, 0, source, length, nullptr, 0);
    if (wide <= 0)
        return CString();
    std::wstring text(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, source, length, &text[0], wide);

    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        // A character beyond U+FFFF is two UTF-16 units, and no ANSI code page holds it: one "?".
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += '?';
            ++i;
            continue;
        }
        out += NearestAnsi(c);
    }
    return CString(out.data(), static_cast<int>(out.size()));
}

CString ReplyTextToAnsi(const CString& body, const CString& contentType, const CString& url)
{
    return IsUtf8Reply(contentType, body, url) ? Utf8ToAnsi(body) : body;
}
