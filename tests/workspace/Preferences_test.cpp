// The Preferences dialog on the options of the test program's config2.cfg and a project
// pane with a small library: every control shown from its option and written back by OK,
// Cancel reading the file back (also after Select), the folder and sound pickers driven
// through their windows, the refusals of bad counts and of a download folder that cannot be
// made, and Move with its question and balloon. Also the painted background of the dialogs,
// and screenshots of Preferences and Save Files To.
#include "PaneFixture.h"

#include "DialogBackground.h"
#include "Preferences.h"
#include "SaveFilesTo.h"

#include <shlobj.h>

#include <functional>

using namespace workspacetest;
using namespace testsupport;

namespace {

// The dialog with its controls open to the test, its message boxes and balloons recorded.
class CTestPreferences : public CPreferences
{
public:
    using CPreferences::m_checkAllDownloadsSound;
    using CPreferences::m_checkEachDownloadSound;
    using CPreferences::m_checkErrorSound;
    using CPreferences::m_checkRetry;
    using CPreferences::m_checkSearchSession;
    using CPreferences::m_labelHeading;
    using CPreferences::m_labelWait;
    using CPreferences::m_radioNotifyEach;
    using CPreferences::m_radioNotifyLast;
    using CPreferences::m_radioNotifyNever;

    std::vector<std::string> boxes;    // "caption|text"
    std::vector<std::string> balloons; // "caption|text"
    std::vector<CPoint> anchors;
    std::vector<CWnd*> balloonParents;
    std::vector<CWnd*> boxOwners;
    int answer = IDYES;

protected:
    int ShowMessageBox(CWnd* pOwner, const CString& strText, const char* caption, UINT /*nType*/) override
    {
        boxOwners.push_back(pOwner);
        boxes.push_back(std::string(caption) + "|" + strText.GetString());
        return answer;
    }
    void ShowBalloon(const char* caption, const CString& strText, const CPoint& ptAnchor, CWnd* pParent) override
    {
        balloons.push_back(std::string(caption) + "|" + strText.GetString());
        anchors.push_back(ptAnchor);
        balloonParents.push_back(pParent);
    }
};

CString Text(HWND hDlg, int nID)
{
    return WindowText(::GetDlgItem(hDlg, nID));
}

void Click(HWND hDlg, int nID)
{
    ::SendDlgItemMessageA(hDlg, nID, BM_CLICK, 0, 0);
}

CString LongPath(const CString& path)
{
    char buffer[MAX_PATH] = {};
    return ::GetLongPathNameA(path, buffer, MAX_PATH) ? CString(buffer) : path;
}

class PreferencesTest : public PaneFixture
{
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        if (HasFatalFailure())
            return;
        Store({{"SavePath", Downloads()}});
    }

    CString Downloads() const { return m_downloads.Path() + "\\"; }

    // Two documents with their files in the download folder, and a saved report.
    CString ProjectText() override
    {
        const char* names[] = {"US2000001", "US2000002"};
        std::string xml = "<?xml version=\"1.0\"?>\r\n<Project Name=\"Project Folders\"><Folders>"
                          "<Folder UID=\"1\" Name=\"NEW DOWNLOADS\" ParentUID=\"ROOT\"/></Folders><Shorts/><Documents>";
        for (const char* name : names) {
            const CString pdf = Downloads() + name + "\\" + name + ".pdf";
            ::CreateDirectoryA(Downloads() + name, nullptr);
            EXPECT_TRUE(WriteBytes(pdf, std::string("%PDF ") + name));
            xml += std::string("<Document Name=\"") + name + "\" ParentUID=\"1\" DocumentTitle=\"T\" UID=\"DOCUID" +
                   name + "\" DownloadDate=\"90000000\" FirstPage=\"0\" Wrapper=\"0\"><XMLCatalog><CatalogItem " +
                   "Title=\"\" FilePath=\"" + pdf.GetString() + "\" FileType=\"PDF\"/></XMLCatalog></Document>";
        }
        ::CreateDirectoryA(Downloads() + "Reports", nullptr);
        EXPECT_TRUE(WriteBytes(Downloads() + "Reports\\Report one.pdf", "%PDF report"));
        return CString((xml + "</Documents></Project>").c_str());
    }

