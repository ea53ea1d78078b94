#include "AsyncSocket.h"

#include "SocketState.h"
#include "ThreadState.h"
#include "Wnd.h"

#include <ws2tcpip.h>

#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CAsyncSocket, CObject)

namespace {

// The hidden window that receives a thread's socket events and hands them to the objects.
class CSocketWnd : public CWnd
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SOCKET_NOTIFY) {
            CAsyncSocket::DoCallBack(wParam, lParam);
            return 0;
        }
        if (message == WM_SOCKET_GONE) {
            AfxSocketGone(AfxGetSocketState(), static_cast<SOCKET>(wParam));
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override
    {
        AfxSocketState* s = AfxGetThreadState()->pSockets;
        if (s && s->pWindow == this)
            s->pWindow = nullptr;
        delete this;
    }
};

// Fills an IPv4 address from a dotted address or a host name (null or empty: any address).
bool MakeAddress(const char* lpszAddress, UINT nPort, SOCKADDR_IN& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = ::htons(static_cast<u_short>(nPort));
    if (!lpszAddress || !*lpszAddress) {
        addr.sin_addr.s_addr = ::htonl(INADDR_ANY);
        return true;
    }
    addr.sin_addr.s_addr = ::inet_addr(lpszAddress);
    if (addr.sin_addr.s_addr != INADDR_NONE)
        return true;
    hostent* host = ::gethostbyname(lpszAddress);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list[0]) {
        ::WSASetLastError(WSAEINVAL);
        return false;
    }
    std::memcpy(&addr.sin_addr, host->h_addr_list[0], sizeof addr.sin_addr);
    return true;
}

BOOL NameOf(const SOCKADDR_IN& addr, CString& rAddress, UINT& rPort)
{
    rAddress = ::inet_ntoa(addr.sin_addr);
    rPort = ::ntohs(addr.sin_port);
    return TRUE;
}

} // namespace

bool AfxIsStaleSocketEvent(const AfxSocketState& s, SOCKET hSocket)
{
    return s.gone.count(hSocket) != 0;
}

void AfxSocketGone(AfxSocketState& s, SOCKET hSocket)
{
    auto it = s.gone.find(hSocket);
    if (it != s.gone.end() && --it->second <= 0)
        s.gone.erase(it);
}

AfxSocketState& AfxGetSocketState()
{
    AfxThreadState* t = AfxGetThreadState();
    if (!t->pSockets)
        t->pSockets = new AfxSocketState;
    return *t->pSockets;
}

void AfxTermSocketState(AfxSocketState* s)
{
    if (!s)
        return;
    if (s->pWindow) {
        CWnd* pWnd = s->pWindow;
        s->pWindow = nullptr;
        pWnd->DestroyWindow();
    }
    delete s;
}

CAsyncSocket::CAsyncSocket() = default;

CAsyncSocket::~CAsyncSocket()
{
    if (m_hSocket != INVALID_SOCKET)
        CAsyncSocket::Close();
}

HWND CAsyncSocket::NotificationWindow()
{
    AfxSocketState& s = AfxGetSocketState();
    if (!s.pWindow) {
        auto* pWnd = new CSocketWnd;
        if (!pWnd->CreateEx(0, nullptr, "Socket Notification Sink", WS_OVERLAPPED, 0, 0, 0, 0,
                            HWND_MESSAGE, nullptr)) {
            delete pWnd;
            return nullptr;
        }
        s.pWindow = pWnd;
    }
    return s.pWindow->m_hWnd;
}

void CAsyncSocket::AttachHandle(SOCKET hSocket, CAsyncSocket* pSocket)
{
    AfxGetSocketState().map[hSocket] = pSocket;
}

void CAsyncSocket::DetachHandle(SOCKET hSocket)
{
    // Events already announced for the handle must not reach a later socket that gets the
    // same number. Those kept by a waiting call are dropped now; those in the thread's queue
    // are dropped as they come, up to a marker posted behind them: after closesocket (or the
    // cancelled selection of a detach) nothing more is announced for the old socket.
    AfxSocketState& s = AfxGetSocketState();
    s.map.erase(hSocket);
    for (auto it = s.pending.begin(); it != s.pending.end();) {
        if (static_cast<SOCKET>(it->wParam) == hSocket)
            it = s.pending.erase(it);
        else
            ++it;
    }
    if (!s.pWindow)
        return;
    const HWND hSink = s.pWindow->m_hWnd;
    if (::PostMessageA(hSink, WM_SOCKET_GONE, static_cast<WPARAM>(hSocket), 0)) {
        ++s.gone[hSocket];
        return;
    }
    // No room for the marker: take the handle's events out of the queue here.
    std::vector<MSG> others;
    MSG msg;
    while (::PeekMessageA(&msg, hSink, WM_SOCKET_NOTIFY, WM_SOCKET_NOTIFY, PM_REMOVE | PM_NOYIELD)) {
        if (static_cast<SOCKET>(msg.wParam) != hSocket)
            others.push_back(msg);
    }
    for (const MSG& m : others)
        ::PostMessageA(hSink, m.message, m.wParam, m.lParam);
}

