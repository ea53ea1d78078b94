#include "SkinForm.h"

BEGIN_MESSAGE_MAP(CSkinFormDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_MESSAGE(UM_FIELD_EDITED, &CSkinFormDlg::OnFieldEdited)
    ON_MESSAGE(WM_RBUTTONDBLCLK, &CSkinFormDlg::OnComboRequest)
    ON_BN_CLICKED(IDC_SKIN_CHECK, &CSkinFormDlg::OnCheckClicked)
    ON_BN_CLICKED(IDC_SKIN_RADIO_EXPORT, &CSkinFormDlg::OnRadioClicked)
    ON_NOTIFY(NM_RCLICK, IDC_SKIN_TREE, &CSkinFormDlg::OnTreeRightClick)
    ON_NOTIFY(TVN_BEGINDRAG, IDC_SKIN_TREE, &CSkinFormDlg::OnTreeBeginDrag)
END_MESSAGE_MAP()
