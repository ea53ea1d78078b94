// The report tests' side of report threads: the report recipe (tests/data/reports/recipe.xml)
// installed as the test program's Download.cfg with the fixture server's address put in,
// and an owner window that starts report threads the way the report run does and records
// their answers.
#pragma once

#include "ReportThread.h"

#include <vector>

namespace reporttest {

// The recipe, enciphered at build time, installed once per test program.
void InstallReportRecipe();

// One UM_REPORT_ITEM_DONE as the owner saw it, with the thread's fields at that moment.
struct Reply
{
    int index = -1;
    LPARAM lParam = -1;
    int done = 0;
    int success = 0;
    int cancelled = 0;
    CString resultPath;
    CString record;
};

class ThreadOwner
{
public:
    ThreadOwner();
    ~ThreadOwner();
    ThreadOwner(const ThreadOwner&) = delete;
    ThreadOwner& operator=(const ThreadOwner&) = delete;

    // Creates, fills, resumes and starts a thread as the report run does.
    CReportThread* Start(const CString& number, const CString& runFolder, int index = 0);
    // Handles messages until the thread has answered (or the time is up).
    bool WaitForReply(size_t count = 1, DWORD timeoutMs = 30000);

    std::vector<Reply> replies;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd = nullptr;
    std::vector<CReportThread*> m_threads;
};

} // namespace reporttest
