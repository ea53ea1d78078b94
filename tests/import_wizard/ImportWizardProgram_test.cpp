// The import wizard Skelvane.exe as a user meets it: started as the main program starts it
// (its folder, "\Skelvane.exe VORTEMAP" and the folder again) from a program folder with
// blanks in its path, on a Wine prefix whose drive d: is a folder of this test (mapped by
// CTest through tools/wine-drive.sh). The drive c: holds no older installation and z: (the
// Linux file system, which holds d:'s folder too) is a network drive, so every hit comes
// from d:. After an import the real main program, started from the same folder, shows the
// imported library; and the main program that starts the wizard from its menu while it runs
// and downloads, which shows the imported library at once and keeps it. The wizard shares
// the main program's registry key and the desktop, so CTest runs this program alone.
#include "FixtureServer.h"
#include "ProgramDownloadTest.h"
#include "ProgramFolder.h"
#include "TestSupport.h"
#include "WindowBench.h"
#include "WizardTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace testsupport;
using namespace workspacetest;

namespace {

const char kSettingsKey[] = "Software\\Quendal LLC\\Zentrova\\Settings";
// The wizard's controls, as its window names them.
const int kSearchText = 1000;
const int kFoundList = 1001;
const int kInstruction = 1002;
const int kImportButton = 1003;
const int kOfferMessage = 1004;
const int kMessageBoxText = 0xFFFF;
// The main program's folder tree and document list.
const int kMainFolderTree = 1011;
const int kMainDocumentList = 1040;
// Folders on d: that keep the scan of the test with several hits busy for a while.
const int kWorkFolders = 2000;

const char kWizardCaption[] = "Zentrova 3.0 v2.0 Import Wizard";
const char kConfirmCaption[] = "Import Zentrova 2.0 Files";
const char kOfferCaption[] = "Import Zentrova 2.0 Patent Files and Folders";
const char kSelectText[] = "Please select your current installation of Zentrova2 from the list and click OK";
const char kSuccessText[] = "Zentrova2 Projects have been successfully imported into Zentrova v3";

struct WindowSearch
{
    DWORD pid;
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindCaption(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    char text[256] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    if (pid == pSearch->pid && ::IsWindowVisible(hWnd) && ::lstrcmpA(text, pSearch->caption) == 0) {
        pSearch->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

// A shown top-level window of the process with that caption, once there is one.
HWND WindowOf(const Started& run, const char* caption, DWORD timeoutMs = 20000)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            WindowSearch search{run.pi.dwProcessId, caption, nullptr};
            ::EnumWindows(FindCaption, reinterpret_cast<LPARAM>(&search));
            found = search.found;
            return found != nullptr || run.Ended(0);
        },
        timeoutMs, 20);
    return found;
}

// The number of shown top-level windows of the process.
int ShownWindows(const Started& run)
{
    struct Count { DWORD pid; int n; } count{run.pi.dwProcessId, 0};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pCount = reinterpret_cast<Count*>(lParam);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hWnd, &pid);
            if (pid == pCount->pid && ::IsWindowVisible(hWnd))
                ++pCount->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}

CString Text(HWND hWnd)
{
    char text[1024] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    return CString(text);
}

CString ItemText(HWND hDlg, int id)
{
    return Text(::GetDlgItem(hDlg, id));
}

// Presses a button of another program's dialog as the user does.
void Press(HWND hDlg, int id)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(::GetDlgItem(hDlg, id), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
}

