// The painting that the small session dialogs share: the dialog's ground, and a frame drawn
// around a hidden group control with its title set into the frame's top edge.
#pragma once

class CDC;
class CWnd;

// Fills the dialog's client area with the ground colour and draws the frame around the
// control nFrameId with the title in its top edge. Answers TRUE (the ground is erased).
int PaintGroupFrame(CDC* pDC, CWnd& dialog, int nFrameId, const char* title);
