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
//
// A refresh orders the folder's rows in memory, as the store's sort and then the list's own
// sort would, and inserts them in that order; a document filed into the folder shown takes
// its place among the rows without a refill. Both give the rows a refill from the store
// gives: the same texts, order, colours, bold cells and icons.
#pragma once

#include "CmdUI.h"
#include "Dialog.h"
#include "Menu.h"
#include "ImageList.h"
#include "Map.h"
#include "MapStringToString.h"
#include "Msxml.h"
#include "MyListCtrl.h"
#include "SortClass.h"
#include "String.h"

#include <string>
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
    // Shows a Document record that was just added as the store's last one, in the folder
    // of that UID: when the list shows that folder and holds the rows of its last refresh,
    // one row goes where a refresh would put it; otherwise the folder is refreshed. A record
    // of another folder leaves the list as it is.
    void ShowAddedDocument(IXMLDOMNodePtr pDocument, const CString& strFolderUID);
    // The kinds of files of a Document node: 1 HTML, 2 PDF, 4 OTHER (5 from an item of the
    // file wrapper).
    static int GetDocumentFileKinds(IXMLDOMNodePtr pDocument);
    // The row icon of a document of those kinds, -1 for none.
    static int RowImage(int kinds, const CString& strWrapper);
    // The folder's sort: direction text ("1" by default) and column text ("5" by default).
    void GetFolderSortSettings(const CString& strFolderUID, CString& strDirection, CString& strColumn);
    // Stores the list's sort on the folder and asks the pane to save.
    void SaveFolderSortSettings(const CString& strFolderUID);

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

    // One row as a refresh makes it, with the keys that place it.
    struct Row
    {
        CString uid;                       // the document the row shows
        std::vector<CString> texts;        // the cells' texts, the date written out
        std::vector<ListCellRecord> cells; // colours, bold, icon, data word
        CSortClass::CSortItem listKey;     // what the list's sort compares (a date as stored)
        std::wstring orderKey;             // the attribute the store's sort orders by
        bool shortcut = false;
    };
    // What places a row among those shown; one per row, in the list's order.
    struct RowKey
    {
        CSortClass::CSortItem listKey;
        std::wstring orderKey;
        bool shortcut = false;
    };
    // How the folder shown is ordered: the store's sort (by the attribute of the sort column,
    // ascending for direction "1", documents of equal keys in store order), then the list's
    // own sort of the rows, each put on top of the list, by the sort column (as a number for
    // the date), greatest first for direction "1", rows of equal keys as they stood.
    struct Order
    {
        int column = -1;                // the list's sort column; -1 none
        CSortClass listSort{-1, false}; // the list's sort by that column, the date as a number
        bool greatestFirst = false;     // its direction
        bool orderKeysUp = true;        // the store's sort
        const char* verb = "";          // the attribute of the store's sort, "" none
    };

    // The rows of RefreshView, filled while the list does not paint.
    void RefillList(const CString& strFolderUID);
    // A row of a document, or of a shortcut to one (with the shortcut's own UID).
    Row MakeRow(IXMLDOMNodePtr pDocument, const CString* pShortcutUid = nullptr) const;
    // One row per shortcut of the folder whose document exists.
    void AddFolderShortcuts(const CString& strFolderUID, std::vector<Row>& rows) const;
    // Whether a row goes before another in the list's sort, and in the store's sort.
    bool ListBefore(const CSortClass::CSortItem& a, const CSortClass::CSortItem& b) const;
    bool OrderBefore(const std::wstring& a, const std::wstring& b) const;
    // Inserts the row at the index, with that data word.
    void InsertListRow(int nIndex, const Row& row, int nData);

    CMyListCtrl m_listDocuments;
    HACCEL m_hAccel = nullptr;
    int m_bInitialized = 0;
    CRect m_rcClient;
    CImageList m_imageList;
    IXMLDOMDocument2Ptr m_spProjectDoc;
    CMapEx<int, CString> m_mapRowToUID;
    CMapStringToString* m_pNameToUID = nullptr;
    Order m_order;                // of the folder shown
    std::vector<RowKey> m_rowKeys; // of the rows shown, in the list's order
    int m_nNextRowData = 0;        // the data word of the next row

    CPoint m_ptContextMenu;     // screen point of the last context menu
    CString m_strPdfPath;       // the files the last file check found
    CString m_strHtmlPath;
    CString m_strOtherPath;
    CString m_strSelectedUID;   // the document the last file check examined
    int m_nSelectedItem = -1;   // the single selected row of the last check
};

// The text of a shell error code of ShellExecute; empty for a code without one.
CString GetShellExecuteErrorText(int nCode);
