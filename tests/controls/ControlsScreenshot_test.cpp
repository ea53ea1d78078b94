// A screenshot of the test dialog with its skinned controls and an open balloon, for review.
#include "BalloonHelp.h"
#include "SkinForm.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

TEST(ControlsScreenshot, SkinnedFormWithABalloon)
{
    testsupport::InitControls();
    CSkinFormDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_SKIN_FORM));
    dlg.SetWindowPos(&CWnd::wndTop, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    dlg.m_edit.m_bCueText = TRUE;
    dlg.m_edit.m_strCueText = "ENTER PATENT";
    dlg.m_tree.SetFocus();
    dlg.m_edit.UpdateCueText();
    dlg.m_editOther.SetWindowText("US7654321");
    dlg.m_values.AddItem("US", "United States");
    dlg.m_values.SetCurSel(0);
    dlg.m_check.SetCheck(1);
    dlg.m_radioImport.SetCheck(1);
    dlg.m_tree.SelectItem(dlg.m_hSamples);
    testsupport::PumpMessages(200);

    CRect rect;
    dlg.m_tree.GetItemRect(dlg.m_hSamples, &rect, TRUE);
    CPoint anchor(rect.right, rect.CenterPoint().y);
    dlg.m_tree.ClientToScreen(&anchor);
    dlg.ScreenToClient(&anchor);
    CBalloonHelp::LaunchBalloon("Cannot Delete Folder!",
                                "Please delete or move the current patent files before deleting folder.", anchor,
                                IDI_EXCLAMATION, 0x400 | 0x800, &dlg, "", 0);
    testsupport::PumpMessages(500);
    if (std::getenv("REDRAW")) dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    testsupport::PumpMessages(std::getenv("HOLD") ? 8000 : 500);

    const char* build = std::getenv("ZENTROVA_BUILD");
    CString path = CString(build ? build : "/tmp") + "/screenshots/controls-skinned-form.png";
    CString why;
    bool saved = testsupport::SaveScreenshot(path, &why);
    dlg.DestroyWindow();
    if (!saved)
        GTEST_SKIP() << "no screenshot: " << why.GetString();
    std::printf("screenshot: %s\n", path.GetString());
}

} // namespace
