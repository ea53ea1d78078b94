#include "PaneLayout.h"

#include "ProgramOptions.h"

#include <algorithm>

namespace {

// The option keys in the order the layout reads and writes them.
struct RectKey
{
    const char* key;
    CRect CPaneLayout::*rect;
};

const RectKey kKeys[] = {
    {"m_rectSquishedEditRect", &CPaneLayout::m_rectSquishedEditRect},
    {"m_rectSquishedProjectRect", &CPaneLayout::m_rectSquishedProjectRect},
    {"m_rectSquishedPatentRect", &CPaneLayout::m_rectSquishedPatentRect},
    {"m_rectNormalStatusRect", &CPaneLayout::m_rectNormalStatusRect},
    {"m_rectNormalEditRect", &CPaneLayout::m_rectNormalEditRect},
    {"m_rectNormalProjectRect", &CPaneLayout::m_rectNormalProjectRect},
    {"m_rectNormalPatentRect", &CPaneLayout::m_rectNormalPatentRect},
    {"m_rectResize1", &CPaneLayout::m_rectResize1},
    {"m_rectResize2", &CPaneLayout::m_rectResize2},
    {"m_rectResize3", &CPaneLayout::m_rectResize3},
    {"m_ResizeDrawConstraints", &CPaneLayout::m_ResizeDrawConstraints},
    {"m_rectNormalDownloadButtonRect", &CPaneLayout::m_rectNormalDownloadButtonRect},
    {"m_rectSquishedDownloadButtonRect", &CPaneLayout::m_rectSquishedDownloadButtonRect},
    {"m_rectbuttonQuickDownload", &CPaneLayout::m_rectbuttonQuickDownload},
};

const int kButtonWidth = 78;
// The queue's top in the default layout, made for the default client size.
const int kDefaultQueueTop = CPaneLayout::DefaultHeight - CPaneLayout::Margin - CPaneLayout::StatusHeight;

} // namespace

CPaneLayout::CPaneLayout() = default;

void CPaneLayout::SetDefault()
{
    const int m = Margin, S = StatusHeight;
    const int W = DefaultWidth, H = DefaultHeight;
    const int bottom = H - 2 * m - S;

    const double column = (W - 3 * m) * m_dColumnRatio;
    m_rectSquishedEditRect.SetRect(m, MiddleTop, static_cast<int>(column) + m, bottom);
    m_rectSquishedProjectRect.SetRect(m_rectSquishedEditRect.right + m, MiddleTop,
                                      static_cast<int>((W - 3 * m) * m_dSquishedTreeRatio +
                                                       m_rectSquishedEditRect.right),
                                      bottom);
    m_rectSquishedPatentRect.SetRect(m_rectSquishedProjectRect.right + m, MiddleTop, W - m, bottom);
    m_rectNormalStatusRect.SetRect(m, m_rectSquishedProjectRect.bottom + m, W - m, H - m);
    m_rectbuttonQuickDownload.SetRect(152, 61, 230, 84);
    m_rectNormalEditRect.SetRect(m + 20, 65, 150, 80);
    m_rectNormalProjectRect.SetRect(m, MiddleTop, static_cast<int>((W - 3 * m) * m_dNormalTreeRatio) + m,
                                    bottom);
    m_rectNormalPatentRect.SetRect(m_rectNormalProjectRect.right + m, MiddleTop, W - m, bottom);
    m_rectResize1.SetRectEmpty();
    m_rectResize2.SetRect(m_rectNormalProjectRect.right + 1, MiddleTop, m_rectNormalProjectRect.right + m, bottom);
    m_rectResize3.SetRect(m, bottom + 1, W - m, bottom + m);
    m_ResizeDrawConstraints.SetRect(m, MiddleTop, W - m, bottom);
    m_rectNormalDownloadButtonRect.SetRect(160, 20, 230, 43);
    CentreSquishedDownloadButton();
    m_rectSquishedEditRect.bottom = m_rectSquishedDownloadButtonRect.top - 1;
    m_bDefaultSplit = true;
}

void CPaneLayout::CentreSquishedDownloadButton()
{
    const int w = m_rectSquishedEditRect.Width();
    const int queueTop = m_rectNormalStatusRect.top;
    m_rectSquishedDownloadButtonRect.SetRect(Margin + w / 2 - 41, queueTop - Margin - 23, Margin + w / 2 + 39,
                                             queueTop - Margin);
}

bool CPaneLayout::Load(CProgramOptions& options)
{
    m_bDefaultSplit = false;
    for (const RectKey& k : kKeys) {
        RECT rect{};
        if (!options.GetRectOption(k.key, rect))
            return false;
        this->*k.rect = rect;
    }
    m_rectbuttonQuickDownload.right = m_rectbuttonQuickDownload.left + kButtonWidth;
    m_rectSquishedDownloadButtonRect.right = m_rectSquishedDownloadButtonRect.left + kButtonWidth;
    return true;
}

