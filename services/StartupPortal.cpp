#include "StartupPortal.h"

#include "ServiceHosts.h"
#include "TraceLine.h"

#include "Framework.h"

#include <memory>

CString FetchStartupHeaders()
{
    try {
        CInternetSession session(nullptr, 1, PRE_CONFIG_INTERNET_ACCESS, nullptr, nullptr, 0);
        DWORD service;
        CString server, object;
        INTERNET_PORT port;
        if (!AfxParseURL(GetPortalStartUrl(), service, server, object, port) ||
            service != AFX_INET_SERVICE_HTTP)
            return CString();
        std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection(server, port));
        std::unique_ptr<CHttpFile> request(
            connection->OpenRequest("GET", object, nullptr, 1, nullptr, nullptr,
                                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT));
        request->AddRequestHeaders("Accept: text/*\r\nUser-Agent: MFC_Tear_Sample\r\n",
                                   HTTP_ADDREQ_FLAG_ADD_IF_NEW);
        request->SendRequest();
        CString headers;
        request->QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, headers);
        return headers;
    } catch (CInternetException* e) {
        char message[261] = {0};
        e->GetErrorMessage(message, sizeof message);
        CString line;
        line.Format("Error while downloading Header string. Error code:%d & Error Description: %s",
                    static_cast<int>(e->m_dwError), message);
        WriteTraceLine(line);
        e->Delete();
        return CString();
    }
}
