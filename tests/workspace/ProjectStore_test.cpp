#include "DataFileNotices.h"
#include "KilledSave.h"
#include "ProjectIds.h"
#include "ProjectStore.h"
#include "StageClock.h"
#include "StoreText.h"
#include "TextHelpers.h"
#include "WorkspaceTest.h"
#include "XmlHelpers.h"

#include <functional>

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

// A document filed into the store's NEW DOWNLOADS as the pane files a download: appended, and
// only its element written.
void FileDocument(CProjectStore& store, const char* name)
{
    IXMLDOMDocument2Ptr doc = store.GetDocument();
    IXMLDOMElementPtr document = doc->createElement(L"Document");
    SetXmlAttribute(document, "Name", name);
    SetXmlAttribute(document, "ParentUID", "1");
    SetXmlAttribute(document, "UID", CString("DOCUID") + name);
    store.SaveAppended(doc->selectSingleNode(L"/Project/Documents")->appendChild(document));
}

std::vector<std::string> DocumentNames(const CString& text)
{
    IXMLDOMDocument2Ptr doc = CreateDomDocument();
    doc->loadXML(_bstr_t(text));
    std::vector<std::string> names;
    IXMLDOMNodeListPtr documents = doc->selectNodes(L"/Project/Documents/Document/@Name");
    for (long i = 0; i < documents->Getlength(); ++i)
        names.push_back(ToAnsi(documents->Getitem(i)->Gettext()).GetString());
    return names;
}

// The files beside Project.cfg that keep a project aside ("Project.cfg.DATE-TIME.kept").
std::vector<CString> KeptFiles()
{
    std::vector<CString> kept;
    for (const CString& name : testsupport::FileNamesIn(GetAppDirectory()))
        if (name.Find("project.cfg.") == 0 && name.Right(5) == ".kept")
            kept.push_back(GetAppDirectory() + "\\" + name);
    return kept;
}

void DeleteKeptFiles()
{
    for (const CString& path : KeptFiles())
        DeleteFileA(path);
}

