// The Advanced Search page in a sheet of its own, built from test locations the way the
// search pane builds it: the field grid, the REFBY lock, Enter, the checker's boxes, the
// texts kept across locations, the label help, the saved queries with restarts, and the
// query-title dialog.
#include "AdvancedSearch.h"

#include "DataFileNotices.h"
#include "NewQuery.h"
#include "SheetHost.h"
#include "TestSupport.h"
#include "TextHelpers.h"
#include "WindowBench.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::PumpMessages;
using testsupport::WindowText;

// The search pane's side of a run: what the page handed on when it sent its message.
class CRunTarget : public CWnd
{
public:
    CAdvancedSearch* pPage = nullptr;
    int runs = 0;
    CString searchString;
    CString queryText;
    CMapStringToString params;

protected:
    afx_msg LRESULT OnRun(WPARAM, LPARAM)
    {
        ++runs;
        queryText = pPage->GetQueryText();
        params.RemoveAll();
        POSITION pos = pPage->m_Parameters.GetStartPosition();
        while (pos) {
            CString key, value;
            pPage->m_Parameters.GetNextAssoc(pos, key, value);
            params.SetAt(key, value);
        }
        searchString.Empty();
        params.Lookup("SEARCHSTRING", searchString);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRunTarget, CWnd)
    ON_MESSAGE(CAdvancedSearch::kRunSearchMessage, &CRunTarget::OnRun)
END_MESSAGE_MAP()

// One field of a test location.
struct FieldSpec
{
    std::string label, name, type, pattern, options, forceDefault;
};

std::string Escape(const std::string& text)
{
    return std::string(EscapeXml(CString(text.c_str())).GetString());
}

std::string LocationXml(const std::vector<FieldSpec>& fields, const char* notes = nullptr, const char* help = nullptr,
                        const char* labelWidth = nullptr)
{
    std::string xml = "<SearchLocation UID='T'><Advanced>";
    if (labelWidth)
        xml += std::string("<Settings LabelWidth='") + labelWidth + "'/>";
    if (notes)
        xml += std::string("<Notes>") + notes + "</Notes>";
    if (help)
        xml += std::string("<HelpLink URL='") + help + "'/>";
    xml += "<SearchFields>";
    for (const FieldSpec& f : fields) {
        xml += "<Field Label=\"" + Escape(f.label) + "\" Name='" + f.name + "'";
        if (!f.type.empty())
            xml += " Type='" + f.type + "'";
        if (!f.forceDefault.empty())
            xml += " ForceDefault='" + f.forceDefault + "'";
        xml += ">";
        if (!f.pattern.empty())
            xml += "<Template>" + Escape(f.pattern) + "</Template>";
        if (!f.options.empty())
            xml += "<Options>" + f.options + "</Options>";
        xml += "</Field>";
    }
    xml += "</SearchFields></Advanced></SearchLocation>";
    return xml;
}

// n edit fields named F0, F1, ... with the pattern "Fi=[FIELDDATA]".
std::vector<FieldSpec> EditFields(int n)
{
    std::vector<FieldSpec> fields;
    for (int i = 0; i < n; ++i) {
        const std::string name = "F" + std::to_string(i);
        fields.push_back({"Label " + std::to_string(i), name, "Edit", name + "=[FIELDDATA]", "", ""});
    }
    return fields;
}

const char kKindOptions[] = "<Option Value='A1'>Application</Option><Option Value='B1'>Grant</Option>";

class AdvancedPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ::DeleteFileA(QueryFile());
        ASSERT_TRUE(Open());
    }
    void TearDown() override
    {
        Close();
        ::DeleteFileA(QueryFile());
        CoUninitialize();
    }

    static CString QueryFile() { return GetAppDirectoryForTest() + "\\advancedquery.xml"; }
    static CString GetAppDirectoryForTest()
    {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        CString folder(path);
        return folder.Left(folder.ReverseFind('\\'));
    }

    // A fresh page object in a fresh sheet: a restart of the page.
    bool Open()
    {
        host = std::make_unique<CTestHost>();
        sheet = std::make_unique<CMyPropertySheet>();
        target = std::make_unique<CRunTarget>();
        if (!host->CreateHost("Advanced Search", 0, 0, 760, 560))
            return false;
        CRect client;
        host->GetClientRect(&client);
        if (!sheet->Create(IDD_PROPERTY_SHEET, host.get()))
            return false;
        sheet->MoveWindow(&client);
        page = std::make_unique<CAdvancedSearch>();
        if (!page->Create(IDD_ADVANCED_SEARCH, sheet.get()))
            return false;
        sheet->AddPage("Advanced Search", page.get(), 0, look::kPanelBackground, look::kPanelBackground);
        sheet->InitSheet();
        target->CreateEx(0, "STATIC", "target", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
        target->pPage = page.get();
        page->m_hOwner = target->m_hWnd;
        PumpMessages();
        return true;
    }
    void Close()
    {
        if (page && page->m_hWnd)
            page->DestroyWindow();
        page.reset();
        if (target && target->m_hWnd)
            target->DestroyWindow();
        if (sheet && sheet->m_hWnd)
            sheet->DestroyWindow();
        if (host && host->m_hWnd)
            host->DestroyWindow();
        target.reset();
        sheet.reset();
        host.reset();
    }
    void Restart()
    {
        Close();
        ASSERT_TRUE(Open());
    }

    // What the pane does on a change of location, in its order.
    void ShowLocation(int index, const std::string& xml)
    {
        docs.push_back(CreateDomDocument());
        IXMLDOMDocument2Ptr doc = docs.back();
        ASSERT_EQ(doc->loadXML(_bstr_t(xml.c_str())), VARIANT_TRUE) << xml;
        page->m_nPreviousLocationIndex = page->m_nLocationIndex;
        page->m_nLocationIndex = index;
        page->FillSavedQueryCombo();
        page->ApplySettings(doc->selectSingleNode(L"/SearchLocation/Advanced/Settings"));
        page->BuildSearchFields(doc->selectNodes(L"/SearchLocation/Advanced/SearchFields/Field"));
        page->RestoreFieldValues();
        page->SetNotes(doc->selectSingleNode(L"/SearchLocation/Advanced/Notes"));
        page->SetHelpLink(doc->selectSingleNode(L"/SearchLocation/Advanced/HelpLink"));
        PumpMessages();
    }

    CMyEdit& Edit(size_t i) { return *page->Edits()[i]; }
    CMyComboBox& Combo(size_t i) { return *page->Combos()[i]; }
    CRect RectOf(CWnd& wnd)
    {
        CRect rect;
        wnd.GetWindowRect(&rect);
        page->ScreenToClient(&rect);
        return rect;
    }
    void ChooseSavedQuery(int index)
    {
        page->SavedQueryCombo().SetCurSel(index);
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADV_SAVED_QUERIES, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(page->SavedQueryCombo().m_hWnd));
    }
    CString SavedQueryItem(int index)
    {
        CString text;
        page->SavedQueryCombo().GetLBText(index, text);
        return text;
    }
    // Save with the title typed into the query-title dialog; then is run on the next dialog
    // that shows (a message box after the save), when given.
    void SaveAs(const char* title, std::function<void(HWND)> then = nullptr)
    {
        testsupport::WhenDialogShows(
            [title, then](HWND hDialog) {
                ::SetDlgItemTextA(hDialog, IDC_QUERY_TITLE, title);
                if (then)
                    testsupport::WhenDialogShows(then, nullptr, hDialog);
                testsupport::PressDialogButton(hDialog, IDOK);
            },
            "Search Query");
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADV_SAVE, BN_CLICKED), 0);
    }

    std::unique_ptr<CTestHost> host;
    std::unique_ptr<CMyPropertySheet> sheet;
    std::unique_ptr<CAdvancedSearch> page;
    std::unique_ptr<CRunTarget> target;
    std::vector<IXMLDOMDocument2Ptr> docs;
};

