// The download queue window with real download threads against the fixture web server and
// the queue's test recipe (tests/data/queue/recipe.xml): what a start answers, the rows of
// running, finished and failed downloads with their pages, progress and rate, retries, the
// context menu, stopping every thread, and file-wrapper mode through the file-wrapper
// library (Wrapper.dll).
#include "DownloadManager.h"

#include "DataFiles.h"
#include "DownloadManagerMessages.h"
#include "FileCrypt.h"
#include "FixtureServer.h"
#include "OpsTokenCache.h"
#include "PageImageLock.h"
#include "PatentThread.h"
#include "ProgramOptions.h"
#include "RefusedKeys.h"
#include "RegEx.h"
#include "TestSupport.h"
#include "WindowBench.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

// The queue's owner, standing in for the project pane: keeps the records it is handed and
// the moments of the error sounds.
class CQueueOwner : public CWnd
{
public:
    LRESULT m_nAnswer = 1;  // what UM_ADD_DOCUMENT answers: 1 the record is taken
    std::vector<std::pair<CString, LPARAM>> m_records;
    std::vector<DWORD> m_errorSounds;
    std::function<void(const CString&)> m_onRecord;  // runs while the thread waits

protected:
    afx_msg LRESULT OnAddDocument(WPARAM wParam, LPARAM lParam)
    {
        const CString text = reinterpret_cast<const char*>(wParam);
        m_records.emplace_back(text, lParam);
        if (m_onRecord)
            m_onRecord(text);
        return m_nAnswer;
    }
    afx_msg LRESULT OnPlayErrorSound(WPARAM, LPARAM)
    {
        m_errorSounds.push_back(::GetTickCount());
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CQueueOwner, CWnd)
    ON_MESSAGE(UM_ADD_DOCUMENT, &CQueueOwner::OnAddDocument)
    ON_MESSAGE(UM_PLAY_ERROR_SOUND, &CQueueOwner::OnPlayErrorSound)
END_MESSAGE_MAP()


CString BuildFile(const char* relative)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    return CString(build ? build : ".") + "/" + relative;
}

// The queue's recipe with the fixture server's address, as the program's Download.cfg.
void InstallQueueRecipe()
{
    CFileCrypt crypt;
    CString text;
    ASSERT_EQ(crypt.ReadEncryptedFile(BuildFile("tests/data/queue.cfg"), text), 1);
    ASSERT_GT(text.Replace("http://fixture-server", FixtureBase()), 0);
    ASSERT_EQ(crypt.WriteEncryptedFile(text, GetAppDirectory() + "\\Download.cfg"), 1);
}

// The queue's recipe and the options with the save folder.
void InstallDataFiles(const CString& saveFolder)
{
    InstallQueueRecipe();
    ASSERT_TRUE(::CopyFileA(BuildFile("bin/config2.cfg"), GetAppDirectory() + "\\config2.cfg", FALSE));
    CProgramOptions options;
    ASSERT_EQ(options.SetOptionValue("SavePath", saveFolder), 1);
    options.Save();
}

// The Document element of a record text handed to the owner, in a DOM of its own.
IXMLDOMNodePtr RecordElement(const CString& record)
{
    IXMLDOMDocument2Ptr doc = CreateDomDocument();
    if (doc->loadXML(_bstr_t(record)) != VARIANT_TRUE)
        return nullptr;
    return doc->selectSingleNode(L"/Document");
}

// The path of the record's merged PDF; empty when it has none.
CString RecordPdf(const CString& record)
{
    IXMLDOMNodePtr element = RecordElement(record);
    IXMLDOMNodePtr item = element ? element->selectSingleNode(L"XMLCatalog/CatalogItem[@FileType='PDF']") : nullptr;
    CString path;
    if (item)
        GetXmlAttribute(item, "FilePath", path);
    return path;
}

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kRed = RGB(255, 0, 0);

// A page that keeps its download busy for about 16 seconds.
const char kSlowPage[] = "size=40000&slow=200&chunk=500";

class DownloadQueueTest : public FixtureTest
{
protected:
    static void SetUpTestSuite()
    {
        // The application creates the page-image lock before any download starts.
        static bool lockMade = false;
        if (!lockMade) {
            ::InitializeCriticalSection(&g_PageImageLock);
            lockMade = true;
        }
        ::CoInitialize(nullptr);
        s_pSave = new TempDir;
    }
    static void TearDownTestSuite()
    {
        delete s_pSave;
        s_pSave = nullptr;
        ::CoUninitialize();
    }

    void SetUp() override
    {
        FixtureTest::SetUp();
        static bool installed = false;
        if (!installed) {
            InstallDataFiles(SaveFolder());
            installed = true;
        }
        InitControls();
        ASSERT_TRUE(m_owner.CreateEx(0, nullptr, "Download queue", WS_POPUP | WS_VISIBLE | WS_CAPTION, 20, 20, 760, 250,
                                     nullptr, nullptr));
        ASSERT_TRUE(m_queue.Create(IDD_DOWNLOAD_MANAGER, &m_owner));
        m_queue.m_hOwner = m_owner.m_hWnd;
        CRect client;
        m_owner.GetClientRect(&client);
        m_queue.MoveWindow(&client);
        m_queue.ShowWindow(SW_SHOW);
        m_queue.m_strColumnWidths = "90,330,90,120,90,";
        m_queue.RestoreColumnWidths();
        PumpMessages(30);
    }

    void TearDown() override
    {
        m_queue.StopAllDownloads();
        EXPECT_TRUE(PumpUntil([this] { return m_queue.IsStopped(); }, 60000)) << "threads left running";
        m_queue.DestroyWindow();
        m_owner.DestroyWindow();
    }

    static CString SaveFolder() { return s_pSave->Path() + "\\"; }

