#include "ReportTestSupport.h"

#include "DataFiles.h"
#include "FileCrypt.h"
#include "FixtureServer.h"
#include "ReportMessages.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testsupport;

namespace reporttest {

void InstallReportRecipe()
{
    static bool installed = false;
    if (installed)
        return;
    const char* build = std::getenv("ZENTROVA_BUILD");
    CFileCrypt crypt;
    CString text;
    ASSERT_EQ(crypt.ReadEncryptedFile(CString(build ? build : ".") + "/tests/data/reports.cfg", text), 1);
    ASSERT_GT(text.Replace("http://fixture-server", FixtureBase()), 0);
    ASSERT_EQ(crypt.WriteEncryptedFile(text, GetAppDirectory() + "\\Download.cfg"), 1);
    installed = true;
}

ThreadOwner::ThreadOwner() : m_hWnd(CreateMessageWindow("ZentrovaTestReportOwner", Proc, this)) {}

ThreadOwner::~ThreadOwner()
{
    DestroyWindow(m_hWnd);
}

CReportThread* ThreadOwner::Start(const CString& number, const CString& runFolder, int index)
{
    auto* thread = static_cast<CReportThread*>(
        AfxBeginThread(RUNTIME_CLASS(CReportThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!thread)
        return nullptr;
    thread->m_bAutoDelete = FALSE;
    thread->m_nItemIndex = index;
    thread->m_strFolderSlash = runFolder;
    thread->ParseDocumentNumber(number, "Given title");
    thread->ResumeThread();
    thread->m_hOwner = m_hWnd;
    thread->PostThreadMessage(UM_THREAD_START, 0, 0);
    m_threads.push_back(thread);
    return thread;
}

bool ThreadOwner::WaitForReply(size_t count, DWORD timeoutMs)
{
    return PumpUntil([this, count] { return replies.size() >= count; }, timeoutMs);
}

LRESULT CALLBACK ThreadOwner::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* owner = reinterpret_cast<ThreadOwner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == UM_REPORT_ITEM_DONE && owner) {
        Reply reply;
        reply.index = static_cast<int>(wParam);
        reply.lParam = lParam;
        for (CReportThread* thread : owner->m_threads) {
            if (thread->m_nItemIndex != reply.index)
                continue;
            // The thread waits while its fields are read here.
            reply.done = thread->m_Status.m_nDone;
            reply.success = thread->m_Status.m_nSuccess;
            reply.cancelled = thread->IsCancelled();
            reply.resultPath = thread->m_strResultPath;
            reply.record = thread->m_Status.m_strDocumentXml;
        }
        owner->replies.push_back(reply);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace reporttest