TEST_F(AdvancedPageTest, FieldsInTwoColumnsWithTheirGeometry)
{
    std::vector<FieldSpec> fields = EditFields(5);
    ShowLocation(0, LocationXml(fields));
    const int bottom = page->GetStartSearchRect().bottom;
    ASSERT_EQ(page->Edits().size(), 5u);
    // Creation (and tab) order: the left column top down, then the right column.
    const int order[] = {0, 2, 4, 1, 3};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(Edit(i).GetFieldId(), order[i]);
    // The grid ends with the row after the last right-column row; without notes the
    // scrollable content ends at the fields-bottom mark, 55 pixels below.
    EXPECT_EQ(page->GetFieldsBottom(), bottom + 97 + 50 + 55);
    EXPECT_EQ(page->GetContentRect().bottom, page->GetFieldsBottom());

    CRect client;
    page->GetClientRect(&client);
    const int L = page->GetLabelWidth();
    const int C = (client.Width() - 2 * L - 32) / 2;
    EXPECT_EQ(RectOf(Edit(0)), CRect(L + 4, bottom + 76, L + 4 + C, bottom + 92));
    EXPECT_EQ(RectOf(Edit(2)), CRect(L + 4, bottom + 126, L + 4 + C, bottom + 142));
    EXPECT_EQ(RectOf(Edit(3)).left, L + 4 + C + 20 + L + 4);
    EXPECT_EQ(RectOf(Edit(4)).top, bottom + 101);
    EXPECT_EQ(RectOf(*page->Labels()[3]), CRect(L + 4 + C + 20, bottom + 72, L + 4 + C + 20 + L, bottom + 97));
    // Start Search at the top right corner.
    EXPECT_EQ(page->GetStartSearchRect().right, client.right - 10);
    EXPECT_EQ(page->GetStartSearchRect().top, 0);

    ShowLocation(0, LocationXml(EditFields(4), nullptr, nullptr, "120px"));
    EXPECT_EQ(page->GetLabelWidth(), 120);
    EXPECT_EQ(page->GetFieldsBottom(), bottom + 97 + 50 + 55);
    EXPECT_EQ(RectOf(*page->Labels()[0]).Width(), 120);
}

