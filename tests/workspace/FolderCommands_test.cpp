// The folder tree's moves of whole folders (by calls, and by mouse messages on the real
// tree in the main window), the records it files from files (Import File To Folder with its
// dialog, Recover Database over old download folders made by the test), and the main
// window's commands that start them and the import wizard.
#include "PaneFixture.h"

#include "AddOtherFile.h"
#include "ImportedRecords.h"

#include <functional>
#include <set>
#include <vector>

using namespace workspacetest;

namespace {

const char kMovedOntoTarget[] =
    "NEW DOWNLOADS: US5000005 |\n"
    "Clients: |\n"
    "Clients/Beta: US5000004 |\n"
    "Target: | 502\n"
    "Folded: |\n"
    "Folded/Inside Folded: US5000006 |\n"
    "?/Loop (hidden): |\n"
    "Loop: |\n"
    "?/Loop Inner: |\n"
    "Target/Acme: US5000001 | 500\n"
    "Target/Acme/Acme Archive: US5000002 |\n"
    "Target/Acme/Acme Archive/Old Letters: US5000003 | 501\n";

const char kTreeAfterMoveOntoTarget[] =
    "Project Folders [3/3]\n"
    "  NEW DOWNLOADS [2/3]\n"
    "  Clients [2/3]\n"
    "    Beta [2/3]\n"
    "  Target [2/3]\n"
    "    Acme [2/3]\n"
    "      Acme Archive [2/3]\n"
    "        Old Letters [2/3]\n"
    "  Folded [2/3]\n"
    "    Inside Folded [2/3]\n"
    "  Loop [2/3]\n"
    "    Loop Inner [2/3]\n";

// The store's folders in store order, each as the path of names from the root ("?/" where
// the ParentUID chain does not reach the root), with the names of its documents and the
// UIDs of its shortcuts.
std::string StoreOutline(IXMLDOMDocument2Ptr doc)
{
    std::string out;
    for (const IXMLDOMNodePtr& folder : SelectNodes(doc, L"/Project/Folders/Folder")) {
        CString path = Attribute(folder, "Name");
        CString parent = Attribute(folder, "ParentUID");
        for (int step = 0; parent != "ROOT"; ++step) {
            IXMLDOMNodePtr above = StoredFolder(doc, parent);
            if (!above || step > 20) {
                path = "?/" + Attribute(folder, "Name");
                break;
            }
            path = Attribute(above, "Name") + "/" + path;
            parent = Attribute(above, "ParentUID");
        }
        const CString uid = XPathLiteral(Attribute(folder, "UID"));
        CString line = path + ":";
        for (const IXMLDOMNodePtr& d : SelectNodes(doc, _bstr_t("/Project/Documents/Document[@ParentUID=" + uid + "]")))
            line += " " + Attribute(d, "Name");
        line += " |";
        for (const IXMLDOMNodePtr& s : SelectNodes(doc, _bstr_t("/Project/Shorts/Short[@ParentUID=" + uid + "]")))
            line += " " + Attribute(s, "UID");
        out += std::string(line.GetString()) + "\n";
    }
    return out;
}

IXMLDOMNodePtr StoredDocument(IXMLDOMDocument2Ptr doc, const CString& name)
{
    return doc->selectSingleNode(_bstr_t("/Project/Documents/Document[@Name=" + XPathLiteral(name) + "]"));
}

// The middle of an item's label in the tree's client coordinates.
CPoint LabelCentre(CTreeCtrl& tree, HTREEITEM hItem)
{
    CRect label;
    EXPECT_TRUE(tree.GetItemRect(hItem, &label, TRUE));
    return label.CenterPoint();
}

LPARAM Point(CPoint p)
{
    return MAKELPARAM(p.x, p.y);
}

// A point of one window in the client coordinates of another.
CPoint Between(CWnd& from, CPoint p, CWnd& to)
{
    from.ClientToScreen(&p);
    to.ScreenToClient(&p);
    return p;
}

bool Expanded(CTreeCtrl& tree, HTREEITEM hItem)
{
    return (tree.GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

// The item below the parent with the label (null when none).
HTREEITEM ChildLabelled(CTreeCtrl& tree, HTREEITEM hParent, const char* label)
{
    for (HTREEITEM h = tree.GetChildItem(hParent); h; h = tree.GetNextSiblingItem(h)) {
        if (tree.GetItemText(h) == label)
            return h;
    }
    return nullptr;
}

HTREEITEM Path(CTreeCtrl& tree, std::initializer_list<const char*> labels)
{
    HTREEITEM h = tree.GetRootItem();
    for (const char* label : labels) {
        if (!h)
            return nullptr;
        h = ChildLabelled(tree, h, label);
    }
    return h;
}

// Closes every "Error" box that shows within the next second, noting its text.
void CloseErrorBoxes(std::vector<CString>& texts, int tries = 20)
{
    testsupport::AfterDelay(50, [&texts, tries] {
        if (HWND h = testsupport::FindThreadDialog("Error")) {
            texts.push_back(testsupport::MessageBoxText(h));
            testsupport::PressDialogButton(h, IDOK);
        } else if (tries > 0) {
            CloseErrorBoxes(texts, tries - 1);
        }
    });
}

CString SpanText(const CTimeSpan& span)
{
    CString text;
    text.Format("%d", static_cast<int>(span.GetTotalSeconds()));
    return text;
}

} // namespace

// ---------------------------------------------------------------- moving folders

class FolderMoveTest : public PaneFixture
{
protected:
    CString ProjectText() override { return FixtureText("folders/Project.xml"); }

    CString UidOf(HTREEITEM hItem) { return Tree().UidOfKey(Tree().KeyOfItem(hItem)); }

    void Reopen()
    {
        ClosePane();
        WriteEnciphered(AppFile("Project.cfg"), ProjectText());
        OpenPane();
    }

    // A drop as the mouse handlers make it: the dragged item, the target, the window.
    void Drop(HTREEITEM hDragged, HTREEITEM hTarget, CWnd* pWindow = nullptr)
    {
        ASSERT_NE(nullptr, hDragged);
        ASSERT_NE(nullptr, hTarget);
        Control().m_hLastClickedItem = hDragged;
        Tree().m_hDropItem = hTarget;
        Tree().DropFolder(pWindow ? pWindow : &Control());
        testsupport::PumpMessages();
    }
};

TEST_F(FolderMoveTest, AMovedFolderTakesItsSubfoldersDocumentsAndShortcutsAlong)
{
    Drop(Item({"Clients", "Acme"}), Item({"Target"}));
    IXMLDOMDocument2Ptr stored = StoredProject();
    EXPECT_EQ(kMovedOntoTarget, StoreOutline(stored));
    EXPECT_EQ(0, Count(stored, "/Project/Folders/Folder[@UID='11' or @UID='12' or @UID='13']"))
        << "the old folders are gone; the new ones have new UIDs";
    EXPECT_EQ((std::vector<CString>{"13", "12", "11"}), m_pPane->deleteRequests) << "deepest first";
    EXPECT_EQ(kTreeAfterMoveOntoTarget, Describe());
    // The keys of the new items name the new folders; the list's sort of the folder moves too.
    IXMLDOMNodePtr acme = StoredFolder(stored, UidOf(Item({"Target", "Acme"})));
    EXPECT_EQ(CString("Acme"), Attribute(acme, "Name"));
    EXPECT_EQ(CString("20"), Attribute(acme, "ParentUID"));
    EXPECT_EQ(CString("1"), Attribute(acme, "SortDir"));
    EXPECT_EQ(CString("2"), Attribute(acme, "SortCol"));
    EXPECT_EQ(CString("(none)"), Attribute(StoredFolder(stored, UidOf(Item({"Target", "Acme", "Acme Archive"}))), "SortDir"));

    struct Case
    {
        const char* what;
        std::vector<const char*> dragged;
        std::vector<const char*> target; // empty: the root
        const char* movedName;
        const char* newParentUid;
        const char* tree;
    };
    const Case cases[] = {
        {"onto its own parent: again at the end of its children", {"Clients", "Beta"}, {"Clients"}, "Beta", "10",
         "Project Folders [3/3]\n  NEW DOWNLOADS [2/3]\n  Clients [2/3]\n    Acme [2/3]\n      Acme Archive [2/3]\n"
         "        Old Letters [2/3]\n    Beta [2/3]\n  Target [2/3]\n  Folded [2/3]\n    Inside Folded [2/3]\n"
         "  Loop [2/3]\n    Loop Inner [2/3]\n"},
        {"onto the root: to the top level", {"Folded", "Inside Folded"}, {}, "Inside Folded", "ROOT",
         "Project Folders [3/3]\n  NEW DOWNLOADS [2/3]\n  Clients [2/3]\n    Acme [2/3]\n      Acme Archive [2/3]\n"
         "        Old Letters [2/3]\n    Beta [2/3]\n  Target [2/3]\n  Folded [0/1]\n  Loop [2/3]\n"
         "    Loop Inner [2/3]\n  Inside Folded [2/3]\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reopen();
        const CString oldUid = UidOf(Path(Control(), {c.dragged[0], c.dragged[1]}));
        HTREEITEM hTarget = Control().GetRootItem();
        for (const char* label : c.target)
            hTarget = ChildLabelled(Control(), hTarget, label);
        Drop(Path(Control(), {c.dragged[0], c.dragged[1]}), hTarget);
        EXPECT_EQ(c.tree, Describe());
        stored = StoredProject();
        IXMLDOMNodePtr moved =
            stored->selectSingleNode(_bstr_t(CString("/Project/Folders/Folder[@Name='") + c.movedName + "']"));
        EXPECT_EQ(CString(c.newParentUid), Attribute(moved, "ParentUID"));
        EXPECT_NE(oldUid, Attribute(moved, "UID"));
        EXPECT_EQ(0, Count(stored, "/Project/Folders/Folder[@UID=" + XPathLiteral(oldUid) + "]"));
        EXPECT_EQ(1, Count(stored, "/Project/Documents/Document[@ParentUID=" + XPathLiteral(Attribute(moved, "UID")) +
                                       "]"));
    }
}

TEST_F(FolderMoveTest, RefusedDropsChangeNothing)
{
    struct Case
    {
        const char* what;
        std::function<HTREEITEM()> dragged;
        std::function<HTREEITEM()> target;
        bool otherWindow;
    };
    const Case cases[] = {
        {"a folder onto itself", [&] { return Item({"Target"}); }, [&] { return Item({"Target"}); }, false},
        {"NEW DOWNLOADS", [&] { return Item({"NEW DOWNLOADS"}); }, [&] { return Item({"Target"}); }, false},
        {"the root", [&] { return Control().GetRootItem(); }, [&] { return Item({"Target"}); }, false},
        {"a drop that lands on another window", [&] { return Item({"Target"}); }, [&] { return Item({"Folded"}); },
         true},
        {"a folder onto one below it", [&] { return Item({"Clients"}); },
         [&] { return Item({"Clients", "Acme", "Acme Archive", "Old Letters"}); }, false},
    };
    const std::string before = RawBytes(AppFile("Project.cfg"));
    const std::string tree = Describe();
    std::vector<CString> boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CloseErrorBoxes(boxes);
        Drop(c.dragged(), c.target(), c.otherWindow ? &m_pPane->GetPatentManager().GetList() : nullptr);
        EXPECT_EQ(before, RawBytes(AppFile("Project.cfg")));
        EXPECT_EQ(tree, Describe());
        EXPECT_TRUE(m_pPane->deleteRequests.empty());
        EXPECT_EQ(nullptr, Control().GetDropHilightItem());
    }
    testsupport::PumpMessages(1100); // the last box watch ends
    EXPECT_EQ(std::vector<CString>{"Cannot drop Parent folder on Child folder"}, boxes)
        << "only the drop below the dragged folder says why";
}

TEST_F(FolderMoveTest, AStoreWhoseParentChainRunsInACircleDoesNotHang)
{
    // "Loop Inner" names as its parent the UID 40, whose first folder in the store names
    // "Loop Inner" again: the chain from it never ends at the root.
    HTREEITEM hInner = Item({"Loop", "Loop Inner"});
    EXPECT_EQ(0, Tree().IsDescendantFolder(Item({"Target"}), hInner));
    EXPECT_EQ(1, Tree().IsDescendantFolder(Item({"Loop"}), hInner)) << "the tree shows it below";
    Drop(Item({"Target"}), hInner);
    EXPECT_NE(nullptr, Item({"Loop", "Loop Inner", "Target"}));
    IXMLDOMDocument2Ptr stored = StoredProject();
    EXPECT_EQ(CString("41"),
              Attribute(stored->selectSingleNode(L"/Project/Folders/Folder[@Name='Target']"), "ParentUID"));
    EXPECT_EQ(0, Count(stored, "/Project/Folders/Folder[@UID='20']"));
}

TEST_F(FolderMoveTest, ClosingThePaneWhileAFolderWaitsToOpenIsSafe)
{
    Control().Expand(Item({"Clients"}), TVE_EXPAND);
    const CPoint start = LabelCentre(Control(), Item({"Clients", "Beta"}));
    Control().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(start));
    Control().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(start + CPoint(25, 10)));
    testsupport::PumpMessages(100);
    ASSERT_TRUE(Tree().IsDragging());
    Tree().SendMessage(WM_MOUSEMOVE, MK_LBUTTON,
                       Point(Between(Control(), LabelCentre(Control(), Item({"Folded"})), Tree())));
    ClosePane(); // within the wait
    testsupport::PumpMessages(300);
    SUCCEED() << "the waiting thread ended without the tree";
}

