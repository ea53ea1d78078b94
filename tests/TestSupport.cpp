#include "TestSupport.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace testsupport {

namespace {

void RemoveTree(const CString& folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(folder + "\\*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            CString name(fd.cFileName);
            if (name == "." || name == "..")
                continue;
            CString full = folder + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full);
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(folder);
}

} // namespace

CString DataPath(const char* relative)
{
    const char* root = std::getenv("ZENTROVA_TEST_DATA");
    CString path(root ? root : "data");
    return path + "/" + relative;
}

TempDir::TempDir()
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static LONG counter = 0;
    for (;;) {
        CString candidate;
        candidate.Format("%szt%lu_%ld", base, GetCurrentProcessId(), InterlockedIncrement(&counter));
        if (CreateDirectoryA(candidate, nullptr)) {
            m_path = candidate;
            return;
        }
    }
}

TempDir::~TempDir()
{
    RemoveTree(m_path);
}

bool WaitUntil(const std::function<bool()>& pred, unsigned long ms, unsigned long stepMs)
{
    const DWORD begin = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - begin > ms)
            return pred();
        Sleep(stepMs);
    }
    return true;
}

bool WriteBytes(const CString& path, const std::string& bytes)
{
    std::ofstream out(path.GetString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool ReadBytes(const CString& path, std::string& bytes)
{
    std::ifstream in(path.GetString(), std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool FileExists(const CString& path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

std::string GrownText(const std::string& head, const std::string& record, const std::string& tail, size_t minSize)
{
    std::string text = head;
    text.reserve(minSize + record.size() + tail.size() + 1);
    while (text.size() <= minSize)
        text += record;
    return text + tail;
}

int FilesIn(const CString& folder)
{
    int count = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(folder + "\\*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++count;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return count;
}

std::vector<CString> FileNamesIn(const CString& folder)
{
    std::vector<CString> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(folder + "\\*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CString name(fd.cFileName);
            names.push_back(name.MakeLower());
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

LockedFile::LockedFile(const CString& path)
    : m_h(::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

LockedFile::~LockedFile()
{
    if (IsHeld())
        ::CloseHandle(m_h);
}

bool LockedFile::IsHeld() const
{
    return m_h != INVALID_HANDLE_VALUE;
}

} // namespace testsupport
