#include "NewMenuHook.h"

#include "MenuDrawing.h"
#include "MenuTheme.h"
#include "MenuThemeXP.h"
#include "NewMenu.h"

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

const char kOldProcProperty[] = "OldMenuProc";

struct MenuFacts
{
    int nVersionClass = 0;
    BOOL bHighContrast = FALSE;
    HMODULE hUxTheme = nullptr;
    HMODULE hMsimg32 = nullptr;
    FARPROC pIsThemeActive = nullptr;
    FARPROC pGradientFill = nullptr;
    std::vector<CMenuTheme*> themes;
    CMenuTheme* pCurrent = nullptr;
    HHOOK hHook = nullptr;
    DWORD dwHookThread = 0; // the thread the hook watches
    int nPauses = 0;        // living CMenuHookPause objects on that thread
    HMENU hLastMenu = nullptr;
    std::map<HWND, CMenuHookData*> windows;
};

MenuFacts& Facts()
{
    static auto* facts = new MenuFacts;
    return *facts;
}

int ReadVersionClass()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info; // 148
    if (!::GetVersionExA(&info)) {
        ShowLastError();
        info = OSVERSIONINFOA{};
    }
    return CNewMenuHook::VersionClassOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

} // namespace

// The one hook object of the process, built before the application object runs.
static CNewMenuHook g_MenuHook;

int CNewMenuHook::VersionClassOf(DWORD dwPlatformId, DWORD dwMajor, DWORD dwMinor)
{
    if (dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (dwMajor < 4)
            return 1;
        if (dwMajor == 4)
            return 5;
        if (dwMajor == 5 && dwMinor == 0)
            return 6;
        return 7;
    }
    if (dwMajor < 4)
        return 0;
    if (dwMajor == 4 && dwMinor == 10)
        return 3;
    if (dwMajor == 4 && dwMinor == 90)
        return 4;
    return 2;
}

CNewMenuHook::CNewMenuHook()
{
    MenuFacts& f = Facts();
    f.nVersionClass = ReadVersionClass();

    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof hc;
    if (::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0))
        f.bHighContrast = (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
    f.hUxTheme = ::LoadLibraryA("uxtheme.dll");
    if (f.hUxTheme)
        f.pIsThemeActive = ::GetProcAddress(f.hUxTheme, "IsThemeActive");
    f.hMsimg32 = ::LoadLibraryA("Msimg32.dll");
    if (f.hMsimg32 && f.nVersionClass != 3)
        f.pGradientFill = ::GetProcAddress(f.hMsimg32, "GradientFill");

    using namespace menudraw;
    auto add = [&f](DWORD id) {
        CMenuTheme* p = nullptr;
        switch (id) {
        case 0: case 1: p = new CMenuTheme(id, MeasureClassic, DrawClassic, id == 0 ? 1 : 0); break;
        case 2: case 3: p = new CMenuThemeXP(id, MeasureFlat, DrawFlat, id == 2 ? 1 : 0); break;
        case 4: case 5: p = new CMenuTheme(id, MeasureClassic, DrawPlain, id == 4 ? 1 : 0); break;
        case 6: case 7: p = new CMenuTheme(id, MeasureIconColumn, DrawIconColumnGradient, id == 6 ? 1 : 0); break;
        default: p = new CMenuThemeXP(id, MeasureFlat, DrawFlatGradient, id == 8 ? 1 : 0); break;
        }
        f.themes.push_back(p);
    };
    for (DWORD id : {6u, 7u, 0u, 1u, 2u, 3u, 8u, 9u, 4u, 5u})
        add(id);
    SetTheme(2);

    if (!f.hHook) {
        f.dwHookThread = ::GetCurrentThreadId();
        f.hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, HookProc, nullptr, f.dwHookThread);
        if (!f.hHook) {
            ShowLastError();
            throw std::runtime_error("the menu hook could not be installed");
        }
    }
}

