// The real program with the recipe it ships (build/bin/Download.cfg) against the recorded
// answers of the real OPS service that the fixture server serves: EP2400812A1 sent by a
// browser toolbar files with its English title, its epodoc names with blanks where OPS writes
// an EN SPACE, and eighteen A4 pages, while its token expires twice among the pages; a Basic
// Search on each location pages through result pages of real size and lists a title on every
// row, the original one where a result has no English title. The merged PDF is listed for the
// Linux-side check (workspace_real_answers_pdf_check: qpdf, pdfinfo, pdftoppm); the record and
// the searches' figures are printed (lines starting "RECORD" and "FIGURE"). The test shares the
// program's mutex and registry key with every other start of the program, so CTest runs it
// alone.
#include "WorkspaceTest.h"

#include "ToolbarClient.h"

#include "FixtureServer.h"
#include "ProgramDownloadTest.h"
#include "WindowBench.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <vector>

using namespace testsupport;
using namespace workspacetest;

namespace {

const char kOriginalTitle[] = "ENERGILAGRINGSSYSTEM";

class RealAnswersProgramTest : public ShippedRecipeDownloadTest
{
};

// The first combo box of the page with that many entries: a field's list of indexes.
HWND FieldCombo(HWND hPage, int entries)
{
    for (HWND h = FindWindowExA(hPage, nullptr, "ComboBoxEx32", nullptr); h;
         h = FindWindowExA(hPage, h, "ComboBoxEx32", nullptr)) {
        if (SendMessageA(h, CB_GETCOUNT, 0, 0) == entries)
            return h;
    }
    return nullptr;
}

} // namespace

TEST_F(RealAnswersProgramTest, ARecordedDocumentFromTheToolbarFilesWithItsTitleNamesAndA4Pages)
{
    const CString check = PdfCheckFolder();
    if (!check.IsEmpty())
        ::DeleteFileA(check + "\\outputs.txt");
    SystemIdScope systemId(kSystemId);
    Started run;
    m_folder.Start(run, "");
    HWND hMain = ProgramFolder::MainWindow(run);
    ASSERT_NE(nullptr, hMain) << m_folder.Log();
    HWND hList = ProgramControl(hMain, IDC_DOCUMENT_LIST, "SysListView32");
    ASSERT_NE(nullptr, hList);

    // The token expires after the third page and again after the eighth.
    FixtureExpireTokensAfter(6, 5);
    {
        Toolbar toolbar;
        ASSERT_TRUE(toolbar.Connected());
        EXPECT_EQ(40u, toolbar.Greeting().size());
        toolbar.Send(ToolbarRequest(kSystemId, "EP2400812A1", -1));
        EXPECT_TRUE(toolbar.ClosedByProgram());
    }
    ASSERT_TRUE(WaitForRecord("EP2400812A1", 90000)) << m_folder.Log();
    const CString inventors = "HERRALA SAMI [FI]; KYLMAENEN JARI [FI]; NIEMI JAAKKO [FI]";
    const CString applicant = "9SOLUTIONS OY [FI]";
    EXPECT_EQ(CString("BLUETOOTH NETWORKING"), RecordAttribute("EP2400812A1", "DocumentTitle"));
    EXPECT_EQ(inventors, RecordAttribute("EP2400812A1", "DocumentInventor"));
    EXPECT_EQ(applicant, RecordAttribute("EP2400812A1", "DocumentAssignee"));
    IXMLDOMNodePtr record = Record("EP2400812A1");
    ASSERT_NE(nullptr, record);
    std::printf("RECORD EP2400812A1:\n    %s\n", ToAnsi(record->Getxml()).GetString());

    // Two renewals, each followed by the page that was refused.
    const std::vector<LoggedRequest> tokens = FixtureLog("/auth/accesstoken");
    EXPECT_EQ(3u, tokens.size()) << "the first token and two renewals";
    EXPECT_EQ(18u + 2u, FixtureLog("images/EP/2400812/A1/fullimage.tiff").size());

    const CString pdf = FiledPdf("EP2400812A1", "EP2400812");
    if (!pdf.IsEmpty()) {
        CString pages;
        for (int i = 0; i < 18; ++i)
            pages += CString(i ? ";" : "") + "595x842,,";
        ListForPdfCheck(pdf, "real-EP2400812A1.pdf", pages);
    }

    // The document list shows the names as stored.
    ASSERT_TRUE(WaitUntil([&] { return FindListRow(hList, 1, "EP2400812A1") >= 0; }, 10000));
    const int row = FindListRow(hList, 1, "EP2400812A1");
    EXPECT_EQ(CString("BLUETOOTH NETWORKING"), ListItemText(hList, row, 2));
    EXPECT_EQ("  " + inventors, ListItemText(hList, row, 3));
    EXPECT_EQ("  " + applicant, ListItemText(hList, row, 4));
    EXPECT_TRUE(ProgramFolder::Close(hMain, run)) << m_folder.Log();
}

