// What the framework keeps per thread for its sockets: the hidden window that receives
// their events, the map from socket handle to object, and the events kept while a CSocket
// call waits. Internal to the framework.
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
    std::deque<MSG> pending;                 // events that came while a call waited
    CSocket* pBlocking = nullptr;            // the socket whose call waits, if any
};

// The calling thread's socket state, made on first use.
AfxSocketState& AfxGetSocketState();

// Destroys the socket window and frees the state; called when the thread's state goes.
void AfxTermSocketState(AfxSocketState* s);
