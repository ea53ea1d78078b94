// CPatentManager: the document list of the project pane (dialog 135). It shows the
// documents and shortcuts filed in the folder the tree selects, read from the pane's
// project document (which it never owns): number, title, inventor, assignee and download
// date, unread documents in bold, documents of the first page only in blue, and an icon for
// the kinds of files each one has. The rows are ordered by the folder's stored sort, which
// a header click changes. Requests that change the store go to the pane.
#pragma once

#include "Dialog.h"
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
};
