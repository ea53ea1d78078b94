#include "WindowBench.h"

#include "Wnd.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>
#include <map>
#include <string>

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

HWND FindThreadDialog(const char* caption, HWND hSkip)
{
    struct Search
    {
        const char* caption;
        HWND hSkip;
        HWND hFound;
    } search{caption, hSkip, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            char cls[16] = {};
            ::GetClassNameA(h, cls, sizeof cls);
            if (h == s->hSkip || !::IsWindowVisible(h) || lstrcmpA(cls, "#32770") != 0)
                return TRUE;
            if (s->caption && WindowText(h) != s->caption)
                return TRUE;
            s->hFound = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

void WhenDialogShows(std::function<void(HWND)> fn, const char* caption, HWND hSkip)
{
    const std::string wanted = caption ? caption : "";
    const bool bAny = caption == nullptr;
    struct Poll
    {
        static void Run(std::function<void(HWND)> fn, std::string wanted, bool bAny, HWND hSkip, int tries)
        {
            AfterDelay(50, [fn, wanted, bAny, hSkip, tries] {
                if (HWND h = FindThreadDialog(bAny ? nullptr : wanted.c_str(), hSkip))
                    fn(h);
                else if (tries > 0)
                    Run(fn, wanted, bAny, hSkip, tries - 1);
            });
        }
    };
    Poll::Run(std::move(fn), wanted, bAny, hSkip, 200);
}

CString WindowText(HWND hWnd)
{
    char text[1024] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

namespace {

// The text of the tree item the browser shows selected.
CString SelectedTreeText(HWND hBrowser)
{
    HWND hTree = ::FindWindowExA(hBrowser, nullptr, "SysTreeView32", nullptr);
    if (!hTree)
        return CString();
    TVITEMA item{};
    char text[MAX_PATH] = {};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!item.hItem || !::SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return CString();
    return text;
}

// The name the shell shows for a folder, as the browser's tree labels it.
CString DisplayName(const char* path, LPCITEMIDLIST pidl)
{
    SHFILEINFOA info{};
    if (pidl)
        ::SHGetFileInfoA(reinterpret_cast<const char*>(pidl), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
    else
        ::SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_DISPLAYNAME);
    return info.szDisplayName;
}

// Selects (when select is set) until the tree shows the name selected, then presses OK.
void ChooseInBrowser(HWND hBrowser, std::function<void(HWND)> select, CString name, int triesLeft)
{
    if (select)
        select(hBrowser);
    if (SelectedTreeText(hBrowser).CompareNoCase(name) == 0 || triesLeft <= 0) {
        ::PostMessageA(hBrowser, WM_COMMAND, IDOK, 0);
        return;
    }
    AfterDelay(50, [hBrowser, select, name, triesLeft] { ChooseInBrowser(hBrowser, select, name, triesLeft - 1); });
}

void WhenBrowserShows(std::function<void(HWND)> select, const CString& name, HWND hSkip)
{
    WhenDialogShows([select, name](HWND hBrowser) { ChooseInBrowser(hBrowser, select, name, 100); }, nullptr,
                    hSkip);
}

} // namespace

void PickInFolderBrowser(const CString& folder, HWND hSkip)
{
    WhenBrowserShows(
        [folder](HWND h) { ::SendMessageA(h, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.GetString())); },
        DisplayName(folder, nullptr), hSkip);
}

void PickInFolderBrowser(LPCITEMIDLIST pidl, HWND hSkip)
{
    WhenBrowserShows([pidl](HWND h) { ::SendMessageA(h, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(pidl)); },
                     DisplayName(nullptr, pidl), hSkip);
}

void AcceptInFolderBrowser(const CString& folder, HWND hSkip)
{
    WhenBrowserShows(nullptr, DisplayName(folder, nullptr), hSkip);
}

CString MessageBoxText(HWND hBox)
{
    char text[1024] = {};
    ::GetDlgItemTextA(hBox, 0xFFFF, text, sizeof text);
    return CString(text);
}

void PressDialogButton(HWND hDialog, int nID)
{
    ::SendMessageA(hDialog, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDialog, nID)));
}

void ChooseInFileDialog(HWND hDialog, const CString& path)
{
    // The file name field: a combo box in the explorer style, an edit otherwise.
    if (!::SetDlgItemTextA(hDialog, 1148, path))
        ::SetDlgItemTextA(hDialog, 1152, path);
    ::PostMessageA(hDialog, WM_COMMAND, IDOK, 0);
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
