// CHyperLink: a static text that opens an address (a web page, a "mailto:" target) through
// the shell when clicked. It shows the address as a tool tip and is drawn underlined in the
// link colour, or in the visited colour once it has opened.
#pragma once

#include "Framework.h"

class CHyperLink : public CStatic
{
    DECLARE_DYNAMIC(CHyperLink)
public:
    CHyperLink() = default;
    ~CHyperLink() override;

    void SetURL(CString address);
    const CString& GetURL() const { return m_strURL; }
    void SetVisited(BOOL bVisited);
    BOOL GetVisited() const { return m_bVisited; }
    void SetUnderline(BOOL bUnderline);
    void SetAutoSize(BOOL bAutoSize);
    void SetLinkCursor(HCURSOR hCursor) { m_hLinkCursor = hCursor; }

    // Opens the address; the shell's result (greater than 32 is success). When the shell
    // cannot open it, the program registered for HTML files is started with the address.
    static HINSTANCE GotoURL(const char* address, int nShowCmd);
    // The program of an HTML-file open command, with the address in place of "%1".
    static CString CommandForAddress(CString command, const char* address);
    // "Unable to open hyperlink:\n\n" and the text for a failed shell result.
    static CString ErrorText(int code);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PreSubclassWindow() override;
    void PositionWindow();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnClicked();

private:
    COLORREF m_crLink = RGB(0, 0, 238);
    COLORREF m_crVisited = RGB(85, 26, 139);
    BOOL m_bVisited = FALSE;
    BOOL m_bUnderline = TRUE;
    BOOL m_bAutoSize = TRUE;
    CString m_strURL;
    CFont m_UnderlineFont;
    HCURSOR m_hLinkCursor = nullptr;
    CToolTipCtrl m_ToolTip;

    DECLARE_MESSAGE_MAP()
};
