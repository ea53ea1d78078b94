// CHttpChannel: one HTTP request at a time over WinINet. It sends a GET (or, for the token
// request, a POST) for its URL, settles the reply (one resend after 401 or 403, one redirect
// after 301, 302 or 303) and reads the body in pieces of 500 bytes, keeping the calling
// thread's window messages flowing and watching its abort flag between pieces. Requests to
// the OPS service carry the current access token; an OPS reply 400 refreshes the token once
// and sends the request again.
#pragma once

#include "Framework.h"

#include <atomic>

class CHttpChannel
{
public:
    CHttpChannel();
    ~CHttpChannel();
    CHttpChannel(const CHttpChannel&) = delete;
    CHttpChannel& operator=(const CHttpChannel&) = delete;

    void SetUrl(const CString& url);

    // POST mode: the request is a POST sent with this header block and body.
    void SetPostRequest(const CString& headers, const CString& body);

    // Results of Send.
    enum { SendOk = 0, SendAborted = 1, SendNotHttp = 2, SendNoLocation = 3, SendFailed = 4 };

    // Sends the request for the URL and settles the status: SendOk for a final 200;
    // SendAborted when aborted or the URL cannot be parsed; SendNotHttp for a scheme other
    // than http or https; SendNoLocation for a redirect without a Location header;
    // SendFailed for any other final status or a WinINet failure.
    int Send();

    // One open-and-send of the URL: 0 sent, 1 unparsable or aborted, 2 not http or https.
    int OpenAndSend(bool bRetried);

    // Appends the body to the text until the running total reaches the limit, the data ends
    // or the abort flag is set; stores the total in the limit and returns it. Pieces are
    // text: a zero byte cuts its piece.
    int ReadText(CString& out, int& nLimit);

    // The readers of the exact-read mode, without message pumping: the given number of bytes
    // (nothing when the data ends first), or the whole body.
    int ReadExact(CString& out, int nCount);
    int ReadAll(CString& out);

    // One read of the request; a WinINet failure counts as 0 bytes (and as a broken reply).
    UINT ReadChunk(char* pBuffer, UINT nSize);

    // Dispatches the window messages waiting in the calling thread's queue. A thread message
    // at the head of the queue ends the pump and stays queued for the thread's own loop.
    void PumpMessages();

    // Closes and deletes the request, then the connection.
    void Close();

    // The Content-Type header of the current request's reply; empty when it has none.
    CString ContentType() const;

    // True when the reply of the current request broke off: a read failed or the body ended
    // before its announced length.
    bool IsReplyBroken() const { return m_bReplyBroken; }

    DWORD m_dwSessionContext = 0;
    DWORD m_dwRequestFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT;
    CInternetSession m_Session;
    CHttpConnection* m_pConnection = nullptr;
    CHttpFile* m_pRequest = nullptr;
    CString m_strUrl;
    int m_nBytesRead = 0;
    std::atomic<bool> m_bAbort{false};
    bool m_bPostMode = false;
    // How long a request waits for the next bytes of its reply, in milliseconds; 0 leaves
    // WinINet's own wait, which may be endless.
    DWORD m_dwReceiveTimeout = 0;

private:
    bool SendCurrentRequest(bool bFirst);

    CString m_strPostHeaders;
    CString m_strPostBody;
    bool m_bReplyBroken = false;
};

// The target of a redirect reply: the value of its header line that starts with "Location:"
// (any case), resolved against the requested URL when it is relative; empty when there is
// no such line.
CString FindRedirectTarget(const CString& rawHeaders, const CString& requestUrl);
