#include "FixtureServer.h"

#include <windows.h>
#include <wininet.h>

#include <cctype>
#include <cstdlib>

namespace testsupport {

namespace {

// A control request, made with plain WinINet so that the code under test plays no part.
CString Control(const CString& pathAndQuery)
{
    CString result;
    HINTERNET session = InternetOpenA("fixture-control", INTERNET_OPEN_TYPE_DIRECT, nullptr,
                                      nullptr, 0);
    if (!session)
        return result;
    HINTERNET file = InternetOpenUrlA(session, FixtureUrl(pathAndQuery), nullptr, 0,
                                      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                          INTERNET_FLAG_NO_COOKIES,
                                      0);
    if (file) {
        char buffer[65536];
        DWORD n = 0;
        while (InternetReadFile(file, buffer, sizeof buffer, &n) && n > 0)
            result += CString(buffer, static_cast<int>(n));
        InternetCloseHandle(file);
    }
    InternetCloseHandle(session);
    return result;
}

CString Encode(const char* text)
{
    static const char hex[] = "0123456789ABCDEF";
    CString out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (isalnum(*p) || *p == '-' || *p == '_' || *p == '.' || *p == '/') {
            out += static_cast<char>(*p);
        } else {
            out += '%';
            out += hex[*p >> 4];
            out += hex[*p & 15];
        }
    }
    return out;
}

} // namespace

CString FixtureBase()
{
    const char* base = std::getenv("ZENTROVA_SERVICE_BASE");
    return base ? CString(base) : CString();
}

CString FixtureUrl(const char* pathAndQuery)
{
    return FixtureBase() + pathAndQuery;
}

CString LoggedRequest::Header(const char* name) const
{
    for (const auto& h : headers)
        if (h.first.CompareNoCase(name) == 0)
            return h.second;
    return CString();
}

bool LoggedRequest::HasHeader(const char* name) const
{
    for (const auto& h : headers)
        if (h.first.CompareNoCase(name) == 0)
            return true;
    return false;
}

std::vector<LoggedRequest> FixtureLog()
{
    // Records: "#SEQ METHOD TARGET BODYLENGTH STATUS\n", header lines, "\n", body, "\n".
    CString text = Control("/_log");
    std::vector<LoggedRequest> log;
    int pos = 0;
    while (pos < text.GetLength() && text[pos] == '#') {
        int eol = text.Find('\n', pos);
        if (eol < 0)
            break;
        CString head = text.Mid(pos + 1, eol - pos - 1);
        pos = eol + 1;
        int s1 = head.Find(' ');
        int s2 = head.Find(' ', s1 + 1);
        int s4 = head.ReverseFind(' ');
        int s3 = head.Left(s4).ReverseFind(' ');
        LoggedRequest r;
        r.method = head.Mid(s1 + 1, s2 - s1 - 1);
        r.target = head.Mid(s2 + 1, s3 - s2 - 1);
        int bodyLength = std::atoi(head.Mid(s3 + 1, s4 - s3 - 1));
        r.status = std::atoi(head.Mid(s4 + 1));
        for (;;) {
            eol = text.Find('\n', pos);
            if (eol < 0)
                eol = text.GetLength();
            CString line = text.Mid(pos, eol - pos);
            pos = eol + 1;
            if (line.IsEmpty())
                break;
            int colon = line.Find(':');
            r.headers.emplace_back(line.Left(colon), line.Mid(colon + 2));
        }
        r.body = text.Mid(pos, bodyLength);
        pos += bodyLength + 1;
        log.push_back(r);
    }
    return log;
}

std::vector<LoggedRequest> FixtureLog(const char* targetPart)
{
    std::vector<LoggedRequest> matching;
    for (const LoggedRequest& r : FixtureLog())
        if (r.target.Find(targetPart) >= 0)
            matching.push_back(r);
    return matching;
}

void FixtureReset()
{
    Control("/_reset");
}

void FixturePlan(const char* path, const char* query, int count)
{
    CString request;
    request.Format("/_plan?path=%s&as=%s&count=%d", Encode(path).GetString(),
                   Encode(query).GetString(), count);
    Control(request);
}

void FixtureExpireTokens()
{
    Control("/_expire");
}

void FixtureExpireTokensAfter(int count, int thenCount)
{
    CString request;
    request.Format("/_expire?after=%d", count);
    if (thenCount > 0)
        request.AppendFormat("&after=%d", thenCount);
    Control(request);
}

void FixtureRefuseQuota(int count, const char* path)
{
    CString request;
    request.Format("/_quota?refuse=%d", count);
    if (path)
        request += CString("&path=") + Encode(path);
    Control(request);
}

void FixtureRefuseKeys(const char* basic)
{
    Control(CString("/_keys?refuse=") + Encode(basic));
}

void FixtureTest::SetUp()
{
    ASSERT_FALSE(FixtureBase().IsEmpty())
        << "ZENTROVA_SERVICE_BASE is not set: run this program through CTest, which starts "
           "its fixture server (tools/fixture-server.sh)";
    ASSERT_EQ(Control("/_reset"), "reset\n") << "the fixture server at " << FixtureBase()
                                              << " does not answer";
}

} // namespace testsupport
