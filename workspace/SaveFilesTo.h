// CSaveFilesTo: the small modal dialog (template 269) in which the user chooses the folder
// the document list's Save File(s) To command copies the selected documents' files into,
// which of their files go (all, only PDF, only HTML) and whether existing files are
// overwritten. It only collects the choice: the command reads the result fields after
// IDOK and does the copying.
#pragma once

#include "Dialog.h"
#include "HoverButton.h"
#include "MyCheckboxButton.h"
#include "MyEdit.h"
#include "MyRadioButton.h"
#include "MyStatic.h"

class CSaveFilesTo : public CDialog
{
public:
    explicit CSaveFilesTo(CWnd* pParent = nullptr);

    // The result after IDOK: the folder as typed or picked (never empty, no backslash
    // added), exactly one of the three choices 1, and whether existing files are replaced.
    CString m_strPath;
    int m_bAllDocuments = 1;
    int m_bOnlyPdf = 0;
    int m_bOnlyHtml = 0;
    int m_bOverwrite = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // A message box over the main window.
    virtual int ShowMessageBox(const CString& strText, const char* caption, UINT nType);

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnFind();
    afx_msg void OnAllDocuments();
    afx_msg void OnOnlyPdf();
    afx_msg void OnOnlyHtml();
    DECLARE_MESSAGE_MAP()

    // Checks the radio of the choice and clears the other two.
    void Choose(int bAll, int bPdf, int bHtml);

    CMyRadioButton m_radioAllDocuments;
    CMyRadioButton m_radioOnlyPdf;
    CMyRadioButton m_radioOnlyHtml;
    CHoverButton m_buttonFind;
    CHoverButton m_buttonOK;
    CHoverButton m_buttonCancel;
    CMyStatic m_labelPath;
    CMyEdit m_editPath;
    CRect m_rcClient;
    CMyCheckboxButton m_checkOverwrite;
};
