// The session operations on real windows: a host with the session combo, a results list and
// the Search Report page on its own template, as the search pane holds them. Change, new,
// edit, delete and import keep combo entry i and list position i naming one session; the
// report page takes ticks from and gives them back to the results list; the chooser opens
// as its option says; the session dialogs refuse what they must. Screenshots of the page
// and the chooser.
#include "DataFileNotices.h"
#include "ImportExportDialog.h"
#include "Look.h"
#include "NewSearchSession.h"
#include "ProgramOptions.h"
#include "ReportRunner.h"
#include "SearchSessionDialog.h"
#include "SearchSessions.h"
#include "OversizedSessionFile.h"
#include "SessionExport.h"
#include "WindowBench.h"
#include "WorkspaceTest.h"
#include "resource.h"

#include <string>
#include <vector>

using namespace workspacetest;
using namespace testsupport;

namespace {

std::vector<std::string> g_boxes; // "caption|text"

int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    g_boxes.push_back(std::string(caption) + "|" + text);
    return IDOK;
}

class CHost : public CWnd
{
protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC)
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, RGB(236, 233, 216));
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CHost, CWnd)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

// The session data dialog answered without showing it: the texts it would hand back.
class CTestSessions : public CSearchSessions
{
public:
    struct Answer {
        INT_PTR result;
        CString project, invention, client;
    };
    std::vector<Answer> answers;
    std::vector<CString> openedWith; // the project text each dialog was opened with
    int choosers = 0;
    INT_PTR chooserResult = IDCANCEL;
    int chooserChoice = 0;
    int chooserSession = -1;

protected:
    INT_PTR RunSessionDialog(CNewSearchSession& dialog) override
    {
        openedWith.push_back(dialog.m_strProjectName);
        if (answers.empty())
            return IDCANCEL;
        const Answer a = answers.front();
        answers.erase(answers.begin());
        dialog.m_strProjectName = EscapeSessionText(a.project);
        dialog.m_strInvention = EscapeSessionText(a.invention);
        dialog.m_strClientName = EscapeSessionText(a.client);
        return a.result;
    }
    INT_PTR RunChooser(CSearchSessionDialog& dialog) override
    {
        ++choosers;
        dialog.m_nChoice = chooserChoice;
        dialog.m_nChosenSession = chooserSession;
        return chooserResult;
    }
};

class CTestRunner : public CReportRunner
{
public:
    std::vector<SearchSession> started;
    int stops = 0;
    bool busy = true;
    void SetReportControls(CWnd*, CWnd*, CWnd*) override {}
    void SetReportPopup(CWnd*) override {}
    void StartReport(SearchSession session) override { started.push_back(session); }
    void StopReport() override { ++stops; }
    bool IsReportBusy() const override { return busy; }
    bool IsReportStopping() const override { return false; }
};