TEST_F(RealAnswersProgramTest, BasicSearchOnEveryLocationListsRealSizePagesWithATitleOnEveryRow)
{
    Started run;
    m_folder.Start(run, "");
    HWND hMain = ProgramFolder::MainWindow(run);
    ASSERT_NE(nullptr, hMain) << m_folder.Log();

    SendMessageA(hMain, WM_COMMAND, IDC_SEARCH_BUTTON, 0);
    HWND hSession = ProgramControl(hMain, IDC_SEARCH_SESSION, "ComboBox");
    ASSERT_NE(nullptr, hSession);
    HWND hPane = GetParent(hSession);
    HWND hLocations = GetDlgItem(hPane, IDC_SEARCH_LOCATION);
    ASSERT_EQ(3, static_cast<int>(SendMessageA(hLocations, CB_GETCOUNT, 0, 0)));
    HWND hStart = ProgramControl(hMain, IDC_BASIC_START_SEARCH, "Button");
    ASSERT_NE(nullptr, hStart);
    HWND hBasic = GetParent(hStart);
    HWND hList = ProgramControl(hMain, IDC_RESULTS_LIST, "SysListView32");
    ASSERT_NE(nullptr, hList);

    // The US locations search the names with their field list ("Title, Abstract or Names"),
    // the European location's words are searched there anyway.
    const struct
    {
        const char* location;
        int fieldIndex;  // -1: the page has no field list
        const char* firstNumber;
    } locations[] = {{"USPTO Patents", 3, "US9500001B2"},
                     {"USPTO Published Applications", 3, "US2024100001A1"},
                     {"European Patent Office", -1, "EP3900001A1"}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(locations[i].location);
        SendMessageA(hLocations, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        SendMessageA(hPane, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_LOCATION, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(hLocations));
        HWND hEdit = FindWindowExA(hBasic, nullptr, "Edit", nullptr);
        ASSERT_NE(nullptr, hEdit);
        SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("siemens"));
        if (locations[i].fieldIndex >= 0) {
            HWND hField = FieldCombo(hBasic, 11);
            ASSERT_NE(nullptr, hField);
            SendMessageA(hField, CB_SETCURSEL, static_cast<WPARAM>(locations[i].fieldIndex), 0);
        }
        const DWORD start = GetTickCount();
        SendMessageA(hBasic, WM_COMMAND, MAKEWPARAM(IDC_BASIC_START_SEARCH, BN_CLICKED),
                     reinterpret_cast<LPARAM>(hStart));
        EXPECT_TRUE(WaitUntil([&] { return RowCount(hList) >= 150 && IsWindowEnabled(hStart); }, 90000))
            << RowCount(hList);
        const DWORD took = GetTickCount() - start;
        std::printf("FIGURE %s: %d rows in %lu ms\n", locations[i].location, RowCount(hList), took);

        ASSERT_EQ(150, RowCount(hList));
        EXPECT_EQ(CString(locations[i].firstNumber), ListItemText(hList, 0, 2));
        int original = 0;
        for (int r = 0; r < RowCount(hList); ++r) {
            const CString title = ListItemText(hList, r, 3);
            EXPECT_FALSE(title.IsEmpty()) << "row " << r << " " << ListItemText(hList, r, 2).GetString();
            original += title == kOriginalTitle ? 1 : 0;
        }
        EXPECT_EQ(50, original);
        FixtureReset();
    }

    CString why;
    const bool shot = SaveScreenshot(ScreenshotPath("real-answers-search-results.png"), &why);
    EXPECT_TRUE(ProgramFolder::Close(hMain, run)) << m_folder.Log();
    if (!shot)
        GTEST_SKIP() << why.GetString();
}
