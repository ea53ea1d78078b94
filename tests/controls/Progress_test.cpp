// The gradient and the progress bars: gradient runs, range, position, step and the moving
// block of CProgress, the bar as drawn, and CProgressCtrlX answering the progress, text and
// font messages and stepping on its timer.
#include "ProgressCtrlX.h"
#include "SheetHost.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);

std::vector<std::pair<COLORREF, int>> Runs(const GradientEntries& entries)
{
    std::vector<std::pair<COLORREF, int>> runs;
    for (const GradientEntry& e : entries)
        runs.emplace_back(e.colour, e.length);
    return runs;
}

TEST(Gradient, RunsOfAWindowOfTheBand)
{
    typedef std::vector<std::pair<COLORREF, int>> R;
    CGradient g;
    g.SetColors(2, RGB(0, 0, 0), RGB(4, 0, 0));
    // Four steps of one colour each over 8 pixels; a window clips them.
    EXPECT_EQ((R{{RGB(0, 0, 0), 2}, {RGB(1, 0, 0), 2}, {RGB(2, 0, 0), 2}, {RGB(3, 0, 0), 2}}),
              Runs(g.MakeEntries(8, 0, -1, CGradient::kUnlimitedColours)));
    EXPECT_EQ((R{{RGB(1, 0, 0), 1}, {RGB(2, 0, 0), 2}}), Runs(g.MakeEntries(8, 3, 6, CGradient::kUnlimitedColours)));
    // Turned: the end of the band leads, a run cut in two.
    EXPECT_EQ((R{{RGB(3, 0, 0), 2}, {RGB(0, 0, 0), 2}, {RGB(1, 0, 0), 2}, {RGB(2, 0, 0), 2}}),
              Runs(g.MakeShiftedEntries(2, 8, 0, -1, CGradient::kUnlimitedColours)));
    EXPECT_EQ((R{{RGB(2, 0, 0), 1}, {RGB(3, 0, 0), 2}, {RGB(0, 0, 0), 2}, {RGB(1, 0, 0), 2}, {RGB(2, 0, 0), 1}}),
              Runs(g.MakeShiftedEntries(3, 8, 0, -1, CGradient::kUnlimitedColours)));
    EXPECT_EQ(Runs(g.MakeShiftedEntries(6, 8, 0, -1, CGradient::kUnlimitedColours)),
              Runs(g.MakeShiftedEntries(-2, 8, 0, -1, CGradient::kUnlimitedColours)));

    // No more steps than pixels; one stop is one run.
    g.SetColors(2, RGB(0, 0, 0), kWhite);
    EXPECT_EQ(4u, g.MakeEntries(4, 0, -1, CGradient::kUnlimitedColours).size());
    g.SetColors(1, kBlue);
    EXPECT_EQ((R{{kBlue, 5}}), Runs(g.MakeEntries(100, 2, 7, CGradient::kUnlimitedColours)));

    COLORREF first = 0, second = 0;
    g.GetColors(first, second);
    EXPECT_EQ(kBlue, first);
    EXPECT_EQ(kBlue, second);
    g.SetColors(0);
    g.GetColors(first, second);
    EXPECT_EQ(static_cast<COLORREF>(-1), first);
    EXPECT_EQ(static_cast<COLORREF>(-1), second);
    EXPECT_TRUE(g.MakeEntries(100, 0, -1, CGradient::kUnlimitedColours).empty());
}

TEST(Gradient, IntervalsShareTheLengthAndAPaletteBudgetLimitsTheColours)
{
    CGradient g;
    g.SetColors(3, kRed, kBlue, kRed);
    GradientEntries entries = g.MakeEntries(100, 0, -1, CGradient::kUnlimitedColours);
    int total = 0;
    COLORREF atHalf = 0;
    for (const GradientEntry& e : entries) {
        if (total == 50)
            atHalf = e.colour;
        total += e.length;
    }
    EXPECT_EQ(100, total);
    EXPECT_EQ(kRed, entries.front().colour);
    EXPECT_EQ(kBlue, atHalf) << "the second interval starts at the middle";

    // A palette display gives the band 236 colours, shared by the intervals.
    g.SetColors(2, RGB(0, 0, 0), kWhite);
    entries = g.MakeEntries(1000, 0, -1, CGradient::kPaletteColours);
    std::set<COLORREF> colours;
    total = 0;
    for (const GradientEntry& e : entries) {
        colours.insert(e.colour);
        total += e.length;
    }
    EXPECT_EQ(236u, colours.size());
    EXPECT_EQ(1000, total);
}

