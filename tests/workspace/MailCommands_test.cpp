// Mailing and saving the selected documents over a small library whose files lie in
// temporary folders: the mail as the MAPI32.DLL test double receives it (attachments with
// their titles, subject, body), the logon failures, the Save Files To dialog with its
// choices and its refusal of an empty path, the copies with and without overwriting and
// their collected failures, and the main window's forwarded items with their update rules.
#include "PaneFixture.h"

#include "MapiDouble.h"
#include "SaveFilesTo.h"
#include "TextHelpers.h"

#include <shlobj.h>

#include <set>

using namespace workspacetest;
using namespace testsupport;

namespace {

testing::Environment* const g_mapiDouble = testing::AddGlobalTestEnvironment(new MapiDoubleEnvironment);

struct BoxCall
{
    HWND hOwner;
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<BoxCall> g_boxes;

int WINAPI RecordMessageBox(HWND hOwner, LPCSTR text, LPCSTR caption, UINT type)
{
    g_boxes.push_back(BoxCall{hOwner, text ? text : "", caption ? caption : "", type});
    return IDOK;
}

bool MakeFolders(const CString& path)
{
    return ::SHCreateDirectoryExA(nullptr, path, nullptr) == ERROR_SUCCESS ||
           ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const CString& path, const char* bytes)
{
    MakeFolders(path.Left(path.ReverseFind('\\')));
    ASSERT_TRUE(WriteBytes(path, bytes)) << path.GetString();
}

// The system's text for an error code, as the copy report writes it.
std::string SystemText(DWORD code)
{
    char text[256] = {};
    ::SetLastError(code);
    return GetLastErrorText(text, 255);
}

// One record: name, title, and its items (type, path under the download folder D\ or the
// user's folder U\; a path starting "gone" names a file that does not exist).
struct Record
{
    const char* name;
    const char* uid;
    const char* title;
    std::vector<std::pair<const char*, const char*>> items;
};

// NEW DOWNLOADS: a document with a PDF and an HTML file, one with a PDF only, a file linked
// from the user's folder, a document whose PDF has the first one's file name, a record
// without files and one whose PDF is gone.
const std::vector<Record>& Library()
{
    static const std::vector<Record> records = {
        {"US1000001", "DOCUID1", "Folding ladder",
         {{"PDF", "D\\US1000001\\US1000001.pdf"}, {"HTML", "D\\US1000001\\US1000001.html"}}},
        {"US1000002", "DOCUID2", "Hinge & bracket", {{"PDF", "D\\US1000002\\US1000002.pdf"}}},
        {"notes.doc", "AOF3", "My notes", {{"OTHER", "U\\Papers\\notes.doc"}}},
        {"EP1000004", "DOCUID4", "Same file name", {{"PDF", "D\\Copies\\US1000001.pdf"}}},
        {"US1000005", "DOCUID5", "No files", {}},
        {"US1000006", "DOCUID6", "Gone", {{"PDF", "gone\\US1000006.pdf"}}},
    };
    return records;
}

class MailCommandsTest : public PaneFixture
{
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_pOptions->SetOptionValue("SavePath", Downloads());
        m_pOptions->Save();
        Manager().m_pOptions = m_pOptions;
        CPatentManager::s_pfnMessageBox = &RecordMessageBox;
        g_boxes.clear();
        ClearMapiLog();
        SetMapiAnswers(nullptr);
        Select(Tree().FindItemByUid("1", Control(), Control().GetRootItem()));
    }

    void TearDown() override
    {
        CPatentManager::s_pfnMessageBox = &::MessageBoxA;
        SetMapiAnswers(nullptr);
        PutMapiLibrary(MapiLibrary::Double);
        PaneFixture::TearDown();
    }

