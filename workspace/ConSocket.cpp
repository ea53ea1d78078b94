#include "ConSocket.h"

#include "ProgressLog.h"
#include "ProjectManagerContainer.h"
#include "ProjectMessages.h"
#include "RequestedNumbers.h"

#include <map>

IMPLEMENT_DYNAMIC(CConSocket, CSocket)

namespace {

const char kSettingsKey[] = "Software\\Quendal LLC\\Zentrova\\Settings";

// The connections whose request is being gathered, by the id of their wait timer. Socket
// events and these timers both run on the user-interface thread.
std::map<UINT_PTR, CConSocket*>& WaitingSockets()
{
    static std::map<UINT_PTR, CConSocket*> waiting;
    return waiting;
}

} // namespace

CConSocket::CConSocket()
{
    ReadSystemId();
}

CConSocket::~CConSocket() = default;

bool CConSocket::ReadSystemId()
{
    m_strSystemId.Empty();
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
        char data[256] = {}; // one byte more than the query may fill: the text always ends
        DWORD size = sizeof data - 1;
        DWORD type = 0;
        if (::RegQueryValueExA(hKey, "SystemID", nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ))
            m_strSystemId = data;
        ::RegCloseKey(hKey);
    }
    if (m_strSystemId.IsEmpty()) {
        CProgressLog().Write("Can't read registry, toolbar key not present");
        return false;
    }
    return true;
}

BOOL CConSocket::Listen(int nConnectionBacklog)
{
    m_bListening = true;
    return CSocket::Listen(nConnectionBacklog);
}

void CConSocket::OnAccept(int nErrorCode)
{
    CSocket::OnAccept(nErrorCode);
    if (m_pOwner)
        m_pOwner->OnSocketAccept();
}

void CConSocket::OnReceive(int nErrorCode)
{
    CSocket::OnReceive(nErrorCode);
    ReadRequest();
}

void CConSocket::OnClose(int nErrorCode)
{
    CSocket::OnClose(nErrorCode);
    // Whatever the peer sent before it closed is still read; after the close no read waits.
    ReadRequest();
}

void CALLBACK CConSocket::OnRequestTimeout(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    auto it = WaitingSockets().find(idEvent);
    if (it == WaitingSockets().end())
        return;
    it->second->m_bTimedOut = true;
    it->second->CancelBlockingCall();
}

void CConSocket::ReadRequest()
{
    if (m_bListening || m_bRequestRead)
        return;
    m_bRequestRead = true;

    // Receive waits while the thread handles its other messages, the timer's among them: a
    // peer that sends part of a request and stalls is cut off when the timer fires.
    char buffer[kToolbarRequestSize];
    int nReceived = 0;
    m_bTimedOut = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kRequestWaitMs, &CConSocket::OnRequestTimeout);
    if (timer) {
        WaitingSockets()[timer] = this;
        while (nReceived < kToolbarRequestSize && !m_bTimedOut) {
            const int n = Receive(buffer + nReceived, kToolbarRequestSize - nReceived);
            if (n <= 0)
                break; // closed by the peer, failed, or cut off
            nReceived += n;
        }
        ::KillTimer(nullptr, timer);
        WaitingSockets().erase(timer);
    }
    Close();

    // The owner deletes the closed connection later, also when handing the request on fails.
    struct AskOwnerToDelete
    {
        CConSocket* pSocket;
        ~AskOwnerToDelete()
        {
            CProjectManagerContainer* pOwner = pSocket->m_pOwner;
            if (pOwner && ::IsWindow(pOwner->m_hWnd))
                ::PostMessageA(pOwner->m_hWnd, UM_SOCKET_CLOSED, 0, reinterpret_cast<LPARAM>(pSocket));
        }
    } askOwner{this};

    ToolbarRequest request;
    const bool bWhole = nReceived == kToolbarRequestSize && ParseToolbarRequest(buffer, nReceived, request);
    if (bWhole) {
        m_strNumbers = request.strNumbers;
        m_nPageChoice = request.nPageChoice;
    }
    // Without a stored identifier no request is trusted.
    if (bWhole && !m_strSystemId.IsEmpty() && request.strIdentifier == m_strSystemId && m_pOwner)
        m_pOwner->OnSocketReceive(this);
}
