// The messages of the download queue window (CDownloadManager): those it receives from its
// download threads, always sent with SendMessage (the thread waits while the window handles
// them), and those it sends to its owner, the project pane.
#pragma once

#include <windows.h>

// Download thread -> download queue window: the download's progress record changed (a page
// came in, or the job ended); wParam the download id, lParam 0. The window reads the thread's
// DownloadStatus during the call.
const UINT UM_DOWNLOAD_PROGRESS = WM_APP + 2;
// Download thread -> download queue window: the user cancelled the download in the
// file-wrapper library's dialog; wParam the download id, lParam 0. Answers 0.
const UINT UM_CANCEL_DOWNLOAD = WM_APP + 4;

// Download queue window -> itself, posted once a PCT look-up's thread has ended its job: read
// the look-up's answer (WipoLinks.html) and queue the number it names; wParam and lParam 0.
const UINT UM_WIPO_LINKS_READY = WM_APP + 5;
// Download queue window -> itself, posted when a download failed for a cause no attempt can
// mend that has not been told yet: show the waiting messages; wParam and lParam 0.
const UINT UM_SHOW_JOB_FAULT = WM_APP + 6;

// Download queue window -> project pane: a document has been downloaded; wParam the text of
// its Document record (const char*, valid during the call), lParam 1 when it was the last row
// of the queue, else 0. A non-zero answer means the pane took the record.
const UINT UM_ADD_DOCUMENT = WM_APP + 0xC8;
// Download queue window -> project pane: a download failed, play the error sound; wParam and
// lParam 0.
const UINT UM_PLAY_ERROR_SOUND = WM_APP + 0xC9;