    CString Downloads() const { return m_downloads.Path() + "\\"; }
    CString Real(const char* path) const
    {
        const CString p = path;
        if (p.Left(2) == "D\\")
            return Downloads() + p.Mid(2);
        if (p.Left(2) == "U\\")
            return m_user.Path() + "\\" + p.Mid(2);
        return Downloads() + p.Mid(5); // "gone\\": a file that is not there
    }
    // The file of a record's item of that type; its content is the path's last part and
    // the record's name.
    CString FileOf(const char* name, const char* type) const
    {
        for (const Record& r : Library()) {
            for (const auto& item : r.items) {
                if (CString(r.name) == name && CString(item.first) == type)
                    return Real(item.second);
            }
        }
        return CString();
    }
    static std::string ContentOf(const Record& r, const char* path)
    {
        return std::string(r.name) + ":" + path;
    }

    CString ProjectText() override
    {
        std::string xml = "<?xml version=\"1.0\"?>\r\n<Project Name=\"Project Folders\"><Folders>"
                          "<Folder UID=\"1\" Name=\"NEW DOWNLOADS\" ParentUID=\"ROOT\"/></Folders><Shorts/>"
                          "<Documents>";
        int date = 90000000;
        for (const Record& r : Library()) {
            xml += std::string("<Document Name=\"") + r.name + "\" ParentUID=\"1\" DocumentTitle=\"" +
                   EscapeXml(r.title).GetString() + "\" DocumentInventor=\"\" DocumentAssignee=\"\" DownloadDate=\"" +
                   std::to_string(date--) + "\" TotalSize=\"\" UID=\"" + r.uid +
                   "\" FirstPage=\"0\" Wrapper=\"0\"><XMLCatalog>";
            for (const auto& item : r.items) {
                const CString path = Real(item.second);
                if (CString(item.second).Left(4) != "gone")
                    MakeFile(path, ContentOf(r, item.second).c_str());
                xml += std::string("<CatalogItem Title=\"\" FilePath=\"") + path.GetString() +
                       "\" DownloadSourceName=\"OPS\" FileSize=\"7\" FileType=\"" + item.first + "\"/>";
            }
            xml += "</XMLCatalog></Document>";
        }
        xml += "</Documents></Project>";
        return CString(xml.c_str());
    }

