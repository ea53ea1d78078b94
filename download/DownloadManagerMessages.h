// The messages the download queue window (CDownloadManager) receives from its download
// threads, always sent with SendMessage: the thread waits while the window handles them.
#pragma once

#include <windows.h>

// Download thread -> download queue window: the download's progress record changed (a page
// came in, or the job ended); wParam the download id, lParam 0. The window reads the thread's
// DownloadStatus during the call.
const UINT UM_DOWNLOAD_PROGRESS = WM_APP + 2;