    CXListCtrl& List() { return m_queue.GetList(); }
    // The row of a queued key ("US1111111"), or -1.
    int Row(const char* key)
    {
        const CString text = CString(" ") + key;
        for (int i = 0; i < List().GetItemCount(); ++i) {
            if (List().GetItemText(i, 0) == text)
                return i;
        }
        return -1;
    }
    int IdOf(const char* key)
    {
        const int row = Row(key);
        return row >= 0 ? static_cast<int>(List().GetItemData(row)) : 0;
    }
    CString Cell(const char* key, int col) { return List().GetItemText(Row(key), col); }
    // Text and background colour of every cell of the row, which all share them.
    bool RowColoured(const char* key, COLORREF crText, COLORREF crBack)
    {
        const int row = Row(key);
        if (row < 0)
            return false;
        for (int col = 0; col < 5; ++col) {
            const ListCellRecord* cell = List().GetCellRecord(row, col);
            if (!cell || cell->textColour != crText || cell->backColour != crBack)
                return false;
        }
        return true;
    }
    size_t Requests(const char* path) { return FixtureLog(path).size(); }
    bool WaitForRequests(const char* path, size_t count, DWORD ms = 15000)
    {
        return PumpUntil([&] { return Requests(path) >= count; }, ms);
    }
    bool WaitUntilGone(const char* key, DWORD ms = 30000)
    {
        return PumpUntil([&] { return Row(key) < 0 && !m_queue.FindJob(IdOf(key)); }, ms);
    }

    struct MenuStates
    {
        bool opened = false;
        bool retryEnabled = false;
        bool cancelEnabled = false;
    };
    // Right-clicks the row, notes the states of the menu's two items and chooses one with the
    // keyboard (0 "Retry Download", 1 "Cancel Download", -1 none).
    MenuStates UseContextMenu(const char* key, int choice)
    {
        // Nothing is selected before: the click itself selects the row the menu acts on.
        const int row = Row(key);
        List().SetItemState(-1, 0, LVIS_SELECTED);
        CRect rect;
        List().GetItemRect(row, &rect, LVIR_BOUNDS);
        const CPoint pt(rect.left + 40, rect.CenterPoint().y);
        auto states = std::make_shared<MenuStates>();
        HWND hList = List().m_hWnd;
        const LPARAM at = MAKELPARAM(pt.x, pt.y);
        AfterDelay(600, [states, choice] {
            HWND hMenuWnd = OwnMenuWindow();
            if (hMenuWnd) {
                states->opened = true;
                HMENU hMenu = reinterpret_cast<HMENU>(::SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0));
                const UINT disabled = MF_GRAYED | MF_DISABLED;
                states->retryEnabled = !(::GetMenuState(hMenu, ID_DOWNLOAD_RETRY, MF_BYCOMMAND) & disabled);
                states->cancelEnabled = !(::GetMenuState(hMenu, ID_DOWNLOAD_CANCEL, MF_BYCOMMAND) & disabled);
                if (choice < 0) {
                    ::EndMenu();
                } else {
                    for (int i = 0; i <= choice; ++i)
                        ::PostMessageA(hMenuWnd, WM_KEYDOWN, VK_DOWN, 0);
                    ::PostMessageA(hMenuWnd, WM_KEYDOWN, VK_RETURN, 0);
                }
            }
        });
        // The button goes up once the menu has closed (the menu would take it): the list's
        // own handling of the press waits for it.
        AfterDelay(1100, [hList, at] { ::PostMessageA(hList, WM_RBUTTONUP, 0, at); });
        // A menu the keys did not close is closed, but not a later test's menu.
        auto finished = std::make_shared<bool>(false);
        AfterDelay(4000, [finished] {
            if (!*finished && OwnMenuWindow())
                ::EndMenu();
        });
        List().PostMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
        PumpMessages(1800);
        *finished = true;
        return *states;
    }

    // The downloads were queued with retries on, and each fails once: its row says why (the
    // first line of the message) in the given-up colours, and it is not started again.
    void ExpectFailedForGood(const std::vector<const char*>& keys, const CString& why)
    {
        ASSERT_TRUE(PumpUntil([&] { return m_owner.m_errorSounds.size() == keys.size(); }, 30000));
        // Longer than the wait between attempts.
        PumpMessages(1800);
        EXPECT_EQ(m_owner.m_errorSounds.size(), keys.size()) << "no download is started again";
        for (const char* key : keys) {
            SCOPED_TRACE(key);
            EXPECT_EQ(Cell(key, 1), "Download Failed -- " + why);
            EXPECT_TRUE(RowColoured(key, kWhite, RGB(128, 128, 128))) << "given up";
            EXPECT_EQ(nullptr, m_queue.FindRetry(IdOf(key)));
        }
    }

    static TempDir* s_pSave;
    IXMLDOMDocument2Ptr m_project;
    CQueueOwner m_owner;
    CDownloadManager m_queue;
};

TempDir* DownloadQueueTest::s_pSave = nullptr;

} // namespace

// ------------------------------------------------------------------ starting

