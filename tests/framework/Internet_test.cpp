#include "InternetException.h"
#include "ParseURL.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(AfxParseURL, SplitsServiceServerObjectAndPort)
{
    struct Case { CString url; BOOL ok; DWORD service; const char* server; CString object; INTERNET_PORT port; };
    const CString longQuery = "/search?q=" + CString('x', 5000);
    const Case cases[] = {
        {"http://portal.uspto.gov/external/portal", TRUE, AFX_INET_SERVICE_HTTP, "portal.uspto.gov", "/external/portal", 80},
        {"https://ops.epo.org/3.2/auth/accesstoken", TRUE, AFX_INET_SERVICE_HTTPS, "ops.epo.org", "/3.2/auth/accesstoken", 443},
        {"http://127.0.0.1:8080/a/b?x=1&y=%20z#frag", TRUE, AFX_INET_SERVICE_HTTP, "127.0.0.1", "/a/b?x=1&y=%20z#frag", 8080},
        {"http://example.com", TRUE, AFX_INET_SERVICE_HTTP, "example.com", "/", 80},
        {"https://example.com:80/", TRUE, AFX_INET_SERVICE_HTTPS, "example.com", "/", 80},
        {"ftp://files.example.com/pub/a.txt", TRUE, AFX_INET_SERVICE_FTP, "files.example.com", "/pub/a.txt", 21},
        {"http://example.com" + longQuery, TRUE, AFX_INET_SERVICE_HTTP, "example.com", longQuery, 80},
        {"no url at all", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
        {"", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
        {"http://", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
    };
    for (const Case& c : cases) {
        DWORD service = 0;
        CString server = "old", object = "old";
        INTERNET_PORT port = 1;
        EXPECT_EQ(AfxParseURL(c.url, service, server, object, port), c.ok) << c.url;
        EXPECT_EQ(service, c.service) << c.url;
        EXPECT_EQ(server, c.server) << c.url;
        EXPECT_TRUE(object == c.object) << c.url;
        EXPECT_EQ(port, c.port) << c.url;
    }
}

TEST(CInternetException, DescribesTheWinInetError)
{
    CInternetException e(ERROR_INTERNET_CANNOT_CONNECT);
    char text[261];
    EXPECT_TRUE(e.GetErrorMessage(text, sizeof text));
    EXPECT_GT(std::strlen(text), 0u);
    EXPECT_NE(text[std::strlen(text) - 1], '\n');

    char tiny[8];
    e.GetErrorMessage(tiny, sizeof tiny);
    EXPECT_EQ(std::strlen(tiny), 7u);
}
