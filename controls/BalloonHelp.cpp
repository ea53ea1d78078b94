#include "BalloonHelp.h"

#include "ClientDC.h"
#include "DC.h"
#include "PaintDC.h"
#include "WinApp.h"
#include "WindowDC.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

namespace {

const char* const kClassName = "BalloonHelpClass";
const char* const kClassNameShadowed = "BalloonHelpClassDS";
const UINT_PTR kCloseTimerId = 1;
const DWORD kFadeMs = 200;

// The colour bitmap of an icon drawn over the background at the icon's own size.
HBITMAP IconOverBackground(HICON hIcon, COLORREF crBackground, int& cx, int& cy)
{
    ICONINFO ii{};
    if (!::GetIconInfo(hIcon, &ii))
        return nullptr;
    BITMAP bm{};
    ::GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    cx = bm.bmWidth;
    cy = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2; // a monochrome mask holds two images
    if (ii.hbmColor)
        ::DeleteObject(ii.hbmColor);
    if (ii.hbmMask)
        ::DeleteObject(ii.hbmMask);
    HDC hScreen = ::GetDC(nullptr);
    HDC hdc = ::CreateCompatibleDC(hScreen);
    HBITMAP hbm = ::CreateCompatibleBitmap(hScreen, cx, cy);
    ::ReleaseDC(nullptr, hScreen);
    if (!hbm) {
        ::DeleteDC(hdc);
        return nullptr;
    }
    HGDIOBJ old = ::SelectObject(hdc, hbm);
    RECT rc = {0, 0, cx, cy};
    HBRUSH hbr = ::CreateSolidBrush(crBackground);
    ::FillRect(hdc, &rc, hbr);
    ::DeleteObject(hbr);
    ::DrawIconEx(hdc, 0, 0, hIcon, cx, cy, 0, nullptr, DI_NORMAL);
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    return hbm;
}

} // namespace

CBalloonHelp::ShellExecuteFn CBalloonHelp::s_pfnShellExecute = &::ShellExecuteA;
ATOM CBalloonHelp::s_ClassAtom = 0;
ATOM CBalloonHelp::s_ClassAtomShadowed = 0;

