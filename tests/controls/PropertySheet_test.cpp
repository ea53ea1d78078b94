// The tabbed sheet and its scrollable pages: the tab strip's geometry and clicks, one page
// shown at a time, the scroll strip of a tall page and the scrolling arithmetic, and the
// button kinds the page background is drawn from.
#include "SheetHost.h"

#include <gtest/gtest.h>

namespace {

class SheetTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_ui.Build(20, 20, 620, 434)); }

    CMyPropertyPage& Page(int i) { return *m_ui.pages[static_cast<size_t>(i)]; }
    void Click(CWnd& wnd, CPoint pt) { wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y)); }
    std::vector<int> VisiblePages()
    {
        std::vector<int> shown;
        for (int i = 0; i < 5; ++i)
            if (Page(i).IsWindowVisible())
                shown.push_back(i);
        return shown;
    }
    // A push button child of the page at content position y.
    HWND AddButton(CMyPropertyPage& page, int y)
    {
        return ::CreateWindowExA(0, "BUTTON", "Field", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, y, 80, 20,
                                 page.m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    }
    CRect ChildRect(CWnd& parent, HWND hChild)
    {
        CRect rect;
        ::GetWindowRect(hChild, &rect);
        parent.ScreenToClient(&rect);
        return rect;
    }

    SheetOfFivePages m_ui;
};

TEST_F(SheetTest, TabsAreTheirTitlesPlusSixteenOnePixelApart)
{
    CClientDC dc(&m_ui.sheet);
    CFont font;
    look::CreateLookFont(font);
    CFont* pOld = dc.SelectObject(&font);
    ASSERT_EQ(5, m_ui.sheet.GetTabCount());
    int x = 0;
    for (int i = 0; i < 5; ++i) {
        const SheetTab* tab = m_ui.sheet.GetTab(i);
        ASSERT_NE(nullptr, tab);
        EXPECT_EQ(i, tab->nIndex);
        EXPECT_EQ(CString(SheetOfFivePages::Title(i)), tab->strTitle);
        const int width = dc.GetTextExtent(tab->strTitle).cx + 16;
        EXPECT_EQ(x, tab->rect.left) << "tab " << i;
        EXPECT_EQ(width, tab->rect.Width()) << "tab " << i;
        EXPECT_EQ(24, tab->rect.bottom);
        // The active tab is the strip's full 24 pixels; the others are 20, from y = 4.
        EXPECT_EQ(i == 0 ? 0 : 4, tab->rect.top) << "tab " << i;
        x = tab->rect.right + 1;
    }
    dc.SelectObject(pOld);
}

TEST_F(SheetTest, OnePageIsShownAtATimeInThePageArea)
{
    EXPECT_EQ(0, m_ui.sheet.GetActiveIndex());
    EXPECT_EQ(std::vector<int>{0}, VisiblePages());

    m_ui.sheet.SetActivePage(3);
    EXPECT_EQ(3, m_ui.sheet.GetActiveIndex());
    EXPECT_EQ(std::vector<int>{3}, VisiblePages());
    EXPECT_EQ(0, m_ui.sheet.GetTab(3)->rect.top);
    EXPECT_EQ(4, m_ui.sheet.GetTab(0)->rect.top);
    EXPECT_EQ(1, m_ui.sheet.GetTab(3)->bActive);
    EXPECT_EQ(0, m_ui.sheet.GetTab(0)->bActive);

    // Every page fills the area below the strip with its margins.
    CRect sheet;
    m_ui.sheet.GetClientRect(&sheet);
    for (int i = 0; i < 5; ++i) {
        CRect rect;
        Page(i).GetWindowRect(&rect);
        m_ui.sheet.ScreenToClient(&rect);
        EXPECT_EQ(CRect(5, 29, 5 + sheet.Width() - 11, 29 + sheet.Height() - 34), rect) << "page " << i;
    }

    // An index without a tab hides every page.
    m_ui.sheet.SetActivePage(7);
    EXPECT_EQ(7, m_ui.sheet.GetActiveIndex());
    EXPECT_TRUE(VisiblePages().empty());
}

