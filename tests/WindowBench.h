// The window test bench: helpers for tests that create windows and dialogs in the test
// program and drive them with messages (under Xvfb when run by tools/test.sh).
#pragma once

#include "String.h"

#include <windows.h>

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

// The popup-menu window of this process that shows now (other test programs show theirs
// on the same desktop); null when none does.
HWND OwnMenuWindow();

// Saves the virtual screen as a PNG file (tools/screenshot.sh), handling messages while it
// waits. Answers false, with the reason in *pWhy, when no screenshot could be taken.
bool SaveScreenshot(const CString& unixPath, CString* pWhy = nullptr);

} // namespace testsupport
