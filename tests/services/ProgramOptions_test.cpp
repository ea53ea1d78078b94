#include "DataFileNotices.h"
#include "Geometry.h"
#include "KilledSave.h"
#include "ProgramOptions.h"
#include "WorkspaceTest.h"
#include "XmlHelpers.h"

#include <utility>
#include <vector>

using namespace workspacetest;

namespace {

// Builds an options file holding the given options, in order.
CString OptionsText(const std::vector<std::pair<const char*, const char*>>& options)
{
    CString text = "<?xml version=\"1.0\"?>\r\n<Config>\r\n<ProgramOptions>\r\n";
    for (const auto& o : options)
        text.AppendFormat("<Option Name=\"%s\">%s</Option>\r\n", o.first, o.second);
    return text + "</ProgramOptions>\r\n</Config>\r\n";
}

class ProgramOptionsTest : public ComTest
{
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        DeleteFileA(AppFile("ProgressLog.txt"));
    }
    void TearDown() override
    {
        DeleteFileA(AppFile("config2.cfg"));
        ComTest::TearDown();
    }
    void Store(const std::vector<std::pair<const char*, const char*>>& options)
    {
        WriteEnciphered(AppFile("config2.cfg"), OptionsText(options));
    }
};

} // namespace

TEST_F(ProgramOptionsTest, ReadsFlagsNumbersAndRectangles)
{
    Store({{"SavePath", "c:\\Patent Downloads\\"},
           {"F1", "1"}, {"F2", "  1 "}, {"F3", "1\r\n"}, {"F4", "true"}, {"F5", "yes"},
           {"F6", "01"}, {"F7", ""},
           {"N1", ""}, {"N2", "5 sec"}, {"N3", "-3"}, {"N4", " +12x"},
           {"R1", "1,2,3"}, {"R2", ""}, {"R3", "10,20,30,40"}});
    CProgramOptions options;
    struct Flag { const char* key; bool value; };
    for (const Flag& f : {Flag{"F1", true}, Flag{"F2", true}, Flag{"F3", true}, Flag{"F4", false},
                          Flag{"F5", false}, Flag{"F6", false}, Flag{"F7", false},
                          Flag{"Missing", false}})
        EXPECT_EQ(options.GetBoolOption(f.key), f.value) << f.key;
    EXPECT_EQ(options.GetIntOption("N1"), 0);
    EXPECT_EQ(options.GetIntOption("N2"), 5);
    EXPECT_EQ(options.GetIntOption("N3"), -3);
    EXPECT_EQ(options.GetIntOption("N4"), 12);
    EXPECT_EQ(options.GetIntOption("Missing"), 0);

    RECT r = {7, 7, 7, 7};
    EXPECT_EQ(options.GetRectOption("R1", r), 0);
    EXPECT_EQ(options.GetRectOption("R2", r), 0);
    EXPECT_EQ(options.GetRectOption("Missing", r), 0);
    EXPECT_EQ(r.left, 7);
    EXPECT_EQ(options.GetRectOption("R3", r), 1);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 30);
    EXPECT_EQ(r.bottom, 40);
    EXPECT_EQ(options.GetOption("F2"), "  1 ");
    EXPECT_EQ(options.GetOptionValue("Missing"), "");
}

TEST_F(ProgramOptionsTest, SetChangesOnlyExistingKeysAndOnlyThisObjectUntilSaved)
{
    Store({{"SavePath", "c:\\Patent Downloads\\"}, {"MainDisplaySize", "-1"}, {"R", ""}});
    {
        CProgramOptions options;
        EXPECT_EQ(options.SetOptionValue("Unknown", "x"), 0);
        EXPECT_EQ(options.SetOptionValue("MainDisplaySize", "1,2"), 1);
        options.SetRectOption("R", CRect(1, 2, 3, 4));
        options.SetRectOption("AlsoUnknown", CRect(1, 2, 3, 4));
        EXPECT_EQ(CProgramOptions().GetOptionValue("MainDisplaySize"), "-1");
        options.Save();
    }
    CProgramOptions reread;
    EXPECT_EQ(reread.GetOptionValue("MainDisplaySize"), "1,2");
    EXPECT_EQ(reread.GetOptionValue("R"), "1,2,3,4");
    CString text = ReadDeciphered(AppFile("config2.cfg"));
    EXPECT_EQ(text.Find("Unknown"), -1);
}

