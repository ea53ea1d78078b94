#include "TreeDropFeedback.h"

#include <thread>

namespace {

// Near the tree's top or bottom edge a drag scrolls it.
const int kScrollZone = 10;
// The rest before a hovered folder opens: this many waits of one millisecond.
const int kHoverWaits = 81;
// Hover thread -> the object's message window: the waits ended with the request standing.
const UINT kWaitEnded = WM_APP + 1;
const char kNotifyClass[] = "ZentrovaTreeHoverExpand";

HWND g_hDragLock = nullptr;

// A screen point in the coordinates of the lock window's whole area.
POINT InLockWindow(POINT screen)
{
    RECT window{};
    ::GetWindowRect(g_hDragLock, &window);
    return POINT{screen.x - window.left, screen.y - window.top};
}

} // namespace

bool DragImageEnter(HWND hFrom, POINT screen)
{
    g_hDragLock = ::GetAncestor(hFrom, GA_ROOT);
    if (!g_hDragLock)
        g_hDragLock = ::GetDesktopWindow();
    const POINT at = InLockWindow(screen);
    return ImageList_DragEnter(g_hDragLock, at.x, at.y) != FALSE;
}

bool DragImageMove(POINT screen)
{
    const POINT at = InLockWindow(screen);
    return ImageList_DragMove(at.x, at.y) != FALSE;
}

void DragImageLeave()
{
    ImageList_DragLeave(g_hDragLock);
    g_hDragLock = nullptr;
}

bool IsOwnTreeControl(HWND hWnd)
{
    char name[32] = {};
    DWORD process = 0;
    return hWnd && ::GetClassNameA(hWnd, name, sizeof name) && lstrcmpiA(name, WC_TREEVIEWA) == 0 &&
           ::GetWindowThreadProcessId(hWnd, &process) && process == ::GetCurrentProcessId();
}

LPARAM TreeItemData(HWND hTree, HTREEITEM hItem)
{
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    if (!hItem || !::SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.lParam;
}

HTREEITEM TrackTreeDropTarget(HWND hTree, POINT screen)
{
    POINT inTree = screen;
    ::ScreenToClient(hTree, &inTree);
    RECT client{};
    ::GetClientRect(hTree, &client);
    if (client.bottom - inTree.y < kScrollZone)
        ::SendMessageA(hTree, WM_VSCROLL, SB_LINEDOWN, 0);
    if (inTree.y - client.top < kScrollZone)
        ::SendMessageA(hTree, WM_VSCROLL, SB_LINEUP, 0);
    TVHITTESTINFO hit{};
    hit.pt = inTree;
    HTREEITEM hTarget = reinterpret_cast<HTREEITEM>(::SendMessageA(hTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    // Over no item, or over the root, no folder stays marked as where the drop goes.
    const bool bMark = hTarget && TreeItemData(hTree, hTarget) != -1;
    ::SendMessageA(hTree, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(bMark ? hTarget : nullptr));
    // The tree paints now, while the caller hides the drag image, not over it afterwards.
    ::UpdateWindow(hTree);
    return hTarget;
}

// ---------------------------------------------------------------- opening a hovered item

CTreeHoverExpand::CTreeHoverExpand() : m_pPending(std::make_shared<std::atomic<bool>>(false)) {}

CTreeHoverExpand::~CTreeHoverExpand()
{
    // Waiting threads see the request gone and end; what they may still post finds no
    // window.
    *m_pPending = false;
    if (m_hNotify)
        ::DestroyWindow(m_hNotify);
}

void CTreeHoverExpand::BeginDrag()
{
    m_bDragging = true;
    m_hItem = nullptr;
    m_hTree = nullptr;
}

void CTreeHoverExpand::EndDrag()
{
    m_bDragging = false;
    *m_pPending = false;
}

void CTreeHoverExpand::Cancel()
{
    *m_pPending = false;
}

void CTreeHoverExpand::Hover(HWND hTree, HTREEITEM hItem)
{
    if (!hItem || hItem == m_hItem)
        return;
    m_hItem = hItem;
    m_hTree = hTree;
    *m_pPending = true;
    if (!EnsureNotifyWindow())
        return; // no window to hear the end of the wait: the folder simply does not open
    std::shared_ptr<std::atomic<bool>> pPending = m_pPending;
    HWND hNotify = m_hNotify;
    try {
        std::thread([pPending, hNotify] {
            HANDLE hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
            for (int i = 0; i < kHoverWaits && *pPending; ++i)
                ::WaitForSingleObject(hEvent, 1);
            if (hEvent)
                ::CloseHandle(hEvent);
            if (*pPending)
                ::PostMessageA(hNotify, kWaitEnded, 0, 0);
        }).detach();
    } catch (...) {
        // No thread: the folder does not open by itself.
    }
}

bool CTreeHoverExpand::EnsureNotifyWindow()
{
    if (m_hNotify)
        return true;
    HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &CTreeHoverExpand::NotifyProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = kNotifyClass;
    if (!::RegisterClassExA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    m_hNotify = ::CreateWindowExA(0, kNotifyClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, hInstance, nullptr);
    if (m_hNotify)
        ::SetWindowLongPtrA(m_hNotify, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_hNotify != nullptr;
}

LRESULT CALLBACK CTreeHoverExpand::NotifyProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kWaitEnded) {
        if (auto* pThis = reinterpret_cast<CTreeHoverExpand*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA)))
            pThis->ExpandIfPending();
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

void CTreeHoverExpand::ExpandIfPending()
{
    // The first wait to end takes the request for all of them.
    if (!m_pPending->exchange(false) || !m_bDragging || !m_hTree || !m_hItem || !::IsWindow(m_hTree))
        return;
    // The tree repaints while the drag image is hidden, so that the image stays whole.
    ImageList_DragShowNolock(FALSE);
    ::SendMessageA(m_hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_hItem));
    ::InvalidateRect(m_hTree, nullptr, TRUE);
    ::UpdateWindow(m_hTree);
    ImageList_DragShowNolock(TRUE);
}
