#include "MemDC.h"

CMemDC::CMemDC(CDC* pDC, const CRect* pRect, bool bCopyTarget) : m_pDC(pDC)
{
    if (pRect)
        m_rect = *pRect;
    else
        pDC->GetClipBox(&m_rect);

    const bool bPrinting = pDC->GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER ||
                           pDC->GetDeviceCaps(TECHNOLOGY) == DT_PLOTTER;
    if (!bPrinting && !m_rect.IsRectEmpty() && CreateCompatibleDC(pDC) &&
        m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height())) {
        m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.m_hObject);
        SetWindowOrg(m_rect.left, m_rect.top);
        m_bMemDC = true;
        if (bCopyTarget)
            BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), pDC, m_rect.left, m_rect.top, SRCCOPY);
        return;
    }
    if (m_hDC)
        DeleteDC();
    // Straight through: this object only borrows the target's handle.
    m_hDC = pDC->m_hDC;
    m_hAttribDC = pDC->m_hAttribDC;
}

CMemDC::~CMemDC()
{
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                      SRCCOPY);
        ::SelectObject(m_hDC, m_hOldBitmap);
        return; // CDC's destructor deletes the memory DC
    }
    Detach(); // the target's handle is not ours to delete
}
