// The document list of the project pane over a generated project of 200 documents in five
// folders: the rows of a folder in its stored order and after header clicks, their look
// (bold, blue, icons, dates, shortcut rows), the list sorter, dragging rows onto a folder,
// filing downloaded records with their sounds and balloons (also when Project.cfg cannot be
// written, or another program put a project of its own in its place), a screenshot, and the
// benchmark of libraries of 10,000 and 50,000 documents. Over a small project of sort keys
// that tie in every way: the order of the rows against the sorting stylesheet and the list
// control's own sort, and a filed download's row against a refresh, with the bytes written.
#include "PaneFixture.h"

#include "DataFileNotices.h"
#include "DocumentRecord.h"
#include "SortClass.h"
#include "StageClock.h"
#include "TextHelpers.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <chrono>
#include <cstdio>
#include <map>
#include <iterator>
#include <set>

using namespace workspacetest;

namespace {

// One generated document and what the list must make of it.
struct DocSpec
{
    CString name;
    CString uid;
    CString folder;
    CString title;
    CString inventor; // "(none)": no attribute
    CString read;     // "Yes", "No", or empty: no attribute
    int date = 0;     // -1: no attribute
    bool firstPage = false;
    int image = -1;   // the row icon
};

// The folders of the generated project, all under the root: NEW DOWNLOADS without a stored
// sort, then titles downward and upward, the Files column (no sort key) and no sort column.
const char* const kFolders[][4] = {
    {"1", "NEW DOWNLOADS", nullptr, nullptr},
    {"20", "Titles", "1", "2"},
    {"21", "Titles Upward", "0", "2"},
    {"22", "By Files", "1", "0"},
    {"23", "Unsorted", "1", "-1"},
};
const int kFolderCount = 5;
const char* const kWords[] = {"alpha pump", "Beta Gear", "gamma valve", "Delta hinge", "epsilon Spring",
                              "Zeta lamp", "eta Clamp", "Theta Joint", "iota seal", "Kappa Bolt"};

CString Number(int value)
{
    CString text;
    text.Format("%d", value);
    return text;
}

// A project of count documents, dealt round the five folders (so NEW DOWNLOADS holds a
// fifth of them), with three shortcuts in "Titles": two to documents of NEW DOWNLOADS and
// one to a document that does not exist.
CString GeneratedProject(int count, std::vector<DocSpec>* pSpecs = nullptr)
{
    std::string xml = "<?xml version=\"1.0\"?>\r\n<Project Name=\"Project Folders\">\r\n<Folders>\r\n";
    for (const auto& f : kFolders) {
        xml += std::string("<Folder UID=\"") + f[0] + "\" Name=\"" + f[1] + "\" ParentUID=\"ROOT\"";
        if (f[2])
            xml += std::string(" SortDir=\"") + f[2] + "\" SortCol=\"" + f[3] + "\"";
        xml += "/>\r\n";
    }
    xml += "</Folders>\r\n<Shorts>\r\n"
           "<Short ShortUID=\"DOCUID0\" UID=\"9000\" ParentUID=\"20\"/>\r\n"
           "<Short ShortUID=\"DOCUID5\" UID=\"9001\" ParentUID=\"20\"/>\r\n"
           "<Short ShortUID=\"DOCUIDNONE\" UID=\"9002\" ParentUID=\"20\"/>\r\n"
           "</Shorts>\r\n<Documents>\r\n";
    for (int i = 0; i < count; ++i) {
        DocSpec d;
        d.name.Format("US%07d", 7000000 + i);
        d.uid = "DOCUID" + Number(i);
        d.folder = kFolders[i % kFolderCount][0];
        d.title = i == 2 ? CString("Gear <b> & \"spring\"") : CString(kWords[(i * 7) % 10]) + " " + Number(i);
        d.inventor = i % 5 == 4 ? CString("(none)") : "Inventor " + Number(i);
        d.read = i % 3 == 0 ? "Yes" : i % 3 == 1 ? "No" : "";
        d.date = i == 7 ? -1 : ((i * 7919) % 1000) * 100003 + i;
        d.firstPage = i % 7 == 0;
        const bool wrapper = i % 20 == 1;
        // Catalogs: PDF and HTML, PDF only, HTML only, PDF and another file.
        const char* items[4][2] = {{"PDF", "HTML"}, {"PDF", nullptr}, {"HTML", nullptr}, {"PDF", "OTHER"}};
        const int kind = i % 4;
        d.image = d.date < 0 ? -1 : kind == 0 ? 0 : kind == 1 ? (wrapper ? 4 : 1) : kind == 2 ? 2 : 3;
        if (i % 40 == 5)
            d.image = 3; // an item of the file wrapper makes the kinds 5: HTML and OTHER
        xml += std::string("<Document Name=\"") + d.name.GetString() + "\" ParentUID=\"" + d.folder.GetString() +
               "\" DocumentTitle=\"" + EscapeXml(d.title).GetString() + "\"";
        if (d.inventor != "(none)")
            xml += std::string(" DocumentInventor=\"") + d.inventor.GetString() + "\"";
        xml += std::string(" DocumentAssignee=\"Assignee ") + Number(i % 13).GetString() + "\"";
        if (d.date >= 0)
            xml += std::string(" DownloadDate=\"") + Number(d.date).GetString() + "\"";
        xml += std::string(" TotalSize=\"\" UID=\"") + d.uid.GetString() + "\" FirstPage=\"" +
               (d.firstPage ? "1" : "0") + "\" Wrapper=\"" + (wrapper ? "1" : "0") + "\"";
        if (!d.read.IsEmpty())
            xml += std::string(" DocumentRead=\"") + d.read.GetString() + "\"";
        xml += "><XMLCatalog>";
        for (const char* type : items[kind]) {
            if (!type)
                continue;
            xml += std::string("<CatalogItem Title=\"\" FilePath=\"c:\\Patent Downloads\\") + d.name.GetString() +
                   "\\file." + type + "\" DownloadSourceName=\"OPS\" FileSize=\"1\" FileType=\"" + type + "\"" +
                   (i % 40 == 5 ? " Wrapper=\"1\"" : "") + "/>";
        }
        xml += "</XMLCatalog></Document>\r\n";
        if (pSpecs)
            pSpecs->push_back(d);
    }
    xml += "</Documents>\r\n</Project>\r\n";
    return CString(xml.c_str());
}

std::string Lower(const CString& text)
{
    std::string out = text.GetString();
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

CString DateText(int seconds)
{
    return "  " + (ProjectEpoch() + CTimeSpan(static_cast<__time64_t>(seconds))).Format("%m/%d/%Y");
}

// A record as the download engine writes it.
CString DownloadedRecord(const CString& number, const char* pdfPath)
{
    CString record = FormatDocumentRecord("US", number, "", SinceProjectEpoch());
    record.Replace("[DOCUMENTTITLE]", "Downloaded " + number);
    record.Replace("[DOCUMENTINVENTOR]", "Ann Smith");
    record.Replace("[DOCUMENTASSIGNEE]", "Acme");
    record.Replace("[FIRSTPAGE]", "0");
    record.Replace("[WRAPPER]", "0");
    if (pdfPath)
        InsertCatalogItem(record, FormatCatalogItem("Full document", pdfPath, "OPS", "1000", "PDF"));
    InsertCatalogItem(record, FormatCatalogItem("Front page", "c:\\x\\front.html", "OPS", "10", "HTML"));
    return record;
}

class DocumentListTest : public PaneFixture
{
protected:
    CString ProjectText() override { return GeneratedProject(200, &m_specs); }

    CPatentManager& Manager() { return m_pPane->GetPatentManager(); }
    CMyListCtrl& List() { return Manager().GetList(); }

    void Show(const char* folder)
    {
        CString uid = folder;
        Select(Tree().FindItemByUid(uid, Control(), Control().GetRootItem()));
        ASSERT_EQ(uid, Manager().m_strFolderUID);
    }

    // Column 1 (the number) of every row, top down.
    std::vector<CString> Names()
    {
        std::vector<CString> names;
        for (int row = 0; row < List().GetItemCount(); ++row)
            names.push_back(List().GetItemText(row, 1));
        return names;
    }

    // The documents of the folder and the shortcut rows it shows.
    std::vector<const DocSpec*> Expected(const char* folder)
    {
        std::vector<const DocSpec*> docs;
        for (const DocSpec& d : m_specs) {
            if (d.folder == folder)
                docs.push_back(&d);
        }
        if (CString(folder) == "20") {
            docs.push_back(&m_specs[0]);
            docs.push_back(&m_specs[5]);
        }
        return docs;
    }

    const DocSpec* Spec(const CString& name)
    {
        for (const DocSpec& d : m_specs) {
            if (d.name == name)
                return &d;
        }
        return nullptr;
    }

    void ClickHeader(int column)
    {
        CMyHeaderCtrl& header = List().GetHeader();
        CRect rect;
        header.GetItemRect(column, &rect);
        const CPoint point = rect.CenterPoint();
        header.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        header.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        testsupport::PumpMessages(100);
    }

    // The middle of a folder's label, and of a row's, in the list's client coordinates.
    CPoint FolderPoint(HTREEITEM hFolder)
    {
        CRect label;
        Control().GetItemRect(hFolder, &label, TRUE);
        CPoint point = label.CenterPoint();
        Control().ClientToScreen(&point);
        List().ScreenToClient(&point);
        return point;
    }
    CPoint RowPoint(int row)
    {
        CRect rect;
        List().GetItemRect(row, &rect, LVIR_LABEL);
        return rect.CenterPoint();
    }

    std::vector<DocSpec> m_specs;
};

} // namespace

TEST_F(DocumentListTest, AFolderShowsItsDocumentsInItsStoredOrder)
{
    struct Case
    {
        const char* folder;
        const char* how;
    };
    const Case cases[] = {{"1", "date, newest first"},
                          {"20", "title, downward"},
                          {"21", "title, upward"},
                          {"22", "no sort key: all documents"},
                          {"23", "no sort column: all documents"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + ": " + c.how);
        Show(c.folder);
        std::vector<const DocSpec*> expected = Expected(c.folder);
        const std::string how = c.how;
        if (how.find("date") == 0) {
            std::sort(expected.begin(), expected.end(), [](const DocSpec* a, const DocSpec* b) { return a->date > b->date; });
        } else if (how.find("title") == 0) {
            const bool down = how.find("downward") != std::string::npos;
            std::sort(expected.begin(), expected.end(), [down](const DocSpec* a, const DocSpec* b) {
                return down ? Lower(a->title) > Lower(b->title) : Lower(a->title) < Lower(b->title);
            });
        }
        std::vector<CString> names = Names();
        ASSERT_EQ(expected.size(), names.size());
        if (how.find("all documents") != std::string::npos) {
            std::multiset<std::string> want, got;
            for (const DocSpec* d : expected)
                want.insert(d->name.GetString());
            for (const CString& n : names)
                got.insert(n.GetString());
            EXPECT_EQ(want, got);
        } else {
            for (size_t i = 0; i < names.size(); ++i)
                EXPECT_EQ(expected[i]->name, names[i]) << "row " << i;
        }
    }
}

TEST_F(DocumentListTest, RowsShowReadMarksPartialDownloadsFileKindsAndDates)
{
    Show("1");
    int bold = 0, blue = 0;
    for (int row = 0; row < List().GetItemCount(); ++row) {
        const DocSpec* d = Spec(List().GetItemText(row, 1));
        ASSERT_NE(nullptr, d);
        SCOPED_TRACE(d->name.GetString());
        EXPECT_EQ(d->title, List().GetItemText(row, 2));
        EXPECT_EQ(d->inventor == "(none)" ? CString("  ") : "  " + d->inventor, List().GetItemText(row, 3));
        EXPECT_EQ(DateText(d->date < 0 ? 0 : d->date), List().GetItemText(row, 5));
        EXPECT_EQ(d->uid, Manager().UidOfRowData(List().GetItemData(row)));
        for (int c = 1; c <= 5; ++c) {
            const ListCellRecord* cell = List().GetCellRecord(row, c);
            ASSERT_NE(nullptr, cell);
            EXPECT_EQ(d->read == "Yes" ? 0 : 1, cell->bold) << "column " << c;
            EXPECT_EQ(d->firstPage ? RGB(0, 0, 255) : RGB(0, 0, 0), cell->textColour) << "column " << c;
            EXPECT_EQ(RGB(255, 255, 255), cell->backColour);
        }
        EXPECT_EQ(d->image, List().GetCellRecord(row, 0)->imageIndex);
        bold += List().GetCellRecord(row, 1)->bold;
        blue += d->firstPage ? 1 : 0;
    }
    EXPECT_GT(bold, 0);
    EXPECT_GT(blue, 0);

    // Markup characters come through the sorting stylesheet as they are.
    Show("21");
    bool found = false;
    for (int row = 0; row < List().GetItemCount(); ++row)
        found = found || List().GetItemText(row, 2) == "Gear <b> & \"spring\"";
    EXPECT_TRUE(found);

    // "Titles" adds a row for each shortcut whose document exists, marked in the hidden
    // columns and drawn like the document's own row.
    Show("20");
    int shortcuts = 0;
    for (int row = 0; row < List().GetItemCount(); ++row) {
        if (List().GetItemText(row, 6) != "SHORTCUT")
            continue;
        ++shortcuts;
        const DocSpec* d = Spec(List().GetItemText(row, 1));
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(d->name == "US7000000" ? CString("9000") : CString("9001"), List().GetItemText(row, 7));
        EXPECT_EQ(d->uid, Manager().UidOfRowData(List().GetItemData(row)));
        EXPECT_EQ(d->read == "Yes" ? 0 : 1, List().GetCellRecord(row, 2)->bold);
        EXPECT_EQ(d->image, List().GetCellRecord(row, 0)->imageIndex);
        EXPECT_EQ(List().GetBkColor(), List().GetCellRecord(row, 6)->textColour);
    }
    EXPECT_EQ(2, shortcuts);
}

TEST_F(DocumentListTest, HeaderClicksSortAndAreStoredOnTheFolder)
{
    Show("1");
    // Every header item within the list's width.
    Manager().m_strColumnWidths = "30,60,60,60,60,60,";
    Manager().ApplyColumnWidths();
    auto stored = [] {
        IXMLDOMNodePtr folder = StoredFolder(StoredProject(), "1");
        return std::string(Attribute(folder, "SortDir").GetString()) + "/" + Attribute(folder, "SortCol").GetString();
    };
    auto names = [&] {
        std::vector<std::string> out;
        for (const CString& n : Names())
            out.push_back(n.GetString());
        return out;
    };
    std::vector<std::string> upward = names();
    std::sort(upward.begin(), upward.end());
    std::vector<std::string> downward(upward.rbegin(), upward.rend());

    ClickHeader(1); // a new column: smallest first
    EXPECT_EQ("2/1", stored());
    EXPECT_EQ(upward, names());
    ClickHeader(1); // again: the other way
    EXPECT_EQ("1/1", stored());
    EXPECT_EQ(downward, names());

    // The dates sort as numbers, not as texts.
    ClickHeader(5);
    EXPECT_EQ("2/5", stored());
    std::vector<int> dates;
    for (const CString& n : Names())
        dates.push_back(Spec(n)->date);
    EXPECT_TRUE(std::is_sorted(dates.begin(), dates.end()));
    ClickHeader(0); // the Files column keeps the sort
    EXPECT_EQ("2/5", stored());

    // A folder that is not in the store shows nothing and stores nothing.
    const std::string before = RawBytes(AppFile("Project.cfg"));
    Manager().RefreshView("777");
    ClickHeader(2);
    EXPECT_EQ(0, List().GetItemCount());
    EXPECT_EQ(before, RawBytes(AppFile("Project.cfg")));
}

TEST_F(DocumentListTest, TheSorterReadsKeysWithoutTouchingTheRowsItemData)
{
    struct Case
    {
        const char* text;
        int value;
    };
    const Case numbers[] = {{"", 0}, {"abc", 0}, {"  12/31/2005", 12}, {"-42x", -42}, {"99999999999", INT_MAX},
                            {"-99999999999", INT_MIN}, {" 90000100", 90000100}};
    for (const Case& c : numbers)
        EXPECT_EQ(c.value, CSortClass::ParseInteger(c.text)) << c.text;
    EXPECT_EQ(0, CSortClass::CompareText("ABC", "abc"));
    EXPECT_LT(CSortClass::CompareText("a", "B"), 0);

    // Rows outside a list: equal keys keep their places in both directions.
    struct Outside
    {
        bool numeric;
        bool ascending;
        std::vector<const char*> texts;
        std::vector<int> order; // the texts' indexes, sorted
    };
    const Outside outside[] = {
        {false, true, {"b", "ABC", "a", "abc", "B"}, {2, 1, 3, 0, 4}},
        {false, false, {"b", "ABC", "a", "abc", "B"}, {0, 4, 1, 3, 2}},
        {true, true, {"  12/31/2005", "x", "-3", "12", ""}, {2, 1, 4, 0, 3}},
        {true, false, {"  12/31/2005", "x", "-3", "12", ""}, {0, 3, 1, 4, 2}},
        {true, true, {}, {}},
    };
    for (const Outside& c : outside) {
        const CSortClass sorter(5, c.numeric);
        std::vector<std::pair<int, CSortClass::CSortItem>> rows;
        for (size_t i = 0; i < c.texts.size(); ++i)
            rows.emplace_back(static_cast<int>(i), sorter.MakeItem(c.texts[i]));
        sorter.StableSort(rows.begin(), rows.end(), c.ascending,
                          [](const auto& row) -> const CSortClass::CSortItem& { return row.second; });
        std::vector<int> order;
        for (const auto& row : rows)
            order.push_back(row.first);
        EXPECT_EQ(c.order, order) << "numeric " << c.numeric << ", ascending " << c.ascending;
    }

    // Rows keep their records (and data words) while the sorter holds their keys.
    Show("23");
    const int count = List().GetItemCount();
    std::map<std::string, DWORD_PTR> dataByName;
    for (int row = 0; row < count; ++row)
        dataByName[List().GetItemText(row, 1).GetString()] = List().GetItemData(row);
    {
        CSortClass sorter(&List(), 2, false);
        for (int row = 0; row < count; ++row)
            EXPECT_NE(nullptr, List().GetCellRecord(row, 0)) << "row " << row;
        List().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        sorter.Sort(true);
    }
    std::vector<std::string> titles;
    for (int row = 0; row < count; ++row) {
        EXPECT_EQ(dataByName[List().GetItemText(row, 1).GetString()], List().GetItemData(row));
        titles.push_back(Lower(List().GetItemText(row, 2)));
    }
    EXPECT_TRUE(std::is_sorted(titles.begin(), titles.end()));
}

TEST_F(DocumentListTest, ColumnWidthsComeFromTheOptionText)
{
    struct Case
    {
        const char* text;
        int widths[6];
    };
    const Case cases[] = {{"10,20,30,40,50,60,", {10, 20, 30, 40, 50, 60}},
                          {"11,22,33,44,55,66,0,0,", {11, 22, 33, 44, 55, 66}},
                          {"1,2,3", {100, 100, 100, 100, 100, -1}},
                          {"", {100, 100, 100, 100, 100, -1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Manager().m_strColumnWidths = c.text;
        Manager().ApplyColumnWidths();
        for (int col = 0; col < 5; ++col)
            EXPECT_EQ(c.widths[col], List().GetColumnWidth(col));
        if (c.widths[5] >= 0)
            EXPECT_EQ(c.widths[5], List().GetColumnWidth(5));
        else
            EXPECT_GT(List().GetColumnWidth(5), 0);
        EXPECT_EQ(0, List().GetColumnWidth(6));
    }
    Manager().m_strColumnWidths = "10,20,30,40,50,60,";
    Manager().ApplyColumnWidths();
    EXPECT_EQ(CString("10,20,30,40,50,60,0,0,"), Manager().GetColumnWidths());
}

TEST_F(DocumentListTest, ADownloadedRecordIsFiledInNewDownloads)
{
    Show("1");
    const int rows = List().GetItemCount();
    CString record = DownloadedRecord("8123456", "c:\\Patent Downloads\\US8123456\\US8123456.pdf");
    EXPECT_EQ(1, m_pPane->SendMessage(UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(record.GetString()), 0));

    EXPECT_EQ(rows + 1, List().GetItemCount());
    std::vector<CString> names = Names();
    EXPECT_EQ(CString("US8123456"), names.front()) << "the newest download comes first";
    EXPECT_EQ(1, List().GetCellRecord(0, 1)->bold) << "not read yet";
    EXPECT_EQ(0, List().GetCellRecord(0, 0)->imageIndex) << "a PDF and an HTML file";
    CString uid;
    ASSERT_TRUE(m_pPane->GetDocumentIndex().Lookup("US8123456", uid));
    IXMLDOMNodePtr stored = StoredProject()->selectSingleNode(
        _bstr_t("/Project/Documents/Document[@UID=" + XPathLiteral(uid) + "]"));
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(CString("1"), Attribute(stored, "ParentUID"));
    EXPECT_EQ(2, stored->selectNodes(L"XMLCatalog/CatalogItem")->Getlength());

    // Filed while another folder is shown: that list stays as it is.
    Show("21");
    const std::vector<CString> other = Names();
    CString second = DownloadedRecord("8123457", nullptr);
    EXPECT_EQ(1, m_pPane->SendMessage(UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(second.GetString()), 0));
    EXPECT_EQ(other, Names());
    EXPECT_TRUE(m_pPane->GetDocumentIndex().Lookup("US8123457", uid));

    // Texts that are no Document record change nothing.
    const std::string before = RawBytes(AppFile("Project.cfg"));
    const INT_PTR indexed = m_pPane->GetDocumentIndex().GetCount();
    for (const char* text : {"not a record", "<?xml version=\"1.0\" ?><Other Name=\"X\"/>",
                             "<?xml version=\"1.0\" ?><Document Name=\"US1\" UID=\"D1\"><XMLCatalog>"}) {
        CString bad = text;
        EXPECT_EQ(0, m_pPane->SendMessage(UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(bad.GetString()), 1)) << text;
    }
    EXPECT_EQ(before, RawBytes(AppFile("Project.cfg")));
    EXPECT_EQ(indexed, m_pPane->GetDocumentIndex().GetCount());
    EXPECT_TRUE(m_pPane->sounds.empty());
    EXPECT_TRUE(m_pPane->balloons.empty());
    EXPECT_NE(std::string::npos,
              LogText().find("CProjectManagerContainer::AddDownloadedDocument-The record text holds no Document "
                             "record; nothing was added"));
}

// Downloads filed while Project.cfg cannot be written, and then after another program (the
// import wizard) put a project of its own in its place: the pane shows that project with the
// new download in it, keeps what it held beside the file, and the user hears of both once.
TEST_F(DocumentListTest, AProjectFileAnotherProgramPutInPlaceIsShownAndNothingIsLost)
{
    testsupport::DataFileNotices notices;
    const long held = Count(StoredProject(), "/Project/Documents/Document");
    HANDLE holder = CreateFileA(AppFile("Project.cfg"), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    CString first = DownloadedRecord("8100001", nullptr);
    EXPECT_EQ(1, m_pPane->SendMessage(UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(first.GetString()), 0));
    CloseHandle(holder);
    ASSERT_EQ(1u, notices.Count());
    EXPECT_EQ(CString(kNotSavedCaption), notices.All()[0].caption);

    // Another program puts an older project in place, as the import wizard does.
    testsupport::TempDir other;
    WriteEnciphered(other.File("Project.cfg"),
                    "<?xml version=\"1.0\"?>\r\n<Project Name=\"Imported Folders\"><Folders>"
                    "<Folder UID=\"1\" Name=\"NEW DOWNLOADS\" ParentUID=\"ROOT\"/>"
                    "<Folder UID=\"4001\" Name=\"Old Gears\" ParentUID=\"ROOT\"/></Folders><Shorts/><Documents>"
                    "<Document Name=\"US6000001\" ParentUID=\"1\" DocumentTitle=\"Old widget\" UID=\"DOCUIDUS6000001\">"
                    "<XMLCatalog/></Document></Documents></Project>\r\n");
    ASSERT_TRUE(MoveFileExA(other.File("Project.cfg"), AppFile("Project.cfg"), MOVEFILE_REPLACE_EXISTING));
    CString second = DownloadedRecord("8100002", nullptr);
    EXPECT_EQ(1, m_pPane->SendMessage(UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(second.GetString()), 0));
    testsupport::PumpMessages();

    // The file holds the other program's project and the new download; the pane shows it.
    IXMLDOMDocument2Ptr stored = StoredProject();
    EXPECT_EQ(CString("Imported Folders"), Attribute(stored->selectSingleNode(L"/Project"), "Name"));
    EXPECT_EQ(2, Count(stored, "/Project/Documents/Document"));
    EXPECT_EQ(1, Count(stored, "/Project/Documents/Document[@Name='US6000001']"));
    EXPECT_EQ(1, Count(stored, "/Project/Documents/Document[@Name='US8100002' and @ParentUID='1']"));
    EXPECT_EQ(CString("Imported Folders"), Control().GetItemText(Control().GetRootItem()));
    EXPECT_EQ(CString("1"), Manager().m_strFolderUID);
    std::vector<CString> names = Names();
    std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    EXPECT_EQ((std::vector<CString>{"US6000001", "US8100002"}), names);
    CString uid;
    EXPECT_FALSE(m_pPane->GetDocumentIndex().Lookup("US8100001", uid)) << "the index is the shown project's";
    EXPECT_EQ(2, m_pPane->GetDocumentIndex().GetCount());
    EXPECT_FALSE(IsDataFileUnsaved(AppFile("Project.cfg")));

    // What the pane held, with the download that was not saved, is kept beside the file.
    ASSERT_EQ(2u, notices.Count());
    EXPECT_EQ(CString("Project Replaced"), notices.All()[1].caption);
    const CString& text = notices.All()[1].text;
    const CString keptLine = "is kept as\n";
    const int at = text.Find(keptLine);
    ASSERT_GE(at, 0) << text.GetString();
    const CString kept = text.Mid(at + keptLine.GetLength()).SpanExcluding("\n");
    EXPECT_EQ(0, kept.Find(AppFile("Project.cfg.")));
    IXMLDOMDocument2Ptr ours = CreateDomDocument();
    ASSERT_TRUE(ours->loadXML(_bstr_t(ReadDeciphered(kept))));
    EXPECT_EQ(held + 1, Count(ours, "/Project/Documents/Document"));
    EXPECT_EQ(1, Count(ours, "/Project/Documents/Document[@Name='US8100001']"));
    DeleteFileA(kept);
}

TEST_F(DocumentListTest, SoundsAndBalloonsFollowTheNotificationSettings)
{
    struct Case
    {
        const char* name;
        int mode;
        bool allSwitch, oneSwitch;
        const char* allPath;
        bool toolbar;
        std::vector<int> lastFlags;   // one download each
        bool pdf;
        std::vector<std::string> sounds;
        std::vector<std::string> balloons;
    };
    const Case cases[] = {
        {"a queue of three, both sounds", 3, true, true, "all.wav", false, {0, 0, 1}, true,
         {"one.wav", "one.wav", "all.wav"}, {}},
        {"the last one with an empty all-downloads path plays nothing", 3, true, true, "", false, {1}, true, {}, {}},
        {"mode 2 after the quick download", 2, false, false, "all.wav", false, {0, 1}, true, {},
         {"All Downloads Complete|All Zentrova downloads have been completed!|application|"}},
        {"mode 2 after a toolbar request", 2, false, false, "all.wav", true, {0, 1}, true, {}, {}},
        {"mode 1 with a PDF", 1, false, false, "all.wav", false, {1}, true, {}, {"pdf"}},
        {"mode 1 without a PDF", 1, false, false, "all.wav", false, {1}, false, {}, {"nopdf"}},
    };
    int number = 8200000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_pPane->sounds.clear();
        m_pPane->balloons.clear();
        m_pPane->m_nNotifyMode = c.mode;
        m_pPane->m_bPlaySoundAfterAllDownloads = c.allSwitch;
        m_pPane->m_bPlaySoundAfterDownload = c.oneSwitch;
        m_pPane->m_strSoundAfterAllDownloadsPath = c.allPath;
        m_pPane->m_strSoundAfterDownloadPath = "one.wav";
        m_pPane->m_bToolbarRequest = c.toolbar;
        std::vector<std::string> balloons;
        for (int last : c.lastFlags) {
            const CString numberText = Number(++number);
            const CString pdf = "c:\\d\\US" + numberText + ".pdf";
            CString record = DownloadedRecord(numberText, c.pdf ? pdf.GetString() : nullptr);
            m_pPane->SendMessage(UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(record.GetString()), last);
            for (const std::string& b : c.balloons) {
                if (b == "pdf")
                    balloons.push_back("Download Complete|Zentrova has completed the download of document: US" +
                                       std::string(numberText) + ".\nPlease CLICK HERE to view the patent|question|" +
                                       std::string(pdf));
                else if (b == "nopdf")
                    balloons.push_back("Download Complete|Zentrova has completed the download of document: US" +
                                       std::string(numberText) + ".\n|question|");
            }
        }
        std::vector<std::string> sounds;
        for (const CString& s : m_pPane->sounds)
            sounds.push_back(s.GetString());
        EXPECT_EQ(c.sounds, sounds);
        if (balloons.empty())
            balloons = c.balloons;
        EXPECT_EQ(balloons, m_pPane->balloons);
    }

    // The error sound, only with its switch on and a path.
    m_pPane->sounds.clear();
    m_pPane->m_strSoundAfterErrorPath = "error.wav";
    m_pPane->m_bPlaySoundAfterError = false;
    m_pPane->SendMessage(UM_PLAY_ERROR_SOUND, 0, 0);
    m_pPane->m_bPlaySoundAfterError = true;
    m_pPane->SendMessage(UM_PLAY_ERROR_SOUND, 0, 0);
    ASSERT_EQ(1u, m_pPane->sounds.size());
    EXPECT_EQ(CString("error.wav"), m_pPane->sounds[0]);
}

TEST_F(DocumentListTest, RowsDraggedOntoAFolderMoveThere)
{
    Show("1");
    const std::vector<CString> before = Names();
    ASSERT_GE(before.size(), 3u);
    List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    List().SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);

    // The folder "Unsorted" in list coordinates.
    HTREEITEM hTarget = Tree().FindItemByUid("23", Control(), Control().GetRootItem());
    CPoint target = FolderPoint(hTarget);
    const CPoint start = RowPoint(0);

    // A collapsed folder with a sub-folder, which opens when the pointer rests on it.
    HTREEITEM hTitles = Tree().FindItemByUid("20", Control(), Control().GetRootItem());
    Tree().InsertFolderItem("Inner", "4242", Control(), hTitles, 0);
    Control().Expand(hTitles, TVE_COLLAPSE);
    const CPoint rest = FolderPoint(hTitles);

    List().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    List().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.x + 30, start.y + 5));
    testsupport::PumpMessages(100);
    List().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(rest.x, rest.y));
    EXPECT_TRUE(testsupport::PumpUntil(
        [&] { return (Control().GetItemState(hTitles, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }, 2000))
        << "the folder the pointer rests on opens";
    // The tree may have moved its items: where the target is now.
    target = FolderPoint(hTarget);
    List().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(target.x, target.y));
    testsupport::PumpMessages(100);
    EXPECT_EQ(hTarget, Control().GetDropHilightItem());
    List().PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(target.x, target.y));
    testsupport::PumpMessages(200);
    EXPECT_EQ(nullptr, Control().GetDropHilightItem());

    ASSERT_EQ(2u, List().m_arrDraggedRows.size());
    EXPECT_EQ(0, List().m_arrDraggedRows[0]);
    EXPECT_EQ(2, List().m_arrDraggedRows[1]);
    IXMLDOMDocument2Ptr stored = StoredProject();
    for (const CString& moved : {before[0], before[2]}) {
        IXMLDOMNodePtr doc = stored->selectSingleNode(
            _bstr_t("/Project/Documents/Document[@Name=" + XPathLiteral(moved) + "]"));
        EXPECT_EQ(CString("23"), Attribute(doc, "ParentUID")) << moved.GetString();
    }
    const std::vector<CString> after = Names();
    EXPECT_EQ(before.size() - 2, after.size());
    EXPECT_EQ(after.end(), std::find(after.begin(), after.end(), before[0]));
    EXPECT_EQ(CString("1"), Manager().m_strFolderUID) << "the list shows the same folder again";

    // A drop on the root moves nothing.
    List().m_dwDropTargetData = static_cast<DWORD_PTR>(-1);
    const std::string bytes = RawBytes(AppFile("Project.cfg"));
    EXPECT_EQ(0, m_pPane->SendMessage(UM_DOCUMENTS_DROPPED, 0, 0));
    EXPECT_EQ(bytes, RawBytes(AppFile("Project.cfg")));
}

