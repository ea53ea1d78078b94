#include "Progress.h"

#include "Brush.h"
#include "MemDC.h"
#include "SelectGuards.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cstdlib>
#include <memory>

CString FormatProgressText(const CString& strFormat, int nValue)
{
    int conversions = 0;
    const char* p = strFormat.GetString();
    const char* end = p + strFormat.GetLength();
    while (p < end) {
        if (*p++ != '%')
            continue;
        if (p < end && *p == '%') {
            ++p;
            continue;
        }
        while (p < end && std::strchr("-+ #0", *p))
            ++p;
        while (p < end && std::isdigit(static_cast<unsigned char>(*p)))
            ++p;
        if (p < end && *p == '.') {
            ++p;
            while (p < end && std::isdigit(static_cast<unsigned char>(*p)))
                ++p;
        }
        if (p >= end || !std::strchr("diuxXo", *p) || ++conversions > 1)
            return strFormat;
        ++p;
    }
    CString text;
    text.Format(strFormat.GetString(), nValue);
    return text;
}

CProgress::CProgress()
    : m_crBk(::GetSysColor(COLOR_BTNFACE)), m_crTextOnBar(::GetSysColor(COLOR_CAPTIONTEXT)),
      m_crTextBesideBar(::GetSysColor(COLOR_BTNTEXT))
{
    const COLORREF crBar = ::GetSysColor(COLOR_ACTIVECAPTION);
    SetColors(2, crBar, crBar);
}

CProgress::~CProgress() = default;

void CProgress::ModifyStyle(DWORD dwRemove, DWORD dwAdd)
{
    m_dwStyle = (m_dwStyle & ~dwRemove) | dwAdd;
}

void CProgress::SetRange(int nLower, int nUpper)
{
    m_nLower = std::min(nLower, nUpper);
    m_nUpper = std::max(nLower, nUpper);
    SetPos(m_nPos);
}

int CProgress::SetPos(int nPos, BOOL bForce)
{
    const int nOld = m_nPos;
    nPos = std::max(m_nLower, std::min(nPos, m_nUpper));
    if (nPos != m_nPos && (bForce || OnPosChanging(nOld, nPos))) {
        m_nPos = nPos;
        OnPosChanged(nPos);
    }
    return nOld;
}

int CProgress::OffsetPos(int nDelta)
{
    const int nOld = m_nPos;
    if (!StepSnake(nDelta, TRUE))
        SetPos(m_nPos + nDelta);
    return nOld;
}

int CProgress::SetStep(int nStep)
{
    const int nOld = m_nStep;
    m_nStep = nStep;
    return nOld;
}

BOOL CProgress::StepSnake(int nDelta, BOOL bRelative)
{
    if (!(GetStyle() & styleSnake))
        return FALSE;
    // The head runs on past the upper end (the position stays there) until the tail has
    // reached it; a head kept at the upper end is found again from the tail.
    long long head = nDelta;
    if (bRelative) {
        long long from = m_nPos;
        if (m_nPos == m_nUpper && m_nUpper - m_nTail < m_nSnakeLength)
            from = static_cast<long long>(m_nTail) + m_nSnakeLength;
        head = std::llabs(static_cast<long long>(nDelta)) + from;
    }
    const long long limit = static_cast<long long>(m_nUpper) + m_nSnakeLength;
    if (head > limit) {
        head -= static_cast<long long>(m_nUpper - m_nLower) + m_nSnakeLength;
        ModifyStyle(GetStyle() & styleReverse, ~GetStyle() & styleReverse);
    }
    head = std::min(head, limit);
    m_nTail = static_cast<int>(std::max<long long>(m_nLower, head - m_nSnakeLength));
    SetPos(static_cast<int>(std::max<long long>(head, m_nLower)));
    return TRUE;
}

float CProgress::GetValue()
{
    const DWORD style = GetStyle();
    if (style & styleShowPercent)
        return m_nUpper == m_nLower ? 0.0f
                                    : static_cast<float>((m_nPos - m_nLower) * 100.0 / (m_nUpper - m_nLower));
    if (style & styleShowPosition)
        return static_cast<float>(m_nPos);
    return 0.0f;
}

CString CProgress::FormatText()
{
    const DWORD style = GetStyle();
    CString format = m_strTextFormat;
    if (format.IsEmpty()) {
        if (style & styleShowPercent)
            format = "%d%%";
        else if (style & styleShowPosition)
            format = "%d";
        else
            return CString();
    }
    return FormatProgressText(format, static_cast<int>(GetValue()));
}

BOOL CProgress::OnPosChanging(int /*nOldPos*/, int /*nNewPos*/)
{
    return TRUE;
}

void CProgress::OnPosChanged(int /*nNewPos*/)
{
}

int CProgress::LengthOf(int nValue, int nSize) const
{
    if (m_nUpper == m_nLower)
        return 0;
    return static_cast<int>(static_cast<long long>(nValue - m_nLower) * nSize / (m_nUpper - m_nLower));
}

