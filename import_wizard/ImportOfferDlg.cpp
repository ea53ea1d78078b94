#include "ImportOfferDlg.h"

#include "resource.h"

CImportOfferDlg::CImportOfferDlg(CWnd* pParent) : CDialog(IDD_IMPORT_OFFER, pParent)
{
}

BOOL CImportOfferDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDCANCEL, m_strNo);
    SetDlgItemText(IDOK, m_strYes);
    SetDlgItemText(IDC_OFFER_MESSAGE, m_strMessage);
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}
