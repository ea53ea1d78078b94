// CBitmapButton: an owner-drawn push button that shows one of up to four bitmaps: up,
// down (pressed), focused and disabled.
#pragma once

#include "Bitmap.h"
#include "Button.h"

class CBitmapButton : public CButton
{
    DECLARE_DYNAMIC(CBitmapButton)
public:
    CBitmapButton() = default;

    // Bitmap resources; 0 or null leaves that state without a bitmap of its own.
    BOOL LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel = 0,
                     UINT nIDBitmapResourceFocus = 0, UINT nIDBitmapResourceDisabled = 0);
    BOOL LoadBitmaps(const char* lpszBitmapResource, const char* lpszBitmapResourceSel = nullptr,
                     const char* lpszBitmapResourceFocus = nullptr,
                     const char* lpszBitmapResourceDisabled = nullptr);
    // Resizes the button to its up bitmap.
    void SizeToContent();

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};
