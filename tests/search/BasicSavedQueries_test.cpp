// The Basic Search page's saved queries in a sheet of its own: save, a new page object
// reading basicquery.xml (a restart), apply, delete, and titles and terms with & < > "
// that come back unchanged.
#include "BasicSearch.h"

#include "SheetHost.h"
#include "TestSupport.h"
#include "WindowBench.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using testsupport::PumpMessages;

// Two edits and three combos: the form a saved query of the first two locations keeps.
const char kFormLocation[] =
    "<SearchLocation><Basic><SearchFields>"
    "<Field Label='Term 1' Name='T1'><Template>a=[FIELDDATA]</Template></Field>"
    "<Field Label='Field 1' Name='C1' Type='ComboBox' ForceDefault='1'><Options>"
    "<Option Value='TTL'>Title</Option><Option Value='ABST'>Abstract</Option><Option Value='ACLM'>Claims</Option>"
    "</Options></Field>"
    "<Field Label='Term 2' Name='T2'><Template>b=[FIELDDATA]</Template></Field>"
    "<Field Label='Field 2' Name='C2' Type='ComboBox' ForceDefault='1'><Options>"
    "<Option Value='TTL'>Title</Option><Option Value='ABST'>Abstract</Option></Options></Field>"
    "<Field Label='Field 3' Name='C3' Type='ComboBox' ForceDefault='1'><Options>"
    "<Option Value='AND'>and</Option><Option Value='OR'>or</Option><Option Value='NOT'>not</Option>"
    "</Options></Field>"
    "</SearchFields></Basic></SearchLocation>";

class BasicSavedQueriesTest : public ::testing::Test
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

    static CString QueryFile()
    {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        CString folder(path);
        return folder.Left(folder.ReverseFind('\\')) + "\\basicquery.xml";
    }

    // A fresh page object in a fresh sheet: a restart of the page.
    bool Open()
    {
        host = std::make_unique<CTestHost>();
        sheet = std::make_unique<CMyPropertySheet>();
        if (!host->CreateHost("Basic Search", 0, 0, 760, 560))
            return false;
        CRect client;
        host->GetClientRect(&client);
        if (!sheet->Create(IDD_PROPERTY_SHEET, host.get()))
            return false;
        sheet->MoveWindow(&client);
        page = std::make_unique<CBasicSearch>();
        if (!page->Create(IDD_BASIC_SEARCH, sheet.get()))
            return false;
        sheet->AddPage("Basic Search", page.get(), 0, look::kPanelBackground, look::kPanelBackground);
        sheet->InitSheet();
        PumpMessages();
        return true;
    }
    void Close()
    {
        if (page && page->m_hWnd)
            page->DestroyWindow();
        page.reset();
        if (sheet && sheet->m_hWnd)
            sheet->DestroyWindow();
        if (host && host->m_hWnd)
            host->DestroyWindow();
        sheet.reset();
        host.reset();
    }
    void Restart()
    {
        Close();
        ASSERT_TRUE(Open());
    }

    // What the pane does on a change of location, in its order.
    void ShowLocation(int index, const char* xml)
    {
        doc = CreateDomDocument();
        ASSERT_EQ(doc->loadXML(_bstr_t(xml)), VARIANT_TRUE);
        page->m_nPreviousLocationIndex = page->m_nLocationIndex;
        page->m_nLocationIndex = index;
        page->FillSavedQueryCombo();
        page->BuildSearchFields(doc->selectNodes(L"/SearchLocation/Basic/SearchFields/Field"));
        page->RestoreFieldValues();
        PumpMessages();
        ASSERT_EQ(page->GetEdits().size(), 2u);
        ASSERT_EQ(page->GetCombos().size(), 3u);
    }

    CThatComboBox& Saved() { return page->GetSavedQueryCombo(); }
    CString SavedItem(int index)
    {
        CString text;
        Saved().GetLBText(index, text);
        return text;
    }
    void Choose(int index)
    {
        Saved().SetCurSel(index);
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BASIC_SAVED_QUERIES, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(Saved().m_hWnd));
    }
    void SaveAs(const char* title)
    {
        testsupport::WhenDialogShows(
            [title](HWND hDialog) {
                ::SetDlgItemTextA(hDialog, IDC_QUERY_TITLE, title);
                testsupport::PressDialogButton(hDialog, IDOK);
            },
            "Search Query");
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BASIC_SAVE, BN_CLICKED), 0);
    }
    void Fill(const char* term1, const char* term2, int c0, int c1, int c2)
    {
        page->GetEdits()[0]->SetWindowText(term1);
        page->GetEdits()[1]->SetWindowText(term2);
        page->GetCombos()[0]->SetCurSel(c0);
        page->GetCombos()[1]->SetCurSel(c1);
        page->GetCombos()[2]->SetCurSel(c2);
    }
    void ExpectForm(const char* term1, const char* term2, int c0, int c1, int c2)
    {
        EXPECT_EQ(page->GetEditText(0), term1);
        EXPECT_EQ(page->GetEditText(1), term2);
        EXPECT_EQ(page->GetCombos()[0]->GetCurSel(), c0);
        EXPECT_EQ(page->GetCombos()[1]->GetCurSel(), c1);
        EXPECT_EQ(page->GetCombos()[2]->GetCurSel(), c2);
    }

    std::unique_ptr<CTestHost> host;
    std::unique_ptr<CMyPropertySheet> sheet;
    std::unique_ptr<CBasicSearch> page;
    IXMLDOMDocument2Ptr doc;
};

