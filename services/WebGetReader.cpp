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
}

CHttpFile* CWebGetReader::OpenRequest(CInternetSession& session, const CString& url)
{
    if (IsOpsUrl(url)) {
        CString headers;
        headers.Format("Authorization: Bearer %s\r\n\r\n", COpsTokenCache::GetToken().GetString());
        return static_cast<CHttpFile*>(
            session.OpenURL(url, 1, INTERNET_FLAG_TRANSFER_ASCII, headers, (DWORD)-1));
    }
    return static_cast<CHttpFile*>(session.OpenURL(url, 1, INTERNET_FLAG_TRANSFER_ASCII));
}

void CWebGetReader::ReadPage(CString& out, CString url, int nLimit, bool bRetried)
{
    m_nStartTime = FetchClock();
    COpsTokenCache::Instance();
    m_bAbort = false;

    CString text;
    bool opened = false;
    DWORD status = 0;
    try {
        CInternetSession session(GetApplicationAgent(), 1, PRE_CONFIG_INTERNET_ACCESS, nullptr,
                                 nullptr, 0);
        std::unique_ptr<CHttpFile> file(OpenRequest(session, url));
        if (file) {
            opened = true;
            file->QueryInfoStatusCode(status);
            char buffer[kBufferSize];
            std::memset(buffer, 0, sizeof buffer);
            while (!m_bAbort && text.GetLength() < nLimit) {
                UINT n = file->Read(buffer, kPieceSize);
                if (n == 0)
                    break;
                text += buffer;
                std::memset(buffer, 0, sizeof buffer);
                if (text.GetLength() >= nLimit)
                    break;
                if (m_bAbort) {
                    text.Empty();
                    break;
                }
            }
        }
    } catch (CInternetException* e) {
        e->Delete();
    }

    m_nEndTime = FetchClock();
    MeasureFetch(m_nStartTime, m_nEndTime, text.GetLength(), m_dElapsed, m_dRate);

    if (!bRetried && opened && status == 400) {
        COpsTokenCache::ForceRefresh();
        ReadPage(out, url, nLimit, true);
    } else {
        out = text;
    }
}

void CWebGetReader::ReadWholePage(CString& out, CString url)
{
    COpsTokenCache::Instance();
    m_bAbort = false;

    CString text;
    m_strContentType.Empty();
    try {
        CInternetSession session(GetApplicationAgent(), 1, PRE_CONFIG_INTERNET_ACCESS, nullptr,
                                 nullptr, 0);
        std::unique_ptr<CHttpFile> file(OpenRequest(session, url));
        if (file)
            file->QueryInfo(HTTP_QUERY_CONTENT_TYPE, m_strContentType);
        CString line;
        while (file && !m_bAbort) {
            if (!file->ReadString(line))
                break;
            text += line;
            if (m_bAbort) {
                text.Empty();
                break;
            }
        }
    } catch (CInternetException* e) {
        // Half a page is no page: the fetch fails instead of handing on a cut text.
        e->Delete();
        text.Empty();
    }
    out = text;
}
