#include "ScrollBar.h"

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

int CScrollBar::GetScrollLimit()
{
    SCROLLINFO info{};
    if (!GetScrollInfo(&info, SIF_RANGE | SIF_PAGE))
        return 0;
    int limit = info.nMax - (info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0);
    return limit < info.nMin ? info.nMin : limit;
}
