#include "InternetSession.h"

#include "HttpConnection.h"
#include "HttpFile.h"
#include "InternetException.h"
#include "ParseURL.h"

IMPLEMENT_DYNAMIC(CInternetSession, CObject)

namespace {

// The program's name as the default agent: its file name without folder and extension.
CString ModuleBaseName()
{
    char path[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString name(path);
    int slash = name.ReverseFind('\\');
    if (slash >= 0)
        name = name.Mid(slash + 1);
    int dot = name.ReverseFind('.');
    if (dot > 0)
        name = name.Left(dot);
    return name;
}

} // namespace

CInternetSession::CInternetSession(const char* pstrAgent, DWORD_PTR dwContext,
                                   DWORD dwAccessType, const char* pstrProxyName,
                                   const char* pstrProxyBypass, DWORD dwFlags)
    : m_dwContext(dwContext)
{
    CString agent = pstrAgent ? CString(pstrAgent) : ModuleBaseName();
    m_hSession = InternetOpenA(agent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
    if (!m_hSession)
        AfxThrowInternetException(dwContext);
}

CInternetSession::~CInternetSession()
{
    Close();
}

void CInternetSession::Close()
{
    if (m_hSession) {
        InternetCloseHandle(m_hSession);
        m_hSession = nullptr;
    }
}

CHttpConnection* CInternetSession::GetHttpConnection(const char* pstrServer, INTERNET_PORT nPort,
                                                     const char* pstrUserName,
                                                     const char* pstrPassword)
{
    return GetHttpConnection(pstrServer, 0, nPort, pstrUserName, pstrPassword);
}

CHttpConnection* CInternetSession::GetHttpConnection(const char* pstrServer, DWORD dwFlags,
                                                     INTERNET_PORT nPort,
                                                     const char* pstrUserName,
                                                     const char* pstrPassword)
{
    if (!m_hSession)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    HINTERNET h = InternetConnectA(m_hSession, pstrServer, nPort, pstrUserName, pstrPassword,
                                   INTERNET_SERVICE_HTTP, dwFlags, m_dwContext);
    if (!h)
        AfxThrowInternetException(m_dwContext);
    return new CHttpConnection(this, h, pstrServer, nPort, m_dwContext);
}

CInternetFile* CInternetSession::OpenURL(const char* pstrURL, DWORD_PTR dwContext, DWORD dwFlags,
                                         const char* pstrHeaders, DWORD dwHeadersLength)
{
    if (!m_hSession)
        AfxThrowInternetException(dwContext, ERROR_INVALID_HANDLE);
    DWORD service;
    CString server, object;
    INTERNET_PORT port;
    if (!AfxParseURL(pstrURL, service, server, object, port) ||
        (service != AFX_INET_SERVICE_HTTP && service != AFX_INET_SERVICE_HTTPS))
        AfxThrowInternetException(dwContext, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    HINTERNET h = InternetOpenUrlA(m_hSession, pstrURL, pstrHeaders,
                                   pstrHeaders ? dwHeadersLength : 0, dwFlags, dwContext);
    if (!h)
        AfxThrowInternetException(dwContext);
    return new CHttpFile(h, dwContext);
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue, DWORD /*dwFlags*/)
{
    return InternetSetOptionA(m_hSession, dwOption, &dwValue, sizeof dwValue);
}

