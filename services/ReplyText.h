// The text of a fetched reply as the program keeps text: bytes of the system's ANSI code page.
// The OPS service answers UTF-8; its bytes, kept as they came, would show every letter beyond
// ASCII as two characters. The page fetchers therefore convert a UTF-8 reply once, where they
// read it, and hand every other reply on byte for byte.
#pragma once

#include "String.h"

// True when the reply is UTF-8 text: its Content-Type names the charset utf-8; or, with no
// charset there, it begins with the UTF-8 byte order mark or its XML declaration names the
// encoding UTF-8; or, with nothing of that naming an encoding, it comes from the OPS service
// and its bytes are valid UTF-8. A charset or an encoding that names another character set
// keeps the reply as it is.
bool IsUtf8Reply(const CString& contentType, const CString& body, const CString& url);

// True when the bytes are valid UTF-8 (no cut, overlong or surrogate sequences, nothing above
// U+10FFFF).
bool IsValidUtf8(const CString& bytes);

// UTF-8 bytes as ANSI text that keeps the meaning of what the code page cannot hold: every
// Unicode space (U+00A0, U+2000 to U+200B, U+202F, U+205F, U+3000) becomes a blank; a dash or
// a typographic quote the code page lacks becomes its plain form ("-", "'", "\""), a Latin
// letter it lacks its nearest letters ("L" for L with stroke, "fi" for the ligature); any
// other character it lacks becomes "?", and so does each broken sequence and each character
// beyond U+FFFF. No replacement is "\\", "/", ":" or ".". Nothing else is dropped; a leading
// byte order mark goes.
CString Utf8ToAnsi(const CString& utf8);

// The reply as the program keeps it: converted when it is UTF-8 text, else unchanged.
CString ReplyTextToAnsi(const CString& body, const CString& contentType, const CString& url);
