// Helpers of the import wizard's tests that reach out of Wine into the Linux file system.
#pragma once

#include "String.h"

#include <string>

namespace testsupport {

// Writes a file below the folder (relative: "a\\b\\name"), making its folders on the way;
// answers the file's path.
CString PutFile(const CString& folder, const char* relative, const std::string& bytes);

// The Linux path of a Windows path (Wine's own conversion); empty when it cannot tell.
CString UnixPathOf(const CString& windowsPath);

// A Linux symbolic link at a Windows path, pointing to a target (a Windows path), made with
// /bin/ln and removed with /bin/rm when the object goes: Wine shows such a link as a folder
// that is a reparse point. A link must go before the folder that holds it is removed, as
// the removal would follow it.
class UnixLink
{
public:
    UnixLink(const CString& link, const CString& target);
    ~UnixLink();
    UnixLink(const UnixLink&) = delete;
    UnixLink& operator=(const UnixLink&) = delete;

    // Whether the link came to exist within a few seconds.
    bool Made() const { return m_bMade; }

private:
    CString m_link;
    bool m_bMade = false;
};

// Runs a Linux command line through Wine and waits until done() holds (Wine hands back no
// usable handle of a Linux program). Answers done() at the end.
bool RunUnix(const CString& commandLine, bool (*done)(const CString&), const CString& path);

} // namespace testsupport