class SessionsTest : public ComTest
{
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        InitControls();
        DeleteFileA(SessionFileWritePath());
        g_boxes.clear();
        g_pfnSessionMessageBox = &RecordBox;
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "Search Report", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_CLIPCHILDREN,
                                    20, 20, 760, 560, nullptr, nullptr));
        ASSERT_TRUE(m_combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(8, 4, 300, 200),
                                   &m_host, 1106));
        ASSERT_TRUE(m_results.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
                                     CRect(8, 34, 748, 150), &m_host, 1100));
        const char* headings[] = {" ", "Report", "Document", "Title"};
        for (int i = 0; i < 4; ++i)
            m_results.InsertColumn(i, headings[i], LVCFMT_LEFT, i == 3 ? 400 : 90);
        ASSERT_TRUE(m_report.Create(IDD_SEARCH_REPORT, &m_host));
        m_report.MoveWindow(8, 160, 744, 360);
        m_report.SetResultsList(&m_results);
        m_report.SetReportRunner(&m_runner);
        m_report.ShowWindow(SW_SHOW);
        m_sessions.Attach(&m_host, &m_combo, &m_report, &m_results);
        PumpMessages();
    }
    void TearDown() override
    {
        g_pfnSessionMessageBox = &::MessageBoxA;
        m_host.DestroyWindow();
        DeleteFileA(SessionFileWritePath());
        ComTest::TearDown();
    }

    void Start()
    {
        m_sessions.GetSessionHeaders();
        m_sessions.ParseReportFile();
    }
    void AddResult(const char* number, const char* title, bool ticked)
    {
        const int row = m_results.InsertItem(m_results.GetItemCount(), "");
        m_results.SetCheckbox(row, 1, ticked ? 1 : 0);
        m_results.SetItemText(row, 2, number);
        m_results.SetItemText(row, 3, title);
    }
    void Choose(int entry)
    {
        m_combo.SetCurSel(entry);
        m_sessions.OnSelchangeSession();
    }
    std::vector<std::string> ReportNumbers()
    {
        std::vector<std::string> numbers;
        for (int i = 0; i < m_report.GetReportList().GetItemCount(); ++i)
            numbers.push_back(m_report.GetReportList().GetItemText(i, 2).GetString());
        return numbers;
    }
    int ResultTick(const char* number)
    {
        return m_results.GetCheckbox(m_results.FindItemByText(number), 1);
    }
    // Combo entry i and list position i name the same session.
    void ExpectInvariant()
    {
        ASSERT_EQ(m_combo.GetCount(), m_report.m_arrSessions.GetSize());
        for (int i = 0; i < m_combo.GetCount(); ++i)
            EXPECT_EQ(m_sessions.ComboText(i), m_report.m_arrSessions[i].strName) << "entry " << i;
        EXPECT_EQ(m_sessions.ComboText(0), kNoSessionSelected);
    }
    std::string FileText() { return RawBytes(SessionFileWritePath()); }
    void NewSession(const char* name, const char* mark = "", const char* client = "")
    {
        m_sessions.answers.push_back({IDOK, name, mark, client});
        const int n = m_sessions.NewSession();
        ASSERT_EQ(n, m_combo.GetCount() - 1);
    }

    CHost m_host;
    CComboBox m_combo;
    CXListCtrl m_results;
    CSearchReport m_report;
    CTestRunner m_runner;
    CTestSessions m_sessions;
};

} // namespace

TEST_F(SessionsTest, NewChangeAndBackKeepEachSessionsRows)
{
    Start();
    ExpectInvariant();
    ASSERT_EQ(m_combo.GetCount(), 1); // no session.xml: "No Session Selected" all the same
    AddResult("US1", "One", true);
    AddResult("US2", "Two", true);
    AddResult("US3", "Three", false);
    m_report.PullSelectionFromResults();
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US1", "US2"}));

    NewSession("Alpha", "Ladders", "Smith");
    ExpectInvariant();
    EXPECT_TRUE(ReportNumbers().empty());
    EXPECT_EQ(ResultTick("US1"), 0);
    EXPECT_EQ(FileText().find("Alpha"), std::string::npos); // not in the file before the next change

    m_results.SetCheckbox(m_results.FindItemByText("US3"), 1, 1);
    m_report.PullSelectionFromResults();
    Choose(0);
    ExpectInvariant();
    EXPECT_NE(FileText().find("<session name=\"Alpha\" mark=\"Ladders\" client=\"Smith\">\r\n<saved>\r\n"
                              "<number><![CDATA[US3]]></number>"),
              std::string::npos);
    // The rows gathered without a session come back, ticked in the results too.
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US1", "US2"}));
    EXPECT_EQ(ResultTick("US1"), 1);
    EXPECT_EQ(ResultTick("US3"), 0);

    // Choosing a real session after "No Session Selected" reads it without writing.
    const std::string before = FileText();
    Choose(1);
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US3"}));
    EXPECT_EQ(m_report.m_nChosenSession, 1);
    Choose(1); // the shown entry again: nothing happens
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US3"}));
}

