// CZentrovaApp: the main program's application object. InitInstance runs the whole life of
// the program: the one command-line switch, sockets, the progress log, the start-up visit of
// the portal, the single-instance guard, COM, the owner-drawn menus, the registry root, the
// page-image lock, the splash window and then the main window, modally. It always answers
// FALSE, so the framework ends the program through ExitInstance.
#pragma once

#include "Framework.h"

class CZentrovaApp : public CWinApp
{
public:
    CZentrovaApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // One visit of the portal's start page: its raw reply headers, empty on any failure.
    CString FetchStartupHeaders();

    CString m_strStartupHeaders;

    DECLARE_MESSAGE_MAP()
};
