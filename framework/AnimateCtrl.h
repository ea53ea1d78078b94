// CAnimateCtrl: an animation control (comctl32 "SysAnimate32") that plays a silent AVI
// clip from a file or a resource.
#pragma once

#include "Wnd.h"

#include <commctrl.h>

class CAnimateCtrl : public CWnd
{
    DECLARE_DYNAMIC(CAnimateCtrl)
public:
    CAnimateCtrl() = default;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(ANIMATE_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
    }

    // A clip from a file, or (a MAKEINTRESOURCE name) from the application's resources of
    // type "AVI". Answers whether the clip could be opened.
    BOOL Open(const char* lpszFileName);
    BOOL Open(UINT nID) { return Open(MAKEINTRESOURCEA(nID)); }
    // Frames nFrom..nTo (0xFFFF: the last), nRep times (-1: for ever).
    BOOL Play(UINT nFrom, UINT nTo, UINT nRep)
    {
        return static_cast<BOOL>(SendMessage(ACM_PLAY, nRep, MAKELPARAM(nFrom, nTo)));
    }
    BOOL Stop() { return static_cast<BOOL>(SendMessage(ACM_STOP)); }
    BOOL Close() { return static_cast<BOOL>(SendMessage(ACM_OPENA, 0, 0)); }
    BOOL Seek(UINT nTo) { return Play(nTo, nTo, 1); }
};
