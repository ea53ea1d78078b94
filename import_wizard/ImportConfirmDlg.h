// CImportConfirmDlg: the question (dialog 132) before the search that the main program
// started, shown topmost. IDOK goes on, IDCANCEL ends the wizard.
#pragma once

#include "Framework.h"

class CImportConfirmDlg : public CDialog
{
public:
    explicit CImportConfirmDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
};
