// The thread messages a download thread (CPatentThread) takes, posted with PostThreadMessage:
// the start and end of every worker thread (UM_THREAD_START with wParam and lParam 0 runs
// the document job, again for a retry; UM_THREAD_QUIT), and the judge's answer below.
#pragma once

#include "WorkerThreadMessages.h"

// Outside -> download thread: the page image being judged is unusable, replace it by
// replace.tif; wParam and lParam 0.
const UINT UM_USE_REPLACEMENT_IMAGE = WM_APP + 7;
