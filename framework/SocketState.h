// What the framework keeps per thread for its sockets: the hidden window that receives
// their events, the map from socket handle to object, the handles given up whose last
// events may still be queued, and the events kept while a CSocket call waits. Internal to
// the framework.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <deque>
#include <map>

class CAsyncSocket;
class CSocket;
class CWnd;

struct AfxSocketState
{
    CWnd* pWindow = nullptr;                 // the thread's socket window, made on first use
    std::map<SOCKET, CAsyncSocket*> map;     // handle -> the object that holds it
    // Handles given up (closed or detached) whose events announced before that may still be
    // queued, with the number of their end markers (WM_SOCKET_GONE) still on the way. Until
    // its markers have passed, an event for such a handle is stale and dropped, also when a
    // new socket got the same number meanwhile: its own events come after the marker.
    std::map<SOCKET, int> gone;
    std::deque<MSG> pending;                 // events that came while a call waited
    CSocket* pBlocking = nullptr;            // the socket whose call waits, if any
};

// Posted by the framework to the thread's socket window when a handle is given up, behind
// every event that Windows Sockets announced for it: wParam the handle, lParam 0.
constexpr UINT WM_SOCKET_GONE = WM_USER + 0x374;

// Whether an event for the handle was announced before its socket was given up.
bool AfxIsStaleSocketEvent(const AfxSocketState& s, SOCKET hSocket);
// The end marker of a given-up handle has passed: later events for it are its new socket's.
void AfxSocketGone(AfxSocketState& s, SOCKET hSocket);

// The calling thread's socket state, made on first use.
AfxSocketState& AfxGetSocketState();

// Destroys the socket window and frees the state; called when the thread's state goes.
void AfxTermSocketState(AfxSocketState* s);
