#include "InternetFile.h"

#include "InternetException.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CInternetFile, CObject)

namespace {
// ReadString needs a buffer even when the caller set none.
const UINT kLineBufferSize = 4096;
}

CInternetFile::CInternetFile(HINTERNET hFile, DWORD_PTR dwContext)
    : m_hFile(hFile), m_dwContext(dwContext)
{
}

CInternetFile::~CInternetFile()
{
    CInternetFile::Close();
}

void CInternetFile::Close()
{
    if (m_hFile) {
        InternetCloseHandle(m_hFile);
        m_hFile = nullptr;
    }
    m_nBufferPos = m_nBufferLen = 0;
}

void CInternetFile::OnEndOfData(ULONGLONG /*nReceived*/) {}

void CInternetFile::ResetReceived()
{
    m_nReceived = 0;
    m_bEndSeen = false;
    m_nBufferPos = m_nBufferLen = 0;
}

UINT CInternetFile::ReadHandle(void* lpBuf, UINT nCount)
{
    if (!m_hFile)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    if (m_bEndSeen || nCount == 0)
        return 0;
    DWORD got = 0;
    if (!InternetReadFile(m_hFile, lpBuf, nCount, &got))
        AfxThrowInternetException(m_dwContext);
    if (got == 0) {
        m_bEndSeen = true;
        OnEndOfData(m_nReceived);
    }
    m_nReceived += got;
    return got;
}

bool CInternetFile::FillBuffer()
{
    UINT size = m_nReadBufferSize ? m_nReadBufferSize : kLineBufferSize;
    if (m_buffer.size() < size)
        m_buffer.resize(size);
    m_nBufferPos = 0;
    m_nBufferLen = ReadHandle(m_buffer.data(), size);
    return m_nBufferLen > 0;
}

UINT CInternetFile::Read(void* lpBuf, UINT nCount)
{
    char* out = static_cast<char*>(lpBuf);
    UINT done = 0;
    if (m_nBufferPos < m_nBufferLen) {
        done = std::min(nCount, m_nBufferLen - m_nBufferPos);
        std::memcpy(out, m_buffer.data() + m_nBufferPos, done);
        m_nBufferPos += done;
        return done;
    }
    if (m_nReadBufferSize == 0 || nCount >= m_nReadBufferSize)
        return ReadHandle(out, nCount);
    if (!FillBuffer())
        return 0;
    done = std::min(nCount, m_nBufferLen);
    std::memcpy(out, m_buffer.data(), done);
    m_nBufferPos = done;
    return done;
}

BOOL CInternetFile::ReadString(CString& rString)
{
    rString.Empty();
    bool any = false;
    for (;;) {
        if (m_nBufferPos >= m_nBufferLen && !FillBuffer())
            return any;
        any = true;
        const char* start = m_buffer.data() + m_nBufferPos;
        UINT avail = m_nBufferLen - m_nBufferPos;
        const void* lf = std::memchr(start, '\n', avail);
        if (lf) {
            UINT n = static_cast<UINT>(static_cast<const char*>(lf) - start);
            rString += CString(start, static_cast<int>(n));
            m_nBufferPos += n + 1;
            return TRUE;
        }
        rString += CString(start, static_cast<int>(avail));
        m_nBufferPos = m_nBufferLen;
    }
}

BOOL CInternetFile::SetReadBufferSize(UINT nReadSize)
{
    UINT unread = m_nBufferLen - m_nBufferPos;
    if (unread > nReadSize && nReadSize != 0)
        return FALSE;
    if (unread > 0) {
        std::vector<char> kept(m_buffer.begin() + m_nBufferPos, m_buffer.begin() + m_nBufferLen);
        kept.resize(std::max<size_t>(nReadSize, kept.size()));
        m_buffer.swap(kept);
        m_nBufferPos = 0;
        m_nBufferLen = unread;
    } else {
        m_buffer.assign(nReadSize, 0);
        m_nBufferPos = m_nBufferLen = 0;
    }
    m_nReadBufferSize = nReadSize;
    return TRUE;
}
