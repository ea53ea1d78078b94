// The real program searching end to end with the recipe it ships (build/bin/Download.cfg)
// against the fixture server's imitation of OPS: a query typed on Basic Search of each search
// location finds rows; on the European Patent Office location two selected rows are
// downloaded, merged and filed in NEW DOWNLOADS, a refused search says so, and closing the
// program while a search's answer stalls stops the search and ends the program at once. The CQL the server received is printed (lines
// starting "CQL"). The test shares the program's mutex and registry key with every other
// start of the program, so CTest runs it alone.
#include "WorkspaceTest.h"

#include "FixtureServer.h"
#include "ProgramDownloadTest.h"
#include "WindowBench.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <vector>

using namespace testsupport;
using namespace workspacetest;

namespace {

class SearchProgramTest : public ShippedRecipeDownloadTest
{
};

// Selects the rows of a list view of another process.
bool SelectRows(HWND hList, const std::vector<int>& rows)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hList, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
    bool ok = remote != nullptr;
    for (int row : rows) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SIZE_T done = 0;
        ok = ok && WriteProcessMemory(process, remote, &item, sizeof item, &done) &&
             SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
    }
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return ok;
}

} // namespace

TEST_F(SearchProgramTest, BasicSearchFindsRowsTwoDownloadAndClosingStopsARunningSearch)
{
    Started run;
    m_folder.Start(run, "");
    HWND hMain = ProgramFolder::MainWindow(run);
    ASSERT_NE(nullptr, hMain) << m_folder.Log();
    const long before = Records();

    SendMessageA(hMain, WM_COMMAND, IDC_SEARCH_BUTTON, 0);
    HWND hSession = ProgramControl(hMain, IDC_SEARCH_SESSION, "ComboBox");
    ASSERT_NE(nullptr, hSession);
    HWND hPane = GetParent(hSession);
    HWND hLocations = GetDlgItem(hPane, IDC_SEARCH_LOCATION);
    const int count = static_cast<int>(SendMessageA(hLocations, CB_GETCOUNT, 0, 0));
    ASSERT_GE(count, 1);
    HWND hStart = ProgramControl(hMain, IDC_BASIC_START_SEARCH, "Button");
    ASSERT_NE(nullptr, hStart);
    HWND hBasic = GetParent(hStart);
    HWND hList = ProgramControl(hMain, IDC_RESULTS_LIST, "SysListView32");
    ASSERT_NE(nullptr, hList);
    // Types into the page's first edit (the rows are made anew for each location) and starts.
    auto search = [&](const char* words) {
        HWND hEdit = FindWindowExA(hBasic, nullptr, "Edit", nullptr);
        ASSERT_NE(nullptr, hEdit);
        SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(words));
        SendMessageA(hBasic, WM_COMMAND, MAKEWPARAM(IDC_BASIC_START_SEARCH, BN_CLICKED),
                     reinterpret_cast<LPARAM>(hStart));
    };
    auto choose = [&](int index) {
        SendMessageA(hLocations, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(hPane, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_LOCATION, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(hLocations));
    };

    // A query on Basic Search of each shipped location finds rows; the CQL it sent is printed.
    const struct
    {
        const char* location;
        const char* words;
    } shipped[] = {{"USPTO Patents", "widget"},
                   {"USPTO Published Applications", "sensor"},
                   {"European Patent Office", "sorting"}};
    for (int i = 0; i < 3 && i < count; ++i) {
        choose(i);
        const size_t asked = FixtureLog("published-data/search").size();
        search(shipped[i].words);
        EXPECT_TRUE(WaitUntil([&] { return RowCount(hList) >= 1 && IsWindowEnabled(hStart); }, 30000))
            << shipped[i].location;
        const std::vector<LoggedRequest> log = FixtureLog("published-data/search");
        for (size_t k = asked; k < log.size(); k += 2)  // every fetch asks twice
            std::printf("CQL %s: %s\n", shipped[i].location, log[k].target.GetString());
        std::printf("ROWS %s: %d, first %s\n", shipped[i].location, RowCount(hList),
                    ListItemText(hList, 0, 2).GetString());
    }

    // A search the service refuses says so, in a balloon over the pane and in its status line.
    static const char kSearchPath[] = "/ops/3.2/rest-services/published-data/search/biblio";
    CString why;
    FixtureReset();
    FixturePlan(kSearchPath, "opsfault=403", 2);
    search("widget");
    ASSERT_TRUE(WaitUntil([] { return FixtureLog(kSearchPath).size() >= 2; }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(hStart) != FALSE; }, 30000));
    EXPECT_EQ(RowCount(hList), 0);
    Sleep(700);
    SaveScreenshot(ScreenshotPath("search-refused-program.png"), &why);

    // On the European Patent Office location the query finds its rows.
    choose(2);
    search("sorting");
    ASSERT_TRUE(WaitUntil([&] { return RowCount(hList) >= 2 && IsWindowEnabled(hStart); }, 30000))
        << RowCount(hList);
    std::vector<CString> numbers;
    for (int i = 0; i < RowCount(hList); ++i) {
        numbers.push_back(ListItemText(hList, i, 2));
        std::printf("ROW %s %s\n", numbers.back().GetString(), ListItemText(hList, i, 3).GetString());
    }

    SaveScreenshot(ScreenshotPath("search-program-results.png"), &why);

    // Two selected rows download, merge and file in NEW DOWNLOADS.
    ASSERT_TRUE(SelectRows(hList, {0, 1}));
    SendMessageA(GetParent(hList), WM_COMMAND, ID_RESULTS_DOWNLOAD_SELECTED, 0);
    EXPECT_TRUE(WaitUntil([&] { return Records() >= before + 2; }, 90000)) << m_folder.Log();
    for (int i = 0; i < 2; ++i) {
        IXMLDOMNodePtr record = Record(numbers[i]);
        EXPECT_NE(nullptr, record) << numbers[i].GetString();
        // The merged PDF is named by the number without its kind code.
        CString pdf = numbers[i];
        int kind = pdf.GetLength() - 1;
        while (kind > 2 && !(pdf[kind] >= 'A' && pdf[kind] <= 'Z'))
            --kind;
        pdf = pdf.Left(kind);
        if (record) {
            EXPECT_FALSE(FiledPdf(numbers[i], pdf).IsEmpty()) << numbers[i].GetString();
        }
    }

    // Closing while the server holds a page half sent stops the search, and the program ends
    // at once.
    FixtureReset();
    FixturePlan(kSearchPath, "fault=stall&part=2000", 4);
    search("widget");
    ASSERT_TRUE(WaitUntil([] { return !FixtureLog(kSearchPath).empty(); }, 10000));
    Sleep(500);
    const DWORD asked = GetTickCount();
    EXPECT_TRUE(ProgramFolder::Close(hMain, run)) << m_folder.Log();
    std::printf("FIGURE closing the program while its search's answer stalled took %lu ms\n",
                GetTickCount() - asked);
}
