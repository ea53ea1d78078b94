// Document numbers as users and the browser toolbar hand them in: the lines of a request
// text, the clean-up of each line into the number given to the download queue, and the
// fixed 40-byte request and greeting of the toolbar link.
#pragma once

#include "String.h"

#include <cstdint>
#include <vector>

// The lines of a request text: the text is taken line by line up to its first empty line
// (or its end); a trailing carriage return stays with its line.
std::vector<CString> SplitRequestLines(const CString& text);

// The quick-download box's clean-up of one line: upper case; only A-Z, 0-9, "/" and "-"
// kept; "EP" numbers padded with zeros to 9 characters; the long WO year forms shortened;
// slashes removed unless the text names "US" without "PCT"; every "SHORTCUT" removed.
// An empty result means the line is skipped. "US" is still in the result: the caller
// removes it just before the hand-over.
CString CleanQuickDownloadNumber(CString line);

// The toolbar request's lighter clean-up: upper case, only A-Z, 0-9, "/" and "-" kept,
// every "SHORTCUT" removed.
CString CleanToolbarNumber(CString line);

// The toolbar link: a request is exactly kToolbarRequestSize bytes.
constexpr int kToolbarRequestSize = 40;

struct ToolbarRequest
{
    CString strIdentifier;  // at most 14 characters
    CString strNumbers;     // at most 20 characters, numbers separated by "\n"
    int32_t nPageChoice = -1;  // negative: all pages; n >= 0: the first n pages
};

// Reads a request; false when it is not exactly 40 bytes or its identifier or number field
// has no terminating zero byte inside the field.
bool ParseToolbarRequest(const char* pData, int nLength, ToolbarRequest& request);

// The greeting sent on every accepted connection: 40 zero bytes (empty identifier and number).
void MakeToolbarGreeting(char (&greeting)[kToolbarRequestSize]);
