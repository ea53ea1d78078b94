#include "MyPropertyPage.h"

#include "BitmapDrawing.h"
#include "Look.h"
#include "resource.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CMyPropertyPage, CDialog)

BEGIN_MESSAGE_MAP(CMyPropertyPage, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_NCHITTEST()
    ON_WM_NCMOUSEMOVE()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_NCLBUTTONUP()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

namespace {

const COLORREF kFramePen = RGB(196, 185, 128);
const int kBackgroundHeight = 240;  // the height bitmap 150 is stretched to
const int kBackgroundReach = 250;   // below this scroll offset the bitmap shows

} // namespace

int GetButtonKind(HWND hWnd, int nExact)
{
    const int type = CMyPropertyPage::GetButtonType(hWnd, nExact);
    switch (type) {
    case BS_DEFPUSHBUTTON: return BS_PUSHBUTTON;
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return BS_CHECKBOX;
    case BS_USERBUTTON: return BS_OWNERDRAW;
    case BS_AUTORADIOBUTTON: return BS_RADIOBUTTON;
    default: return type;
    }
}

void DrawGroupFrame(CDC& dc, const CRect& rect, const CString& strCaption)
{
    const CSize extent = dc.GetTextExtent(strCaption);
    const int y = rect.top + 5;
    dc.MoveTo(rect.left, y);
    dc.LineTo(rect.left + 15, y);
    dc.TextOut(rect.left + 20, rect.top, strCaption);
    dc.MoveTo(rect.left + 25 + extent.cx, y);
    dc.LineTo(rect.right, y);
    dc.LineTo(rect.right, rect.bottom);
    dc.LineTo(rect.left, rect.bottom);
    dc.LineTo(rect.left, y);
}

CMyPropertyPage::CMyPropertyPage(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd)
{
}

CMyPropertyPage::~CMyPropertyPage() = default;

int CMyPropertyPage::GetButtonType(HWND hWnd, BOOL bExact)
{
    if (!hWnd || !::IsWindow(hWnd))
        return -1;
    const LRESULT code = ::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0);
    const int style = static_cast<int>(::GetWindowLongPtrA(hWnd, GWL_STYLE) & 0xF);
    if (code & DLGC_BUTTON)
        return style;
    if (bExact)
        return -1;
    char className[32] = {};
    ::GetClassNameA(hWnd, className, sizeof className);
    if ((code & DLGC_STATIC) && style == BS_GROUPBOX && lstrcmpiA(className, "BUTTON") == 0)
        return BS_GROUPBOX;
    return -1;
}

BOOL CMyPropertyPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bmpBackground.LoadBitmap(IDB_PAGE_BACKGROUND);
    GetClientRect(&m_rectContent);
    m_rectPage = m_rectDraw = m_rectContent;
    m_bScrollBarExists = TRUE;
    RenderBackground();
    m_ScrollBar.Create(nullptr, "Scrollbar", 0, CRect(0, 0, kScrollBarWidth, 200), this, kScrollBarId);
    m_bPageInitialized = TRUE;
    LayoutPage();
    m_ScrollBar.ShowWindow(SW_SHOW);
    return TRUE;
}

void CMyPropertyPage::RenderBackground()
{
    CClientDC screen(this);
    m_bmpOffscreen.DeleteObject();
    const int width = std::max<int>(m_rectDraw.Width(), 1);
    const int height = std::max<int>(m_rectDraw.Height(), 1);
    if (!m_bmpOffscreen.CreateCompatibleBitmap(&screen, width, height))
        return;
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap* pOldBitmap = dc.SelectObject(&m_bmpOffscreen);
    dc.FillSolidRect(0, 0, width, height, look::kPanelBackground);
    if (m_nScrollOffset < kBackgroundReach)
        bitmaps::Stretch(dc, 0, 0, width, kBackgroundHeight, m_bmpBackground);

    CFont verdana;
    look::CreateLookFont(verdana);
    CPen pen(PS_SOLID, 1, kFramePen);
    CFont* pOldFont = dc.SelectObject(&verdana);
    CPen* pOldPen = dc.SelectObject(&pen);
    if (CFont* pPageFont = GetFont())
        dc.SelectObject(pPageFont);
    dc.SetBkMode(TRANSPARENT);

    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        char className[21] = {};
        ::GetClassNameA(hChild, className, sizeof className);
        if (lstrcmpA(className, "Static") == 0 || lstrcmpA(className, "Edit") == 0)
            continue;
        CRect rect;
        ::GetWindowRect(hChild, &rect);
        ScreenToClient(&rect);
        char text[256] = {};
        ::GetWindowTextA(hChild, text, sizeof text);
        const int kind = GetButtonKind(hChild, 0);
        if (kind == BS_RADIOBUTTON) {
            const int s = rect.Height() - 1;
            CGdiObject* pOldBrush = dc.SelectStockObject(WHITE_BRUSH);
            dc.Ellipse(rect.left + 1, rect.top + 1, rect.left + s, rect.top - 1 + s);
            CBrush dot(kFramePen);
            dc.SelectObject(&dot);
            dc.Ellipse(rect.left + 3, rect.top + 3, rect.left - 2 + s, rect.top - 3 + s);
            dc.SelectObject(pOldBrush);
            dc.TextOut(rect.left + 2 + s, rect.top, text, lstrlenA(text));
        } else if (kind == BS_GROUPBOX) {
            DrawGroupFrame(dc, rect, text);
        }
    }
    dc.SelectObject(pOldPen);
    dc.SelectObject(pOldFont);
    dc.SelectObject(pOldBitmap);
}