BEGIN_MESSAGE_MAP(CBalloonHelp, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_NCPAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_NCCALCSIZE()
    ON_WM_NCHITTEST()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SHOWWINDOW()
    ON_MESSAGE(WM_PRINT, &CBalloonHelp::OnPrint)
    ON_MESSAGE(WM_PRINTCLIENT, &CBalloonHelp::OnPrintClient)
END_MESSAGE_MAP()

CBalloonHelp::CBalloonHelp()
    : m_crBackground(::GetSysColor(COLOR_INFOBK)), m_crForeground(::GetSysColor(COLOR_INFOTEXT))
{
    if (HMODULE hUser32 = ::GetModuleHandleA("USER32.DLL")) {
        m_fnAnimateWindow = reinterpret_cast<BOOL(WINAPI*)(HWND, DWORD, DWORD)>(
            reinterpret_cast<void*>(::GetProcAddress(hUser32, "AnimateWindow")));
    }
    UINT hoverWidth = 0;
    if (::SystemParametersInfoA(SPI_GETMOUSEHOVERWIDTH, 0, &hoverWidth, 0) && hoverWidth >= 1)
        m_nMouseMoveTolerance = static_cast<int>(hoverWidth);
    InitKeybThunk(this);
    InitMouseThunk(this);
    InitCallWndRetThunk(this);
}

CBalloonHelp::~CBalloonHelp()
{
    // Deleted with its window still open: close it as a balloon (hooks off), without the
    // window deleting the object a second time.
    m_unOptions &= ~DeleteThisOnClose;
    if (m_hWnd)
        DestroyWindow();
    RemoveMouseHook();
    RemoveKeyboardHook();
    RemoveCallWndRetHook();
    delete m_pTitleFont;
    delete m_pContentFont;
}

// ---------------------------------------------------------------- creation

void CBalloonHelp::LaunchBalloon(const char* strTitle, const char* strContent, const CPoint& ptAnchor,
                                 const char* szIcon, unsigned unOptions, CWnd* pParentWnd,
                                 const CString& strURL, unsigned unTimeout)
{
    CBalloonHelp* pBalloon = new CBalloonHelp;
    if (szIcon) {
        int cx = std::max(::GetSystemMetrics(SM_CXSIZE), ::GetSystemMetrics(SM_CXSMICON));
        int cy = std::max(::GetSystemMetrics(SM_CYSIZE), ::GetSystemMetrics(SM_CYSMICON));
        HICON hIcon = static_cast<HICON>(::LoadImageA(nullptr, szIcon, IMAGE_ICON, cx, cy, LR_SHARED));
        if (hIcon)
            pBalloon->SetIcon(hIcon, cx, cy);
    }
    // A balloon that could not be created never had a window to delete it.
    if (!pBalloon->Create(strTitle ? strTitle : "", strContent ? strContent : "", ptAnchor,
                          unOptions | DeleteThisOnClose, pParentWnd, strURL, unTimeout, nullptr))
        delete pBalloon;
}

bool CBalloonHelp::RegisterWindowClasses()
{
    static bool s_tried = false;
    if (!s_tried) {
        s_tried = true;
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DROPSHADOW | CS_SAVEBITS | CS_DBLCLKS;
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = ::GetSysColorBrush(COLOR_WINDOW);
        wc.lpszClassName = kClassNameShadowed;
        s_ClassAtomShadowed = ::RegisterClassExA(&wc);
        wc.style &= ~CS_DROPSHADOW;
        wc.lpszClassName = kClassName;
        s_ClassAtom = ::RegisterClassExA(&wc);
    }
    return s_ClassAtom || s_ClassAtomShadowed;
}

BOOL CBalloonHelp::Create(const CString& strTitle, const CString& strContent, const CPoint& ptAnchor,
                          unsigned unOptions, CWnd* pParentWnd, CString strURL, unsigned unTimeout,
                          HICON hIcon)
{
    m_strContent = strContent;
    SetAnchorPoint(ptAnchor, pParentWnd);
    m_unOptions = unOptions;
    m_strURL = strURL;
    m_unTimeout = unTimeout;
    if (hIcon)
        SetIcon(hIcon);

    HWND hOwner = pParentWnd ? pParentWnd->m_hWnd : AfxHwndOf(AfxGetMainWnd());
    if (hOwner)
        hOwner = ::GetAncestor(hOwner, GA_ROOTOWNER);
    if (!hOwner || m_hWnd)
        return FALSE;

    if (!m_pContentFont) {
        LOGFONTA lf{};
        HGDIOBJ hStock = ::GetStockObject(DEFAULT_GUI_FONT);
        m_pContentFont = new CFont;
        if (!hStock || !::GetObjectA(hStock, sizeof lf, &lf) || !m_pContentFont->CreateFontIndirect(&lf)) {
            delete m_pContentFont;
            m_pContentFont = nullptr;
            return FALSE;
        }
    }
    if (!m_pTitleFont) {
        LOGFONTA lf{};
        m_pContentFont->GetLogFont(&lf);
        lf.lfWeight = FW_BOLD;
        m_pTitleFont = new CFont;
        if (!m_pTitleFont->CreateFontIndirect(&lf)) {
            delete m_pTitleFont;
            m_pTitleFont = nullptr;
            return FALSE;
        }
    }
    if (!RegisterWindowClasses())
        return FALSE;
    const char* className =
        (!(m_unOptions & DisableDropShadow) && s_ClassAtomShadowed) || !s_ClassAtom ? kClassNameShadowed
                                                                                     : kClassName;

    BOOL bAnimation = FALSE, bFade = FALSE;
    ::SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &bAnimation, 0);
    if (bAnimation)
        ::SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &bFade, 0);
    if (!bAnimation || !bFade || !m_fnAnimateWindow)
        m_unOptions |= DisableFade;

    // Until the window stands, a failure leaves the object to the caller.
    unsigned unDelete = m_unOptions & DeleteThisOnClose;
    m_unOptions &= ~DeleteThisOnClose;
    DWORD dwExStyle = WS_EX_TOOLWINDOW | ((m_unOptions & ShowTopmost) ? WS_EX_TOPMOST : 0);
    if (!CreateEx(dwExStyle, className, strTitle, WS_POPUP, 0, 0, 10, 10, hOwner, nullptr)) {
        if (m_hWnd)
            DestroyWindow();
        return FALSE;
    }
    m_unOptions |= unDelete;

    PositionWindow();
    if (m_unOptions & CloseOnAnyMouse) {
        ::GetCursorPos(&m_ptMouseOrig);
        SetMouseHook();
    }
    if ((m_unOptions & (CloseOnLButtonUp | CloseOnMButtonUp | CloseOnRButtonUp)) && !::GetCapture())
        SetCapture();
    if (m_unOptions & CloseOnKeyPress)
        SetKeyboardHook();
    ShowWindow(SW_SHOWNOACTIVATE);
    if (!(m_unOptions & DelayedClose))
        SetTimeout(m_unTimeout);
    return TRUE;
}