TEST_F(AdvancedPageTest, ComboOptionsTheirDefaultAndOtherTypes)
{
    ShowLocation(2, LocationXml({{"Kind", "KD", "ComboBox", "kind=[FIELDDATA]", kKindOptions, "1"},
                                 {"Other kind", "KX", "ComboBox", "", kKindOptions, "0"},
                                 {"Just a label", "NONE", "Picture", "", "", ""},
                                 {"Number", "PN", "", "pn=[FIELDDATA]", "", ""}}));
    ASSERT_EQ(page->Combos().size(), 2u);
    ASSERT_EQ(page->Edits().size(), 1u);
    EXPECT_EQ(page->Labels().size(), 4u);
    EXPECT_EQ(Combo(0).GetCurSel(), 0);
    EXPECT_EQ(Combo(0).GetSelectedValue(), "A1");
    EXPECT_EQ(Combo(1).GetCurSel(), -1);
    EXPECT_EQ(Combo(1).GetSelectedValue(), "");
    EXPECT_EQ(Combo(1).GetCount(), 2);
}

TEST_F(AdvancedPageTest, ReferencedByLocksTheOtherEdits)
{
    std::vector<FieldSpec> fields = EditFields(3);
    fields[1] = {"Referenced By", "REFBY", "Edit", "REF/[FIELDDATA]", "", ""};
    fields.push_back({"Kind", "KD", "ComboBox", "[FIELDDATA]", kKindOptions, ""});
    ShowLocation(0, LocationXml(fields));
    CMyEdit* refby = nullptr;
    for (auto& edit : page->Edits())
        if (edit->GetFieldId() == 1)
            refby = edit.get();
    ASSERT_NE(refby, nullptr);
    Edit(0).SetWindowText("kept?");
    Combo(0).SetCurSel(1);
    refby->SendMessage(WM_CHAR, '5', 0);
    EXPECT_EQ(WindowText(refby->m_hWnd), "5");
    EXPECT_EQ(WindowText(Edit(0).m_hWnd), "");
    EXPECT_EQ(Combo(0).GetCurSel(), 0);
    Edit(0).SendMessage(WM_CHAR, 'x', 0);
    EXPECT_EQ(WindowText(Edit(0).m_hWnd), "");
    refby->SendMessage(WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(WindowText(refby->m_hWnd), "");
    Edit(0).SendMessage(WM_CHAR, 'x', 0);
    EXPECT_EQ(WindowText(Edit(0).m_hWnd), "x");
}

TEST_F(AdvancedPageTest, EnterStartsTheSearchFromAnyEdit)
{
    std::vector<FieldSpec> fields = {{"Title", "TTL", "Edit", "TTL/([FIELDDATA])", "", ""},
                                     {"Number", "PN", "Edit", "PN/[FIELDDATA]", "", ""},
                                     {"Combine", "OP", "ComboBox", "[FIELDDATA]",
                                      "<Option Value=' AND '>All</Option><Option Value=' OR '>Any</Option>", "1"}};
    ShowLocation(0, LocationXml(fields));
    Edit(0).SetWindowText("Solar Cell");
    Edit(1).SetWindowText("6000000");
    Combo(0).SetCurSel(1);
    Edit(1).SetFocus();
    Edit(1).PostMessage(WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(100);
    ASSERT_EQ(target->runs, 1);
    EXPECT_EQ(WindowText(Edit(1).m_hWnd), "6000000");
    EXPECT_EQ(target->searchString, "TTL/(\"solar\" and \"cell\")PN/6000000 OR ");
    EXPECT_EQ(target->queryText, "TTL/(\"solar\" and \"cell\") OR PN/6000000");
    std::printf("QUERY checking path: %s\n", target->searchString.GetString());
}

TEST_F(AdvancedPageTest, BadBracketsShowABoxAndTheSearchStillRuns)
{
    ShowLocation(1, LocationXml({{"Title", "TTL", "Edit", "TTL/[FIELDDATA]", "", ""},
                                 {"Abstract", "ABST", "Edit", "ABST/[FIELDDATA]", "", ""}}));
    Edit(0).SetWindowText("(solar");
    Edit(1).SetWindowText("wind");
    std::vector<CString> boxes;
    testsupport::WhenDialogShows([&](HWND hBox) {
        boxes.push_back(testsupport::MessageBoxText(hBox));
        testsupport::PressDialogButton(hBox, IDOK);
    });
    page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADV_START_SEARCH, BN_CLICKED), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Bad bracket combination");
    ASSERT_EQ(target->runs, 1);
    EXPECT_EQ(target->searchString, "TTL/ABST/\"wind\"");
    EXPECT_EQ(target->queryText, "TTL/ AND ABST/\"wind\"");
}

TEST_F(AdvancedPageTest, TheOperatorPathAtTheEuropeanLocation)
{
    ShowLocation(2, LocationXml({{"Title", "TTL", "Edit", "ti=\"[FIELDDATA]\"", "", ""},
                                 {"Applicant", "PA", "Edit", "+pa=[FIELDDATA]", "", ""}}));
    Edit(0).SetWindowText("solar and wind");
    Edit(1).SetWindowText("acme or globex");
    page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADV_START_SEARCH, BN_CLICKED), 0);
    ASSERT_EQ(target->runs, 1);
    EXPECT_EQ(target->searchString, "ti=\"solar\" AND \"wind\"+pa=acme OR globex");
    std::printf("QUERY operator path: %s\n", target->searchString.GetString());
}

