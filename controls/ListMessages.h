// The messages the program's list controls (CXListCtrl, and the document list that shares
// its cell records) send to their parent window, always with SendMessage.
#pragma once

#include <windows.h>

// List -> parent: the right button went down over the list; wParam the row under the point
// (-1 when none), lParam 0. The list keeps the point in screen coordinates for a menu.
const UINT UM_LIST_RBUTTONDOWN = WM_APP + 1;
// List -> parent: a column header was clicked; wParam and lParam 0. The parent reads the sort
// column and order from the list's header and sorts.
const UINT UM_SORT_COLUMN = WM_APP + 0x3B;

// List -> parent (the owner when the list has no parent): a check-box cell was toggled by a
// click; wParam the row, lParam the column. Registered as "WM_XLISTCTRL_CHECKBOX_CLICKED"
// before the program's entry point runs.
extern const UINT WM_XLISTCTRL_CHECKBOX_CLICKED;
