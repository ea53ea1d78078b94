// CProjectTree: the folder tree of the project pane (dialog 139). It shows the folders of
// the project store, keeps the map between its items and the folders' UIDs, tells the
// document list which folder to show, and lets the user insert, rename and delete folders
// and paste a document shortcut into a folder. Every change of the store is a request to
// the project pane, which edits the shared XML document and writes Project.cfg; the tree
// then updates its own items.
//
// Item keys: every item carries an int key as its item data. The root item has -1, which
// stands for the UID "ROOT"; folders get 0, 1, 2 ... in the order they are inserted. Keys
// are never reused while the tree lives, and entries of removed items stay in the maps.
#pragma once

#include "Dialog.h"
#include "ImageList.h"
#include "Map.h"
#include "MyTreeCtrl.h"
#include "Msxml.h"
#include "String.h"

class CProjectTree : public CDialog
{
    DECLARE_DYNAMIC(CProjectTree)
public:
    explicit CProjectTree(CWnd* pParent = nullptr);
    ~CProjectTree() override;

    // Keeps the project document and builds the items from its folders; FillTree's result.
    int LoadProjectTree(IXMLDOMDocument2Ptr pDocument);
    // Rebuilds every item from the Folder elements under the node; 1, or 0 for a malformed
    // store (no Project root, a folder without Name or UID), the items made so far staying.
    int FillTree(IXMLDOMNodePtr pFolders);
    // The item of a folder UID below start (start itself for "ROOT"); null when not found.
    HTREEITEM FindItemByUid(const CString& uid, CMyTreeCtrl& tree, HTREEITEM start);
    // Adds a folder item as the parent's last child and gives it the next key.
    HTREEITEM InsertFolderItem(const CString& name, const CString& uid, CMyTreeCtrl& tree, HTREEITEM parent,
                               int hasContent);
    // Shows the full or the empty folder image, as the folder's content is now.
    void RefreshFolderIcon(const CString& uid);
    void RefreshFolderIconByKey(int key);

    // 1 when the folder holds sub-folders, documents or shortcuts.
    int FolderHasContent(const CString& uid);
    // 1 when the folder holds documents or shortcuts.
    int FolderHoldsDocuments(const CString& uid);
    int FolderKeyHoldsDocuments(int key);
    // True when the item's folder or any folder below it holds documents or shortcuts.
    bool SubtreeHoldsDocuments(HTREEITEM hItem);

    // The main window's folder commands: on while a folder other than NEW DOWNLOADS and the
    // root is selected in the shown project pane.
    void SetFolderCommandsEnabled(int bEnable);
    int GetFolderCommandsEnabled() const { return m_bFolderCommandsEnabled; }
    // The centre of the selected item's label on the screen: where a balloon points.
    void UpdateSelectionAnchor();
    // False when nothing is selected or the selection is NEW DOWNLOADS or the root.
    bool CanRenameOrDeleteSelection();

    afx_msg void OnCmdRenameFolder();
    afx_msg void OnCmdInsertFolder();
    afx_msg void OnCmdDeleteFolder();
    afx_msg void OnCmdPasteShortcut();

    // The folder UID of an item key; empty when the key is unknown.
    CString UidOfKey(int key) const;
    // The key of an item, -1 for none.
    int KeyOfItem(HTREEITEM hItem) const;

    CMyTreeCtrl& GetTree() { return m_tree; }

    CString m_strCopyName;          // label of the folder being copied (tree drag and drop)
    CMapEx<CString, int> m_mapUidToKey;
    CMapEx<int, CString> m_mapKeyToUid;
    CString m_strSelectedUid;       // the folder shown last
    CString m_strCopiedDocUid;      // the document Copy Shortcut remembered; empty: nothing
    HWND m_hPaneWnd = nullptr;      // the project pane
    HWND m_hListWnd = nullptr;      // the document list, which receives UM_SHOW_FOLDER
    CPoint m_ptAnchor;              // screen point of the last context menu or selection
    HTREEITEM m_hDropItem = nullptr; // the current drop target of a folder drag

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    // Removes the folders of the item's subtree from the store, deepest first, one request
    // each.
    void DeleteFolderSubtree(HTREEITEM hItem);
    // The UID of the item's folder.
    CString UidOfItem(HTREEITEM hItem) const;
    // The XPath selection is not empty.
    bool Selects(const char* pattern, const CString& uid);
    // The main window, over which balloons are shown.
    CWnd* GetMainWindow();

    int m_bInitialized = 0;
    CRect m_rcClient;
    IXMLDOMDocument2Ptr m_pDocument;
    CMyTreeCtrl m_tree;
    CImageList m_imageList;
    int m_bFolderCommandsEnabled = 0;
    int m_nNextKey = 0;
};
