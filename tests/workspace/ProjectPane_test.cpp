// The project pane with its folder tree, run in the test program on a host window: the tree
// a stored project shows, the folder commands and the pane's requests as they change
// Project.cfg, shortcuts, the sample folders of a first run, the splitters, and a
// screenshot of the main window with its folders.
#include "PaneFixture.h"


using namespace workspacetest;

using ProjectPaneTest = PaneFixture;

namespace {

const char kFixtureTree[] =
    "Project Folders [3/3]\n"
    "  NEW DOWNLOADS [2/3]\n"
    "  Clients [2/3]\n"
    "    Acme [2/3]\n"
    "      Acme Archive [2/3]\n"
    "  Shortcuts Only [2/3]\n"
    "  Empty [0/1]\n";

} // namespace

TEST_F(ProjectPaneTest, StoredFoldersShowInStoreOrderWithTheirContentIcons)
{
    // Not shown: a child stored before its parent, two folders that name each other as
    // parent, and a folder whose parent does not exist. They stay in the store.
    EXPECT_EQ(kFixtureTree, Describe());
    EXPECT_EQ(-1, Tree().KeyOfItem(Control().GetRootItem()));
    EXPECT_EQ(CString("ROOT"), Tree().UidOfKey(-1));
    EXPECT_EQ(CString("1"), Tree().UidOfKey(0)) << "keys are given in insertion order";
    EXPECT_EQ(CString("301"), Tree().UidOfKey(1));
    int key = -2;
    ASSERT_TRUE(Tree().m_mapUidToKey.Lookup("303", key));
    EXPECT_EQ(CString("303"), Tree().UidOfKey(key));
    EXPECT_EQ(Item({"Clients", "Acme", "Acme Archive"}), Tree().FindItemByUid("303", Control(), Control().GetRootItem()));
    EXPECT_EQ(nullptr, Tree().FindItemByUid("300", Control(), Control().GetRootItem()));

    // The document index holds every record.
    CString uid;
    EXPECT_TRUE(m_pPane->GetDocumentIndex().Lookup("EP0000002", uid));
    EXPECT_EQ(CString("DOCUIDEP0000002"), uid);

    // Selecting a folder tells the list and turns the main window's folder commands on,
    // except on NEW DOWNLOADS and the root.
    Select(Item({"Clients"}));
    EXPECT_EQ(CString("301"), Tree().m_strSelectedUid);
    EXPECT_EQ(CString("301"), m_pPane->GetPatentManager().m_strFolderUID);
    EXPECT_EQ(1, Tree().GetFolderCommandsEnabled());
    EXPECT_TRUE(Tree().CanRenameOrDeleteSelection());
    Select(Item({"NEW DOWNLOADS"}));
    EXPECT_EQ(0, Tree().GetFolderCommandsEnabled());
    EXPECT_FALSE(Tree().CanRenameOrDeleteSelection());
}

