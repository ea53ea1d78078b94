#include "MyCheckboxButton.h"

#include "ClientDC.h"
#include "DC.h"
#include "Look.h"
#include "PaintDC.h"

BEGIN_MESSAGE_MAP(CMyCheckboxButton, CButton)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_CONTROL_REFLECT_EX(BN_CLICKED, &CMyCheckboxButton::OnClicked)
END_MESSAGE_MAP()

CMyCheckboxButton::CMyCheckboxButton()
    : m_crErase(look::kLabelBackground), m_crText(look::kText), m_crFace(look::kPanelBackground),
      m_nFontWeight(look::kFontWeight), m_nFontHeight(look::kFontHeight)
{
}

void CMyCheckboxButton::Initialize()
{
    GetClientRect(&m_rectClient);
    look::CreateLookFont(m_font, m_nFontHeight, m_nFontWeight);
}

void CMyCheckboxButton::SetText(const CString& strText)
{
    m_strCaption = strText;
    Invalidate(TRUE);
}

void CMyCheckboxButton::SetCheck(int nCheck)
{
    m_nCheck = nCheck;
    if (m_hWnd) {
        CClientDC dc(this);
        Paint(&dc);
    }
}

void CMyCheckboxButton::Paint(CDC* pDC)
{
    pDC->FillSolidRect(&m_rectClient, m_crFace);
    CFont* pOldFont = m_font.m_hObject ? pDC->SelectObject(&m_font) : nullptr;
    pDC->SetTextColor(m_crText);
    pDC->SetBkMode(TRANSPARENT);

    int s = m_rectClient.Height() - 3;
    pDC->FillSolidRect(0, 0, s, s, RGB(255, 255, 255));
    if (m_nCheck) {
        CPen pen(PS_SOLID, 1, look::kMark);
        CPen* pOldPen = pDC->SelectObject(&pen);
        pDC->MoveTo(0, 0);
        pDC->LineTo(s, s);
        pDC->MoveTo(s, 0);
        pDC->LineTo(0, s);
        pDC->SelectObject(pOldPen);
    }
    pDC->Draw3dRect(0, 0, s + 1, s + 1, look::kBorder, look::kCheckLowerEdge);
    CRect rectText(s + 3, 0, m_rectClient.Width(), m_rectClient.Height());
    pDC->DrawText(m_strCaption, &rectText, m_uFormat);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

void CMyCheckboxButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    Paint(CDC::FromHandle(lpDrawItemStruct->hDC));
}

void CMyCheckboxButton::OnPaint()
{
    CPaintDC dc(this);
    Paint(&dc);
}

BOOL CMyCheckboxButton::OnEraseBkgnd(CDC* pDC)
{
    pDC->FillSolidRect(&m_rectClient, m_crErase);
    return FALSE;
}

BOOL CMyCheckboxButton::OnClicked()
{
    SetCheck(m_nCheck == 1 ? 0 : 1);
    return FALSE; // the parent sees the click as well
}
