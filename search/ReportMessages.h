// The messages of a report run: between the report threads (CReportThread) and the Saved
// Reports page that runs them, from the run to the search pane, and from the progress
// pop-up to the Search Report page. All are sent with SendMessage unless said otherwise.
#pragma once

#include "WorkerThreadMessages.h"

// Report thread -> Saved Reports page: the document's job has ended; wParam the document's
// index in the run, lParam 0 (ended) or kReportCancelled (cancelled). The thread waits
// while the page reads its flags and result path.
const UINT UM_REPORT_ITEM_DONE = WM_APP + 2;
const LPARAM kReportCancelled = 22000;
// To a report thread (thread message): cancel the job; wParam and lParam 0. Nothing posts
// it: the run calls CReportThread::OnCancel directly.
const UINT UM_REPORT_CANCEL = WM_APP + 0x21;
// Saved Reports page -> search pane: wParam the documents of the run, lParam those started.
const UINT UM_REPORT_PROGRESS = WM_APP + 0xEE;
// Saved Reports page -> search pane: the run has ended (finished or cancelled); 0, 0.
const UINT UM_REPORT_FINISHED = WM_APP + 0xED;
// Report progress pop-up -> its owner (the Search Report page): cancel the run; 0, 0.
const UINT UM_CANCEL_REPORT = WM_APP + 0x261;
// Saved Reports page -> itself (posted): show the message of the cause that ended the run
// (the recipe cannot be read, the OPS keys are refused) once the report thread is let go; 0, 0.
const UINT UM_SHOW_REPORT_FAULT = WM_APP + 0x262;