TEST_F(DocumentListTest, RowsBeyondTheFirst65536AreDraggedAsTheyStand)
{
    // A folder of more rows than 16 bits count, and an empty one to drop them on.
    const int count = 65540;
    std::string xml = "<?xml version=\"1.0\"?>\r\n<Project Name=\"Project Folders\"><Folders>"
                      "<Folder UID=\"1\" Name=\"NEW DOWNLOADS\" ParentUID=\"ROOT\"/>"
                      "<Folder UID=\"2\" Name=\"Target\" ParentUID=\"ROOT\"/></Folders><Shorts/><Documents>";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        xml += "<Document Name=\"N" + n + "\" ParentUID=\"1\" DownloadDate=\"" + n + "\" UID=\"D" + n +
               "\"><XMLCatalog/></Document>";
    }
    xml += "</Documents></Project>";
    ClosePane();
    WriteEnciphered(AppFile("Project.cfg"), CString(xml.c_str()));
    OpenPane();
    Show("1");
    ASSERT_EQ(count, List().GetItemCount());
    const int rows[] = {0, 65537};
    for (int row : rows)
        List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    const std::set<std::string> dragged = {List().GetItemText(rows[0], 1).GetString(),
                                           List().GetItemText(rows[1], 1).GetString()};

    // Dragged by the first row onto the folder.
    const CPoint target = FolderPoint(Tree().FindItemByUid("2", Control(), Control().GetRootItem()));
    const CPoint start = RowPoint(0);
    List().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    List().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.x + 30, start.y + 5));
    testsupport::PumpMessages(100);
    List().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(target.x, target.y));
    testsupport::PumpMessages(100);
    List().PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(target.x, target.y));
    testsupport::PumpMessages(200);

    EXPECT_EQ((std::vector<int>(std::begin(rows), std::end(rows))), List().m_arrDraggedRows);
    IXMLDOMNodeListPtr moved = StoredProject()->selectNodes(L"/Project/Documents/Document[@ParentUID='2']");
    std::set<std::string> names;
    for (long i = 0; i < moved->Getlength(); ++i)
        names.insert(Attribute(moved->Getitem(i), "Name").GetString());
    EXPECT_EQ(dragged, names);
    Show("2"); // a list emptied while it does not paint: the pane then closes quickly
}

