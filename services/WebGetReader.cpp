#include "WebGetReader.h"

#include "FetchHelpers.h"
#include "OpsTokenCache.h"
#include "ServiceHosts.h"

#include "Framework.h"

#include <cstring>
#include <memory>

namespace {
const UINT kPieceSize = 500;
const size_t kBufferSize = 1000;
const UINT kLineReadSize = 64 * 1024;
}

// One read: what its worker is asked and what it met. The worker and the waiting reader
// share it; a reader that lets go of the read leaves it to the worker, which then stops and
// closes. The fields below the request are final once the worker has finished.
struct CWebGetReader::Request : CWorkerTask
{
    CString url;
    int nLimit = 0;  // 0: the whole page, line by line
    bool bRetried = false;
    DWORD dwReceiveTimeout = 0;

    CString text;
    CString contentType;
    DWORD dwStatus = 0;
    CString statusText;
    int nResult = ReadNoReply;

protected:
    void Perform() override;
};

namespace {

using Request = CWebGetReader::Request;

// Up to the limit in pieces of 500 bytes; the text read so far stays when a read fails.
void ReadLimited(CHttpFile& file, Request& r)
{
    char buffer[kBufferSize];
    std::memset(buffer, 0, sizeof buffer);
    while (!r.IsLetGo() && r.text.GetLength() < r.nLimit) {
        UINT n = file.Read(buffer, kPieceSize);
        if (n == 0)
            break;
        r.text += buffer;
        std::memset(buffer, 0, sizeof buffer);
    }
}

// The whole body line by line, without its line feeds. The lines come from reads of 64 KB:
// a page of megabytes in a few dozen reads, not in hundreds.
void ReadLines(CHttpFile& file, Request& r)
{
    file.SetReadBufferSize(kLineReadSize);
    CString line;
    while (!r.IsLetGo() && file.ReadString(line))
        r.text += line;
}

// One request for the URL and its reply. The receive timeout is set on the request before
// it is sent, the one place where WinINet takes it for the connection.
void SendAndRead(Request& r)
{
    r.text.Empty();
    r.contentType.Empty();
    r.statusText.Empty();
    r.dwStatus = 0;
    r.nResult = CWebGetReader::ReadNoReply;
    bool sent = false;
    try {
        DWORD service;
        CString server, object;
        INTERNET_PORT port;
        if (!AfxParseURL(r.url, service, server, object, port))
            return;
        const DWORD secure = service == AFX_INET_SERVICE_HTTPS ? INTERNET_FLAG_SECURE : 0;
        CInternetSession session(GetApplicationAgent(), 1, PRE_CONFIG_INTERNET_ACCESS, nullptr,
                                 nullptr, 0);
        std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection(server, secure, port));
        static const char* kAccept[] = {"*/*", nullptr};
        std::unique_ptr<CHttpFile> file(connection->OpenRequest(
            "GET", object, nullptr, 1, kAccept, nullptr, secure | INTERNET_FLAG_TRANSFER_ASCII));
        DWORD timeout = r.dwReceiveTimeout;
        InternetSetOptionA(*file, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
        if (IsOpsUrl(r.url)) {
            CString headers;
            headers.Format("Authorization: Bearer %s\r\n\r\n", COpsTokenCache::GetToken().GetString());
            file->SendRequest(headers, static_cast<DWORD>(headers.GetLength()));
        } else {
            file->SendRequest();
        }
        // A connection that ended before its status line is no reply, whatever the send said.
        if (!file->QueryInfoStatusCode(r.dwStatus) || r.dwStatus == 0)
            return;
        sent = true;
        file->QueryInfo(HTTP_QUERY_STATUS_TEXT, r.statusText);
        file->QueryInfo(HTTP_QUERY_CONTENT_TYPE, r.contentType);
        r.nResult = CWebGetReader::ReadBroken;
        if (r.nLimit > 0)
            ReadLimited(*file, r);
        else
            ReadLines(*file, r);
        r.nResult = r.IsLetGo() ? CWebGetReader::ReadAborted : CWebGetReader::ReadDone;
    } catch (CInternetException* e) {
        e->Delete();
        r.nResult = sent ? CWebGetReader::ReadBroken : CWebGetReader::ReadNoReply;
        // Half a page is no page: a whole-page read that breaks off hands on nothing.
        if (r.nLimit == 0)
            r.text.Empty();
    }
}

} // namespace

// The worker's part of a read: the request, and for a limited read that met a reply 400 a
// token refresh and the request once more.
void CWebGetReader::Request::Perform()
{
    COpsTokenCache::Instance();
    SendAndRead(*this);
    if (nLimit > 0 && !bRetried && nResult != CWebGetReader::ReadNoReply && dwStatus == 400 && !IsLetGo()) {
        COpsTokenCache::ForceRefresh();
        if (!IsLetGo())
            SendAndRead(*this);
    }
}

bool CWebGetReader::Run(const std::shared_ptr<Request>& request)
{
    request->dwReceiveTimeout = m_dwReceiveTimeout;
    return CWorkerTask::Run(request, [this] { return m_bAbort.load(); });
}

void CWebGetReader::TakeReply(const Request& request, bool bFinished)
{
    m_dwStatusCode = bFinished ? request.dwStatus : 0;
    m_strStatusText = bFinished ? request.statusText : CString();
    m_nReadResult = bFinished ? request.nResult : ReadAborted;
}

void CWebGetReader::ReadPage(CString& out, CString url, int nLimit, bool bRetried)
{
    m_nStartTime = FetchClock();
    auto request = std::make_shared<Request>();
    request->url = url;
    request->nLimit = nLimit > 0 ? nLimit : 1;
    request->bRetried = bRetried;
    const bool bFinished = Run(request);
    TakeReply(*request, bFinished);
    // An abort empties the text of the read it falls into.
    const CString text = bFinished && request->nResult != ReadAborted ? request->text : CString();
    m_nEndTime = FetchClock();
    MeasureFetch(m_nStartTime, m_nEndTime, text.GetLength(), m_dElapsed, m_dRate);
    out = text;
}

void CWebGetReader::ReadWholePage(CString& out, CString url)
{
    auto request = std::make_shared<Request>();
    request->url = url;
    const bool bFinished = Run(request);
    TakeReply(*request, bFinished);
    m_strContentType = bFinished ? request->contentType : CString();
    out = bFinished && request->nResult == ReadDone ? request->text : CString();
}
