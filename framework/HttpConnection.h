// CHttpConnection: a connection of an internet session to one HTTP server and port, on which
// requests are opened. It owns its handle; the session must outlive it.
#pragma once

#include "Object.h"
#include "String.h"

#include <windows.h>
#include <wininet.h>

class CHttpFile;
class CInternetSession;

class CHttpConnection : public CObject
{
    DECLARE_DYNAMIC(CHttpConnection)
public:
    CHttpConnection(CInternetSession* pSession, HINTERNET hConnected, const char* pstrServer,
                    INTERNET_PORT nPort, DWORD_PTR dwContext);
    ~CHttpConnection() override;

    // A new request (verb "GET", "POST", ...) for the object on this server; the caller owns
    // it. Throws CInternetException when WinINet refuses.
    CHttpFile* OpenRequest(const char* pstrVerb, const char* pstrObjectName,
                           const char* pstrReferer = nullptr, DWORD_PTR dwContext = 1,
                           const char** ppstrAcceptTypes = nullptr,
                           const char* pstrVersion = nullptr,
                           DWORD dwFlags = INTERNET_FLAG_EXISTING_CONNECT);

    void Close();

    operator HINTERNET() const { return m_hConnection; }
    CInternetSession* GetSession() const { return m_pSession; }
    const CString& GetServerName() const { return m_strServer; }
    INTERNET_PORT GetPort() const { return m_nPort; }
    DWORD_PTR GetContext() const { return m_dwContext; }

private:
    CInternetSession* m_pSession;
    HINTERNET m_hConnection;
    CString m_strServer;
    INTERNET_PORT m_nPort;
    DWORD_PTR m_dwContext;
};