TEST_F(DownloadQueueTest, AStartAnswersWhatItDid)
{
    m_owner.m_nAnswer = 0;  // records are refused: every job stays in the queue
    EXPECT_EQ(1, m_queue.AddDownload("US1111111"));
    ASSERT_EQ(1, List().GetItemCount());
    EXPECT_EQ(CString(" US1111111"), List().GetItemText(0, 0));
    const int id = IdOf("US1111111");
    ASSERT_NE(nullptr, m_queue.GetThread(id));
    EXPECT_EQ(id, m_queue.GetThread(id)->m_nDownloadID) << "the row carries the thread's id";
    EXPECT_TRUE(List().GetCellRecord(0, 3)->isProgress);

    EXPECT_EQ(-1, m_queue.AddDownload("us 1,111,111")) << "the same number is queued already";
    EXPECT_EQ(-1, m_queue.AddDownload("1111111"));
    EXPECT_EQ(1, m_queue.AddDownload("US 1111111 B2")) << "another kind code is another document";
    EXPECT_EQ(CString(" US1111111B2"), List().GetItemText(0, 0)) << "the newest row is on top";
    EXPECT_EQ(CString("B2"), m_queue.GetThread(IdOf("US1111111B2"))->m_strKindCode);
    EXPECT_EQ(-2, m_queue.AddDownload(""));
    EXPECT_EQ(-2, m_queue.AddDownload(" / ,"));

    CMapStringToString index;
    index.SetAt("US2222222", "DOCUIDUS2222222");
    EXPECT_TRUE(m_queue.IsDownloading("US2222222")) << "no index attached";
    m_queue.m_pDocumentIndex = &index;
    EXPECT_EQ(-3, m_queue.AddDownload("2222222")) << "the project holds it";
    EXPECT_FALSE(m_queue.IsDownloading("US2222222"));
    EXPECT_TRUE(m_queue.IsDownloading("US1111111")) << "the queue itself is not looked at";
    EXPECT_EQ(2, List().GetItemCount());

    // The request fields and the source go into the new thread.
    m_queue.m_bFirstPageOnly = 1;
    m_queue.m_nPageLimit = 2;
    EXPECT_EQ(1, m_queue.StartDownload("US2222222A1", "QUEUE-US"));
    const CPatentThread* thread = m_queue.GetThread(IdOf("US2222222A1"));
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(CString("QUEUE-US"), thread->m_strLocationUID);
    EXPECT_TRUE(thread->m_bFirstPageOnly);
    EXPECT_EQ(2, thread->m_nPageLimit);
    EXPECT_EQ(CString("2222222"), thread->m_strBareNumber);
    EXPECT_EQ(SaveFolder() + "US2222222A1\\", thread->m_strTempFolderSlash);
    EXPECT_EQ(3, m_queue.GetJobCount());
}

TEST_F(DownloadQueueTest, AFinishedDocumentGoesToTheOwnerAndItsRowGoes)
{
    FixturePlan("/queue/2222222.html", "delay=3000");
    ASSERT_EQ(1, m_queue.AddDownload("US2222222"));
    ASSERT_EQ(1, m_queue.AddDownload("US3333333"));
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_records.size() == 2; }, 30000));

    // The first to finish had a second row beside it; the last was alone.
    const CString& first = m_owner.m_records[0].first;
    EXPECT_GE(first.Find("<?xml"), 0);
    EXPECT_GE(first.Find("Name=\"US3333333\""), 0) << first.GetString();
    EXPECT_GE(first.Find("DocumentTitle=\"Third queued widget\""), 0) << first.GetString();
    EXPECT_EQ(0, m_owner.m_records[0].second);
    EXPECT_GE(m_owner.m_records[1].first.Find("Name=\"US2222222\""), 0);
    EXPECT_EQ(1, m_owner.m_records[1].second);
    EXPECT_GE(first.Find(SaveFolder() + "US3333333\\US3333333.html"), 0) << "its catalog names the written file";
    // (The page files' folder is named in lower case.)
    EXPECT_EQ(0, (SaveFolder() + "US3333333\\US3333333.pdf").CompareNoCase(RecordPdf(first)))
        << "and the merged pages: " << RecordPdf(first).GetString();

    EXPECT_TRUE(WaitUntilGone("US3333333"));
    EXPECT_TRUE(WaitUntilGone("US2222222"));
    EXPECT_EQ(0, m_queue.GetJobCount());
    EXPECT_TRUE(m_owner.m_errorSounds.empty());
}

TEST_F(DownloadQueueTest, ARefusedRecordKeepsItsRowAndNoRetryIsScheduled)
{
    m_owner.m_nAnswer = 0;
    m_queue.m_nRetryFailed = 1;
    ASSERT_EQ(1, m_queue.AddDownload("US1111111"));
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_records.size() == 1; }, 30000));
    PumpMessages(700);
    EXPECT_EQ(0, Row("US1111111"));
    EXPECT_EQ(1, m_queue.GetJobCount());
    EXPECT_EQ(nullptr, m_queue.FindRetry(IdOf("US1111111")));
    EXPECT_TRUE(m_owner.m_errorSounds.empty());
}

// ------------------------------------------------------------------ progress

TEST_F(DownloadQueueTest, ProgressMessagesFillTheRow)
{
    FixturePlan("/queue/4444444.html", kSlowPage);
    ASSERT_EQ(1, m_queue.AddDownload("US4444444"));
    ASSERT_TRUE(WaitForRequests("/queue/4444444.html", 1));
    const int id = IdOf("US4444444");
    CPatentThread* thread = m_queue.GetThread(id);
    ASSERT_NE(nullptr, thread);
    PumpMessages(300);  // the thread is inside its page fetch and leaves its record alone

    struct Case
    {
        bool firstPageOnly;
        int pageLimit, current, total;
        double rate;
        const char* title;
        const char* pages;
        int percent;
        const char* rateText;
        const char* titleText;
    };
    const Case cases[] = {
        {false, 1, 3, 10, 12.345, "A  wide\r\n  title", "3/10", 30, "12.35", "A wide title"},
        {false, 1, 2, 3, 0.0, "", "2/3", 66, "0.00", ""},
        {false, 1, 1, 1, 1.0, "One", "Downloading", 100, "1.00", "One"},
        {false, 1, 0, 0, 0.0, "", "0/0", 0, "0.00", ""},
        {false, 1, -3, 10, 0.0, "", "-3/10", 0, "0.00", ""},
        {true, 2, 1, 10, 5.5, "", "1/2", 50, "5.50", ""},
        {true, 4, 3, 0, 0.0, "", "3/4", 75, "0.00", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pages);
        thread->m_bFirstPageOnly = c.firstPageOnly;
        thread->m_nPageLimit = c.pageLimit;
        thread->m_Status.m_nCurrentPage = c.current;
        thread->m_Status.m_nTotalPages = c.total;
        thread->m_Status.m_dRate = c.rate;
        thread->m_Status.m_strTitle = c.title;
        EXPECT_EQ(1, m_queue.SendMessage(UM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(id), 0));
        EXPECT_EQ(CString(c.pages), Cell("US4444444", 2));
        EXPECT_EQ(c.percent, List().GetCellRecord(Row("US4444444"), 3)->percent);
        EXPECT_EQ(CString(c.rateText), Cell("US4444444", 4));
        EXPECT_EQ(CString(c.titleText), Cell("US4444444", 1));
        EXPECT_EQ(CString(" US4444444"), Cell("US4444444", 0));
        EXPECT_TRUE(RowColoured("US4444444", kBlack, kWhite));
    }

    EXPECT_EQ(0, m_queue.SendMessage(UM_DOWNLOAD_PROGRESS, 12345, 0)) << "no such download";
    m_queue.CancelDownload(id);
    EXPECT_EQ(0, m_queue.SendMessage(UM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(id), 0)) << "a stopping download";
    EXPECT_TRUE(WaitUntilGone("US4444444", 15000)) << "a cancel stops the running fetch";
}

