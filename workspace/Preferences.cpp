#include "Preferences.h"

#include "BalloonHelp.h"
#include "DataExchange.h"
#include "DialogBackground.h"
#include "FileDialog.h"
#include "FolderPicker.h"
#include "ProgramOptions.h"
#include "ProjectManagerContainer.h"
#include "WinApp.h"
#include "resource.h"

#include <shlobj.h>

#include <utility>

BEGIN_MESSAGE_MAP(CPreferences, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_MOUSEMOVE()
    ON_BN_CLICKED(IDC_PREF_SELECT_PATH, &CPreferences::OnSelectSavePath)
    ON_BN_CLICKED(IDC_PREF_FIND_SOUND_EACH, &CPreferences::OnFindSoundAfterDownload)
    ON_BN_CLICKED(IDC_PREF_FIND_SOUND_ALL, &CPreferences::OnFindSoundAfterAllDownloads)
    ON_BN_CLICKED(IDC_PREF_FIND_SOUND_ERROR, &CPreferences::OnFindSoundAfterError)
    ON_BN_CLICKED(IDC_PREF_MOVE, &CPreferences::OnMoveDocuments)
    ON_BN_CLICKED(IDC_PREF_NOTIFY_EACH, &CPreferences::OnNotifyEachDownload)
    ON_BN_CLICKED(IDC_PREF_NOTIFY_LAST, &CPreferences::OnNotifyLastDownload)
    ON_BN_CLICKED(IDC_PREF_NOTIFY_NEVER, &CPreferences::OnNotifyNever)
END_MESSAGE_MAP()

namespace {

const char kHeading[] = "Here you can adjust specific Zentrova settings. Adjust how and when Zentrova will notify "
                        "you of successful or failed downloads, and much more!";
const unsigned kBalloonOptions =
    CBalloonHelp::ShowCloseButton | CBalloonHelp::ShowInnerShadow | CBalloonHelp::ShowTopmost;

void InitLabel(CMyStatic& label, const char* text, UINT nFormat)
{
    label.SetText(text);
    label.SetTransparent(TRUE);
    label.SetTextFormat(nFormat);
    label.Initialize();
}

void InitCheck(CMyCheckboxButton& check, const char* text, bool bChecked)
{
    check.SetText(text);
    check.Initialize();
    check.SetCheck(bChecked ? 1 : 0);
}

void InitEdit(CMyEdit& edit, const CString& text)
{
    edit.Initialize();
    edit.SetWindowText(text);
}

CString Flag(const CMyCheckboxButton& check)
{
    return check.GetCheck() == 1 ? "1" : "0";
}

} // namespace

CPreferences::CPreferences(CWnd* pParent) : CDialog(IDD_PREFERENCES, pParent)
{
}

void CPreferences::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PREF_SAVE_PATH, m_editSavePath);
    DDX_Control(pDX, IDC_PREF_SOUND_EACH, m_editSoundAfterDownload);
    DDX_Control(pDX, IDC_PREF_SOUND_ALL, m_editSoundAfterAllDownloads);
    DDX_Control(pDX, IDC_PREF_SOUND_ERROR, m_editSoundAfterError);
    DDX_Control(pDX, IDC_PREF_ATTEMPTS, m_editAttempts);
    DDX_Control(pDX, IDC_PREF_WAIT, m_editWait);
    DDX_Control(pDX, IDC_PREF_PLAY_ALL, m_checkAllDownloadsSound);
    DDX_Control(pDX, IDC_PREF_PLAY_EACH, m_checkEachDownloadSound);
    DDX_Control(pDX, IDC_PREF_PLAY_ERROR, m_checkErrorSound);
    DDX_Control(pDX, IDC_PREF_RETRY, m_checkRetry);
    DDX_Control(pDX, IDC_PREF_HEADING, m_labelHeading);
    DDX_Control(pDX, IDC_PREF_ATTEMPTS_LABEL, m_labelAttempts);
    DDX_Control(pDX, IDC_PREF_WAIT_LABEL, m_labelWait);
    DDX_Control(pDX, IDC_PREF_MOVE_LABEL, m_labelMove);
    DDX_Control(pDX, IDC_PREF_PATH_LABEL, m_labelPath);
    DDX_Control(pDX, IDC_PREF_FIND_SOUND_EACH, m_buttonFindSoundAfterDownload);
    DDX_Control(pDX, IDC_PREF_FIND_SOUND_ALL, m_buttonFindSoundAfterAllDownloads);
    DDX_Control(pDX, IDC_PREF_FIND_SOUND_ERROR, m_buttonFindSoundAfterError);
    DDX_Control(pDX, IDC_PREF_SELECT_PATH, m_buttonSelect);
    DDX_Control(pDX, IDOK, m_buttonOK);
    DDX_Control(pDX, IDCANCEL, m_buttonCancel);
    DDX_Control(pDX, IDC_PREF_MOVE, m_buttonMove);
    DDX_Control(pDX, IDC_PREF_NOTIFY_EACH, m_radioNotifyEach);
    DDX_Control(pDX, IDC_PREF_NOTIFY_LAST, m_radioNotifyLast);
    DDX_Control(pDX, IDC_PREF_NOTIFY_NEVER, m_radioNotifyNever);
    DDX_Control(pDX, IDC_PREF_SESSION_DIALOG, m_checkSearchSession);
    DDX_Control(pDX, IDC_PREF_OPS_KEY_LABEL, m_labelOpsKey);
    DDX_Control(pDX, IDC_PREF_OPS_KEY, m_editOpsKey);
    DDX_Control(pDX, IDC_PREF_OPS_SECRET_LABEL, m_labelOpsSecret);
    DDX_Control(pDX, IDC_PREF_OPS_SECRET, m_editOpsSecret);
}

