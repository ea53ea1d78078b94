// The one place where the program's 8-bit text (bytes in the system's ANSI code page) and
// UTF-16 (COM, BSTR, the XML DOM) are converted into each other. Characters the ANSI code
// page lacks become the code page's default character ('?').
#pragma once

#include "String.h"

#include <string>

// nLength -1 converts up to the terminating zero; otherwise exactly nLength units, zeros too.
std::wstring AnsiToUtf16(const char* pch, int nLength = -1);
CString Utf16ToAnsi(const wchar_t* pch, int nLength = -1);

inline std::wstring AnsiToUtf16(const CString& text)
{
    return AnsiToUtf16(text.GetString(), text.GetLength());
}
