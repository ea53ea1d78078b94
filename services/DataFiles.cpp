#include "DataFiles.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <mutex>
#include <string>

namespace {

const char* const kVirtualStoreFolders[] = {
    "\\VirtualStore\\Program Files (x86)\\Morvath Software\\Zentrova3\\",
    "\\VirtualStore\\Program Files\\Morvath Software\\Zentrova3\\",
    "\\VirtualStore\\Program Files (x86)\\Quendal, LLC\\Zentrova3\\",
    "\\VirtualStore\\Program Files\\Quendal, LLC\\Zentrova3\\",
};

// The file's last-modification time in whole seconds; false when it cannot be opened or read.
bool ModifiedSeconds(const CString& path, ULONGLONG& seconds)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FILETIME written;
    bool ok = GetFileTime(h, nullptr, nullptr, &written) != 0;
    CloseHandle(h);
    if (ok) {
        ULARGE_INTEGER v;
        v.LowPart = written.dwLowDateTime;
        v.HighPart = written.dwHighDateTime;
        seconds = v.QuadPart / 10000000ULL;
    }
    return ok;
}

// Where the file name of a path begins (after its last slash or drive colon).
int NameStart(const CString& path)
{
    int slash = path.ReverseFind('\\');
    const int fwd = path.ReverseFind('/');
    if (fwd > slash)
        slash = fwd;
    if (slash < 0 && path.GetLength() >= 2 && path.GetAt(1) == ':')
        slash = 1;
    return slash + 1;
}

// The temporary files of a target are named after it: "Project.cfg.~1a2b3c4d.tmp" beside
// "Project.cfg", so that the next save of the target can tell its own stale ones (left by a
// program killed in the middle of a save) from anybody else's files.
const char kTempMark[] = ".~";
const char kTempEnd[] = ".tmp";
const int kTempDigits = 8;
const int kTempEndLength = sizeof kTempEnd - 1;

bool IsTempNameOf(const CString& fileName, const CString& targetName)
{
    const int head = targetName.GetLength() + static_cast<int>(sizeof kTempMark - 1);
    if (fileName.GetLength() != head + kTempDigits + kTempEndLength ||
        fileName.Left(head).CompareNoCase(targetName + kTempMark) != 0 ||
        fileName.Right(kTempEndLength).CompareNoCase(kTempEnd) != 0)
        return false;
    for (int i = head; i < head + kTempDigits; ++i) {
        const char c = fileName.GetAt(i);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// Creates a new temporary file for the target, open for writing and shared with nobody.
HANDLE CreateTempFor(const CString& path, CString& temp)
{
    static std::atomic<unsigned> next{::GetTickCount() ^ (::GetCurrentProcessId() << 16)};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.Format("%s%s%08x%s", static_cast<const char*>(path), kTempMark, next++, kTempEnd);
        HANDLE h = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            return h;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

// Deletes the target's stale temporary files. One still open for writing (another program
// in the middle of a save) cannot be deleted and stays.
void RemoveStaleTemps(const CString& path)
{
    const int start = NameStart(path);
    const CString folder = path.Left(start);
    const CString name = path.Mid(start);
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA(path + kTempMark + "*" + kTempEnd, &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTempNameOf(found.cFileName, name))
            DeleteFileA(folder + found.cFileName);
    } while (FindNextFileA(hFind, &found));
    FindClose(hFind);
}

// Puts the written file in the target's place. A reader that has the target open at that
// moment (a backup, a virus scanner, a second look at the file) makes the rename fail for as
// long as it holds the file: the rename is tried again for about a second.
bool ReplaceWith(const CString& source, const CString& path)
{
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(source, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (attempt == 20 ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION))
            return false;
        Sleep(50);
    }
}

// One save at a time in this program: a save never takes another one's temporary file for
// a stale one.
std::mutex g_saveLock;

DataFileWriter g_pfnWrite = WriteFile;
DataFileStepHook g_pfnStep = nullptr;

void Step(DataFileStep step, HANDLE h)
{
    if (g_pfnStep)
        g_pfnStep(step, h);
}

DataFileStamp StampOfHandle(HANDLE h)
{
    DataFileStamp stamp;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info))
        return stamp;
    stamp.bExists = true;
    stamp.dwVolume = info.dwVolumeSerialNumber;
    stamp.dwIndexHigh = info.nFileIndexHigh;
    stamp.dwIndexLow = info.nFileIndexLow;
    stamp.nSize = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.nWritten = (static_cast<ULONGLONG>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                     info.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

const char* AsideSuffix(DataFileFault fault)
{
    switch (fault) {
    case DataFileFault::TooLarge:
        return ".too-large";
    case DataFileFault::Unreadable:
        return ".unreadable";
    default:
        return ".other-kind";
    }
}

} // namespace

CString GetAppDirectory()
{
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString folder(path, static_cast<int>(n));
    int slash = folder.ReverseFind('\\');
    return slash >= 0 ? folder.Left(slash) : folder;
}

CString ResolveDataFilePath(CString fileName)
{
    const CString home = GetAppDirectory() + "\\" + fileName;
    char localAppData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                localAppData)))
        return home;
    for (const char* suffix : kVirtualStoreFolders) {
        const CString candidate = CString(localAppData) + suffix + fileName;
        ULONGLONG candidateTime = 0, homeTime = 0;
        if (!ModifiedSeconds(candidate, candidateTime) || !ModifiedSeconds(home, homeTime))
            continue;
        if (candidateTime > homeTime)
            return candidate;
    }
    return home;
}

// ---------------------------------------------------------------------- writing a data file

