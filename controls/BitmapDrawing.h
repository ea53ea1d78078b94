// Putting bitmaps on a device context: the off-screen pictures of the own-drawn controls
// and the stretched ground of the search pages.
#pragma once

#include "Bitmap.h"
#include "DC.h"

namespace bitmaps {

// Copies cx x cy pixels of the bitmap, from its top-left corner, to (x, y) of the DC.
inline void Copy(CDC& dc, int x, int y, int cx, int cy, CBitmap& bitmap)
{
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* pOld = mem.SelectObject(&bitmap);
    dc.BitBlt(x, y, cx, cy, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOld);
}

// Stretches the whole bitmap over the rectangle (x, y, cx, cy) of the DC.
inline void Stretch(CDC& dc, int x, int y, int cx, int cy, CBitmap& bitmap)
{
    BITMAP bm{};
    if (!bitmap.m_hObject || !bitmap.GetBitmap(&bm))
        return;
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* pOld = mem.SelectObject(&bitmap);
    const int oldMode = dc.SetStretchBltMode(COLORONCOLOR);
    dc.StretchBlt(x, y, cx, cy, &mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    dc.SetStretchBltMode(oldMode);
    mem.SelectObject(pOld);
}

} // namespace bitmaps