TEST_F(ProgramOptionsTest, AnEarlierVersionsFileTakesTheKeysAddedSince)
{
    Store({{"SavePath", "c:\\Patent Downloads\\"}, {"OpsConsumerSecret", "kept"}});
    {
        CProgramOptions options;
        EXPECT_EQ(options.GetOptionValue("OpsConsumerKey"), "");
        EXPECT_EQ(options.SetOptionValue("OpsConsumerKey", "user-key"), 1);
        EXPECT_EQ(options.SetOptionValue("SomethingElse", "x"), 0);
        options.Save();
    }
    CProgramOptions reread;
    EXPECT_EQ(reread.GetOptionValue("OpsConsumerKey"), "user-key");
    EXPECT_EQ(reread.GetOptionValue("OpsConsumerSecret"), "kept");
    const CString text = ReadDeciphered(AppFile("config2.cfg"));
    const int secret = text.Find("OpsConsumerSecret");
    EXPECT_EQ(text.Find("OpsConsumerSecret", secret + 1), -1) << "a key the file holds is not added again";
    EXPECT_EQ(text.Find("SomethingElse"), -1);
}

TEST_F(ProgramOptionsTest, FirstRunAppliesTheDefaultsAndSaves)
{
    Store({{"SetDefaults", " 1 "}, {"SavePath", "d:\\elsewhere\\"}, {"SoundAfterErrorPath", ""},
           {"SoundAfterDownloadPath", ""}, {"SoundAfterAllDownloadsPath", ""},
           {"Showsearchsessiondialog", "0"}, {"NumberOfAttemptsBeforeFailure", "4"}});
    CProgramOptions first;
    EXPECT_EQ(first.GetOptionValue("SavePath"), "c:\\Patent Downloads\\");
    EXPECT_NE(GetFileAttributesA("C:\\Patent Downloads"), INVALID_FILE_ATTRIBUTES);

    CProgramOptions later;  // reads what the first one saved
    EXPECT_EQ(later.GetOptionValue("SetDefaults"), "0");
    EXPECT_EQ(later.GetOptionValue("SavePath"), "c:\\Patent Downloads\\");
    EXPECT_EQ(later.GetOptionValue("SoundAfterErrorPath"), GetAppDirectory() + "\\Error.wav");
    EXPECT_EQ(later.GetOptionValue("SoundAfterDownloadPath"), GetAppDirectory() + "\\SingleDownload.wav");
    EXPECT_EQ(later.GetOptionValue("SoundAfterAllDownloadsPath"), GetAppDirectory() + "\\AllDone.wav");
    EXPECT_EQ(later.GetOptionValue("Showsearchsessiondialog"), "1");
    EXPECT_EQ(later.GetOptionValue("NumberOfAttemptsBeforeFailure"), "4");
}

TEST_F(ProgramOptionsTest, EmptyOrMissingSavePath)
{
    Store({{"SavePath", ""}});
    const std::string before = RawBytes(AppFile("config2.cfg"));
    EXPECT_EQ(CProgramOptions().GetOptionValue("SavePath"), "C:\\Patent Downloads\\");
    EXPECT_EQ(RawBytes(AppFile("config2.cfg")), before);

    Store({{"Other", "x"}});
    EXPECT_EQ(CProgramOptions().GetOptionValue("SavePath"), "");
}

TEST_F(ProgramOptionsTest, AnUnreadableFileIsNeverReplaced)
{
    const std::string damaged(45, 'z');  // not a whole number of cipher blocks
    ASSERT_TRUE(testsupport::WriteBytes(AppFile("config2.cfg"), damaged));
    CProgramOptions options;
    EXPECT_EQ(options.GetOptionValue("SavePath"), "");
    EXPECT_EQ(options.SetOptionValue("SavePath", "x"), 0);
    options.Save();
    EXPECT_EQ(RawBytes(AppFile("config2.cfg")), damaged);
    EXPECT_NE(LogText().find("CProgramOptions::Save-"), std::string::npos);
}