TEST_F(ProjectPaneTest, DamagedStoresShowWhatTheyCanAndRequestsChangeNothing)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<const char*, const char*>> edits;
        const char* tree;
    };
    const Case cases[] = {
        {"a folder without a name ends the filling",
         {{"<Folder UID=\"304\" Name=\"Shortcuts Only\"", "<Folder UID=\"304\""}},
         "Project Folders [3/3]\n  NEW DOWNLOADS [2/3]\n  Clients [2/3]\n    Acme [2/3]\n      Acme Archive [2/3]\n"},
        {"no Project root", {{"<Project Name=\"Project Folders\">", "<Other>"}, {"</Project>", "</Other>"}}, ""},
        {"no Folders and no Shorts", {{"<Folders>", "<!--"}, {"</Shorts>", "-->"}}, "Project Folders [3/3]\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClosePane();
        CString text = FixtureText("pane/Project.xml");
        for (const auto& edit : c.edits)
            text.Replace(edit.first, edit.second);
        WriteEnciphered(AppFile("Project.cfg"), text);
        m_pPane = new CPaneSpy;
        m_pPane->m_pOptions = m_pOptions;
        ASSERT_TRUE(m_pPane->Create(IDD_PROJECT_MANAGER, &m_host));
        EXPECT_FALSE(m_pPane->LoadProjectConfig(AppFile("Project.cfg")));
        EXPECT_EQ(c.tree, Describe());
    }

    // The last store has a root but neither Folders nor Shorts: every request leaves the
    // file as it is and the log says why.
    const std::string before = RawBytes(AppFile("Project.cfg"));
    CString newUid = "unchanged";
    EXPECT_EQ(0, m_pPane->SendMessage(UM_INSERT_FOLDER, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&newUid)));
    EXPECT_EQ(CString("unchanged"), newUid);
    CString uid = "1";
    EXPECT_EQ(0, m_pPane->SendMessage(UM_DELETE_FOLDER, reinterpret_cast<WPARAM>(&uid), 0));
    CString doc = "DOCUIDUS7000001";
    m_pPane->SendMessage(UM_COPY_SHORTCUT, reinterpret_cast<WPARAM>(&doc), 0);
    m_pPane->AddShortcut(-1);
    m_pPane->DeleteShortcut(doc);
    m_pPane->CreateDefaultFolders();
    EXPECT_EQ(before, RawBytes(AppFile("Project.cfg")));
    EXPECT_EQ("Project Folders [3/3]\n", Describe());
    const std::string log = LogText();
    for (const char* line : {"CProjectManagerContainer::OnNewFolder-The project has no /Project/Folders; nothing was changed",
                             "CProjectManagerContainer::AddShortcut-The project has no /Project/Shorts; nothing was changed",
                             "CProjectManagerContainer::DeleteShortcut-The project has no /Project/Shorts; nothing was changed",
                             "CProjectTree::FillTree-The project has no Folders element; no folder is shown"})
        EXPECT_NE(std::string::npos, log.find(line)) << line;
}

TEST_F(ProjectPaneTest, ShortcutsGoFromEitherOfTwoShortsElements)
{
    ClosePane();
    CString text = FixtureText("pane/Project.xml");
    text.Replace("</Shorts>", "</Shorts><Shorts>"
                              "<Short ShortUID=\"DOCUIDEP0000002\" UID=\"401\" ParentUID=\"304\"/>"
                              "<Short ShortUID=\"DOCUIDUS7000001\" UID=\"402\" ParentUID=\"305\"/>"
                              "<Short ShortUID=\"DOCUIDEP0000002\" UID=\"403\" ParentUID=\"301\"/></Shorts>");
    WriteEnciphered(AppFile("Project.cfg"), text);
    OpenPane();
    auto shortcuts = [] {
        std::vector<CString> uids;
        IXMLDOMNodeListPtr shorts = StoredProject()->selectNodes(L"/Project/Shorts/Short");
        for (long i = 0; i < shorts->Getlength(); ++i)
            uids.push_back(Attribute(shorts->Getitem(i), "UID"));
        return uids;
    };

    // A shortcut row of the second element, deleted from the list.
    Select(Item({"Shortcuts Only"}));
    CMyListCtrl& list = m_pPane->GetPatentManager().GetList();
    ASSERT_EQ(2, list.GetItemCount());
    for (int row = 0; row < list.GetItemCount(); ++row)
        list.SetItemState(row, list.GetItemText(row, 1) == "EP0000002" ? LVIS_SELECTED : 0, LVIS_SELECTED);
    EXPECT_EQ(1, m_pPane->SendMessage(UM_DELETE_DOCUMENTS, 0, 0));
    EXPECT_EQ((std::vector<CString>{"400", "402", "403"}), shortcuts());
    EXPECT_EQ(1, list.GetItemCount());
    // The shortcuts of a removed folder, and those of a document.
    CString folder = "305";
    EXPECT_EQ(1, m_pPane->SendMessage(UM_DELETE_FOLDER, reinterpret_cast<WPARAM>(&folder), 0));
    m_pPane->DeleteShortcut("DOCUIDEP0000002");
    EXPECT_EQ((std::vector<CString>{"400"}), shortcuts());
}