TEST_F(DownloadQueueTest, ThreeDownloadsShowTheirPagesProgressAndRate)
{
    struct Seen
    {
        std::set<std::string> pages;
        std::set<int> percents;
        std::set<std::string> titles;
        std::vector<std::string> rates;
    };
    const char* const keys[] = {"US1111111", "US2222222", "US3333333"};
    const char* const titles[] = {"First queued widget", "Second queued widget", "Third queued widget"};
    for (const char* key : keys)
        ASSERT_EQ(1, m_queue.StartDownload(key, "QUEUE-SLOW"));
    EXPECT_EQ(3, List().GetItemCount());

    // The rows as they change while the pages come in (each takes about two seconds).
    std::map<std::string, Seen> seen;
    auto sample = [&] {
        for (const char* key : keys) {
            const int row = Row(key);
            if (row < 0 || Cell(key, 2).IsEmpty())
                continue;
            Seen& s = seen[key];
            s.pages.insert(Cell(key, 2).GetString());
            s.percents.insert(List().GetCellRecord(row, 3)->percent);
            s.titles.insert(Cell(key, 1).GetString());
            s.rates.push_back(Cell(key, 4).GetString());
        }
        return m_owner.m_records.size() == 3;
    };
    ASSERT_TRUE(PumpUntil(sample, 90000));

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(keys[i]);
        const Seen& s = seen[keys[i]];
        EXPECT_EQ((std::set<std::string>{"1/3", "2/3", "3/3"}), s.pages);
        EXPECT_EQ((std::set<int>{33, 66, 100}), s.percents);
        EXPECT_EQ((std::set<std::string>{titles[i]}), s.titles);
        double fastest = 0;
        for (const std::string& rate : s.rates) {
            RegEx twoDecimals("^\\d+\\.\\d\\d$", false);
            EXPECT_TRUE(twoDecimals.Search(rate.c_str())) << rate;
            fastest = std::max(fastest, std::atof(rate.c_str()));
        }
        EXPECT_GT(fastest, 0.0) << "the rate of the last page fetch";
    }

    // Every record names its merged PDF, which the queue then finds in the project.
    CString documents;
    for (const auto& record : m_owner.m_records) {
        const CString pdf = RecordPdf(record.first);
        std::string bytes;
        ASSERT_TRUE(ReadBytes(pdf, bytes)) << pdf.GetString();
        EXPECT_EQ(0u, bytes.find("%PDF-")) << pdf.GetString();
        documents += record.first.Mid(record.first.Find("<Document"));
    }
    m_project = CreateDomDocument();
    ASSERT_EQ(VARIANT_TRUE, m_project->loadXML(_bstr_t("<Project><Documents>" + documents + "</Documents></Project>")));
    m_queue.m_ppProjectDocument = std::addressof(m_project);
    const CString found = m_queue.FindDownloadedDocument("2222222");
    EXPECT_EQ(0, (SaveFolder() + "US2222222\\US2222222.pdf").CompareNoCase(found)) << found.GetString();
    for (const char* key : keys)
        EXPECT_TRUE(WaitUntilGone(key));
}

// ------------------------------------------------------------------ failures and retries

TEST_F(DownloadQueueTest, AFailedDownloadIsRetriedAfterTheWaitAndThenGivenUp)
{
    struct Case
    {
        const char* key;
        int waitMs;      // as the owner pushes it: WaitTimeBetweenAttempts times 1000
        int limit;
        size_t runs;     // the first run and its automatic restarts
        DWORD minGapMs;
    };
    const Case cases[] = {
        {"US5555555", 0, 2, 3, 900},     // an option that is no number waits one second
        {"US5555556", 1600, 0, 2, 1500},  // a limit below 1 still restarts once
    };
    m_queue.m_nRetryFailed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        m_owner.m_errorSounds.clear();
        m_queue.m_nWaitBetweenAttempts = c.waitMs;
        m_queue.m_nAttemptLimit = c.limit;
        ASSERT_EQ(1, m_queue.AddDownload(c.key));
        const int id = IdOf(c.key);
        const CString path = CString("/queue/") + CString(c.key).Mid(2) + ".html";

        ASSERT_TRUE(PumpUntil([&] { return m_owner.m_errorSounds.size() == 1; }, 15000));
        PumpMessages(100);
        EXPECT_TRUE(RowColoured(c.key, kYellow, kRed)) << "failed colours";
        EXPECT_EQ(CString("Download Failed -- Reattempting Download"), Cell(c.key, 1));
        ASSERT_NE(nullptr, m_queue.FindRetry(id));
        EXPECT_EQ(0, m_queue.FindRetry(id)->nAttempts);

        ASSERT_TRUE(PumpUntil([&] { return m_owner.m_errorSounds.size() == c.runs; }, 20000));
        PumpMessages(200);
        EXPECT_TRUE(RowColoured(c.key, kWhite, RGB(128, 128, 128))) << "given-up colours";
        EXPECT_EQ(CString("Download Failed -- Reattempting Download"), Cell(c.key, 1));
        EXPECT_EQ(nullptr, m_queue.FindRetry(id));
        for (size_t i = 1; i < c.runs; ++i)
            EXPECT_GE(m_owner.m_errorSounds[i] - m_owner.m_errorSounds[i - 1], c.minGapMs) << "restart " << i;

        PumpMessages(static_cast<DWORD>(std::max(c.waitMs, 1000) + 700));
        EXPECT_EQ(c.runs, m_owner.m_errorSounds.size()) << "given up: never restarted";
        EXPECT_EQ(c.runs, Requests(path));
        EXPECT_NE(-1, Row(c.key)) << "a given-up row stays";
    }
}