TEST(Progress, PositionStaysInTheRange)
{
    CProgress bar;
    EXPECT_EQ(0, bar.SetPos(150));
    EXPECT_EQ(100, bar.GetPos());
    bar.SetPos(-5);
    EXPECT_EQ(0, bar.GetPos());
    bar.SetRange(50, 10); // given the wrong way round
    EXPECT_EQ(10, bar.GetLower());
    EXPECT_EQ(50, bar.GetUpper());
    EXPECT_EQ(10, bar.GetPos()) << "clamped into the new range";
    EXPECT_EQ(10, bar.OffsetPos(15));
    EXPECT_EQ(25, bar.GetPos());
    EXPECT_EQ(10, bar.SetStep(20));
    EXPECT_EQ(25, bar.StepIt());
    EXPECT_EQ(45, bar.GetPos());
    bar.StepIt();
    EXPECT_EQ(50, bar.GetPos());
}

TEST(Progress, TextShowsTheTruncatedPercentageOrThePosition)
{
    struct Case
    {
        DWORD style;
        int lower, upper, pos;
        const char* format;
        const char* text;
    };
    const Case cases[] = {
        {CProgress::styleShowPercent, 0, 1000, 459, "", "45%"},
        {CProgress::styleShowPercent, 0, 200, 200, "", "100%"},
        {CProgress::styleShowPosition, 0, 1000, 459, "", "459"},
        {CProgress::styleShowPosition, 0, 1000, 459, "Page %d", "Page 459"},
        {CProgress::styleShowPercent, 0, 100, 7, "%03d%%", "007%"},
        {0, 0, 100, 50, "", ""},
        {CProgress::styleShowPercent, 30, 30, 30, "", "0%"},      // an empty range
        {CProgress::styleShowPercent, 0, 100, 50, "%s", "%s"},     // no text argument to give
        {CProgress::styleShowPercent, 0, 100, 50, "%d of %d", "%d of %d"},
        {CProgress::styleShowPercent, 0, 100, 50, "%*d", "%*d"},
    };
    for (const Case& c : cases) {
        CProgress bar;
        bar.ModifyStyle(0xFFFFFFFF, c.style);
        bar.SetRange(c.lower, c.upper);
        bar.SetPos(c.pos);
        bar.SetTextFormat(c.format);
        EXPECT_EQ(CString(c.text), bar.FormatText()) << c.format << " at " << c.pos;
    }
}

TEST(Progress, TheMovingBlockTurnsBackAtTheEnd)
{
    CProgress bar; // range 0..100, block length 40, step 10
    bar.ModifyStyle(0, CProgress::styleSnake);
    struct Step
    {
        int pos, tail;
        bool reversed;
    };
    const Step steps[] = {
        {10, 0, false}, {20, 0, false}, {30, 0, false}, {40, 0, false}, {50, 10, false},
        {60, 20, false}, {70, 30, false}, {80, 40, false}, {90, 50, false}, {100, 60, false},
        {100, 70, false}, {100, 80, false}, {100, 90, false}, {100, 100, false}, // the tail runs out
        {10, 0, true}, {20, 0, true},                                            // and back again
    };
    int n = 0;
    for (const Step& s : steps) {
        bar.StepIt();
        ++n;
        EXPECT_EQ(s.pos, bar.GetPos()) << "step " << n;
        EXPECT_EQ(s.tail, bar.GetSnakeTail()) << "step " << n;
        EXPECT_EQ(s.reversed, (bar.GetStyle() & CProgress::styleReverse) != 0) << "step " << n;
    }
    // Without the block a step only moves the position.
    CProgress plain;
    plain.StepIt();
    EXPECT_EQ(10, plain.GetPos());
    EXPECT_EQ(0, plain.GetSnakeTail());
}

