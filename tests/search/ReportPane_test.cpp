// The search pane with its real pages running a report from the Search Report page against
// the fixture server: the page's bar follows the run's progress and hides at its end, the
// pop-up shows while the run fetches, a run whose thread cannot be made shows neither, and
// the run's request for the Saved Reports tab opens it.
#include "SearchContainer.h"
#include "SearchSessions.h"

#include "DataFiles.h"
#include "FixtureServer.h"
#include "ReportMessages.h"
#include "ReportTestSupport.h"
#include "SearchPaneMessages.h"
#include "SearchThread.h"
#include "TestSupport.h"
#include "WindowBench.h"
#include "WorkspaceTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

const char kRunFailed[] = "The search report could not be generated: no worker thread could be started.";

// Answers the message boxes of this thread by caption while it lives, and notes their
// texts; other dialogs (the progress pop-up) are left alone.
class CaptionAnswerer
{
public:
    explicit CaptionAnswerer(std::map<std::string, int> answers) : m_answers(std::move(answers))
    {
        s_pCurrent = this;
        m_timer = SetTimer(nullptr, 0, 100, Tick);
    }
    ~CaptionAnswerer()
    {
        KillTimer(nullptr, m_timer);
        s_pCurrent = nullptr;
    }
    std::vector<CString> texts;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        CaptionAnswerer* self = s_pCurrent;
        if (!self)
            return;
        for (const auto& answer : self->m_answers) {
            HWND box = FindThreadDialog(answer.first.c_str());
            if (!box)
                continue;
            self->texts.push_back(MessageBoxText(box));
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer.second, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, answer.second)));
        }
    }
    static CaptionAnswerer* s_pCurrent;
    std::map<std::string, int> m_answers;
    UINT_PTR m_timer = 0;
};

CaptionAnswerer* CaptionAnswerer::s_pCurrent = nullptr;

CWinThread* NoThread(CRuntimeClass*, int, UINT, DWORD, LPSECURITY_ATTRIBUTES)
{
    return nullptr;
}

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)
{
    return reinterpret_cast<HINSTANCE>(42);
}

class CPaneHost : public CWnd
{
public:
    BOOL CreateHost()
    {
        InitControls();
        return CreateEx(0, nullptr, "Search pane", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_CLIPCHILDREN, 0, 0, 860,
                        630, nullptr, nullptr);
    }
};

class ReportPaneTest : public FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        reporttest::InstallReportRecipe();
        const char* build = std::getenv("ZENTROVA_BUILD");
        std::string options;
        ASSERT_TRUE(ReadBytes(CString(build) + "/bin/config2.cfg", options));
        ASSERT_TRUE(WriteBytes(GetAppDirectory() + "\\config2.cfg", options));
        DeleteFileA(GetAppDirectory() + "\\Reports.xml");
        DeleteFileA(GetAppDirectory() + "\\session.xml");
        CSavedReport::s_pfnShellExecute = RecordOpen;
        // The chooser would stop the test modally; it has tests of its own.
        CSearchSessions::s_bChooserOffered = true;

        ASSERT_TRUE(m_host.CreateHost());
        // Made once the options are in place: its pages read them when they are built.
        m_pPane = std::make_unique<CSearchContainer>();
        ASSERT_TRUE(Pane().Create(IDD_SEARCH_CONTAINER, &m_host));
        CRect client;
        m_host.GetClientRect(&client);
        Pane().MoveWindow(&client);
        ASSERT_EQ(Pane().GetSavedReportsPage().m_Options.SetOptionValue("SavePath", m_dir.Path() + "\\"), 1);
        Pane().ShowWindow(SW_SHOW);
        Pane().GetSheet().SetActivePage(3);
        PumpMessages(50);
    }

    void TearDown() override
    {
        CSavedReport::s_pfnBeginThread = &AfxBeginThread;
        CSavedReport::s_pfnShellExecute = ::ShellExecuteA;
        if (m_pPane && Pane().m_hWnd) {
            Pane().StopSearchThread();
            EXPECT_TRUE(PumpUntil([this] { return Pane().IsSearchThreadEnded() != 0; }, 30000));
            Pane().DestroyWindow();
        }
        m_pPane.reset();
        if (m_host.m_hWnd)
            m_host.DestroyWindow();
        CoUninitialize();
    }

    CSearchContainer& Pane() { return *m_pPane; }
    HWND ReportItem(int nID) { return ::GetDlgItem(Pane().GetReportPage().m_hWnd, nID); }
    int BarPosition() { return static_cast<int>(::SendMessageA(ReportItem(IDC_REPORT_LIST_PROGRESS), PBM_GETPOS, 0, 0)); }
    bool BarShown() { return ::IsWindowVisible(ReportItem(IDC_REPORT_LIST_PROGRESS)) != FALSE; }
    bool PopupShown() { return FindThreadDialog("Report Generation in Progress") != nullptr; }
    void Generate()
    {
        ::SendMessageA(Pane().GetReportPage().m_hWnd, WM_COMMAND,
                       MAKEWPARAM(IDC_REPORT_LIST_GENERATE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(ReportItem(IDC_REPORT_LIST_GENERATE)));
    }

    TempDir m_dir;
    CPaneHost m_host;
    std::unique_ptr<CSearchContainer> m_pPane;
};

} // namespace

