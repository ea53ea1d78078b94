// CAsyncSocket: a Windows Sockets socket whose events (data to read, room to send,
// out-of-band data, a connection to accept, a connect that completed, the peer's close)
// arrive as calls of its virtual On... members, on the thread that created the socket.
//
// The events come through a hidden message-only window of that thread (WSAAsyncSelect);
// while an object holds a socket handle, the thread's socket map leads from the handle to
// the object. A socket accepted from a listener keeps the listener's event selection, so
// its events reach the same thread. A read event while no byte is waiting and no error is
// reported is not passed on. Events for a handle that no object holds any more are dropped,
// and so are events announced for a closed socket when a later socket gets its number.
//
// Calls answer TRUE/FALSE (or SOCKET_ERROR) as Winsock does; GetLastError tells why.
// AfxSocketInit must have started Windows Sockets first.
#pragma once

#include "Object.h"
#include "String.h"

#include <winsock2.h>
#include <windows.h>

class CAsyncSocket : public CObject
{
    DECLARE_DYNAMIC(CAsyncSocket)
public:
    static constexpr long kAllEvents = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

    CAsyncSocket();
    ~CAsyncSocket() override;
    CAsyncSocket(const CAsyncSocket&) = delete;
    CAsyncSocket& operator=(const CAsyncSocket&) = delete;

    SOCKET m_hSocket = INVALID_SOCKET;
    operator SOCKET() const { return m_hSocket; }

    // Makes the socket, selects its events and binds it to the port (0: any) on the given
    // local address (null: every local address).
    BOOL Create(UINT nSocketPort = 0, int nSocketType = SOCK_STREAM, long lEvent = kAllEvents,
                const char* lpszSocketAddress = nullptr);
    BOOL Socket(int nSocketType = SOCK_STREAM, long lEvent = kAllEvents, int nProtocolType = 0,
                int nAddressFormat = PF_INET);
    BOOL Attach(SOCKET hSocket, long lEvent = kAllEvents);
    SOCKET Detach();
    // The object that holds the handle on the calling thread, or null.
    static CAsyncSocket* FromHandle(SOCKET hSocket);

    BOOL Bind(UINT nSocketPort, const char* lpszSocketAddress = nullptr);
    BOOL Bind(const SOCKADDR* lpSockAddr, int nSockAddrLen);
    virtual BOOL Listen(int nConnectionBacklog = 5);
    // Takes a pending connection into rConnectedSocket, which must hold no socket yet.
    virtual BOOL Accept(CAsyncSocket& rConnectedSocket, SOCKADDR* lpSockAddr = nullptr,
                        int* lpSockAddrLen = nullptr);
    BOOL Connect(const char* lpszHostAddress, UINT nHostPort);
    BOOL Connect(const SOCKADDR* lpSockAddr, int nSockAddrLen);
    virtual int Receive(void* lpBuf, int nBufLen, int nFlags = 0);
    virtual int Send(const void* lpBuf, int nBufLen, int nFlags = 0);
    BOOL ShutDown(int nHow = SD_SEND);
    // Closes the socket; the object can make a new one afterwards.
    virtual void Close();

    BOOL AsyncSelect(long lEvent = kAllEvents);
    BOOL IOCtl(long lCommand, DWORD* lpArgument);
    BOOL SetSockOpt(int nOptionName, const void* lpOptionValue, int nOptionLen, int nLevel = SOL_SOCKET);
    BOOL GetSockOpt(int nOptionName, void* lpOptionValue, int* lpOptionLen, int nLevel = SOL_SOCKET);
    BOOL GetSockName(CString& rSocketAddress, UINT& rSocketPort);
    BOOL GetPeerName(CString& rPeerAddress, UINT& rPeerPort);

    static int GetLastError() { return ::WSAGetLastError(); }

    // Event handlers; nErrorCode is the Winsock error that came with the event (0: none).
    virtual void OnReceive(int nErrorCode);
    virtual void OnSend(int nErrorCode);
    virtual void OnOutOfBandData(int nErrorCode);
    virtual void OnAccept(int nErrorCode);
    virtual void OnConnect(int nErrorCode);
    virtual void OnClose(int nErrorCode);

    // Hands one event (a notification of the thread's socket window) to the socket's object.
    static void DoCallBack(WPARAM wParam, LPARAM lParam);

protected:
    // Starts the connect (CSocket waits for it to complete).
    virtual BOOL ConnectHelper(const SOCKADDR* lpSockAddr, int nSockAddrLen);
    // The hidden window of the calling thread that receives the socket events.
    static HWND NotificationWindow();
    static void AttachHandle(SOCKET hSocket, CAsyncSocket* pSocket);
    static void DetachHandle(SOCKET hSocket);
};

// The message the thread's socket window receives: wParam the socket, lParam the event and
// the error code (WSAGETSELECTEVENT / WSAGETSELECTERROR).
constexpr UINT WM_SOCKET_NOTIFY = WM_USER + 0x373;