TEST_F(AdvancedPageTest, TextsKeptAcrossLocations)
{
    ShowLocation(0, LocationXml(EditFields(22)));
    for (int i = 0; i < 22; ++i) {
        CString text;
        text.Format("p%d", i);
        page->Edits()[static_cast<size_t>(i)]->SetWindowText(text);
    }
    ShowLocation(1, LocationXml(EditFields(19)));
    // Location 1 shares keys 0-3, 5-7, 9, 16-23 and 25 with location 0.
    EXPECT_EQ(page->GetEditText(0), "p0");
    EXPECT_EQ(page->GetEditText(4), "p4");   // key 5
    EXPECT_EQ(page->GetEditText(7), "p8");   // key 9 = location 0 position 8
    EXPECT_EQ(page->GetEditText(8), "");     // key 13, never stored
    EXPECT_EQ(page->GetEditText(10), "p12"); // key 16
    EXPECT_EQ(page->GetEditText(18), "p21"); // key 25
    ShowLocation(0, LocationXml(EditFields(22)));
    EXPECT_EQ(page->GetEditText(7), "p7");   // key 8, untouched by location 1
    EXPECT_EQ(page->GetEditText(12), "p12");
    ShowLocation(2, LocationXml(EditFields(10)));
    EXPECT_EQ(page->GetEditText(0), "p0");
    EXPECT_EQ(page->GetEditText(1), "");
    page->Edits()[1]->SetWindowText("epo slot");
    ShowLocation(0, LocationXml(EditFields(3)));
    ShowLocation(2, LocationXml(EditFields(10)));
    EXPECT_EQ(page->GetEditText(1), "epo slot");
}

