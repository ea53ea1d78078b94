#include "ReportPopupDialog.h"

#include "ReportMessages.h"
#include "resource.h"

namespace {

const char kExplanation[] =
    "Zentrova is currently generating your Search Report. This may take a few minutes as the first page of "
    "each patent is downloaded.  If you want to cancel this process, simply select the Cancel Report "
    "Generation button below.";

} // namespace

IMPLEMENT_DYNAMIC(CReportPopupDialog, CDialog)

BEGIN_MESSAGE_MAP(CReportPopupDialog, CDialog)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CReportPopupDialog::CReportPopupDialog(CWnd* pParent) : CDialog(IDD_REPORT_POPUP, pParent)
{
}

CReportPopupDialog::~CReportPopupDialog() = default;

void CReportPopupDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDCANCEL, m_Cancel);
    DDX_Control(pDX, IDC_RPT_EXPLANATION, m_Explanation);
    DDX_Control(pDX, IDC_RPT_HEADING, m_Heading);
}

BOOL CReportPopupDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_Cancel.LoadBitmap(IDB_CANCEL_BUTTON);
    m_Heading.SetTransparent(TRUE);
    m_Heading.Initialize();
    m_Heading.SetText("Generating Search Report ");
    m_Explanation.SetTransparent(TRUE);
    m_Explanation.Initialize();
    m_Explanation.SetText(kExplanation);
    return TRUE;
}

// The button, Escape and the close box: the owner cancels the run before the pop-up hides.
void CReportPopupDialog::OnCancel()
{
    ::SendMessageA(m_hOwner, UM_CANCEL_REPORT, 0, 0);
    ShowWindow(SW_HIDE);
}

BOOL CReportPopupDialog::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, RGB(236, 233, 216));
    return TRUE;
}
