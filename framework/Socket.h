// CSocket: a socket whose Receive, Send, Accept and Connect wait until they can complete.
// While a call waits, the thread goes on handling its other messages, so its windows stay
// responsive; events of other sockets that arrive meanwhile are kept and handed out in their
// order once the call has returned. One call waits per thread at a time: a second one, made
// from a handler that runs during the wait, fails with WSAEINPROGRESS.
//
// Receive answers 0 when the peer closed the connection, SOCKET_ERROR on an error or when the
// wait was cancelled (CancelBlockingCall, WSAEINTR) or the thread's loop was asked to quit.
// Send answers only when every byte was sent (or on an error).
#pragma once

#include "AsyncSocket.h"

class CSocket : public CAsyncSocket
{
    DECLARE_DYNAMIC(CSocket)
public:
    CSocket();
    ~CSocket() override;

    // Makes the socket with every event selected and binds it (port 0: any; null address:
    // every local address).
    BOOL Create(UINT nSocketPort = 0, int nSocketType = SOCK_STREAM, const char* lpszSocketAddress = nullptr);

    BOOL IsBlocking() const { return m_bBlocking; }
    // Ends the call that waits on this socket; it answers failure with WSAEINTR.
    void CancelBlockingCall();
    static CSocket* FromHandle(SOCKET hSocket);

    BOOL Accept(CAsyncSocket& rConnectedSocket, SOCKADDR* lpSockAddr = nullptr,
                int* lpSockAddrLen = nullptr) override;
    int Receive(void* lpBuf, int nBufLen, int nFlags = 0) override;
    int Send(const void* lpBuf, int nBufLen, int nFlags = 0) override;
    void Close() override;

    // Called for every message the thread handles while a call waits; answers whether the
    // message was taken care of.
    virtual BOOL OnMessagePending();

protected:
    BOOL ConnectHelper(const SOCKADDR* lpSockAddr, int nSockAddrLen) override;
    // Waits for one of the events in lEvents (FD_CLOSE always ends the wait); answers FALSE
    // when the wait was cancelled or the loop was asked to quit (the error is then set).
    BOOL PumpMessages(long lEvents);

private:
    BOOL m_bBlocking = FALSE;
    BOOL m_bCancelled = FALSE;
};