BOOL CPreferences::OnInitDialog()
{
    CDialog::OnInitDialog();
    CProgramOptions& options = *m_pOptions;
    GetClientRect(&m_rcClient);

    InitLabel(m_labelPath, "Document Path", DT_RIGHT);
    InitEdit(m_editSavePath, options.GetOptionValue("SavePath"));
    InitEdit(m_editSoundAfterDownload, options.GetOptionValue("SoundAfterDownloadPath"));
    InitEdit(m_editSoundAfterAllDownloads, options.GetOptionValue("SoundAfterAllDownloadsPath"));
    InitEdit(m_editSoundAfterError, options.GetOptionValue("SoundAfterErrorPath"));

    InitCheck(m_checkEachDownloadSound, "Play this sound when each download is finished.",
              options.GetBoolOption("PlaySoundAfterDownload"));
    InitCheck(m_checkAllDownloadsSound, "Play this sound only when all downloads are finished.",
              options.GetBoolOption("PlaySoundAfterAllDownloads"));
    InitCheck(m_checkErrorSound, "Play this sound when an error occurs.", options.GetBoolOption("PlaySoundAfterError"));
    // Exactly "1": this box reads its option without trimming.
    InitCheck(m_checkSearchSession, "Show Search Session Dialog", options.GetOptionValue("Showsearchsessiondialog") == "1");

    m_radioNotifyEach.SetText("Notify me with a Popup window when each download is finished.");
    m_radioNotifyLast.SetText("Notify me with a Popup window when the LAST download is finished.");
    m_radioNotifyNever.SetText("Do NOT notify me with a Popup window.");
    for (CMyRadioButton* pRadio : {&m_radioNotifyEach, &m_radioNotifyLast, &m_radioNotifyNever})
        pRadio->Initialize();
    ChooseNotification(options.GetIntOption("NotifyOfFinishedDownloadWhen"));

    InitLabel(m_labelHeading, kHeading, DT_WORDBREAK);
    InitCheck(m_checkRetry, "Retry failed downloads.", options.GetBoolOption("RetryFailedDownloads"));
    InitLabel(m_labelAttempts, "Number of attempts before failure", DT_WORDBREAK);
    InitLabel(m_labelWait, "Wait time between attempts (sec)", DT_WORDBREAK);
    InitLabel(m_labelMove, "Move all documents to this location", DT_RIGHT);

    InitEdit(m_editAttempts, options.GetOptionValue("NumberOfAttemptsBeforeFailure"));
    InitEdit(m_editWait, options.GetOptionValue("WaitTimeBetweenAttempts"));

    InitLabel(m_labelOpsKey, "Consumer key", DT_WORDBREAK);
    InitLabel(m_labelOpsSecret, "Consumer secret", DT_WORDBREAK);
    InitEdit(m_editOpsKey, options.GetOptionValue("OpsConsumerKey"));
    InitEdit(m_editOpsSecret, options.GetOptionValue("OpsConsumerSecret"));

    for (CHoverButton* pButton : {&m_buttonFindSoundAfterDownload, &m_buttonFindSoundAfterAllDownloads,
                                  &m_buttonFindSoundAfterError, &m_buttonSelect})
        PlaceBitmapButton(*pButton, IDB_FIND_BUTTON, 54);
    PlaceBitmapButton(m_buttonCancel, IDB_CANCEL_BUTTON, 54);
    PlaceBitmapButton(m_buttonOK, IDB_OK_BUTTON, 36);
    PlaceBitmapButton(m_buttonMove, IDB_MOVE_BUTTON, 54);
    return TRUE;
}

