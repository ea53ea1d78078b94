#include "WinThread.h"

#include "ThreadState.h"
#include "Wnd.h"

#include <process.h>

#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

namespace {

// Handed to a new thread: it signals hReady once its message queue exists, then waits for
// hGo (which it closes).
struct ThreadStartup
{
    CWinThread* pThread;
    HANDLE hReady;
    HANDLE hGo;
};

// An exception of the standard library or of unknown type, reported like a framework one.
class CForeignException : public CException
{
public:
    explicit CForeignException(const char* lpszWhat) : CException(false), m_text(lpszWhat) {}
    bool GetErrorMessage(char* lpszError, unsigned int nMaxError,
                         unsigned int* pnHelpContext = nullptr) const override
    {
        if (pnHelpContext)
            *pnHelpContext = 0;
        return CopyMessage(m_text, lpszError, nMaxError);
    }

private:
    CString m_text;
};

// The framework's own report: a line on the debug output and on standard error.
LRESULT DefaultProcessException(CException* e, const MSG* pMsg)
{
    char text[512];
    if (!e || !e->GetErrorMessage(text, sizeof text))
        std::strcpy(text, "An unsupported operation was attempted.");
    CString line;
    line.Format("Unhandled exception while handling message 0x%04X: %s\n",
                pMsg ? pMsg->message : 0u, text);
    ::OutputDebugStringA(line);
    std::fputs(line, stderr);
    std::fflush(stderr);
    if (pMsg && pMsg->message == WM_CREATE)
        return -1;
    if (pMsg && pMsg->message == WM_PAINT && pMsg->hwnd)
        ::ValidateRect(pMsg->hwnd, nullptr);
    return 0;
}

} // namespace

unsigned __stdcall AfxThreadEntry(void* pParam)
{
    ThreadStartup* startup = static_cast<ThreadStartup*>(pParam);
    CWinThread* pThread = startup->pThread;
    HANDLE hGo = startup->hGo;
    AfxGetThreadState()->pThread = pThread;
    MSG msg;
    ::PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // makes the message queue
    ::SetEvent(startup->hReady); // startup is gone after this
    ::WaitForSingleObject(hGo, INFINITE);
    ::CloseHandle(hGo);

    int nResult = 0;
    bool bStarted = false;
    try {
        bStarted = pThread->InitInstance() != FALSE;
    } catch (CException* e) {
        AfxProcessWndProcException(e, nullptr);
        e->Delete();
    } catch (const std::exception& e) {
        AfxProcessWndProcException(e.what(), nullptr);
    } catch (...) {
        AfxProcessWndProcException("unknown exception", nullptr);
    }
    nResult = bStarted ? pThread->Run() : pThread->ExitInstance();
    AfxEndThread(static_cast<UINT>(nResult), TRUE);
}

CWinThread::CWinThread() = default;

CWinThread::~CWinThread()
{
    if (m_hThread && m_hThread != ::GetCurrentThread())
        ::CloseHandle(m_hThread);
    AfxThreadState* s = AfxGetThreadState();
    if (s->pThread == this)
        s->pThread = nullptr;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (m_hThread)
        return FALSE;
    ThreadStartup startup{this, ::CreateEventA(nullptr, TRUE, FALSE, nullptr),
                          ::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    if (!startup.hReady || !startup.hGo) {
        if (startup.hReady)
            ::CloseHandle(startup.hReady);
        if (startup.hGo)
            ::CloseHandle(startup.hGo);
        return FALSE;
    }
    unsigned id = 0;
    uintptr_t h = ::_beginthreadex(lpSecurityAttrs, nStackSize, AfxThreadEntry, &startup, 0, &id);
    if (!h) {
        ::CloseHandle(startup.hReady);
        ::CloseHandle(startup.hGo);
        return FALSE;
    }
    m_hThread = reinterpret_cast<HANDLE>(h);
    m_nThreadID = id;
    ::WaitForSingleObject(startup.hReady, INFINITE);
    ::CloseHandle(startup.hReady);
    // The thread waits for hGo; suspended there, it runs InitInstance only after
    // ResumeThread.
    if (dwCreateFlags & CREATE_SUSPENDED)
        ::SuspendThread(m_hThread);
    ::SetEvent(startup.hGo);
    return TRUE;
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    for (;;) {
        LONG lIdleCount = 0;
        while (!::PeekMessageA(&m_msgPumped, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                break;
        }
        if (!PumpMessage())
            return ExitInstance();
    }
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageA(&m_msgPumped, nullptr, 0, 0))
        return FALSE;
    BOOL bDone = FALSE;
    try {
        bDone = PreTranslateMessage(&m_msgPumped);
    } catch (CException* e) {
        AfxProcessWndProcException(e, &m_msgPumped);
        e->Delete();
        bDone = TRUE;
    } catch (const std::exception& e) {
        AfxProcessWndProcException(e.what(), &m_msgPumped);
        bDone = TRUE;
    } catch (...) {
        AfxProcessWndProcException("unknown exception", &m_msgPumped);
        bDone = TRUE;
    }
    if (!bDone) {
        ::TranslateMessage(&m_msgPumped);
        ::DispatchMessageA(&m_msgPumped);
    }
    return TRUE;
}

int CWinThread::ExitInstance()
{
    AfxDeleteTempMaps();
    return static_cast<int>(m_msgPumped.wParam);
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0)
        AfxDeleteTempMaps();
    return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg->hwnd && DispatchThreadMessageEx(pMsg))
        return TRUE;
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

BOOL CWinThread::DispatchThreadMessageEx(MSG* pMsg)
{
    const MessageMapEntry* e = FindMessageEntry(pMsg->message, 0, 0);
    if (!e || e->nSig != AfxSig_v_w_l)
        return FALSE;
    AfxThreadState* s = AfxGetThreadState();
    ++s->nDispatchDepth;
    try {
        (this->*AfxCastHandler<afxsig::v_w_l>(e->pfn))(pMsg->wParam, pMsg->lParam);
    } catch (CException* ex) {
        ProcessWndProcException(ex, pMsg);
        ex->Delete();
    } catch (const std::exception& ex) {
        CForeignException wrapped(ex.what());
        ProcessWndProcException(&wrapped, pMsg);
    } catch (...) {
        CForeignException wrapped("unknown exception");
        ProcessWndProcException(&wrapped, pMsg);
    }
    --s->nDispatchDepth;
    return TRUE;
}

LRESULT CWinThread::ProcessWndProcException(CException* e, const MSG* pMsg)
{
    return DefaultProcessException(e, pMsg);
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!pThreadClass || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread)))
        return nullptr;
    CWinThread* pThread = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (!pThread)
        return nullptr;
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

void AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    AfxThreadState* s = AfxGetThreadState();
    CWinThread* pThread = s->pThread;
    if (pThread) {
        s->pThread = nullptr;
        if (bDelete)
            pThread->Delete();
    }
    AfxTermThreadState();
    ::_endthreadex(nExitCode);
    for (;;) {
    }
}

CWinThread* AfxGetThread()
{
    return AfxGetThreadState()->pThread;
}

LRESULT AfxProcessWndProcException(CException* e, const MSG* pMsg)
{
    if (CWinThread* pThread = AfxGetThread())
        return pThread->ProcessWndProcException(e, pMsg);
    return DefaultProcessException(e, pMsg);
}

LRESULT AfxProcessWndProcException(const char* lpszWhat, const MSG* pMsg)
{
    CForeignException wrapped(lpszWhat);
    return AfxProcessWndProcException(&wrapped, pMsg);
}