TEST_F(AdvancedPageTest, LabelHelpNotesAndHelpButton)
{
    ShowLocation(0, LocationXml({{"Referenced By", "REFBY", "Edit", "", "", ""},
                                 {"Current US Classification", "CCL", "Edit", "", "", ""},
                                 {"Application Serial Number", "APN", "Edit", "", "", ""},
                                 {"Title", "TTL", "Edit", "", "", ""},
                                 {"Current US Classification", "CCL", "Edit", "", "", ""}},
                                "First line\\nsecond line", "http://help.example/adv"));
    const auto& labels = page->Labels();
    // Creation order: fields 0, 2, 4 on the left, then 1, 3 on the right.
    EXPECT_EQ(labels[0]->GetHelpMode(), 1);
    EXPECT_EQ(labels[0]->GetHelpText(), CAdvancedSearch::kReferencedByHelp);
    EXPECT_EQ(labels[1]->GetHelpText(), CAdvancedSearch::kPatentSerialHelp);
    EXPECT_EQ(labels[2]->GetHelpMode(), 0); // left column: a link
    EXPECT_EQ(labels[2]->GetHelpText(), CAdvancedSearch::kClassificationAddress);
    EXPECT_EQ(labels[3]->GetHelpMode(), 1); // right column: a box
    EXPECT_FALSE(labels[4]->IsLink());
    EXPECT_EQ(page->GetHelpAddress(), "http://help.example/adv");
    EXPECT_TRUE(page->GetDlgItem(IDC_ADV_HELP)->IsWindowVisible());
    CMyStatic* notes = static_cast<CMyStatic*>(page->GetDlgItem(IDC_ADV_NOTES));
    EXPECT_EQ(notes->GetText(), "First line\nsecond line");
    EXPECT_TRUE(page->GetDlgItem(IDC_ADV_QUERY_HELP)->IsWindowVisible());

    ShowLocation(1, LocationXml({{"Application Serial Number", "APN", "Edit", "", "", ""}}));
    EXPECT_EQ(page->Labels()[0]->GetHelpText(), CAdvancedSearch::kApplicationSerialHelp);
    EXPECT_FALSE(page->GetDlgItem(IDC_ADV_HELP)->IsWindowVisible());
    ShowLocation(2, LocationXml({{"Application Serial Number", "APN", "Edit", "", "", ""}}));
    EXPECT_FALSE(page->Labels()[0]->IsLink());
    EXPECT_FALSE(page->GetDlgItem(IDC_ADV_QUERY_HELP)->IsWindowVisible());
}

TEST_F(AdvancedPageTest, MoreFieldsThanThePageHoldsAreIgnored)
{
    ShowLocation(3, LocationXml(EditFields(60)));
    EXPECT_EQ(page->Edits().size(), static_cast<size_t>(CAdvancedSearch::kMaxFields));
    EXPECT_EQ(page->GetFieldsBottom(), page->GetStartSearchRect().bottom + 97 + 25 * 25 + 55);
}

