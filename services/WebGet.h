// CWebGet: fetches the result pages of a patent search; the search thread owns one. A fetch
// reads the beginning of the page and then requests the page once more and reads it whole,
// line by line (so its line feeds are dropped). The header lines that search steps collect
// in m_strExtraHeaders are kept but never sent: a request carries no header line of the recipe.
#pragma once

#include "WebGetReader.h"

#include "Framework.h"

#include <atomic>

class CWebGet : public CObject
{
    DECLARE_DYNAMIC(CWebGet)
public:
    CWebGet();
    ~CWebGet() override;

    // The page's text in out and its length as the result; 0 on every failure, abort or set
    // quit flag. A UTF-8 reply comes as ANSI text (ReplyTextToAnsi), any other byte for byte.
    // The two last arguments are not used.
    int GrabWebPage(CString url, CString& out, int nUnused, bool bUnused);

    // Stops a running fetch; called from other threads.
    void Abort();

    bool IsQuitSet() const { return m_pQuitFlag && *m_pQuitFlag; }

    // How the last fetch ended: with a page (of any status), or why without one.
    enum FetchResult
    {
        FetchPage = 0,     // the page came whole
        FetchAborted = 1,  // an abort or the quit flag ended it
        FetchNoReply = 2,  // no reply came (or the URL cannot be fetched)
        FetchBroken = 3,   // the reply broke off or stalled beyond the receive timeout
        FetchEmpty = 4,    // the reply had no body
    };
    int m_nFetchResult = FetchPage;
    // Status code and reason text of the last fetch's page ("403", "Forbidden"); 0 and empty
    // when no whole reply came. A page of any status is handed on: its status is the caller's
    // to judge.
    DWORD m_dwStatusCode = 0;
    CString m_strStatusText;

    std::atomic<bool> m_bAbort{false};
    int m_nStartTime = 0;
    int m_nEndTime = 0;
    double m_dRate = 0.0;
    double m_dElapsed = 0.0;
    CString m_strErrorText;
    int m_nErrorCode = 0;
    // The owning thread's quit flag: while it is set every fetch fails at once.
    volatile int* m_pQuitFlag = nullptr;
    CWebGetReader m_Reader;
    // Header lines the search steps collect. The requests carry no header line of the
    // recipe, so they are kept here and not sent.
    CString m_strExtraHeaders;
    // Reply headers for the search steps; the fetch leaves them empty.
    CString m_strResponseHeaders;

private:
    // Notes why the fetch gave no page; answers 0.
    int Failed(int nResult);
};
