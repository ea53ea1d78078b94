#include "DocumentNumbers.h"

#include "RegEx.h"

namespace {

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Pads a number behind the series letters at nAfter (the "0" goes right after them) until
// it has nLength characters.
void PadAfter(CString& text, int nAfter, int nLength)
{
    while (text.GetLength() < nLength)
        text.Insert(nAfter, '0');
}

} // namespace

CString NormalizeDocumentNumber(CString number)
{
    number.MakeUpper();
    CString text;
    for (int i = 0; i < number.GetLength(); ++i) {
        const char c = number[i];
        if ((c >= 'A' && c <= 'Z') || IsDigit(c) || c == '/')
            text += c;
    }
    // Nothing of a number is left: no zeros make one up.
    if (text.IsEmpty())
        return text;

    if (text.Left(2) == "RE" || text.Left(2) == "PP")
        text = "US" + text;

    RegEx countryCode("([A-Z][A-Z])(.+)", false);
    if (countryCode.Search(text))
        return text;

    // No country code: a US number, padded to its series' length.
    text = "US" + text;
    for (const char* series : {"USD", "USH", "UST"}) {
        const int at = text.Find(series);
        if (at >= 0) {
            PadAfter(text, at + 3, 9);
            return text;
        }
    }
    if (text.Find('X') >= 0 && text.Find("USX0") < 0) {
        const int at = text.Find("USX");
        if (at >= 0)
            text.Insert(at + 3, '0');
        return text;
    }
    if (text.GetLength() < 9) {
        PadAfter(text, 2, 9);
    } else if (text.GetLength() > 10) {
        // An application number: year, then the serial padded to 13 characters in all.
        // A longer text is left as it is. Eight digits are a patent: the patents have had
        // eight since number 10,000,000.
        PadAfter(text, 6, 13);
    }
    return text;
}

bool IsApplicationNumber(const CString& countryCode, const CString& documentNumber)
{
    if (documentNumber.GetLength() < 8)
        return false;
    if (countryCode == "US") {
        // Today's patents: eight digits, designs a "D" and seven.
        int digits = 0;
        const int from = documentNumber[0] == 'D' ? 1 : 0;
        for (int i = from; i < documentNumber.GetLength() && IsDigit(documentNumber[i]); ++i)
            ++digits;
        if (from + digits == documentNumber.GetLength() && digits == 8 - from)
            return false;
    }
    return true;
}

CString GetKindSuffix(const CString& number)
{
    int i = 2;
    while (i < number.GetLength() && IsDigit(number[i]))
        ++i;
    return i < number.GetLength() ? number.Mid(i) : CString();
}

CString SplitKindCode(const CString& number, CString& kind, CString& bare)
{
    const int length = number.GetLength();
    int i = 0;
    while (i < length && (IsLetter(number[i]) || number[i] == '/' || number[i] == '\\'))
        ++i;
    const CString prefix = number.Left(i);
    const int digitsStart = i;
    while (i < length && !IsLetter(number[i]))
        ++i;
    const CString digits = number.Mid(digitsStart, i - digitsStart);
    bare = digits;
    kind.Empty();
    if (i >= length)
        return number;
    const CString rest = number.Mid(i);
    if (rest.GetLength() == 1)
        return prefix + digits + rest;
    kind = rest;
    return prefix + digits;
}

QueuedNumber CleanQueuedNumber(CString number, bool bFileWrapper)
{
    if (number.Find("PCT") < 0) {
        number.Remove('\\');
        number.Remove('/');
    }
    number.MakeUpper();
    number.Remove(' ');

    QueuedNumber result;
    result.suffix = GetKindSuffix(number);
    result.number = SplitKindCode(number, result.kind, result.bare);
    if (!bFileWrapper)
        result.number = NormalizeDocumentNumber(result.number);
    return result;
}

CString CleanTitle(CString title)
{
    CString clean;
    bool bBlank = false;
    for (int i = 0; i < title.GetLength(); ++i) {
        const char c = title[i];
        if (c == '\r' || c == '\n')
            continue;
        if (c == ' ') {
            if (bBlank)
                continue;
            bBlank = true;
        } else {
            bBlank = false;
        }
        clean += c;
    }
    return clean;
}
