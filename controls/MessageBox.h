// CMessageBox: the program's own message box (dialog 297): a caption, a word-wrapped message
// and OK. The help labels show their help texts in it. The caller sets the caption and the
// message, then runs DoModal.
#pragma once

#include "Framework.h"

class CMessageBox : public CDialog
{
    DECLARE_DYNAMIC(CMessageBox)
public:
    explicit CMessageBox(CWnd* pParentWnd = nullptr);
    ~CMessageBox() override;

    CString m_strCaption;
    CString m_strMessage;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    CStatic m_Message; // static 1150
};
