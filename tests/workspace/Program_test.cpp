// The real program, started from its own program folder: the start-up lines of its progress
// log with the portal served by the fixture server, the single instance, the SW_MINIMIZE
// switch, and the window placement stored at the end and restored at the next start. Also
// the first-run flag in the registry. These tests share the program's mutex and registry
// key with every other start of the program, so CTest runs them alone.
#include "WorkspaceTest.h"

#include "FirstRun.h"
#include "FixtureServer.h"
#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace testsupport;
using namespace workspacetest;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int CountOf(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Each expected text starts a line, in this order (other lines may lie between).
::testing::AssertionResult InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& expected)
{
    size_t at = 0;
    for (const std::string& want : expected) {
        while (at < lines.size() && lines[at].compare(0, want.size(), want) != 0)
            ++at;
        if (at == lines.size())
            return ::testing::AssertionFailure() << "missing or out of order: \"" << want << "\"";
        ++at;
    }
    return ::testing::AssertionSuccess();
}

class ProgramTest : public FixtureTest
{
};

const std::vector<std::string> kStartUpLines = {
    "*********************************",
    "Zentrova Progress Log",
    "Date: ",
    "Time: ",
    "*********************************",
    "**Grabbing Set-Cookie info for Wrapper Dll",
    "CZentrova::InitInstance-Loading CZentrovaDlg",
    "CZentrovaDlg constructor started",
    "CZentrovaDlg constructor ends successfully",
    "CZentrovaDlg::OnInitDialog()-Starts",
    "CZentrovaDlg::OnInitDialog()-newconfig.cfg successfull",
    "CZentrovaDlg::OnInitDialog()-CheckForPDFSupport successfull",
    "CZentrovaDlg::OnInitDialog()-Menu loaded",
    "CZentrovaDlg::OnInitDialog()-Loading button bitmaps",
    "CZentrovaDlg::OnInitDialog()-Creation of Project Manager successfull",
    "CZentrovaDlg::OnInitDialog()-Creation of Search Container successfull",
    "CZentrovaDlg::OnInitDialog()-Project.cfg loaded successfully",
    "CZentrovaDlg::OnInitDialog()-Refreshing the view",
    "CZentrovaDlg::OnInitDialog()-Folders Initialized",
    "CZentrovaDlg::OnInitDialog()-Loading default configurations",
    "CZentrovaDlg::OnInitDialog()-Setting Active Buttons",
    "CZentrovaDlg::OnInitDialog()-Exiting",
};

} // namespace

TEST_F(ProgramTest, StartUpWritesItsHeaderAndStepsAndVisitsThePortalOnceWhenItSetsACookie)
{
    ProgramFolder folder;
    const std::string log = folder.RunMinimised();
    std::vector<std::string> lines = Lines(log);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("", lines[0]); // the header block begins with an empty line
    EXPECT_TRUE(InOrder(lines, kStartUpLines)) << log;
    EXPECT_EQ(1, CountOf(log, "**Grabbing Set-Cookie info"));
    EXPECT_EQ(0, CountOf(log, "Error while downloading Header string"));
    EXPECT_EQ(1u, FixtureLog("/external/portal").size());
}

TEST_F(ProgramTest, PortalIsVisitedThreeTimesWhenNoAnswerCarriesACookie)
{
    FixturePlan("/external/portal", "omit=Set-Cookie", 3);
    ProgramFolder folder;
    const std::string log = folder.RunMinimised();
    EXPECT_TRUE(InOrder(Lines(log), {"**Grabbing Set-Cookie info for Wrapper Dll",
                                     "**Grabbing Set-Cookie info for Wrapper Dll (2nd Attempt)",
                                     "**Grabbing Set-Cookie info for Wrapper Dll (3rd Attempt",
                                     "CZentrova::InitInstance-Loading CZentrovaDlg"}))
        << log;
    EXPECT_EQ(3, CountOf(log, "**Grabbing Set-Cookie info"));
    EXPECT_EQ(3u, FixtureLog("/external/portal").size());
}

