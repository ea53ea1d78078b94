// The saves of data files as the user hears of them: the first failure of a file told once,
// with its path and what it holds, until a save of it succeeds; and the stamp that tells a
// file this program wrote from one another program put in its place.
#include "DataFileNotices.h"
#include "DataFiles.h"
#include "KilledSave.h"
#include "ProgressLog.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

class DataFileSavesTest : public ::testing::Test
{
protected:
    bool SaveOnFullDisk(const CString& path, const char* bytes, const char* contents)
    {
        testsupport::FullDisk full;
        return SaveDataFile(path, bytes, contents);
    }
    static std::vector<CString> Unsaved()
    {
        std::vector<CString> paths;
        for (const UnsavedDataFile& file : UnsavedDataFiles())
            paths.push_back(file.path);
        return paths;
    }

    testsupport::DataFileNotices m_notices;
    testsupport::TempDir m_dir;
};

} // namespace

TEST_F(DataFileSavesTest, AFailedSaveIsToldOnceUntilASaveOfThatFileSucceeds)
{
    const CString sessions = m_dir.File("session.xml");
    const CString reports = m_dir.File("Reports.xml");
    ASSERT_TRUE(SaveDataFile(sessions, "first", "search sessions"));
    EXPECT_EQ(0u, m_notices.Count()) << "a save that succeeds says nothing";

    // The first failure is told at once: the file, what it holds, why, and what is kept.
    EXPECT_FALSE(SaveOnFullDisk(sessions, "second", "search sessions"));
    ASSERT_EQ(1u, m_notices.Count());
    EXPECT_EQ(sessions, m_notices.All()[0].path);
    EXPECT_EQ(CString(kNotSavedCaption), m_notices.All()[0].caption);
    EXPECT_EQ(0, m_notices.All()[0].text.Find("The search sessions could not be saved to\n" + sessions + "\n" +
                                        SystemErrorText(ERROR_DISK_FULL)))
        << m_notices.All()[0].text.GetString();
    EXPECT_NE(-1, m_notices.All()[0].text.Find("writes it with the next save that succeeds"));
    std::string bytes;
    ASSERT_TRUE(testsupport::ReadBytes(sessions, bytes));
    EXPECT_EQ("first", bytes) << "the file keeps what it held";

    // Further failures of that file are not told again; another file's are.
    EXPECT_FALSE(SaveOnFullDisk(sessions, "third", "search sessions"));
    EXPECT_EQ(1u, m_notices.Count());
    EXPECT_FALSE(SaveOnFullDisk(reports, "list", "list of saved reports"));
    ASSERT_EQ(2u, m_notices.Count());
    EXPECT_EQ(reports, m_notices.All()[1].path);
    EXPECT_EQ((std::vector<CString>{sessions, reports}), Unsaved());
    EXPECT_TRUE(IsDataFileUnsaved(sessions));

    // A save that succeeds writes the whole new text and ends the file's failure; the next
    // failure of it is told again.
    ASSERT_TRUE(SaveDataFile(sessions, "fourth and whole", "search sessions"));
    ASSERT_TRUE(testsupport::ReadBytes(sessions, bytes));
    EXPECT_EQ("fourth and whole", bytes);
    EXPECT_FALSE(IsDataFileUnsaved(sessions));
    EXPECT_EQ(std::vector<CString>{reports}, Unsaved());
    EXPECT_EQ(2u, m_notices.Count());
    EXPECT_FALSE(SaveOnFullDisk(sessions, "fifth", "search sessions"));
    EXPECT_EQ(3u, m_notices.Count());

    // Without a handler a notice reaches the progress log alone.
    SetDataFileNoticeHandler(nullptr);
    ::DeleteFileA(CProgressLog().GetPath());
    EXPECT_FALSE(SaveOnFullDisk(m_dir.File("basicquery.xml"), "q", "saved Basic Search queries"));
    EXPECT_EQ(3u, m_notices.Count());
    std::string log;
    ASSERT_TRUE(testsupport::ReadBytes(CProgressLog().GetPath(), log));
    EXPECT_NE(std::string::npos, log.find("The saved Basic Search queries could not be saved to"));
}

TEST(DataFileStamp, TellsTheFileWrittenFromOneAnotherProgramPutInItsPlace)
{
    testsupport::TempDir dir;
    const CString path = dir.File("Project.cfg");
    const CString other = dir.File("other.cfg");
    const struct
    {
        const char* what;
        bool bSame;
        void (*change)(const CString& path, const CString& other);
    } cases[] = {
        {"left alone", true, [](const CString&, const CString&) {}},
        {"made read-only", true,
         [](const CString& p, const CString&) { ::SetFileAttributesA(p, FILE_ATTRIBUTE_READONLY); }},
        {"copied over from a file of the same size",
         false, [](const CString& p, const CString& o) { ::CopyFileA(o, p, FALSE); }},
        {"a file renamed into its place",
         false, [](const CString& p, const CString& o) { ::MoveFileExA(o, p, MOVEFILE_REPLACE_EXISTING); }},
        {"written over in place", false,
         [](const CString& p, const CString&) {
             ::Sleep(20);
             testsupport::WriteBytes(p, "BYTES OF ONE");
         }},
        {"deleted", false, [](const CString& p, const CString&) { ::DeleteFileA(p); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(testsupport::WriteBytes(other, "bytes of two"));
        DataFileStamp written;
        ASSERT_TRUE(WriteDataFile(path, "bytes of one", nullptr, &written));
        EXPECT_TRUE(written.bExists);
        EXPECT_EQ(written, StampOfDataFile(path)) << "the stamp of the file as written";
        c.change(path, other);
        EXPECT_EQ(c.bSame, written == StampOfDataFile(path));
    }
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(StampOfDataFile(dir.File("missing.cfg")).bExists);
}
