#include "KeyFunctions.h"

#include "RegEx.h"
#include "ServiceHosts.h"

#include <cstdlib>
#include <vector>

namespace {

bool IsCapital(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The position after the leading capitals of the text from pos on, at most nMax of them
// (nMax < 0: no limit).
int SkipCapitals(const CString& text, int pos, int nMax = -1)
{
    while (pos < text.GetLength() && nMax != 0 && IsCapital(text[pos])) {
        ++pos;
        --nMax;
    }
    return pos;
}

int SkipDigits(const CString& text, int pos)
{
    while (pos < text.GetLength() && IsDigit(text[pos]))
        ++pos;
    return pos;
}

// A kind code written twice over ("A1A1") is taken once.
CString HalveRepeatedKind(const CString& kind)
{
    if (kind.GetLength() > 1) {
        const int half = kind.GetLength() / 2;
        if (kind.Left(half) == kind.Right(half))
            return kind.Left(half);
    }
    return kind;
}

// The next character, when there is one, and the digits after it: the number part of the
// OPS helpers, which starts with whatever follows the country.
int NumberEnd(const CString& text, int pos)
{
    if (pos >= text.GetLength())
        return pos;
    return SkipDigits(text, pos + 1);
}

CString AfterLastSlash(const CString& value)
{
    return value.Mid(value.ReverseFind('/') + 1);
}

CString IsUS(const CString& value)
{
    const unsigned char first = value.IsEmpty() ? 0 : static_cast<unsigned char>(value[0]);
    if (first < 65 || first > 122)
        return "US" + value;
    return value;
}

CString TrimLeftCount(const CString& value, const CString& argument)
{
    if (value.IsEmpty())
        return value;
    const int n = std::atoi(argument);
    if (n <= 0)
        return value;
    if (n >= value.GetLength())
        return CString();
    return value.Right(value.GetLength() - n);
}

CString ReplaceText(CString value, const CString& argument)
{
    const int colon = argument.Find(':');
    if (colon >= 0)
        value.Replace(argument.Left(colon), argument.Mid(colon + 1));
    return value;
}

CString RemoveWhiteSpace(CString value)
{
    value.Replace('\t', ' ');
    while (value.Find("  ") >= 0)
        value.Replace("  ", " ");
    if (!value.IsEmpty() && value[0] == ' ')
        value.Delete(0);
    if (!value.IsEmpty() && value[value.GetLength() - 1] == ' ')
        value.Delete(value.GetLength() - 1);
    return value;
}

CString GetKindCode(const CString& value)
{
    const int pos = SkipDigits(value, SkipCapitals(value, 0));
    return HalveRepeatedKind(value.Mid(pos));
}

CString StripKindCode(const CString& value)
{
    return value.Left(SkipDigits(value, 0));
}

CString StripKindCodeNumber(const CString& value)
{
    return value.Left(SkipCapitals(value, 0));
}

// Country, number and kind of a publication number such as EP7654B1, joined into an OPS
// published-data address.
CString FormatOpsUrl(const CString& value, const CString& argument, const char* pszPath)
{
    const int countryEnd = SkipCapitals(value, 0, 2);
    const int numberEnd = NumberEnd(value, countryEnd);
    const CString country = value.Left(countryEnd);
    const CString number = value.Mid(countryEnd, numberEnd - countryEnd);
    const CString kind = HalveRepeatedKind(value.Mid(numberEnd));
    CString url = GetOpsPublishedDataUrl() + pszPath + country + "." + number;
    return argument == "1" ? url + "." + kind : url + kind;
}

// The published-data address of one resolution element of an OPS reply: the first or the
// last of them.
CString OpsUrlFromResolution(const CString& value, bool bLast)
{
    RegEx expression("<resolution>(.+?)</resolution>", true);
    std::vector<CString> matches;
    expression.Grep(matches, value);
    CString resolution;
    if (!matches.empty()) {
        resolution = bLast ? matches.back() : matches.front();
        resolution.Replace("<resolution>", "");
        resolution.Replace("</resolution>", "");
    }
    return GetOpsPublishedDataUrl() + resolution;
}

CString CountryFromResolution(const CString& value)
{
    const CString last = AfterLastSlash(value);
    return last.Left(SkipCapitals(last, 0, 2));
}

// The position where the number of a resolution's last part begins: behind at most two
// capitals and one full stop.
int ResolutionNumberStart(const CString& last)
{
    int pos = SkipCapitals(last, 0, 2);
    if (pos < last.GetLength() && last[pos] == '.')
        ++pos;
    return pos;
}

CString NumberFromResolution(const CString& value)
{
    const CString last = AfterLastSlash(value);
    const int start = ResolutionNumberStart(last);
    return last.Mid(start, NumberEnd(last, start) - start);
}

CString KindFromResolution(const CString& value)
{
    const CString last = AfterLastSlash(value);
    int pos = NumberEnd(last, ResolutionNumberStart(last));
    if (pos < last.GetLength() && last[pos] == '.')
        ++pos;
    return last.Mid(pos);
}

CString RemoveHtmlFromNames(CString value)
{
    value.Replace("</name>", ";");
    value = RemoveHtmlTags(value);
    const int last = value.ReverseFind(';');
    return last >= 0 ? value.Left(last) : CString();
}

CString FixLinkProtocol(CString value)
{
    value.Replace("\"//", "\"http://");
    return value;
}

using KeyFunction = CString (*)(const CString& value, const CString& argument);

struct NamedFunction
{
    const char* pszName;
    KeyFunction pFunction;
};

const NamedFunction kFunctions[] = {
    {"isUS", [](const CString& v, const CString&) { return IsUS(v); }},
    {"TrimLeft", [](const CString& v, const CString& a) { return TrimLeftCount(v, a); }},
    {"Replace", [](const CString& v, const CString& a) { return ReplaceText(v, a); }},
    {"RemoveWhiteSpace", [](const CString& v, const CString&) { return RemoveWhiteSpace(v); }},
    {"FixLinkProtocol", [](const CString& v, const CString&) { return FixLinkProtocol(v); }},
    {"GetKindCode", [](const CString& v, const CString&) { return GetKindCode(v); }},
    {"StripKindCode", [](const CString& v, const CString&) { return StripKindCode(v); }},
    {"StripKindCodeNumber", [](const CString& v, const CString&) { return StripKindCodeNumber(v); }},
    {"FormatOpsUrl",
     [](const CString& v, const CString& a) { return FormatOpsUrl(v, a, "publication/docdb/"); }},
    {"FormatOpsUrlApplication",
     [](const CString& v, const CString& a) { return FormatOpsUrl(v, a, "application/docdb/"); }},
    {"GetOpsUrlFromResolution",
     [](const CString& v, const CString&) { return OpsUrlFromResolution(v, false); }},
    {"GetResolution", [](const CString& v, const CString&) { return OpsUrlFromResolution(v, true); }},
    {"GetCountryFromResolution", [](const CString& v, const CString&) { return CountryFromResolution(v); }},
    {"GetNumberFromResolution", [](const CString& v, const CString&) { return NumberFromResolution(v); }},
    {"GetKindFromResolution", [](const CString& v, const CString&) { return KindFromResolution(v); }},
    {"RemoveHtmlFromNames", [](const CString& v, const CString&) { return RemoveHtmlFromNames(v); }},
    {"RemoveHTML", [](const CString& v, const CString&) { return RemoveHtmlTags(v); }},
};

const NamedFunction* FindFunction(const CString& function)
{
    for (const NamedFunction& f : kFunctions) {
        if (function == f.pszName)
            return &f;
    }
    return nullptr;
}

} // namespace

CString ApplyKeyFunction(const CString& function, const CString& value, const CString& argument)
{
    const NamedFunction* f = FindFunction(function);
    return f ? f->pFunction(value, argument) : value;
}

bool IsKeyFunction(const CString& function)
{
    return FindFunction(function) != nullptr;
}

CString RemoveHtmlTags(CString text)
{
    int p = text.Find('<');
    while (p >= 0) {
        const int q = text.Find('>', p + 1);
        if (q >= 1) {
            text.Delete(p, q - p + 1);
            p = text.Find('<');
        } else {
            p = text.Find('<', p + 1);
        }
    }
    return text;
}