    // Writes the options into the store and the file.
    void Store(const std::vector<std::pair<const char*, CString>>& options)
    {
        for (const auto& o : options)
            ASSERT_EQ(1, m_pOptions->SetOptionValue(o.first, o.second)) << o.first;
        m_pOptions->Save();
    }

    // Runs the dialog modally on the test's options and pane; during(hDlg) runs once it
    // shows and must end it. A dialog still open after 30 s is ended with -2.
    INT_PTR Run(CTestPreferences& dlg, std::function<void(HWND)> during)
    {
        dlg.m_pOptions = m_pOptions;
        dlg.m_pProjectManager = m_pPane;
        WhenDialogShows(std::move(during), "Preferences");
        UINT_PTR safety = AfterDelay(30000, [&dlg] { dlg.EndDialog(-2); });
        const INT_PTR result = dlg.DoModal();
        ::KillTimer(nullptr, safety);
        return result;
    }

    TempDir m_downloads;
};

// The options of the dialog, as a fresh store reads them from the file.
std::map<std::string, std::string> StoredOptions()
{
    CProgramOptions options;
    std::map<std::string, std::string> values;
    for (const char* key : {"SavePath", "SoundAfterDownloadPath", "SoundAfterAllDownloadsPath", "SoundAfterErrorPath",
                            "PlaySoundAfterDownload", "PlaySoundAfterAllDownloads", "PlaySoundAfterError",
                            "NotifyOfFinishedDownloadWhen", "RetryFailedDownloads", "NumberOfAttemptsBeforeFailure",
                            "WaitTimeBetweenAttempts", "Showsearchsessiondialog", "OpsConsumerKey",
                            "OpsConsumerSecret"})
        values[key] = options.GetOptionValue(key).GetString();
    return values;
}

} // namespace

