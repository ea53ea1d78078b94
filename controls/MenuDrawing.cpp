#include "MenuDrawing.h"

#include "MenuColors.h"
#include "NewMenu.h"
#include "NewMenuHook.h"
#include "NewMenuIcons.h"

#include <algorithm>

using namespace menucolors;

namespace menudraw {

namespace {

typedef BOOL(WINAPI* GetMenuInfoFn)(HMENU, LPMENUINFO);
typedef BOOL(WINAPI* SetMenuInfoFn)(HMENU, LPCMENUINFO);
typedef BOOL(WINAPI* IsThemeActiveFn)();
typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// An entry point looked up at run time, as its own function type.
template <class Fn>
Fn ProcAs(FARPROC p)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
}

FARPROC User32Proc(const char* name)
{
    HMODULE hUser = ::GetModuleHandleA("user32.dll");
    return hUser ? ::GetProcAddress(hUser, name) : nullptr;
}

bool IsStandardWindowCommand(UINT_PTR nID)
{
    UINT_PTR id = nID & 0xFFF0;
    return id >= 0xF000 && id <= 0xF150;
}

void Fill(HDC hDC, const RECT& rc, COLORREF colour)
{
    HBRUSH hBrush = ::CreateSolidBrush(colour);
    ::FillRect(hDC, &rc, hBrush);
    ::DeleteObject(hBrush);
}

void GradientRect(HDC hDC, const RECT& rc, COLORREF from, COLORREF to, bool bVertical)
{
    auto fill = ProcAs<GradientFillFn>(CNewMenuHook::GradientFillProc());
    if (!fill) {
        Fill(hDC, rc, from);
        return;
    }
    TRIVERTEX v[2] = {};
    v[0].x = rc.left;
    v[0].y = rc.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(from) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(from) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(from) << 8);
    v[1].x = rc.right;
    v[1].y = rc.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(to) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(to) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(to) << 8);
    GRADIENT_RECT gr{0, 1};
    fill(hDC, v, 2, &gr, 1, bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

HICON IconOf(const CNewMenuItemData* pData, int nPicture)
{
    if (!pData->m_pMenuIcon || pData->m_nMenuIconOffset < 0)
        return nullptr;
    return ImageList_GetIcon(pData->m_pMenuIcon->m_IconsList.m_hImageList, pData->m_nMenuIconOffset + nPicture,
                             ILD_NORMAL);
}

void DrawIconAt(HDC hDC, HICON hIcon, int x, int y, CSize size, HBRUSH hMonoBrush)
{
    if (!hIcon)
        return;
    UINT flags = DST_ICON | (hMonoBrush ? DSS_MONO : DSS_NORMAL);
    ::DrawStateA(hDC, hMonoBrush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, x, y, size.cx, size.cy, flags);
}

void DrawSilhouette(HDC hDC, const CNewMenuItemData* pData, int x, int y, CSize size, COLORREF colour)
{
    HICON hIcon = IconOf(pData, 0);
    HBRUSH hBrush = ::CreateSolidBrush(::GetNearestColor(hDC, colour));
    DrawIconAt(hDC, hIcon, x, y, size, hBrush);
    ::DeleteObject(hBrush);
    if (hIcon)
        ::DestroyIcon(hIcon);
}

void DrawPicture(HDC hDC, const CNewMenuItemData* pData, int nPicture, int x, int y, CSize size)
{
    HICON hIcon = IconOf(pData, nPicture);
    DrawIconAt(hDC, hIcon, x, y, size, nullptr);
    if (hIcon)
        ::DestroyIcon(hIcon);
}

// The text of an item as measured: tabs count as "nnn".
CString MeasureText(const CNewMenuItemData* pData)
{
    CString text = pData->m_szMenuText;
    text.Replace("\t", "nnn");
    return text;
}

CSize TextExtent(const CString& text, BOOL bBold)
{
    HDC hDC = ::GetDC(nullptr);
    HFONT hFont = CreateMenuFont(bBold);
    HGDIOBJ old = ::SelectObject(hDC, hFont);
    SIZE size{};
    ::GetTextExtentPoint32A(hDC, text, text.GetLength(), &size);
    ::SelectObject(hDC, old);
    ::DeleteObject(hFont);
    ::ReleaseDC(nullptr, hDC);
    return CSize(size);
}

BOOL IsDefaultItem(CNewMenu* pMenu, const CNewMenuItemData* pData)
{
    if (!pMenu || !pMenu->m_hMenu)
        return FALSE;
    UINT def = ::GetMenuDefaultItem(pMenu->m_hMenu, FALSE, 0);
    return def != static_cast<UINT>(-1) && def == pData->m_nID;
}

// The flat measure of one item without the rule for standard window commands.
CSize FlatSize(CNewMenu* pMenu, const CNewMenuItemData* pData, BOOL bIsMenuBar)
{
    CSize text = TextExtent(MeasureText(pData), IsDefaultItem(pMenu, pData));
    int cyMenu = ::GetSystemMetrics(SM_CYMENU);
    int iconY = pMenu ? pMenu->GetIconHeight() : 15;
    int width;
    if (bIsMenuBar)
        width = pData->m_szMenuText.Left(1) == "&" ? text.cx : text.cx - 6;
    else
        width = (pMenu ? pMenu->GetIconWidth() : 16) + 6 + text.cx + cyMenu / 2;
    int height = cyMenu <= iconY + 8 ? iconY + 7 : cyMenu;
    height = std::max(height, static_cast<int>(text.cy));
    return CSize(width, height);
}

void DrawItemText(HDC hDC, const CNewMenuItemData* pData, RECT rc, BOOL bBold, COLORREF colour, BOOL bIsMenuBar)
{
    HFONT hFont = CreateMenuFont(bBold);
    HGDIOBJ old = ::SelectObject(hDC, hFont);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, colour);
    CString text = pData->m_szMenuText;
    if (bIsMenuBar) {
        ::DrawTextA(hDC, text, text.GetLength(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        int tab = text.Find('\t');
        CString left = tab >= 0 ? text.Left(tab) : text;
        ::DrawTextA(hDC, left, left.GetLength(), &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if (tab >= 0) {
            // The accelerator stands at the right edge of the text area.
            CString right = text.Mid(tab + 1);
            ::DrawTextA(hDC, right, right.GetLength(), &rc, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        }
    }
    ::SelectObject(hDC, old);
    ::DeleteObject(hFont);
}

char StandardCommandGlyph(UINT_PTR nID)
{
    switch (nID & 0xFFF0) {
    case SC_CLOSE: return 'r';
    case SC_MINIMIZE: return '0';
    case SC_MAXIMIZE: return '1';
    case SC_RESTORE: return '2';
    default: return 0;
    }
}

BOOL HasOwnCheckBitmap(CNewMenu* pMenu, const CNewMenuItemData* pData)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    if (!pMenu || !::GetMenuItemInfoA(pMenu->m_hMenu, static_cast<UINT>(pData->m_nID), FALSE, &info))
        return FALSE;
    return info.hbmpChecked != nullptr;
}

} // namespace

COLORREF MenuColor(HMENU hMenu, BOOL bForItems)
{
    if (hMenu) {
        auto getInfo = ProcAs<GetMenuInfoFn>(User32Proc("GetMenuInfo"));
        MENUINFO mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIM_BACKGROUND;
        if (getInfo && getInfo(hMenu, &mi) && mi.hbrBack) {
            LOGBRUSH lb{};
            if (::GetObjectA(mi.hbrBack, sizeof lb, &lb))
                return lb.lbColor;
        }
    }
    if (CNewMenuHook::VersionClass() == 7) {
        BOOL bFlat = FALSE;
        if (::SystemParametersInfoA(0x1022 /* SPI_GETFLATMENU */, 0, &bFlat, 0) && bFlat)
            return ::GetSysColor(COLOR_MENUBAR);
        if (bForItems) {
            auto active = ProcAs<IsThemeActiveFn>(CNewMenuHook::IsThemeActiveProc());
            if (active && active())
                return ::GetSysColor(COLOR_MENUBAR);
        }
    }
    return ::GetSysColor(COLOR_MENU);
}

int ScreenColors()
{
    static int colours = 0;
    if (!colours) {
        HDC hDC = ::GetDC(nullptr);
        colours = ::GetDeviceCaps(hDC, NUMCOLORS);
        ::ReleaseDC(nullptr, hDC);
        if (colours == -1)
            colours = 64000;
    }
    return colours;
}

COLORREF SelectionColor()
{
    if (CNewMenuHook::HighContrast())
        return ::GetSysColor(COLOR_HIGHLIGHT);
    if (ScreenColors() >= 257)
        return Mix7030(::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_HIGHLIGHT));
    return ::GetSysColor(COLOR_WINDOW);
}

HFONT CreateMenuFont(BOOL bBold)
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = 0x154; // the size every system knows
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0);
    LOGFONTA lf = ncm.lfMenuFont;
    if (bBold)
        lf.lfWeight = FW_BOLD;
    return ::CreateFontIndirectA(&lf);
}

