#include "ParseURL.h"

#include <cstring>
#include <vector>

BOOL AfxParseURL(const char* pstrURL, DWORD& dwServiceType, CString& strServer,
                 CString& strObject, INTERNET_PORT& nPort)
{
    dwServiceType = AFX_INET_SERVICE_UNK;
    strServer.Empty();
    strObject.Empty();
    nPort = INTERNET_INVALID_PORT_NUMBER;
    if (!pstrURL || !*pstrURL)
        return FALSE;

    // Every part fits in a buffer as long as the whole URL.
    DWORD size = static_cast<DWORD>(std::strlen(pstrURL)) + 1;
    std::vector<char> host(size), path(size), extra(size);
    URL_COMPONENTSA parts;
    std::memset(&parts, 0, sizeof parts);
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = size;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = size;
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = size;
    if (!InternetCrackUrlA(pstrURL, 0, 0, &parts))
        return FALSE;

    DWORD service;
    switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP: service = AFX_INET_SERVICE_HTTP; break;
    case INTERNET_SCHEME_HTTPS: service = AFX_INET_SERVICE_HTTPS; break;
    case INTERNET_SCHEME_FTP: service = AFX_INET_SERVICE_FTP; break;
    case INTERNET_SCHEME_GOPHER: service = AFX_INET_SERVICE_GOPHER; break;
    case INTERNET_SCHEME_FILE: service = AFX_INET_SERVICE_FILE; break;
    default: return FALSE;
    }
    CString server(host.data(), static_cast<int>(parts.dwHostNameLength));
    if (service != AFX_INET_SERVICE_FILE && server.IsEmpty())
        return FALSE;

    dwServiceType = service;
    strServer = server;
    strObject = CString(path.data(), static_cast<int>(parts.dwUrlPathLength)) +
                CString(extra.data(), static_cast<int>(parts.dwExtraInfoLength));
    if (strObject.IsEmpty())
        strObject = "/";
    nPort = parts.nPort;
    return TRUE;
}