TEST_F(PreferencesTest, EveryControlShowsItsOptionAndOKWritesItBack)
{
    Store({{"SoundAfterDownloadPath", "C:\\Sounds\\each.wav"},
           {"SoundAfterAllDownloadsPath", "C:\\Sounds\\all.wav"},
           {"SoundAfterErrorPath", "C:\\Sounds\\error.wav"},
           {"PlaySoundAfterDownload", "1"},
           {"PlaySoundAfterAllDownloads", "0"},
           {"PlaySoundAfterError", " 1\r\n"},
           {"NotifyOfFinishedDownloadWhen", "2"},
           {"RetryFailedDownloads", "1"},
           {"NumberOfAttemptsBeforeFailure", "3"},
           {"WaitTimeBetweenAttempts", "30"},
           {"Showsearchsessiondialog", "1 "},
           {"OpsConsumerKey", "old-key"},
           {"OpsConsumerSecret", ""}});
    const CString newFolder = m_downloads.Path() + "\\New Library\\2024";
    CTestPreferences dlg;
    std::map<std::string, std::string> shown;
    ASSERT_EQ(IDOK, Run(dlg, [&](HWND h) {
        shown["path"] = Text(h, IDC_PREF_SAVE_PATH).GetString();
        shown["each"] = Text(h, IDC_PREF_SOUND_EACH).GetString();
        shown["all"] = Text(h, IDC_PREF_SOUND_ALL).GetString();
        shown["error"] = Text(h, IDC_PREF_SOUND_ERROR).GetString();
        shown["attempts"] = Text(h, IDC_PREF_ATTEMPTS).GetString();
        shown["wait"] = Text(h, IDC_PREF_WAIT).GetString();
        shown["ops"] = std::string(Text(h, IDC_PREF_OPS_KEY).GetString()) + "|" + Text(h, IDC_PREF_OPS_SECRET).GetString();
        shown["masked"] = (::GetWindowLongPtrA(::GetDlgItem(h, IDC_PREF_OPS_SECRET), GWL_STYLE) & ES_PASSWORD) ? "yes" : "no";
        shown["checks"] = std::to_string(dlg.m_checkEachDownloadSound.GetCheck()) +
                          std::to_string(dlg.m_checkAllDownloadsSound.GetCheck()) +
                          std::to_string(dlg.m_checkErrorSound.GetCheck()) +
                          std::to_string(dlg.m_checkRetry.GetCheck()) +
                          std::to_string(dlg.m_checkSearchSession.GetCheck());
        shown["radios"] = std::to_string(dlg.m_radioNotifyEach.GetCheck()) +
                          std::to_string(dlg.m_radioNotifyLast.GetCheck()) +
                          std::to_string(dlg.m_radioNotifyNever.GetCheck());
        shown["heading"] = dlg.m_labelHeading.GetText().GetString();
        shown["wait label"] = dlg.m_labelWait.GetText().GetString();

        ::SetDlgItemTextA(h, IDC_PREF_SOUND_EACH, "D:\\other\\ding.wav");
        ::SetDlgItemTextA(h, IDC_PREF_SOUND_ALL, "");
        ::SetDlgItemTextA(h, IDC_PREF_SOUND_ERROR, "E:\\error sound.wav");
        for (int id : {IDC_PREF_PLAY_EACH, IDC_PREF_PLAY_ALL, IDC_PREF_PLAY_ERROR, IDC_PREF_RETRY,
                       IDC_PREF_SESSION_DIALOG})
            Click(h, id);
        Click(h, IDC_PREF_NOTIFY_NEVER);
        ::SetDlgItemTextA(h, IDC_PREF_ATTEMPTS, " 7 ");
        ::SetDlgItemTextA(h, IDC_PREF_WAIT, "45");
        ::SetDlgItemTextA(h, IDC_PREF_SAVE_PATH, newFolder);
        ::SetDlgItemTextA(h, IDC_PREF_OPS_KEY, " Kq7XmW2vT9 ");
        ::SetDlgItemTextA(h, IDC_PREF_OPS_SECRET, "s3cr3t\t");
        Click(h, IDOK);
    }));
    EXPECT_EQ(Downloads().GetString(), shown["path"]);
    EXPECT_EQ("C:\\Sounds\\each.wav", shown["each"]);
    EXPECT_EQ("C:\\Sounds\\all.wav", shown["all"]);
    EXPECT_EQ("C:\\Sounds\\error.wav", shown["error"]);
    EXPECT_EQ("3", shown["attempts"]);
    EXPECT_EQ("30", shown["wait"]);
    EXPECT_EQ("old-key|", shown["ops"]);
    EXPECT_EQ("yes", shown["masked"]);
    EXPECT_EQ("10110", shown["checks"]); // the session box reads "1 " as not set
    EXPECT_EQ("010", shown["radios"]);
    EXPECT_EQ("Here you can adjust specific Zentrova settings. Adjust how and when Zentrova will notify you of "
              "successful or failed downloads, and much more!",
              shown["heading"]);
    EXPECT_EQ("Wait time between attempts (sec)", shown["wait label"]);
    EXPECT_TRUE(dlg.boxes.empty());

    const std::map<std::string, std::string> expected = {
        {"SavePath", (newFolder + "\\").GetString()},
        {"SoundAfterDownloadPath", "D:\\other\\ding.wav"},
        {"SoundAfterAllDownloadsPath", ""},
        {"SoundAfterErrorPath", "E:\\error sound.wav"},
        {"PlaySoundAfterDownload", "0"},
        {"PlaySoundAfterAllDownloads", "1"},
        {"PlaySoundAfterError", "0"},
        {"NotifyOfFinishedDownloadWhen", "3"},
        {"RetryFailedDownloads", "0"},
        {"NumberOfAttemptsBeforeFailure", "7"},
        {"WaitTimeBetweenAttempts", "45"},
        {"Showsearchsessiondialog", "1"},
        {"OpsConsumerKey", "Kq7XmW2vT9"},
        {"OpsConsumerSecret", "s3cr3t"},
    };
    EXPECT_EQ(expected, StoredOptions());
    // The new download folder was made, every level of it.
    const DWORD attributes = ::GetFileAttributesA(newFolder);
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(PreferencesTest, TheNotificationChoiceIsOneOfThreeOrNone)
{
    struct Case
    {
        const char* stored;
        const char* radios;     // each, last, never as shown
        const char* afterClick; // after clicking Last, then Each
    };
    const Case cases[] = {{"1", "100", "100"}, {"3", "001", "100"}, {"0", "000", "100"}, {"", "000", "100"},
                          {"4", "000", "100"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Store({{"NotifyOfFinishedDownloadWhen", c.stored}});
        CTestPreferences dlg;
        std::string radios;
        ASSERT_EQ(IDOK, Run(dlg, [&](HWND h) {
            radios = std::to_string(dlg.m_radioNotifyEach.GetCheck()) +
                     std::to_string(dlg.m_radioNotifyLast.GetCheck()) +
                     std::to_string(dlg.m_radioNotifyNever.GetCheck());
            Click(h, IDOK);
        }));
        EXPECT_EQ(c.radios, radios);
        // With no radio checked OK leaves the option as it was.
        EXPECT_EQ(c.stored, StoredOptions()["NotifyOfFinishedDownloadWhen"]);

        CTestPreferences again;
        ASSERT_EQ(IDCANCEL, Run(again, [&](HWND h) {
            Click(h, IDC_PREF_NOTIFY_LAST);
            Click(h, IDC_PREF_NOTIFY_EACH);
            radios = std::to_string(again.m_radioNotifyEach.GetCheck()) +
                     std::to_string(again.m_radioNotifyLast.GetCheck()) +
                     std::to_string(again.m_radioNotifyNever.GetCheck());
            Click(h, IDCANCEL);
        }));
        EXPECT_EQ(c.afterClick, radios);
    }
}

TEST_F(PreferencesTest, CancelReadsTheFileBackAlsoAfterSelect)
{
    TempDir picked;
    const std::string before = RawBytes(AppFile("config2.cfg"));
    CTestPreferences dlg;
    CString shownAfterPick, heldAfterPick, shownAfterRoot;
    ASSERT_EQ(IDCANCEL, Run(dlg, [&](HWND h) {
        PickInFolderBrowser(picked.Path(), h);
        Click(h, IDC_PREF_SELECT_PATH);
        shownAfterPick = Text(h, IDC_PREF_SAVE_PATH);
        heldAfterPick = m_pOptions->GetOptionValue("SavePath");
        // A drive root keeps its one backslash.
        PickInFolderBrowser("C:\\", h);
        Click(h, IDC_PREF_SELECT_PATH);
        shownAfterRoot = Text(h, IDC_PREF_SAVE_PATH);
        // A cancelled picker changes nothing.
        WhenDialogShows([](HWND hPicker) { ::PostMessageA(hPicker, WM_COMMAND, IDCANCEL, 0); }, nullptr, h);
        Click(h, IDC_PREF_SELECT_PATH);
        EXPECT_EQ(shownAfterRoot, Text(h, IDC_PREF_SAVE_PATH));
        Click(h, IDC_PREF_RETRY);
        ::SetDlgItemTextA(h, IDC_PREF_WAIT, "12");
        Click(h, IDCANCEL);
    }));
    EXPECT_EQ(0, LongPath(picked.Path() + "\\").CompareNoCase(LongPath(shownAfterPick))) << shownAfterPick.GetString();
    EXPECT_EQ(shownAfterPick, heldAfterPick); // in the options, not yet in the file
    EXPECT_EQ(CString("C:\\"), shownAfterRoot);
    EXPECT_EQ(Downloads(), m_pOptions->GetOptionValue("SavePath"));
    EXPECT_EQ(before, RawBytes(AppFile("config2.cfg")));
}

TEST_F(PreferencesTest, FindPutsTheChosenSoundIntoItsField)
{
    TempDir sounds;
    const CString wav = sounds.File("ding.wav");
    ASSERT_TRUE(WriteBytes(wav, "RIFF"));
    struct Case
    {
        int button;
        int field;
    };
    const Case cases[] = {{IDC_PREF_FIND_SOUND_EACH, IDC_PREF_SOUND_EACH},
                          {IDC_PREF_FIND_SOUND_ALL, IDC_PREF_SOUND_ALL},
                          {IDC_PREF_FIND_SOUND_ERROR, IDC_PREF_SOUND_ERROR}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        CTestPreferences dlg;
        CString afterCancel, afterPick, title;
        ASSERT_EQ(IDCANCEL, Run(dlg, [&](HWND h) {
            ::SetDlgItemTextA(h, c.field, "C:\\before.wav");
            WhenDialogShows([](HWND hOpen) { ::PostMessageA(hOpen, WM_COMMAND, IDCANCEL, 0); }, nullptr, h);
            Click(h, c.button);
            afterCancel = Text(h, c.field);
            WhenDialogShows(
                [&](HWND hOpen) {
                    title = WindowText(hOpen);
                    ChooseInFileDialog(hOpen, wav);
                },
                nullptr, h);
            Click(h, c.button);
            afterPick = Text(h, c.field);
            Click(h, IDCANCEL);
        }));
        EXPECT_EQ(CString("C:\\before.wav"), afterCancel);
        EXPECT_EQ(0, LongPath(wav).CompareNoCase(LongPath(afterPick))) << afterPick.GetString();
    }
}

TEST_F(PreferencesTest, OKRefusesBadCountsAndAFolderThatCannotBeMade)
{
    TempDir work;
    ASSERT_TRUE(WriteBytes(work.File("a file"), "x"));
    const char* attempts = "The number of attempts before failure must be a whole number from 1 to 99999.";
    const char* wait = "The wait time between attempts must be a whole number of seconds from 1 to 99999.";
    const char* empty = "Please enter the folder where new documents will be saved.";
    const CString underFile = work.File("a file") + "\\Downloads";
    const std::string cannot =
        std::string("The folder \"") + underFile.GetString() +
        "\" cannot be created. Please choose a folder where new documents can be saved.";
    struct Case
    {
        const char* attempts;
        const char* wait;
        CString path;
        std::string message;
    };
    const Case cases[] = {
        {"abc", "30", Downloads(), attempts},   {"0", "30", Downloads(), attempts},
        {"-3", "30", Downloads(), attempts},    {"", "30", Downloads(), attempts},
        {"5 sec", "30", Downloads(), attempts}, {"100000", "30", Downloads(), attempts},
        {"3", "0", Downloads(), wait},          {"3", "2.5", Downloads(), wait},
        {"3", "+4", Downloads(), wait},         {"3", "30", "  ", empty},
        {"3", "30", underFile, cannot},
        {"3", "30", "relative\\Downloads",
         "The folder \"relative\\Downloads\" cannot be created. Please choose a folder where new documents can be "
         "saved."},
    };
    const std::string before = RawBytes(AppFile("config2.cfg"));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.attempts) + " / " + c.wait + " / " + c.path.GetString());
        CTestPreferences dlg;
        bool bStillOpen = false;
        ASSERT_EQ(IDCANCEL, Run(dlg, [&](HWND h) {
            ::SetDlgItemTextA(h, IDC_PREF_ATTEMPTS, c.attempts);
            ::SetDlgItemTextA(h, IDC_PREF_WAIT, c.wait);
            ::SetDlgItemTextA(h, IDC_PREF_SAVE_PATH, c.path);
            Click(h, IDOK);
            bStillOpen = ::IsWindowVisible(h) != FALSE;
            Click(h, IDCANCEL);
        }));
        EXPECT_TRUE(bStillOpen);
        ASSERT_EQ(1u, dlg.boxes.size());
        EXPECT_EQ("Preferences|" + c.message, dlg.boxes[0]);
        EXPECT_EQ(before, RawBytes(AppFile("config2.cfg")));
    }
    EXPECT_FALSE(FileExists(underFile));

    int value = 0;
    for (const char* good : {"1", " 12 ", "99999", "007"})
        EXPECT_TRUE(CPreferences::ParseCount(good, value)) << good;
    EXPECT_EQ(7, value);
}

