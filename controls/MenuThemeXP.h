// CMenuThemeXP: the flat themes (2, 3, 8, 9): popups framed by one dark line, with a
// hand-drawn drop shadow where the system draws none.
#pragma once

#include "MenuTheme.h"

class CMenuThemeXP : public CMenuTheme
{
public:
    CMenuThemeXP(DWORD dwThemeId, MenuMeasureFn pMeasure, MenuDrawFn pDraw, DWORD dwFlags);

    void PaintBorder(HWND hWnd, HDC hDC, CMenuHookData* pData, BOOL bFirstPass) override;
    BOOL OnEraseBkgnd(HWND hWnd, HDC hDC, CMenuHookData* pData) override;
};
