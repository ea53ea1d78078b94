// The search pane in the test program, on a host window, with its own test recipe
// (tests/data/searchpane/recipe.xml) against the fixture server: the location list, the Basic
// page built from a location's fields, whole searches through the real pane and its search
// thread (rows, paging, status, balloons, the size guard, stops, a start that overlaps a
// stopped run), and the Search Results page's own work (sorting, the clipboard text, the
// context menu's rules, downloads handed to the queue and their balloons).
#include "SearchContainer.h"
#include "SearchSessions.h"

#include "BalloonHelp.h"
#include "DataFiles.h"
#include "DownloadManager.h"
#include "FileCrypt.h"
#include "FixtureServer.h"
#include "NewMenu.h"
#include "RefusedKeys.h"
#include "SearchThread.h"
#include "TestSupport.h"
#include "WindowBench.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

using namespace testsupport;

namespace {

struct Balloon
{
    CString title;
    CString content;
    CPoint anchor;
    const char* icon = nullptr;
    unsigned options = 0;
    CString url;
    unsigned timeout = 0;
};

std::vector<Balloon> g_balloons;

void RecordBalloon(const char* title, const char* content, const CPoint& anchor, const char* icon, unsigned options,
                   CWnd*, const CString& url, unsigned timeout)
{
    g_balloons.push_back(Balloon{title, content, anchor, icon, options, url, timeout});
}

struct Box
{
    CString text;
    CString caption;
    UINT type = 0;
};
std::vector<Box> g_boxes;

int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    g_boxes.push_back(Box{text, caption, type});
    return IDOK;
}

std::vector<CString> BalloonTitles()
{
    std::vector<CString> titles;
    for (const Balloon& b : g_balloons)
        titles.push_back(b.title);
    return titles;
}

// The test recipe with the fixture server's address, as the program folder's Download.cfg.
void InstallRecipe()
{
    std::string bytes;
    ASSERT_TRUE(ReadBytes(DataPath("searchpane/recipe.xml"), bytes));
    CString text(bytes.c_str(), static_cast<int>(bytes.size()));
    text.Replace("http://fixture-server", FixtureBase());
    CFileCrypt crypt;
    ASSERT_EQ(crypt.WriteEncryptedFile(text, GetAppDirectory() + "\\Download.cfg"), 1);
}

class CPaneHost : public CWnd
{
public:
    BOOL CreateHost()
    {
        InitControls();
        return CreateEx(0, nullptr, "Search pane", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 860, 600, nullptr,
                        nullptr);
    }
};

const int kList = 0;  // "Zeta result list"
const int kOps = 1;   // "Alpha OPS imitation"
const int kBare = 2;  // "Mu bare location"
const int kForm = 3;  // "Form location"

class SearchPaneTest : public FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        g_balloons.clear();
        g_boxes.clear();
        CSearchResults::s_pfnLaunchBalloon = &RecordBalloon;
        CSearchContainer::s_pfnMessageBox = &RecordBox;
        InstallRecipe();
        ASSERT_TRUE(host.CreateHost());
        ASSERT_TRUE(pane.Create(IDD_SEARCH_CONTAINER, &host));
        pane.MoveWindow(0, 0, 860, 600);
        // The session chooser is offered on its own test; here it would stop the run modally.
        CSearchSessions::s_bChooserOffered = true;
        pane.ShowWindow(SW_SHOW);
        pane.ReloadSearchLocation();
        // As the main window does once it shows.
        Results().SetColumnWidths();
        PumpMessages(50);
    }

    void TearDown() override
    {
        if (pane.m_hWnd) {
            pane.StopSearchThread();
            EXPECT_TRUE(PumpUntil([this] { return pane.IsSearchThreadEnded() != 0; }, 30000));
            pane.DestroyWindow();
        }
        if (host.m_hWnd)
            host.DestroyWindow();
        CSearchResults::s_pfnLaunchBalloon = &CBalloonHelp::LaunchBalloon;
        CSearchContainer::s_pfnMessageBox = &::MessageBoxA;
    }

    void SelectLocation(int index)
    {
        pane.GetLocationCombo().SetCurSel(index);
        pane.OnSelchangeSearchLocation();
    }

    CBasicSearch& Basic() { return pane.GetBasicPage(); }
    CSearchResults& Results() { return pane.GetResultsPage(); }
    CXListCtrl& List() { return pane.GetResultsPage().m_listResults; }

    // Types the terms into the first row (and picks the combo's option) and presses Start Search.
    void Search(const char* terms, int option = 0)
    {
        Basic().GetEdits().at(0)->SetWindowText(terms);
        if (!Basic().GetCombos().empty())
            Basic().GetCombos()[0]->SetCurSel(option);
        PressStart();
    }

    void PressStart()
    {
        Basic().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BASIC_START_SEARCH, BN_CLICKED),
                            reinterpret_cast<LPARAM>(Basic().GetStartButton().m_hWnd));
    }

    // The run has ended when the Start Search button is enabled again.
    bool WaitForEnd(DWORD ms = 30000)
    {
        return PumpUntil([this] { return Basic().GetStartButton().IsWindowEnabled() != FALSE; }, ms);
    }

    std::vector<CString> Column(int column)
    {
        std::vector<CString> texts;
        for (int i = 0; i < List().GetItemCount(); ++i)
            texts.push_back(List().GetItemText(i, column));
        return texts;
    }

    CPaneHost host;
    CSearchContainer pane;
};

