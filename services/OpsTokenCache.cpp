#include "OpsTokenCache.h"

#include "FaultNotices.h"
#include "FetchHelpers.h"
#include "HttpChannel.h"
#include "ServiceHosts.h"
#include "TraceLine.h"

#include <boost/version.hpp>
#include <windows.h>

#include <atomic>
#include <mutex>

const char COpsTokenCache::kCredentials[] =
    "R3dPcTdLbVp4VjJuQlk5c0hhVWZMM2pFdFI4Y1dpTnE6bUs0dlhzWmFQMW9IeUVkUQ==";

namespace {

const DWORD kRearmWait = 5000;
const DWORD kPollInterval = 1000;
const int kReplyLimit = 5000;
// The token value starts this many characters after the start of "access_token".
const int kValueOffset = 17;

COpsTokenCache* g_pInstance = nullptr;
boost::once_flag g_instanceFlag = BOOST_ONCE_INIT;
CHttpChannel* g_pTokenChannel = nullptr;
std::atomic<bool> g_bRefreshing{false};
std::atomic<bool> g_bFetched{false};
boost::once_flag g_fetchFlag = BOOST_ONCE_INIT;
boost::once_flag g_rearmFlag = BOOST_ONCE_INIT;
std::mutex g_tokenLock;
CString g_strToken;
// The Basic value the next token request sends; guarded by the token lock.
CString g_strCredentials = COpsTokenCache::kCredentials;
// How the token endpoint refused the credentials sent now (missing or refused keys), until
// the keys are set again; OpsKeysAccepted while no refusal is held. Guarded by the token lock.
int g_nKeyFault = COpsTokenCache::OpsKeysAccepted;

CString CurrentToken()
{
    std::lock_guard<std::mutex> hold(g_tokenLock);
    return g_strToken;
}

CString CurrentCredentials()
{
    std::lock_guard<std::mutex> hold(g_tokenLock);
    return g_strCredentials;
}

// The token request with the credentials of the moment.
void PrepareTokenRequest(CHttpChannel& channel, const CString& credentials)
{
    channel.SetPostRequest(CString("Content-Type: application/x-www-form-urlencoded\r\n"
                                   "Authorization: Basic ") +
                               credentials + "\r\n\r\n",
                           "grant_type=client_credentials");
}

CString EncodeBase64(const CString& bytes)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    CString out;
    const int n = bytes.GetLength();
    for (int i = 0; i < n; i += 3) {
        unsigned int group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < n)
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < n)
            group |= static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[(group >> 18) & 63];
        out += kDigits[(group >> 12) & 63];
        out += i + 1 < n ? kDigits[(group >> 6) & 63] : '=';
        out += i + 2 < n ? kDigits[group & 63] : '=';
    }
    return out;
}

// ResetOnceFlag reads and writes the flag's private state, whose layout and running value
// are those of the Boost release the program is built with; another release must be checked
// before this value and the reset are trusted again.
static_assert(BOOST_VERSION == 108100,
              "ResetOnceFlag relies on the once_flag layout of Boost 1.81: check it for this release");

// The status value boost's Windows call_once keeps while a routine runs on the flag.
const long kOnceRunning = 0x7f0725e3;

} // namespace

void ResetOnceFlag(boost::once_flag& flag)
{
    while (InterlockedCompareExchange(&flag.status, 0, 0) == kOnceRunning)
        Sleep(1);
    InterlockedExchange(&flag.status, 0);
}

COpsTokenCache::COpsTokenCache()
{
    g_pTokenChannel = new CHttpChannel;
    // A token endpoint that stops answering must not hold every OPS request of the program.
    g_pTokenChannel->m_dwReceiveTimeout = kReplyTimeout;
    PrepareTokenRequest(*g_pTokenChannel, CurrentCredentials());
    g_pTokenChannel->SetUrl(GetOpsTokenUrl());
}

void COpsTokenCache::CreateInstance()
{
    g_pInstance = new COpsTokenCache;
}

COpsTokenCache* COpsTokenCache::Instance()
{
    boost::call_once(g_instanceFlag, &COpsTokenCache::CreateInstance);
    return g_pInstance;
}

CString COpsTokenCache::GetToken()
{
    Instance();
    if (!g_bFetched)
        ForceRefresh();
    while (g_bRefreshing)
        Sleep(kPollInterval);
    return CurrentToken();
}

CString COpsTokenCache::ForceRefresh()
{
    Instance();
    // Keys the token endpoint refused are not sent again: the answer would be the same.
    if (KeyFault() != OpsKeysAccepted)
        return CurrentToken();
    boost::call_once(g_fetchFlag, &COpsTokenCache::FetchToken);
    if (KeyFault() != OpsKeysAccepted)
        return CurrentToken();
    boost::call_once(g_rearmFlag, &COpsTokenCache::Rearm);
    return CurrentToken();
}

