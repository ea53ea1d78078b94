#include "BitmapButton.h"

#include "DC.h"
#include "WinApp.h"

IMPLEMENT_DYNAMIC(CBitmapButton, CButton)

namespace {

void Load(CBitmap& bitmap, const char* lpszResource)
{
    bitmap.DeleteObject();
    if (lpszResource)
        bitmap.LoadBitmap(lpszResource);
}

} // namespace

BOOL CBitmapButton::LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel,
                                UINT nIDBitmapResourceFocus, UINT nIDBitmapResourceDisabled)
{
    auto name = [](UINT id) { return id ? MAKEINTRESOURCEA(id) : nullptr; };
    return LoadBitmaps(name(nIDBitmapResource), name(nIDBitmapResourceSel), name(nIDBitmapResourceFocus),
                       name(nIDBitmapResourceDisabled));
}

BOOL CBitmapButton::LoadBitmaps(const char* lpszBitmapResource, const char* lpszBitmapResourceSel,
                                const char* lpszBitmapResourceFocus, const char* lpszBitmapResourceDisabled)
{
    Load(m_bitmap, lpszBitmapResource);
    Load(m_bitmapSel, lpszBitmapResourceSel);
    Load(m_bitmapFocus, lpszBitmapResourceFocus);
    Load(m_bitmapDisabled, lpszBitmapResourceDisabled);
    return m_bitmap.m_hObject != nullptr;
}

void CBitmapButton::SizeToContent()
{
    BITMAP bm{};
    if (m_bitmap.m_hObject && m_bitmap.GetBitmap(&bm))
        SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CBitmap* pBitmap = &m_bitmap;
    UINT state = lpDIS->itemState;
    if ((state & ODS_SELECTED) && m_bitmapSel.m_hObject)
        pBitmap = &m_bitmapSel;
    else if ((state & ODS_FOCUS) && m_bitmapFocus.m_hObject)
        pBitmap = &m_bitmapFocus;
    else if ((state & ODS_DISABLED) && m_bitmapDisabled.m_hObject)
        pBitmap = &m_bitmapDisabled;
    if (!pBitmap->m_hObject)
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CDC memDC;
    memDC.CreateCompatibleDC(pDC);
    CBitmap* pOld = memDC.SelectObject(pBitmap);
    const RECT& r = lpDIS->rcItem;
    pDC->BitBlt(r.left, r.top, r.right - r.left, r.bottom - r.top, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOld);
}
