#include "TextHelpers.h"

CString EscapeXml(CString text)
{
    text.Replace("&", "&amp;");
    text.Replace("<", "&lt;");
    text.Replace(">", "&gt;");
    text.Replace("\"", "&quot;");
    return text;
}

CString UnescapeXml(CString text)
{
    text.Replace("&amp;", "&");
    text.Replace("&lt;", "<");
    text.Replace("&gt;", ">");
    text.Replace("&quot;", "\"");
    return text;
}

CString StripSlashes(CString text)
{
    text.Remove('/');
    text.Remove('\\');
    return text;
}

CString NullsToSpaces(CString text)
{
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == '\0')
            text.SetAt(i, ' ');
    }
    return text;
}

CString FirstLine(const CString& text)
{
    const int eol = text.Find('\n');
    return eol >= 0 ? text.Left(eol) : text;
}

namespace {

// The system's message for the error code as the system gives it, line break and all; empty
// when it has none.
CString SystemMessage(DWORD error)
{
    char* pText = nullptr;
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<char*>(&pText), 0, nullptr);
    CString text;
    if (length > 0 && pText)
        text = CString(pText, static_cast<int>(length));
    if (pText)
        ::LocalFree(pText);
    return text;
}

} // namespace

char* GetLastErrorText(char* pszBuffer, DWORD nSize)
{
    if (!pszBuffer || nSize == 0)
        return pszBuffer;
    pszBuffer[0] = '\0';
    CString text = SystemMessage(::GetLastError());
    if (!text.IsEmpty() && nSize >= static_cast<DWORD>(text.GetLength()) + 14) {
        if (text.Right(2) == "\r\n")
            text.Delete(text.GetLength() - 2, 2);
        lstrcpynA(pszBuffer, text, static_cast<int>(nSize));
    }
    return pszBuffer;
}

CString SystemErrorText(DWORD error)
{
    CString text = SystemMessage(error);
    text.TrimRight();
    if (text.IsEmpty())
        text.Format("Error %lu.", error);
    return text;
}
