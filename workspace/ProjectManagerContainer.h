// CProjectManagerContainer: the project pane (dialog 140), the hub of the user's library.
// It owns the project store (Project.cfg, its XML document and the identifier counter) and
// the document index, and holds the folder tree, the document list, the download queue and
// the quick-download controls as member windows. The tree and the list change the store
// only by request messages to this pane, which edits the document and writes Project.cfg
// after every change: it deletes and un-links the documents selected in the list, clears
// them before a download of the whole document, copies the list to the clipboard and
// moves the whole library into another download folder. It also lays out its areas, in a
// normal and an expanded arrangement, with three splitter bars whose rectangles are kept in
// the options. Document numbers reach the download queue from the quick-download box and,
// through the toolbar socket on port 50055, from a browser toolbar.
#pragma once

#include "CJComboBox.h"
#include "ConSocket.h"
#include "Dialog.h"
#include "DownloadManager.h"
#include "HoverButton.h"
#include "List.h"
#include "MapStringToString.h"
#include "MyCheckboxButton.h"
#include "MyEdit.h"
#include "MyStatic.h"
#include "PaneLayout.h"
#include "PatentManager.h"
#include "ProjectStore.h"
#include "ProjectTree.h"
#include "StringArray.h"

class CProgramOptions;

class CProjectManagerContainer : public CDialog
{
    DECLARE_DYNAMIC(CProjectManagerContainer)
public:
    explicit CProjectManagerContainer(CWnd* pParent = nullptr);
    ~CProjectManagerContainer() override;

    // Loads Project.cfg from the path and hands the document to the tree and the list;
    // true when both took it.
    bool LoadProjectConfig(CString path);
    // Writes the whole store to the program folder's Project.cfg.
    void SaveProjectConfig();
    // Loads Project.cfg anew and shows NEW DOWNLOADS, as the start does.
    void ReloadProjectConfig();
    // Selects the folder NEW DOWNLOADS in the tree.
    void SelectNewDownloads();
    // Shows the project that another program (the import wizard) put in place of Project.cfg
    // since the store last read or wrote it. What the store holds that no save has written is
    // kept beside the file first, and the user hears where. True when the new file was taken
    // up; false when none was put in place, or when the project could not be kept (it then
    // stays shown and in memory, and the user hears that it is not saved).
    bool TakeReplacedProjectFile();
    // Before the program ends: a project that is not saved is written once more, and kept
    // beside Project.cfg when that fails. Answers what the user is to hear of it, empty when
    // the project is saved.
    CString SaveBeforeClose();

    // The five sample folders of a first run, in the store and in the tree.
    void CreateDefaultFolders();

    // A shortcut of m_strShortcutDocUid into the folder of a tree item key.
    void AddShortcut(int key);
    // Removes every shortcut of a document, then writes the store.
    void DeleteShortcut(CString strDocUid);
    // The same without writing the store; false when the store has no Shorts.
    bool RemoveShortcutsOfDocument(const CString& strDocUid);
    // Removes every shortcut shown in a folder and writes the store.
    void DeleteShortcutsOfFolder(CString strFolderUid);

    // Files a record text (an XML declaration and one Document element with its catalog)
    // in the store: 1 when done, 0 when the text holds no Document record or no DOM could
    // be made for it (nothing changes then). After a download (bPlay) it also plays the
    // chosen sounds and shows the completion balloon; bLast marks the queue's last download.
    int AddDownloadedDocument(CString strRecord, BOOL bLast);
    int AddRecoveredDocument(CString strRecord);

    // Hands every line of the quick-download box, cleaned into a document number, to the
    // download queue with the page choice and "File Wrapper Only"; a number the project
    // holds already is reported, and filed as a shortcut in NEW DOWNLOADS when it lies
    // elsewhere; numbers already queued are listed in one balloon at the end.
    afx_msg void OnQuickDownload();
    // Finds the record of a number in the project: true when it is there, of the kind "File
    // Wrapper Only" asks for, and its folder chain leads to the root; the folder names, the
    // record's own folder first, are appended to folders. The record's UID and the path of
    // its PDF (or of its last file) are kept as the found record whenever it exists.
    bool LocateDownloadedDocument(CString number, CStringArray& folders);

    // The toolbar link: a connection to accept, a request with the right identifier, and
    // the download of the numbers such a request names (page choice: negative all pages,
    // n the first n).
    void OnSocketAccept();
    void OnSocketReceive(CConSocket* pSocket);
    void DownloadRequestedDocument(CString strNumbers, int nPageChoice);
    CConSocket& GetListener() { return m_Listener; }
    int GetConnectionCount() const { return static_cast<int>(m_Connections.GetCount()); }

