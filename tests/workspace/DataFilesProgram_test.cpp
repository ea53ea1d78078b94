// The real program starting over the data files of its search side (Reports.xml,
// session.xml, basicquery.xml, advancedquery.xml) as a damaged or hostile world leaves them:
// files far larger than the program writes and well-formed files of another kind are set
// aside, each with a message, and the program starts with empty lists. Also the time until
// the main window shows with 2,000 saved reports (lines starting "BENCHMARK"). The tests
// share the program's mutex and registry key with every other start of the program, so CTest
// runs them alone.
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
        if (HWND hBox = ProgramMessageBox(run.pi.dwProcessId)) {
            CString why;
            if (screenshot && m_boxes.empty() && !SaveScreenshot(ScreenshotPath(screenshot), &why))
                std::printf("no screenshot: %s\n", why.GetString());
            m_boxes.push_back(MessageBoxText(hBox));
            PressDialogButton(hBox, IDOK);
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

// The data files of the search side, each as a file of its kind far beyond 16 MB (its
// records repeated), and a well-formed file of another kind in its place.
struct DataFileCase
{
    const char* name;
    std::string head, record, tail; // the oversized file: head, records, tail
    std::string foreign;
};

const char kReportsText[] = "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<report name=\"Widget search\">\r\n"
                            "<mark>Tray</mark>\r\n<client>ACME</client>\r\n<datetime>Tuesday, December 8, "
                            "2026</datetime>\r\n</report>\r\n</saved>\r\n";
const char kBasicText[] = "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<basics>\r\n<location name=\"European Patent "
                          "Office\">\r\n<basic name=\"Sorting\">\r\n<field name=\"searchterm\" "
                          "type=\"edit\">sorting</field>\r\n</basic>\r\n</location>\r\n</basics>\r\n</saved>\r\n";
const char kAdvancedText[] = "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<advances>\r\n<location name=\"European "
                             "Patent Office\">\r\n<advanced name=\"Hinges\">\r\n<field name=\"title\" "
                             "type=\"edit\">hinge</field>\r\n</advanced>\r\n</location>\r\n</advances>\r\n"
                             "</saved>\r\n";
const char kSessionText[] = "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n<savedsession>\r\n<session "
                            "name=\"No Session Selected\" mark=\"\" client=\"\">\r\n</session>\r\n<session "
                            "name=\"Trays\" mark=\"Tray\" client=\"ACME\">\r\n<saved>\r\n<number><![CDATA[EP1000000B1]]>"
                            "</number>\r\n<title><![CDATA[Folding tray]]></title>\r\n</saved>\r\n</session>\r\n"
                            "</savedsession>\r\n";

std::vector<DataFileCase> DataFileCases()
{
    return {
        {"Reports.xml", "<?xml version=\"1.0\" ?>\r\n<saved>\r\n",
         "<report name=\"Widget search\">\r\n<mark>Tray</mark>\r\n<client>ACME</client>\r\n<datetime>Tuesday, "
         "December 8, 2026</datetime>\r\n</report>\r\n",
         "</saved>\r\n", kBasicText},
        {"session.xml",
         "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n<savedsession>\r\n<session name=\"No Session "
         "Selected\" mark=\"\" client=\"\">\r\n</session>\r\n<session name=\"Trays\" mark=\"Tray\" "
         "client=\"ACME\">\r\n",
         "<saved>\r\n<number><![CDATA[EP1000000B1]]></number>\r\n<title><![CDATA[Folding tray]]></title>\r\n"
         "</saved>\r\n",
         "</session>\r\n</savedsession>\r\n", kReportsText},
        {"basicquery.xml",
         "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<basics>\r\n<location name=\"European Patent Office\">\r\n",
         "<basic name=\"Sorting\">\r\n<field name=\"searchterm\" type=\"edit\">sorting</field>\r\n</basic>\r\n",
         "</location>\r\n</basics>\r\n</saved>\r\n", kAdvancedText},
        {"advancedquery.xml",
         "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<advances>\r\n<location name=\"European Patent Office\">\r\n",
         "<advanced name=\"Hinges\">\r\n<field name=\"title\" type=\"edit\">hinge</field>\r\n</advanced>\r\n",
         "</location>\r\n</advances>\r\n</saved>\r\n", kSessionText},
    };
}

// The file of its kind grown beyond the size by its records.
std::string Grown(const DataFileCase& c, size_t size)
{
    return GrownText(c.head, c.record, c.tail, size);
}

} // namespace

