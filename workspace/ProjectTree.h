// CProjectTree: the folder tree of the project pane (dialog 139). It shows the folders of
// the project store, keeps the map between its items and the folders' UIDs, tells the
// document list which folder to show, and lets the user insert, rename and delete folders,
// paste a document shortcut into a folder, move a folder with everything below it by
// dragging it onto another folder, file a user's own file into a folder and re-create the
// records of documents found in an old download folder. Every change of the store is a
// request to the project pane, which edits the shared XML document and writes Project.cfg;
// the tree then updates its own items. Only a move re-parents documents and shortcuts in
// the store itself (and asks the pane to write it).
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
#include "TreeDropFeedback.h"

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

    // ------------------------------------------------------------ moving a folder
    // Moves the dragged folder (the item of the last left-button press) with everything
    // below it under the drop target, when the drop lands on this tree: the folders are
    // made anew under the target (new UIDs), their documents and shortcuts follow them, and
    // the old folders go. Nothing happens for the folder itself as target, for NEW
    // DOWNLOADS and the root as dragged folder; a target below the dragged folder is
    // refused with a message.
    void DropFolder(CWnd* pTargetWnd);
    // A new folder named as the source under the new parent, holding the source's
    // documents and shortcuts; null when the pane made no folder.
    HTREEITEM CopyFolderItem(HTREEITEM hSource, HTREEITEM hNewParent);
    // The folders below the source made anew below the new parent, in pre-order; false when
    // one could not be made.
    bool CopySubtreeChildren(HTREEITEM hSource, HTREEITEM hNewParent);
    // 1 when the target folder lies below the dragged folder, in the tree or along the
    // store's ParentUID chain (which is followed for at most as many steps as there are
    // folders, so a chain that runs in a circle ends).
    int IsDescendantFolder(HTREEITEM hDragged, HTREEITEM hTarget);
    // Re-parent the documents and the shortcuts of the old folder to the new one.
    void MoveFolderDocuments(HTREEITEM hOldItem, HTREEITEM hNewItem);
    void MoveFolderShortcuts(HTREEITEM hOldItem, HTREEITEM hNewItem);
    bool IsDragging() const { return m_bDragging; }

    // ------------------------------------------------------------ records from files
    // Asks for a file (Add File To Folder) and files it as a document of type OTHER in the
    // selected folder (NEW DOWNLOADS when none is); the file stays where it is.
    afx_msg void OnCmdImportFileToFolder();
    // Re-creates the record of a document of an old download folder in NEW DOWNLOADS: its
    // PDF and HTML page (either path may be empty) are copied into destFolder\NAME\ and the
    // record gets the page's title, inventors and assignee.
    void RecoverDocument(CString pdfPath, CString htmlPath, CString destFolder);

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
    afx_msg void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    DECLARE_MESSAGE_MAP()

    // Ends the drag state: the drag image goes, the capture is released, a pending
    // expansion is withdrawn.
    void EndFolderDrag();
    // The records at the path (documents or shortcuts) of the old folder moved to the new
    // one; when any moved, the new folder's icon is refreshed and the store written.
    void ReparentRecords(const char* path, HTREEITEM hOldItem, HTREEITEM hNewItem);
    // The store's (first) Folder element of a UID; null when there is none.
    IXMLDOMNodePtr FolderElement(const CString& uid);
    // The folder UID of the selected item, "1" (NEW DOWNLOADS) when none is selected.
    CString SelectedFolderUid() const;
    // Shows the folder in the document list and refreshes its icon, after a record was added.
    void ShowFolderAfterAdding(const CString& uid);

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

    // The folder drag.
    bool m_bDragging = false;
    CPoint m_ptLastMouse;
    CImageList* m_pDragImage = nullptr; // owned
    HWND m_hDropWnd = nullptr;          // the window under the pointer at the last move
    CTreeHoverExpand m_HoverExpand;
};