TEST_F(SheetTest, AClickOnATabShowsItsPageAndAClickBesideTheTabsNothing)
{
    const CRect second = m_ui.sheet.GetTab(1)->rect;
    Click(m_ui.sheet, second.CenterPoint());
    EXPECT_EQ(1, m_ui.sheet.GetActiveIndex());
    EXPECT_EQ(std::vector<int>{1}, VisiblePages());

    // The pixel between two tabs, the strip right of the last tab, the page area.
    const CRect last = m_ui.sheet.GetTab(4)->rect;
    for (CPoint pt : {CPoint(second.right, 12), CPoint(last.right + 20, 12), CPoint(100, 200)}) {
        Click(m_ui.sheet, pt);
        EXPECT_EQ(1, m_ui.sheet.GetActiveIndex()) << pt.x << "," << pt.y;
    }
    EXPECT_EQ(std::vector<int>{1}, VisiblePages());
}

TEST_F(SheetTest, ATallPageGetsTheStripAndScrollsItsContentByTheThumbsShare)
{
    CMyPropertyPage& page = Page(0);
    CRect window;
    page.GetWindowRect(&window);
    const int height = window.Height();
    ASSERT_EQ(400, height);
    const HWND hField = AddButton(page, 300);

    page.SetContentHeight(700);
    testsupport::PumpMessages();
    EXPECT_TRUE(page.NeedsScroll());
    CRect client;
    page.GetClientRect(&client);
    EXPECT_EQ(window.Width() - 14, client.Width()) << "the 14-pixel strip";
    EXPECT_EQ(300, page.GetMaxScroll());
    // The bar lies just right of the client area, as tall as the page less 2.
    CRect bar = ChildRect(page, page.GetScrollBar().m_hWnd);
    EXPECT_EQ(CRect(client.right + 1, 1, client.right + 14, height - 1), bar);

    page.GetScrollBar().MoveThumb(50, 0);
    testsupport::PumpMessages();
    EXPECT_EQ(150, page.GetScrollOffset()) << "half of the 300 hidden pixels";
    EXPECT_EQ(50, page.GetLastScrollPos());
    EXPECT_EQ(150, ChildRect(page, hField).top);
    EXPECT_EQ(bar, ChildRect(page, page.GetScrollBar().m_hWnd)) << "the bar keeps its place";

    page.GetScrollBar().MoveThumb(100, 0);
    EXPECT_EQ(300, page.GetScrollOffset());
    EXPECT_EQ(0, ChildRect(page, hField).top);

    page.ResetScroll();
    EXPECT_EQ(0, page.GetScrollOffset());
    EXPECT_EQ(0, page.GetScrollBar().GetPosition());
    EXPECT_EQ(300, ChildRect(page, hField).top);
    EXPECT_EQ(bar, ChildRect(page, page.GetScrollBar().m_hWnd));

    // A size change scrolls back to the top as well.
    page.GetScrollBar().MoveThumb(50, 0);
    page.SetWindowPos(nullptr, 0, 0, window.Width(), height - 20, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(0, page.GetScrollOffset());
    EXPECT_EQ(300, ChildRect(page, hField).top);
}

TEST_F(SheetTest, APageWhoseContentFitsHasNoStrip)
{
    CMyPropertyPage& page = Page(0);
    CRect window;
    page.GetWindowRect(&window);
    page.SetContentHeight(250);
    EXPECT_FALSE(page.NeedsScroll());
    CRect client;
    page.GetClientRect(&client);
    EXPECT_EQ(window.Width(), client.Width());

    // Growing the content brings the strip, shrinking it takes it away again.
    page.SetContentHeight(900);
    page.GetClientRect(&client);
    EXPECT_TRUE(page.NeedsScroll());
    EXPECT_EQ(window.Width() - 14, client.Width());
    page.SetContentHeight(250);
    page.GetClientRect(&client);
    EXPECT_FALSE(page.NeedsScroll());
    EXPECT_EQ(window.Width(), client.Width());
}

TEST_F(SheetTest, TheStripHandsItsMouseToTheBar)
{
    CMyPropertyPage& page = Page(0);
    page.SetContentHeight(700);
    CRect client;
    page.GetClientRect(&client);
    CRect window;
    page.GetWindowRect(&window);

    // A point on the strip's down arrow, in screen coordinates.
    CPoint onArrow(window.left + client.Width() + 6, window.top + client.Height() - 8);
    EXPECT_EQ(HTVSCROLL, page.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(onArrow.x, onArrow.y)));
    CPoint inside(window.left + 50, window.top + 50);
    EXPECT_NE(HTVSCROLL, page.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)));

    page.SendMessage(WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(onArrow.x, onArrow.y));
    EXPECT_TRUE(page.GetScrollBar().IsDownPressed());
    const int pos = page.GetScrollBar().GetPosition();
    EXPECT_GT(pos, 0);
    EXPECT_EQ(static_cast<int>(300 * (pos * 0.01)), page.GetScrollOffset());
    page.SendMessage(WM_NCLBUTTONUP, HTVSCROLL, MAKELPARAM(onArrow.x, onArrow.y));
    EXPECT_FALSE(page.GetScrollBar().IsDownPressed());
    testsupport::PumpMessages(700);
    EXPECT_EQ(pos, page.GetScrollBar().GetPosition()) << "released before the repeat";
}

