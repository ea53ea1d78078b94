#include "ProjectIds.h"
#include "ProjectStore.h"
#include "TextHelpers.h"
#include "WorkspaceTest.h"
#include "XmlHelpers.h"

using namespace workspacetest;

namespace {

const char kStore[] =
    "<?xml version=\"1.0\"?>\r\n<Project Name=\"Project Folders\">\r\n<Folders>\r\n"
    "<Folder UID=\"1\" Name=\"NEW DOWNLOADS\" ParentUID=\"ROOT\"/>\r\n"
    "<Folder UID=\"%s\" Name=\"Gears\" ParentUID=\"1\"/>\r\n"
    "<Folder UID=\"abc\" Name=\"Odd\" ParentUID=\"1\"/>\r\n"
    "</Folders>\r\n%s<Documents>\r\n"
    "<Document Name=\"US1234567\" ParentUID=\"1\" DocumentTitle=\"Gear &amp; axle \xE4\" UID=\"DOCUIDUS12345671\">"
    "<XMLCatalog><CatalogItem FilePath=\"c:\\Patent Downloads\\US1234567.pdf\" FileType=\"PDF\"/>"
    "</XMLCatalog></Document>\r\n</Documents>\r\n</Project>\r\n";

CString StoreText(const char* folderUid, const char* shorts)
{
    CString text;
    text.Format(kStore, folderUid, shorts);
    return text;
}

class ProjectStoreTest : public ComTest
{
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        DeleteFileA(AppFile("Project.cfg"));
        DeleteFileA(AppFile("ProgressLog.txt"));
    }
    void TearDown() override
    {
        DeleteFileA(AppFile("Project.cfg"));
        ComTest::TearDown();
    }
    testsupport::TempDir m_dir;
};

} // namespace

