// The real program in a program folder of its own: a temporary folder holding Zentrova.exe
// and its data files, the program started from there, its main window found, and the
// program closed as the user does.
#pragma once

#include "WorkspaceTest.h"

#include <string>

namespace workspacetest {

// "Z:" and the Unix path with backslashes.
CString WindowsPath(CString unixPath);
// A file of the build's program folder (build/bin/NAME), as a Windows path.
CString BuiltFile(const char* name);

// A started program; ended by force when it still runs at the end of the test.
struct Started
{
    PROCESS_INFORMATION pi{};
    Started() = default;
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    ~Started();
    bool Ended(DWORD ms) const { return WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
};

class ProgramFolder
{
public:
    // The program with config2.cfg and Project.cfg from the build, in the temporary folder
    // or in a subfolder of it.
    explicit ProgramFolder(const char* subfolder = nullptr);

    // Copies another file of the build's program folder beside the program.
    void CopyBuilt(const char* name);
    void Start(Started& started, const char* args);

    // The main window of the started program, once it shows (null after the time-out); the
    // tick count at which it was found goes to *pShownAt when given.
    static HWND MainWindow(const Started& started, DWORD timeoutMs = 30000, DWORD* pShownAt = nullptr);
    // Closes the window as the user does and waits for the program to end.
    static bool Close(HWND hMain, const Started& started);

    // Starts the program minimised, waits for its window, closes it and answers the log.
    std::string RunMinimised();

    std::string Log() const;
    // An option of the program folder's config2.cfg ("<missing>" when it has no such key),
    // and the same option set to a value.
    CString Option(const char* key) const;
    void SetOption(const char* key, const CString& value);

    const CString& Path() const { return m_path; }
    CString File(const char* name) const { return m_path + "\\" + name; }

private:
    testsupport::TempDir m_dir;
    CString m_path;
};

} // namespace workspacetest
