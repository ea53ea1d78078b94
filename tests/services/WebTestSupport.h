// Shared pieces of the web fetcher tests: the committed pages and request header checks.
#pragma once

#include "FixtureServer.h"
#include "TestSupport.h"

#include <windows.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace webtest {

// An OPS REST page that the fixture server serves to a valid bearer token.
const char kOpsPage[] = "/ops/3.2/rest-services/published-data/publication/epodoc/EP1000000/biblio";
const char kTokenPath[] = "/ops/3.2/auth/accesstoken";

// A page under tests/data/web, as committed.
inline CString PageText(const char* relative)
{
    std::string bytes;
    testsupport::ReadBytes(testsupport::DataPath((CString("web/") + relative).GetString()), bytes);
    return CString(bytes);
}

// The names of the request's headers, lower case and sorted.
inline std::vector<CString> HeaderNames(const testsupport::LoggedRequest& r)
{
    std::vector<CString> names;
    for (const auto& h : r.headers) {
        CString name = h.first;
        names.push_back(name.MakeLower());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The fixture server's generated body of that size.
inline CString GeneratedBody(int size)
{
    const CString pattern("abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ\n");
    CString body;
    while (body.GetLength() < size)
        body += pattern;
    return body.Left(size);
}

inline CString WithoutLineFeeds(CString text)
{
    text.Remove('\n');
    return text;
}

// A committed page with letters beyond ASCII, served with a Content-Type, and its text as the
// fetcher hands it on: a UTF-8 reply in code page 1252 (the test prefix's), any other reply
// byte for byte.
struct EncodedPage
{
    const char* what;
    const char* pathAndQuery;
    const char* text;  // a part of the fetched text
};

inline const std::vector<EncodedPage>& EncodedPages()
{
    static const std::vector<EncodedPage> pages = {
        {"UTF-8 by its charset", "/pages/utf8.html?type=text/html%3B%20charset%3DUTF-8",
         "aaaM\xFCller, Soci\xE9t\xE9, Lukasz</p>"},
        {"UTF-8 by its XML declaration", "/pages/utf8.xml", "<name>M\xFCller, Soci\xE9t\xE9, Lukasz</name>"},
        {"UTF-8 bytes with no charset and no declaration", "/pages/utf8.html",
         "M\xC3\xBCller, Soci\xC3\xA9t\xC3\xA9, \xC5\x81ukasz"},
        {"UTF-8 bytes under another charset", "/pages/utf8.xml?type=text/xml%3B%20charset%3Diso-8859-1",
         "<name>M\xC3\xBCller"},
        {"Latin-1 by its XML declaration", "/pages/latin1.xml", "<name>M\xFCller, Soci\xE9t\xE9</name>"},
        {"Latin-1 without a charset", "/pages/latin1.html", "<p>M\xFCller, Soci\xE9t\xE9</p>"},
        {"Latin-1 mislabelled as UTF-8", "/pages/latin1.html?type=text/html%3B%20charset%3Dutf-8",
         "<p>M?ller, Soci?t?</p>"},
    };
    return pages;
}

// Tests of one page fetcher against the fixture server.
template <class Fetcher>
class FetcherTest : public testsupport::FixtureTest
{
protected:
    Fetcher m_fetcher;
    CString m_out;

    int Grab(const CString& pathAndQuery, bool exactRead = false)
    {
        return m_fetcher.GrabWebPage(testsupport::FixtureUrl(pathAndQuery), m_out, 320, exactRead);
    }

    // Fetches every page of EncodedPages and checks the text handed on.
    void ExpectEncodedPagesHandedOn()
    {
        ASSERT_EQ(1252u, ::GetACP()) << "the expected texts are those of code page 1252";
        for (const EncodedPage& page : EncodedPages()) {
            const int count = Grab(page.pathAndQuery);
            EXPECT_EQ(count, m_out.GetLength()) << page.what;
            EXPECT_GE(m_out.Find(page.text), 0) << page.what << ": " << m_out.GetString();
        }
    }
};

// Calls Abort on the fetcher from another thread after the delay.
template <class Fetcher>
std::thread AbortLater(Fetcher& fetcher, DWORD ms)
{
    return std::thread([&fetcher, ms] {
        Sleep(ms);
        fetcher.Abort();
    });
}

} // namespace webtest
