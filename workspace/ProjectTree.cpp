#include "ProjectTree.h"

#include "AddOtherFile.h"
#include "BalloonHelp.h"
#include "Bitmap.h"
#include "DataExchange.h"
#include "File.h"
#include "ImportedRecords.h"
#include "NewMenu.h"
#include "ProgressLog.h"
#include "ProjectIds.h"
#include "ProjectMessages.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <set>
#include <string>

IMPLEMENT_DYNAMIC(CProjectTree, CDialog)

BEGIN_MESSAGE_MAP(CProjectTree, CDialog)
    ON_WM_SIZE()
    ON_NOTIFY(TVN_SELCHANGED, IDC_FOLDER_TREE, &CProjectTree::OnSelChanged)
    ON_NOTIFY(TVN_ENDLABELEDIT, IDC_FOLDER_TREE, &CProjectTree::OnEndLabelEdit)
    ON_NOTIFY(NM_RCLICK, IDC_FOLDER_TREE, &CProjectTree::OnRightClick)
    ON_COMMAND(ID_TREE_RENAME_FOLDER, &CProjectTree::OnCmdRenameFolder)
    ON_COMMAND(ID_TREE_INSERT_FOLDER, &CProjectTree::OnCmdInsertFolder)
    ON_COMMAND(ID_TREE_DELETE_FOLDER, &CProjectTree::OnCmdDeleteFolder)
    ON_COMMAND(ID_TREE_PASTE_SHORTCUT, &CProjectTree::OnCmdPasteShortcut)
    ON_COMMAND(ID_FILE_IMPORT_FILE_TO_FOLDER, &CProjectTree::OnCmdImportFileToFolder)
    ON_NOTIFY(TVN_BEGINDRAG, IDC_FOLDER_TREE, &CProjectTree::OnBeginDrag)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

namespace {

const int kRootKey = -1;
const char kRootUid[] = "ROOT";
const char kNewDownloadsUid[] = "1";
const int kImageSize = 17;
const COLORREF kImageMask = RGB(0, 255, 0);

// NEW DOWNLOADS and the root can be neither renamed nor deleted (nor moved).
bool IsFixedFolder(const CString& uid)
{
    return uid == kNewDownloadsUid || uid == kRootUid;
}

// The low 32 bits of a span's seconds, as records write it with "%d".
int SpanSeconds(const CTimeSpan& span)
{
    return static_cast<int>(span.GetTotalSeconds());
}

// A file's length in bytes (low 32 bits), and whether it could be opened.
bool FileLength(const CString& path, int& length)
{
    CFile file;
    if (path.IsEmpty() || !file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return false;
    try {
        length = static_cast<int>(file.GetLength());
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

} // namespace

CProjectTree::CProjectTree(CWnd* pParent) : CDialog(IDD_PROJECT_TREE, pParent)
{
    CBitmap strip;
    if (m_imageList.Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, 9, 0) && strip.LoadBitmap(IDB_TREE_FOLDERS))
        m_imageList.Add(&strip, kImageMask);
}

CProjectTree::~CProjectTree()
{
    if (m_bDragging) {
        DragImageLeave();
        CImageList::EndDrag();
    }
    delete m_pDragImage;
}

void CProjectTree::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FOLDER_TREE, m_tree);
}

BOOL CProjectTree::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_tree.SetImageList(&m_imageList, TVSIL_NORMAL);
    m_bInitialized = 1;
    return TRUE;
}

void CProjectTree::OnOK()
{
    // Enter ends a label edit keeping the text; the tree itself never closes.
    m_tree.SendMessage(TVM_ENDEDITLABELNOW, 0);
}

void CProjectTree::OnCancel()
{
    m_tree.SendMessage(TVM_ENDEDITLABELNOW, 1);
}

void CProjectTree::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    GetClientRect(&m_rcClient);
    if (m_bInitialized)
        m_tree.MoveWindow(&m_rcClient, TRUE);
}

