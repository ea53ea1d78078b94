#include "SaveFilesTo.h"

#include "DataExchange.h"
#include "DialogBackground.h"
#include "FolderPicker.h"
#include "WinApp.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CSaveFilesTo, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_SAVE_FIND, &CSaveFilesTo::OnFind)
    ON_BN_CLICKED(IDC_SAVE_ALL_DOCUMENTS, &CSaveFilesTo::OnAllDocuments)
    ON_BN_CLICKED(IDC_SAVE_ONLY_PDF, &CSaveFilesTo::OnOnlyPdf)
    ON_BN_CLICKED(IDC_SAVE_ONLY_HTML, &CSaveFilesTo::OnOnlyHtml)
END_MESSAGE_MAP()

CSaveFilesTo::CSaveFilesTo(CWnd* pParent) : CDialog(IDD_SAVE_FILES_TO, pParent)
{
}

void CSaveFilesTo::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SAVE_ALL_DOCUMENTS, m_radioAllDocuments);
    DDX_Control(pDX, IDC_SAVE_ONLY_PDF, m_radioOnlyPdf);
    DDX_Control(pDX, IDC_SAVE_ONLY_HTML, m_radioOnlyHtml);
    DDX_Control(pDX, IDC_SAVE_FIND, m_buttonFind);
    DDX_Control(pDX, IDOK, m_buttonOK);
    DDX_Control(pDX, IDCANCEL, m_buttonCancel);
    DDX_Control(pDX, IDC_SAVE_PATH_LABEL, m_labelPath);
    DDX_Control(pDX, IDC_SAVE_PATH, m_editPath);
    DDX_Control(pDX, IDC_SAVE_OVERWRITE, m_checkOverwrite);
}

BOOL CSaveFilesTo::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_labelPath.SetText("Document Path");
    m_labelPath.SetTransparent(TRUE);
    m_labelPath.SetTextFormat(DT_RIGHT);
    m_labelPath.Initialize();

    PlaceBitmapButton(m_buttonFind, IDB_FIND_BUTTON, 53);
    PlaceBitmapButton(m_buttonCancel, IDB_CANCEL_BUTTON, 53);
    PlaceBitmapButton(m_buttonOK, IDB_OK_BUTTON, 36);

    CMyRadioButton* radios[] = {&m_radioAllDocuments, &m_radioOnlyPdf, &m_radioOnlyHtml};
    const char* texts[] = {"All Documents", "Only PDF Files", "Only HTML Files"};
    for (int i = 0; i < 3; ++i) {
        radios[i]->SetText(texts[i]);
        radios[i]->Initialize();
    }
    Choose(1, 0, 0);

    m_editPath.Initialize();
    m_checkOverwrite.SetText("Overwrite Existing Files");
    m_checkOverwrite.Initialize();
    m_checkOverwrite.SetCheck(0);

    GetClientRect(&m_rcClient);
    return TRUE;
}

BOOL CSaveFilesTo::OnEraseBkgnd(CDC* pDC)
{
    return PaintDialogBackground(pDC, *this, m_rcClient, kSaveFilesToInsets);
}

void CSaveFilesTo::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    GetClientRect(&m_rcClient);
}

int CSaveFilesTo::ShowMessageBox(const CString& strText, const char* caption, UINT nType)
{
    CWnd* pMain = AfxGetMainWnd();
    return ::MessageBoxA(pMain ? pMain->m_hWnd : nullptr, strText, caption, nType);
}

void CSaveFilesTo::OnFind()
{
    // A cancelled picker empties the field, as the picker answers.
    m_editPath.SetWindowText(CFolderPicker("Save Files To Which Folder?").Browse());
}

void CSaveFilesTo::Choose(int bAll, int bPdf, int bHtml)
{
    m_radioAllDocuments.SetCheck(bAll);
    m_radioOnlyPdf.SetCheck(bPdf);
    m_radioOnlyHtml.SetCheck(bHtml);
    m_bAllDocuments = bAll;
    m_bOnlyPdf = bPdf;
    m_bOnlyHtml = bHtml;
}

void CSaveFilesTo::OnAllDocuments()
{
    Choose(1, 0, 0);
}

void CSaveFilesTo::OnOnlyPdf()
{
    Choose(0, 1, 0);
}

void CSaveFilesTo::OnOnlyHtml()
{
    Choose(0, 0, 1);
}

void CSaveFilesTo::OnOK()
{
    m_editPath.GetWindowText(m_strPath);
    if (m_strPath.IsEmpty()) {
        ShowMessageBox("Please select a path where the selected documents will be saved.", "No path!",
                       MB_OK | MB_ICONERROR);
        return;
    }
    m_bOverwrite = m_checkOverwrite.GetCheck() == 1 ? 1 : 0;
    EndDialog(IDOK);
}
