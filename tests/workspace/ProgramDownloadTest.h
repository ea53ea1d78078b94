// Driving the real program from a test as the user drives it (its controls found, numbers
// typed, list cells read across the process boundary), and the base of the tests that let it
// download into a save folder of their own, with the Linux-side check of its merged PDFs.
#pragma once

#include "FixtureServer.h"
#include "Msxml.h"
#include "ProgramFolder.h"

namespace workspacetest {

// A file of the build folder (build/RELATIVE), as a Windows path.
CString BuildFile(const char* relative);

// A window of the program: a descendant of the main window with that control id and class
// (for the quick-download box, the edit beside the "download now" button).
HWND ProgramControl(HWND hMain, int id, const char* className);
int RowCount(HWND hList);
// The text of a cell of a list view of another process.
CString ListItemText(HWND hList, int row, int column);
// The row of the list whose cell in that column holds the text; -1 when none does.
int FindListRow(HWND hList, int column, const CString& text);
// Types a number into the quick-download box as the user does and presses Enter.
void TypeNumber(HWND hBox, const char* number);
// True when a balloon of the program with that title shows.
bool BalloonShows(DWORD pid, const char* title);
// A shown top-level window with that caption, of the process (of any process for pid 0), once
// there is one; null after the time-out.
HWND ShownWindow(DWORD pid, const char* caption, DWORD timeoutMs);
// The text of a window of another process, and of a control of another process's dialog.
CString WindowText(HWND hWnd);
CString ControlText(HWND hDlg, int id);
// Presses a button of another program's dialog as the user does.
void PressButton(HWND hDlg, int id);
// A message box the program shows (a visible dialog with a message text and no menu); null
// when none shows.
HWND ProgramMessageBox(DWORD pid);

// The folder whose PDFs the Linux-side check reads (the environment's ZENTROVA_PDF_CHECK),
// created; empty when none is set.
CString PdfCheckFolder();
// Copies the PDF into that folder under the name and lists it with its expected pages
// ("WxH,DARK,LIGHT;..." as tests/download/pdf_check.py reads them). Nothing without a folder.
void ListForPdfCheck(const CString& pdf, const CString& copyName, const CString& pages);

// Tests that start the real program against their fixture server and let it download into a
// save folder of their own: the page judge, the file-wrapper library and the replacement
// page beside the program, the first-run defaults done, no sounds, a balloon per download.
class ProgramDownloadTest : public testsupport::FixtureTest
{
protected:
    void SetUp() override;
    void TearDown() override;
    // The download queue's test recipe with the fixture server's address, as the program's
    // Download.cfg; a failed download is not tried again.
    void InstallQueueRecipe();
    // Starts the program and finds its main window, its quick-download box, its document list
    // and its folder tree.
    void StartProgram(Started& run);

    IXMLDOMDocument2Ptr Project() const;
    // The record of that name in NEW DOWNLOADS; null when there is none.
    IXMLDOMNodePtr Record(const char* name) const;
    long Records() const;
    bool WaitForRecord(const char* name, DWORD ms = 60000) const;
    CString RecordAttribute(const char* name, const char* attribute) const;
    // The path of the record's merged PDF, checked to lie in the save folder, to be named
    // PDFNAME.pdf (the record's name when none is given) and to exist; empty (and a failure)
    // when not.
    CString FiledPdf(const char* name, const char* pdfName = nullptr) const;

    testsupport::TempDir m_save;
    ProgramFolder m_folder;
    HWND m_hMain = nullptr;
    HWND m_hBox = nullptr;
    HWND m_hList = nullptr;
    HWND m_hTree = nullptr;
};

// The same on the shipped recipe, with OPS keys that the fixture server knows.
class ShippedRecipeDownloadTest : public ProgramDownloadTest
{
protected:
    void SetUp() override;
};

} // namespace workspacetest
