#include "MyEdit.h"

#include "DC.h"
#include "Look.h"

BEGIN_MESSAGE_MAP(CMyEdit, CEdit)
    ON_WM_ERASEBKGND()
    ON_WM_CHAR()
    ON_WM_SETFOCUS()
    ON_CONTROL_REFLECT_EX(EN_KILLFOCUS, &CMyEdit::OnKillFocusReflect)
    ON_MESSAGE(UM_RESTORE_CUE_TEXT, &CMyEdit::OnRestoreCueText)
    ON_WM_SIZE()
END_MESSAGE_MAP()

void CMyEdit::Initialize()
{
    look::CreateLookFont(m_font);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.m_hObject), TRUE);
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(3, 3));
    SendMessage(EM_LIMITTEXT, 1000);
    GetClientRect(&m_rectClient);
}

void CMyEdit::UpdateCueText()
{
    CString strText;
    GetWindowText(strText);
    if (::GetFocus() == m_hWnd) {
        if (!strText.IsEmpty() && strText == m_strCueText)
            SetWindowText("");
    } else if (m_bCueText && strText.IsEmpty() && !m_strCueText.IsEmpty()) {
        SetWindowText(m_strCueText);
    }
}

bool CMyEdit::IsShowingCueText() const
{
    CString strText;
    GetWindowText(strText);
    return strText == m_strCueText;
}

BOOL CMyEdit::OnEraseBkgnd(CDC* pDC)
{
    CPen pen(PS_SOLID, 1, look::kBorder);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CGdiObject* pOldBrush = pDC->SelectStockObject(WHITE_BRUSH);
    CRect rect = m_rectClient;
    rect.InflateRect(1, 1);
    pDC->Rectangle(&rect);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
    return static_cast<BOOL>(Default());
}

void CMyEdit::OnChar(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/)
{
    if (m_bLocked)
        return;
    Default();
    if (m_bNotify) {
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(UM_FIELD_EDITED, reinterpret_cast<WPARAM>(this), 0);
    }
}

void CMyEdit::OnSetFocus(CWnd* pOldWnd)
{
    if (m_bLocked) {
        Default();
        HideCaret();
        return;
    }
    UpdateCueText();
    CEdit::OnSetFocus(pOldWnd);
}

BOOL CMyEdit::OnKillFocusReflect()
{
    UpdateCueText();
    return FALSE; // the parent sees EN_KILLFOCUS as well
}

LRESULT CMyEdit::OnRestoreCueText(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (m_bCueText && ::GetFocus() != m_hWnd && GetWindowTextLength() == 0)
        SetWindowText(m_strCueText);
    return 0;
}

void CMyEdit::OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/)
{
    Default();
    GetClientRect(&m_rectClient);
}
