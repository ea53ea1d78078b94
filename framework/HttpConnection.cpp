#include "HttpConnection.h"

#include "HttpFile.h"
#include "InternetException.h"

IMPLEMENT_DYNAMIC(CHttpConnection, CObject)

CHttpConnection::CHttpConnection(CInternetSession* pSession, HINTERNET hConnected,
                                 const char* pstrServer, INTERNET_PORT nPort, DWORD_PTR dwContext)
    : m_pSession(pSession), m_hConnection(hConnected), m_strServer(pstrServer), m_nPort(nPort),
      m_dwContext(dwContext)
{
}

CHttpConnection::~CHttpConnection()
{
    Close();
}

void CHttpConnection::Close()
{
    if (m_hConnection) {
        InternetCloseHandle(m_hConnection);
        m_hConnection = nullptr;
    }
}

CHttpFile* CHttpConnection::OpenRequest(const char* pstrVerb, const char* pstrObjectName,
                                        const char* pstrReferer, DWORD_PTR dwContext,
                                        const char** ppstrAcceptTypes, const char* pstrVersion,
                                        DWORD dwFlags)
{
    if (!m_hConnection)
        AfxThrowInternetException(dwContext, ERROR_INVALID_HANDLE);
    HINTERNET h = HttpOpenRequestA(m_hConnection, pstrVerb, pstrObjectName, pstrVersion,
                                   pstrReferer, ppstrAcceptTypes, dwFlags, dwContext);
    if (!h)
        AfxThrowInternetException(dwContext);
    return new CHttpFile(h, dwContext);
}
