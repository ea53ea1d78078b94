// A stand-in for the import wizard, built as Skelvane.exe beside a test program: it writes
// the command line it was started with into wizard-command-line.txt in its own folder and
// ends.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    char* slash = std::strrchr(path, '\\');
    if (!slash)
        return 1;
    lstrcpyA(slash + 1, "wizard-command-line.txt");
    const char* line = ::GetCommandLineA();
    // Written under another name first, so that the test never reads half a line.
    char partial[MAX_PATH + 8] = {};
    lstrcpyA(partial, path);
    lstrcatA(partial, ".new");
    HANDLE h = ::CreateFileA(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    ::WriteFile(h, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    ::CloseHandle(h);
    return ::MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
