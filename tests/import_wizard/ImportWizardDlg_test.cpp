// The wizard's window and its scan thread: closed while the thread is at a long step (as a
// long copy is), the window's object outlives the thread.
#include "ImportWizardDlg.h"
#include "TestSupport.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Longer than the ten seconds the end of the window once waited for its thread.
const DWORD kLongStepMs = 12000;

std::atomic<bool> g_stepStarted{false};
std::atomic<bool> g_stepEnded{false};

// The scan thread's first report takes the long step; the report itself then still goes to
// the window's object.
class CLongStepWizardDlg : public CImportWizardDlg
{
public:
    using CImportWizardDlg::CImportWizardDlg;

protected:
    void OnSearchText(const CString& text) override
    {
        if (!g_stepStarted.exchange(true)) {
            ::Sleep(kLongStepMs);
            g_stepEnded = true;
        }
        CImportWizardDlg::OnSearchText(text);
    }
};

} // namespace

TEST(ImportWizardDlgTest, ClosedDuringALongStepOfItsThreadTheWindowOutlivesTheThread)
{
    testsupport::InitControls();
    testsupport::TempDir folder;
    bool cancelled = false;
    {
        CLongStepWizardDlg dlg("Skelvane.exe VORTEMAP" + folder.Path());
        testsupport::WhenDialogShows([](HWND h) { testsupport::PressDialogButton(h, IDOK); },
                                     "Import Zentrova 2.0 Files");
        testsupport::WhenDialogShows(
            [&cancelled](HWND h) {
                cancelled = testsupport::PumpUntil([] { return g_stepStarted.load(); }, 5000);
                testsupport::PressDialogButton(h, IDCANCEL);
            },
            "Zentrova 3.0 v2.0 Import Wizard");
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
    }
    EXPECT_TRUE(cancelled) << "the scan thread started";
    EXPECT_TRUE(g_stepEnded) << "the thread ended before the window's object went";
}