TEST_F(PreferencesTest, MoveAsksThenMovesTheLibraryAndSaysHowItWent)
{
    TempDir targets;
    const CString target = targets.Path() + "\\Moved\\Library";
    const CString oldPdf = Downloads() + "US2000001\\US2000001.pdf";
    const CString newPdf = target + "\\US2000001\\US2000001.pdf";

    CTestPreferences dlg;
    dlg.answer = IDNO;
    std::vector<std::string> afterNo;
    CPoint expectedAnchor;
    ASSERT_EQ(IDCANCEL, Run(dlg, [&](HWND h) {
        ::SetDlgItemTextA(h, IDC_PREF_SAVE_PATH, target);
        Click(h, IDC_PREF_MOVE);
        afterNo = dlg.boxes;
        afterNo.push_back(FileExists(oldPdf) ? "kept" : "moved");
        // Yes moves everything and says so at the pointer's place over the main window.
        dlg.answer = IDYES;
        ::SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(30, 40));
        CPoint point(30, 40);
        ::ClientToScreen(h, &point);
        m_host.ScreenToClient(&point);
        expectedAnchor = point;
        Click(h, IDC_PREF_MOVE);
        // Cancel keeps the move.
        Click(h, IDCANCEL);
    }));
    ASSERT_EQ(2u, afterNo.size());
    EXPECT_EQ(std::string("Are you sure..?|This will move all documents to the target directory\r\n '") +
                  target.GetString() + "'.\r\n\r\nAre you sure you want to do this?",
              afterNo[0]);
    EXPECT_EQ("kept", afterNo[1]);
    ASSERT_EQ(2u, dlg.boxOwners.size());
    EXPECT_EQ(&m_host, dlg.boxOwners[0]);
    ASSERT_EQ(1u, dlg.balloons.size());
    EXPECT_EQ("Move Documents...|Your documents were moved successfully!", dlg.balloons[0]);
    EXPECT_EQ(expectedAnchor, dlg.anchors[0]);
    EXPECT_EQ(&m_host, dlg.balloonParents[0]);
    EXPECT_FALSE(FileExists(oldPdf));
    EXPECT_EQ("%PDF US2000001", RawBytes(newPdf));
    EXPECT_EQ("%PDF report", RawBytes(target + "\\Reports\\Report one.pdf"));
    // The store was written with the new paths; the download folder option is unchanged.
    EXPECT_EQ(newPdf, Attribute(StoredProject()->selectSingleNode(
                                    L"/Project/Documents/Document[@Name='US2000001']/XMLCatalog/CatalogItem"),
                                "FilePath"));
    EXPECT_EQ(Downloads(), CProgramOptions().GetOptionValue("SavePath"));
}