TEST_F(ProjectPaneTest, RecordsAndFoldersGoFromASecondDocumentsOrFoldersElement)
{
    ClosePane();
    CString text = FixtureText("pane/Project.xml");
    text.Replace("</Folders>", "</Folders><Folders><Folder UID=\"309\" Name=\"Second List\" ParentUID=\"ROOT\"/></Folders>");
    text.Replace("</Documents>", "</Documents><Documents><Document Name=\"US7000009\" ParentUID=\"1\" "
                                 "DocumentTitle=\"Ramp\" UID=\"DOCUIDUS7000009\" FirstPage=\"0\" Wrapper=\"0\">"
                                 "<XMLCatalog/></Document></Documents>");
    WriteEnciphered(AppFile("Project.cfg"), text);
    OpenPane();

    Select(Item({"NEW DOWNLOADS"}));
    CMyListCtrl& list = m_pPane->GetPatentManager().GetList();
    for (int row = 0; row < list.GetItemCount(); ++row)
        list.SetItemState(row, list.GetItemText(row, 1) == "US7000009" ? LVIS_SELECTED : 0, LVIS_SELECTED);
    EXPECT_EQ(1, m_pPane->SendMessage(UM_DELETE_DOCUMENTS, 0, 0));
    EXPECT_EQ(nullptr, StoredProject()->selectSingleNode(L"//Document[@Name='US7000009']"));
    EXPECT_NE(nullptr, StoredProject()->selectSingleNode(L"//Document[@Name='US7000001']"));

    CString folder = "309";
    EXPECT_EQ(1, m_pPane->SendMessage(UM_DELETE_FOLDER, reinterpret_cast<WPARAM>(&folder), 0));
    EXPECT_EQ(nullptr, StoredProject()->selectSingleNode(L"//Folder[@UID='309']"));
    EXPECT_NE(nullptr, StoredProject()->selectSingleNode(L"//Folder[@UID='305']"));
}

TEST_F(ProjectPaneTest, AStoreThatFailsWhileTheListFillsIsReportedAndLogged)
{
    // A shortcut of NEW DOWNLOADS whose document UID holds a control character: the query
    // for its document cannot carry it and fails, as a query of a damaged store does.
    IXMLDOMDocument2Ptr doc = m_pPane->GetDocument();
    IXMLDOMNodePtr shortcut = doc->createElement(L"Short");
    IXMLDOMElementPtr(shortcut)->setAttribute(_bstr_t(L"ShortUID"), _variant_t(L"DOCUID\x01"));
    SetXmlAttribute(shortcut, "UID", "409");
    SetXmlAttribute(shortcut, "ParentUID", "1");
    doc->selectSingleNode(L"/Project/Shorts")->appendChild(shortcut);

    CString box;
    testsupport::WhenDialogShows([&box](HWND h) {
        box = testsupport::MessageBoxText(h);
        testsupport::PressDialogButton(h, IDOK);
    });
    m_pPane->GetPatentManager().RefreshView("1");
    testsupport::PumpMessages();
    EXPECT_EQ(0, box.Find("Description: ")) << box.GetString();
    EXPECT_NE(std::string::npos, LogText().find(std::string("CPatentManager::RefreshView-") + box.GetString()));
    EXPECT_EQ(CString("1"), m_pPane->GetPatentManager().m_strFolderUID);
}

