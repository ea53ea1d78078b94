#include "ProgressCtrlX.h"

#include "PaintDC.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CProgressCtrlX, CProgressCtrl)

BEGIN_MESSAGE_MAP(CProgressCtrlX, CProgressCtrl)
    ON_MESSAGE(PBM_SETRANGE, &ThisClass::OnSetRange)
    ON_MESSAGE(PBM_SETRANGE32, &ThisClass::OnSetRange32)
    ON_MESSAGE(PBM_GETRANGE, &ThisClass::OnGetRange)
    ON_MESSAGE(PBM_SETPOS, &ThisClass::OnSetPos)
    ON_MESSAGE(PBM_DELTAPOS, &ThisClass::OnDeltaPos)
    ON_MESSAGE(PBM_SETSTEP, &ThisClass::OnSetStep)
    ON_MESSAGE(PBM_STEPIT, &ThisClass::OnStepIt)
    ON_MESSAGE(PBM_GETPOS, &ThisClass::OnGetPos)
    ON_MESSAGE(PBM_SETBARCOLOR, &ThisClass::OnSetBarColor)
    ON_MESSAGE(PBM_SETBKCOLOR, &ThisClass::OnSetBkColor)
    ON_MESSAGE(WM_SETTEXT, &ThisClass::OnSetText)
    ON_MESSAGE(WM_GETTEXT, &ThisClass::OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, &ThisClass::OnGetTextLength)
    ON_MESSAGE(WM_SETFONT, &ThisClass::OnSetFont)
    ON_MESSAGE(WM_GETFONT, &ThisClass::OnGetFont)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CProgressCtrlX::CProgressCtrlX() = default;

CProgressCtrlX::~CProgressCtrlX() = default;

void CProgressCtrlX::PreSubclassWindow()
{
    // The dialog gave the standard control its font before this object took the window.
    m_hFont = reinterpret_cast<HFONT>(CWnd::SendMessage(WM_GETFONT));
    CProgressCtrl::PreSubclassWindow();
}

void CProgressCtrlX::ModifyStyle(DWORD dwRemove, DWORD dwAdd)
{
    if (!m_hWnd)
        return;
    CWnd::ModifyStyle(dwRemove, dwAdd, 0);
    Invalidate();
}

void CProgressCtrlX::OnPosChanged(int /*nNewPos*/)
{
    if (m_ToolTip.m_hWnd)
        m_ToolTip.UpdateTipText(FormatText(), this);
}

BOOL CProgressCtrlX::PreTranslateMessage(MSG* pMsg)
{
    if (m_ToolTip.m_hWnd && pMsg->message == WM_MOUSEMOVE)
        m_ToolTip.RelayEvent(pMsg);
    return CProgressCtrl::PreTranslateMessage(pMsg);
}

LRESULT CProgressCtrlX::OnSetRange(WPARAM, LPARAM lParam)
{
    const LRESULT old = MAKELRESULT(m_nLower, m_nUpper);
    CProgress::SetRange(LOWORD(lParam), HIWORD(lParam));
    Invalidate();
    return old;
}

LRESULT CProgressCtrlX::OnSetRange32(WPARAM wParam, LPARAM lParam)
{
    const LRESULT old = MAKELRESULT(m_nLower, m_nUpper);
    CProgress::SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
    Invalidate();
    return old;
}

LRESULT CProgressCtrlX::OnGetRange(WPARAM wParam, LPARAM lParam)
{
    if (auto* pRange = reinterpret_cast<PBRANGE*>(lParam)) {
        pRange->iLow = m_nLower;
        pRange->iHigh = m_nUpper;
    }
    return wParam ? m_nLower : m_nUpper;
}

LRESULT CProgressCtrlX::OnSetPos(WPARAM wParam, LPARAM)
{
    const int old = CProgress::SetPos(static_cast<int>(wParam));
    Invalidate();
    return old;
}

LRESULT CProgressCtrlX::OnDeltaPos(WPARAM wParam, LPARAM)
{
    const int old = CProgress::OffsetPos(static_cast<int>(wParam));
    Invalidate();
    return old;
}

LRESULT CProgressCtrlX::OnSetStep(WPARAM wParam, LPARAM)
{
    const int old = CProgress::SetStep(static_cast<int>(wParam));
    Invalidate();
    return old;
}

LRESULT CProgressCtrlX::OnStepIt(WPARAM, LPARAM)
{
    const int old = CProgress::StepIt();
    Invalidate();
    return old;
}

LRESULT CProgressCtrlX::OnGetPos(WPARAM, LPARAM)
{
    return m_nPos;
}

LRESULT CProgressCtrlX::OnSetBarColor(WPARAM wParam, LPARAM lParam)
{
    const COLORREF crFirst = static_cast<COLORREF>(lParam);
    SetColors(2, crFirst, wParam ? static_cast<COLORREF>(wParam) : crFirst);
    Invalidate();
    return CLR_DEFAULT;
}

LRESULT CProgressCtrlX::OnSetBkColor(WPARAM, LPARAM lParam)
{
    m_crBk = static_cast<COLORREF>(lParam);
    Invalidate();
    return CLR_DEFAULT;
}

LRESULT CProgressCtrlX::OnSetText(WPARAM, LPARAM lParam)
{
    m_strTextFormat = lParam ? reinterpret_cast<const char*>(lParam) : "";
    Invalidate();
    return TRUE;
}

LRESULT CProgressCtrlX::OnGetText(WPARAM wParam, LPARAM lParam)
{
    // At most wParam - 1 characters and the terminating zero: the buffer holds wParam.
    auto* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer || wParam == 0)
        return 0;
    const CString text = FormatText();
    const size_t n = std::min(static_cast<size_t>(text.GetLength()), static_cast<size_t>(wParam) - 1);
    std::memcpy(buffer, text.GetString(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT CProgressCtrlX::OnGetTextLength(WPARAM, LPARAM)
{
    return FormatText().GetLength();
}

LRESULT CProgressCtrlX::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    m_hFont = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(lParam))
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
}

LRESULT CProgressCtrlX::OnGetFont(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(m_hFont);
}

BOOL CProgressCtrlX::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CProgressCtrlX::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    CProgress::Draw(&dc, rect);
}

void CProgressCtrlX::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kStepTimer) {
        CProgressCtrl::OnTimer(nIDEvent);
        return;
    }
    CProgress::StepIt();
    Invalidate();
}
