#include "DataFiles.h"
#include "KilledSave.h"
#include "ProgressLog.h"
#include "TestSupport.h"
#include "TraceLine.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const kStores[] = {
    "\\VirtualStore\\Program Files (x86)\\Morvath Software\\Zentrova3",
    "\\VirtualStore\\Program Files\\Morvath Software\\Zentrova3",
    "\\VirtualStore\\Program Files (x86)\\Quendal, LLC\\Zentrova3",
    "\\VirtualStore\\Program Files\\Quendal, LLC\\Zentrova3",
};

CString LocalAppData()
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

void MakeFolders(CString path)
{
    for (int i = 3; i <= path.GetLength(); ++i) {
        if (i == path.GetLength() || path[i] == '\\')
            CreateDirectoryA(path.Left(i), nullptr);
    }
}

// Writes a file and sets its modification time to 2020-01-01 plus the given seconds.
void WriteAt(const CString& path, int seconds)
{
    ASSERT_TRUE(testsupport::WriteBytes(path, "x"));
    SYSTEMTIME st = {2020, 1, 3, 1, 0, 0, 0, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    v.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
    ft.dwLowDateTime = v.LowPart;
    ft.dwHighDateTime = v.HighPart;
    HANDLE h = CreateFileA(path, FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

// Removes the test file from the program folder and from every store on both ends of a test.
class ResolveDataFilePathTest : public testing::Test
{
protected:
    const CString name = "resolve-test.cfg";
    CString Home() const { return GetAppDirectory() + "\\" + name; }
    CString Store(int i) const { return LocalAppData() + kStores[i] + "\\" + name; }
    void Clean()
    {
        DeleteFileA(Home());
        for (int i = 0; i < 4; ++i)
            DeleteFileA(Store(i));
    }
    void SetUp() override
    {
        Clean();
        for (const char* s : kStores)
            MakeFolders(LocalAppData() + s);
    }
    void TearDown() override { Clean(); }
};

} // namespace

TEST(GetAppDirectory, IsTheExecutableFolderWithoutTrailingBackslash)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    CString folder = GetAppDirectory();
    EXPECT_NE(folder.Right(1), "\\");
    EXPECT_EQ(folder + "\\" + CString(exe).Mid(folder.GetLength() + 1), CString(exe));
    EXPECT_EQ(CString(exe).Mid(folder.GetLength() + 1).Find('\\'), -1);
}

TEST_F(ResolveDataFilePathTest, PicksTheFirstStrictlyNewerCopy)
{
    struct Case { const char* what; std::vector<int> stores; int expected; };
    // stores: modification time of store 1..4 relative to the home file, or 0 for absent
    const Case cases[] = {
        {"no copies", {0, 0, 0, 0}, -1},
        {"store 2 newer, store 1 older", {-10, 10, 0, 0}, 1},
        {"stores 1 and 2 newer", {5, 10, 0, 0}, 0},
        {"same second is not newer", {99999, 0, 0, 0}, -1},
        {"only the last store newer", {-1, -1, -1, 3}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Clean();
        WriteAt(Home(), 1000);
        for (int i = 0; i < 4; ++i) {
            int rel = c.stores[static_cast<size_t>(i)];
            if (rel == 99999)
                WriteAt(Store(i), 1000);
            else if (rel != 0)
                WriteAt(Store(i), 1000 + rel);
        }
        EXPECT_EQ(ResolveDataFilePath(name), c.expected < 0 ? Home() : Store(c.expected));
    }
}

TEST_F(ResolveDataFilePathTest, AMissingHomeFileCountsNoCopy)
{
    WriteAt(Store(0), 50);
    EXPECT_EQ(ResolveDataFilePath(name), Home());
}

TEST(ProgressLog, HeaderUsesTheTwelveHourClockWithoutLeadingZeros)
{
    struct Case { WORD hour, minute, second; const char* line; };
    const Case cases[] = {
        {0, 30, 0, "Time: 12:30:0 AM"},
        {12, 5, 0, "Time: 12:5:0 PM"},
        {13, 15, 0, "Time: 1:15:0 PM"},
        {23, 59, 59, "Time: 11:59:59 PM"},
        {9, 7, 3, "Time: 9:7:3 AM"},
    };
    for (const Case& c : cases) {
        SYSTEMTIME st = {2026, 12, 2, 8, c.hour, c.minute, c.second, 0};
        CString header = FormatLogHeader(st);
        EXPECT_NE(header.Find(CString(c.line) + "\r\n"), -1) << c.line;
    }
    SYSTEMTIME st = {2026, 12, 2, 8, 13, 15, 0, 0};
    const CString stars('*', 33);
    EXPECT_EQ(FormatLogHeader(st), "\r\n" + stars + "\r\nZentrova Progress Log\r\nDate: 8/12/2026\r\n"
                                   "Time: 1:15:0 PM\r\n" + stars + "\r\n");
}

TEST(ProgressLog, AppendsLinesAndCreatesAMissingLog)
{
    testsupport::TempDir dir;
    CString path = dir.File("ProgressLog.txt");
    {
        CProgressLog log(path);
        log.Write("first");
        log.Write("second\r\n");
    }
    CProgressLog(path).Write("third");
    std::string text;
    ASSERT_TRUE(testsupport::ReadBytes(path, text));
    EXPECT_EQ(text, "first\r\nsecond\r\n\r\nthird\r\n");
    EXPECT_EQ(CProgressLog().GetPath(), GetAppDirectory() + "\\ProgressLog.txt");
}

TEST(ProgressLog, ALineThatCannotBeWrittenIsDropped)
{
    testsupport::TempDir dir;
    CString path = dir.File("ProgressLog.txt");
    CProgressLog(path).Write("kept");
    HANDLE holder = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CProgressLog(path).Write("dropped");  // held without sharing: silently lost
    CProgressLog(dir.File("no such folder\\ProgressLog.txt")).Write("lost");
    CloseHandle(holder);
    std::string text;
    ASSERT_TRUE(testsupport::ReadBytes(path, text));
    EXPECT_EQ(text, "kept\r\n");
}

TEST(ProgressLog, LinesFromSeveralThreadsAreAllKeptWhole)
{
    testsupport::TempDir dir;
    const CString path = dir.File("ProgressLog.txt");
    const int kThreads = 4, kLines = 150;
    auto lineText = [](int thread, int line) {
        CString text;
        text.Format("CPatentThread::Run-thread %d line %03d of the download trace", thread, line);
        return text;
    };
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            for (int i = 0; i < kLines; ++i)
                CProgressLog(path).Write(lineText(t, i));
        });
    }
    for (std::thread& writer : writers)
        writer.join();

    std::string text;
    ASSERT_TRUE(testsupport::ReadBytes(path, text));
    std::set<std::string> lines;
    size_t count = 0;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.insert(text.substr(start, end - start));
        ++count;
    }
    EXPECT_EQ(count, static_cast<size_t>(kThreads * kLines));
    EXPECT_EQ(text.size() % (lineText(0, 0).GetLength() + 2), 0u);
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kLines; ++i)
            EXPECT_EQ(lines.count(lineText(t, i).GetString()), 1u) << t << " " << i;
    }
}

