#include "About.h"

#include "Look.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CAbout, CDialog)
    ON_WM_ERASEBKGND()
    ON_COMMAND(IDC_ABOUT_TEXT, &CAbout::OnText)
END_MESSAGE_MAP()

CAbout::CAbout(CWnd* pParent) : CDialog(IDD_ABOUT, pParent) {}

void CAbout::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_TEXT, m_Text);
    DDX_Control(pDX, IDOK, m_buttonOK);
}

BOOL CAbout::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetClientRect(&m_rectClient);
    m_Text.SetText("Zentrova International v4.0.2");
    m_Text.SetTransparent(TRUE);
    m_Text.Invalidate(TRUE);
    m_Text.Initialize();
    m_buttonOK.LoadBitmap(IDB_OK_BUTTON);
    return TRUE;
}

BOOL CAbout::OnEraseBkgnd(CDC* pDC)
{
    pDC->FillSolidRect(&m_rectClient, look::kPanelBackground);
    return TRUE;
}