TEST_F(PreferencesTest, AFailedMoveSaysSoAndKeepsWhatMoved)
{
    TempDir targets;
    const CString target = targets.Path() + "\\Library\\";
    const CString lockedPdf = Downloads() + "US2000002\\US2000002.pdf";
    CTestPreferences dlg;
    {
        LockedFile locked(lockedPdf);
        ASSERT_TRUE(locked.IsHeld());
        ASSERT_EQ(IDCANCEL, Run(dlg, [&](HWND h) {
            ::SetDlgItemTextA(h, IDC_PREF_SAVE_PATH, target);
            Click(h, IDC_PREF_MOVE);
            Click(h, IDCANCEL);
        }));
    }
    ASSERT_EQ(1u, dlg.balloons.size());
    EXPECT_EQ("Move Documents...|An error occured attempting to move your files.", dlg.balloons[0]);
    // Whatever moved before the failure is in the store.
    IXMLDOMDocument2Ptr stored = StoredProject();
    const CString first = Attribute(
        stored->selectSingleNode(L"/Project/Documents/Document[@Name='US2000001']/XMLCatalog/CatalogItem"), "FilePath");
    EXPECT_EQ(target + "US2000001\\US2000001.pdf", first);
    EXPECT_TRUE(FileExists(first));
    EXPECT_EQ(lockedPdf, Attribute(stored->selectSingleNode(
                                       L"/Project/Documents/Document[@Name='US2000002']/XMLCatalog/CatalogItem"),
                                   "FilePath"));
    EXPECT_TRUE(FileExists(lockedPdf));
}