void DrawMarlettGlyph(HDC hDC, RECT rect, char glyph, COLORREF colour, BOOL bBold)
{
    ::InflateRect(&rect, -2, -2);
    HFONT hFont = ::CreateFontA(-(rect.bottom - rect.top), 0, 0, 0, bBold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH, "Marlett");
    HGDIOBJ old = ::SelectObject(hDC, hFont);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, colour);
    char text[2] = {glyph, 0};
    ::DrawTextA(hDC, text, 1, &rect, DT_CENTER | DT_SINGLELINE);
    ::SelectObject(hDC, old);
    ::DeleteObject(hFont);
}

void ApplyMenuBarBackground(HMENU hMenuBar, DWORD dwThemeId)
{
    if (!hMenuBar || (dwThemeId != 2 && dwThemeId != 3))
        return;
    static HBRUSH s_hBrush = nullptr;
    static COLORREF s_colour = CLR_INVALID;
    COLORREF wanted = ::GetSysColor(COLOR_BTNFACE);
    if (!s_hBrush || s_colour != wanted) {
        if (s_hBrush)
            ::DeleteObject(s_hBrush);
        s_hBrush = ::CreateSolidBrush(wanted);
        s_colour = wanted;
    }
    auto setInfo = ProcAs<SetMenuInfoFn>(User32Proc("SetMenuInfo"));
    if (!setInfo)
        return;
    MENUINFO mi{};
    mi.cbSize = 28;
    mi.fMask = MIM_BACKGROUND;
    mi.hbrBack = s_hBrush;
    mi.cbSize = sizeof mi;
    setInfo(hMenuBar, &mi);
}

