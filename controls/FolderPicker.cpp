#include "FolderPicker.h"

#include "WinApp.h"
#include "Wnd.h"

#include <shlobj.h>

namespace {

// Puts the initial folder in place once the browser is up; lpData is that folder.
int CALLBACK BrowseCallback(HWND hWnd, UINT uMsg, LPARAM /*lParam*/, LPARAM lpData)
{
    if (uMsg == BFFM_INITIALIZED && lpData)
        ::SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, lpData);
    return 0;
}

// The item list of a path below the desktop, or null.
LPITEMIDLIST ParsePath(const char* pszPath)
{
    wchar_t wide[MAX_PATH] = {};
    if (!::MultiByteToWideChar(CP_ACP, 0, pszPath, -1, wide, MAX_PATH))
        return nullptr;
    IShellFolder* pDesktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&pDesktop)) || !pDesktop)
        return nullptr;
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(pDesktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &pidl, nullptr)))
        pidl = nullptr;
    pDesktop->Release();
    return pidl;
}

} // namespace

CString CFolderPicker::Browse()
{
    CWnd* pMain = AfxGetMainWnd();
    CString result;
    BrowseForFolder(result, m_strPrompt, pMain ? pMain->m_hWnd : nullptr, nullptr, nullptr);
    return result;
}

BOOL CFolderPicker::BrowseForFolder(CString& strResult, const char* pszTitle, HWND hOwner, const char* pszRoot,
                                    const char* pszInitial)
{
    strResult.Empty();
    LPITEMIDLIST pidlRoot = pszRoot ? ParsePath(pszRoot) : nullptr;
    CString initial = pszInitial ? pszInitial : "";
    char displayName[MAX_PATH] = {};
    BROWSEINFOA bi{};
    bi.hwndOwner = hOwner;
    bi.pidlRoot = pidlRoot;
    bi.pszDisplayName = displayName;
    bi.lpszTitle = pszTitle;
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    bi.lpfn = BrowseCallback;
    bi.lParam = pszInitial ? reinterpret_cast<LPARAM>(initial.GetString()) : 0;
    LPITEMIDLIST pidl = ::SHBrowseForFolderA(&bi);
    if (pidlRoot)
        ::CoTaskMemFree(pidlRoot);
    if (!pidl)
        return FALSE;
    char path[MAX_PATH] = {};
    const BOOL bPath = ::SHGetPathFromIDListA(pidl, path);
    ::CoTaskMemFree(pidl);
    if (!bPath)
        return FALSE;
    strResult = path;
    return TRUE;
}
