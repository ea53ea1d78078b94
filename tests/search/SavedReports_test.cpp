// The Saved Reports page in a sheet of its own: its rows from Reports.xml, open, delete and
// mail (through the MAPI32.DLL test double), and its look.
#include "DataFileNotices.h"
#include "KilledSave.h"
#include "MapiDouble.h"
#include "ReportFiles.h"
#include "ReportPageFixture.h"
#include "WindowBench.h"
#include "DataFiles.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testsupport;
using namespace reporttest;

namespace {

testing::Environment* const g_mapiDouble = testing::AddGlobalTestEnvironment(new MapiDoubleEnvironment);

const std::vector<SavedReportEntry> kEntries = {
    {"Widget search", "Tray", "ACME", "Tuesday, December 8, 2026"},
    {"R&D <2>", "Hinge", "Smith & Co", "Wednesday, December 9, 2026"},
    {"Widget search", "Tray again", "ACME", "Thursday, December 10, 2026"},
};

class SavedReportsTest : public ReportPageTest
{
protected:
    // Reports.xml with the entries and a new page that reads it.
    void ReloadWith(const std::vector<SavedReportEntry>& entries)
    {
        const CString text = FormatReportsXml(entries);
        ASSERT_TRUE(WriteBytes(GetAppDirectory() + "\\Reports.xml", std::string(text.GetString(), text.GetLength())));
        m_page->m_Entries.clear();
        m_page->m_List.DeleteAllItems();
        m_page->LoadReportsXml();
    }
    CString Cell(int row, int column) { return m_page->m_List.GetItemText(row, column); }
};

} // namespace

TEST_F(SavedReportsTest, RowsComeFromReportsXml)
{
    ReloadWith(kEntries);
    // The vector keeps both entries of one name; the refilled list shows every entry.
    ASSERT_EQ(m_page->m_Entries.size(), 3u);
    ASSERT_EQ(m_page->m_List.GetItemCount(), 3);
    EXPECT_EQ(Cell(1, 1), CString("R&D <2>"));
    EXPECT_EQ(Cell(1, 3), CString("Smith & Co"));
    EXPECT_EQ(Cell(2, 4), CString("Thursday, December 10, 2026"));
    EXPECT_EQ(Cell(0, 0), CString("1. "));
    // An added row replaces the row of its name.
    m_page->AddReportRow({"R&D <2>", "New", "", "Friday, December 11, 2026"});
    ASSERT_EQ(m_page->m_List.GetItemCount(), 3);
    EXPECT_EQ(Cell(2, 2), CString("New"));
    EXPECT_EQ(Cell(2, 0), CString("3."));
    m_page->RenumberRows();
    EXPECT_EQ(Cell(2, 0), CString(" 3."));

    // A page narrower than 300 pixels keeps its narrow columns.
    m_page->MoveWindow(0, 0, 250, 200);
    PumpMessages(50);
    EXPECT_EQ(m_page->m_List.GetColumnWidth(1), 30);
}

TEST_F(SavedReportsTest, OpenAndDeleteTheSelectedReport)
{
    ReloadWith(kEntries);
    ASSERT_TRUE(CreateDirectoryA(Reports(), nullptr));
    ASSERT_TRUE(WriteBytes(Reports() + "\\Widget search.pdf", "%PDF-1.4"));
    BoxAnswerer answers;

    SendMessageA(m_page->GetSafeHwnd(), WM_COMMAND, ID_REPORT_OPEN, 0);  // nothing selected
    EXPECT_TRUE(s_opened.empty());
    SelectRows({0});
    SendMessageA(m_page->GetSafeHwnd(), WM_COMMAND, ID_REPORT_OPEN, 0);
    ASSERT_EQ(s_opened.size(), 1u);
    EXPECT_EQ(s_opened[0], "Open " + Reports() + "\\Widget search.pdf");
    SelectRows({1});
    m_page->OpenSelectedReport();
    PumpUntil([&] { return !answers.boxes.empty(); });
    ASSERT_EQ(answers.boxes.size(), 1u);
    EXPECT_EQ(answers.boxes[0].text, CString("The specified file does not exist."));

    // No: nothing changes. Yes: every entry of the name goes, with the file.
    answers.Answer("Delete?", IDNO);
    SelectRows({2});
    SendMessageA(m_page->GetSafeHwnd(), WM_COMMAND, ID_REPORT_DELETE, 0);
    EXPECT_EQ(m_page->m_Entries.size(), 3u);
    EXPECT_TRUE(FileExists(Reports() + "\\Widget search.pdf"));
    answers.Answer("Delete?", IDYES);
    SelectRows({2});
    SendMessageA(m_page->GetSafeHwnd(), WM_COMMAND, ID_REPORT_DELETE, 0);
    ASSERT_EQ(m_page->m_Entries.size(), 1u);
    EXPECT_EQ(m_page->m_Entries[0].strName, CString("R&D <2>"));
    EXPECT_EQ(m_page->m_List.GetItemCount(), 1);
    EXPECT_FALSE(FileExists(Reports() + "\\Widget search.pdf"));
    std::string xml;
    ASSERT_TRUE(ReadBytes(GetAppDirectory() + "\\Reports.xml", xml));
    const CString expected = FormatReportsXml({kEntries[1]});
    EXPECT_EQ(xml, std::string(expected.GetString(), expected.GetLength()));
    EXPECT_EQ(answers.boxes.back().text, CString("Do you want to Delete the selected report(s)?"));
}

