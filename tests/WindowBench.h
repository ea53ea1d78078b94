// The window test bench: helpers for tests that create windows and dialogs in the test
// program and drive them with messages (under Xvfb when run by tools/test.sh).
#pragma once

#include "String.h"

#include <windows.h>

#include <shlobj.h>

#include <functional>

namespace testsupport {

// Common controls of every class the program uses, registered once.
void InitControls();

// Handles the calling thread's messages the way the framework's loops do (pre-translation
// included) for ms milliseconds, at least until the queue is empty once.
void PumpMessages(DWORD ms = 0);
// Handles messages until pred() holds or timeoutMs have passed; answers pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);
// Runs fn once from the calling thread's message loop after ms milliseconds, whichever
// loop runs then (a modal dialog's, a popup menu's). Answers the timer id.
UINT_PTR AfterDelay(DWORD ms, std::function<void()> fn);

// A message-only window of a class of its own (registered on first use) with the window
// procedure, pUserData in its GWLP_USERDATA: the owner of a worker thread in the tests.
HWND CreateMessageWindow(const char* className, WNDPROC proc, void* pUserData);

// A visible dialog window (class "#32770") of the calling thread other than hSkip, with the
// caption when one is given; null when none shows.
HWND FindThreadDialog(const char* caption = nullptr, HWND hSkip = nullptr);
// Runs fn on that dialog once it shows, from whichever loop runs then (a modal dialog's, a
// message box's); gives up after about ten seconds.
void WhenDialogShows(std::function<void(HWND)> fn, const char* caption = nullptr, HWND hSkip = nullptr);
// A window's text.
CString WindowText(HWND hWnd);
// The shell's folder browser, once it shows (a dialog other than hSkip): chooses the folder
// (a path or an item list) and presses OK, or presses OK once the browser shows the folder
// the program chose selected. The browser shows before it has finished its start and then
// puts its own first selection over one made too early, so the folder is chosen again, and
// OK waits, until the tree shows the folder selected (about five seconds at most).
void PickInFolderBrowser(const CString& folder, HWND hSkip = nullptr);
void PickInFolderBrowser(LPCITEMIDLIST pidl, HWND hSkip = nullptr);
void AcceptInFolderBrowser(const CString& folder, HWND hSkip = nullptr);
// The text of a message box (its static text), and a click on one of a dialog's buttons.
CString MessageBoxText(HWND hBox);
void PressDialogButton(HWND hDialog, int nID);
// Types the path into a shell file dialog's file-name field and posts its OK.
void ChooseInFileDialog(HWND hDialog, const CString& path);

// The popup-menu window of this process that shows now (other test programs show theirs
// on the same desktop); null when none does.
HWND OwnMenuWindow();

// Saves the virtual screen as a PNG file (tools/screenshot.sh), handling messages while it
// waits. Answers false, with the reason in *pWhy, when no screenshot could be taken.
bool SaveScreenshot(const CString& unixPath, CString* pWhy = nullptr);

} // namespace testsupport