    CPatentManager& Manager() { return m_pPane->GetPatentManager(); }
    CMyListCtrl& List() { return Manager().GetList(); }
    int Row(const char* name)
    {
        for (int row = 0; row < List().GetItemCount(); ++row) {
            if (List().GetItemText(row, 1) == name)
                return row;
        }
        return -1;
    }
    void SelectRows(std::initializer_list<const char*> names)
    {
        List().SetItemState(-1, 0, LVIS_SELECTED);
        for (const char* name : names) {
            ASSERT_GE(Row(name), 0) << name;
            List().SetItemState(Row(name), LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    void ListCommand(UINT nID)
    {
        Manager().SendMessage(WM_COMMAND, nID, 0);
        PumpMessages();
    }
    // Runs Save File(s) To... with the dialog filled as the test says: the folder typed, the
    // choice clicked (0 leaves All Documents) and overwriting checked or not.
    void SaveTo(const CString& folder, UINT nChoice, bool bOverwrite)
    {
        bool bShown = false;
        WhenDialogShows(
            [&](HWND h) {
                bShown = true;
                ::SetDlgItemTextA(h, IDC_SAVE_PATH, folder);
                if (nChoice)
                    ::SendDlgItemMessageA(h, nChoice, BM_CLICK, 0, 0);
                if (bOverwrite)
                    ::SendDlgItemMessageA(h, IDC_SAVE_OVERWRITE, BM_CLICK, 0, 0);
                ::SendDlgItemMessageA(h, IDOK, BM_CLICK, 0, 0);
            },
            "Save Files To...");
        ListCommand(ID_FILE_SAVE_FILES_TO);
        EXPECT_TRUE(bShown);
    }

    static std::string Opening()
    {
        return "Please find attached to this e-mail the following patent document(s) that were downloaded using "
               "Zentrova (http://www.quendal.example/):\n\n";
    }
    static std::string Closing()
    {
        return "\n\nA PDF reader is required to view and print the PDF files; you can download one at "
               "http://www.quendal.example/pdf-reader free of charge.";
    }

    TempDir m_downloads;
    TempDir m_user;
};

} // namespace

// ---------------------------------------------------------------- mail

TEST_F(MailCommandsTest, TheMailCarriesTheSelectedFilesWithTheirTitles)
{
    SelectRows({"US1000001", "notes.doc", "US1000005", "US1000002"});
    ListCommand(ID_FILE_EMAIL_DOCUMENTS);
    EXPECT_TRUE(g_boxes.empty());

    const std::vector<MapiCall> calls = MapiCalls();
    ASSERT_EQ(3u, calls.size()) << MapiLogText();
    EXPECT_EQ("MAPILogon", calls[0].Name());
    EXPECT_EQ("(null)", calls[0]["profile"]);
    const MapiCall& send = calls[1];
    ASSERT_EQ("MAPISendMail", send.Name());
    EXPECT_EQ(calls[0]["session"], send["session"]);
    EXPECT_EQ("0x8", send["flags"]); // the mail client's window, in the session held
    EXPECT_EQ("Patent Documents Attached.", send.message["subject"]);
    // The rows top down (the newest first), each with a line; the record without files none.
    const std::string rows[] = {"\tUS1000001\tFolding ladder\n\n", "\tUS1000002\tHinge & bracket\n\n",
                                "\tnotes.doc\tMy notes\n\n"};
    std::string body = Opening();
    for (const std::string& row : rows)
        body += row;
    EXPECT_EQ(MapiEscaped((body + Closing()).c_str()), send.message["note"]);
    EXPECT_EQ("0", send.message["recipients"]); // the user addresses it in the client

    struct File
    {
        CString path;
        const char* title;
    };
    const File files[] = {{FileOf("US1000001", "PDF"), "US1000001.PDF"},
                          {FileOf("US1000001", "HTML"), "US1000001.HTML"},
                          {FileOf("US1000002", "PDF"), "US1000002.PDF"},
                          {FileOf("notes.doc", "OTHER"), "notes.doc"}};
    ASSERT_EQ(std::size(files), send.files.size());
    for (size_t i = 0; i < send.files.size(); ++i) {
        EXPECT_EQ(files[i].path.GetString(), send.files[i]["path"]) << i;
        EXPECT_EQ(files[i].title, send.files[i]["title"]) << i;
        EXPECT_EQ(RawBytes(files[i].path), send.files[i]["content"]) << i;
    }
    // The session ends with the command.
    EXPECT_EQ("MAPILogoff", calls[2].Name());
    EXPECT_EQ(calls[0]["session"], calls[2]["session"]);
}

TEST_F(MailCommandsTest, WithoutASelectionTheMailHasOnlyItsTexts)
{
    List().SetItemState(-1, 0, LVIS_SELECTED);
    ListCommand(ID_FILE_EMAIL_DOCUMENTS);
    const std::vector<MapiCall> sends = MapiCallsOf("MAPISendMail");
    ASSERT_EQ(1u, sends.size());
    EXPECT_EQ("Patent Documents Attached.", sends[0].message["subject"]);
    EXPECT_EQ(MapiEscaped((Opening() + Closing()).c_str()), sends[0].message["note"]);
    EXPECT_EQ("0", sends[0].message["files"]);
}

TEST_F(MailCommandsTest, AFailedLogonSaysSoAndSendsNothing)
{
    struct Case
    {
        const char* what;
        MapiLibrary library;
        const char* answers;
    };
    const Case cases[] = {
        {"the logon and the shared session refused", MapiLibrary::Double, "MAPILogon=3,3"},
        {"the user aborts the logon", MapiLibrary::Double, "MAPILogon=1"},
        {"no MAPI32.DLL", MapiLibrary::Missing, ""},
        {"MAPI32.DLL without MAPIFindNext", MapiLibrary::WithoutFindNext, ""},
    };
    SelectRows({"US1000001"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string why;
        ASSERT_TRUE(PutMapiLibrary(c.library, &why)) << why;
        SetMapiAnswers(c.answers);
        ClearMapiLog();
        g_boxes.clear();
        ListCommand(ID_FILE_EMAIL_DOCUMENTS);
        ASSERT_EQ(1u, g_boxes.size());
        EXPECT_EQ("Sorry, MAPI logon failed. Please make sure you have a default profile setup for MAPI.\n",
                  g_boxes[0].text);
        EXPECT_EQ("Error", g_boxes[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), g_boxes[0].type);
        EXPECT_EQ(m_host.m_hWnd, g_boxes[0].hOwner); // over the main window
        EXPECT_EQ(0u, MapiCallsOf("MAPISendMail").size());
    }
}

// ---------------------------------------------------------------- the Save Files To dialog

namespace {

// The dialog with its message boxes recorded.
class CTestSaveFilesTo : public CSaveFilesTo
{
public:
    std::vector<std::string> boxes;

protected:
    int ShowMessageBox(const CString& strText, const char* caption, UINT nType) override
    {
        boxes.push_back(std::string(caption) + "|" + strText.GetString() + "|" + std::to_string(nType));
        return IDOK;
    }
};

} // namespace

TEST_F(MailCommandsTest, TheDialogReturnsTheChoiceAndRefusesAnEmptyPath)
{
    struct Case
    {
        const char* what;
        std::vector<UINT> clicks;
        const char* typed;
        int all, pdf, html, overwrite;
    };
    const Case cases[] = {
        {"nothing touched but a path", {}, "C:\\Saved", 1, 0, 0, 0},
        {"only HTML, then all documents", {IDC_SAVE_ONLY_HTML, IDC_SAVE_ALL_DOCUMENTS}, "C:\\Saved\\", 1, 0, 0, 0},
        {"only PDF, overwriting", {IDC_SAVE_ONLY_PDF, IDC_SAVE_OVERWRITE}, " d:\\x y ", 0, 1, 0, 1},
        {"only HTML", {IDC_SAVE_ONLY_HTML}, "relative", 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTestSaveFilesTo dialog;
        std::vector<int> radios;
        bool bStillOpen = false;
        WhenDialogShows(
            [&](HWND h) {
                // OK with an empty path is refused and the dialog stays.
                ::SendDlgItemMessageA(h, IDOK, BM_CLICK, 0, 0);
                PumpMessages(50);
                bStillOpen = ::IsWindowVisible(h) != FALSE;
                for (UINT id : c.clicks)
                    ::SendDlgItemMessageA(h, id, BM_CLICK, 0, 0);
                ::SetDlgItemTextA(h, IDC_SAVE_PATH, c.typed);
                ::SendDlgItemMessageA(h, IDOK, BM_CLICK, 0, 0);
            },
            "Save Files To...");
        ASSERT_EQ(IDOK, dialog.DoModal());
        EXPECT_TRUE(bStillOpen);
        ASSERT_EQ(1u, dialog.boxes.size());
        EXPECT_EQ("No path!|Please select a path where the selected documents will be saved.|" +
                      std::to_string(MB_OK | MB_ICONERROR),
                  dialog.boxes[0]);
        EXPECT_EQ(CString(c.typed), dialog.m_strPath); // exactly as typed
        EXPECT_EQ(c.all, dialog.m_bAllDocuments);
        EXPECT_EQ(c.pdf, dialog.m_bOnlyPdf);
        EXPECT_EQ(c.html, dialog.m_bOnlyHtml);
        EXPECT_EQ(c.overwrite, dialog.m_bOverwrite);
    }
}

TEST_F(MailCommandsTest, FindPutsThePickedFolderInThePathAndACancelEmptiesIt)
{
    TempDir target;
    CSaveFilesTo dialog;
    CString afterCancel = "(not read)", afterPick = "(not read)";
    WhenDialogShows(
        [&](HWND h) {
            ::SetDlgItemTextA(h, IDC_SAVE_PATH, "C:\\Typed before");
            WhenDialogShows([](HWND hPicker) { ::PostMessageA(hPicker, WM_COMMAND, IDCANCEL, 0); }, nullptr, h);
            ::SendDlgItemMessageA(h, IDC_SAVE_FIND, BM_CLICK, 0, 0);
            afterCancel = WindowText(::GetDlgItem(h, IDC_SAVE_PATH));
            PickInFolderBrowser(target.Path(), h);
            ::SendDlgItemMessageA(h, IDC_SAVE_FIND, BM_CLICK, 0, 0);
            afterPick = WindowText(::GetDlgItem(h, IDC_SAVE_PATH));
            ::SendDlgItemMessageA(h, IDCANCEL, BM_CLICK, 0, 0);
        },
        "Save Files To...");
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(CString(""), afterCancel);
    char longPick[MAX_PATH] = {}, longTarget[MAX_PATH] = {};
    ::GetLongPathNameA(afterPick, longPick, MAX_PATH);
    ::GetLongPathNameA(target.Path(), longTarget, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiA(longTarget, longPick)) << afterPick.GetString();
}

// ---------------------------------------------------------------- copying

TEST_F(MailCommandsTest, SavingCopiesTheChosenKindsAndLinkedFilesAlways)
{
    struct Case
    {
        const char* what;
        UINT nChoice;
        std::set<std::string> files;
    };
    const Case cases[] = {
        {"all documents", 0, {"notes.doc", "us1000001.html", "us1000001.pdf", "us1000002.pdf"}},
        {"only PDF files", IDC_SAVE_ONLY_PDF, {"notes.doc", "us1000001.pdf", "us1000002.pdf"}},
        {"only HTML files: the linked file too", IDC_SAVE_ONLY_HTML, {"notes.doc", "us1000001.html"}},
    };
    SelectRows({"US1000001", "US1000002", "notes.doc", "US1000005"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir target;
        SaveTo(target.Path(), c.nChoice, false);
        EXPECT_TRUE(g_boxes.empty());
        std::set<std::string> names;
        for (const CString& name : FileNamesIn(target.Path()))
            names.insert(name.GetString());
        EXPECT_EQ(c.files, names);
        EXPECT_EQ(RawBytes(FileOf("notes.doc", "OTHER")), RawBytes(target.File("notes.doc")));
    }
    // A folder given with its backslash gets the same copies.
    TempDir target;
    SaveTo(target.Path() + "\\", IDC_SAVE_ONLY_PDF, false);
    EXPECT_EQ(3, FilesIn(target.Path()));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(MailCommandsTest, FilesThatCannotBeCopiedAreListedInOneMessage)
{
    TempDir target;
    MakeFile(target.File("US1000001.html"), "kept");
    SelectRows({"US1000001", "US1000002", "EP1000004", "US1000006"});
    LockedFile locked(FileOf("US1000002", "PDF"));
    ASSERT_TRUE(locked.IsHeld());

    // Without overwriting: the existing file, the locked one, the second file of the same
    // name and the missing one fail; the rest is still copied.
    SaveTo(target.Path(), 0, false);
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ("Copy Failed", g_boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), g_boxes[0].type);
    EXPECT_EQ(m_host.m_hWnd, g_boxes[0].hOwner);
    const std::string exists = SystemText(ERROR_FILE_EXISTS);
    const std::string shared = SystemText(ERROR_SHARING_VIOLATION);
    const std::string missing = SystemText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(exists.empty());
    EXPECT_EQ("The following documents could not be copied:\n"
              "US1000001.html (" + exists + ")\n"
              "US1000002.pdf (" + shared + ")\n"
              "US1000001.pdf (" + exists + ")\n"
              "US1000006.pdf (" + missing + ")\n",
              g_boxes[0].text);
    EXPECT_EQ("kept", RawBytes(target.File("US1000001.html")));
    EXPECT_EQ(RawBytes(FileOf("US1000001", "PDF")), RawBytes(target.File("US1000001.pdf")));

    // Overwriting: the existing files are replaced (the later file of a name wins); the
    // locked and the missing file still fail.
    g_boxes.clear();
    SaveTo(target.Path(), 0, true);
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ("The following documents could not be copied:\n"
              "US1000002.pdf (" + shared + ")\n"
              "US1000006.pdf (" + missing + ")\n",
              g_boxes[0].text);
    EXPECT_EQ(RawBytes(FileOf("US1000001", "HTML")), RawBytes(target.File("US1000001.html")));
    EXPECT_EQ(RawBytes(FileOf("EP1000004", "PDF")), RawBytes(target.File("US1000001.pdf")));
    EXPECT_FALSE(FileExists(target.File("US1000002.pdf")));
}

TEST_F(MailCommandsTest, CancellingTheDialogCopiesNothing)
{
    TempDir target;
    SelectRows({"US1000001"});
    WhenDialogShows(
        [&](HWND h) {
            ::SetDlgItemTextA(h, IDC_SAVE_PATH, target.Path());
            ::SendDlgItemMessageA(h, IDCANCEL, BM_CLICK, 0, 0);
        },
        "Save Files To...");
    ListCommand(ID_FILE_SAVE_FILES_TO);
    EXPECT_EQ(0, FilesIn(target.Path()));
    EXPECT_TRUE(g_boxes.empty());
}

// ---------------------------------------------------------------- the main window's items

TEST_F(MailCommandsTest, TheMainWindowForwardsMailAndSaveWhileRowsAreSelected)
{
    ClosePane();
    m_host.ShowWindow(SW_HIDE);
    CTestMainDlg dlg;
    std::vector<std::string> states;
    TempDir target;
    EXPECT_EQ(IDOK, RunMainWindow(dlg, [&] {
        CPatentManager& list = dlg.GetProjectPane().GetPatentManager();
        HMENU hFile = ::GetSubMenu(::GetMenu(dlg.m_hWnd), 0);
        for (int flag : {0, 1}) {
            list.m_bHasSelection1 = list.m_bHasSelection2 = flag;
            dlg.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFile), MAKELPARAM(0, FALSE));
            for (UINT id : {ID_FILE_EMAIL_DOCUMENTS, ID_FILE_SAVE_FILES_TO})
                states.push_back(std::to_string(id) + ((::GetMenuState(hFile, id, MF_BYCOMMAND) & MF_GRAYED)
                                                           ? " grey"
                                                           : " on"));
        }
        CMyListCtrl& rows = list.GetList();
        rows.SetItemState(-1, 0, LVIS_SELECTED);
        for (int r = 0; r < rows.GetItemCount(); ++r) {
            if (rows.GetItemText(r, 1) == "US1000002")
                rows.SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
        }
        dlg.SendMessage(WM_COMMAND, ID_FILE_EMAIL_DOCUMENTS, 0);
        WhenDialogShows(
            [&](HWND h) {
                ::SetDlgItemTextA(h, IDC_SAVE_PATH, target.Path());
                ::SendDlgItemMessageA(h, IDOK, BM_CLICK, 0, 0);
            },
            "Save Files To...");
        dlg.SendMessage(WM_COMMAND, ID_FILE_SAVE_FILES_TO, 0);
        dlg.SendMessage(WM_COMMAND, ID_FILE_EXIT, 0);
    }));
    const std::vector<std::string> expected = {"249 grey", "267 grey", "249 on", "267 on"};
    EXPECT_EQ(expected, states);
    const std::vector<MapiCall> sends = MapiCallsOf("MAPISendMail");
    ASSERT_EQ(1u, sends.size());
    ASSERT_EQ(1u, sends[0].files.size());
    EXPECT_EQ("US1000002.PDF", sends[0].files[0]["title"]);
    EXPECT_EQ(std::vector<CString>{"us1000002.pdf"}, FileNamesIn(target.Path()));
}