// ---------------------------------------------------------------- measuring

void MeasureFlat(CNewMenu* pMenu, LPMEASUREITEMSTRUCT lpMIS, BOOL bIsMenuBar)
{
    auto* pData = reinterpret_cast<CNewMenuItemData*>(lpMIS->itemData);
    if (!pData)
        return;
    if (pData->m_nFlags & MF_SEPARATOR) {
        lpMIS->itemWidth = 3;
        lpMIS->itemHeight = 3;
        return;
    }
    CSize size = FlatSize(pMenu, pData, bIsMenuBar);
    if (IsStandardWindowCommand(pData->m_nID) && pMenu) {
        // As wide as the next item of the menu that has a command. A record the menu's list
        // does not hold (an item added behind the menu's back) has no next item.
        const auto& items = pMenu->GetItems();
        auto it = std::find(items.begin(), items.end(), pData);
        if (it != items.end())
            ++it;
        for (; it != items.end(); ++it) {
            if ((*it)->m_nID && !((*it)->m_nFlags & (MF_SEPARATOR | MF_POPUP))) {
                size.cx = std::max(size.cx, FlatSize(pMenu, *it, bIsMenuBar).cx);
                break;
            }
        }
        size.cy = ::GetSystemMetrics(SM_CYMENU);
    }
    lpMIS->itemWidth = static_cast<UINT>(std::max(0, static_cast<int>(size.cx)));
    lpMIS->itemHeight = static_cast<UINT>(size.cy);
}

void MeasureClassic(CNewMenu* pMenu, LPMEASUREITEMSTRUCT lpMIS, BOOL bIsMenuBar)
{
    auto* pData = reinterpret_cast<CNewMenuItemData*>(lpMIS->itemData);
    if (!pData)
        return;
    int cyMenu = ::GetSystemMetrics(SM_CYMENU);
    if (pData->m_nFlags & MF_SEPARATOR) {
        lpMIS->itemWidth = 0;
        lpMIS->itemHeight = static_cast<UINT>(cyMenu / 2);
        return;
    }
    CSize text = TextExtent(MeasureText(pData), IsDefaultItem(pMenu, pData));
    int iconX = pMenu ? pMenu->GetIconWidth() : 16;
    int iconY = pMenu ? pMenu->GetIconHeight() : 15;
    lpMIS->itemWidth = static_cast<UINT>(bIsMenuBar ? text.cx : iconX + 8 + text.cx + 8);
    lpMIS->itemHeight = static_cast<UINT>(std::max(cyMenu, std::max(iconY + 4, static_cast<int>(text.cy))));
}

