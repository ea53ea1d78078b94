// The pages' own scroll bar: its thumb and steps for the host's range (also a range that
// leaves the thumb no room), the pressed parts, dragging, and the repeat while held.
#include "SheetHost.h"

#include <gtest/gtest.h>

namespace {

class ScrollBarTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_host.CreateHost("scroll bar", 30, 30, 200, 400)); }
    void TearDown() override { m_host.DestroyWindow(); }

    // A bar of the height over a host content of nMax pixels.
    void MakeBar(int height, int nMax)
    {
        ASSERT_TRUE(m_bar.Create(nullptr, "Scrollbar", WS_VISIBLE, CRect(0, 0, 13, height), &m_host, 1000));
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        info.nMax = nMax;
        info.nPage = static_cast<UINT>(height);
        m_bar.SetScrollInfo(info);
    }
    void Press(CPoint pt) { m_bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y)); }
    void Release(CPoint pt) { m_bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y)); }
    void Move(CPoint pt) { m_bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x, pt.y)); }

    CTestHost m_host;
    CMyScrollBar m_bar;
};

TEST_F(ScrollBarTest, ThumbAndArrowStepForTheHostsRange)
{
    struct Case
    {
        int height;
        int nMax;
        int thumb;       // thumb length
        int afterDown;   // position after one press on the down arrow
        int afterTrack;  // position after one press on the track below the thumb
    };
    const Case cases[] = {
        {200, 400, 86, 5, 23},  // half the content shown: 86 of 172 track pixels
        {200, 1000, 34, 3, 14},
        {200, 0, 172, 0, 0},    // no range yet: the thumb fills the track, nothing moves
        {200, 200, 172, 0, 0},  // the content fits exactly
        {200, 100, 172, 0, 0},  // shorter content: the thumb stays within the track
        {20, 400, 0, 0, 0},     // a bar shorter than its two arrows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "height " << c.height << ", range " << c.nMax);
        MakeBar(c.height, c.nMax);
        EXPECT_EQ(c.thumb, m_bar.GetThumbLength());
        EXPECT_EQ(CRect(0, 14, 13, 14 + c.thumb), m_bar.GetThumbRect());

        const CPoint down(6, c.height - 4);
        Press(down);
        Release(down);
        EXPECT_EQ(c.afterDown, m_bar.GetPosition());
        ASSERT_FALSE(m_host.vscrolls.empty());
        EXPECT_EQ(static_cast<UINT>(SB_THUMBTRACK), m_host.vscrolls.back().first);
        EXPECT_EQ(static_cast<UINT>(c.afterDown), m_host.vscrolls.back().second);

        m_bar.MoveThumb(-1, 0);
        const CPoint below(6, m_bar.GetThumbRect().bottom + 2);
        if (below.y < c.height - 14) {
            Press(below);
            Release(below);
            EXPECT_EQ(c.afterTrack, m_bar.GetPosition());
        }
        m_bar.DestroyWindow();
        m_host.vscrolls.clear();
    }
}

TEST_F(ScrollBarTest, PressedPartsShowUntilTheButtonComesUp)
{
    MakeBar(200, 400);
    const CPoint below(6, 150);
    Press(below);
    EXPECT_TRUE(m_bar.IsTrackBelowPressed());
    EXPECT_EQ(20, m_bar.GetThumbOffset()) << "a page step of 20 pixels";
    EXPECT_EQ(34, m_bar.GetThumbRect().top);
    Release(below);
    EXPECT_FALSE(m_bar.IsTrackBelowPressed());

    const CPoint up(6, 4);
    Press(up);
    EXPECT_TRUE(m_bar.IsUpPressed());
    EXPECT_EQ(15, m_bar.GetThumbOffset());
    Release(up);
    EXPECT_FALSE(m_bar.IsUpPressed());
}

TEST_F(ScrollBarTest, DraggingTheThumbStopsAtTheEnds)
{
    MakeBar(200, 400); // thumb 86 long at 14..100, free track 86
    const CPoint grab(6, 30);
    Press(grab);
    EXPECT_TRUE(m_bar.IsDragging());
    EXPECT_TRUE(m_bar.IsThumbPressed());
    EXPECT_EQ(m_bar.m_hWnd, ::GetCapture());

    // Above the track's top at position 0: nothing moves.
    m_host.vscrolls.clear();
    Move(CPoint(6, 10));
    EXPECT_EQ(0, m_bar.GetPosition());
    EXPECT_EQ(14, m_bar.GetThumbRect().top);
    EXPECT_TRUE(m_host.vscrolls.empty());

    // Down by 43 pixels (from the last drag point): half the free track.
    Move(CPoint(6, 53));
    EXPECT_EQ(50, m_bar.GetPosition());
    EXPECT_EQ(43, m_bar.GetThumbOffset());
    ASSERT_FALSE(m_host.vscrolls.empty());
    EXPECT_EQ(50u, m_host.vscrolls.back().second);

    // Far below the end: position 100, the thumb's bottom on the down arrow.
    Move(CPoint(6, 300));
    EXPECT_EQ(100, m_bar.GetPosition());
    EXPECT_EQ(186, m_bar.GetThumbRect().bottom);
    Release(CPoint(6, 300));
    EXPECT_FALSE(m_bar.IsDragging());
    EXPECT_NE(m_bar.m_hWnd, ::GetCapture());

    // From the bottom one arrow step up starts where the thumb stands.
    const CPoint up(6, 4);
    Press(up);
    Release(up);
    EXPECT_EQ(81, m_bar.GetThumbOffset());
    EXPECT_EQ(14 + 81, m_bar.GetThumbRect().top);
    EXPECT_EQ(94, m_bar.GetPosition());
}

TEST_F(ScrollBarTest, HeldArrowRepeatsUntilReleased)
{
    MakeBar(200, 1000);
    const CPoint down(6, 196);
    Press(down);
    EXPECT_EQ(5, m_bar.GetThumbOffset()) << "the first step comes at once";
    ASSERT_TRUE(testsupport::PumpUntil([&] { return m_bar.GetThumbOffset() >= 15; }, 5000));
    EXPECT_TRUE(m_bar.IsRepeating());
    EXPECT_EQ(m_bar.m_hWnd, ::GetCapture()) << "the repeat holds the mouse";
    Release(down);
    EXPECT_FALSE(m_bar.IsRepeating());
    EXPECT_NE(m_bar.m_hWnd, ::GetCapture());
    const int offset = m_bar.GetThumbOffset();
    testsupport::PumpMessages(400);
    EXPECT_EQ(offset, m_bar.GetThumbOffset()) << "no step after the release";
}

TEST_F(ScrollBarTest, MoveThumbClampsToTheEnds)
{
    MakeBar(200, 400);
    m_bar.MoveThumb(-1, 0);
    EXPECT_EQ(0, m_bar.GetPosition());
    EXPECT_EQ(14, m_bar.GetThumbRect().top);
    m_bar.MoveThumb(250, 0);
    EXPECT_EQ(100, m_bar.GetPosition());
    EXPECT_EQ(186, m_bar.GetThumbRect().bottom);
    EXPECT_EQ(86, m_bar.GetThumbRect().Height()) << "the length stays";
    m_bar.ResetPosition();
    EXPECT_EQ(0, m_bar.GetPosition());
    EXPECT_EQ(14, m_bar.GetThumbRect().top);
}

} // namespace
