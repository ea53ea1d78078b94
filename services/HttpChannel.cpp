#include "HttpChannel.h"

#include "OpsTokenCache.h"
#include "ServiceHosts.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

const UINT kPieceSize = 500;
const DWORD kConnectTimeout = 320000;
const DWORD kConnectRetries = 25;
const DWORD kConnectBackoff = 1;
// At most this many window messages per pump, so that a message that keeps coming back
// (an unvalidated paint) cannot hold the transfer.
const int kPumpLimit = 200;

bool IsRedirect(DWORD status)
{
    return status == 301 || status == 302 || status == 303;
}

} // namespace

CHttpChannel::CHttpChannel() : m_Session(GetApplicationAgent(), m_dwSessionContext) {}

CHttpChannel::~CHttpChannel()
{
    Close();
}

void CHttpChannel::SetUrl(const CString& url)
{
    m_strUrl = url;
}

void CHttpChannel::SetPostRequest(const CString& headers, const CString& body)
{
    m_bPostMode = true;
    m_strPostHeaders = headers;
    m_strPostBody = body;
}

void CHttpChannel::Close()
{
    if (m_pRequest) {
        m_pRequest->Close();
        delete m_pRequest;
        m_pRequest = nullptr;
    }
    if (m_pConnection) {
        m_pConnection->Close();
        delete m_pConnection;
        m_pConnection = nullptr;
    }
}

bool CHttpChannel::SendCurrentRequest(bool bFirst)
{
    if (m_bPostMode) {
        // The headers of the first send stay with the request; a resend repeats the body.
        std::vector<char> body(m_strPostBody.GetString(),
                               m_strPostBody.GetString() + m_strPostBody.GetLength());
        return m_pRequest->SendRequest(bFirst ? m_strPostHeaders.GetString() : nullptr,
                                       bFirst ? static_cast<DWORD>(m_strPostHeaders.GetLength()) : 0,
                                       body.data(), static_cast<DWORD>(body.size()));
    }
    return m_pRequest->SendRequest();
}

int CHttpChannel::OpenAndSend(bool bRetried)
{
    COpsTokenCache::Instance();
    Close();
    m_bReplyBroken = false;

    DWORD service;
    CString server, object;
    INTERNET_PORT port;
    if (!AfxParseURL(m_strUrl, service, server, object, port))
        return SendAborted;
    if (service != AFX_INET_SERVICE_HTTP && service != AFX_INET_SERVICE_HTTPS)
        return SendNotHttp;

    bool ops = IsOpsUrl(m_strUrl);
    bool secure = port == INTERNET_DEFAULT_HTTPS_PORT;
    m_pConnection = m_Session.GetHttpConnection(
        server, INTERNET_FLAG_NO_AUTO_REDIRECT | (secure ? INTERNET_FLAG_SECURE : 0), port);
    if (m_bAbort)
        return SendAborted;

    m_pRequest = m_pConnection->OpenRequest(m_bPostMode ? "POST" : "GET", object, nullptr, 1,
                                            nullptr, nullptr,
                                            secure ? INTERNET_FLAG_SECURE : m_dwRequestFlags);

    // WinINet writes the request line itself; the block holds header lines only.
    CString headers;
    if (!m_bPostMode) {
        headers = "Accept: */*\r\nConnection: Keep-Alive\r\n";
        if (ops)
            headers += "Authorization: Bearer " + COpsTokenCache::GetToken() + "\r\n";
        headers += "\r\n";
    }
    if (m_bAbort)
        return SendAborted;

    m_Session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeout);
    m_Session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, kConnectRetries);
    m_Session.SetOption(INTERNET_OPTION_CONNECT_BACKOFF, kConnectBackoff);
    if (m_dwReceiveTimeout) {
        // WinINet takes a receive timeout for the connection from the request, before it is sent.
        DWORD timeout = m_dwReceiveTimeout;
        InternetSetOptionA(*m_pRequest, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    }

    if (!m_bPostMode)
        m_pRequest->AddRequestHeaders(headers, HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    try {
        SendCurrentRequest(true);
    } catch (CInternetException* e) {
        // The status query tells the caller that nothing came back.
        e->Delete();
    }

    DWORD status = 0;
    if (!m_bPostMode && ops && !bRetried && m_pRequest->QueryInfoStatusCode(status) &&
        status == 400) {
        COpsTokenCache::ForceRefresh();
        return OpenAndSend(true);
    }
    return SendOk;
}

int CHttpChannel::Send()
{
    m_bAbort = false;
    try {
        int r = OpenAndSend(false);
        if (r != SendOk)
            return r;

        DWORD status = 0;
        if (!m_pRequest || !m_pRequest->QueryInfoStatusCode(status) || status == 0)
            return SendFailed;

        if (status == 401 || status == 403) {
            if (m_bAbort)
                return SendAborted;
            PumpMessages();
            SendCurrentRequest(false);
            PumpMessages();
        } else if (IsRedirect(status)) {
            CString raw;
            m_pRequest->QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, raw);
            CString target = FindRedirectTarget(raw, m_strUrl);
            if (target.IsEmpty())
                return SendNoLocation;
            Close();
            SetUrl(target);
            r = OpenAndSend(false);
            if (r != SendOk)
                return r;
        }

        if (!m_pRequest || !m_pRequest->QueryInfoStatusCode(status))
            return SendFailed;
        return status == 200 ? SendOk : SendFailed;
    } catch (CInternetException* e) {
        e->Delete();
        return SendFailed;
    }
}