TEST_F(ProgramTest, UnreachablePortalLogsItsErrorBeforeEachAttempt)
{
    ProgramFolder folder;
    // Port 1 of the loopback address has no listener.
    SetEnvironmentVariableA("ZENTROVA_SERVICE_BASE", "http://127.0.0.1:1");
    const std::string log = folder.RunMinimised();
    SetEnvironmentVariableA("ZENTROVA_SERVICE_BASE", FixtureBase());
    const std::string error = "Error while downloading Header string. Error code:";
    EXPECT_TRUE(InOrder(Lines(log), {error, "**Grabbing Set-Cookie info for Wrapper Dll", error,
                                     "**Grabbing Set-Cookie info for Wrapper Dll (2nd Attempt)", error,
                                     "**Grabbing Set-Cookie info for Wrapper Dll (3rd Attempt"}))
        << log;
}

TEST_F(ProgramTest, SecondInstanceEndsSilentlyAfterWritingItsHeader)
{
    ProgramFolder folder;
    Started first;
    folder.Start(first, "SW_MINIMIZE");
    HWND hMain = ProgramFolder::MainWindow(first);
    ASSERT_NE(nullptr, hMain) << folder.Log();

    Started second;
    folder.Start(second, "SW_MINIMIZE");
    EXPECT_TRUE(second.Ended(20000));
    EXPECT_EQ(nullptr, ProgramFolder::MainWindow(second, 500));
    EXPECT_TRUE(IsWindow(hMain));
    ASSERT_TRUE(ProgramFolder::Close(hMain, first));

    const std::string log = folder.Log();
    EXPECT_EQ(2, CountOf(log, "Zentrova Progress Log"));
    EXPECT_EQ(2, CountOf(log, "**Grabbing Set-Cookie info for Wrapper Dll"));
    EXPECT_EQ(1, CountOf(log, "CZentrova::InitInstance-Loading CZentrovaDlg"));
    // The second header comes after the first window's start-up, followed by its portal line.
    size_t secondHeader = log.rfind("Zentrova Progress Log");
    EXPECT_GT(secondHeader, log.find("CZentrovaDlg::OnInitDialog()-Exiting"));
    EXPECT_NE(std::string::npos, log.find("**Grabbing Set-Cookie info for Wrapper Dll", secondHeader));
}

TEST_F(ProgramTest, MinimiseSwitchAnywhereInTheCommandLineInCapitals)
{
    struct Case { const char* args; const char* subfolder; bool minimised; };
    const Case cases[] = {
        {"SW_MINIMIZE", nullptr, true},
        {"", "SW_MINIMIZE", true},   // a program folder of that name
        {"sw_minimize", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.args) + " in " + (c.subfolder ? c.subfolder : "-"));
        ProgramFolder folder(c.subfolder);
        Started run;
        folder.Start(run, c.args);
        HWND hMain = ProgramFolder::MainWindow(run);
        ASSERT_NE(nullptr, hMain) << folder.Log();
        EXPECT_EQ(c.minimised, IsIconic(hMain) != FALSE);
        // The stored placement "-1" opens the window maximised otherwise.
        EXPECT_EQ(!c.minimised, IsZoomed(hMain) != FALSE);
        ASSERT_TRUE(ProgramFolder::Close(hMain, run));
        const std::string log = folder.Log();
        EXPECT_EQ(c.minimised ? 0 : 1, CountOf(log, "CZentrova::InitInstance-Splash Screen displayed successfully"));
    }
}

TEST_F(ProgramTest, PlacementIsStoredAtTheEndAndRestoredAtTheNextStart)
{
    ProgramFolder folder;
    {
        Started run;
        folder.Start(run, "SW_MINIMIZE");
        HWND hMain = ProgramFolder::MainWindow(run);
        ASSERT_NE(nullptr, hMain);
        ShowWindow(hMain, SW_RESTORE);
        SetWindowPos(hMain, nullptr, 100, 80, 800, 520, SWP_NOZORDER);
        Sleep(300);
        ASSERT_TRUE(ProgramFolder::Close(hMain, run));
    }
    CString stored = folder.Option("MainDisplaySize");
    EXPECT_NE(-1, stored.Find(",100,80,900,600")) << stored.GetString();
    EXPECT_EQ(0, stored.Find("0,1,")) << stored.GetString();
    {
        Started run;
        folder.Start(run, "");
        HWND hMain = ProgramFolder::MainWindow(run);
        ASSERT_NE(nullptr, hMain);
        RECT rc{};
        GetWindowRect(hMain, &rc);
        EXPECT_EQ(100, rc.left);
        EXPECT_EQ(80, rc.top);
        EXPECT_EQ(900, rc.right);
        EXPECT_EQ(600, rc.bottom);
        EXPECT_FALSE(IsZoomed(hMain));
        EXPECT_FALSE(IsIconic(hMain));
        ASSERT_TRUE(ProgramFolder::Close(hMain, run));
    }
    {
        // Closed while minimised: stored as shown, so the next start is not minimised.
        Started run;
        folder.Start(run, "SW_MINIMIZE");
        HWND hMain = ProgramFolder::MainWindow(run);
        ASSERT_NE(nullptr, hMain);
        EXPECT_TRUE(IsIconic(hMain));
        ASSERT_TRUE(ProgramFolder::Close(hMain, run));
    }
    stored = folder.Option("MainDisplaySize");
    EXPECT_EQ(0, stored.Find("0,5,")) << stored.GetString();
    EXPECT_NE(-1, stored.Find(",100,80,900,600")) << stored.GetString();
}

