#include "TextConversion.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

std::wstring AnsiToUtf16(const char* pch, int nLength)
{
    if (!pch)
        return std::wstring();
    if (nLength < 0)
        nLength = static_cast<int>(std::strlen(pch));
    if (nLength == 0)
        return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, pch, nLength, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, pch, nLength, &out[0], n);
    return out;
}

CString Utf16ToAnsi(const wchar_t* pch, int nLength)
{
    if (!pch)
        return CString();
    if (nLength < 0)
        nLength = static_cast<int>(std::wcslen(pch));
    if (nLength == 0)
        return CString();
    int n = WideCharToMultiByte(CP_ACP, 0, pch, nLength, nullptr, 0, nullptr, nullptr);
    CString out;
    if (n > 0) {
        char* buf = out.GetBufferSetLength(n);
        WideCharToMultiByte(CP_ACP, 0, pch, nLength, buf, n, nullptr, nullptr);
        out.ReleaseBuffer(n);
    }
    return out;
}
