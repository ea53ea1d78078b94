#include "FileFind.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CFileFind, CObject)

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHaveFound = m_bHaveNext = false;
    m_strRoot.Empty();
}

bool CFileFind::FindFile(const char* pstrName, DWORD /*dwUnused*/)
{
    Close();
    const char* pattern = pstrName ? pstrName : "*.*";
    m_hFind = FindFirstFileA(pattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return false;
    m_bHaveNext = true;

    char full[MAX_PATH];
    char* filePart = nullptr;
    DWORD n = GetFullPathNameA(pattern, MAX_PATH, full, &filePart);
    CString root = (n > 0 && n < MAX_PATH) ? CString(full) : CString(pattern);
    int slash = std::max(root.ReverseFind('\\'), root.ReverseFind('/'));
    m_strRoot = slash >= 0 ? root.Left(slash + 1) : CString();
    return true;
}

bool CFileFind::FindNextFile()
{
    if (!m_bHaveNext)
        return false;
    m_found = m_next;
    m_bHaveFound = true;
    m_bHaveNext = ::FindNextFile(m_hFind, &m_next) != FALSE;
    return m_bHaveNext;
}

CString CFileFind::GetFileName() const
{
    return m_bHaveFound ? CString(m_found.cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    return m_bHaveFound ? m_strRoot + m_found.cFileName : CString();
}

ULONGLONG CFileFind::GetLength() const
{
    if (!m_bHaveFound)
        return 0;
    return (static_cast<ULONGLONG>(m_found.nFileSizeHigh) << 32) | m_found.nFileSizeLow;
}

bool CFileFind::IsDots() const
{
    if (!m_bHaveFound || !IsDirectory())
        return false;
    const char* name = m_found.cFileName;
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_bHaveFound && (m_found.dwFileAttributes & dwMask) != 0;
}

bool CFileFind::TimeOf(const FILETIME& ft, CTime& refTime) const
{
    if (!m_bHaveFound)
        return false;
    refTime = CTime(ft);
    return true;
}
