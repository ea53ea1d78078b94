#include "WebGrab.h"

#include "ReplyText.h"
#include "WorkerTask.h"

#include <mutex>

IMPLEMENT_DYNAMIC(CWebGrab, CObject)

namespace {
const int kFirstPartLimit = 5000;
const int kRestLimit = 10000000;
}

// One fetch: the request, the first part of the body and the rest. The worker fills the texts
// piece by piece under the lock, so that a fetcher that lets go while the rest is read takes
// the text read so far.
struct CWebGrab::Fetch : CWorkerTask
{
    std::shared_ptr<CHttpChannel> channel;
    CString url;
    bool bExactRead = false;

    std::mutex lock;
    bool bFirstRead = false;  // the first part is in: an abort now keeps the text so far
    CString first;
    CString rest;
    CString contentType;
    CString replyUrl;      // the URL the reply came from (after a redirect)
    bool bBroken = false;  // final once the worker has finished

protected:
    void Perform() override;
    void OnLetGo() override { channel->m_bAbort = true; }

private:
    void ReadRest();
};

void CWebGrab::Fetch::Perform()
{
    // Whatever reply the request holds is read, an error page as well as the page asked for.
    channel->SetUrl(url);
    channel->Send();
    if (IsLetGo())
        return;

    CString firstPart;
    int limit = kFirstPartLimit;
    channel->ReadText(firstPart, limit);
    {
        std::lock_guard<std::mutex> hold(lock);
        first = firstPart;
        contentType = channel->ContentType();
        replyUrl = channel->m_strUrl;
        bFirstRead = true;
    }
    if (IsLetGo())
        return;

    if (bExactRead) {
        CString all;
        channel->ReadAll(all);
        std::lock_guard<std::mutex> hold(lock);
        rest = all;
    } else {
        ReadRest();
    }
    bBroken = channel->IsReplyBroken();
}

// The rest of the body, up to its limit, one piece at a time.
void CWebGrab::Fetch::ReadRest()
{
    int total = 0;
    while (!IsLetGo() && total < kRestLimit) {
        CString piece;
        int limit = 1;
        if (channel->ReadText(piece, limit) == 0)
            break;
        total += limit;
        std::lock_guard<std::mutex> hold(lock);
        rest += piece;
    }
}

CWebGrab::CWebGrab() = default;

CWebGrab::~CWebGrab() = default;

void CWebGrab::Abort()
{
    m_bAbort = true;
}

int CWebGrab::GrabWebPage(CString url, CString& out, int /*nUnused*/, bool bExactRead)
{
    m_bAbort = false;
    if (IsQuitSet())
        return 0;
    m_nStartTime = FetchClock();
    out.Empty();

    if (!CheckFetchUrl("CWebGrab::GrabWebPage", url, m_strErrorText, m_nErrorCode))
        return 0;

    if (!m_pChannel)
        m_pChannel = std::make_shared<CHttpChannel>();
    m_pChannel->m_dwReceiveTimeout = m_dwReceiveTimeout;
    auto fetch = std::make_shared<Fetch>();
    fetch->channel = m_pChannel;
    fetch->url = url;
    fetch->bExactRead = bExactRead;
    const bool bFinished = CWorkerTask::Run(fetch, [this] { return m_bAbort || IsQuitSet(); });

    bool bFirstRead;
    CString body, contentType, replyUrl;
    {
        std::lock_guard<std::mutex> hold(fetch->lock);
        bFirstRead = fetch->bFirstRead;
        body = fetch->first + fetch->rest;
        contentType = fetch->contentType;
        replyUrl = fetch->replyUrl;
    }
    if (!bFinished) {
        // The worker keeps the channel until WinINet lets go of its request.
        m_pChannel.reset();
        if (!bFirstRead)
            return 0;
    } else if (fetch->bBroken) {
        m_strErrorText.Format("CWebGrab::GrabWebPage  The reply broke off before its end.\nURL: %s\n\n",
                              url.GetString());
        m_nErrorCode = -900;
        return 0;
    }

    // The whole reply at once: a letter of a UTF-8 reply may lie across two pieces.
    out = ReplyTextToAnsi(body, contentType, replyUrl);
    int count = out.GetLength();
    m_nEndTime = FetchClock();
    MeasureFetch(m_nStartTime, m_nEndTime, count, m_dElapsed, m_dRate);
    return count;
}