// ---------------------------------------------------------------- keys and UIDs

CString CProjectTree::UidOfKey(int key) const
{
    CString uid;
    m_mapKeyToUid.Lookup(key, uid);
    return uid;
}

int CProjectTree::KeyOfItem(HTREEITEM hItem) const
{
    return hItem ? static_cast<int>(m_tree.GetItemData(hItem)) : -1;
}

CString CProjectTree::UidOfItem(HTREEITEM hItem) const
{
    return hItem ? UidOfKey(KeyOfItem(hItem)) : CString();
}

// ---------------------------------------------------------------- filling

int CProjectTree::LoadProjectTree(IXMLDOMDocument2Ptr pDocument)
{
    m_pDocument = pDocument;
    return FillTree(m_pDocument->selectSingleNode(L"/Project/Folders"));
}

int CProjectTree::FillTree(IXMLDOMNodePtr pFolders)
{
    m_tree.DeleteAllItems();
    IXMLDOMNodePtr project = m_pDocument->selectSingleNode(L"/Project");
    if (!project)
        return 0;
    CString name;
    GetXmlAttribute(project, "Name", name);
    HTREEITEM hRoot = m_tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, name, 3, 3, 0, 0,
                                        kRootKey, TVI_ROOT, TVI_LAST);
    m_mapKeyToUid[kRootKey] = kRootUid;
    m_mapUidToKey[kRootUid] = kRootKey;
    if (!pFolders) {
        CProgressLog().Write("CProjectTree::FillTree-The project has no Folders element; no folder is shown");
        return 0;
    }

    // Which folders hold anything, in one pass over the store rather than three queries
    // per folder.
    std::set<std::string> filled;
    IXMLDOMNodeListPtr parents = m_pDocument->selectNodes(
        L"/Project/Folders/Folder/@ParentUID | /Project/Documents/Document/@ParentUID | /Project/Shorts/Short/@ParentUID");
    for (long i = 0; i < parents->Getlength(); ++i)
        filled.insert(ToAnsi(parents->Getitem(i)->Gettext()).str());

    int result = 1;
    IXMLDOMNodeListPtr folders = pFolders->selectNodes(L"Folder");
    for (long i = 0; i < folders->Getlength(); ++i) {
        IXMLDOMNodePtr folder = folders->Getitem(i);
        CString folderName, uid, parentUid;
        if (!GetXmlAttribute(folder, "Name", folderName) || !GetXmlAttribute(folder, "UID", uid)) {
            result = 0;
            break;
        }
        GetXmlAttribute(folder, "ParentUID", parentUid);
        // A folder whose parent has no item yet (stored before it, or unknown) stays hidden.
        if (HTREEITEM hParent = FindItemByUid(parentUid, m_tree, hRoot))
            InsertFolderItem(folderName, uid, m_tree, hParent, filled.count(uid.str()) ? 1 : 0);
    }
    m_tree.Expand(hRoot, TVE_EXPAND);
    return result;
}

HTREEITEM CProjectTree::FindItemByUid(const CString& uid, CMyTreeCtrl& tree, HTREEITEM start)
{
    if (uid == kRootUid)
        return start;
    for (HTREEITEM hChild = tree.GetChildItem(start); hChild; hChild = tree.GetNextSiblingItem(hChild)) {
        CString childUid;
        if (m_mapKeyToUid.Lookup(static_cast<int>(tree.GetItemData(hChild)), childUid) && childUid == uid)
            return hChild;
        if (tree.ItemHasChildren(hChild)) {
            if (HTREEITEM hFound = FindItemByUid(uid, tree, hChild))
                return hFound;
        }
    }
    return nullptr;
}