    // ------------------------------------------------------------ the library's documents
    // Moves every file of the library's records, and the saved reports, into a new download
    // folder, keeping one level of folder (old\US1\US1.pdf becomes new\US1\US1.pdf), and
    // rewrites the records' FilePath; the old download folder is the stored option SavePath.
    // 1 when every file was moved (or the new folder is the one in use, where nothing
    // moves); 0 at the first failure, the files moved so far keeping their new paths. The
    // store is not written: the caller writes it whatever the result.
    int MoveAllDocuments(CString strNewFolder);
    // The saved reports (old download folder\Reports) copied into the new folder: true when
    // the copy failed. DeleteOldReports empties the old Reports folder: true when that failed.
    bool CopyReportsFolder(CString strNewFolder);
    bool DeleteOldReports();
    // Clears the selected records and their files before a new download of the number: 1
    // when done; 0 when a file could not be deleted (it is open elsewhere), after the user
    // was told and what was cleared so far was written and shown.
    int RemoveSelectedForRedownload(CString strNumber);
    // Puts every row of the document list on the clipboard as text, after two header lines.
    afx_msg void OnCopyToClipboard();
    afx_msg void OnCopyToClipboardButton();

    // The fourteen layout rectangles from and to the options.
    bool LoadLayout();
    void SaveLayout();

    CProjectStore& GetStore() { return m_Store; }
    IXMLDOMDocument2Ptr GetDocument() const { return m_Store.GetDocument(); }
    CProjectTree& GetProjectTree() { return m_ProjectTree; }
    CPatentManager& GetPatentManager() { return m_PatentManager; }
    CDownloadManager& GetDownloadManager() { return m_DownloadManager; }
    CMapStringToString& GetDocumentIndex() { return m_mapNameToUID; }
    const CPaneLayout& GetLayout() const { return m_Layout; }
    bool IsExpanded() const { return m_Layout.m_bExpanded; }

    // Set by the main window before the pane's window is created.
    CProgramOptions* m_pOptions = nullptr;
    // Set by the main window at the end of its start-up: a window made too short pulls the
    // queue's splitter up.
    bool m_bShrinkGuard = false;

    // Notification settings, set by the main window from the options.
    bool m_bPlaySoundAfterAllDownloads = false;
    bool m_bPlaySoundAfterDownload = false;
    bool m_bPlaySoundAfterError = false;
    CString m_strSoundAfterAllDownloadsPath;
    CString m_strSoundAfterDownloadPath;
    CString m_strSoundAfterErrorPath;
    int m_nNotifyMode = 3; // 1: a balloon per document, 2: one after the last, else none
    bool m_bToolbarRequest = false;

    CString m_strShortcutDocUid; // the document Paste Shortcut and AddShortcut file

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // The pane never ends itself on Enter or Escape.
    void OnOK() override {}
    void OnCancel() override {}

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnToggleExpandedLayout();
    afx_msg void OnChangeQuickDownloadEdit();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnSocketClosed(WPARAM wParam, LPARAM lParam);

