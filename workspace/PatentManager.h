// CPatentManager: the document list of the project pane (dialog 135). It shows the
// documents and shortcuts filed in the folder the tree selects, read from the pane's
// project document (which it never owns): number, title, inventor, assignee and download
// date, unread documents in bold, documents of the first page only in blue, and an icon for
// the kinds of files each one has. The rows are ordered by the folder's stored sort, which
// a header click changes. Requests that change the store go to the pane.
//
// A refresh orders the folder's rows in memory, as the store's sort and then the list's own
// sort would, and inserts them in that order; a document filed into the folder shown takes
// its place among the rows without a refill. Both give the rows a refill from the store
// gives: the same texts, order, colours, bold cells and icons.
#pragma once

#include "Dialog.h"
#include "ImageList.h"
#include "Map.h"
#include "MapStringToString.h"
#include "Msxml.h"
#include "MyListCtrl.h"
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

    CProgramOptions* m_pOptions = nullptr; // the main window's options store, not owned
    CString m_strFolderUID;                // the folder shown
    CString m_strColumnWidths;             // the option PatentManagerWidths
    HWND m_hTreeWnd = nullptr;             // the folder tree, onto which rows are dragged

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
    DECLARE_MESSAGE_MAP()

    // One row as a refresh makes it, with the keys that place it.
    struct Row
    {
        CString uid;                       // the document the row shows
        std::vector<CString> texts;        // the cells' texts, the date written out
        std::vector<ListCellRecord> cells; // colours, bold, icon, data word
        CString listKey;                   // the text the list's sort compares (a date as stored)
        int listValue = 0;                 // the same read as a number, for the date column
        std::wstring orderKey;             // the attribute the store's sort orders by
        bool shortcut = false;
    };
    // What places a row among those shown; one per row, in the list's order.
    struct RowKey
    {
        CString listKey;
        int listValue = 0;
        std::wstring orderKey;
        bool shortcut = false;
    };
    // How the folder shown is ordered: the store's sort (by the attribute of the sort column,
    // ascending for direction "1", documents of equal keys in store order), then the list's
    // own sort of the rows, each put on top of the list, by the sort column (as a number for
    // the date), greatest first for direction "1", rows of equal keys as they stood.
    struct Order
    {
        int column = -1;             // the list's sort column; -1 none
        bool numeric = false;        // the date column
        bool greatestFirst = false;  // the list's sort
        bool orderKeysUp = true;     // the store's sort
        const char* verb = "";       // the attribute of the store's sort, "" none
    };

    // The rows of RefreshView, filled while the list does not paint.
    void RefillList(const CString& strFolderUID);
    // A row of a document, or of a shortcut to one (with the shortcut's own UID).
    Row MakeRow(IXMLDOMNodePtr pDocument, const CString* pShortcutUid = nullptr) const;
    // One row per shortcut of the folder whose document exists.
    void AddFolderShortcuts(const CString& strFolderUID, std::vector<Row>& rows) const;
    // Whether a row goes before another in the list's sort, and in the store's sort.
    bool ListBefore(const CString& a, int va, const CString& b, int vb) const;
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
};