// Draws the bar on a 24-bit memory bitmap and reads pixels back.
class BarPicture
{
public:
    BarPicture(int cx, int cy) : m_rect(0, 0, cx, cy)
    {
        CClientDC screen(nullptr);
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, cx, cy);
        m_pOld = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(&m_rect, RGB(0, 255, 0));
    }
    ~BarPicture() { m_dc.SelectObject(m_pOld); }
    void Draw(CProgress& bar) { bar.Draw(&m_dc, m_rect); }
    COLORREF At(int x, int y) { return m_dc.GetPixel(x, y); }

private:
    CRect m_rect;
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld;
};

CProgress& HalfRedOnWhite(CProgress& bar, DWORD style)
{
    bar.ModifyStyle(0xFFFFFFFF, style);
    bar.SetColors(2, kRed, kRed);
    bar.SetBkColor(kWhite);
    bar.SetPos(50);
    return bar;
}

TEST(Progress, TheBarGrowsFromTheEdgeItsStyleNames)
{
    struct Case
    {
        DWORD style;
        int cx, cy;
        CPoint onBar, offBar;
    };
    const Case cases[] = {
        {0, 100, 10, CPoint(25, 5), CPoint(75, 5)},
        {CProgress::styleReverse, 100, 10, CPoint(75, 5), CPoint(25, 5)},
        {CProgress::styleVertical, 10, 100, CPoint(5, 75), CPoint(5, 25)},
        {CProgress::styleVertical | CProgress::styleReverse, 10, 100, CPoint(5, 25), CPoint(5, 75)},
    };
    for (const Case& c : cases) {
        CProgress bar;
        BarPicture picture(c.cx, c.cy);
        picture.Draw(HalfRedOnWhite(bar, c.style));
        EXPECT_EQ(kRed, picture.At(c.onBar.x, c.onBar.y)) << "style " << c.style;
        EXPECT_EQ(kWhite, picture.At(c.offBar.x, c.offBar.y)) << "style " << c.style;
    }
}

TEST(Progress, StretchedGradientFitsTheBarsPart)
{
    for (bool stretched : {false, true}) {
        CProgress bar;
        bar.ModifyStyle(0xFFFFFFFF, stretched ? CProgress::styleRubberBar : 0);
        bar.SetColors(2, kRed, kBlue);
        bar.SetBkColor(kWhite);
        bar.SetPos(50);
        BarPicture picture(200, 10);
        picture.Draw(bar);
        const COLORREF end = picture.At(99, 5); // the bar's last pixel
        if (stretched)
            EXPECT_GT(GetBValue(end), 240) << "the whole gradient within the half";
        else
            EXPECT_NEAR(GetBValue(end), 128, 8) << "the left half of the gradient";
        EXPECT_EQ(kWhite, picture.At(150, 5));
    }
}

TEST(Progress, AnEmptyRangeOrABrushBar)
{
    CProgress bar;
    HalfRedOnWhite(bar, 0).SetRange(30, 30);
    BarPicture picture(100, 10);
    picture.Draw(bar);
    EXPECT_EQ(kWhite, picture.At(0, 5)) << "background only";
    EXPECT_EQ(kWhite, picture.At(99, 5));

    CProgress brushed;
    CBrush blue(kBlue);
    HalfRedOnWhite(brushed, 0).SetBarBrush(&blue);
    BarPicture other(100, 10);
    other.Draw(brushed);
    EXPECT_EQ(kBlue, other.At(10, 5));
    EXPECT_EQ(kWhite, other.At(90, 5));
}

class ProgressCtrlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateHost("progress", 30, 30, 300, 100));
        ASSERT_TRUE(m_bar.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, CRect(10, 10, 210, 25), &m_host, 1138));
    }
    void TearDown() override { m_host.DestroyWindow(); }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return m_bar.CWnd::SendMessage(msg, w, l); }

    CTestHost m_host;
    CProgressCtrlX m_bar;
};