CNewMenuHook::~CNewMenuHook()
{
    MenuFacts& f = Facts();
    if (f.hHook && !::UnhookWindowsHookEx(f.hHook))
        ShowLastError();
    f.hHook = nullptr;
    for (CMenuTheme* p : f.themes)
        delete p;
    f.themes.clear();
    f.pCurrent = nullptr;
    if (f.hUxTheme)
        ::FreeLibrary(f.hUxTheme);
    if (f.hMsimg32)
        ::FreeLibrary(f.hMsimg32);
    f.hUxTheme = f.hMsimg32 = nullptr;
    f.pIsThemeActive = f.pGradientFill = nullptr;
}

int CNewMenuHook::VersionClass() { return Facts().nVersionClass; }
BOOL CNewMenuHook::HighContrast() { return Facts().bHighContrast; }
FARPROC CNewMenuHook::GradientFillProc() { return Facts().pGradientFill; }
FARPROC CNewMenuHook::IsThemeActiveProc() { return Facts().pIsThemeActive; }
CMenuTheme* CNewMenuHook::CurrentTheme() { return Facts().pCurrent; }
BOOL CNewMenuHook::IsHookInstalled() { return Facts().hHook != nullptr; }

CMenuHookPause::CMenuHookPause() : m_bActive(false)
{
    MenuFacts& f = Facts();
    if (!f.dwHookThread || ::GetCurrentThreadId() != f.dwHookThread)
        return;
    m_bActive = true;
    if (f.nPauses++ == 0 && f.hHook) {
        if (!::UnhookWindowsHookEx(f.hHook))
            ShowLastError();
        f.hHook = nullptr;
    }
}

CMenuHookPause::~CMenuHookPause()
{
    MenuFacts& f = Facts();
    if (!m_bActive || --f.nPauses > 0 || f.hHook)
        return;
    f.hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, CNewMenuHook::HookProc, nullptr, f.dwHookThread);
    if (!f.hHook)
        ShowLastError();
}

DWORD CNewMenuHook::SetTheme(DWORD dwThemeId)
{
    MenuFacts& f = Facts();
    for (CMenuTheme* p : f.themes) {
        if (p->m_dwThemeId == dwThemeId) {
            DWORD old = f.pCurrent ? f.pCurrent->m_dwThemeId : static_cast<DWORD>(-1);
            f.pCurrent = p;
            return old;
        }
    }
    return static_cast<DWORD>(-1);
}

void CNewMenuHook::SetLastMenu(HMENU hMenu)
{
    MenuFacts& f = Facts();
    // A window subclassed before its popup opened takes the popup now.
    for (auto& entry : f.windows) {
        if (!entry.second->m_hMenu) {
            entry.second->m_hMenu = hMenu;
            if (f.pCurrent)
                f.pCurrent->OnInitWnd(entry.first, entry.second);
            return;
        }
    }
    f.hLastMenu = hMenu;
}

CMenuHookData* CNewMenuHook::FindData(HWND hWnd)
{
    auto& windows = Facts().windows;
    auto it = windows.find(hWnd);
    return it == windows.end() ? nullptr : it->second;
}

LRESULT CALLBACK CNewMenuHook::HookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION) {
        const auto* p = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (p->message == WM_CREATE || p->message == 0x1E2)
            SubclassMenuWindow(p->hwnd, p->message == 0x1E2);
    }
    return ::CallNextHookEx(Facts().hHook, nCode, wParam, lParam);
}

BOOL CNewMenuHook::SubclassMenuWindow(HWND hWnd, BOOL bOnSizeMessage)
{
    char className[20] = {};
    ::GetClassNameA(hWnd, className, sizeof className);
    if (std::strcmp(className, "#32768") != 0)
        return FALSE;
    MenuFacts& f = Facts();
    if (f.windows.count(hWnd))
        return FALSE;
    LONG_PTR oldProc = ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    if (!oldProc || ::GetPropA(hWnd, kOldProcProperty))
        return FALSE;
    if (!::SetPropA(hWnd, kOldProcProperty, reinterpret_cast<HANDLE>(oldProc)))
        ShowLastError();
    if (::GetPropA(hWnd, kOldProcProperty) != reinterpret_cast<HANDLE>(oldProc))
        return FALSE;
    ::GlobalAddAtomA(kOldProcProperty);

    auto* pData = new CMenuHookData;
    pData->m_dwStyle = ::GetWindowLongPtrA(hWnd, GWL_STYLE);
    pData->m_dwExStyle = ::GetWindowLongPtrA(hWnd, GWL_EXSTYLE);
    pData->m_hMenu = f.hLastMenu;
    f.hLastMenu = nullptr;
    if (bOnSizeMessage)
        pData->m_dwData |= 1;
    f.windows[hWnd] = pData;
    ::SetLastError(0);
    if (!::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuWindowProc)) && ::GetLastError())
        ShowLastError();
    if (f.pCurrent)
        f.pCurrent->OnInitWnd(hWnd, pData);
    return TRUE;
}