TEST_F(SessionsTest, PullingTheTicksAddsEachTickedNumberOnceAndUnticksTheOthers)
{
    Start();
    AddResult("US1", "One", true);
    AddResult("US2", "Two", true);
    m_report.PullSelectionFromResults();
    ASSERT_EQ(ReportNumbers(), (std::vector<std::string>{"US1", "US2"}));

    // A later search: US1 unticked, US2 given twice and ticked, US4 new and ticked.
    m_results.DeleteAllItems();
    AddResult("US1", "One", false);
    AddResult("US2", "Two", true);
    AddResult("US4", "Four", true);
    AddResult("US4", "Four again", true);
    AddResult("US5", "Five", false);
    m_results.SetItemText(0, 2, nullptr, RGB(255, 0, 0), RGB(0, 0, 255));
    m_results.SetItemText(4, 3, nullptr, RGB(255, 0, 0), RGB(0, 0, 255));
    m_report.PullSelectionFromResults();
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US1", "US2", "US4"}));
    CXListCtrl& report = m_report.GetReportList();
    EXPECT_EQ(report.GetCheckbox(0, 1), 0) << "its result is unticked";
    EXPECT_EQ(report.GetCheckbox(1, 1), 1);
    EXPECT_EQ(report.GetCheckbox(2, 1), 1);
    EXPECT_EQ(report.GetItemText(2, 3), CString("Four"));
    EXPECT_EQ(report.GetItemText(2, 0), CString(" 3."));
    // The unticked results are drawn black on white.
    EXPECT_EQ(m_results.GetCellRecord(0, 2)->textColour, RGB(0, 0, 0));
    EXPECT_EQ(m_results.GetCellRecord(4, 3)->backColour, RGB(255, 255, 255));
}

TEST_F(SessionsTest, NamesWithMarkupAreFoundAgainAfterTheFileIsRead)
{
    Start();
    const char* name = "A&B <x> \"q\"";
    NewSession(name, "m&m", "c<c>");
    EXPECT_EQ(m_sessions.ComboText(1), name);
    AddResult("US7", "Seven", true);
    m_report.PullSelectionFromResults();
    Choose(0);
    EXPECT_NE(FileText().find("name=\"A&amp;amp;B &amp;lt;x&amp;gt; &amp;quot;q&amp;quot;\""), std::string::npos);
    Choose(1);
    ExpectInvariant();
    EXPECT_EQ(m_report.m_arrSessions[1].strMark, "m&m");
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US7"}));

    // A fresh pane reads the same names into its combo.
    CComboBox other;
    ASSERT_TRUE(other.Create(WS_CHILD | CBS_DROPDOWNLIST, CRect(0, 0, 100, 100), &m_host, 1107));
    CSearchReport otherReport;
    CSearchSessions fresh;
    fresh.Attach(&m_host, &other, &otherReport, nullptr);
    fresh.GetSessionHeaders();
    fresh.ParseReportFile();
    EXPECT_EQ(fresh.ComboText(1), name);
    EXPECT_EQ(otherReport.m_arrSessions[1].strName, name);
    other.DestroyWindow();
}

TEST_F(SessionsTest, EditDeleteAndTheirRefusals)
{
    Start();
    NewSession("Alpha");
    NewSession("Beta");
    NewSession("Gamma");
    ExpectInvariant();

    // Edit opens with the texts as typed and renames in place.
    m_combo.SetCurSel(2);
    m_sessions.answers.push_back({IDOK, "Beta & Co", "inv", "cli"});
    m_sessions.OnEditSession();
    EXPECT_EQ(m_sessions.openedWith.back(), "Beta");
    EXPECT_EQ(m_sessions.ComboText(2), "Beta & Co");
    EXPECT_EQ(m_combo.GetCurSel(), 2);
    ExpectInvariant();
    EXPECT_NE(FileText().find("name=\"Beta &amp;amp; Co\" mark=\"inv\" client=\"cli\""), std::string::npos);
    // Cancel changes nothing; entry 0 cannot be edited or deleted.
    m_sessions.OnEditSession();
    EXPECT_EQ(m_sessions.ComboText(2), "Beta & Co");
    m_combo.SetCurSel(0);
    const size_t opened = m_sessions.openedWith.size();
    m_sessions.OnEditSession();
    m_sessions.OnDeleteSession();
    EXPECT_EQ(m_sessions.openedWith.size(), opened);
    EXPECT_EQ(m_combo.GetCount(), 4);

    // Delete by the combo's delete request: entry 0 shown, the list empty, the file rewritten.
    m_combo.SetCurSel(2);
    EXPECT_TRUE(m_sessions.OnComboRequest(8, 0));
    EXPECT_EQ(m_combo.GetCount(), 3);
    EXPECT_EQ(m_combo.GetCurSel(), 0);
    EXPECT_TRUE(ReportNumbers().empty());
    ExpectInvariant();
    EXPECT_EQ(FileText().find("Beta"), std::string::npos);
    EXPECT_FALSE(m_sessions.OnComboRequest(5, 0));
}

