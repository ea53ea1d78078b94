#include "WizardTestSupport.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace testsupport {

CString PutFile(const CString& folder, const char* relative, const std::string& bytes)
{
    CString path = folder;
    CString rest(relative);
    for (int at = rest.Find('\\'); at >= 0; at = rest.Find('\\')) {
        path += "\\" + rest.Left(at);
        ::CreateDirectoryA(path, nullptr);
        rest = rest.Mid(at + 1);
    }
    path += "\\" + rest;
    EXPECT_TRUE(WriteBytes(path, bytes)) << path.GetString();
    return path;
}

CString UnixPathOf(const CString& windowsPath)
{
    typedef char*(CDECL * UnixNameFn)(const WCHAR*);
    auto convert = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return CString();
    WCHAR wide[MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, 0, windowsPath, -1, wide, MAX_PATH))
        return CString();
    char* unix = convert(wide);
    if (!unix)
        return CString();
    CString path(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return path;
}

namespace {

bool Exists(const CString& path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool Gone(const CString& path)
{
    return !Exists(path);
}

} // namespace

bool RunUnix(const CString& commandLine, bool (*done)(const CString&), const CString& path)
{
    CString cmd = commandLine;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, cmd.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    for (int i = 0; i < 100 && !done(path); ++i)
        ::Sleep(50);
    return done(path);
}

UnixLink::UnixLink(const CString& link, const CString& target) : m_link(link)
{
    const CString unixLink = UnixPathOf(link);
    const CString unixTarget = UnixPathOf(target);
    if (!unixLink.IsEmpty() && !unixTarget.IsEmpty())
        m_bMade = RunUnix("/bin/ln -s \"" + unixTarget + "\" \"" + unixLink + "\"", Exists, link);
}

UnixLink::~UnixLink()
{
    const CString unixLink = UnixPathOf(m_link);
    if (m_bMade && !unixLink.IsEmpty())
        RunUnix("/bin/rm -f \"" + unixLink + "\"", Gone, m_link);
}

} // namespace testsupport
