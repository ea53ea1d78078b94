#include "DataFiles.h"

#include <windows.h>
#include <shlobj.h>

namespace {

const char* const kVirtualStoreFolders[] = {
    "\\VirtualStore\\Program Files (x86)\\Morvath Software\\Zentrova3\\",
    "\\VirtualStore\\Program Files\\Morvath Software\\Zentrova3\\",
    "\\VirtualStore\\Program Files (x86)\\Quendal, LLC\\Zentrova3\\",
    "\\VirtualStore\\Program Files\\Quendal, LLC\\Zentrova3\\",
};

// The file's last-modification time in whole seconds; false when it cannot be opened or read.
bool ModifiedSeconds(const CString& path, ULONGLONG& seconds)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FILETIME written;
    bool ok = GetFileTime(h, nullptr, nullptr, &written) != 0;
    CloseHandle(h);
    if (ok) {
        ULARGE_INTEGER v;
        v.LowPart = written.dwLowDateTime;
        v.HighPart = written.dwHighDateTime;
        seconds = v.QuadPart / 10000000ULL;
    }
    return ok;
}

} // namespace

CString GetAppDirectory()
{
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString folder(path, static_cast<int>(n));
    int slash = folder.ReverseFind('\\');
    return slash >= 0 ? folder.Left(slash) : folder;
}

CString ResolveDataFilePath(CString fileName)
{
    const CString home = GetAppDirectory() + "\\" + fileName;
    char localAppData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                localAppData)))
        return home;
    for (const char* suffix : kVirtualStoreFolders) {
        const CString candidate = CString(localAppData) + suffix + fileName;
        ULONGLONG candidateTime = 0, homeTime = 0;
        if (!ModifiedSeconds(candidate, candidateTime) || !ModifiedSeconds(home, homeTime))
            continue;
        if (candidateTime > homeTime)
            return candidate;
    }
    return home;
}
