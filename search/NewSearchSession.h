// CNewSearchSession: the "Create New Session" dialog (template 278), in which the user names a
// search session (project) and gives its invention and client name, for a new session or to
// edit one ("Edit existing session"). It refuses an empty project name and one that the
// session combo already holds; the caller creates or changes the session from the texts.
#pragma once

#include "ComboBox.h"
#include "Dialog.h"
#include "HoverButton.h"
#include "MyStatic.h"

class CNewSearchSession : public CDialog
{
public:
    explicit CNewSearchSession(CWnd* pParent = nullptr);

    // Set by the caller before DoModal.
    CComboBox* m_pExistingSessions = nullptr; // its entries are the names in use
    BYTE m_bEditMode = 0;
    // In: the texts to show (empty for a new session). Out after IDOK: the texts through
    // EscapeXml, the project name trimmed. The checks look at the texts as typed; they are
    // escaped once, when the dialog closes with OK.
    CString m_strProjectName;
    CString m_strInvention;
    CString m_strClientName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    virtual int ShowMessageBox(const CString& strText, const char* caption, UINT nType);

    afx_msg void OnBnClickedOk();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnEditChange();
    DECLARE_MESSAGE_MAP()

    CString m_strOpeningName;
    CMyStatic m_labelExplanation;
    CMyStatic m_labelFrame;
    CMyStatic m_labelInvention;
    CMyStatic m_labelClient;
    CMyStatic m_labelProject;
    CHoverButton m_buttonOK;
    CHoverButton m_buttonCancel;
};
