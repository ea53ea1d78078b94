// Helpers shared by the web fetchers and the page transfers: the check of the URL a fetch is
// asked for, the time and rate figures from the run-time library's clock, and how long a
// request waits for its reply.
#pragma once

#include "String.h"

#include <windows.h>

// How long a request waits for the next bytes of its reply, in milliseconds, before the reply
// counts as stalled and the request as failed.
const DWORD kReplyTimeout = 60000;

// True when the fetcher can fetch the URL (http or https). Otherwise the error text names
// the fetch operation (for example "CWebGrab::GrabWebPage"), the fault and the URL, and the
// error code becomes -900.
bool CheckFetchUrl(const char* pszOperation, const CString& url, CString& errorText,
                   int& errorCode);

// Milliseconds of the run-time library's clock.
int FetchClock();

// Elapsed seconds between the two clock values and bytes per second over them; a fetch that
// took no measurable time has the rate 0.
void MeasureFetch(int nStart, int nEnd, int nBytes, double& dElapsed, double& dRate);
