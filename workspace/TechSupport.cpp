#include "TechSupport.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(CTechSupport, CDialog)
    ON_COMMAND(IDC_SUPPORT_WEB, &CTechSupport::OnWebLink)
END_MESSAGE_MAP()

const char* const CTechSupport::kSupportMail = "mailto:support@quendal.example";
const char* const CTechSupport::kSupportPage = "http://www.quendal.example/support";

CTechSupport::CTechSupport(CWnd* pParent) : CDialog(IDD_TECH_SUPPORT, pParent) {}

void CTechSupport::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SUPPORT_EMAIL, m_linkMail);
    DDX_Control(pDX, IDC_SUPPORT_WEB, m_linkWeb);
}

BOOL CTechSupport::OnInitDialog()
{
    CDialog::OnInitDialog();
    HCURSOR hHand = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_LINK_HAND));
    m_linkMail.SetURL(kSupportMail);
    m_linkMail.SetUnderline(TRUE);
    m_linkMail.SetLinkCursor(hHand);
    m_linkMail.SetAutoSize(TRUE);
    m_linkWeb.SetURL(kSupportPage);
    m_linkWeb.SetUnderline(TRUE);
    m_linkWeb.SetLinkCursor(hHand);
    m_linkWeb.SetAutoSize(TRUE);
    return TRUE;
}
