#include "StdioFile.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

namespace {

// The system error that best matches the run-time's errno after a failed stream call; -1
// (a generic file error) when none does.
LONG StreamOsError()
{
    switch (errno) {
    case ENOSPC: return ERROR_DISK_FULL;
    case EACCES: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    default: return -1;
    }
}

} // namespace

CStdioFile::CStdioFile(const char* lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    if (m_pStream || m_hFile != hFileNull)
        Abort();
}

bool CStdioFile::Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (!CFile::Open(lpszFileName, nOpenFlags & ~(typeText | typeBinary), pError))
        return false;

    const bool binary = (nOpenFlags & typeBinary) != 0;
    int osFlags = binary ? _O_BINARY : _O_TEXT;
    const char* mode = nullptr;
    switch (nOpenFlags & 3) {
    case modeRead:
        osFlags |= _O_RDONLY;
        mode = binary ? "rb" : "rt";
        break;
    case modeWrite:
        osFlags |= _O_WRONLY;
        mode = binary ? "wb" : "wt";
        break;
    default:
        osFlags |= _O_RDWR;
        mode = binary ? "r+b" : "r+t";
        break;
    }
    // The stream takes over the handle: closing the stream closes it.
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(m_hFile), osFlags);
    FILE* stream = fd >= 0 ? _fdopen(fd, mode) : nullptr;
    if (!stream) {
        if (fd >= 0)
            _close(fd);
        else
            CloseHandle(m_hFile);
        m_hFile = hFileNull;
        if (pError) {
            pError->m_cause = CFileException::tooManyOpenFiles;
            pError->m_lOsError = ERROR_TOO_MANY_OPEN_FILES;
            pError->m_strFileName = m_strFileName;
        }
        m_strFileName.Empty();
        return false;
    }
    m_pStream = stream;
    return true;
}

void CStdioFile::ThrowStreamError() const
{
    CFileException::ThrowOsError(StreamOsError(), m_strFileName);
}

bool CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    std::string line;
    int ch = EOF;
    while ((ch = std::getc(m_pStream)) != EOF && ch != '\n')
        line += static_cast<char>(ch);
    if (ch == EOF && std::ferror(m_pStream))
        ThrowStreamError();
    rString = CString(line);
    return ch == '\n' || !line.empty();
}

char* CStdioFile::ReadString(char* lpsz, UINT nMax)
{
    if (!lpsz || nMax == 0)
        AfxThrowInvalidArgException();
    char* result = std::fgets(lpsz, static_cast<int>(nMax), m_pStream);
    if (!result && std::ferror(m_pStream))
        ThrowStreamError();
    return result;
}

void CStdioFile::WriteString(const char* lpsz)
{
    if (!lpsz)
        AfxThrowInvalidArgException();
    if (std::fputs(lpsz, m_pStream) == EOF)
        ThrowStreamError();
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    size_t n = std::fread(lpBuf, 1, nCount, m_pStream);
    if (n < nCount && std::ferror(m_pStream))
        ThrowStreamError();
    return static_cast<UINT>(n);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (std::fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
        ThrowStreamError();
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom)
{
    static const int kOrigins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (nFrom > end || _fseeki64(m_pStream, lOff, kOrigins[nFrom]) != 0)
        AfxThrowFileException(CFileException::badSeek, ERROR_SEEK, m_strFileName);
    return GetPosition();
}

ULONGLONG CStdioFile::GetPosition() const
{
    __int64 pos = _ftelli64(m_pStream);
    if (pos < 0)
        AfxThrowFileException(CFileException::badSeek, ERROR_SEEK, m_strFileName);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CStdioFile::GetLength() const
{
    if (std::fflush(m_pStream) != 0)
        ThrowStreamError();
    return CFile::GetLength();
}

void CStdioFile::SetLength(ULONGLONG dwNewLen)
{
    Flush();
    CFile::SetLength(dwNewLen);
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
}

void CStdioFile::Flush()
{
    if (m_pStream && std::fflush(m_pStream) != 0)
        ThrowStreamError();
}

void CStdioFile::Close()
{
    FILE* stream = m_pStream;
    m_pStream = nullptr;
    m_hFile = hFileNull;
    CString name = m_strFileName;
    m_strFileName.Empty();
    if (stream && std::fclose(stream) != 0)
        CFileException::ThrowOsError(StreamOsError(), name);
}

void CStdioFile::Abort()
{
    if (m_pStream)
        std::fclose(m_pStream);
    m_pStream = nullptr;
    m_hFile = hFileNull;
    m_strFileName.Empty();
}
