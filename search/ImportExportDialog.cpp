#include "ImportExportDialog.h"

#include "DataExchange.h"
#include "GroupFrame.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CImportExportDialog, CDialog)
    ON_BN_CLICKED(IDOK, &CImportExportDialog::OnBnClickedOk)
    ON_BN_CLICKED(IDC_IMPEXP_IMPORT, &CImportExportDialog::OnImport)
    ON_BN_CLICKED(IDC_IMPEXP_EXPORT, &CImportExportDialog::OnExport)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CImportExportDialog::CImportExportDialog(CWnd* pParent) : CDialog(IDD_IMPORT_EXPORT_SESSION, pParent) {}

void CImportExportDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDCANCEL, m_buttonCancel);
    DDX_Control(pDX, IDOK, m_buttonOK);
    DDX_Control(pDX, IDC_IMPEXP_FRAME, m_labelFrame);
    DDX_Control(pDX, IDC_IMPEXP_EXPLANATION, m_labelExplanation);
    DDX_Control(pDX, IDC_IMPEXP_IMPORT, m_radioImport);
    DDX_Control(pDX, IDC_IMPEXP_EXPORT, m_radioExport);
}

BOOL CImportExportDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_labelExplanation.SetText("Please select whether you would like to import a Search Session or Export the current "
                               "session to a file.");
    m_labelExplanation.SetTransparent(TRUE);
    m_labelExplanation.Initialize();
    m_radioImport.SetText("Import search session");
    m_radioImport.Initialize();
    m_radioExport.SetText("Export search session");
    m_radioExport.Initialize();
    m_radioImport.SetCheck(1);
    m_radioExport.SetCheck(0);
    m_buttonCancel.LoadBitmap(IDB_CANCEL_BUTTON);
    m_buttonOK.LoadBitmap(IDB_OK_BUTTON);
    return TRUE;
}

void CImportExportDialog::OnImport()
{
    m_radioExport.SetCheck(0);
    m_radioImport.SetCheck(1);
}

void CImportExportDialog::OnExport()
{
    m_radioExport.SetCheck(1);
    m_radioImport.SetCheck(0);
}

void CImportExportDialog::OnBnClickedOk()
{
    UpdateData(TRUE);
    m_nChoice = m_radioExport.GetCheck() ? 1 : 0;
    EndDialog(IDOK);
}

BOOL CImportExportDialog::OnEraseBkgnd(CDC* pDC)
{
    return PaintGroupFrame(pDC, *this, IDC_IMPEXP_FRAME, "Search Session File");
}
