// CMyPropertyPage: the base of the search pages that the tabbed sheet (CMyPropertySheet)
// shows. A child dialog made from its template, with a painted background (bitmap 150
// over the panel beige, drawn off-screen and copied when erasing) and a vertical scroll bar
// of its own once its content is taller than the page: the page then gives up a 14-pixel
// strip at its right edge (its non-client area), shows the picture of its CMyScrollBar
// there and hands the strip's mouse messages to the bar, which answers with the position
// in percent; the page scrolls its children by that share of the hidden content.
//
// A derived page calls OnInitDialog first from its own, OnSize first from its own size
// handler (every size change scrolls back to the top), and SetContentHeight after adding
// or removing fields. Enter and Escape do not close a page.
#pragma once

#include "Framework.h"
#include "MyScrollBar.h"

class CMyPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CMyPropertyPage)
public:
    static const int kScrollBarWidth = 13; // the bar's window
    static const int kStripWidth = 14;     // the non-client strip that shows it
    static const UINT kScrollBarId = 1000;

    explicit CMyPropertyPage(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CMyPropertyPage() override;

    // Background, scroll bar and layout; marks the page initialised. Returns TRUE.
    BOOL OnInitDialog() override;
    // Moves the bottom of the scrollable content (client pixels at the top of the page),
    // lays the page out again for its present size and repaints it.
    void SetContentHeight(int nBottom);
    // Scrolls the page back to the top.
    void ResetScroll();
    // The BS_ type of a child button (its style's low four bits), or -1: not a window, or
    // no button; without bExact a group box (which answers as a static) gives 7.
    static int GetButtonType(HWND hWnd, BOOL bExact);

    BOOL IsPageInitialized() const { return m_bPageInitialized; }
    // The content is taller than the page: the strip and the bar are shown.
    BOOL NeedsScroll() const { return m_bNeedScroll; }
    int GetScrollOffset() const { return m_nScrollOffset; }
    int GetMaxScroll() const { return m_nMaxScroll; }
    int GetLastScrollPos() const { return m_nLastScrollPos; }
    const CRect& GetContentRect() const { return m_rectContent; }
    const CRect& GetPageRect() const { return m_rectPage; }
    CMyScrollBar& GetScrollBar() { return m_ScrollBar; }

protected:
    void OnOK() override {}
    void OnCancel() override {}

    // Copies the background, shifted by the scroll offset; answers FALSE.
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnNcPaint();
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonUp(UINT nHitTest, CPoint point);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()

    // The bar's scroll range, its place and the background for the present size.
    void LayoutPage();
    void RenderBackground();
    // Copies the bar's picture into the strip.
    void PaintScrollStrip();
    // A screen point of the strip in the bar's coordinates.
    CPoint ToScrollBar(CPoint ptScreen) const;
    // Scrolls the children by nDy, the bar keeping its place outside the client area.
    void ScrollContent(int nDy);

    CRect m_rectPage;    // the client rectangle
    CRect m_rectContent; // the client rectangle at initialisation; its bottom can move
    CRect m_rectDraw;    // the off-screen background
    int m_nMaxScroll = 0;
    BOOL m_bNeedScroll = FALSE;
    int m_nScrollOffset = 0;
    int m_nLastScrollPos = 0;
    CBitmap m_bmpBackground;
    CBitmap m_bmpOffscreen;
    BOOL m_bScrollBarExists = FALSE;
    CMyScrollBar m_ScrollBar;
    int m_nScrollBarWidth = kScrollBarWidth;
    BOOL m_bPageInitialized = FALSE;
};

// The button kind of a child window, folded from CMyPropertyPage::GetButtonType: a default
// push button is a push button (0), the automatic and three-state check boxes a check box
// (2), a user button owner-drawn (11), an automatic radio button a radio button (4); other
// values (a group box 7, -1 for no button) stand as they are.
int GetButtonKind(HWND hWnd, int nExact);

// The frame of a group box drawn by hand with the DC's pen and font: open above the
// caption, which stands 20 pixels in from the left edge.
void DrawGroupFrame(CDC& dc, const CRect& rect, const CString& strCaption);
