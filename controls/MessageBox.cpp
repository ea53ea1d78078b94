#include "MessageBox.h"

#include "resource.h"

IMPLEMENT_DYNAMIC(CMessageBox, CDialog)

CMessageBox::CMessageBox(CWnd* pParentWnd) : CDialog(IDD_MESSAGE_BOX, pParentWnd)
{
}

CMessageBox::~CMessageBox() = default;

void CMessageBox::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MESSAGE_TEXT, m_Message);
}

BOOL CMessageBox::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strCaption);
    m_Message.SetWindowText(m_strMessage);
    return TRUE;
}
