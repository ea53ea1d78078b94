// CMenuTheme: one way of measuring and drawing owner-drawn menu items and of framing the
// popup-menu windows. Ten themes exist, built once by the menu hook; one is current and
// every CNewMenu hands its measuring and drawing to it.
#pragma once

#include "Framework.h"

class CNewMenu;
struct CMenuHookData;

typedef void (*MenuMeasureFn)(CNewMenu* pMenu, LPMEASUREITEMSTRUCT lpMIS, BOOL bIsMenuBar);
typedef void (*MenuDrawFn)(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar);

class CMenuTheme
{
public:
    CMenuTheme(DWORD dwThemeId, MenuMeasureFn pMeasure, MenuDrawFn pDraw, DWORD dwFlags);
    virtual ~CMenuTheme();

    // Removes the border styles of a popup window the theme frames itself.
    virtual void OnInitWnd(HWND hWnd, CMenuHookData* pData);
    // Gives the window its styles back and tells its menu that the popup closed.
    virtual void OnUnInitWnd(HWND hWnd, CMenuHookData* pData);
    virtual BOOL DoDrawBorder() const { return (m_dwFlags & 1) != 0; }
    virtual void PaintBorder(HWND hWnd, HDC hDC, CMenuHookData* pData, BOOL bFirstPass);
    virtual BOOL OnEraseBkgnd(HWND hWnd, HDC hDC, CMenuHookData* pData);
    virtual void OnNcCalcSize(HWND hWnd, NCCALCSIZE_PARAMS* pCalc);
    virtual void OnWindowPosChanging(HWND hWnd, WINDOWPOS* pPos);
    virtual void GetFrameRect(HWND hWnd, LPRECT pRect);

    DWORD m_dwThemeId;
    DWORD m_dwFlags;         // bit 0: the theme draws the popup frame itself
    MenuMeasureFn m_pMeasureItem;
    MenuDrawFn m_pDrawItem;
    MenuDrawFn m_pDrawTitle;
    SIZE m_BorderTopLeft;    // 2 x 2
    SIZE m_BorderBottomRight; // 5 x 6 when the program draws the shadow, else 2 x 2
};
