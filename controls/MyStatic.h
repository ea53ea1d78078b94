// CMyStatic: the skinned label. It paints everything while its background is erased: the
// label colour (unless transparent), then its caption in Verdana with the DrawText format.
// A label marked as a link shows the hand cursor while the mouse is over it and opens a
// classification page when clicked.
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
    // Grows the rectangle's bottom so that the word-wrapped text fits (an all-zero
    // rectangle becomes the one-line extent); the rectangle must then have a width.
    void CalcTextHeight(CString text, CRect& rect);

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
