#include "NewDialog.h"

#include "MenuDrawing.h"
#include "MenuTheme.h"

IMPLEMENT_DYNAMIC(CNewDialog, CDialog)

CNewDialog::CNewDialog(UINT nIDTemplate, CWnd* pParent) : CNewFrame<CDialog>(nIDTemplate, pParent) {}

BOOL CNewDialog::OnInitDialog()
{
    BOOL bResult = CDialog::OnInitDialog();

    HMENU hSystem = ::GetSystemMenu(m_hWnd, FALSE);
    if (m_SystemNewMenu.m_hMenu && m_SystemNewMenu.m_hMenu != hSystem) {
        HMENU hOld = m_SystemNewMenu.Detach();
        if (::IsMenu(hOld) && !::DestroyMenu(hOld))
            ShowLastError();
    }
    if (hSystem && !m_SystemNewMenu.m_hMenu)
        m_SystemNewMenu.Attach(hSystem);

    if (HMENU hBar = ::GetMenu(m_hWnd)) {
        m_DefaultNewMenu.LoadMenu(hBar);
        if (CMenuTheme* pTheme = CNewMenu::GetCurrentTheme())
            menudraw::ApplyMenuBarBackground(hBar, pTheme->m_dwThemeId);
        ::DrawMenuBar(m_hWnd);
    }
    return bResult;
}