// ---------------------------------------------------------------- the records of files

namespace {

// Runs the tree's Import File To Folder and answers its dialog with the path and title.
void ImportThroughDialog(CProjectTree& tree, const CString& path, const CString& title)
{
    testsupport::WhenDialogShows(
        [path, title](HWND h) {
            ::SetDlgItemTextA(h, IDC_ADD_FILE_PATH, path);
            ::SetDlgItemTextA(h, IDC_ADD_FILE_TITLE, title);
            testsupport::PressDialogButton(h, IDOK);
        },
        "Add File To Folder");
    tree.SendMessage(WM_COMMAND, ID_FILE_IMPORT_FILE_TO_FOLDER, 0);
    testsupport::PumpMessages();
}

} // namespace

TEST(ImportedRecords, EveryValueReadsBackAsItWasGiven)
{
    IXMLDOMDocument2Ptr doc;
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        const CString name = "A&B <1> \"q\".pdf", folder = "3\"&<", title = "x & <y> 'z'",
                      path = "C:\\a&b\\<c>\"d\".pdf";
        doc = CreateDomDocument();
        ASSERT_TRUE(doc->loadXML(_bstr_t(ImportedFileRecord(name, folder, title, -5, "AOF&1", path))));
        IXMLDOMNodePtr d = doc->selectSingleNode(L"/Document");
        EXPECT_EQ(name, Attribute(d, "Name"));
        EXPECT_EQ(folder, Attribute(d, "ParentUID"));
        EXPECT_EQ(title, Attribute(d, "DocumentTitle"));
        EXPECT_EQ(CString("-5"), Attribute(d, "DownloadDate"));
        EXPECT_EQ(CString("AOF&1"), Attribute(d, "UID"));
        IXMLDOMNodePtr item = doc->selectSingleNode(L"/Document/XMLCatalog/CatalogItem");
        EXPECT_EQ(path, Attribute(item, "FilePath"));

        RecoveredFile pdf{"C:\\D\\A&B\\A&B.pdf", 12}, none;
        doc = CreateDomDocument();
        ASSERT_TRUE(doc->loadXML(
            _bstr_t(RecoveredDocumentRecord("A&B", "T<1>", "Ann \"Al\" Smith", "Smith & Jones", 7, "DOCUIDA&B", pdf, none))));
        d = doc->selectSingleNode(L"/Document");
        EXPECT_EQ(CString("T<1>"), Attribute(d, "DocumentTitle"));
        EXPECT_EQ(CString("Ann \"Al\" Smith"), Attribute(d, "DocumentInventor"));
        EXPECT_EQ(CString("Smith & Jones"), Attribute(d, "DocumentAssignee"));
        EXPECT_EQ(1, doc->selectNodes(L"/Document/XMLCatalog/CatalogItem")->Getlength());
        EXPECT_EQ(pdf.path, Attribute(doc->selectSingleNode(L"//CatalogItem[@FileType='PDF']"), "FilePath"));
        doc = nullptr;
    }
    CoUninitialize();

    // The record as the store's readers know it.
    EXPECT_EQ(CString("<?xml version=\"1.0\" ?>\r\n\t<Document Name=\"n.txt\" ParentUID=\"1\" DocumentTitle=\"t\" "
                      "DocumentInventor=\"\" DocumentAssignee=\"\" DownloadDate=\"42\" TotalSize=\"\" UID=\"AOF43\">\r\n"
                      "<XMLCatalog>\r\n\t\t\t<CatalogItem Title=\"DoesNotMatter\" FilePath=\"C:\\n.txt\" "
                      "DownloadSourceName=\"DoesNotMatter\" FileSize=\"0\" FileType=\"OTHER\"/></XMLCatalog></Document>"),
              ImportedFileRecord("n.txt", "1", "t", 42, "AOF43", "C:\\n.txt"));
}

