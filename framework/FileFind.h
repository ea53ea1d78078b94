// CFileFind: walks the files and folders that match a path pattern.
//   CFileFind finder;
//   bool more = finder.FindFile("c:\\folder\\*.*");
//   while (more) { more = finder.FindNextFile(); ...use finder... }
// FindNextFile steps onto the next match and answers whether another one follows it, so the
// last match is used after the call that answered false. A pattern without wildcards finds
// that entry itself (a bare folder path finds the folder, not its contents).
// FindNextFile is named FindNextFileA by the Windows headers' macro, consistently for
// declaration and callers.
#pragma once

#include "Object.h"
#include "String.h"
#include "Time.h"

#include <windows.h>

class CFileFind : public CObject
{
    DECLARE_DYNAMIC(CFileFind)
public:
    CFileFind() = default;
    ~CFileFind() override;

    // Starts a search (null means "*.*" in the current folder); answers whether anything
    // matches. No match is current until the first FindNextFile.
    bool FindFile(const char* pstrName = nullptr, DWORD dwUnused = 0);
    bool FindNextFile();
    void Close();

    // Of the current match; empty or false before the first FindNextFile.
    CString GetFileName() const;
    // The folder of the pattern with its trailing backslash plus the name.
    CString GetFilePath() const;
    // The folder of the pattern, ending in a backslash.
    CString GetRoot() const { return m_strRoot; }
    ULONGLONG GetLength() const;
    bool IsDots() const;
    bool MatchesMask(DWORD dwMask) const;
    bool IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    bool IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    bool IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    bool IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    bool IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }
    bool GetLastWriteTime(CTime& refTime) const { return TimeOf(m_found.ftLastWriteTime, refTime); }
    bool GetCreationTime(CTime& refTime) const { return TimeOf(m_found.ftCreationTime, refTime); }
    bool GetLastAccessTime(CTime& refTime) const
    {
        return TimeOf(m_found.ftLastAccessTime, refTime);
    }

private:
    bool TimeOf(const FILETIME& ft, CTime& refTime) const;

    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_found = {};
    WIN32_FIND_DATAA m_next = {};
    bool m_bHaveFound = false;
    bool m_bHaveNext = false;
    CString m_strRoot;
};