CString FindRedirectTarget(const CString& rawHeaders, const CString& requestUrl)
{
    static const char kName[] = "location:";
    const int nameLength = static_cast<int>(sizeof kName - 1);
    int start = 0;
    while (start < rawHeaders.GetLength()) {
        int end = rawHeaders.Find("\r\n", start);
        if (end < 0)
            end = rawHeaders.GetLength();
        CString line = rawHeaders.Mid(start, end - start);
        start = end + 2;
        if (line.Left(nameLength).CompareNoCase(kName) != 0)
            continue;
        CString target = line.Mid(nameLength);
        target.Trim();
        if (target.IsEmpty())
            return target;
        DWORD service;
        CString server, object;
        INTERNET_PORT port;
        if (AfxParseURL(target, service, server, object, port))
            return target;
        // A relative target is taken against the URL that was asked for.
        DWORD size = static_cast<DWORD>(requestUrl.GetLength() + target.GetLength() + 16);
        std::vector<char> combined(size);
        if (InternetCombineUrlA(requestUrl, target, combined.data(), &size, ICU_NO_ENCODE))
            return CString(combined.data(), static_cast<int>(size));
        return target;
    }
    return CString();
}

CString CHttpChannel::ContentType() const
{
    CString type;
    if (m_pRequest)
        m_pRequest->QueryInfo(HTTP_QUERY_CONTENT_TYPE, type);
    return type;
}

UINT CHttpChannel::ReadChunk(char* pBuffer, UINT nSize)
{
    if (!m_pRequest)
        return 0;
    try {
        return m_pRequest->Read(pBuffer, nSize);
    } catch (CInternetException* e) {
        e->Delete();
        m_bReplyBroken = true;
        return 0;
    }
}

int CHttpChannel::ReadText(CString& out, int& nLimit)
{
    if (m_pRequest)
        m_pRequest->SetReadBufferSize(kPieceSize);
    m_bAbort = false;
    char piece[kPieceSize + 1];
    std::memset(piece, 0, sizeof piece);
    m_nBytesRead = 0;
    while (!m_bAbort) {
        PumpMessages();
        UINT n = ReadChunk(piece, kPieceSize);
        piece[n] = '\0';
        out += piece;
        if (n == 0)
            break;
        m_nBytesRead += static_cast<int>(std::strlen(piece));
        if (m_nBytesRead >= nLimit)
            break;
    }
    nLimit = m_nBytesRead;
    return m_nBytesRead;
}

int CHttpChannel::ReadExact(CString& out, int nCount)
{
    std::vector<char> data(static_cast<size_t>(nCount > 0 ? nCount : 0));
    int got = 0;
    while (got < nCount && !m_bAbort) {
        UINT n = ReadChunk(data.data() + got, static_cast<UINT>(nCount - got));
        if (n == 0) {
            got = 0;
            break;
        }
        got += static_cast<int>(n);
    }
    out = CString(data.data(), got);
    return got;
}

int CHttpChannel::ReadAll(CString& out)
{
    const size_t kStep = 100000;
    std::vector<char> data(kStep, 0);
    size_t got = 0;
    for (;;) {
        if (got == data.size())
            data.resize(data.size() + kStep, 0);
        UINT n = ReadChunk(data.data() + got, static_cast<UINT>(data.size() - got));
        if (n == 0)
            break;
        got += n;
    }
    out = CString(data.data(), static_cast<int>(got));
    return static_cast<int>(got);
}

void CHttpChannel::PumpMessages()
{
    MSG msg;
    for (int i = 0; i < kPumpLimit && !m_bAbort; ++i) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            break;
        if (!msg.hwnd)
            break;
        if (!PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE))
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