void CNewMenuHook::UnsubclassMenuWindow(HWND hWnd)
{
    HANDLE hOld = ::GetPropA(hWnd, kOldProcProperty);
    if (hOld) {
        ::SetLastError(0);
        if (!::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hOld)) && ::GetLastError())
            ShowLastError();
        ::RemovePropA(hWnd, kOldProcProperty);
        if (ATOM atom = ::GlobalFindAtomA(kOldProcProperty))
            ::GlobalDeleteAtom(atom);
    }
    MenuFacts& f = Facts();
    auto it = f.windows.find(hWnd);
    if (it == f.windows.end())
        return;
    CMenuHookData* pData = it->second;
    f.windows.erase(it);
    if (f.pCurrent)
        f.pCurrent->OnUnInitWnd(hWnd, pData);
    if (pData->m_hRgn != reinterpret_cast<HRGN>(1))
        ::DeleteObject(pData->m_hRgn);
    delete pData->m_pScreenBitmap;
    delete pData;
}

namespace {

// The screen under a window about to show, window size + 10 pixels each way.
void TakeScreenCopy(CMenuHookData* pData, const CRect& screenRect)
{
    if (pData->m_pScreenBitmap)
        return;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    auto* pBitmap = new CBitmap;
    pBitmap->Attach(::CreateCompatibleBitmap(hScreen, screenRect.Width() + 10, screenRect.Height() + 10));
    HGDIOBJ old = ::SelectObject(hMem, pBitmap->m_hObject);
    ::BitBlt(hMem, 0, 0, screenRect.Width() + 10, screenRect.Height() + 10, hScreen, screenRect.left,
             screenRect.top, SRCCOPY);
    ::SelectObject(hMem, old);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    pData->m_pScreenBitmap = pBitmap;
}

} // namespace

