// searchbench: times a Basic Search of the program's recipe as the user runs it: the search
// pane (on a window of its own) and its real search thread, with the Download.cfg beside the
// program, against the web server that ZENTROVA_SERVICE_BASE names (bench/search_bench.sh
// starts the fixture server with real-size result pages).
//   searchbench [--location NAME] [--terms TEXT] [--runs N]
// Defaults: the location "European Patent Office", the terms "siemens", 2 runs (the first
// one warms up the server, the program's libraries and the token).
// It prints, for every result page of every run, one line
//   BENCHMARK run R page P: N rows, wall W ms, cpu C ms; STAGE MS, ... , other MS (ms)
// with the time since the previous page (wall), the processor time the pane's thread and the
// search thread spent on it (cpu), the sums of the stage clock for the page (the search
// thread's fetch, extraction, keys, templates and result-set text, the pane's parse and
// rows, and the list's painting, which waits here until the page is painted) and the rest of
// the wall time; then per run
//   BENCHMARK run R: N rows on P pages in W ms (cpu C ms); per 100 results: wall W ms, cpu C ms; STAGE MS, ...
// It judges none of the figures. Exit code 1 when the search could not be run.
#include "SearchContainer.h"
#include "SearchSessions.h"

#include "BalloonHelp.h"
#include "SearchResults.h"
#include "SearchThread.h"
#include "SearchThreadMessages.h"
#include "StageClock.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Stages = std::vector<std::pair<std::string, double>>;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// User and kernel time of a thread, in milliseconds.
double ThreadCpu(HANDLE hThread)
{
    FILETIME created, ended, kernel, user;
    if (!hThread || !GetThreadTimes(hThread, &created, &ended, &kernel, &user))
        return 0.0;
    auto ms = [](const FILETIME& f) {
        return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

void Add(Stages& into, const Stages& more)
{
    for (const auto& stage : more) {
        bool found = false;
        for (auto& entry : into) {
            if (entry.first == stage.first) {
                entry.second += stage.second;
                found = true;
                break;
            }
        }
        if (!found)
            into.push_back(stage);
    }
}

double Sum(const Stages& stages)
{
    double sum = 0;
    for (const auto& stage : stages)
        sum += stage.second;
    return sum;
}

std::string StageText(const Stages& stages, double scale, double other)
{
    std::string text;
    char one[96];
    for (const auto& stage : stages) {
        std::snprintf(one, sizeof one, "%s%s %.1f", text.empty() ? "" : ", ", stage.first.c_str(), stage.second * scale);
        text += one;
    }
    std::snprintf(one, sizeof one, "%sother %.1f (ms)", text.empty() ? "" : ", ", other * scale);
    return text + one;
}

bool PumpOne()
{
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= timeoutMs)
            return done();
        if (!PumpOne())
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void NoBalloon(const char*, const char*, const CPoint&, const char*, unsigned, CWnd*, const CString&, unsigned) {}

int WINAPI NoBox(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    std::printf("searchbench: message box \"%s\": %s\n", caption, text);
    return IDOK;
}

class CBenchHost : public CWnd
{
public:
    BOOL CreateHost()
    {
        return CreateEx(0, nullptr, "Search benchmark", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1000, 700,
                        nullptr, nullptr);
    }
};

// One page as the pane took it.
struct PageFigures
{
    int rows = 0;
    double wall = 0;
    double cpu = 0;
    Stages stages;
};

// The pane's window procedure is wrapped: after the pane has handled a page of the run (the
// search thread waits in its SendMessage meanwhile) the list is painted and the page's
// figures are taken.
struct Meter
{
    CSearchContainer* pPane = nullptr;
    WNDPROC pfnPane = nullptr;
    HANDLE hSearchThread = nullptr;
    double lastWall = 0;
    double lastCpu = 0;
    int lastRows = 0;
    std::vector<PageFigures> pages;

    double Cpu() const { return ThreadCpu(::GetCurrentThread()) + ThreadCpu(hSearchThread); }

    void Begin()
    {
        TakeStageTimes();
        pages.clear();
        lastRows = 0;
        lastWall = Now();
        lastCpu = Cpu();
    }

    void PageHandled()
    {
        CXListCtrl& list = pPane->GetResultsPage().m_listResults;
        {
            CStageTimer timer("paint list");
            list.UpdateWindow();
        }
        const int rows = list.GetItemCount();
        if (rows == lastRows && pPane->GetSearchThread()->m_bSearchDone)
            return;  // the run's last message, after its last page
        PageFigures page;
        page.rows = rows - lastRows;
        const double wall = Now(), cpu = Cpu();
        page.wall = wall - lastWall;
        page.cpu = cpu - lastCpu;
        page.stages = TakeStageTimes();
        pages.push_back(page);
        lastRows = rows;
        lastWall = wall;
        lastCpu = cpu;
    }
};

Meter g_meter;

LRESULT CALLBACK MeteredPaneProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = ::CallWindowProcA(g_meter.pfnPane, hWnd, message, wParam, lParam);
    if (message == UM_SEARCH_PROGRESS && static_cast<int>(wParam) == g_meter.pPane->GetRunTag())
        g_meter.PageHandled();
    return result;
}

struct Options
{
    CString location = "European Patent Office";
    CString terms = "siemens";
    int runs = 2;
};

bool ReadOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (std::strcmp(argv[i], "--location") == 0 && more)
            options.location = argv[++i];
        else if (std::strcmp(argv[i], "--terms") == 0 && more)
            options.terms = argv[++i];
        else if (std::strcmp(argv[i], "--runs") == 0 && more)
            options.runs = std::atoi(argv[++i]);
        else
            return false;
    }
    return options.runs > 0;
}