void CProgress::Draw(CDC* pDC, const CRect& rect, BOOL bDirect)
{
    const int nSaved = pDC->SaveDC();
    if (m_rgnClip.m_hObject) {
        CRgn rgn;
        rgn.CreateRectRgn(0, 0, 0, 0);
        rgn.CopyRgn(&m_rgnClip);
        rgn.OffsetRgn(rect.left, rect.top);
        pDC->SelectClipRgn(&rgn);
    }
    {
        const bool bTransparent = !m_pbrBk && m_crBk == static_cast<COLORREF>(-1);
        std::unique_ptr<CMemDC> pMem;
        CDC* pDraw = pDC;
        if (!bDirect) {
            pMem = std::make_unique<CMemDC>(pDC, &rect, bTransparent);
            pDraw = pMem.get();
        }
        if (m_pbrBk)
            pDraw->FillRect(&rect, m_pbrBk);
        else if (!bTransparent)
            pDraw->FillSolidRect(&rect, m_crBk);

        CRect rc = rect;
        rc.DeflateRect(m_rcBorders.left, m_rcBorders.top, m_rcBorders.right, m_rcBorders.bottom);
        // An empty range draws the background only: it has no length to fill.
        if (m_nPos >= m_nLower && m_nPos <= m_nUpper && m_nUpper > m_nLower && !rc.IsRectEmpty()) {
            const DWORD style = GetStyle();
            const bool bVertical = (style & styleVertical) != 0;
            const bool bReverse = (style & styleReverse) != 0;
            const int size = bVertical ? rc.Height() : rc.Width();
            const int e = LengthOf(m_nPos, size);
            const int s = (style & styleSnake) ? std::max(0, std::min(LengthOf(m_nTail, size), e)) : 0;
            CRect bar = rc;
            if (bVertical) {
                if (bReverse) {
                    bar.top = rc.top + s;
                    bar.bottom = rc.top + e;
                } else {
                    bar.bottom = rc.bottom - s;
                    bar.top = rc.bottom - e;
                }
            } else if (bReverse) {
                bar.right = rc.right - s;
                bar.left = rc.right - e;
            } else {
                bar.left = rc.left + s;
                bar.right = rc.left + e;
            }
            if (m_pbrBar) {
                pDraw->FillRect(&bar, m_pbrBar);
            } else {
                SetDirection(bVertical ? (bReverse ? fromTop : fromBottom) : (bReverse ? fromRight : fromLeft));
                const int offset = static_cast<int>(static_cast<long long>(size) * m_nGradientOffset /
                                                    (m_nUpper - m_nLower));
                if (style & styleRubberBar)
                    CGradient::Draw(pDraw, bar, 0, e - s, offset);
                else
                    CGradient::Draw(pDraw, rc, s, e, offset);
            }
            DrawText(pDraw, rc, bar);
        }
    }
    pDC->RestoreDC(nSaved);
}

void CProgress::DrawText(CDC* pDC, const CRect& rcWhole, const CRect& rcBar)
{
    const DWORD style = GetStyle();
    if (!(style & (styleShowPercent | styleShowPosition)))
        return;
    const CString text = FormatText();
    if (text.IsEmpty())
        return;
    CSelFont font(pDC, m_hFont);
    CSelBkMode mode(pDC, TRANSPARENT);
    CSelTextAlign align(pDC, TA_CENTER | TA_BOTTOM);

    CSize extent = pDC->GetTextExtent(text);
    const int height = extent.cy;
    LOGFONTA lf{};
    ::GetObjectA(::GetCurrentObject(*pDC, OBJ_FONT), sizeof lf, &lf);
    CPoint offset(0, height);
    switch (lf.lfEscapement) {
    case 900: std::swap(extent.cx, extent.cy); offset = CPoint(height, 0); break;
    case 1800: offset = CPoint(0, -height); break;
    case 2700: std::swap(extent.cx, extent.cy); offset = CPoint(-height, 0); break;
    default: break;
    }

    const bool bTie = (style & styleTieText) != 0;
    const CRect area = bTie ? rcBar : rcWhole;
    if (bTie) {
        const bool bVertical = (style & styleVertical) != 0;
        if ((bVertical ? extent.cy : extent.cx) > (bVertical ? rcBar.Height() : rcBar.Width()))
            return;
    }
    const int slackX = area.Width() - extent.cx;
    const int slackY = area.Height() - extent.cy;
    if (style & styleTextLeft)
        offset.x -= slackX;
    if (style & styleTextRight)
        offset.x += slackX;
    if (style & styleTextTop)
        offset.y -= slackY;
    if (style & styleTextBottom)
        offset.y += slackY;
    const CPoint anchor(area.left + (area.Width() + offset.x) / 2, area.top + (area.Height() + offset.y) / 2);

    const CPoint oldOrigin = pDC->GetViewportOrg();
    pDC->SetViewportOrg(oldOrigin.x + anchor.x, oldOrigin.y + anchor.y);
    if (bTie) {
        DrawClippedText(pDC, rcBar, text, anchor, m_crTextOnBar);
    } else {
        DrawClippedText(pDC, rcWhole, text, anchor, m_crTextBesideBar);
        if (m_crTextOnBar != m_crTextBesideBar)
            DrawClippedText(pDC, rcBar, text, anchor, m_crTextOnBar);
    }
    pDC->SetViewportOrg(oldOrigin);
}

void CProgress::DrawClippedText(CDC* pDC, const CRect& rcClip, const CString& strText, const CPoint& ptAnchor,
                                COLORREF crText)
{
    CRect clip = rcClip;
    clip.OffsetRect(-ptAnchor.x, -ptAnchor.y);
    CSelTextColor colour(pDC, crText);
    pDC->ExtTextOut(0, 0, ETO_CLIPPED, &clip, strText, nullptr);
}
