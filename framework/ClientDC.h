// CClientDC: the device context of a window's client area (of the screen for null).
#pragma once

#include "DC.h"
#include "Wnd.h"

class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* pWnd) : m_hWnd(AfxHwndOf(pWnd)) { Attach(::GetDC(m_hWnd)); }
    ~CClientDC() override { ::ReleaseDC(m_hWnd, Detach()); }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

protected:
    HWND m_hWnd;
};
