// Putting an older version's project file in place of the current one. The copy is written
// beside the destination first; only when it is complete does the current file step aside,
// under a dated backup name, and the copy take its place. A copy that fails at any step
// leaves the current file as it was.
#pragma once

#include "String.h"

#include <windows.h>

// The name under which the file at the path is kept when it is replaced at that moment:
// "C:\folder\Project.cfg" -> "C:\folder\Project.cfg.20240131-154502.bak".
CString BackupPathFor(const CString& path, const SYSTEMTIME& when);

// Replaces the destination with a copy of the source. TRUE on success; the path of the
// backup of the replaced file goes to *pBackup (empty when there was no file to replace).
BOOL ReplaceProjectFile(const CString& source, const CString& destination, CString* pBackup = nullptr);
