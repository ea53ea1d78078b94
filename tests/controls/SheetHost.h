// The host of the sheet and scroll-bar tests: a top-level window in the panel beige that
// records the WM_VSCROLL its children send it, and a sheet of pages built on the program's
// own templates, the way the search pane builds its own.
#pragma once

#include "Look.h"
#include "MyPropertyPage.h"
#include "MyPropertySheet.h"
#include "resource.h"

#include "WindowBench.h"

#include <memory>
#include <utility>
#include <vector>

class CTestHost : public CWnd
{
public:
    // Without a caption the client area is the window (the tests' arithmetic needs that).
    BOOL CreateHost(const char* title, int x, int y, int cx, int cy, bool bCaption = false)
    {
        testsupport::InitControls();
        const DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | (bCaption ? WS_CAPTION : 0);
        return CreateEx(0, nullptr, title, style, x, y, cx, cy, nullptr, nullptr);
    }

    std::vector<std::pair<UINT, UINT>> vscrolls; // (code, position) of WM_VSCROLL

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC)
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, look::kPanelBackground);
        return TRUE;
    }
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*) { vscrolls.emplace_back(nSBCode, nPos); }
    DECLARE_MESSAGE_MAP()
};

// A sheet of five pages in a host, titled as the search pane titles them. Each page is a
// CMyPropertyPage on the empty template 151; the tests add their children at run time.
struct SheetOfFivePages
{
    static const char* Title(int i)
    {
        static const char* const titles[] = {"Basic Search", "Advanced Search", "Search Results", "Search Report",
                                             "Saved Reports"};
        return titles[i];
    }

    bool Build(int x, int y, int cx, int cy, bool bCaption = false)
    {
        if (!host.CreateHost("Search side", x, y, cx, cy, bCaption))
            return false;
        CRect client;
        host.GetClientRect(&client);
        if (!sheet.Create(IDD_PROPERTY_SHEET, &host))
            return false;
        sheet.MoveWindow(&client);
        for (int i = 0; i < 5; ++i) {
            pages.push_back(std::make_unique<CMyPropertyPage>(IDD_PROPERTY_SHEET));
            if (!pages.back()->Create(IDD_PROPERTY_SHEET, &sheet))
                return false;
        }
        for (int i = 0; i < 5; ++i)
            sheet.AddPage(Title(i), pages[static_cast<size_t>(i)].get(), 0, look::kPanelBackground,
                          look::kPanelBackground);
        sheet.InitSheet();
        testsupport::PumpMessages();
        return true;
    }
    ~SheetOfFivePages()
    {
        if (host.m_hWnd)
            host.DestroyWindow();
    }

    CTestHost host;
    CMyPropertySheet sheet;
    std::vector<std::unique_ptr<CMyPropertyPage>> pages;
};
