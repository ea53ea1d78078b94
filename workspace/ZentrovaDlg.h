// CZentrovaDlg: the main window (dialog 102). A navigation column with two bitmap buttons
// switches between the project pane and the search pane; the menu bar and the system menu
// are owner-drawn through the dialog base. The window restores its placement from the
// options at start, draws its own background and resize grip, and closes only through the
// close road: downloads and the search are asked to stop, the window polls every second
// until both have, then stores its placement and ends. Every way of closing (OK, Exit, the
// system Close, Escape) takes that road; a data file that could not be saved is named to the
// user before the window ends.
//
// The window shows what the program has to tell of its data files (DataFileSaves: a save
// that failed, a project file replaced) in the program's message box, whichever thread the
// notice came from. While the import wizard it started runs, it watches Project.cfg and shows
// the project the wizard put in its place.
#pragma once

#include "NavButton.h"
#include "NewDialog.h"
#include "ProgramOptions.h"
#include "ProjectManagerContainer.h"
#include "SearchContainer.h"


class CZentrovaDlg : public CNewDialog
{
public:
    explicit CZentrovaDlg(CWnd* pParent = nullptr);
    ~CZentrovaDlg() override;

    void SetStartMinimized(bool bMinimized) { m_bStartMinimized = bMinimized; }

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Pushes the option values into the window and its panes; with applyPlacement also the
    // stored window placement ("MainDisplaySize").
    void LoadDefaultConfigurations(CProgramOptions& options, BOOL applyPlacement);
    // "flags,show,minX,minY,maxX,maxY,left,top,right,bottom"; TRUE only when all ten numbers
    // are there.
    static BOOL ParseWindowPlacement(WINDOWPLACEMENT& placement, CString text);
    // The text of a placement as it is stored: a minimised window is stored as shown (5),
    // or maximised (3) when it would restore to maximised.
    static CString PlacementText(WINDOWPLACEMENT placement, BOOL bMinimized);
    CString FormatWindowPlacement();
    // Shows the window as the placement text says ("-1": maximised). A stored window that
    // would lie partly off the screen it is nearest to comes back whole onto it.
    void ApplyPlacement(const CString& placement);
    // The rectangle moved, and made smaller where it is larger, to lie inside the area.
    static CRect FitIntoArea(CRect rect, const CRect& area);

    // When NewConfig.cfg lies in the folder and is a recipe that can be read (deciphered and
    // parsed as the threads read Download.cfg), a copy of the previous Download.cfg becomes
    // OldConfig.cfg and NewConfig.cfg becomes Download.cfg; Download.cfg is whole at every
    // moment. A new file that cannot be read is set aside as "NewConfig.cfg.unreadable" and
    // Download.cfg stays. When Download.cfg cannot be kept as OldConfig.cfg, or the last step
    // fails, Download.cfg stays and NewConfig.cfg waits for the next start. TRUE when a new
    // recipe file took its place; *pMessage, when given, is what the user is to be told of a
    // new file that did not (empty when there is nothing to tell).
    static BOOL SwapInNewConfigFile(const CString& folder, CString* pMessage = nullptr);
    void PickNewConfigFile();
    void CheckForPDFSupport();
    // The Exit and Copy Results items get trailing blanks on the systems whose menus need
    // them (version classes 7 and 8; Preferences and Check For Updates on class 4).
    static void PadMenuForVersion(HMENU hMenuBar, int versionClass);

    // The close road: stop what runs; end now or poll every second.
    void OnExit();

    // ------------------------------------------------------------ the library from files
    // Recover Database: asks for an old download folder and scans it.
    afx_msg void OnRecoverDatabase();
    // The scan: every sub-folder holding a document's PDF or HTML page (a file whose name
    // contains ".pdf" or ".html"; the last one found of each kind) whose name the project
    // lacks is re-created in NEW DOWNLOADS, its files copied under the download folder.
    void RecoverDatabaseFrom(const CString& folder);
    // Import Zentrova 2.0 Files: starts the import wizard beside the program and watches it
    // without waiting for it: once the wizard has put an older project in place of
    // Project.cfg, the window shows that project and every later save keeps it. One wizard
    // at a time: while it runs the command starts no other.
    afx_msg void OnImportOldVersionFiles();
    // The wizard's command line for a program folder: FOLDER\Skelvane.exe VORTEMAPFOLDER.
    static CString ImportWizardCommandLine(const CString& programFolder);
    // Import File To Folder, handed to the folder tree; always enabled.
    afx_msg void OnImportFileToFolder();
    afx_msg void OnUpdateImportFileToFolder(CCmdUI* pCmdUI);

    // ------------------------------------------------------------ search sessions as files
    // Import/Export Search Session: asks the direction, then exports or imports.
    afx_msg void OnImportExportSession();
    // The chosen session with the report list's rows, written to a file the user names.
    void ExportSearchSession();
    // A session file the user picks, added to the search pane's sessions.
    void ImportSearchSession();

    // Every half second while the wizard runs, and once when it has ended: the project the
    // wizard put in place is taken up.
    void WatchImportWizard();
    bool IsImportWizardRunning() const { return m_hImportWizard != nullptr; }