std::vector<CString> ListLines(HWND hList)
{
    std::vector<CString> lines;
    const int n = static_cast<int>(::SendMessageA(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        // Between programs the list box hands its text over in UTF-16.
        WCHAR text[MAX_PATH * 2] = {};
        ::SendMessageW(hList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        char ansi[MAX_PATH * 4] = {};
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
        lines.push_back(CString(ansi));
    }
    return lines;
}

std::string Bytes(const CString& path)
{
    std::string bytes;
    ReadBytes(path, bytes);
    return bytes;
}

void RemoveBelow(const CString& folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(folder + "\\*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const CString name(fd.cFileName);
        if (name == "." || name == "..")
            continue;
        const CString full = folder + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveBelow(full);
            ::RemoveDirectoryA(full);
        } else {
            ::DeleteFileA(full);
        }
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
}

// The test's drive d:. CTest links it into the prefix; the running Wine server, which lists
// only the drives it knew at its start, is told of it here and forgets it at the end.
class TestDrive
{
public:
    TestDrive()
    {
        const char* folder = std::getenv("ZENTROVA_WIZARD_DRIVE");
        m_folder = WindowsPath(folder ? folder : "");
        if (!(::GetLogicalDrives() & (1u << 3)))
            m_bDefined = ::DefineDosDeviceA(0, "D:", m_folder) != FALSE;
        Clear();
    }
    ~TestDrive()
    {
        Clear();
        if (m_bDefined)
            ::DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, "D:", m_folder);
    }
    TestDrive(const TestDrive&) = delete;
    TestDrive& operator=(const TestDrive&) = delete;

    bool Ready() const { return (::GetLogicalDrives() & (1u << 3)) && ::GetDriveTypeA("d:\\") == DRIVE_FIXED; }
    void Clear() { RemoveBelow("d:"); }

    // A file below d:\ with its folders; answers its path as the wizard lists it.
    CString Put(const char* relative, const std::string& bytes) { return PutFile("d:", relative, bytes); }
    // Folders that keep a scan busy for a few seconds: d:\Work\NNNN\files.
    void PutBusyTree()
    {
        ::CreateDirectoryA("d:\\Work", nullptr);
        for (int i = 0; i < kWorkFolders; ++i) {
            CString folder;
            folder.Format("d:\\Work\\%04d", i);
            ::CreateDirectoryA(folder, nullptr);
            ::CreateDirectoryA(folder + "\\files", nullptr);
        }
    }

private:
    CString m_folder;
    bool m_bDefined = false;
};

// An older version's project file: the project store's enciphered XML with folders of its
// own and, when asked, one document in NEW DOWNLOADS.
CString OldProject(const char* name, const char* folder, const char* subfolder, bool bDocument = false)
{
    CString xml;
    xml.Format("<?xml version=\"1.0\"?>\r\n<Project Name=\"%s\">\r\n\t<Folders>\r\n"
               "\t\t<Folder UID=\"1\" Name=\"NEW DOWNLOADS\" ParentUID=\"ROOT\"/>\r\n"
               "\t\t<Folder UID=\"4001\" Name=\"%s\" ParentUID=\"ROOT\"/>\r\n"
               "\t\t<Folder UID=\"4002\" Name=\"%s\" ParentUID=\"4001\"/>\r\n"
               "\t</Folders>\r\n\t<Shorts>\r\n\t</Shorts>\r\n\t<Documents>\r\n%s\t</Documents>\r\n</Project>\r\n",
               name, folder, subfolder,
               bDocument ? "\t\t<Document Name=\"US6000001\" ParentUID=\"1\" DocumentTitle=\"Old widget\" "
                           "DocumentInventor=\"Ann Smith\" DocumentAssignee=\"Acme Corp\" DownloadDate=\"90000000\" "
                           "TotalSize=\"\" UID=\"DOCUIDUS6000001\" FirstPage=\"0\" Wrapper=\"0\">\r\n"
                           "\t\t\t<XMLCatalog>\r\n\t\t\t</XMLCatalog>\r\n\t\t</Document>\r\n"
                         : "");
    return xml;
}

std::string Enciphered(const CString& xml)
{
    TempDir dir;
    WriteEnciphered(dir.File("Project.cfg"), xml);
    return Bytes(dir.File("Project.cfg"));
}

// The texts of every item of another program's tree control, parents before children.
std::vector<CString> TreeTexts(HWND hTree, DWORD pid)
{
    std::vector<CString> texts;
    HANDLE hProcess = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!hProcess)
        return texts;
    char* remote = static_cast<char*>(::VirtualAllocEx(hProcess, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    std::function<void(HTREEITEM)> walk = [&](HTREEITEM hItem) {
        for (; hItem; hItem = reinterpret_cast<HTREEITEM>(::SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                             reinterpret_cast<LPARAM>(hItem)))) {
            TVITEMA item{};
            item.mask = TVIF_TEXT;
            item.hItem = hItem;
            item.pszText = remote + 512;
            item.cchTextMax = 1024;
            char text[1024] = {};
            SIZE_T done = 0;
            ::WriteProcessMemory(hProcess, remote, &item, sizeof item, &done);
            ::SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote));
            ::ReadProcessMemory(hProcess, remote + 512, text, sizeof text - 1, &done);
            texts.push_back(CString(text));
            walk(reinterpret_cast<HTREEITEM>(
                ::SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(hItem))));
        }
    };
    if (remote) {
        walk(reinterpret_cast<HTREEITEM>(::SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
        ::VirtualFreeEx(hProcess, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(hProcess);
    return texts;
}

// A descendant window with that control id and class.
HWND ChildControl(HWND hParent, int id, const char* className)
{
    struct Search { int id; const char* cls; HWND found; } search{id, className, nullptr};
    ::EnumChildWindows(
        hParent,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pSearch = reinterpret_cast<Search*>(lParam);
            char name[64] = {};
            ::GetClassNameA(hWnd, name, sizeof name);
            if (::GetDlgCtrlID(hWnd) != pSearch->id || ::lstrcmpiA(name, pSearch->cls) != 0)
                return TRUE;
            pSearch->found = hWnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Moves a message box below the wizard's window. Without a window manager Wine stacks a
// box that opens over a window of its own program beneath it on the X screen, so that a
// screenshot shows a black rectangle where the box is; the box itself works as it should.
void MoveBelow(HWND hBox, HWND hWizard)
{
    RECT rc{};
    ::GetWindowRect(hWizard, &rc);
    ::SetWindowPos(hBox, nullptr, rc.left, rc.bottom + 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Screenshot(const char* name)
{
    ::Sleep(400); // windows that have just appeared finish painting
    CString why;
    if (!SaveScreenshot(ScreenshotPath(name), &why))
        std::printf("no screenshot %s: %s\n", name, why.GetString());
}

// The first-run flag missing while the object lives, and as it was afterwards.
class FirstTimeScope
{
public:
    FirstTimeScope()
    {
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
            char data[256] = {};
            DWORD size = sizeof data - 1;
            m_bHad = ::RegQueryValueExA(hKey, "FirstTime", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
                     ERROR_SUCCESS;
            m_saved = data;
            ::RegCloseKey(hKey);
        }
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime");
    }
    ~FirstTimeScope()
    {
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime");
        if (m_bHad)
            ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime", REG_SZ, m_saved.c_str(),
                              static_cast<DWORD>(m_saved.size() + 1));
    }
    FirstTimeScope(const FirstTimeScope&) = delete;
    FirstTimeScope& operator=(const FirstTimeScope&) = delete;

private:
    bool m_bHad = false;
    std::string m_saved;
};

class ImportWizardProgramTest : public FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(m_drive.Ready()) << "the test's drive d: is not mapped (tools/wine-drive.sh)";
        m_folder.CopyBuilt("Skelvane.exe");
        m_current = Bytes(m_folder.File("Project.cfg"));
        ASSERT_FALSE(m_current.empty());
    }

    // The wizard as the main program starts it, or with other arguments after the program.
    void StartWizard(Started& run, const char* args = nullptr)
    {
        CString line = m_folder.Path() + "\\Skelvane.exe " + (args ? CString(args) : "VORTEMAP" + m_folder.Path());
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ASSERT_TRUE(::CreateProcessA(nullptr, line.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, m_folder.Path(),
                                     &si, &run.pi))
            << ::GetLastError();
    }
    // Answers the confirmation with Yes; answers the wizard's window.
    HWND ConfirmAndFindWizard(const Started& run)
    {
        HWND hConfirm = WindowOf(run, kConfirmCaption);
        EXPECT_NE(nullptr, hConfirm);
        if (!hConfirm)
            return nullptr;
        Press(hConfirm, IDOK);
        return WindowOf(run, kWizardCaption);
    }
    static DWORD ExitCode(const Started& run)
    {
        DWORD code = 259;
        ::GetExitCodeProcess(run.pi.hProcess, &code);
        return code;
    }
    static std::string FirstTime()
    {
        char data[256] = {};
        DWORD size = sizeof data;
        if (::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime", RRF_RT_REG_SZ, nullptr, data, &size) !=
            ERROR_SUCCESS)
            return "<missing>";
        return data;
    }
    // The files in the program folder whose names start with "Project.cfg." (backups).
    std::vector<CString> Backups() const
    {
        std::vector<CString> found;
        for (const CString& name : FileNamesIn(m_folder.Path()))
            if (name.Find("project.cfg.") == 0)
                found.push_back(name);
        return found;
    }

    FirstTimeScope m_firstTime;
    TestDrive m_drive;
    ProgramFolder m_folder{"Zentrova 3"};
    std::string m_current;
};

// An older version's library of some documents: the first ten in NEW DOWNLOADS, the others in
// a folder of its own.
CString OldLibrary(int documents)
{
    CString xml = "<?xml version=\"1.0\"?>\r\n<Project Name=\"Old Project Folders\">\r\n\t<Folders>\r\n"
                  "\t\t<Folder UID=\"1\" Name=\"NEW DOWNLOADS\" ParentUID=\"ROOT\"/>\r\n"
                  "\t\t<Folder UID=\"4001\" Name=\"Imported Widgets\" ParentUID=\"ROOT\"/>\r\n"
                  "\t</Folders>\r\n\t<Shorts>\r\n\t</Shorts>\r\n\t<Documents>\r\n";
    for (int i = 1; i <= documents; ++i)
        xml.AppendFormat("\t\t<Document Name=\"US60000%02d\" ParentUID=\"%s\" DocumentTitle=\"Old widget %d\" "
                         "DocumentInventor=\"\" DocumentAssignee=\"\" DownloadDate=\"90000000\" TotalSize=\"\" "
                         "UID=\"DOCUIDUS60000%02d\" FirstPage=\"0\" Wrapper=\"0\">\r\n"
                         "\t\t\t<XMLCatalog>\r\n\t\t\t</XMLCatalog>\r\n\t\t</Document>\r\n",
                         i, i <= 10 ? "1" : "4001", i, i);
    xml += "\t</Documents>\r\n</Project>\r\n";
    return xml;
}

// The real main program, Zentrova.exe, running beside the import wizard it starts from its
// menu, and downloading with the download queue's test recipe from the fixture server.
class ImportBesideProgramTest : public ProgramDownloadTest
{
protected:
    void SetUp() override
    {
        ProgramDownloadTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(m_drive.Ready()) << "the test's drive d: is not mapped (tools/wine-drive.sh)";
        m_folder.CopyBuilt("Skelvane.exe");
        InstallQueueRecipe();
    }
    CString RootFolder(const Started& run) const
    {
        const std::vector<CString> texts = TreeTexts(m_hTree, run.pi.dwProcessId);
        return texts.empty() ? CString() : texts[0];
    }

    FirstTimeScope m_firstTime;
    TestDrive m_drive;
};

} // namespace

TEST_F(ImportWizardProgramTest, SingleHitIsImportedAtOnceAndTheMainProgramShowsIt)
{
    const std::string old = Enciphered(OldProject("Old Project Folders", "Imported Widgets", "Old Gears", true));
    const CString source = m_drive.Put("Program Files\\Quendal, LLC\\Zentrova2\\Project.cfg", old);

    Started wizard;
    StartWizard(wizard);
    HWND hConfirm = WindowOf(wizard, kConfirmCaption);
    ASSERT_NE(nullptr, hConfirm);
    EXPECT_EQ(CString("Yes"), ItemText(hConfirm, IDOK));
    EXPECT_EQ(CString("No"), ItemText(hConfirm, IDCANCEL));
    Press(hConfirm, IDOK);
    HWND hWizard = WindowOf(wizard, kWizardCaption);
    ASSERT_NE(nullptr, hWizard);

    // The one hit is imported without a question.
    HWND hSuccess = WindowOf(wizard, "Success", 60000);
    ASSERT_NE(nullptr, hSuccess);
    EXPECT_EQ(CString(kSuccessText), ItemText(hSuccess, kMessageBoxText));
    EXPECT_EQ(CString("Search Finished"), ItemText(hWizard, kSearchText));
    EXPECT_EQ(std::vector<CString>{source}, ListLines(::GetDlgItem(hWizard, kFoundList)));
    EXPECT_EQ(CString(kSelectText), ItemText(hWizard, kInstruction));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hWizard, kImportButton)));
    MoveBelow(hSuccess, hWizard);
    Screenshot("skelvane_single_hit_imported.png");
    Press(hSuccess, IDOK);
    ASSERT_TRUE(wizard.Ended(20000));
    EXPECT_EQ(0u, ExitCode(wizard));

    // The copy stands in place of the current file, which is kept beside it.
    EXPECT_EQ(old, Bytes(m_folder.File("Project.cfg")));
    const std::vector<CString> backups = Backups();
    ASSERT_EQ(1u, backups.size());
    EXPECT_EQ(m_current, Bytes(m_folder.Path() + "\\" + backups[0]));
    EXPECT_EQ(old, Bytes(source)); // the old installation is left as it was
    EXPECT_EQ("1", FirstTime());

    // The main program's next start shows the imported library.
    Started program;
    m_folder.Start(program, "");
    HWND hMain = ProgramFolder::MainWindow(program);
    ASSERT_NE(nullptr, hMain) << m_folder.Log();
    HWND hTree = ChildControl(hMain, kMainFolderTree, "SysTreeView32");
    ASSERT_NE(nullptr, hTree);
    const std::vector<CString> folders = TreeTexts(hTree, program.pi.dwProcessId);
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(CString("Old Project Folders"), folders[0]);
    for (const char* name : {"NEW DOWNLOADS", "Imported Widgets", "Old Gears"})
        EXPECT_NE(folders.end(), std::find(folders.begin(), folders.end(), CString(name))) << name;
    // NEW DOWNLOADS, shown first, holds the old document.
    HWND hList = ChildControl(hMain, kMainDocumentList, "SysListView32");
    ASSERT_NE(nullptr, hList);
    EXPECT_TRUE(WaitUntil([&] { return ::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0) == 1; }, 5000));
    Screenshot("skelvane_main_program_after_import.png");
    EXPECT_TRUE(ProgramFolder::Close(hMain, program));
}

