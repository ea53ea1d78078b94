#include "WebGrab.h"

#include "FetchHelpers.h"
#include "ReplyText.h"

IMPLEMENT_DYNAMIC(CWebGrab, CObject)

namespace {
const int kFirstPartLimit = 5000;
const int kRestLimit = 10000000;
}

CWebGrab::CWebGrab() = default;

CWebGrab::~CWebGrab()
{
    m_Channel.Close();
}

void CWebGrab::Abort()
{
    m_bAbort = true;
    m_Channel.m_bAbort = true;
}

int CWebGrab::GrabWebPage(CString url, CString& out, int /*nUnused*/, bool bExactRead)
{
    m_bAbort = false;
    if (m_pQuitFlag && *m_pQuitFlag)
        return 0;
    m_nStartTime = FetchClock();
    out.Empty();

    if (!CheckFetchUrl("CWebGrab::GrabWebPage", url, m_strErrorText, m_nErrorCode))
        return 0;

    // Whatever reply the request holds is read, an error page as well as the page asked for.
    m_Channel.SetUrl(url);
    m_Channel.Send();
    if (m_bAbort)
        return 0;

    CString first;
    int limit = kFirstPartLimit;
    m_Channel.ReadText(first, limit);
    if (m_bAbort)
        return 0;

    CString rest;
    if (bExactRead) {
        m_Channel.ReadAll(rest);
    } else {
        limit = kRestLimit;
        m_Channel.ReadText(rest, limit);
    }
    if (m_Channel.IsReplyBroken()) {
        m_strErrorText.Format("CWebGrab::GrabWebPage  The reply broke off before its end.\nURL: %s\n\n",
                              url.GetString());
        m_nErrorCode = -900;
        return 0;
    }

    // The whole reply at once: a letter of a UTF-8 reply may lie across two pieces.
    out = ReplyTextToAnsi(first + rest, m_Channel.ContentType(), m_Channel.m_strUrl);
    int count = out.GetLength();
    m_nEndTime = FetchClock();
    MeasureFetch(m_nStartTime, m_nEndTime, count, m_dElapsed, m_dRate);
    return count;
}
