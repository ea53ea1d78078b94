// CHttpFile: one HTTP request and its reply: request headers are added, the request is sent
// (again, if need be), reply headers and status are queried and the body is read through
// CInternetFile. A body that ends before the length its reply announced counts as a broken
// transfer: the read that meets the early end throws CInternetException with
// ERROR_INTERNET_CONNECTION_ABORTED.
#pragma once

#include "InternetFile.h"

class CHttpFile : public CInternetFile
{
    DECLARE_DYNAMIC(CHttpFile)
public:
    CHttpFile(HINTERNET hFile, DWORD_PTR dwContext);

    BOOL AddRequestHeaders(const char* pstrHeaders, DWORD dwFlags = HTTP_ADDREQ_FLAG_ADD_IF_NEW,
                           int dwHeadersLen = -1);

    // Sends the request with optional extra headers and body; throws CInternetException when
    // WinINet fails. Each send starts a new reply.
    BOOL SendRequest(const char* pstrHeaders = nullptr, DWORD dwHeadersLen = 0,
                     LPVOID lpOptional = nullptr, DWORD dwOptionalLen = 0);

    // Reply information (HTTP_QUERY_*): as text, or as a number.
    BOOL QueryInfo(DWORD dwInfoLevel, CString& str, LPDWORD lpdwIndex = nullptr) const;
    BOOL QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, LPDWORD lpdwIndex = nullptr) const;
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;

protected:
    void OnEndOfData(ULONGLONG nReceived) override;
};