void CPaneLayout::Save(CProgramOptions& options) const
{
    for (const RectKey& k : kKeys)
        options.SetRectOption(k.key, this->*k.rect);
}

void CPaneLayout::Resize(int cx, int cy, bool bShrinkGuard)
{
    const int m = Margin;
    m_rectNormalPatentRect.right = cx - m;
    m_rectSquishedPatentRect.right = cx - m;
    m_rectNormalStatusRect.SetRect(m, m_rectSquishedProjectRect.bottom + m, cx - m, cy - m);
    m_rectResize3.right = cx - m;
    m_ResizeDrawConstraints.SetRect(m, MiddleTop, cx - m, cy - 2 * m - m_rectNormalStatusRect.Height());
    // A pane taller than the default gives the room to the document list, not to the queue.
    if (m_bDefaultSplit && cy >= 1)
        MoveSplit(std::max(cy - m - StatusHeight, kDefaultQueueTop) - m_rectNormalStatusRect.top, cx, cy);
    if (bShrinkGuard && cy >= 1 && cy - 10 < m_rectNormalStatusRect.top)
        MoveSplit(cy - m - 10 - m_rectNormalStatusRect.top, cx, cy);
}

void CPaneLayout::Arrange(int /*cx*/, int cy)
{
    const int m = Margin;
    const int bottom = cy - 2 * m - m_rectNormalStatusRect.Height();
    if (m_bExpanded) {
        // The column reaches down to the "download now" button that stands under it.
        m_rectSquishedEditRect.bottom = m_rectSquishedDownloadButtonRect.top - 1;
        m_rectResize1.SetRect(m_rectSquishedEditRect.right + 1, MiddleTop, m_rectSquishedEditRect.right + m, bottom);
        m_rectResize2.SetRect(m_rectSquishedProjectRect.right + 1, MiddleTop, m_rectSquishedProjectRect.right + m,
                              bottom);
    } else {
        m_rectResize1.SetRectEmpty();
        m_rectResize2.SetRect(m_rectNormalProjectRect.right + 1, MiddleTop, m_rectNormalProjectRect.right + m,
                              bottom);
    }
}

CPaneLayout::Bar CPaneLayout::HitBar(CPoint point) const
{
    if (m_bExpanded && m_rectResize1.PtInRect(point))
        return Bar1;
    if (m_rectResize2.PtInRect(point))
        return Bar2;
    if (m_rectResize3.PtInRect(point))
        return Bar3;
    return NoBar;
}

void CPaneLayout::DragLimits(Bar bar, int clientHeight, int& lower, int& upper) const
{
    switch (bar) {
    case Bar1:
        lower = m_rectSquishedEditRect.left + 95;
        upper = m_rectSquishedProjectRect.right - 10;
        break;
    case Bar2:
        lower = ProjectRect().left + 10;
        upper = PatentRect().right - 10;
        break;
    case Bar3:
        lower = 99;
        upper = clientHeight - Margin - 10;
        break;
    default:
        lower = upper = 0;
        break;
    }
}

int CPaneLayout::Clamp(int value, int lower, int upper)
{
    return std::max(std::min(value, upper), lower);
}

void CPaneLayout::MoveBar(Bar bar, int delta, int cx, int cy)
{
    switch (bar) {
    case Bar1:
        m_rectSquishedEditRect.right += delta;
        m_rectSquishedProjectRect.left += delta;
        m_rectResize1.OffsetRect(delta, 0);
        CentreSquishedDownloadButton();
        break;
    case Bar2: {
        CRect& tree = m_bExpanded ? m_rectSquishedProjectRect : m_rectNormalProjectRect;
        CRect& list = m_bExpanded ? m_rectSquishedPatentRect : m_rectNormalPatentRect;
        tree.right += delta;
        list.left += delta;
        m_rectResize2.OffsetRect(delta, 0);
        break;
    }
    case Bar3:
        MoveSplit(delta, cx, cy);
        m_bDefaultSplit = false;
        break;
    default:
        break;
    }
}

void CPaneLayout::MoveSplit(int dy, int cx, int cy)
{
    for (CRect* r : {&m_rectSquishedEditRect, &m_rectNormalProjectRect, &m_rectSquishedProjectRect,
                     &m_rectNormalPatentRect, &m_rectSquishedPatentRect, &m_rectResize2})
        r->bottom += dy;
    if (!m_rectResize1.IsRectNull())
        m_rectResize1.bottom += dy;
    m_rectResize3.OffsetRect(0, dy);
    m_rectNormalStatusRect.top += dy;
    m_rectSquishedDownloadButtonRect.OffsetRect(0, dy);
    m_ResizeDrawConstraints.SetRect(Margin, MiddleTop, cx - Margin, cy - 2 * Margin - m_rectNormalStatusRect.Height());
}
