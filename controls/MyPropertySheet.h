// CMyPropertySheet: the tabbed sheet of the search pane. A child dialog (template 151) that
// draws its own row of tabs, 24 pixels high, over the panel ground and shows one of its
// pages at a time below it; a click on a tab shows that tab's page. The host adds its pages
// (any child dialogs, usually CMyPropertyPage) with AddPage, calls InitSheet once, then
// switches pages with SetActivePage. Commands that a page does not handle come on to the
// sheet and from there to the sheet's parent (the dialogs' command routing).
#pragma once

#include "Framework.h"

#include <memory>
#include <vector>

// One tab of the sheet, owned by the sheet.
struct SheetTab
{
    CString strTitle;
    CWnd* pPage = nullptr;            // not owned
    int nIndex = 0;                   // the number of tabs before it was added
    COLORREF crText = RGB(0, 0, 0);
    COLORREF crInactive = RGB(128, 128, 128);
    COLORREF crActive = RGB(255, 255, 255);
    int bActive = 0;
    int nReserved = 0;
    CRect rect;                       // where the tab was last drawn
};

class CMyPropertySheet : public CDialog
{
    DECLARE_DYNAMIC(CMyPropertySheet)
public:
    static const int kStripHeight = 24;    // the row of tabs; the active tab's height
    static const int kInactiveHeight = 20; // an inactive tab
    static const int kTitleMargin = 8;     // left and right of a tab's title
    static const int kPageMargin = 5;      // around the pages

    explicit CMyPropertySheet(CWnd* pParentWnd = nullptr);
    ~CMyPropertySheet() override;

    // Appends a tab for the page (a child window of the sheet); the first tab added is the
    // active one.
    void AddPage(const CString& strTitle, CWnd* pPage, COLORREF crText, COLORREF crActive, COLORREF crInactive);
    // Once, after all pages are added: draws the sheet, lays the pages out, shows the sheet
    // and the first page.
    void InitSheet();
    // Shows the page whose tab has that index and hides the others (an index without a tab
    // hides them all).
    void SetActivePage(int nIndex);
    int GetActiveIndex() const { return m_nActiveIndex; }

    int GetTabCount() const { return static_cast<int>(m_arrTabs.size()); }
    const SheetTab* GetTab(int nIndex) const;

    BOOL OnInitDialog() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override {}
    void OnCancel() override {}

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

    void CreateOffscreen();
    // The ground and the tabs into the off-screen picture; the active page is repainted.
    void Render();
    void DrawTabs(CDC& dc);
    void LayoutPages();

    CBitmap m_bmpBackground;
    CRect m_rectClient;
    std::vector<std::unique_ptr<SheetTab>> m_arrTabs;
    int m_nActiveIndex = 0;
    CBitmap m_bmpOffscreen;
};
