#include "Socket.h"

#include "SocketState.h"
#include "WinThread.h"
#include "Wnd.h"

IMPLEMENT_DYNAMIC(CSocket, CAsyncSocket)

CSocket::CSocket() = default;

CSocket::~CSocket()
{
    if (m_hSocket != INVALID_SOCKET)
        CSocket::Close();
}

BOOL CSocket::Create(UINT nSocketPort, int nSocketType, const char* lpszSocketAddress)
{
    return CAsyncSocket::Create(nSocketPort, nSocketType, kAllEvents, lpszSocketAddress);
}

CSocket* CSocket::FromHandle(SOCKET hSocket)
{
    return dynamic_cast<CSocket*>(CAsyncSocket::FromHandle(hSocket));
}

void CSocket::CancelBlockingCall()
{
    if (m_bBlocking)
        m_bCancelled = TRUE;
}

void CSocket::Close()
{
    CancelBlockingCall();
    CAsyncSocket::Close();
}

BOOL CSocket::OnMessagePending()
{
    return FALSE;
}

BOOL CSocket::PumpMessages(long lEvents)
{
    AfxSocketState& s = AfxGetSocketState();
    if (s.pBlocking) {
        ::WSASetLastError(WSAEINPROGRESS);
        return FALSE;
    }
    s.pBlocking = this;
    m_bBlocking = TRUE;
    m_bCancelled = FALSE;
    HWND hSink = NotificationWindow();
    const SOCKET hSelf = m_hSocket;
    BOOL bArrived = FALSE;
    int nError = 0;
    while (!bArrived) {
        if (m_bCancelled || m_hSocket != hSelf) {
            nError = WSAEINTR;
            break;
        }
        MSG msg;
        // Wake up now and then, so that a cancel made outside a message handler is seen.
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            nError = WSAEINTR;
            break;
        }
        if (msg.hwnd == hSink && msg.message == WM_SOCKET_GONE) {
            AfxSocketGone(s, static_cast<SOCKET>(msg.wParam));
            continue;
        }
        if (msg.hwnd == hSink && msg.message == WM_SOCKET_NOTIFY) {
            // An event of a socket given up meanwhile is not kept: it would come back after
            // its marker and reach the handle's next socket.
            if (AfxIsStaleSocketEvent(s, static_cast<SOCKET>(msg.wParam)))
                continue;
            const long lEvent = WSAGETSELECTEVENT(msg.lParam);
            if (static_cast<SOCKET>(msg.wParam) == hSelf && (lEvent & (lEvents | FD_CLOSE))) {
                bArrived = TRUE;
                // The close is handed out later too, so that OnClose still runs.
                if (lEvent == FD_CLOSE)
                    s.pending.push_back(msg);
            } else {
                s.pending.push_back(msg);
            }
            continue;
        }
        if (OnMessagePending())
            continue;
        CWinThread* pThread = AfxGetThread();
        if (!pThread || !pThread->PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_bBlocking = FALSE;
    s.pBlocking = nullptr;
    // The kept events go back to the window in their order, after anything queued now.
    while (!s.pending.empty()) {
        MSG kept = s.pending.front();
        s.pending.pop_front();
        ::PostMessageA(hSink, kept.message, kept.wParam, kept.lParam);
    }
    if (!bArrived)
        ::WSASetLastError(nError);
    return bArrived;
}

BOOL CSocket::Accept(CAsyncSocket& rConnectedSocket, SOCKADDR* lpSockAddr, int* lpSockAddrLen)
{
    for (;;) {
        if (CAsyncSocket::Accept(rConnectedSocket, lpSockAddr, lpSockAddrLen))
            return TRUE;
        if (GetLastError() != WSAEWOULDBLOCK || !PumpMessages(FD_ACCEPT))
            return FALSE;
    }
}

BOOL CSocket::ConnectHelper(const SOCKADDR* lpSockAddr, int nSockAddrLen)
{
    if (CAsyncSocket::ConnectHelper(lpSockAddr, nSockAddrLen))
        return TRUE;
    // The connect goes on in the background; its event tells how it ended.
    if (GetLastError() != WSAEWOULDBLOCK || !PumpMessages(FD_CONNECT))
        return FALSE;
    int err = 0;
    int len = sizeof err;
    if (!GetSockOpt(SO_ERROR, &err, &len))
        return FALSE;
    SOCKADDR_IN peer{};
    int peerLen = sizeof peer;
    if (err == 0 && ::getpeername(m_hSocket, reinterpret_cast<SOCKADDR*>(&peer), &peerLen) != SOCKET_ERROR)
        return TRUE;
    ::WSASetLastError(err != 0 ? err : WSAECONNREFUSED);
    return FALSE;
}

int CSocket::Receive(void* lpBuf, int nBufLen, int nFlags)
{
    for (;;) {
        int n = CAsyncSocket::Receive(lpBuf, nBufLen, nFlags);
        if (n != SOCKET_ERROR || GetLastError() != WSAEWOULDBLOCK)
            return n;
        if (!PumpMessages(FD_READ))
            return SOCKET_ERROR;
    }
}

int CSocket::Send(const void* lpBuf, int nBufLen, int nFlags)
{
    const char* p = static_cast<const char*>(lpBuf);
    int nLeft = nBufLen;
    while (nLeft > 0) {
        int n = CAsyncSocket::Send(p, nLeft, nFlags);
        if (n == SOCKET_ERROR) {
            if (GetLastError() != WSAEWOULDBLOCK || !PumpMessages(FD_WRITE))
                return SOCKET_ERROR;
            continue;
        }
        p += n;
        nLeft -= n;
    }
    return nBufLen;
}