TEST_F(DownloadQueueTest, ARetryThatSucceedsHandsTheDocumentOver)
{
    FixturePlan("/queue/1111111.html", "fault=empty");
    m_queue.m_nRetryFailed = 1;
    m_queue.m_nWaitBetweenAttempts = 1000;
    m_queue.m_nAttemptLimit = 3;
    ASSERT_EQ(1, m_queue.AddDownload("US1111111"));
    const int id = IdOf("US1111111");
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_errorSounds.size() == 1; }, 15000));
    PumpMessages(100);
    EXPECT_TRUE(RowColoured("US1111111", kYellow, kRed));
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_records.size() == 1; }, 15000));
    EXPECT_GE(m_owner.m_records[0].first.Find("DocumentTitle=\"First queued widget\""), 0);
    EXPECT_EQ(nullptr, m_queue.FindRetry(id));
    EXPECT_TRUE(WaitUntilGone("US1111111"));
    EXPECT_EQ(2u, Requests("/queue/1111111.html"));
}

TEST_F(DownloadQueueTest, TheContextMenuRetriesAndCancels)
{
    // A failed download without automatic retries.
    ASSERT_EQ(1, m_queue.AddDownload("US6666666"));
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_errorSounds.size() == 1; }, 15000));
    PumpMessages(100);
    EXPECT_EQ(CString("Download Failed"), Cell("US6666666", 1));
    EXPECT_TRUE(RowColoured("US6666666", kYellow, kRed));

    MenuStates states = UseContextMenu("US6666666", 0);
    ASSERT_TRUE(states.opened);
    EXPECT_TRUE(states.retryEnabled);
    EXPECT_TRUE(states.cancelEnabled);
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_errorSounds.size() == 2; }, 15000)) << "Retry ran it again";
    EXPECT_EQ(2u, Requests("/queue/6666666.html"));

    // A running download: Retry is off, Cancel takes it away at once.
    FixturePlan("/queue/1111111.html", kSlowPage);
    ASSERT_EQ(1, m_queue.AddDownload("US1111111"));
    ASSERT_TRUE(WaitForRequests("/queue/1111111.html", 1));
    states = UseContextMenu("US1111111", 1);
    ASSERT_TRUE(states.opened);
    EXPECT_FALSE(states.retryEnabled);
    EXPECT_TRUE(states.cancelEnabled);
    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(WaitUntilGone("US1111111", 15000));
    EXPECT_LT(::GetTickCount() - start, 8000u) << "the page would have taken 16 s";

    states = UseContextMenu("US6666666", 1);
    EXPECT_TRUE(states.opened);
    EXPECT_TRUE(states.cancelEnabled);
    EXPECT_TRUE(WaitUntilGone("US6666666"));
    EXPECT_EQ(0, m_queue.GetJobCount());
    EXPECT_TRUE(m_owner.m_records.empty());
}

// Cancel on a download whose reply stalls (part of it, then nothing, the connection held open)
// takes it away within a second, in the Process step as in a page transfer: nothing is handed
// to the owner, and nothing of it stays in the save folder.
TEST_F(DownloadQueueTest, ACancelTakesAStalledDownloadAwayAtOnceAndFilesNothing)
{
    const struct
    {
        const char* what;
        const char* key;
        const char* path;  // stalls
        const char* stall;
    } cases[] = {
        {"Process step", "US1111111", "/queue/1111111.html", "fault=stall&part=40"},
        {"page transfer", "US2222222", "/engine/images/p2.tif", "fault=stall&part=380"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FixturePlan(c.path, c.stall);
        ASSERT_EQ(1, m_queue.AddDownload(c.key));
        ASSERT_TRUE(WaitForRequests(c.path, 1));
        PumpMessages(500);
        ASSERT_GE(Row(c.key), 0);

        const DWORD start = ::GetTickCount();
        m_queue.CancelDownload(IdOf(c.key));
        EXPECT_TRUE(WaitUntilGone(c.key, 15000));
        const DWORD took = ::GetTickCount() - start;
        std::printf("FIGURE Cancel took a download whose %s stalled away after %lu ms\n", c.what,
                    static_cast<unsigned long>(took));
        EXPECT_LT(took, 5000u);
        EXPECT_FALSE(FileExists(SaveFolder() + c.key));
    }
    EXPECT_EQ(0, m_queue.GetJobCount());
    EXPECT_TRUE(m_owner.m_records.empty());
    EXPECT_TRUE(m_owner.m_errorSounds.empty());
}

TEST_F(DownloadQueueTest, RetryFromTheMenuStartsTheAttemptsAgain)
{
    // One automatic restart allowed, after a wait longer than the test.
    m_queue.m_nRetryFailed = 1;
    m_queue.m_nAttemptLimit = 1;
    m_queue.m_nWaitBetweenAttempts = 60000;
    ASSERT_EQ(1, m_queue.AddDownload("US6666666"));
    const int id = IdOf("US6666666");
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_errorSounds.size() == 1; }, 15000));
    ASSERT_NE(nullptr, m_queue.FindRetry(id));

    ASSERT_TRUE(UseContextMenu("US6666666", 0).retryEnabled);
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_errorSounds.size() == 2; }, 15000));
    PumpMessages(100);
    // Counted from the start again: a restart is still scheduled, not given up.
    ASSERT_NE(nullptr, m_queue.FindRetry(id));
    EXPECT_EQ(0, m_queue.FindRetry(id)->nAttempts);
    EXPECT_TRUE(RowColoured("US6666666", kYellow, kRed));
}

