// The query help window: its layout, the browser's navigation (seen by the fixture server and
// in the browser's address), and the help link of the Advanced page that opens it on the
// program's HText.html.
#include "HLinkDialog.h"

#include "AdvancedSearch.h"
#include "DataFiles.h"
#include "FixtureServer.h"
#include "SheetHost.h"
#include "TestSupport.h"
#include "WindowBench.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

class QueryHelpTest : public testsupport::FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        testsupport::InitControls();
    }
    void TearDown() override { CoUninitialize(); }

    // Runs the dialog for the address; inspect runs while it shows, then it is closed.
    void RunDialog(const CString& address, std::function<void(CHLinkDialog&, HWND)> inspect)
    {
        CHLinkDialog dialog;
        dialog.m_strAddress = address;
        testsupport::WhenDialogShows(
            [&](HWND hDialog) {
                inspect(dialog, hDialog);
                testsupport::PressDialogButton(hDialog, IDOK);
            },
            "Search Queries Help");
        EXPECT_EQ(dialog.DoModal(), IDOK);
    }
};

TEST_F(QueryHelpTest, BrowserAndButtonFollowTheClientArea)
{
    RunDialog(testsupport::FixtureUrl("/pages/small.html?help=layout"), [](CHLinkDialog& dialog, HWND hDialog) {
        // A client area of 400 x 300.
        RECT want = {0, 0, 400, 300};
        ::AdjustWindowRectEx(&want, static_cast<DWORD>(::GetWindowLongPtrA(hDialog, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrA(hDialog, GWL_EXSTYLE)));
        ::SetWindowPos(hDialog, nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
                       SWP_NOMOVE | SWP_NOZORDER);
        testsupport::PumpMessages(50);
        CRect browser, button;
        dialog.Browser().GetWindowRect(&browser);
        dialog.ScreenToClient(&browser);
        dialog.OkButton().GetWindowRect(&button);
        dialog.ScreenToClient(&button);
        EXPECT_EQ(browser, CRect(1, 1, 400, 261));
        EXPECT_EQ(button.TopLeft(), CPoint(350, 270));
    });
}

TEST_F(QueryHelpTest, EachOpeningNavigatesAfresh)
{
    const CString address = testsupport::FixtureUrl("/pages/small.html?help=twice");
    for (int opening = 0; opening < 2; ++opening) {
        RunDialog(address, [&](CHLinkDialog& dialog, HWND) {
            ASSERT_NE(dialog.Browser().GetControlUnknown(), nullptr) << "no WebBrowser control in this prefix";
            EXPECT_TRUE(dialog.HasNavigated());
            testsupport::PumpUntil([] { return testsupport::FixtureLog("help=twice").size() >= 1; }, 5000);
        });
        EXPECT_TRUE(testsupport::WaitUntil(
            [&] { return static_cast<int>(testsupport::FixtureLog("help=twice").size()) >= opening + 1; }, 5000));
    }
    EXPECT_GE(testsupport::FixtureLog("help=twice").size(), 2u);
}

TEST_F(QueryHelpTest, TheHelpLinkOpensTheProgramsHelpPage)
{
    const CString page = GetAppDirectory() + "\\HText.html";
    ASSERT_TRUE(testsupport::FileExists(page));
    CTestHost host;
    ASSERT_TRUE(host.CreateHost("Help link", 0, 0, 700, 500));
    CAdvancedSearch search;
    ASSERT_TRUE(search.Create(IDD_ADVANCED_SEARCH, &host));
    search.MoveWindow(0, 0, 700, 500);
    search.ShowWindow(SW_SHOW);
    testsupport::PumpMessages();
    CString shown;
    bool navigated = false;
    testsupport::WhenDialogShows(
        [&](HWND hDialog) {
            CHLinkDialog* pDialog = static_cast<CHLinkDialog*>(CWnd::FromHandlePermanent(hDialog));
            ASSERT_NE(pDialog, nullptr);
            shown = pDialog->m_strAddress;
            navigated = pDialog->HasNavigated();
            testsupport::PressDialogButton(hDialog, IDOK);
        },
        "Search Queries Help");
    CWnd* pLink = search.GetDlgItem(IDC_ADV_QUERY_HELP);
    ASSERT_NE(pLink, nullptr);
    pLink->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(shown, page);
    EXPECT_TRUE(navigated);
    std::printf("HELP PAGE %s\n", shown.GetString());
    search.DestroyWindow();
    host.DestroyWindow();
}

} // namespace
