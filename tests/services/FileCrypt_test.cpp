#include "DataFiles.h"
#include "FileCrypt.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>

using testsupport::FilesIn;
using testsupport::TempDir;

TEST(FileCrypt, PadsWithOneToThirtyTwoBlanks)
{
    struct Case { int length; int cipherLength; };
    const Case cases[] = {{0, 32}, {1, 32}, {31, 32}, {32, 64}, {33, 64}, {64, 96}};
    CFileCrypt crypt;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        CString text;
        for (int i = 0; i < c.length; ++i)
            text += static_cast<char>('a' + i % 26);
        CString cipher, back;
        ASSERT_EQ(crypt.EncryptString(text, cipher), 1);
        EXPECT_EQ(cipher.GetLength(), c.cipherLength);
        ASSERT_EQ(crypt.DecryptString(cipher, back), 1);
        EXPECT_EQ(back, text + CString(' ', c.cipherLength - c.length));
    }
}

TEST(FileCrypt, EnciphersDeterministicallyBlockByBlock)
{
    CFileCrypt crypt;
    CString block('z', 32);
    CString a, b;
    ASSERT_EQ(crypt.EncryptString(block + block, a), 1);
    ASSERT_EQ(crypt.EncryptString(block + block, b), 1);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.Left(32), a.Mid(32, 32));
    EXPECT_NE(a.Left(32), block);
}

TEST(FileCrypt, KeepsZeroBytesAndHighBytes)
{
    CFileCrypt crypt;
    const char raw[] = {'<', 'a', '>', '\0', '\xE4', '\xFF', '\0', '<', '/', 'a', '>'};
    CString text(raw, sizeof raw);
    CString cipher, back;
    ASSERT_EQ(crypt.EncryptString(text, cipher), 1);
    ASSERT_EQ(crypt.DecryptString(cipher, back), 1);
    EXPECT_EQ(back.Left(text.GetLength()), text);
}

TEST(FileCrypt, UpdatingACipherTextEqualsEncipheringTheNewTextWhole)
{
    // An earlier text of 200 bytes; the new text keeps its first `same` bytes, then differs
    // and ends at `length`.
    struct Case { int same; int length; };
    const Case cases[] = {{0, 200}, {1, 200}, {31, 150}, {32, 260}, {33, 33}, {199, 200}, {200, 200}, {200, 231},
                          {64, 64}, {100, 40}};
    CFileCrypt crypt;
    CString before;
    for (int i = 0; i < 200; ++i)
        before += static_cast<char>('A' + (i * 7) % 50);
    CString earlier;
    ASSERT_EQ(crypt.EncryptString(before, earlier), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.same << " of " << c.length);
        CString after = before.Left(std::min(c.same, c.length));
        while (after.GetLength() < c.length)
            after += static_cast<char>('a' + after.GetLength() % 26);
        CString whole, updated = earlier;
        ASSERT_EQ(crypt.EncryptString(after, whole), 1);
        ASSERT_EQ(crypt.UpdateCipher(after, updated, std::min(c.same, c.length)), 1);
        EXPECT_EQ(whole, updated);
    }
}

TEST(FileCrypt, RefusesCipherTextOfTheWrongLength)
{
    CFileCrypt crypt;
    for (int length : {0, 31, 33}) {
        CString out("left over");
        EXPECT_EQ(crypt.DecryptString(CString('x', length), out), 0) << length;
    }
}

TEST(FileCrypt, FileRoundTrip)
{
    TempDir dir;
    CString path = dir.File("Project.cfg");
    CFileCrypt crypt;
    CString text = "<Project Name=\"Project Folders\"><Folders/></Project>";
    ASSERT_EQ(crypt.WriteEncryptedFile(text, path), 1);
    std::string raw;
    ASSERT_TRUE(testsupport::ReadBytes(path, raw));
    EXPECT_EQ(raw.size() % 32, 0u);
    EXPECT_EQ(raw.find("Project"), std::string::npos);

    CString back;
    ASSERT_EQ(crypt.ReadEncryptedFile(path, back), 1);
    EXPECT_EQ(CString(back).TrimRight(' '), text);

    // A shorter text written over a longer one leaves no stale tail.
    ASSERT_EQ(crypt.WriteEncryptedFile("<a/>", path), 1);
    ASSERT_EQ(crypt.ReadEncryptedFile(path, back), 1);
    EXPECT_EQ(back, "<a/>" + CString(' ', 28));
    EXPECT_EQ(FilesIn(dir.Path()), 1);
}