TEST_F(BasicSavedQueriesTest, SaveRestartApplyAndDelete)
{
    const char* title = "Pumps & <valves> \"new\"";
    const char* term1 = "a < b & \"c\"";
    const char* term2 = "x > y";
    ShowLocation(1, kFormLocation);
    ASSERT_EQ(Saved().GetCount(), 1);  // "None" only without a file
    Fill(term1, term2, 2, -1, 1);
    SaveAs(title);
    EXPECT_EQ(Saved().GetCount(), 2);
    EXPECT_EQ(Saved().GetCurSel(), 1);
    ASSERT_TRUE(testsupport::FileExists(QueryFile()));

    // Two restarts: the escaped file reads back to the same texts each time.
    for (int restart = 0; restart < 2; ++restart) {
        Restart();
        ShowLocation(1, kFormLocation);
        ASSERT_EQ(Saved().GetCount(), 2);
        EXPECT_EQ(SavedItem(1), title);
        Choose(1);
        ExpectForm(term1, term2, 2, -1, 1);
        EXPECT_EQ(page->GetSavedQueries().List(1).size(), 1u);
    }
    // Another location's list is its own.
    ShowLocation(0, kFormLocation);
    EXPECT_EQ(Saved().GetCount(), 1);
    ShowLocation(1, kFormLocation);

    // Two more under one title: one delete removes both, the box follows the list and
    // "None" clears the form.
    Fill("p", "q", 1, 1, 0);
    SaveAs("Twice");
    SaveAs("Twice");
    ASSERT_EQ(Saved().GetCount(), 4);
    Choose(2);
    page->SendMessage(WM_COMMAND, ID_QUERY_DELETE, 0);
    ASSERT_EQ(Saved().GetCount(), 2);
    EXPECT_EQ(SavedItem(1), title);
    EXPECT_EQ(Saved().GetCurSel(), 0);
    ExpectForm("", "", 0, 0, 0);
    Choose(1);
    ExpectForm(term1, term2, 2, -1, 1);

    Restart();
    ShowLocation(1, kFormLocation);
    ASSERT_EQ(Saved().GetCount(), 2);
    Choose(1);
    page->SendMessage(WM_COMMAND, ID_QUERY_DELETE, 0);
    EXPECT_EQ(Saved().GetCount(), 1);
    Restart();
    ShowLocation(1, kFormLocation);
    EXPECT_EQ(Saved().GetCount(), 1);
    EXPECT_TRUE(page->GetSavedQueries().List(1).empty());
}

} // namespace
