// CMyStatic: the skinned label. It paints everything while its background is erased: the
// label colour (unless transparent), then its caption in Verdana with the DrawText format.
// A label marked as a (help) link shows the hand cursor while the mouse is over it; a click
// shows its help: in help mode 1 the help text in the program's message box captioned
// "Help"; in mode 0 with a help text the query help page (HText.html in the program folder)
// in the query help window; in mode 0 without one the classification page that its own
// window text names.
#pragma once

#include "Framework.h"

class CMyStatic : public CStatic
{
    DECLARE_DYNAMIC(CMyStatic)
public:
    CMyStatic();
    ~CMyStatic() override;

    // Takes the client rectangle, makes the two fonts of the height and weight members and
    // loads the link cursor; called after the other settings.
    void Initialize();
    void SetText(CString text);
    const CString& GetText() const { return m_strCaption; }
    void SetTextColor(COLORREF colour) { m_crText = colour; }
    void SetBkColor(COLORREF colour) { m_crBackground = colour; }
    void SetTransparent(BOOL bTransparent) { m_bTransparent = bTransparent; }
    void SetTextFormat(UINT nFormat) { m_nFormat = nFormat; }
    void SetFontHeight(int height) { m_nFontHeight = height; }
    void SetFontWeight(int weight) { m_nFontWeight = weight; }
    void SetLink(BYTE bLink) { m_bLink = bLink; }
    void SetHelpText(CString text) { m_strHelpText = text; }
    void SetHelpMode(int mode) { m_nHelpMode = mode; }
    BYTE IsLink() const { return m_bLink; }
    const CString& GetHelpText() const { return m_strHelpText; }
    int GetHelpMode() const { return m_nHelpMode; }
    // Grows the rectangle's bottom so that the word-wrapped text fits: top + measured height
    // + 7 x (one-line width / rectangle width + 2). An all-zero rectangle, or one without a
    // width, becomes the text's one-line extent.
    void CalcTextHeight(CString text, CRect& rect);

    // The owner's column of the label: 0 left, 1 right.
    int m_nColumn = 0;

    // Shows the query help page (a file path) in the query help window; set by the part of
    // the program that has that window. While none is set the shell opens the page.
    typedef void (*HelpPageViewer)(CWnd* pParent, const CString& strPath);
    static HelpPageViewer s_pfnShowHelpPage;
    // Opens the classification pages and, without a viewer, the help page. The shell's
    // ShellExecuteA; a test may put its own in.
    typedef HINSTANCE(WINAPI* ShellExecuteFn)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static ShellExecuteFn s_pfnShellExecute;

    BOOL IsTransparent() const { return m_bTransparent; }
    UINT GetTextFormat() const { return m_nFormat; }
    HCURSOR GetLinkCursor() const { return m_hLinkCursor; }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseHover(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);

private:
    BOOL m_bTransparent = FALSE;
    UINT m_nFormat = DT_WORDBREAK;
    int m_nFontWeight;
    int m_nFontHeight;
    BYTE m_bLink = 0;
    BOOL m_bTracking = FALSE;
    BOOL m_bHovering = FALSE;
    HCURSOR m_hLinkCursor = nullptr;
    CString m_strHelpText;
    COLORREF m_crBackground;
    COLORREF m_crText;
    CRect m_rectClient;
    CFont m_Font;
    CFont m_SecondFont;
    CString m_strCaption;
    int m_nHelpMode = 0;

    DECLARE_MESSAGE_MAP()
};
