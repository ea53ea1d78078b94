// The main window run in the test program: its owner-drawn menus and their update, the close
// road with its poll, the recipe-file swap, the placement text and the window's place on the
// screen, the version padding of the menus, and screenshots of the splash, the window on a
// first start and at a normal size, and an open menu.
#include "WorkspaceTest.h"
#include "KilledSave.h"

#include "About.h"
#include "HyperLink.h"
#include "MyStatic.h"
#include "NewMenu.h"
#include "NewMenuHook.h"
#include "SearchSessions.h"
#include "SessionFile.h"
#include "Splash.h"
#include "TechSupport.h"
#include "SearchThread.h"
#include "ZentrovaDlg.h"
#include "resource.h"

#include "WindowBench.h"

#include <functional>
#include <string>
#include <vector>

using namespace workspacetest;

namespace {

class MainDialogTest : public ComTest
{
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        testsupport::InitControls();
        ASSERT_TRUE(CopyFileA(ShippedFile("config2.cfg"), AppFile("config2.cfg"), FALSE));
    }

    // Runs the dialog modally; during() runs from inside its message loop once it shows.
    INT_PTR Run(CZentrovaDlg& dlg, std::function<void()> during)
    {
        UINT_PTR first = testsupport::AfterDelay(300, std::move(during));
        UINT_PTR safety = testsupport::AfterDelay(30000, [&dlg] {
            ADD_FAILURE() << "the main window did not close";
            dlg.EndDialog(-2);
        });
        INT_PTR result = dlg.DoModal();
        ::KillTimer(nullptr, first);
        ::KillTimer(nullptr, safety);
        return result;
    }
};

// A main window whose download queue is busy until the test lets it finish.
class CBusyDlg : public CZentrovaDlg
{
public:
    bool running = true;
    int stopRequests = 0;
    int searchStops = 0;

protected:
    void StopAllDownloads() override { ++stopRequests; }
    bool AreDownloadsStopped() override { return !running; }
    void StopSearchThread() override
    {
        ++searchStops;
        CZentrovaDlg::StopSearchThread();
    }
};

bool OwnerDrawnWithRecord(CNewMenu& menu, int pos)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!menu.GetMenuItemInfo(static_cast<UINT>(pos), &info, TRUE))
        return false;
    return (info.fType & MFT_OWNERDRAW) && static_cast<size_t>(pos) < menu.GetItems().size() &&
           reinterpret_cast<CNewMenuItemData*>(info.dwItemData) == menu.GetItems()[static_cast<size_t>(pos)];
}

bool Grey(HMENU hMenu, UINT nID)
{
    return (::GetMenuState(hMenu, nID, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

} // namespace

TEST_F(MainDialogTest, EveryItemOfTheMenuBarIsOwnerDrawnAndUnhandledItemsAreDisabled)
{
    CZentrovaDlg dlg;
    Run(dlg, [&] {
        CNewMenu& bar = dlg.m_DefaultNewMenu;
        ASSERT_EQ(::GetMenu(dlg.m_hWnd), bar.m_hMenu);
        ASSERT_EQ(5, bar.GetMenuItemCount());
        for (int p = 0; p < bar.GetMenuItemCount(); ++p) {
            EXPECT_TRUE(OwnerDrawnWithRecord(bar, p)) << "bar item " << p;
            CNewMenu* pPopup = CNewMenu::FromHandleNew(::GetSubMenu(bar.m_hMenu, p));
            ASSERT_NE(nullptr, pPopup);
            // Opening the popup runs the update handlers and resynchronises its items.
            dlg.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pPopup->m_hMenu), MAKELPARAM(p, FALSE));
            for (int i = 0; i < pPopup->GetMenuItemCount(); ++i)
                EXPECT_TRUE(OwnerDrawnWithRecord(*pPopup, i)) << "popup " << p << " item " << i;
        }
        HMENU hBar = bar.m_hMenu;
        for (UINT handled : {ID_FILE_EXIT, ID_HELP_ABOUT, ID_HELP_TECH_SUPPORT, ID_TREE_INSERT_FOLDER,
                             ID_HELP_COUNTRY_CODES, ID_HELP_CHECK_UPDATES, ID_HELP_PDF_READER,
                             ID_FILE_RECOVER_DATABASE, ID_FILE_IMPORT_OLD_VERSION, ID_FILE_IMPORT_FILE_TO_FOLDER,
                             ID_FILE_IMPORT_EXPORT_SESSION})
            EXPECT_FALSE(Grey(hBar, handled)) << handled;
        for (UINT unhandled : {ID_PATENTS_OPEN_PDF})
            EXPECT_TRUE(Grey(hBar, unhandled)) << unhandled;
        // Icons from the strip; the padded Exit of this system.
        CNewMenu* pFile = CNewMenu::FromHandleNew(::GetSubMenu(hBar, 0));
        CNewMenuItemData* pExit = pFile->FindRecord(ID_FILE_EXIT);
        ASSERT_NE(nullptr, pExit);
        EXPECT_EQ(3 * 8, pExit->m_nMenuIconOffset);
        EXPECT_EQ(CString("&Exit          "), pExit->m_szMenuText);
        // The system menu got the About item.
        CString about;
        dlg.GetSystemMenu(FALSE)->GetMenuString(IDM_ABOUTBOX, about, MF_BYCOMMAND);
        EXPECT_EQ(CString("&About Zentrova International 4.0..."), about);
        dlg.OnExit();
    });
}

