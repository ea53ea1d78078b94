// One page transfer of the document threads: URLDownloadToFileA, with the program's callback
// object, into a new file of the system's temporary folder. urlmon makes no call at all while
// a reply stalls, so the transfer runs on a worker thread of its own (CWorkerTask) while the
// document thread waits and watches its stop test: a stop lets go of the transfer at once,
// and so does a transfer that has made no progress for the reply time-out; both abort its
// binding. A transfer let go of deletes its file once urlmon hands it back: nothing of it is
// left, and it never writes into a document's folder.
#pragma once

#include "String.h"

#include <windows.h>

#include <functional>

struct PageTransfer
{
    enum Outcome
    {
        Done,      // the page came (status 200): its file is the caller's to read and delete
        Failed,    // urlmon or the reply refused it; nothing is left
        TimedOut,  // no progress within the reply time-out; nothing is left
        Stopped,   // the stop test let go of it; nothing is left
        NoFile,    // no temporary file could be made; nothing was sent
    };
    Outcome outcome = NoFile;
    HRESULT hr = E_FAIL;
    DWORD dwStatus = 0;  // the HTTP status of the reply; 0 when none came
    CString file;        // the page's bytes after Done
};

// One attempt at the page: the transfer as above. The stop test is asked every 20 ms; a
// transfer without progress for dwReplyTimeout milliseconds times out.
PageTransfer TransferPageFile(const CString& url, const std::function<bool()>& isStopped, DWORD dwReplyTimeout);
