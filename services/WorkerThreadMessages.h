// The two thread messages with which an owner starts and ends a worker thread (the download
// threads, the search thread), posted with PostThreadMessage.
#pragma once

#include <windows.h>

// Owner -> worker thread: run the thread's job; the download thread takes wParam and lParam
// 0, the search thread the run tag in wParam (SearchThread.h).
const UINT UM_THREAD_START = WM_APP + 1;
// Owner -> worker thread: end the thread once no job runs; wParam and lParam 0.
const UINT UM_THREAD_QUIT = WM_APP + 3;