// ---------------------------------------------------------------- settings

void CBalloonHelp::SetIcon(HICON hIcon)
{
    ICONINFO ii{};
    if (!hIcon || !::GetIconInfo(hIcon, &ii))
        return;
    if (ii.hbmColor) {
        SetIcon(ii.hbmColor, ii.hbmMask);
        ::DeleteObject(ii.hbmColor);
        ::DeleteObject(ii.hbmMask);
        return;
    }
    ::DeleteObject(ii.hbmMask);
    int cx = 0, cy = 0;
    if (HBITMAP hbm = IconOverBackground(hIcon, m_crBackground, cx, cy)) {
        SetIcon(hbm, m_crBackground);
        ::DeleteObject(hbm);
    }
}

void CBalloonHelp::SetIcon(HICON hIcon, int cx, int cy)
{
    int cxIcon = 0, cyIcon = 0;
    HBITMAP hbmIcon = hIcon ? IconOverBackground(hIcon, m_crBackground, cxIcon, cyIcon) : nullptr;
    if (!hbmIcon)
        return;
    HDC hScreen = ::GetDC(nullptr);
    HDC hdcSrc = ::CreateCompatibleDC(hScreen);
    HDC hdcDst = ::CreateCompatibleDC(hScreen);
    HBITMAP hbm = ::CreateCompatibleBitmap(hScreen, cx, cy);
    ::ReleaseDC(nullptr, hScreen);
    if (hbm) {
        HGDIOBJ oldSrc = ::SelectObject(hdcSrc, hbmIcon);
        HGDIOBJ oldDst = ::SelectObject(hdcDst, hbm);
        ::SetStretchBltMode(hdcDst, HALFTONE);
        ::SetBrushOrgEx(hdcDst, 0, 0, nullptr);
        ::StretchBlt(hdcDst, 0, 0, cx, cy, hdcSrc, 0, 0, cxIcon, cyIcon, SRCCOPY);
        ::SelectObject(hdcSrc, oldSrc);
        ::SelectObject(hdcDst, oldDst);
    }
    ::DeleteDC(hdcSrc);
    ::DeleteDC(hdcDst);
    ::DeleteObject(hbmIcon);
    if (hbm) {
        SetIcon(hbm, m_crBackground);
        ::DeleteObject(hbm);
    }
}

void CBalloonHelp::SetIcon(HBITMAP hBitmap, COLORREF crMask)
{
    m_ilIcon.DeleteImageList();
    BITMAP bm{};
    if (hBitmap && ::GetObjectA(hBitmap, sizeof bm, &bm) &&
        m_ilIcon.Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0))
        ImageList_AddMasked(m_ilIcon, hBitmap, crMask);
    if (m_hWnd)
        PositionWindow();
}

