// CPatentManager: the document list of the project pane (dialog 135). It shows the
// documents and shortcuts of the folder the tree selects, read from the pane's project
// document, which it never owns.
#pragma once

#include "Dialog.h"
#include "ListCtrl.h"
#include "Map.h"
#include "MapStringToString.h"
#include "Msxml.h"
#include "String.h"

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
    // Shows the documents and shortcuts of a folder.
    void RefreshView(CString strFolderUID);

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
    DECLARE_MESSAGE_MAP()

    CListCtrl m_listDocuments;
    int m_bInitialized = 0;
    CRect m_rcClient;
    IXMLDOMDocument2Ptr m_spProjectDoc;
    CMapEx<int, CString> m_mapRowToUID;
    CMapStringToString* m_pNameToUID = nullptr;
};