TEST(ImportedRecords, OldDocumentPagesGiveTheirTitleAssigneeAndInventors)
{
    struct Case
    {
        const char* what;
        const char* page;
        const char* title;
        const char* inventors;
        const char* assignee;
    };
    const Case cases[] = {
        {"a whole page",
         "<html><font size=\"+1\">Folding &amp; stacking\r\n   ladder</font><TABLE>"
         "<TR><TD>Inventors:</TD><TD><B>Ann Smith</B>, Oslo (NO); <B>Bo Lee</B></TD></TR>"
         "<TR><TD>Assignee:</TD><TD><B>Smith & Jones <I>Ltd</I></B>\n</TD></TR></TABLE>",
         "Folding & stacking ladder", "Ann Smith, Oslo (NO); Bo Lee", "Smith & Jones Ltd"},
        {"no title marker", "<html><b>Folding ladder</b> Assignee: <B>Acme</B></TD>", "N/A", "N/A", "N/A"},
        {"no assignee: the inventors are not looked for",
         "<font size=\"+1\">Hinge</font> Inventors: <B>Cy Doe</B></TD>", "Hinge", "N/A", "N/A"},
        {"no inventors", "<font size=\"+1\">Hinge</font> Assignee: <B>Acme</B></TD>", "Hinge", "N/A", "Acme"},
        {"entities as text", "<font size=\"+1\">&lt;b&gt; &#65;&#x42;&nbsp;&foo; R&D</font>", "<b> AB &foo; R&D", "N/A",
         "N/A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CString title, inventors, assignee;
        ParseOldDocumentText(c.page, title, inventors, assignee);
        EXPECT_EQ(CString(c.title), title);
        EXPECT_EQ(CString(c.inventors), inventors);
        EXPECT_EQ(CString(c.assignee), assignee);
    }
    CString title, inventors, assignee;
    ParseOldDocumentPage("C:\\no\\such\\page.html", title, inventors, assignee);
    EXPECT_EQ(CString("N/A"), title);
    EXPECT_EQ(CString("N/A"), inventors);
    EXPECT_EQ(CString("N/A"), assignee);

    for (const auto& c : std::vector<std::pair<const char*, const char*>>{
             {"a<b>c</b>d", "acd"}, {"a<b", "a<b"}, {"a>b<c>d", "a>bd"}, {"<<x>>", ">"}, {"", ""}})
        EXPECT_EQ(CString(c.second), StripTags(c.first)) << c.first;

    const struct
    {
        const char* pdf;
        const char* html;
        const char* name;
    } names[] = {
        {"C:\\old\\US1234567\\US1234567.pdf", "C:\\old\\US1234567\\US1234567.html", "US1234567"},
        {"", "C:\\old\\US7\\US7.html", "US7"},
        {"US9.pdf", "", "US9"},
        {"C:\\a\\WO.12345678901234567890123456789.pdf", "", "WO56789.pdf"},
    };
    for (const auto& n : names)
        EXPECT_EQ(CString(n.name), RecoveredDocumentName(n.pdf, n.html)) << n.pdf << n.html;
}

using ImportFileTest = FolderMoveTest;

TEST_F(ImportFileTest, AFileIsFiledWhereItLiesInTheSelectedFolder)
{
    testsupport::TempDir files;
    const CString path = files.File("Letter & Notes.txt");
    ASSERT_TRUE(testsupport::WriteBytes(path, "Dear Sir"));
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    const CString created = SpanText(SinceProjectEpoch(status.m_ctime));

    struct Case
    {
        const char* what;
        std::vector<const char*> folder; // empty: nothing selected
        const char* uid;
    };
    const Case cases[] = {{"a selected folder", {"Clients"}, "10"}, {"no selection: NEW DOWNLOADS", {}, "1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reopen();
        if (c.folder.empty())
            Control().Select(nullptr, TVGN_CARET);
        else
            Select(Item({c.folder[0]}));
        const CString before = SpanText(SinceProjectEpoch());
        ImportThroughDialog(Tree(), path, "Smith & Jones <draft> \"final\"");
        const CString after = SpanText(SinceProjectEpoch());

        IXMLDOMNodePtr record = StoredDocument(StoredProject(), "Letter & Notes.txt");
        ASSERT_NE(nullptr, record);
        EXPECT_EQ(CString(c.uid), Attribute(record, "ParentUID"));
        EXPECT_EQ(CString("Smith & Jones <draft> final"), Attribute(record, "DocumentTitle"));
        EXPECT_EQ(CString(""), Attribute(record, "DocumentInventor"));
        EXPECT_EQ(CString(""), Attribute(record, "DocumentAssignee"));
        EXPECT_EQ(created, Attribute(record, "DownloadDate")) << "the file's creation";
        const CString uid = Attribute(record, "UID");
        EXPECT_TRUE(uid == "AOF" + before || uid == "AOF" + after) << uid.GetString();
        EXPECT_EQ(CString("(none)"), Attribute(record, "FirstPage"));
        IXMLDOMNodePtr item = record->selectSingleNode(L"XMLCatalog/CatalogItem");
        EXPECT_EQ(path, Attribute(item, "FilePath"));
        EXPECT_EQ(CString("OTHER"), Attribute(item, "FileType"));
        EXPECT_EQ(CString("0"), Attribute(item, "FileSize"));
        EXPECT_EQ(CString("DoesNotMatter"), Attribute(item, "Title"));
        EXPECT_EQ(CString("DoesNotMatter"), Attribute(item, "DownloadSourceName"));
        EXPECT_EQ(CString(c.uid), m_pPane->GetPatentManager().m_strFolderUID) << "the list shows the folder";
        EXPECT_EQ(1, Count(StoredProject(), "/Project/Documents/Document[@Name='Letter & Notes.txt']"));
    }
    std::string bytes;
    ASSERT_TRUE(testsupport::ReadBytes(path, bytes));
    EXPECT_EQ("Dear Sir", bytes) << "the file stays as it is";

    // Cancelled, nothing is filed.
    const std::string stored = RawBytes(AppFile("Project.cfg"));
    testsupport::WhenDialogShows([](HWND h) { testsupport::PressDialogButton(h, IDCANCEL); }, "Add File To Folder");
    Tree().SendMessage(WM_COMMAND, ID_FILE_IMPORT_FILE_TO_FOLDER, 0);
    EXPECT_EQ(stored, RawBytes(AppFile("Project.cfg")));
}

TEST_F(ImportFileTest, ImportsWithinOneSecondGetUidsNoOtherRecordHas)
{
    testsupport::TempDir files;
    const CString path = files.File("memo.txt");
    ASSERT_TRUE(testsupport::WriteBytes(path, "memo"));
    // The store already holds records whose UIDs are those of the time of the imports, and
    // of the seconds around it.
    std::set<CString> taken;
    IXMLDOMDocument2Ptr doc = m_pPane->GetDocument();
    IXMLDOMNodePtr documents = doc->selectSingleNode(L"/Project/Documents");
    const int now = static_cast<int>(SinceProjectEpoch().GetTotalSeconds());
    for (int s = now - 1; s <= now + 9; ++s) {
        CString uid;
        uid.Format("AOF%d", s);
        IXMLDOMNodePtr d = doc->createElement(L"Document");
        SetXmlAttribute(d, "Name", "earlier " + uid);
        SetXmlAttribute(d, "ParentUID", "10");
        SetXmlAttribute(d, "UID", uid);
        documents->appendChild(d);
        taken.insert(uid);
    }
    Select(Item({"Clients"}));
    ImportThroughDialog(Tree(), path, "first");
    ImportThroughDialog(Tree(), path, "second");

    IXMLDOMNodeListPtr records = StoredProject()->selectNodes(L"/Project/Documents/Document[@Name='memo.txt']");
    ASSERT_EQ(2, records->Getlength());
    for (long i = 0; i < records->Getlength(); ++i) {
        const CString uid = Attribute(records->Getitem(i), "UID");
        EXPECT_EQ(CString("AOF"), uid.Left(3));
        EXPECT_TRUE(taken.insert(uid).second) << uid.GetString() << " is another record's";
    }
}

TEST_F(ImportFileTest, TheDialogTakesAChosenOrTypedFileAndNothingElse)
{
    testsupport::TempDir files;
    const CString path = files.File("drawing.dwg");
    ASSERT_TRUE(testsupport::WriteBytes(path, "DWG"));
    CString typedPath = path;
    typedPath.Replace('\\', '/');

    CAddOtherFile dialog(&Tree());
    std::vector<CString> boxes;
    bool stayedOpen = true;
    CString afterFind;
    CString shotWhy;
    bool shot = false;
    testsupport::WhenDialogShows([&](HWND h) {
        ::SetDlgItemTextA(h, IDC_ADD_FILE_TITLE, "Drawing of the hinge");
        testsupport::PumpMessages(300);
        shot = testsupport::SaveScreenshot(ScreenshotPath("add-file-to-folder.png"), &shotWhy);
        ::SetDlgItemTextA(h, IDC_ADD_FILE_TITLE, "");
        auto pressOkExpectingBox = [&] {
            testsupport::WhenDialogShows(
                [&](HWND box) {
                    boxes.push_back(testsupport::MessageBoxText(box));
                    testsupport::PressDialogButton(box, IDOK);
                },
                "ERROR : No File!");
            testsupport::PressDialogButton(h, IDOK);
            stayedOpen = stayedOpen && ::IsWindowVisible(h);
        };
        pressOkExpectingBox(); // nothing chosen
        ::SetDlgItemTextA(h, IDC_ADD_FILE_PATH, files.File("missing.dwg"));
        pressOkExpectingBox(); // a typed path that names no file
        ::SetDlgItemTextA(h, IDC_ADD_FILE_PATH, files.Path());
        pressOkExpectingBox(); // a folder

        // Find, cancelled, leaves the field as it is.
        ::SetDlgItemTextA(h, IDC_ADD_FILE_PATH, typedPath);
        testsupport::WhenDialogShows([](HWND open) { testsupport::PressDialogButton(open, IDCANCEL); }, "Open");
        testsupport::PressDialogButton(h, IDC_ADD_FILE_FIND);
        char text[MAX_PATH] = {};
        ::GetDlgItemTextA(h, IDC_ADD_FILE_PATH, text, sizeof text);
        afterFind = text;
        testsupport::PressDialogButton(h, IDOK); // the typed path names the file; no title
    }, "Add File To Folder");
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(std::vector<CString>(3, "Please select a file."), boxes);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(typedPath, afterFind);
    EXPECT_EQ(path, dialog.m_strChosenPath);
    EXPECT_EQ(CString("drawing.dwg"), dialog.m_strChosenFileName);
    EXPECT_EQ(CString(""), dialog.m_strTitle);
    if (!shot)
        GTEST_SKIP() << shotWhy.GetString();
}

// ---------------------------------------------------------------- the main window

namespace {

// The main window, with the folder that Recover Database's picker answers.
class CRecoveringDlg : public CTestMainDlg
{
public:
    CString chosenFolder;
    int pickerShown = 0;

protected:
    CString BrowseForRecoverFolder() override
    {
        ++pickerShown;
        return chosenFolder;
    }
};

// An old document page with the markers the recovery reads.
std::string OldPage(const char* title, const char* inventors, const char* assignee)
{
    return std::string("<html><body><font size=\"+1\">") + title + "</font><TABLE><TR><TD>Inventors:</TD><TD><B>" +
           inventors + "</TD></TR><TR><TD>Assignee:</TD><TD><B>" + assignee + "</TD></TR></TABLE></body></html>";
}

} // namespace

class MainWindowFolderTest : public FolderMoveTest
{
protected:
    void SetUp() override
    {
        FolderMoveTest::SetUp();
        ClosePane();
        m_host.ShowWindow(SW_HIDE);
        m_pOptions->SetOptionValue("MainDisplaySize", "0,1,-1,-1,-1,-1,40,30,1000,680");
        m_pOptions->SetOptionValue("SavePath", m_downloads.Path() + "\\");
        m_pOptions->Save();
    }

    testsupport::TempDir m_downloads;
};

TEST_F(MainWindowFolderTest, AMouseDragOnTheTreeMovesTheFolderAndShowsWhereItGoes)
{
    CTestMainDlg dlg;
    bool highlightLeft = true;
    bool dragStarted = false, openedOnRest = false, restCancelled = false, listDropChangedNothing = false;
    HTREEITEM highlighted = nullptr, target = nullptr;
    CString shotWhy;
    bool shot = false;
    EXPECT_EQ(IDOK, RunMainWindow(dlg, [&] {
        CProjectTree& folders = dlg.GetProjectPane().GetProjectTree();
        CMyTreeCtrl& control = folders.GetTree();
        CMyListCtrl& list = dlg.GetProjectPane().GetPatentManager().GetList();
        control.Expand(Path(control, {"Clients"}), TVE_EXPAND);
        testsupport::PumpMessages(100);
        auto at = [&](std::initializer_list<const char*> labels) {
            return Point(Between(control, LabelCentre(control, Path(control, labels)), folders));
        };
        auto beginDrag = [&] {
            const CPoint start = LabelCentre(control, Path(control, {"Clients", "Acme"}));
            control.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(start));
            control.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(start + CPoint(25, 10)));
            testsupport::PumpMessages(100);
            return folders.IsDragging() && ::GetCapture() == folders.m_hWnd;
        };
        dragStarted = beginDrag();

        // Resting on a closed folder opens it.
        HTREEITEM hFolded = Path(control, {"Folded"});
        folders.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, at({"Folded"}));
        openedOnRest = testsupport::PumpUntil([&] { return Expanded(control, hFolded); }, 2000);
        // Leaving the tree at once withdraws the opening of the next one.
        HTREEITEM hLoop = Path(control, {"Loop"});
        CRect listRect;
        list.GetClientRect(&listRect);
        folders.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, at({"Loop"}));
        folders.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(Between(list, listRect.CenterPoint(), folders)));
        testsupport::PumpMessages(300);
        restCancelled = !Expanded(control, hLoop) && control.GetDropHilightItem() == nullptr;
        // Released over the document list, nothing is moved.
        const std::string stored = RawBytes(AppFile("Project.cfg"));
        folders.PostMessage(WM_LBUTTONUP, 0, Point(Between(list, listRect.CenterPoint(), folders)));
        testsupport::PumpMessages(100);
        listDropChangedNothing = !folders.IsDragging() && stored == RawBytes(AppFile("Project.cfg")) &&
                                 Path(control, {"Clients", "Acme"}) != nullptr;

        // Again, onto "Target".
        dragStarted = dragStarted && beginDrag();
        target = Path(control, {"Target"});
        folders.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, at({"Target"}));
        testsupport::PumpMessages(200);
        highlighted = control.GetDropHilightItem();
        shot = testsupport::SaveScreenshot(ScreenshotPath("folder-drag.png"), &shotWhy);
        folders.PostMessage(WM_LBUTTONUP, 0, at({"Target"}));
        testsupport::PumpMessages(200);
        highlightLeft = control.GetDropHilightItem() != nullptr;
        dlg.OnExit();
    }));
    EXPECT_TRUE(dragStarted);
    EXPECT_TRUE(openedOnRest);
    EXPECT_TRUE(restCancelled);
    EXPECT_TRUE(listDropChangedNothing);
    EXPECT_EQ(target, highlighted);
    EXPECT_FALSE(highlightLeft);
    EXPECT_EQ(kMovedOntoTarget, StoreOutline(StoredProject())) << "the same store as a move by calls";
    if (!shot)
        GTEST_SKIP() << shotWhy.GetString();
}

