// CWindowDC: the device context of a whole window, frame included (of the screen for null).
#pragma once

#include "DC.h"
#include "Wnd.h"

class CWindowDC : public CDC
{
public:
    explicit CWindowDC(CWnd* pWnd) : m_hWnd(AfxHwndOf(pWnd)) { Attach(::GetWindowDC(m_hWnd)); }
    ~CWindowDC() override { ::ReleaseDC(m_hWnd, Detach()); }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

protected:
    HWND m_hWnd;
};
