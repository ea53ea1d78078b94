#include "ProgressLog.h"

#include "DataFiles.h"

#include <mutex>

namespace {

// Download threads trace through the same file as the user-interface thread. Each write opens
// the log without sharing, so two writers at once would make one open fail and lose its line:
// writes in this process take turns.
std::mutex g_logLock;

} // namespace

CProgressLog::CProgressLog() : m_strPath(GetAppDirectory() + "\\ProgressLog.txt") {}

CProgressLog::CProgressLog(CString path) : m_strPath(path) {}

void CProgressLog::Write(CString message)
{
    std::lock_guard<std::mutex> hold(g_logLock);
    // Opens an existing log or creates a missing one; never truncates.
    HANDLE h = CreateFileA(m_strPath, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    const CString line = message + "\r\n";
    DWORD written = 0;
    if (SetFilePointer(h, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER)
        WriteFile(h, line.GetString(), static_cast<DWORD>(line.GetLength()), &written, nullptr);
    CloseHandle(h);
}

void TraceToProgressLog(const CString& line)
{
    CProgressLog().Write(line);
}

CString FormatLogHeader(const SYSTEMTIME& now)
{
    int hour12 = now.wHour % 12;
    if (hour12 == 0)
        hour12 = 12;
    CString header;
    header.Format("\r\n*********************************\r\nZentrova Progress Log\r\nDate: %d/%d/%d\r\n"
                  "Time: %d:%d:%d %s\r\n*********************************\r\n",
                  now.wDay, now.wMonth, now.wYear, hour12, now.wMinute, now.wSecond,
                  now.wHour < 12 ? "AM" : "PM");
    return header;
}