TEST_F(SessionsTest, ImportAddsOnceAndPushesItsTicks)
{
    Start();
    AddResult("US1", "One", false);
    AddResult("US2", "Two", false);
    SearchSession imported;
    imported.strName = "Imported & Co";
    imported.results.Add(SessionResult{"US2", "Two"});
    imported.results.Add(SessionResult{"US9", "Nine"});
    m_sessions.AddSession(imported);
    ExpectInvariant();
    EXPECT_EQ(m_combo.GetCurSel(), 1);
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US2", "US9"}));
    EXPECT_EQ(ResultTick("US2"), 1);
    EXPECT_EQ(ResultTick("US1"), 0);

    // The same name again is refused, and nothing changes.
    g_boxes.clear();
    m_sessions.AddSession(imported);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], "Error|A Session with the name \"Imported & Co\" already exists");
    EXPECT_EQ(m_combo.GetCount(), 2);
    ExpectInvariant();

    // The export writes what the report list shows; entry 0 has nothing to export.
    CString text, why;
    ASSERT_TRUE(m_sessions.BuildExport(text, why));
    EXPECT_NE(text.Find("<session name=\"Imported &amp; Co\""), -1);
    EXPECT_NE(text.Find("<document number=\"US9\">Nine</document>"), -1);
    m_combo.SetCurSel(0);
    EXPECT_FALSE(m_sessions.BuildExport(text, why));
    EXPECT_EQ(why, "There are no results to be exported");
}

TEST_F(SessionsTest, AFailedWriteIsToldOnceAndTheSessionsStayInMemory)
{
    Start();
    NewSession("Alpha");
    AddResult("US1", "One", true);
    m_report.PullSelectionFromResults();
    // A folder where session.xml belongs cannot be replaced by the file.
    DeleteFileA(SessionFileWritePath());
    ASSERT_TRUE(CreateDirectoryA(SessionFileWritePath(), nullptr));
    g_boxes.clear();
    DataFileNotices notices;
    Choose(0);
    ASSERT_EQ(notices.Count(), 1u);
    EXPECT_EQ(notices.All()[0].text.Find("The search sessions could not be saved to\n" + SessionFileWritePath()), 0);
    ExpectInvariant();
    Choose(1);
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US1"})); // kept, not read from a stale file
    Choose(0);
    EXPECT_EQ(notices.Count(), 1u) << "not told again at the next write that fails";
    ASSERT_TRUE(RemoveDirectoryA(SessionFileWritePath()));
    Choose(1);
    Choose(0);
    EXPECT_NE(FileText().find("<number><![CDATA[US1]]></number>"), std::string::npos);
    EXPECT_FALSE(IsDataFileUnsaved(SessionFileWritePath()));
    EXPECT_TRUE(g_boxes.empty()) << "the pane shows no box of its own";
}