void SaveShot(const char* name)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    CString path = CString(build ? build : "/tmp") + "/screenshots/" + name;
    CString why;
    if (SaveScreenshot(path, &why))
        std::printf("screenshot: %s\n", path.GetString());
    else
        std::printf("no screenshot %s: %s\n", name, why.GetString());
}

// ---------------------------------------------------------------- locations and the form

TEST_F(SearchPaneTest, LocationsStandInFileOrderWithTheirUidsAndTheFirstIsBuiltOnce)
{
    CComboBox& combo = pane.GetLocationCombo();
    ASSERT_EQ(combo.GetCount(), 4);
    const char* names[] = {"Zeta result list", "Alpha OPS imitation", "Mu bare location", "Form location"};
    const char* uids[] = {"PANELIST", "PANEOPS", "PANEBARE", "PANEFORM"};
    for (int i = 0; i < 4; ++i) {
        CString text;
        combo.GetLBText(i, text);
        EXPECT_EQ(text, names[i]);
        EXPECT_EQ(static_cast<int>(combo.GetItemData(i)), i);
        EXPECT_EQ(pane.LocationUID(i), uids[i]);
    }
    EXPECT_EQ(pane.LocationUID(7), "");
    // The first showing built the first location; later showings and a reselection do not.
    EXPECT_EQ(pane.GetLastLocationIndex(), 0);
    EXPECT_EQ(Results().m_strLocationUID, "PANEDOCS");
    ASSERT_EQ(Basic().GetEdits().size(), 1u);
    CMyEdit* pFirst = Basic().GetEdits()[0];
    pFirst->SetWindowText("kept");
    pane.ReloadSearchLocation();
    SelectLocation(0);
    ASSERT_EQ(Basic().GetEdits().size(), 1u);
    EXPECT_EQ(Basic().GetEdits()[0], pFirst);

    // A location without any node leaves the page without rows, notes or Help.
    SelectLocation(kBare);
    EXPECT_TRUE(Basic().GetEdits().empty());
    EXPECT_TRUE(Basic().GetLabels().empty());
    EXPECT_EQ(Basic().GetNotesLabel().GetText(), "");
    EXPECT_FALSE(Basic().GetHelpButton().IsWindowVisible());
    EXPECT_FALSE(Basic().GetQueriesLink().IsWindowVisible());  // location index 2
    EXPECT_EQ(Results().m_strLocationUID, "");                 // no TargetUID
}