TEST(ProjectStoreRepair, InsertsShortsOnlyAfterFolders)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"<Project><Folders></Folders><Documents/></Project>",
         "<Project><Folders></Folders>\r\n<Shorts>\r\n</Shorts>\r\n<Documents/></Project>"},
        {"<P><Folders></Folders><Shorts></P>", "<P><Folders></Folders>\r\n<Shorts>\r\n</Shorts>\r\n<Shorts></P>"},
        {"<P><Folders></Folders></Shorts></P>", "<P><Folders></Folders>\r\n<Shorts>\r\n</Shorts>\r\n</Shorts></P>"},
        {"<P><Folders></Folders><Shorts></Shorts></P>", "<P><Folders></Folders><Shorts></Shorts></P>"},
        {"<P><Folders></Folders><Shorts/></P>", "<P><Folders></Folders><Shorts/></P>"},  // as saved
        {"<P><Documents/></P>", "<P><Documents/></P>"},  // no </Folders>: left alone
        {"", ""},
    };
    for (const Case& c : cases) {
        CString text = c.in;
        CProjectStore::RepairShorts(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

TEST_F(ProjectStoreTest, LoadsRepairsAndSavesThroughTheCipher)
{
    CString source = m_dir.File("Project.cfg");
    WriteEnciphered(source, StoreText("5", ""));
    CProjectStore store;
    ASSERT_TRUE(store.Load(source));
    IXMLDOMDocument2Ptr doc = store.GetDocument();
    EXPECT_TRUE(doc->selectSingleNode(L"/Project/Shorts"));
    IXMLDOMNodePtr title = doc->selectSingleNode(L"/Project/Documents/Document");
    CString value;
    GetXmlAttribute(title, "DocumentTitle", value);
    EXPECT_EQ(value, "Gear & axle \xE4");

    IXMLDOMElementPtr folder = doc->createElement(L"Folder");
    SetXmlAttribute(folder, "UID", store.NextUID());
    SetXmlAttribute(folder, "Name", "R&D <new>");
    doc->selectSingleNode(L"/Project/Folders")->appendChild(folder);
    store.Save();

    // Written to the program folder, never back to where it was read from.
    CProjectStore reread;
    ASSERT_TRUE(reread.Load(AppFile("Project.cfg")));
    IXMLDOMNodePtr added = reread.GetDocument()->selectSingleNode(L"/Project/Folders/Folder[@Name='R&D <new>']");
    EXPECT_TRUE(added);
    EXPECT_TRUE(reread.GetDocument()->selectSingleNode(L"/Project/Shorts"));
    EXPECT_EQ(ReadDeciphered(source).Find("<Shorts>"), -1);
}

TEST_F(ProjectStoreTest, RepeatedStartsKeepOneShortsElement)
{
    WriteEnciphered(AppFile("Project.cfg"), StoreText("5", ""));
    for (int start = 0; start < 3; ++start) {
        CProjectStore store;
        ASSERT_TRUE(store.Load(AppFile("Project.cfg")));
        EXPECT_EQ(store.GetDocument()->selectNodes(L"/Project/Shorts")->Getlength(), 1) << start;
        store.Save();
    }
    const CString saved = ReadDeciphered(AppFile("Project.cfg"));
    const int first = saved.Find("<Shorts");
    EXPECT_GE(first, 0);
    EXPECT_EQ(saved.Find("<Shorts", first + 1), -1) << saved.GetString();
}

TEST_F(ProjectStoreTest, ADamagedOrMissingStoreIsNeverOverwritten)
{
    WriteEnciphered(AppFile("Project.cfg"), StoreText("5", "<Shorts/>"));
    const std::string library = RawBytes(AppFile("Project.cfg"));

    CString garbage = m_dir.File("garbage.cfg");
    WriteEnciphered(garbage, "<Project><Folders></Folders><Documents>");  // cut short
    CString wrongRoot = m_dir.File("wrong.cfg");
    WriteEnciphered(wrongRoot, "<Config/>");
    for (const CString& path : {garbage, wrongRoot, m_dir.File("missing.cfg")}) {
        CProjectStore store;
        EXPECT_FALSE(store.Load(path)) << path;
        EXPECT_FALSE(store.IsLoaded());
        store.Save();
        EXPECT_EQ(RawBytes(AppFile("Project.cfg")), library);
    }
    EXPECT_NE(LogText().find("CProjectStore::Save-No project is loaded"), std::string::npos);
}

TEST_F(ProjectStoreTest, AFailedWriteKeepsTheOldLibrary)
{
    WriteEnciphered(AppFile("Project.cfg"), StoreText("5", "<Shorts/>"));
    const std::string library = RawBytes(AppFile("Project.cfg"));
    CProjectStore store;
    ASSERT_TRUE(store.Load(AppFile("Project.cfg")));
    SetXmlAttribute(store.GetDocument()->selectSingleNode(L"/Project"), "Name", "Changed");
    HANDLE holder = CreateFileA(AppFile("Project.cfg"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    store.Save();
    CloseHandle(holder);
    EXPECT_EQ(RawBytes(AppFile("Project.cfg")), library);
    EXPECT_NE(LogText().find("Could not write Project.cfg"), std::string::npos);
}

TEST_F(ProjectStoreTest, TheCounterStartsAboveStoredIdentifiers)
{
    CString source = m_dir.File("Project.cfg");
    WriteEnciphered(source, StoreText("2000000000", "<Shorts><Short ShortUID=\"DOCUIDUS12345671\" UID=\"2000000005\" ParentUID=\"1\"/></Shorts>"));
    CProjectStore store;
    ASSERT_TRUE(store.Load(source));
    EXPECT_EQ(store.NextUID(), "2000000006");
    EXPECT_EQ(store.NextUID(), "2000000007");

    WriteEnciphered(source, StoreText("5", ""));
    const LONGLONG before = SinceProjectEpoch().GetTotalSeconds();
    CProjectStore fresh;
    ASSERT_TRUE(fresh.Load(source));
    const LONGLONG first = std::stoll(fresh.NextUID().GetString());
    EXPECT_GE(first, before);
    EXPECT_LE(first, SinceProjectEpoch().GetTotalSeconds());
    EXPECT_EQ(std::stoll(fresh.NextUID().GetString()), first + 1);
}

TEST(ProjectIds, DocumentUidAndEpoch)
{
    EXPECT_EQ(FormatDocumentUID("US1234567", CTimeSpan(1, 2, 3, 4)), "DOCUIDUS12345671020304");
    EXPECT_EQ(FormatDocumentUID("EP1", CTimeSpan(1234, 0, 0, 9)), "DOCUIDEP11234000009");
    EXPECT_EQ(SinceProjectEpoch(CTime(2003, 1, 1, 12, 0, 30)).GetTotalSeconds(), 30);
    EXPECT_EQ(SinceProjectEpoch(CTime(2003, 1, 2, 12, 0, 0)).GetTotalSeconds(), 86400);
}

TEST_F(ProjectStoreTest, TheShippedStoreIsAWorkingMinimum)
{
    CProjectStore store;
    ASSERT_TRUE(store.Load(ShippedFile("Project.cfg")));
    IXMLDOMDocument2Ptr doc = store.GetDocument();
    CString name;
    GetXmlAttribute(doc->selectSingleNode(L"/Project"), "Name", name);
    EXPECT_EQ(name, "Project Folders");
    EXPECT_TRUE(doc->selectSingleNode(L"/Project/Folders/Folder[@UID='1' and @Name='NEW DOWNLOADS' and @ParentUID='ROOT']"));
    EXPECT_EQ(doc->selectNodes(L"/Project/Folders/Folder")->Getlength(), 1);
    EXPECT_EQ(doc->selectNodes(L"/Project/Shorts/*")->Getlength(), 0);
    EXPECT_EQ(doc->selectNodes(L"/Project/Documents/*")->Getlength(), 0);
}