void CBalloonHelp::SetIcon(HBITMAP hBitmap, HBITMAP hMask)
{
    m_ilIcon.DeleteImageList();
    BITMAP bm{};
    if (hBitmap && ::GetObjectA(hBitmap, sizeof bm, &bm) &&
        m_ilIcon.Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0))
        ImageList_Add(m_ilIcon, hBitmap, hMask);
    if (m_hWnd)
        PositionWindow();
}

void CBalloonHelp::SetTimeout(unsigned unTimeout)
{
    m_unTimeout = unTimeout;
    if (!m_hWnd)
        return;
    if (unTimeout > 0)
        m_unTimerClose = SetTimer(kCloseTimerId, unTimeout);
    else if (m_unTimerClose)
        KillTimer(m_unTimerClose);
}

void CBalloonHelp::SetAnchorPoint(CPoint ptAnchor, CWnd* pWndAnchor)
{
    m_ptAnchor = ptAnchor;
    m_hwndAnchor = AfxHwndOf(pWndAnchor);
    if (m_hwndAnchor)
        SetCallWndRetHook();
    else
        RemoveCallWndRetHook();
    if (m_hWnd)
        PositionWindow();
}

CPoint CBalloonHelp::GetAnchorPoint() const
{
    CPoint pt = m_ptAnchor;
    if (m_hwndAnchor)
        ::ClientToScreen(m_hwndAnchor, &pt);
    return pt;
}

// ---------------------------------------------------------------- geometry

void CBalloonHelp::GetAnchorScreenBounds(CRect& rect)
{
    if (m_screenRect.IsRectEmpty()) {
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        HMONITOR hMonitor = ::MonitorFromPoint(GetAnchorPoint(), MONITOR_DEFAULTTONEAREST);
        if (hMonitor && ::GetMonitorInfoA(hMonitor, &mi))
            m_screenRect = mi.rcWork;
        else
            ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &m_screenRect, 0);
    }
    rect = m_screenRect;
}

int CBalloonHelp::GetBalloonQuadrant()
{
    CRect bounds;
    GetAnchorScreenBounds(bounds);
    CPoint ptAnchor = GetAnchorPoint();
    CPoint ptCentre = bounds.CenterPoint();
    if (ptAnchor.y < ptCentre.y)
        return ptAnchor.x < ptCentre.x ? 1 : 0;
    return ptAnchor.x < ptCentre.x ? 3 : 2;
}

CSize CBalloonHelp::CalcClientSize()
{
    CClientDC dc(m_hWnd ? this : nullptr);
    CSize sizeHeader = CalcHeaderSize(&dc);
    CSize sizeContent = CalcContentSize(&dc);
    return CSize(std::max(sizeHeader.cx, sizeContent.cx), sizeHeader.cy + sizeContent.cy + Margin);
}

CSize CBalloonHelp::CalcWindowSize()
{
    CSize size = CalcClientSize();
    size.cx += Margin * 2;
    size.cy += Margin * 2 + TailHeight;
    return size;
}

