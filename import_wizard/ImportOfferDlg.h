// CImportOfferDlg: the offer to import (dialog 129) that a start without the main program's
// token shows, topmost, when an older installation was found: a message and the captions of
// its two buttons, set before DoModal. IDOK takes the offer, IDCANCEL declines it.
#pragma once

#include "Framework.h"

class CImportOfferDlg : public CDialog
{
public:
    explicit CImportOfferDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    CString m_strMessage;
    CString m_strYes;
    CString m_strNo;
};