// A main window that records the addresses it would hand to the shell.
class CLinkRecordingDlg : public CZentrovaDlg
{
public:
    std::vector<CString> opened;

protected:
    void ShellOpen(const CString& target) override { opened.push_back(target); }
};

std::vector<std::string> g_sessionBoxes;

int WINAPI RecordSessionBox(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    g_sessionBoxes.push_back(std::string(caption) + "|" + text);
    return IDOK;
}

TEST_F(MainDialogTest, ImportExportSessionAsksTheDirectionAndRefusesAnExportWithoutASession)
{
    CZentrovaDlg dlg;
    Run(dlg, [&] {
        g_sessionBoxes.clear();
        g_pfnSessionMessageBox = &RecordSessionBox;
        testsupport::WhenDialogShows(
            [](HWND hBox) {
                testsupport::PressDialogButton(hBox, IDC_IMPEXP_EXPORT);
                testsupport::PressDialogButton(hBox, IDOK);
            },
            "Import/Export Session");
        dlg.SendMessage(WM_COMMAND, ID_FILE_IMPORT_EXPORT_SESSION, 0);
        g_pfnSessionMessageBox = &::MessageBoxA;
        ASSERT_EQ(g_sessionBoxes.size(), 1u);
        EXPECT_EQ(g_sessionBoxes[0], "Error|There are no results to be exported");
        dlg.OnExit();
    });
}

// Import/Export Search Session through the dialogs a user sees: the direction, then the shell's
// file dialog. Runs one command to its end.
void RunSessionCommand(CZentrovaDlg& dlg, int direction, const char* fileCaption, const CString& path)
{
    bool fileDialogSeen = false;
    testsupport::WhenDialogShows(
        [&, direction](HWND hChoice) {
            testsupport::PressDialogButton(hChoice, direction);
            testsupport::WhenDialogShows(
                [&](HWND hFile) {
                    fileDialogSeen = true;
                    testsupport::ChooseInFileDialog(hFile, path);
                },
                fileCaption);
            testsupport::PressDialogButton(hChoice, IDOK);
        },
        "Import/Export Session");
    dlg.SendMessage(WM_COMMAND, ID_FILE_IMPORT_EXPORT_SESSION, 0);
    EXPECT_TRUE(fileDialogSeen) << fileCaption;
}

TEST_F(MainDialogTest, ASessionExportedFromTheMainWindowIsImportedBackAndAForeignFileIsRefused)
{
    ASSERT_TRUE(CopyFileA(ShippedFile("Download.cfg"), AppFile("Download.cfg"), FALSE));
    DeleteFileA(AppFile("session.xml"));
    const CString exported = AppFile("main-window-export.qvx");
    const CString foreign = AppFile("main-window-foreign.qvx");
    DeleteFileA(exported);
    ASSERT_TRUE(testsupport::WriteBytes(foreign, "%PDF-1.4 not a session"));
    CSearchSessions::s_bChooserOffered = true;
    CZentrovaDlg dlg;
    Run(dlg, [&] {
        CSearchContainer& pane = dlg.GetSearchPane();
        CComboBox& combo = pane.GetSessionCombo();
        SearchSession alpha;
        alpha.strName = "Alpha & <Beta>";
        alpha.strMark = "Sorter";
        alpha.strClient = "Quill \"Works\"";
        alpha.results.Add(SessionResult{"US6000000", "Sorting device"});
        alpha.results.Add(SessionResult{"EP1000000", "Caf\xe9 ]]> machine"});
        pane.AddSession(alpha);
        ASSERT_EQ(combo.GetCount(), 2);
        ASSERT_EQ(combo.GetCurSel(), 1);

        RunSessionCommand(dlg, IDC_IMPEXP_EXPORT, "Save As", exported);
        const std::string bytes = RawBytes(exported);
        EXPECT_NE(bytes.find("US6000000"), std::string::npos) << bytes;
        EXPECT_NE(bytes.find("EP1000000"), std::string::npos) << bytes;

        // The same file under a name of its own is imported as a second session with its rows.
        std::string renamed = bytes;
        const std::string from = "Alpha &amp; &lt;Beta&gt;";
        const size_t at = renamed.find(from);
        ASSERT_NE(at, std::string::npos) << bytes;
        renamed.replace(at, from.size(), "Gamma");
        ASSERT_TRUE(testsupport::WriteBytes(exported, renamed));
        g_sessionBoxes.clear();
        g_pfnSessionMessageBox = &RecordSessionBox;
        RunSessionCommand(dlg, IDC_IMPEXP_IMPORT, "Open", exported);
        EXPECT_TRUE(g_sessionBoxes.empty()) << g_sessionBoxes.front();
        ASSERT_EQ(combo.GetCount(), 3);
        EXPECT_EQ(pane.GetSearchSessions().ComboText(2), "Gamma");
        EXPECT_EQ(combo.GetCurSel(), 2);
        CXListCtrl& rows = pane.GetReportPage().GetReportList(); // columns 2 number, 3 title
        ASSERT_EQ(rows.GetItemCount(), 2);
        EXPECT_EQ(rows.GetItemText(0, 2), "US6000000");
        EXPECT_EQ(rows.GetItemText(1, 3), "Caf\xe9 ]]> machine");

        // A file that is no session: told, nothing added, the shown session kept.
        RunSessionCommand(dlg, IDC_IMPEXP_IMPORT, "Open", foreign);
        g_pfnSessionMessageBox = &::MessageBoxA;
        ASSERT_EQ(g_sessionBoxes.size(), 1u);
        EXPECT_NE(g_sessionBoxes[0].find("Nothing was imported"), std::string::npos) << g_sessionBoxes[0];
        EXPECT_EQ(combo.GetCount(), 3);
        EXPECT_EQ(combo.GetCurSel(), 2);
        EXPECT_EQ(rows.GetItemCount(), 2);
        dlg.OnExit();
    });
    DeleteFileA(exported);
    DeleteFileA(foreign);
}