void CBalloonHelp::PositionWindow()
{
    if (!m_hWnd)
        return;
    m_screenRect.SetRectEmpty();
    CSize sizeWnd = CalcWindowSize();
    const int w = sizeWnd.cx, h = sizeWnd.cy;
    const int q = (w - TailHeight) / 4;
    CRect body;
    CPoint tail[3];
    switch (GetBalloonQuadrant()) {
    case 0:
        body.SetRect(0, TailHeight, w, h);
        tail[0] = CPoint(3 * q, 21), tail[1] = CPoint(3 * q + 20, 1), tail[2] = CPoint(3 * q + 20, 21);
        break;
    case 1:
        body.SetRect(0, TailHeight, w, h);
        tail[0] = CPoint(q + 20, 21), tail[1] = CPoint(q, 1), tail[2] = CPoint(q, 21);
        break;
    case 2:
        body.SetRect(0, 0, w, h - TailHeight);
        tail[0] = CPoint(3 * q, h - 22), tail[1] = CPoint(3 * q + 20, h - 2), tail[2] = CPoint(3 * q + 20, h - 22);
        break;
    default:
        body.SetRect(0, 0, w, h - TailHeight);
        tail[0] = CPoint(q + 20, h - 22), tail[1] = CPoint(q, h - 2), tail[2] = CPoint(q, h - 22);
        break;
    }
    for (CPoint& pt : tail)
        pt.x = std::min(std::max(pt.x, static_cast<LONG>(Margin)), static_cast<LONG>(w - Margin));

    // The tip touches the anchor; then the body is kept inside the work area, the tip
    // moving back so that it still points at the anchor.
    CPoint topLeft = GetAnchorPoint() - tail[1];
    CRect bounds;
    GetAnchorScreenBounds(bounds);
    int dx = 0, dy = 0;
    if (topLeft.x < bounds.left)
        dx = bounds.left - topLeft.x;
    else if (topLeft.x + w >= bounds.right)
        dx = bounds.right - (topLeft.x + w);
    if (topLeft.y + TailHeight < bounds.top)
        dy = bounds.top - (topLeft.y + TailHeight);
    else if (topLeft.y + h - TailHeight >= bounds.bottom)
        dy = bounds.bottom - (topLeft.y + h - TailHeight);
    tail[1].x -= dx;
    topLeft.Offset(dx, dy);
    MoveWindow(topLeft.x, topLeft.y, w, h, TRUE);

    CRgn shape, round;
    shape.CreatePolygonRgn(tail, 3, ALTERNATE);
    round.CreateRoundRectRgn(body.left, body.top, body.right, body.bottom, 24, 24);
    shape.CombineRgn(&shape, &round, RGN_OR);
    if (!m_rgnComplete.m_hObject || !m_rgnComplete.EqualRgn(&shape)) {
        if (!m_rgnComplete.m_hObject)
            m_rgnComplete.CreateRectRgn(0, 0, 0, 0);
        m_rgnComplete.CopyRgn(&shape);
        // The window takes the region it is given; it gets a copy of its own.
        HRGN hWindowRgn = ::CreateRectRgn(0, 0, 0, 0);
        ::CombineRgn(hWindowRgn, shape, nullptr, RGN_COPY);
        SetWindowRgn(hWindowRgn, TRUE);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    }
}

void CBalloonHelp::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    RECT& rc = lpncsp->rgrc[0];
    ::InflateRect(&rc, -Margin, -Margin);
    if (GetBalloonQuadrant() < 2)
        rc.top += TailHeight;
    else
        rc.bottom -= TailHeight;
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    if (bCalcValidRects && !::EqualRect(&lpncsp->rgrc[0], &lpncsp->rgrc[2]))
        ::SetRectEmpty(&lpncsp->rgrc[2]);
}

LRESULT CBalloonHelp::OnNcHitTest(CPoint /*point*/)
{
    return HTCLIENT;
}

// ---------------------------------------------------------------- drawing

BOOL CBalloonHelp::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, m_crBackground);
    return TRUE;
}

void CBalloonHelp::OnPaint()
{
    CPaintDC dc(this);
    DrawClientArea(&dc);
}

void CBalloonHelp::OnNcPaint()
{
    CWindowDC dc(this);
    DrawNonClientArea(&dc);
}

LRESULT CBalloonHelp::OnPrint(WPARAM wParam, LPARAM lParam)
{
    if (lParam & PRF_NONCLIENT)
        DrawNonClientArea(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    return Default();
}

LRESULT CBalloonHelp::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    CDC* pDC = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
    if (lParam & PRF_ERASEBKGND)
        OnEraseBkgnd(pDC);
    if (lParam & PRF_CLIENT)
        DrawClientArea(pDC);
    return 0;
}