int Run(const Options& options)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    CSearchResults::s_pfnLaunchBalloon = &NoBalloon;
    CSearchContainer::s_pfnMessageBox = &NoBox;
    // The session chooser would hold the run in a modal loop.
    CSearchSessions::s_bChooserOffered = true;

    CBenchHost host;
    CSearchContainer pane;
    if (!host.CreateHost() || !pane.Create(IDD_SEARCH_CONTAINER, &host)) {
        std::fprintf(stderr, "searchbench: the search pane could not be made\n");
        return 1;
    }
    pane.MoveWindow(0, 0, 1000, 700);
    pane.ShowWindow(SW_SHOW);
    pane.ReloadSearchLocation();
    pane.GetResultsPage().SetColumnWidths();

    CComboBox& locations = pane.GetLocationCombo();
    const int index = locations.FindStringExact(-1, options.location);
    if (index < 0 || !pane.GetSearchThread()) {
        std::fprintf(stderr, "searchbench: no location \"%s\" in Download.cfg\n", options.location.GetString());
        return 1;
    }
    locations.SetCurSel(index);
    pane.OnSelchangeSearchLocation();
    CBasicSearch& basic = pane.GetBasicPage();
    if (basic.GetEdits().empty()) {
        std::fprintf(stderr, "searchbench: the location's Basic page has no field\n");
        return 1;
    }

    g_meter.pPane = &pane;
    g_meter.hSearchThread = pane.GetSearchThread()->m_hThread;
    g_meter.pfnPane = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(pane.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MeteredPaneProc)));

    int rc = 0;
    for (int run = 1; run <= options.runs && rc == 0; ++run) {
        PumpUntil([] { return false; }, 200);
        basic.GetEdits().at(0)->SetWindowText(options.terms);
        g_meter.Begin();
        const double start = Now(), cpuStart = g_meter.Cpu();
        basic.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BASIC_START_SEARCH, BN_CLICKED),
                          reinterpret_cast<LPARAM>(basic.GetStartButton().m_hWnd));
        // The run has ended when Start Search is enabled again.
        const bool ended = PumpUntil([&] { return basic.GetStartButton().IsWindowEnabled() != FALSE; }, 600000);
        const double wall = Now() - start, cpu = g_meter.Cpu() - cpuStart;
        if (!ended) {
            std::fprintf(stderr, "searchbench: run %d did not end within ten minutes\n", run);
            rc = 1;
        }

        Stages total;
        int rows = 0;
        for (size_t p = 0; p < g_meter.pages.size(); ++p) {
            const PageFigures& page = g_meter.pages[p];
            std::printf("BENCHMARK run %d page %u: %d rows, wall %.0f ms, cpu %.0f ms; %s\n", run,
                        static_cast<unsigned>(p + 1), page.rows, page.wall, page.cpu,
                        StageText(page.stages, 1.0, page.wall - Sum(page.stages)).c_str());
            Add(total, page.stages);
            rows += page.rows;
        }
        const double per100 = rows > 0 ? 100.0 / rows : 0.0;
        std::printf("BENCHMARK run %d: %d rows on %u pages in %.0f ms (cpu %.0f ms); per 100 results: wall %.0f ms, "
                    "cpu %.0f ms; %s\n",
                    run, rows, static_cast<unsigned>(g_meter.pages.size()), wall, cpu, wall * per100, cpu * per100,
                    StageText(total, per100, wall - Sum(total)).c_str());
        std::fflush(stdout);
        if (rows == 0) {
            std::fprintf(stderr, "searchbench: run %d listed no rows\n", run);
            rc = 1;
        }
    }

    ::SetWindowLongPtrA(pane.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_meter.pfnPane));
    pane.StopSearchThread();
    PumpUntil([&] { return pane.IsSearchThreadEnded() != 0; }, 30000);
    pane.DestroyWindow();
    host.DestroyWindow();
    return rc;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: searchbench [--location NAME] [--terms TEXT] [--runs N]\n");
        return 2;
    }
    return Run(options);
}
