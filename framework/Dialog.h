// CDialog: a dialog box made from a dialog template of the program's resources, modal
// (DoModal) or modeless (Create, for instance as a child pane of another dialog).
//
// OnInitDialog runs when the window and its controls exist; the base version exchanges
// the member data with the controls (UpdateData(FALSE), which runs DoDataExchange: there
// DDX_Control binds template controls to member control objects). IDOK runs OnOK
// (UpdateData(TRUE), then EndDialog(IDOK)), IDCANCEL runs OnCancel (EndDialog(IDCANCEL)).
//
// The modal loop is the framework's: messages pass PreTranslateMessage of the window
// objects from the message's window up to the dialog before they are dispatched.
// Command routing: a command from a menu or an accelerator that a child dialog does not
// handle goes on to its parent window (a page to its sheet, the sheet to its pane);
// a top-level dialog offers it to the application object.
#pragma once

#include "Wnd.h"

class CDataExchange;

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(const char* lpszTemplateName, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog; answers the EndDialog result, or -1 when the dialog could not be
    // created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; a null parent gives the application's main window.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL Create(const char* lpszTemplateName, CWnd* pParentWnd = nullptr);

    virtual BOOL OnInitDialog();
    // Ends a modal dialog (DoModal answers nResult) or hides a modeless one.
    void EndDialog(int nResult);
    // Exchanges data between members and controls; FALSE when a value was refused.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(AfxHwndOf(pWndCtrl)), 1); }
    void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
    DWORD GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CWnd* m_pParentWnd = nullptr;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    const char* m_lpszTemplateName = nullptr; // resource id (MAKEINTRESOURCE) or name
    INT_PTR m_nModalResult = -1;

private:
    void SetTemplate(const char* lpszTemplateName);
    const DLGTEMPLATE* LoadTemplate() const;
    void RunModalLoop();

    CString m_strTemplateName;  // a template given by name
    bool m_bModal = false;      // DoModal is running
    bool m_bEndModal = false;   // EndDialog was called during DoModal

    DECLARE_MESSAGE_MAP()
};
