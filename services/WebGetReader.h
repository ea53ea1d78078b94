// CWebGetReader: the request part of the search fetcher. Every read is a fresh request
// through a WinINet session of its own: a limited read of the beginning of a page (retried
// once after a token refresh when the reply is 400), or a read of the whole page line by
// line. OPS requests carry the current access token.
#pragma once

#include "String.h"

#include <atomic>

class CHttpFile;
class CInternetSession;

class CWebGetReader
{
public:
    // Reads the page until the text reaches the limit or the data ends; an abort empties it.
    void ReadPage(CString& out, CString url, int nLimit, bool bRetried);

    // Reads the whole page line by line; the line feeds are dropped (a carriage return before
    // one stays). An abort, or a reply that breaks off, gives the empty text.
    void ReadWholePage(CString& out, CString url);

    // The Content-Type of the reply of the last whole-page read; empty when it had none.
    CString m_strContentType;
    int m_nStartTime = 0;
    int m_nEndTime = 0;
    std::atomic<bool> m_bAbort{false};
    double m_dRate = 0.0;
    double m_dElapsed = 0.0;

private:
    CHttpFile* OpenRequest(CInternetSession& session, const CString& url);
};
