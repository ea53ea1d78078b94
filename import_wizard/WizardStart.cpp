#include "WizardStart.h"

#include <windows.h>

#include <cstring>

const char kImportToken[] = "VORTEMAP";
const char kSecondMarker[] = "QUILMARO";

ImportCommandLine ParseImportCommandLine(const CString& commandLine)
{
    ImportCommandLine line;
    line.bHasToken = commandLine.Find(kImportToken) >= 0;
    const char* marker = line.bHasToken ? kImportToken : kSecondMarker;
    const int at = commandLine.Find(marker);
    if (at < 0)
        return line;
    line.strFolder = commandLine.Mid(at + static_cast<int>(strlen(marker)));
    // A marker at the very end names no folder: "\Project.cfg" would be the root of
    // whichever drive is current, so such a line counts as one without a marker.
    if (line.strFolder.IsEmpty())
        return line;
    line.bHasMarker = true;
    line.strDestination = line.strFolder + "\\Project.cfg";
    return line;
}

bool OldInstallationExists()
{
    for (char drive : {'c', 'd', 'e', 'f', 'g'}) {
        CString path;
        path.Format("%c:\\program files\\Quendal, LLC\\Zentrova2\\Project.cfg", drive);
        if (::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}
