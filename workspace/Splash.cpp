#include "Splash.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(CSplash, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
const UINT_PTR kCloseTimer = 1;
const UINT kShowMilliseconds = 3000;
} // namespace

CSplash::CSplash(CWnd* pParent) : CDialog(IDD_SPLASH, pParent) {}

void CSplash::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SPLASH_PICTURE, m_Picture);
}

BOOL CSplash::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowPos(nullptr, 0, 0, 500, 244, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowText("Zentrova International 4.0");
    m_Bitmap.LoadBitmap(IDB_SPLASH);
    m_Picture.SetBitmap(static_cast<HBITMAP>(m_Bitmap.m_hObject));
    SetTimer(kCloseTimer, kShowMilliseconds);
    return TRUE;
}

void CSplash::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kCloseTimer) {
        KillTimer(kCloseTimer);
        EndDialog(IDOK);
    }
    CDialog::OnTimer(nIDEvent);
}