TEST_F(ProjectStoreTest, AFailedWriteKeepsTheOldLibraryIsToldOnceAndTheNextWriteHoldsAll)
{
    WriteEnciphered(AppFile("Project.cfg"), StoreText("5", "<Shorts/>"));
    const std::string library = RawBytes(AppFile("Project.cfg"));
    testsupport::DataFileNotices notices;
    CProjectStore store;
    ASSERT_TRUE(store.Load(AppFile("Project.cfg")));
    // Held open by another program, then on a full disk: three downloads are filed and none
    // of them reaches the file.
    HANDLE holder = CreateFileA(AppFile("Project.cfg"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    FileDocument(store, "US1000001");
    FileDocument(store, "US1000002");
    CloseHandle(holder);
    {
        testsupport::FullDisk full;
        FileDocument(store, "US1000003");
    }
    EXPECT_EQ(RawBytes(AppFile("Project.cfg")), library);
    EXPECT_NE(LogText().find("Could not write Project.cfg"), std::string::npos);
    EXPECT_TRUE(store.HasUnsavedChanges());
    ASSERT_EQ(notices.Count(), 1u) << "told once, not at every save";
    EXPECT_EQ(notices.All()[0].caption, CString(kNotSavedCaption));
    EXPECT_EQ(notices.All()[0].text.Find("The project (its folders and documents) could not be saved to\n" +
                                         AppFile("Project.cfg") + "\n"),
              0)
        << notices.All()[0].text.GetString();

    // The next write that can holds everything the store was given meanwhile.
    FileDocument(store, "US1000004");
    EXPECT_EQ(DocumentNames(ReadDeciphered(AppFile("Project.cfg"))),
              (std::vector<std::string>{"US1234567", "US1000001", "US1000002", "US1000003", "US1000004"}));
    EXPECT_FALSE(store.HasUnsavedChanges());
    EXPECT_FALSE(IsDataFileUnsaved(AppFile("Project.cfg")));
    EXPECT_EQ(notices.Count(), 1u);
}

// What another program may do to Project.cfg while the store holds it, and what the store's
// next write then does: a file put in its place is never written over (the project is kept
// beside it and the owner told); a file gone is written anew; a file only made read-only is
// still the store's own.
TEST_F(ProjectStoreTest, AFileAnotherProgramPutInPlaceIsNeverWrittenOver)
{
    const struct
    {
        const char* what;
        bool bReplaced;
        void (*change)(const CString& path, const CString& other);
    } cases[] = {
        {"a file renamed into its place", true,
         [](const CString& p, const CString& o) { MoveFileExA(o, p, MOVEFILE_REPLACE_EXISTING); }},
        {"copied over", true, [](const CString& p, const CString& o) { CopyFileA(o, p, FALSE); }},
        {"deleted", false, [](const CString& p, const CString&) { DeleteFileA(p); }},
        {"left alone", false, [](const CString&, const CString&) {}},
    };
    const CString other = m_dir.File("imported.cfg");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteKeptFiles();
        testsupport::DataFileNotices notices;
        WriteEnciphered(AppFile("Project.cfg"), StoreText("5", "<Shorts/>"));
        CProjectStore store;
        int told = 0;
        store.SetReplacedHandler([&told] { ++told; });
        ASSERT_TRUE(store.Load(AppFile("Project.cfg")));
        FileDocument(store, "US1000001");
        EXPECT_FALSE(store.WasReplaced());

        WriteEnciphered(other, StoreText("7", "<Shorts/>"));
        const std::string theirs = RawBytes(other);
        c.change(AppFile("Project.cfg"), other);
        EXPECT_EQ(c.bReplaced, store.WasReplaced());
        FileDocument(store, "US1000002");
        FileDocument(store, "US1000003");
        const std::vector<std::string> ours{"US1234567", "US1000001", "US1000002", "US1000003"};
        if (c.bReplaced) {
            EXPECT_EQ(RawBytes(AppFile("Project.cfg")), theirs) << "their file, as they left it";
            const std::vector<CString> kept = KeptFiles();
            ASSERT_EQ(kept.size(), 1u) << "one file keeps the project, each write anew";
            EXPECT_EQ(DocumentNames(ReadDeciphered(kept[0])), ours);
            EXPECT_EQ(store.KeepAside().CompareNoCase(kept[0]), 0) << "the same file again";
            EXPECT_EQ(told, 2);
            EXPECT_TRUE(store.HasUnsavedChanges());
        } else {
            EXPECT_EQ(DocumentNames(ReadDeciphered(AppFile("Project.cfg"))), ours);
            EXPECT_TRUE(KeptFiles().empty());
            EXPECT_EQ(told, 0);
            EXPECT_FALSE(store.HasUnsavedChanges());
        }
        EXPECT_EQ(notices.Count(), 0u) << "the owner tells the user once it has taken the new file up";
    }
    DeleteKeptFiles();
}

TEST_F(ProjectStoreTest, AKilledSaveLeavesThePreviousLibraryWhole)
{
    WriteEnciphered(AppFile("Project.cfg"), StoreText("5", "<Shorts/>"));
    auto save = [](const char* name) {
        return [name] {
            CProjectStore store;
            ASSERT_TRUE(store.Load(AppFile("Project.cfg")));
            SetXmlAttribute(store.GetDocument()->selectSingleNode(L"/Project"), "Name", name);
            store.Save();
        };
    };
    testsupport::ExpectKilledSavesKeepTheFileWhole(AppFile("Project.cfg"), save("Project Folders"), save("Renamed"));
    CProjectStore store;
    EXPECT_TRUE(store.Load(AppFile("Project.cfg")));
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

namespace {

// Whether the stages timed since the last call include a whole serialization of the store.
// (A whole Save makes the text element by element; the document's own serialization is
// the reference the bytes are checked against.)
bool SerializedWhole()
{
    for (const auto& stage : TakeStageTimes()) {
        if (stage.first == "serialize store")
            return true;
    }
    return false;
}

IXMLDOMNodePtr Append(IXMLDOMDocument2Ptr doc, const char* parent, const char* xml)
{
    IXMLDOMDocument2Ptr record = CreateDomDocument();
    EXPECT_TRUE(record->loadXML(_bstr_t(xml))) << xml;
    return doc->selectSingleNode(_bstr_t(parent))->appendChild(record->GetdocumentElement());
}

// The record put before the section's first element, straight from its own document, which
// lives until the node has moved. (Appending it first and then moving it again within the
// store, after its document had gone, made Wine's XML library call through a null pointer in
// insertBefore, seldom and at random; the program itself moves no node twice.)
IXMLDOMNodePtr InsertFirst(IXMLDOMDocument2Ptr doc, const char* parent, const char* xml)
{
    IXMLDOMDocument2Ptr record = CreateDomDocument();
    EXPECT_TRUE(record->loadXML(_bstr_t(xml))) << xml;
    IXMLDOMNodePtr section = doc->selectSingleNode(_bstr_t(parent));
    return section->insertBefore(record->GetdocumentElement(),
                                 _variant_t(section->GetfirstChild().GetInterfacePtr()));
}

} // namespace

// After a change to one element, or one added at the end of a section, the store writes only
// that element anew into the text it wrote last: the file must hold exactly the bytes that
// a whole serialization writes, for every kind of change and content.
TEST_F(ProjectStoreTest, ASmallChangeWritesTheBytesOfAWholeSerialization)
{
    const char* record =
        "<?xml version=\"1.0\" ?>\r\n<Document Name=\"US7654321\" ParentUID=\"1\" "
        "DocumentTitle=\"M\xFCller &amp; S\xF6hne &lt;gear&gt; &quot;axle&quot; 'x' \x80 tab&#9;line&#10;\" "
        "UID=\"DOCUIDUS76543211\"><XMLCatalog><CatalogItem Title=\"\" FilePath=\"c:\\d\\US7654321.pdf\" "
        "FileType=\"PDF\"/><CatalogItem Title=\"x\" FileType=\"HTML\"/></XMLCatalog></Document>";
    struct Case
    {
        const char* name;
        const char* documents; // the Documents section of the stored text; null: the usual
        bool fast;             // the change needs no whole serialization
        std::function<void(CProjectStore&)> change;
    };
    const Case cases[] = {
        {"a record filed", "<Documents>\r\n<Document Name=\"US1\" UID=\"D1\" ParentUID=\"1\"/>\r\n</Documents>", true,
         [&](CProjectStore& s) { s.SaveAppended(Append(s.GetDocument(), "/Project/Documents", record)); }},
        {"a record filed into an empty section", "<Documents/>", true,
         [&](CProjectStore& s) { s.SaveAppended(Append(s.GetDocument(), "/Project/Documents", record)); }},
        {"a folder made", "<Documents/>", true,
         [&](CProjectStore& s) {
             s.SaveAppended(Append(s.GetDocument(), "/Project/Folders",
                                   "<Folder UID=\"77\" Name=\"Caf\xE9\" ParentUID=\"1\"/>"));
         }},
        {"a folder's sort", "<Documents/>", true,
         [](CProjectStore& s) {
             IXMLDOMNodePtr folder = s.GetDocument()->selectSingleNode(L"/Project/Folders/Folder[@UID='1']");
             SetXmlAttribute(folder, "SortDir", "2");
             SetXmlAttribute(folder, "SortCol", "2");
             s.SaveChanged(folder);
         }},
        {"a read mark", nullptr, true,
         [](CProjectStore& s) {
             IXMLDOMNodePtr document = s.GetDocument()->selectSingleNode(L"/Project/Documents/Document");
             SetXmlAttribute(document, "DocumentRead", "Yes");
             s.SaveChanged(document);
         }},
        {"a moved file", nullptr, true,
         [](CProjectStore& s) {
             IXMLDOMNodePtr item = s.GetDocument()->selectSingleNode(L"//CatalogItem");
             SetXmlAttribute(item, "FilePath", "e:\\Sp\xE4ter\\US1234567.pdf");
             s.SaveChanged(item);
         }},
        {"a record filed into a store with a comment", "<Documents><!-- kept --></Documents>", false,
         [&](CProjectStore& s) { s.SaveAppended(Append(s.GetDocument(), "/Project/Documents", record)); }},
        {"a record that is not last", "<Documents><Document Name=\"US1\" UID=\"D1\" ParentUID=\"1\"/></Documents>", false,
         [&](CProjectStore& s) { s.SaveAppended(InsertFirst(s.GetDocument(), "/Project/Documents", record)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString text = StoreText("5", "<Shorts/>");
        if (c.documents) {
            const int from = text.Find("<Documents>");
            text = text.Left(from) + c.documents + "\r\n</Project>\r\n";
        }
        WriteEnciphered(AppFile("Project.cfg"), text);
        CProjectStore store;
        ASSERT_TRUE(store.Load(AppFile("Project.cfg")));
        // Once after the load, from the text made on the store's own thread; then again,
        // from the text of the change before.
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            TakeStageTimes();
            c.change(store);
            EXPECT_EQ(!c.fast, SerializedWhole());
            CString whole;
            ASSERT_EQ(1, CFileCrypt().EncryptString(ToAnsi(store.GetDocument()->Getxml()), whole));
            EXPECT_EQ(RawBytes(AppFile("Project.cfg")), whole.str());
        }
    }
}

// A whole Save makes the store's text element by element: it must be the document's own
// serialization, byte for byte, for every shape of store; a store with more than elements
// is left to the document's own serialization.
TEST_F(ProjectStoreTest, TheTextMadeElementByElementIsTheDocumentsOwn)
{
    struct Case
    {
        const char* name;
        const char* text;
        bool made;
    };
    const CString usual = StoreText("5", "<Shorts><Short ShortUID=\"D1\" UID=\"7\" ParentUID=\"1\"/></Shorts>");
    const Case cases[] = {
        {"the usual store", usual, true},
        {"empty sections", "<?xml version=\"1.0\"?><Project Name=\"P\"><Folders/><Shorts/><Documents/></Project>", true},
        {"no declaration", "<Project Name=\"P\"><Folders><Folder UID=\"1\" Name=\"N\"/></Folders></Project>", true},
        {"a declaration with an encoding",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><Project Name=\"Caf\xE9\"><Folders/></Project>", true},
        {"an empty root", "<?xml version=\"1.0\"?><Project Name=\"P\"/>", true},
        {"attributes of every kind",
         "<Project Name=\"a&amp;b &lt;c&gt; &quot;d&quot; 'e' \xFC\x80\xA0 &#9;&#10;&#13;\"><Documents a=\"1\">"
         "<Document Name=\"x\"><XMLCatalog/><Deep><Deeper k=\"&#x1F600;\"/></Deep></Document></Documents></Project>",
         true},
        {"a comment", "<Project><!-- note --><Folders/></Project>", false},
        {"text in a record", "<Project><Documents><Document>text</Document></Documents></Project>", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IXMLDOMDocument2Ptr doc = CreateDomDocument();
        ASSERT_TRUE(doc->loadXML(_bstr_t(c.text)));
        storetext::CKeptText kept;
        ASSERT_EQ(c.made, kept.Make(doc));
        if (c.made) {
            EXPECT_EQ(ToAnsi(doc->Getxml()).str(), kept.Text());
        }
    }
}