TEST_F(ImportWizardProgramTest, SeveralHitsWaitForTheUsersChoiceAndEnterDoesNothing)
{
    const CString first = m_drive.Put("Program Files\\Quendal, LLC\\Zentrova2\\Project.cfg",
                                      Enciphered(OldProject("First", "A", "B")));
    const std::string chosenBytes = Enciphered(OldProject("Chosen", "C", "D"));
    const CString chosen = m_drive.Put("Backup\\2004\\Zentrova2\\Project.cfg", chosenBytes);
    // Not taken: names in another letter case.
    m_drive.Put("Archive\\zentrova2\\Project.cfg", "no");
    m_drive.Put("Archive\\Zentrova2\\project.cfg", "no");
    // Lots of folders to search, so that the scan can be seen at work.
    m_drive.PutBusyTree();

    Started wizard;
    StartWizard(wizard);
    HWND hWizard = ConfirmAndFindWizard(wizard);
    ASSERT_NE(nullptr, hWizard);
    HWND hImport = ::GetDlgItem(hWizard, kImportButton);
    const DWORD begin = ::GetTickCount();
    // While the scan runs the OK button is hidden and the text names what is searched.
    ::Sleep(1000);
    if (!::IsWindowVisible(hImport) && ItemText(hWizard, kSearchText).Find(":\\") > 0)
        Screenshot("skelvane_during_scan.png");
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(hImport) != FALSE; }, 60000));
    std::printf("FIGURE scan of the prefix's c: and of d: (%d folders of the test on d:) took %lu ms\n",
                kWorkFolders * 2 + 12, ::GetTickCount() - begin);
    EXPECT_EQ(CString("Search Finished"), ItemText(hWizard, kSearchText));
    EXPECT_EQ(CString(kSelectText), ItemText(hWizard, kInstruction));
    HWND hList = ::GetDlgItem(hWizard, kFoundList);
    std::vector<CString> lines = ListLines(hList);
    std::sort(lines.begin(), lines.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    EXPECT_EQ((std::vector<CString>{chosen, first}), lines);

    // Enter presses the hidden default button: no second scan, no import.
    ::PostMessageA(hWizard, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageA(hWizard, WM_COMMAND, IDOK, 0);
    ::Sleep(1500);
    EXPECT_EQ(2u, ListLines(hList).size());
    EXPECT_EQ(1, ShownWindows(wizard));
    EXPECT_EQ(m_current, Bytes(m_folder.File("Project.cfg")));
    Screenshot("skelvane_two_hits.png");

    // OK without a selection does nothing either.
    Press(hWizard, kImportButton);
    ::Sleep(500);
    EXPECT_EQ(1, ShownWindows(wizard));

    lines = ListLines(hList);
    const int index = static_cast<int>(std::find(lines.begin(), lines.end(), chosen) - lines.begin());
    ::SendMessageA(hList, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Press(hWizard, kImportButton);
    HWND hSuccess = WindowOf(wizard, "Success");
    ASSERT_NE(nullptr, hSuccess);
    Press(hSuccess, IDOK);
    ASSERT_TRUE(wizard.Ended(20000));
    EXPECT_EQ(chosenBytes, Bytes(m_folder.File("Project.cfg")));
    EXPECT_EQ(1u, Backups().size());
    EXPECT_EQ("1", FirstTime());
}

TEST_F(ImportWizardProgramTest, NoHitSaysSoAndChangesNothing)
{
    m_drive.Put("Program Files\\Quendal, LLC\\Zentrova3\\Project.cfg", "a newer one");
    Started wizard;
    StartWizard(wizard);
    HWND hWizard = ConfirmAndFindWizard(wizard);
    ASSERT_NE(nullptr, hWizard);
    HWND hMessage = WindowOf(wizard, "Import wizard", 60000);
    ASSERT_NE(nullptr, hMessage);
    EXPECT_EQ(CString("No previous installation of Zentrova 2.0 was found."), ItemText(hMessage, kMessageBoxText));
    EXPECT_EQ(CString("No search results found."), ItemText(hWizard, kInstruction));
    EXPECT_EQ(CString("Search Finished"), ItemText(hWizard, kSearchText));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hWizard, kImportButton)));
    MoveBelow(hMessage, hWizard);
    Screenshot("skelvane_no_hit.png");
    Press(hMessage, IDOK);
    ASSERT_TRUE(wizard.Ended(20000));
    EXPECT_EQ(0u, ExitCode(wizard));
    EXPECT_EQ(m_current, Bytes(m_folder.File("Project.cfg")));
    EXPECT_TRUE(Backups().empty());
    EXPECT_EQ("<missing>", FirstTime());
}

