#include "MenuThemeXP.h"

#include "MenuColors.h"
#include "MenuDrawing.h"
#include "NewMenu.h"
#include "NewMenuHook.h"

#include <algorithm>
#include <vector>

using namespace menucolors;

namespace {

void FrameSolid(HDC hDC, const RECT& rc, COLORREF colour)
{
    HBRUSH hBrush = ::CreateSolidBrush(colour);
    ::FrameRect(hDC, &rc, hBrush);
    ::DeleteObject(hBrush);
}

void FillSolid(HDC hDC, const RECT& rc, COLORREF colour)
{
    HBRUSH hBrush = ::CreateSolidBrush(colour);
    ::FillRect(hDC, &rc, hBrush);
    ::DeleteObject(hBrush);
}

// The hand-drawn shadow at the right and the bottom, darkening the screen copy taken
// before the popup showed.
void PaintShadow(HDC hDC, int w, int h, CMenuHookData* pData)
{
    if (menudraw::ScreenColors() <= 256) {
        COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
        for (int d = 3; d <= 4; ++d) {
            for (int y = 4; y < h; ++y)
                ::SetPixel(hDC, w - d, y, shadow);
            for (int x = 4; x < w - 4; ++x)
                ::SetPixel(hDC, x, h - d, shadow);
        }
        return;
    }
    HDC hScreen = nullptr;
    HGDIOBJ old = nullptr;
    if (pData->m_pScreenBitmap) {
        hScreen = ::CreateCompatibleDC(hDC);
        old = ::SelectObject(hScreen, pData->m_pScreenBitmap->m_hObject);
    }
    auto under = [&](int x, int y) {
        return hScreen ? ::GetPixel(hScreen, x, y) : ::GetSysColor(COLOR_WINDOW);
    };
    for (int d = 1; d <= 4; ++d) {
        int x = w - d;
        for (int y = 0; y < h; ++y) {
            COLORREF c = under(x, y);
            if (y >= 4 && y <= 7)
                c = Darken(d * 6 * (y - 3), c);
            else if (y >= 8 && y <= h - 5)
                c = Darken(d * 30, c);
            else if (y >= h - 4)
                c = Darken(d * 6 * (h - y), c);
            ::SetPixel(hDC, x, y, c);
        }
        int y = h - d;
        for (int xx = 0; xx <= w - 5; ++xx) {
            COLORREF c = under(xx, y);
            if (xx >= 4 && xx <= 7)
                c = Darken((xx - 3) * 6 * d, c);
            else if (xx >= 8)
                c = Darken(d * 30, c);
            ::SetPixel(hDC, xx, y, c);
        }
    }
    if (hScreen) {
        ::SelectObject(hScreen, old);
        ::DeleteDC(hScreen);
    }
}

// The edges of a popup's frame (screen coordinates, the frame line included) that touch its
// open menu-bar item, each a line one pixel thick shortened by one pixel at both ends.
std::vector<CRect> JoinedEdges(const CRect& frame, const CRect& bar)
{
    auto touches = [](int a, int b) { return a >= b - 1 && a <= b + 1; };
    std::vector<CRect> lines;
    const int left = std::max(bar.left, frame.left) + 1;
    const int right = std::min(bar.right, frame.right) - 1;
    if (right > left) {
        if (touches(bar.bottom, frame.top))
            lines.emplace_back(left, frame.top, right, frame.top + 1);
        if (touches(bar.top, frame.bottom))
            lines.emplace_back(left, frame.bottom - 1, right, frame.bottom);
    }
    const int top = std::max(bar.top, frame.top) + 1;
    const int bottom = std::min(bar.bottom, frame.bottom) - 1;
    if (bottom > top) {
        if (touches(bar.right, frame.left))
            lines.emplace_back(frame.left, top, frame.left + 1, bottom);
        if (touches(bar.left, frame.right))
            lines.emplace_back(frame.right - 1, top, frame.right, bottom);
    }
    return lines;
}

} // namespace

