// The real program when its project file cannot be written, as a user meets it: Project.cfg
// held open by another program while documents are downloaded with the download queue's test
// recipe from the fixture server. The user hears of it once, in the program's message box;
// the documents stay in the program and the next save that can writes them all; closing
// while the file is still held says so and keeps the project beside the file. The program
// shares its mutex and registry key with every other start of it, so CTest runs it alone.
#include "WorkspaceTest.h"

#include "FixtureServer.h"
#include "ProgramDownloadTest.h"
#include "WindowBench.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace testsupport;
using namespace workspacetest;

namespace {

const char kNotSaved[] = "Not Saved";
const int kMessageText = 1150; // the text of the program's message box

class SaveProgramTest : public ProgramDownloadTest
{
protected:
    void SetUp() override
    {
        ProgramDownloadTest::SetUp();
        if (HasFatalFailure())
            return;
        InstallQueueRecipe();
    }
    void TearDown() override
    {
        Release();
        ProgramDownloadTest::TearDown();
    }

    // Project.cfg held open by another program, which lets others read it but neither write
    // nor replace it.
    void Hold()
    {
        m_hHolder = CreateFileA(m_folder.File("Project.cfg"), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, m_hHolder);
    }
    void Release()
    {
        if (m_hHolder != INVALID_HANDLE_VALUE)
            CloseHandle(m_hHolder);
        m_hHolder = INVALID_HANDLE_VALUE;
    }
    // The program's notice of a failed save: its text, and the box closed with OK after a
    // screenshot of it when a name is given.
    CString TakeNotice(const Started& run, const char* screenshot = nullptr)
    {
        HWND hNotice = ShownWindow(run.pi.dwProcessId, kNotSaved, 60000);
        if (!hNotice) {
            ADD_FAILURE() << "no notice shows\n" << m_folder.Log();
            return CString();
        }
        const CString text = ControlText(hNotice, kMessageText);
        if (screenshot) {
            Sleep(400); // the box finishes painting
            CString why;
            if (!SaveScreenshot(ScreenshotPath(screenshot), &why))
                std::printf("no screenshot %s: %s\n", screenshot, why.GetString());
        }
        PressButton(hNotice, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hNotice) || !IsWindowVisible(hNotice); }, 5000));
        return text;
    }
    std::string ProjectBytes() const
    {
        std::string bytes;
        ReadBytes(m_folder.File("Project.cfg"), bytes);
        return bytes;
    }

    HANDLE m_hHolder = INVALID_HANDLE_VALUE;
};

} // namespace

TEST_F(SaveProgramTest, AProjectFileThatCannotBeWrittenIsToldOnceAndWrittenWholeLater)
{
    Started run;
    StartProgram(run);
    if (HasFatalFailure())
        return;
    TypeNumber(m_hBox, "1111111");
    ASSERT_TRUE(WaitForRecord("US1111111")) << m_folder.Log();
    const std::string saved = ProjectBytes();

    // While another program holds the file, a download shows in its folder and the user
    // hears at once that the project is not saved, naming the file.
    Hold();
    TypeNumber(m_hBox, "2222222");
    const CString text = TakeNotice(run, "save-failed-notice.png");
    EXPECT_EQ(0, text.Find("The project (its folders and documents) could not be saved to\n" +
                           m_folder.File("Project.cfg") + "\n"))
        << text.GetString();
    EXPECT_NE(-1, text.Find("writes it with the next save that succeeds")) << text.GetString();
    EXPECT_TRUE(WaitUntil([&] { return RowCount(m_hList) == 2; }, 5000));

    // A second download that cannot be saved is not told again.
    TypeNumber(m_hBox, "3333333");
    EXPECT_TRUE(WaitUntil([&] { return RowCount(m_hList) == 3; }, 60000));
    EXPECT_EQ(nullptr, ShownWindow(run.pi.dwProcessId, kNotSaved, 3000)) << "one notice, not one per save";
    EXPECT_EQ(saved, ProjectBytes()) << "the held file is as it was";

    // Once the file is free, the next save writes everything the program holds.
    Release();
    TypeNumber(m_hBox, "4444444");
    ASSERT_TRUE(WaitForRecord("US4444444")) << m_folder.Log();
    for (const char* name : {"US1111111", "US2222222", "US3333333"})
        EXPECT_NE(nullptr, Record(name)) << name;
    EXPECT_EQ(4, Records());
    ASSERT_TRUE(ProgramFolder::Close(m_hMain, run)) << "the close says nothing more";

    // The next start shows all four.
    Started again;
    StartProgram(again);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(WaitUntil([&] { return RowCount(m_hList) == 4; }, 5000));
    EXPECT_TRUE(ProgramFolder::Close(m_hMain, again));
}

TEST_F(SaveProgramTest, ClosingWhileTheProjectCannotBeWrittenSaysWhereItIsKept)
{
    const std::string shipped = ProjectBytes();
    Started run;
    StartProgram(run);
    if (HasFatalFailure())
        return;
    Hold();
    TypeNumber(m_hBox, "1111111");
    TakeNotice(run);
    EXPECT_TRUE(WaitUntil([&] { return RowCount(m_hList) == 1; }, 5000));

    // Closing: the program names what it could not save and where it keeps it, then ends.
    PostMessageA(m_hMain, WM_CLOSE, 0, 0);
    const CString text = TakeNotice(run, "save-closing-unsaved.png");
    ASSERT_TRUE(run.Ended(20000));
    Release();
    EXPECT_EQ(0, text.Find("The project (its folders and documents) could not be saved to\n" +
                           m_folder.File("Project.cfg") + "\n"))
        << text.GetString();
    const CString keptLine = "is kept as\n";
    const int at = text.Find(keptLine);
    ASSERT_GE(at, 0) << text.GetString();
    const CString kept = text.Mid(at + keptLine.GetLength()).SpanExcluding("\n");
    EXPECT_EQ(0, kept.Find(m_folder.File("Project.cfg.")));
    EXPECT_EQ(shipped, ProjectBytes());

    // Put in place of Project.cfg, as the notice says, the kept file brings the document back.
    ASSERT_TRUE(MoveFileExA(kept, m_folder.File("Project.cfg"), MOVEFILE_REPLACE_EXISTING));
    EXPECT_NE(nullptr, Record("US1111111"));
    Started again;
    StartProgram(again);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(WaitUntil([&] { return RowCount(m_hList) == 1; }, 5000));
    EXPECT_EQ(CString("US1111111"), ListItemText(m_hList, 0, 1));
    EXPECT_TRUE(ProgramFolder::Close(m_hMain, again));
}
