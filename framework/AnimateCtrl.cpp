#include "AnimateCtrl.h"

#include "WinApp.h"

IMPLEMENT_DYNAMIC(CAnimateCtrl, CWnd)

BOOL CAnimateCtrl::Open(const char* lpszFileName)
{
    // A resource clip is looked up in the module that holds the application's resources.
    HINSTANCE hInst = IS_INTRESOURCE(lpszFileName) ? AfxGetResourceHandle() : nullptr;
    return static_cast<BOOL>(
        SendMessage(ACM_OPENA, reinterpret_cast<WPARAM>(hInst), reinterpret_cast<LPARAM>(lpszFileName)));
}
