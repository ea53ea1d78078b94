#include "WindowBench.h"

#include "Wnd.h"

#include <commctrl.h>

#include <cstdlib>
#include <map>

namespace testsupport {

namespace {

std::map<UINT_PTR, std::function<void()>>& Pending()
{
    static std::map<UINT_PTR, std::function<void()>> pending;
    return pending;
}

void CALLBACK OnDelay(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    auto it = Pending().find(id);
    if (it == Pending().end())
        return;
    std::function<void()> fn = std::move(it->second);
    Pending().erase(it);
    fn();
}

bool PumpOne()
{
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT)
        return true; // a quit meant for a test's own loop: dropped here
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

} // namespace

void InitControls()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    done = true;
}

void PumpMessages(DWORD ms)
{
    DWORD start = ::GetTickCount();
    do {
        while (PumpOne()) {
        }
        if (ms)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < ms);
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start >= timeoutMs)
            return pred();
        if (!PumpOne())
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

UINT_PTR AfterDelay(DWORD ms, std::function<void()> fn)
{
    UINT_PTR id = ::SetTimer(nullptr, 0, ms, OnDelay);
    Pending()[id] = std::move(fn);
    return id;
}

HWND CreateMessageWindow(const char* className, WNDPROC proc, void* pUserData)
{
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(::GetModuleHandleA(nullptr), className, &wc)) {
        wc.lpfnWndProc = proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        ::RegisterClassA(&wc);
    }
    HWND hwnd = ::CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pUserData));
    return hwnd;
}

HWND OwnMenuWindow()
{
    for (HWND h = ::FindWindowExA(nullptr, nullptr, "#32768", nullptr); h;
         h = ::FindWindowExA(nullptr, h, "#32768", nullptr)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(h, &pid);
        if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(h))
            return h;
    }
    return nullptr;
}

bool SaveScreenshot(const CString& unixPath, CString* pWhy)
{
    const char* data = std::getenv("ZENTROVA_TEST_DATA");
    const char* display = std::getenv("DISPLAY");
    if (!data || !display) {
        if (pWhy)
            *pWhy = "no bench display (ZENTROVA_TEST_DATA or DISPLAY unset)";
        return false;
    }
    // The test data folder is <source>/tests/data; the script is <source>/tools.
    CString script(data);
    script = script.Left(script.ReverseFind('/'));
    script = script.Left(script.ReverseFind('/')) + "/tools/screenshot.sh";
    CString cmd = "/bin/bash \"" + script + "\" \"" + unixPath + "\"";
    // Wine cannot wait for a Unix process: the finished file is the sign.
    CString winPath = "Z:" + unixPath;
    winPath.Replace('/', '\\');
    ::DeleteFileA(winPath);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, cmd.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        if (pWhy)
            pWhy->Format("could not start %s (error %lu)", script.GetString(), ::GetLastError());
        return false;
    }
    // Wine starts a Unix program without handing back handles: it leaves no process
    // handle and stray bits where the thread handle would be, and closing those could
    // close any handle of this process (its standard output, say).
    if (pi.hProcess) {
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    bool done = PumpUntil([&] { return ::GetFileAttributesA(winPath) != INVALID_FILE_ATTRIBUTES; }, 20000);
    if (!done && pWhy)
        pWhy->Format("%s wrote no %s within 20 s", script.GetString(), unixPath.GetString());
    return done;
}

} // namespace testsupport