    afx_msg LRESULT OnSaveProject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnProjectFileReplaced(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStoreChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRenameFolder(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNewFolder(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFolderSelected(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDeleteFolder(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCopyFolderNode(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAddFolderNode(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCopyShortcut(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPasteShortcut(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDropFinished(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDocumentsMoved(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDocumentDownloaded(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRecoveredDocument(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPlayNotifySound(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDeleteDocuments(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUnlinkDocuments(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDownloadDocument(WPARAM wParam, LPARAM lParam);
    afx_msg void OnHelpButton();
    DECLARE_MESSAGE_MAP()

    // A message box over the owner; the button chosen. Tests answer it themselves.
    virtual int ShowMessageBox(CWnd* pOwner, const CString& strText, const char* caption, UINT nType);
    // Yes and No with the exclamation icon over the main window: true for Yes.
    bool ConfirmOverMainWindow(const char* text, const char* caption);

    // What became of the files of one record.
    enum class RecordFiles { AllGone, SomeKept, Locked };
    // Deletes the files of a record, wherever they lie, and takes their items out of its
    // catalog, in order. An item without FilePath stays; a file that cannot be deleted and
    // is still there keeps its item (with bStopAtLocked the walk ends there). The file that
    // Import File To Folder linked is the user's own, and a path that is no full path or
    // names a folder is no file of the record: each is kept, and its item goes.
    // strLastPath: the FilePath of the last file deleted.
    RecordFiles DeleteRecordFiles(IXMLDOMNodePtr pDocument, bool bStopAtLocked, CString& strLastPath);
    // Removes the record's own folder, the one its last file lay in, when that folder is
    // named after the document (ends in its name), is empty and is not the download folder.
    void RemoveDocumentFolder(IXMLDOMNodePtr pDocument, const CString& strLastPath);
    // Takes a record out of the store and its Name out of the document index.
    void RemoveRecord(IXMLDOMNodePtr pDocument);
    // The store's Folders, Documents and Shorts elements; false, with a log line, when one
    // is missing.
    bool RequireStoreLists(const char* who, IXMLDOMNodePtr& pDocuments, IXMLDOMNodePtr& pShorts);
    // After the selected records changed: write the store, let the tree re-evaluate its
    // selected folder's icon, and show the tree's folder again.
    void FinishDocumentChange();
    // The download folder in use (option SavePath).
    CString CurrentDownloadFolder();

    // How the pane tells the user: a sound file played asynchronously, and a balloon over
    // the main window (anchor in its client coordinates) that closes after five seconds and
    // opens its link when clicked. Tests put their own in.
    virtual void PlayNotificationSound(const CString& strPath);
    virtual void ShowBalloon(const char* title, const CString& text, const char* icon, const CPoint& anchor,
                             unsigned options, const CString& strLink);
    // The balloon of a filed or found document: at (210, 115), with a close button, an inner
    // shadow, on top.
    void ShowNotificationBalloon(const char* title, const CString& text, const char* icon, const CString& strLink);
    // "Sorry....": the numbers that could not be queued, beside the "download now" button.
    void ShowFailureBalloon(const CString& strLines, unsigned options);

    // One number to the download queue with the request fields; the queue's answer.
    int HandOverToQueue(const CString& number, bool bFileWrapper);
    // The queue's AddDownload; tests answer for the queue.
    virtual int QueueDownload(const CString& number);
    // The answers to a number the project holds already; true when the request ends there.
    bool QuickDownloadFound(CString number);
    bool RequestedDocumentFound(CString number);
    // The found record filed as a shortcut in NEW DOWNLOADS, the box emptied; false (and
    // nothing done) when no record was found.
    bool FileFoundAsShortcut();
    // Empties the quick-download box and lets it show its cue text again.
    void EmptyQuickDownloadBox();
    // Closes and deletes every toolbar connection and closes the listener.
    void CloseToolbarLink();
    // The common part of filing a record; bNotify adds the sounds and balloons.
    int AddDocument(const CString& strRecord, BOOL bLast, bool bNotify, const char* who);

    // A new Folder element under the folder of an item key; its UID goes to *pNewUid.
    // 0 (and nothing changed) when the store has no Folders element.
    LRESULT AddFolder(int parentKey, const CString& name, CString* pNewUid, const char* who);
    // The node at an absolute path of the store, or null with a log line naming the caller.
    IXMLDOMNodePtr RequireNode(const wchar_t* path, const char* who);
    // Moves the windows to the rectangles of the current arrangement.
    void ArrangeWindows();
    // The splitter's tracking line: the last one is erased, a new one drawn at the point.
    void DrawTrackingLine(bool bDrawNew, CPoint point = CPoint());

    CString m_strFoundDocUid;   // the record the quick download found
    CString m_strFoundPdfPath;
    CConSocket m_Listener;                          // the toolbar's port
    CList<CConSocket*, CConSocket*> m_Connections;  // accepted connections, owned
    CMapStringToString m_mapNameToUID;
    CBitmap m_bmpHeader;
    CProjectStore m_Store;
    CProjectTree m_ProjectTree;
    CPatentManager m_PatentManager;
    CDownloadManager m_DownloadManager;

    CMyEdit m_editQuickDownload;
    CHoverButton m_buttonDownloadNow;
    CHoverButton m_buttonExpand;
    CHoverButton m_buttonHelp;
    CHoverButton m_buttonCopyToClipboard;
    CMyCheckboxButton m_checkFirstPage;
    CCJComboBox m_comboPageChoice;
    CMyCheckboxButton m_checkFileWrapperOnly;
    CStatic m_picture;
    CMyStatic m_labelPane;
    CMyStatic m_labelNote;
    CBitmap m_bmpPlus;
    CBitmap m_bmpMinus;

    CPaneLayout m_Layout;
    CRect m_rectClient;
    CRect m_rectPicture;
    // The splitter drag.
    bool m_bDragging = false;
    CPaneLayout::Bar m_nDragBar = CPaneLayout::NoBar;
    CPoint m_ptDown;
    CPoint m_ptCurrent;
    CPoint m_ptPrevious;
    int m_nDragLower = 0;
    int m_nDragUpper = 0;
    bool m_bLineDrawn = false;
    CPoint m_ptLine; // the tracking line last drawn
    bool m_bCursorChanged = false;
    HCURSOR m_hCursorVertical = nullptr;
    HCURSOR m_hCursorHorizontal = nullptr;
    HCURSOR m_hCursorArrow = nullptr;
    CBitmap m_bmpPattern;

    int m_bInitialized = 0;
};
