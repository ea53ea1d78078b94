// The start-up visit of the USPTO web portal: one GET of its start page, whose cookies stay
// in the process's WinINet cookie store for the libraries that later talk to the portal.
#pragma once

#include "String.h"

// The raw reply headers of one visit of the portal's start page (a redirect is not
// followed); the empty text on any failure, which is written to the trace.
CString FetchStartupHeaders();
