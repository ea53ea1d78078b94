// The thread messages a download thread (CPatentThread) takes, posted with PostThreadMessage.
#pragma once

#include <windows.h>

// Download queue window -> download thread: run the document job (again, for a retry);
// wParam and lParam 0.
const UINT UM_THREAD_START = WM_APP + 1;
// Download queue window -> download thread: end the thread once no job runs; wParam and
// lParam 0.
const UINT UM_THREAD_QUIT = WM_APP + 3;
// Outside -> download thread: the page image being judged is unusable, replace it by
// replace.tif; wParam and lParam 0.
const UINT UM_USE_REPLACEMENT_IMAGE = WM_APP + 7;