TEST_F(ImportWizardProgramTest, CancelDuringTheScanEndsTheWizardAndImportsNothing)
{
    m_drive.PutBusyTree();
    m_drive.Put("Zentrova2\\Project.cfg", Enciphered(OldProject("Old", "A", "B")));
    Started wizard;
    StartWizard(wizard);
    HWND hWizard = ConfirmAndFindWizard(wizard);
    ASSERT_NE(nullptr, hWizard);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hWizard, kImportButton))) << "the scan is still running";
    Press(hWizard, IDCANCEL);
    ASSERT_TRUE(wizard.Ended(20000));
    EXPECT_EQ(0u, ExitCode(wizard));
    EXPECT_EQ(m_current, Bytes(m_folder.File("Project.cfg")));
    EXPECT_TRUE(Backups().empty());
    EXPECT_EQ("<missing>", FirstTime());
}

TEST_F(ImportWizardProgramTest, DeclinedConfirmationAndSecondInstanceEndAtOnce)
{
    m_drive.Put("Program Files\\Quendal, LLC\\Zentrova2\\Project.cfg", Enciphered(OldProject("Old", "A", "B")));
    Started first;
    StartWizard(first);
    HWND hConfirm = WindowOf(first, kConfirmCaption);
    ASSERT_NE(nullptr, hConfirm);

    // A second start while the first runs ends without a window.
    Started second;
    StartWizard(second);
    ASSERT_TRUE(second.Ended(20000));
    EXPECT_EQ(0u, ExitCode(second));
    EXPECT_EQ(0, ShownWindows(second));

    Press(hConfirm, IDCANCEL);
    ASSERT_TRUE(first.Ended(20000));
    EXPECT_EQ(0u, ExitCode(first));
    EXPECT_EQ(m_current, Bytes(m_folder.File("Project.cfg")));
    EXPECT_EQ("<missing>", FirstTime());

    // The mutex went with the first: a new start asks again.
    Started third;
    StartWizard(third);
    hConfirm = WindowOf(third, kConfirmCaption);
    ASSERT_NE(nullptr, hConfirm);
    Press(hConfirm, IDCANCEL);
    EXPECT_TRUE(third.Ended(20000));
}