TEST_F(SearchPaneTest, BasicPageIsBuiltFromTheLocationsFields)
{
    SelectLocation(kForm);
    CBasicSearch& page = Basic();
    EXPECT_EQ(Results().m_strLocationUID, "PANEFORMDOCS");
    EXPECT_EQ(page.m_nLabelWidth, 100);
    ASSERT_EQ(page.GetLabels().size(), 5u);
    ASSERT_EQ(page.GetEdits().size(), 2u);   // W1, W2; the "Edit" row has its label only
    ASSERT_EQ(page.GetCombos().size(), 2u);
    const char* labels[] = {"Words", "Field", "Field", "Only a label", "Operator"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(page.GetLabels()[i]->GetText(), labels[i]) << i;
    const char* names[] = {"W1", "FIELDTYPE1", "W2", "NOTE", "NOTE"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(page.GetRowNames().at(i), names[i]) << i;
    EXPECT_EQ(page.GetEdits()[0]->GetFieldId(), 0);
    EXPECT_EQ(page.GetEdits()[1]->GetFieldId(), 2);
    EXPECT_EQ(page.GetCombos()[0]->GetCurSel(), 0);   // ForceDefault "1"
    EXPECT_EQ(page.GetCombos()[0]->GetSelectedValue(), "TI");
    EXPECT_EQ(page.GetCombos()[1]->GetCurSel(), 0);  // ForceDefault repeats from the row before
    EXPECT_EQ(page.GetCombos()[1]->GetCount(), 2);

    // The grid: left column at x 150, right column after the labels; 25 pixels per line.
    CRect client;
    page.GetClientRect(&client);
    const int W = client.Width();
    const int F = (W - 50 - 2 * 100 - 32) / 2;
    auto rectOf = [&page](CWnd* p) {
        CRect r;
        p->GetWindowRect(&r);
        page.ScreenToClient(&r);
        return r;
    };
    const CRect w1 = rectOf(page.GetEdits()[0]);
    const CRect w2 = rectOf(page.GetEdits()[1]);
    const CRect field = rectOf(page.GetLabels()[1]);
    EXPECT_EQ(w1.left, 150);
    EXPECT_EQ(w1.Width(), F);
    EXPECT_EQ(w1.Height(), 16);
    EXPECT_EQ(w2.left, 150);
    EXPECT_EQ(w2.top - w1.top, 25);
    EXPECT_EQ(field.left, 100 + F + 54);
    EXPECT_EQ(field.Width(), 100);
    EXPECT_EQ(rectOf(page.GetCombos()[0]).left, 2 * 100 + F + 68);
    // Notes with their line break, Help for the link, the queries link shown off location 2.
    EXPECT_EQ(page.GetNotesLabel().GetText(), "First line\nSecond line");
    EXPECT_TRUE(page.GetHelpButton().IsWindowVisible());
    EXPECT_EQ(page.GetHelpLink(), FixtureBase() + "/help.html");
    EXPECT_TRUE(page.GetQueriesLink().IsWindowVisible());
    EXPECT_EQ(rectOf(&page.GetQueriesLink()).top, page.GetRowsBottom() + 61);

    // Enter anywhere composes the query and runs it; the pane shows it after "Query: ".
    page.GetEdits()[0]->SetWindowText("solar panel");
    MSG msg{};
    msg.hwnd = page.GetEdits()[0]->m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_RETURN;
    EXPECT_TRUE(page.PreTranslateMessage(&msg));
    EXPECT_EQ(page.GetQueryText(), "solar panel");
    CString value;
    ASSERT_TRUE(page.m_Parameters.Lookup("SEARCHSTRING", value));
    EXPECT_EQ(value, "solar and panelTIAND");
    EXPECT_EQ(pane.GetSheet().GetActiveIndex(), 2);
    EXPECT_EQ(WindowText(Results().GetQueryCaption().m_hWnd), "Query: solar panel");
    // This location has no recipe: the run ends at once with nothing found.
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(BalloonTitles(), std::vector<CString>{"No Documents Found"});
}

TEST_F(SearchPaneTest, SearchTermsTravelBetweenLocations)
{
    SelectLocation(kList);
    Basic().GetEdits()[0]->SetWindowText("a");
    SelectLocation(kBare);   // index 2 keeps edit 0's term (and the list location has one row)
    SelectLocation(kOps);    // index 1: edit 0 gets it back
    ASSERT_EQ(Basic().GetEdits().size(), 1u);
    EXPECT_EQ(Basic().GetEditText(0), "a");
    Basic().GetEdits()[0]->SetWindowText("typed on 1");
    SelectLocation(kList);   // index 0 restores the slots as they stood
    EXPECT_EQ(Basic().GetEditText(0), "a");
}

// ---------------------------------------------------------------- searches through the pane

TEST_F(SearchPaneTest, SearchFillsRowsAcrossPagesAndStopsInTheMiddle)
{
    SelectLocation(kList);
    FixturePlan("/search/list/page1.html", "delay=4000");
    Search("solar");
    EXPECT_TRUE(Results().m_bSearchRunning);
    EXPECT_FALSE(Basic().GetStartButton().IsWindowEnabled());
    EXPECT_TRUE(Results().GetStopButton().IsWindowEnabled());
    EXPECT_TRUE(Results().GetProgressBar().IsWindowVisible());
    ASSERT_TRUE(PumpUntil([this] { return List().GetItemCount() == 10; }, 20000));
    const CString status = Results().GetStatusLabel().GetText();
    EXPECT_EQ(status.Left(27), "Read Entries 1 - 10 of 25 @") << status.GetString();
    EXPECT_EQ(status.Right(5), " KBps");
    EXPECT_TRUE(Results().m_bCopyAllowed);
    EXPECT_EQ(List().GetItemText(0, 0), " 1.");
    EXPECT_EQ(List().GetItemText(9, 0), " 10.");
    SaveShot("search-results-running.png");

    // STOP SEARCH while the second page is on its way.
    Results().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RESULTS_STOP, BN_CLICKED),
                          reinterpret_cast<LPARAM>(Results().GetStopButton().m_hWnd));
    EXPECT_FALSE(Results().m_bSearchRunning);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(List().GetItemCount(), 10);
    EXPECT_EQ(BalloonTitles(), std::vector<CString>{"Search Stopped"});
    EXPECT_EQ(g_balloons[0].content,
              "You have stopped the search.  If you want to continue searching, please return to the Basic Search or "
              "Advanced Search to enter your query.");
    EXPECT_EQ(g_balloons[0].timeout, 4000u);
    EXPECT_EQ(g_balloons[0].options, 0xC00u);
    EXPECT_FALSE(Results().GetProgressBar().IsWindowVisible());
    EXPECT_FALSE(Results().GetStopButton().IsWindowEnabled());
    EXPECT_EQ(pane.GetSearchThread()->m_bCancel, 0);

    // A new search runs whole: every page, numbered on across them, no balloon.
    g_balloons.clear();
    Search("solar");
    ASSERT_TRUE(WaitForEnd());
    ASSERT_EQ(List().GetItemCount(), 25);
    EXPECT_EQ(List().GetItemText(10, 0), " 11.");
    EXPECT_EQ(List().GetItemText(24, 0), " 25.");
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(static_cast<int>(List().GetItemData(i)), i + 1);
        EXPECT_EQ(List().GetCheckbox(i, 1), 0);
        CString number;
        EXPECT_TRUE(Results().m_ResultMap.Lookup(i + 1, number));
        EXPECT_EQ(number, List().GetItemText(i, 2));
    }
    EXPECT_TRUE(g_balloons.empty());
    EXPECT_EQ(Results().GetStatusLabel().GetText(), "");
    EXPECT_EQ(WindowText(Results().GetQueryCaption().m_hWnd), "Query: solar");
    const std::vector<LoggedRequest> starts = FixtureLog("/search/list/start.html");
    ASSERT_FALSE(starts.empty());
    EXPECT_NE(starts.back().target.Find("q=solar"), -1) << starts.back().target.GetString();
}

