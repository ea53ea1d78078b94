// The wizard's search animation (AVI resource 131, linked into this program with the
// wizard's resource script) as the system's animation control plays it.
#include "AnimateCtrl.h"
#include "WindowBench.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

class SearchAnimationTest : public testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::InitControls();
        ASSERT_TRUE(m_host.CreateEx(WS_EX_TOPMOST, nullptr, "animation", WS_POPUP | WS_VISIBLE, 20, 20, 300, 90,
                                    nullptr, nullptr));
        ASSERT_TRUE(m_anim.Create(WS_CHILD | WS_VISIBLE | ACS_CENTER, CRect(0, 0, 300, 90), &m_host,
                                  IDC_WIZARD_ANIMATION));
    }
    void TearDown() override { m_host.DestroyWindow(); }

    // The control's pixels as drawn now.
    std::vector<DWORD> Pixels()
    {
        testsupport::PumpMessages(50);
        CRect rc;
        m_anim.GetClientRect(&rc);
        HDC hWindow = ::GetDC(m_anim.m_hWnd);
        HDC hMem = ::CreateCompatibleDC(hWindow);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = rc.Width();
        bmi.bmiHeader.biHeight = -rc.Height();
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP hBitmap = ::CreateDIBSection(hMem, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
        ::BitBlt(hMem, 0, 0, rc.Width(), rc.Height(), hWindow, 0, 0, SRCCOPY);
        ::GdiFlush();
        std::vector<DWORD> pixels(static_cast<const DWORD*>(bits),
                                  static_cast<const DWORD*>(bits) + rc.Width() * rc.Height());
        ::SelectObject(hMem, hOld);
        ::DeleteObject(hBitmap);
        ::DeleteDC(hMem);
        ::ReleaseDC(m_anim.m_hWnd, hWindow);
        return pixels;
    }
    // How many different colours the pixels hold.
    static size_t Colours(std::vector<DWORD> pixels)
    {
        std::sort(pixels.begin(), pixels.end());
        return static_cast<size_t>(std::unique(pixels.begin(), pixels.end()) - pixels.begin());
    }

    CWnd m_host;
    CAnimateCtrl m_anim;
};

} // namespace

TEST_F(SearchAnimationTest, OpensAndShowsDifferentFrames)
{
    ASSERT_TRUE(m_anim.Open(IDR_SEARCH_ANIMATION));
    ASSERT_TRUE(m_anim.Seek(0));
    const std::vector<DWORD> first = Pixels();
    // Folders, the glass, its ring and handle: the frame is drawn, not a blank box.
    EXPECT_GE(Colours(first), 5u);
    ASSERT_TRUE(m_anim.Seek(6));
    const std::vector<DWORD> later = Pixels();
    EXPECT_NE(first, later);
    // The clip goes back and forth: frame 18 shows what frame 6 showed.
    ASSERT_TRUE(m_anim.Seek(18));
    EXPECT_EQ(later, Pixels());
}

TEST_F(SearchAnimationTest, PlaysInALoopUntilStopped)
{
    ASSERT_TRUE(m_anim.Open(IDR_SEARCH_ANIMATION));
    ASSERT_TRUE(m_anim.Play(0, 0xFFFF, static_cast<UINT>(-1)));
    const std::vector<DWORD> first = Pixels();
    EXPECT_TRUE(testsupport::PumpUntil([&] { return Pixels() != first; }, 3000)) << "the frames move on";
    // 24 frames at 12 a second: after three seconds the loop still runs.
    testsupport::PumpMessages(3000);
    const std::vector<DWORD> later = Pixels();
    EXPECT_TRUE(testsupport::PumpUntil([&] { return Pixels() != later; }, 3000)) << "the loop goes on";
    EXPECT_TRUE(m_anim.Stop());
    const std::vector<DWORD> stopped = Pixels();
    testsupport::PumpMessages(300);
    EXPECT_EQ(stopped, Pixels());
}

TEST_F(SearchAnimationTest, AClipThatIsNoResourceIsRefused)
{
    EXPECT_FALSE(m_anim.Open(999));
}