void MeasureIconColumn(CNewMenu* pMenu, LPMEASUREITEMSTRUCT lpMIS, BOOL bIsMenuBar)
{
    MeasureClassic(pMenu, lpMIS, bIsMenuBar);
    auto* pData = reinterpret_cast<CNewMenuItemData*>(lpMIS->itemData);
    if (pData && !(pData->m_nFlags & MF_SEPARATOR) && !bIsMenuBar)
        lpMIS->itemWidth += 4;
}

// ---------------------------------------------------------------- theme 2: flat

void DrawFlat(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar)
{
    auto* pData = reinterpret_cast<CNewMenuItemData*>(lpDIS->itemData);
    if (!pData || !pMenu)
        return;
    HDC hDC = lpDIS->hDC;
    const BOOL bHighContrast = CNewMenuHook::HighContrast();
    const BOOL bFewColors = ScreenColors() <= 256;
    CRect rc(lpDIS->rcItem);
    UINT state = lpDIS->itemState;

    // 1. Colours and the pen.
    const COLORREF W = ::GetSysColor(COLOR_WINDOW);
    const COLORREF B = MenuColor(pMenu->m_hMenu, TRUE);
    COLORREF M = Mix8614(W, B);
    COLORREF I = bFewColors ? ::GetSysColor(COLOR_BTNFACE) : Mix8614(B, W);
    COLORREF S = SelectionColor();
    COLORREF P = bHighContrast ? ::GetSysColor(COLOR_BTNTEXT) : ::GetSysColor(COLOR_HIGHLIGHT);
    if (::GetNearestColor(hDC, M) == ::GetNearestColor(hDC, I)) {
        M = W;
        I = B;
    }

    // 2. Layout: the menu-bar item, or the icon column and text area of a popup item.
    CRect box = rc;
    CRect textArea = rc;
    CRect column = rc;
    bool bHot = false;
    if (bIsMenuBar) {
        if (pMenu->GetOpenCount() == 0 && (state & ODS_SELECTED)) {
            state &= ~static_cast<UINT>(ODS_SELECTED);
            state |= ODS_HOTLIGHT;
        }
        bHot = (state & ODS_HOTLIGHT) != 0;
        if (!bHot)
            S = I;
        M = B;
        box.right -= 4;
        Fill(hDC, rc, B);
        textArea = box;
    } else {
        column.right = column.left + pMenu->GetIconWidth() + 8;
        Fill(hDC, column, I);
        CRect rest = rc;
        rest.left = column.right;
        Fill(hDC, rest, M);
        textArea.left = column.right + 4;
    }

    // 3. Hot-light and inactive items count as selected.
    BOOL bSelected = (state & (ODS_SELECTED | ODS_HOTLIGHT | ODS_INACTIVE)) != 0;
    const BOOL bInactive = (state & ODS_INACTIVE) != 0;
    const BOOL bGrey = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
    if (bIsMenuBar && bSelected && !bInactive) {
        // Where this item's popup will join the bar, in screen coordinates.
        POINT org{};
        ::GetDCOrgEx(hDC, &org);
        CRect screen = rc;
        screen.OffsetRect(org.x, org.y);
        if (CNewMenu* pSub = CNewMenu::FromHandleNew(reinterpret_cast<HMENU>(pData->m_nID)))
            pSub->SetMenuBarItemRect(screen);
        if (!bHot) {
            P = bHighContrast ? ::GetSysColor(COLOR_BTNTEXT) : Darken(128, MenuColor(nullptr, TRUE));
            const int h = rc.Height();
            for (int d = 1; d <= 4; ++d) {
                int x = rc.right - d;
                for (int row = 0; row < h; ++row) {
                    COLORREF c;
                    if (bFewColors) {
                        if (d < 3 || row < 4)
                            continue;
                        c = ::GetSysColor(COLOR_BTNSHADOW);
                    } else if (row <= 3) {
                        c = B;
                    } else if (row <= 7) {
                        c = Darken(d * 6 * (row - 3), B);
                    } else {
                        c = Darken(d * 30, B);
                    }
                    ::SetPixel(hDC, x, rc.top + row, c);
                }
            }
        }
    }

    // 6. Separator.
    if (pData->m_nFlags & MF_SEPARATOR) {
        CRect line(textArea.left, rc.top + rc.Height() / 2, rc.right, rc.top + rc.Height() / 2 + 1);
        Fill(hDC, line, ::GetSysColor(COLOR_GRAYTEXT));
        return;
    }

    // 5. Selection box, text, icon or glyph.
    HPEN hPen = ::CreatePen(PS_SOLID, 0, P);
    if (bSelected && !bInactive) {
        Fill(hDC, box, S);
        HGDIOBJ oldPen = ::SelectObject(hDC, hPen);
        HGDIOBJ oldBrush = ::SelectObject(hDC, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(hDC, box.left, box.top, box.right, box.bottom);
        ::SelectObject(hDC, oldBrush);
        ::SelectObject(hDC, oldPen);
    }
    const BOOL bBold = (state & ODS_DEFAULT) != 0;
    COLORREF textColour = ::GetSysColor(COLOR_MENUTEXT);
    if (bGrey || (bIsMenuBar && bInactive))
        textColour = ::GetSysColor(COLOR_GRAYTEXT);
    else if (bHighContrast && !bIsMenuBar && !bSelected)
        textColour = ::GetSysColor(COLOR_WINDOWTEXT);
    DrawItemText(hDC, pData, bIsMenuBar ? box : textArea, bBold, textColour, bIsMenuBar);

    if (!bIsMenuBar) {
        const BOOL bChecked = (state & ODS_CHECKED) != 0;
        CRect checkBox(rc.left + 1, rc.top + 1, column.right - 2, rc.bottom - 1);
        auto drawCheckBox = [&]() {
            COLORREF fill = bSelected ? (bFewColors ? S : Mix8614(S, ::GetSysColor(COLOR_HIGHLIGHT)))
                                      : Mix8614(I, ::GetSysColor(COLOR_HIGHLIGHT));
            Fill(hDC, checkBox, fill);
            HGDIOBJ oldPen = ::SelectObject(hDC, hPen);
            HGDIOBJ oldBrush = ::SelectObject(hDC, ::GetStockObject(NULL_BRUSH));
            ::Rectangle(hDC, checkBox.left, checkBox.top, checkBox.right, checkBox.bottom);
            ::SelectObject(hDC, oldBrush);
            ::SelectObject(hDC, oldPen);
        };
        if (pData->m_pMenuIcon && pData->m_nMenuIconOffset >= 0) {
            CSize size = pData->m_pMenuIcon->GetIconSize();
            int x = rc.left + 3;
            if (size.cx < pMenu->GetIconWidth())
                x += (pMenu->GetIconWidth() - size.cx) / 2;
            int y = rc.top + (rc.Height() - size.cy) / 2;
            if (bChecked)
                drawCheckBox();
            const BOOL bFlag = CNewMenu::GetIconDrawFlag();
            if (!bGrey && !bSelected) {
                DrawPicture(hDC, pData, bFlag ? 1 : 0, x, y, size);
            } else if (!bGrey) {
                if (!bChecked) {
                    DrawSilhouette(hDC, pData, x + 1, y + 1, size, Shadow(S));
                    DrawPicture(hDC, pData, 0, x - 1, y - 1, size);
                } else {
                    DrawPicture(hDC, pData, 0, x, y, size);
                }
            } else if (bFlag) {
                DrawPicture(hDC, pData, 2, x, y, size);
            } else {
                DrawSilhouette(hDC, pData, x, y, size, Darken(70, I));
            }
        } else if (bChecked) {
            drawCheckBox();
            CRect glyph = column;
            glyph.InflateRect(2, (pMenu->GetIconHeight() - rc.Height()) / 2 + 2);
            DrawMarlettGlyph(hDC, glyph, HasOwnCheckBitmap(pMenu, pData) ? 'i' : 'b',
                             bGrey ? ::GetSysColor(COLOR_GRAYTEXT) : ::GetSysColor(COLOR_MENUTEXT), bBold);
        } else if (char glyph = StandardCommandGlyph(pData->m_nID)) {
            CRect area = column;
            area.InflateRect(0, (pMenu->GetIconHeight() - column.Height()) / 2);
            if (bGrey) {
                DrawMarlettGlyph(hDC, area, glyph, ::GetSysColor(COLOR_GRAYTEXT), bBold);
            } else if (bSelected) {
                CRect shadow = area;
                shadow.OffsetRect(1, 1);
                DrawMarlettGlyph(hDC, shadow, glyph, Shadow(S), bBold);
                CRect raised = area;
                raised.OffsetRect(-1, -1);
                DrawMarlettGlyph(hDC, raised, glyph, ::GetSysColor(COLOR_MENUTEXT), bBold);
            } else {
                DrawMarlettGlyph(hDC, area, glyph, ::GetSysColor(COLOR_MENUTEXT), bBold);
            }
        }
    }
    ::DeleteObject(hPen);
}

// ---------------------------------------------------------------- the other themes

namespace {

enum class Look { Classic, Plain, IconColumnGradient, FlatGradient };

void DrawOther(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar, Look look)
{
    auto* pData = reinterpret_cast<CNewMenuItemData*>(lpDIS->itemData);
    if (!pData || !pMenu)
        return;
    HDC hDC = lpDIS->hDC;
    CRect rc(lpDIS->rcItem);
    const UINT state = lpDIS->itemState;
    const BOOL bSelected = (state & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
    const BOOL bGrey = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const COLORREF menu = MenuColor(pMenu->m_hMenu, TRUE);
    CRect column = rc;
    column.right = column.left + pMenu->GetIconWidth() + 8;

    Fill(hDC, rc, menu);
    if (!bIsMenuBar && (look == Look::IconColumnGradient || look == Look::FlatGradient))
        GradientRect(hDC, column, ::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_BTNFACE), false);
    if (pData->m_nFlags & MF_SEPARATOR) {
        CRect line = rc;
        line.left = bIsMenuBar ? rc.left : column.right;
        line.top += rc.Height() / 2 - 1;
        line.bottom = line.top + 2;
        ::DrawEdge(hDC, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    CRect textArea = rc;
    if (!bIsMenuBar)
        textArea.left = column.right + 4;
    if (bSelected) {
        CRect sel = bIsMenuBar ? rc : textArea;
        if (look == Look::FlatGradient)
            GradientRect(hDC, sel, ::GetSysColor(COLOR_HIGHLIGHT), menu, false);
        else
            Fill(hDC, sel, ::GetSysColor(COLOR_HIGHLIGHT));
        if (look == Look::Classic && bIsMenuBar)
            ::DrawEdge(hDC, &sel, BDR_SUNKENOUTER, BF_RECT);
    }
    COLORREF textColour = bGrey ? ::GetSysColor(COLOR_GRAYTEXT)
                                : (bSelected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : ::GetSysColor(COLOR_MENUTEXT));
    DrawItemText(hDC, pData, textArea, (state & ODS_DEFAULT) != 0, textColour, bIsMenuBar);
    if (bIsMenuBar)
        return;
    if (pData->m_pMenuIcon && pData->m_nMenuIconOffset >= 0) {
        CSize size = pData->m_pMenuIcon->GetIconSize();
        int x = rc.left + 4;
        int y = rc.top + (rc.Height() - size.cy) / 2;
        if (bGrey) {
            DrawPicture(hDC, pData, 2, x, y, size);
        } else {
            DrawPicture(hDC, pData, 0, x, y, size);
            if (bSelected && look == Look::Classic) {
                CRect frame(x - 2, y - 2, x + size.cx + 2, y + size.cy + 2);
                ::DrawEdge(hDC, &frame, BDR_RAISEDINNER, BF_RECT);
            }
        }
    } else if (state & ODS_CHECKED) {
        DrawMarlettGlyph(hDC, column, 'b', textColour, FALSE);
    } else if (char glyph = StandardCommandGlyph(pData->m_nID)) {
        DrawMarlettGlyph(hDC, column, glyph, textColour, FALSE);
    }
}

} // namespace

void DrawClassic(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar)
{
    DrawOther(pMenu, lpDIS, bIsMenuBar, Look::Classic);
}

void DrawPlain(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar)
{
    DrawOther(pMenu, lpDIS, bIsMenuBar, Look::Plain);
}

void DrawIconColumnGradient(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar)
{
    DrawOther(pMenu, lpDIS, bIsMenuBar, Look::IconColumnGradient);
}

void DrawFlatGradient(CNewMenu* pMenu, LPDRAWITEMSTRUCT lpDIS, BOOL bIsMenuBar)
{
    DrawOther(pMenu, lpDIS, bIsMenuBar, Look::FlatGradient);
}

void DrawTitle(CNewMenu*, LPDRAWITEMSTRUCT, BOOL)
{
}

} // namespace menudraw
