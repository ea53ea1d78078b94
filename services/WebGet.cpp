#include "WebGet.h"

#include "FetchHelpers.h"
#include "ReplyText.h"

IMPLEMENT_DYNAMIC(CWebGet, CObject)

namespace {
const int kFirstPartLimit = 5000;
}

CWebGet::CWebGet() = default;

CWebGet::~CWebGet() = default;

void CWebGet::Abort()
{
    m_Reader.Abort();
    m_bAbort = true;
}

int CWebGet::Failed(int nResult)
{
    m_nFetchResult = nResult;
    return 0;
}

int CWebGet::GrabWebPage(CString url, CString& out, int /*nUnused*/, bool /*bUnused*/)
{
    // An abort from here on, wherever it falls, ends this fetch.
    m_bAbort = false;
    m_Reader.m_bAbort = false;
    m_dwStatusCode = 0;
    m_strStatusText.Empty();
    m_nFetchResult = FetchAborted;
    if (IsQuitSet())
        return 0;
    m_nStartTime = FetchClock();
    out.Empty();

    if (!CheckFetchUrl("CWebGet::GrabWebPage", url, m_strErrorText, m_nErrorCode))
        return Failed(FetchNoReply);
    if (m_bAbort || IsQuitSet())
        return 0;

    // The first part settles a refused token (a reply 400) before the page is read whole. A
    // reply that broke off there would break off again: the fetch ends with it.
    CString first;
    m_Reader.ReadPage(first, url, kFirstPartLimit, false);
    if (m_bAbort)
        return 0;
    if (m_Reader.m_nReadResult == CWebGetReader::ReadNoReply)
        return Failed(FetchNoReply);
    if (m_Reader.m_nReadResult == CWebGetReader::ReadBroken)
        return Failed(FetchBroken);

    CString whole;
    m_Reader.ReadWholePage(whole, url);
    if (m_bAbort || m_Reader.m_nReadResult == CWebGetReader::ReadAborted)
        return 0;
    m_dwStatusCode = m_Reader.m_dwStatusCode;
    m_strStatusText = m_Reader.m_strStatusText;
    if (m_Reader.m_nReadResult == CWebGetReader::ReadNoReply)
        return Failed(FetchNoReply);
    if (m_Reader.m_nReadResult == CWebGetReader::ReadBroken)
        return Failed(FetchBroken);
    if (whole.IsEmpty())
        return Failed(FetchEmpty);
    m_nFetchResult = FetchPage;
    out = ReplyTextToAnsi(whole, m_Reader.m_strContentType, url);
    int count = out.GetLength();
    m_nEndTime = FetchClock();
    MeasureFetch(m_nStartTime, m_nEndTime, count, m_dElapsed, m_dRate);
    return count;
}
