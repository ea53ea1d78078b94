#include "DownloadRecords.h"
#include "FixtureServer.h"
#include "TestSupport.h"
#include "TextConversion.h"
#include "Wrapper.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

using testsupport::FixtureLog;
using testsupport::FixturePlan;

namespace {

const char kPdfPath[] = "/external/filewrapper/7654321.pdf";

// A message-only window that counts the progress messages and reads the record each time.
class ProgressWindow
{
public:
    ProgressWindow()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WrapperTestOwner";
        RegisterClassA(&wc);
        m_hWnd = CreateWindowA("WrapperTestOwner", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ProgressWindow() { DestroyWindow(m_hWnd); }

    HWND m_hWnd;
    std::atomic<int> m_nMessages{0};
    std::atomic<WPARAM> m_lastId{0};

private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
    {
        auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (msg == 0x8002 && self) {
            ++self->m_nMessages;
            self->m_lastId = wp;
            return 0;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }
};

class WrapperTest : public testsupport::FixtureTest
{
protected:
    std::wstring Out(const char* name) { return AnsiToUtf16(m_dir.File(name)); }
    testsupport::TempDir m_dir;
};

} // namespace

TEST_F(WrapperTest, FetchesTheFileWrapperPdfAndReportsProgress)
{
    ProgressWindow owner;
    DownloadStatus status;
    CWrapper wrapper;
    wrapper.AddMessaging(reinterpret_cast<UINT_PTR>(owner.m_hWnd), reinterpret_cast<UINT_PTR>(&status),
                         1234, 0x8002);
    EXPECT_EQ(wrapper.StartSearch(L"US 7,654,321 B2", 0, 0), 0);
    EXPECT_EQ(wrapper.ShowDialog(Out("1234_1_2.pdf").c_str(), 1), 0);

    std::string served, written;
    ASSERT_TRUE(testsupport::ReadBytes(testsupport::DataPath("web/external/filewrapper/7654321.pdf"), served));
    ASSERT_TRUE(testsupport::ReadBytes(m_dir.File("1234_1_2.pdf"), written));
    EXPECT_TRUE(written == served) << written.size() << " bytes written, " << served.size() << " served";
    EXPECT_EQ(testsupport::FilesIn(m_dir.Path()), 1) << "no temporary file is left";
    EXPECT_GE(owner.m_nMessages.load(), 2);  // at least one during the transfer, one at the end
    EXPECT_EQ(owner.m_lastId.load(), 1234u);
    EXPECT_EQ(status.m_nTotalPages, 1);
    EXPECT_EQ(status.m_nCurrentPage, 1);
    EXPECT_EQ(FixtureLog(kPdfPath).size(), 2u);  // the search and the transfer
}

TEST_F(WrapperTest, ANumberThatCannotBeHadFailsTheSearch)
{
    CWrapper wrapper;
    for (const wchar_t* number : {L"US 1111111", L"", L"B2", L"ABC"}) {
        EXPECT_EQ(wrapper.StartSearch(number, 0, 0), 1) << Utf16ToAnsi(number).GetString();
        EXPECT_EQ(wrapper.ShowDialog(Out("x.pdf").c_str(), 1), -1);
    }
    EXPECT_FALSE(testsupport::FileExists(m_dir.File("x.pdf")));
}

TEST_F(WrapperTest, AFailedTransferLeavesNothingAndKeepsAnOlderFile)
{
    ASSERT_TRUE(testsupport::WriteBytes(m_dir.File("old.pdf"), "older document"));
    CWrapper wrapper;
    ASSERT_EQ(wrapper.StartSearch(L"7654321", 0, 0), 0);
    FixturePlan(kPdfPath, "fault=truncate");
    EXPECT_EQ(wrapper.ShowDialog(Out("old.pdf").c_str(), 1), -1);
    std::string kept;
    ASSERT_TRUE(testsupport::ReadBytes(m_dir.File("old.pdf"), kept));
    EXPECT_TRUE(kept == "older document") << "the older file must stay as it was";

    ASSERT_EQ(wrapper.StartSearch(L"7654321", 0, 0), 0);
    FixturePlan(kPdfPath, "fault=empty");
    EXPECT_EQ(wrapper.ShowDialog(Out("empty.pdf").c_str(), 1), -1);
    EXPECT_EQ(testsupport::FilesIn(m_dir.Path()), 1);
}

TEST_F(WrapperTest, CancelStopsARunningTransfer)
{
    CWrapper wrapper;
    ASSERT_EQ(wrapper.StartSearch(L"7654321", 0, 0), 0);
    FixturePlan(kPdfPath, "slow=50&chunk=1000");  // about 10 s for the whole file
    std::thread canceller([&] {
        Sleep(500);
        wrapper.Cancel();
    });
    const DWORD start = GetTickCount();
    const int result = wrapper.ShowDialog(Out("cancelled.pdf").c_str(), 0);
    canceller.join();
    EXPECT_EQ(result, -2);
    EXPECT_LT(GetTickCount() - start, 5000u) << "the transfer must stop soon after Cancel";
    EXPECT_EQ(testsupport::FilesIn(m_dir.Path()), 0);
}
