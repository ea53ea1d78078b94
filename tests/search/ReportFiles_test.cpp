// The files of search reports: the stem names are stored under, the guarded folder removal,
// the text of Reports.xml, its reading (also in the system code page) and the date texts.
#include "ReportFiles.h"
#include "Msxml.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace testsupport;

TEST(ReportFiles, FileStemOfNames)
{
    const struct {
        const char* name;
        const char* stem;
    } cases[] = {
        {"Widget search", "Widget search"},  // ordinary names stay, so saved reports keep their files
        {"General1", "General1"},
        {"R&D <2026>", "R&D _2026_"},
        {"..", "._"},
        {".", "_"},
        {"", "_"},
        {"a\\b", "a_b"},
        {"\\ : ?", "_ _ _"},
        {"..\\..\\Windows", ".._.._Windows"},
        {"c:\\x", "c__x"},
        {"name. ", "name._"},
        {"CON", "_CON"},
        {"lpt1.txt", "_lpt1.txt"},
        {"COM10", "COM10"},
        {"tab\there", "tab_here"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReportFileStem(c.name), CString(c.stem)) << c.name;
}

TEST(ReportFiles, OnlyFoldersStrictlyBelowTheReportsFolderAreDeleted)
{
    TempDir dir;
    const CString reports = dir.File("Reports");
    ASSERT_TRUE(CreateDirectoryA(reports, nullptr));
    ASSERT_TRUE(CreateDirectoryA(reports + "\\Run", nullptr));
    ASSERT_TRUE(WriteBytes(reports + "\\Run\\page.pdf", "x"));
    ASSERT_TRUE(WriteBytes(dir.File("US1.pdf"), "keep"));

    EXPECT_FALSE(IsPathStrictlyBelow(reports, reports));
    EXPECT_FALSE(IsPathStrictlyBelow(reports + "\\", reports));
    EXPECT_FALSE(IsPathStrictlyBelow(reports + "\\..", reports));
    EXPECT_FALSE(IsPathStrictlyBelow(reports + "\\Run\\..\\..", reports));
    EXPECT_FALSE(IsPathStrictlyBelow(dir.File("ReportsX"), reports));
    EXPECT_TRUE(IsPathStrictlyBelow(reports + "\\Run", reports));
    EXPECT_TRUE(IsPathStrictlyBelow(reports.Left(reports.GetLength() - 7) + "REPORTS\\Run", reports));

    EXPECT_FALSE(DeleteFolderBelow(reports + "\\..", reports, nullptr));
    EXPECT_FALSE(DeleteFolderBelow(reports, reports, nullptr));
    EXPECT_TRUE(FileExists(dir.File("US1.pdf")));
    EXPECT_TRUE(FileExists(reports + "\\Run\\page.pdf"));
    EXPECT_TRUE(DeleteFolderBelow(reports + "\\Run", reports, nullptr));
    EXPECT_FALSE(FileExists(reports + "\\Run"));
    EXPECT_TRUE(FileExists(reports));
}

TEST(ReportFiles, ReportsXmlTextAndReadingBack)
{
    std::vector<SavedReportEntry> entries = {
        {"Widgets", "Tray", "ACME", "Tuesday, December 8, 2026"},
        {"R&D <1>", "\"quoted\"", "", "Monday, January 5, 2026"},
    };
    const CString text = FormatReportsXml(entries);
    EXPECT_EQ(text,
              CString("<?xml version=\"1.0\" ?>\r\n<saved>\r\n"
                      "<report name=\"Widgets\">\r\n<mark>Tray</mark>\r\n<client>ACME</client>\r\n"
                      "<datetime>Tuesday, December 8, 2026</datetime>\r\n</report>\r\n"
                      "<report name=\"R&amp;D &lt;1&gt;\">\r\n<mark>&quot;quoted&quot;</mark>\r\n<client></client>\r\n"
                      "<datetime>Monday, January 5, 2026</datetime>\r\n</report>\r\n"
                      "</saved>\r\n"));
    EXPECT_EQ(FormatReportsXml({}).GetLength(), 33 + 10);

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    TempDir dir;
    std::vector<SavedReportEntry> read;
    EXPECT_TRUE(ReadReportsXml(dir.File("none.xml"), read));  // missing: an empty list
    EXPECT_TRUE(read.empty());

    // A letter beyond ASCII in the system code page, as the file is written.
    entries.push_back({"M\xfcller", "Caf\xe9", "Soci\xe9t\xe9", "Friday, May 1, 2026"});
    const CString path = dir.File("Reports.xml");
    const CString written = FormatReportsXml(entries);
    ASSERT_TRUE(WriteBytes(path, std::string(written.GetString(), written.GetLength())));
    ASSERT_TRUE(ReadReportsXml(path, read));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1].strName, CString("R&D <1>"));
    EXPECT_EQ(read[1].strMark, CString("\"quoted\""));
    EXPECT_EQ(read[1].strClient, CString(""));
    EXPECT_EQ(read[2].strName, CString("M\xfcller"));
    EXPECT_EQ(read[2].strClient, CString("Soci\xe9t\xe9"));
    EXPECT_EQ(read[2].strDateTime, CString("Friday, May 1, 2026"));

    // A file that is no list answers false: it is not to be replaced.
    ASSERT_TRUE(WriteBytes(path, "<saved><report name=\"x\"><mark>"));
    DataFileFault fault = DataFileFault::TooLarge;
    EXPECT_FALSE(ReadReportsXml(path, read, &fault));
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(fault, DataFileFault::None);  // unreadable, not to be set aside

    // Far larger than the program writes (not read at all), or well-formed but another list:
    // false, with the fault that sets it aside.
    const CString one = FormatReportsXml({entries[0]});
    const std::string item = std::string(one.GetString(), one.GetLength()).substr(33, one.GetLength() - 43);
    const std::string huge =
        GrownText("<?xml version=\"1.0\" ?>\r\n<saved>\r\n", item, "</saved>\r\n", static_cast<size_t>(kDataFileSizeLimit));
    const struct
    {
        const char* what;
        std::string bytes;
        DataFileFault fault;
    } faults[] = {
        {"beyond 16 MB", huge, DataFileFault::TooLarge},
        {"basicquery.xml", "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<basics>\r\n</basics>\r\n</saved>\r\n",
         DataFileFault::OtherKind},
        {"session.xml", "<savedsession><session name=\"No Session Selected\" mark=\"\" client=\"\"/></savedsession>",
         DataFileFault::OtherKind},
        {"in the system code page", "<saved><other>M\xfcller</other></saved>", DataFileFault::OtherKind},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.what);
        ASSERT_TRUE(WriteBytes(path, f.bytes));
        read.push_back(entries[0]);
        EXPECT_FALSE(ReadReportsXml(path, read, &fault));
        EXPECT_TRUE(read.empty());
        EXPECT_EQ(fault, f.fault);
    }
    CoUninitialize();
}

TEST(ReportFiles, DateText)
{
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 12;
    t.wDay = 8;
    t.wDayOfWeek = 2;
    EXPECT_EQ(FormatReportDate(t), CString("Tuesday, December 8, 2026"));
    t.wMonth = 1;
    t.wDayOfWeek = 0;
    t.wDay = 31;
    EXPECT_EQ(FormatReportDate(t), CString("Sunday, January 31, 2026"));
}
