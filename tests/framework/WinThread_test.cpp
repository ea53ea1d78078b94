// Framework threads: creation suspended with a priority, work by thread messages, the end on
// request and the exit code, auto-deletion, and exceptions in thread message handlers.
#include "Exception.h"
#include "WinThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace {

const UINT UM_THREAD_START = WM_APP + 1;
const UINT UM_THREAD_QUIT = WM_APP + 3;
const UINT UM_THREAD_THROW = WM_APP + 4;

std::atomic<int> g_destroyed{0};

// A worker in the shape the program's download and search threads have.
class CWorkerThread : public CWinThread
{
    DECLARE_DYNCREATE(CWorkerThread)
public:
    std::atomic<bool> initialised{false};
    std::atomic<int> jobs{0};
    std::atomic<int> survivedThrows{0};
    std::atomic<DWORD> initThreadId{0};
    int m_nInput = 0;     // filled by the creator while the thread is suspended
    std::atomic<int> seenInput{0};

    ~CWorkerThread() override { ++g_destroyed; }
    BOOL InitInstance() override
    {
        initThreadId = ::GetCurrentThreadId();
        initialised = true;
        return TRUE;
    }
    int ExitInstance() override { return CWinThread::ExitInstance(); }

protected:
    afx_msg void OnStart(WPARAM, LPARAM)
    {
        seenInput = m_nInput;
        ++jobs;
    }
    afx_msg void OnQuit(WPARAM wParam, LPARAM) { AfxEndThread(1, wParam != 0); }
    afx_msg void OnThrow(WPARAM wParam, LPARAM)
    {
        if (wParam)
            throw new CMemoryException;
        throw std::runtime_error("job failed");
    }
    LRESULT ProcessWndProcException(CException* e, const MSG* pMsg) override
    {
        ++survivedThrows;
        return CWinThread::ProcessWndProcException(e, pMsg);
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CWorkerThread, CWinThread)

BEGIN_MESSAGE_MAP(CWorkerThread, CWinThread)
    ON_THREAD_MESSAGE(UM_THREAD_START, &CWorkerThread::OnStart)
    ON_THREAD_MESSAGE(UM_THREAD_QUIT, &CWorkerThread::OnQuit)
    ON_THREAD_MESSAGE(UM_THREAD_THROW, &CWorkerThread::OnThrow)
END_MESSAGE_MAP()

template <class PRED>
bool WaitFor(PRED pred, DWORD timeoutMs = 5000)
{
    DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::Sleep(5);
    }
    return true;
}

DWORD ExitCode(CWinThread* p)
{
    DWORD code = 0;
    if (!::GetExitCodeThread(p->m_hThread, &code))
        return 0xFFFFFFFF;
    return code;
}

TEST(WorkerThread, CreatedSuspendedStartedByMessageStoppedOnRequest)
{
    CWorkerThread* p = static_cast<CWorkerThread*>(
        AfxBeginThread(RUNTIME_CLASS(CWorkerThread), THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(nullptr, p);
    p->m_bAutoDelete = FALSE;
    EXPECT_NE(0u, p->m_nThreadID);
    ASSERT_NE(nullptr, p->m_hThread);
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, ::GetThreadPriority(p->m_hThread));

    // Suspended: nothing of the thread's own code has run.
    ::Sleep(100);
    EXPECT_FALSE(p->initialised);
    EXPECT_EQ(STILL_ACTIVE, ExitCode(p));

    // Inputs go in while it is suspended; the queue already takes messages.
    p->m_nInput = 17;
    EXPECT_EQ(1u, p->ResumeThread());
    EXPECT_TRUE(p->PostThreadMessage(UM_THREAD_START, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return p->jobs == 1; }));
    EXPECT_TRUE(p->initialised);
    EXPECT_EQ(p->m_nThreadID, p->initThreadId);
    EXPECT_EQ(17, p->seenInput);

    // The same object runs a second job.
    EXPECT_TRUE(::PostThreadMessageA(p->m_nThreadID, UM_THREAD_START, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return p->jobs == 2; }));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(p));

    // Stop: the thread ends with code 1 and leaves its object to the owner.
    EXPECT_TRUE(p->PostThreadMessage(UM_THREAD_QUIT, 0, 0));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(p->m_hThread, 5000));
    EXPECT_EQ(1u, ExitCode(p));
    int destroyed = g_destroyed;
    delete p;
    EXPECT_EQ(destroyed + 1, g_destroyed);
}

TEST(WorkerThread, AutoDeleteReleasesTheObjectWhenTheThreadEnds)
{
    int destroyed = g_destroyed;
    CWinThread* p = AfxBeginThread(RUNTIME_CLASS(CWorkerThread));
    ASSERT_NE(nullptr, p);
    HANDLE hCopy = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), p->m_hThread, ::GetCurrentProcess(), &hCopy, 0,
                                  FALSE, DUPLICATE_SAME_ACCESS));
    ASSERT_TRUE(::PostThreadMessageA(p->m_nThreadID, UM_THREAD_QUIT, 1, 0));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(hCopy, 5000));
    DWORD code = 0;
    ::GetExitCodeThread(hCopy, &code);
    ::CloseHandle(hCopy);
    EXPECT_EQ(1u, code);
    EXPECT_EQ(destroyed + 1, g_destroyed);
}

TEST(WorkerThread, AnExceptionInAHandlerLeavesTheThreadRunning)
{
    CWorkerThread* p = static_cast<CWorkerThread*>(AfxBeginThread(RUNTIME_CLASS(CWorkerThread), 0, 0, CREATE_SUSPENDED));
    ASSERT_NE(nullptr, p);
    p->m_bAutoDelete = FALSE;
    p->ResumeThread();
    p->PostThreadMessage(UM_THREAD_THROW, 1, 0); // a framework exception
    p->PostThreadMessage(UM_THREAD_THROW, 0, 0); // a standard one
    p->PostThreadMessage(UM_THREAD_START, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return p->jobs == 1; }));
    EXPECT_EQ(2, p->survivedThrows);
    EXPECT_EQ(STILL_ACTIVE, ExitCode(p));
    p->PostThreadMessage(UM_THREAD_QUIT, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(p->m_hThread, 5000));
    delete p;
}

// A thread whose InitInstance refuses: ExitInstance gives the exit code at once.
class CRefusingThread : public CWinThread
{
    DECLARE_DYNCREATE(CRefusingThread)
public:
    BOOL InitInstance() override { return FALSE; }
    int ExitInstance() override { return 7; }
};

IMPLEMENT_DYNCREATE(CRefusingThread, CWinThread)

TEST(WorkerThread, ARefusedStartEndsWithExitInstanceCode)
{
    CWinThread* p = AfxBeginThread(RUNTIME_CLASS(CRefusingThread), 0, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, p);
    p->m_bAutoDelete = FALSE;
    p->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(p->m_hThread, 5000));
    EXPECT_EQ(7u, ExitCode(p));
    delete p;

    // A class that is no thread class is refused.
    EXPECT_EQ(nullptr, AfxBeginThread(RUNTIME_CLASS(CCmdTarget)));
}

} // namespace
