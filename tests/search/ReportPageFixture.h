// The Saved Reports page in a sheet of its own, as the search pane shows it, over the test
// program's options (SavePath a temporary folder), with the report recipe installed; a
// recorder in place of the shell's "open", a stand-in for the search pane that records
// what the run reports to it, and an answerer for the message boxes the page shows.
#pragma once

#include "FixtureServer.h"
#include "MyPropertySheet.h"
#include "SavedReport.h"
#include "SheetHost.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace reporttest {

// One message box the page showed, and the button it was answered with.
struct ShownBox
{
    CString caption;
    CString text;
};

// Answers every message box of this thread while it lives: by its caption with the button
// given, any other with OK.
class BoxAnswerer
{
public:
    BoxAnswerer();
    ~BoxAnswerer();
    void Answer(const char* caption, int button) { m_answers[caption] = button; }
    std::vector<ShownBox> boxes;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static BoxAnswerer* s_pCurrent;
    std::map<CString, int> m_answers;
    UINT_PTR m_timer = 0;
};

// What the run sent the search pane.
struct ContainerRecord
{
    std::vector<std::pair<WPARAM, LPARAM>> progress;
    int finished = 0;
};

class ReportPageTest : public testsupport::FixtureTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A session of the numbers, each titled "Title of NUMBER".
    static SearchSession Session(const char* name, const char* mark, const char* client,
                                 std::vector<const char*> numbers);
    // Starts the run and handles messages until it has ended.
    bool RunReport(const SearchSession& session, DWORD timeoutMs = 60000);
    void SelectRows(std::vector<int> rows);
    CString Save() const { return m_save; }
    CString Reports() const { return m_save + "Reports"; }
    CString StatusText() const;

    testsupport::TempDir m_dir;
    CString m_save;
    CTestHost m_host;
    CMyPropertySheet m_sheet;
    std::unique_ptr<CSavedReport> m_page;
    HWND m_hContainer = nullptr;
    ContainerRecord m_container;

    static std::vector<CString> s_opened;  // files the page opened

private:
    static HINSTANCE WINAPI RecordOpen(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static LRESULT CALLBACK ContainerProc(HWND, UINT, WPARAM, LPARAM);
};

} // namespace reporttest