    CProgramOptions& GetOptions() { return m_Options; }
    CProjectManagerContainer& GetProjectPane() { return m_ProjectPane; }
    CSearchContainer& GetSearchPane() { return m_SearchPane; }
    CNavButton& GetProjectsButton() { return m_buttonProjects; }
    CNavButton& GetSearchButton() { return m_buttonSearch; }
    UINT_PTR GetClosePollTimer() const { return m_nClosePollTimer; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    // What the close road stops and waits for: the project pane's download queue and the
    // search pane's search thread.
    virtual void StopAllDownloads();
    virtual bool AreDownloadsStopped();
    virtual void StopSearchThread();
    virtual bool IsSearchThreadEnded();
    // Whether this start is the program's first (the registry's FirstTime flag, which the
    // answer then records).
    virtual bool IsFirstRunStart();
    // Opens a web address with the shell ("open", shown normally, owned by this window);
    // what the shell answers is not looked at.
    virtual void ShellOpen(const CString& target);
    // Opens the web address that the string resource holds.
    void OpenResourceLink(UINT nStringId);
    // The folder picker of Recover Database: the chosen folder, empty when cancelled.
    virtual CString BrowseForRecoverFolder();
    // Starts the import wizard with its command line, shown normally; its process handle,
    // null when it could not be started.
    virtual HANDLE StartImportWizard(const CString& commandLine);
    // Shows a notice about the data files in the program's message box over this window.
    virtual void ShowNotice(const CString& caption, const CString& text);
    // Shows the notices that wait, one after the other; the notices of failed saves are
    // passed over at the close (bClosing), which names what is not saved in one notice.
    void ShowWaitingNotices(bool bClosing = false);
    afx_msg LRESULT OnDataFileNotices(WPARAM wParam, LPARAM lParam);

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    // Maximised, the window covers the work area with only its frame beyond the edges.
    afx_msg LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    afx_msg void OnProjects();
    afx_msg void OnSearch();
    // The Search menu's page commands: the search pane with that page of its sheet.
    afx_msg void OnSearchPage(UINT nID);
    afx_msg void OnCopySearchResults();
    afx_msg void OnUpdateCopySearchResults(CCmdUI* pCmdUI);
    afx_msg void OnAbout();
    afx_msg void OnTechSupport();
    // The Preferences dialog on the window's options and its project pane; the options are
    // then applied to the panes again.
    afx_msg void OnPreferences();
    // The web-link commands of the Help menu and of the link popups.
    afx_msg void OnWebLink(UINT nID);
    // The folder commands, handed to the project tree.
    afx_msg void OnFolderCommand(UINT nID);
    afx_msg void OnRenameFolder();
    afx_msg void OnDeleteFolder();
    afx_msg void OnUpdateInsertFolder(CCmdUI* pCmdUI);
    afx_msg void OnUpdateTreeFolderCommand(CCmdUI* pCmdUI);
    afx_msg void OnUpdateRenameOrDeleteFolder(CCmdUI* pCmdUI);
    // The Patents menu and the File menu's Download Entire Patent, Email Patent(s) and Save
    // Files To, handed to the document list (Copy To Clipboard to the project pane), each
    // greyed by the list's own check.
    afx_msg void OnDocumentCommand(UINT nID);
    afx_msg void OnUpdateDocumentCommand(CCmdUI* pCmdUI);

private:
    // Shows one pane, hides the other and marks its navigation button active.
    void ShowPane(bool bSearch);
    bool BothStopped() { return AreDownloadsStopped() && IsSearchThreadEnded(); }
    // Creates a pane as a child dialog of its template and places it.
    void CreatePane(CDialog& pane, UINT nIDTemplate, bool bShow);
    CPoint ClampDragPoint(CPoint point) const;
    // The rubber band of a grip drag on the whole display; without bDrawNew only the last
    // one is erased.
    void DrawBand(bool bDrawNew);

    bool m_bStartMinimized = false;
    HICON m_hIcon = nullptr;
    bool m_bFirstPaint = true;
    UINT_PTR m_nClosePollTimer = 0;
    CRect m_rectClient;
    int m_bLayoutReady = 0;
    CRect m_rectPane;
    CBitmap m_bmpNavStrip;
    CBitmap m_bmpBanner;
    CBitmap m_bmpGrip;
    CRect m_rectGripImage;
    CSize m_sizeMinimum;
    CPoint m_ptDrag;
    CPoint m_ptLastCorner;
    CRect m_rectGripHit;
    int m_bDragging = 0;
    CProgramOptions m_Options;
    HCURSOR m_hArrow = nullptr;
    HCURSOR m_hSizing = nullptr;
    int m_bGripHot = 0;
    CProjectManagerContainer m_ProjectPane;
    CSearchContainer m_SearchPane;
    CNavButton m_buttonSearch;
    CNavButton m_buttonProjects;
    int m_nInsetLeft = 0;
    int m_nInsetTop = 0;
    bool m_bInsetsTaken = false;
    HANDLE m_hImportWizard = nullptr;
    bool m_bShowingNotices = false;

    DECLARE_MESSAGE_MAP()
};

// main window <- any thread, POSTED: notices about the data files wait to be shown; 0, 0.
#define UM_DATA_FILE_NOTICES (WM_APP + 0x40)

// The Windows version class of the main window (1-8): the menu library's class plus one.
int GetWindowsVersionClass();

// The text of a string resource of the program; empty when there is none.
CString LoadResourceString(UINT nID);