TEST_F(PreferencesTest, TheMainWindowsCommandAppliesTheOptionsAfterOKAndAfterCancel)
{
    Store({{"RetryFailedDownloads", "0"},
           {"NumberOfAttemptsBeforeFailure", "3"},
           {"WaitTimeBetweenAttempts", "30"},
           {"NotifyOfFinishedDownloadWhen", "1"},
           {"PlaySoundAfterError", "0"}});
    ClosePane();
    m_host.ShowWindow(SW_HIDE);
    CTestMainDlg dlg;
    std::vector<std::string> applied;
    EXPECT_EQ(IDOK, RunMainWindow(dlg, [&] {
        CDownloadManager& queue = dlg.GetProjectPane().GetDownloadManager();
        const auto note = [&] {
            applied.push_back(std::to_string(queue.m_nRetryFailed) + " " + std::to_string(queue.m_nAttemptLimit) +
                              " " + std::to_string(queue.m_nWaitBetweenAttempts) + " " +
                              std::to_string(dlg.GetProjectPane().m_nNotifyMode) + " " +
                              (dlg.GetProjectPane().m_bPlaySoundAfterError ? "sound" : "quiet"));
        };
        note();
        WhenDialogShows(
            [](HWND h) {
                Click(h, IDC_PREF_RETRY);
                Click(h, IDC_PREF_PLAY_ERROR);
                Click(h, IDC_PREF_NOTIFY_LAST);
                ::SetDlgItemTextA(h, IDC_PREF_ATTEMPTS, "9");
                ::SetDlgItemTextA(h, IDC_PREF_WAIT, "12");
                Click(h, IDOK);
            },
            "Preferences");
        dlg.SendMessage(WM_COMMAND, ID_TOOLS_PREFERENCES, 0);
        note();
        // Cancel puts the file's values back, and the panes get them again.
        WhenDialogShows(
            [](HWND h) {
                ::SetDlgItemTextA(h, IDC_PREF_ATTEMPTS, "5");
                Click(h, IDCANCEL);
            },
            "Preferences");
        dlg.SendMessage(WM_COMMAND, ID_TOOLS_PREFERENCES, 0);
        note();
        dlg.SendMessage(WM_COMMAND, ID_FILE_EXIT, 0);
    }));
    const std::vector<std::string> expected = {"0 3 30000 1 quiet", "1 9 12000 2 sound", "1 9 12000 2 sound"};
    EXPECT_EQ(expected, applied);
    EXPECT_EQ("9", StoredOptions()["NumberOfAttemptsBeforeFailure"]);
}

