// Saves of data files ended half way, as a kill ends them (the program ended by force, the
// machine switched off), for the tests of every data file's writer: the save runs with a
// hook on its steps (SetDataFileStepHook) that closes the temporary file, as the system
// closes a killed program's files, and ends the save there. And saves onto a full disk.
#pragma once

#include "DataFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace testsupport {

struct SaveKilled
{
};

// While the object lives, every data file is written onto a full disk: nothing of the bytes
// is written, and the write fails as on a disk without room (SetDataFileWriter).
class FullDisk
{
public:
    FullDisk() : m_previous(SetDataFileWriter(&Write)) {}
    ~FullDisk() { SetDataFileWriter(m_previous); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    static BOOL WINAPI Write(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED)
    {
        if (written)
            *written = 0;
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    DataFileWriter m_previous;
};

// The temporary files that saves of the data file left beside it.
inline int TemporariesOf(const CString& path)
{
    int count = 0;
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA(path + ".~*.tmp", &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++count;
    while (FindNextFileA(hFind, &found));
    FindClose(hFind);
    return count;
}

// Runs the save, killed at the step; false when the save never reached it.
inline bool SaveKilledAt(DataFileStep step, const std::function<void()>& save)
{
    static DataFileStep s_step;
    s_step = step;
    const DataFileStepHook previous = SetDataFileStepHook([](DataFileStep at, HANDLE hTemporary) {
        if (at != s_step)
            return;
        if (at == DataFileTemporaryCreated || at == DataFileBytesWritten)
            CloseHandle(hTemporary);
        throw SaveKilled();
    });
    bool killed = false;
    try {
        save();
    } catch (const SaveKilled&) {
        killed = true;
    }
    SetDataFileStepHook(previous);
    return killed;
}

// The save of the new contents killed at each step in turn: until the rename the file keeps
// the previous contents whole and each killed save leaves its temporary file beside it;
// killed after the rename the file holds the new contents. The next whole save (of the old
// contents) then removes every temporary file. saveOld and saveNew are whole saves of the
// file, each as the program makes it.
inline void ExpectKilledSavesKeepTheFileWhole(const CString& path, const std::function<void()>& saveOld,
                                              const std::function<void()>& saveNew)
{
    std::string before, after, now;
    saveNew();
    ASSERT_TRUE(ReadBytes(path, after));
    saveOld();
    ASSERT_TRUE(ReadBytes(path, before));
    ASSERT_NE(before, after);
    ASSERT_EQ(0, TemporariesOf(path));

    const struct
    {
        DataFileStep step;
        const char* name;
    } steps[] = {
        {DataFileTemporaryCreated, "killed with the temporary file empty"},
        {DataFileBytesWritten, "killed before the flush"},
        {DataFileTemporaryClosed, "killed before the rename"},
        {DataFileReplaced, "killed after the rename"},
    };
    int left = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        ASSERT_TRUE(SaveKilledAt(s.step, saveNew));
        ASSERT_TRUE(ReadBytes(path, now));
        if (s.step == DataFileReplaced) {
            EXPECT_TRUE(now == after) << "the new file, whole";
        } else {
            EXPECT_TRUE(now == before) << "the previous file, whole";
            ++left;
        }
        EXPECT_EQ(left, TemporariesOf(path));
    }
    saveOld();
    ASSERT_TRUE(ReadBytes(path, now));
    EXPECT_TRUE(now == before);
    EXPECT_EQ(0, TemporariesOf(path)) << "the next save removes what the killed ones left";
}

} // namespace testsupport