TEST_F(ProjectPaneTest, InsertAndRenameThroughTheTreeWriteTheStore)
{
    const LONGLONG counter = m_pPane->GetStore().GetCounter();
    EXPECT_LT(SinceProjectEpoch().GetTotalSeconds() - counter, 60) << "the counter starts at the pane's construction";
    auto uidText = [](LONGLONG id) {
        CString text;
        text.Format("%d", static_cast<int>(id));
        return text;
    };

    Select(Item({"Empty"}));
    Command(ID_TREE_INSERT_FOLDER);
    HTREEITEM hNew = Item({"Empty", "New Folder"});
    ASSERT_NE(nullptr, hNew);
    EXPECT_EQ(hNew, Control().GetSelectedItem());
    ASSERT_NE(nullptr, Control().GetEditControl()) << "the new folder's label opens for editing";
    Control().SendMessage(TVM_ENDEDITLABELNOW, 1); // cancelled: the name stays
    testsupport::PumpMessages();

    IXMLDOMDocument2Ptr stored = StoredProject();
    IXMLDOMNodePtr folder = StoredFolder(stored, uidText(counter));
    EXPECT_EQ(CString("New Folder"), Attribute(folder, "Name"));
    EXPECT_EQ(CString("305"), Attribute(folder, "ParentUID"));
    EXPECT_EQ(CString("(none)"), Attribute(folder, "SortCol"));
    EXPECT_EQ(CString("New Folder"), Control().GetItemText(hNew));
    int image = -1, selected = -1;
    Control().GetItemImage(Item({"Empty"}), image, selected);
    EXPECT_EQ(2, image) << "the parent now has content";

    // A second one gets the next identifier; this time the user types a name.
    ASSERT_TRUE(EditThroughTree(Item({"Empty"}), ID_TREE_INSERT_FOLDER, "Patents 2024"));
    stored = StoredProject();
    EXPECT_EQ(CString("Patents 2024"), Attribute(StoredFolder(stored, uidText(counter + 1)), "Name"));
    EXPECT_NE(nullptr, Item({"Empty", "Patents 2024"}));

    // Rename of a stored folder; an emptied label keeps the old name.
    ASSERT_TRUE(EditThroughTree(Item({"Clients", "Acme"}), ID_TREE_RENAME_FOLDER, "Acme Industries"));
    ASSERT_TRUE(EditThroughTree(Item({"Empty"}), ID_TREE_RENAME_FOLDER, ""));
    stored = StoredProject();
    EXPECT_EQ(CString("Acme Industries"), Attribute(StoredFolder(stored, "302"), "Name"));
    EXPECT_EQ(CString("Empty"), Attribute(StoredFolder(stored, "305"), "Name"));
    EXPECT_NE(nullptr, Item({"Clients", "Acme Industries"}));
    EXPECT_NE(nullptr, Item({"Empty"}));

    // A rename the store cannot take keeps the label.
    CString unknown = "999", name = "Nowhere";
    EXPECT_EQ(0, m_pPane->SendMessage(UM_RENAME_FOLDER, reinterpret_cast<WPARAM>(&unknown),
                                      reinterpret_cast<LPARAM>(&name)));

    // NEW DOWNLOADS and the root are never renamed; both take new folders.
    for (HTREEITEM hFixed : {Item({"NEW DOWNLOADS"}), Control().GetRootItem()}) {
        Select(hFixed);
        Command(ID_TREE_RENAME_FOLDER);
        EXPECT_EQ(nullptr, Control().GetEditControl());
        const LONGLONG next = m_pPane->GetStore().GetCounter();
        Command(ID_TREE_INSERT_FOLDER);
        Control().SendMessage(TVM_ENDEDITLABELNOW, 1);
        testsupport::PumpMessages();
        EXPECT_EQ(CString(hFixed == Control().GetRootItem() ? "ROOT" : "1"),
                  Attribute(StoredFolder(StoredProject(), uidText(next)), "ParentUID"));
    }
}

