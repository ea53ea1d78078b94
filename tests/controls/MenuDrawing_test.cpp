// The flat menu look drawn into bitmaps of the test: where a popup item's accelerator text
// stands, the popup frame's colours on a device that cannot tell them apart, and the edge
// of a popup that joins its open menu-bar item on each side.
#include "MenuColors.h"
#include "MenuDrawing.h"
#include "MenuTheme.h"
#include "NewMenu.h"
#include "NewMenuHook.h"

#include "WindowBench.h"

#include <gtest/gtest.h>

#include <vector>

using namespace menucolors;

namespace {

// A memory DC over a DIB section of the size, with the colour table given for depths of 8
// bits or less.
class BitmapDC
{
public:
    BitmapDC(int width, int height, int bits, std::vector<COLORREF> table = {})
    {
        std::vector<BYTE> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* info = reinterpret_cast<BITMAPINFO*>(header.data());
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = width;
        info->bmiHeader.biHeight = -height;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = static_cast<WORD>(bits);
        info->bmiHeader.biCompression = BI_RGB;
        info->bmiHeader.biClrUsed = static_cast<DWORD>(table.size());
        for (size_t i = 0; i < table.size(); ++i)
            info->bmiColors[i] = RGBQUAD{GetBValue(table[i]), GetGValue(table[i]), GetRValue(table[i]), 0};
        void* bits_ = nullptr;
        m_hBitmap = ::CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        m_hDC = ::CreateCompatibleDC(nullptr);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
    }
    ~BitmapDC()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    HDC Get() const { return m_hDC; }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

private:
    HBITMAP m_hBitmap = nullptr;
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOld = nullptr;
};

int Luminance(COLORREF c)
{
    return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
}

// A popup menu of one item, taken over by a CNewMenu, with a background of its own colour.
class OneItemMenu
{
public:
    OneItemMenu(const char* text, COLORREF background)
    {
        HMENU hMenu = ::CreatePopupMenu();
        ::AppendMenuA(hMenu, MF_STRING, 1001, text);
        m_hBrush = ::CreateSolidBrush(background);
        MENUINFO mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIM_BACKGROUND;
        mi.hbrBack = m_hBrush;
        ::SetMenuInfo(hMenu, &mi);
        menu.LoadMenu(hMenu);
    }
    ~OneItemMenu()
    {
        menu.DestroyMenu();
        ::DeleteObject(m_hBrush);
    }
    CNewMenu menu;

private:
    HBRUSH m_hBrush = nullptr;
};

// A hidden popup window at a known place, standing in for the popup-menu window whose frame
// is painted.
class PopupWindow
{
public:
    explicit PopupWindow(const CRect& rect)
    {
        testsupport::InitControls();
        m_hWnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, rect.left, rect.top, rect.Width(),
                                   rect.Height(), nullptr, nullptr, nullptr, nullptr);
    }
    ~PopupWindow() { ::DestroyWindow(m_hWnd); }
    HWND m_hWnd = nullptr;
};

} // namespace

TEST(FlatMenuDrawing, AnAcceleratorStandsAtTheRightEdgeOfTheTextArea)
{
    OneItemMenu item("Open\tCtrl+O", RGB(240, 240, 240));
    ASSERT_EQ(item.menu.GetItems().size(), 1u);
    const int width = 220, height = 22;
    BitmapDC dc(width, height, 24);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = 1001;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hDC = dc.Get();
    dis.rcItem = RECT{0, 0, width, height};
    dis.itemData = reinterpret_cast<ULONG_PTR>(item.menu.GetItems()[0]);
    menudraw::DrawFlat(&item.menu, &dis, FALSE);

    // The right-most column with ink: the accelerator ends where the text area ends.
    int rightmost = -1;
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            if (Luminance(dc.Pixel(x, y)) < 128)
                rightmost = x;
    EXPECT_GE(rightmost, width - 4) << "the accelerator ends at x " << rightmost;
    EXPECT_LT(rightmost, width);
}

