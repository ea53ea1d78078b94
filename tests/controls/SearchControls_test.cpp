// The pieces the search pages use besides the sheet: the message box, the folder picker
// driven through the shell's browser window, the help labels' clicks and text measure, and
// the results list's sort state and empty-list text.
#include "DataFiles.h"
#include "FolderPicker.h"
#include "MessageBox.h"
#include "MyStatic.h"
#include "SheetHost.h"
#include "WindowBench.h"
#include "XListCtrl.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>

namespace {

using testsupport::WhenDialogShows;
using testsupport::WindowText;

TEST(MessageBoxDialog, ShowsItsCaptionAndMessageUntilOK)
{
    testsupport::InitControls();
    CMessageBox box;
    box.m_strCaption = "Help";
    box.m_strMessage = "Referenced By Field.\nThis is not an actual data field.";
    CString caption, message;
    WhenDialogShows([&](HWND h) {
        caption = WindowText(h);
        message = WindowText(::GetDlgItem(h, IDC_MESSAGE_TEXT));
        ::PostMessageA(h, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, box.DoModal());
    EXPECT_EQ(CString("Help"), caption);
    EXPECT_EQ(box.m_strMessage, message);
}

class FolderPickerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::InitControls();
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_parent = CString(temp) + "zentrova-picker";
        m_folder = m_parent + "\\Patent Downloads";
        ::CreateDirectoryA(m_parent, nullptr);
        ::CreateDirectoryA(m_folder, nullptr);
    }
    void TearDown() override
    {
        ::RemoveDirectoryA(m_folder);
        ::RemoveDirectoryA(m_parent);
    }
    static CString Long(const CString& path)
    {
        char buf[MAX_PATH] = {};
        return ::GetLongPathNameA(path, buf, MAX_PATH) ? CString(buf) : path;
    }

    CString m_parent;
    CString m_folder;
};

TEST_F(FolderPickerTest, CancelGivesAnEmptyPath)
{
    WhenDialogShows([](HWND h) { ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(CString(""), CFolderPicker("Choose the download folder").Browse());
}

TEST_F(FolderPickerTest, TheFolderChosenInTheBrowser)
{
    testsupport::PickInFolderBrowser(m_folder);
    CString chosen = CFolderPicker("Choose the download folder").Browse();
    EXPECT_EQ(0, Long(m_folder).CompareNoCase(Long(chosen))) << chosen.GetString();
}

TEST_F(FolderPickerTest, TheInitialFolderUnderARoot)
{
    testsupport::AcceptInFolderBrowser(m_folder);
    CString chosen;
    EXPECT_TRUE(CFolderPicker::BrowseForFolder(chosen, "Save Files To", nullptr, m_parent, m_folder));
    EXPECT_EQ(0, Long(m_folder).CompareNoCase(Long(chosen))) << chosen.GetString();
}

TEST_F(FolderPickerTest, SomethingThatIsNoFolderGivesAnEmptyPath)
{
    LPITEMIDLIST pidlComputer = nullptr;
    ASSERT_EQ(S_OK, ::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidlComputer));
    testsupport::PickInFolderBrowser(pidlComputer);
    CString chosen = "unchanged";
    EXPECT_FALSE(CFolderPicker::BrowseForFolder(chosen, "Choose", nullptr, nullptr, nullptr));
    EXPECT_EQ(CString(""), chosen);
    ::CoTaskMemFree(pidlComputer);
}

// The labels' help clicks, with the shell and the help window replaced by recorders.
class HelpLabelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateHost("labels", 40, 40, 400, 120));
        ASSERT_TRUE(m_label.Create("Referenced By", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(10, 10, 200, 30), &m_host));
        m_label.Initialize();
        m_label.SetLink(1);
        s_opened.clear();
        s_viewed.clear();
        CMyStatic::s_pfnShellExecute = &RecordOpen;
        CMyStatic::s_pfnShowHelpPage = &RecordView;
    }
    void TearDown() override
    {
        CMyStatic::s_pfnShellExecute = ::ShellExecuteA;
        CMyStatic::s_pfnShowHelpPage = nullptr;
        m_host.DestroyWindow();
    }
    void Click() { m_label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }

    static HINSTANCE WINAPI RecordOpen(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT)
    {
        s_opened.push_back(file ? file : "");
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
    }
    static void RecordView(CWnd*, const CString& path) { s_viewed.push_back(path); }

    static std::vector<CString> s_opened;
    static std::vector<CString> s_viewed;
    CTestHost m_host;
    CMyStatic m_label;
};

std::vector<CString> HelpLabelTest::s_opened;
std::vector<CString> HelpLabelTest::s_viewed;

