// CProjectManagerContainer: the project pane (dialog 140), the hub of the user's library.
// It owns the project store (Project.cfg, its XML document and the identifier counter) and
// the document index, and holds the folder tree, the document list, the download queue and
// the quick-download controls as member windows. The tree and the list change the store only by request
// messages to this pane, which edits the document and writes Project.cfg after every
// change. It also lays out its areas, in a normal and an expanded arrangement, with three
// splitter bars whose rectangles are kept in the options.
#pragma once

#include "CJComboBox.h"
#include "Dialog.h"
#include "DownloadManager.h"
#include "HoverButton.h"
#include "MapStringToString.h"
#include "MyCheckboxButton.h"
#include "MyEdit.h"
#include "MyStatic.h"
#include "PaneLayout.h"
#include "PatentManager.h"
#include "ProjectStore.h"
#include "ProjectTree.h"

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

    // The five sample folders of a first run, in the store and in the tree.
    void CreateDefaultFolders();

    // A shortcut of m_strShortcutDocUid into the folder of a tree item key.
    void AddShortcut(int key);
    // Removes every shortcut of a document, then writes the store.
    void DeleteShortcut(CString strDocUid);
    // Removes every shortcut shown in a folder and writes the store.
    void DeleteShortcutsOfFolder(CString strFolderUid);

    // Files a record text (an XML declaration and one Document element with its catalog)
    // in the store: 1 when done, 0 when the text holds no Document record or no DOM could
    // be made for it (nothing changes then). After a download (bPlay) it also plays the
    // chosen sounds and shows the completion balloon; bLast marks the queue's last download.
    int AddDownloadedDocument(CString strRecord, BOOL bLast);
    int AddRecoveredDocument(CString strRecord);

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

    afx_msg LRESULT OnSaveProject(WPARAM wParam, LPARAM lParam);
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
    DECLARE_MESSAGE_MAP()

    // How the pane tells the user: a sound file played asynchronously, and a balloon over
    // the main window at (210, 115) that closes after five seconds and opens its link when
    // clicked. Tests put their own in.
    virtual void PlayNotificationSound(const CString& strPath);
    virtual void ShowNotificationBalloon(const char* title, const CString& text, const char* icon,
                                         const CString& strLink);
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
