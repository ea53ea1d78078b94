// The look of the Preferences and Save Files To dialogs: they paint their background
// themselves instead of the system's (a sand-coloured ground, a lighter inner panel with a
// 3-D edge, and the frames and captions of their group boxes, drawn by hand in Verdana while
// the group-box controls themselves stay hidden), and their bitmap buttons keep their
// template place at a fixed height of 23 pixels.
#pragma once

#include "DC.h"
#include "Geometry.h"
#include "HoverButton.h"
#include "Wnd.h"

// How far the inner panel stands in from the client edges.
struct PanelInsets
{
    int left;
    int top;
    int right;
    int bottom;
};

// The Preferences dialog leaves room at the top for its heading.
const PanelInsets kPreferencesInsets = {5, 40, 5, 5};
const PanelInsets kSaveFilesToInsets = {5, 5, 5, 5};

// Paints the whole background of the dialog's client rectangle, every group box among its
// children (visible or not) framed with its caption. Answers TRUE: the background is done.
BOOL PaintDialogBackground(CDC* pDC, CWnd& dialog, const CRect& rcClient, const PanelInsets& insets);

// Gives a bitmap button its strip and the size width x 23, keeping its top-left corner.
void PlaceBitmapButton(CHoverButton& button, UINT nBitmap, int nWidth);
