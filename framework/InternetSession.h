// CInternetSession: one WinINet session (InternetOpen) from which HTTP connections and URL
// requests are made, with its agent name, context value and access type. Session options are
// set on it. The handle is closed by Close or on destruction.
#pragma once

#include "Object.h"
#include "String.h"

#include <windows.h>
#include <wininet.h>

class CHttpConnection;
class CInternetFile;

class CInternetSession : public CObject
{
    DECLARE_DYNAMIC(CInternetSession)
public:
    // A null agent names the session after the program (its file name without extension).
    // Throws CInternetException when WinINet refuses the session.
    explicit CInternetSession(const char* pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = PRE_CONFIG_INTERNET_ACCESS,
                              const char* pstrProxyName = nullptr,
                              const char* pstrProxyBypass = nullptr, DWORD dwFlags = 0);
    ~CInternetSession() override;

    // A new connection to the server (the caller owns it); the flags go to InternetConnect.
    // Throws CInternetException.
    CHttpConnection* GetHttpConnection(const char* pstrServer,
                                       INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER,
                                       const char* pstrUserName = nullptr,
                                       const char* pstrPassword = nullptr);
    CHttpConnection* GetHttpConnection(const char* pstrServer, DWORD dwFlags,
                                       INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER,
                                       const char* pstrUserName = nullptr,
                                       const char* pstrPassword = nullptr);

    // Opens an http or https URL, sent with the given extra headers; the answer is a
    // CHttpFile that the caller owns. Other schemes and refused requests throw
    // CInternetException.
    CInternetFile* OpenURL(const char* pstrURL, DWORD_PTR dwContext = 1,
                           DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                           const char* pstrHeaders = nullptr, DWORD dwHeadersLength = (DWORD)-1);

    BOOL SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags = 0);

    void Close();

    operator HINTERNET() const { return m_hSession; }
    DWORD_PTR GetContext() const { return m_dwContext; }

private:
    HINTERNET m_hSession;
    DWORD_PTR m_dwContext;
};