TEST(FileCrypt, ReadFailuresLeaveTheTextEmpty)
{
    TempDir dir;
    CFileCrypt crypt;
    ASSERT_TRUE(testsupport::WriteBytes(dir.File("empty.cfg"), ""));
    ASSERT_TRUE(testsupport::WriteBytes(dir.File("odd.cfg"), std::string(33, 'x')));
    ASSERT_EQ(crypt.WriteEncryptedFile("held", dir.File("held.cfg")), 1);

    HANDLE holder = CreateFileA(dir.File("held.cfg"), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const char* name : {"empty.cfg", "odd.cfg", "missing.cfg", "held.cfg"}) {
        SCOPED_TRACE(name);
        CString text("previous contents");
        EXPECT_EQ(crypt.ReadEncryptedFile(dir.File(name), text), 0);
        EXPECT_TRUE(text.IsEmpty());
    }
    CloseHandle(holder);
}

namespace {

// Stand-ins for WriteFile: one writes half the bytes (a disk that filled up), one fails.
BOOL WINAPI WriteHalf(HANDLE file, LPCVOID data, DWORD length, LPDWORD written, LPOVERLAPPED)
{
    return WriteFile(file, data, length / 2, written, nullptr);
}

BOOL WINAPI WriteNothing(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED)
{
    *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

} // namespace

TEST(FileCrypt, FailedWriteKeepsTheOldFileWhole)
{
    TempDir dir;
    CString path = dir.File("config2.cfg");
    CFileCrypt crypt;
    ASSERT_EQ(crypt.WriteEncryptedFile("<Config>old</Config>", path), 1);
    std::string before;
    ASSERT_TRUE(testsupport::ReadBytes(path, before));

    struct Case {
        const char* name;
        bool hold;                  // another program holds the file without delete sharing
        DataFileWriter writer;    // a stand-in for WriteFile, or null
    };
    const Case cases[] = {
        {"file held open", true, nullptr},
        {"short write", false, &WriteHalf},
        {"failed write", false, &WriteNothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (c.hold) {
            holder = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        }
        DataFileWriter previous = c.writer ? SetDataFileWriter(c.writer) : nullptr;
        const int result = crypt.WriteEncryptedFile("<Config>a longer new text</Config>", path);
        if (c.writer)
            SetDataFileWriter(previous);
        if (holder != INVALID_HANDLE_VALUE)
            CloseHandle(holder);

        EXPECT_EQ(result, 0);
        std::string after;
        ASSERT_TRUE(testsupport::ReadBytes(path, after));
        EXPECT_EQ(after, before);
        EXPECT_EQ(FilesIn(dir.Path()), 1) << "the temporary file must be removed";
    }

    // A folder that does not exist: nothing is written anywhere.
    EXPECT_EQ(crypt.WriteEncryptedFile("x", dir.File("no such folder\\a.cfg")), 0);
    // With WriteFile back in place the next write goes through.
    EXPECT_EQ(crypt.WriteEncryptedFile("<Config>new</Config>", path), 1);
    CString text;
    ASSERT_EQ(crypt.ReadEncryptedFile(path, text), 1);
    EXPECT_EQ(text.Left(20), "<Config>new</Config>");
}

TEST(FileCrypt, ASaveWaitsForAReaderThatHoldsTheFileBriefly)
{
    TempDir dir;
    const CString path = dir.File("Project.cfg");
    CFileCrypt crypt;
    ASSERT_EQ(crypt.WriteEncryptedFile("<Project>old</Project>", path), 1);
    // Another program reads the file, without delete sharing, while the save runs.
    HANDLE reader = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread done([reader] {
        Sleep(200);
        CloseHandle(reader);
    });
    EXPECT_EQ(crypt.WriteEncryptedFile("<Project>new</Project>", path), 1);
    done.join();
    CString text;
    ASSERT_EQ(crypt.ReadEncryptedFile(path, text), 1);
    EXPECT_EQ(CString(text).TrimRight(' '), "<Project>new</Project>");
    EXPECT_EQ(FilesIn(dir.Path()), 1);
}

namespace {

// A stand-in for WriteFile that ends the save the way a hard kill does: half the bytes are
// in the temporary file, which stays open and is never renamed.
HANDLE g_killedIn = INVALID_HANDLE_VALUE;

struct Killed {};

BOOL WINAPI WriteHalfAndDie(HANDLE file, LPCVOID data, DWORD length, LPDWORD written, LPOVERLAPPED)
{
    WriteFile(file, data, length / 2, written, nullptr);
    g_killedIn = file;
    throw Killed();
}

// Runs a save that is killed halfway; the temporary file it leaves is closed afterwards
// unless the caller keeps it open (a save still going on in another program).
void KilledSave(const CString& path, bool keepOpen = false)
{
    DataFileWriter previous = SetDataFileWriter(&WriteHalfAndDie);
    EXPECT_THROW(CFileCrypt().WriteEncryptedFile("<Project>lost</Project>", path), Killed);
    SetDataFileWriter(previous);
    if (!keepOpen)
        CloseHandle(g_killedIn);
}

} // namespace

TEST(FileCrypt, TheNextSaveRemovesTemporaryFilesLeftByAKilledSave)
{
    TempDir dir;
    using testsupport::FileNamesIn;
    const CString project = dir.File("Project.cfg"), options = dir.File("config2.cfg");
    CFileCrypt crypt;
    ASSERT_EQ(crypt.WriteEncryptedFile("<Project>old</Project>", project), 1);
    ASSERT_EQ(crypt.WriteEncryptedFile("<Config>old</Config>", options), 1);
    ASSERT_TRUE(testsupport::WriteBytes(dir.File("Project.cfg.bak"), "the user's copy"));
    ASSERT_TRUE(testsupport::WriteBytes(dir.File("notes.tmp"), "someone else's"));

    // Two killed saves of each file: their temporary files stay beside the files, which
    // are untouched.
    KilledSave(project);
    KilledSave(project);
    KilledSave(options);
    KilledSave(options);
    ASSERT_EQ(FilesIn(dir.Path()), 8);
    CString text;
    ASSERT_EQ(crypt.ReadEncryptedFile(project, text), 1);
    EXPECT_EQ(CString(text).TrimRight(' '), "<Project>old</Project>");

    // A failed save removes nothing; the next successful save of Project.cfg removes its own
    // leftovers only.
    DataFileWriter previous = SetDataFileWriter(&WriteNothing);
    EXPECT_EQ(crypt.WriteEncryptedFile("<Project>new</Project>", project), 0);
    SetDataFileWriter(previous);
    EXPECT_EQ(FilesIn(dir.Path()), 8);
    ASSERT_EQ(crypt.WriteEncryptedFile("<Project>new</Project>", project), 1);
    EXPECT_EQ(FileNamesIn(dir.Path()).size(), 6u);
    ASSERT_EQ(crypt.ReadEncryptedFile(project, text), 1);
    EXPECT_EQ(CString(text).TrimRight(' '), "<Project>new</Project>");

    // A temporary file still open for writing is not disturbed; once it is closed, the next
    // save removes it too.
    KilledSave(options, true);
    ASSERT_EQ(crypt.WriteEncryptedFile("<Config>new</Config>", options), 1);
    EXPECT_EQ(FileNamesIn(dir.Path()).size(), 5u);
    CloseHandle(g_killedIn);
    ASSERT_EQ(crypt.WriteEncryptedFile("<Config>newer</Config>", options), 1);
    EXPECT_EQ(FileNamesIn(dir.Path()),
              (std::vector<CString>{"config2.cfg", "notes.tmp", "project.cfg", "project.cfg.bak"}));
    ASSERT_EQ(crypt.ReadEncryptedFile(options, text), 1);
    EXPECT_EQ(CString(text).TrimRight(' '), "<Config>newer</Config>");
}

TEST(FileCrypt, ReadsAFileEncipheredAtBuildTime)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    ASSERT_NE(build, nullptr);
    std::string plain;
    ASSERT_TRUE(testsupport::ReadBytes(testsupport::DataPath("cfgcrypt/sample.xml"), plain));
    CFileCrypt crypt;
    CString text;
    ASSERT_EQ(crypt.ReadEncryptedFile(CString(build) + "/tests/data/sample.cfg", text), 1);
    EXPECT_EQ(text.Left(static_cast<int>(plain.size())), CString(plain));
    EXPECT_EQ(text.GetLength() % 32, 0);
}
