#include "SearchText.h"

#include "KeyFunctions.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

CString Decimal(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

void CollapseBlanks(CString& value)
{
    while (value.Find("  ") >= 0)
        value.Replace("  ", " ");
}

// The control characters below a blank that XML 1.0 does not allow in a document: all but
// the tab, the line feed and the carriage return.
bool IsForbiddenInXml(unsigned code)
{
    return code < 0x20 && code != 0x09 && code != 0x0A && code != 0x0D;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Query rewriting for full-text search forms: double blanks and the punctuation such forms
// refuse go; a query that begins its terms with "OR+" has them joined by "+OR+".
CString WipoFix(CString value)
{
    CollapseBlanks(value);
    static const char kRemoved[] = "!@#$%^&*()-_=;/.,{}|:<>?\"";
    for (const char* p = kRemoved; *p; ++p)
        value.Remove(*p);
    const int orPlus = value.Find("OR+");
    if (orPlus >= 0) {
        value.Delete(orPlus, 3);
        value.Replace(" ", "+OR+");
    }
    return value;
}

CString CutAtAmpersand(CString value)
{
    const int amp = value.Find('&');
    return amp >= 0 ? value.Left(amp) : value;
}

// The kind code of a query text such as "KC=B1&...": what follows the first "K" and the
// first "C" after it, up to an ampersand.
CString GetKindCode(CString value)
{
    const int k = value.Find('K');
    const int c = k >= 0 ? value.Find('C', k) : -1;
    value.Delete(0, c + 2);
    return CutAtAmpersand(value);
}

// The date of a query text such as "date=20050101&...": the characters from the fifth after
// the first "da" up to an ampersand.
CString GetDate(CString value)
{
    const int p = value.Find("da");
    value.Delete(0, p >= 0 ? p + 5 : 4);
    return CutAtAmpersand(value);
}

} // namespace

CString ApplySearchKeyFunction(const CString& function, const CString& value, const CString& argument)
{
    if (function == "CalculateStart")
        return Decimal(std::atoi(value) + 1);
    if (function == "CalculateEnd")
        return Decimal(std::atoi(value) + 100);
    if (function == "WIPOFIX")
        return WipoFix(value);
    if (function == "getKC")
        return GetKindCode(value);
    if (function == "getDate")
        return GetDate(value);
    // The download recipe's functions of these names do the same. GetOpsUrlFromResolution
    // gives a search recipe the program's OPS published-data address, as it gives it the
    // document recipe.
    if (function == "TrimLeft" || function == "Replace" || function == "RemoveHTML" ||
        function == "GetOpsUrlFromResolution")
        return ApplyKeyFunction(function, value, argument);
    return value;
}

CString CleanXmlValue(CString value)
{
    for (int i = 0; i < value.GetLength(); ++i) {
        if (IsForbiddenInXml(static_cast<unsigned char>(value[i])))
            value.SetAt(i, ' ');
    }
    CollapseBlanks(value);
    value.Remove('\n');
    value.Remove('\r');
    value = RemoveHtmlTags(value);
    value.Replace("&amp;", "&");
    value.Replace("&lt;", "<");
    value.Replace("&gt;", ">");
    value.Replace("&quot;", "\"");
    value.Replace("&apos;", "'");
    value.Replace("&", "&amp;");
    value.Replace("<", "&lt;");
    value.Replace(">", "&gt;");
    value.Replace("\"", "&quot;");
    return DecodePercentEscapes(value);
}

CString DecodePercentEscapes(CString text)
{
    text.Replace('+', ' ');
    CString out;
    const int length = text.GetLength();
    int i = 0;
    while (i < length) {
        const int first = i + 1 < length ? HexValue(text[i + 1]) : -1;
        if (text[i] != '%' || first < 0) {
            out += text[i++];
            continue;
        }
        const int second = i + 2 < length ? HexValue(text[i + 2]) : -1;
        const int digits = second >= 0 ? 2 : 1;
        const unsigned code = second >= 0 ? static_cast<unsigned>(first * 16 + second)
                                          : static_cast<unsigned>(first);
        if (IsForbiddenInXml(code))
            out += ' ';
        else
            out += "&#x" + text.Mid(i + 1, digits) + ";";
        i += 1 + digits;
    }
    return out;
}

float RateInKBps(double dBytesPerSecond)
{
    const double kbps = static_cast<float>(dBytesPerSecond) / 1024.0;
    if (!std::isfinite(kbps) || kbps < 0.0)
        return 0.0f;
    CString rounded;
    rounded.Format("%.10g", kbps);
    return static_cast<float>(std::atof(rounded));
}

long long WholeNumber(const CString& text)
{
    const char* p = text.GetString();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    const bool bNegative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    const unsigned long long limit =
        bNegative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : static_cast<unsigned long long>(LLONG_MAX);
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    if (!bNegative)
        return static_cast<long long>(value);
    return value == limit ? LLONG_MIN : -static_cast<long long>(value);
}
