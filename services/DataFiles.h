// The program's data files: where they live (every file is written to the program folder and
// read from the path ResolveDataFilePath picks, which may be a newer copy that file
// virtualisation left under the user's local application-data folder), how each is written
// whole, and how one the program cannot have written is set aside; and the shell's file
// operations on folders.
#pragma once

#include "String.h"

#include <windows.h>

#include <cstddef>

// The folder of the running executable, without a trailing backslash.
CString GetAppDirectory();

// The path to read a data file (a bare name such as "Project.cfg") from: the program-folder
// copy, or the first VirtualStore copy whose modification time is strictly later (whole
// seconds). Never creates, copies or changes a file.
CString ResolveDataFilePath(CString fileName);

// ------------------------------------------------------------------ writing a data file
// Every data file is written whole: the bytes go first into a temporary file beside the
// target, named after it ("Project.cfg.~1a2b3c4d.tmp"), which is flushed and then renamed
// over the target. The target is replaced only once the new bytes are wholly on disk; on
// any failure it stays as it was, the temporary file is removed and false comes back, with
// the system's error code in *pError when given. A successful write also deletes the
// target's temporary files that a save killed half way (the program ended by force, the
// machine switched off) left behind; one still open for writing stays.
// *pWritten, when given, receives the stamp of the file written (below).
struct DataFileStamp;
bool WriteDataFile(const CString& path, const char* data, size_t length, DWORD* pError = nullptr,
                   DataFileStamp* pWritten = nullptr);
bool WriteDataFile(const CString& path, const CString& bytes, DWORD* pError = nullptr,
                   DataFileStamp* pWritten = nullptr);

// Writes a copy of the source file's bytes to the target as WriteDataFile does; false, with
// the target as it was, when the source cannot be read or the target not written.
bool CopyDataFile(const CString& source, const CString& path, DWORD* pError = nullptr);

// Puts a whole file that lies beside the target (a new recipe file delivered under another
// name) in the target's place in one rename, replacing the target. A reader holding the
// target open makes the rename wait for about a second. False, with both files as they
// were, when it cannot be done.
bool ReplaceDataFile(const CString& source, const CString& path, DWORD* pError = nullptr);

// The function with which WriteDataFile writes the bytes, WriteFile's signature. WriteFile
// unless a test puts a stand-in in place to imitate a short or failed write (a full disk);
// answers the one it replaces.
using DataFileWriter = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
DataFileWriter SetDataFileWriter(DataFileWriter writer);

// The points of a write after which it can be cut short, for tests that end a save there as
// a kill would: the hook is called after each with the temporary file's handle (open for the
// first two, closed after that); a hook that throws ends the save at that point.
enum DataFileStep {
    DataFileTemporaryCreated, // the empty temporary file is open
    DataFileBytesWritten,     // the bytes are in it, not yet flushed
    DataFileTemporaryClosed,  // flushed and closed, the target still the previous file
    DataFileReplaced,         // renamed over the target; the old temporary files still lie
};
using DataFileStepHook = void (*)(DataFileStep step, HANDLE hTemporary);
DataFileStepHook SetDataFileStepHook(DataFileStepHook hook);

// ------------------------------------------------------------------ which file lies there
// What tells a file at a path from another that took its place: its identity on the volume,
// its size and the time of its last write. A file that another program wrote, copied or
// renamed into the place differs in one of them from the one this program read or wrote
// there last; a change of its attributes alone (made read-only) leaves the stamp as it was.
struct DataFileStamp
{
    bool bExists = false;
    DWORD dwVolume = 0;
    DWORD dwIndexHigh = 0;
    DWORD dwIndexLow = 0;
    ULONGLONG nSize = 0;
    ULONGLONG nWritten = 0; // the last write, in 100 ns
};
bool operator==(const DataFileStamp& a, const DataFileStamp& b);
inline bool operator!=(const DataFileStamp& a, const DataFileStamp& b)
{
    return !(a == b);
}
// The stamp of the file at the path; bExists false when there is none (or it cannot be seen).
DataFileStamp StampOfDataFile(const CString& path);

// ------------------------------------------------------------------ setting a data file aside
// A data file the program reads at start that it cannot have written is set aside, and the
// program goes on with an empty one: a file far larger than any the program writes (its
// reading would keep the program from starting for minutes), or a well-formed file of
// another kind (another data file copied into its place); and a new recipe file that cannot
// be read does not replace the recipe. The file is renamed beside itself under a name that
// says why, so nothing of it is lost.
enum class DataFileFault {
    None,
    TooLarge,   // larger than kDataFileSizeLimit
    OtherKind,  // well-formed, but not the file its name says
    Unreadable, // it cannot be deciphered or parsed
};

// 16 MB: far beyond what the program writes into its search-side data files.
const long long kDataFileSizeLimit = 16LL * 1024 * 1024;

// True when the file exists and is larger than the limit.
bool IsOversizedDataFile(const CString& path);

// Renames the file to "NAME.too-large", "NAME.other-kind" or "NAME.unreadable" beside it
// (with ".2", ".3", ... after that when the name is taken) and answers the new path; empty
// when the file could not be moved, and it then stays where it is.
CString SetDataFileAside(const CString& path, DataFileFault fault);

// The message that tells the user about a file set aside: what it held ("saved reports"),
// where it lay, why it was not read and the name it is kept under.
CString DataFileSetAsideText(const char* contents, const CString& path, const CString& aside, DataFileFault fault);

// One file operation of the shell (FO_COPY, FO_DELETE, ...) on one path, and one target where
// it has one: no progress window, no questions. bToRecycleBin sends what FO_DELETE removes to
// the recycle bin. True when it succeeded.
bool RunShellFileOperation(HWND hOwner, UINT nFunction, const CString& from, const CString& to = CString(),
                           bool bToRecycleBin = false);