// A session.xml that cannot be read is written over only once a copy of it is kept: when the
// copy can be made the user hears where it is; while it cannot, the user hears that the
// sessions are not saved, once, and the file stays as it is.
TEST_F(SessionsTest, AnUnreadableSessionFileIsWrittenOverOnlyOnceACopyIsKept)
{
    const std::string broken = "<?xml version=\"1.0\" ?><savedsession><session name=\"Lost\" mark=\"\" client=\"\">"
                               "<saved><number><![CDATA[A]]>B]]></number></saved></session></savedsession>";
    const CString copy = SessionFileWritePath() + ".unreadable";
    for (const bool bCopyBlocked : {false, true}) {
        SCOPED_TRACE(bCopyBlocked ? "the copy cannot be made" : "the copy is made");
        ASSERT_TRUE(WriteBytes(SessionFileWritePath(), broken));
        if (bCopyBlocked)
            ASSERT_TRUE(CreateDirectoryA(copy, nullptr)); // a folder where the copy belongs
        else
            DeleteFileA(copy);
        g_boxes.clear();
        DataFileNotices notices;
        CTestSessions sessions;
        sessions.Attach(&m_host, &m_combo, &m_report, &m_results);
        sessions.GetSessionHeaders();
        sessions.ParseReportFile();
        sessions.answers.push_back({IDOK, "Beta", "", ""});
        sessions.NewSession();
        m_combo.SetCurSel(0);
        sessions.OnSelchangeSession(); // writes the sessions
        if (bCopyBlocked) {
            EXPECT_TRUE(g_boxes.empty());
            ASSERT_EQ(notices.Count(), 1u);
            EXPECT_EQ(notices.All()[0].text.Find("The search sessions in\n" + SessionFileReadPath() +
                                                 "\ncould not be read, and no copy of the file could be made as\n" +
                                                 SessionFileReadPath() + ".unreadable\n"),
                      0)
                << notices.All()[0].text.GetString();
            EXPECT_EQ(FileText(), broken) << "not written over";
            m_combo.SetCurSel(1);
            sessions.OnSelchangeSession();
            m_combo.SetCurSel(0);
            sessions.OnSelchangeSession();
            EXPECT_EQ(notices.Count(), 1u);
            EXPECT_EQ(FileText(), broken);
            ASSERT_TRUE(RemoveDirectoryA(copy));
            m_combo.SetCurSel(1);
            sessions.OnSelchangeSession();
            m_combo.SetCurSel(0);
            sessions.OnSelchangeSession();
        } else {
            ASSERT_EQ(g_boxes.size(), 1u);
            EXPECT_EQ(g_boxes[0], "Error|The search sessions in\n" + std::string(SessionFileReadPath().GetString()) +
                                      "\ncould not be read. A copy of the file is kept as\n" +
                                      SessionFileReadPath().GetString() + ".unreadable");
            EXPECT_EQ(notices.Count(), 0u);
        }
        // Once the copy is kept, the sessions are written.
        EXPECT_EQ(RawBytes(copy), broken);
        EXPECT_NE(FileText().find("<session name=\"Beta\""), std::string::npos);
        EXPECT_FALSE(IsDataFileUnsaved(SessionFileWritePath()));
        DeleteFileA(copy);
        m_combo.ResetContent();
    }
}