TEST_F(ReportPaneTest, TheReportPagesBarFollowsTheRunAndHidesAtItsEnd)
{
    CSearchReport& page = Pane().GetReportPage();
    page.AddDocument("US6123456", "Title of US6123456");
    page.AddDocument("EP1000000", "Title of EP1000000");
    page.AddDocument("US20050123456", "Title of US20050123456");
    // The third document's first answer keeps the run waiting after two of three.
    FixturePlan("/reports/error.html", "delay=6000");
    CaptionAnswerer answers({{"Save Search Report?", IDNO}});

    Generate();
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(BarPosition(), 0);
    EXPECT_TRUE(PopupShown());
    EXPECT_FALSE(::IsWindowEnabled(ReportItem(IDC_REPORT_LIST_GENERATE)));

    ASSERT_TRUE(PumpUntil([this] { return BarPosition() == 66; }, 60000)) << "bar at " << BarPosition();
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(WindowText(ReportItem(IDC_REPORT_LIST_STATUS)), CString("Downloading 3 of 3"));
    // The pop-up sits over the middle of the page; the bar stands at the page's top right.
    EXPECT_TRUE(SaveScreenshot(workspacetest::ScreenshotPath("search-report-progress.png")));

    ASSERT_TRUE(PumpUntil([&] { return !answers.texts.empty() && !Pane().GetSavedReportsPage().IsBusy(); }, 60000));
    PumpMessages(200);
    EXPECT_FALSE(BarShown());
    EXPECT_FALSE(PopupShown());
    EXPECT_TRUE(::IsWindowEnabled(ReportItem(IDC_REPORT_LIST_GENERATE)));
    EXPECT_EQ(WindowText(ReportItem(IDC_REPORT_LIST_STATUS)), CString("Download Finished"));
    EXPECT_TRUE(FileExists(m_dir.Path() + "\\Reports\\General.pdf"));
}

TEST_F(ReportPaneTest, ARunWhoseThreadCannotBeMadeShowsNeitherBarNorPopup)
{
    Pane().GetReportPage().AddDocument("US6123456", "Title of US6123456");
    CSavedReport::s_pfnBeginThread = &NoThread;
    CaptionAnswerer answers({{"Error", IDOK}});

    Generate();
    EXPECT_FALSE(PopupShown());
    EXPECT_FALSE(BarShown());
    EXPECT_TRUE(::IsWindowEnabled(ReportItem(IDC_REPORT_LIST_GENERATE)));
    EXPECT_EQ(WindowText(ReportItem(IDC_REPORT_LIST_STATUS)), CString("Download Cancelled"));
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0], CString(kRunFailed));
    EXPECT_FALSE(Pane().GetSavedReportsPage().IsBusy());

    // The next run starts as usual once threads can be made again.
    CSavedReport::s_pfnBeginThread = &AfxBeginThread;
    Generate();
    EXPECT_TRUE(PopupShown());
    EXPECT_TRUE(BarShown());
    Pane().GetReportPage().SendMessage(UM_CANCEL_REPORT, 0, 0);
    EXPECT_TRUE(PumpUntil([this] { return !Pane().GetSavedReportsPage().IsStopping(); }, 30000));
    EXPECT_FALSE(BarShown());
}

TEST_F(ReportPaneTest, TheRunsRequestOpensTheSavedReportsTab)
{
    EXPECT_EQ(Pane().GetSheet().GetActiveIndex(), 3);
    EXPECT_EQ(Pane().SendMessage(UM_SHOW_SAVED_REPORTS, 0, 0), 0);
    EXPECT_EQ(Pane().GetSheet().GetActiveIndex(), 4);
    EXPECT_TRUE(::IsWindowVisible(Pane().GetSavedReportsPage().m_hWnd));
}