// ------------------------------------------------------------------ causes no attempt can mend

namespace {

struct QueueBox
{
    CString caption;
    CString text;
};
std::vector<QueueBox> g_queueBoxes;

int WINAPI RecordQueueBox(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    g_queueBoxes.push_back(QueueBox{caption, text});
    return IDOK;
}

// The queue's messages go to the record while it lives.
struct QueueBoxes
{
    QueueBoxes()
    {
        g_queueBoxes.clear();
        CDownloadManager::s_pfnMessageBox = &RecordQueueBox;
    }
    ~QueueBoxes() { CDownloadManager::s_pfnMessageBox = &::MessageBoxA; }
};

} // namespace

TEST_F(DownloadQueueTest, ARecipeThatCannotBeReadFailsEveryDownloadOnceAndSaysWhy)
{
    QueueBoxes boxes;
    m_queue.m_nRetryFailed = 1;
    m_queue.m_nWaitBetweenAttempts = 1000;
    m_queue.m_nAttemptLimit = 3;
    const CString recipe = GetAppDirectory() + "\\Download.cfg";
    struct RecipeBack
    {
        ~RecipeBack() { InstallQueueRecipe(); }
    } back;
    const struct
    {
        const char* what;
        const char* bytes;  // null: no file
        const char* reason;
        std::vector<const char*> keys;
    } cases[] = {
        {"missing", nullptr, "it is missing", {"US1111111", "US2222222"}},
        {"damaged", "a recipe cut short", "it is damaged", {"US3333333", "US4444444"}},
    };
    for (size_t i = 0; i < 2; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.what);
        FixtureReset();
        if (c.bytes)
            ASSERT_TRUE(WriteBytes(recipe, c.bytes));
        else
            ::DeleteFileA(recipe);
        m_owner.m_errorSounds.clear();
        for (const char* key : c.keys)
            ASSERT_EQ(1, m_queue.AddDownload(key));
        const CString why = CString("The recipe file Download.cfg cannot be read: ") + c.reason + ".";
        ExpectFailedForGood(c.keys, why);
        EXPECT_TRUE(FixtureLog("/queue/").empty()) << "nothing is asked without a recipe";
        // One message for the cause, however many downloads it fails.
        ASSERT_EQ(g_queueBoxes.size(), i + 1);
        EXPECT_EQ(g_queueBoxes[i].caption, "Download Failed");
        EXPECT_EQ(g_queueBoxes[i].text, why + "\n" + recipe +
                                            "\nSearches and downloads need this file. Please install Zentrova "
                                            "again to restore it.");
    }
    // With the recipe back, Retry files the document.
    InstallQueueRecipe();
    ASSERT_FALSE(HasFatalFailure());
    m_queue.RestartDownload(IdOf("US1111111"));
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_records.size() == 1; }, 30000));
    EXPECT_TRUE(WaitUntilGone("US1111111"));
    EXPECT_EQ(g_queueBoxes.size(), 2u);
}

// Keys the OPS token endpoint refuses, the program's own (no keys of the user's) or the
// user's: each download fails once and says why, one message per cause tells where the keys
// go, and once the token endpoint takes the keys set again, Retry files the document.
TEST_F(DownloadQueueTest, RefusedOpsKeysFailEveryDownloadOnceAndSayWhereTheKeysGo)
{
    QueueBoxes boxes;
    m_queue.m_nRetryFailed = 1;
    m_queue.m_nWaitBetweenAttempts = 1000;
    m_queue.m_nAttemptLimit = 3;
    // A token granted before would be used: the requests then ask for a new one.
    FixtureExpireTokens();
    const std::vector<KeyRefusal> refusals = KeyRefusals();
    const std::vector<const char*> numbers[] = {{"EP1000000", "EP2345678"}, {"EP1500000", "EP3000000"}};
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(refusals[i].what);
        RefusedKeys refused(refusals[i]);
        m_owner.m_errorSounds.clear();
        for (const char* number : numbers[i])
            ASSERT_EQ(1, m_queue.StartDownload(number, "QUEUE-OPS"));
        const CString text = COpsTokenCache::KeyFaultText(refusals[i].fault);
        ExpectFailedForGood(numbers[i], text.Left(text.Find('\n')));
        ASSERT_EQ(g_queueBoxes.size(), i + 1);
        EXPECT_EQ(g_queueBoxes[i].caption, "Download Failed");
        EXPECT_EQ(g_queueBoxes[i].text, text);
    }
    // The token endpoint takes the keys set again: Retry files the document.
    COpsTokenCache::SetConsumerKeys("my-consumer-key", "my-consumer-secret");
    m_queue.RestartDownload(IdOf("EP1500000"));
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_records.size() == 1; }, 30000));
    EXPECT_GE(m_owner.m_records[0].first.Find("DocumentTitle=\"Sorting machine for parcels\""), 0);
    EXPECT_EQ(g_queueBoxes.size(), 2u);
    COpsTokenCache::SetConsumerKeys("", "");
}

TEST_F(DownloadQueueTest, StopAllDownloadsEndsEveryThread)
{
    // Two inside a slow page fetch, one inside the transfer of a page image.
    std::vector<HANDLE> handles;
    for (const char* number : {"1111111", "2222222", "3333333"}) {
        const CString key = CString("US") + number;
        if (handles.size() < 2) {
            FixturePlan(CString("/queue/") + number + ".html", kSlowPage);
            ASSERT_EQ(1, m_queue.AddDownload(key));
        } else {
            ASSERT_EQ(1, m_queue.StartDownload(key, "QUEUE-SLOW"));
        }
        HANDLE h = nullptr;
        ::DuplicateHandle(::GetCurrentProcess(), m_queue.GetThread(IdOf(key))->m_hThread, ::GetCurrentProcess(), &h,
                          SYNCHRONIZE, FALSE, 0);
        handles.push_back(h);
    }
    ASSERT_TRUE(WaitForRequests("/queue/", 3));
    ASSERT_TRUE(WaitForRequests("/engine/images/p1.tif", 1));
    EXPECT_TRUE(m_queue.IsStopped()) << "stopped until a stop begins";

    m_queue.StopAllDownloads();
    EXPECT_FALSE(m_queue.IsStopped()) << "three threads are still running";
    ASSERT_TRUE(PumpUntil([&] { return m_queue.IsStopped(); }, 30000));
    for (HANDLE h : handles) {
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(h, 0)) << "every thread has ended";
        ::CloseHandle(h);
    }
    EXPECT_EQ(0, m_queue.GetJobCount());
    EXPECT_EQ(0, List().GetItemCount());
    EXPECT_TRUE(m_owner.m_records.empty());
    EXPECT_TRUE(m_owner.m_errorSounds.empty());
}

