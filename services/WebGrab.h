// CWebGrab: fetches one web page over HTTP or HTTPS and returns its text; the page fetcher
// of the download and report threads. It measures the rate and time of each fetch and can
// be aborted from another thread while a fetch runs.
//
// The request and its reads run on a worker thread of their own (CWorkerTask) while the
// fetching thread waits and watches the abort flag and its owner's quit flag: an abort or a
// quit lets go of the fetch at once, however the server stalls. A reply whose next bytes do
// not come within the receive timeout fails the fetch.
#pragma once

#include "FetchHelpers.h"
#include "HttpChannel.h"

#include <atomic>
#include <memory>

class CWebGrab : public CObject
{
    DECLARE_DYNAMIC(CWebGrab)
public:
    CWebGrab();
    ~CWebGrab() override;

    // The page's text in out and its length as the result; 0 on every failure (then the
    // error text and code tell a refused URL or a broken or stalled reply). A UTF-8 reply
    // comes as ANSI text (ReplyTextToAnsi), any other byte for byte. The integer is not used;
    // bExactRead reads the body in one piece, without message pumping. An abort returns 0
    // before the rest of the body is read, and the text read so far after.
    int GrabWebPage(CString url, CString& out, int nUnused, bool bExactRead);

    // Stops a running fetch; may be called from another thread.
    void Abort();

    bool IsQuitSet() const { return m_pQuitFlag && *m_pQuitFlag; }

    std::atomic<bool> m_bAbort{false};
    int m_nStartTime = 0;
    int m_nEndTime = 0;
    double m_dRate = 0.0;
    double m_dElapsed = 0.0;
    CString m_strErrorText;
    int m_nErrorCode = 0;
    // The owning thread's quit flag: while it is set every fetch fails at once.
    volatile int* m_pQuitFlag = nullptr;
    // How long a request waits for the next bytes of its reply, in milliseconds.
    DWORD m_dwReceiveTimeout = kReplyTimeout;

    // One fetch as its worker makes it (WebGrab.cpp).
    struct Fetch;

private:
    // The request object of the fetches, with its WinINet session, kept from one fetch to the
    // next; a fetch that is let go of keeps it, and the next fetch makes a new one.
    std::shared_ptr<CHttpChannel> m_pChannel;
};
