// CPatentManager: the document list of the project pane (dialog 135). It shows the
// documents and shortcuts filed in the folder the tree selects, read from the pane's
// project document (which it never owns): number, title, inventor, assignee and download
// date, unread documents in bold, documents of the first page only in blue, and an icon for
// the kinds of files each one has. The rows are ordered by the folder's stored sort, which
// a header click changes. Its commands (the context menu, the main window's Patents menu,
// double-clicks and the Delete key) open and print a document's files through the shell,
// mark documents read, and ask the pane to delete, un-link or download them again; the
// checks behind them find a file that has moved into the download folder and note its new
// path in the record. Requests that change the store go to the pane. The selected
// documents' files can be mailed and copied into a folder.
#pragma once

#include "CmdUI.h"
#include "Dialog.h"
#include "Menu.h"
#include "ImageList.h"
#include "Map.h"
#include "MapStringToString.h"
#include "Msxml.h"
#include "MyListCtrl.h"
#include "String.h"

#include <vector>

class CProgramOptions;

class CPatentManager : public CDialog
{
    DECLARE_DYNAMIC(CPatentManager)
public:
    explicit CPatentManager(CWnd* pParent = nullptr);
    ~CPatentManager() override;

    // The pane's map from a document's Name to its UID, which BuildNameMap fills.
    void SetNameMap(CMapStringToString* pNameToUID) { m_pNameToUID = pNameToUID; }
    // Takes the project document (after every load of the store) and fills the name map;
    // true when it holds a document.
    bool SetProjectDocument(IXMLDOMDocument2Ptr pDocument);
    // Name -> UID for every document of the store, in document order (a later record of
    // the same Name wins); the map is not emptied first.
    void BuildNameMap();
    // Fills the list with the documents and shortcuts of a folder, in its stored order.
    void RefreshView(CString strFolderUID);
    // The kinds of files of a Document node: 1 HTML, 2 PDF, 4 OTHER (5 from an item of the
    // file wrapper).
    static int GetDocumentFileKinds(IXMLDOMNodePtr pDocument);
    // The row icon of a document of those kinds, -1 for none.
    static int RowImage(int kinds, const CString& strWrapper);
    // The folder's sort: direction text ("1" by default) and column text ("5" by default).
    void GetFolderSortSettings(const CString& strFolderUID, CString& strDirection, CString& strColumn);
    // Stores the list's sort on the folder and asks the pane to save.
    void SaveFolderSortSettings(const CString& strFolderUID);
    // One row per shortcut of the folder whose document exists, data words from nFirst on.
    void AddFolderShortcuts(const CString& strFolderUID, int nFirst);

    // The column widths: "%d," per column; the first six applied from m_strColumnWidths.
    CString GetColumnWidths();
    void ApplyColumnWidths();

