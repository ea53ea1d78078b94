// What the framework keeps per thread: the message being handled (for CWnd::Default), the
// window under creation, the temporary handle maps, the thread's CWinThread object and the
// popup menu that is being shown. Internal to the framework.
#pragma once

#include "HandleMap.h"

#include <windows.h>
#include <commctrl.h>

class CDC;
struct AfxSocketState;
class CGdiObject;
class CImageList;
class CMenu;
class CWinThread;
class CWnd;

struct AfxThreadState
{
    MSG lastMsg{};                  // the message the current handler works on
    CWnd* pWndInit = nullptr;       // window object waiting for its handle (CreateEx, dialogs)
    HHOOK hHookCbt = nullptr;       // creation hook, installed while pWndInit is set
    int nDispatchDepth = 0;         // window procedures and thread-message handlers running
    CWinThread* pThread = nullptr;  // the framework thread object of this thread, if any
    HMENU hTrackingMenu = nullptr;  // popup shown by CMenu::TrackPopupMenu
    HMENU hInitPopup = nullptr;     // popup of the last WM_INITMENUPOPUP
    AfxSocketState* pSockets = nullptr;  // socket window and handle map, made on first use

    CTempHandleMap<HWND, CWnd> tempWnd;
    CTempHandleMap<HMENU, CMenu> tempMenu;
    CTempHandleMap<HDC, CDC> tempDC;
    CTempHandleMap<HGDIOBJ, CGdiObject> tempGdi;
    CTempHandleMap<HIMAGELIST, CImageList> tempImageList;
};

// The calling thread's state, made on first use.
AfxThreadState* AfxGetThreadState();

// Frees the temporary wrappers of this thread unless a message handler is still running
// (a handler further up the stack may hold one of them).
void AfxDeleteTempMaps();

// Frees the calling thread's state; called when a framework thread ends.
void AfxTermThreadState();
