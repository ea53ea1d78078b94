// The messages of the search thread (CSearchThread). It takes the worker thread messages
// UM_THREAD_START (wParam: the run tag that CSearchThread::Start gives) and UM_THREAD_QUIT,
// and reports to its owner window with the one message below.
#pragma once

#include "WorkerThreadMessages.h"

// Search thread -> owner window, always with SendMessage (the thread waits while the owner
// reads its progress fields and result queue): one per delivered result page and one at the
// end of every run (the thread's m_bSearchDone then 1); wParam: the run tag, lParam 0.
const UINT UM_SEARCH_PROGRESS = WM_APP + 0x14;