TEST_F(HelpLabelTest, MessageModeShowsTheHelpTextCaptionedHelp)
{
    m_label.SetHelpMode(1);
    m_label.SetHelpText("Referenced By Field.\nThis is not an actual data field.");
    CString caption, message;
    WhenDialogShows([&](HWND h) {
        caption = WindowText(h);
        message = WindowText(::GetDlgItem(h, IDC_MESSAGE_TEXT));
        ::PostMessageA(h, WM_COMMAND, IDOK, 0);
    });
    Click();
    EXPECT_EQ(CString("Help"), caption);
    EXPECT_EQ(CString("Referenced By Field.\nThis is not an actual data field."), message);
    EXPECT_TRUE(s_opened.empty());
    EXPECT_TRUE(s_viewed.empty());
}

TEST_F(HelpLabelTest, LinkModeOpensTheQueryHelpOrTheClassificationPage)
{
    m_label.SetHelpMode(0);
    m_label.SetHelpText(GetAppDirectory() + "\\HText.html");
    Click();
    ASSERT_EQ(1u, s_viewed.size());
    EXPECT_EQ(GetAppDirectory() + "\\HText.html", s_viewed[0]);

    m_label.SetHelpText("");
    m_label.SetWindowText("International Classification");
    Click();
    m_label.SetWindowText("Current US Classification");
    Click();
    m_label.SetWindowText("Title");
    Click();
    ASSERT_EQ(3u, s_opened.size());
    EXPECT_NE(-1, s_opened[0].Find("ipc"));
    EXPECT_NE(-1, s_opened[1].Find("uspto"));
    EXPECT_EQ(CString(""), s_opened[2]) << "another caption names no page";

    // A label that is no link opens nothing.
    m_label.SetLink(0);
    Click();
    EXPECT_EQ(3u, s_opened.size());
    EXPECT_EQ(1u, s_viewed.size());
}

TEST_F(HelpLabelTest, TextHeightMakesRoomForTheWrappedLines)
{
    const CString text = "Searching for Published Application Serial Numbers";
    CRect measured;
    m_label.CalcTextHeight(text, measured); // all zero: the one-line extent
    ASSERT_GT(measured.Width(), 100);
    ASSERT_GT(measured.Height(), 5);
    EXPECT_EQ(CPoint(0, 0), measured.TopLeft());

    CRect rect(0, 20, 50, 30);
    m_label.CalcTextHeight(text, rect);
    EXPECT_EQ(20 + (measured.Width() / 50 + 2) * 7 + measured.Height(), rect.bottom);
    EXPECT_EQ(50, rect.right);

    // Without a width the rectangle becomes the text's own.
    for (CRect narrow : {CRect(10, 5, 10, 30), CRect(10, 5, 0, 30)}) {
        m_label.CalcTextHeight(text, narrow);
        EXPECT_EQ(CRect(10, 5, 10 + measured.Width(), 5 + measured.Height()), narrow);
    }
}

class ResultsListTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateHost("list", 40, 40, 500, 300));
        ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 480, 280), &m_host, 1016));
        const char* columns[] = {" ", "Report", "Document", "Title"};
        for (int i = 0; i < 4; ++i)
            m_list.InsertColumn(i, columns[i], LVCFMT_LEFT, 100);
    }
    void TearDown() override { m_host.DestroyWindow(); }

    CTestHost m_host;
    CXListCtrl m_list;
};

TEST_F(ResultsListTest, SortStateOfTheHeaderAndTheEmptyListText)
{
    EXPECT_EQ(-1, m_list.GetSortColumn());
    EXPECT_EQ(-1, m_list.GetSortOrder());
    m_list.GetHeader().OnColumnClicked(2);
    EXPECT_EQ(2, m_list.GetSortColumn());
    EXPECT_EQ(2, m_list.GetSortOrder());
    m_list.GetHeader().OnColumnClicked(2);
    EXPECT_EQ(1, m_list.GetSortOrder());
    m_list.SetSortColumn(3); // a page puts back the column it sorts by
    EXPECT_EQ(3, m_list.GetSortColumn());

    // The empty list shows its text in the grey text colour.
    m_list.SetEmptyText("Search results will be displayed in this panel.");
    EXPECT_EQ(CString("Search results will be displayed in this panel."), m_list.GetEmptyText());
    m_list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    testsupport::PumpMessages(100);
    CClientDC dc(&m_list);
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    int inked = 0;
    for (int y = 30; y < 80; ++y)
        for (int x = 0; x < 480; x += 2)
            if (dc.GetPixel(x, y) != window)
                ++inked;
    EXPECT_GT(inked, 20) << "the text below the header";

    m_list.InsertItem(0, "");
    m_list.SetEmptyText("");
    EXPECT_EQ(CString(""), m_list.GetEmptyText());
}

} // namespace
