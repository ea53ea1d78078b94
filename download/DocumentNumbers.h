// The clean-up of document numbers before they are queued: the form that the project store's
// Document records carry in Name (country code, number, kind code), and the pieces the
// download thread is given. Used by the download queue window and, through it, by the project
// pane and the search pages.
#pragma once

#include "String.h"

// The number in the project store's form: upper case, only A-Z, 0-9 and "/" kept; "RE" and
// "PP" numbers and numbers without a two-letter country code become US numbers, padded with
// zeros to their usual length ("D123456" -> "USD123456", "12345" -> "US0012345",
// "2005123456" -> "US20050123456").
CString NormalizeDocumentNumber(CString number);

// Whether a document number (without its country code) is an application's: one of 8 or
// more characters, except a US patent of today's eight digits ("11234567", "D1000000").
bool IsApplicationNumber(const CString& countryCode, const CString& documentNumber);

// What follows the digits of a number, from its third character on ("US1234567B2" -> "B2").
CString GetKindSuffix(const CString& number);

// The pieces of a queued number: the leading letters (and slashes), the digits after them,
// and the kind code after those. The result is the number without its kind code; bare
// receives the digits and kind the kind code. A kind code of one character stays part of the
// number. A number with nothing after its digits is returned unchanged.
CString SplitKindCode(const CString& number, CString& kind, CString& bare);

// A queued number's pieces after the clean-up that a download and a look-up share.
struct QueuedNumber
{
    CString number;  // normalised (unless file-wrapper mode), without the kind code
    CString kind;    // kind code, may be empty
    CString bare;    // the digits
    CString suffix;  // GetKindSuffix of the cleaned number

    // The key of the download queue and of the project's document index.
    CString Key() const { return number + kind; }
};

// Slashes removed (unless the number is a PCT number), upper case, no blanks; kind code split
// off; normalised unless bFileWrapper.
QueuedNumber CleanQueuedNumber(CString number, bool bFileWrapper);

// A title for one line of the queue: every run of blanks made one blank, CR and LF removed.
CString CleanTitle(CString title);
