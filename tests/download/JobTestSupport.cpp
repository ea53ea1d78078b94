#include "JobTestSupport.h"

#include "DataFiles.h"
#include "DownloadManagerMessages.h"
#include "FileCrypt.h"
#include "PageImageLock.h"
#include "PatentThreadMessages.h"
#include "RegEx.h"
#include "WindowBench.h"

#include <cstdlib>

using namespace testsupport;

namespace jobtest {

namespace {

// The program creates the page-image lock at start-up; so does this test program.
struct PageImageLockSetUp
{
    PageImageLockSetUp() { InitializeCriticalSection(&g_PageImageLock); }
} g_pageImageLockSetUp;

} // namespace

DownloadRun::DownloadRun()
    : m_hOwner(CreateMessageWindow("ZentrovaTestDownloadOwner", OwnerProc, this))
{}

DownloadRun::~DownloadRun()
{
    if (m_pThread)
        Quit();
    DestroyWindow(m_hOwner);
}

CPatentThread* DownloadRun::Begin(const Start& s)
{
    m_pThread = static_cast<CPatentThread*>(
        AfxBeginThread(RUNTIME_CLASS(CPatentThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!m_pThread)
        return nullptr;
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->m_nDownloadID = static_cast<int>(m_pThread->m_nThreadID);
    m_pThread->m_strSuffix = s.suffix;
    m_pThread->m_strTempFolderSlash = s.saveFolder;
    m_pThread->m_strLocationUID = s.locationUID;
    m_pThread->m_bFirstPageOnly = s.firstPageOnly;
    m_pThread->m_nPageLimit = s.pageLimit;
    m_pThread->m_strBareNumber = s.bareNumber;
    m_pThread->m_strKindCode = s.kindCode;
    if (s.replyTimeout)
        m_pThread->m_dwReplyTimeout = s.replyTimeout;
    m_pThread->ParseDocumentNumber(s.number);
    m_pThread->ResumeThread();
    m_pThread->m_hOwner = m_hOwner;
    m_pThread->PostThreadMessage(UM_THREAD_START, 0, 0);
    return m_pThread;
}

bool DownloadRun::WaitForEnd(DWORD timeoutMs)
{
    return PumpUntil(
        [this] {
            CloseMessageBoxes();
            return m_outcome.done == 1;
        },
        timeoutMs);
}

const JobOutcome& DownloadRun::Run(const Start& s)
{
    EXPECT_TRUE(Begin(s));
    EXPECT_TRUE(WaitForEnd()) << "the job did not report its end";
    return m_outcome;
}

DWORD DownloadRun::Quit()
{
    DWORD code = 0;
    if (!m_pThread)
        return code;
    m_pThread->PostThreadMessage(UM_THREAD_QUIT, 0, 0);
    HANDLE h = m_pThread->m_hThread;
    PumpUntil([h] { return WaitForSingleObject(h, 0) == WAIT_OBJECT_0; }, 40000);
    GetExitCodeThread(h, &code);
    delete m_pThread;
    m_pThread = nullptr;
    return code;
}

LRESULT CALLBACK DownloadRun::OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* run = reinterpret_cast<DownloadRun*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == UM_DOWNLOAD_PROGRESS && run && run->m_pThread &&
        wParam == static_cast<WPARAM>(run->m_pThread->m_nDownloadID)) {
        // The thread waits while its status is read here.
        const DownloadStatus& status = run->m_pThread->m_Status;
        ++run->m_outcome.reports;
        run->m_outcome.done = status.m_nDone;
        run->m_outcome.success = status.m_nSuccess;
        run->m_outcome.record = status.m_strDocumentXml;
        ProgressReport report;
        report.done = status.m_nDone;
        report.currentPage = status.m_nCurrentPage;
        report.totalPages = status.m_nTotalPages;
        report.title = status.m_strTitle;
        run->m_outcome.progress.push_back(report);
        return 1;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void DownloadRun::CloseMessageBoxes()
{
    if (!m_pThread)
        return;
    EnumThreadWindows(m_pThread->m_nThreadID, CloseBox, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK DownloadRun::CloseBox(HWND hwnd, LPARAM lParam)
{
    auto* run = reinterpret_cast<DownloadRun*>(lParam);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (CString(cls) != "#32770" || !IsWindowVisible(hwnd) || !run->m_boxes.insert(hwnd).second)
        return TRUE;
    CString text;
    EnumChildWindows(hwnd, AppendStaticText, reinterpret_cast<LPARAM>(&text));
    run->m_outcome.messageBoxes.push_back(text);
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

BOOL CALLBACK DownloadRun::AppendStaticText(HWND hwnd, LPARAM lParam)
{
    char cls[64] = "", text[512] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, text, sizeof text);
    if (CString(cls).CompareNoCase("Static") == 0 && *text)
        *reinterpret_cast<CString*>(lParam) += text;
    return TRUE;
}

void InstallRecipe()
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    CFileCrypt crypt;
    CString text;
    ASSERT_EQ(crypt.ReadEncryptedFile(CString(build ? build : ".") + "/tests/data/engine.cfg", text), 1);
    ASSERT_GT(text.Replace("http://fixture-server", FixtureBase()), 0);
    ASSERT_EQ(crypt.WriteEncryptedFile(text, GetAppDirectory() + "\\Download.cfg"), 1);
}

std::vector<CString> SourcesRequested()
{
    std::vector<CString> sources;
    for (const LoggedRequest& r : FixtureLog("/engine/walk/")) {
        RegEx source("source=(\\w+)", false);
        sources.push_back(source.Search(r.target) ? source.What(1) : r.target);
    }
    return sources;
}

std::string FileText(const CString& path)
{
    std::string bytes;
    EXPECT_TRUE(ReadBytes(path, bytes)) << path.GetString();
    return bytes;
}

std::vector<CString> MediaBoxes(const std::string& pdf)
{
    std::vector<CString> boxes;
    std::vector<CString> matches;
    RegEx box("/MediaBox\\s*\\[\\s*0\\s+0\\s+[\\d.]+\\s+[\\d.]+\\s*\\]", false);
    box.Grep(matches, CString(pdf));
    for (const CString& m : matches) {
        RegEx size("0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)", false);
        if (!size.Search(m) || atoi(size.What(1)) == 0)
            continue;
        CString text;
        text.Format("%dx%d", atoi(size.What(1)), atoi(size.What(2)));
        boxes.push_back(text);
    }
    return boxes;
}

void DownloadJobTest::SetUp()
{
    FixtureTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    static bool installed = false;
    if (!installed) {
        InstallRecipe();
        installed = true;
    }
    m_save = m_dir.Path() + "\\";
}

void DownloadJobTest::TearDown()
{
    CoUninitialize();
}

DownloadRun::Start DownloadJobTest::Number(const char* number, const char* uid)
{
    DownloadRun::Start s;
    s.number = number;
    s.saveFolder = m_save;
    s.locationUID = uid;
    return s;
}

} // namespace jobtest
