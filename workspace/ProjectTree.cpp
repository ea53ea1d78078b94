#include "ProjectTree.h"

#include "BalloonHelp.h"
#include "Bitmap.h"
#include "DataExchange.h"
#include "NewMenu.h"
#include "ProgressLog.h"
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
END_MESSAGE_MAP()

namespace {

const int kRootKey = -1;
const char kRootUid[] = "ROOT";
const char kNewDownloadsUid[] = "1";
const int kImageSize = 17;
const COLORREF kImageMask = RGB(0, 255, 0);

// NEW DOWNLOADS and the root can be neither renamed nor deleted.
bool IsFixedFolder(const CString& uid)
{
    return uid == kNewDownloadsUid || uid == kRootUid;
}

} // namespace

CProjectTree::CProjectTree(CWnd* pParent) : CDialog(IDD_PROJECT_TREE, pParent)
{
    CBitmap strip;
    if (m_imageList.Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, 9, 0) && strip.LoadBitmap(IDB_TREE_FOLDERS))
        m_imageList.Add(&strip, kImageMask);
}

CProjectTree::~CProjectTree() = default;

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