BOOL CMyPropertyPage::OnEraseBkgnd(CDC* pDC)
{
    if (!m_bmpOffscreen.m_hObject)
        return static_cast<BOOL>(Default());
    bitmaps::Copy(*pDC, 0, -m_nScrollOffset, m_rectDraw.Width(), m_rectDraw.Height(), m_bmpOffscreen);
    return FALSE;
}

void CMyPropertyPage::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_bPageInitialized)
        LayoutPage();
}

void CMyPropertyPage::LayoutPage()
{
    ResetScroll();
    GetClientRect(&m_rectPage);
    m_rectDraw = m_rectContent;
    m_rectDraw.left = 0;
    m_rectDraw.right = m_rectPage.right;
    // The background reaches the page's bottom also when the content is shorter.
    m_rectDraw.bottom = std::max(m_rectContent.bottom, m_rectPage.bottom);
    RenderBackground();

    const int content = m_rectContent.Height();
    const int page = m_rectPage.Height();
    m_nMaxScroll = content - page;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = content;
    info.nPage = static_cast<UINT>(std::max(page, 0));
    info.nPos = 0;
    m_ScrollBar.SetScrollInfo(info);
    m_bNeedScroll = content > page;
    if (m_bScrollBarExists && m_ScrollBar.m_hWnd)
        m_ScrollBar.MoveWindow(m_rectPage.right + 1, 1, kScrollBarWidth, std::max<int>(m_rectPage.bottom - 2, 0));
}

void CMyPropertyPage::SetContentHeight(int nBottom)
{
    m_rectContent.bottom = nBottom;
    if (!m_bPageInitialized)
        return;
    // The strip comes or goes with the non-client area.
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    LayoutPage();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CMyPropertyPage::ScrollContent(int nDy)
{
    CRect bar;
    if (m_ScrollBar.m_hWnd) {
        m_ScrollBar.GetWindowRect(&bar);
        ScreenToClient(&bar);
    }
    ScrollWindow(0, nDy);
    if (m_ScrollBar.m_hWnd)
        m_ScrollBar.MoveWindow(&bar, FALSE);
}

void CMyPropertyPage::ResetScroll()
{
    if (!m_bPageInitialized)
        return;
    if (m_nScrollOffset != 0)
        ScrollContent(m_nScrollOffset);
    m_ScrollBar.ResetPosition();
    m_nScrollOffset = 0;
    m_nLastScrollPos = 0;
}

void CMyPropertyPage::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (m_bPageInitialized) {
        const int hidden = m_rectContent.Height() - m_rectPage.Height();
        const int offset = std::max(0, static_cast<int>(hidden * (static_cast<int>(nPos) * 0.01)));
        const int delta = offset - m_nScrollOffset;
        UpdateWindow();
        if (delta != 0)
            ScrollContent(-delta);
        PaintScrollStrip();
        m_nLastScrollPos = static_cast<int>(nPos);
        m_nScrollOffset += delta;
    }
    CDialog::OnVScroll(nSBCode, nPos, pScrollBar);
}

void CMyPropertyPage::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    RECT& proposed = lpncsp->rgrc[0];
    if (m_rectContent.Height() > proposed.bottom - proposed.top)
        proposed.right -= kStripWidth;
    CDialog::OnNcCalcSize(bCalcValidRects, lpncsp);
}

void CMyPropertyPage::PaintScrollStrip()
{
    if (!m_bNeedScroll || !m_ScrollBar.m_hWnd || !m_ScrollBar.GetBitmap().m_hObject)
        return;
    CWindowDC dc(this);
    CRect bar;
    m_ScrollBar.GetClientRect(&bar);
    // The strip's edge column and the rows below the bar are the page's colour.
    dc.FillSolidRect(m_rectPage.right, m_rectPage.top, kStripWidth, m_rectPage.Height(), look::kPanelBackground);
    bitmaps::Copy(dc, m_rectPage.right + 1, m_rectPage.top, bar.Width(), bar.Height(), m_ScrollBar.GetBitmap());
}

void CMyPropertyPage::OnNcPaint()
{
    PaintScrollStrip();
}

LRESULT CMyPropertyPage::OnNcHitTest(CPoint point)
{
    CPoint client = point;
    ScreenToClient(&client);
    if (m_bNeedScroll && client.x >= m_rectPage.Width())
        return HTVSCROLL;
    return CDialog::OnNcHitTest(point);
}

CPoint CMyPropertyPage::ToScrollBar(CPoint ptScreen) const
{
    ScreenToClient(&ptScreen);
    ptScreen.x -= m_rectPage.Width();
    return ptScreen;
}

void CMyPropertyPage::OnNcMouseMove(UINT nHitTest, CPoint point)
{
    const CPoint pt = ToScrollBar(point);
    m_ScrollBar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    PaintScrollStrip();
    CDialog::OnNcMouseMove(nHitTest, point);
}

void CMyPropertyPage::OnNcLButtonDown(UINT, CPoint point)
{
    const CPoint pt = ToScrollBar(point);
    m_ScrollBar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PaintScrollStrip();
}

void CMyPropertyPage::OnNcLButtonDblClk(UINT, CPoint point)
{
    const CPoint pt = ToScrollBar(point);
    m_ScrollBar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PaintScrollStrip();
}

void CMyPropertyPage::OnNcLButtonUp(UINT, CPoint point)
{
    const CPoint pt = ToScrollBar(point);
    m_ScrollBar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    PaintScrollStrip();
}
