// The search pane's side of a search thread for the tests that run whole searches: a
// message-only owner window on the test thread that starts runs as the pane does and keeps
// every UM_SEARCH_PROGRESS it handled; and the requests the fixture server saw.
#pragma once

#include "FixtureServer.h"
#include "SearchThread.h"
#include "SearchThreadMessages.h"
#include "WindowBench.h"

#include <functional>
#include <utility>
#include <vector>

namespace searchtest {

using namespace testsupport;

// One UM_SEARCH_PROGRESS as the owner saw it.
struct Report
{
    int tag = 0;        // the message's run tag
    int latestTag = 0;  // the owner's latest start when it came
    int done = 0;
    int cancel = 0;
    long long rangeStart = 0;
    long long rangeEnd = 0;
    long long total = 0;
    float kbps = 0.0f;
    bool page = false;  // a result-set text was taken
    CString text;
    int fault = 0;      // the run's fault, as the last message found it
    CString faultText;
};

using Inputs = std::vector<std::pair<const char*, const char*>>;

// The search pane's side of the thread: its owner window, its starts, its reading of the
// messages of its latest run.
class SearchOwner
{
public:
    SearchOwner() : m_hOwner(CreateMessageWindow("ZentrovaTestSearchOwner", OwnerProc, this))
    {
        m_pThread = static_cast<CSearchThread*>(
            AfxBeginThread(RUNTIME_CLASS(CSearchThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
        if (m_pThread) {
            m_pThread->m_bAutoDelete = FALSE;
            m_pThread->ResumeThread();
        }
    }

    ~SearchOwner()
    {
        if (m_pThread)
            Quit();
        DestroyWindow(m_hOwner);
    }

    SearchOwner(const SearchOwner&) = delete;
    SearchOwner& operator=(const SearchOwner&) = delete;

    CSearchThread* Thread() const { return m_pThread; }

    // Starts a run as the pane does; answers its tag.
    int Begin(const char* path, const Inputs& inputs)
    {
        CMapStringToString map;
        for (const auto& input : inputs)
            map.SetAt(input.first, input.second);
        m_pThread->m_hOwner = m_hOwner;
        m_pThread->m_strRecipeNodePath = path;
        m_pThread->SetParameters(map);
        m_nLatestTag = m_pThread->Start();
        return m_nLatestTag;
    }

    // Handles messages until the run with the tag has sent its last message.
    bool WaitForEnd(int tag, DWORD timeoutMs = 30000)
    {
        return PumpUntil([this, tag] { return Ended(tag); }, timeoutMs);
    }

    bool Ended(int tag) const
    {
        for (const Report& r : m_reports) {
            if (r.tag == tag && r.done == 1)
                return true;
        }
        return false;
    }

    // The messages of the run, in order.
    std::vector<Report> Of(int tag) const
    {
        std::vector<Report> reports;
        for (const Report& r : m_reports) {
            if (r.tag == tag)
                reports.push_back(r);
        }
        return reports;
    }

    // The result-set texts taken from the run, in order.
    std::vector<CString> PagesOf(int tag) const
    {
        std::vector<CString> pages;
        for (const Report& r : Of(tag)) {
            if (r.page)
                pages.push_back(r.text);
        }
        return pages;
    }

    // Ends the thread as the pane does at shutdown; answers its exit code.
    DWORD Quit()
    {
        DWORD code = 0;
        m_pThread->Stop();
        m_pThread->PostThreadMessage(UM_THREAD_QUIT, 0, 0);
        HANDLE h = m_pThread->m_hThread;
        PumpUntil([h] { return WaitForSingleObject(h, 0) == WAIT_OBJECT_0; }, 40000);
        GetExitCodeThread(h, &code);
        delete m_pThread;
        m_pThread = nullptr;
        return code;
    }

    std::vector<Report> m_reports;
    // Called with each report as it is noted, while the thread still waits for the answer.
    std::function<void(const Report&)> m_onReport;

private:
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* owner = reinterpret_cast<SearchOwner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (message != UM_SEARCH_PROGRESS || !owner)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        // The thread waits while its fields are read here.
        CSearchThread* t = owner->m_pThread;
        Report r;
        r.tag = static_cast<int>(wParam);
        r.latestTag = owner->m_nLatestTag;
        if (r.tag == owner->m_nLatestTag) {
            r.done = t->m_bSearchDone;
            r.cancel = t->m_bCancel;
            r.rangeStart = t->m_nRangeStart;
            r.rangeEnd = t->m_nRangeEnd;
            r.total = t->m_nResultTotal;
            r.kbps = t->m_fKBps;
            r.page = t->TakeResultSet(r.text);
            r.fault = t->m_nRunFault;
            r.faultText = t->m_strRunFault;
        } else {
            // A superseded run: only its end is noted, its pages are left.
            r.done = t->m_bSearchDone;
        }
        owner->m_reports.push_back(r);
        if (owner->m_onReport)
            owner->m_onReport(r);
        return 1;
    }

    HWND m_hOwner = nullptr;
    CSearchThread* m_pThread = nullptr;
    int m_nLatestTag = 0;
};


// The targets of the logged requests whose target contains the text.
inline std::vector<CString> Targets(const char* part = "")
{
    std::vector<CString> targets;
    for (const LoggedRequest& r : FixtureLog(part))
        targets.push_back(r.target);
    return targets;
}

// Pumps until a request whose target contains the text has been logged (the log is asked
// every 100 ms).
inline bool WaitForRequest(const char* part, DWORD timeoutMs = 20000)
{
    DWORD last = 0;
    bool seen = false;
    PumpUntil(
        [&] {
            if (GetTickCount() - last >= 100) {
                last = GetTickCount();
                seen = !FixtureLog(part).empty();
            }
            return seen;
        },
        timeoutMs);
    return seen;
}

} // namespace searchtest
