#include "ProjectFileSearch.h"

#include "FileFind.h"

#include <windows.h>

namespace {

bool IsFolderToSearch(const CFileFind& finder)
{
    return finder.IsDirectory() && !finder.IsDots();
}

} // namespace

bool CProjectFileSearch::IsSearchedDriveType(UINT nDriveType)
{
    return nDriveType == DRIVE_REMOVABLE || nDriveType == DRIVE_FIXED || nDriveType == DRIVE_RAMDISK;
}

void CProjectFileSearch::ScanDrives()
{
    const DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26 && !m_bStop; ++i) {
        if (!(drives & (1u << i)))
            continue;
        CString pattern;
        pattern.Format("%c:\\*.*", 'a' + i);
        const CString root = pattern.Left(pattern.GetLength() - 3);
        if (IsSearchedDriveType(::GetDriveTypeA(root)))
            ScanDrive(root);
    }
}

void CProjectFileSearch::ScanDrive(const CString& root)
{
    m_arrFoundPaths.RemoveAll();
    // Only folders are looked at: files in the root are not.
    CFileFind finder;
    bool bMore = finder.FindFile(root + "*.*");
    while (bMore && !m_bStop) {
        bMore = finder.FindNextFile();
        if (IsFolderToSearch(finder))
            SearchFolder(finder.GetFilePath());
    }
}

BOOL CProjectFileSearch::SearchFolder(const CString& path)
{
    if (m_bStop)
        return FALSE;
    OnSearchText(path);
    // A bare folder path finds that folder itself, so a top-level "Zentrova2" is checked
    // too; a path ending in "\*.*" lists the folder's entries.
    CFileFind finder;
    bool bMore = finder.FindFile(path);
    while (bMore && !m_bStop) {
        bMore = finder.FindNextFile();
        if (!IsFolderToSearch(finder))
            continue;
        const CString folder = finder.GetFilePath();
        if (finder.GetFileName() == "Zentrova2" && CheckForProjectFile(folder))
            return TRUE;
        if (finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        if (SearchFolder(folder + "\\*.*"))
            return TRUE;
    }
    return FALSE;
}

BOOL CProjectFileSearch::CheckForProjectFile(const CString& folder)
{
    CFileFind finder;
    bool bMore = finder.FindFile(folder + "\\Project.cfg");
    while (bMore) {
        bMore = finder.FindNextFile();
        // The file system may match the name in another letter case: only the exact name
        // counts.
        if (finder.GetFileName() == "Project.cfg" && !finder.IsDirectory()) {
            if (m_bStop)
                return FALSE;
            const CString path = finder.GetFilePath();
            m_arrFoundPaths.Add(path);
            OnProjectFileFound(path);
            return TRUE;
        }
    }
    return FALSE;
}
