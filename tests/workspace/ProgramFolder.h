// The real program in a program folder of its own: a temporary folder holding Zentrova.exe
// and its data files, the program started from there, its main window found, and the
// program closed as the user does; the program's windows driven from the test as the user
// drives them, and the base of the tests that let it download.
#pragma once

#include "FixtureServer.h"
#include "Msxml.h"
#include "WorkspaceTest.h"

#include <functional>
#include <string>

namespace workspacetest {

// "Z:" and the Unix path with backslashes.
CString WindowsPath(CString unixPath);
// A file of the build's program folder (build/bin/NAME), as a Windows path.
CString BuiltFile(const char* name);
// A file of the build folder (build/RELATIVE), as a Windows path.
CString BuildFile(const char* relative);

// Polls the condition every 200 ms until it holds (true) or the time is up (false).
bool WaitUntil(const std::function<bool()>& pred, DWORD ms);

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

// The folder whose PDFs the Linux-side check reads (the environment's ZENTROVA_PDF_CHECK),
// created; empty when none is set.
CString PdfCheckFolder();
// Copies the PDF into that folder under the name and lists it with its expected pages
// ("WxH,DARK,LIGHT;..." as tests/download/pdf_check.py reads them). Nothing without a folder.
void ListForPdfCheck(const CString& pdf, const CString& copyName, const CString& pages);

// A started program; ended by force when it still runs at the end of the test.
struct Started
{
    PROCESS_INFORMATION pi{};
    Started() = default;
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    ~Started();
    bool Ended(DWORD ms) const { return WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
};

class ProgramFolder
{
public:
    // The program with config2.cfg and Project.cfg from the build, in the temporary folder
    // or in a subfolder of it.
    explicit ProgramFolder(const char* subfolder = nullptr);

    // Copies another file of the build's program folder beside the program.
    void CopyBuilt(const char* name);
    void Start(Started& started, const char* args);

    // The main window of the started program, once it shows (null after the time-out).
    static HWND MainWindow(const Started& started, DWORD timeoutMs = 30000);
    // Closes the window as the user does and waits for the program to end.
    static bool Close(HWND hMain, const Started& started);

    // Starts the program minimised, waits for its window, closes it and answers the log.
    std::string RunMinimised();

    std::string Log() const;
    // An option of the program folder's config2.cfg ("<missing>" when it has no such key),
    // and the same option set to a value.
    CString Option(const char* key) const;
    void SetOption(const char* key, const CString& value);

    const CString& Path() const { return m_path; }
    CString File(const char* name) const { return m_path + "\\" + name; }

private:
    testsupport::TempDir m_dir;
    CString m_path;
};

// Tests that start the real program against their fixture server and let it download into a
// save folder of their own: the page judge, the file-wrapper library and the replacement
// page beside the program, the first-run defaults done, no sounds, a balloon per download.
class ProgramDownloadTest : public testsupport::FixtureTest
{
protected:
    void SetUp() override;
    void TearDown() override;

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
};

} // namespace workspacetest
