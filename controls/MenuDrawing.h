// The measuring and drawing of owner-drawn menu items for the ten menu themes, and the
// process-wide facts the drawing depends on.
#pragma once

#include "MenuTheme.h"

namespace menudraw {

// The colour behind a menu: its background brush's colour when it has one, else the menu
// bar colour where flat menus are on (and, for item drawing, where visual themes are
// active), else COLOR_MENU. A null menu gives the colour of no particular menu.
COLORREF MenuColor(HMENU hMenu, BOOL bForItems);
// The selection colour: the highlight in high contrast, else 70 % window colour and 30 %
// highlight on screens of more than 256 colours, else the window colour.
COLORREF SelectionColor();
// The number of colours of the screen, asked once (-1 counts as 64000).
int ScreenColors();
// The menu font of the non-client metrics, bold for a default item.
HFONT CreateMenuFont(BOOL bBold);
// One glyph of the Marlett font centred in the rectangle shrunk by 2 on each side.
void DrawMarlettGlyph(HDC hDC, RECT rect, char glyph, COLORREF colour, BOOL bBold);
// Sets the theme's menu-bar background on the menu bar (themes 2 and 3 only).
void ApplyMenuBarBackground(HMENU hMenuBar, DWORD dwThemeId);

void MeasureClassic(CNewMenu* pMenu, LPMEASUREITEMSTRUCT lpMIS, BOOL bIsMenuBar);
void MeasureFlat(CNewMenu* pMenu, LPMEASUREITEMSTRUCT lpMIS, BOOL bIsMenuBar);
void MeasureIconColumn(CNewMenu* pMenu, LPMEASUREITEMSTRUCT lpMIS, BOOL bIsMenuBar);
void DrawClassic(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar);
void DrawPlain(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar);
void DrawIconColumnGradient(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar);
void DrawFlat(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar);
void DrawFlatGradient(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar);
// Menu titles are not used by this program; the title function draws nothing.
void DrawTitle(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar);

} // namespace menudraw