TEST_F(DocumentListTest, ScreenshotOfTheListWithReadUnreadAndFirstPageRows)
{
    ClosePane();
    m_host.ShowWindow(SW_HIDE);
    {
        CProgramOptions options;
        options.SetOptionValue("MainDisplaySize", "0,1,-1,-1,-1,-1,40,30,1000,680");
        options.SetOptionValue("PatentManagerWidths", "60,84,150,96,90,80,");
        options.Save();
    }

    CString why;
    bool shot = false;
    {
        CTestMainDlg dlg;
        EXPECT_EQ(IDOK, RunMainWindow(dlg, [&] {
            CPatentManager& list = dlg.GetProjectPane().GetPatentManager();
            EXPECT_EQ(40, list.GetList().GetItemCount());
            list.GetList().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
            testsupport::PumpMessages(300);
            shot = testsupport::SaveScreenshot(ScreenshotPath("document-list.png"), &why);
            dlg.OnExit();
        }));
    }
    // The widths were stored at the close.
    EXPECT_EQ(CString("60,84,150,96,90,80,0,0,"), CProgramOptions().GetOptionValue("PatentManagerWidths"));
    if (!shot)
        GTEST_SKIP() << why.GetString();
}

namespace {

// Documents whose sort keys tie in every way the two sorts can meet: titles equal but for
// case, accents and blanks, dates equal as numbers but not as texts, attributes missing,
// numbers filed twice, and shortcuts (one to a document of another folder, one to nothing).
struct TieSpec
{
    const char* name;
    const char* title;    // null: no attribute
    const char* inventor; // null: no attribute
    const char* date;     // null: no attribute
    const char* read;
};
const TieSpec kTies[] = {
    {"US1", "gear", "Ann", "100", "Yes"},      {"US2", "Gear", "ann", "0100", nullptr},
    {"US3", "GEAR", "Bob", "100", "No"},       {"US4", "gear", nullptr, "99", "Yes"},
    {"US5", "axle", "Ann", "", nullptr},       {"US6", "Axle", "\xC9mile", nullptr, "Yes"},
    {"US7", "\xE9" "clair", "emile", "abc", nullptr}, {"US8", "Eclair", "Emile", "  100", "No"},
    {"US9", "eclair", "\xE9mile", "-5", nullptr},     {"US5", "Zebra", "Zed", "100x", "Yes"},
    {"us5", "zebra", "zed", "2000000000", nullptr},   {"US12", "", "", "99999999999", "No"},
    {"US13", nullptr, nullptr, "100", nullptr},       {"US14", "a b", "a", "99", "Yes"},
    {"US15", "a  b", "A", "0", nullptr},              {"US16", "b", "b", "100", nullptr},
    {"US17", "B", "B", "99", "Yes"},                  {"US18", "gear", "Ann", "100", nullptr},
};

CString TieProject()
{
    std::string xml = "<?xml version=\"1.0\"?>\r\n<Project Name=\"Project Folders\">\r\n<Folders>\r\n"
                      "<Folder UID=\"1\" Name=\"NEW DOWNLOADS\" ParentUID=\"ROOT\"/>\r\n"
                      "<Folder UID=\"2\" Name=\"Other\" ParentUID=\"ROOT\"/>\r\n</Folders>\r\n<Shorts>\r\n"
                      "<Short ShortUID=\"T1\" UID=\"900\" ParentUID=\"1\"/>\r\n"
                      "<Short ShortUID=\"T19\" UID=\"901\" ParentUID=\"1\"/>\r\n"
                      "<Short ShortUID=\"T3\" UID=\"902\" ParentUID=\"1\"/>\r\n"
                      "<Short ShortUID=\"NONE\" UID=\"903\" ParentUID=\"1\"/>\r\n</Shorts>\r\n<Documents>\r\n";
    int i = 0;
    for (const TieSpec& t : kTies) {
        ++i;
        xml += std::string("<Document Name=\"") + t.name + "\" ParentUID=\"1\"";
        if (t.title)
            xml += std::string(" DocumentTitle=\"") + t.title + "\"";
        if (t.inventor)
            xml += std::string(" DocumentInventor=\"") + t.inventor + "\"";
        xml += std::string(" DocumentAssignee=\"") + (i % 2 ? "Acme" : "acme") + "\"";
        if (t.date)
            xml += std::string(" DownloadDate=\"") + t.date + "\"";
        xml += " UID=\"T" + std::to_string(i) + "\" FirstPage=\"" + (i % 4 == 0 ? "1" : "0") + "\" Wrapper=\"0\"";
        if (t.read)
            xml += std::string(" DocumentRead=\"") + t.read + "\"";
        xml += std::string("><XMLCatalog><CatalogItem FilePath=\"c:\\d\\") + t.name + ".pdf\" FileType=\"" +
               (i % 3 ? "PDF" : "HTML") + "\"/></XMLCatalog></Document>\r\n";
    }
    xml += "<Document Name=\"US19\" ParentUID=\"2\" DocumentTitle=\"gear\" DownloadDate=\"100\" UID=\"T19\"/>\r\n";
    xml += "</Documents>\r\n</Project>\r\n";
    return CString(xml.c_str());
}

// What a row shows: its texts, the look of its cells, its icon and its document.
std::string RowText(CMyListCtrl& list, CPatentManager& manager, int row)
{
    std::string out;
    for (int c = 0; c < 8; ++c) {
        const ListCellRecord* cell = list.GetCellRecord(row, c);
        char look[64];
        std::snprintf(look, sizeof look, "|%06lx/%06lx%s", static_cast<unsigned long>(cell ? cell->textColour : 0),
                      static_cast<unsigned long>(cell ? cell->backColour : 0), cell && cell->bold ? "b" : "");
        out += std::string(list.GetItemText(row, c).GetString()) + look;
    }
    out += "|image " + std::to_string(list.GetCellRecord(row, 0)->imageIndex);
    out += "|" + std::string(manager.UidOfRowData(list.GetItemData(row)).GetString());
    return out;
}

std::vector<std::string> Rows(CMyListCtrl& list, CPatentManager& manager)
{
    std::vector<std::string> rows;
    for (int row = 0; row < list.GetItemCount(); ++row)
        rows.push_back(RowText(list, manager, row));
    return rows;
}

class DocumentOrderTest : public DocumentListTest
{
protected:
    CString ProjectText() override { return TieProject(); }

