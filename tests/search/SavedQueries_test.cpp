// The saved-query files of both query pages without a window: the file text, reading by
// position, values that XML must escape surviving restarts, the files that are never
// overwritten (one that does not load, a write that fails, a write killed half way) and the
// ones set aside (far too large, of another kind).
#include "SavedQueries.h"

#include "DataFileNotices.h"
#include "DataFiles.h"
#include "KilledSave.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace {

using testsupport::DataFileNotices;
using testsupport::FullDisk;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

class SavedQueriesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
    TempDir dir;
};

TEST_F(SavedQueriesTest, BasicFileTextOfOneFormRecord)
{
    CSavedQueryStore store(BasicQueryFormat());
    store.Append(0, store.Capture(0, "T", {"U", "V"}, {2, 0, 1}));
    EXPECT_EQ(store.FileText(),
              "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<basics>\r\n"
              "<location name=\"USPTO Patents\">\r\n"
              "<basic name=\"T\">\r\n"
              "<field name=\"term1\" type=\"edit\">U</field>\r\n"
              "<field name=\"term2\" type=\"edit\">V</field>\r\n"
              "<field name=\"fieldtype1\" type=\"combobox\">2</field>\r\n"
              "<field name=\"fieldtype2\" type=\"combobox\">0</field>\r\n"
              "<field name=\"fieldtype3\" type=\"combobox\">1</field>\r\n"
              "</basic>\r\n"
              "</location>\r\n"
              "<location name=\"USPTO Published Applications\">\r\n</location>\r\n"
              "<location name=\"European Patent Office\">\r\n</location>\r\n"
              "</basics>\r\n</saved>\r\n");
}

TEST_F(SavedQueriesTest, PatentQueryFieldsByPosition)
{
    CSavedQueryStore store(AdvancedQueryFormat());
    std::vector<CString> edits;
    for (int i = 0; i < 21; ++i) {
        CString text;
        text.Format("e%d", i);
        edits.push_back(text);
    }
    const SavedQuery query = store.Capture(0, "Pumps", edits, {2, 1});
    ASSERT_EQ(query.values.size(), 23u);
    EXPECT_EQ(query.values[0], "e0");  // title
    EXPECT_EQ(query.values[1], "2");   // combine
    EXPECT_EQ(query.values[2], "e1");  // description
    EXPECT_EQ(query.values[11], "e10"); // assigneename
    EXPECT_EQ(query.values[12], "1");  // applicationtype
    EXPECT_EQ(query.values[13], "e11"); // assigneecity
    EXPECT_EQ(query.values[22], "e20"); // referencedby
    store.Append(0, query);
    const CString text = store.FileText();
    EXPECT_NE(text.Find("<advanced name=\"Pumps\">\r\n<field name=\"title\" type=\"edit\">e0</field>\r\n"
                        "<field name=\"combine\" type=\"combobox\">2</field>\r\n"),
              -1);
    EXPECT_NE(text.Find("<field name=\"referencedby\" type=\"edit\">e20</field>\r\n</advanced>\r\n</location>"), -1);

    // A page with fewer controls: missing edits are empty, missing combos unselected.
    const SavedQuery shortForm = store.Capture(1, "Short", {"only"}, {});
    ASSERT_EQ(shortForm.values.size(), 20u);
    EXPECT_EQ(shortForm.values[0], "only");
    EXPECT_EQ(shortForm.values[1], "-1");
    EXPECT_EQ(shortForm.values[19], "");

    // Applying hands each value to its control and skips the controls the page lacks.
    std::vector<CString> applied(5);
    std::vector<int> selected(1, 99);
    store.Apply(0, query, applied.size(), selected.size(),
                [&](size_t i, const CString& t) { applied[i] = t; }, [&](size_t i, int s) { selected[i] = s; });
    EXPECT_EQ(applied[0], "e0");
    EXPECT_EQ(applied[4], "e4");
    EXPECT_EQ(selected[0], 2);
}

TEST_F(SavedQueriesTest, EscapedValuesSurviveTwoRestarts)
{
    const CString path = dir.File("advancedquery.xml");
    const CString title = "A&B <\"pumps\"> \xe9t\xe9 [ADVANCEDDATA]";
    {
        CSavedQueryStore store(AdvancedQueryFormat());
        EXPECT_EQ(store.Load(path), CSavedQueryStore::loadNoFile);
        store.Append(1, store.Capture(1, title, {"x < y & \"z\"", "[NAME]"}, {2}));
        store.Append(1, store.Capture(1, "plain", {"p"}, {0}));
        CString error;
        ASSERT_TRUE(store.Write(path, &error)) << error;
    }
    std::string first, second;
    ASSERT_TRUE(ReadBytes(path, first));
    for (int restart = 0; restart < 2; ++restart) {
        CSavedQueryStore store(AdvancedQueryFormat());
        ASSERT_EQ(store.Load(path), CSavedQueryStore::loadRead);
        ASSERT_EQ(store.List(1).size(), 2u);
        const SavedQuery& query = store.List(1)[0];
        EXPECT_EQ(query.title, title);
        EXPECT_EQ(query.values[0], "x < y & \"z\"");
        EXPECT_EQ(query.IntValue(1), 2);
        EXPECT_EQ(query.values[2], "[NAME]");
        EXPECT_EQ(store.List(1)[1].title, "plain");
        ASSERT_TRUE(store.Write(path, nullptr));
    }
    ASSERT_TRUE(ReadBytes(path, second));
    EXPECT_EQ(first, second);
    EXPECT_NE(first.find("name=\"A&amp;B &lt;&quot;pumps&quot;&gt; &#233;t&#233; [ADVANCEDDATA]\""),
              std::string::npos);
}

