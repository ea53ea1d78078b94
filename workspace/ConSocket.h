// CConSocket: the browser toolbar's link to the project pane. The pane's listener is one of
// these; every connection it accepts gets one of its own, which reads the toolbar's one
// 40-byte request, closes the connection and hands the request to the pane when the
// request's identifier is the one stored in the registry (SystemID). A closed connection
// asks the pane, by a posted message, to delete its object.
#pragma once

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
    // A listening object only accepts: it reads no request.
    BOOL Listen(int nConnectionBacklog = 5) override;

    // How long a connection may take to deliver its whole request; a peer that stalls
    // longer has its request dropped.
    static constexpr UINT kRequestWaitMs = 3000;

    CString m_strNumbers;      // the received document-number text
    int32_t m_nPageChoice = -1; // the received page choice: negative all pages, n the first n

protected:
    void OnReceive(int nErrorCode) override;
    void OnAccept(int nErrorCode) override;
    // A peer that closes without a request (or right after sending it) ends here.
    void OnClose(int nErrorCode) override;

private:
    // Gathers the request (exactly 40 bytes, within kRequestWaitMs), closes the connection,
    // hands a sound request with the right identifier to the owner, and then asks the owner
    // to delete this object. Runs once per connection.
    void ReadRequest();
    static void CALLBACK OnRequestTimeout(HWND hWnd, UINT message, UINT_PTR idEvent, DWORD dwTime);

    CProjectManagerContainer* m_pOwner = nullptr;
    CString m_strSystemId;
    bool m_bListening = false;
    bool m_bRequestRead = false;
    bool m_bTimedOut = false;
};