TEST_F(SheetTest, ButtonTypesAndKinds)
{
    struct Case
    {
        const char* cls;
        DWORD style;
        int type;   // GetButtonType, not exact
        int exact;  // GetButtonType, exact
        int kind;   // GetButtonKind
    };
    const Case cases[] = {
        {"BUTTON", BS_PUSHBUTTON, 0, 0, 0},
        {"BUTTON", BS_DEFPUSHBUTTON, 1, 1, 0},
        {"BUTTON", BS_CHECKBOX, 2, 2, 2},
        {"BUTTON", BS_AUTOCHECKBOX, 3, 3, 2},
        {"BUTTON", BS_RADIOBUTTON, 4, 4, 4},
        {"BUTTON", BS_3STATE, 5, 5, 2},
        {"BUTTON", BS_AUTO3STATE, 6, 6, 2},
        {"BUTTON", BS_GROUPBOX, 7, -1, 7},
        {"BUTTON", BS_AUTORADIOBUTTON, 9, 9, 4},
        {"BUTTON", BS_OWNERDRAW, 11, 11, 11},
        {"STATIC", SS_LEFT, -1, -1, -1},
        {"EDIT", 0, -1, -1, -1},
        // Wine's buttons turn BS_USERBUTTON into a push button; a window of its own that
        // answers as a button keeps the style.
        {"ButtonKindProbe", BS_USERBUTTON, 8, 8, 11},
    };
    WNDCLASSA probe{};
    probe.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        return m == WM_GETDLGCODE ? DLGC_BUTTON : ::DefWindowProcA(h, m, w, l);
    };
    probe.hInstance = ::GetModuleHandleA(nullptr);
    probe.lpszClassName = "ButtonKindProbe";
    ::RegisterClassA(&probe);
    CMyPropertyPage& page = Page(0);
    for (const Case& c : cases) {
        HWND h = ::CreateWindowExA(0, c.cls, "x", WS_CHILD | c.style, 0, 0, 40, 20, page.m_hWnd, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, h);
        EXPECT_EQ(c.type, CMyPropertyPage::GetButtonType(h, FALSE)) << c.cls << " " << c.style;
        EXPECT_EQ(c.exact, CMyPropertyPage::GetButtonType(h, TRUE)) << c.cls << " " << c.style;
        EXPECT_EQ(c.kind, GetButtonKind(h, 0)) << c.cls << " " << c.style;
        ::DestroyWindow(h);
    }
    EXPECT_EQ(-1, CMyPropertyPage::GetButtonType(nullptr, FALSE));
    EXPECT_EQ(-1, GetButtonKind(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234)), 0)) << "no window";
}

TEST_F(SheetTest, EnterAndEscapeLeaveThePageAndTheSheetShown)
{
    Page(0).SendMessage(WM_COMMAND, IDOK, 0);
    Page(0).SendMessage(WM_COMMAND, IDCANCEL, 0);
    m_ui.sheet.SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(Page(0).IsWindowVisible());
    EXPECT_TRUE(m_ui.sheet.IsWindowVisible());
}

} // namespace