TEST_F(SearchPaneTest, NothingFoundShowsItsBalloonAndTheEmptyListText)
{
    SelectLocation(kList);
    Search("nothing", 1);  // the empty list
    ASSERT_TRUE(WaitForEnd());
    ASSERT_EQ(g_balloons.size(), 1u);
    EXPECT_EQ(g_balloons[0].title, "No Documents Found");
    EXPECT_EQ(g_balloons[0].content.Left(69),
              "Sorry, but no patent documents relating to your search query were fou");
    EXPECT_EQ(g_balloons[0].url, "http://www.quendal.example/support/search-faq");
    EXPECT_EQ(g_balloons[0].icon, IDI_WARNING);
    CRect client;
    pane.GetClientRect(&client);
    EXPECT_EQ(g_balloons[0].anchor, CPoint((client.Width() - 100) / 2 + 100, client.Height() / 2));
    EXPECT_EQ(List().GetEmptyText(), "No documents matched your search query.");
    EXPECT_FALSE(Results().m_bCopyAllowed);
    EXPECT_FALSE(Results().GetCopyButton().IsWindowEnabled());
}

const char kOpsSearchPath[] = "/ops/3.2/rest-services/published-data/search/biblio";

// A search whose answer failed says why in its balloon and its status line; the rows read
// before stay, and a search without rows shows the reason where the rows would be.
TEST_F(SearchPaneTest, AFailedSearchSaysWhyAndKeepsItsRows)
{
    SelectLocation(kOps);
    const struct
    {
        int page;
        const char* answer;
        const char* title;
        CString content;
        const char* status;
        int rows;
    } cases[] = {
        {2, "opsfault=403", "Search Refused",
         "The search service refused the request: 403 Forbidden.\nCLIENT.QuotaExceeded: This request has been "
         "rejected due to the violation of Fair Use policy",
         "The search service refused the request.", 100},
        {1, "fault=truncate", "Search Incomplete", "The search service's answer broke off, so the list is incomplete.",
         "The result list is incomplete.", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        FixtureReset();
        g_balloons.clear();
        if (c.page == 2)
            FixturePlan(kOpsSearchPath, "", 2);
        FixturePlan(kOpsSearchPath, c.answer, 2);
        Search("coupling");
        ASSERT_TRUE(WaitForEnd());
        ASSERT_EQ(BalloonTitles(), std::vector<CString>{c.title});
        EXPECT_EQ(g_balloons[0].content, c.content);
        EXPECT_EQ(g_balloons[0].icon, IDI_WARNING);
        EXPECT_EQ(List().GetItemCount(), c.rows);
        EXPECT_EQ(Results().GetStatusLabel().GetText(), c.status);
        EXPECT_EQ(Results().m_bCopyAllowed != 0, c.rows > 0);
        if (c.rows == 0)
            EXPECT_EQ(List().GetEmptyText(), c.content);
        else
            EXPECT_EQ(List().GetItemText(0, 2), "EP3100001");
        if (c.page == 2) {
            PumpMessages(200);
            SaveShot("search-results-refused.png");
        }
    }
    // The next search clears the note.
    FixtureReset();
    g_balloons.clear();
    Search("coupling");
    ASSERT_TRUE(WaitForEnd());
    EXPECT_TRUE(g_balloons.empty());
    EXPECT_EQ(List().GetItemCount(), 300);
    EXPECT_EQ(Results().GetStatusLabel().GetText(), "");
}

// A page of 5,000 results where the answers name a total of 230: the results numbered past
// the total are not listed, and the list says it is incomplete.
TEST_F(SearchPaneTest, RowsBeyondTheAnswersTotalAreNotListedAndTheListSaysItIsIncomplete)
{
    SelectLocation(kOps);
    // Each page is asked twice.
    FixturePlan(kOpsSearchPath, "total=230&repeat=50", 6);
    Search("coupling");
    ASSERT_TRUE(WaitForEnd(60000));
    EXPECT_EQ(List().GetItemCount(), 230);
    ASSERT_EQ(BalloonTitles(), std::vector<CString>{"Search Incomplete"});
    EXPECT_EQ(g_balloons[0].content, "The search service gave more results than the total it named; those beyond "
                                     "the total are not listed, so the list is incomplete.");
    EXPECT_EQ(Results().GetStatusLabel().GetText(), "The result list is incomplete.");
    std::vector<CString> ranges;
    for (const LoggedRequest& r : FixtureLog(kOpsSearchPath))
        ranges.push_back(r.target.Mid(r.target.Find("Range=") + 6));
    EXPECT_EQ(ranges, (std::vector<CString>{"1-100", "1-100", "101-200", "101-200", "201-300", "201-300"}));
}

// A search that cannot search at all, for its recipe file or for the OPS keys, says why: the
// first time its cause is met in a message box, later in its balloon; each run in its status
// line and where the rows would be.
TEST_F(SearchPaneTest, ASearchThatCannotRunIsToldOnceThenInItsBalloon)
{
    SelectLocation(kOps);
    const CString recipe = GetAppDirectory() + "\\Download.cfg";
    struct Case
    {
        const char* what;
        std::function<void()> prepare;
        CString text;
        const char* status;
    };
    const std::vector<KeyRefusal> refusals = KeyRefusals();
    std::unique_ptr<RefusedKeys> refused;
    const Case cases[] = {
        {"a missing recipe", [&] { ::DeleteFileA(recipe); },
         "The recipe file Download.cfg cannot be read: it is missing.\n" + recipe +
             "\nSearches and downloads need this file. Please install Zentrova again to restore it.",
         "The recipe file cannot be read."},
        {"no keys of the user's",
         [&] {
             InstallRecipe();
             FixtureExpireTokens();
             refused = std::make_unique<RefusedKeys>(refusals[0]);
         },
         COpsTokenCache::KeyFaultText(refusals[0].fault), "The OPS keys are missing or refused."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        const CString first = c.text.Left(c.text.Find('\n'));
        for (int run = 0; run < 2; ++run) {
            SCOPED_TRACE(run == 0 ? "first search" : "second search");
            g_boxes.clear();
            g_balloons.clear();
            Search("coupling");
            ASSERT_TRUE(WaitForEnd());
            PumpMessages(300);
            if (run == 0) {
                ASSERT_EQ(g_boxes.size(), 1u);
                EXPECT_EQ(g_boxes[0].caption, "Search Failed");
                EXPECT_EQ(g_boxes[0].text, c.text);
                EXPECT_TRUE(g_balloons.empty());
            } else {
                EXPECT_TRUE(g_boxes.empty()) << "told once";
                ASSERT_EQ(BalloonTitles(), std::vector<CString>{"Search Failed"});
                EXPECT_EQ(g_balloons[0].content, c.text);
            }
            EXPECT_EQ(List().GetItemCount(), 0);
            EXPECT_EQ(Results().GetStatusLabel().GetText(), c.status);
            EXPECT_EQ(List().GetEmptyText(), first);
        }
    }
    refused.reset();
}

// STOP SEARCH while the server holds the second page half sent ends the search at once.
TEST_F(SearchPaneTest, StopEndsASearchWhoseAnswerStalled)
{
    SelectLocation(kOps);
    FixturePlan(kOpsSearchPath, "", 2);
    FixturePlan(kOpsSearchPath, "fault=stall&part=2000", 2);
    Search("coupling");
    ASSERT_TRUE(PumpUntil([this] { return List().GetItemCount() == 100; }, 30000));
    PumpMessages(500);
    const DWORD stopped = GetTickCount();
    Results().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RESULTS_STOP, BN_CLICKED),
                          reinterpret_cast<LPARAM>(Results().GetStopButton().m_hWnd));
    ASSERT_TRUE(WaitForEnd(60000));
    const DWORD took = GetTickCount() - stopped;
    std::printf("FIGURE STOP SEARCH during a stalled answer: the search ended after %lu ms\n",
                static_cast<unsigned long>(took));
    EXPECT_LT(took, 20000u);  // the server would hold the answer for minutes
    EXPECT_EQ(BalloonTitles(), std::vector<CString>{"Search Stopped"});
    EXPECT_EQ(List().GetItemCount(), 100);
}

