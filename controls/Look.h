// The shared look of the program's windows and controls: the Verdana font of height 12 and
// weight 400, the beige backgrounds and the colours of the skinned controls.
#pragma once

#include "DC.h"
#include "Font.h"
#include "Pen.h"

#include <windows.h>

namespace look {

const char* const kFontFace = "Verdana";
const int kFontHeight = 12;
const int kFontWeight = 400;

const COLORREF kPanelBackground = RGB(236, 233, 216); // dialogs, buttons, check boxes
const COLORREF kLabelBackground = RGB(224, 219, 192); // labels; erase colour of check boxes
const COLORREF kBorder = RGB(196, 185, 128);          // edit borders, upper check box edge
const COLORREF kCheckLowerEdge = RGB(186, 175, 118);
const COLORREF kRadioRing = RGB(156, 145, 88);
const COLORREF kMark = RGB(176, 165, 108);            // check marks and radio dots
const COLORREF kLinkText = RGB(0, 0, 255);
const COLORREF kText = RGB(0, 0, 0);

// A font of the look: Verdana of the given height and weight, ANSI character set, Swiss
// family, default precision and quality. The caller deletes it.
inline HFONT CreateLookFont(int height = kFontHeight, int weight = kFontWeight)
{
    return ::CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_SWISS, kFontFace);
}

// The look's font at the given height and weight, into a font object.
inline BOOL CreateLookFont(CFont& font, int nHeight = kFontHeight, int nWeight = kFontWeight)
{
    font.DeleteObject();
    return font.CreateFont(nHeight, 0, 0, 0, nWeight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, kFontFace);
}

// A one-pixel line of the colour from (x1, y1) up to, not including, (x2, y2).
inline void DrawLine(CDC& dc, COLORREF colour, int x1, int y1, int x2, int y2)
{
    CPen pen(PS_SOLID, 1, colour);
    CPen* pOld = dc.SelectObject(&pen);
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
    dc.SelectObject(pOld);
}

} // namespace look
