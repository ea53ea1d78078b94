// CWinThread: a thread with its own message queue and message loop. Work arrives as
// thread messages (PostThreadMessage) that the thread's message map hands to its
// ON_THREAD_MESSAGE handlers, or as messages to the thread's windows.
//
// Life: AfxBeginThread creates the object and the thread. The thread's queue exists
// before AfxBeginThread returns, so messages may be posted at once; with CREATE_SUSPENDED
// nothing else runs until ResumeThread. The thread then calls InitInstance; when that
// answers TRUE, Run pumps messages until WM_QUIT and answers ExitInstance's exit code,
// otherwise ExitInstance runs at once. A thread ends early with AfxEndThread. With
// m_bAutoDelete the object deletes itself when the thread ends; without it the owner
// deletes the object after the thread has ended (GetExitCodeThread on m_hThread answers
// STILL_ACTIVE until then).
#pragma once

#include "CmdTarget.h"
#include "Exception.h"

#include <windows.h>

class CWnd;

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    ~CWinThread() override;

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

    CWnd* m_pMainWnd = nullptr;   // the thread ends its loop when this window is destroyed
    CWnd* m_pActiveWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;    // delete the object when the thread ends
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    operator HANDLE() const { return m_hThread; }

    int GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::PostThreadMessageA(m_nThreadID, message, wParam, lParam);
    }

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    virtual BOOL OnIdle(LONG lCount);
    // Hands a thread message to the thread's message map; answers whether an entry took it.
    virtual BOOL DispatchThreadMessageEx(MSG* pMsg);
    // Called with an exception that a message handler let through: reports it and answers
    // the message's result (-1 for WM_CREATE, so that creation fails).
    virtual LRESULT ProcessWndProcException(CException* e, const MSG* pMsg);
    // Deletes the object when m_bAutoDelete is set.
    virtual void Delete();

    MSG m_msgPumped{};  // the message the loop works on

private:
    friend unsigned __stdcall AfxThreadEntry(void* pParam);
};

// A user-interface thread of the given run-time class (declared with DECLARE_DYNCREATE).
CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// Ends the calling framework thread at once with the exit code; with bDelete the thread
// object is released (deleted when its m_bAutoDelete is set).
[[noreturn]] void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
// The framework thread object of the calling thread (the application on the main thread),
// or null.
CWinThread* AfxGetThread();

// Reports an exception that escaped a message handler (through the thread's
// ProcessWndProcException when the thread has an object) and answers the result to give.
LRESULT AfxProcessWndProcException(CException* e, const MSG* pMsg);
LRESULT AfxProcessWndProcException(const char* lpszWhat, const MSG* pMsg);
