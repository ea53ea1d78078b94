// CInternetFile: a file opened on the internet (a WinINet request handle) that the caller
// reads, in pieces or line by line. It owns its handle and closes it on Close or
// destruction. Read failures throw CInternetException.
#pragma once

#include "Object.h"
#include "String.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

class CInternetFile : public CObject
{
    DECLARE_DYNAMIC(CInternetFile)
public:
    ~CInternetFile() override;

    // Up to nCount bytes; 0 at the end of the data. One read of the handle at most when the
    // read buffer is empty.
    UINT Read(void* lpBuf, UINT nCount);

    // The next line without its line feed (a carriage return before it stays); false when
    // the data has ended and nothing was read.
    BOOL ReadString(CString& rString);

    // Size of the buffer behind Read and ReadString; 0 reads the handle directly. False when
    // the buffered, unread data would not fit.
    BOOL SetReadBufferSize(UINT nReadSize);

    virtual void Close();

    operator HINTERNET() const { return m_hFile; }
    DWORD_PTR GetContext() const { return m_dwContext; }

protected:
    CInternetFile(HINTERNET hFile, DWORD_PTR dwContext);

    // Called once the handle reports the end of the data, with the number of bytes it
    // delivered; the HTTP file checks them against the announced length.
    virtual void OnEndOfData(ULONGLONG nReceived);

    // Starts the count of received bytes anew (a new reply on the same handle).
    void ResetReceived();

    HINTERNET m_hFile;
    DWORD_PTR m_dwContext;

private:
    UINT ReadHandle(void* lpBuf, UINT nCount);
    bool FillBuffer();

    std::vector<char> m_buffer;
    UINT m_nBufferPos = 0;
    UINT m_nBufferLen = 0;
    UINT m_nReadBufferSize = 0;
    ULONGLONG m_nReceived = 0;
    bool m_bEndSeen = false;
};