// A Reports.xml that cannot be written, at a delete and at the save of a new report: the user
// hears of it once, the list in memory keeps both changes, and the next write holds them.
TEST_F(SavedReportsTest, AReportsXmlThatCannotBeWrittenIsToldOnceAndWrittenWholeLater)
{
    ReloadWith(kEntries);
    const CString path = GetAppDirectory() + "\\Reports.xml";
    std::string before, xml;
    ASSERT_TRUE(ReadBytes(path, before));
    BoxAnswerer answers;
    answers.Answer("Delete?", IDYES);
    DataFileNotices notices;
    const SavedReportEntry added{"Gear train", "Gear", "ACME", "Friday, December 11, 2026"};
    {
        FullDisk full;
        SelectRows({0});
        SendMessageA(m_page->GetSafeHwnd(), WM_COMMAND, ID_REPORT_DELETE, 0);
        EXPECT_EQ(m_page->m_List.GetItemCount(), 1) << "both entries of the name go";
        m_page->m_Entries.push_back(added);
        EXPECT_FALSE(m_page->WriteReportsXml());
    }
    ASSERT_TRUE(ReadBytes(path, xml));
    EXPECT_EQ(xml, before) << "the file keeps its list";
    ASSERT_EQ(notices.Count(), 1u) << "told at the delete, not again at the save";
    EXPECT_EQ(notices.All()[0].path, path);
    EXPECT_EQ(notices.All()[0].text.Find("The list of saved reports could not be saved to\n" + path), 0);

    EXPECT_TRUE(m_page->WriteReportsXml());
    ASSERT_TRUE(ReadBytes(path, xml));
    const CString expected = FormatReportsXml({kEntries[1], added});
    EXPECT_EQ(xml, std::string(expected.GetString(), expected.GetLength()));
    EXPECT_EQ(notices.Count(), 1u);
}

TEST_F(SavedReportsTest, AnUnreadableReportsXmlIsNeverOverwritten)
{
    const std::string damaged = "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<report name=\"Lost";
    ASSERT_TRUE(WriteBytes(GetAppDirectory() + "\\Reports.xml", damaged));
    m_page->m_Entries.clear();
    m_page->LoadReportsXml();
    EXPECT_TRUE(m_page->m_Entries.empty());
    m_page->m_Entries.push_back(kEntries[0]);
    EXPECT_FALSE(m_page->WriteReportsXml());
    std::string kept;
    ASSERT_TRUE(ReadBytes(GetAppDirectory() + "\\Reports.xml", kept));
    EXPECT_EQ(kept, damaged);
}

