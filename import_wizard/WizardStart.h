// What the import wizard reads when it starts: its command line and, for a start without the
// main program's token, whether an older installation left its project file at one of the
// fixed places.
#pragma once

#include "String.h"

// The token with which the main program starts the wizard, directly followed by the main
// program's folder.
extern const char kImportToken[];   // "VORTEMAP"
// The marker that names the folder when the wizard is started by other means.
extern const char kSecondMarker[];  // "QUILMARO"

// The wizard's reading of its whole command line (program path included).
struct ImportCommandLine
{
    bool bHasToken = false;   // the token stands anywhere in the line
    bool bHasMarker = false;  // the marker in use (the token when present, else the second
                              // marker) stands in the line and a folder follows it
    CString strFolder;        // everything after the marker's first occurrence
    CString strDestination;   // that folder + "\Project.cfg"; empty without a marker
};

ImportCommandLine ParseImportCommandLine(const CString& commandLine);

// True when "c:\program files\Quendal, LLC\Zentrova2\Project.cfg", or the same path on d:,
// e:, f: or g:, exists (checked in that order, stopping at the first).
bool OldInstallationExists();
