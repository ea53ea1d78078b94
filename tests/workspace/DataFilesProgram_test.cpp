// The real program starting over the data files of its search side (Reports.xml,
// session.xml, basicquery.xml, advancedquery.xml): the time until the main window shows with
// 2,000 saved reports (lines starting "BENCHMARK"). The tests share the program's mutex and
// registry key with every other start of the program, so CTest runs them alone.
#include "WorkspaceTest.h"

#include "ProgramDownloadTest.h"
#include "ReportFiles.h"
#include "WindowBench.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace testsupport;
using namespace workspacetest;

namespace {

class DataFilesProgramTest : public ProgramDownloadTest
{
protected:
    void SetUp() override
    {
        ProgramDownloadTest::SetUp();
        if (HasFatalFailure())
            return;
        m_folder.CopyBuilt("Download.cfg");
    }

    void Write(const char* name, const CString& text)
    {
        ASSERT_TRUE(WriteBytes(m_folder.File(name), std::string(text.GetString(), text.GetLength()))) << name;
    }

    // Starts the program and waits for its main window, answering with OK each message box
    // it shows before (their texts go to m_boxes; the screen with the first of them goes to
    // the screenshot, when one is named); the main window, or null after the time-out.
    // m_nShownMs is the time from the start until the window showed.
    HWND StartProgram(Started& run, DWORD timeoutMs, const char* screenshot = nullptr);

    std::vector<CString> m_boxes;
    DWORD m_nShownMs = 0;
};

HWND DataFilesProgramTest::StartProgram(Started& run, DWORD timeoutMs, const char* screenshot)
{
    m_boxes.clear();
    const DWORD begin = GetTickCount();
    m_folder.Start(run, "");
    while (GetTickCount() - begin < timeoutMs) {
        struct Find
        {
            DWORD pid;
            HWND box;
        } find{run.pi.dwProcessId, nullptr};
        EnumWindows(
            [](HWND hWnd, LPARAM lParam) -> BOOL {
                auto* f = reinterpret_cast<Find*>(lParam);
                DWORD pid = 0;
                GetWindowThreadProcessId(hWnd, &pid);
                char cls[16] = {};
                GetClassNameA(hWnd, cls, sizeof cls);
                if (pid != f->pid || !IsWindowVisible(hWnd) || lstrcmpA(cls, "#32770") != 0 || GetMenu(hWnd) ||
                    !GetDlgItem(hWnd, 0xFFFF))
                    return TRUE;
                f->box = hWnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&find));
        if (find.box) {
            CString why;
            if (screenshot && m_boxes.empty() && !SaveScreenshot(ScreenshotPath(screenshot), &why))
                std::printf("no screenshot: %s\n", why.GetString());
            m_boxes.push_back(MessageBoxText(find.box));
            PressDialogButton(find.box, IDOK);
            continue;
        }
        DWORD shownAt = 0;
        if (HWND hMain = ProgramFolder::MainWindow(run, 100, &shownAt)) {
            m_nShownMs = shownAt - begin;
            return hMain;
        }
        if (run.Ended(0))
            return nullptr;
    }
    return nullptr;
}

std::vector<SavedReportEntry> Reports(int count)
{
    std::vector<SavedReportEntry> entries;
    for (int i = 0; i < count; ++i) {
        CString name;
        name.Format("Search report %04d", i);
        entries.push_back({name, "Folding tray & hinge", "Client " + name.Right(2), "Tuesday, December 8, 2026"});
    }
    return entries;
}

// The rows of the Saved Reports page's list. Three lists of the search pane share its control
// id; the other two are empty at start, so the fullest of them is taken.
int SavedReportRows(HWND hMain)
{
    struct Search
    {
        int rows = -1;
    } search;
    EnumChildWindows(
        hMain,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            char cls[32] = {};
            GetClassNameA(hWnd, cls, sizeof cls);
            auto* s = reinterpret_cast<Search*>(lParam);
            if (GetDlgCtrlID(hWnd) == IDC_SAVED_LIST && lstrcmpA(cls, "SysListView32") == 0)
                s->rows = std::max(s->rows, RowCount(hWnd));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.rows;
}

} // namespace

// Not a check: prints how long the program takes until its main window shows, with no saved
// reports and with 2,000 of them, whose rows the Saved Reports page then holds.
TEST_F(DataFilesProgramTest, BenchmarkStartWithTwoThousandSavedReports)
{
    for (const int count : {0, 2000}) {
        Write("Reports.xml", FormatReportsXml(Reports(count)));
        Started run;
        HWND hMain = StartProgram(run, 600000);
        ASSERT_NE(nullptr, hMain) << m_folder.Log();
        EXPECT_TRUE(m_boxes.empty());
        std::printf("BENCHMARK start with %d saved reports: main window after %lu ms\n", count, m_nShownMs);
        EXPECT_EQ(count, SavedReportRows(hMain));
        EXPECT_TRUE(ProgramFolder::Close(hMain, run));
    }
}
