// CWinApp: the application object. The program defines exactly one, as a static object;
// the framework's WinMain (AfxWinMain) runs InitApplication, InitInstance and then Run
// (the message loop) or, when InitInstance answers FALSE, ExitInstance; the process ends
// with the code these answer.
#pragma once

#include "String.h"
#include "WinThread.h"

#include <windows.h>

struct WSAData;

#define ID_HELP 0xE146            // the framework's help command
#define AFX_IDS_APP_TITLE 0xE000  // string resource with the application's name

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    // Without a name the application takes the string resource AFX_IDS_APP_TITLE, or else
    // the program file's name without its extension.
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    const char* m_pszAppName = nullptr;
    const char* m_pszExeName = nullptr;     // program file name without extension
    const char* m_pszRegistryKey = nullptr; // set by SetRegistryKey
    const char* m_pszProfileName = nullptr; // the application's key below the registry key
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;

    virtual BOOL InitApplication();
    // The system draws every control three-dimensional; kept for programs that ask for it
    // at their start. Always TRUE.
    BOOL Enable3dControls() { return TRUE; }
    BOOL InitInstance() override;
    int Run() override;
    int ExitInstance() override;

    // Profile settings go to HKEY_CURRENT_USER\Software\<key>\<application>\<section>
    // from now on (before: to the application's .INI file).
    void SetRegistryKey(const char* lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    // HKEY_CURRENT_USER\Software\<key>\<application>, created when missing; the caller
    // closes it. Null without a registry key or on failure.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(const char* lpszSection);
    CString GetProfileString(const char* lpszSection, const char* lpszEntry,
                             const char* lpszDefault = nullptr);
    // A null value removes the entry; a null entry removes the whole section.
    BOOL WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue);

    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadIcon(const char* lpszResourceName) const;
    HICON LoadStandardIcon(const char* lpszIconName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadCursor(const char* lpszResourceName) const;
    HCURSOR LoadStandardCursor(const char* lpszCursorName) const;

    // The framework's message box: owned by the active window of the application,
    // captioned with the application's name.
    virtual int DoMessageBox(const char* lpszPrompt, UINT nType, UINT nIDPrompt);

    // The framework's help command. The program ships no help file, so it shows nothing.
    afx_msg void OnHelp();

private:
    CString m_strAppName;
    CString m_strExeName;
    CString m_strRegistryKey;
    CString m_strProfileName;
};

CWinApp* AfxGetApp();
// The main window of the calling thread, or else of the application.
CWnd* AfxGetMainWnd();
const char* AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text of a string resource in a message box.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

// The program may host ActiveX controls. Accepted for the start-up sequence; controls are
// not hosted by this framework.
void AfxEnableControlContainer();
// Starts Windows Sockets 1.1 for the calling process; answers whether it is available.
BOOL AfxSocketInit(WSAData* lpwsaData = nullptr);

// The body of the framework's WinMain.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