// Each data file of the search side far larger than the program writes, and then each a
// well-formed file of another kind: every one is set aside whole under a name that says why,
// with a message naming both places, and the program starts at once with empty lists. The
// time until its main window shows is printed (lines starting "FIGURE"), and the screen with
// the first message is kept (data-file-too-large.png).
TEST_F(DataFilesProgramTest, OversizedAndForeignDataFilesAreSetAsideAndTheProgramStarts)
{
    const std::vector<DataFileCase> cases = DataFileCases();
    const struct
    {
        const char* fault;
        const char* suffix;
        const char* why;
        const char* screenshot;
    } faults[] = {{"oversized", ".too-large", "larger than 16 MB", "data-file-too-large.png"},
                  {"foreign", ".other-kind", "of another kind", nullptr}};
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.fault);
        std::vector<std::string> written;
        for (const DataFileCase& c : cases) {
            written.push_back(fault.suffix == std::string(".too-large") ? Grown(c, 16u << 20) : c.foreign);
            ASSERT_TRUE(WriteBytes(m_folder.File(c.name), written.back())) << c.name;
        }
        Started run;
        HWND hMain = StartProgram(run, 120000, fault.screenshot);
        ASSERT_NE(nullptr, hMain) << m_folder.Log();
        std::printf("FIGURE start with four %s data files: main window after %lu ms, %zu messages\n", fault.fault,
                    m_nShownMs, m_boxes.size());

        ASSERT_EQ(cases.size(), m_boxes.size());
        for (size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(cases[i].name);
            const CString path = m_folder.File(cases[i].name), aside = path + fault.suffix;
            std::string kept;
            ASSERT_TRUE(ReadBytes(aside, kept));
            EXPECT_TRUE(kept == written[i]) << "the file is set aside whole";
            EXPECT_FALSE(FileExists(path));
            int told = 0;
            for (const CString& text : m_boxes)
                told += text.Find(path + "\n") >= 0 && text.Find(aside + "\n") >= 0 && text.Find(fault.why) >= 0;
            EXPECT_EQ(1, told) << "one message names the file, where it is kept and why";
        }
        // Empty lists: no saved report, the session combo with "No Session Selected" alone.
        EXPECT_EQ(0, SavedReportRows(hMain));
        HWND hSessions = ProgramControl(hMain, IDC_SEARCH_SESSION, "ComboBox");
        ASSERT_NE(nullptr, hSessions);
        EXPECT_EQ(1, SendMessageA(hSessions, CB_GETCOUNT, 0, 0));
        EXPECT_TRUE(ProgramFolder::Close(hMain, run));
        for (const DataFileCase& c : cases)
            DeleteFileA(m_folder.File(c.name) + fault.suffix);
    }
}

// A new recipe file that cannot be read, and one that cannot be put in place because the
// previous recipe cannot be kept as OldConfig.cfg (the test holds OldConfig.cfg open): the
// program starts with the recipe it has and says so, the unreadable file set aside whole
// (recipe-new-unreadable.png).
TEST_F(DataFilesProgramTest, ANewRecipeThatCannotBeReadOrPutInPlaceIsToldAtStart)
{
    const CString recipe = m_folder.File("Download.cfg"), fresh = m_folder.File("NewConfig.cfg");
    const CString old = m_folder.File("OldConfig.cfg");
    const std::string shipped = RawBytes(recipe);
    ASSERT_TRUE(WriteBytes(old, "an older recipe, 32 bytes long.."));
    const struct
    {
        const char* what;
        const char* screenshot;
        const char* text;  // the beginning of the message
        bool bHoldOld;
    } cases[] = {
        {"damaged", "recipe-new-unreadable.png", "The recipe file NewConfig.cfg cannot be read: it is damaged.", false},
        {"previous recipe not kept", "recipe-new-not-in-place.png", "The new recipe file\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string written = c.bHoldOld ? shipped : std::string("a recipe cut short");
        ASSERT_TRUE(WriteBytes(fresh, written));
        HANDLE holder = c.bHoldOld ? CreateFileA(old, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr)
                                   : INVALID_HANDLE_VALUE;
        Started run;
        HWND hMain = StartProgram(run, 60000, c.screenshot);
        if (holder != INVALID_HANDLE_VALUE)
            CloseHandle(holder);
        ASSERT_NE(nullptr, hMain) << m_folder.Log();
        ASSERT_EQ(1u, m_boxes.size());
        EXPECT_EQ(0, m_boxes[0].Find(c.text)) << m_boxes[0].GetString();
        EXPECT_TRUE(RawBytes(recipe) == shipped) << "the recipe in use stays";
        EXPECT_EQ("an older recipe, 32 bytes long..", RawBytes(old));
        if (c.bHoldOld) {
            EXPECT_TRUE(RawBytes(fresh) == written) << "the new recipe waits for the next start";
            EXPECT_GE(m_boxes[0].Find(old), 0);
        } else {
            EXPECT_FALSE(FileExists(fresh));
            EXPECT_TRUE(RawBytes(fresh + ".unreadable") == written) << "set aside whole";
            EXPECT_GE(m_boxes[0].Find("The new file is kept as\n" + fresh + ".unreadable"), 0);
        }
        EXPECT_TRUE(ProgramFolder::Close(hMain, run));
    }
    // Nothing in the way, the new recipe takes its place at the next start, without a word.
    Started run;
    HWND hMain = StartProgram(run, 60000);
    ASSERT_NE(nullptr, hMain) << m_folder.Log();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_FALSE(FileExists(fresh));
    EXPECT_TRUE(RawBytes(recipe) == shipped);
    EXPECT_TRUE(RawBytes(old) == shipped);
    EXPECT_TRUE(ProgramFolder::Close(hMain, run));
}

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

// Not a check: prints how long the program takes until its main window shows with each data
// file of the search side just below the size it sets aside (15 MB of its records: some
// 120,000 saved reports, a session of 150,000 documents, 170,000 saved queries of each page),
// all four read as they are.
TEST_F(DataFilesProgramTest, BenchmarkStartWithDataFilesJustBelowTheLimit)
{
    for (const DataFileCase& c : DataFileCases())
        ASSERT_TRUE(WriteBytes(m_folder.File(c.name), Grown(c, 15u << 20))) << c.name;
    Started run;
    HWND hMain = StartProgram(run, 300000);
    ASSERT_NE(nullptr, hMain) << m_folder.Log();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_GT(SavedReportRows(hMain), 100000);
    const DWORD closing = GetTickCount();
    PostMessageA(hMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.Ended(300000));
    std::printf("BENCHMARK start with four data files of 15 MB: main window after %lu ms, closed after %lu ms\n",
                m_nShownMs, GetTickCount() - closing);
}