TEST_F(MainDialogTest, WebLinkCommandsOpenTheAddressOfTheirStringResource)
{
    struct Link { UINT nCommand; const char* address; };
    const Link links[] = {
        {ID_HELP_COUNTRY_CODES, "http://www.quendal.example/zentrova/country-codes.pdf"},
        {ID_HELP_CHECK_UPDATES, "http://www.quendal.example/zentrova/download.htm"},
        {ID_HELP_PDF_READER, "http://www.quendal.example/pdf-reader"},
        {ID_LINK_OVERVIEW, "http://www.quendal.example/patent-basics/overview.htm"},
        {ID_LINK_MANAGEMENT, "http://www.quendal.example/patent-basics/management.htm"},
        {ID_LINK_WEBSITE_1, "http://www.quendal.example/"},
        {ID_LINK_WEBSITE_2, "http://www.uspto.gov/"},
        {ID_RESULTS_ADD_TO_REPORT, "http://www.epo.org/"},
        {ID_LINK_WEBSITE_4, "http://www.wipo.int/"},
        {ID_LINK_WEBSITE_5, "http://www.quendal.example/patent-law/"},
        {ID_LINK_EXTRA_1, "http://www.quendal.example/support/"},
        {ID_LINK_EXTRA_2, "http://www.quendal.example/links/"},
    };
    CLinkRecordingDlg dlg;
    Run(dlg, [&] {
        for (const Link& link : links) {
            dlg.opened.clear();
            dlg.SendMessage(WM_COMMAND, link.nCommand, 0);
            ASSERT_EQ(1u, dlg.opened.size()) << link.nCommand;
            EXPECT_EQ(CString(link.address), dlg.opened[0]) << link.nCommand;
        }
        dlg.OnExit();
    });
}