TEST_F(ImportWizardProgramTest, WithoutTheTokenOnlyAnOldInstallationAtItsFixedPlaceGetsTheOffer)
{
    // Nothing at the fixed places: the wizard ends at once, whatever else lies on the drives.
    m_drive.Put("Somewhere\\Zentrova2\\Project.cfg", "old");
    {
        Started wizard;
        StartWizard(wizard, "");
        ASSERT_TRUE(wizard.Ended(20000));
        EXPECT_EQ(0u, ExitCode(wizard));
    }
    const std::string old = Enciphered(OldProject("Old", "A", "B"));
    m_drive.Clear();
    m_drive.Put("program files\\Quendal, LLC\\Zentrova2\\Project.cfg", old);

    // The offer with its texts; Yes without the second marker names no destination: the
    // wizard ends without a search.
    {
        Started wizard;
        StartWizard(wizard, "");
        HWND hOffer = WindowOf(wizard, kOfferCaption);
        ASSERT_NE(nullptr, hOffer);
        EXPECT_EQ(CString("Yes  (Recommended)"), ItemText(hOffer, IDOK));
        EXPECT_EQ(CString("No"), ItemText(hOffer, IDCANCEL));
        EXPECT_EQ(0, ItemText(hOffer, kOfferMessage)
                         .Find("Zentrova 3.0 has detected that there was an older version of Zentrova installed on "
                               "this computer.\nZentrova 3.0 can import your previously downloaded patent files"));
        Screenshot("skelvane_offer.png");
        Press(hOffer, IDOK);
        ASSERT_TRUE(wizard.Ended(20000));
        EXPECT_EQ(0u, ExitCode(wizard));
        EXPECT_EQ(m_current, Bytes(m_folder.File("Project.cfg")));
    }
    // With the second marker the folder follows it, and the old installation is found.
    {
        Started wizard;
        StartWizard(wizard, "QUILMARO" + m_folder.Path());
        HWND hOffer = WindowOf(wizard, kOfferCaption);
        ASSERT_NE(nullptr, hOffer);
        Press(hOffer, IDOK);
        HWND hSuccess = WindowOf(wizard, "Success", 60000);
        ASSERT_NE(nullptr, hSuccess);
        Press(hSuccess, IDOK);
        ASSERT_TRUE(wizard.Ended(20000));
        EXPECT_EQ(old, Bytes(m_folder.File("Project.cfg")));
        EXPECT_EQ("1", FirstTime());
    }
    // Declining the offer ends the wizard.
    {
        Started wizard;
        StartWizard(wizard, "QUILMARO" + m_folder.Path());
        HWND hOffer = WindowOf(wizard, kOfferCaption);
        ASSERT_NE(nullptr, hOffer);
        Press(hOffer, IDCANCEL);
        ASSERT_TRUE(wizard.Ended(20000));
        EXPECT_EQ(0u, ExitCode(wizard));
    }
}

