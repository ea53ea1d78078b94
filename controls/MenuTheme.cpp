#include "MenuTheme.h"

#include "MenuDrawing.h"
#include "NewMenu.h"
#include "NewMenuHook.h"

namespace {

// Whether the system draws drop shadows under menus itself.
BOOL SystemDrawsShadow()
{
    BOOL bShadow = FALSE;
    if (!::SystemParametersInfoA(0x1024 /* SPI_GETDROPSHADOW */, 0, &bShadow, 0))
        return FALSE;
    return bShadow;
}

} // namespace

CMenuTheme::CMenuTheme(DWORD dwThemeId, MenuMeasureFn pMeasure, MenuDrawFn pDraw, DWORD dwFlags)
    : m_dwThemeId(dwThemeId), m_dwFlags(dwFlags), m_pMeasureItem(pMeasure), m_pDrawItem(pDraw),
      m_pDrawTitle(menudraw::DrawTitle)
{
    m_BorderTopLeft = SIZE{2, 2};
    m_BorderBottomRight = SystemDrawsShadow() ? SIZE{2, 2} : SIZE{5, 6};
}

CMenuTheme::~CMenuTheme() = default;

void CMenuTheme::OnInitWnd(HWND hWnd, CMenuHookData* pData)
{
    if (!pData->m_bDoSubclass || !DoDrawBorder())
        return;
    pData->m_dwData |= 2;
    ::SetWindowLongPtrA(hWnd, GWL_STYLE, pData->m_dwStyle & ~static_cast<LONG_PTR>(WS_BORDER));
    ::SetWindowLongPtrA(hWnd, GWL_EXSTYLE,
                        pData->m_dwExStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
}

void CMenuTheme::OnUnInitWnd(HWND hWnd, CMenuHookData* pData)
{
    if (CNewMenu* pMenu = CNewMenu::FromHandleNew(pData->m_hMenu))
        pMenu->OnUnInitPopupMenu();
    if (pData->m_dwData & 2) {
        LONG_PTR style = pData->m_dwStyle;
        if (pData->m_dwData & 1)
            style |= WS_VISIBLE;
        ::SetWindowLongPtrA(hWnd, GWL_STYLE, style);
        ::SetWindowLongPtrA(hWnd, GWL_EXSTYLE, pData->m_dwExStyle);
        pData->m_dwData &= ~2u;
    }
}

void CMenuTheme::PaintBorder(HWND hWnd, HDC hDC, CMenuHookData*, BOOL)
{
    CRect rc;
    ::GetWindowRect(hWnd, &rc);
    rc.OffsetRect(-rc.left, -rc.top);
    ::DrawEdge(hDC, &rc, EDGE_RAISED, BF_RECT);
}

BOOL CMenuTheme::OnEraseBkgnd(HWND hWnd, HDC hDC, CMenuHookData* pData)
{
    CRect rc;
    ::GetClientRect(hWnd, &rc);
    HBRUSH hBrush = ::CreateSolidBrush(menudraw::MenuColor(pData->m_hMenu, FALSE));
    ::FillRect(hDC, &rc, hBrush);
    ::DeleteObject(hBrush);
    return TRUE;
}

void CMenuTheme::OnNcCalcSize(HWND, NCCALCSIZE_PARAMS* pCalc)
{
    if (!DoDrawBorder() || !pCalc)
        return;
    RECT& rc = pCalc->rgrc[0];
    rc.left += m_BorderTopLeft.cx;
    rc.top += m_BorderTopLeft.cy;
    rc.right -= m_BorderBottomRight.cx;
    rc.bottom -= m_BorderBottomRight.cy;
}

void CMenuTheme::OnWindowPosChanging(HWND, WINDOWPOS* pPos)
{
    const bool ownShadow = m_BorderBottomRight.cx == 5;
    if (!(pPos->flags & SWP_NOSIZE)) {
        pPos->cx += ownShadow ? 2 : -2;
        pPos->cy += ownShadow ? 2 : -2;
    }
    if (!(pPos->flags & SWP_NOMOVE))
        pPos->y -= 1;
}

void CMenuTheme::GetFrameRect(HWND hWnd, LPRECT pRect)
{
    const bool ownShadow = m_BorderBottomRight.cx == 5;
    ::GetWindowRect(hWnd, pRect);
    pRect->left += 2;
    pRect->top += 2;
    pRect->right -= ownShadow ? 7 : 3;
    pRect->bottom -= ownShadow ? 7 : 3;
}
