// The real program searching end to end against the fixture server's imitation of OPS: the
// shipped recipe's document sources with one search location of the test's own (the
// published-data search of titles, its results downloaded through the shipped source
// OPSPUBLICATIONS). A query typed on Basic Search finds its rows, two selected rows are
// downloaded, merged and filed in NEW DOWNLOADS, and closing the program while a search runs
// stops the search and ends the program. The CQL the server received is printed (lines
// starting "CQL"). The test shares the program's mutex and registry key with every other
// start of the program, so CTest runs it alone.
#include "WorkspaceTest.h"

#include "FileCrypt.h"
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

const char kSearchLocation[] =
    "  <SearchLocation UID=\"E2EOPSSEARCH\" Name=\"E2E published-data search\" TargetUID=\"OPSPUBLICATIONS\">\r\n"
    "    <Basic>\r\n"
    "      <Settings LabelWidth=\"100\"/>\r\n"
    "      <SearchFields><Field Label=\"Title words\" Name=\"TI\"><Template>[FIELDDATA]</Template></Field>"
    "</SearchFields>\r\n"
    "      <ProcessConfiguration>\r\n"
    "        <Step Type=\"Prepare\">\r\n"
    "          <HardCodeKey Name=\"QUERY\" URLEncode=\"Yes\">ti=[SEARCHSTRING]</HardCodeKey>\r\n"
    "          <HardCodeKey Name=\"PAGENUMBER\">0</HardCodeKey>\r\n"
    "          <HardCodeKey Name=\"RANGEEND\">0</HardCodeKey>\r\n"
    "          <HardCodeKey Name=\"NEXTSTART\">1</HardCodeKey>\r\n"
    "          <HardCodeKey Name=\"KNOWNTOTAL\">1</HardCodeKey>\r\n"
    "        </Step>\r\n"
    "        <Step Type=\"Collection\">\r\n"
    "          <Condition Target=\"[NEXTSTART]\" LessOrEqual=\"\">[KNOWNTOTAL]</Condition>\r\n"
    "          <Url>https://ops.epo.org/3.2/rest-services/published-data/search/biblio?q=[QUERY]&amp;"
    "Range=[RANGESTART]-[RANGEEND]</Url>\r\n"
    "          <FatalCondition>&lt;fault </FatalCondition>\r\n"
    "          <Extract Name=\"RESULTTOTAL\">total-result-count=\"(\\d+)\"</Extract>\r\n"
    "          <HardCodeKey Name=\"NEXTSTART\" Function=\"CalculateStart\" DelayProcess=\"Yes\">[RANGEEND]"
    "</HardCodeKey>\r\n"
    "          <HardCodeKey Name=\"KNOWNTOTAL\" DelayProcess=\"Yes\">[RESULTTOTAL]</HardCodeKey>\r\n"
    "          <ExtractionTemplate>\r\n"
    "            <RowTemplate>&lt;exchange-document .*?&lt;/exchange-document&gt;</RowTemplate>\r\n"
    "            <ExactTemplate>document-id-type=\"epodoc\"&gt;\\s*&lt;doc-number&gt;(\\w+)&lt;/doc-number&gt;.*?"
    "&lt;invention-title lang=\"en\"&gt;(.*?)&lt;/invention-title&gt;</ExactTemplate>\r\n"
    "            <Matches><Match Name=\"PATNUM\"/><Match Name=\"TITLE\"/></Matches>\r\n"
    "          </ExtractionTemplate>\r\n"
    "        </Step>\r\n"
    "      </ProcessConfiguration>\r\n"
    "    </Basic>\r\n"
    "  </SearchLocation>\r\n";

class SearchProgramTest : public ProgramDownloadTest
{
protected:
    void SetUp() override
    {
        ProgramDownloadTest::SetUp();
        if (HasFatalFailure())
            return;
        CFileCrypt crypt;
        CString recipe;
        ASSERT_TRUE(crypt.ReadEncryptedFile(BuiltFile("Download.cfg"), recipe));
        recipe.TrimRight();
        const int end = recipe.Find("</ParsingInformation>");
        ASSERT_GT(end, 0);
        CString location = kSearchLocation;
        location.Replace("https://ops.epo.org", FixtureBase() + "/ops");
        recipe.Insert(end, location);
        ASSERT_EQ(crypt.WriteEncryptedFile(recipe, m_folder.File("Download.cfg")), 1);
        m_folder.SetOption("OpsConsumerKey", "zentrova-e2e-key");
        m_folder.SetOption("OpsConsumerSecret", "zentrova-e2e-secret");
    }
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
    SendMessageA(hLocations, CB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
    SendMessageA(hPane, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_LOCATION, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hLocations));

    HWND hStart = ProgramControl(hMain, IDC_BASIC_START_SEARCH, "Button");
    ASSERT_NE(nullptr, hStart);
    HWND hBasic = GetParent(hStart);
    HWND hEdit = FindWindowExA(hBasic, nullptr, "Edit", nullptr);
    ASSERT_NE(nullptr, hEdit);
    auto search = [&](const char* words) {
        SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(words));
        SendMessageA(hBasic, WM_COMMAND, MAKEWPARAM(IDC_BASIC_START_SEARCH, BN_CLICKED),
                     reinterpret_cast<LPARAM>(hStart));
    };

    // The query finds its rows.
    search("sorting");
    HWND hList = ProgramControl(hMain, IDC_RESULTS_LIST, "SysListView32");
    ASSERT_NE(nullptr, hList);
    ASSERT_TRUE(WaitUntil([&] { return RowCount(hList) >= 2 && IsWindowEnabled(hStart); }, 30000))
        << RowCount(hList);
    std::vector<CString> numbers;
    for (int i = 0; i < RowCount(hList); ++i) {
        numbers.push_back(ListItemText(hList, i, 2));
        std::printf("ROW %s %s\n", numbers.back().GetString(), ListItemText(hList, i, 3).GetString());
    }
    for (const LoggedRequest& r : FixtureLog("published-data/search"))
        std::printf("CQL %s\n", r.target.GetString());

    // Two selected rows download, merge and file in NEW DOWNLOADS.
    ASSERT_TRUE(SelectRows(hList, {0, 1}));
    SendMessageA(GetParent(hList), WM_COMMAND, ID_RESULTS_DOWNLOAD_SELECTED, 0);
    EXPECT_TRUE(WaitUntil([&] { return Records() >= before + 2; }, 90000)) << m_folder.Log();
    for (int i = 0; i < 2; ++i) {
        IXMLDOMNodePtr record = Record(numbers[i]);
        EXPECT_NE(nullptr, record) << numbers[i].GetString();
        if (record)
            EXPECT_FALSE(FiledPdf(numbers[i]).IsEmpty()) << numbers[i].GetString();
    }

    // Closing while a search waits for its page stops the search, and the program ends.
    FixturePlan("/ops/3.2/rest-services/published-data/search/biblio", "delay=8000", 4);
    search("widget");
    ASSERT_TRUE(WaitUntil([] { return !FixtureLog("q=ti%3Dwidget").empty(); }, 10000));
    const DWORD asked = GetTickCount();
    EXPECT_TRUE(ProgramFolder::Close(hMain, run)) << m_folder.Log();
    std::printf("FIGURE close with a running search took %lu ms\n", GetTickCount() - asked);
}