DataFileWriter SetDataFileWriter(DataFileWriter writer)
{
    DataFileWriter previous = g_pfnWrite;
    g_pfnWrite = writer;
    return previous;
}

DataFileStepHook SetDataFileStepHook(DataFileStepHook hook)
{
    DataFileStepHook previous = g_pfnStep;
    g_pfnStep = hook;
    return previous;
}

bool WriteDataFile(const CString& path, const CString& bytes, DWORD* pError, DataFileStamp* pWritten)
{
    return WriteDataFile(path, bytes.GetString(), static_cast<size_t>(bytes.GetLength()), pError, pWritten);
}

bool WriteDataFile(const CString& path, const char* data, size_t length, DWORD* pError, DataFileStamp* pWritten)
{
    std::lock_guard<std::mutex> hold(g_saveLock);
    CString temp;
    HANDLE h = CreateTempFor(path, temp);
    if (h == INVALID_HANDLE_VALUE) {
        if (pError)
            *pError = GetLastError();
        return false;
    }
    auto fail = [&](DWORD error) {
        DeleteFileA(temp);
        if (pError)
            *pError = error;
        return false;
    };
    Step(DataFileTemporaryCreated, h);
    if (length > MAXDWORD) {
        CloseHandle(h);
        return fail(ERROR_FILE_TOO_LARGE);
    }
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(length);
    const BOOL bWritten = g_pfnWrite(h, data, size, &written, nullptr);
    if (!bWritten || written != size) {
        const DWORD error = bWritten ? ERROR_WRITE_FAULT : GetLastError();  // a short write: a full disk
        CloseHandle(h);
        return fail(error);
    }
    Step(DataFileBytesWritten, h);
    if (!FlushFileBuffers(h)) {
        const DWORD error = GetLastError();
        CloseHandle(h);
        return fail(error);
    }
    // The written file keeps its identity, size and time through the rename below: its stamp
    // is taken here, so that no file put in place meanwhile can pass for it.
    const DataFileStamp stamp = StampOfHandle(h);
    if (!CloseHandle(h))
        return fail(GetLastError());
    Step(DataFileTemporaryClosed, h);
    if (!ReplaceWith(temp, path))
        return fail(GetLastError());
    Step(DataFileReplaced, h);
    RemoveStaleTemps(path);
    if (pWritten)
        *pWritten = stamp;
    return true;
}

bool CopyDataFile(const CString& source, const CString& path, DWORD* pError)
{
    HANDLE h = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (pError)
            *pError = GetLastError();
        return false;
    }
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    BOOL ok = TRUE;
    while ((ok = ReadFile(h, buffer, sizeof buffer, &got, nullptr)) && got > 0)
        bytes.append(buffer, got);
    const DWORD error = GetLastError();
    CloseHandle(h);
    if (!ok) {
        if (pError)
            *pError = error;
        return false;
    }
    return WriteDataFile(path, bytes.data(), bytes.size(), pError);
}

bool ReplaceDataFile(const CString& source, const CString& path, DWORD* pError)
{
    std::lock_guard<std::mutex> hold(g_saveLock);
    if (ReplaceWith(source, path))
        return true;
    if (pError)
        *pError = GetLastError();
    return false;
}

// ---------------------------------------------------------------------- which file lies there

bool operator==(const DataFileStamp& a, const DataFileStamp& b)
{
    if (!a.bExists || !b.bExists)
        return a.bExists == b.bExists;
    return a.dwVolume == b.dwVolume && a.dwIndexHigh == b.dwIndexHigh && a.dwIndexLow == b.dwIndexLow &&
           a.nSize == b.nSize && a.nWritten == b.nWritten;
}

DataFileStamp StampOfDataFile(const CString& path)
{
    // Opened for its attributes only, beside any reader or writer.
    HANDLE h = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return DataFileStamp();
    const DataFileStamp stamp = StampOfHandle(h);
    CloseHandle(h);
    return stamp;
}

// ---------------------------------------------------------------------- setting a data file aside

bool IsOversizedDataFile(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const long long size = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size > kDataFileSizeLimit;
}

CString SetDataFileAside(const CString& path, DataFileFault fault)
{
    const CString stem = path + AsideSuffix(fault);
    for (int n = 1; n <= 100; ++n) {
        CString aside = stem;
        if (n > 1)
            aside.AppendFormat(".%d", n);
        if (MoveFileExA(path, aside, MOVEFILE_WRITE_THROUGH))
            return aside;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            break;
    }
    return CString();
}

CString DataFileSetAsideText(const char* contents, const CString& path, const CString& aside, DataFileFault fault)
{
    CString why;
    if (fault == DataFileFault::TooLarge)
        why.Format("the file is larger than %lld MB, far more than the program ever writes",
                   kDataFileSizeLimit / (1024 * 1024));
    else if (fault == DataFileFault::Unreadable)
        why = "the file cannot be read";
    else
        why.Format("the file holds no %s but data of another kind", contents);
    return CString("The ") + contents + " in\n" + path + "\nwere not read: " + why + ".\nThe file is kept as\n" +
           aside + "\nand the program starts with an empty list.";
}

bool RunShellFileOperation(HWND hOwner, UINT nFunction, const CString& from, const CString& to, bool bToRecycleBin)
{
    // Each list of paths is closed by two zero characters.
    const std::string fromList = std::string(from.GetString()) + '\0';
    const std::string toList = std::string(to.GetString()) + '\0';
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = hOwner;
    operation.wFunc = nFunction;
    operation.pFrom = fromList.c_str();
    operation.pTo = to.IsEmpty() ? nullptr : toList.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    if (bToRecycleBin)
        operation.fFlags |= FOF_ALLOWUNDO;
    return ::SHFileOperationA(&operation) == 0;
}