TEST_F(ProjectPaneTest, DeleteRemovesEmptySubtreesDeepestFirstAndRefusesWhileDocumentsLieBelow)
{
    // Two levels of new folders under "Empty".
    Select(Item({"Empty"}));
    Command(ID_TREE_INSERT_FOLDER);
    Control().SendMessage(TVM_ENDEDITLABELNOW, 1);
    Command(ID_TREE_INSERT_FOLDER);
    Control().SendMessage(TVM_ENDEDITLABELNOW, 1);
    testsupport::PumpMessages();
    const CString child = Tree().UidOfKey(Tree().KeyOfItem(Item({"Empty", "New Folder"})));
    const CString grandchild = Tree().UidOfKey(Tree().KeyOfItem(Item({"Empty", "New Folder", "New Folder"})));

    Select(Item({"Empty"}));
    Tree().UpdateSelectionAnchor();
    Command(ID_TREE_DELETE_FOLDER);
    EXPECT_EQ((std::vector<CString>{grandchild, child, "305"}), m_pPane->deleteRequests);
    EXPECT_EQ(nullptr, Item({"Empty"}));
    IXMLDOMDocument2Ptr stored = StoredProject();
    for (const CString& uid : {grandchild, child, CString("305")})
        EXPECT_EQ(nullptr, StoredFolder(stored, uid)) << uid.GetString();
    EXPECT_EQ(9, Count(stored, "/Project/Folders/Folder"));

    // A document two levels down, or a shortcut in the folder itself: a balloon, no change.
    m_pPane->deleteRequests.clear();
    const std::string before = RawBytes(AppFile("Project.cfg"));
    for (HTREEITEM hItem : {Item({"Clients"}), Item({"Shortcuts Only"})}) {
        Select(hItem);
        Tree().UpdateSelectionAnchor();
        Command(ID_TREE_DELETE_FOLDER);
        HWND hBalloon = Balloon("Cannot Delete Folder!");
        ASSERT_NE(nullptr, hBalloon);
        EXPECT_TRUE(::IsWindowVisible(hBalloon));
        ::SendMessageA(hBalloon, WM_CLOSE, 0, 0);
        testsupport::PumpUntil([&] { return !::IsWindow(hBalloon); });
    }
    EXPECT_TRUE(m_pPane->deleteRequests.empty());
    EXPECT_EQ(before, RawBytes(AppFile("Project.cfg")));
    EXPECT_EQ(std::string(kFixtureTree).substr(0, std::string(kFixtureTree).find("  Empty")), Describe());

    // NEW DOWNLOADS and the root are never deleted.
    for (HTREEITEM hFixed : {Item({"NEW DOWNLOADS"}), Control().GetRootItem()}) {
        Select(hFixed);
        Command(ID_TREE_DELETE_FOLDER);
    }
    EXPECT_TRUE(m_pPane->deleteRequests.empty());

    // The pane's own request removes one folder with the shortcuts shown in it, not the
    // folders below it nor the documents it files.
    CString uid = "304";
    EXPECT_EQ(1, m_pPane->SendMessage(UM_DELETE_FOLDER, reinterpret_cast<WPARAM>(&uid), 0));
    uid = "302";
    EXPECT_EQ(1, m_pPane->SendMessage(UM_DELETE_FOLDER, reinterpret_cast<WPARAM>(&uid), 0));
    uid = "4711";
    EXPECT_EQ(0, m_pPane->SendMessage(UM_DELETE_FOLDER, reinterpret_cast<WPARAM>(&uid), 0));
    stored = StoredProject();
    EXPECT_EQ(0, Count(stored, "/Project/Shorts/Short"));
    EXPECT_EQ(nullptr, StoredFolder(stored, "302"));
    EXPECT_NE(nullptr, StoredFolder(stored, "303"));
    EXPECT_EQ(2, Count(stored, "/Project/Documents/Document"));
}

TEST_F(ProjectPaneTest, CopyAndPasteOfADocumentFileShortcuts)
{
    // Paste before any copy: nothing.
    Select(Item({"Empty"}));
    Command(ID_TREE_PASTE_SHORTCUT);
    EXPECT_EQ(1, Count(StoredProject(), "/Project/Shorts/Short"));

    CString doc = "DOCUIDUS7000001";
    EXPECT_EQ(0, m_pPane->SendMessage(UM_COPY_SHORTCUT, reinterpret_cast<WPARAM>(&doc), 0));
    EXPECT_EQ(doc, Tree().m_strCopiedDocUid);
    CString empty;
    m_pPane->SendMessage(UM_COPY_SHORTCUT, reinterpret_cast<WPARAM>(&empty), 0);
    EXPECT_EQ(doc, Tree().m_strCopiedDocUid) << "an empty copy keeps the remembered document";

    const LONGLONG counter = m_pPane->GetStore().GetCounter();
    Command(ID_TREE_PASTE_SHORTCUT);
    Select(Item({"Clients", "Acme"}));
    Command(ID_TREE_PASTE_SHORTCUT);

    IXMLDOMDocument2Ptr stored = StoredProject();
    IXMLDOMNodeListPtr shorts = stored->selectNodes(L"/Project/Shorts/Short");
    ASSERT_EQ(3, shorts->Getlength());
    const char* folders[] = {"305", "302"};
    for (long i = 1; i < 3; ++i) {
        IXMLDOMNodePtr shortcut = shorts->Getitem(i);
        CString uid;
        uid.Format("%d", static_cast<int>(counter + i - 1));
        EXPECT_EQ(doc, Attribute(shortcut, "ShortUID"));
        EXPECT_EQ(uid, Attribute(shortcut, "UID"));
        EXPECT_EQ(CString(folders[i - 1]), Attribute(shortcut, "ParentUID"));
        // Written in that order.
        EXPECT_EQ(CString("ShortUID"), ToAnsi(shortcut->Getattributes()->Getitem(0)->GetnodeName()));
        EXPECT_EQ(CString("ParentUID"), ToAnsi(shortcut->Getattributes()->Getitem(2)->GetnodeName()));
    }
    // The list shows the folder pasted into last; the icons show the new content.
    EXPECT_EQ(CString("302"), m_pPane->GetPatentManager().m_strFolderUID);
    int image = -1, selected = -1;
    Control().GetItemImage(Item({"Empty"}), image, selected);
    EXPECT_EQ(2, image);

    // Removing the document's shortcuts takes all three.
    m_pPane->DeleteShortcut(doc);
    EXPECT_EQ(0, Count(StoredProject(), "/Project/Shorts/Short"));
}

