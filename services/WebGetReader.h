// CWebGetReader: the request part of the search fetcher. Every read is a fresh request
// through a WinINet session of its own: a limited read of the beginning of a page (retried
// once after a token refresh when the reply is 400), or a read of the whole page line by
// line. OPS requests carry the current access token.
//
// A read runs on a worker thread of its own (CWorkerTask) while the calling thread waits for
// it and watches the abort flag: an abort lets go of the read at once, and the worker closes
// its request as soon as WinINet hands it back (at the latest after the receive timeout, as
// WinINet's reads cannot be broken off from outside). So no server, however it stalls, holds
// the caller.
#pragma once

#include "FetchHelpers.h"
#include "String.h"
#include "WorkerTask.h"

#include <windows.h>

#include <atomic>
#include <memory>

class CWebGetReader
{
public:
    // How the last read ended.
    enum ReadResult
    {
        ReadDone = 0,     // the reply came whole (its text may be empty)
        ReadAborted = 1,  // the abort flag let go of it
        ReadNoReply = 2,  // no reply came: the connection failed, or no answer within the timeout
        ReadBroken = 3,   // the reply broke off: a failed read, a stall beyond the receive
                          // timeout, or a body shorter than its announced length
    };

    // Reads the page until the text reaches the limit or the data ends; an abort empties it.
    void ReadPage(CString& out, CString url, int nLimit, bool bRetried);

    // Reads the whole page line by line; the line feeds are dropped (a carriage return before
    // one stays). An abort, or a reply that breaks off, gives the empty text.
    void ReadWholePage(CString& out, CString url);

    // Lets go of the running read (from any thread); the flag stays set until the fetcher
    // clears it at the start of its next fetch.
    void Abort() { m_bAbort = true; }

    // The Content-Type of the reply of the last whole-page read; empty when it had none.
    CString m_strContentType;
    // Status code and reason text of the last read's reply; 0 and empty when none came.
    DWORD m_dwStatusCode = 0;
    CString m_strStatusText;
    int m_nReadResult = ReadDone;
    // How long a request may wait for the next bytes of its reply, in milliseconds.
    DWORD m_dwReceiveTimeout = kReplyTimeout;

    int m_nStartTime = 0;
    int m_nEndTime = 0;
    std::atomic<bool> m_bAbort{false};
    double m_dRate = 0.0;
    double m_dElapsed = 0.0;

    // One read as its worker makes it (WebGetReader.cpp).
    struct Request;

private:
    // Runs the read on a worker and waits for it, or for the abort flag; false when the abort
    // let go of it (or came before it).
    bool Run(const std::shared_ptr<Request>& request);
    // Takes over the status and result of the read.
    void TakeReply(const Request& request, bool bFinished);
};
