// Where the program's data files live: every file is written to the program folder and read
// from the path ResolveDataFilePath picks, which may be a newer copy that file virtualisation
// left under the user's local application-data folder.
#pragma once

#include "String.h"

// The folder of the running executable, without a trailing backslash.
CString GetAppDirectory();

// The path to read a data file (a bare name such as "Project.cfg") from: the program-folder
// copy, or the first VirtualStore copy whose modification time is strictly later (whole
// seconds). Never creates, copies or changes a file.
CString ResolveDataFilePath(CString fileName);