TEST_F(ProgramOptionsTest, AFailedWriteKeepsTheOldFileIsToldOnceAndTheNextSaveWritesAll)
{
    Store({{"SavePath", "c:\\Patent Downloads\\"}, {"MainDisplaySize", "-1"}});
    const std::string before = RawBytes(AppFile("config2.cfg"));
    testsupport::DataFileNotices notices;
    CProgramOptions options;
    // Held open by another program, the file cannot be replaced: two saves fail.
    HANDLE holder = CreateFileA(AppFile("config2.cfg"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    options.SetOptionValue("MainDisplaySize", "changed");
    options.Save();
    options.SetOptionValue("SavePath", "d:\\elsewhere\\");
    options.Save();
    CloseHandle(holder);
    EXPECT_EQ(RawBytes(AppFile("config2.cfg")), before);
    EXPECT_NE(LogText().find("Could not write config2.cfg"), std::string::npos);
    ASSERT_EQ(notices.Count(), 1u) << "told once, not at every save";
    EXPECT_EQ(notices.All()[0].path, AppFile("config2.cfg"));
    EXPECT_EQ(notices.All()[0].text.Find("The options could not be saved to\n" + AppFile("config2.cfg")), 0);

    // The next save that can writes both changes.
    options.Save();
    CProgramOptions reread;
    EXPECT_EQ(reread.GetOptionValue("MainDisplaySize"), "changed");
    EXPECT_EQ(reread.GetOptionValue("SavePath"), "d:\\elsewhere\\");
    EXPECT_FALSE(IsDataFileUnsaved(AppFile("config2.cfg")));
    EXPECT_EQ(notices.Count(), 1u);
}

TEST_F(ProgramOptionsTest, AKilledSaveLeavesThePreviousFileWhole)
{
    Store({{"SavePath", "c:\\Patent Downloads\\"}, {"MainDisplaySize", "-1"}});
    auto save = [](const char* value) {
        return [value] {
            CProgramOptions options;
            ASSERT_EQ(options.SetOptionValue("MainDisplaySize", value), 1);
            options.Save();
        };
    };
    testsupport::ExpectKilledSavesKeepTheFileWhole(AppFile("config2.cfg"), save("-1"), save("0,1,-1,-1,10,20,800,600"));
    EXPECT_EQ(CProgramOptions().GetOptionValue("MainDisplaySize"), "-1");
}

TEST_F(ProgramOptionsTest, TheShippedFileHoldsEveryKey)
{
    CString text = ReadDeciphered(ShippedFile("config2.cfg"));
    ASSERT_FALSE(text.IsEmpty());
    IXMLDOMDocument2Ptr doc;
    ASSERT_EQ(doc.CreateInstance(__uuidof(DOMDocument40), nullptr, CLSCTX_ALL), S_OK);
    ASSERT_EQ(doc->loadXML(_bstr_t(text)), VARIANT_TRUE);
    const char* keys[] = {
        "SetDefaults", "SavePath", "SoundAfterDownloadPath", "SoundAfterAllDownloadsPath",
        "SoundAfterErrorPath", "PlaySoundAfterDownload", "PlaySoundAfterAllDownloads",
        "PlaySoundAfterError", "NotifyOfFinishedDownloadWhen", "RetryFailedDownloads",
        "NumberOfAttemptsBeforeFailure", "WaitTimeBetweenAttempts", "Showsearchsessiondialog",
        "MainDisplaySize", "PatentManagerWidths", "DownloadManagerWidths", "SearchResultWidths",
        "PatentDisplaySortColumn", "PatentDisplaySortDirection", "m_rectNormalProjectRect",
        "m_rectNormalPatentRect", "m_rectNormalEditRect", "m_rectNormalStatusRect",
        "m_rectNormalDownloadButtonRect", "m_rectSquishedProjectRect", "m_rectSquishedPatentRect",
        "m_rectSquishedEditRect", "m_rectSquishedDownloadButtonRect", "m_rectResize1",
        "m_rectResize2", "m_rectResize3", "m_ResizeDrawConstraints", "m_rectbuttonQuickDownload",
        "OpsConsumerKey", "OpsConsumerSecret"};
    for (const char* key : keys) {
        CString query;
        query.Format("/Config/ProgramOptions/Option[@Name='%s']", key);
        EXPECT_EQ(doc->selectNodes(_bstr_t(query))->Getlength(), 1) << key;
    }
    IXMLDOMNodePtr flag = doc->selectSingleNode(L"/Config/ProgramOptions/Option[@Name='SetDefaults']");
    EXPECT_EQ(ToAnsi(flag->Gettext()), "1");
    // The user's own OPS keys are empty as shipped: the program's credentials are sent.
    for (const char* key : {"OpsConsumerKey", "OpsConsumerSecret"}) {
        CString query;
        query.Format("/Config/ProgramOptions/Option[@Name='%s']", key);
        EXPECT_EQ(ToAnsi(doc->selectSingleNode(_bstr_t(query))->Gettext()), "") << key;
    }
}
