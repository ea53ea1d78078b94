// The main window's close road with a real download running: the window stays while the
// download thread works and goes at the next poll after the thread has ended.
#include "WorkspaceTest.h"

#include "DownloadManager.h"
#include "PatentThread.h"
#include "FixtureServer.h"
#include "PageImageLock.h"
#include "ProgramOptions.h"
#include "ZentrovaDlg.h"
#include "resource.h"

#include "WindowBench.h"

#include <atomic>
#include <thread>

using namespace workspacetest;
using namespace testsupport;

namespace {

CString BuildFile(const char* relative)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    return CString(build ? build : ".") + "/" + relative;
}

class CloseRoadTest : public FixtureTest
{
protected:
    static void SetUpTestSuite()
    {
        ::InitializeCriticalSection(&g_PageImageLock);
    }

    void SetUp() override
    {
        FixtureTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        InitControls();
        // The queue's test recipe (its slow source) against this program's fixture server,
        // the shipped store and options, downloads into a folder of the test's own.
        CFileCrypt crypt;
        CString recipe;
        ASSERT_EQ(1, crypt.ReadEncryptedFile(BuildFile("tests/data/queue.cfg"), recipe));
        ASSERT_GT(recipe.Replace("http://fixture-server", FixtureBase()), 0);
        ASSERT_EQ(1, crypt.WriteEncryptedFile(recipe, AppFile("Download.cfg")));
        ASSERT_TRUE(::CopyFileA(ShippedFile("Project.cfg"), AppFile("Project.cfg"), FALSE));
        ASSERT_TRUE(::CopyFileA(ShippedFile("config2.cfg"), AppFile("config2.cfg"), FALSE));
        CProgramOptions options;
        ASSERT_EQ(1, options.SetOptionValue("SavePath", m_save.Path() + "\\"));
        options.Save();
    }
    void TearDown() override { ::CoUninitialize(); }

    TempDir m_save;
};

// The main window without the first-run sample folders.
class CQuietDlg : public CZentrovaDlg
{
protected:
    bool IsFirstRunStart() override { return false; }
};

TEST_F(CloseRoadTest, ExitWaitsForTheRunningDownloadThenClosesAtTheNextPoll)
{
    CQuietDlg dlg;
    HANDLE hThread = nullptr;
    bool queued = false, transferring = false, stayedOpen = false;
    std::atomic<DWORD> threadEnded{0};
    std::thread watcher;

    AfterDelay(300, [&] {
        CDownloadManager& queue = dlg.GetProjectPane().GetDownloadManager();
        queued = queue.StartDownload("US4444444", "QUEUE-SLOW") == 1;
        if (!queued)
            return dlg.EndDialog(-1);
        CXListCtrl& list = queue.GetList();
        const int id = static_cast<int>(list.GetItemData(0));
        ::DuplicateHandle(::GetCurrentProcess(), queue.GetThread(id)->m_hThread, ::GetCurrentProcess(), &hThread,
                          SYNCHRONIZE, FALSE, 0);
        watcher = std::thread([&] {
            ::WaitForSingleObject(hThread, INFINITE);
            threadEnded = ::GetTickCount();
        });
        // Close while the slow page images come in.
        transferring = PumpUntil([] { return !FixtureLog("/engine/images/").empty(); }, 20000);
        dlg.SendMessage(WM_COMMAND, IDOK, 0);
        stayedOpen = ::IsWindowVisible(dlg.m_hWnd) && dlg.GetClosePollTimer() != 0 &&
                     ::WaitForSingleObject(hThread, 0) == WAIT_TIMEOUT;
    });
    UINT_PTR safety = AfterDelay(60000, [&dlg] {
        ADD_FAILURE() << "the main window did not close";
        dlg.EndDialog(-2);
    });
    const INT_PTR result = dlg.DoModal();
    const DWORD closed = ::GetTickCount();
    ::KillTimer(nullptr, safety);
    if (watcher.joinable())
        watcher.join();
    if (hThread)
        ::CloseHandle(hThread);

    ASSERT_TRUE(queued);
    EXPECT_TRUE(transferring);
    EXPECT_TRUE(stayedOpen) << "the window stays while the download thread runs";
    EXPECT_EQ(IDOK, result);
    ASSERT_NE(0u, threadEnded.load()) << "the window went only after the thread had ended";
    EXPECT_LE(closed - threadEnded.load(), 2500u) << "closed at the poll after the thread's end";
}

} // namespace