HTREEITEM CProjectTree::InsertFolderItem(const CString& name, const CString& uid, CMyTreeCtrl& tree,
                                         HTREEITEM parent, int hasContent)
{
    const int key = m_nNextKey++;
    m_mapKeyToUid[key] = uid;
    m_mapUidToKey[uid] = key;
    return tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, name, 2 * hasContent,
                           2 * hasContent + 1, 0, 0, key, parent, TVI_LAST);
}

// ---------------------------------------------------------------- content and icons

bool CProjectTree::Selects(const char* pattern, const CString& uid)
{
    CString query;
    query.Format(pattern, XPathLiteral(uid).GetString());
    return m_pDocument->selectSingleNode(_bstr_t(query)) != nullptr;
}

// The queries end in [1]: the search stops at the first match.
int CProjectTree::FolderHasContent(const CString& uid)
{
    return Selects("/Project/Folders/Folder[@ParentUID=%s][1]", uid) || FolderHoldsDocuments(uid);
}

int CProjectTree::FolderHoldsDocuments(const CString& uid)
{
    return Selects("/Project/Documents/Document[@ParentUID=%s][1]", uid) ||
           Selects("/Project/Shorts/Short[@ParentUID=%s][1]", uid);
}

int CProjectTree::FolderKeyHoldsDocuments(int key)
{
    return FolderHoldsDocuments(UidOfKey(key));
}

bool CProjectTree::SubtreeHoldsDocuments(HTREEITEM hItem)
{
    if (FolderKeyHoldsDocuments(KeyOfItem(hItem)))
        return true;
    for (HTREEITEM hChild = m_tree.GetChildItem(hItem); hChild; hChild = m_tree.GetNextSiblingItem(hChild)) {
        if (SubtreeHoldsDocuments(hChild))
            return true;
    }
    return false;
}

void CProjectTree::RefreshFolderIcon(const CString& uid)
{
    // The root keeps its own picture.
    if (uid == kRootUid)
        return;
    if (HTREEITEM hItem = FindItemByUid(uid, m_tree, m_tree.GetRootItem())) {
        const int has = FolderHasContent(uid);
        m_tree.SetItemImage(hItem, 2 * has, 2 * has + 1);
    }
}

void CProjectTree::RefreshFolderIconByKey(int key)
{
    RefreshFolderIcon(UidOfKey(key));
}

// ---------------------------------------------------------------- the main window's view

CWnd* CProjectTree::GetMainWindow()
{
    return GetTopLevelParent();
}

void CProjectTree::SetFolderCommandsEnabled(int bEnable)
{
    m_bFolderCommandsEnabled = bEnable;
    CWnd* pMain = GetMainWindow();
    HMENU hBar = pMain ? ::GetMenu(pMain->m_hWnd) : nullptr;
    HMENU hFolders = hBar ? ::GetSubMenu(hBar, 1) : nullptr;
    if (!hFolders)
        return;
    const UINT state = bEnable ? MF_ENABLED : (MF_GRAYED | MF_DISABLED);
    ::EnableMenuItem(hFolders, ID_TREE_RENAME_FOLDER, MF_BYCOMMAND | state);
    ::EnableMenuItem(hFolders, ID_TREE_DELETE_FOLDER, MF_BYCOMMAND | state);
    ::EnableMenuItem(hFolders, ID_TREE_INSERT_FOLDER, MF_BYCOMMAND | MF_ENABLED);
}

void CProjectTree::UpdateSelectionAnchor()
{
    HTREEITEM hItem = m_tree.GetSelectedItem();
    CRect rect;
    if (!hItem || !m_tree.GetItemRect(hItem, &rect, TRUE))
        return;
    m_tree.ClientToScreen(&rect);
    m_ptAnchor = CPoint(rect.left + (rect.right - rect.left) / 2, rect.bottom - (rect.bottom - rect.top) / 2);
}

bool CProjectTree::CanRenameOrDeleteSelection()
{
    HTREEITEM hItem = m_tree.GetSelectedItem();
    return hItem && !IsFixedFolder(UidOfItem(hItem));
}