// ---------------------------------------------------------------- the first-run flag

namespace {

const char kSettingsKey[] = "Software\\Quendal LLC\\Zentrova\\Settings";

class FirstRunTest : public testing::Test
{
protected:
    void SetUp() override
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
            char data[256] = {};
            DWORD size = sizeof data - 1;
            m_hadValue = RegQueryValueExA(hKey, "FirstTime", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
                         ERROR_SUCCESS;
            m_saved.assign(data, size);
            RegCloseKey(hKey);
        }
        Delete();
    }
    void TearDown() override
    {
        Delete();
        if (m_hadValue)
            Set(m_saved.c_str());
    }
    static void Delete() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime"); }
    static void Set(const char* text)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime", REG_SZ, text,
                                                 static_cast<DWORD>(strlen(text))));
    }
    // The stored value; "<missing>" when there is none.
    static std::string Stored()
    {
        char data[256] = {};
        DWORD size = sizeof data - 1;
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return "<missing>";
        LONG rc = RegQueryValueExA(hKey, "FirstTime", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(hKey);
        if (rc != ERROR_SUCCESS)
            return "<missing>";
        return std::string(data, strnlen(data, size));
    }

    bool m_hadValue = false;
    std::string m_saved;
};

LONG FailingWrite(const char*, const char*, const char*)
{
    return ERROR_ACCESS_DENIED;
}

LONG FailingRead(const char*, const char*, char*)
{
    return ERROR_ACCESS_DENIED;
}

} // namespace

TEST_F(FirstRunTest, MissingOrOneIsAFirstRunThatIsThenRecorded)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quendal LLC");
    EXPECT_TRUE(IsFirstRun());
    EXPECT_EQ("0", Stored());
    EXPECT_FALSE(IsFirstRun());

    Set("1");
    EXPECT_TRUE(IsFirstRun());
    EXPECT_EQ("0", Stored());
}

TEST_F(FirstRunTest, AnyOtherValueIsNoFirstRunAndStaysAsItIs)
{
    for (const char* value : {"0", "", "yes", "1 "}) {
        SCOPED_TRACE(std::string("\"") + value + "\"");
        Set(value);
        EXPECT_FALSE(IsFirstRun());
        EXPECT_EQ(value, Stored());
    }
}

TEST_F(FirstRunTest, WithoutRegistryAccessNoStartIsAFirstRun)
{
    // Nothing can be read, so the preset "1" stays; nothing can be written either.
    EXPECT_FALSE(IsFirstRunWith(FailingRead, FailingWrite));
    EXPECT_FALSE(IsFirstRunWith(ReadFirstTimeFlag, FailingWrite));
    EXPECT_TRUE(IsFirstRunWith(FailingRead, WriteFirstTimeFlag));
}

TEST_F(FirstRunTest, ReadAndWriteHelpersReportTheirErrors)
{
    char buffer[256] = "untouched";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadFirstTimeFlag("Settings", "FirstTime", buffer));
    EXPECT_STREQ("untouched", buffer);
    EXPECT_EQ(ERROR_SUCCESS, WriteFirstTimeFlag("Settings", "FirstTime", "1"));
    EXPECT_EQ(ERROR_SUCCESS, ReadFirstTimeFlag("Settings", "FirstTime", buffer));
    EXPECT_STREQ("1", buffer);
}
