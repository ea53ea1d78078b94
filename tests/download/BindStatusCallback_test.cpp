// The page-transfer callback and its request negotiator: real urlmon transfers against the
// fixture web server (bearer line, status handling, reference counts), and the interface
// rules called directly.
#include "BindStatusCallback.h"

#include "HttpNegotiate.h"
#include "OpsTokenCache.h"
#include "TextConversion.h"
#include "WebTestSupport.h"

#include <gtest/gtest.h>

#include <urlmon.h>

using namespace testsupport;
using namespace webtest;

namespace {

const char kPage[] = "/pages/small.html";
const char kOpsImage[] = "/ops/3.2/rest-services/published-data/images/EP/1000000/B1/fullimage.tiff";

class PageTransferTest : public FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_file = m_dir.File("page.bin");
    }
    void TearDown() override { CoUninitialize(); }

    // One transfer the way the download thread makes it; the callback's status afterwards.
    HRESULT Transfer(const CString& url, DWORD* pStatus = nullptr)
    {
        CBindStatusCallback callback;
        const HRESULT hr = URLDownloadToFileA(nullptr, url, m_file, 0, &callback);
        if (pStatus)
            *pStatus = callback.GetResponseStatus();
        // urlmon has given back every reference it took: only the caller's own is left.
        EXPECT_EQ(callback.AddRef(), 2u);
        EXPECT_EQ(callback.Release(), 1u);
        return hr;
    }

    TempDir m_dir;
    CString m_file;
};

TEST_F(PageTransferTest, APageOfAnotherHostCarriesNoAuthorizationLine)
{
    DWORD status = 0;
    EXPECT_EQ(Transfer(FixtureUrl(kPage), &status), S_OK);
    EXPECT_EQ(status, 200u);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(m_file, bytes));
    EXPECT_EQ(CString(bytes), PageText("pages/small.html"));
    auto log = FixtureLog(kPage);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_FALSE(log[0].HasHeader("Authorization"));
}

TEST_F(PageTransferTest, AnOpsImageCarriesOneBearerLineWithTheCurrentToken)
{
    DWORD status = 0;
    EXPECT_EQ(Transfer(FixtureUrl(kOpsImage), &status), S_OK);
    EXPECT_EQ(status, 200u);
    std::string got, want;
    ASSERT_TRUE(ReadBytes(m_file, got));
    ASSERT_TRUE(ReadBytes(DataPath("web/ops/pages/page1.tif"), want));
    EXPECT_TRUE(got == want);
    auto log = FixtureLog(kOpsImage);
    ASSERT_EQ(log.size(), 1u);
    int lines = 0;
    for (const auto& h : log[0].headers)
        lines += h.first.CompareNoCase("Authorization") == 0 ? 1 : 0;
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(log[0].Header("Authorization"), "Bearer " + COpsTokenCache::GetToken());
}

TEST_F(PageTransferTest, EveryStatusOtherThan200FailsTheTransfer)
{
    bool completed = false;
    for (int code : {404, 403, 500}) {
        SCOPED_TRACE(code);
        CString url;
        url.Format("%s?status=%d", kPage, code);
        DWORD status = 0;
        const HRESULT hr = Transfer(FixtureUrl(url.GetString()), &status);
        EXPECT_EQ(status, static_cast<DWORD>(code));
        completed = completed || hr == S_OK;
    }
    // The download thread judges a transfer by the callback's status, which holds either way.
    if (completed)
        GTEST_SKIP() << "Wine's urlmon completes a transfer whose OnResponse failed";
}

TEST(HttpNegotiateTest, OnResponseAnswersMinusTheStatusForAllButOk)
{
    CBindStatusCallback callback;
    IHttpNegotiate* negotiate = nullptr;
    ASSERT_EQ(callback.QueryInterface(IID_IHttpNegotiate, reinterpret_cast<void**>(&negotiate)), S_OK);
    ASSERT_NE(negotiate, nullptr);
    const struct
    {
        DWORD status;
        HRESULT result;
    } cases[] = {{200, S_OK}, {302, -302}, {401, -401}, {403, -403}, {404, -404}};
    for (const auto& c : cases) {
        LPWSTR extra = reinterpret_cast<LPWSTR>(1);
        EXPECT_EQ(negotiate->OnResponse(c.status, L"", L"", &extra), c.result) << c.status;
        EXPECT_EQ(callback.GetResponseStatus(), c.status);
    }
    // Another host: nothing is added and the out-parameter is left alone.
    LPWSTR headers = nullptr;
    EXPECT_EQ(negotiate->BeginningTransaction(L"http://example.invalid/x.tif", L"", 0, &headers), S_OK);
    EXPECT_EQ(headers, nullptr);
    // The negotiator answers no interface of its own.
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(negotiate->QueryInterface(IID_IUnknown, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    negotiate->Release();
}

TEST(BindStatusCallbackTest, AnswersOnlyItsOwnInterfacesAndKeepsTheOwnersReference)
{
    CBindStatusCallback callback;
    EXPECT_EQ(callback.QueryInterface(IID_IUnknown, nullptr), E_INVALIDARG);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(callback.QueryInterface(IID_IBindStatusCallback, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(callback.QueryInterface(IID_IServiceProvider, &p), E_NOINTERFACE);
    EXPECT_EQ(callback.QueryInterface(IID_IUnknown, &p), S_OK);
    EXPECT_EQ(p, static_cast<IUnknown*>(&callback));
    EXPECT_EQ(callback.Release(), 1u);
    // A release nobody owned frees nothing: the object lives on its owner's stack.
    EXPECT_EQ(callback.Release(), 0u);
    EXPECT_EQ(callback.AddRef(), 1u);

    EXPECT_EQ(callback.OnProgress(1, 2, BINDSTATUS_DOWNLOADINGDATA, L""), S_OK);
    EXPECT_EQ(callback.OnStartBinding(0, nullptr), E_NOTIMPL);
    EXPECT_EQ(callback.GetPriority(nullptr), E_NOTIMPL);
    EXPECT_EQ(callback.OnLowResource(0), E_NOTIMPL);
    EXPECT_EQ(callback.OnStopBinding(S_OK, nullptr), E_NOTIMPL);
    EXPECT_EQ(callback.GetBindInfo(nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(callback.OnDataAvailable(0, 0, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(callback.OnObjectAvailable(IID_IUnknown, nullptr), E_NOTIMPL);
    EXPECT_EQ(callback.GetResponseStatus(), 0u);
}

TEST(BindStatusCallbackTest, TheNegotiatorOutlivesTheCallbackWhileSomeoneHoldsIt)
{
    IHttpNegotiate* negotiate = nullptr;
    {
        CBindStatusCallback callback;
        ASSERT_EQ(callback.QueryInterface(IID_IHttpNegotiate, reinterpret_cast<void**>(&negotiate)), S_OK);
        EXPECT_EQ(negotiate->AddRef(), 3u);  // the owner's, the query's and this one
        EXPECT_EQ(negotiate->Release(), 2u);
    }
    // The callback gave up its own reference; the one taken by the query keeps it alive.
    LPWSTR extra = nullptr;
    EXPECT_EQ(negotiate->OnResponse(200, L"", L"", &extra), S_OK);
    EXPECT_EQ(negotiate->Release(), 0u);
}

} // namespace
