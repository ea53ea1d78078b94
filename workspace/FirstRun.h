// The first-run flag: the registry value FirstTime (REG_SZ) under
// HKEY_CURRENT_USER\Software\Quendal LLC\Zentrova\Settings. "1" or no value means that this
// start is a first run; the program then writes "0"; the import wizard writes "1".
#pragma once

#include "String.h"

#include <windows.h>

// Reads a REG_SZ value under HKEY_CURRENT_USER\Software\Quendal LLC\Zentrova\<section> into
// the caller's buffer of at least 256 bytes, creating the keys on the way. A Win32 error
// code; the buffer is untouched when the value cannot be read.
LONG ReadFirstTimeFlag(const char* section, const char* valueName, char* buffer);

// Writes the text (without its terminating zero) as REG_SZ there. A Win32 error code: the
// error of the first step that failed, else the result of closing the keys.
LONG WriteFirstTimeFlag(const char* section, const char* valueName, const char* text);

// True when this start is a first run, which it then records by writing "0". A start that
// cannot record it (no registry access) does not count as a first run, so the sample folders
// are not added again at every start.
bool IsFirstRun();

typedef LONG (*FirstTimeReader)(const char*, const char*, char*);
typedef LONG (*FirstTimeWriter)(const char*, const char*, const char*);
// The same decision over other readers and writers of the flag.
bool IsFirstRunWith(FirstTimeReader read, FirstTimeWriter write);