TEST_F(SavedQueriesTest, ReadsByPositionAndSkipsOtherLocations)
{
    const CString path = dir.File("basicquery.xml");
    ASSERT_TRUE(WriteBytes(path, "<?xml version=\"1.0\" ?>\r\n<saved><basics>"
                                 "<location name=\"Elsewhere\"><basic name=\"Lost\"><a>1</a></basic></location>"
                                 "<location name=\"USPTO Patents\">"
                                 "<basic name=\"Swapped\"><x type=\"combobox\">first</x><y>second</y>"
                                 "<z>-1</z><z>3</z><z>none</z></basic>"
                                 "<basic name=\"Short\"><q>only</q></basic>"
                                 "</location>"
                                 "<location name=\"European Patent Office\"><basic name=\"Ep\">"
                                 "<f>wind</f></basic></location>"
                                 "</basics></saved>"));
    CSavedQueryStore store(BasicQueryFormat());
    ASSERT_EQ(store.Load(path), CSavedQueryStore::loadRead);
    ASSERT_EQ(store.List(0).size(), 2u);
    const SavedQuery& swapped = store.List(0)[0];
    EXPECT_EQ(swapped.title, "Swapped");
    EXPECT_EQ(swapped.values[0], "first");
    EXPECT_EQ(swapped.values[1], "second");
    EXPECT_EQ(swapped.IntValue(2), -1);
    EXPECT_EQ(swapped.IntValue(3), 3);
    EXPECT_EQ(swapped.IntValue(4), 0);
    EXPECT_EQ(store.List(0)[1].values[1], "");
    EXPECT_TRUE(store.List(1).empty());
    ASSERT_EQ(store.List(2).size(), 1u);
    EXPECT_EQ(store.List(2)[0].values[0], "wind");
}

TEST_F(SavedQueriesTest, RemovingATitleRemovesEveryRecordOfIt)
{
    CSavedQueryStore store(BasicQueryFormat());
    for (const char* title : {"Same", "Other", "Same", "Last"})
        store.Append(1, store.Capture(1, title, {title}, {}));
    EXPECT_EQ(store.RemoveByTitle(1, "Same"), 2);
    ASSERT_EQ(store.List(1).size(), 2u);
    EXPECT_EQ(store.List(1)[0].title, "Other");
    EXPECT_EQ(store.List(1)[1].title, "Last");
    EXPECT_EQ(store.RemoveByTitle(5, "Other"), 0);
}

TEST_F(SavedQueriesTest, AFileThatDoesNotLoadIsNeverOverwritten)
{
    const CString path = dir.File("advancedquery.xml");
    const std::string broken = "<?xml version=\"1.0\" ?>\r\n<saved><advances><location name=\"USPTO Patents\">"
                               "<advanced name=\"A & B\"></advanced></location></advances></saved>\r\n";
    ASSERT_TRUE(WriteBytes(path, broken));
    CSavedQueryStore store(AdvancedQueryFormat());
    EXPECT_EQ(store.Load(path), CSavedQueryStore::loadUnreadable);
    EXPECT_TRUE(store.IsWriteBlocked());
    store.Append(0, store.Capture(0, "New", {"x"}, {}));
    CString error;
    EXPECT_FALSE(store.Write(path, &error));
    EXPECT_NE(error.Find("could not be read"), -1);
    std::string now;
    ASSERT_TRUE(ReadBytes(path, now));
    EXPECT_EQ(now, broken);
}