TEST_F(SearchPaneTest, TenThousandResultsStopTheSearchWithTheGuardBox)
{
    SelectLocation(kOps);
    Search("fastening");
    ASSERT_TRUE(WaitForEnd());
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].caption, "Extra Large Number of Search Results Found");
    EXPECT_EQ(g_boxes[0].type, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
    EXPECT_EQ(g_boxes[0].text.Left(54), "Your search query found 10000 search results and has b");
    EXPECT_EQ(g_boxes[0].text.Find("XXXX"), -1);
    // The page that was waiting comes in with the last message, then the stop's balloon.
    EXPECT_GT(List().GetItemCount(), 0);
    EXPECT_EQ(List().GetItemText(0, 0), " 1.");
    EXPECT_EQ(BalloonTitles(), std::vector<CString>{"Search Stopped"});
    // One page asked for (every fetch asks twice: its first part, then the whole page).
    EXPECT_EQ(FixtureLog("published-data/search").size(), 2u);

    // A total beyond 32 bits is named as the service gave it.
    FixtureReset();
    g_boxes.clear();
    FixturePlan(kOpsSearchPath, "total=99999999999", 2);
    Search("coupling");
    ASSERT_TRUE(WaitForEnd());
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text.Left(60), "Your search query found 99999999999 search results and has b");
}