void CBalloonHelp::DrawNonClientArea(CDC* pDC)
{
    CRect rectWindow;
    GetWindowRect(&rectWindow);
    CRect rectClient;
    GetClientRect(&rectClient);
    ClientToScreen(&rectClient);
    rectClient.OffsetRect(-rectWindow.left, -rectWindow.top);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);

    pDC->ExcludeClipRect(&rectClient);
    pDC->FillSolidRect(&rectWindow, m_crBackground);
    pDC->SelectClipRgn(nullptr);
    if (!m_rgnComplete.m_hObject)
        return;

    if (m_unOptions & ShowInnerShadow) {
        COLORREF crHighlight = RGB(GetRValue(m_crBackground) / 3 + 170, GetGValue(m_crBackground) / 3 + 170,
                                   GetBValue(m_crBackground) / 3 + 170);
        COLORREF crShadow = RGB(GetRValue(m_crForeground) / 3 + GetRValue(m_crBackground) / 3 * 2,
                                GetGValue(m_crForeground) / 3 + GetGValue(m_crBackground) / 3 * 2,
                                GetBValue(m_crForeground) / 3 + GetBValue(m_crBackground) / 3 * 2);
        CBrush brHighlight(crHighlight);
        CBrush brShadow(crShadow);
        m_rgnComplete.OffsetRgn(1, 1);
        pDC->FrameRgn(&m_rgnComplete, &brHighlight, 2, 2);
        m_rgnComplete.OffsetRgn(-2, -2);
        pDC->FrameRgn(&m_rgnComplete, &brShadow, 2, 2);
        m_rgnComplete.OffsetRgn(1, 1);
    }
    CBrush brFrame(m_crForeground);
    pDC->FrameRgn(&m_rgnComplete, &brFrame, 1, 1);
}

void CBalloonHelp::DrawClientArea(CDC* pDC)
{
    CSize sizeHeader = DrawHeader(pDC, TRUE);
    DrawContent(pDC, sizeHeader.cy + Margin, TRUE);
}

CRect CBalloonHelp::GetCloseButtonRect() const
{
    CRect rect;
    GetClientRect(&rect);
    return CRect(rect.right - ::GetSystemMetrics(SM_CXSIZE), 0, rect.right, ::GetSystemMetrics(SM_CYSIZE));
}

void CBalloonHelp::DrawCloseButton(CDC* pDC)
{
    CRect rect = GetCloseButtonRect();
    pDC->DrawFrameControl(&rect, DFC_CAPTION, DFCS_CAPTIONCLOSE | m_uCloseState);
}

void CBalloonHelp::RedrawCloseButton()
{
    CClientDC dc(this);
    DrawCloseButton(&dc);
}

CSize CBalloonHelp::DrawHeader(CDC* pDC, BOOL bDraw)
{
    CSize size(0, 0);
    CRect rectClient;
    GetClientRect(&rectClient);

    int cxIcon = 0, cyIcon = 0;
    if (m_ilIcon.m_hImageList && ImageList_GetIconSize(m_ilIcon, &cxIcon, &cyIcon)) {
        size.cx += cxIcon;
        size.cy = cyIcon;
        if (bDraw) {
            m_ilIcon.SetBkColor(m_crBackground);
            m_ilIcon.Draw(pDC, 0, CPoint(0, 0), ILD_NORMAL);
        }
    }
    int cxClose = 0;
    if (m_unOptions & ShowCloseButton) {
        cxClose = ::GetSystemMetrics(SM_CXSIZE);
        if (size.cx > 0)
            size.cx += Margin;
        size.cx += cxClose;
        size.cy = std::max(size.cy, static_cast<LONG>(::GetSystemMetrics(SM_CYSIZE)));
        if (bDraw)
            DrawCloseButton(pDC);
    }
    CString strTitle;
    GetWindowText(strTitle);
    if (!strTitle.IsEmpty() && m_pTitleFont) {
        CFont* pOldFont = pDC->SelectObject(m_pTitleFont);
        CRect rectTitle(0, 0, 0, 0);
        pDC->DrawText(strTitle, &rectTitle, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE);
        if (size.cx > 0)
            size.cx += Margin;
        size.cx += rectTitle.Width();
        size.cy = std::max(size.cy, static_cast<LONG>(rectTitle.Height()));
        if (bDraw) {
            rectTitle = rectClient;
            rectTitle.left += cxIcon;
            rectTitle.right -= cxClose;
            pDC->SetBkMode(TRANSPARENT);
            pDC->SetTextColor(m_crForeground);
            pDC->DrawText(strTitle, &rectTitle, DT_CENTER | DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE);
        }
        pDC->SelectObject(pOldFont);
    }
    return size;
}

