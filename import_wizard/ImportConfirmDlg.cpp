#include "ImportConfirmDlg.h"

#include "resource.h"

CImportConfirmDlg::CImportConfirmDlg(CWnd* pParent) : CDialog(IDD_IMPORT_CONFIRM, pParent)
{
}

BOOL CImportConfirmDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}
