// What a drag shows over the folder tree, for both drags that end there (document rows from
// the list, folders within the tree itself): which windows count as a tree to drop on, the
// scrolling near the tree's edges, the drop target under the pointer with its highlight, and
// the opening of a folder the pointer rests on.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>

// True for a tree-view control of this process. A tree of another program is no drop
// target: its items cannot be read from here.
bool IsOwnTreeControl(HWND hWnd);

// The item data (lParam) of a tree item; -1 when the item cannot be read.
LPARAM TreeItemData(HWND hTree, HTREEITEM hItem);

// The drag image (begun with ImageList_BeginDrag), shown at screen points over the top-level
// window of the window the drag starts from. Drawing over the desktop window would reach
// every window on Windows, but where the desktop is the display's root window (Wine without
// a virtual desktop) it lies beneath them all; the program's own window shows it on both.
// There is one drag image per process, so one lock window.
bool DragImageEnter(HWND hFrom, POINT screen);
bool DragImageMove(POINT screen);
void DragImageLeave();

// One mouse move of a drag over a tree control, at a screen point: scrolls the tree one line
// when the point is within 10 pixels of its top or bottom edge, then answers the item under
// the point (null for none) and shows it as the drop target, except the root item (data -1),
// which is never highlighted; over no item or the root no item is highlighted.
HTREEITEM TrackTreeDropTarget(HWND hTree, POINT screen);

// Opens the tree item a drag rests on. Each newly hovered item starts a short-lived thread
// that waits 81 one-millisecond waits while the request stands; the first one to end with
// the request still standing asks this object, on its own thread, to open the item hovered
// at that moment. So the tree only changes on the thread that owns it, and only while the
// drag runs and the request stands: moving to another window, the button going up and the
// owner's destruction withdraw it. A waiting thread holds only the request flag (shared
// with it) and the handle of this object's message window.
class CTreeHoverExpand
{
public:
    CTreeHoverExpand();
    ~CTreeHoverExpand();
    CTreeHoverExpand(const CTreeHoverExpand&) = delete;
    CTreeHoverExpand& operator=(const CTreeHoverExpand&) = delete;

    // A drag begins (the last hovered item is forgotten) or ends (a pending request goes).
    void BeginDrag();
    void EndDrag();
    // The pointer is over the item: unless it is the item hovered last, it becomes the
    // hovered item and a new wait starts.
    void Hover(HWND hTree, HTREEITEM hItem);
    // Withdraws the pending request; the hovered item stays the last one.
    void Cancel();

    HTREEITEM HoveredItem() const { return m_hItem; }
    bool IsPending() const { return m_pPending->load(); }

private:
    static LRESULT CALLBACK NotifyProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The waits' end: opens the hovered item when the request still stands.
    void ExpandIfPending();
    bool EnsureNotifyWindow();

    std::shared_ptr<std::atomic<bool>> m_pPending;
    bool m_bDragging = false;
    HWND m_hTree = nullptr;
    HTREEITEM m_hItem = nullptr;
    HWND m_hNotify = nullptr; // message-only window on the owner's thread
};
