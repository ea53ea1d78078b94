// g_PageImageLock: the one process-wide lock of the program's own code. It serialises the
// test of downloaded page images and their conversion to PDF across the download threads.
// The application creates it at start-up, before any download thread exists, and never
// deletes it.
#pragma once

#include <windows.h>

extern CRITICAL_SECTION g_PageImageLock;
