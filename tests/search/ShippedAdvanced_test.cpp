// The Advanced Search page built from every search location of the shipped recipe, and an
// advanced query on the USPTO patents location typed into the page, checked, and run by a
// search thread against the fixture server's imitation of OPS.
#include "AdvancedSearch.h"

#include "DataFiles.h"
#include "FileCrypt.h"
#include "OpsTokenCache.h"
#include "SearchOwner.h"
#include "SheetHost.h"
#include "TextConversion.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace searchtest;

// The pane's side of a run: starts the search thread with the page's map, as the pane does.
class CPaneStandIn : public CWnd
{
public:
    CAdvancedSearch* pPage = nullptr;
    SearchOwner* pOwner = nullptr;
    CString recipePath;
    int tag = 0;
    CString searchString;

protected:
    afx_msg LRESULT OnRun(WPARAM, LPARAM)
    {
        std::vector<std::pair<CString, CString>> kept;
        POSITION pos = pPage->m_Parameters.GetStartPosition();
        while (pos) {
            CString key, value;
            pPage->m_Parameters.GetNextAssoc(pos, key, value);
            kept.emplace_back(key, value);
        }
        Inputs inputs;
        for (const auto& entry : kept)
            inputs.emplace_back(entry.first.GetString(), entry.second.GetString());
        pPage->m_Parameters.Lookup("SEARCHSTRING", searchString);
        tag = pOwner->Begin(recipePath, inputs);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaneStandIn, CWnd)
    ON_MESSAGE(CAdvancedSearch::kRunSearchMessage, &CPaneStandIn::OnRun)
END_MESSAGE_MAP()

CString Path(const char* format, const CString& uid)
{
    CString path;
    path.Format(format, uid.GetString());
    return path;
}

class ShippedAdvancedTest : public FixtureTest
{
protected:
    void SetUp() override
    {
        FixtureTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        const char* build = std::getenv("ZENTROVA_BUILD");
        const CString shipped = CString(build ? build : ".") + "/bin/Download.cfg";
        ASSERT_TRUE(CopyFileA(shipped, GetAppDirectory() + "\\Download.cfg", FALSE));
        CString text;
        CFileCrypt crypt;
        ASSERT_TRUE(crypt.ReadEncryptedFile(GetAppDirectory() + "\\Download.cfg", text));
        recipe = CreateDomDocument();
        ASSERT_EQ(recipe->loadXML(_bstr_t(text.GetString())), VARIANT_TRUE);

        ASSERT_TRUE(host.CreateHost("Advanced Search", 0, 0, 760, 560));
        CRect client;
        host.GetClientRect(&client);
        ASSERT_TRUE(sheet.Create(IDD_PROPERTY_SHEET, &host));
        sheet.MoveWindow(&client);
        ASSERT_TRUE(page.Create(IDD_ADVANCED_SEARCH, &sheet));
        sheet.AddPage("Advanced Search", &page, 0, look::kPanelBackground, look::kPanelBackground);
        sheet.InitSheet();
        pane.CreateEx(0, "STATIC", "pane", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
        pane.pPage = &page;
        page.m_hOwner = pane.m_hWnd;
        PumpMessages();
    }
    void TearDown() override
    {
        if (page.m_hWnd)
            page.DestroyWindow();
        if (pane.m_hWnd)
            pane.DestroyWindow();
        if (host.m_hWnd)
            host.DestroyWindow();
        recipe = nullptr;
        CoUninitialize();
    }

    // What the pane does when the location at the index is chosen.
    void ShowLocation(int index, const CString& uid)
    {
        page.m_nPreviousLocationIndex = page.m_nLocationIndex;
        page.m_nLocationIndex = index;
        page.FillSavedQueryCombo();
        page.ApplySettings(recipe->selectSingleNode(
            _bstr_t(Path("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/Settings", uid).GetString())));
        page.BuildSearchFields(recipe->selectNodes(
            _bstr_t(Path("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/SearchFields/Field", uid).GetString())));
        page.RestoreFieldValues();
        page.SetNotes(recipe->selectSingleNode(
            _bstr_t(Path("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/Notes", uid).GetString())));
        page.SetHelpLink(recipe->selectSingleNode(
            _bstr_t(Path("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/HelpLink", uid).GetString())));
        PumpMessages();
    }

    // The edit of the field with that Name at the location.
    CMyEdit* EditOf(const CString& uid, const char* name)
    {
        std::vector<IXMLDOMNodePtr> fields = SelectNodes(
            recipe, AnsiToUtf16(Path("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/SearchFields/Field", uid)).c_str());
        for (size_t i = 0; i < fields.size(); ++i) {
            CString fieldName;
            GetXmlAttribute(fields[i], "Name", fieldName);
            if (fieldName == name)
                for (auto& edit : page.Edits())
                    if (edit->GetFieldId() == static_cast<int>(i))
                        return edit.get();
        }
        return nullptr;
    }

    IXMLDOMDocument2Ptr recipe;
    CTestHost host;
    CMyPropertySheet sheet;
    CAdvancedSearch page;
    CPaneStandIn pane;
};

TEST_F(ShippedAdvancedTest, ThePageIsBuiltFromEveryShippedLocation)
{
    std::vector<IXMLDOMNodePtr> locations = SelectNodes(recipe, L"/ParsingInformation/SearchLocation");
    ASSERT_GE(locations.size(), 3u);
    for (size_t index = 0; index < locations.size(); ++index) {
        CString uid, name;
        GetXmlAttribute(locations[index], "UID", uid);
        GetXmlAttribute(locations[index], "Name", name);
        std::vector<IXMLDOMNodePtr> fields = SelectNodes(locations[index], L"Advanced/SearchFields/Field");
        size_t edits = 0, combos = 0;
        for (IXMLDOMNodePtr field : fields) {
            CString type;
            GetXmlAttribute(field, "Type", type);
            if (type.IsEmpty() || type == "Edit")
                ++edits;
            else if (type == "ComboBox")
                ++combos;
        }
        ShowLocation(static_cast<int>(index), uid);
        EXPECT_EQ(page.Labels().size(), fields.size()) << uid.GetString();
        EXPECT_EQ(page.Edits().size(), edits) << uid.GetString();
        EXPECT_EQ(page.Combos().size(), combos) << uid.GetString();
        for (auto& combo : page.Combos())
            EXPECT_GT(combo->GetCount(), 0) << uid.GetString();
        std::printf("LOCATION %s (%s): %zu fields, %zu edits, %zu combos, label width %d\n", uid.GetString(),
                    name.GetString(), fields.size(), edits, combos, page.GetLabelWidth());
    }
}

TEST_F(ShippedAdvancedTest, AnAdvancedQueryOnUsPatentsFindsRows)
{
    COpsTokenCache::GetToken();
    FixtureReset();
    const CString uid = "USPTOPATENTSEARCH";
    ShowLocation(0, uid);
    CMyEdit* title = EditOf(uid, "TTL");
    CMyEdit* issued = EditOf(uid, "ISD");
    ASSERT_NE(title, nullptr);
    ASSERT_NE(issued, nullptr);
    title->SetWindowText("Fastening Element");
    issued->SetWindowText("20110101 20111231");

    SearchOwner owner;
    pane.pOwner = &owner;
    pane.recipePath = Path("/ParsingInformation/SearchLocation[@UID='%s']/Advanced/ProcessConfiguration", uid);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADV_START_SEARCH, BN_CLICKED), 0);
    ASSERT_NE(pane.tag, 0);
    owner.m_onReport = [&owner](const Report& r) {
        if (r.page)
            owner.Thread()->Stop(); // one range of rows is enough
    };
    ASSERT_TRUE(owner.WaitForEnd(pane.tag, 60000));
    std::vector<CString> pages = owner.PagesOf(pane.tag);
    ASSERT_FALSE(pages.empty());
    EXPECT_NE(pages[0].Find("<PATNUM>US8000001B2</PATNUM>"), -1) << pages[0].GetString();
    std::printf("ADVANCED SEARCHSTRING %s\n", pane.searchString.GetString());
    std::printf("ADVANCED DISPLAY %s\n", page.GetQueryText().GetString());
    for (const CString& target : Targets("/published-data/search"))
        std::printf("ADVANCED REQUEST %s\n", target.GetString());
}

} // namespace