// The patent location's form: 21 edits and 2 combos in the saved query's positions.
std::string PatentForm()
{
    std::vector<FieldSpec> fields = EditFields(21);
    fields.insert(fields.begin() + 1, {"Combine", "CO", "ComboBox", "", kKindOptions + std::string("<Option Value='X'>X</Option>"), "1"});
    fields.push_back({"Application type", "APT", "ComboBox", "", kKindOptions, "1"});
    return LocationXml(fields);
}

TEST_F(AdvancedPageTest, SavedQueriesSurviveRestartsAndDeleteKeepsTheComboInStep)
{
    const char* title = "Pumps & <valves> \"new\"";
    ShowLocation(0, PatentForm());
    ASSERT_EQ(page->Edits().size(), 21u);
    ASSERT_EQ(page->Combos().size(), 2u);
    Edit(0).SetWindowText("a < b & \"c\"");
    Edit(20).SetWindowText("last");
    // Combo 0 is the left column's application type, combo 1 the right column's combine.
    Combo(0).SetCurSel(1);
    Combo(1).SetCurSel(2);
    SaveAs(title);
    EXPECT_EQ(page->SavedQueryCombo().GetCount(), 2);
    EXPECT_EQ(page->SavedQueryCombo().GetCurSel(), 1);
    EXPECT_EQ(SavedQueryItem(1), title);
    ASSERT_TRUE(testsupport::FileExists(QueryFile()));

    for (int restart = 0; restart < 2; ++restart) {
        Restart();
        ShowLocation(0, PatentForm());
        ASSERT_EQ(page->SavedQueryCombo().GetCount(), 2 + restart);
        EXPECT_EQ(SavedQueryItem(1), title);
        ChooseSavedQuery(1);
        EXPECT_EQ(page->GetEditText(0), "a < b & \"c\"");
        EXPECT_EQ(page->GetEditText(20), "last");
        EXPECT_EQ(Combo(0).GetCurSel(), 1);
        EXPECT_EQ(Combo(1).GetCurSel(), 2);
        SaveAs("Second");
    }
    // Saved twice under "Second": one delete removes both, and the combo follows the list.
    ASSERT_EQ(page->SavedQueryCombo().GetCount(), 4);
    ChooseSavedQuery(2);
    page->SendMessage(WM_COMMAND, ID_ADVQUERY_DELETE, 0);
    ASSERT_EQ(page->SavedQueryCombo().GetCount(), 2);
    EXPECT_EQ(SavedQueryItem(1), title);
    EXPECT_EQ(page->SavedQueryCombo().GetCurSel(), 0);
    EXPECT_EQ(page->GetEditText(0), "");
    ChooseSavedQuery(1);
    EXPECT_EQ(page->GetEditText(20), "last");
    Restart();
    ShowLocation(0, PatentForm());
    EXPECT_EQ(page->SavedQueryCombo().GetCount(), 2);

    // An item without a record goes too: the fields are cleared and the file is written.
    page->SavedQueryCombo().AddString("Stray");
    ASSERT_TRUE(::DeleteFileA(QueryFile()));
    ChooseSavedQuery(2);
    Edit(0).SetWindowText("typed");
    page->SendMessage(WM_COMMAND, ID_ADVQUERY_DELETE, 0);
    ASSERT_EQ(page->SavedQueryCombo().GetCount(), 2);
    EXPECT_EQ(SavedQueryItem(1), title);
    EXPECT_EQ(page->SavedQueryCombo().GetCurSel(), 0);
    EXPECT_EQ(page->GetEditText(0), "");
    EXPECT_TRUE(testsupport::FileExists(QueryFile()));
    Restart();
    ShowLocation(0, PatentForm());
    EXPECT_EQ(page->SavedQueryCombo().GetCount(), 2);

    // Clear empties every edit and puts every combo and the saved-query combo first.
    ChooseSavedQuery(1);
    page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADV_CLEAR, BN_CLICKED), 0);
    EXPECT_EQ(page->GetEditText(0), "");
    EXPECT_EQ(Combo(0).GetCurSel(), 0);
    EXPECT_EQ(page->SavedQueryCombo().GetCurSel(), 0);
}