TEST_F(SearchPaneTest, StartWhileRunningStopsAndOnlyTheLatestStartCounts)
{
    SelectLocation(kList);
    // A second Start Search while a search runs stops it instead of starting another.
    FixturePlan("/search/list/page0.html", "delay=4000");
    Search("first");
    PressStart();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(BalloonTitles(), std::vector<CString>{"Search Stopped"});

    // Stopped from the results page, the run is still ending when the next search starts: its
    // last message must not end the new search.
    g_balloons.clear();
    FixtureReset();
    FixturePlan("/search/list/page0.html", "delay=4000");
    Search("stopped");
    ASSERT_TRUE(PumpUntil([] { return FixtureLog("/search/list/page0.html").size() == 1; }, 10000));
    Results().OnStopSearch();
    EXPECT_FALSE(Results().m_bSearchRunning);
    const int stoppedTag = pane.GetRunTag();
    Search("latest");
    EXPECT_GT(pane.GetRunTag(), stoppedTag);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_TRUE(g_balloons.empty()) << (g_balloons.empty() ? "" : g_balloons[0].title.GetString());
    ASSERT_EQ(List().GetItemCount(), 25);
    EXPECT_EQ(List().GetItemText(0, 0), " 1.");
    EXPECT_EQ(WindowText(Results().GetQueryCaption().m_hWnd), "Query: latest");
    const std::vector<LoggedRequest> starts = FixtureLog("/search/list/start.html");
    ASSERT_EQ(starts.size(), 4u);  // every fetch asks twice
    EXPECT_NE(starts[2].target.Find("q=latest"), -1) << starts[2].target.GetString();
}

// ---------------------------------------------------------------- the results page's own work

const char kResultSet[] =
    "<ResultSet>\r\n"
    "\t<Result ID=\"1\">\r\n\t\t<PATNUM>1234567_A1</PATNUM>\r\n\t\t<TITLE>Beta &amp; gamma</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"2\">\r\n\t\t<PATNUM>US.7000001</PATNUM>\r\n\t\t<TITLE>alpha</TITLE>\r\n\t</Result>\r\n"
    "\t<Result ID=\"3\">\r\n\t\t<PATNUM>EP2000000</PATNUM>\r\n\t\t<TITLE>Alpha</TITLE>\r\n\t</Result>\r\n"
    "</ResultSet>\r\n";

