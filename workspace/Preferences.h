// CPreferences: the modal dialog (template 197) of the main window's Preferences command.
// It shows and edits the download folder, the three sounds and whether each plays, the
// pop-up notification choice, the retry settings and whether the search-session window
// opens, the user's own EPO OPS consumer key and secret, and it moves every downloaded
// document into the folder typed in it. It edits the
// main window's own options object: OK writes the file, Cancel reads the file back into it.
// OK refuses a retry count or wait that is not a whole number from 1 up, and a download
// folder that cannot be created, and then stays open with nothing written.
#pragma once

#include "Dialog.h"
#include "HoverButton.h"
#include "MyCheckboxButton.h"
#include "MyEdit.h"
#include "MyRadioButton.h"
#include "MyStatic.h"

class CProgramOptions;
class CProjectManagerContainer;

class CPreferences : public CDialog
{
public:
    explicit CPreferences(CWnd* pParent = nullptr);

    // Set by the caller before the dialog runs.
    CProjectManagerContainer* m_pProjectManager = nullptr;
    CProgramOptions* m_pOptions = nullptr;

    // The largest retry count and wait (in seconds) the dialog takes.
    static const int kMaxCount = 99999;
    // A whole number from 1 to kMaxCount, blanks around it allowed.
    static bool ParseCount(CString text, int& nValue);
    // The folder exists, or was made with every missing level; the path must be absolute.
    static bool MakeFolder(const CString& strFolder);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // The window the confirmations and the move's balloon stand over.
    CWnd* MainWindow() const;
    virtual int ShowMessageBox(CWnd* pOwner, const CString& strText, const char* caption, UINT nType);
    virtual void ShowBalloon(const char* caption, const CString& strText, const CPoint& ptAnchor, CWnd* pParent);
    // The download folder as typed, checked and made: "" (after telling the user) when it
    // is empty or cannot be made; else the folder ending in a backslash.
    CString CheckedDownloadFolder();
    // The sound file the open-file dialog gives, into the edit.
    void FindSound(CMyEdit& edit);

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnSelectSavePath();
    afx_msg void OnFindSoundAfterDownload();
    afx_msg void OnFindSoundAfterAllDownloads();
    afx_msg void OnFindSoundAfterError();
    afx_msg void OnMoveDocuments();
    afx_msg void OnNotifyEachDownload();
    afx_msg void OnNotifyLastDownload();
    afx_msg void OnNotifyNever();
    DECLARE_MESSAGE_MAP()

    void ChooseNotification(int nChoice);

    CMyEdit m_editSavePath;
    CMyEdit m_editSoundAfterDownload;
    CMyEdit m_editSoundAfterAllDownloads;
    CMyEdit m_editSoundAfterError;
    CMyEdit m_editAttempts;
    CMyEdit m_editWait;
    CMyCheckboxButton m_checkAllDownloadsSound;
    CMyCheckboxButton m_checkEachDownloadSound;
    CMyCheckboxButton m_checkErrorSound;
    CMyCheckboxButton m_checkRetry;
    CMyStatic m_labelHeading;
    CMyStatic m_labelAttempts;
    CMyStatic m_labelWait;
    CMyStatic m_labelMove;
    CMyStatic m_labelPath;
    CPoint m_ptMouse;
    CHoverButton m_buttonFindSoundAfterDownload;
    CHoverButton m_buttonFindSoundAfterAllDownloads;
    CHoverButton m_buttonFindSoundAfterError;
    CHoverButton m_buttonSelect;
    CHoverButton m_buttonOK;
    CHoverButton m_buttonCancel;
    CHoverButton m_buttonMove;
    CMyRadioButton m_radioNotifyEach;
    CMyRadioButton m_radioNotifyLast;
    CMyRadioButton m_radioNotifyNever;
    CRect m_rcClient;
    CMyCheckboxButton m_checkSearchSession;
    // The user's own OPS registration (options OpsConsumerKey and OpsConsumerSecret).
    CMyStatic m_labelOpsKey;
    CMyEdit m_editOpsKey;
    CMyStatic m_labelOpsSecret;
    CMyEdit m_editOpsSecret;
};