    void SetSort(const char* direction, int column)
    {
        IXMLDOMNodePtr folder = m_pPane->GetDocument()->selectSingleNode(L"/Project/Folders/Folder[@UID='1']");
        SetXmlAttribute(folder, "SortDir", direction);
        SetXmlAttribute(folder, "SortCol", Number(column));
        // As every change to the store, followed by a write.
        m_pPane->SaveProjectConfig();
    }

    // The order of the rows as the store's stylesheet and the list control's own sort give
    // it: the folder's documents through the sorting stylesheet (in store order without a
    // sort key), each row put on top of a plain list, the shortcut rows after them, then the
    // list sorted by the column. One "name/shortcut UID" per row, top down.
    std::vector<std::string> ReferenceOrder(const char* direction, int column)
    {
        IXMLDOMDocument2Ptr store = m_pPane->GetDocument();
        static const char* const kVerbs[] = {"", "@Name", "@DocumentTitle", "@DocumentInventor",
                                             "@DocumentAssignee", "@DownloadDate"};
        const char* verb = column >= 1 && column <= 5 ? kVerbs[column] : "";
        IXMLDOMNodeListPtr documents;
        IXMLDOMDocument2Ptr sorted;
        if (*verb) {
            CString stylesheet =
                "<?xml version=\"1.0\"?><xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                "<xsl:template match=\"/\"><xsl:text>&lt;Documents&gt;</xsl:text>"
                "<xsl:for-each select=\"/Project/Documents/Document[@ParentUID='1']\">"
                "<xsl:sort select=\"[SORTVERB]\" order=\"[SORTDIRECTION]\"/><xsl:copy-of select=\".\"/>"
                "</xsl:for-each><xsl:text>&lt;/Documents&gt;</xsl:text></xsl:template></xsl:stylesheet>";
            stylesheet.Replace("[SORTVERB]", verb);
            stylesheet.Replace("[SORTDIRECTION]", CString(direction) == "1" ? "ascending" : "descending");
            IXMLDOMDocument2Ptr xsl = CreateDomDocument();
            EXPECT_TRUE(xsl->loadXML(_bstr_t(stylesheet)));
            CString result = ToAnsi(store->transformNode(xsl));
            const int start = result.Find("&lt;Documents&gt;");
            result = "<Documents>" + result.Mid(start + 17);
            result.Replace("&lt;/Documents&gt;", "</Documents>");
            sorted = CreateDomDocument();
            EXPECT_TRUE(sorted->loadXML(_bstr_t(result))) << result.GetString();
            documents = sorted->selectNodes(L"/Documents/Document");
        } else {
            documents = store->selectNodes(L"/Project/Documents/Document[@ParentUID='1']");
        }
        CListCtrl list;
        EXPECT_TRUE(list.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 300, 100), &m_host, 4711));
        for (int c = 0; c < 8; ++c)
            list.InsertColumn(c, "", LVCFMT_LEFT, 50);
        int data = 0;
        auto add = [&](IXMLDOMNodePtr document, const CString& shortcutUid) {
            list.InsertItem(LVIF_TEXT | LVIF_PARAM, 0, "", 0, 0, 0, static_cast<LPARAM>(++data));
            list.SetItemText(0, 1, Attribute(document, "Name").Left(64).GetString());
            const char* names[] = {"DocumentTitle", "DocumentInventor", "DocumentAssignee", "DownloadDate"};
            for (int c = 2; c <= 5; ++c) {
                CString value;
                GetXmlAttribute(document, names[c - 2], value);
                list.SetItemText(0, c, (c == 3 || c == 4 ? "  " + value : value).GetString());
            }
            if (!shortcutUid.IsEmpty()) {
                list.SetItemText(0, 6, "SHORTCUT");
                list.SetItemText(0, 7, shortcutUid.GetString());
            }
        };
        for (long i = 0; i < documents->Getlength(); ++i)
            add(documents->Getitem(i), "");
        IXMLDOMNodeListPtr shorts = store->selectNodes(L"/Project/Shorts/Short[@ParentUID='1']");
        for (long i = 0; i < shorts->Getlength(); ++i) {
            IXMLDOMNodePtr target = store->selectSingleNode(
                _bstr_t("/Project/Documents/Document[@UID=" + XPathLiteral(Attribute(shorts->Getitem(i), "ShortUID")) + "]"));
            if (target)
                add(target, Attribute(shorts->Getitem(i), "UID"));
        }
        if (column >= 0) {
            CSortClass sorter(&list, column, column == 5);
            sorter.Sort(CString(direction) != "1");
        }
        std::vector<std::string> order;
        for (int row = 0; row < list.GetItemCount(); ++row)
            order.push_back(std::string(list.GetItemText(row, 1).GetString()) + "/" + list.GetItemText(row, 7).GetString());
        list.DestroyWindow();
        return order;
    }

    // The text a whole serialization of the store writes (the file deciphered: with the
    // cipher's padding). The cipher is the same for the same text, so equal texts are equal
    // bytes.
    std::string WholeSerialization()
    {
        std::string text = ToAnsi(m_pPane->GetDocument()->Getxml()).str();
        text.append(32 - text.size() % 32, ' ');
        return text;
    }

    std::vector<std::string> ShownOrder()
    {
        std::vector<std::string> order;
        for (int row = 0; row < List().GetItemCount(); ++row)
            order.push_back(std::string(List().GetItemText(row, 1).GetString()) + "/" + List().GetItemText(row, 7).GetString());
        return order;
    }
};

