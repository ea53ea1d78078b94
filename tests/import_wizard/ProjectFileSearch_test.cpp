// The walk for older project files over a folder tree that stands in for a drive: one hit
// per top-level folder, exact names, link folders not entered, and a walk that stops.
#include "ProjectFileSearch.h"

#include "TestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace testsupport;

namespace {

class RecordingSearch : public CProjectFileSearch
{
public:
    std::vector<CString> texts;
    std::vector<CString> found;
    std::function<void()> onText;

protected:
    void OnSearchText(const CString& text) override
    {
        texts.push_back(text);
        if (onText)
            onText();
    }
    void OnProjectFileFound(const CString& path) override { found.push_back(path); }
};

class ProjectFileSearchTest : public testing::Test
{
protected:
    // A file (and its folders) below the drive's root.
    CString Put(const char* relative) { return PutFile(m_drive.Path(), relative, "old project"); }
    void Folder(const char* relative) { ::CreateDirectoryA(m_drive.File(relative), nullptr); }
    CString Root() const { return m_drive.Path() + "\\"; }

    TempDir m_drive;
    RecordingSearch m_search;
};

} // namespace

TEST_F(ProjectFileSearchTest, EachTopLevelFolderGivesItsFirstHitOnly)
{
    const CString old = Put("Program Files\\Quendal, LLC\\Zentrova2\\Project.cfg");
    const CString backup = Put("Backup\\2004\\old\\Zentrova2\\Project.cfg");
    const CString top = Put("Zentrova2\\Project.cfg");
    // A "Zentrova2" without the file is searched further down.
    const CString deeper = Put("Archive\\Zentrova2\\deeper\\Zentrova2\\Project.cfg");
    Put("Loose.cfg");
    Put("Project.cfg"); // files in the root are not looked at

    m_search.ScanDrive(Root());
    std::vector<CString> expected = {old, backup, top, deeper};
    std::vector<CString> found = m_search.found;
    std::sort(found.begin(), found.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    std::sort(expected.begin(), expected.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    EXPECT_EQ(expected, found);
    ASSERT_EQ(4, m_search.m_arrFoundPaths.GetSize());
    EXPECT_EQ(m_search.found[0], m_search.m_arrFoundPaths[0]);

    // The second installation under a top-level folder that already gave a hit is not listed.
    m_search.found.clear();
    Put("Program Files\\Another\\Zentrova2\\Project.cfg");
    m_search.ScanDrive(Root());
    EXPECT_EQ(4u, m_search.found.size());
    int inProgramFiles = 0;
    for (const CString& path : m_search.found)
        inProgramFiles += path.Find(Root() + "Program Files\\") == 0;
    EXPECT_EQ(1, inProgramFiles);
}

TEST_F(ProjectFileSearchTest, NamesCountOnlyAsWrittenLetterCaseIncluded)
{
    Put("a\\zentrova2\\Project.cfg");
    Put("b\\ZENTROVA2\\Project.cfg");
    Put("c\\Zentrova2\\project.cfg");
    Put("d\\Zentrova2\\PROJECT.CFG");
    Folder("e");
    Folder("e\\Zentrova2");
    Folder("e\\Zentrova2\\Project.cfg"); // a folder of that name
    Put("f\\Zentrova2x\\Project.cfg");
    m_search.ScanDrive(Root());
    EXPECT_TRUE(m_search.found.empty()) << m_search.found[0].GetString();
}

TEST_F(ProjectFileSearchTest, ShowsEachFolderAndPatternAsItIsSearched)
{
    Put("Data\\Zentrova2\\Project.cfg");
    m_search.ScanDrive(Root());
    const CString data = Root() + "Data";
    ASSERT_GE(m_search.texts.size(), 2u);
    EXPECT_EQ(data, m_search.texts[0]);
    EXPECT_EQ(data + "\\*.*", m_search.texts[1]);
    EXPECT_EQ(std::vector<CString>{data + "\\Zentrova2\\Project.cfg"}, m_search.found);
}

TEST_F(ProjectFileSearchTest, LinkedFoldersAreNotEntered)
{
    const CString real = Put("Real\\Zentrova2\\Project.cfg");
    // A link back to the drive's root would list everything again, without end; a link to
    // the installation's own folder would list it twice.
    UnixLink loop(m_drive.File("Loop"), m_drive.Path());
    UnixLink shortcut(m_drive.File("Shortcut"), m_drive.File("Real"));
    if (!loop.Made() || !shortcut.Made())
        GTEST_SKIP() << "no Linux links can be made from this Wine";
    m_search.ScanDrive(Root());
    EXPECT_EQ(std::vector<CString>{real}, m_search.found);
}

TEST_F(ProjectFileSearchTest, AStoppedWalkReportsNothingMore)
{
    Put("Data\\Zentrova2\\Project.cfg");
    Put("More\\Zentrova2\\Project.cfg");
    m_search.onText = [this] { m_search.StopSearch(); };
    m_search.ScanDrive(Root());
    EXPECT_EQ(1u, m_search.texts.size());
    EXPECT_TRUE(m_search.found.empty());
    EXPECT_TRUE(m_search.IsStopped());
}

TEST(ProjectFileSearchDriveTypes, RemovableFixedAndRamDrivesOnly)
{
    EXPECT_TRUE(CProjectFileSearch::IsSearchedDriveType(DRIVE_REMOVABLE));
    EXPECT_TRUE(CProjectFileSearch::IsSearchedDriveType(DRIVE_FIXED));
    EXPECT_TRUE(CProjectFileSearch::IsSearchedDriveType(DRIVE_RAMDISK));
    for (UINT type : {DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, DRIVE_REMOTE, DRIVE_CDROM})
        EXPECT_FALSE(CProjectFileSearch::IsSearchedDriveType(type)) << type;
}