LRESULT CALLBACK CNewMenuHook::MenuWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto oldProc = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kOldProcProperty));
    auto previous = [&](UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        return oldProc ? ::CallWindowProcA(oldProc, hWnd, msg, w, l) : ::DefWindowProcA(hWnd, msg, w, l);
    };
    CMenuHookData* pData = FindData(hWnd);
    CMenuTheme* pTheme = CurrentTheme();
    if (!pData || !pTheme)
        return previous(message, wParam, lParam);

    switch (message) {
    case WM_NCCALCSIZE:
        pTheme->OnNcCalcSize(hWnd, reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
        break;
    case WM_ERASEBKGND:
        if (pTheme->DoDrawBorder() && !(pData->m_dwData & 8) && !pData->m_bDrawBorder) {
            pData->m_bDrawBorder = TRUE;
            ::SendMessageA(hWnd, WM_NCPAINT, 1, 0);
        }
        pTheme->OnEraseBkgnd(hWnd, reinterpret_cast<HDC>(wParam), pData);
        return 1;
    case WM_SHOWWINDOW:
        if (!wParam) {
            LRESULT r = previous(message, wParam, lParam);
            UnsubclassMenuWindow(hWnd);
            return r;
        }
        break;
    case WM_NCDESTROY:
        UnsubclassMenuWindow(hWnd);
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
        auto* pPos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (message == WM_WINDOWPOSCHANGING) {
            if (pTheme->DoDrawBorder())
                pTheme->OnWindowPosChanging(hWnd, pPos);
            if ((pPos->flags & SWP_SHOWWINDOW) && !::IsWindowVisible(hWnd)) {
                CRect rc;
                ::GetWindowRect(hWnd, &rc);
                if (!(pPos->flags & SWP_NOMOVE))
                    rc.MoveToXY(pPos->x, pPos->y);
                if (!(pPos->flags & SWP_NOSIZE)) {
                    rc.right = rc.left + pPos->cx;
                    rc.bottom = rc.top + pPos->cy;
                }
                TakeScreenCopy(pData, rc);
            }
        }
        if (!(pPos->flags & SWP_NOMOVE)) {
            CPoint at(pPos->x, pPos->y);
            if (pData->m_Point == CPoint(0, 0)) {
                pData->m_Point = at;
            } else if (pData->m_Point != at) {
                if (!(pPos->flags & SWP_NOSIZE)) {
                    LRESULT r = previous(message, wParam, lParam);
                    UnsubclassMenuWindow(hWnd);
                    return r;
                }
                pData->m_Point = at;
                delete pData->m_pScreenBitmap;
                pData->m_pScreenBitmap = nullptr;
            }
        }
        break;
    }
    case WM_NCPAINT: {
        HRGN hRgn = reinterpret_cast<HRGN>(wParam);
        if (!pData->m_bDrawBorder && hRgn != pData->m_hRgn) {
            if (pData->m_hRgn != reinterpret_cast<HRGN>(1))
                ::DeleteObject(pData->m_hRgn);
            pData->m_hRgn = reinterpret_cast<HRGN>(1);
            if (hRgn != reinterpret_cast<HRGN>(1)) {
                pData->m_hRgn = ::CreateRectRgn(0, 0, 0, 0);
                ::CombineRgn(pData->m_hRgn, hRgn, nullptr, RGN_COPY);
            }
        }
        if (pData->m_bDrawBorder && pTheme->DoDrawBorder()) {
            HDC hDC = ::GetWindowDC(hWnd);
            pTheme->PaintBorder(hWnd, hDC, pData, TRUE);
            LRESULT r = 0;
            if (!(pData->m_dwData & 8)) {
                CRect frame;
                pTheme->GetFrameRect(hWnd, &frame);
                frame.DeflateRect(1, 1);
                HRGN hClip = ::CreateRectRgnIndirect(&frame);
                r = previous(WM_NCPAINT, reinterpret_cast<WPARAM>(hClip), 0);
                ::DeleteObject(hClip);
            }
            pTheme->PaintBorder(hWnd, hDC, pData, FALSE);
            ::ReleaseDC(hWnd, hDC);
            return r;
        }
        CRect rc;
        ::GetWindowRect(hWnd, &rc);
        TakeScreenCopy(pData, rc);
        if (pData->m_dwData & 8)
            return 0;
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            pData->m_dwData |= 4;
        break;
    case WM_PRINT:
        if (pTheme->DoDrawBorder()) {
            HDC hDC = reinterpret_cast<HDC>(wParam);
            pData->m_dwData |= 8;
            pTheme->PaintBorder(hWnd, hDC, pData, TRUE);
            pData->m_dwData &= ~8u;
            LRESULT r = previous(message, wParam, lParam & ~static_cast<LPARAM>(PRF_NONCLIENT));
            ::SelectClipRgn(hDC, nullptr);
            ::SendMessageA(hWnd, WM_ERASEBKGND, wParam, 0);
            ::SendMessageA(hWnd, WM_PRINTCLIENT, wParam, lParam);
            return r;
        }
        break;
    default:
        break;
    }
    return previous(message, wParam, lParam);
}

CString LastErrorText(DWORD dwError)
{
    if (dwError == 0)
        return CString();
    char* pText = nullptr;
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                               reinterpret_cast<char*>(&pText), 0, nullptr);
    CString text;
    if (n && pText)
        text = pText;
    else
        text.Format("Error message 0x%lx not found", static_cast<unsigned long>(dwError));
    if (pText)
        ::LocalFree(pText);
    return text;
}

void ShowLastError()
{
    DWORD dwError = ::GetLastError();
    if (dwError == 0)
        return;
    ::MessageBoxA(nullptr, LastErrorText(dwError), "Error", MB_OK | MB_ICONINFORMATION);
}
