#include "ProgramDownloadTest.h"

#include "XmlHelpers.h"
#include "resource.h"

#include <commctrl.h>

#include <fstream>

namespace workspacetest {

namespace {

struct ChildSearch
{
    int id;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindChild(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<ChildSearch*>(lParam);
    char name[64] = {};
    GetClassNameA(hWnd, name, sizeof name);
    if (GetDlgCtrlID(hWnd) == pSearch->id && lstrcmpiA(name, pSearch->className) == 0) {
        if (pSearch->id != IDC_QUICK_DOWNLOAD_EDIT || GetDlgItem(GetParent(hWnd), IDC_DOWNLOAD_NOW)) {
            pSearch->found = hWnd;
            return FALSE;
        }
    }
    return TRUE;
}

} // namespace

CString BuildFile(const char* relative)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    return WindowsPath(CString(build ? build : ".") + "/" + relative);
}

HWND ProgramControl(HWND hMain, int id, const char* className)
{
    ChildSearch search{id, className, nullptr};
    EnumChildWindows(hMain, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int RowCount(HWND hList)
{
    return static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
}

CString ListItemText(HWND hList, int row, int column)
{
    // The item and its text buffer live in the list's process for the time of the call.
    DWORD pid = 0;
    GetWindowThreadProcessId(hList, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return CString();
    const SIZE_T textSize = 1024;
    char* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE));
    CString text;
    if (remote) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = remote + sizeof(LVITEMA);
        item.cchTextMax = static_cast<int>(textSize);
        char buffer[textSize] = {};
        SIZE_T done = 0;
        if (WriteProcessMemory(process, remote, &item, sizeof item, &done) &&
            SendMessageA(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)) >= 0 &&
            ReadProcessMemory(process, remote + sizeof(LVITEMA), buffer, textSize - 1, &done))
            text = buffer;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

int FindListRow(HWND hList, int column, const CString& text)
{
    for (int row = 0; row < RowCount(hList); ++row)
        if (ListItemText(hList, row, column) == text)
            return row;
    return -1;
}

void TypeNumber(HWND hBox, const char* number)
{
    SendMessageA(hBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("")); // the cue text goes
    for (const char* p = number; *p; ++p)
        SendMessageA(hBox, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*p)), 1);
    SendMessageA(hBox, WM_CHAR, VK_RETURN, 1);
}

bool BalloonShows(DWORD pid, const char* title)
{
    for (const char* cls : {"BalloonHelpClassDS", "BalloonHelpClass"}) {
        for (HWND h = FindWindowExA(nullptr, nullptr, cls, title); h; h = FindWindowExA(nullptr, h, cls, title)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner == pid && IsWindowVisible(h))
                return true;
        }
    }
    return false;
}

