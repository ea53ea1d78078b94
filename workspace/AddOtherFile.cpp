#include "AddOtherFile.h"

#include "DataExchange.h"
#include "DialogBackground.h"
#include "FileDialog.h"
#include "resource.h"

namespace {

const PanelInsets kAddOtherFileInsets = {5, 5, 5, 5};

} // namespace

BEGIN_MESSAGE_MAP(CAddOtherFile, CDialog)
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_ADD_FILE_FIND, &CAddOtherFile::OnFind)
END_MESSAGE_MAP()

CAddOtherFile::CAddOtherFile(CWnd* pParent) : CDialog(IDD_ADD_OTHER_FILE, pParent) {}

void CAddOtherFile::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ADD_FILE_FIND, m_buttonFind);
    DDX_Control(pDX, IDCANCEL, m_buttonCancel);
    DDX_Control(pDX, IDOK, m_buttonOK);
    DDX_Control(pDX, IDC_ADD_FILE_PATH, m_editFile);
    DDX_Control(pDX, IDC_ADD_FILE_TITLE, m_editTitle);
    DDX_Control(pDX, IDC_ADD_FILE_PROMPT, m_labelPrompt);
    DDX_Control(pDX, IDC_ADD_FILE_PATH_LABEL, m_labelFile);
    DDX_Control(pDX, IDC_ADD_FILE_TITLE_LABEL, m_labelTitle);
}

BOOL CAddOtherFile::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_labelPrompt.SetText("Please select the file that you would like to add\nto the Zentrova directory.");
    m_labelFile.SetText("File");
    m_labelTitle.SetText("Title");
    for (CMyStatic* pLabel : {&m_labelPrompt, &m_labelFile, &m_labelTitle})
        pLabel->SetTransparent(TRUE);
    m_labelPrompt.SetTextFormat(0);
    m_labelFile.SetTextFormat(DT_RIGHT);
    m_labelTitle.SetTextFormat(DT_RIGHT);
    for (CMyStatic* pLabel : {&m_labelPrompt, &m_labelFile, &m_labelTitle})
        pLabel->Initialize();

    PlaceBitmapButton(m_buttonFind, IDB_FIND_BUTTON, 54);
    PlaceBitmapButton(m_buttonCancel, IDB_CANCEL_BUTTON, 54);
    PlaceBitmapButton(m_buttonOK, IDB_OK_BUTTON, 36);

    m_editFile.Initialize();
    m_editTitle.Initialize();
    GetClientRect(&m_rectClient);
    return TRUE;
}

BOOL CAddOtherFile::OnEraseBkgnd(CDC* pDC)
{
    return PaintDialogBackground(pDC, *this, m_rectClient, kAddOtherFileInsets);
}

void CAddOtherFile::OnFind()
{
    CFileDialog dialog(TRUE, "All Files", "*.*", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "All Files (*.*)|*.*||", this);
    if (dialog.DoModal() != IDOK)
        return;
    m_editFile.SetWindowText(dialog.GetPathName());
    m_strChosenFileName = dialog.GetFileName();
    m_strChosenPath = dialog.GetPathName();
}

CString CAddOtherFile::ExistingFilePath(const CString& typed)
{
    char full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(typed, sizeof full, full, nullptr);
    if (typed.IsEmpty() || length == 0 || length >= sizeof full)
        return CString();
    const DWORD attributes = ::GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return CString();
    return CString(full);
}

void CAddOtherFile::OnOK()
{
    CString typed;
    m_editFile.GetWindowText(typed);
    if (!typed.IsEmpty() && typed != m_strChosenPath) {
        // A path typed (or changed) by hand counts when it names a file.
        const CString path = ExistingFilePath(typed);
        if (!path.IsEmpty()) {
            m_strChosenPath = path;
            m_strChosenFileName = path.Mid(path.ReverseFind('\\') + 1);
        } else {
            typed.Empty();
        }
    }
    if (typed.IsEmpty()) {
        CWnd* pOwner = m_pParentWnd ? m_pParentWnd->GetTopLevelParent() : nullptr;
        ::MessageBoxA(pOwner ? pOwner->m_hWnd : m_hWnd, "Please select a file.", "ERROR : No File!",
                      MB_OK | MB_ICONERROR);
        return;
    }
    m_editTitle.GetWindowText(m_strTitle);
    EndDialog(IDOK);
}