// Saved queries that cannot be written, twice: the user hears of it once for each file, the
// file keeps its previous queries, and the next write holds every query.
TEST_F(SavedQueriesTest, AFailedWriteKeepsTheOldFileIsToldOnceAndTheNextWriteHoldsAll)
{
    for (const SavedQueryFormat* format : {&BasicQueryFormat(), &AdvancedQueryFormat()}) {
        SCOPED_TRACE(format->fileName);
        const CString path = dir.File(format->fileName);
        DataFileNotices notices;
        CSavedQueryStore store(*format);
        store.Append(2, store.Capture(2, "Old", {"wind"}, {}));
        ASSERT_TRUE(store.Write(path, nullptr));
        std::string before;
        ASSERT_TRUE(ReadBytes(path, before));

        CString error = "stale";
        {
            FullDisk full;
            store.Append(2, store.Capture(2, "New", {"sun"}, {}));
            EXPECT_FALSE(store.Write(path, &error));
            store.Append(2, store.Capture(2, "Newer", {"rain"}, {}));
            EXPECT_FALSE(store.Write(path, &error));
        }
        EXPECT_TRUE(error.IsEmpty()) << "the notice tells it, not the page";
        std::string after;
        ASSERT_TRUE(ReadBytes(path, after));
        EXPECT_EQ(after, before);
        EXPECT_EQ(testsupport::FilesIn(dir.Path()), 1);
        ASSERT_EQ(notices.Count(), 1u);
        EXPECT_EQ(notices.All()[0].text.Find(CString("The ") + format->contents + " could not be saved to\n" + path), 0);

        ASSERT_TRUE(store.Write(path, &error));
        ASSERT_TRUE(ReadBytes(path, after));
        EXPECT_EQ(after, std::string(store.FileText().GetString()));
        EXPECT_EQ(store.List(2).size(), 3u);
        EXPECT_EQ(notices.Count(), 1u);
        ::DeleteFileA(path);
    }
}

TEST_F(SavedQueriesTest, AKilledWriteLeavesThePreviousFileWhole)
{
    const CString path = dir.File("basicquery.xml");
    auto save = [&](const char* title) {
        return [&, title] {
            CSavedQueryStore store(BasicQueryFormat());
            store.Append(2, store.Capture(2, title, {"wind"}, {}));
            ASSERT_TRUE(store.Write(path, nullptr));
        };
    };
    testsupport::ExpectKilledSavesKeepTheFileWhole(path, save("Old"), save("New"));
}

// A file far larger than the program writes, and well-formed files of another kind (another
// data file copied into its place): set aside whole under a name that says why, the lists
// empty and the next write allowed. An empty list of the right kind is read as it is.
TEST_F(SavedQueriesTest, AFileTooLargeOrOfAnotherKindIsSetAside)
{
    const std::string reports = "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<report name=\"R\">\r\n<mark>M</mark>"
                                "\r\n<client>C</client>\r\n<datetime>D</datetime>\r\n</report>\r\n</saved>\r\n";
    CSavedQueryStore basic(BasicQueryFormat());
    basic.Append(2, basic.Capture(2, "Ep", {"wind"}, {}));
    const std::string basics(basic.FileText().GetString(), basic.FileText().GetLength());
    const std::string huge = testsupport::GrownText(
        "<?xml version=\"1.0\" ?>\r\n<saved><advances><location name=\"USPTO Patents\">",
        "<advanced name=\"A\"><field name=\"title\" type=\"edit\">pump</field></advanced>\r\n",
        "</location></advances></saved>\r\n", static_cast<size_t>(kDataFileSizeLimit));

    const struct
    {
        const char* what;
        const SavedQueryFormat& format;
        std::string bytes;
        const char* suffix;
        const char* told;
    } cases[] = {
        {"Reports.xml in basicquery.xml's place", BasicQueryFormat(), reports, ".other-kind", "another kind"},
        {"basicquery.xml in advancedquery.xml's place", AdvancedQueryFormat(), basics, ".other-kind", "another kind"},
        {"a project store in basicquery.xml's place", BasicQueryFormat(), "<Project><Folders/></Project>",
         ".other-kind", "another kind"},
        {"advancedquery.xml beyond 16 MB", AdvancedQueryFormat(), huge, ".too-large", "larger than 16 MB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CString path = dir.File(c.format.fileName);
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        CSavedQueryStore store(c.format);
        ASSERT_EQ(store.Load(path), CSavedQueryStore::loadSetAside);
        for (int slot = 0; slot < 3; ++slot)
            EXPECT_TRUE(store.List(slot).empty());
        std::string kept;
        ASSERT_TRUE(ReadBytes(path + c.suffix, kept));
        EXPECT_TRUE(kept == c.bytes);
        EXPECT_NE(store.SetAsideText().Find(path + "\n"), -1);
        EXPECT_NE(store.SetAsideText().Find(path + c.suffix + "\n"), -1);
        EXPECT_NE(store.SetAsideText().Find(c.told), -1);
        EXPECT_NE(store.SetAsideText().Find(c.format.contents), -1);
        EXPECT_FALSE(store.IsWriteBlocked());
        store.Append(0, store.Capture(0, "New", {"x"}, {}));
        EXPECT_TRUE(store.Write(path, nullptr));
        ASSERT_EQ(store.Load(path), CSavedQueryStore::loadRead);
        EXPECT_EQ(store.List(0).size(), 1u);
        DeleteFileA(path + c.suffix);
    }

    const CString empty = dir.File("basicquery.xml");
    ASSERT_TRUE(WriteBytes(empty, "<?xml version=\"1.0\" ?>\r\n<saved>\r\n</saved>\r\n"));
    CSavedQueryStore store(BasicQueryFormat());
    EXPECT_EQ(store.Load(empty), CSavedQueryStore::loadRead);
}

} // namespace
