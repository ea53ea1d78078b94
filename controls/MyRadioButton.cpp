#include "MyRadioButton.h"

#include "ClientDC.h"
#include "DC.h"
#include "Look.h"
#include "PaintDC.h"

BEGIN_MESSAGE_MAP(CMyRadioButton, CButton)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CMyRadioButton::CMyRadioButton()
    : m_crSecond(look::kLabelBackground), m_crText(look::kText), m_crFace(look::kPanelBackground),
      m_nFontWeight(look::kFontWeight), m_nFontHeight(look::kFontHeight)
{
}

void CMyRadioButton::Initialize()
{
    GetClientRect(&m_rectClient);
    look::CreateLookFont(m_font, m_nFontHeight, m_nFontWeight);
}

void CMyRadioButton::SetText(const CString& strText)
{
    m_strCaption = strText;
    Invalidate(TRUE);
}

void CMyRadioButton::SetCheck(int nCheck)
{
    m_nCheck = nCheck;
    if (m_hWnd) {
        CClientDC dc(this);
        Paint(&dc);
    }
}

void CMyRadioButton::Paint(CDC* pDC)
{
    pDC->FillSolidRect(&m_rectClient, m_crFace);
    CFont* pFont = (m_bUseOtherFont && m_pOtherFont) ? m_pOtherFont : &m_font;
    CFont* pOldFont = pFont->m_hObject ? pDC->SelectObject(pFont) : nullptr;
    pDC->SetTextColor(m_crText);
    pDC->SetBkMode(TRANSPARENT);

    int s = m_rectClient.Height() - 3;
    CBrush brWhite(RGB(255, 255, 255));
    CPen penRing(PS_SOLID, 1, look::kRadioRing);
    CBrush* pOldBrush = pDC->SelectObject(&brWhite);
    CPen* pOldPen = pDC->SelectObject(&penRing);
    pDC->Ellipse(1, 1, s - 1, s - 1);
    if (m_nCheck) {
        CBrush brMark(look::kMark);
        CPen penMark(PS_SOLID, 1, look::kMark);
        pDC->SelectObject(&brMark);
        pDC->SelectObject(&penMark);
        pDC->Ellipse(3, 3, s - 3, s - 3);
        pDC->SelectObject(&brWhite);
        pDC->SelectObject(&penRing);
    }
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
    CRect rectText(s + 3, 0, m_rectClient.Width(), m_rectClient.Height());
    pDC->DrawText(m_strCaption, &rectText, m_uFormat);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

void CMyRadioButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    Paint(CDC::FromHandle(lpDrawItemStruct->hDC));
}

void CMyRadioButton::OnPaint()
{
    CPaintDC dc(this);
    Paint(&dc);
}

BOOL CMyRadioButton::OnEraseBkgnd(CDC* pDC)
{
    Paint(pDC);
    return FALSE;
}
