#include "ConSocket.h"

#include "ProgressLog.h"
#include "ProjectManagerContainer.h"
#include "ProjectMessages.h"

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

// The system's text for a Windows Sockets error, without its line end; where the system has
// none, the name of the two errors a taken port gives.
CString SocketErrorText(int nError)
{
    char* text = nullptr;
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, static_cast<DWORD>(nError), 0, reinterpret_cast<char*>(&text), 0,
                                     nullptr);
    CString message = n && text ? CString(text, static_cast<int>(n)) : CString();
    if (text)
        ::LocalFree(text);
    message.TrimRight("\r\n .");
    if (!message.IsEmpty())
        return message;
    switch (nError) {
    case WSAEADDRINUSE: return "WSAEADDRINUSE, the port is in use";
    case WSAEACCES: return "WSAEACCES, access to the port is denied";
    default: return CString();
    }
}

} // namespace

CConSocket::CConSocket()
{
    ReadSystemId();
}

CConSocket::~CConSocket()
{
    StopWaiting();
}

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

BOOL CConSocket::OpenListener(UINT nPort, const char* lpszAddress)
{
    if (Create(nPort, SOCK_STREAM, lpszAddress) && Listen(SOMAXCONN))
        return TRUE;
    const int nError = GetLastError();
    Close();
    CString line;
    line.Format("The toolbar port %u could not be opened on %s: error %d", nPort,
                lpszAddress ? lpszAddress : "all local addresses", nError);
    const CString text = SocketErrorText(nError);
    if (!text.IsEmpty())
        line += " (" + text + ")";
    CProgressLog().Write(line + "; the browser toolbar cannot reach the program");
    return FALSE;
}

BOOL CConSocket::Listen(int nConnectionBacklog)
{
    m_bListening = true;
    return CSocket::Listen(nConnectionBacklog);
}

void CConSocket::Greet()
{
    // A new connection has room for 40 bytes; the send never waits. A peer that has gone
    // already is noticed by its close event or, at the latest, by the wait's end.
    char greeting[kToolbarRequestSize];
    MakeToolbarGreeting(greeting);
    CAsyncSocket::Send(greeting, kToolbarRequestSize);
    m_nWaitTimer = ::SetTimer(nullptr, 0, kRequestWaitMs, &CConSocket::OnRequestTimeout);
    if (m_nWaitTimer)
        WaitingSockets()[m_nWaitTimer] = this;
    else
        EndRequest(); // without its time limit a connection is not served
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
    if (m_bListening || m_bEnded)
        return;
    if (!TakeArrivedBytes())
        EndRequest();
}

void CConSocket::OnClose(int nErrorCode)
{
    CSocket::OnClose(nErrorCode);
    if (m_bListening || m_bEnded)
        return;
    // Whatever the peer sent before it closed is still read.
    TakeArrivedBytes();
    EndRequest();
}

void CALLBACK CConSocket::OnRequestTimeout(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    auto it = WaitingSockets().find(idEvent);
    if (it == WaitingSockets().end()) {
        ::KillTimer(nullptr, idEvent);
        return;
    }
    it->second->EndRequest();
}

bool CConSocket::TakeArrivedBytes()
{
    while (m_nReceived < kToolbarRequestSize) {
        const int n = CAsyncSocket::Receive(m_request + m_nReceived, kToolbarRequestSize - m_nReceived);
        if (n > 0)
            m_nReceived += n;
        else
            return n == SOCKET_ERROR && GetLastError() == WSAEWOULDBLOCK; // 0: the peer closed
    }
    return false;
}

void CConSocket::StopWaiting()
{
    if (!m_nWaitTimer)
        return;
    ::KillTimer(nullptr, m_nWaitTimer);
    WaitingSockets().erase(m_nWaitTimer);
    m_nWaitTimer = 0;
}

void CConSocket::EndRequest()
{
    if (m_bEnded)
        return;
    m_bEnded = true;
    StopWaiting();
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
    const bool bWhole =
        m_nReceived == kToolbarRequestSize && ParseToolbarRequest(m_request, m_nReceived, request);
    if (bWhole) {
        m_strNumbers = request.strNumbers;
        m_nPageChoice = request.nPageChoice;
    }
    // Without a stored identifier no request is trusted.
    if (bWhole && !m_strSystemId.IsEmpty() && request.strIdentifier == m_strSystemId && m_pOwner)
        m_pOwner->OnSocketReceive(this);
}
