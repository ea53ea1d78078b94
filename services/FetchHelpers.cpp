#include "FetchHelpers.h"

#include "ParseURL.h"

#include <ctime>

bool CheckFetchUrl(const char* pszOperation, const CString& url, CString& errorText,
                   int& errorCode)
{
    DWORD service;
    CString server, object;
    INTERNET_PORT port;
    const char* fault = nullptr;
    if (!AfxParseURL(url, service, server, object, port))
        fault = "Invalid URL, couldn't parse!";
    else if (service != AFX_INET_SERVICE_HTTP && service != AFX_INET_SERVICE_HTTPS)
        fault = "Invalid Service. Only http/https is supported.";
    if (!fault)
        return true;
    errorText.Format("%s  %s\nURL: %s\n\n", pszOperation, fault, url.GetString());
    errorCode = -900;
    return false;
}

int FetchClock()
{
    return static_cast<int>(std::clock() * 1000 / CLOCKS_PER_SEC);
}

void MeasureFetch(int nStart, int nEnd, int nBytes, double& dElapsed, double& dRate)
{
    dElapsed = (nEnd - nStart) / 1000.0;
    dRate = dElapsed > 0.0 ? nBytes / dElapsed : 0.0;
}
