// CMemDC: off-screen drawing for one paint. Made on a target DC and a rectangle of it, it
// draws into a bitmap of the rectangle's size in the target's own coordinates, and copies
// the bitmap to the target when it goes, so the screen never shows a half-drawn control.
// On a printer it passes the drawing straight through to the target.
#pragma once

#include "Bitmap.h"
#include "DC.h"
#include "Geometry.h"

class CMemDC : public CDC
{
public:
    // pRect null: the target's clip box. bCopyTarget: start from the target's present
    // content (for transparent drawing).
    explicit CMemDC(CDC* pDC, const CRect* pRect = nullptr, bool bCopyTarget = false);
    ~CMemDC() override;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // Drawing goes to an off-screen bitmap (false on a printer or when no bitmap could be had).
    bool IsOffScreen() const { return m_bMemDC; }
    const CRect& GetRect() const { return m_rect; }

private:
    CDC* m_pDC;
    CRect m_rect;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    bool m_bMemDC = false;
};