TEST_F(MainDialogTest, EveryWayOfClosingWaitsForTheDownloadsToStop)
{
    struct Way { const char* name; std::function<void(HWND)> close; };
    const Way ways[] = {
        {"Escape", [](HWND h) { ::PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"system Close", [](HWND h) { ::PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND h) { ::PostMessageA(h, WM_CLOSE, 0, 0); }},
        {"OK", [](HWND h) { ::PostMessageA(h, WM_COMMAND, IDOK, 0); }},
        {"Exit", [](HWND h) { ::PostMessageA(h, WM_COMMAND, ID_FILE_EXIT, 0); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        CBusyDlg dlg;
        bool stayed = false;
        DWORD released = 0;
        Run(dlg, [&] {
            way.close(dlg.m_hWnd);
            testsupport::PumpMessages(1500);
            stayed = ::IsWindow(dlg.m_hWnd) && ::IsWindowVisible(dlg.m_hWnd) && dlg.GetClosePollTimer() != 0;
            released = ::GetTickCount();
            dlg.running = false;
        });
        DWORD took = ::GetTickCount() - released;
        EXPECT_TRUE(stayed);
        EXPECT_GE(dlg.stopRequests, 1);
        EXPECT_GE(dlg.searchStops, 1);
        EXPECT_LT(took, 5000u) << "the window closes at the next poll";
        // The close road stored the placement.
        CString options = ReadDeciphered(AppFile("config2.cfg"));
        EXPECT_LT(options.Find("<Option Name=\"MainDisplaySize\">-1<"), 0);
    }
}

TEST_F(MainDialogTest, ExitEndsAtOnceWhenNothingRuns)
{
    CZentrovaDlg dlg;
    INT_PTR result = Run(dlg, [&] { ::PostMessageA(dlg.m_hWnd, WM_COMMAND, ID_FILE_EXIT, 0); });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(0u, dlg.GetClosePollTimer());
}

TEST_F(MainDialogTest, ScreenshotsOfTheSplashTheWindowAndAnOpenMenu)
{
    CString why;
    bool splashShot = false;
    {
        CSplash splash;
        testsupport::AfterDelay(800, [&] { splashShot = testsupport::SaveScreenshot(ScreenshotPath("splash.png"), &why); });
        splash.DoModal();
    }
    if (!splashShot)
        GTEST_SKIP() << why.GetString();

    // A window of normal size, as a user sees it after the first close.
    CString options = ReadDeciphered(AppFile("config2.cfg"));
    options.Replace("<Option Name=\"MainDisplaySize\">-1<", "<Option Name=\"MainDisplaySize\">0,1,-1,-1,-1,-1,40,30,940,650<");
    WriteEnciphered(AppFile("config2.cfg"), options);
    CZentrovaDlg dlg;
    bool windowShot = false, menuShot = false;
    Run(dlg, [&] {
        windowShot = testsupport::SaveScreenshot(ScreenshotPath("main-window.png"), &why);
        // Under Wine a popup that lies wholly inside its owner's rectangle never reaches the
        // X screen; a window shorter than the File popup lets it show.
        dlg.SetWindowPos(nullptr, 0, 0, 900, 230, SWP_NOMOVE | SWP_NOZORDER);
        testsupport::AfterDelay(1200, [&] {
            menuShot = testsupport::SaveScreenshot(ScreenshotPath("main-window-menu.png"), &why);
            ::EndMenu();
            testsupport::AfterDelay(300, [&] { dlg.OnExit(); });
        });
        // Opens the File menu as the keyboard does (Alt+F).
        ::PostMessageA(dlg.m_hWnd, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    });
    EXPECT_TRUE(windowShot) << why.GetString();
    EXPECT_TRUE(menuShot) << why.GetString();
}

// What a user sees on a first start (the shipped "-1": maximised) and after restarts with a
// stored placement: the caption and the whole client area on the screen, the navigation
// strip down to the window's bottom, the document list taller than the download queue.
TEST_F(MainDialogTest, TheWindowOpensOnTheScreenWithTheStripDownItsHeight)
{
    CRect work;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    struct Case
    {
        const char* what;
        const char* placement;
        bool maximised;
    };
    const Case cases[] = {
        {"first start", "-1", true},
        {"maximised as a first start stores it", "0,3,-1,-1,-4,-23,0,0,745,486", true},
        {"moved up and left beyond the screen", "0,1,-1,-1,-1,-1,-300,-200,600,500", false},
        {"stored on a larger screen", "0,1,-1,-1,-1,-1,900,700,2900,2300", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CString options = ReadDeciphered(ShippedFile("config2.cfg"));
        ASSERT_GT(options.Replace("<Option Name=\"MainDisplaySize\">-1<",
                                  CString("<Option Name=\"MainDisplaySize\">") + c.placement + "<"),
                  0);
        WriteEnciphered(AppFile("config2.cfg"), options);
        CZentrovaDlg dlg;
        bool zoomed = false;
        CRect window, client, list, queue;
        COLORREF lastPictureRow = 0, belowPicture = 1;
        Run(dlg, [&] {
            zoomed = dlg.IsZoomed() != FALSE;
            dlg.GetWindowRect(&window);
            dlg.GetClientRect(&client);
            dlg.ClientToScreen(&client);
            dlg.GetProjectPane().GetPatentManager().GetWindowRect(&list);
            dlg.GetProjectPane().GetDownloadManager().GetWindowRect(&queue);
            // The background as the window draws it, into a memory bitmap of the client size.
            CClientDC screen(&dlg);
            CDC memDC;
            memDC.CreateCompatibleDC(&screen);
            CBitmap bitmap;
            bitmap.CreateCompatibleBitmap(&screen, client.Width(), client.Height());
            CBitmap* pOld = memDC.SelectObject(&bitmap);
            dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC.m_hDC), 0);
            lastPictureRow = memDC.GetPixel(50, 435);
            belowPicture = memDC.GetPixel(50, client.Height() - 20);
            memDC.SelectObject(pOld);
            if (&c == &cases[0])
                testsupport::SaveScreenshot(ScreenshotPath("main-window-first-start.png"));
            dlg.OnExit();
        });
        EXPECT_EQ(c.maximised, zoomed);
        // The caption lies above the client area, inside the frame's width of the top edge.
        const int frame = (window.Width() - client.Width()) / 2;
        EXPECT_GE(window.top + frame, work.top) << window.top;
        EXPECT_GE(client.left, work.left);
        EXPECT_LE(client.right, work.right);
        EXPECT_LE(client.bottom, work.bottom);
        if (!c.maximised) {
            EXPECT_TRUE(work.PtInRect(window.TopLeft())) << window.left << "," << window.top;
            EXPECT_LE(window.right, work.right);
            EXPECT_LE(window.bottom, work.bottom);
        }
        EXPECT_GT(client.Height(), 437);
        EXPECT_EQ(lastPictureRow, belowPicture) << "the strip goes on below its picture";
        EXPECT_GT(list.Height(), queue.Height());
    }
}

TEST_F(MainDialogTest, GripDragStopsAtTheMinimumSize)
{
    CString options = ReadDeciphered(AppFile("config2.cfg"));
    options.Replace("<Option Name=\"MainDisplaySize\">-1<", "<Option Name=\"MainDisplaySize\">0,1,-1,-1,-1,-1,20,20,920,680<");
    WriteEnciphered(AppFile("config2.cfg"), options);
    CZentrovaDlg dlg;
    CRect before, after;
    Run(dlg, [&] {
        dlg.GetWindowRect(&before);
        CRect client;
        dlg.GetClientRect(&client);
        const LPARAM grip = MAKELPARAM(client.right - 5, client.bottom - 5);
        dlg.SendMessage(WM_MOUSEMOVE, 0, grip);
        dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, grip);
        dlg.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 100)); // far below the minimum
        dlg.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
        dlg.GetWindowRect(&after);
        dlg.OnExit();
    });
    EXPECT_EQ(CSize(900, 660), before.Size());
    EXPECT_EQ(before.TopLeft(), after.TopLeft());
    EXPECT_EQ(CSize(775, 486), after.Size());
}

