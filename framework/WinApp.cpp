#include "WinApp.h"

#include "ThreadState.h"
#include "Wnd.h"

#include <winsock2.h>

#include <cstring>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp* g_pApp = nullptr;
HINSTANCE g_hResource = nullptr;

CString LoadStringResource(HINSTANCE hInst, UINT nID)
{
    char buf[1024];
    int n = ::LoadStringA(hInst, nID, buf, sizeof buf);
    return n > 0 ? CString(buf, n) : CString();
}

} // namespace

CWinApp::CWinApp(const char* lpszAppName)
{
    g_pApp = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
    m_hThread = ::GetCurrentThread();
    m_nThreadID = ::GetCurrentThreadId();
    AfxGetThreadState()->pThread = this;

    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString file(path, static_cast<int>(n));
    file = file.Mid(file.ReverseFind('\\') + 1);
    int dot = file.ReverseFind('.');
    m_strExeName = dot > 0 ? file.Left(dot) : file;
    m_pszExeName = m_strExeName;

    if (lpszAppName)
        m_strAppName = lpszAppName;
    else
        m_strAppName = LoadStringResource(m_hInstance, AFX_IDS_APP_TITLE);
    if (m_strAppName.IsEmpty())
        m_strAppName = m_strExeName;
    m_pszAppName = m_strAppName;
    m_strProfileName = m_strExeName + ".INI";
    m_pszProfileName = m_strProfileName;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
    m_hThread = nullptr; // the pseudo handle of the main thread is not closed
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    // Without a main window nothing could end the loop.
    if (!m_pMainWnd)
        ::PostQuitMessage(0);
    return CWinThread::Run();
}

int CWinApp::ExitInstance()
{
    return CWinThread::ExitInstance();
}

void CWinApp::SetRegistryKey(const char* lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_strAppName;
    m_pszProfileName = m_strProfileName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    SetRegistryKey(LoadStringResource(AfxGetResourceHandle(), nIDRegistryKey));
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (m_strRegistryKey.IsEmpty())
        return nullptr;
    CString path = "Software\\" + m_strRegistryKey + "\\" + m_strProfileName;
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

HKEY CWinApp::GetSectionKey(const char* lpszSection)
{
    HKEY hApp = GetAppRegistryKey();
    if (!hApp)
        return nullptr;
    HKEY hKey = nullptr;
    LONG rc = ::RegCreateKeyExA(hApp, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr);
    ::RegCloseKey(hApp);
    return rc == ERROR_SUCCESS ? hKey : nullptr;
}

CString CWinApp::GetProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszDefault)
{
    CString def(lpszDefault ? lpszDefault : "");
    if (m_strRegistryKey.IsEmpty()) {
        char buf[4096];
        DWORD n = ::GetPrivateProfileStringA(lpszSection, lpszEntry, def, buf, sizeof buf, m_pszProfileName);
        return CString(buf, static_cast<int>(n));
    }
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey)
        return def;
    DWORD type = 0;
    DWORD size = 0;
    CString value = def;
    if (::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        CString data;
        char* buf = data.GetBuffer(static_cast<int>(size) + 1);
        if (::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) ==
            ERROR_SUCCESS) {
            buf[size] = '\0';
            data.ReleaseBuffer(-1);
            value = data;
        } else {
            data.ReleaseBuffer(0);
        }
    }
    ::RegCloseKey(hKey);
    return value;
}

BOOL CWinApp::WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue)
{
    if (m_strRegistryKey.IsEmpty())
        return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
    if (!lpszEntry) {
        HKEY hApp = GetAppRegistryKey();
        if (!hApp)
            return FALSE;
        LONG rc = ::RegDeleteKeyA(hApp, lpszSection);
        ::RegCloseKey(hApp);
        return rc == ERROR_SUCCESS;
    }
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey)
        return FALSE;
    LONG rc;
    if (!lpszValue) {
        rc = ::RegDeleteValueA(hKey, lpszEntry);
    } else {
        rc = ::RegSetValueExA(hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                              static_cast<DWORD>(std::strlen(lpszValue) + 1));
    }
    ::RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

HICON CWinApp::LoadIcon(const char* lpszResourceName) const
{
    return ::LoadIconA(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadStandardIcon(const char* lpszIconName) const
{
    return ::LoadIconA(nullptr, lpszIconName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

HCURSOR CWinApp::LoadCursor(const char* lpszResourceName) const
{
    return ::LoadCursorA(AfxGetResourceHandle(), lpszResourceName);
}

HCURSOR CWinApp::LoadStandardCursor(const char* lpszCursorName) const
{
    return ::LoadCursorA(nullptr, lpszCursorName);
}

namespace {

HWND MessageBoxOwner()
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && ::IsWindow(pMain->m_hWnd))
        return ::GetLastActivePopup(pMain->m_hWnd);
    HWND hActive = ::GetActiveWindow();
    return hActive;
}

} // namespace

int CWinApp::DoMessageBox(const char* lpszPrompt, UINT nType, UINT /*nIDPrompt*/)
{
    return ::MessageBoxA(MessageBoxOwner(), lpszPrompt, m_pszAppName, nType);
}

void CWinApp::OnHelp()
{
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread->m_pMainWnd)
        return pThread->m_pMainWnd;
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

const char* AfxGetAppName()
{
    return g_pApp ? g_pApp->m_pszAppName : "";
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hResource ? g_hResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hResource = hInstResource;
}

int AfxMessageBox(const char* lpszText, UINT nType, UINT nIDHelp)
{
    if (g_pApp)
        return g_pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxA(MessageBoxOwner(), lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text = LoadStringResource(AfxGetResourceHandle(), nIDPrompt);
    if (nIDHelp == static_cast<UINT>(-1))
        nIDHelp = nIDPrompt;
    if (g_pApp)
        return g_pApp->DoMessageBox(text, nType, nIDHelp);
    return ::MessageBoxA(MessageBoxOwner(), text, AfxGetAppName(), nType);
}

void AfxEnableControlContainer()
{
}

BOOL AfxSocketInit(WSAData* lpwsaData)
{
    WSADATA data;
    int rc = ::WSAStartup(MAKEWORD(1, 1), lpwsaData ? lpwsaData : &data);
    return rc == 0;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    int nReturnCode = -1;
    try {
        if (pApp->InitApplication()) {
            if (pApp->InitInstance())
                nReturnCode = pApp->Run();
            else
                nReturnCode = pApp->ExitInstance();
        }
    } catch (CException* e) {
        AfxProcessWndProcException(e, nullptr);
        e->Delete();
        nReturnCode = pApp->ExitInstance();
    } catch (const std::exception& e) {
        AfxProcessWndProcException(e.what(), nullptr);
        nReturnCode = pApp->ExitInstance();
    }
    return nReturnCode;
}