// A Reports.xml far larger than the program writes, or another data file in its place, is set
// aside whole with a message; the list starts empty and the next save writes a new file.
TEST_F(SavedReportsTest, AReportsXmlTooLargeOrOfAnotherKindIsSetAside)
{
    const CString path = GetAppDirectory() + "\\Reports.xml";
    const CString one = FormatReportsXml({kEntries[0]});
    const std::string huge = GrownText("<?xml version=\"1.0\" ?>\r\n<saved>\r\n",
                                       std::string(one.GetString() + 33, one.GetLength() - 43), "</saved>\r\n",
                                       static_cast<size_t>(kDataFileSizeLimit));
    const struct
    {
        const char* what;
        std::string bytes;
        const char* suffix;
    } cases[] = {
        {"beyond 16 MB", huge, ".too-large"},
        {"session.xml in its place", "<?xml version=\"1.0\" ?>\r\n<savedsession>\r\n<session name=\"No Session "
                                     "Selected\" mark=\"\" client=\"\">\r\n</session>\r\n</savedsession>\r\n",
         ".other-kind"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        m_page->m_Entries.clear();
        BoxAnswerer answers;
        m_page->LoadReportsXml();
        EXPECT_TRUE(m_page->m_Entries.empty());
        EXPECT_EQ(m_page->m_List.GetItemCount(), 0);
        ASSERT_EQ(answers.boxes.size(), 1u);
        EXPECT_EQ(answers.boxes[0].text, DataFileSetAsideText("saved reports", path, path + c.suffix,
                                                              c.bytes.size() > 1000 ? DataFileFault::TooLarge
                                                                                    : DataFileFault::OtherKind));
        std::string kept;
        ASSERT_TRUE(ReadBytes(path + c.suffix, kept));
        EXPECT_TRUE(kept == c.bytes);
        m_page->m_Entries.push_back(kEntries[0]);
        EXPECT_TRUE(m_page->WriteReportsXml());
        std::string xml;
        ASSERT_TRUE(ReadBytes(path, xml));
        const CString expected = FormatReportsXml({kEntries[0]});
        EXPECT_EQ(xml, std::string(expected.GetString(), expected.GetLength()));
        DeleteFileA(path + c.suffix);
    }
}

TEST_F(SavedReportsTest, AKilledSaveLeavesThePreviousReportsXmlWhole)
{
    auto save = [this](size_t count) {
        return [this, count] {
            m_page->m_Entries.assign(kEntries.begin(), kEntries.begin() + static_cast<std::ptrdiff_t>(count));
            ASSERT_TRUE(m_page->WriteReportsXml());
        };
    };
    ExpectKilledSavesKeepTheFileWhole(GetAppDirectory() + "\\Reports.xml", save(2), save(3));
}

TEST_F(SavedReportsTest, MailAttachesTheSelectedReportsThatExist)
{
    ReloadWith({kEntries[0], kEntries[1]});
    ASSERT_TRUE(CreateDirectoryA(Reports(), nullptr));
    ASSERT_TRUE(WriteBytes(Reports() + "\\R&D _2_.pdf", "%PDF-1.4 report"));
    ClearMapiLog();
    SelectRows({0, 1});
    SendMessageA(m_page->GetSafeHwnd(), WM_COMMAND, ID_REPORT_EMAIL, 0);
    const std::vector<MapiCall> sends = MapiCallsOf("MAPISendMail");
    ASSERT_EQ(sends.size(), 1u);
    const MapiCall& send = sends[0];
    EXPECT_EQ(send.message["subject"], "Patent Reports Attached.");
    EXPECT_EQ(send.message["recipients"], "0");
    ASSERT_EQ(send.files.size(), 1u);
    EXPECT_EQ(send.files[0]["title"], "R&D <2>.PDF");
    EXPECT_EQ(send.files[0]["path"], std::string((Reports() + "\\R&D _2_.pdf").GetString()));
    EXPECT_EQ(send.message["note"],
              MapiEscaped("Please find attached to this e-mail the following patent report(s) that were downloaded "
                          "using Zentrova (http://www.quendal.example/):\n\n\tR&D <2>\n\n\nA PDF reader is required "
                          "to view and print the PDF files; you can download one at "
                          "http://www.quendal.example/pdf-reader free of charge."));
    EXPECT_EQ(MapiCallsOf("MAPILogoff").size(), 1u);

    // A refused logon: the page says so and sends nothing.
    ClearMapiLog();
    SetMapiAnswers("MAPILogon=3,3");
    BoxAnswerer answers;
    SendMessageA(m_page->GetSafeHwnd(), WM_COMMAND, ID_REPORT_EMAIL, 0);
    SetMapiAnswers(nullptr);
    EXPECT_TRUE(MapiCallsOf("MAPISendMail").empty());
    ASSERT_FALSE(answers.boxes.empty());
    EXPECT_EQ(answers.boxes[0].text,
              CString("Sorry, MAPI logon failed. Please make sure you have a default profile setup for MAPI.\n"));
}

TEST_F(SavedReportsTest, Screenshot)
{
    ReloadWith(kEntries);
    m_page->m_Status.SetWindowText("Ready");
    SelectRows({1});
    m_host.ShowWindow(SW_SHOW);
    m_host.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(300);
    CString why;
    if (!SaveScreenshot(CString(std::getenv("ZENTROVA_BUILD")) + "/screenshots/saved-reports-page.png", &why))
        ADD_FAILURE() << why.GetString();
}
