// The project pane's layout arithmetic: the default layout, the round trip through the
// options, a size change with and without the shrink guard, and the splitter moves.
#include "WorkspaceTest.h"

#include "PaneLayout.h"
#include "ProgramOptions.h"

using namespace workspacetest;

namespace {

::testing::AssertionResult RectIs(const CRect& r, int l, int t, int rr, int b)
{
    if (r.left == l && r.top == t && r.right == rr && r.bottom == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom
                                         << ") instead of (" << l << "," << t << "," << rr << "," << b << ")";
}

class PaneLayoutOptionsTest : public ComTest
{
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_TRUE(CopyFileA(ShippedFile("config2.cfg"), AppFile("config2.cfg"), FALSE));
    }
};

} // namespace

TEST(PaneLayout, DefaultLayoutOfTheFixedClientSize)
{
    CPaneLayout layout;
    layout.SetDefault();
    // W 613, H 431, margin 6, queue 150: the middle areas end at 269.
    EXPECT_TRUE(RectIs(layout.m_rectSquishedProjectRect, 131, 89, 244, 269));
    EXPECT_TRUE(RectIs(layout.m_rectSquishedPatentRect, 250, 89, 607, 269));
    EXPECT_TRUE(RectIs(layout.m_rectNormalStatusRect, 6, 275, 607, 425));
    EXPECT_TRUE(RectIs(layout.m_rectbuttonQuickDownload, 152, 61, 230, 84));
    EXPECT_TRUE(RectIs(layout.m_rectNormalEditRect, 26, 65, 150, 80));
    EXPECT_TRUE(RectIs(layout.m_rectNormalProjectRect, 6, 89, 184, 269));
    EXPECT_TRUE(RectIs(layout.m_rectNormalPatentRect, 190, 89, 607, 269));
    EXPECT_TRUE(layout.m_rectResize1.IsRectNull());
    EXPECT_TRUE(RectIs(layout.m_rectResize2, 185, 89, 190, 269));
    EXPECT_TRUE(RectIs(layout.m_rectResize3, 6, 270, 607, 275));
    EXPECT_TRUE(RectIs(layout.m_ResizeDrawConstraints, 6, 89, 607, 269));
    EXPECT_TRUE(RectIs(layout.m_rectNormalDownloadButtonRect, 160, 20, 230, 43));
    // The expanded download button is centred under the 119-pixel column, which ends just
    // above it.
    EXPECT_TRUE(RectIs(layout.m_rectSquishedDownloadButtonRect, 24, 246, 104, 269));
    EXPECT_TRUE(RectIs(layout.m_rectSquishedEditRect, 6, 89, 125, 245));
}

TEST(PaneLayout, SizeChangesFollowTheWidthAndPullTheQueueUpOnlyWithTheGuard)
{
    CPaneLayout layout;
    layout.SetDefault();
    // A split the user set: the queue takes what the height gives.
    layout.MoveBar(CPaneLayout::Bar3, -20, 613, 431);
    EXPECT_FALSE(layout.IsDefaultSplit());
    layout.Resize(800, 500, false);
    EXPECT_TRUE(RectIs(layout.m_rectNormalPatentRect, 190, 89, 794, 249));
    EXPECT_EQ(794, layout.m_rectSquishedPatentRect.right);
    EXPECT_TRUE(RectIs(layout.m_rectNormalStatusRect, 6, 255, 794, 494));
    EXPECT_EQ(794, layout.m_rectResize3.right);
    EXPECT_TRUE(RectIs(layout.m_ResizeDrawConstraints, 6, 89, 794, 249));

    // Too short: without the guard the queue's top stays below the edge ...
    layout.Resize(800, 250, false);
    EXPECT_EQ(255, layout.m_rectNormalStatusRect.top);
    // ... with it the splitter moves up to 10 pixels above the bottom less the margin.
    layout.Resize(800, 250, true);
    EXPECT_EQ(250 - 6 - 10, layout.m_rectNormalStatusRect.top);
    EXPECT_EQ(layout.m_rectNormalStatusRect.top - 6, layout.m_rectNormalProjectRect.bottom);
    EXPECT_EQ(layout.m_rectNormalStatusRect.top - 6, layout.m_rectSquishedPatentRect.bottom);
    EXPECT_EQ(layout.m_rectNormalStatusRect.top, layout.m_rectResize3.bottom);
    EXPECT_EQ(layout.m_rectNormalStatusRect.top - 6, layout.m_ResizeDrawConstraints.bottom);
}