// ------------------------------------------------------------------ widths and look-ups

TEST_F(DownloadQueueTest, ColumnWidthsComeBackOrFallBackToShares)
{
    m_queue.m_strColumnWidths = "80,400,60,60,60,";
    m_queue.RestoreColumnWidths();
    EXPECT_EQ(CString("80,400,60,60,60,"), m_queue.GetColumnWidths());

    CRect client;
    List().GetClientRect(&client);
    for (const char* text : {"80,400,", "", "a,b,c,d,e,"}) {
        m_queue.m_strColumnWidths = text;
        m_queue.RestoreColumnWidths();
        EXPECT_EQ(static_cast<int>(client.Width() * 0.1), List().GetColumnWidth(0)) << '"' << text << '"';
        EXPECT_EQ(static_cast<int>(client.Width() * 0.6), List().GetColumnWidth(1)) << '"' << text << '"';
    }
}

TEST_F(DownloadQueueTest, FindDownloadedDocumentReadsTheProjectsRecord)
{
    EXPECT_EQ(CString(""), m_queue.FindDownloadedDocument("US1234567")) << "no project attached";
    m_project = CreateDomDocument();
    ASSERT_EQ(VARIANT_TRUE,
              m_project->loadXML(_bstr_t(
                  "<Project><Documents>"
                  "<Document Name=\"US1234567B2\"><XMLCatalog>"
                  "<CatalogItem FilePath=\"c:\\p\\US1234567B2\\a.html\"/>"
                  "<CatalogItem FilePath=\"c:\\p\\US1234567B2\\US1234567B2.pdf\"/>"
                  "<CatalogItem FilePath=\"c:\\p\\US1234567B2\\b.html\"/>"
                  "</XMLCatalog></Document>"
                  "<Document Name=\"US7777777\"><XMLCatalog>"
                  "<CatalogItem FilePath=\"c:\\p\\US7777777\\a.html\"/>"
                  "<CatalogItem FilePath=\"c:\\p\\US7777777\\b.HTML\"/>"
                  "</XMLCatalog></Document>"
                  "</Documents></Project>")));
    m_queue.m_ppProjectDocument = std::addressof(m_project);
    const std::pair<const char*, const char*> cases[] = {
        {"US 1234567 B2", "c:\\p\\US1234567B2\\US1234567B2.pdf"},
        {"us7777777", "c:\\p\\US7777777\\b.HTML"},  // no PDF: the last file
        {"US9999999", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CString(c.second), m_queue.FindDownloadedDocument(c.first)) << c.first;
}

// ------------------------------------------------------------------ the PCT look-up

// The shipped recipe in place of the queue's while it lives.
struct ShippedRecipe
{
    ShippedRecipe()
    {
        installed = ::CopyFileA(BuildFile("bin/Download.cfg"), GetAppDirectory() + "\\Download.cfg", FALSE) != FALSE;
    }
    ~ShippedRecipe() { InstallQueueRecipe(); }
    bool installed = false;
};

// The PCT look-up searches of the log: the CQL of each, in order.
std::vector<CString> LookupQueries()
{
    std::vector<CString> queries;
    for (const LoggedRequest& r : FixtureLog("/published-data/search?q=ap")) {
        const int q = r.target.Find("?q=");
        queries.push_back(r.target.Mid(q + 3));
    }
    return queries;
}

TEST_F(DownloadQueueTest, APctNumberFromTheListsCheckQueuesThePublicationItsLookupFinds)
{
    // The shipped recipe's look-up source asks the fixture server's imitation of OPS.
    ShippedRecipe recipe;
    ASSERT_TRUE(recipe.installed);
    // Both come at once: the second waits for the first's answer. The service knows the
    // first application (its WO publication is WO2004012345 A1) and not the second, which is
    // then queued as typed, without its slashes and "PCT".
    ASSERT_TRUE(WriteBytes(SaveFolder() + "WipoLinks.html", "Title HREF (WO1999999999A1)"));
    EXPECT_EQ(CString(""), m_queue.FindDownloadedDocument("PCT/EP2003/008123"));
    m_queue.FindDownloadedDocument("PCT/EP2003/008123");  // asked again while it runs: once
    m_queue.FindDownloadedDocument("PCT/US2099/000001");
    EXPECT_EQ(0, List().GetItemCount()) << "a look-up has no row";

    ASSERT_TRUE(PumpUntil([&] { return !m_owner.m_records.empty(); }, 60000));
    const CString& record = m_owner.m_records[0].first;
    EXPECT_GE(record.Find("Name=\"WO2004012345A1\""), 0) << record.GetString();
    EXPECT_GE(record.Find("DocumentTitle=\"Battery pack with thermal widgets\""), 0) << record.GetString();
    ASSERT_TRUE(PumpUntil([&] { return Row("US2099000001") >= 0; }, 30000))
        << List().GetItemCount() << " rows";

    const std::vector<CString> queries = LookupQueries();
    ASSERT_EQ(queries.size(), 2u);
    EXPECT_EQ(queries[0], CString("ap%3DEP2003008123"));
    EXPECT_EQ(queries[1], CString("ap%3DUS2099000001"));
    EXPECT_FALSE(FileExists(SaveFolder() + "WipoLinks.html")) << "the answer is read once";
    EXPECT_TRUE(FixtureLog("WO1999999999").empty()) << "an old answer is never read";
}

// ------------------------------------------------------------------ file-wrapper mode

TEST_F(DownloadQueueTest, FileWrapperModeFetchesOnePdfThroughTheLibrary)
{
    std::string served;
    ASSERT_TRUE(ReadBytes(DataPath("web/external/filewrapper/7654321.pdf"), served));
    struct Case
    {
        BYTE showDialog;
        const char* firstPage;  // the record's FirstPage
        bool firstPageOnly;     // the thread's flag after the download
    };
    for (const Case& c : {Case{0, "1", true}, Case{1, "0", false}}) {
        SCOPED_TRACE(int(c.showDialog));
        m_owner.m_records.clear();
        m_queue.m_nFileWrapperMode = 1;
        m_queue.m_bShowWrapperDialog = c.showDialog;
        bool firstPageOnly = !c.firstPageOnly;
        int id = 0;
        m_owner.m_onRecord = [&](const CString&) {
            id = IdOf("7654321");
            firstPageOnly = m_queue.GetThread(id)->m_bFirstPageOnly;
        };
        ASSERT_EQ(1, m_queue.AddDownload("7654321"));
        ASSERT_TRUE(PumpUntil([&] { return m_owner.m_records.size() == 1; }, 30000));
        const CString& record = m_owner.m_records[0].first;
        EXPECT_GE(record.Find("Wrapper=\"1\""), 0) << record.GetString();
        EXPECT_GE(record.Find(CString("FirstPage=\"") + c.firstPage + "\""), 0) << record.GetString();
        EXPECT_EQ(c.firstPageOnly, firstPageOnly);

        CString file;
        file.Format("%sFW7654321\\%d_1_0.pdf", SaveFolder().GetString(), id);
        EXPECT_GE(record.Find("FilePath=\"" + file + "\""), 0) << record.GetString();
        EXPECT_GE(record.Find("DownloadSourceName=\"USPTO\" FileSize=\"200406\" FileType=\"PDF\""), 0)
            << record.GetString();
        std::string written;
        ASSERT_TRUE(ReadBytes(file, written));
        EXPECT_TRUE(written == served);
        EXPECT_TRUE(WaitUntilGone("7654321"));
        m_owner.m_onRecord = nullptr;
    }
}

TEST_F(DownloadQueueTest, FileWrapperModeFailsWithoutAFileAndStopsOnTheLibrarysCancel)
{
    m_queue.m_nFileWrapperMode = 1;

    // The transfer breaks off: the library leaves no file, and the download fails.
    FixturePlan("/external/filewrapper/7654321.pdf", "fault=truncate", 2);
    ASSERT_EQ(1, m_queue.AddDownload("7654321"));
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_errorSounds.size() == 1; }, 30000));
    PumpMessages(100);
    EXPECT_TRUE(m_owner.m_records.empty()) << "no record without a file";
    EXPECT_EQ(CString("Download Failed"), Cell("7654321", 1));
    m_queue.CancelDownload(IdOf("7654321"));
    ASSERT_TRUE(WaitUntilGone("7654321"));

    // The user cancels in the library: the queue hears UM_CANCEL_DOWNLOAD and stops the job.
    FixtureReset();
    FixturePlan("/external/filewrapper/7654321.pdf", "slow=50&chunk=1000", 2);
    ASSERT_EQ(1, m_queue.AddDownload("7654321"));
    ASSERT_TRUE(WaitForRequests("/external/filewrapper/7654321.pdf", 2));
    PumpMessages(500);
    const int id = IdOf("7654321");
    m_queue.GetThread(id)->m_Wrapper.Cancel();
    EXPECT_TRUE(WaitUntilGone("7654321", 15000));
    EXPECT_EQ(1u, m_owner.m_errorSounds.size()) << "a cancel is no failure";
    EXPECT_TRUE(m_owner.m_records.empty());
}