struct SortCase
{
    const char* direction;
    int column;
};
const SortCase kSorts[] = {{"1", 5}, {"0", 5}, {"1", 2}, {"0", 2}, {"1", 1}, {"0", 1}, {"1", 3}, {"0", 4},
                           {"1", 0}, {"0", 6}, {"1", 7}, {"1", -1}, {"0", 9}};

} // namespace

// The list orders its rows in memory: it must give the order of the store's stylesheet and
// the list control's own sort, ties of every kind included.
TEST_F(DocumentOrderTest, RowsStandInTheOrderOfTheStylesheetAndTheListsSort)
{
    for (const SortCase& c : kSorts) {
        SCOPED_TRACE(testing::Message() << "SortDir " << c.direction << " SortCol " << c.column);
        SetSort(c.direction, c.column);
        Manager().RefreshView("1");
        const std::vector<std::string> shown = ShownOrder();
        ASSERT_EQ(static_cast<size_t>(std::size(kTies) + 3), shown.size());
        if (c.column >= 0) {
            EXPECT_EQ(ReferenceOrder(c.direction, c.column), shown);
        } else {
            // Without a sort column the rows stand as they were put on top of the list.
            std::vector<std::string> reference = ReferenceOrder(c.direction, c.column);
            EXPECT_EQ(reference, shown);
        }
    }
}