CAsyncSocket* CAsyncSocket::FromHandle(SOCKET hSocket)
{
    AfxThreadState* t = AfxGetThreadState();
    if (!t->pSockets)
        return nullptr;
    auto it = t->pSockets->map.find(hSocket);
    return it == t->pSockets->map.end() ? nullptr : it->second;
}

BOOL CAsyncSocket::Create(UINT nSocketPort, int nSocketType, long lEvent, const char* lpszSocketAddress)
{
    if (!Socket(nSocketType, lEvent))
        return FALSE;
    if (Bind(nSocketPort, lpszSocketAddress))
        return TRUE;
    int err = ::WSAGetLastError();
    Close();
    ::WSASetLastError(err);
    return FALSE;
}

BOOL CAsyncSocket::Socket(int nSocketType, long lEvent, int nProtocolType, int nAddressFormat)
{
    if (m_hSocket != INVALID_SOCKET) {
        ::WSASetLastError(WSAEISCONN);
        return FALSE;
    }
    SOCKET h = ::socket(nAddressFormat, nSocketType, nProtocolType);
    if (h == INVALID_SOCKET)
        return FALSE;
    if (Attach(h, lEvent))
        return TRUE;
    int err = ::WSAGetLastError();
    ::closesocket(h);
    ::WSASetLastError(err);
    return FALSE;
}

BOOL CAsyncSocket::Attach(SOCKET hSocket, long lEvent)
{
    if (hSocket == INVALID_SOCKET || m_hSocket != INVALID_SOCKET) {
        ::WSASetLastError(WSAEINVAL);
        return FALSE;
    }
    m_hSocket = hSocket;
    AttachHandle(hSocket, this);
    if (AsyncSelect(lEvent))
        return TRUE;
    DetachHandle(hSocket);
    m_hSocket = INVALID_SOCKET;
    return FALSE;
}

SOCKET CAsyncSocket::Detach()
{
    SOCKET h = m_hSocket;
    if (h != INVALID_SOCKET) {
        AsyncSelect(0);
        DetachHandle(h);
    }
    m_hSocket = INVALID_SOCKET;
    return h;
}

BOOL CAsyncSocket::AsyncSelect(long lEvent)
{
    HWND hWnd = NotificationWindow();
    if (!hWnd) {
        ::WSASetLastError(WSAENOBUFS);
        return FALSE;
    }
    return ::WSAAsyncSelect(m_hSocket, hWnd, WM_SOCKET_NOTIFY, lEvent) != SOCKET_ERROR;
}

BOOL CAsyncSocket::Bind(UINT nSocketPort, const char* lpszSocketAddress)
{
    SOCKADDR_IN addr;
    if (!MakeAddress(lpszSocketAddress, nSocketPort, addr))
        return FALSE;
    return Bind(reinterpret_cast<SOCKADDR*>(&addr), sizeof addr);
}

BOOL CAsyncSocket::Bind(const SOCKADDR* lpSockAddr, int nSockAddrLen)
{
    return ::bind(m_hSocket, lpSockAddr, nSockAddrLen) != SOCKET_ERROR;
}

BOOL CAsyncSocket::Listen(int nConnectionBacklog)
{
    return ::listen(m_hSocket, nConnectionBacklog) != SOCKET_ERROR;
}

BOOL CAsyncSocket::Accept(CAsyncSocket& rConnectedSocket, SOCKADDR* lpSockAddr, int* lpSockAddrLen)
{
    if (rConnectedSocket.m_hSocket != INVALID_SOCKET) {
        ::WSASetLastError(WSAEISCONN);
        return FALSE;
    }
    SOCKET h = ::accept(m_hSocket, lpSockAddr, lpSockAddrLen);
    if (h == INVALID_SOCKET)
        return FALSE;
    // The accepted socket keeps the listener's selection: same window, same events.
    rConnectedSocket.m_hSocket = h;
    AttachHandle(h, &rConnectedSocket);
    return TRUE;
}

BOOL CAsyncSocket::Connect(const char* lpszHostAddress, UINT nHostPort)
{
    SOCKADDR_IN addr;
    if (!lpszHostAddress || !*lpszHostAddress) {
        ::WSASetLastError(WSAEINVAL);
        return FALSE;
    }
    if (!MakeAddress(lpszHostAddress, nHostPort, addr))
        return FALSE;
    return ConnectHelper(reinterpret_cast<SOCKADDR*>(&addr), sizeof addr);
}

