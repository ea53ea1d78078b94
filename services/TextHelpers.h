// Small text helpers shared by the workspace: entity escaping for values written into XML
// text templates, slash removal for names built from document numbers, the blanking of NUL
// characters in fetched pages, the system's text for the last error, and the first line of a
// message.
#pragma once

#include "String.h"

#include <windows.h>

// & < > " become &amp; &lt; &gt; &quot; (the ampersand first, so inserted entities stay).
CString EscapeXml(CString text);

// The reverse, in the same order: &amp;lt; therefore ends as a single <.
CString UnescapeXml(CString text);

// A copy without any "/" or "\".
CString StripSlashes(CString text);

// The text with every NUL character inside its length replaced by a blank.
CString NullsToSpaces(CString text);

// The text up to its first line feed: a message where one line is all the room there is.
CString FirstLine(const CString& text);

// The system's text for GetLastError() of the calling thread, without its line break, in
// the buffer (which it answers); the empty text when the system has none, or when the
// buffer (nSize characters) is smaller than the text's length plus 14.
char* GetLastErrorText(char* pszBuffer, DWORD nSize);

// The system's text of an error code, without its line break ("Access denied."); the code
// itself when the system has no text for it.
CString SystemErrorText(DWORD error);