BOOL CPreferences::OnEraseBkgnd(CDC* pDC)
{
    return PaintDialogBackground(pDC, *this, m_rcClient, kPreferencesInsets);
}

void CPreferences::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    GetClientRect(&m_rcClient);
}

void CPreferences::OnMouseMove(UINT nFlags, CPoint point)
{
    m_ptMouse = point;
    CDialog::OnMouseMove(nFlags, point);
}

// ---------------------------------------------------------------- the checks of OK

bool CPreferences::ParseCount(CString text, int& nValue)
{
    text.Trim();
    if (text.IsEmpty() || text.GetLength() > 5)
        return false;
    int value = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    if (value < 1 || value > kMaxCount)
        return false;
    nValue = value;
    return true;
}

bool CPreferences::MakeFolder(const CString& strFolder)
{
    CString folder = strFolder;
    while (folder.GetLength() > 3 && folder.Right(1) == "\\")
        folder.Delete(folder.GetLength() - 1);
    const DWORD before = ::GetFileAttributesA(folder);
    if (before != INVALID_FILE_ATTRIBUTES)
        return (before & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // The shell makes every missing level and refuses a relative path.
    ::SHCreateDirectoryExA(nullptr, folder, nullptr);
    const DWORD after = ::GetFileAttributesA(folder);
    return after != INVALID_FILE_ATTRIBUTES && (after & FILE_ATTRIBUTE_DIRECTORY);
}

CWnd* CPreferences::MainWindow() const
{
    if (m_pProjectManager && m_pProjectManager->m_hWnd)
        return m_pProjectManager->GetTopLevelParent();
    return AfxGetMainWnd();
}

int CPreferences::ShowMessageBox(CWnd* pOwner, const CString& strText, const char* caption, UINT nType)
{
    return ::MessageBoxA(pOwner ? pOwner->m_hWnd : nullptr, strText, caption, nType);
}

void CPreferences::ShowBalloon(const char* caption, const CString& strText, const CPoint& ptAnchor, CWnd* pParent)
{
    CBalloonHelp::LaunchBalloon(caption, strText, ptAnchor, IDI_APPLICATION, kBalloonOptions, pParent, "", 30000);
}

CString CPreferences::CheckedDownloadFolder()
{
    CString folder;
    m_editSavePath.GetWindowText(folder);
    folder.Trim();
    if (folder.IsEmpty()) {
        ShowMessageBox(this, "Please enter the folder where new documents will be saved.", "Preferences",
                       MB_OK | MB_ICONEXCLAMATION);
        m_editSavePath.SetFocus();
        return CString();
    }
    if (!MakeFolder(folder)) {
        ShowMessageBox(this,
                       "The folder \"" + folder +
                           "\" cannot be created. Please choose a folder where new documents can be saved.",
                       "Preferences", MB_OK | MB_ICONEXCLAMATION);
        m_editSavePath.SetFocus();
        return CString();
    }
    if (folder.Right(1) != "\\")
        folder += "\\";
    return folder;
}

void CPreferences::OnOK()
{
    UpdateData(TRUE);
    struct Count
    {
        CMyEdit* pEdit;
        const char* text;
    };
    const Count counts[] = {
        {&m_editAttempts, "The number of attempts before failure must be a whole number from 1 to 99999."},
        {&m_editWait, "The wait time between attempts must be a whole number of seconds from 1 to 99999."},
    };
    CString values[2];
    for (int i = 0; i < 2; ++i) {
        CString text;
        counts[i].pEdit->GetWindowText(text);
        int value = 0;
        if (!ParseCount(text, value)) {
            ShowMessageBox(this, counts[i].text, "Preferences", MB_OK | MB_ICONEXCLAMATION);
            counts[i].pEdit->SetFocus();
            counts[i].pEdit->SetSel(0, -1);
            return;
        }
        values[i].Format("%d", value);
    }
    const CString folder = CheckedDownloadFolder();
    if (folder.IsEmpty())
        return;

    CProgramOptions& options = *m_pOptions;
    options.SetOptionValue("PlaySoundAfterDownload", Flag(m_checkEachDownloadSound));
    options.SetOptionValue("PlaySoundAfterAllDownloads", Flag(m_checkAllDownloadsSound));
    options.SetOptionValue("PlaySoundAfterError", Flag(m_checkErrorSound));
    options.SetOptionValue("Showsearchsessiondialog", Flag(m_checkSearchSession));
    options.SetOptionValue("RetryFailedDownloads", Flag(m_checkRetry));
    if (m_radioNotifyEach.GetCheck() == 1)
        options.SetOptionValue("NotifyOfFinishedDownloadWhen", "1");
    if (m_radioNotifyLast.GetCheck() == 1)
        options.SetOptionValue("NotifyOfFinishedDownloadWhen", "2");
    if (m_radioNotifyNever.GetCheck() == 1)
        options.SetOptionValue("NotifyOfFinishedDownloadWhen", "3");
    CString text;
    m_editSoundAfterDownload.GetWindowText(text);
    options.SetOptionValue("SoundAfterDownloadPath", text);
    m_editSoundAfterAllDownloads.GetWindowText(text);
    options.SetOptionValue("SoundAfterAllDownloadsPath", text);
    m_editSoundAfterError.GetWindowText(text);
    options.SetOptionValue("SoundAfterErrorPath", text);
    options.SetOptionValue("SavePath", folder);
    options.SetOptionValue("NumberOfAttemptsBeforeFailure", values[0]);
    options.SetOptionValue("WaitTimeBetweenAttempts", values[1]);
    // Blanks around a pasted key are never part of it.
    for (const auto& ops : {std::make_pair(&m_editOpsKey, "OpsConsumerKey"),
                            std::make_pair(&m_editOpsSecret, "OpsConsumerSecret")}) {
        ops.first->GetWindowText(text);
        options.SetOptionValue(ops.second, text.Trim());
    }
    options.Save();
    EndDialog(IDOK);
}

void CPreferences::OnCancel()
{
    // Throws away what Select put into the options.
    m_pOptions->Load();
    EndDialog(IDCANCEL);
}

// ---------------------------------------------------------------- the pickers and choices

void CPreferences::OnSelectSavePath()
{
    CString folder = CFolderPicker("Please select the directory where new documents will be saved.").Browse();
    if (folder.IsEmpty())
        return;
    if (folder.Right(1) != "\\")
        folder += "\\";
    m_pOptions->SetOptionValue("SavePath", folder);
    m_editSavePath.SetWindowText(m_pOptions->GetOptionValue("SavePath"));
}

void CPreferences::FindSound(CMyEdit& edit)
{
    CFileDialog dialog(TRUE, "wav", "*.wav", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "WAV Files (*.wav)|*.wav||", this);
    if (dialog.DoModal() == IDOK)
        edit.SetWindowText(dialog.GetPathName());
}

void CPreferences::OnFindSoundAfterDownload()
{
    FindSound(m_editSoundAfterDownload);
}

void CPreferences::OnFindSoundAfterAllDownloads()
{
    FindSound(m_editSoundAfterAllDownloads);
}

void CPreferences::OnFindSoundAfterError()
{
    FindSound(m_editSoundAfterError);
}

void CPreferences::ChooseNotification(int nChoice)
{
    m_radioNotifyEach.SetCheck(nChoice == 1 ? 1 : 0);
    m_radioNotifyLast.SetCheck(nChoice == 2 ? 1 : 0);
    m_radioNotifyNever.SetCheck(nChoice == 3 ? 1 : 0);
}

void CPreferences::OnNotifyEachDownload()
{
    ChooseNotification(1);
}

void CPreferences::OnNotifyLastDownload()
{
    ChooseNotification(2);
}

void CPreferences::OnNotifyNever()
{
    ChooseNotification(3);
}

// ---------------------------------------------------------------- moving the library

void CPreferences::OnMoveDocuments()
{
    CString target;
    m_editSavePath.GetWindowText(target);
    CWnd* pMain = MainWindow();
    CString question;
    question.Format("This will move all documents to the target directory\r\n '%s'.\r\n\r\nAre you sure you want "
                    "to do this?",
                    target.GetString());
    if (ShowMessageBox(pMain, question, "Are you sure..?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // The target must be a folder there is or can be: an empty one would be the drive's root.
    const CString folder = CheckedDownloadFolder();
    if (folder.IsEmpty() || !m_pProjectManager)
        return;
    CPoint point = m_ptMouse;
    ClientToScreen(&point);
    if (pMain)
        pMain->ScreenToClient(&point);
    const int moved = m_pProjectManager->MoveAllDocuments(folder);
    ShowBalloon("Move Documents...",
                moved ? "Your documents were moved successfully!" : "An error occured attempting to move your files.",
                point, pMain);
    m_pProjectManager->SaveProjectConfig();
}
