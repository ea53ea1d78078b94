// The report progress pop-up: its heading, and Cancel, Escape and the close box each asking
// the owner once to cancel the run and hiding the pop-up, whose window stays.
#include "ReportMessages.h"
#include "ReportPopupDialog.h"
#include "WindowBench.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testsupport;

namespace {

int g_cancels = 0;
WPARAM g_lastParams = 1;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_CANCEL_REPORT) {
        ++g_cancels;
        g_lastParams = wParam | static_cast<WPARAM>(lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

TEST(ReportPopup, CancelEscapeAndCloseEachAskOnceAndHide)
{
    InitControls();
    HWND owner = CreateMessageWindow("ZentrovaTestPopupOwner", OwnerProc, nullptr);
    CReportPopupDialog popup;
    ASSERT_TRUE(popup.Create(IDD_REPORT_POPUP, nullptr));
    popup.m_hOwner = owner;
    EXPECT_FALSE(popup.IsWindowVisible());  // created hidden
    EXPECT_EQ(popup.m_Heading.GetText(), CString("Generating Search Report "));
    EXPECT_EQ(WindowText(popup.GetSafeHwnd()), CString("Report Generation in Progress"));

    const HWND window = popup.GetSafeHwnd();
    const struct {
        const char* how;
        UINT message;
        WPARAM wParam;
    } ways[] = {
        {"Cancel button", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
        {"Escape", WM_COMMAND, IDCANCEL},
        {"close box", WM_CLOSE, 0},
    };
    int expected = 0;
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        popup.CenterWindow();
        popup.ShowWindow(SW_SHOW);
        PumpMessages(150);
        if (expected == 0) {
            CString why;
            if (!SaveScreenshot(CString(std::getenv("ZENTROVA_BUILD")) + "/screenshots/report-progress-popup.png", &why))
                ADD_FAILURE() << why.GetString();
        }
        SendMessageA(window, way.message, way.wParam, 0);
        PumpMessages(50);
        EXPECT_EQ(g_cancels, ++expected);
        EXPECT_EQ(g_lastParams, 0u);
        EXPECT_FALSE(popup.IsWindowVisible());
        EXPECT_TRUE(IsWindow(window));
    }
    popup.DestroyWindow();
    DestroyWindow(owner);
}