TEST_F(MainWindowFolderTest, ADragNearTheTreesEdgesScrollsItOneLinePerMove)
{
    CTestMainDlg dlg;
    std::vector<int> firstRows;
    EXPECT_EQ(IDOK, RunMainWindow(dlg, [&] {
        CProjectTree& folders = dlg.GetProjectPane().GetProjectTree();
        CMyTreeCtrl& control = folders.GetTree();
        for (const char* label : {"Clients", "Folded", "Loop"})
            control.Expand(Path(control, {label}), TVE_EXPAND);
        for (int i = 0; i < 30; ++i)
            folders.InsertFolderItem("Filler", "9000", control, control.GetRootItem(), 0);
        CRect client;
        control.GetClientRect(&client);
        auto firstRow = [&] {
            int row = 0;
            for (HTREEITEM h = control.GetRootItem(); h && h != control.GetFirstVisibleItem();
                 h = control.GetNextVisibleItem(h))
                ++row;
            return row;
        };
        const CPoint start = LabelCentre(control, Path(control, {"Target"}));
        control.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(start));
        control.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(start + CPoint(25, 10)));
        testsupport::PumpMessages(100);
        firstRows.push_back(firstRow());
        for (int y : {client.bottom - 3, client.bottom - 4, client.bottom / 2, client.top + 2}) {
            folders.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(Between(control, CPoint(40, y), folders)));
            testsupport::PumpMessages(50);
            firstRows.push_back(firstRow());
        }
        // Released outside the program: nothing happens.
        folders.PostMessage(WM_LBUTTONUP, 0, Point(Between(control, CPoint(-2000, -2000), folders)));
        testsupport::PumpMessages(100);
        dlg.OnExit();
    }));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 2, 1}), firstRows);
    EXPECT_EQ(1, Count(StoredProject(), "/Project/Folders/Folder[@Name='Target' and @ParentUID='ROOT']"));
}

