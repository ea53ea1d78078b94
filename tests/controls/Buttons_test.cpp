// The bitmap buttons' frames and the link label's command and error texts.
#include "HyperLink.h"
#include "NavButton.h"
#include "resource.h"

#include "WindowBench.h"

#include <gtest/gtest.h>

namespace {

class ButtonTest : public testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::InitControls();
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr));
        ASSERT_TRUE(m_button.Create("Search", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(5, 5, 50, 30), &m_host, 1015));
    }
    void TearDown() override { m_host.DestroyWindow(); }

    CWnd m_host;
    CNavButton m_button;
};

} // namespace

TEST_F(ButtonTest, StripOfFourFramesSizesTheButtonToOneFrame)
{
    ASSERT_TRUE(m_button.LoadBitmap(IDB_SEARCH_BUTTON)); // 336 x 29
    EXPECT_EQ(CSize(84, 29), m_button.GetFrameSize());
    CRect rc;
    m_button.GetWindowRect(&rc);
    EXPECT_EQ(84, rc.Width());
    EXPECT_EQ(29, rc.Height());
    ASSERT_TRUE(m_button.LoadBitmap(IDB_OK_BUTTON)); // 144 x 23: a quarter of the width
    EXPECT_EQ(CSize(36, 23), m_button.GetFrameSize());
}

TEST_F(ButtonTest, FrameFollowsStateHoverAndActivePane)
{
    m_button.LoadBitmap(IDB_SEARCH_BUTTON);
    EXPECT_EQ(CHoverButton::frameNormal, m_button.ChooseFrame(0));
    EXPECT_EQ(CHoverButton::framePressed, m_button.ChooseFrame(ODS_SELECTED));
    m_button.SendMessage(WM_MOUSEHOVER, 0, 0);
    EXPECT_EQ(CHoverButton::frameHover, m_button.ChooseFrame(0));
    // The active pane's button stays pressed under the mouse.
    m_button.SetActive(TRUE);
    EXPECT_EQ(CHoverButton::framePressed, m_button.ChooseFrame(0));
    m_button.SetActive(FALSE);
    // Leaving the button returns it to the normal frame at once.
    m_button.SendMessage(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(CHoverButton::frameNormal, m_button.ChooseFrame(0));
    // A disabled button shows its disabled frame whatever else holds.
    m_button.EnableWindow(FALSE);
    m_button.SendMessage(WM_MOUSEHOVER, 0, 0);
    m_button.SetActive(TRUE);
    EXPECT_EQ(CHoverButton::frameDisabled, m_button.ChooseFrame(ODS_SELECTED));
}

TEST(HyperLink, OpenCommandTakesTheAddressInPlaceOfThePlaceholder)
{
    struct Case { const char* command; const char* want; };
    const Case cases[] = {
        {"\"C:\\Browser\\browse.exe\" \"%1\"", "\"C:\\Browser\\browse.exe\"  http://a.example/"},
        {"C:\\Browser\\browse.exe \"%1\" -new", "C:\\Browser\\browse.exe  http://a.example/"},
        {"C:\\Browser\\browse.exe %1 -new", "C:\\Browser\\browse.exe  http://a.example/"},
        {"C:\\Browser\\browse.exe", "C:\\Browser\\browse.exe http://a.example/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CString(c.want), CHyperLink::CommandForAddress(c.command, "http://a.example/")) << c.command;
}

TEST(HyperLink, ErrorReportNamesTheShellResult)
{
    EXPECT_EQ(CString("Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension."),
              CHyperLink::ErrorText(SE_ERR_NOASSOC));
    EXPECT_EQ(CString("Unable to open hyperlink:\n\nA sharing violation occurred. "), CHyperLink::ErrorText(SE_ERR_SHARE));
    EXPECT_EQ(CString("Unable to open hyperlink:\n\nUnknown Error (7) occurred."), CHyperLink::ErrorText(7));
}