// The default split keeps the queue at its height of 150 pixels in a pane taller than the
// default, as the window of a first start opens maximised: the document list gets the rest.
TEST(PaneLayout, ADefaultSplitGivesTheQueueItsHeightAndTheListTheRest)
{
    CPaneLayout layout;
    layout.SetDefault();
    EXPECT_TRUE(layout.IsDefaultSplit());
    // The pane of a maximised window on a screen of 1280 x 1024.
    layout.Resize(1154, 994, true);
    EXPECT_TRUE(RectIs(layout.m_rectNormalStatusRect, 6, 838, 1148, 988));
    EXPECT_TRUE(RectIs(layout.m_rectNormalPatentRect, 190, 89, 1148, 832));
    EXPECT_EQ(832, layout.m_rectNormalProjectRect.bottom);
    EXPECT_EQ(832, layout.m_rectSquishedPatentRect.bottom);
    EXPECT_TRUE(RectIs(layout.m_rectResize3, 6, 833, 1148, 838));
    EXPECT_TRUE(RectIs(layout.m_ResizeDrawConstraints, 6, 89, 1148, 832));
    EXPECT_EQ(838 - 6 - 23, layout.m_rectSquishedDownloadButtonRect.top);
    // Back to the default size and below it, the split of the default layout; the shrink
    // guard still pulls it up in a pane too short for it.
    layout.Resize(613, 431, true);
    EXPECT_TRUE(RectIs(layout.m_rectNormalStatusRect, 6, 275, 607, 425));
    EXPECT_EQ(269, layout.m_rectNormalPatentRect.bottom);
    layout.Resize(611, 300, false);
    EXPECT_EQ(275, layout.m_rectNormalStatusRect.top);
    layout.Resize(611, 250, true);
    EXPECT_EQ(250 - 6 - 10, layout.m_rectNormalStatusRect.top);
    EXPECT_TRUE(layout.IsDefaultSplit());
    layout.Resize(1154, 994, true);
    EXPECT_EQ(838, layout.m_rectNormalStatusRect.top);

    // Once the user moved the split, a taller pane gives its room to the queue.
    layout.Resize(613, 431, true);
    layout.MoveBar(CPaneLayout::Bar3, -50, 613, 431);
    layout.Resize(1154, 994, true);
    EXPECT_TRUE(RectIs(layout.m_rectNormalStatusRect, 6, 225, 1148, 988));
    EXPECT_EQ(219, layout.m_rectNormalPatentRect.bottom);
}