BOOL CAsyncSocket::Connect(const SOCKADDR* lpSockAddr, int nSockAddrLen)
{
    return ConnectHelper(lpSockAddr, nSockAddrLen);
}

BOOL CAsyncSocket::ConnectHelper(const SOCKADDR* lpSockAddr, int nSockAddrLen)
{
    return ::connect(m_hSocket, lpSockAddr, nSockAddrLen) != SOCKET_ERROR;
}

int CAsyncSocket::Receive(void* lpBuf, int nBufLen, int nFlags)
{
    return ::recv(m_hSocket, static_cast<char*>(lpBuf), nBufLen, nFlags);
}

int CAsyncSocket::Send(const void* lpBuf, int nBufLen, int nFlags)
{
    return ::send(m_hSocket, static_cast<const char*>(lpBuf), nBufLen, nFlags);
}

BOOL CAsyncSocket::ShutDown(int nHow)
{
    return ::shutdown(m_hSocket, nHow) != SOCKET_ERROR;
}

void CAsyncSocket::Close()
{
    if (m_hSocket == INVALID_SOCKET)
        return;
    SOCKET h = m_hSocket;
    m_hSocket = INVALID_SOCKET;
    ::closesocket(h);
    DetachHandle(h);
}

BOOL CAsyncSocket::IOCtl(long lCommand, DWORD* lpArgument)
{
    u_long arg = *lpArgument;
    if (::ioctlsocket(m_hSocket, lCommand, &arg) == SOCKET_ERROR)
        return FALSE;
    *lpArgument = arg;
    return TRUE;
}

BOOL CAsyncSocket::SetSockOpt(int nOptionName, const void* lpOptionValue, int nOptionLen, int nLevel)
{
    return ::setsockopt(m_hSocket, nLevel, nOptionName, static_cast<const char*>(lpOptionValue),
                        nOptionLen) != SOCKET_ERROR;
}

BOOL CAsyncSocket::GetSockOpt(int nOptionName, void* lpOptionValue, int* lpOptionLen, int nLevel)
{
    return ::getsockopt(m_hSocket, nLevel, nOptionName, static_cast<char*>(lpOptionValue),
                        lpOptionLen) != SOCKET_ERROR;
}

BOOL CAsyncSocket::GetSockName(CString& rSocketAddress, UINT& rSocketPort)
{
    SOCKADDR_IN addr{};
    int len = sizeof addr;
    if (::getsockname(m_hSocket, reinterpret_cast<SOCKADDR*>(&addr), &len) == SOCKET_ERROR)
        return FALSE;
    return NameOf(addr, rSocketAddress, rSocketPort);
}

BOOL CAsyncSocket::GetPeerName(CString& rPeerAddress, UINT& rPeerPort)
{
    SOCKADDR_IN addr{};
    int len = sizeof addr;
    if (::getpeername(m_hSocket, reinterpret_cast<SOCKADDR*>(&addr), &len) == SOCKET_ERROR)
        return FALSE;
    return NameOf(addr, rPeerAddress, rPeerPort);
}

void CAsyncSocket::OnReceive(int) {}
void CAsyncSocket::OnSend(int) {}
void CAsyncSocket::OnOutOfBandData(int) {}
void CAsyncSocket::OnAccept(int) {}
void CAsyncSocket::OnConnect(int) {}
void CAsyncSocket::OnClose(int) {}

void CAsyncSocket::DoCallBack(WPARAM wParam, LPARAM lParam)
{
    if (AfxIsStaleSocketEvent(AfxGetSocketState(), static_cast<SOCKET>(wParam)))
        return;
    CAsyncSocket* pSocket = FromHandle(static_cast<SOCKET>(wParam));
    if (!pSocket)
        return;
    const int nErrorCode = WSAGETSELECTERROR(lParam);
    switch (WSAGETSELECTEVENT(lParam)) {
    case FD_READ: {
        // A read event can outlive the data it announced (a receive took it meanwhile).
        DWORD nBytes = 0;
        int err = nErrorCode;
        if (!pSocket->IOCtl(FIONREAD, &nBytes))
            err = ::WSAGetLastError();
        if (nBytes != 0 || err != 0)
            pSocket->OnReceive(err);
        break;
    }
    case FD_WRITE: pSocket->OnSend(nErrorCode); break;
    case FD_OOB: pSocket->OnOutOfBandData(nErrorCode); break;
    case FD_ACCEPT: pSocket->OnAccept(nErrorCode); break;
    case FD_CONNECT: pSocket->OnConnect(nErrorCode); break;
    case FD_CLOSE: pSocket->OnClose(nErrorCode); break;
    default: break;
    }
}