// A session.xml far larger than the program writes, or another data file in its place, is set
// aside whole at the first read with one message; the pane starts on "No Session Selected"
// alone, and the next write makes a new file.
TEST_F(SessionsTest, ASessionFileTooLargeOrOfAnotherKindIsSetAside)
{
    const CString path = SessionFileWritePath();
    const std::string huge = OversizedSessionFile();
    const struct
    {
        const char* what;
        std::string bytes;
        DataFileFault fault;
        const char* suffix;
    } cases[] = {
        {"beyond 16 MB", huge, DataFileFault::TooLarge, ".too-large"},
        {"Reports.xml in its place", "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<report name=\"R\"><mark/><client/>"
                                     "<datetime/></report>\r\n</saved>\r\n",
         DataFileFault::OtherKind, ".other-kind"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        g_boxes.clear();
        Start();
        ASSERT_EQ(g_boxes.size(), 1u);
        EXPECT_EQ(g_boxes[0], std::string(AfxGetAppName()) + "|" +
                                  DataFileSetAsideText("search sessions", path, path + c.suffix, c.fault).GetString());
        std::string kept;
        ASSERT_TRUE(ReadBytes(path + c.suffix, kept));
        EXPECT_TRUE(kept == c.bytes);
        ASSERT_EQ(m_combo.GetCount(), 1);
        EXPECT_EQ(m_sessions.ComboText(0), kNoSessionSelected);
        ExpectInvariant();
        NewSession("Alpha");
        Choose(0);
        EXPECT_NE(FileText().find("<session name=\"Alpha\""), std::string::npos);
        DeleteFileA(path + c.suffix);
    }
}

TEST_F(SessionsTest, TheReportPageTakesAndGivesTicks)
{
    AddResult("US1", "One", true);
    AddResult("US2", "Two", true);
    AddResult("US3", "Three", true);
    m_report.ShowWindow(SW_HIDE);
    m_report.ShowWindow(SW_SHOW); // shown: takes the ticks over
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US1", "US2", "US3"}));
    m_report.AddDocument("US1", "One again");
    EXPECT_EQ(ReportNumbers().size(), 3u);

    // The second unticked on the page; hidden and shown: two rows renumbered, the result unticked.
    m_report.GetReportList().SetCheckbox(1, 1, 0);
    m_report.ShowWindow(SW_HIDE);
    EXPECT_EQ(ResultTick("US2"), 0);
    m_report.ShowWindow(SW_SHOW);
    m_report.RenumberRows();
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US1", "US3"}));
    EXPECT_EQ(m_report.GetReportList().GetItemText(0, 0), " 1.");
    EXPECT_EQ(m_report.GetReportList().GetItemText(1, 0), " 2.");

    // Select All cleared: both lists lose their ticks; set again: both get them.
    HWND hSelectAll = ::GetDlgItem(m_report.m_hWnd, IDC_REPORT_LIST_SELECT_ALL);
    m_report.UpdateSelectAllCheck();
    EXPECT_EQ(::SendMessageA(hSelectAll, BM_GETCHECK, 0, 0), BST_CHECKED);
    ::SendMessageA(hSelectAll, BM_CLICK, 0, 0);
    EXPECT_EQ(m_report.GetReportList().CountCheckedItems(1), 0);
    EXPECT_EQ(ResultTick("US3"), 0);
    ::SendMessageA(hSelectAll, BM_CLICK, 0, 0);
    EXPECT_EQ(m_report.GetReportList().CountCheckedItems(1), 2);
    EXPECT_EQ(ResultTick("US3"), 1);

    // Remove Selection From Report: the selected result loses its tick and its report row.
    m_results.SetItemState(m_results.FindItemByText("US1"), LVIS_SELECTED, LVIS_SELECTED);
    m_sessions.OnRemoveSelectionFromReport();
    EXPECT_EQ(ResultTick("US1"), 0);
    EXPECT_EQ(ReportNumbers(), (std::vector<std::string>{"US3"}));

    // Five rows stored into a session that holds two of their numbers add three.
    SearchSession session;
    session.strName = "S";
    session.results.Add(SessionResult{"US10", "x"});
    session.results.Add(SessionResult{"US12", "y"});
    m_report.m_arrSessions.Add(SearchSession());
    m_report.m_arrSessions.Add(session);
    m_report.GetReportList().DeleteAllItems();
    for (const char* n : {"US10", "US11", "US12", "US13", "US14"})
        m_report.AddDocument(n, "t");
    m_report.StoreRowsInSession("S");
    EXPECT_EQ(m_report.m_arrSessions[1].results.GetSize(), 5);
    m_report.StoreRowsInSession("no such session");
}

TEST_F(SessionsTest, GenerateHandsTheTickedRowsToTheRun)
{
    HWND hPage = m_report.m_hWnd;
    auto generate = [&] { ::SendMessageA(hPage, WM_COMMAND, MAKEWPARAM(IDC_REPORT_LIST_GENERATE, BN_CLICKED), 0); };
    generate();
    m_report.AddDocument("US1", "One");
    m_report.AddDocument("US2", "Two");
    m_report.GetReportList().SetCheckbox(0, 1, 0);
    m_report.GetReportList().SetCheckbox(1, 1, 0);
    generate();
    EXPECT_EQ(g_boxes, (std::vector<std::string>(2, "Select Document(s)|You have not selected any document(s)")));
    EXPECT_TRUE(m_runner.started.empty());

    m_report.GetReportList().SetCheckbox(1, 1, 1);
    generate();
    ASSERT_EQ(m_runner.started.size(), 1u);
    EXPECT_EQ(m_runner.started[0].strName, "General");
    ASSERT_EQ(m_runner.started[0].results.GetSize(), 1);
    EXPECT_EQ(m_runner.started[0].results[0].strNumber, "US2");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hPage, IDC_REPORT_LIST_GENERATE)));
    HWND hBar = ::GetDlgItem(hPage, IDC_REPORT_LIST_PROGRESS);
    EXPECT_TRUE(::IsWindowVisible(hBar));
    m_report.SetReportProgress(7, 3);
    EXPECT_EQ(::SendMessageA(hBar, PBM_GETPOS, 0, 0), 42);

    // The pop-up's cancel stops the run.
    ::SendMessageA(hPage, UM_CANCEL_REPORT, 0, 0);
    EXPECT_EQ(m_runner.stops, 1);
    EXPECT_EQ(WindowText(::GetDlgItem(hPage, IDC_REPORT_LIST_STATUS)), "Cancelling...");
    EXPECT_FALSE(::IsWindowVisible(hBar));

    // With a session chosen the run carries its name, mark and client.
    m_report.m_arrSessions.Add(SearchSession());
    SearchSession chosen;
    chosen.strName = "Alpha";
    chosen.strMark = "m";
    chosen.strClient = "c";
    m_report.m_arrSessions.Add(chosen);
    m_report.m_nChosenSession = 1;
    generate();
    ASSERT_EQ(m_runner.started.size(), 2u);
    EXPECT_EQ(m_runner.started[1].strName, "Alpha");
    EXPECT_EQ(m_runner.started[1].strClient, "c");
}

