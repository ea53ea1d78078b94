// The program's look: the font and the colours of its dialogs and skinned controls.
#pragma once

#include "Font.h"

#include <windows.h>

namespace look {

const char* const kFontFace = "Verdana";
const int kFontHeight = 12;
const int kFontWeight = 400;

const COLORREF kPanelBackground = RGB(236, 233, 216); // dialogs, buttons, check box face
const COLORREF kLabelBackground = RGB(224, 219, 192); // labels, check box erase colour
const COLORREF kBorder = RGB(196, 185, 128);          // edit border, check box upper edge
const COLORREF kCheckLowerEdge = RGB(186, 175, 118);  // check box lower edge
const COLORREF kRadioRing = RGB(156, 145, 88);        // ring of a radio button
const COLORREF kMark = RGB(176, 165, 108);            // check mark and radio dot
const COLORREF kLinkText = RGB(0, 0, 255);            // link labels
const COLORREF kText = RGB(0, 0, 0);                  // default text

// The look's font at the given height and weight.
inline BOOL CreateLookFont(CFont& font, int nHeight = kFontHeight, int nWeight = kFontWeight)
{
    font.DeleteObject();
    return font.CreateFont(nHeight, 0, 0, 0, nWeight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS,
                           kFontFace);
}

} // namespace look
