// The colour arithmetic of the owner-drawn menus. Every product is a rounded
// multiply-divide; each result channel keeps its low 8 bits.
#pragma once

#include <windows.h>

namespace menucolors {

inline BYTE Low8(int v)
{
    return static_cast<BYTE>(v & 0xFF);
}

// The colour of a shadow cast on c.
inline COLORREF Shadow(COLORREF c)
{
    return RGB(Low8(MulDiv(GetRValue(c), 7, 10)), Low8(MulDiv(GetGValue(c), 7, 10)),
               Low8(MulDiv(GetBValue(c) + 55, 7, 10)));
}

// Each channel times (255 - v) / 255.
inline COLORREF Darken(int v, COLORREF c)
{
    return RGB(Low8(MulDiv(GetRValue(c), 255 - v, 255)), Low8(MulDiv(GetGValue(c), 255 - v, 255)),
               Low8(MulDiv(GetBValue(c), 255 - v, 255)));
}

// Each channel plus (255 - channel) times v / 255.
inline COLORREF Lighten(int v, COLORREF c)
{
    auto up = [v](int ch) { return Low8(ch + MulDiv(255 - ch, v, 255)); };
    return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

// 86 % of a and 14 % of b.
inline COLORREF Mix8614(COLORREF a, COLORREF b)
{
    auto mix = [](int x, int y) { return Low8(MulDiv(86, x, 100) + MulDiv(14, y, 100)); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

// 70 % of a and 30 % of b.
inline COLORREF Mix7030(COLORREF a, COLORREF b)
{
    auto mix = [](int x, int y) { return Low8(MulDiv(7, x, 10) + MulDiv(3, y, 10)); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

// The mean of the three channels in all three.
inline COLORREF Grey(COLORREF c)
{
    BYTE g = Low8((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3);
    return RGB(g, g, g);
}

} // namespace menucolors