TEST(ProgressLog, TakesTheDownloadEngineTrace)
{
    const CString path = GetAppDirectory() + "\\ProgressLog.txt";
    DeleteFileA(path);
    TraceSink previous = SetTraceSink(TraceToProgressLog);
    WriteTraceLine("COpsTokenCache::FetchToken-traced");
    SetTraceSink(previous);
    std::string text;
    ASSERT_TRUE(testsupport::ReadBytes(path, text));
    EXPECT_EQ(text, "COpsTokenCache::FetchToken-traced\r\n");
    DeleteFileA(path);
}

TEST(WriteDataFile, AKilledWriteLeavesThePreviousFileWholeAndTheNextRemovesItsTemporaries)
{
    testsupport::TempDir dir;
    const CString path = dir.File("Reports.xml"), other = dir.File("session.xml");
    ASSERT_TRUE(WriteDataFile(other, "<savedsession/>"));
    // A killed save of another file leaves its temporary file, which saves of this one keep.
    ASSERT_TRUE(testsupport::SaveKilledAt(DataFileBytesWritten, [&] { WriteDataFile(other, "<lost/>"); }));
    testsupport::ExpectKilledSavesKeepTheFileWhole(
        path, [&] { ASSERT_TRUE(WriteDataFile(path, "<saved>old</saved>")); },
        [&] { ASSERT_TRUE(WriteDataFile(path, "<saved>a longer new text</saved>")); });
    EXPECT_EQ(1, testsupport::TemporariesOf(other));
    EXPECT_EQ(testsupport::FileNamesIn(dir.Path()).size(), 3u);
}