TEST_F(AdvancedPageTest, EuropeanQueriesAreListedButNotApplied)
{
    ASSERT_TRUE(testsupport::WriteBytes(QueryFile(),
                                        "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<advances>\r\n"
                                        "<location name=\"European Patent Office\">\r\n"
                                        "<advanced name=\"Ep one\">\r\n<field name=\"title\" type=\"edit\">wind</field>\r\n"
                                        "</advanced>\r\n</location>\r\n</advances>\r\n</saved>\r\n"));
    Restart();
    ShowLocation(2, LocationXml(EditFields(10)));
    ASSERT_EQ(page->SavedQueryCombo().GetCount(), 2);
    Edit(0).SetWindowText("typed");
    ChooseSavedQuery(1);
    EXPECT_EQ(page->GetEditText(0), "typed");
    EXPECT_EQ(page->SavedQueryCombo().GetCurSel(), 0);
    // Save at this location asks for a title and stores nothing.
    SaveAs("Not kept");
    EXPECT_EQ(page->SavedQueryCombo().GetCount(), 2);
}

TEST_F(AdvancedPageTest, AFailedWriteIsToldAndKeepsTheFile)
{
    ShowLocation(1, LocationXml(EditFields(19)));
    SaveAs("First");
    std::string before;
    ASSERT_TRUE(testsupport::ReadBytes(QueryFile(), before));
    testsupport::DataFileNotices notices;
    {
        // The file held open without sharing: the new text cannot take its place.
        testsupport::LockedFile lock(QueryFile());
        ASSERT_TRUE(lock.IsHeld());
        SaveAs("Second");
    }
    ASSERT_EQ(notices.Count(), 1u);
    EXPECT_EQ(notices.All()[0].text.Find("The saved Advanced Search queries could not be saved to\n" + QueryFile()), 0)
        << notices.All()[0].text.GetString();
    std::string after;
    ASSERT_TRUE(testsupport::ReadBytes(QueryFile(), after));
    EXPECT_EQ(after, before);
    EXPECT_EQ(page->SavedQueryCombo().GetCount(), 3); // kept for this visit
}

TEST_F(AdvancedPageTest, DeleteQueryIsGreyedWhileNoneIsSelected)
{
    ShowLocation(0, PatentForm());
    UINT state = 0xFFFF;
    bool seen = false;
    testsupport::AfterDelay(300, [&]() {
        HWND hMenu = testsupport::OwnMenuWindow();
        if (hMenu) {
            HMENU hPopup = reinterpret_cast<HMENU>(::SendMessageA(hMenu, MN_GETHMENU, 0, 0));
            state = ::GetMenuState(hPopup, 0, MF_BYPOSITION);
            seen = true;
        }
        ::EndMenu();
    });
    CRect rect;
    page->SavedQueryCombo().GetWindowRect(&rect);
    page->SendMessage(WM_RBUTTONDBLCLK, CThatComboBox::RequestContextMenu, MAKELPARAM(rect.left + 5, rect.top + 5));
    ASSERT_TRUE(seen);
    EXPECT_TRUE(state & MF_GRAYED);
}