// ---------------------------------------------------------------- the painted background

TEST_F(PreferencesTest, TheBackgroundFramesEveryGroupBoxEvenHidden)
{
    CSaveFilesTo dialog;
    ASSERT_TRUE(dialog.Create(IDD_SAVE_FILES_TO));
    CRect client;
    dialog.GetClientRect(&client);
    // The first group box, hidden as the template has it, its caption emptied.
    HWND hGroup = nullptr;
    for (HWND h = ::GetWindow(dialog.m_hWnd, GW_CHILD); h && !hGroup; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if ((::GetWindowLongPtrA(h, GWL_STYLE) & 0xF) == BS_GROUPBOX)
            hGroup = h;
    }
    ASSERT_NE(nullptr, hGroup);
    ASSERT_FALSE(::IsWindowVisible(hGroup));
    ::SetWindowTextA(hGroup, "");
    CRect group;
    ::GetWindowRect(hGroup, &group);
    dialog.ScreenToClient(&group);

    CClientDC screen(&dialog);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, client.Width(), client.Height()));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    EXPECT_TRUE(PaintDialogBackground(&dc, dialog, client, kSaveFilesToInsets));

    const COLORREF ground = RGB(220, 215, 185), panel = RGB(236, 233, 216), frame = RGB(196, 185, 128);
    struct Point
    {
        const char* what;
        int x, y;
        COLORREF colour;
    };
    const int y = group.top + 5;
    const Point points[] = {
        {"the ground", 2, 2, ground},
        {"the panel's light edge", 5, 20, RGB(255, 255, 255)},
        {"the panel's dark edge", client.Width() - 6, 20, frame},
        {"the panel", client.Width() / 2, client.Height() - 8, panel},
        {"the frame's top left", group.left + 10, y, frame},
        {"the gap of an empty caption", group.left + 20, y, panel},
        {"the frame's top right", group.left + 30, y, frame},
        {"the frame's right side", group.right, group.top + 20, frame},
        {"the frame's bottom", group.left + 30, group.bottom, frame},
        {"inside the frame", group.left + 60, group.top + 20, panel},
    };
    for (const Point& p : points)
        EXPECT_EQ(p.colour, dc.GetPixel(p.x, p.y)) << p.what << " at " << p.x << "," << p.y;
    dc.SelectObject(pOld);
    dialog.DestroyWindow();
}