// ---------------------------------------------------------------- notifications

void CProjectTree::OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const NMTREEVIEWA* pView = reinterpret_cast<const NMTREEVIEWA*>(pNMHDR);
    if (!pView->itemNew.hItem)
        return; // the tree was emptied: no folder is shown
    CString uid = UidOfKey(static_cast<int>(pView->itemNew.lParam));
    if (m_hListWnd)
        ::SendMessageA(m_hListWnd, UM_SHOW_FOLDER, 0, reinterpret_cast<LPARAM>(&uid));
    m_strSelectedUid = uid;
    CString placeholder("Folder");
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(UM_FOLDER_SELECTED, 0, reinterpret_cast<LPARAM>(&placeholder));
    if (HTREEITEM hCaret = m_tree.GetSelectedItem())
        SetFolderCommandsEnabled(IsFixedFolder(UidOfItem(hCaret)) ? 0 : 1);
}

void CProjectTree::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The control never applies the text itself: only a name the pane took is shown.
    *pResult = 0;
    const NMTVDISPINFOA* pInfo = reinterpret_cast<const NMTVDISPINFOA*>(pNMHDR);
    CString name = pInfo->item.pszText ? pInfo->item.pszText : "";
    if (name.IsEmpty())
        return;
    CString uid = UidOfItem(pInfo->item.hItem);
    CWnd* pParent = GetParent();
    if (pParent && pParent->SendMessage(UM_RENAME_FOLDER, reinterpret_cast<WPARAM>(&uid),
                                        reinterpret_cast<LPARAM>(&name)))
        m_tree.SetItemText(pInfo->item.hItem, name);
}

void CProjectTree::OnRightClick(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    *pResult = 0;
    CNewMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return;
    CMenu* pPopup = menu.GetSubMenu(1);
    CPoint point(m_tree.m_nLastMouseX, m_tree.m_nLastMouseY);
    m_tree.ClientToScreen(&point);
    m_ptAnchor = point;
    HTREEITEM hItem = m_tree.GetSelectedItem();
    if (!pPopup || !hItem)
        return;
    if (IsFixedFolder(UidOfItem(hItem))) {
        pPopup->EnableMenuItem(ID_TREE_RENAME_FOLDER, MF_BYCOMMAND | MF_GRAYED);
        pPopup->EnableMenuItem(ID_TREE_DELETE_FOLDER, MF_BYCOMMAND | MF_GRAYED);
    }
    if (m_strCopiedDocUid.IsEmpty())
        pPopup->EnableMenuItem(ID_TREE_PASTE_SHORTCUT, MF_BYCOMMAND | MF_GRAYED);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN, point.x, point.y, this);
}

// ---------------------------------------------------------------- commands

void CProjectTree::OnCmdRenameFolder()
{
    HTREEITEM hItem = m_tree.GetSelectedItem();
    if (!hItem || IsFixedFolder(UidOfItem(hItem)))
        return;
    m_tree.SetFocus(); // the control opens a label edit only while it has the focus
    m_tree.EditLabel(hItem);
}

void CProjectTree::OnCmdInsertFolder()
{
    HTREEITEM hParent = m_tree.GetSelectedItem();
    if (!hParent)
        return;
    CString uid;
    CWnd* pParent = GetParent();
    if (!pParent ||
        !pParent->SendMessage(UM_INSERT_FOLDER, static_cast<WPARAM>(KeyOfItem(hParent)), reinterpret_cast<LPARAM>(&uid)))
        return;
    HTREEITEM hItem = InsertFolderItem("New Folder", uid, m_tree, hParent, 0);
    m_tree.Select(hItem, TVGN_CARET);
    RefreshFolderIconByKey(KeyOfItem(m_tree.GetParentItem(hItem)));
    OnCmdRenameFolder();
}