TEST(WriteDataFile, ACopyOrAReplacementIsWholeOrNothing)
{
    testsupport::TempDir dir;
    const CString recipe = dir.File("Download.cfg"), old = dir.File("OldConfig.cfg"), fresh = dir.File("NewConfig.cfg");
    ASSERT_TRUE(testsupport::WriteBytes(recipe, "previous recipe"));
    ASSERT_TRUE(testsupport::WriteBytes(fresh, "fresh recipe"));
    EXPECT_TRUE(CopyDataFile(recipe, old));
    std::string bytes;
    ASSERT_TRUE(testsupport::ReadBytes(old, bytes));
    EXPECT_EQ(bytes, "previous recipe");
    DWORD error = 0;
    EXPECT_FALSE(CopyDataFile(dir.File("missing.cfg"), old, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(testsupport::ReadBytes(old, bytes));
    EXPECT_EQ(bytes, "previous recipe");

    EXPECT_TRUE(ReplaceDataFile(fresh, recipe));
    ASSERT_TRUE(testsupport::ReadBytes(recipe, bytes));
    EXPECT_EQ(bytes, "fresh recipe");
    EXPECT_FALSE(testsupport::FileExists(fresh));
    EXPECT_FALSE(ReplaceDataFile(fresh, recipe));
    ASSERT_TRUE(testsupport::ReadBytes(recipe, bytes));
    EXPECT_EQ(bytes, "fresh recipe");
}

TEST(SetDataFileAside, RenamesBesideItselfUnderANameThatSaysWhy)
{
    testsupport::TempDir dir;
    const CString path = dir.File("Reports.xml");
    // Two files set aside for the same reason keep both; the next gets a number.
    const struct
    {
        DataFileFault fault;
        const char* name;
    } cases[] = {{DataFileFault::TooLarge, "Reports.xml.too-large"},
                 {DataFileFault::OtherKind, "Reports.xml.other-kind"},
                 {DataFileFault::Unreadable, "Reports.xml.unreadable"},
                 {DataFileFault::TooLarge, "Reports.xml.too-large.2"},
                 {DataFileFault::TooLarge, "Reports.xml.too-large.3"}};
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = "file " + std::to_string(++n);
        ASSERT_TRUE(testsupport::WriteBytes(path, bytes));
        EXPECT_EQ(SetDataFileAside(path, c.fault), dir.File(c.name));
        std::string kept;
        ASSERT_TRUE(testsupport::ReadBytes(dir.File(c.name), kept));
        EXPECT_EQ(kept, bytes);
        EXPECT_FALSE(testsupport::FileExists(path));
    }
    EXPECT_TRUE(SetDataFileAside(path, DataFileFault::OtherKind).IsEmpty());  // nothing to move

    const CString text = DataFileSetAsideText("saved reports", path, dir.File("Reports.xml.too-large"),
                                              DataFileFault::TooLarge);
    EXPECT_EQ(text, "The saved reports in\n" + path +
                        "\nwere not read: the file is larger than 16 MB, far more than the program ever writes.\n"
                        "The file is kept as\n" +
                        dir.File("Reports.xml.too-large") + "\nand the program starts with an empty list.");
    EXPECT_NE(DataFileSetAsideText("search sessions", path, path + ".other-kind", DataFileFault::OtherKind)
                  .Find("holds no search sessions but data of another kind"),
              -1);
}

TEST(IsOversizedDataFile, OnlyBeyondSixteenMegabytes)
{
    testsupport::TempDir dir;
    const CString path = dir.File("session.xml");
    EXPECT_FALSE(IsOversizedDataFile(path));
    for (const long long size : {kDataFileSizeLimit, kDataFileSizeLimit + 1}) {
        HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER at;
        at.QuadPart = size;
        ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h));
        CloseHandle(h);
        EXPECT_EQ(IsOversizedDataFile(path), size > kDataFileSizeLimit) << size;
    }
    EXPECT_FALSE(IsOversizedDataFile(dir.Path()));
}