TEST_F(SearchPaneTest, HeaderClicksSortBothWaysAndRenumber)
{
    pane.AddResultRows(kResultSet);
    ASSERT_EQ(Column(2), (std::vector<CString>{"1234567", "US.7000001", "EP2000000"}));
    EXPECT_EQ(Column(0), (std::vector<CString>{" 1.", " 2.", " 3."}));
    List().SetCheckbox(2, 1, 1);

    auto click = [this](int column) {
        HWND hHeader = List().GetHeader().m_hWnd;
        NMHEADERA nm{};
        nm.hdr.hwndFrom = hHeader;
        nm.hdr.idFrom = 0;
        nm.hdr.code = HDN_ITEMCLICKA;
        nm.iItem = column;
        List().SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    };
    click(3);
    const std::vector<CString> first = Column(3);
    click(3);
    const std::vector<CString> second = Column(3);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_TRUE((first == std::vector<CString>{"Alpha", "Beta & gamma", "alpha"} &&
                 second == std::vector<CString>{"alpha", "Beta & gamma", "Alpha"}) ||
                (second == std::vector<CString>{"Alpha", "Beta & gamma", "alpha"} &&
                 first == std::vector<CString>{"alpha", "Beta & gamma", "Alpha"}));
    EXPECT_EQ(Column(0), (std::vector<CString>{"1.", "2.", "3."}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(static_cast<int>(List().GetItemData(i)), i + 1);
        CString number;
        ASSERT_TRUE(Results().m_ResultMap.Lookup(i + 1, number));
        EXPECT_EQ(number, List().GetItemText(i, 2));
        EXPECT_EQ(List().GetCheckbox(i, 1), List().GetItemText(i, 2) == "EP2000000" ? 1 : 0);
    }

    // The number and check-box columns do not sort; nor does anything while a search runs.
    const std::vector<CString> before = Column(2);
    click(0);
    EXPECT_EQ(Column(2), before);
    EXPECT_EQ(List().GetSortColumn(), 3);
    Results().m_bSearchRunning = 1;
    click(2);
    EXPECT_EQ(Column(2), before);
    Results().m_bSearchRunning = 0;
}

TEST_F(SearchPaneTest, ClipboardHoldsEveryRowByteForByte)
{
    auto clipboard = [this]() {
        CString text;
        if (!::OpenClipboard(Results().m_hWnd))
            return CString("<not open>");
        if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
            if (const char* p = static_cast<const char*>(::GlobalLock(h))) {
                text = p;
                ::GlobalUnlock(h);
            }
        }
        ::CloseClipboard();
        return text;
    };
    Results().OnCopyResultsToClipboard();
    EXPECT_EQ(clipboard(), "Search results provided by Zentrova International 4.0\r\n\r\n");

    pane.AddResultRows(kResultSet);
    Results().OnCopyResultsToClipboard();
    EXPECT_EQ(clipboard(), "Search results provided by Zentrova International 4.0\r\n\r\n"
                           "1234567\tBeta & gamma\r\n"
                           "7000001\talpha\r\n"
                           "EP2000000\tAlpha\r\n");
    // The clipboard is free again for anyone.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::CloseClipboard();
}

TEST_F(SearchPaneTest, ContextMenuItemsFollowThePagesState)
{
    auto states = [this]() {
        CNewMenu menu;
        EXPECT_TRUE(menu.LoadMenu(IDR_CONTEXT_MENUS));
        CMenu* pPopup = menu.GetSubMenu(2);
        Results().PrepareContextMenu(pPopup);
        CString grey;
        for (UINT id : {ID_RESULTS_DOWNLOAD_SELECTED, ID_RESULTS_DOWNLOAD_FIRST_PAGE, ID_RESULTS_COPY_TO_CLIPBOARD,
                        ID_RESULTS_STOP_SEARCH, ID_RESULTS_ADD_TO_REPORT, ID_RESULTS_REMOVE_FROM_REPORT})
            grey += (::GetMenuState(pPopup->m_hMenu, id, MF_BYCOMMAND) & MF_GRAYED) ? "g" : "e";
        return grey;
    };
    // Order: download, first page, copy, stop, add, remove.
    EXPECT_EQ(states(), "gggggg");
    Results().m_bSearchRunning = 1;
    EXPECT_EQ(states(), "gggegg");
    Results().m_bSearchRunning = 0;
    pane.AddResultRows(kResultSet);
    Results().m_bCopyAllowed = 1;
    EXPECT_EQ(states(), "ggeggg");
    List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(states(), "eeegee");
}

// A results page whose download queue answers as the test says.
class CScriptedResults : public CSearchResults
{
public:
    std::vector<int> answers;
    struct Call
    {
        CString number;
        bool bFirstPage;
        CString uid;
    };
    std::vector<Call> calls;

    int StartDownload(const CString& number, bool bFirstPageOnly) override
    {
        calls.push_back(Call{number, bFirstPageOnly, m_strLocationUID});
        const int r = answers.empty() ? 1 : answers.front();
        if (!answers.empty())
            answers.erase(answers.begin());
        return r;
    }
    CString FindDownloadedDocument(const CString& number) override { return "C:\\lib\\" + number + ".pdf"; }
};