void CProjectTree::OnCmdDeleteFolder()
{
    HTREEITEM hItem = m_tree.GetSelectedItem();
    if (!hItem || IsFixedFolder(UidOfItem(hItem)))
        return;
    CWnd* pMain = GetMainWindow();
    CPoint point = m_ptAnchor;
    if (pMain)
        pMain->ScreenToClient(&point);
    if (SubtreeHoldsDocuments(hItem)) {
        CBalloonHelp::LaunchBalloon("Cannot Delete Folder!",
                                    "Please delete or move the current patent files before deleting folder.", point,
                                    IDI_EXCLAMATION, CBalloonHelp::ShowCloseButton | CBalloonHelp::ShowInnerShadow,
                                    pMain, "", 5000);
        return;
    }
    DeleteFolderSubtree(hItem);
    HTREEITEM hParent = m_tree.GetParentItem(hItem);
    m_tree.DeleteItem(hItem);
    RefreshFolderIcon(UidOfItem(hParent));
}

void CProjectTree::DeleteFolderSubtree(HTREEITEM hItem)
{
    for (HTREEITEM hChild = m_tree.GetChildItem(hItem); hChild; hChild = m_tree.GetNextSiblingItem(hChild))
        DeleteFolderSubtree(hChild);
    CString uid = UidOfItem(hItem);
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(UM_DELETE_FOLDER, reinterpret_cast<WPARAM>(&uid), 0);
}

void CProjectTree::OnCmdPasteShortcut()
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(UM_PASTE_SHORTCUT, 0, 0);
}

// ---------------------------------------------------------------- moving a folder by dragging

void CProjectTree::OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    delete m_pDragImage;
    m_pDragImage = nullptr;
    HTREEITEM hDragged = m_tree.m_hLastClickedItem;
    if (!hDragged)
        return;
    m_pDragImage = m_tree.CreateDragImage(hDragged);
    if (m_pDragImage && m_pDragImage->GetImageCount() == 0) {
        // Some tree controls answer with an empty list (Wine's does): no picture to drag.
        delete m_pDragImage;
        m_pDragImage = nullptr;
    }
    if (!m_pDragImage) {
        auto* pFallback = new CImageList;
        if (pFallback->Create(IDB_FOLDER_DRAG, 32, 0, RGB(255, 255, 255)))
            m_pDragImage = pFallback;
        else
            delete pFallback;
    }
    if (!m_pDragImage) {
        m_bDragging = false;
        m_tree.m_hLastClickedItem = nullptr;
        return;
    }
    m_pDragImage->SetDragCursorImage(0, CPoint(0, 0));
    m_pDragImage->BeginDrag(0, CPoint(0, 0));
    CPoint start = reinterpret_cast<const NMTREEVIEWA*>(pNMHDR)->ptDrag;
    m_tree.ClientToScreen(&start);
    DragImageEnter(m_hWnd, start);
    m_bDragging = true;
    m_HoverExpand.BeginDrag();
    m_hDropItem = nullptr;
    m_hDropWnd = nullptr;
    SetCapture();
}

void CProjectTree::EndFolderDrag()
{
    m_HoverExpand.EndDrag();
    if (!m_bDragging)
        return;
    m_bDragging = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    DragImageLeave();
    CImageList::EndDrag();
}

void CProjectTree::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bDragging) {
        CPoint screen = point;
        ClientToScreen(&screen);
        if (!DragImageMove(screen)) {
            EndFolderDrag();
            m_tree.m_hLastClickedItem = nullptr;
            return;
        }
        CImageList::DragShowNolock(FALSE);
        HWND hWnd = ::WindowFromPoint(screen);
        if (hWnd != m_hDropWnd) {
            m_HoverExpand.Cancel();
            if (m_hDropItem && m_hDropWnd && ::IsWindow(m_hDropWnd))
                ::SendMessageA(m_hDropWnd, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
            m_hDropItem = nullptr;
            m_hDropWnd = hWnd;
        }
        if (IsOwnTreeControl(hWnd)) {
            m_hDropItem = TrackTreeDropTarget(hWnd, screen);
            if (m_hDropItem && m_hDropItem != m_tree.m_hLastClickedItem)
                m_HoverExpand.Hover(hWnd, m_hDropItem);
        }
        CImageList::DragShowNolock(TRUE);
    }
    m_ptLastMouse = point;
    CDialog::OnMouseMove(nFlags, point);
}