// A download filed into the folder shown takes one row where a refresh would put it: the
// rows after it (texts, order, colours, bold cells, icons, documents) equal those of a
// refresh, and Project.cfg holds the bytes a whole serialization of the store gives.
TEST_F(DocumentOrderTest, AFiledDownloadStandsWhereARefreshPutsIt)
{
    // Records that tie with those shown: an equal date, a title equal but for case, a date
    // equal as a number, and one of another folder.
    const char* records[] = {
        "<?xml version=\"1.0\" ?>\r\n<Document Name=\"US30\" ParentUID=\"1\" DocumentTitle=\"Gear\" "
        "DocumentInventor=\"Ann\" DocumentAssignee=\"Acme\" DownloadDate=\"100\" TotalSize=\"\" UID=\"N30\" "
        "FirstPage=\"1\" Wrapper=\"0\"><XMLCatalog><CatalogItem Title=\"\" FilePath=\"c:\\d\\US30.pdf\" "
        "DownloadSourceName=\"OPS\" FileSize=\"1\" FileType=\"PDF\"/></XMLCatalog></Document>",
        "<?xml version=\"1.0\" ?>\r\n<Document Name=\"us1\" ParentUID=\"1\" DocumentTitle=\"GEAR\" "
        "DocumentInventor=\"\xC9mile\" DownloadDate=\"0100\" UID=\"N31\" FirstPage=\"0\" Wrapper=\"1\"><XMLCatalog>"
        "<CatalogItem FilePath=\"c:\\d\\a.pdf\" FileType=\"PDF\"/><CatalogItem FilePath=\"c:\\d\\a.htm\" "
        "FileType=\"HTML\"/></XMLCatalog></Document>",
        "<?xml version=\"1.0\" ?>\r\n<Document Name=\"US32\" ParentUID=\"1\" DocumentTitle=\"\xE9" "clair\" "
        "DownloadDate=\"99\" UID=\"N32\" FirstPage=\"0\" Wrapper=\"0\"><XMLCatalog/></Document>",
        "<?xml version=\"1.0\" ?>\r\n<Document Name=\"US33\" ParentUID=\"2\" DocumentTitle=\"gear\" "
        "DownloadDate=\"100\" UID=\"N33\" FirstPage=\"0\" Wrapper=\"0\"><XMLCatalog/></Document>",
    };
    int filed = 0;
    for (const SortCase& c : kSorts) {
        SCOPED_TRACE(testing::Message() << "SortDir " << c.direction << " SortCol " << c.column);
        SetSort(c.direction, c.column);
        Show("2");
        Show("1");
        m_pPane->m_nNotifyMode = 0;
        for (const char* record : records) {
            SCOPED_TRACE(record);
            // Each record a second time under another UID, so that the folder grows.
            CString text = record;
            text.Replace("UID=\"N", "UID=\"N" + Number(++filed) + "-");
            const int before = List().GetItemCount();
            TakeStageTimes();
            ASSERT_EQ(1, m_pPane->SendMessage(UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(text.GetString()), 0));
            bool refreshed = false;
            for (const auto& stage : TakeStageTimes())
                refreshed = refreshed || stage.first == "select documents";
            EXPECT_FALSE(refreshed) << "one row is added, the list is not refilled";
            EXPECT_EQ(before + (text.Find("ParentUID=\"2\"") >= 0 ? 0 : 1), List().GetItemCount());
            EXPECT_EQ(WholeSerialization(), ReadDeciphered(AppFile("Project.cfg")).str());

            const std::vector<std::string> added = Rows(List(), Manager());
            Manager().RefreshView("1");
            EXPECT_EQ(Rows(List(), Manager()), added);
        }
    }

    // A header click stores the sort on the folder, with the same bytes as a whole write.
    ClickHeader(2);
    EXPECT_EQ(WholeSerialization(), ReadDeciphered(AppFile("Project.cfg")).str());
}

