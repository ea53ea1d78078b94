// CHLinkDialog: the "Search Queries Help" window (template 294), a small modal dialog that
// shows the program's query help page (HText.html beside the program) in an embedded web
// browser, with an OK button under it. The help links of the query pages open it.
#pragma once

#include "Dialog.h"
#include "HoverButton.h"

// The WebBrowser control's class id, {8856F961-340A-11D0-A96B-00C04FD705A2}.
extern const CLSID CLSID_ZentrovaWebBrowser;

// CBrowser: the window object of the hosted web browser.
class CBrowser : public CWnd
{
    DECLARE_DYNCREATE(CBrowser)
public:
    // Creates the browser control by its class id, without persisted state.
    BOOL Create(const char* lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // Navigate (dispatch id 104) to the address; the four optional arguments are passed
    // empty. A failure raises _com_error.
    void Navigate(const CString& address);
    // The address the browser shows (LocationURL, dispatch id 211); empty without a control.
    CString GetLocationURL();
};

class CHLinkDialog : public CDialog
{
public:
    explicit CHLinkDialog(CWnd* pParent = nullptr);

    // The address to show; set before DoModal.
    CString m_strAddress;

    // Shows the page at the path in the window, modal; the help labels' viewer.
    static void ShowHelpPage(CWnd* pParent, const CString& strPath);

    CBrowser& Browser() { return m_Browser; }
    CHoverButton& OkButton() { return m_buttonOK; }
    // The browser's navigation was handed on (a browser control exists and took it).
    bool HasNavigated() const { return m_bNavigated; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    void Layout();

    CBrowser m_Browser;
    CHoverButton m_buttonOK;
    bool m_bNavigated = false;
};