TEST_F(MainWindowFolderTest, RecoverDatabaseRefilesTheDocumentsTheProjectLacks)
{
    testsupport::TempDir old;
    auto folder = [&](const char* name) {
        const CString path = old.File(name);
        EXPECT_TRUE(::CreateDirectoryA(path, nullptr));
        return path + "\\";
    };
    const CString both = folder("US1234567"), htmlOnly = folder("US7654321"), pdfOnly = folder("EP0000009"),
                  filed = folder("US5000001"), nothing = folder("Notes");
    const std::string pdf = "%PDF-1.4\n% an old document\n";
    const std::string page = OldPage("Folding &amp; stacking ladder", "Ann Smith</B>; <B>Bo Lee", "Smith & Jones <I>Ltd</I>");
    ASSERT_TRUE(testsupport::WriteBytes(both + "US1234567.pdf", pdf));
    ASSERT_TRUE(testsupport::WriteBytes(both + "US1234567.html", page));
    const std::string hingePage = "<html><font size=\"+1\">Hinge</font></html>";
    ASSERT_TRUE(testsupport::WriteBytes(htmlOnly + "US7654321.html", hingePage));
    ASSERT_TRUE(testsupport::WriteBytes(pdfOnly + "EP0000009.pdf", pdf + "x"));
    ASSERT_TRUE(testsupport::WriteBytes(filed + "US5000001.pdf", pdf));
    ASSERT_TRUE(testsupport::WriteBytes(nothing + "readme.txt", "notes"));
    ASSERT_TRUE(testsupport::WriteBytes(old.File("stray.pdf"), pdf));

    CRecoveringDlg dlg;
    dlg.chosenFolder = old.Path();
    std::string firstRun, secondRun;
    CString shown;
    EXPECT_EQ(IDOK, RunMainWindow(dlg, [&] {
        dlg.SendMessage(WM_COMMAND, ID_FILE_RECOVER_DATABASE, 0);
        testsupport::PumpMessages();
        firstRun = RawBytes(AppFile("Project.cfg"));
        shown = dlg.GetProjectPane().GetPatentManager().m_strFolderUID;
        dlg.SendMessage(WM_COMMAND, ID_FILE_RECOVER_DATABASE, 0);
        testsupport::PumpMessages();
        secondRun = RawBytes(AppFile("Project.cfg"));
        dlg.chosenFolder.Empty(); // the picker cancelled
        dlg.SendMessage(WM_COMMAND, ID_FILE_RECOVER_DATABASE, 0);
        dlg.OnExit();
    }));
    EXPECT_EQ(3, dlg.pickerShown);
    EXPECT_EQ(firstRun, secondRun) << "a second run finds every name in the project";
    EXPECT_EQ(CString("1"), shown);

    IXMLDOMDocument2Ptr stored = StoredProject();
    EXPECT_EQ(9, Count(stored, "/Project/Documents/Document")) << "six of the fixture and three recovered";
    const CString downloads = m_downloads.Path() + "\\";
    struct Expected
    {
        const char* name;
        const char* title;
        const char* inventors;
        const char* assignee;
        std::vector<std::pair<const char*, int>> files; // type and size
    };
    const Expected expected[] = {
        {"US1234567", "Folding & stacking ladder", "Ann Smith; Bo Lee", "Smith & Jones Ltd",
         {{"PDF", static_cast<int>(pdf.size())}, {"HTML", static_cast<int>(page.size())}}},
        {"US7654321", "Hinge", "N/A", "N/A", {{"HTML", static_cast<int>(hingePage.size())}}},
        {"EP0000009", "N/A", "N/A", "N/A", {{"PDF", static_cast<int>(pdf.size()) + 1}}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        IXMLDOMNodePtr record = StoredDocument(stored, e.name);
        ASSERT_NE(nullptr, record);
        EXPECT_EQ(CString("1"), Attribute(record, "ParentUID"));
        EXPECT_EQ(CString(e.title), Attribute(record, "DocumentTitle"));
        EXPECT_EQ(CString(e.inventors), Attribute(record, "DocumentInventor"));
        EXPECT_EQ(CString(e.assignee), Attribute(record, "DocumentAssignee"));
        EXPECT_EQ(0, Attribute(record, "UID").Find(CString("DOCUID") + e.name));
        const std::vector<IXMLDOMNodePtr> items = SelectNodes(record, L"XMLCatalog/CatalogItem");
        ASSERT_EQ(e.files.size(), items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            const CString type = e.files[i].first;
            const CString copy = downloads + e.name + "\\" + e.name + (type == "PDF" ? ".pdf" : ".html");
            EXPECT_EQ(type, Attribute(items[i], "FileType"));
            EXPECT_EQ(copy, Attribute(items[i], "FilePath"));
            EXPECT_EQ(CString(std::to_string(e.files[i].second).c_str()), Attribute(items[i], "FileSize"));
            EXPECT_EQ(CString(""), Attribute(items[i], "Title"));
            EXPECT_EQ(CString("DoesNotMatter"), Attribute(items[i], "DownloadSourceName"));
            EXPECT_TRUE(testsupport::FileExists(copy)) << copy.GetString();
        }
    }
    EXPECT_EQ(1, Count(stored, "/Project/Documents/Document[@Name='US5000001']")) << "a filed name is skipped";
    EXPECT_EQ(0, Count(stored, "/Project/Documents/Document[@Name='stray' or @Name='Notes' or @Name='readme']"));
}

TEST_F(MainWindowFolderTest, RecoverDatabasePassesOverFilesThatNameNoDocument)
{
    testsupport::TempDir old;
    for (const char* name : {"Dots", "US2222222"})
        ASSERT_TRUE(::CreateDirectoryA(old.File(name), nullptr));
    const CString dots = old.File("Dots\\"), half = old.File("US2222222\\");
    ASSERT_TRUE(testsupport::WriteBytes(dots + ".pdf", "%PDF-1.4\n"));
    ASSERT_TRUE(testsupport::WriteBytes(dots + ".html", "<html></html>"));
    ASSERT_TRUE(testsupport::WriteBytes(half + ".pdf", "%PDF-1.4\n"));
    ASSERT_TRUE(testsupport::WriteBytes(half + "US2222222.html", "<html><font size=\"+1\">Pump</font></html>"));

    CRecoveringDlg dlg;
    dlg.chosenFolder = old.Path();
    EXPECT_EQ(IDOK, RunMainWindow(dlg, [&] {
        dlg.SendMessage(WM_COMMAND, ID_FILE_RECOVER_DATABASE, 0);
        testsupport::PumpMessages();
        dlg.OnExit();
    }));
    IXMLDOMDocument2Ptr stored = StoredProject();
    EXPECT_EQ(7, Count(stored, "/Project/Documents/Document")) << "six of the fixture and one recovered";
    EXPECT_EQ(0, Count(stored, "/Project/Documents/Document[@Name='']"));
    EXPECT_FALSE(testsupport::FileExists(m_downloads.File(".pdf")));
    EXPECT_FALSE(testsupport::FileExists(m_downloads.File(".html")));
    // The folder's other file still brings its document back.
    IXMLDOMNodePtr record = StoredDocument(stored, "US2222222");
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(CString("Pump"), Attribute(record, "DocumentTitle"));
    EXPECT_EQ(1u, SelectNodes(record, L"XMLCatalog/CatalogItem").size());
    const std::string log = LogText();
    for (const CString& file : {dots + ".pdf", dots + ".html", half + ".pdf"})
        EXPECT_NE(std::string::npos,
                  log.find(std::string("CZentrovaDlg::RecoverDatabaseFrom-") + file.GetString() +
                           " names no document; the file was passed over"))
            << file.GetString();
}

TEST_F(MainWindowFolderTest, ImportZentrovaFilesStartsTheWizardWithItsCommandLine)
{
    EXPECT_EQ(CString("C:\\Apps\\Z3\\Skelvane.exe VORTEMAPC:\\Apps\\Z3"),
              CZentrovaDlg::ImportWizardCommandLine("C:\\Apps\\Z3"));

    const CString record = AppFile("wizard-command-line.txt");
    ::DeleteFileA(record);
    ASSERT_TRUE(testsupport::FileExists(AppFile("Skelvane.exe"))) << "the stand-in is built beside the test";
    CTestMainDlg dlg;
    bool imported = false, importEnabled = false;
    EXPECT_EQ(IDOK, RunMainWindow(dlg, [&] {
        HMENU hFile = ::GetSubMenu(::GetMenu(dlg.m_hWnd), 0);
        dlg.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFile), MAKELPARAM(0, FALSE));
        HMENU hFolders = ::GetSubMenu(::GetMenu(dlg.m_hWnd), 1);
        dlg.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFolders), MAKELPARAM(1, FALSE));
        importEnabled = !(::GetMenuState(hFolders, ID_FILE_IMPORT_FILE_TO_FOLDER, MF_BYCOMMAND) & MF_GRAYED) &&
                        !(::GetMenuState(hFile, ID_FILE_IMPORT_OLD_VERSION, MF_BYCOMMAND) & MF_GRAYED);
        dlg.SendMessage(WM_COMMAND, ID_FILE_IMPORT_OLD_VERSION, 0);
        // The main window goes on at once; the wizard writes its line meanwhile.
        imported = testsupport::PumpUntil([&] { return testsupport::FileExists(record); }, 15000);
        dlg.OnExit();
    }));
    EXPECT_TRUE(importEnabled);
    ASSERT_TRUE(imported);
    std::string line;
    ASSERT_TRUE(testsupport::ReadBytes(record, line));
    EXPECT_EQ(std::string(CZentrovaDlg::ImportWizardCommandLine(GetAppDirectory()).GetString()), line);
}
