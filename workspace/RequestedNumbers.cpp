#include "RequestedNumbers.h"

#include <cstring>

namespace {

constexpr int kIdentifierOffset = 0, kIdentifierSize = 15;
constexpr int kNumbersOffset = 15, kNumbersSize = 21;
constexpr int kPageOffset = 36;

// Upper case, then only the characters a document number can hold.
CString KeepNumberCharacters(CString line)
{
    line.MakeUpper();
    CString kept;
    for (int i = 0; i < line.GetLength(); ++i) {
        const char c = line[i];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-')
            kept += c;
    }
    return kept;
}

// The text of a zero-terminated field, or false when the field holds no zero byte.
bool FieldText(const char* pField, int nSize, CString& text)
{
    const void* end = std::memchr(pField, 0, static_cast<size_t>(nSize));
    if (!end)
        return false;
    text = CString(pField, static_cast<int>(static_cast<const char*>(end) - pField));
    return true;
}

} // namespace

std::vector<CString> SplitRequestLines(const CString& text)
{
    std::vector<CString> lines;
    CString rest = text + "\n";
    int pos;
    while ((pos = rest.Find('\n')) > 0) {
        lines.push_back(rest.Left(pos));
        rest = rest.Mid(pos + 1);
    }
    return lines;
}

CString CleanQuickDownloadNumber(CString line)
{
    CString number = KeepNumberCharacters(line);
    if (number.Find("EP") >= 0 && number.GetLength() < 9) {
        const int nPad = 9 - number.GetLength();
        for (int i = 0; i < nPad; ++i)
            number.Replace("EP", "EP0");
    }
    if (number.Find("WO") >= 0 && number.GetLength() > 8) {
        number.Replace("WO2001", "WO01");
        number.Replace("WO200202", "WO022");
        number.Replace("WO2002", "WO02");
        number.Replace("WO2003", "WO03");
    }
    const bool bUS = number.Find("US") >= 0;
    if (!bUS || number.Find("PCT") >= 0)
        number.Remove('/');
    number.Replace("SHORTCUT", "");
    return number;
}

CString CleanToolbarNumber(CString line)
{
    CString number = KeepNumberCharacters(line);
    number.Replace("SHORTCUT", "");
    return number;
}

bool ParseToolbarRequest(const char* pData, int nLength, ToolbarRequest& request)
{
    if (!pData || nLength != kToolbarRequestSize)
        return false;
    ToolbarRequest parsed;
    if (!FieldText(pData + kIdentifierOffset, kIdentifierSize, parsed.strIdentifier) ||
        !FieldText(pData + kNumbersOffset, kNumbersSize, parsed.strNumbers))
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(pData + kPageOffset);
    parsed.nPageChoice = static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
    request = parsed;
    return true;
}

void MakeToolbarGreeting(char (&greeting)[kToolbarRequestSize])
{
    std::memset(greeting, 0, sizeof greeting);
}