// Import Zentrova 2.0 Files chosen in the running program: the wizard replaces Project.cfg,
// the program shows the imported library at once (a download filed while the wizard's
// message still shows goes into it), and every later save keeps it: after a restart the
// imported records and both new documents are there. The program's library from before the
// import is the wizard's backup.
TEST_F(ImportBesideProgramTest, AnImportBesideTheRunningProgramIsShownAndKeptByLaterDownloads)
{
    const CString source =
        m_drive.Put("Program Files\\Quendal, LLC\\Zentrova2\\Project.cfg", Enciphered(OldLibrary(13)));
    Started program;
    StartProgram(program);
    if (HasFatalFailure())
        return;
    TypeNumber(m_hBox, "1111111");
    ASSERT_TRUE(WaitForRecord("US1111111")) << m_folder.Log();

    ::PostMessageA(m_hMain, WM_COMMAND, ID_FILE_IMPORT_OLD_VERSION, 0);
    HWND hConfirm = ShownWindow(0, kConfirmCaption, 20000);
    ASSERT_NE(nullptr, hConfirm) << "the wizard starts beside the program";
    Press(hConfirm, IDOK);
    HWND hWizard = ShownWindow(0, kWizardCaption, 20000);
    ASSERT_NE(nullptr, hWizard);
    HWND hSuccess = ShownWindow(0, "Success", 60000);
    ASSERT_NE(nullptr, hSuccess);
    EXPECT_EQ(std::vector<CString>{source}, ListLines(::GetDlgItem(hWizard, kFoundList)));

    // The wizard still shows its message; the program shows the imported library already.
    EXPECT_TRUE(WaitUntil([&] { return RootFolder(program) == "Old Project Folders"; }, 10000))
        << RootFolder(program).GetString();
    EXPECT_TRUE(WaitUntil([&] { return RowCount(m_hList) == 10; }, 5000));
    TypeNumber(m_hBox, "2222222");
    ASSERT_TRUE(WaitForRecord("US2222222")) << m_folder.Log();
    EXPECT_EQ(14, Records()) << "the imported records and the new one";
    MoveBelow(hSuccess, hWizard);
    Screenshot("import-while-the-wizard-ends.png");
    Press(hSuccess, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(hWizard); }, 20000));

    // Later downloads keep the import.
    TypeNumber(m_hBox, "3333333");
    ASSERT_TRUE(WaitForRecord("US3333333")) << m_folder.Log();
    EXPECT_EQ(15, Records());
    EXPECT_EQ(nullptr, Record("US1111111"));
    EXPECT_TRUE(WaitUntil([&] { return RowCount(m_hList) == 12; }, 5000));
    Screenshot("import-program-after-the-wizard.png");
    EXPECT_EQ(nullptr, ShownWindow(program.pi.dwProcessId, "Project Replaced", 0)) << "nothing was lost to tell of";
    ASSERT_TRUE(ProgramFolder::Close(m_hMain, program));

    // The wizard's backup is the program's library from before the import.
    std::vector<CString> backups;
    for (const CString& name : FileNamesIn(m_folder.Path()))
        if (name.Find("project.cfg.") == 0 && name.Right(4) == ".bak")
            backups.push_back(m_folder.Path() + "\\" + name);
    ASSERT_EQ(1u, backups.size());
    EXPECT_NE(-1, ReadDeciphered(backups[0]).Find("Name=\"US1111111\""));

    // After a restart: the imported library with both new documents.
    Started again;
    StartProgram(again);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(CString("Old Project Folders"), RootFolder(again));
    EXPECT_TRUE(WaitUntil([&] { return RowCount(m_hList) == 12; }, 5000));
    for (const char* name : {"US2222222", "US3333333", "US6000001", "US6000010"})
        EXPECT_GE(FindListRow(m_hList, 1, name), 0) << name;
    EXPECT_EQ(15, Records());
    Screenshot("import-program-after-a-restart.png");
    EXPECT_TRUE(ProgramFolder::Close(m_hMain, again));
}
