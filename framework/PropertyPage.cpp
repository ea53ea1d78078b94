#include "PropertyPage.h"

#include "WinApp.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

namespace {

CString LoadCaption(UINT nIDCaption)
{
    char buf[256];
    int n = nIDCaption ? ::LoadStringA(AfxGetResourceHandle(), nIDCaption, buf, sizeof buf) : 0;
    return n > 0 ? CString(buf, n) : CString();
}

} // namespace

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
    : CDialog(nIDTemplate), m_strCaption(LoadCaption(nIDCaption))
{
}

CPropertyPage::CPropertyPage(const char* lpszTemplateName, UINT nIDCaption)
    : CDialog(lpszTemplateName), m_strCaption(LoadCaption(nIDCaption))
{
}

void CPropertyPage::OnOK()
{
    UpdateData(TRUE);
}

void CPropertyPage::OnCancel()
{
}