void COpsTokenCache::SetConsumerKeys(const CString& key, const CString& secret)
{
    CString k = key, s = secret;
    k.Trim();
    s.Trim();
    const CString credentials = BasicCredentials(k, s);
    bool bChanged = false;
    bool bWasRefused = false;
    {
        std::lock_guard<std::mutex> hold(g_tokenLock);
        bChanged = credentials != g_strCredentials;
        bWasRefused = g_nKeyFault != OpsKeysAccepted;
        g_strCredentials = credentials;
        g_nKeyFault = OpsKeysAccepted;
    }
    if (bChanged)
        ClearFaultNotice(FaultTopic::OpsKeys);
    if (bWasRefused) {
        // The refusal ended the fetch without its re-arm period: the next caller fetches.
        ResetOnceFlag(g_fetchFlag);
        g_bFetched = false;
    }
}

int COpsTokenCache::KeyFault()
{
    std::lock_guard<std::mutex> hold(g_tokenLock);
    return g_nKeyFault;
}

bool COpsTokenCache::IsKeyRefusal(DWORD dwStatus, const CString& reply)
{
    return dwStatus == 401 || (dwStatus == 400 && reply.Find("invalid_client") >= 0);
}

CString COpsTokenCache::KeyFaultText(int nFault)
{
    static const char kPortal[] = "the EPO's developer portal, https://developers.epo.org/";
    if (nFault == OpsKeysMissing)
        return CString("No OPS keys are set, and the OPS service refuses requests without them.\n\n"
                       "Enter your OPS consumer key and secret in the Preferences dialog (File > Preferences). "
                       "You get them by registering on ") +
               kPortal + ".";
    if (nFault == OpsKeysRefused)
        return CString("The OPS service refused the OPS keys set in the Preferences.\n\n"
                       "Check the consumer key and secret in the Preferences dialog (File > Preferences): they "
                       "must be those of your registration on ") +
               kPortal + ".";
    return CString();
}

CString COpsTokenCache::BasicCredentials(const CString& key, const CString& secret)
{
    if (key.IsEmpty() || secret.IsEmpty())
        return kCredentials;
    return EncodeBase64(key + ":" + secret);
}

bool COpsTokenCache::ParseAccessToken(const CString& reply, CString& token)
{
    int p = reply.Find("access_token");
    if (p < 0)
        return false;
    CString rest = reply.Mid(p + kValueOffset);
    int q = rest.Find('"');
    token = q < 0 ? CString() : rest.Left(q);
    return true;
}

void COpsTokenCache::FetchToken()
{
    // Waiting callers of GetToken must never be left polling a fetch that has ended.
    struct Done {
        ~Done() { g_bRefreshing = false; }
    } done;
    g_bRefreshing = true;
    g_bFetched = true;

    const CString credentials = CurrentCredentials();
    PrepareTokenRequest(*g_pTokenChannel, credentials);
    g_pTokenChannel->Send();
    DWORD status = 0;
    if (g_pTokenChannel->m_pRequest && !g_pTokenChannel->m_pRequest->QueryInfoStatusCode(status))
        status = 0;
    CString reply;
    int limit = kReplyLimit;
    g_pTokenChannel->ReadText(reply, limit);

    CString token;
    if (ParseAccessToken(reply, token)) {
        {
            std::lock_guard<std::mutex> hold(g_tokenLock);
            g_strToken = token;
        }
        ClearFaultNotice(FaultTopic::OpsKeys);
    } else {
        CString line = reply;
        line.Replace("\r\n", " ");
        line.Replace('\n', ' ');
        WriteTraceLine("COpsTokenCache::FetchToken-No access token in the reply, the previous "
                       "token stays: " + line);
        if (IsKeyRefusal(status, reply)) {
            const bool bOwn = credentials == kCredentials;
            {
                std::lock_guard<std::mutex> hold(g_tokenLock);
                // Keys set while the request ran are not the refused ones.
                if (g_strCredentials == credentials)
                    g_nKeyFault = bOwn ? OpsKeysMissing : OpsKeysRefused;
            }
            CString note;
            note.Format("COpsTokenCache::FetchToken-The token request was refused for its keys (%lu, %s); no "
                        "further token request until the keys are set again",
                        static_cast<unsigned long>(status), bOwn ? "no keys of the user's" : "the user's keys");
            WriteTraceLine(note);
        }
    }
    ResetOnceFlag(g_rearmFlag);
}

void COpsTokenCache::Rearm()
{
    Sleep(kRearmWait);
    ResetOnceFlag(g_fetchFlag);
}