TEST(PaneLayout, BarsMoveTheirNeighboursWithinTheirLimits)
{
    CPaneLayout layout;
    layout.SetDefault();
    int lower = 0, upper = 0;

    layout.DragLimits(CPaneLayout::Bar3, 431, lower, upper);
    EXPECT_EQ(99, lower);
    EXPECT_EQ(431 - 6 - 10, upper);
    EXPECT_EQ(99, CPaneLayout::Clamp(20, lower, upper));
    EXPECT_EQ(upper, CPaneLayout::Clamp(900, lower, upper));

    layout.DragLimits(CPaneLayout::Bar2, 431, lower, upper);
    EXPECT_EQ(16, lower);
    EXPECT_EQ(597, upper);
    layout.MoveBar(CPaneLayout::Bar2, 40, 613, 431);
    EXPECT_EQ(224, layout.m_rectNormalProjectRect.right);
    EXPECT_EQ(230, layout.m_rectNormalPatentRect.left);
    EXPECT_TRUE(RectIs(layout.m_rectResize2, 225, 89, 230, 269));
    EXPECT_EQ(244, layout.m_rectSquishedProjectRect.right) << "the expanded tree is not touched";

    layout.MoveBar(CPaneLayout::Bar3, -100, 613, 431);
    EXPECT_EQ(175, layout.m_rectNormalStatusRect.top);
    EXPECT_EQ(169, layout.m_rectNormalProjectRect.bottom);
    EXPECT_EQ(169, layout.m_rectSquishedPatentRect.bottom);
    EXPECT_TRUE(RectIs(layout.m_rectResize3, 6, 170, 607, 175));
    EXPECT_EQ(146, layout.m_rectSquishedDownloadButtonRect.top);
    EXPECT_TRUE(RectIs(layout.m_ResizeDrawConstraints, 6, 89, 607, 169));
    EXPECT_TRUE(layout.m_rectResize1.IsRectNull()) << "the bar of the other arrangement stays empty";

    // The expanded arrangement: bar 1 between the column and the tree.
    layout.m_bExpanded = true;
    layout.Arrange(613, 431);
    EXPECT_TRUE(RectIs(layout.m_rectResize1, 126, 89, 131, 169));
    EXPECT_EQ(CPaneLayout::Bar1, layout.HitBar(CPoint(128, 120)));
    layout.DragLimits(CPaneLayout::Bar1, 431, lower, upper);
    EXPECT_EQ(6 + 95, lower);
    EXPECT_EQ(244 - 10, upper);
    layout.MoveBar(CPaneLayout::Bar1, 30, 613, 431);
    EXPECT_EQ(155, layout.m_rectSquishedEditRect.right);
    EXPECT_EQ(161, layout.m_rectSquishedProjectRect.left);
    EXPECT_EQ(6 + 149 / 2 - 41, layout.m_rectSquishedDownloadButtonRect.left);
    layout.m_bExpanded = false;
    layout.Arrange(613, 431);
    EXPECT_EQ(CPaneLayout::NoBar, layout.HitBar(CPoint(128, 120)));
    EXPECT_EQ(CPaneLayout::Bar3, layout.HitBar(CPoint(300, 172)));
}

TEST_F(PaneLayoutOptionsTest, FourteenRectanglesRoundTripThroughTheOptions)
{
    CPaneLayout layout;
    layout.SetDefault();
    layout.MoveBar(CPaneLayout::Bar2, 25, 613, 431);
    layout.m_rectbuttonQuickDownload.SetRect(150, 60, 400, 90); // made 78 wide again on load
    {
        CProgramOptions options;
        CPaneLayout empty;
        EXPECT_FALSE(empty.Load(options)) << "the shipped options hold no layout";
        layout.Save(options);
        options.Save();
    }
    CProgramOptions options;
    CPaneLayout loaded;
    ASSERT_TRUE(loaded.Load(options));
    EXPECT_FALSE(loaded.IsDefaultSplit()) << "a stored split stays where the user left it";
    EXPECT_EQ(layout.m_rectNormalProjectRect, loaded.m_rectNormalProjectRect);
    EXPECT_EQ(layout.m_rectNormalPatentRect, loaded.m_rectNormalPatentRect);
    EXPECT_EQ(layout.m_rectResize2, loaded.m_rectResize2);
    EXPECT_EQ(layout.m_rectNormalStatusRect, loaded.m_rectNormalStatusRect);
    EXPECT_EQ(layout.m_rectSquishedEditRect, loaded.m_rectSquishedEditRect);
    EXPECT_EQ(layout.m_ResizeDrawConstraints, loaded.m_ResizeDrawConstraints);
    EXPECT_TRUE(RectIs(loaded.m_rectbuttonQuickDownload, 150, 60, 228, 90));
    const CRect& button = layout.m_rectSquishedDownloadButtonRect;
    EXPECT_TRUE(RectIs(loaded.m_rectSquishedDownloadButtonRect, button.left, button.top, button.left + 78,
                       button.bottom));

    // One key without a value: nothing of the stored layout is used.
    ASSERT_EQ(1, options.SetOptionValue("m_rectResize3", ""));
    CPaneLayout partial;
    EXPECT_FALSE(partial.Load(options));
}
