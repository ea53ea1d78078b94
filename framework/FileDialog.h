// CFileDialog: the system's Open or Save As dialog. The filter is given as pairs of
// description and pattern separated by '|', ended by "||".
#pragma once

#include "Dialog.h"

#include <commdlg.h>

class CFileDialog : public CDialog
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    explicit CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr,
                         const char* lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);

    // IDOK with a chosen file, IDCANCEL otherwise (also when the dialog failed).
    INT_PTR DoModal() override;

    OPENFILENAMEA m_ofn{};

    CString GetPathName() const { return CString(m_szFileName); }
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;

private:
    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    CString m_strFilter;  // '\0'-separated, as the system wants it
    char m_szFileName[4096] = {};
    char m_szFileTitle[MAX_PATH] = {};
};
