// CPaneLayout: the arithmetic of the project pane's layout. The pane shows four areas, the
// quick-download box, the folder tree, the document list and the download queue across the
// bottom, in one of two arrangements: normal (a small box at the top, tree and list side by
// side) and expanded (the box becomes a tall column left of the tree). Three splitter bars
// let the user move the borders; the rectangles are kept in the options under fixed keys.
// Everything here is pane client coordinates in pixels and needs no window.
#pragma once

#include "Geometry.h"

class CProgramOptions;

class CPaneLayout
{
public:
    static const int Margin = 6;         // between the areas and round the pane
    static const int StatusHeight = 150; // the queue's height in the default layout
    static const int MiddleTop = 89;     // the top of the tree, the list and the column
    static const int DefaultWidth = 613; // the client size the default layout is made for
    static const int DefaultHeight = 431;

    enum Bar { NoBar = 0, Bar1 = 1, Bar2 = 2, Bar3 = 3 };

    CPaneLayout();

    // The layout made for the default client size. Its horizontal split is the default one
    // until the user moves bar 3: a pane taller than the default then keeps the queue at its
    // default height and gives the tree and the list the rest (IsDefaultSplit).
    void SetDefault();
    // Reads the fourteen rectangles from the options; false (and nothing usable) as soon as
    // one of them cannot be read. The "download now" rectangle and the expanded download
    // button are then made 78 pixels wide.
    bool Load(CProgramOptions& options);
    // Writes the fourteen rectangles (keys the store lacks are not created).
    void Save(CProgramOptions& options) const;

    // A new client size: the right edges follow the width, the queue the height (beyond the
    // default height, a default split keeps the queue's height instead). With the shrink
    // guard, a height that would leave the queue's top within 10 pixels of the bottom edge
    // pulls the horizontal splitter up.
    void Resize(int cx, int cy, bool bShrinkGuard);
    // The rectangles of the current arrangement after a size change or a switch.
    void Arrange(int cx, int cy);

    // The bar under the point (bar 1 only in the expanded arrangement), or NoBar.
    Bar HitBar(CPoint point) const;
    // The range within which a drag of the bar may move the mouse (x for bars 1 and 2,
    // y for bar 3), for a client area of the given height.
    void DragLimits(Bar bar, int clientHeight, int& lower, int& upper) const;
    // The mouse coordinate of a drag held within the bar's limits.
    static int Clamp(int value, int lower, int upper);
    // Moves a bar by the distance the mouse went (dx for bars 1 and 2, dy for bar 3) and
    // the areas on both sides of it with it; cx is the client width. Bar 3 moved so ends
    // the default split.
    void MoveBar(Bar bar, int delta, int cx, int cy);

    // True while the horizontal split is the one of the default layout: not loaded from the
    // options and not moved by the user.
    bool IsDefaultSplit() const { return m_bDefaultSplit; }

    // The rectangles of the current arrangement.
    const CRect& EditRect() const { return m_bExpanded ? m_rectSquishedEditRect : m_rectNormalEditRect; }
    const CRect& ProjectRect() const { return m_bExpanded ? m_rectSquishedProjectRect : m_rectNormalProjectRect; }
    const CRect& PatentRect() const { return m_bExpanded ? m_rectSquishedPatentRect : m_rectNormalPatentRect; }
    const CRect& StatusRect() const { return m_rectNormalStatusRect; }
    // Where the "download now" button stands: at its own rectangle in the normal
    // arrangement, centred under the column in the expanded one.
    const CRect& DownloadButtonRect() const
    {
        return m_bExpanded ? m_rectSquishedDownloadButtonRect : m_rectbuttonQuickDownload;
    }

    bool m_bExpanded = false;

    CRect m_rectNormalEditRect;
    CRect m_rectSquishedEditRect;
    CRect m_rectNormalProjectRect;
    CRect m_rectSquishedProjectRect;
    CRect m_rectNormalPatentRect;
    CRect m_rectSquishedPatentRect;
    CRect m_rectNormalStatusRect;
    CRect m_rectNormalDownloadButtonRect;
    CRect m_rectSquishedDownloadButtonRect;
    CRect m_rectbuttonQuickDownload;
    CRect m_rectResize1;
    CRect m_rectResize2;
    CRect m_rectResize3;
    CRect m_ResizeDrawConstraints;

private:
    // The expanded download button centred under the quick-download column, above the queue.
    void CentreSquishedDownloadButton();
    // Moves the horizontal split (bar 3, the bottoms above it, the queue's top) by dy.
    void MoveSplit(int dy, int cx, int cy);

    bool m_bDefaultSplit = false;

    double m_dColumnRatio = 0.2;        // the quick-download column of the expanded arrangement
    double m_dSquishedTreeRatio = 0.2;  // the tree of the expanded arrangement
    double m_dNormalTreeRatio = 0.3;    // the tree of the normal arrangement
};