TEST_F(SessionsTest, TheChooserOpensOncePerRunUnlessTheOptionSaysNo)
{
    struct Case {
        const char* option;
        int opens;
    };
    const Case cases[] = {{"0", 0}, {"1", 1}, {"", 1}, {"yes", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        WriteEnciphered(AppFile("config2.cfg"),
                        CString("<?xml version=\"1.0\"?>\r\n<Config>\r\n<ProgramOptions>\r\n"
                                "<Option Name=\"Showsearchsessiondialog\">") +
                            c.option + "</Option>\r\n</ProgramOptions>\r\n</Config>\r\n");
        CProgramOptions options;
        CSearchSessions::s_bChooserOffered = false;
        m_sessions.choosers = 0;
        m_sessions.OnPaneShown(FALSE, &options);
        m_sessions.OnPaneShown(TRUE, &options);
        m_sessions.OnPaneShown(TRUE, &options);
        EXPECT_EQ(m_sessions.choosers, c.opens);
    }
    // Its choices: an existing session is shown; a new session whose dialog is cancelled
    // leaves the pane on "No Session Selected".
    Start();
    NewSession("Alpha");
    Choose(0);
    CProgramOptions options;
    CSearchSessions::s_bChooserOffered = false;
    m_sessions.chooserResult = IDOK;
    m_sessions.chooserChoice = CSearchSessionDialog::kExistingSession;
    m_sessions.chooserSession = 1;
    m_sessions.OnPaneShown(TRUE, &options);
    EXPECT_EQ(m_sessions.GetLastSession(), 1);
    Choose(0);
    CSearchSessions::s_bChooserOffered = false;
    m_sessions.chooserChoice = CSearchSessionDialog::kNewSession;
    m_sessions.OnPaneShown(TRUE, &options);
    EXPECT_EQ(m_combo.GetCount(), 2);
    EXPECT_EQ(m_combo.GetCurSel(), 0);
    DeleteFileA(AppFile("config2.cfg"));
}

// ---------------------------------------------------------------------- the dialogs themselves

TEST_F(SessionsTest, TheChooserDialogStoresItsOptionAndRefusesNoSession)
{
    Start();
    NewSession("Alpha");
    Choose(0);
    WriteEnciphered(AppFile("config2.cfg"), "<?xml version=\"1.0\"?>\r\n<Config>\r\n<ProgramOptions>\r\n"
                                            "<Option Name=\"Showsearchsessiondialog\">1</Option>\r\n"
                                            "</ProgramOptions>\r\n</Config>\r\n");
    CProgramOptions options;
    CSearchSessionDialog dialog;
    dialog.m_pOptions = &options;
    bool shot = false;
    WhenDialogShows(
        [&](HWND hDlg) {
            EXPECT_EQ(::SendDlgItemMessageA(hDlg, IDC_CHOOSER_SESSIONS, CB_GETCOUNT, 0, 0), 2);
            ::SendDlgItemMessageA(hDlg, IDC_CHOOSER_SESSIONS, CB_SETCURSEL, 1, 0);
            PumpMessages(200);
            shot = SaveScreenshot(ScreenshotPath("search-session-chooser.png"));
            // Existing session with entry 0: refused, the option (now unticked) stored all the same.
            ::SendDlgItemMessageA(hDlg, IDC_CHOOSER_SESSIONS, CB_SETCURSEL, 0, 0);
            PressDialogButton(hDlg, IDC_CHOOSER_EXISTING);
            PressDialogButton(hDlg, IDC_CHOOSER_SHOW_EACH_TIME);
            PressDialogButton(hDlg, IDOK);
            EXPECT_EQ(g_boxes.back(), "Select Session|Please select an existing session");
            EXPECT_TRUE(::IsWindow(hDlg));
            ::SendDlgItemMessageA(hDlg, IDC_CHOOSER_SESSIONS, CB_SETCURSEL, 1, 0);
            PressDialogButton(hDlg, IDOK);
        },
        "Search Session");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(shot);
    EXPECT_EQ(dialog.m_nChoice, CSearchSessionDialog::kExistingSession);
    EXPECT_EQ(dialog.m_nChosenSession, 1);
    EXPECT_EQ(CProgramOptions().GetOptionValue("Showsearchsessiondialog"), "0");
    DeleteFileA(AppFile("config2.cfg"));
}

TEST_F(SessionsTest, TheNewSessionDialogChecksTheTextAsTyped)
{
    Start();
    NewSession("A&B");
    struct Case {
        const char* typed;
        bool edit;
        const char* box; // null: accepted
    };
    const Case cases[] = {
        {"   ", false, "Project name missing|Please enter a project name"},
        {"A&B", false, "Session Name|A Search Session with this name already exists.\nPlease specify another name"},
        {"a&b", false, nullptr},
        {"A&B", true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        g_boxes.clear();
        CNewSearchSession dialog(&m_host);
        dialog.m_pExistingSessions = &m_combo;
        dialog.m_bEditMode = c.edit ? 1 : 0;
        if (c.edit)
            dialog.m_strProjectName = "A&B";
        WhenDialogShows(
            [&](HWND hDlg) {
                ::SetDlgItemTextA(hDlg, IDC_NEWSESS_PROJECT, c.typed);
                ::SetDlgItemTextA(hDlg, IDC_NEWSESS_CLIENT, "<c>");
                PressDialogButton(hDlg, IDOK);
                if (!g_boxes.empty()) {
                    // Refused: OK once more escapes nothing twice.
                    EXPECT_EQ(WindowText(::GetDlgItem(hDlg, IDC_NEWSESS_PROJECT)), c.typed);
                    ::SetDlgItemTextA(hDlg, IDC_NEWSESS_PROJECT, "Other & \"q\"");
                    PressDialogButton(hDlg, IDOK);
                }
            },
            c.edit ? "Edit existing session" : "Create New Session");
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(g_boxes.empty() ? std::string() : g_boxes[0], c.box ? std::string(c.box) : std::string());
        EXPECT_EQ(dialog.m_strClientName, "&lt;c&gt;");
        const CString expected = c.box ? CString("Other &amp; &quot;q&quot;") : EscapeSessionText(c.typed);
        EXPECT_EQ(dialog.m_strProjectName, expected);
    }
}

TEST_F(SessionsTest, TheImportExportDialogAnswersItsChoice)
{
    struct Case {
        std::vector<int> clicks;
        int choice;
    };
    const Case cases[] = {{{}, 0}, {{IDC_IMPEXP_EXPORT}, 1}, {{IDC_IMPEXP_EXPORT, IDC_IMPEXP_IMPORT}, 0}};
    for (const Case& c : cases) {
        CImportExportDialog dialog(&m_host);
        WhenDialogShows(
            [&](HWND hDlg) {
                for (int id : c.clicks)
                    PressDialogButton(hDlg, id);
                PressDialogButton(hDlg, IDOK);
            },
            "Import/Export Session");
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_nChoice, c.choice);
    }
    CImportExportDialog cancelled(&m_host);
    WhenDialogShows([](HWND hDlg) { PressDialogButton(hDlg, IDCANCEL); }, "Import/Export Session");
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_nChoice, -1);
}

TEST_F(SessionsTest, ScreenshotOfTheReportPageWithASessionsRows)
{
    Start();
    AddResult("US1000001", "Folding ladder with locking hinge", true);
    AddResult("EP2000002", "Hinge & bracket for a ladder", true);
    AddResult("WO2003000003", "Step stool", true);
    m_report.PullSelectionFromResults();
    NewSession("Ladders 2026", "Folding ladder", "Smith & Jones");
    for (int i = 0; i < 3; ++i)
        m_results.SetCheckbox(i, 1, 1);
    m_report.PullSelectionFromResults();
    m_report.GetReportList().SetCheckbox(2, 1, 0);
    m_host.Invalidate();
    m_report.Invalidate();
    PumpMessages(300);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("search-report-page.png")));
}