TEST_F(ProjectPaneTest, TheContextMenuGreysWhatTheFolderCannotDo)
{
    struct Case
    {
        const char* folder;
        bool copied;
        bool renameGrey;
        bool pasteGrey;
    };
    const Case cases[] = {{"NEW DOWNLOADS", false, true, true}, {"Clients", true, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        Tree().m_strCopiedDocUid = c.copied ? "DOCUIDUS7000001" : "";
        HTREEITEM hItem = Item({c.folder});
        CRect rect;
        Control().GetItemRect(hItem, &rect, TRUE);
        CPoint point = rect.CenterPoint();
        UINT rename = 0, remove = 0, paste = 0, insert = 0;
        bool seen = false;
        testsupport::AfterDelay(400, [&] {
            HWND hPopup = ::FindWindowA("#32768", nullptr);
            HMENU hMenu = hPopup ? reinterpret_cast<HMENU>(::SendMessageA(hPopup, MN_GETHMENU, 0, 0)) : nullptr;
            if (hMenu) {
                seen = true;
                rename = ::GetMenuState(hMenu, ID_TREE_RENAME_FOLDER, MF_BYCOMMAND);
                remove = ::GetMenuState(hMenu, ID_TREE_DELETE_FOLDER, MF_BYCOMMAND);
                paste = ::GetMenuState(hMenu, ID_TREE_PASTE_SHORTCUT, MF_BYCOMMAND);
                insert = ::GetMenuState(hMenu, ID_TREE_INSERT_FOLDER, MF_BYCOMMAND);
            }
            ::EndMenu();
        });
        // A right button press over the item selects it; its release opens the menu.
        Control().PostMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
        Control().PostMessage(WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        testsupport::PumpMessages(700);
        ASSERT_TRUE(seen);
        EXPECT_EQ(hItem, Control().GetSelectedItem());
        EXPECT_EQ(c.renameGrey, (rename & MF_GRAYED) != 0);
        EXPECT_EQ(c.renameGrey, (remove & MF_GRAYED) != 0);
        EXPECT_EQ(c.pasteGrey, (paste & MF_GRAYED) != 0);
        EXPECT_EQ(0u, insert & MF_GRAYED);
        CPoint anchor = point;
        Control().ClientToScreen(&anchor);
        EXPECT_EQ(anchor, Tree().m_ptAnchor);
    }
}

TEST_F(ProjectPaneTest, FirstRunAddsFiveSampleFoldersWithConsecutiveIdentifiers)
{
    const LONGLONG counter = m_pPane->GetStore().GetCounter();
    m_pPane->CreateDefaultFolders();
    const std::string expected = std::string(kFixtureTree) +
                                 "  Client Folders [0/1]\n"
                                 "    Client 1 Folder [0/1]\n"
                                 "    Client 2 Folder [0/1]\n"
                                 "  New Folder 1 [0/1]\n"
                                 "  New Folder 2 [0/1]\n";
    EXPECT_EQ(expected, Describe());

    IXMLDOMDocument2Ptr stored = StoredProject();
    const char* names[] = {"Client Folders", "Client 1 Folder", "Client 2 Folder", "New Folder 1", "New Folder 2"};
    CString clients;
    clients.Format("%d", static_cast<int>(counter));
    for (int i = 0; i < 5; ++i) {
        CString uid;
        uid.Format("%d", static_cast<int>(counter + i));
        IXMLDOMNodePtr folder = StoredFolder(stored, uid);
        EXPECT_EQ(CString(names[i]), Attribute(folder, "Name"));
        EXPECT_EQ(i == 1 || i == 2 ? clients : CString("ROOT"), Attribute(folder, "ParentUID"));
    }

    // The reloaded store shows the same folders; "Client Folders" now shows that it holds
    // sub-folders.
    ClosePane();
    OpenPane();
    std::string reloaded = expected;
    reloaded.replace(reloaded.find("Client Folders [0/1]"), 20, "Client Folders [2/3]");
    EXPECT_EQ(reloaded, Describe());
}

TEST_F(ProjectPaneTest, SplittersMoveWithinTheirLimitsAndTheLayoutIsKept)
{
    CRect tree, list;
    auto measure = [&] {
        Tree().GetWindowRect(&tree);
        m_pPane->GetPatentManager().GetWindowRect(&list);
        m_pPane->ScreenToClient(&tree);
        m_pPane->ScreenToClient(&list);
    };
    auto drag = [&](CPoint from, CPoint to) {
        m_pPane->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
        m_pPane->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        m_pPane->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        m_pPane->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        testsupport::PumpMessages();
    };
    measure();
    EXPECT_EQ(CRect(6, 89, 184, 269), tree);
    EXPECT_EQ(CRect(190, 89, 607, 269), list);

    // Bar 2 to the right by 50 pixels.
    drag(CPoint(187, 150), CPoint(237, 150));
    measure();
    EXPECT_EQ(234, tree.right);
    EXPECT_EQ(240, list.left);
    // Bar 3 far up: held at 99 pixels from the top.
    drag(CPoint(300, 272), CPoint(300, 5));
    measure();
    EXPECT_EQ(269 + (99 - 272), tree.bottom);
    EXPECT_EQ(tree.bottom + 6, m_pPane->GetLayout().StatusRect().top);
    // Bar 2 (now ending at 96) far right: held 10 pixels inside the list's right edge.
    drag(CPoint(237, 92), CPoint(900, 92));
    measure();
    EXPECT_EQ(234 + (597 - 237), tree.right);

    // The expanded arrangement moves the box into a column left of the tree.
    m_pPane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EXPAND_BUTTON, BN_CLICKED), 0);
    testsupport::PumpMessages();
    EXPECT_TRUE(m_pPane->IsExpanded());
    measure();
    EXPECT_EQ(m_pPane->GetLayout().m_rectSquishedProjectRect, tree);
    m_pPane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EXPAND_BUTTON, BN_CLICKED), 0);
    EXPECT_FALSE(m_pPane->IsExpanded());

    // The next pane takes the layout from the options.
    m_pPane->SaveLayout();
    const CRect saved = m_pPane->GetLayout().m_rectNormalProjectRect;
    ClosePane();
    OpenPane();
    EXPECT_EQ(saved, m_pPane->GetLayout().m_rectNormalProjectRect);
    measure();
    EXPECT_EQ(saved, tree);
}