TEST(FlatMenuDrawing, ARingTheDeviceCannotTellFromTheIconColumnTakesTheWindowColour)
{
    // A two-colour device: the window colour, and the ring's own mix, which the icon column's
    // mix maps to as well.
    const COLORREF W = ::GetSysColor(COLOR_WINDOW);
    const COLORREF B = Luminance(W) > 128 ? RGB(60, 60, 60) : RGB(200, 200, 200);
    const COLORREF C = Mix8614(W, B);
    OneItemMenu item("Item", B);
    PopupWindow popup(CRect(100, 100, 260, 220));
    ASSERT_TRUE(popup.m_hWnd);
    BitmapDC dc(160, 120, 1, {W, C});
    ASSERT_EQ(::GetNearestColor(dc.Get(), C), C);
    ASSERT_EQ(::GetNearestColor(dc.Get(), Mix8614(B, W)), C);
    ASSERT_EQ(::GetNearestColor(dc.Get(), W), W);

    CMenuHookData data;
    data.m_hMenu = item.menu.m_hMenu;
    CMenuTheme* theme = CNewMenu::GetCurrentTheme();
    ASSERT_EQ(theme->m_dwThemeId, 2u);
    if (CNewMenuHook::HighContrast())
        GTEST_SKIP() << "high contrast draws the outer frame alone";
    theme->PaintBorder(popup.m_hWnd, dc.Get(), &data, TRUE);
    EXPECT_EQ(dc.Pixel(40, 1), W) << "the ring";
}

TEST(FlatMenuDrawing, ThePopupJoinsItsOpenBarItemOnWhicheverSideTheyTouch)
{
    const CRect window(200, 200, 360, 320);
    PopupWindow popup(window);
    ASSERT_TRUE(popup.m_hWnd);
    CMenuTheme* theme = CNewMenu::GetCurrentTheme();
    if (CNewMenuHook::HighContrast())
        GTEST_SKIP() << "high contrast draws the outer frame alone";
    // The frame line in window coordinates, inside the hand-drawn shadow when there is one.
    const bool ownShadow = theme->m_BorderBottomRight.cx == 5;
    const CRect frame = ownShadow ? CRect(0, 0, window.Width() - 4, window.Height() - 4)
                                  : CRect(0, 0, window.Width(), window.Height());
    const COLORREF edge = menudraw::ScreenColors() <= 256
                              ? ::GetSysColor(COLOR_BTNFACE)
                              : Mix8614(menudraw::MenuColor(nullptr, FALSE), ::GetSysColor(COLOR_WINDOW));

    struct Case
    {
        const char* side;
        CRect bar;          // the bar item, in window coordinates
        CPoint joined;      // a point of the joined edge
        CPoint end;         // the end of the edge, which stays the frame's
    };
    const int fr = frame.right, fb = frame.bottom;
    const Case cases[] = {
        {"below the item", CRect(20, -20, 80, 0), CPoint(50, 0), CPoint(20, 0)},
        {"above the item", CRect(20, fb, 80, fb + 20), CPoint(50, fb - 1), CPoint(20, fb - 1)},
        {"right of the item", CRect(-60, 30, 0, 52), CPoint(0, 40), CPoint(0, 30)},
        {"left of the item", CRect(fr, 30, fr + 60, 52), CPoint(fr - 1, 40), CPoint(fr - 1, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        OneItemMenu item("Item", RGB(212, 208, 200));
        CRect bar = c.bar;
        bar.OffsetRect(window.left, window.top);
        item.menu.SetMenuBarItemRect(bar);
        CMenuHookData data;
        data.m_hMenu = item.menu.m_hMenu;
        BitmapDC dc(window.Width(), window.Height(), 24);
        theme->PaintBorder(popup.m_hWnd, dc.Get(), &data, TRUE);
        EXPECT_EQ(dc.Pixel(c.joined.x, c.joined.y), edge);
        EXPECT_NE(dc.Pixel(c.end.x, c.end.y), edge);
        // The other edges keep the frame.
        const CPoint others[] = {CPoint(50, 0), CPoint(50, fb - 1), CPoint(0, 40), CPoint(fr - 1, 40)};
        for (const CPoint& p : others) {
            if (p != c.joined) {
                EXPECT_NE(dc.Pixel(p.x, p.y), edge) << p.x << "," << p.y;
            }
        }
    }
}