TEST_F(AdvancedPageTest, ScreenshotWithASavedQueryApplied)
{
    std::vector<FieldSpec> fields = {
        {"Title", "TTL", "Edit", "TTL/([FIELDDATA])", "", ""},
        {"Combine", "CO", "ComboBox", "[FIELDDATA]", "<Option Value=' AND '>AND</Option><Option Value=' OR '>OR</Option>", "1"},
        {"Description", "SPEC", "Edit", "", "", ""},
        {"Inventor Name", "IN", "Edit", "", "", ""},
        {"Abstract", "ABST", "Edit", "", "", ""},
        {"Inventor City", "IC", "Edit", "", "", ""},
        {"Claims", "ACLM", "Edit", "", "", ""},
        {"Inventor State", "IS", "Edit", "", "", ""},
        {"Current US Classification", "CCL", "Edit", "", "", ""},
        {"Inventor Country", "ICN", "Edit", "", "", ""},
        {"International Classification", "ICL", "Edit", "", "", ""},
        {"Assignee Name", "AN", "Edit", "", "", ""},
        {"Application Type", "APT", "ComboBox", "", "<Option Value='1'>Utility</Option><Option Value='4'>Design</Option>", "1"},
        {"Referenced By", "REFBY", "Edit", "", "", ""},
    };
    ShowLocation(0, LocationXml(fields, "Fields are joined as the Combine box says.\\nDates as YYYYMMDD.",
                                "http://help.example/"));
    Edit(0).SetWindowText("solar cell");
    Edit(2).SetWindowText("(wind OR water) turbine");
    Edit(6).SetWindowText("Smith");
    Combo(0).SetCurSel(1);
    SaveAs("Turbines & panels");
    Restart();
    ShowLocation(0, LocationXml(fields, "Fields are joined as the Combine box says.\\nDates as YYYYMMDD.",
                                "http://help.example/"));
    ChooseSavedQuery(1);
    host->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    PumpMessages(std::getenv("HOLD") ? 8000 : 400);
    const char* build = std::getenv("ZENTROVA_BUILD");
    const CString path = CString(build ? build : "/tmp") + "/screenshots/advanced-search-saved-query.png";
    CString why;
    if (!testsupport::SaveScreenshot(path, &why))
        GTEST_SKIP() << "no screenshot: " << why.GetString();
    std::printf("screenshot: %s\n", path.GetString());
}

// ---------------------------------------------------------------- the query-title dialog

TEST(NewQueryDialog, RefusesBlanksEscapesTheTitleAndCancels)
{
    testsupport::InitControls();
    CNewQuery dialog;
    std::vector<CString> refusals;
    testsupport::WhenDialogShows(
        [&](HWND hDialog) {
            ::SetDlgItemTextA(hDialog, IDC_QUERY_TITLE, "   ");
            testsupport::WhenDialogShows(
                [&, hDialog](HWND hBox) {
                    refusals.push_back(testsupport::WindowText(hBox) + "|" + testsupport::MessageBoxText(hBox));
                    testsupport::PressDialogButton(hBox, IDOK);
                    ::SetDlgItemTextA(hDialog, IDC_QUERY_TITLE, "  a<b & \"c\" ");
                    testsupport::AfterDelay(50, [hDialog]() { testsupport::PressDialogButton(hDialog, IDOK); });
                },
                "Missing query", hDialog);
            testsupport::PressDialogButton(hDialog, IDOK);
        },
        "Search Query");
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0], "Missing query|Please enter a title for your query");
    EXPECT_EQ(dialog.m_strTitle, "a&lt;b &amp; &quot;c&quot;");
    EXPECT_EQ(dialog.m_strPlainTitle, "a<b & \"c\"");

    CNewQuery cancelled;
    testsupport::WhenDialogShows([](HWND hDialog) { testsupport::PressDialogButton(hDialog, IDCANCEL); },
                                 "Search Query");
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

TEST(NewQueryDialog, Screenshot)
{
    testsupport::InitControls();
    CNewQuery dialog;
    CString why;
    bool saved = false;
    const char* build = std::getenv("ZENTROVA_BUILD");
    const CString path = CString(build ? build : "/tmp") + "/screenshots/new-query-dialog.png";
    testsupport::WhenDialogShows(
        [&](HWND hDialog) {
            ::SetDlgItemTextA(hDialog, IDC_QUERY_TITLE, "Solar turbines");
            ::RedrawWindow(hDialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            PumpMessages(300);
            saved = testsupport::SaveScreenshot(path, &why);
            testsupport::PressDialogButton(hDialog, IDCANCEL);
        },
        "Search Query");
    dialog.DoModal();
    if (!saved)
        GTEST_SKIP() << "no screenshot: " << why.GetString();
    std::printf("screenshot: %s\n", path.GetString());
}

} // namespace
