#include "HttpFile.h"

#include "InternetException.h"

#include <vector>

IMPLEMENT_DYNAMIC(CHttpFile, CInternetFile)

CHttpFile::CHttpFile(HINTERNET hFile, DWORD_PTR dwContext) : CInternetFile(hFile, dwContext) {}

BOOL CHttpFile::AddRequestHeaders(const char* pstrHeaders, DWORD dwFlags, int dwHeadersLen)
{
    if (!m_hFile || !pstrHeaders)
        return FALSE;
    return HttpAddRequestHeadersA(m_hFile, pstrHeaders, static_cast<DWORD>(dwHeadersLen), dwFlags);
}

BOOL CHttpFile::SendRequest(const char* pstrHeaders, DWORD dwHeadersLen, LPVOID lpOptional,
                            DWORD dwOptionalLen)
{
    if (!m_hFile)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    if (pstrHeaders && dwHeadersLen == 0)
        dwHeadersLen = static_cast<DWORD>(-1);
    ResetReceived();
    if (!HttpSendRequestA(m_hFile, pstrHeaders, pstrHeaders ? dwHeadersLen : 0, lpOptional,
                          dwOptionalLen))
        AfxThrowInternetException(m_dwContext);
    return TRUE;
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, CString& str, LPDWORD lpdwIndex) const
{
    str.Empty();
    if (!m_hFile)
        return FALSE;
    DWORD size = 1024;
    for (;;) {
        std::vector<char> buffer(size + 1);
        DWORD length = size;
        DWORD index = lpdwIndex ? *lpdwIndex : 0;
        if (HttpQueryInfoA(m_hFile, dwInfoLevel, buffer.data(), &length, &index)) {
            str = CString(buffer.data(), static_cast<int>(length));
            if (lpdwIndex)
                *lpdwIndex = index;
            return TRUE;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= size)
            return FALSE;
        size = length;
    }
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, LPDWORD lpdwIndex) const
{
    if (!m_hFile)
        return FALSE;
    DWORD size = sizeof dwResult;
    return HttpQueryInfoA(m_hFile, dwInfoLevel | HTTP_QUERY_FLAG_NUMBER, &dwResult, &size,
                          lpdwIndex);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    dwStatusCode = 0;
    return QueryInfo(HTTP_QUERY_STATUS_CODE, dwStatusCode);
}

void CHttpFile::OnEndOfData(ULONGLONG nReceived)
{
    CString announced;
    if (!QueryInfo(HTTP_QUERY_CONTENT_LENGTH, announced) || announced.IsEmpty())
        return;
    ULONGLONG expected = _strtoui64(announced, nullptr, 10);
    if (nReceived < expected)
        AfxThrowInternetException(m_dwContext, ERROR_INTERNET_CONNECTION_ABORTED);
}