TEST_F(ProjectPaneTest, TheDownloadQueueSitsAcrossTheBottomAndReadsTheProject)
{
    CDownloadManager& queue = m_pPane->GetDownloadManager();
    ASSERT_TRUE(::IsWindow(queue.m_hWnd));
    EXPECT_EQ(m_pPane->m_hWnd, queue.m_hOwner);
    EXPECT_EQ(m_pPane->m_hWnd, ::GetParent(queue.m_hWnd));
    CRect rect;
    queue.GetWindowRect(&rect);
    m_pPane->ScreenToClient(&rect);
    EXPECT_EQ(m_pPane->GetLayout().StatusRect(), rect);
    // The queue sees the project's documents, also after the store is loaded again.
    ASSERT_EQ(&m_pPane->GetDocumentIndex(), queue.m_pDocumentIndex);
    ASSERT_NE(nullptr, queue.m_ppProjectDocument);
    EXPECT_TRUE(m_pPane->GetDocument().GetInterfacePtr() == queue.m_ppProjectDocument->GetInterfacePtr());
    EXPECT_FALSE(queue.IsDownloading("US7000001"));
    EXPECT_TRUE(queue.IsDownloading("US7999999"));
    m_pPane->LoadProjectConfig(AppFile("Project.cfg"));
    EXPECT_TRUE(m_pPane->GetDocument().GetInterfacePtr() == queue.m_ppProjectDocument->GetInterfacePtr());
    // Its retry settings come from the options, the wait in milliseconds.
    EXPECT_EQ(1, queue.m_nRetryFailed);
    EXPECT_EQ(30 * 1000, queue.m_nWaitBetweenAttempts);
    EXPECT_EQ(3, queue.m_nAttemptLimit);
}

