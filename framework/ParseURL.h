// AfxParseURL: splits a URL into its service type, server, object (path with query) and port.
#pragma once

#include "String.h"

#include <windows.h>
#include <wininet.h>

// Service types answered by AfxParseURL.
enum : DWORD {
    AFX_INET_SERVICE_FTP = INTERNET_SERVICE_FTP,
    AFX_INET_SERVICE_GOPHER = INTERNET_SERVICE_GOPHER,
    AFX_INET_SERVICE_HTTP = INTERNET_SERVICE_HTTP,
    AFX_INET_SERVICE_HTTPS = 0x1001,
    AFX_INET_SERVICE_FILE = 0x1002,
    AFX_INET_SERVICE_UNK = 0x1000,
};

// True when the URL names a known service and, for network services, a server. The object is
// the path with its query, "/" when the URL has none; the port is the URL's or the service's
// default. Texts of any length are accepted. On failure the service type is
// AFX_INET_SERVICE_UNK and the texts are empty.
BOOL AfxParseURL(const char* pstrURL, DWORD& dwServiceType, CString& strServer,
                 CString& strObject, INTERNET_PORT& nPort);