TEST_F(MainDialogTest, AboutShowsTheSameLineEveryTimeAndSupportHasItsTwoLinks)
{
    for (int round = 0; round < 2; ++round) {
        CAbout about;
        CString text;
        BOOL transparent = FALSE;
        HCURSOR hCursor = nullptr;
        testsupport::AfterDelay(300, [&] {
            auto* pLabel = dynamic_cast<CMyStatic*>(CWnd::FromHandlePermanent(::GetDlgItem(about.m_hWnd, IDC_ABOUT_TEXT)));
            if (pLabel) {
                text = pLabel->GetText();
                transparent = pLabel->IsTransparent();
                hCursor = pLabel->GetLinkCursor();
            }
            about.EndDialog(IDOK);
        });
        about.DoModal();
        EXPECT_EQ(CString("Zentrova International v4.0.2"), text);
        EXPECT_TRUE(transparent);
        EXPECT_NE(nullptr, hCursor);
    }
    CTechSupport support;
    CString mail, web;
    testsupport::AfterDelay(300, [&] {
        auto link = [&](int id) {
            auto* p = dynamic_cast<CHyperLink*>(CWnd::FromHandlePermanent(::GetDlgItem(support.m_hWnd, id)));
            return p ? p->GetURL() : CString();
        };
        mail = link(IDC_SUPPORT_EMAIL);
        web = link(IDC_SUPPORT_WEB);
        support.EndDialog(IDOK);
    });
    support.DoModal();
    EXPECT_EQ(CString(CTechSupport::kSupportMail), mail);
    EXPECT_EQ(0, mail.Find("mailto:"));
    EXPECT_EQ(CString(CTechSupport::kSupportPage), web);
}

// ---------------------------------------------------------------- logic without a window

// The recipe files of a program folder, each a small recipe named by its one source.
class ConfigSwapTest : public ComTest
{
protected:
    testsupport::TempDir dir;
    // The name of the recipe the file holds; "<missing>" when there is no file.
    std::string Read(const char* name)
    {
        if (!testsupport::FileExists(dir.File(name)))
            return "<missing>";
        const CString text = ReadDeciphered(dir.File(name));
        const int at = text.Find("UID=\"");
        return at < 0 ? "<no recipe>" : std::string(text.Mid(at + 5, text.Find('"', at + 5) - at - 5).GetString());
    }
    void Write(const char* name, const char* recipe)
    {
        WriteEnciphered(dir.File(name),
                        CString("<ParsingInformation><DownloadLocation UID=\"") + recipe + "\"/></ParsingInformation>");
    }
    // A file of the bytes as they are, or enciphered.
    void WriteBytes(const char* name, const std::string& bytes, bool bEnciphered)
    {
        if (bEnciphered)
            WriteEnciphered(dir.File(name), CString(bytes.c_str()));
        else
            ASSERT_TRUE(testsupport::WriteBytes(dir.File(name), bytes));
    }
};

TEST_F(ConfigSwapTest, NewRecipeFileTakesThePlaceOfTheOldOne)
{
    Write("Download.cfg", "previous");
    Write("OldConfig.cfg", "older");
    Write("NewConfig.cfg", "fresh");
    CString message = "?";
    EXPECT_TRUE(CZentrovaDlg::SwapInNewConfigFile(dir.Path(), &message));
    EXPECT_EQ("fresh", Read("Download.cfg"));
    EXPECT_EQ("previous", Read("OldConfig.cfg"));
    EXPECT_EQ("<missing>", Read("NewConfig.cfg"));
    EXPECT_TRUE(message.IsEmpty());
}