TEST_F(ProjectPaneTest, MainWindowShowsTheTreeAndHandsItsFolderCommandsOn)
{
    ClosePane();
    m_host.ShowWindow(SW_HIDE);
    m_pOptions->SetOptionValue("MainDisplaySize", "0,1,-1,-1,-1,-1,40,30,940,650");
    m_pOptions->Save();

    CString why;
    bool shot = false;
    {
    CTestMainDlg dlg;
    dlg.firstRun = true;
    EXPECT_EQ(IDOK, RunMainWindow(dlg, [&] {
        CProjectTree& tree = dlg.GetProjectPane().GetProjectTree();
        CMyTreeCtrl& control = tree.GetTree();
        EXPECT_EQ(CString("NEW DOWNLOADS"), control.GetItemText(control.GetSelectedItem()));
        EXPECT_EQ(CString("1"), dlg.GetProjectPane().GetPatentManager().m_strFolderUID);
        EXPECT_NE(nullptr, tree.FindItemByUid("301", control, control.GetRootItem()));
        // The sample folders of the first run follow the stored ones.
        HTREEITEM hLast = control.GetChildItem(control.GetRootItem());
        while (control.GetNextSiblingItem(hLast))
            hLast = control.GetNextSiblingItem(hLast);
        EXPECT_EQ(CString("New Folder 2"), control.GetItemText(hLast));
        // The main menu's Rename and Delete follow the tree's selection, and reach the tree.
        HMENU hFolders = ::GetSubMenu(::GetMenu(dlg.m_hWnd), 1);
        auto grey = [&](UINT nID) {
            dlg.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFolders), MAKELPARAM(1, FALSE));
            return (::GetMenuState(hFolders, nID, MF_BYCOMMAND) & MF_GRAYED) != 0;
        };
        EXPECT_TRUE(grey(ID_FOLDER_RENAME));
        EXPECT_TRUE(grey(ID_FOLDER_DELETE));
        EXPECT_FALSE(grey(ID_TREE_INSERT_FOLDER));
        HTREEITEM hEmpty = tree.FindItemByUid("305", control, control.GetRootItem());
        control.Select(hEmpty, TVGN_CARET);
        EXPECT_FALSE(grey(ID_FOLDER_RENAME));
        EXPECT_FALSE(grey(ID_FOLDER_DELETE));
        dlg.SendMessage(WM_COMMAND, ID_FOLDER_DELETE, 0);
        EXPECT_EQ(nullptr, tree.FindItemByUid("305", control, control.GetRootItem()));
        EXPECT_EQ(nullptr, StoredFolder(StoredProject(), "305"));
        control.Select(tree.FindItemByUid("1", control, control.GetRootItem()), TVGN_CARET);
        control.Expand(tree.FindItemByUid("301", control, control.GetRootItem()), TVE_EXPAND);
        testsupport::PumpMessages(300);
        shot = testsupport::SaveScreenshot(ScreenshotPath("main-window-tree.png"), &why);
        dlg.OnExit();
    }));
    }
    // The window, once gone, stored the pane's layout.
    CProgramOptions after;
    RECT rect{};
    EXPECT_TRUE(after.GetRectOption("m_rectNormalProjectRect", rect));
    if (!shot)
        GTEST_SKIP() << why.GetString();
}
