// The download queue's side of document jobs in the job tests: a message-only owner window
// that receives a download thread's reports, the thread started the way the queue starts it
// (created suspended, fields set, resumed, UM_THREAD_START posted), the test recipe
// (tests/data/engine/recipe.xml) installed as the program's Download.cfg with the fixture
// server's address put in, and the test fixture that ties them together.
#pragma once

#include "FixtureServer.h"
#include "PatentThread.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace jobtest {

// One UM_DOWNLOAD_PROGRESS as the owner window saw it.
struct ProgressReport
{
    int done = 0;
    int currentPage = 0;
    int totalPages = 0;
    CString title;
};

// What the owner window saw of one job.
struct JobOutcome
{
    int reports = 0;
    int done = 0;
    int success = 0;
    CString record;
    std::vector<ProgressReport> progress;  // every report, in order
    std::vector<CString> messageBoxes;     // texts of the boxes the job showed (closed with OK)
};

// The download queue's side of one download: the owner window and the thread.
class DownloadRun
{
public:
    struct Start
    {
        CString number;
        CString saveFolder;  // with a trailing backslash
        CString locationUID;
        CString kindCode;
        CString bareNumber;
        CString suffix;
        bool firstPageOnly = false;
        int pageLimit = 1;
        DWORD replyTimeout = 0;  // the thread's reply time-out in milliseconds; 0 its own
    };

    DownloadRun();
    ~DownloadRun();
    DownloadRun(const DownloadRun&) = delete;
    DownloadRun& operator=(const DownloadRun&) = delete;

    // Starts the thread as the download queue does.
    CPatentThread* Begin(const Start& s);

    // Handles the owner's messages until the job has reported its end; closes the message
    // boxes the job shows on the way.
    bool WaitForEnd(DWORD timeoutMs = 30000);

    // Runs one job to its end.
    const JobOutcome& Run(const Start& s);

    // Ends the thread the way the download queue does; answers its exit code.
    DWORD Quit();

    CPatentThread* Thread() const { return m_pThread; }
    const JobOutcome& Outcome() const { return m_outcome; }
    // True once the job has reported its end.
    bool Ended() const { return m_outcome.done == 1; }
    // Closes the message boxes the job shows (call while pumping).
    void CloseMessageBoxes();

private:
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static BOOL CALLBACK CloseBox(HWND hwnd, LPARAM lParam);
    static BOOL CALLBACK AppendStaticText(HWND hwnd, LPARAM lParam);

    HWND m_hOwner = nullptr;
    CPatentThread* m_pThread = nullptr;
    JobOutcome m_outcome;
    std::set<HWND> m_boxes;
};

// The test recipe, enciphered at build time, with the fixture server's address put in.
void InstallRecipe();

// The sources the walk requested, in order, from the fixture log ("source=..." of each).
std::vector<CString> SourcesRequested();

std::string FileText(const CString& path);

// The sizes of the PDF's pages as their media boxes give them ("WxH" in whole points), in
// file order; a rough look inside before the Linux-side check looks properly. The empty boxes
// of the page-tree nodes that the writer gives every file are left out.
std::vector<CString> MediaBoxes(const std::string& pdf);

class DownloadJobTest : public testsupport::FixtureTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    DownloadRun::Start Number(const char* number, const char* uid = "");

    testsupport::TempDir m_dir;
    CString m_save;
};

} // namespace jobtest
