// Names of the folders and files a download writes. They are built from text the user typed,
// text a browser toolbar sent and values a recipe took from web pages, so they are cleaned
// before use: no such text may name a file outside the download folder or a device.
#pragma once

#include "String.h"

// The name without the characters Windows forbids in names (\ / : * ? " < > |) and without
// control characters; trailing blanks and full stops, which Windows drops, are dropped too.
// A name that is then empty, made only of full stops, or a device name (CON, PRN, AUX, NUL,
// COM1-COM9, LPT1-LPT9, with or without an extension) gives the empty text: no usable name.
CString MakeSafeFileName(CString name);

// The text with only its letters A-Z, a-z and digits 0-9 kept.
CString KeepLettersAndDigits(const CString& text);