namespace {

class EmptyFolderTest : public DocumentListTest
{
protected:
    CString ProjectText() override
    {
        return "<?xml version=\"1.0\"?>\r\n<Project Name=\"Project Folders\"><Folders>"
               "<Folder UID=\"1\" Name=\"NEW DOWNLOADS\" ParentUID=\"ROOT\"/></Folders><Shorts/><Documents/></Project>";
    }
};

} // namespace

// The first download filed into an empty folder shown: the list's text for an empty view,
// drawn across the whole list, is painted over, as a refill would.
TEST_F(EmptyFolderTest, TheFirstFiledDownloadRepaintsTheWholeList)
{
    Show("1");
    ASSERT_EQ(0, List().GetItemCount());
    List().UpdateWindow();
    CRect client, invalid;
    List().GetClientRect(&client);
    ASSERT_FALSE(::GetUpdateRect(List().m_hWnd, &invalid, FALSE));
    CString record = DownloadedRecord("8123456", "c:\\d\\US8123456.pdf");
    ASSERT_EQ(1, m_pPane->SendMessage(UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(record.GetString()), 0));
    EXPECT_EQ(1, List().GetItemCount());
    ASSERT_TRUE(::GetUpdateRect(List().m_hWnd, &invalid, FALSE));
    EXPECT_EQ(client, invalid);
}