TEST_F(SearchPaneTest, DownloadsGoToTheQueueWithTheTargetAndAnswerInBalloons)
{
    CScriptedResults page;
    CDownloadManager queue;
    ASSERT_TRUE(page.Create(IDD_SEARCH_RESULTS, &host));
    page.MoveWindow(0, 0, 700, 300);
    page.m_strLocationUID = "PANEDOCS";
    const char* numbers[] = {"US1", "US2", "US3", "US4"};
    for (int i = 0; i < 4; ++i) {
        page.m_listResults.InsertItem(i, "");
        page.m_listResults.SetItemText(i, 2, numbers[i]);
        page.m_listResults.SetItemData(i, static_cast<DWORD_PTR>(i + 1));
        page.m_ResultMap.SetAt(i + 1, numbers[i]);
    }
    page.m_listResults.m_ptLastRightClick = CPoint(300, 200);
    // The balloons stand in the main window's client coordinates.
    CPoint base(300, 200);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->ScreenToClient(&base);

    // Nothing selected: no balloon for the whole download, "Status..." for the first pages.
    page.m_pDownloadManager = &queue;
    page.OnDownloadSelected();
    EXPECT_TRUE(g_balloons.empty());
    page.OnDownloadFirstPageOnly();
    ASSERT_EQ(BalloonTitles(), std::vector<CString>{"Status..."});
    EXPECT_EQ(g_balloons[0].content, "Your documents are now being downloaded.");
    EXPECT_EQ(g_balloons[0].options, 0x1C00u);
    g_balloons.clear();

    // Three selected rows, two in the library already: their balloons stack 50 pixels apart,
    // the status balloon below them.
    for (int i : {0, 1, 3})
        page.m_listResults.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    page.answers = {-3, 1, -3};
    page.OnDownloadSelected();
    ASSERT_EQ(page.calls.size(), 3u);
    EXPECT_EQ(page.calls[0].number, "US1");
    EXPECT_EQ(page.calls[2].number, "US4");
    EXPECT_EQ(page.calls[0].uid, "PANEDOCS");
    EXPECT_FALSE(page.calls[0].bFirstPage);
    ASSERT_EQ(BalloonTitles(), (std::vector<CString>{"Status", "Click to Open", "Click to Open"}));
    EXPECT_EQ(g_balloons[0].content, "Your documents are being downloaded.");
    EXPECT_EQ(g_balloons[0].anchor.y, base.y + 100);
    EXPECT_EQ(g_balloons[0].icon, IDI_QUESTION);
    EXPECT_EQ(g_balloons[1].content, "Document US4 already downloaded.");
    EXPECT_EQ(g_balloons[1].anchor.y, base.y + 50);
    EXPECT_EQ(g_balloons[1].url, "C:\\lib\\US4.pdf");
    EXPECT_EQ(g_balloons[2].content, "Document US1 already downloaded.");
    EXPECT_EQ(g_balloons[2].anchor.y, base.y);
    EXPECT_EQ(g_balloons[2].icon, IDI_INFORMATION);

    // -1 and -2 in the status text.
    g_balloons.clear();
    page.calls.clear();
    page.answers = {-1, -2, 1};
    page.OnDownloadSelected();
    ASSERT_EQ(BalloonTitles(), std::vector<CString>{"Status"});
    EXPECT_EQ(g_balloons[0].content, "Your documents are being downloaded.\nDocument US1 is already being "
                                     "downloaded.\nAn Error Occurred attempting to download US2\n");

    // First pages only: the queue is told, and every refusal is listed.
    g_balloons.clear();
    page.calls.clear();
    page.answers = {-1, -2, -3};
    page.OnDownloadFirstPageOnly();
    ASSERT_EQ(page.calls.size(), 3u);
    EXPECT_TRUE(page.calls[1].bFirstPage);
    ASSERT_EQ(BalloonTitles(), std::vector<CString>{"An Error Occured..."});
    EXPECT_EQ(g_balloons[0].content,
              "Sorry, at least 1 Document could not be downloaded because:  \n\n"
              "\tDocument \"US1\" is currently being downloaded.\n"
              "\tAn Error Occured attempting to download \"US2\"\n"
              "\tDocument \"US4\" is already in the current project.\n");

    // Without a queue nothing starts.
    page.calls.clear();
    g_balloons.clear();
    page.m_pDownloadManager = nullptr;
    page.OnDownloadSelected();
    EXPECT_TRUE(page.calls.empty());
    EXPECT_TRUE(g_balloons.empty());
    page.DestroyWindow();
}

TEST_F(SearchPaneTest, AddSelectionToReportTicksTheSelectedRows)
{
    pane.AddResultRows(kResultSet);
    List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    List().SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    // The command comes from the page's menu through the sheet to the pane.
    Results().SendMessage(WM_COMMAND, MAKEWPARAM(ID_RESULTS_ADD_TO_REPORT, 0), 0);
    EXPECT_EQ(List().GetCheckbox(0, 1), 1);
    EXPECT_EQ(List().GetCheckbox(1, 1), 0);
    EXPECT_EQ(List().GetCheckbox(2, 1), 1);
    EXPECT_EQ(Results().GetSelectAllBox().GetCheck(), BST_UNCHECKED);
    List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    pane.OnAddSelectionToReport();
    EXPECT_EQ(Results().GetSelectAllBox().GetCheck(), BST_CHECKED);
}

TEST_F(SearchPaneTest, ScreenshotOfTheBasicPageFilled)
{
    SelectLocation(kForm);
    Basic().GetEdits()[0]->SetWindowText("solar panel");
    Basic().GetEdits()[1]->SetWindowText("roof mount");
    Basic().GetCombos()[1]->SetCurSel(1);
    host.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(std::getenv("HOLD") ? 8000 : 300);
    SaveShot("search-pane-basic.png");
}

} // namespace
