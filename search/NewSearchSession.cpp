#include "NewSearchSession.h"

#include "DataExchange.h"
#include "GroupFrame.h"
#include "SessionFile.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CNewSearchSession, CDialog)
    ON_BN_CLICKED(IDOK, &CNewSearchSession::OnBnClickedOk)
    ON_WM_ERASEBKGND()
    ON_EN_CHANGE(IDC_NEWSESS_PROJECT, &CNewSearchSession::OnEditChange)
    ON_EN_CHANGE(IDC_NEWSESS_INVENTION, &CNewSearchSession::OnEditChange)
    ON_EN_CHANGE(IDC_NEWSESS_CLIENT, &CNewSearchSession::OnEditChange)
END_MESSAGE_MAP()

CNewSearchSession::CNewSearchSession(CWnd* pParent) : CDialog(IDD_NEW_SEARCH_SESSION, pParent) {}

void CNewSearchSession::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NEWSESS_PROJECT, m_strProjectName);
    DDX_Text(pDX, IDC_NEWSESS_INVENTION, m_strInvention);
    DDX_Text(pDX, IDC_NEWSESS_CLIENT, m_strClientName);
    DDX_Control(pDX, IDC_NEWSESS_EXPLANATION, m_labelExplanation);
    DDX_Control(pDX, IDC_NEWSESS_FRAME, m_labelFrame);
    DDX_Control(pDX, IDC_NEWSESS_INVENTION_LABEL, m_labelInvention);
    DDX_Control(pDX, IDC_NEWSESS_CLIENT_LABEL, m_labelClient);
    DDX_Control(pDX, IDC_NEWSESS_PROJECT_LABEL, m_labelProject);
    DDX_Control(pDX, IDOK, m_buttonOK);
    DDX_Control(pDX, IDCANCEL, m_buttonCancel);
}

BOOL CNewSearchSession::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_strOpeningName = m_strProjectName;
    if (m_bEditMode)
        SetWindowText("Edit existing session");
    m_labelExplanation.SetText("Please enter a project name for your session. All of the patent search results that "
                               "you select (i.e. mark with a check) will be remembered for this session and you will "
                               "be able to generate a Report based upon these selected patents.");
    m_labelProject.SetText("Project:");
    m_labelClient.SetText("Client Name:");
    m_labelInvention.SetText("Invention:");
    m_labelFrame.SetText("");
    for (CMyStatic* pLabel : {&m_labelExplanation, &m_labelProject, &m_labelClient, &m_labelInvention, &m_labelFrame}) {
        pLabel->SetTransparent(TRUE);
        pLabel->Initialize();
    }
    m_buttonOK.LoadBitmap(IDB_OK_BUTTON);
    m_buttonCancel.LoadBitmap(IDB_CANCEL_BUTTON);
    if (CWnd* pProject = GetDlgItem(IDC_NEWSESS_PROJECT))
        pProject->SetFocus();
    return FALSE; // the focus is set
}

int CNewSearchSession::ShowMessageBox(const CString& strText, const char* caption, UINT nType)
{
    return g_pfnSessionMessageBox(m_hWnd, strText, caption, nType);
}

void CNewSearchSession::OnEditChange() {}

void CNewSearchSession::OnBnClickedOk()
{
    UpdateData(TRUE);
    m_strProjectName.TrimRight(' ');
    m_strProjectName.TrimLeft(' ');
    CWnd* pProject = GetDlgItem(IDC_NEWSESS_PROJECT);
    auto refuse = [&](const char* text, const char* caption) {
        ShowMessageBox(text, caption, MB_OK | MB_ICONINFORMATION);
        if (pProject)
            pProject->SetFocus();
    };
    if (m_strProjectName.IsEmpty()) {
        refuse("Please enter a project name", "Project name missing");
        return;
    }
    const bool keepsItsName = m_bEditMode && m_strProjectName == m_strOpeningName;
    if (!keepsItsName && m_pExistingSessions) {
        for (int i = 0; i < m_pExistingSessions->GetCount(); ++i) {
            CString entry;
            m_pExistingSessions->GetLBText(i, entry);
            if (entry == m_strProjectName) {
                refuse("A Search Session with this name already exists.\nPlease specify another name", "Session Name");
                return;
            }
        }
    }
    m_strProjectName = EscapeSessionText(m_strProjectName);
    m_strInvention = EscapeSessionText(m_strInvention);
    m_strClientName = EscapeSessionText(m_strClientName);
    EndDialog(IDOK);
}

BOOL CNewSearchSession::OnEraseBkgnd(CDC* pDC)
{
    return PaintGroupFrame(pDC, *this, IDC_NEWSESS_FRAME, "Session Data");
}
