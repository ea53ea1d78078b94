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
    m_Reader.m_bAbort = true;
    m_bAbort = true;
}

int CWebGet::GrabWebPage(CString url, CString& out, int /*nUnused*/, bool /*bUnused*/)
{
    m_bAbort = false;
    if (IsQuitSet())
        return 0;
    m_nStartTime = FetchClock();
    out.Empty();

    if (!CheckFetchUrl("CWebGet::GrabWebPage", url, m_strErrorText, m_nErrorCode))
        return 0;
    if (m_bAbort || IsQuitSet())
        return 0;

    // The first part settles a refused token (a reply 400) before the page is read whole.
    CString first;
    m_Reader.ReadPage(first, url, kFirstPartLimit, false);
    if (m_bAbort)
        return 0;

    CString whole;
    m_Reader.ReadWholePage(whole, url);
    if (whole.IsEmpty() || m_bAbort)
        return 0;
    out = ReplyTextToAnsi(whole, m_Reader.m_strContentType, url);
    int count = out.GetLength();
    m_nEndTime = FetchClock();
    MeasureFetch(m_nStartTime, m_nEndTime, count, m_dElapsed, m_dRate);
    return count;
}