TEST_F(ConfigSwapTest, WithoutNewConfigNothingChanges)
{
    Write("Download.cfg", "current");
    Write("OldConfig.cfg", "older");
    EXPECT_FALSE(CZentrovaDlg::SwapInNewConfigFile(dir.Path()));
    EXPECT_EQ("current", Read("Download.cfg"));
    EXPECT_EQ("older", Read("OldConfig.cfg"));
}

TEST_F(ConfigSwapTest, MissingDownloadConfigStillTakesTheNewFile)
{
    Write("NewConfig.cfg", "fresh");
    EXPECT_TRUE(CZentrovaDlg::SwapInNewConfigFile(dir.Path()));
    EXPECT_EQ("fresh", Read("Download.cfg"));
    EXPECT_EQ("<missing>", Read("OldConfig.cfg"));
}

TEST_F(ConfigSwapTest, FailedLastStepPutsThePreviousFileBack)
{
    Write("Download.cfg", "previous");
    Write("NewConfig.cfg", "fresh");
    // Held open without delete sharing, NewConfig.cfg cannot be renamed.
    HANDLE holder = CreateFileA(dir.File("NewConfig.cfg"), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    CString message;
    BOOL swapped = CZentrovaDlg::SwapInNewConfigFile(dir.Path(), &message);
    CloseHandle(holder);
    EXPECT_FALSE(swapped);
    EXPECT_EQ("previous", Read("Download.cfg"));
    EXPECT_EQ("fresh", Read("NewConfig.cfg"));
    EXPECT_EQ(0, message.Find("The new recipe file\n" + dir.File("NewConfig.cfg") +
                              "\ncould not replace the recipe file Download.cfg"))
        << message.GetString();
    const CString tail = "\nDownload.cfg stays in use; the new file is put in place at the next start.";
    EXPECT_EQ(message.Right(tail.GetLength()), tail);
}

// A new recipe that the threads could not read does not take the place of the one that
// works: it is set aside whole under a name that says so, and the user is told where.
TEST_F(ConfigSwapTest, ANewRecipeThatCannotBeReadIsSetAsideAndDownloadCfgStays)
{
    const struct
    {
        const char* what;
        std::string bytes;
        bool enciphered;
        const char* reason;
    } cases[] = {
        {"bytes of no whole cipher block", "a recipe cut short", false, "it is damaged"},
        {"an empty file", "", false, "it is damaged"},
        {"text that is no XML", "<ParsingInformation><DownloadLocation", true, "it is damaged"},
        {"another data file", "<Project Name=\"Project Folders\"><Folders/></Project>", true,
         "it holds data of another kind"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write("Download.cfg", "previous");
        Write("OldConfig.cfg", "older");
        WriteBytes("NewConfig.cfg", c.bytes, c.enciphered);
        const std::string written = RawBytes(dir.File("NewConfig.cfg"));
        CString message;
        EXPECT_FALSE(CZentrovaDlg::SwapInNewConfigFile(dir.Path(), &message));
        EXPECT_EQ("previous", Read("Download.cfg"));
        EXPECT_EQ("older", Read("OldConfig.cfg"));
        EXPECT_EQ("<missing>", Read("NewConfig.cfg"));
        const CString aside = dir.File("NewConfig.cfg.unreadable");
        EXPECT_EQ(written, RawBytes(aside)) << "set aside whole";
        EXPECT_EQ(message, "The recipe file NewConfig.cfg cannot be read: " + CString(c.reason) + ".\n" +
                               dir.File("NewConfig.cfg") +
                               "\nIt did not replace the recipe file Download.cfg, which stays in use.\n"
                               "The new file is kept as\n" + aside);
        ASSERT_TRUE(DeleteFileA(aside));
    }
}

// The previous recipe is kept before the new one takes its place: when OldConfig.cfg cannot
// be written, Download.cfg stays, the user is told, and the next start swaps.
TEST_F(ConfigSwapTest, WhenDownloadCfgCannotBeKeptTheNewRecipeWaitsForTheNextStart)
{
    Write("Download.cfg", "previous");
    Write("OldConfig.cfg", "older");
    Write("NewConfig.cfg", "fresh");
    // Held open without delete sharing, OldConfig.cfg cannot be replaced.
    HANDLE holder = CreateFileA(dir.File("OldConfig.cfg"), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    CString message;
    const BOOL swapped = CZentrovaDlg::SwapInNewConfigFile(dir.Path(), &message);
    CloseHandle(holder);
    EXPECT_FALSE(swapped);
    EXPECT_EQ("previous", Read("Download.cfg"));
    EXPECT_EQ("older", Read("OldConfig.cfg"));
    EXPECT_EQ("fresh", Read("NewConfig.cfg"));
    EXPECT_EQ(0, message.Find("The new recipe file\n" + dir.File("NewConfig.cfg") +
                              "\nwas not put in place: the recipe file Download.cfg could not be kept as\n" +
                              dir.File("OldConfig.cfg")))
        << message.GetString();
    EXPECT_GE(message.Find("\nDownload.cfg stays in use; the new file is put in place at the next start."), 0);

    CString none;
    EXPECT_TRUE(CZentrovaDlg::SwapInNewConfigFile(dir.Path(), &none));
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ("fresh", Read("Download.cfg"));
    EXPECT_EQ("previous", Read("OldConfig.cfg"));
}

// A start killed while it keeps the previous recipe as OldConfig.cfg: Download.cfg is the
// previous recipe, whole, and NewConfig.cfg still waits; the next start swaps and leaves no
// temporary file. Killed after that copy, the swap is one rename: nothing lies half done.
TEST_F(ConfigSwapTest, AStartKilledInTheSwapLeavesAWholeRecipe)
{
    const DataFileStep steps[] = {DataFileTemporaryCreated, DataFileBytesWritten, DataFileTemporaryClosed,
                                  DataFileReplaced};
    for (const DataFileStep step : steps) {
        SCOPED_TRACE(static_cast<int>(step));
        Write("Download.cfg", "previous");
        Write("OldConfig.cfg", "older");
        Write("NewConfig.cfg", "fresh");
        ASSERT_TRUE(testsupport::SaveKilledAt(step, [&] { CZentrovaDlg::SwapInNewConfigFile(dir.Path()); }));
        EXPECT_EQ("previous", Read("Download.cfg"));
        EXPECT_EQ("fresh", Read("NewConfig.cfg"));
        EXPECT_EQ(step == DataFileReplaced ? "previous" : "older", Read("OldConfig.cfg"));
        EXPECT_TRUE(CZentrovaDlg::SwapInNewConfigFile(dir.Path()));
        EXPECT_EQ("fresh", Read("Download.cfg"));
        EXPECT_EQ("previous", Read("OldConfig.cfg"));
        EXPECT_EQ("<missing>", Read("NewConfig.cfg"));
        EXPECT_EQ(testsupport::FileNamesIn(dir.Path()), (std::vector<CString>{"download.cfg", "oldconfig.cfg"}));
    }
}

TEST(WindowPlacement, TextRoundTripAndStoredShowCommand)
{
    WINDOWPLACEMENT wp{};
    EXPECT_FALSE(CZentrovaDlg::ParseWindowPlacement(wp, ""));
    EXPECT_FALSE(CZentrovaDlg::ParseWindowPlacement(wp, "0,1,-1,-1,-1,-1,10,20,300"));
    EXPECT_FALSE(CZentrovaDlg::ParseWindowPlacement(wp, "-1"));
    ASSERT_TRUE(CZentrovaDlg::ParseWindowPlacement(wp, "0,1,-1,-1,-8,-8,10,20,810,620"));
    EXPECT_EQ(44u, wp.length);
    EXPECT_EQ(1u, wp.showCmd);
    EXPECT_EQ(-8, wp.ptMaxPosition.x);
    EXPECT_EQ(810, wp.rcNormalPosition.right);
    EXPECT_EQ(CString("0,1,-1,-1,-8,-8,10,20,810,620"), CZentrovaDlg::PlacementText(wp, FALSE));

    // Closed while minimised: stored as shown, or maximised when it would restore so.
    wp.showCmd = SW_SHOWMINIMIZED;
    EXPECT_EQ(CString("0,5,-1,-1,-8,-8,10,20,810,620"), CZentrovaDlg::PlacementText(wp, TRUE));
    wp.flags = WPF_RESTORETOMAXIMIZED;
    EXPECT_EQ(CString("2,3,-1,-1,-8,-8,10,20,810,620"), CZentrovaDlg::PlacementText(wp, TRUE));
}

TEST(WindowPlacement, ARectangleIsFittedIntoTheArea)
{
    const CRect area(0, 0, 1280, 1024);
    struct Case
    {
        CRect rect;
        CRect fitted;
    };
    const Case cases[] = {
        {{40, 30, 940, 650}, {40, 30, 940, 650}},          // inside: as it is
        {{-300, -200, 600, 500}, {0, 0, 900, 700}},        // beyond the top left
        {{900, 700, 1800, 1320}, {380, 404, 1280, 1024}},  // beyond the bottom right
        {{-10, 900, 880, 1500}, {0, 424, 890, 1024}},      // beyond the left and the bottom
        {{900, 700, 2900, 2300}, {0, 0, 1280, 1024}},      // larger than the area
        {{5000, 3000, 5775, 3486}, {505, 538, 1280, 1024}},  // far off
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.fitted, CZentrovaDlg::FitIntoArea(c.rect, area)) << c.rect.left << "," << c.rect.top;
    EXPECT_EQ(CRect(100, 60, 1000, 680), CZentrovaDlg::FitIntoArea(CRect(50, 0, 950, 620), CRect(100, 60, 1380, 1084)));
}

TEST(MenuPadding, TrailingBlanksByWindowsVersion)
{
    EXPECT_EQ(CNewMenuHook::VersionClass() + 1, GetWindowsVersionClass());
    struct Case { int versionClass; UINT id; const char* want; };
    const Case cases[] = {
        {8, ID_FILE_EXIT, "&Exit          "},
        {7, ID_SEARCH_COPY_RESULTS, "&Copy Results To Clipboard          "},
        {8, ID_TOOLS_PREFERENCES, "P&references"},
        {4, ID_TOOLS_PREFERENCES, "&Preferences       "},
        {4, ID_HELP_CHECK_UPDATES, "Check For &Updates       "},
        {4, ID_FILE_EXIT, "E&xit"},
        {3, ID_FILE_EXIT, "E&xit"},
        {6, ID_SEARCH_COPY_RESULTS, "Copy Results To Clipboard"},
    };
    for (const Case& c : cases) {
        HMENU hMenu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_MENU));
        ASSERT_NE(nullptr, hMenu);
        CZentrovaDlg::PadMenuForVersion(hMenu, c.versionClass);
        char text[128] = {};
        ::GetMenuStringA(hMenu, c.id, text, sizeof text, MF_BYCOMMAND);
        EXPECT_STREQ(c.want, text) << c.versionClass << " " << c.id;
        ::DestroyMenu(hMenu);
    }
}

TEST_F(MainDialogTest, SearchButtonAndSearchMenuShowTheSearchPaneAndItsPages)
{
    CSearchSessions::s_bChooserOffered = false;
    ASSERT_TRUE(CopyFileA(ShippedFile("Download.cfg"), AppFile("Download.cfg"), FALSE));
    CZentrovaDlg dlg;
    Run(dlg, [&] {
        CSearchContainer& pane = dlg.GetSearchPane();
        ASSERT_TRUE(pane.m_hWnd != nullptr);
        EXPECT_FALSE(pane.IsWindowVisible());
        EXPECT_EQ(pane.GetResultsPage().m_pDownloadManager, &dlg.GetProjectPane().GetDownloadManager());
        EXPECT_EQ(pane.GetLastLocationIndex(), -1);

        // The first showing in a run offers the session chooser over the painted pane; it
        // is closed here with Cancel, which leaves the pane as it was.
        int choosers = 0;
        testsupport::WhenDialogShows(
            [&](HWND hChooser) {
                ++choosers;
                EXPECT_EQ(::GetParent(hChooser), dlg.GetSafeHwnd()) << "owned by the main window";
                testsupport::PressDialogButton(hChooser, IDCANCEL);
            },
            "Search Session");
        dlg.SendMessage(WM_COMMAND, IDC_SEARCH_BUTTON, 0);
        EXPECT_TRUE(pane.IsWindowVisible());
        EXPECT_FALSE(dlg.GetProjectPane().IsWindowVisible());
        EXPECT_TRUE(testsupport::PumpUntil([&] { return choosers == 1; }, 10000));
        // The first showing builds the first location's forms.
        EXPECT_EQ(pane.GetLastLocationIndex(), pane.GetLocationCombo().GetCount() > 0 ? 0 : -1);
        struct
        {
            UINT command;
            int page;
        } pages[] = {{ID_SEARCH_RESULTS, 2}, {ID_SEARCH_ADVANCED, 1}, {ID_SEARCH_REPORT, 3},
                     {ID_SEARCH_SAVED_REPORT, 4}, {ID_SEARCH_BASIC, 0}};
        for (const auto& p : pages) {
            dlg.SendMessage(WM_COMMAND, IDC_PROJECTS_BUTTON, 0);
            EXPECT_FALSE(pane.IsWindowVisible());
            dlg.SendMessage(WM_COMMAND, p.command, 0);
            EXPECT_TRUE(pane.IsWindowVisible()) << p.command;
            EXPECT_EQ(pane.GetSheet().GetActiveIndex(), p.page) << p.command;
        }
        dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        testsupport::PumpMessages(300);
        EXPECT_EQ(choosers, 1) << "the chooser is offered once per run";
        CString why;
        testsupport::SaveScreenshot(ScreenshotPath("main-window-search-pane.png"), &why);
        dlg.SendMessage(WM_COMMAND, ID_FILE_EXIT, 0);
    });
    // The close road stopped the search thread and stored the results' column widths.
    EXPECT_TRUE(dlg.GetSearchPane().IsSearchThreadEnded());
    CString options = ReadDeciphered(AppFile("config2.cfg"));
    const int at = options.Find("<Option Name=\"SearchResultWidths\">");
    ASSERT_GE(at, 0);
    const CString stored = options.Mid(at + 34, 12);
    EXPECT_TRUE(stored[0] >= '0' && stored[0] <= '9') << stored.GetString();
}
