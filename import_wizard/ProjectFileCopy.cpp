#include "ProjectFileCopy.h"

CString BackupPathFor(const CString& path, const SYSTEMTIME& when)
{
    CString stamp;
    stamp.Format(".%04u%02u%02u-%02u%02u%02u", when.wYear, when.wMonth, when.wDay, when.wHour, when.wMinute,
                 when.wSecond);
    return path + stamp + ".bak";
}

namespace {

bool Exists(const CString& path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// A backup name not yet taken: the dated name, else the same with "-2", "-3" ...
CString FreeBackupPath(const CString& path)
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const CString dated = BackupPathFor(path, now);
    CString candidate = dated;
    for (int n = 2; Exists(candidate); ++n) {
        CString suffix;
        suffix.Format("-%d.bak", n);
        candidate = dated.Left(dated.GetLength() - 4) + suffix;
    }
    return candidate;
}

} // namespace

BOOL ReplaceProjectFile(const CString& source, const CString& destination, CString* pBackup)
{
    if (pBackup)
        pBackup->Empty();
    const CString partial = destination + ".importing";
    if (!::CopyFileA(source, partial, FALSE)) {
        ::DeleteFileA(partial);
        return FALSE;
    }
    CString backup;
    if (Exists(destination)) {
        backup = FreeBackupPath(destination);
        if (!::MoveFileExA(destination, backup, 0)) {
            ::DeleteFileA(partial);
            return FALSE;
        }
    }
    if (!::MoveFileExA(partial, destination, MOVEFILE_REPLACE_EXISTING)) {
        if (!backup.IsEmpty())
            ::MoveFileExA(backup, destination, 0);
        ::DeleteFileA(partial);
        return FALSE;
    }
    if (pBackup)
        *pBackup = backup;
    return TRUE;
}