CSize CBalloonHelp::DrawContent(CDC* pDC, int nTop, BOOL bDraw)
{
    if (m_strContent.IsEmpty() || !m_pContentFont)
        return CSize(0, 0);
    CRect rect;
    GetAnchorScreenBounds(rect);
    rect.OffsetRect(-rect.left, -rect.top);
    rect.right = rect.left + rect.Width() / 2;
    rect.top = nTop;
    CFont* pOldFont = pDC->SelectObject(m_pContentFont);
    pDC->DrawText(m_strContent, &rect, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
    if (bDraw) {
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(m_crForeground);
        pDC->DrawText(m_strContent, &rect, DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
    }
    pDC->SelectObject(pOldFont);
    return CSize(rect.Width(), rect.Height());
}

// ---------------------------------------------------------------- mouse on the balloon

void CBalloonHelp::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    if ((m_unOptions & ShowCloseButton) && GetCloseButtonRect().PtInRect(point)) {
        m_bCloseHeld = true;
        m_uCloseState |= DFCS_PUSHED;
        SetCapture();
        RedrawCloseButton();
        return;
    }
    Default();
}

void CBalloonHelp::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    if (m_unOptions & ShowCloseButton) {
        UINT uState = GetCloseButtonRect().PtInRect(point) ? DFCS_HOT | (m_bCloseHeld ? DFCS_PUSHED : 0u) : DFCS_FLAT;
        if (uState != m_uCloseState) {
            m_uCloseState = uState;
            RedrawCloseButton();
        }
    }
    Default();
}

void CBalloonHelp::OnLButtonUp(UINT /*nFlags*/, CPoint point)
{
    if (m_bCloseHeld) {
        m_bCloseHeld = false;
        ::ReleaseCapture();
        bool inside = GetCloseButtonRect().PtInRect(point) != FALSE;
        m_uCloseState = inside ? DFCS_HOT : DFCS_FLAT;
        if (inside) {
            HideBalloon(); // may delete this
            return;
        }
        RedrawCloseButton();
        return;
    }
    CRect rectClient;
    GetClientRect(&rectClient);
    if (!m_strURL.IsEmpty() && rectClient.PtInRect(point)) {
        s_pfnShellExecute(nullptr, "open", m_strURL, nullptr, nullptr, SW_SHOWNORMAL);
        HideBalloon(); // may delete this
        return;
    }
    Default();
}

// ---------------------------------------------------------------- life cycle

void CBalloonHelp::HideBalloon()
{
    if (m_unOptions & DelayedClose) {
        m_unOptions &= ~(DelayedClose | CloseOnAnyMouse);
        SetTimeout(m_unTimeout);
        return;
    }
    ShowWindow(SW_HIDE);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    DestroyWindow(); // last: with DeleteThisOnClose the object is gone afterwards
}

void CBalloonHelp::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kCloseTimerId) {
        Default();
        return;
    }
    KillTimer(m_unTimerClose);
    HideBalloon();
}

void CBalloonHelp::OnClose()
{
    HideBalloon();
}

void CBalloonHelp::OnShowWindow(BOOL bShow, UINT /*nStatus*/)
{
    // The fade itself may show or hide the window again (it does under Wine): only the
    // outer call fades.
    if (m_fnAnimateWindow && !m_bAnimating) {
        DWORD dwFlags = 0;
        if (bShow && !(m_unOptions & DisableFadeIn))
            dwFlags = AW_BLEND;
        else if (!bShow && !(m_unOptions & DisableFadeOut))
            dwFlags = AW_BLEND | AW_HIDE;
        if (dwFlags) {
            m_bAnimating = true;
            m_fnAnimateWindow(m_hWnd, kFadeMs, dwFlags);
            m_bAnimating = false;
        }
    }
    Default();
}

