// CImportExportDialog: the "Import/Export Session" dialog (template 287), which asks whether
// the user wants to import a search session from a file or export the chosen one to a file.
// It only answers the choice; the main window then runs the import or the export.
#pragma once

#include "Dialog.h"
#include "HoverButton.h"
#include "MyRadioButton.h"
#include "MyStatic.h"

class CImportExportDialog : public CDialog
{
public:
    explicit CImportExportDialog(CWnd* pParent = nullptr);

    // -1 until OK; then 1 = export, 0 = import.
    int m_nChoice = -1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnBnClickedOk();
    afx_msg void OnImport();
    afx_msg void OnExport();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    CHoverButton m_buttonCancel;
    CHoverButton m_buttonOK;
    CMyStatic m_labelFrame;
    CMyStatic m_labelExplanation;
    CMyRadioButton m_radioImport;
    CMyRadioButton m_radioExport;
};
