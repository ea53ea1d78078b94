// The main window's close road with a real download running: the window stays while the
// download thread works and goes at the next poll after the thread has ended.
#include "WorkspaceTest.h"

#include "DataFileSaves.h"
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
#include <utility>
#include <vector>

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

// The main window whose notices are recorded instead of shown.
class CNoticeDlg : public CQuietDlg
{
public:
    std::vector<std::pair<CString, CString>> notices; // caption, text

protected:
    void ShowNotice(const CString& caption, const CString& text) override { notices.push_back({caption, text}); }
};

// Downloads filed while Project.cfg is held by another program: the user hears once that the
// project is not saved; closing then says so again, and keeps the project beside the file.
TEST_F(CloseRoadTest, ClosingWithAProjectThatCouldNotBeSavedSaysSoAndKeepsItBeside)
{
    ForgetDataFileSaves();
    const std::string shipped = RawBytes(AppFile("Project.cfg"));
    CNoticeDlg dlg;
    HANDLE holder = INVALID_HANDLE_VALUE;
    bool filed = false;
    size_t toldWhileOpen = 0;
    AfterDelay(300, [&] {
        CProjectManagerContainer& pane = dlg.GetProjectPane();
        holder = ::CreateFileA(AppFile("Project.cfg"), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        CString uid;
        for (const char* number : {"US1111111", "US2222222"}) {
            pane.GetDownloadManager().AddDownload(number);
            filed = PumpUntil([&] { return pane.GetDocumentIndex().Lookup(number, uid) != 0; }, 30000);
            if (!filed)
                break;
        }
        PumpUntil([&] { return !dlg.notices.empty(); }, 5000);
        PumpMessages(300);
        toldWhileOpen = dlg.notices.size();
        dlg.OnExit();
    });
    UINT_PTR safety = AfterDelay(90000, [&dlg] { dlg.EndDialog(-2); });
    const INT_PTR result = dlg.DoModal();
    ::KillTimer(nullptr, safety);
    if (holder != INVALID_HANDLE_VALUE)
        ::CloseHandle(holder);

    EXPECT_EQ(IDOK, result);
    ASSERT_TRUE(filed);
    EXPECT_EQ(RawBytes(AppFile("Project.cfg")), shipped) << "the held file was not replaced";
    EXPECT_EQ(1u, toldWhileOpen) << "one notice for two saves that failed";
    ASSERT_EQ(2u, dlg.notices.size());
    EXPECT_EQ(CString(kNotSavedCaption), dlg.notices[0].first);
    EXPECT_EQ(0, dlg.notices[0].second.Find("The project (its folders and documents) could not be saved to\n" +
                                            AppFile("Project.cfg")))
        << dlg.notices[0].second.GetString();

    // At the close: what is not saved, and where it is kept.
    const CString& last = dlg.notices[1].second;
    EXPECT_EQ(CString(kNotSavedCaption), dlg.notices[1].first);
    const CString keptLine = "is kept as\n";
    const int at = last.Find(keptLine);
    ASSERT_GE(at, 0) << last.GetString();
    const CString kept = last.Mid(at + keptLine.GetLength()).SpanExcluding("\n");
    EXPECT_EQ(0, kept.Find(AppFile("Project.cfg.")));
    const CString project = ReadDeciphered(kept);
    EXPECT_NE(-1, project.Find("Name=\"US1111111\"")) << kept.GetString();
    EXPECT_NE(-1, project.Find("Name=\"US2222222\""));
    ::DeleteFileA(kept);
    ForgetDataFileSaves();
}

} // namespace
