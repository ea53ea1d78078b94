#include "MyStatic.h"

#include "DataFiles.h"
#include "Look.h"
#include "PaintDC.h"
#include "MessageBox.h"
#include "resource.h"

#include <shellapi.h>

IMPLEMENT_DYNAMIC(CMyStatic, CStatic)

BEGIN_MESSAGE_MAP(CMyStatic, CStatic)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SIZE()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEHOVER()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

// The public classification pages that the two classification captions open.
const char kUsClassificationCaption[] = "Current US Classification";
const char kUsClassificationPage[] = "https://www.uspto.gov/web/patents/classification/";
const char kIntClassificationCaption[] = "International Classification";
const char kIntClassificationPage[] = "https://www.wipo.int/classifications/ipc/en/";

} // namespace

CMyStatic::HelpPageViewer CMyStatic::s_pfnShowHelpPage = nullptr;
CMyStatic::ShellExecuteFn CMyStatic::s_pfnShellExecute = ::ShellExecuteA;

CMyStatic::CMyStatic()
    : m_nFontWeight(look::kFontWeight), m_nFontHeight(look::kFontHeight),
      m_crBackground(look::kLabelBackground), m_crText(look::kText)
{
}

CMyStatic::~CMyStatic() = default;

void CMyStatic::Initialize()
{
    GetClientRect(&m_rectClient);
    m_Font.DeleteObject();
    m_SecondFont.DeleteObject();
    m_Font.Attach(look::CreateLookFont(m_nFontHeight, m_nFontWeight));
    m_SecondFont.Attach(look::CreateLookFont(m_nFontHeight, m_nFontWeight));
    m_hLinkCursor = AfxGetApp() ? AfxGetApp()->LoadCursor(IDC_LINK_HAND)
                                : ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_LINK_HAND));
}

void CMyStatic::SetText(CString text)
{
    m_strCaption = text;
    if (m_hWnd)
        Invalidate(TRUE);
}

void CMyStatic::CalcTextHeight(CString text, CRect& rect)
{
    CClientDC dc(this);
    CFont* pOld = m_Font.m_hObject ? dc.SelectObject(&m_Font) : nullptr;
    CRect measured = rect;
    dc.DrawText(text, &measured, DT_CALCRECT | DT_SINGLELINE);
    if (pOld)
        dc.SelectObject(pOld);
    if (rect.IsRectNull() || rect.Width() <= 0) {
        rect = measured;
        return;
    }
    rect.bottom = rect.top + (measured.Width() / rect.Width() + 2) * 7 + measured.Height();
}

BOOL CMyStatic::OnEraseBkgnd(CDC* pDC)
{
    if (!m_bTransparent)
        pDC->FillSolidRect(&m_rectClient, m_crBackground);
    CFont* pOld = m_Font.m_hObject ? pDC->SelectObject(&m_Font) : nullptr;
    pDC->SetTextColor(m_bLink ? look::kLinkText : m_crText);
    pDC->SetBkMode(TRANSPARENT);
    CRect rc = m_rectClient;
    pDC->DrawText(m_strCaption, &rc, m_nFormat);
    if (pOld)
        pDC->SelectObject(pOld);
    return FALSE;
}

void CMyStatic::OnPaint()
{
    // Beginning the paint erases what is due, and the erase draws the label; nothing is
    // painted here besides.
    CPaintDC dc(this);
}

HBRUSH CMyStatic::CtlColor(CDC*, UINT)
{
    return nullptr;
}

void CMyStatic::OnSize(UINT nType, int cx, int cy)
{
    CStatic::OnSize(nType, cx, cy);
    GetClientRect(&m_rectClient);
}

void CMyStatic::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bLink) {
        ::SetCursor(m_hLinkCursor);
        if (!m_bTracking) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_HOVER | TME_LEAVE, m_hWnd, 1};
            m_bTracking = ::TrackMouseEvent(&tme);
        }
    }
    CStatic::OnMouseMove(nFlags, point);
}

void CMyStatic::OnMouseHover(UINT nFlags, CPoint point)
{
    if (m_bLink) {
        m_bHovering = TRUE;
        ::SetCursor(m_hLinkCursor);
    }
    CStatic::OnMouseHover(nFlags, point);
}

void CMyStatic::OnMouseLeave()
{
    if (m_bLink) {
        m_bTracking = FALSE;
        m_bHovering = FALSE;
        ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    }
    CStatic::OnMouseLeave();
}

void CMyStatic::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_bLink) {
        if (m_nHelpMode == 1) {
            CMessageBox box(GetParent());
            box.m_strCaption = "Help";
            box.m_strMessage = m_strHelpText;
            box.DoModal();
            return;
        }
        if (!m_strHelpText.IsEmpty()) {
            const CString page = GetAppDirectory() + "\\HText.html";
            if (s_pfnShowHelpPage)
                s_pfnShowHelpPage(GetParent(), page);
            else
                s_pfnShellExecute(m_hWnd, "open", page, nullptr, nullptr, SW_SHOWNORMAL);
        } else {
            CString caption;
            GetWindowText(caption);
            CString page;
            if (caption == kUsClassificationCaption)
                page = kUsClassificationPage;
            else if (caption == kIntClassificationCaption)
                page = kIntClassificationPage;
            s_pfnShellExecute(m_hWnd, "open", page, nullptr, nullptr, SW_SHOWNORMAL);
        }
    }
    CStatic::OnLButtonDown(nFlags, point);
}
