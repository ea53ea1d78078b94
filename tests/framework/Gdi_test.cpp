// GDI wrappers, menus and image lists: drawing into a memory bitmap and reading the
// pixels back, selection of objects, regions, menu editing.
#include "ClientDC.h"
#include "DC.h"
#include "ImageList.h"
#include "Menu.h"
#include "TestResource.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

namespace {

class MemoryCanvas : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CClientDC screen(nullptr);
        ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 40, 30));
        pOldBitmap = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 40, 30, RGB(255, 255, 255));
    }
    void TearDown() override { dc.SelectObject(pOldBitmap); }

    CDC dc;
    CBitmap bitmap;
    CBitmap* pOldBitmap = nullptr;
};

TEST_F(MemoryCanvas, FillsFramesAndLinesLandWhereTheySay)
{
    dc.FillSolidRect(CRect(2, 2, 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(2, 2));
    EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(9, 9));
    EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(10, 10));

    dc.Draw3dRect(CRect(12, 2, 22, 12), RGB(0, 0, 255), RGB(0, 255, 0));
    EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(12, 5));  // left
    EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(15, 2));  // top
    EXPECT_EQ(RGB(0, 255, 0), dc.GetPixel(21, 5));  // right
    EXPECT_EQ(RGB(0, 255, 0), dc.GetPixel(15, 11)); // bottom
    EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(15, 5));

    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* pOld = dc.SelectObject(&pen);
    ASSERT_NE(nullptr, pOld);
    dc.MoveTo(0, 20);
    dc.LineTo(10, 20);
    EXPECT_EQ(CPoint(10, 20), dc.GetCurrentPosition());
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(5, 20));
    // The replaced pen comes back as a wrapper that can be selected again.
    EXPECT_EQ(static_cast<HGDIOBJ>(pen), dc.SelectObject(pOld)->m_hObject);
}

TEST_F(MemoryCanvas, BlitCopiesBetweenContexts)
{
    CDC other;
    ASSERT_TRUE(other.CreateCompatibleDC(&dc));
    CBitmap small;
    ASSERT_TRUE(small.CreateCompatibleBitmap(&dc, 4, 4));
    CBitmap* pOld = other.SelectObject(&small);
    other.FillSolidRect(0, 0, 4, 4, RGB(10, 200, 30));
    EXPECT_TRUE(dc.BitBlt(30, 20, 4, 4, &other, 0, 0, SRCCOPY));
    EXPECT_EQ(RGB(10, 200, 30), dc.GetPixel(33, 23));
    other.SelectObject(pOld);

    BITMAP bm{};
    ASSERT_TRUE(small.GetBitmap(&bm));
    EXPECT_EQ(4, bm.bmWidth);
}

TEST(GdiObjects, RegionsFontsAndOwnership)
{
    CRgn a, b, both;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRectRgn(5, 5, 20, 20));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(SIMPLEREGION, both.CombineRgn(&a, &b, RGN_AND));
    CRect box;
    both.GetRgnBox(&box);
    EXPECT_EQ(CRect(5, 5, 10, 10), box);
    EXPECT_TRUE(both.PtInRegion(7, 7));
    EXPECT_FALSE(both.PtInRegion(2, 2));

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "Verdana"));
    LOGFONTA lf{};
    ASSERT_TRUE(font.GetLogFont(&lf));
    EXPECT_STREQ("Verdana", lf.lfFaceName);
    EXPECT_LT(lf.lfHeight, 0);

    // A detached handle outlives its object.
    HGDIOBJ h = nullptr;
    {
        CBrush brush(RGB(1, 2, 3));
        h = brush.Detach();
    }
    LOGBRUSH lb{};
    EXPECT_EQ(static_cast<int>(sizeof lb), ::GetObjectA(h, sizeof lb, &lb));
    EXPECT_EQ(RGB(1, 2, 3), lb.lbColor);
    ::DeleteObject(h);
}

TEST(Menus, LoadEditAndOwn)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    EXPECT_EQ(&menu, CMenu::FromHandlePermanent(menu.m_hMenu));
    CMenu* pPopup = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, pPopup);
    EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(pPopup->m_hMenu)); // a temporary wrapper
    EXPECT_EQ(6, pPopup->GetMenuItemCount());
    EXPECT_EQ(static_cast<UINT>(ID_CMD_HANDLED), pPopup->GetMenuItemID(1));
    CString text;
    pPopup->GetMenuString(ID_CMD_ORPHAN, text, MF_BYCOMMAND);
    EXPECT_EQ(CString("&Orphan"), text);

    pPopup->EnableMenuItem(ID_CMD_HANDLED, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(pPopup->GetMenuState(ID_CMD_HANDLED, MF_BYCOMMAND) & MF_GRAYED);
    pPopup->ModifyMenu(ID_CMD_ORPHAN, MF_BYCOMMAND | MF_STRING, ID_CMD_ORPHAN, "Renamed          ");
    pPopup->GetMenuString(ID_CMD_ORPHAN, text, MF_BYCOMMAND);
    EXPECT_EQ(CString("Renamed          "), text);
    pPopup->AppendMenu(MF_SEPARATOR);
    pPopup->AppendMenu(MF_STRING, 16, "&About");
    EXPECT_EQ(8, pPopup->GetMenuItemCount());
    EXPECT_EQ(0xFFFFFFFFu, pPopup->GetMenuState(12345, MF_BYCOMMAND));

    // Detach hands the menu over; the object no longer destroys it.
    HMENU h = menu.Detach();
    EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(h));
    EXPECT_TRUE(::IsMenu(h));
    CMenu again;
    EXPECT_TRUE(again.Attach(h));
    EXPECT_TRUE(again.DestroyMenu());
    EXPECT_FALSE(::IsMenu(h));
}

TEST(ImageLists, AddAndDragImage)
{
    testsupport::InitControls();
    CImageList list;
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4));
    CClientDC screen(nullptr);
    CBitmap strip;
    ASSERT_TRUE(strip.CreateCompatibleBitmap(&screen, 32, 16));
    EXPECT_EQ(0, list.Add(&strip, RGB(255, 0, 255)));
    EXPECT_EQ(2, list.GetImageCount());
    IMAGEINFO info{};
    EXPECT_TRUE(list.GetImageInfo(1, &info));
    EXPECT_EQ(32, info.rcImage.right); // the second image is the right half of the strip

    EXPECT_TRUE(list.BeginDrag(0, CPoint(2, 2)));
    POINT pt{}, hot{};
    CImageList* pDrag = CImageList::GetDragImage(&pt, &hot);
    EXPECT_NE(nullptr, pDrag);
    CImageList::EndDrag();
}

} // namespace
