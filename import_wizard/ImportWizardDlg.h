// CImportWizardDlg: the import wizard's window (dialog 102). At its start it asks the user
// (the offer without the main program's token, the confirmation with it), then plays the
// search animation while its scan thread walks the local drives for older project files,
// showing each folder searched and listing each file found. No hit ends the wizard with a
// message; a single hit is imported at once; several wait for the user to pick one and press
// OK. Importing copies the chosen file over the destination (the current Project.cfg, kept
// as a dated backup), records the first-run flag for the main program and ends the wizard.
//
// Only the scan thread scans: Enter, which presses the hidden default button, does nothing.
// The scan thread changes the controls, has its message boxes shown and ends the dialog
// through window messages to the user-interface thread, which owns every window.
#pragma once

#include "Framework.h"
#include "ProjectFileSearch.h"

#include <atomic>

// Scan thread -> wizard window (sent): show a message box owned by the window and answer its
// result; wParam 0, lParam a WizardMessageBox* valid during the call.
#define UM_SHOW_MESSAGE_BOX (WM_APP + 1)

struct WizardMessageBox
{
    const char* lpszText;
    const char* lpszCaption;
    UINT nType;
};

class CImportWizardDlg : public CDialog, protected CProjectFileSearch
{
public:
    // The whole command line of the program, its path included.
    explicit CImportWizardDlg(const CString& commandLine, CWnd* pParent = nullptr);
    ~CImportWizardDlg() override;

    BOOL OnInitDialog() override;

    // The file that an import replaces (the folder after the marker + "\Project.cfg"),
    // known once the dialog has started.
    const CString& GetDestination() const { return m_strDestination; }

    // Whether HKEY_CURRENT_USER\Software\Quendal LLC\Zentrova\Settings holds "FirstTime".
    static BOOL IsFirstTimeValueSet();
    // Sets a REG_SZ value under HKEY_CURRENT_USER\Software\Quendal LLC\Zentrova\<subkey>,
    // creating the keys on the way; gives up silently at the first failure.
    static void WriteRegistryString(const char* lpszSubKey, const char* lpszValueName, const char* lpszValue);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Enter: the scan thread already scans, so there is nothing to do.
    void OnOK() override;

    // The OK button (1003), and the single hit: imports the selected line.
    afx_msg void OnImport();
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg LRESULT OnShowMessageBox(WPARAM wParam, LPARAM lParam);

    void OnSearchText(const CString& text) override;
    void OnProjectFileFound(const CString& path) override;

private:
    static DWORD WINAPI ScanThreadProc(LPVOID pParam);
    // The scan thread's work: every drive, then the outcome.
    void RunScan();
    // Ends the dialog with IDCANCEL, from either thread.
    void EndWizard();
    // A message box owned by the window, shown by the user-interface thread from either
    // thread; answers its result.
    int ShowMessageBox(const char* lpszText, const char* lpszCaption, UINT nType);

    CString m_strCommandLine;
    CString m_strDestination;
    CAnimateCtrl m_Animation;
    CButton m_ImportButton;
    CStatic m_Instruction;
    CListBox m_FoundList;
    CStatic m_SearchText;
    HICON m_hIcon = nullptr;
    HANDLE m_hScanThread = nullptr;
    std::atomic<bool> m_bImportStarted{false};

    DECLARE_MESSAGE_MAP()
};