// Not a check: prints how long libraries of 10,000 and 50,000 documents take to load and
// show their NEW DOWNLOADS folder (a fifth of them), to file one more download into it, to
// switch between two folders of that size and to sort the shown folder by title, each with
// the parts the time went to (lines starting BENCHMARK).
TEST_F(DocumentListTest, BenchmarkTenThousandDocuments)
{
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::time_point from) {
        return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
    };
    // The parts of one figure: the program's own stage sums, the list's painting, the rest.
    auto parts = [](double total, double paint) {
        std::string line = "BENCHMARK     parts:";
        double counted = paint;
        char one[96];
        for (const auto& stage : TakeStageTimes()) {
            std::snprintf(one, sizeof one, " %s %.0f,", stage.first.c_str(), stage.second);
            line += one;
            counted += stage.second;
        }
        std::snprintf(one, sizeof one, " paint list %.0f, other %.0f (ms)", paint, total - counted);
        std::printf("%s%s\n", line.c_str(), one);
    };
    auto paint = [this] {
        const auto t = Clock::now();
        List().UpdateWindow();
        return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
    };
    auto line = [](const char* what, int documents, int shown, double total) {
        std::printf("BENCHMARK %s (%d documents, %d shown): %.0f ms\n", what, documents, shown, total);
    };

    for (const int documents : {10000, 50000}) {
        const int shown = documents / kFolderCount;
        ClosePane();
        {
            // The library as the program writes it.
            IXMLDOMDocument2Ptr library = CreateDomDocument();
            ASSERT_TRUE(library->loadXML(_bstr_t(GeneratedProject(documents))));
            WriteEnciphered(AppFile("Project.cfg"), ToAnsi(library->Getxml()));
        }
        TakeStageTimes();

        Clock::time_point t = Clock::now();
        OpenPane();
        Manager().RefreshView("1");
        double painted = paint();
        testsupport::PumpMessages();
        double total = ms(t);
        ASSERT_EQ(shown, List().GetItemCount());
        line("load and show", documents, shown, total);
        parts(total, painted);

        m_pPane->m_nNotifyMode = 3;
        Tree().m_strSelectedUid = "1";
        CString record = DownloadedRecord("9100000", "c:\\d\\US9100000.pdf");
        t = Clock::now();
        ASSERT_EQ(1, m_pPane->SendMessage(UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(record.GetString()), 1));
        painted = paint();
        testsupport::PumpMessages();
        total = ms(t);
        ASSERT_EQ(shown + 1, List().GetItemCount());
        line("file one download into the shown folder, store written", documents, shown + 1, total);
        parts(total, painted);

        // NEW DOWNLOADS to "Titles Upward" and back, through the folder tree.
        double switched[2] = {};
        painted = 0;
        int i = 0;
        for (const char* folder : {"21", "1"}) {
            HTREEITEM hItem = Tree().FindItemByUid(folder, Control(), Control().GetRootItem());
            t = Clock::now();
            Control().Select(hItem, TVGN_CARET);
            painted += paint();
            testsupport::PumpMessages();
            switched[i++] = ms(t);
            ASSERT_EQ(CString(folder), Manager().m_strFolderUID);
        }
        std::printf("BENCHMARK switch between two folders (%d documents, %d shown): %.0f ms there, %.0f ms back\n",
                    documents, shown, switched[0], switched[1]);
        parts(switched[0] + switched[1], painted);

        // A click on the Title header: the sort is stored on the folder and the list refilled.
        t = Clock::now();
        List().GetHeader().OnColumnClicked(2);
        Manager().SendMessage(UM_SORT_COLUMN, 0, 0);
        painted = paint();
        testsupport::PumpMessages();
        total = ms(t);
        EXPECT_EQ(CString("2"), Attribute(StoredFolder(m_pPane->GetDocument(), "1"), "SortCol"));
        line("sort the shown folder by title, store written", documents, shown + 1, total);
        parts(total, painted);
    }
}

