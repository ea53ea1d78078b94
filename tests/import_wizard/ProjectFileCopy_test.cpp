// Putting an older project file in place of the current one: the replaced file is kept as a
// dated backup, and a copy that fails leaves the current file as it was.
#include "ProjectFileCopy.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace testsupport;

namespace {

std::string Bytes(const CString& path)
{
    std::string bytes;
    EXPECT_TRUE(ReadBytes(path, bytes)) << path.GetString();
    return bytes;
}

class ProjectFileCopyTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteBytes(m_old.File("Project.cfg"), "the older version's project"));
        m_source = m_old.File("Project.cfg");
        m_destination = m_program.File("Project.cfg");
    }

    TempDir m_old;
    TempDir m_program;
    CString m_source;
    CString m_destination;
};

} // namespace

TEST(BackupPathTest, CarriesDateAndTime)
{
    SYSTEMTIME when{};
    when.wYear = 2024;
    when.wMonth = 1;
    when.wDay = 31;
    when.wHour = 15;
    when.wMinute = 45;
    when.wSecond = 2;
    EXPECT_EQ(CString("C:\\Zentrova 3\\Project.cfg.20240131-154502.bak"),
              BackupPathFor("C:\\Zentrova 3\\Project.cfg", when));
}

TEST_F(ProjectFileCopyTest, ReplacedFileIsKeptBesideTheCopy)
{
    ASSERT_TRUE(WriteBytes(m_destination, "the current project"));
    CString backup;
    ASSERT_TRUE(ReplaceProjectFile(m_source, m_destination, &backup));
    EXPECT_EQ("the older version's project", Bytes(m_destination));
    EXPECT_EQ(0, backup.Find(m_destination + ".")) << backup.GetString();
    EXPECT_EQ(backup.GetLength() - 4, backup.Find(".bak")) << backup.GetString();
    EXPECT_EQ("the current project", Bytes(backup));
    EXPECT_EQ(2, FilesIn(m_program.Path())); // nothing half-written left behind
    EXPECT_EQ("the older version's project", Bytes(m_source));

    // A second import in the same second keeps the first backup too.
    CString second;
    ASSERT_TRUE(ReplaceProjectFile(m_source, m_destination, &second));
    EXPECT_NE(backup, second);
    EXPECT_EQ("the current project", Bytes(backup));
    EXPECT_EQ("the older version's project", Bytes(second));
    EXPECT_EQ(3, FilesIn(m_program.Path()));
}

TEST_F(ProjectFileCopyTest, WithoutACurrentFileNothingIsBackedUp)
{
    CString backup = "untouched";
    ASSERT_TRUE(ReplaceProjectFile(m_source, m_destination, &backup));
    EXPECT_TRUE(backup.IsEmpty());
    EXPECT_EQ("the older version's project", Bytes(m_destination));
    EXPECT_EQ(1, FilesIn(m_program.Path()));
}

TEST_F(ProjectFileCopyTest, FailedCopyLeavesTheCurrentFileWhole)
{
    ASSERT_TRUE(WriteBytes(m_destination, "the current project"));
    ASSERT_TRUE(WriteBytes(m_old.File("Other.cfg"), "another project"));
    // The source cannot be read while another program holds it without sharing.
    HANDLE hLocked = ::CreateFileA(m_source, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hLocked);
    struct Case { const char* what; CString source; CString destination; };
    const Case cases[] = {
        {"missing source", m_old.File("Gone.cfg"), m_destination},
        {"unreadable source", m_source, m_destination},
        {"missing destination folder", m_old.File("Other.cfg"), m_program.File("no such folder\\Project.cfg")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CString backup = "untouched";
        EXPECT_FALSE(ReplaceProjectFile(c.source, c.destination, &backup));
        EXPECT_TRUE(backup.IsEmpty());
        EXPECT_EQ("the current project", Bytes(m_destination));
        EXPECT_EQ(1, FilesIn(m_program.Path()));
    }
    ::CloseHandle(hLocked);
}

TEST_F(ProjectFileCopyTest, CurrentFileLockedAgainstMovingStaysInPlace)
{
    ASSERT_TRUE(WriteBytes(m_destination, "the current project"));
    // The running main program could hold its project file open without sharing.
    HANDLE hLocked = ::CreateFileA(m_destination, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hLocked);
    const BOOL bReplaced = ReplaceProjectFile(m_source, m_destination);
    ::CloseHandle(hLocked);
    if (bReplaced)
        GTEST_SKIP() << "Wine moves a file that is open without sharing";
    EXPECT_EQ("the current project", Bytes(m_destination));
    EXPECT_EQ(1, FilesIn(m_program.Path()));
}
