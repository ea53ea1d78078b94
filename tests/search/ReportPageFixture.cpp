#include "ReportPageFixture.h"

#include "DataFiles.h"
#include "Look.h"
#include "ReportMessages.h"
#include "ReportTestSupport.h"
#include "WindowBench.h"
#include "resource.h"

#include <cstdlib>

using namespace testsupport;

namespace reporttest {

BoxAnswerer* BoxAnswerer::s_pCurrent = nullptr;
std::vector<CString> ReportPageTest::s_opened;

BoxAnswerer::BoxAnswerer()
{
    s_pCurrent = this;
    m_timer = SetTimer(nullptr, 0, 100, Tick);
}

BoxAnswerer::~BoxAnswerer()
{
    KillTimer(nullptr, m_timer);
    s_pCurrent = nullptr;
}

void CALLBACK BoxAnswerer::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    BoxAnswerer* self = s_pCurrent;
    if (!self)
        return;
    HWND box = FindThreadDialog();
    if (!box)
        return;
    ShownBox shown;
    shown.caption = WindowText(box);
    shown.text = MessageBoxText(box);
    self->boxes.push_back(shown);
    auto it = self->m_answers.find(shown.caption);
    const int button = it == self->m_answers.end() ? IDOK : it->second;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

void ReportPageTest::SetUp()
{
    FixtureTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    InstallReportRecipe();
    // The program's shipped options, whose SavePath the test points at its own folder.
    const char* build = std::getenv("ZENTROVA_BUILD");
    std::string options;
    ASSERT_TRUE(ReadBytes(CString(build) + "/bin/config2.cfg", options));
    ASSERT_TRUE(WriteBytes(GetAppDirectory() + "\\config2.cfg", options));
    DeleteFileA(GetAppDirectory() + "\\Reports.xml");
    m_save = m_dir.Path() + "\\";
    s_opened.clear();
    CSavedReport::s_pfnShellExecute = RecordOpen;

    m_hContainer = CreateMessageWindow("ZentrovaTestSearchPane", ContainerProc, &m_container);
    ASSERT_TRUE(m_host.CreateHost("Saved Reports", 20, 20, 720, 420, true));
    CRect client;
    m_host.GetClientRect(&client);
    ASSERT_TRUE(m_sheet.Create(IDD_PROPERTY_SHEET, &m_host));
    m_sheet.MoveWindow(&client);
    m_page = std::make_unique<CSavedReport>();
    ASSERT_EQ(m_page->m_Options.SetOptionValue("SavePath", m_save), 1);
    ASSERT_TRUE(m_page->Create(IDD_SAVED_REPORTS, &m_sheet));
    m_sheet.AddPage("Saved Reports", m_page.get(), 0, look::kPanelBackground, look::kPanelBackground);
    m_sheet.InitSheet();
    m_page->m_hContainer = m_hContainer;
    PumpMessages(100);
}

void ReportPageTest::TearDown()
{
    CSavedReport::s_pfnShellExecute = ::ShellExecuteA;
    if (m_host.m_hWnd)
        m_host.DestroyWindow();
    m_page.reset();
    DestroyWindow(m_hContainer);
    CoUninitialize();
}

SearchSession ReportPageTest::Session(const char* name, const char* mark, const char* client,
                                      std::vector<const char*> numbers)
{
    SearchSession session;
    session.strName = name;
    session.strMark = mark;
    session.strClient = client;
    for (const char* number : numbers) {
        SessionResult result;
        result.strNumber = number;
        result.strTitle = CString("Title of ") + number;
        session.results.Add(result);
    }
    return session;
}

bool ReportPageTest::RunReport(const SearchSession& session, DWORD timeoutMs)
{
    const int before = m_container.finished;
    m_page->StartReport(session);
    return PumpUntil([this, before] { return m_container.finished > before && !m_page->IsBusy(); }, timeoutMs);
}

void ReportPageTest::SelectRows(std::vector<int> rows)
{
    CListCtrl& list = m_page->m_List;
    for (int i = 0; i < list.GetItemCount(); ++i)
        list.SetItemState(i, 0, LVIS_SELECTED);
    for (int row : rows)
        list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}

CString ReportPageTest::StatusText() const
{
    return WindowText(m_page->m_Status.GetSafeHwnd());
}

HINSTANCE WINAPI ReportPageTest::RecordOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    s_opened.push_back(CString(verb) + " " + file);
    return reinterpret_cast<HINSTANCE>(42);
}

LRESULT CALLBACK ReportPageTest::ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* record = reinterpret_cast<ContainerRecord*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (record && message == UM_REPORT_PROGRESS) {
        record->progress.emplace_back(wParam, lParam);
        return 0;
    }
    if (record && message == UM_REPORT_FINISHED) {
        ++record->finished;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace reporttest
