// CStdioFile: a CFile read and written through a buffered C run-time stream, by lines.
// In text mode (the default; typeBinary turns it off) CR LF reads as a line feed and a line
// feed is written as CR LF. Errors raise CFileException as with CFile.
#pragma once

#include "File.h"

#include <cstdio>

class CStdioFile : public CFile
{
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile() = default;
    // Opens the file or raises CFileException.
    CStdioFile(const char* lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    bool Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;

    // Reads the next line without its line feed (in binary mode a CR before it stays);
    // answers false when nothing was left to read. Zero bytes in a line are kept.
    virtual bool ReadString(CString& rString);
    // Reads at most nMax - 1 bytes up to and including the next line feed into a terminated
    // buffer; answers the buffer, or null when nothing was left to read.
    virtual char* ReadString(char* lpsz, UINT nMax);
    virtual void WriteString(const char* lpsz);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

    FILE* m_pStream = nullptr;

private:
    [[noreturn]] void ThrowStreamError() const;
};
