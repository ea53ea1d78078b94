// The private messages of the search pane (CSearchContainer) and of its Search Results page
// (CSearchResults). All are sent with SendMessage; wParam and lParam are 0 unless a line says
// otherwise. The search thread's own messages are in SearchThreadMessages.h.
#pragma once

#include <windows.h>

// Search Results page -> search pane: stop the running search. Answers 1.
const UINT UM_STOP_SEARCH = WM_APP + 1;
// Search pane -> Search Results page: a search starts; the page marks itself busy and
// repaints its list. Answers 1.
const UINT UM_RESULTS_REPAINT = WM_APP + 2;
// Advanced Search page -> search pane: run the page's query, or stop the running search.
// Answers 1.
const UINT UM_RUN_ADVANCED_SEARCH = WM_APP + 0x19;
// Basic Search page -> search pane: run the page's query, or stop the running search.
// Answers 1.
const UINT UM_RUN_BASIC_SEARCH = WM_APP + 0x1A;
// Saved Reports page -> search pane: show the Saved Reports tab.
const UINT UM_SHOW_SAVED_REPORTS = WM_APP + 0xEA;
// Search pane -> itself, posted when it is first shown in a run: offer the session chooser
// once the pane has painted. Answers 0.
const UINT UM_OFFER_SESSION_CHOOSER = WM_APP + 0x30;
// Search pane -> itself, posted when a search could not run for a cause that has not been
// told yet (the recipe file, the OPS keys): show its message once the search thread has been
// let go. Answers 0.
const UINT UM_SHOW_SEARCH_FAULT = WM_APP + 0x31;
// The report run's messages to the pane (UM_REPORT_PROGRESS, UM_REPORT_FINISHED).
#include "ReportMessages.h"
