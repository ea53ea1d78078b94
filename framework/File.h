// CFile: unbuffered binary access to a file through a Windows file handle, and CFileStatus,
// what GetStatus reports about a file. Failures of Read, Write, Seek, SetLength, Flush, Close
// and the static Rename and Remove raise CFileException; Open reports them by its result.
#pragma once

#include "FileException.h"
#include "Object.h"
#include "String.h"
#include "Time.h"

#include <windows.h>

struct CFileStatus
{
    CTime m_ctime;         // creation
    CTime m_mtime;         // last write
    CTime m_atime;         // last access
    ULONGLONG m_size = 0;  // bytes
    BYTE m_attribute = 0;  // CFile::Attribute bits
    char m_szFullName[MAX_PATH] = {};
};

class CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,  // treated as shareExclusive
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,      // create, truncating an existing file...
        modeNoTruncate = 0x2000,  // ...unless this is given too
        typeText = 0x4000,        // CStdioFile only
        typeBinary = 0x8000
    };
    enum Attribute : BYTE
    {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20
    };
    enum SeekPosition : UINT
    {
        begin = 0,
        current = 1,
        end = 2
    };

    static const HANDLE hFileNull;

    CFile() = default;
    // Takes over an open handle; the object closes it.
    explicit CFile(HANDLE hFile);
    // Opens the file or raises CFileException.
    CFile(const char* lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    operator HANDLE() const { return m_hFile; }

    // Answers whether the file opened; on failure fills pError (cause, system error, name).
    virtual bool Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Answers the number of bytes read: fewer than asked at the end of the file, 0 past it.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes all bytes; a short write (full disk) raises CFileException diskFull.
    virtual void Write(const void* lpBuf, UINT nCount);
    // Answers the new position from the start of the file.
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual void Flush();
    virtual void Close();
    // Closes without raising anything (for clean-up after an error).
    virtual void Abort();

    // The full path given to Open, the name part of it (behind the last backslash).
    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;

    bool GetStatus(CFileStatus& rStatus) const;
    static bool GetStatus(const char* lpszFileName, CFileStatus& rStatus);
    static void Rename(const char* lpszOldName, const char* lpszNewName);
    static void Remove(const char* lpszFileName);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

protected:
    // Raises the CFileException for the calling thread's last system error.
    [[noreturn]] void ThrowLastError() const;

    CString m_strFileName;
};