// ---------------------------------------------------------------- screenshots

TEST_F(PreferencesTest, ScreenshotsOfPreferencesAndSaveFilesTo)
{
    Store({{"SoundAfterDownloadPath", "C:\\Program Files\\Zentrova\\SingleDownload.wav"},
           {"SoundAfterAllDownloadsPath", "C:\\Program Files\\Zentrova\\AllDone.wav"},
           {"SoundAfterErrorPath", "C:\\Program Files\\Zentrova\\Error.wav"},
           {"PlaySoundAfterDownload", "1"},
           {"PlaySoundAfterError", "1"},
           {"NotifyOfFinishedDownloadWhen", "2"},
           {"RetryFailedDownloads", "1"},
           {"NumberOfAttemptsBeforeFailure", "3"},
           {"WaitTimeBetweenAttempts", "30"},
           {"Showsearchsessiondialog", "1"},
           {"OpsConsumerKey", "Kq7XmW2vT9"},
           {"OpsConsumerSecret", "s3cr3t"}});
    m_host.ShowWindow(SW_HIDE);
    CString why;
    bool saved = false;
    CTestPreferences dlg;
    ASSERT_EQ(IDCANCEL, Run(dlg, [&](HWND h) {
        ::SetWindowPos(h, HWND_TOP, 30, 30, 0, 0, SWP_NOSIZE);
        PumpMessages(300);
        saved = SaveScreenshot(ScreenshotPath("preferences.png"), &why);
        Click(h, IDCANCEL);
    }));
    CSaveFilesTo save;
    bool savedToo = false;
    WhenDialogShows(
        [&](HWND h) {
            ::SetWindowPos(h, HWND_TOP, 30, 30, 0, 0, SWP_NOSIZE);
            ::SetDlgItemTextA(h, IDC_SAVE_PATH, "C:\\Client files\\Acme");
            Click(h, IDC_SAVE_ONLY_PDF);
            Click(h, IDC_SAVE_OVERWRITE);
            PumpMessages(300);
            savedToo = SaveScreenshot(ScreenshotPath("save-files-to.png"), &why);
            Click(h, IDCANCEL);
        },
        "Save Files To...");
    EXPECT_EQ(IDCANCEL, save.DoModal());
    if (!saved || !savedToo)
        GTEST_SKIP() << "no screenshot: " << why.GetString();
}
