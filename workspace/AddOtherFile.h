// CAddOtherFile: the "Add File To Folder" dialog (template 259), in which the user picks any
// file on disk, with Find or by typing its path, and gives it a title. The folder tree's
// Import File To Folder shows it and files the chosen file as a document of the selected
// folder; the dialog itself only collects the file's name, its full path and the title.
#pragma once

#include "Dialog.h"
#include "HoverButton.h"
#include "MyEdit.h"
#include "MyStatic.h"

class CAddOtherFile : public CDialog
{
public:
    explicit CAddOtherFile(CWnd* pParent = nullptr);

    // The typed path when it names a file, as a full path; empty otherwise.
    static CString ExistingFilePath(const CString& typed);

    // After OK: the file's name without its folder, its full path, and the typed title.
    CString m_strChosenFileName;
    CString m_strChosenPath;
    CString m_strTitle;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // OK needs a file: the one Find chose, or a typed path that names an existing file.
    void OnOK() override;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnFind();
    DECLARE_MESSAGE_MAP()

    CHoverButton m_buttonFind;
    CHoverButton m_buttonCancel;
    CHoverButton m_buttonOK;
    CMyEdit m_editFile;
    CMyEdit m_editTitle;
    CMyStatic m_labelPrompt;
    CMyStatic m_labelFile;
    CMyStatic m_labelTitle;
    CRect m_rectClient;
};