void CProjectTree::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bDragging) {
        EndFolderDrag();
        CPoint screen = point;
        ClientToScreen(&screen);
        HWND hWnd = ::WindowFromPoint(screen);
        if (IsOwnTreeControl(hWnd))
            DropFolder(CWnd::FromHandle(hWnd));
    }
    CDialog::OnLButtonUp(nFlags, point);
}

void CProjectTree::OnCaptureChanged(CWnd* pWnd)
{
    // Another window took the mouse (a menu, a box, a switch to another program): the drag
    // ends there, without a drop.
    if (m_bDragging) {
        EndFolderDrag();
        if (m_hDropItem && m_hDropWnd && ::IsWindow(m_hDropWnd))
            ::SendMessageA(m_hDropWnd, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    }
    CDialog::OnCaptureChanged(pWnd);
}

void CProjectTree::DropFolder(CWnd* pTargetWnd)
{
    m_HoverExpand.Cancel();
    HTREEITEM hDragged = m_tree.m_hLastClickedItem;
    HTREEITEM hTarget = m_hDropItem;
    if (!hDragged || !hTarget)
        return;
    if (pTargetWnd)
        pTargetWnd->SendMessage(TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    // Only this tree's items stand for folders of the project.
    if (!pTargetWnd || pTargetWnd->m_hWnd != m_tree.m_hWnd)
        return;
    const CString draggedLabel = m_tree.GetItemText(hDragged);
    if (hTarget == hDragged || draggedLabel == "NEW DOWNLOADS" || draggedLabel == "Project Folders" ||
        IsFixedFolder(UidOfItem(hDragged)))
        return;
    if (IsDescendantFolder(hDragged, hTarget)) {
        MessageBox("Cannot drop Parent folder on Child folder", "Error", MB_ICONERROR);
        return;
    }

    HTREEITEM hNew = CopyFolderItem(hDragged, hTarget);
    if (!hNew || !CopySubtreeChildren(hDragged, hNew)) {
        // The old folders stay: whatever was moved lies in new folders that exist.
        CProgressLog().Write("CProjectTree::DropFolder-The project pane made no folder; the old folders were kept");
        return;
    }
    DeleteFolderSubtree(hDragged);
    HTREEITEM hOldParent = m_tree.GetParentItem(hDragged);
    const bool bWasSelected = m_tree.GetSelectedItem() == hDragged;
    m_tree.DeleteItem(hDragged);
    RefreshFolderIconByKey(KeyOfItem(hTarget));
    RefreshFolderIconByKey(KeyOfItem(hOldParent));
    m_tree.m_hLastClickedItem = nullptr;
    m_hDropItem = nullptr;
    // The moved folder stays the one shown, under its new UID.
    if (bWasSelected)
        m_tree.Select(hNew, TVGN_CARET);
}

HTREEITEM CProjectTree::CopyFolderItem(HTREEITEM hSource, HTREEITEM hNewParent)
{
    m_strCopyName = m_tree.GetItemText(hSource);
    CString uid;
    CWnd* pParent = GetParent();
    if (!pParent || !pParent->SendMessage(UM_COPY_CHILD_FOLDER, static_cast<WPARAM>(KeyOfItem(hNewParent)),
                                          reinterpret_cast<LPARAM>(&uid)))
        return nullptr;
    HTREEITEM hNew = InsertFolderItem(m_strCopyName, uid, m_tree, hNewParent, 0);
    RefreshFolderIconByKey(KeyOfItem(hNewParent));
    // The folder keeps the order its documents are listed in.
    IXMLDOMNodePtr oldFolder = FolderElement(UidOfItem(hSource));
    IXMLDOMNodePtr newFolder = FolderElement(uid);
    if (oldFolder && newFolder) {
        bool bCopied = false;
        for (const char* attribute : {"SortDir", "SortCol"}) {
            CString value;
            if (GetXmlAttribute(oldFolder, attribute, value))
                bCopied = SetXmlAttribute(newFolder, attribute, value) || bCopied;
        }
        if (bCopied && GetParent())
            GetParent()->SendMessage(UM_SAVE_PROJECT, reinterpret_cast<WPARAM>(static_cast<IXMLDOMNode*>(newFolder)), 0);
    }
    MoveFolderDocuments(hSource, hNew);
    MoveFolderShortcuts(hSource, hNew);
    return hNew;
}

bool CProjectTree::CopySubtreeChildren(HTREEITEM hSource, HTREEITEM hNewParent)
{
    if (!hSource || !hNewParent)
        return true;
    for (HTREEITEM hChild = m_tree.GetChildItem(hSource); hChild; hChild = m_tree.GetNextSiblingItem(hChild)) {
        HTREEITEM hNew = CopyFolderItem(hChild, hNewParent);
        if (!hNew || !CopySubtreeChildren(hChild, hNew))
            return false;
    }
    return true;
}

int CProjectTree::IsDescendantFolder(HTREEITEM hDragged, HTREEITEM hTarget)
{
    for (HTREEITEM hAbove = m_tree.GetParentItem(hTarget); hAbove; hAbove = m_tree.GetParentItem(hAbove)) {
        if (hAbove == hDragged)
            return 1;
    }
    const CString draggedUid = UidOfItem(hDragged);
    CString uid = UidOfItem(hTarget);
    const long steps = m_pDocument->selectNodes(L"/Project/Folders/Folder")->Getlength();
    for (long step = 0; step < steps; ++step) {
        IXMLDOMNodePtr folder = FolderElement(uid);
        if (!folder)
            return 0;
        CString parentUid;
        GetXmlAttribute(folder, "ParentUID", parentUid);
        if (parentUid == kRootUid || parentUid == kNewDownloadsUid || parentUid.IsEmpty())
            return 0;
        if (parentUid == draggedUid)
            return 1;
        uid = parentUid;
    }
    return 0; // the chain runs in a circle without reaching the dragged folder
}

void CProjectTree::MoveFolderDocuments(HTREEITEM hOldItem, HTREEITEM hNewItem)
{
    ReparentRecords("/Project/Documents/Document", hOldItem, hNewItem);
}

void CProjectTree::MoveFolderShortcuts(HTREEITEM hOldItem, HTREEITEM hNewItem)
{
    ReparentRecords("/Project/Shorts/Short", hOldItem, hNewItem);
}

void CProjectTree::ReparentRecords(const char* path, HTREEITEM hOldItem, HTREEITEM hNewItem)
{
    const CString newUid = UidOfItem(hNewItem);
    const std::vector<IXMLDOMNodePtr> records =
        SelectNodes(m_pDocument, _bstr_t(CString(path) + "[@ParentUID=" + XPathLiteral(UidOfItem(hOldItem)) + "]"));
    for (const IXMLDOMNodePtr& record : records)
        SetXmlAttribute(record, "ParentUID", newUid);
    if (records.empty())
        return;
    RefreshFolderIcon(newUid);
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(UM_SAVE_PROJECT, 0, 0);
}

IXMLDOMNodePtr CProjectTree::FolderElement(const CString& uid)
{
    return m_pDocument->selectSingleNode(_bstr_t("/Project/Folders/Folder[@UID=" + XPathLiteral(uid) + "]"));
}

// ---------------------------------------------------------------- records from files

CString CProjectTree::SelectedFolderUid() const
{
    HTREEITEM hItem = m_tree.GetSelectedItem();
    return hItem ? UidOfItem(hItem) : CString(kNewDownloadsUid);
}

void CProjectTree::ShowFolderAfterAdding(const CString& uid)
{
    CString shown = uid;
    if (m_hListWnd)
        ::SendMessageA(m_hListWnd, UM_SHOW_FOLDER, 0, reinterpret_cast<LPARAM>(&shown));
    RefreshFolderIcon(uid);
}

void CProjectTree::OnCmdImportFileToFolder()
{
    const CTimeSpan imported = SinceProjectEpoch();
    const CString folderUid = SelectedFolderUid();
    CAddOtherFile dialog(this);
    if (dialog.DoModal() != IDOK)
        return;
    // The UID carries the time of the import; a second import within the same second
    // takes the next number no record has.
    CString recordUid;
    for (unsigned n = static_cast<unsigned>(SpanSeconds(imported));; ++n) {
        recordUid.Format("AOF%d", static_cast<int>(n));
        if (!m_pDocument || !m_pDocument->selectSingleNode(
                                _bstr_t("/Project/Documents/Document[@UID=" + XPathLiteral(recordUid) + "]")))
            break;
    }
    // The record's date is the file's creation, when the file can be read.
    int dateSpan = SpanSeconds(imported);
    CFile file;
    if (file.Open(dialog.m_strChosenPath, CFile::modeRead | CFile::shareDenyNone)) {
        CFileStatus status;
        if (file.GetStatus(status))
            dateSpan = SpanSeconds(SinceProjectEpoch(status.m_ctime));
        file.Close();
    }
    CString title = dialog.m_strTitle;
    title.Remove('"');
    const CString record = ImportedFileRecord(dialog.m_strChosenFileName, folderUid, title, dateSpan, recordUid,
                                              dialog.m_strChosenPath);
    if (m_hPaneWnd)
        ::SendMessageA(m_hPaneWnd, UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(record.GetString()), 0);
    ShowFolderAfterAdding(folderUid);
}

void CProjectTree::RecoverDocument(CString pdfPath, CString htmlPath, CString destFolder)
{
    CString title = "N/A", inventors = "N/A", assignee = "N/A";
    if (!htmlPath.IsEmpty())
        ParseOldDocumentPage(htmlPath, title, inventors, assignee);
    const CString name = RecoveredDocumentName(pdfPath, htmlPath);
    const CTimeSpan now = SinceProjectEpoch();
    const CString selectedUid = SelectedFolderUid();
    const CString recordUid = FormatDocumentUID(name, now);
    title.Remove('"');

    // Each file is copied into the document's own folder under the destination. A file
    // that cannot be copied is kept in the record where it was found, so that the record
    // always names the document's files.
    const CString documentFolder = destFolder + name + "\\";
    RecoveredFile files[2];
    const CString sources[2] = {pdfPath, htmlPath};
    const char* const extensions[2] = {".pdf", ".html"};
    for (int i = 0; i < 2; ++i) {
        if (sources[i].IsEmpty())
            continue;
        if (::GetFileAttributesA(documentFolder) == INVALID_FILE_ATTRIBUTES)
            ::CreateDirectoryA(documentFolder, nullptr);
        const CString target = documentFolder + name + extensions[i];
        files[i].path = ::CopyFileA(sources[i], target, FALSE) ? target : sources[i];
        if (!FileLength(files[i].path, files[i].size))
            files[i].path.Empty();
    }

    const CString record = RecoveredDocumentRecord(name, title, inventors, assignee, SpanSeconds(now), recordUid,
                                                   files[0], files[1]);
    if (m_hPaneWnd)
        ::SendMessageA(m_hPaneWnd, UM_ADD_RECOVERED_DOCUMENT, reinterpret_cast<WPARAM>(record.GetString()), 0);
    ShowFolderAfterAdding(selectedUid);
}