HWND ShownWindow(DWORD pid, const char* caption, DWORD timeoutMs)
{
    struct Search
    {
        DWORD pid;
        const char* caption;
        HWND found;
    } search{pid, caption, nullptr};
    testsupport::WaitUntil(
        [&] {
            EnumWindows(
                [](HWND hWnd, LPARAM lParam) -> BOOL {
                    auto* pSearch = reinterpret_cast<Search*>(lParam);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(hWnd, &owner);
                    if ((pSearch->pid && owner != pSearch->pid) || !IsWindowVisible(hWnd) ||
                        WindowText(hWnd) != pSearch->caption)
                        return TRUE;
                    pSearch->found = hWnd;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs, 20);
    return search.found;
}

CString WindowText(HWND hWnd)
{
    char text[2048] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    return CString(text);
}

CString ControlText(HWND hDlg, int id)
{
    return WindowText(GetDlgItem(hDlg, id));
}

void PressButton(HWND hDlg, int id)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(hDlg, id), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
}

HWND ProgramMessageBox(DWORD pid)
{
    struct Find
    {
        DWORD pid;
        HWND box;
    } find{pid, nullptr};
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(hWnd, &owner);
            char cls[16] = {};
            GetClassNameA(hWnd, cls, sizeof cls);
            if (owner != f->pid || !IsWindowVisible(hWnd) || lstrcmpA(cls, "#32770") != 0 || GetMenu(hWnd) ||
                !GetDlgItem(hWnd, 0xFFFF))
                return TRUE;
            f->box = hWnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.box;
}

CString PdfCheckFolder()
{
    const char* folder = std::getenv("ZENTROVA_PDF_CHECK");
    if (!folder || !*folder)
        return CString();
    CreateDirectoryA(folder, nullptr);
    return CString(folder);
}

void ListForPdfCheck(const CString& pdf, const CString& copyName, const CString& pages)
{
    const CString check = PdfCheckFolder();
    if (check.IsEmpty())
        return;
    EXPECT_TRUE(CopyFileA(pdf, check + "\\" + copyName, FALSE)) << pdf.GetString();
    std::ofstream list((check + "\\outputs.txt").GetString(), std::ios::app);
    list << copyName.GetString() << "|" << pages.GetString() << "\n";
}

void ProgramDownloadTest::SetUp()
{
    FixtureTest::SetUp();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); // the records are read with the XML DOM
    for (const char* name : {"Vostrel.dll", "Wrapper.dll", "replace.tif"})
        m_folder.CopyBuilt(name);
    m_folder.SetOption("SetDefaults", "0"); // else the first start puts the shipped save folder back
    m_folder.SetOption("SavePath", m_save.Path() + "\\");
    m_folder.SetOption("Showsearchsessiondialog", "0"); // no modal chooser when a test clicks Search
    m_folder.SetOption("NotifyOfFinishedDownloadWhen", "1");
    m_folder.SetOption("PlaySoundAfterDownload", "0");
    m_folder.SetOption("PlaySoundAfterAllDownloads", "0");
    m_folder.SetOption("PlaySoundAfterError", "0");
}

void ProgramDownloadTest::InstallQueueRecipe()
{
    CString recipe = ReadDeciphered(BuildFile("tests/data/queue.cfg"));
    ASSERT_GT(recipe.Replace("http://fixture-server", testsupport::FixtureBase()), 0);
    WriteEnciphered(m_folder.File("Download.cfg"), recipe);
    m_folder.SetOption("RetryFailedDownloads", "0");
}

void ProgramDownloadTest::StartProgram(Started& run)
{
    m_folder.Start(run, "");
    m_hMain = ProgramFolder::MainWindow(run);
    ASSERT_NE(nullptr, m_hMain) << m_folder.Log();
    m_hBox = ProgramControl(m_hMain, IDC_QUICK_DOWNLOAD_EDIT, "Edit");
    m_hList = ProgramControl(m_hMain, IDC_DOCUMENT_LIST, "SysListView32");
    m_hTree = ProgramControl(m_hMain, IDC_FOLDER_TREE, "SysTreeView32");
    ASSERT_TRUE(m_hBox && m_hList && m_hTree);
}

void ShippedRecipeDownloadTest::SetUp()
{
    ProgramDownloadTest::SetUp();
    if (HasFatalFailure())
        return;
    m_folder.CopyBuilt("Download.cfg");
    m_folder.SetOption("OpsConsumerKey", "zentrova-e2e-key");
    m_folder.SetOption("OpsConsumerSecret", "zentrova-e2e-secret");
}

void ProgramDownloadTest::TearDown()
{
    CoUninitialize();
}

IXMLDOMDocument2Ptr ProgramDownloadTest::Project() const
{
    IXMLDOMDocument2Ptr doc = CreateDomDocument();
    doc->loadXML(_bstr_t(ReadDeciphered(m_folder.File("Project.cfg"))));
    return doc;
}

IXMLDOMNodePtr ProgramDownloadTest::Record(const char* name) const
{
    return Project()->selectSingleNode(
        _bstr_t(CString("/Project/Documents/Document[@Name='") + name + "' and @ParentUID='1']"));
}

long ProgramDownloadTest::Records() const
{
    return Project()->selectNodes(L"/Project/Documents/Document")->Getlength();
}

bool ProgramDownloadTest::WaitForRecord(const char* name, DWORD ms) const
{
    // The project file is read a few times a second: the program's saves wait for a reader.
    return testsupport::WaitUntil([&] { return Record(name) != nullptr; }, ms, 200);
}

CString ProgramDownloadTest::RecordAttribute(const char* name, const char* attribute) const
{
    CString value = "<missing>";
    IXMLDOMNodePtr record = Record(name);
    if (record)
        GetXmlAttribute(record, attribute, value);
    return value;
}

CString ProgramDownloadTest::FiledPdf(const char* name, const char* pdfName) const
{
    IXMLDOMNodePtr record = Record(name);
    IXMLDOMNodePtr pdf = record ? record->selectSingleNode(L"XMLCatalog/CatalogItem[@FileType='PDF']") : nullptr;
    if (!pdf) {
        ADD_FAILURE() << name << ": no record with a PDF";
        return CString();
    }
    CString path;
    GetXmlAttribute(pdf, "FilePath", path);
    CString lowerPath = path, lowerSave = m_save.Path();
    lowerPath.MakeLower();
    lowerSave.MakeLower();
    EXPECT_EQ(0, lowerPath.Find(lowerSave)) << path.GetString(); // in the save folder
    EXPECT_EQ(CString(pdfName ? pdfName : name) + ".pdf", path.Mid(path.ReverseFind('\\') + 1));
    if (!testsupport::FileExists(path)) {
        ADD_FAILURE() << path.GetString() << " does not exist";
        return CString();
    }
    return path;
}

} // namespace workspacetest
