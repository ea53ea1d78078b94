// CNewMenuHook: the one process-wide object of the menu library, built before the
// application starts. It reads the facts about the system that the menu drawing needs,
// builds the ten menu themes and installs a call-window-procedure hook on the user-interface
// thread that subclasses every popup-menu window ("#32768") when it is created, so that the
// current theme paints its frame, background and shadow.
#pragma once

#include "Framework.h"

#include <map>

class CMenuTheme;
class CNewMenu;

// One subclassed popup-menu window.
struct CMenuHookData
{
    LONG_PTR m_dwStyle = 0;     // saved window style
    LONG_PTR m_dwExStyle = 0;   // saved extended style
    CPoint m_Point;             // screen origin, (0, 0) until the first move is seen
    DWORD m_dwData = 0;         // 1 subclassed on 0x1E2, 2 styles changed, 4 Escape, 8 printing
    BOOL m_bDrawBorder = FALSE; // the frame has been painted
    HMENU m_hMenu = nullptr;    // the popup shown in the window
    CBitmap* m_pScreenBitmap = nullptr; // the screen under the window, for the shadow
    HRGN m_hRgn = reinterpret_cast<HRGN>(1); // saved frame region; 1 = none
    BOOL m_bDoSubclass = TRUE;
};

class CNewMenuHook
{
public:
    CNewMenuHook();
    ~CNewMenuHook();

    // Windows version classes of the menu library: 0 not NT below 4, 1 NT below 4, 2 not NT
    // 4 and later other than 4.10 and 4.90, 3 not NT 4.10, 4 not NT 4.90, 5 NT 4, 6 NT 5.0,
    // 7 NT 5.1 and later.
    static int VersionClassOf(DWORD dwPlatformId, DWORD dwMajor, DWORD dwMinor);
    static int VersionClass();
    static BOOL HighContrast();
    // Entry points looked up at run time; null when the system lacks them.
    static FARPROC GradientFillProc();
    static FARPROC IsThemeActiveProc();

    static CMenuTheme* CurrentTheme();
    static DWORD SetTheme(DWORD dwThemeId);

    // The popup that opens next; the next subclassed popup window takes it.
    static void SetLastMenu(HMENU hMenu);
    // Subclasses a popup-menu window (class "#32768" only, once); answers whether it did.
    static BOOL SubclassMenuWindow(HWND hWnd, BOOL bOnSizeMessage);
    static void UnsubclassMenuWindow(HWND hWnd);
    static CMenuHookData* FindData(HWND hWnd);
    static BOOL IsHookInstalled();

private:
    friend class CMenuHookPause;
    static LRESULT CALLBACK HookProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MenuWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// While one lives on the thread the menu hook watches, the hook is taken off that thread; it
// is put back when the last one goes. For work that sends a control thousands of messages
// and opens no menu (filling a list of thousands of rows): every message sent on a thread
// passes the thread's hooks first, under Wine at the cost of a round trip to the window
// server. Nothing happens on any other thread.
class CMenuHookPause
{
public:
    CMenuHookPause();
    ~CMenuHookPause();
    CMenuHookPause(const CMenuHookPause&) = delete;
    CMenuHookPause& operator=(const CMenuHookPause&) = delete;

private:
    bool m_bActive;
};

// Shows the system's text of GetLastError in a box captioned "Error" (nothing for 0;
// "Error message 0x%lx not found" when the system has no text).
void ShowLastError();
// The text that box shows for an error code; empty for 0.
CString LastErrorText(DWORD dwError);
