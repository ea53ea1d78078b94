#include "ProgramFolder.h"

namespace workspacetest {

namespace {

struct FindData
{
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMain(HWND hWnd, LPARAM lParam)
{
    auto* pFind = reinterpret_cast<FindData*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == pFind->pid && GetMenu(hWnd) && IsWindowVisible(hWnd)) {
        pFind->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

CString WindowsPath(CString unixPath)
{
    unixPath.Replace('/', '\\');
    return "Z:" + unixPath;
}

CString BuiltFile(const char* name)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    return WindowsPath(CString(build ? build : ".") + "/bin/" + name);
}

Started::~Started()
{
    if (pi.hProcess) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
}

ProgramFolder::ProgramFolder(const char* subfolder)
{
    m_path = m_dir.Path();
    if (subfolder) {
        m_path += CString("\\") + subfolder;
        CreateDirectoryA(m_path, nullptr);
    }
    for (const char* name : {"Zentrova.exe", "config2.cfg", "Project.cfg"})
        CopyBuilt(name);
}

void ProgramFolder::CopyBuilt(const char* name)
{
    EXPECT_TRUE(CopyFileA(BuiltFile(name), File(name), FALSE)) << name;
}

void ProgramFolder::Start(Started& started, const char* args)
{
    CString line = "\"" + m_path + "\\Zentrova.exe\"";
    if (args && *args)
        line += CString(" ") + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    ASSERT_TRUE(CreateProcessA(nullptr, line.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, m_path, &si,
                               &started.pi))
        << GetLastError();
}

HWND ProgramFolder::MainWindow(const Started& started, DWORD timeoutMs, DWORD* pShownAt)
{
    DWORD begin = GetTickCount();
    while (GetTickCount() - begin < timeoutMs) {
        FindData find{started.pi.dwProcessId, nullptr};
        EnumWindows(FindMain, reinterpret_cast<LPARAM>(&find));
        if (find.found) {
            if (pShownAt)
                *pShownAt = GetTickCount();
            Sleep(200); // let the start-up finish its last steps
            return find.found;
        }
        if (started.Ended(100))
            return nullptr;
    }
    return nullptr;
}

bool ProgramFolder::Close(HWND hMain, const Started& started)
{
    PostMessageA(hMain, WM_CLOSE, 0, 0);
    return started.Ended(20000);
}

std::string ProgramFolder::RunMinimised()
{
    Started run;
    Start(run, "SW_MINIMIZE");
    HWND hMain = MainWindow(run);
    EXPECT_NE(nullptr, hMain) << Log();
    if (hMain) {
        EXPECT_TRUE(Close(hMain, run));
    }
    return Log();
}

std::string ProgramFolder::Log() const
{
    std::string bytes;
    testsupport::ReadBytes(File("ProgressLog.txt"), bytes);
    return bytes;
}

CString ProgramFolder::Option(const char* key) const
{
    CString text = ReadDeciphered(File("config2.cfg"));
    CString open = CString("<Option Name=\"") + key + "\">";
    int at = text.Find(open);
    if (at < 0)
        return CString("<missing>");
    at += open.GetLength();
    return text.Mid(at, text.Find("<", at) - at);
}

void ProgramFolder::SetOption(const char* key, const CString& value)
{
    CString text = ReadDeciphered(File("config2.cfg"));
    CString open = CString("<Option Name=\"") + key + "\">";
    int at = text.Find(open);
    ASSERT_GE(at, 0) << key;
    at += open.GetLength();
    text = text.Left(at) + value + text.Mid(text.Find("<", at));
    WriteEnciphered(File("config2.cfg"), text);
}

} // namespace workspacetest
