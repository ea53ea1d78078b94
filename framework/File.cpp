#include "File.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

CString FullPath(const char* lpszFileName)
{
    char buf[MAX_PATH];
    char* filePart = nullptr;
    DWORD n = GetFullPathNameA(lpszFileName, MAX_PATH, buf, &filePart);
    if (n == 0 || n >= MAX_PATH)
        return CString(lpszFileName);
    return CString(buf);
}

void SetError(CFileException* pError, LONG lOsError, const CString& fileName)
{
    if (!pError)
        return;
    pError->m_cause = CFileException::OsErrorToException(lOsError);
    pError->m_lOsError = lOsError;
    pError->m_strFileName = fileName;
}

void FillStatus(CFileStatus& rStatus, const FILETIME& created, const FILETIME& written,
                const FILETIME& accessed, DWORD sizeHigh, DWORD sizeLow, DWORD attributes,
                const CString& fullName)
{
    rStatus.m_ctime = CTime(created);
    rStatus.m_mtime = CTime(written);
    rStatus.m_atime = CTime(accessed);
    rStatus.m_size = (static_cast<ULONGLONG>(sizeHigh) << 32) | sizeLow;
    rStatus.m_attribute = static_cast<BYTE>(attributes);
    lstrcpynA(rStatus.m_szFullName, fullName, MAX_PATH);
}

} // namespace

CFile::CFile(HANDLE hFile) : m_hFile(hFile) {}

CFile::CFile(const char* lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull)
        Abort();
}

bool CFile::Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_hFile != hFileNull || !lpszFileName) {
        SetError(pError, ERROR_INVALID_HANDLE, lpszFileName);
        return false;
    }
    m_strFileName = FullPath(lpszFileName);

    DWORD access = 0;
    switch (nOpenFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    default: access = GENERIC_READ | GENERIC_WRITE; break;
    }
    DWORD share = 0;
    switch (nOpenFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE h =
        CreateFileA(lpszFileName, access, share, &sa, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetError(pError, static_cast<LONG>(GetLastError()), m_strFileName);
        m_strFileName.Empty();
        return false;
    }
    m_hFile = h;
    return true;
}

void CFile::ThrowLastError() const
{
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &read, nullptr))
        ThrowLastError();
    return read;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    DWORD written = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        ThrowLastError();
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    static const DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (nFrom > end)
        AfxThrowFileException(CFileException::badSeek, ERROR_INVALID_PARAMETER, m_strFileName);
    LARGE_INTEGER distance, position;
    distance.QuadPart = lOff;
    if (!SetFilePointerEx(m_hFile, distance, &position, kMethods[nFrom]))
        ThrowLastError();
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    LARGE_INTEGER zero, position;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        ThrowLastError();
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError();
}

void CFile::Flush()
{
    if (m_hFile != hFileNull && !FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close()
{
    HANDLE h = m_hFile;
    m_hFile = hFileNull;
    if (h != hFileNull && !CloseHandle(h)) {
        LONG err = static_cast<LONG>(GetLastError());
        CString name = m_strFileName;
        m_strFileName.Empty();
        CFileException::ThrowOsError(err, name);
    }
    m_strFileName.Empty();
}

void CFile::Abort()
{
    if (m_hFile != hFileNull)
        CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_strFileName.Empty();
}

CString CFile::GetFileName() const
{
    int slash = m_strFileName.ReverseFind('\\');
    return slash < 0 ? m_strFileName : m_strFileName.Mid(slash + 1);
}

bool CFile::GetStatus(CFileStatus& rStatus) const
{
    BY_HANDLE_FILE_INFORMATION info;
    if (m_hFile == hFileNull || !GetFileInformationByHandle(m_hFile, &info))
        return false;
    FillStatus(rStatus, info.ftCreationTime, info.ftLastWriteTime, info.ftLastAccessTime,
               info.nFileSizeHigh, info.nFileSizeLow, info.dwFileAttributes, m_strFileName);
    return true;
}

bool CFile::GetStatus(const char* lpszFileName, CFileStatus& rStatus)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!lpszFileName || !GetFileAttributesExA(lpszFileName, GetFileExInfoStandard, &data))
        return false;
    FillStatus(rStatus, data.ftCreationTime, data.ftLastWriteTime, data.ftLastAccessTime,
               data.nFileSizeHigh, data.nFileSizeLow, data.dwFileAttributes,
               FullPath(lpszFileName));
    return true;
}

void CFile::Rename(const char* lpszOldName, const char* lpszNewName)
{
    if (!MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszOldName);
}

void CFile::Remove(const char* lpszFileName)
{
    if (!DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszFileName);
}