TEST_F(ProgressCtrlTest, AnswersTheProgressMessagesItself)
{
    EXPECT_EQ(MAKELRESULT(0, 100), Send(PBM_SETRANGE32, 0, 200));
    PBRANGE range{};
    EXPECT_EQ(0, Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)));
    EXPECT_EQ(200, Send(PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(200, range.iHigh);
    EXPECT_EQ(MAKELRESULT(0, 200), Send(PBM_SETRANGE, 0, MAKELPARAM(10, 20)));
    EXPECT_EQ(10, m_bar.GetLower());
    EXPECT_EQ(20, m_bar.GetUpper());

    EXPECT_EQ(10, Send(PBM_SETPOS, 15));
    EXPECT_EQ(15, Send(PBM_GETPOS));
    EXPECT_EQ(15, Send(PBM_DELTAPOS, 3));
    EXPECT_EQ(18, m_bar.GetPos());
    EXPECT_EQ(10, Send(PBM_SETSTEP, 4));
    EXPECT_EQ(18, Send(PBM_STEPIT));
    EXPECT_EQ(20, m_bar.GetPos()) << "a step stops at the upper end";

    // The bar colour: a solid bar without a second colour.
    EXPECT_EQ(static_cast<LRESULT>(CLR_DEFAULT), Send(PBM_SETBARCOLOR, 0, kRed));
    COLORREF first = 0, second = 0;
    m_bar.GetColors(first, second);
    EXPECT_EQ(kRed, first);
    EXPECT_EQ(kRed, second);
    Send(PBM_SETBARCOLOR, kBlue, kRed);
    m_bar.GetColors(first, second);
    EXPECT_EQ(kRed, first);
    EXPECT_EQ(kBlue, second);
    EXPECT_EQ(static_cast<LRESULT>(CLR_DEFAULT), Send(PBM_SETBKCOLOR, 0, RGB(226, 223, 206)));
    EXPECT_EQ(RGB(226, 223, 206), m_bar.GetBkColor());
    testsupport::PumpMessages(); // it paints with all that
}

TEST_F(ProgressCtrlTest, TextAndFontMessages)
{
    m_bar.ModifyStyle(0, CProgress::styleShowPercent);
    EXPECT_TRUE(m_bar.CWnd::GetStyle() & CProgress::styleShowPercent) << "the window's own style bits";
    m_bar.SetPos(100);
    char buffer[16] = {};
    EXPECT_EQ(4, m_bar.GetWindowTextLength());
    // A buffer of 3 takes 2 characters and the terminating zero.
    EXPECT_EQ(2, Send(WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_STREQ("10", buffer);
    EXPECT_EQ(0, Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)));

    EXPECT_EQ(TRUE, Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("%d percent")));
    CString text;
    m_bar.GetWindowText(text);
    EXPECT_EQ(CString("100 percent"), text);

    CFont font;
    look::CreateLookFont(font);
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.m_hObject), TRUE);
    EXPECT_EQ(reinterpret_cast<LRESULT>(font.m_hObject), Send(WM_GETFONT));
    Send(WM_SETFONT, 0, FALSE);
    EXPECT_EQ(0, Send(WM_GETFONT));
}

TEST_F(ProgressCtrlTest, TheMovingBlockAdvancesOnItsTimer)
{
    m_bar.SetRange(0, 200);
    m_bar.ModifyStyle(0, CProgress::styleSnake | CProgress::styleRubberBar);
    m_bar.ModifyStyle(CProgress::styleRubberBar | CProgress::styleTieText, 0);
    m_bar.SetSnakeLength(350);
    m_bar.SetStep(2);
    m_bar.SetPos(0);
    m_bar.SetTimer(CProgressCtrlX::kStepTimer, 7);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return m_bar.GetPos() >= 10; }, 5000));
    // On to the end and back: the block turns.
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (m_bar.GetStyle() & CProgress::styleReverse) != 0; }, 20000));
    m_bar.KillTimer(CProgressCtrlX::kStepTimer);
    testsupport::PumpMessages(50);
    const int pos = m_bar.GetPos();
    testsupport::PumpMessages(100);
    EXPECT_EQ(pos, m_bar.GetPos()) << "no step without the timer";
}

} // namespace