    // The document UID of a row's data word; empty when the word is unknown.
    CString UidOfRowData(DWORD_PTR dwData) const;
    CMyListCtrl& GetList() { return m_listDocuments; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // ------------------------------------------------------------ the selection
    // The selected rows, top down.
    std::vector<int> GetSelectedRows() const;
    // The UID of the document a row shows (a shortcut row: the document it points to);
    // empty when the row shows none.
    CString RowDocumentUid(int nRow) const;
    // The Document node of a row; null when the row shows none or the store lacks it.
    IXMLDOMNodePtr RowDocument(int nRow);
    // A shortcut row (marked in its hidden column) and the shortcut's own UID.
    bool IsShortcutRow(int nRow) const;
    CString RowShortcutUid(int nRow) const;
    // The CatalogItems of the documents of all selected rows, in the store's order.
    std::vector<IXMLDOMNodePtr> SelectedCatalogItems();
    // The file check of one CatalogItem: its FileType, and its FilePath when a file is
    // there. A file that is gone is looked for under the download folder (option SavePath)
    // with ResolveMovedFilePath, and a path found there is written back into the item (the
    // store is not saved). False when the item has no file.
    bool CheckCatalogFile(IXMLDOMNodePtr pItem, CString& strType, CString& strPath);
    // Where a file of a stored path lies now under a base folder: the leading folders of
    // the path are dropped one by one, and the first remainder that exists under the base
    // wins. Empty when none does (a path without a backslash is never relocated).
    static CString ResolveMovedFilePath(CString strPath, CString strBase);

    // ------------------------------------------------------------ checks (menu greying)
    // Exactly one row selected and its document has a file of that kind; the file checks
    // leave the paths of the three kinds for the open and print commands.
    bool HasHtmlFile();
    bool HasPdfFile();
    bool HasOtherFile();
    bool CanMarkRead();
    bool CanMarkUnread();
    // Some selected document has a linked file (FileType OTHER).
    bool CanUnlinkSelection();
    // Exactly one row selected and its document is not complete (FirstPage not "0").
    bool CanDownloadEntireDocument();
    // The File menu's item: disabled unless exactly one row is selected whose document is
    // not complete; otherwise left as it is.
    void UpdateDownloadEntireDocument(CCmdUI* pCmdUI);
    // Greys the items of the "PatentList" popup that do not apply to the selection (the
    // context menu's own rules), and leaves the paths of the selected document's files.
    void PrepareContextMenu(CMenu* pPopup);

    // ------------------------------------------------------------ commands
    // Opens the first file of the row's document that matches the kind (1 HTML, 2 PDF; a
    // linked file matches either) and exists: the shell's result when above 32, minus the
    // shell's result when it failed, 0 when no file matched.
    int OpenDocumentFile(int nRow, int nKind);
    // The shell's "open" and "print" of a path, owned by the list: the shell's result code.
    int ShellOpen(const CString& strPath);
    int ShellPrint(const CString& strPath);
    // Marks a row's document read or unread (DocumentRead "Yes" or "No"), draws the row
    // accordingly and, unless bNoSave, asks the pane to write the store.
    void MarkRead(int nRow, bool bRead, bool bNoSave);

    afx_msg void OnOpenHtml();
    afx_msg void OnOpenPdf();
    afx_msg void OnOpenFile();
    afx_msg void OnPrintHtml();
    afx_msg void OnPrintPdf();
    afx_msg void OnPrintFile();
    afx_msg void OnMarkRead();
    afx_msg void OnMarkUnread();
    afx_msg void OnDeleteDocuments();
    afx_msg void OnUnlinkDocuments();
    afx_msg void OnDownloadEntireDocument();
    afx_msg void OnCopyShortcut();

    // ------------------------------------------------------------ mail and save
    // The files of a row's document as its record names them (the first CatalogItem of
    // each type, its FilePath unchecked), and its Name and title; outputs the record lacks
    // are left as they were. 1 when the document has a PDF, HTML or linked item.
    int GetRowDocumentFiles(int nRow, CString& strPdfPath, CString& strHtmlPath, CString& strOtherPath,
                            CString& strName, CString& strTitle);
    // One mail with the selected documents' files attached, shown by the mail client for
    // the user to address and send.
    afx_msg void OnEmailDocuments();
    // Copies the selected documents' files into the folder the Save Files To dialog names;
    // the files that could not be copied are listed in one message at the end.
    afx_msg void OnSaveFilesTo();
    // The message boxes of the mail and save commands; tests put their own in.
    typedef int(WINAPI* MessageBoxFn)(HWND, LPCSTR, LPCSTR, UINT);
    static MessageBoxFn s_pfnMessageBox;

    // What the paths of the last file check hold.
    const CString& GetPdfPath() const { return m_strPdfPath; }
    const CString& GetHtmlPath() const { return m_strHtmlPath; }
    const CString& GetOtherPath() const { return m_strOtherPath; }
    int GetSelectedItem() const { return m_nSelectedItem; }
    CPoint GetContextMenuPoint() const { return m_ptContextMenu; }

    // The platform calls of the open and print commands and of their error balloons; tests
    // put their own in.
    typedef HINSTANCE(WINAPI* ShellExecuteFn)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    typedef void (*LaunchBalloonFn)(const char*, const char*, const CPoint&, const char*, unsigned, CWnd*,
                                    const CString&, unsigned);
    static ShellExecuteFn s_pfnShellExecute;
    static LaunchBalloonFn s_pfnLaunchBalloon;

    CProgramOptions* m_pOptions = nullptr; // the main window's options store, not owned
    CString m_strFolderUID;                // the folder shown
    CString m_strColumnWidths;             // the option PatentManagerWidths
    HWND m_hTreeWnd = nullptr;             // the folder tree, onto which rows are dragged
    // Set at every click in the list: 1 when a row is selected then (the main window's
    // Email Patent(s) and Save Files To follow them).
    int m_bHasSelection1 = 0;
    int m_bHasSelection2 = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Escape leave the list as it is.
    void OnOK() override {}
    void OnCancel() override {}

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg LRESULT OnShowFolder(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDocumentsDropped(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSortColumn(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSelectAll();
    afx_msg void OnListChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRClickList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnClickList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDblClickList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnKeyDownList(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    // The checks' findings over the CatalogItems of one document: the paths of its HTML,
    // PDF and linked file (the last of each kind); bit 1 HTML, 2 PDF, 4 OTHER.
    int FindDocumentFiles(const CString& strUid);
    // The single selected row's document files (HasHtmlFile and its twins): the kinds found.
    int CheckSingleSelection();
    // The single selected row's document, with m_nSelectedItem set; null otherwise.
    IXMLDOMNodePtr SingleSelectedDocument();
    // One open or print command: the path, the verb, the text for a file that is not
    // there (none: no such test), whether success marks the document read.
    void RunShellCommand(const CString& strPath, bool bOpen, const char* pszMissing, bool bMarkRead);
    // Every selected row marked read or unread, then one save.
    void MarkSelection(bool bRead);
    // The error balloon of the open and print commands at a screen point.
    void ShowErrorBalloon(const CString& strText, CPoint ptScreen);
    // The parent's request about the first selected row with a text argument.
    void SendFirstRowRequest(UINT nMessage, const CString& strText);
    // A request to the pane (the parent window); its answer.
    LRESULT SendToPane(UINT nMessage, WPARAM wParam = 0);

    // The rows of RefreshView, filled while the list does not paint.
    void RefillList(const CString& strFolderUID);
    // The folder's Document nodes in the order of the sort key, or in document order.
    IXMLDOMNodeListPtr SelectFolderDocuments(const CString& strFolderUID, int nSortColumn, bool bAscending);
    // A row of a document, or of a shortcut to one (with the shortcut's own UID): texts,
    // colours, bold, data word, icon.
    void AddDocumentRow(IXMLDOMNodePtr pDocument, int nData, const CString* pShortcutUid = nullptr);

    CMyListCtrl m_listDocuments;
    HACCEL m_hAccel = nullptr;
    int m_bInitialized = 0;
    CRect m_rcClient;
    CImageList m_imageList;
    IXMLDOMDocument2Ptr m_spProjectDoc;
    CMapEx<int, CString> m_mapRowToUID;
    CMapStringToString* m_pNameToUID = nullptr;

    CPoint m_ptContextMenu;     // screen point of the last context menu
    CString m_strPdfPath;       // the files the last file check found
    CString m_strHtmlPath;
    CString m_strOtherPath;
    CString m_strSelectedUID;   // the document the last file check examined
    int m_nSelectedItem = -1;   // the single selected row of the last check
};

// The text of a shell error code of ShellExecute; empty for a code without one.
CString GetShellExecuteErrorText(int nCode);
