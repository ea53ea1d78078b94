// CWebGrab: fetches one web page over HTTP or HTTPS and returns its text; the page fetcher
// of the download and report threads. It measures the rate and time of each fetch and can
// be aborted from another thread while a fetch runs.
#pragma once

#include "HttpChannel.h"

#include <atomic>

class CWebGrab : public CObject
{
    DECLARE_DYNAMIC(CWebGrab)
public:
    CWebGrab();
    ~CWebGrab() override;

    // The page's text in out and its length as the result; 0 on every failure (then the
    // error text and code tell a refused URL or a broken reply). A UTF-8 reply comes as ANSI
    // text (ReplyTextToAnsi), any other byte for byte. The integer is not used;
    // bExactRead reads the body in one piece, without message pumping.
    int GrabWebPage(CString url, CString& out, int nUnused, bool bExactRead);

    // Stops a running fetch; may be called from another thread.
    void Abort();

    std::atomic<bool> m_bAbort{false};
    int m_nStartTime = 0;
    int m_nEndTime = 0;
    double m_dRate = 0.0;
    double m_dElapsed = 0.0;
    CString m_strErrorText;
    int m_nErrorCode = 0;
    // The owning thread's quit flag: while it is set every fetch fails at once.
    volatile int* m_pQuitFlag = nullptr;
    CHttpChannel m_Channel;
};