CMenuThemeXP::CMenuThemeXP(DWORD dwThemeId, MenuMeasureFn pMeasure, MenuDrawFn pDraw, DWORD dwFlags)
    : CMenuTheme(dwThemeId, pMeasure, pDraw, dwFlags)
{
}

BOOL CMenuThemeXP::OnEraseBkgnd(HWND hWnd, HDC hDC, CMenuHookData* pData)
{
    CRect rc;
    ::GetClientRect(hWnd, &rc);
    rc.left -= 2;
    if (DoDrawBorder())
        rc.right -= 1;
    COLORREF colour = pData->m_hMenu ? menudraw::MenuColor(pData->m_hMenu, FALSE) : ::GetSysColor(COLOR_MENU);
    FillSolid(hDC, rc, colour);
    return TRUE;
}

void CMenuThemeXP::PaintBorder(HWND hWnd, HDC hDC, CMenuHookData* pData, BOOL bFirstPass)
{
    CRect wr;
    ::GetWindowRect(hWnd, &wr);
    const int w = wr.Width();
    const int h = wr.Height();
    const bool ownShadow = m_BorderBottomRight.cx == 5;
    const COLORREF B = menudraw::MenuColor(pData->m_hMenu, FALSE);
    const COLORREF W = ::GetSysColor(COLOR_WINDOW);
    COLORREF C = Mix8614(W, B);
    const COLORREF F = Darken(128, B);
    COLORREF I = menudraw::ScreenColors() <= 256 ? ::GetSysColor(COLOR_BTNFACE) : Mix8614(B, W);
    // Where the device cannot tell the ring from the icon column, both take the pure colours.
    if (::GetNearestColor(hDC, C) == ::GetNearestColor(hDC, I)) {
        C = W;
        I = B;
    }

    // The client area in window coordinates.
    CRect client;
    ::GetClientRect(hWnd, &client);
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<LPPOINT>(&client), 2);
    client.OffsetRect(-wr.left, -wr.top);

    const int ringRight = ownShadow ? w - 5 : w - 1;
    const int ringBottom = ownShadow ? h - 5 : h - 1;
    if (bFirstPass) {
        int saved = ::SaveDC(hDC);
        ::ExcludeClipRect(hDC, client.left, client.top, client.right, client.bottom);
        FillSolid(hDC, CRect(1, 1, ringRight, ringBottom), C);
        ::RestoreDC(hDC, saved);
    }
    const CRect outer = ownShadow ? CRect(0, 0, w - 4, h - 4) : CRect(0, 0, w, h);
    if (CNewMenuHook::HighContrast()) {
        FrameSolid(hDC, outer, ::GetSysColor(COLOR_BTNTEXT));
    } else {
        FrameSolid(hDC, CRect(1, 1, ringRight, ringBottom), C);
        FillSolid(hDC, CRect(1, 2, 2, 2 + (ownShadow ? h - 8 : h - 4)), I);
        FrameSolid(hDC, outer, F);
        if (ownShadow)
            PaintShadow(hDC, w, h, pData);
    }

    // Where the popup touches its open menu-bar item, on whichever side, the two look joined.
    CNewMenu* pMenu = CNewMenu::FromHandleNew(pData->m_hMenu);
    if (pMenu && !pMenu->GetMenuBarItemRect().IsRectEmpty()) {
        CRect frame = outer;
        frame.OffsetRect(wr.left, wr.top);
        const COLORREF edge = menudraw::ScreenColors() <= 256 ? ::GetSysColor(COLOR_BTNFACE)
                                                               : Mix8614(menudraw::MenuColor(nullptr, FALSE), W);
        for (const CRect& line : JoinedEdges(frame, pMenu->GetMenuBarItemRect())) {
            CRect local = line;
            local.OffsetRect(-wr.left, -wr.top);
            FillSolid(hDC, local, edge);
        }
    }
}
