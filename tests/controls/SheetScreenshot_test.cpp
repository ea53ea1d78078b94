// A screenshot for review: the sheet of five pages, its first page a tall form of labelled
// fields with a drawn group frame and radio buttons, scrolled half way by dragging the
// strip's thumb, with a percentage bar and a moving block.
#include "MyEdit.h"
#include "MyStatic.h"
#include "ProgressCtrlX.h"
#include "SheetHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

TEST(SheetScreenshot, FivePagesATallOneScrolledHalfWayAndProgressBars)
{
    SheetOfFivePages ui;
    ASSERT_TRUE(ui.Build(30, 30, 660, 500, true));
    CMyPropertyPage& page = *ui.pages[0];
    CRect client;
    page.GetClientRect(&client);

    // Two columns of labelled fields, 25 pixels a row.
    std::vector<std::unique_ptr<CMyStatic>> labels;
    std::vector<std::unique_ptr<CMyEdit>> edits;
    const char* names[] = {"Title", "Abstract", "Inventor", "Applicant", "Publication Number",
                           "Application Number", "Priority Number", "Publication Date", "IPC", "CPC",
                           "Cited Document", "Title or Abstract", "Current US Classification",
                           "International Classification", "Referenced By", "Any Field"};
    const int labelWidth = 150;
    const int fieldWidth = (client.Width() - 2 * labelWidth - 32) / 2;
    for (int i = 0; i < 16; ++i) {
        const int column = i % 2;
        const int top = 40 + (i / 2) * 25;
        const int left = column * (labelWidth + 4 + fieldWidth + 20);
        labels.push_back(std::make_unique<CMyStatic>());
        labels.back()->Create(names[i], WS_CHILD | WS_VISIBLE, CRect(left, top, left + labelWidth, top + 25), &page);
        labels.back()->SetTransparent(TRUE);
        labels.back()->Initialize();
        labels.back()->SetTextFormat(DT_RIGHT | DT_VCENTER | DT_WORDBREAK | DT_SINGLELINE);
        labels.back()->SetText(names[i]);
        edits.push_back(std::make_unique<CMyEdit>());
        const int x = left + labelWidth + 4;
        edits.back()->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                             CRect(x, top + 4, x + fieldWidth, top + 20), &page, 1);
        edits.back()->Initialize();
    }
    edits[0]->SetWindowText("gradient progress bar");
    edits[4]->SetWindowText("EP1234567");

    // The page draws group frames and radio rings itself from hidden controls.
    const HINSTANCE inst = ::GetModuleHandleA(nullptr);
    ::CreateWindowExA(0, "BUTTON", "Result pages", WS_CHILD | BS_GROUPBOX, 10, 260, client.Width() - 20, 110,
                      page.m_hWnd, nullptr, inst, nullptr);
    ::CreateWindowExA(0, "BUTTON", "All pages", WS_CHILD | BS_AUTORADIOBUTTON, 30, 285, 160, 14, page.m_hWnd,
                      nullptr, inst, nullptr);
    ::CreateWindowExA(0, "BUTTON", "First page only", WS_CHILD | BS_AUTORADIOBUTTON, 30, 305, 160, 14,
                      page.m_hWnd, nullptr, inst, nullptr);

    CProgressCtrlX percent, block;
    ASSERT_TRUE(percent.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, CRect(220, 290, 520, 306), &page, 1147));
    percent.SetColors(3, RGB(206, 0, 0), RGB(250, 170, 130), RGB(206, 0, 0));
    percent.SetBkColor(RGB(226, 223, 206));
    percent.SetTextColors(RGB(255, 255, 255), RGB(0, 0, 0));
    percent.ModifyStyle(0, CProgress::styleShowPercent);
    CFont font;
    look::CreateLookFont(font);
    percent.SetFont(&font);
    percent.SetPos(45);
    ASSERT_TRUE(block.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, CRect(220, 320, 520, 332), &page, 1138));
    block.SetRange(0, 200);
    block.ModifyStyle(0, CProgress::styleSnake);
    block.SetSnakeLength(60);
    block.SetStep(2);
    block.SetColors(3, RGB(206, 0, 0), RGB(250, 170, 130), RGB(206, 0, 0));
    block.SetBkColor(RGB(226, 223, 206));
    for (int i = 0; i < 60; ++i)
        block.StepIt();

    page.SetContentHeight(720);
    testsupport::PumpMessages(100);

    // Drag the thumb down by half its free track: the page scrolls half way.
    CMyScrollBar& bar = page.GetScrollBar();
    CRect barClient;
    bar.GetClientRect(&barClient);
    const int free = barClient.Height() - 28 - bar.GetThumbLength();
    const CPoint grab(6, bar.GetThumbRect().top + 5);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y));
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab.x, grab.y + (free + 1) / 2));
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(grab.x, grab.y + (free + 1) / 2));
    EXPECT_EQ(50, bar.GetPosition());
    EXPECT_EQ(static_cast<int>(page.GetMaxScroll() * 0.5), page.GetScrollOffset());
    ui.host.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    testsupport::PumpMessages(std::getenv("HOLD") ? 8000 : 400);

    const char* build = std::getenv("ZENTROVA_BUILD");
    CString path = CString(build ? build : "/tmp") + "/screenshots/controls-search-sheet.png";
    CString why;
    const bool saved = testsupport::SaveScreenshot(path, &why);
    if (!saved)
        GTEST_SKIP() << "no screenshot: " << why.GetString();
    std::printf("screenshot: %s\n", path.GetString());
}

} // namespace
