// CConSocket: the browser toolbar's link to the project pane. The pane's listener is one of
// these; every connection it accepts gets one of its own, which greets the toolbar, gathers
// the toolbar's one 40-byte request as its bytes arrive, closes the connection and hands the
// request to the pane when the request's identifier is the one stored in the registry
// (SystemID). No connection ever waits in a read: many connections are served side by side,
// and one that stalls holds nobody else up. A closed connection asks the pane, by a posted
// message, to delete its object.
#pragma once

#include "RequestedNumbers.h"
#include "Socket.h"
#include "String.h"

#include <cstdint>

class CProjectManagerContainer;

class CConSocket : public CSocket
{
    DECLARE_DYNAMIC(CConSocket)
public:
    CConSocket();
    ~CConSocket() override;

    // Reads SystemID from HKEY_CURRENT_USER\Software\Quendal LLC\Zentrova\Settings; false,
    // with a line in the progress log, when there is none (no request is then accepted).
    bool ReadSystemId();
    void SetOwner(CProjectManagerContainer* pOwner) { m_pOwner = pOwner; }

    // Makes this object the listener on the port of the local address, with the longest
    // queue of pending connections the system allows. When the port cannot be opened
    // (another program holds it) a progress-log line names the port and the error, and the
    // answer is FALSE: the program then receives no toolbar requests.
    BOOL OpenListener(UINT nPort, const char* lpszAddress);
    // A listening object only accepts: it reads no request.
    BOOL Listen(int nConnectionBacklog = SOMAXCONN) override;

    // Sends the greeting on a connection just accepted and starts its wait for the request.
    void Greet();

    // How long a connection may take to deliver its whole request; one that has not sent it
    // by then is closed and its bytes dropped.
    static constexpr UINT kRequestWaitMs = 3000;

    CString m_strNumbers;      // the received document-number text
    int32_t m_nPageChoice = -1; // the received page choice: negative all pages, n the first n

protected:
    void OnReceive(int nErrorCode) override;
    void OnAccept(int nErrorCode) override;
    // A peer that closes without a request (or right after sending it) ends here.
    void OnClose(int nErrorCode) override;

private:
    // Adds the bytes that have arrived to the request, without waiting for more; false once
    // no more will be taken (the request is whole, the peer closed, or the connection failed).
    bool TakeArrivedBytes();
    // Closes the connection, hands a whole request with the right identifier to the owner,
    // and then asks the owner to delete this object. Runs once per connection.
    void EndRequest();
    void StopWaiting();
    static void CALLBACK OnRequestTimeout(HWND hWnd, UINT message, UINT_PTR idEvent, DWORD dwTime);

    CProjectManagerContainer* m_pOwner = nullptr;
    CString m_strSystemId;
    char m_request[kToolbarRequestSize] = {};
    int m_nReceived = 0;
    UINT_PTR m_nWaitTimer = 0;
    bool m_bListening = false;
    bool m_bEnded = false;
};