TEST(FileWrapperPath, NamesTheFileAfterTheDownloadAndTheCounter)
{
    CPatentThread thread;
    thread.m_nDownloadID = 1234;
    thread.m_nThreadCounter = 2;
    thread.m_strTempFolderSlash = "c:\\Patent Downloads\\FW7654321\\";
    EXPECT_EQ(CString("c:\\Patent Downloads\\FW7654321\\1234_1_2.pdf"), thread.FileWrapperOutputPath());
}

// ------------------------------------------------------------------ for review

TEST_F(DownloadQueueTest, ScreenshotOfARunningAFailedAndAFinishedRow)
{
    FixturePlan("/queue/3333333.html", "delay=2500");
    ASSERT_EQ(1, m_queue.AddDownload("US3333333"));
    ASSERT_EQ(1, m_queue.AddDownload("US6666666"));
    ASSERT_EQ(1, m_queue.StartDownload("US4444444", "QUEUE-SLOW"));

    // The finished row is shown while the owner takes its record; its row goes afterwards.
    const char* build = std::getenv("ZENTROVA_BUILD");
    const CString path = CString(build ? build : "/tmp") + "/screenshots/download-queue.png";
    CString why;
    bool saved = false;
    m_owner.m_onRecord = [&](const CString&) {
        EXPECT_EQ(CString("Download Failed"), Cell("US6666666", 1));
        EXPECT_TRUE(m_queue.GetThread(IdOf("US4444444"))->m_nBusy) << "still running";
        EXPECT_NE(CString(""), Cell("US4444444", 2)) << "among its pages";
        EXPECT_EQ(CString("3/3"), Cell("US3333333", 2));
        m_queue.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        saved = SaveScreenshot(path, &why);
    };
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_records.size() == 1; }, 30000));
    m_owner.m_onRecord = nullptr;
    if (!saved)
        GTEST_SKIP() << "no screenshot: " << why.GetString();
    std::printf("screenshot: %s\n", path.GetString());
}