void CBalloonHelp::OnDestroy()
{
    RemoveMouseHook();
    RemoveKeyboardHook();
    RemoveCallWndRetHook();
    Default();
}

void CBalloonHelp::PostNcDestroy()
{
    CWnd::PostNcDestroy();
    if (m_unOptions & DeleteThisOnClose)
        delete this;
}

// ---------------------------------------------------------------- hooks

void CBalloonHelp::SetKeyboardHook()
{
    if (!m_hKeyboardHook && GetKeybHookThunk())
        m_hKeyboardHook = ::SetWindowsHookExA(WH_KEYBOARD, GetKeybHookThunk(), nullptr, ::GetCurrentThreadId());
}

void CBalloonHelp::RemoveKeyboardHook()
{
    if (m_hKeyboardHook && ::UnhookWindowsHookEx(m_hKeyboardHook))
        m_hKeyboardHook = nullptr;
}

void CBalloonHelp::SetMouseHook()
{
    if (!m_hMouseHook && GetMouseHookThunk())
        m_hMouseHook = ::SetWindowsHookExA(WH_MOUSE, GetMouseHookThunk(), nullptr, ::GetCurrentThreadId());
}

void CBalloonHelp::RemoveMouseHook()
{
    if (m_hMouseHook && ::UnhookWindowsHookEx(m_hMouseHook))
        m_hMouseHook = nullptr;
}

void CBalloonHelp::SetCallWndRetHook()
{
    if (!m_hCallWndRetHook && GetCallWndRetHookThunk())
        m_hCallWndRetHook =
            ::SetWindowsHookExA(WH_CALLWNDPROCRET, GetCallWndRetHookThunk(), nullptr, ::GetCurrentThreadId());
}

void CBalloonHelp::RemoveCallWndRetHook()
{
    if (m_hCallWndRetHook && ::UnhookWindowsHookEx(m_hCallWndRetHook))
        m_hCallWndRetHook = nullptr;
}

LRESULT CBalloonHelp::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    // Bit 31 of the key flags is set while a key goes up.
    if (code >= 0 && !(static_cast<DWORD>(lParam) & 0x80000000u) && ::IsWindow(m_hWnd))
        PostMessage(WM_CLOSE);
    return ::CallNextHookEx(m_hKeyboardHook, code, wParam, lParam);
}

LRESULT CBalloonHelp::MouseHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && ::IsWindow(m_hWnd)) {
        unsigned bit = 0;
        switch (wParam) {
        case WM_LBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
            bit = CloseOnLButtonDown;
            break;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            bit = CloseOnLButtonUp;
            break;
        case WM_RBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
            bit = CloseOnRButtonDown;
            break;
        case WM_RBUTTONUP:
        case WM_NCRBUTTONUP:
            bit = CloseOnRButtonUp;
            break;
        case WM_MBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            bit = CloseOnMButtonDown;
            break;
        case WM_MBUTTONUP:
        case WM_NCMBUTTONUP:
            bit = CloseOnMButtonUp;
            break;
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            if (m_unOptions & CloseOnMouseMove) {
                POINT pt;
                ::GetCursorPos(&pt);
                if (std::abs(pt.x - m_ptMouseOrig.x) > m_nMouseMoveTolerance ||
                    std::abs(pt.y - m_ptMouseOrig.y) > m_nMouseMoveTolerance)
                    bit = CloseOnMouseMove;
            }
            break;
        default:
            break;
        }
        if (bit & m_unOptions)
            PostMessage(WM_CLOSE);
    }
    return ::CallNextHookEx(m_hMouseHook, code, wParam, lParam);
}

LRESULT CBalloonHelp::CallWndRetHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && ::IsWindow(m_hWnd)) {
        const CWPRETSTRUCT* pMsg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (pMsg && pMsg->hwnd == m_hwndAnchor && pMsg->message == WM_MOVE)
            PositionWindow();
    }
    return ::CallNextHookEx(m_hCallWndRetHook, code, wParam, lParam);
}
