#include "ProjectManagerContainer.h"

#include "BalloonHelp.h"
#include "DataExchange.h"
#include "DataFileSaves.h"
#include "DataFiles.h"
#include "DC.h"
#include "ProgramOptions.h"
#include "ProgressLog.h"
#include "ProjectMessages.h"
#include "RequestedNumbers.h"
#include "StageClock.h"
#include "StepGuard.h"
#include "TextHelpers.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <mmsystem.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cctype>
#include <cstring>
#include <stdexcept>
#include <string>

IMPLEMENT_DYNAMIC(CProjectManagerContainer, CDialog)

BEGIN_MESSAGE_MAP(CProjectManagerContainer, CDialog)
    ON_WM_SIZE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_EXPAND_BUTTON, &CProjectManagerContainer::OnToggleExpandedLayout)
    ON_BN_CLICKED(IDC_DOWNLOAD_NOW, &CProjectManagerContainer::OnQuickDownload)
    ON_EN_CHANGE(IDC_QUICK_DOWNLOAD_EDIT, &CProjectManagerContainer::OnChangeQuickDownloadEdit)
    ON_MESSAGE(UM_SAVE_PROJECT, &CProjectManagerContainer::OnSaveProject)
    ON_MESSAGE(UM_PROJECT_FILE_REPLACED, &CProjectManagerContainer::OnProjectFileReplaced)
    ON_MESSAGE(UM_STORE_CHANGED, &CProjectManagerContainer::OnStoreChanged)
    ON_MESSAGE(UM_RENAME_FOLDER, &CProjectManagerContainer::OnRenameFolder)
    ON_MESSAGE(UM_INSERT_FOLDER, &CProjectManagerContainer::OnNewFolder)
    ON_MESSAGE(UM_FOLDER_SELECTED, &CProjectManagerContainer::OnFolderSelected)
    ON_MESSAGE(UM_DELETE_FOLDER, &CProjectManagerContainer::OnDeleteFolder)
    ON_MESSAGE(UM_DROP_FOLDER, &CProjectManagerContainer::OnCopyFolderNode)
    ON_MESSAGE(UM_COPY_CHILD_FOLDER, &CProjectManagerContainer::OnAddFolderNode)
    ON_MESSAGE(UM_COPY_SHORTCUT, &CProjectManagerContainer::OnCopyShortcut)
    ON_MESSAGE(UM_PASTE_SHORTCUT, &CProjectManagerContainer::OnPasteShortcut)
    ON_MESSAGE(UM_REFRESH_PROJECT, &CProjectManagerContainer::OnDropFinished)
    ON_MESSAGE(UM_DOCUMENTS_DROPPED, &CProjectManagerContainer::OnDocumentsMoved)
    ON_MESSAGE(UM_ADD_DOCUMENT, &CProjectManagerContainer::OnDocumentDownloaded)
    ON_MESSAGE(UM_ADD_RECOVERED_DOCUMENT, &CProjectManagerContainer::OnRecoveredDocument)
    ON_MESSAGE(UM_PLAY_ERROR_SOUND, &CProjectManagerContainer::OnPlayNotifySound)
    ON_MESSAGE(UM_SOCKET_CLOSED, &CProjectManagerContainer::OnSocketClosed)
    ON_MESSAGE(UM_DELETE_DOCUMENTS, &CProjectManagerContainer::OnDeleteDocuments)
    ON_MESSAGE(UM_UNLINK_DOCUMENTS, &CProjectManagerContainer::OnUnlinkDocuments)
    ON_MESSAGE(UM_DOWNLOAD_DOCUMENT, &CProjectManagerContainer::OnDownloadDocument)
    ON_COMMAND(ID_LIST_COPY_TO_CLIPBOARD, &CProjectManagerContainer::OnCopyToClipboard)
    ON_BN_CLICKED(IDC_PANE_COPY_TO_CLIPBOARD, &CProjectManagerContainer::OnCopyToClipboardButton)
    ON_BN_CLICKED(IDC_PANE_HELP, &CProjectManagerContainer::OnHelpButton)
END_MESSAGE_MAP()

namespace {

const COLORREF kGround = RGB(220, 215, 185);
const COLORREF kPanel = RGB(236, 233, 216);
const COLORREF kEdge = RGB(196, 185, 128);
const COLORREF kFrameLower = RGB(223, 215, 171);
const int kHeaderColumn = 9; // the pane starts 9 pixels right of the main window's banner
const UINT kToolbarPort = 50055;
const unsigned kBalloonOptions = CBalloonHelp::ShowCloseButton | CBalloonHelp::ShowInnerShadow;
const char kNewDownloads[] = "NEW DOWNLOADS";
const char kOpenFileSentence[] = "Please CLICK HERE to open this file or go to the appropriate folder to open this patent.";

// Runs one start-up step of the pane; anything it throws is reported in a box that names
// the step (the pane writes no log line for it), and the start goes on.
template <class Step>
void Guarded(const char* what, Step&& run)
{
    if (!RunStep(run))
        ReportStepException(what);
}

void Log(const char* who, const char* what)
{
    CProgressLog().Write(CString("CProjectManagerContainer::") + who + "-" + what);
}

const CString* TextArg(WPARAM wParam)
{
    return reinterpret_cast<const CString*>(wParam);
}

// An element of the project document, made the way the store's own elements are.
IXMLDOMNodePtr NewElement(IXMLDOMDocument2Ptr doc, const char* name)
{
    return doc->createNode(_variant_t(static_cast<short>(NODE_ELEMENT)), _bstr_t(name), _bstr_t(L""));
}

// Takes each node out of the element that holds it: a store may hold more than one Shorts
// element, and a Short of the second is no child of the first.
void RemoveEach(IXMLDOMNodeListPtr pNodes)
{
    for (long i = 0; i < pNodes->Getlength(); ++i) {
        IXMLDOMNodePtr node = pNodes->Getitem(i);
        if (IXMLDOMNodePtr parent = node->GetparentNode())
            parent->removeChild(node);
    }
}

} // namespace

CProjectManagerContainer::CProjectManagerContainer(CWnd* pParent)
    : CDialog(IDD_PROJECT_MANAGER, pParent), m_ProjectTree(this), m_PatentManager(this)
{
    m_hCursorVertical = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_SPLIT_VERTICAL));
    m_hCursorHorizontal = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_SPLIT_HORIZONTAL));
    m_hCursorArrow = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    m_bmpPattern.LoadBitmap(IDB_SPLITTER_PATTERN);
    // The store's writes run on this window's thread; the new file is taken up once the
    // change that found it has ended.
    m_Store.SetReplacedHandler([this] {
        if (::IsWindow(m_hWnd))
            PostMessage(UM_PROJECT_FILE_REPLACED);
    });
}

CProjectManagerContainer::~CProjectManagerContainer()
{
    CloseToolbarLink();
}

void CProjectManagerContainer::OnDestroy()
{
    // Requests need the pane's windows: the link ends with them.
    CloseToolbarLink();
    CDialog::OnDestroy();
}

void CProjectManagerContainer::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_QUICK_DOWNLOAD_EDIT, m_editQuickDownload);
    DDX_Control(pDX, IDC_DOWNLOAD_NOW, m_buttonDownloadNow);
    DDX_Control(pDX, IDC_EXPAND_BUTTON, m_buttonExpand);
    DDX_Control(pDX, IDC_PANE_HELP, m_buttonHelp);
    DDX_Control(pDX, IDC_PANE_COPY_TO_CLIPBOARD, m_buttonCopyToClipboard);
    DDX_Control(pDX, IDC_FIRST_PAGE_CHECK, m_checkFirstPage);
    DDX_Control(pDX, IDC_PAGE_CHOICE, m_comboPageChoice);
    DDX_Control(pDX, IDC_FILE_WRAPPER_ONLY, m_checkFileWrapperOnly);
    DDX_Control(pDX, IDC_PANE_PICTURE, m_picture);
    DDX_Control(pDX, IDC_PANE_LABEL, m_labelPane);
    DDX_Control(pDX, IDC_PANE_NOTE, m_labelNote);
}

BOOL CProjectManagerContainer::OnInitDialog()
{
    CDialog::OnInitDialog();

    Guarded("Creating ProjectTree", [this] {
        if (!m_ProjectTree.Create(IDD_PROJECT_TREE, this))
            throw std::runtime_error("the folder tree could not be created");
        m_ProjectTree.m_hPaneWnd = m_hWnd;
        m_ProjectTree.ShowWindow(SW_SHOW);
    });
    Guarded("Creating PatentManager", [this] {
        if (!m_PatentManager.Create(IDD_PATENT_MANAGER, this))
            throw std::runtime_error("the document list could not be created");
        m_PatentManager.ShowWindow(SW_SHOW);
    });
    Guarded("Creating DownloadManager", [this] {
        if (!m_DownloadManager.Create(IDD_DOWNLOAD_MANAGER, this))
            throw std::runtime_error("the download queue could not be created");
        m_DownloadManager.m_hOwner = m_hWnd;
        m_DownloadManager.ShowWindow(SW_SHOW);
    });
    Guarded("Setting DefaultText Combo", [this] {
        m_editQuickDownload.Initialize();
        m_editQuickDownload.MoveWindow(2, 2, 140, 56);
        m_editQuickDownload.m_bCueText = TRUE;
        m_editQuickDownload.m_strCueText = "ENTER PATENT";
        m_editQuickDownload.SetWindowText("ENTER PATENT");
        m_labelNote.SetTransparent(TRUE);
        m_labelNote.Initialize();
        m_labelNote.EnableWindow(FALSE);
        for (int n = 9; n >= 1; --n) {
            CString text;
            text.Format("First %d", n);
            int index = m_comboPageChoice.InsertString(0, text);
            m_comboPageChoice.SetItemData(index, static_cast<DWORD_PTR>(n));
        }
        int all = m_comboPageChoice.InsertString(0, "All Pages");
        m_comboPageChoice.SetItemData(all, static_cast<DWORD_PTR>(-1));
        m_comboPageChoice.SetCurSel(0);
        // The box paints its face over the size it has when initialised.
        m_checkFileWrapperOnly.SetWindowPos(nullptr, 0, 0, 130, 16, SWP_NOMOVE | SWP_NOZORDER);
        m_checkFileWrapperOnly.Initialize();
        m_checkFileWrapperOnly.SetText("File Wrapper Only");
        m_checkFirstPage.Initialize();
        m_checkFirstPage.SetText("First");
    });
    Guarded("Initializing DownloadManager Controls", [this] {
        m_buttonDownloadNow.MoveWindow(&m_Layout.m_rectbuttonQuickDownload);
        m_buttonDownloadNow.LoadBitmap(IDB_DOWNLOAD_NOW);
        m_buttonExpand.LoadBitmap(IDB_EXPAND_PLUS);
        m_buttonExpand.SetWindowPos(nullptr, CPaneLayout::Margin, 66, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_bmpPlus.LoadBitmap(IDB_EXPAND_PLUS);
        m_bmpMinus.LoadBitmap(IDB_EXPAND_MINUS);
        m_ProjectTree.m_hListWnd = m_PatentManager.m_hWnd;
        m_PatentManager.m_hTreeWnd = m_ProjectTree.m_hWnd;
        m_picture.GetWindowRect(&m_rectPicture);
        ScreenToClient(&m_rectPicture);
        m_bmpHeader.LoadBitmap(IDB_BANNER);
    });
    Guarded("Loading Pane Dimensions from disk", [this] {
        GetClientRect(&m_rectClient);
        if (!LoadLayout())
            m_Layout.SetDefault();
    });
    m_Layout.m_rectbuttonQuickDownload.SetRect(152, 62, 230, 85);
    m_Layout.m_rectNormalEditRect.SetRect(CPaneLayout::Margin + 20, 65, 150, 80);

    // The queue looks numbers up in the project through these; its retry settings.
    m_DownloadManager.m_pDocumentIndex = &m_mapNameToUID;
    m_DownloadManager.m_ppProjectDocument = m_Store.GetDocumentAddress();
    CProgramOptions options;
    m_DownloadManager.m_nRetryFailed = options.GetBoolOption("RetryFailedDownloads") ? 1 : 0;
    m_DownloadManager.m_nWaitBetweenAttempts = options.GetIntOption("WaitTimeBetweenAttempts") * 1000;
    m_DownloadManager.m_nAttemptLimit = options.GetIntOption("NumberOfAttemptsBeforeFailure");

    m_buttonHelp.LoadBitmap(IDB_PANE_HELP);
    m_buttonCopyToClipboard.LoadBitmap(IDB_PANE_COPY);
    m_buttonHelp.SetWindowPos(nullptr, m_rectClient.Width() - 83, 62, 78, 22, SWP_NOZORDER);
    m_buttonCopyToClipboard.SetWindowPos(nullptr, m_rectClient.Width() - 213, 62, 113, 22, SWP_NOZORDER);
    m_bInitialized = 1;

    // The toolbar runs on this machine: the port is open on the loopback address only. When
    // it cannot be opened (another program holds it) the pane runs without the toolbar link;
    // the progress log says why.
    m_Listener.SetOwner(this);
    m_Listener.OpenListener(kToolbarPort, "127.0.0.1");
    return TRUE;
}

// ---------------------------------------------------------------- the project store

bool CProjectManagerContainer::LoadProjectConfig(CString path)
{
    // The index holds the names of this store's documents only.
    m_mapNameToUID.RemoveAll();
    m_Store.Load(path);
    IXMLDOMDocument2Ptr doc = m_Store.GetDocument();
    CStageTimer timer("folder tree");
    bool bResult = m_ProjectTree.LoadProjectTree(doc) != 0;
    timer.Next("name index");
    if (bResult) {
        m_PatentManager.SetNameMap(&m_mapNameToUID);
        bResult = m_PatentManager.SetProjectDocument(doc);
    } else {
        m_PatentManager.BuildNameMap();
    }
    return bResult;
}

void CProjectManagerContainer::SaveProjectConfig()
{
    m_Store.Save();
}

void CProjectManagerContainer::ReloadProjectConfig()
{
    LoadProjectConfig(ResolveDataFilePath("Project.cfg"));
    m_PatentManager.RefreshView("1");
    SelectNewDownloads();
}

void CProjectManagerContainer::SelectNewDownloads()
{
    CMyTreeCtrl& control = m_ProjectTree.GetTree();
    if (HTREEITEM hItem = m_ProjectTree.FindItemByUid("1", control, control.GetRootItem()))
        control.Select(hItem, TVGN_CARET);
}

bool CProjectManagerContainer::TakeReplacedProjectFile()
{
    if (!m_Store.WasReplaced())
        return false;
    const CString path = CProjectStore::FilePath();
    CString aside;
    if (m_Store.HasUnsavedChanges()) {
        aside = m_Store.KeepAside();
        if (aside.IsEmpty())
            return false;
    }
    Log("TakeReplacedProjectFile", "Another program replaced Project.cfg; the project in it is shown");
    ReloadProjectConfig();
    // What is shown is what the file holds.
    DataFileSaved(path);
    if (!aside.IsEmpty())
        TellDataFileNotice(path, "Project Replaced",
                           "Another program put a project file of its own in place of\n" + path +
                               "\nwhile Zentrova was running. Zentrova did not write over it and now shows the "
                               "project it holds.\n\nThe project as Zentrova held it, with the changes made "
                               "since, is kept as\n" + aside +
                               "\nTo go back to it, close Zentrova and put that file in place of Project.cfg.");
    return true;
}

LRESULT CProjectManagerContainer::OnProjectFileReplaced(WPARAM, LPARAM)
{
    TakeReplacedProjectFile();
    return 0;
}

CString CProjectManagerContainer::SaveBeforeClose()
{
    if (!m_Store.HasUnsavedChanges())
        return CString();
    const bool bReplaced = m_Store.WasReplaced();
    if (!bReplaced) {
        m_Store.Save();
        if (!m_Store.HasUnsavedChanges())
            return CString();
    }
    const CString path = CProjectStore::FilePath();
    const CString aside = m_Store.KeepAside();
    CString text = bReplaced ? CString("The ") + CProjectStore::kFileContents +
                                   " was not saved: another program put a file of its own in place of\n" + path +
                                   "\nand Zentrova does not write over it."
                             : DataFileNotSavedHeading(path, CProjectStore::kFileContents);
    if (aside.IsEmpty())
        text += "\n\nNor could it be kept beside that file: the changes since its last save are lost when "
                "Zentrova ends.";
    else
        text += "\n\nThe project as Zentrova holds it, with the changes since its last save, is kept as\n" + aside +
                "\nTo have them back, put that file in place of Project.cfg before Zentrova starts again.";
    Log("SaveBeforeClose", aside.IsEmpty() ? "The project is not saved and could not be kept"
                                           : "The project is not saved; it is kept beside Project.cfg");
    return text;
}

IXMLDOMNodePtr CProjectManagerContainer::RequireNode(const wchar_t* path, const char* who)
{
    IXMLDOMDocument2Ptr doc = m_Store.GetDocument();
    IXMLDOMNodePtr node = doc ? doc->selectSingleNode(_bstr_t(path)) : nullptr;
    if (!node)
        Log(who, "The project has no " + ToAnsi(_bstr_t(path)) + "; nothing was changed");
    return node;
}

LRESULT CProjectManagerContainer::OnStoreChanged(WPARAM, LPARAM)
{
    m_Store.ChangedWithoutSave();
    return 1;
}

LRESULT CProjectManagerContainer::OnSaveProject(WPARAM wParam, LPARAM)
{
    if (wParam)
        m_Store.SaveChanged(reinterpret_cast<IXMLDOMNode*>(wParam));
    else
        SaveProjectConfig();
    return 1;
}

// ---------------------------------------------------------------- folders

LRESULT CProjectManagerContainer::AddFolder(int parentKey, const CString& name, CString* pNewUid, const char* who)
{
    IXMLDOMNodePtr folders = RequireNode(L"/Project/Folders", who);
    if (!folders)
        return 0;
    const CString parentUid = m_ProjectTree.UidOfKey(parentKey);
    const CString uid = m_Store.NextUID();
    IXMLDOMNodePtr folder = NewElement(m_Store.GetDocument(), "Folder");
    SetXmlAttribute(folder, "Name", name);
    SetXmlAttribute(folder, "UID", uid);
    SetXmlAttribute(folder, "ParentUID", parentUid);
    folders->appendChild(folder);
    if (pNewUid)
        *pNewUid = uid;
    SaveProjectConfig();
    return 1;
}

LRESULT CProjectManagerContainer::OnNewFolder(WPARAM wParam, LPARAM lParam)
{
    return AddFolder(static_cast<int>(wParam), "New Folder", reinterpret_cast<CString*>(lParam), "OnNewFolder");
}

LRESULT CProjectManagerContainer::OnCopyFolderNode(WPARAM wParam, LPARAM lParam)
{
    // The folder being dropped is the item the tree's drag started from.
    CMyTreeCtrl& tree = m_ProjectTree.GetTree();
    CString name = tree.m_hLastClickedItem ? tree.GetItemText(tree.m_hLastClickedItem) : CString();
    return AddFolder(static_cast<int>(wParam), name, reinterpret_cast<CString*>(lParam), "OnCopyFolderNode");
}

LRESULT CProjectManagerContainer::OnAddFolderNode(WPARAM wParam, LPARAM lParam)
{
    return AddFolder(static_cast<int>(wParam), m_ProjectTree.m_strCopyName, reinterpret_cast<CString*>(lParam),
                     "OnAddFolderNode");
}

LRESULT CProjectManagerContainer::OnRenameFolder(WPARAM wParam, LPARAM lParam)
{
    const CString* pUid = TextArg(wParam);
    const CString* pName = TextArg(static_cast<WPARAM>(lParam));
    IXMLDOMDocument2Ptr doc = m_Store.GetDocument();
    if (!pUid || !pName || !doc)
        return 0;
    IXMLDOMNodePtr folder = doc->selectSingleNode(_bstr_t("/Project/Folders/Folder[@UID=" + XPathLiteral(*pUid) + "]"));
    if (!folder) {
        Log("OnRenameFolder", "No folder has the UID " + *pUid + "; nothing was renamed");
        return 0;
    }
    SetXmlAttribute(folder, "Name", *pName);
    SaveProjectConfig();
    return 1;
}

LRESULT CProjectManagerContainer::OnDeleteFolder(WPARAM wParam, LPARAM)
{
    const CString* pUid = TextArg(wParam);
    if (!pUid)
        return 0;
    IXMLDOMNodePtr folders = RequireNode(L"/Project/Folders", "OnDeleteFolder");
    if (!folders)
        return 0;
    DeleteShortcutsOfFolder(*pUid);
    IXMLDOMNodePtr folder =
        m_Store.GetDocument()->selectSingleNode(_bstr_t("/Project/Folders/Folder[@UID=" + XPathLiteral(*pUid) + "]"));
    if (!folder)
        return 0;
    folder->GetparentNode()->removeChild(folder);
    SaveProjectConfig();
    return 1;
}

LRESULT CProjectManagerContainer::OnFolderSelected(WPARAM, LPARAM)
{
    return 1;
}

LRESULT CProjectManagerContainer::OnDropFinished(WPARAM, LPARAM)
{
    if (HTREEITEM hDrop = m_ProjectTree.m_hDropItem) {
        const CString uid = m_ProjectTree.UidOfKey(m_ProjectTree.KeyOfItem(hDrop));
        m_ProjectTree.RefreshFolderIcon(uid);
        m_PatentManager.RefreshView(uid);
    }
    SaveProjectConfig();
    return 1;
}

void CProjectManagerContainer::CreateDefaultFolders()
{
    CMyTreeCtrl& tree = m_ProjectTree.GetTree();
    HTREEITEM hRoot = tree.GetRootItem();
    if (!hRoot)
        return; // the store did not load: there is no tree to add to
    IXMLDOMNodePtr folders = RequireNode(L"/Project/Folders", "CreateDefaultFolders");
    if (!folders)
        return;
    const CString rootUid = m_ProjectTree.UidOfKey(m_ProjectTree.KeyOfItem(hRoot));

    struct Sample
    {
        const char* name;
        bool underClients; // under "Client Folders", else under the root
    };
    const Sample samples[] = {{"Client Folders", false},
                              {"Client 1 Folder", true},
                              {"Client 2 Folder", true},
                              {"New Folder 1", false},
                              {"New Folder 2", false}};
    CString clientsUid;
    HTREEITEM hClients = nullptr;
    for (const Sample& sample : samples) {
        const CString uid = m_Store.NextUID();
        const CString parentUid = sample.underClients ? clientsUid : rootUid;
        IXMLDOMNodePtr folder = NewElement(m_Store.GetDocument(), "Folder");
        SetXmlAttribute(folder, "Name", sample.name);
        SetXmlAttribute(folder, "UID", uid);
        SetXmlAttribute(folder, "ParentUID", parentUid);
        folders->appendChild(folder);
        HTREEITEM hItem =
            m_ProjectTree.InsertFolderItem(sample.name, uid, tree, sample.underClients ? hClients : hRoot, 0);
        if (!hClients) {
            hClients = hItem;
            clientsUid = uid;
        }
    }
    SaveProjectConfig();
}

LRESULT CProjectManagerContainer::OnDocumentsMoved(WPARAM, LPARAM)
{
    CMyListCtrl& list = m_PatentManager.GetList();
    const CString targetUid = m_ProjectTree.UidOfKey(static_cast<int>(list.m_dwDropTargetData));
    if (targetUid == "ROOT")
        return 0;
    IXMLDOMDocument2Ptr doc = m_Store.GetDocument();
    if (!doc)
        return 0;
    for (int row : list.m_arrDraggedRows) {
        const CString uid = m_PatentManager.UidOfRowData(list.GetItemData(row));
        IXMLDOMNodePtr document =
            doc->selectSingleNode(_bstr_t("/Project/Documents/Document[@UID=" + XPathLiteral(uid) + "]"));
        if (document)
            SetXmlAttribute(document, "ParentUID", targetUid);
    }
    const CString shownUid = m_PatentManager.m_strFolderUID;
    int shownKey = -1;
    m_ProjectTree.m_mapUidToKey.Lookup(shownUid, shownKey);
    m_PatentManager.RefreshView(shownUid);
    m_ProjectTree.RefreshFolderIconByKey(shownKey);
    m_ProjectTree.RefreshFolderIcon(targetUid);
    SaveProjectConfig();
    return 1;
}

// ---------------------------------------------------------------- filing documents

LRESULT CProjectManagerContainer::OnDocumentDownloaded(WPARAM wParam, LPARAM lParam)
{
    const char* pRecord = reinterpret_cast<const char*>(wParam);
    return pRecord ? AddDownloadedDocument(pRecord, lParam == 1) : 0;
}

LRESULT CProjectManagerContainer::OnRecoveredDocument(WPARAM wParam, LPARAM)
{
    const char* pRecord = reinterpret_cast<const char*>(wParam);
    return pRecord ? AddRecoveredDocument(pRecord) : 0;
}

int CProjectManagerContainer::AddDownloadedDocument(CString strRecord, BOOL bLast)
{
    // A download is filed into the project that Project.cfg holds: when another program
    // replaced the file, that project is taken up first (NEW DOWNLOADS is in every project).
    TakeReplacedProjectFile();
    return AddDocument(strRecord, bLast, true, "AddDownloadedDocument");
}

int CProjectManagerContainer::AddRecoveredDocument(CString strRecord)
{
    return AddDocument(strRecord, FALSE, false, "AddRecoveredDocument");
}

int CProjectManagerContainer::AddDocument(const CString& strRecord, BOOL bLast, bool bNotify, const char* who)
{
    IXMLDOMDocument2Ptr record;
    try {
        record = CreateDomDocument();
    } catch (const _com_error&) {
        return 0;
    }
    CStageTimer timer("parse record");
    IXMLDOMNodePtr document;
    if (record->loadXML(_bstr_t(strRecord)))
        document = record->selectSingleNode(L"/Document");
    if (!document) {
        Log(who, "The record text holds no Document record; nothing was added");
        return 0;
    }
    IXMLDOMDocument2Ptr doc = m_Store.GetDocument();
    IXMLDOMNodePtr documents = doc ? doc->selectSingleNode(L"/Project/Documents") : nullptr;
    CString name, uid, pdfPath;
    GetXmlAttribute(document, "Name", name);
    GetXmlAttribute(document, "UID", uid);
    IXMLDOMNodePtr filed;
    if (documents) {
        if (m_nNotifyMode != 0) {
            IXMLDOMNodePtr pdf = record->selectSingleNode(_bstr_t(
                "/Document[@UID=" + XPathLiteral(uid) + "]/XMLCatalog/CatalogItem[@FileType='PDF']"));
            if (pdf)
                GetXmlAttribute(pdf, "FilePath", pdfPath);
        }
        timer.Next("file record");
        filed = documents->appendChild(document);
        // Only a record that is now in the store counts as downloaded.
        m_mapNameToUID.SetAt(name, uid);
        timer.Next("folder tree");
        m_ProjectTree.RefreshFolderIcon("1");
    } else {
        Log(who, "The project has no /Project/Documents; the record was not added");
    }
    timer.Stop();
    // The new record takes its place in the list shown; the rest of the list stays.
    if (m_ProjectTree.m_strSelectedUid == "1") {
        if (filed)
            m_PatentManager.ShowAddedDocument(filed, "1");
        else
            m_PatentManager.RefreshView("1");
    }

    if (bNotify) {
        const bool bAllDone = m_bPlaySoundAfterAllDownloads && bLast;
        if (bAllDone && !m_strSoundAfterAllDownloadsPath.IsEmpty())
            PlayNotificationSound(m_strSoundAfterAllDownloadsPath);
        if (m_bPlaySoundAfterDownload && !m_strSoundAfterDownloadPath.IsEmpty() && !bAllDone)
            PlayNotificationSound(m_strSoundAfterDownloadPath);
        if (m_nNotifyMode == 2 && bLast && !m_bToolbarRequest) {
            ShowNotificationBalloon("All Downloads Complete", "All Zentrova downloads have been completed!",
                                    IDI_APPLICATION, "");
        } else if (m_nNotifyMode == 1) {
            CString text;
            text.Format("Zentrova has completed the download of document: %s.\n", name.GetString());
            if (!pdfPath.IsEmpty())
                text += "Please CLICK HERE to view the patent";
            ShowNotificationBalloon("Download Complete", text, IDI_QUESTION, pdfPath);
        }
    }
    // Only the new record is serialized into the store's text.
    if (filed)
        m_Store.SaveAppended(filed);
    else
        SaveProjectConfig();
    return 1;
}

LRESULT CProjectManagerContainer::OnPlayNotifySound(WPARAM, LPARAM)
{
    if (m_bPlaySoundAfterError && !m_strSoundAfterErrorPath.IsEmpty())
        PlayNotificationSound(m_strSoundAfterErrorPath);
    return 1;
}

void CProjectManagerContainer::PlayNotificationSound(const CString& strPath)
{
    ::PlaySoundA(strPath, nullptr, SND_ASYNC | SND_FILENAME);
}

void CProjectManagerContainer::ShowBalloon(const char* title, const CString& text, const char* icon,
                                           const CPoint& anchor, unsigned options, const CString& strLink)
{
    CBalloonHelp::LaunchBalloon(title, text, anchor, icon, options, GetTopLevelParent(), strLink, 5000);
}

void CProjectManagerContainer::ShowNotificationBalloon(const char* title, const CString& text, const char* icon,
                                                       const CString& strLink)
{
    ShowBalloon(title, text, icon, CPoint(210, 115), kBalloonOptions | CBalloonHelp::ShowTopmost, strLink);
}

void CProjectManagerContainer::ShowFailureBalloon(const CString& strLines, unsigned options)
{
    // 110 pixels right of the centre of the "download now" button, in the main window.
    const CRect& button = m_Layout.m_rectbuttonQuickDownload;
    POINT anchor{button.CenterPoint().x + 110, button.CenterPoint().y};
    if (CWnd* pMain = GetTopLevelParent())
        ::MapWindowPoints(m_hWnd, pMain->m_hWnd, &anchor, 1);
    ShowBalloon("Sorry....",
                "Sorry, the following document(s) could not be downloaded because:\n\n" + strLines, IDI_EXCLAMATION,
                CPoint(anchor.x, anchor.y), options, "");
}

// ---------------------------------------------------------------- shortcuts

LRESULT CProjectManagerContainer::OnCopyShortcut(WPARAM wParam, LPARAM)
{
    const CString* pUid = TextArg(wParam);
    if (pUid && !pUid->IsEmpty())
        m_strShortcutDocUid = *pUid;
    m_ProjectTree.m_strCopiedDocUid = m_strShortcutDocUid;
    return 0;
}

LRESULT CProjectManagerContainer::OnPasteShortcut(WPARAM, LPARAM)
{
    if (m_ProjectTree.m_strCopiedDocUid.IsEmpty())
        return 0;
    HTREEITEM hItem = m_ProjectTree.GetTree().GetSelectedItem();
    if (!hItem)
        return 0;
    // The document the user copied last: a quick download or a toolbar request that filed
    // a shortcut since then named its own document to AddShortcut, not the copied one.
    m_strShortcutDocUid = m_ProjectTree.m_strCopiedDocUid;
    AddShortcut(m_ProjectTree.KeyOfItem(hItem));
    return 0;
}

void CProjectManagerContainer::AddShortcut(int key)
{
    IXMLDOMNodePtr shorts = RequireNode(L"/Project/Shorts", "AddShortcut");
    if (!shorts)
        return;
    const CString folderUid = m_ProjectTree.UidOfKey(key);
    IXMLDOMNodePtr shortcut = NewElement(m_Store.GetDocument(), "Short");
    SetXmlAttribute(shortcut, "ShortUID", m_strShortcutDocUid);
    SetXmlAttribute(shortcut, "UID", m_Store.NextUID());
    SetXmlAttribute(shortcut, "ParentUID", folderUid);
    shorts->appendChild(shortcut);
    m_ProjectTree.RefreshFolderIcon(folderUid);
    m_PatentManager.RefreshView(folderUid);
    SaveProjectConfig();
}

void CProjectManagerContainer::DeleteShortcut(CString strDocUid)
{
    if (RemoveShortcutsOfDocument(strDocUid))
        SaveProjectConfig();
}

bool CProjectManagerContainer::RemoveShortcutsOfDocument(const CString& strDocUid)
{
    IXMLDOMNodePtr shorts = RequireNode(L"/Project/Shorts", "DeleteShortcut");
    if (!shorts)
        return false;
    IXMLDOMNodeListPtr found =
        m_Store.GetDocument()->selectNodes(_bstr_t("Project/Shorts/Short[@ShortUID=" + XPathLiteral(strDocUid) + "]"));
    RemoveEach(found);
    return true;
}

void CProjectManagerContainer::DeleteShortcutsOfFolder(CString strFolderUid)
{
    IXMLDOMNodePtr shorts = RequireNode(L"/Project/Shorts", "DeleteShortcutsOfFolder");
    if (!shorts)
        return;
    IXMLDOMNodeListPtr found = m_Store.GetDocument()->selectNodes(
        _bstr_t("Project/Shorts/Short[@ParentUID=" + XPathLiteral(strFolderUid) + "]"));
    RemoveEach(found);
    SaveProjectConfig();
}

// ---------------------------------------------------------------- quick download

void CProjectManagerContainer::EmptyQuickDownloadBox()
{
    m_editQuickDownload.SetWindowText("");
    m_editQuickDownload.UpdateCueText();
}

int CProjectManagerContainer::HandOverToQueue(const CString& number, bool bFileWrapper)
{
    m_DownloadManager.m_nFileWrapperMode = bFileWrapper ? 1 : 0;
    m_DownloadManager.m_dwMainWindow = reinterpret_cast<DWORD_PTR>(::GetParent(m_hWnd));
    m_strFoundPdfPath.Empty();
    const int result = QueueDownload(number);
    m_DownloadManager.m_bShowWrapperDialog = 0;
    return result;
}

int CProjectManagerContainer::QueueDownload(const CString& number)
{
    return m_DownloadManager.AddDownload(number);
}

void CProjectManagerContainer::OnQuickDownload()
{
    m_bToolbarRequest = false;
    CString text;
    m_editQuickDownload.GetWindowText(text);
    if (text.IsEmpty() || m_editQuickDownload.IsShowingCueText())
        return;

    const int nSelected = m_comboPageChoice.GetCurSel();
    if (nSelected == CB_ERR) {
        m_DownloadManager.m_nPageLimit = 1;
        return;
    }
    const int nChoice = static_cast<int>(m_comboPageChoice.GetItemData(nSelected));
    m_DownloadManager.m_bFirstPageOnly = nChoice < 0 ? 0 : 1;
    m_DownloadManager.m_nPageLimit = nChoice < 0 ? 0 : nChoice;

    CString failures;
    for (const CString& line : SplitRequestLines(text)) {
        CString number = CleanQuickDownloadNumber(line);
        if (number.IsEmpty())
            continue;
        number.Replace("US", "");
        const int result = HandOverToQueue(number, m_checkFileWrapperOnly.GetCheck() != 0);
        if (result == -1) {
            CString failure;
            failure.Format("%s is currently being downloaded\n", number.GetString());
            failures += failure;
        } else if (result == -3 && QuickDownloadFound(number)) {
            return; // a shortcut was filed: the rest of the box is not handed over
        }
    }
    if (!failures.IsEmpty())
        ShowFailureBalloon(failures, kBalloonOptions);
    EmptyQuickDownloadBox();
}

bool CProjectManagerContainer::FileFoundAsShortcut()
{
    // Only a found record replaces the document that Paste Shortcut files.
    if (m_strFoundDocUid.IsEmpty())
        return false;
    m_strShortcutDocUid = m_strFoundDocUid;
    EmptyQuickDownloadBox();
    AddShortcut(0);
    m_strFoundDocUid.Empty();
    return true;
}

bool CProjectManagerContainer::QuickDownloadFound(CString number)
{
    number.Remove('/');
    CStringArray folders;
    const bool bFound = LocateDownloadedDocument(number, folders);
    const CString folder = folders.GetSize() > 0 ? folders[0] : CString();
    if (folder == kNewDownloads) {
        EmptyQuickDownloadBox();
        if (m_nNotifyMode == 1) {
            CString message;
            message.Format("Document No. %s has already been downloaded and is located in %s.", number.GetString(),
                           bFound ? folder.GetString() : "");
            if (!m_strFoundPdfPath.IsEmpty())
                message += kOpenFileSentence;
            ShowNotificationBalloon("Document Already Downloaded!", message, IDI_QUESTION, m_strFoundPdfPath);
        }
        m_strFoundDocUid.Empty();
    }
    if (!FileFoundAsShortcut())
        return false;
    if (m_nNotifyMode == 1) {
        CString message;
        message.Format("Document No. %s has already been downloaded and is located in %s and a shortcut has been "
                       "created in New Downloads.",
                       number.GetString(), folder.GetString());
        if (!m_strFoundPdfPath.IsEmpty())
            message += kOpenFileSentence;
        ShowNotificationBalloon("Document Already Downloaded!", message, IDI_QUESTION, m_strFoundPdfPath);
    }
    return true;
}

bool CProjectManagerContainer::LocateDownloadedDocument(CString number, CStringArray& folders)
{
    const bool bFileWrapper = m_checkFileWrapperOnly.GetCheck() != 0;
    if (!bFileWrapper)
        number = CDownloadManager::NormalizeDocumentNumber(number);
    m_strFoundDocUid.Empty();
    m_strFoundPdfPath.Empty();
    IXMLDOMDocument2Ptr doc = m_Store.GetDocument();
    IXMLDOMNodePtr record =
        doc ? doc->selectSingleNode(_bstr_t("/Project/Documents/Document[@Name=" + XPathLiteral(number) + "]"))
            : nullptr;
    if (!record)
        return false;
    GetXmlAttribute(record, "UID", m_strFoundDocUid);
    IXMLDOMNodeListPtr items = record->selectNodes(L"XMLCatalog/CatalogItem");
    for (long i = 0; i < items->Getlength(); ++i) {
        CString path;
        GetXmlAttribute(items->Getitem(i), "FilePath", path);
        m_strFoundPdfPath = path;
        if (path.Find(".pdf") >= 0 || path.Find(".PDF") >= 0)
            break;
    }

    CString wrapper = "0";
    GetXmlAttribute(record, "Wrapper", wrapper);
    if (bFileWrapper ? wrapper == "0" : wrapper == "1")
        return false;

    CString parent;
    if (!GetXmlAttribute(record, "ParentUID", parent))
        return false;
    // A chain of folders that names each other runs in a circle: more steps than there are
    // folders mean the chain never reaches the root.
    const long nFolders = doc->selectNodes(L"/Project/Folders/Folder")->Getlength();
    for (long nSteps = 0; !parent.IsEmpty() && parent != "ROOT"; ++nSteps) {
        if (nSteps >= nFolders)
            return false;
        IXMLDOMNodePtr folder =
            doc->selectSingleNode(_bstr_t("/Project/Folders/Folder[@UID=" + XPathLiteral(parent) + "]"));
        CString name;
        if (!folder || !GetXmlAttribute(folder, "Name", name))
            return false;
        folders.Add(name);
        parent.Empty();
        GetXmlAttribute(folder, "ParentUID", parent);
    }
    return true;
}

void CProjectManagerContainer::OnChangeQuickDownloadEdit()
{
    // In the one-number arrangement Enter starts the download; in the expanded one it only
    // starts a new line.
    CString text;
    m_editQuickDownload.GetWindowText(text);
    if (!m_Layout.m_bExpanded && text.Right(2) == "\r\n")
        OnQuickDownload();
}

// ---------------------------------------------------------------- the toolbar link

void CProjectManagerContainer::OnSocketAccept()
{
    auto* pSocket = new CConSocket;
    pSocket->SetOwner(this);
    // The event announced a connection; one that has gone again is not waited for.
    if (!m_Listener.CAsyncSocket::Accept(*pSocket)) {
        delete pSocket;
        return;
    }
    m_Connections.AddTail(pSocket);
    pSocket->Greet();
}

void CProjectManagerContainer::OnSocketReceive(CConSocket* pSocket)
{
    DownloadRequestedDocument(pSocket->m_strNumbers, pSocket->m_nPageChoice);
}

LRESULT CProjectManagerContainer::OnSocketClosed(WPARAM, LPARAM lParam)
{
    auto* pSocket = reinterpret_cast<CConSocket*>(lParam);
    if (POSITION pos = m_Connections.Find(pSocket)) {
        m_Connections.RemoveAt(pos);
        delete pSocket;
    }
    return 0;
}

void CProjectManagerContainer::CloseToolbarLink()
{
    while (!m_Connections.IsEmpty()) {
        CConSocket* pSocket = m_Connections.RemoveHead();
        pSocket->Close();
        delete pSocket;
    }
    m_Listener.Close();
}

void CProjectManagerContainer::DownloadRequestedDocument(CString strNumbers, int nPageChoice)
{
    m_bToolbarRequest = true;
    if (strNumbers.IsEmpty())
        return;
    m_DownloadManager.m_bFirstPageOnly = nPageChoice < 0 ? 0 : 1;
    m_DownloadManager.m_nPageLimit = nPageChoice < 0 ? 1 : nPageChoice;

    CString failures;
    for (const CString& line : SplitRequestLines(strNumbers)) {
        const CString number = CleanToolbarNumber(line);
        if (number.IsEmpty())
            continue;
        const int result = HandOverToQueue(number, false);
        if (result == -1) {
            CString failure;
            failure.Format("%s is currently being downloaded\n", number.GetString());
            failures += failure;
        } else if (result == -3 && RequestedDocumentFound(number)) {
            return;
        }
    }
    if (!failures.IsEmpty())
        ShowFailureBalloon(failures, kBalloonOptions | CBalloonHelp::ShowTopmost);
}

bool CProjectManagerContainer::RequestedDocumentFound(CString number)
{
    number.Remove('/');
    CStringArray folders;
    LocateDownloadedDocument(number, folders);
    if (folders.GetSize() > 0 && folders[0] == kNewDownloads) {
        if (m_nNotifyMode == 1) {
            CString message;
            message.Format("Zentrova has completed the download of document: %s.\n", number.GetString());
            if (!m_strFoundPdfPath.IsEmpty())
                message += "Please CLICK HERE to view the patent";
            ShowNotificationBalloon("Download Complete", message, IDI_QUESTION, m_strFoundPdfPath);
        }
        return true;
    }
    return FileFoundAsShortcut();
}

// ---------------------------------------------------------------- layout

bool CProjectManagerContainer::LoadLayout()
{
    return m_pOptions && m_Layout.Load(*m_pOptions);
}

void CProjectManagerContainer::SaveLayout()
{
    if (m_pOptions)
        m_Layout.Save(*m_pOptions);
}

void CProjectManagerContainer::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    GetClientRect(&m_rectClient);
    if (!m_bInitialized)
        return;
    m_Layout.Resize(cx, cy, m_bShrinkGuard);
    m_rectPicture.OffsetRect(cx - 10 - m_rectPicture.right, 0);
    m_picture.MoveWindow(&m_rectPicture, TRUE);
    m_buttonHelp.SetWindowPos(nullptr, cx - 83, 62, 78, 22, SWP_NOZORDER);
    m_buttonCopyToClipboard.SetWindowPos(nullptr, cx - 213, 62, 113, 22, SWP_NOZORDER);
    ArrangeWindows();
}

void CProjectManagerContainer::ArrangeWindows()
{
    m_Layout.Arrange(m_rectClient.Width(), m_rectClient.Height());
    const CRect& b = m_Layout.m_rectbuttonQuickDownload;
    m_editQuickDownload.MoveWindow(&m_Layout.EditRect(), TRUE);
    const CRect& button = m_Layout.DownloadButtonRect();
    m_buttonDownloadNow.SetWindowPos(nullptr, button.left, button.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (m_Layout.m_bExpanded) {
        m_labelNote.MoveWindow(b.right + 96, b.top + 5, 150, 200 - b.top - 5, TRUE);
    } else {
        m_comboPageChoice.MoveWindow(b.right + 5, b.top + 2, 70, 198 - b.top, TRUE);
        m_labelNote.MoveWindow(b.right + 77, b.top + 5, 150, 200 - b.top - 5, TRUE);
    }
    m_checkFileWrapperOnly.MoveWindow(b.right + 80, b.top + 4, 130, 16, TRUE);
    if (m_ProjectTree.m_hWnd)
        m_ProjectTree.MoveWindow(&m_Layout.ProjectRect(), TRUE);
    if (m_PatentManager.m_hWnd)
        m_PatentManager.MoveWindow(&m_Layout.PatentRect(), TRUE);
    if (m_DownloadManager.m_hWnd)
        m_DownloadManager.MoveWindow(&m_Layout.StatusRect(), TRUE);
}

void CProjectManagerContainer::OnToggleExpandedLayout()
{
    m_Layout.m_bExpanded = !m_Layout.m_bExpanded;
    if (m_Layout.m_bExpanded) {
        m_buttonExpand.LoadBitmap(IDB_EXPAND_MINUS);
    } else {
        m_buttonExpand.LoadBitmap(IDB_EXPAND_PLUS);
        m_editQuickDownload.SetWindowText("");
    }
    ArrangeWindows();
    Invalidate(TRUE);
    m_editQuickDownload.UpdateCueText();
}

BOOL CProjectManagerContainer::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, kGround);
    if (m_bmpHeader.m_hObject) {
        CDC memDC;
        memDC.CreateCompatibleDC(pDC);
        CBitmap* pOld = memDC.SelectObject(&m_bmpHeader);
        pDC->BitBlt(0, 0, 286, 116, &memDC, kHeaderColumn, 0, SRCCOPY);
        memDC.SelectObject(pOld);
    }
    CRect band(0, 60, client.right, client.bottom);
    pDC->FillSolidRect(&band, kPanel);
    pDC->Draw3dRect(&band, RGB(255, 255, 255), kEdge);
    for (CRect area : {m_Layout.ProjectRect(), m_Layout.PatentRect(), m_Layout.StatusRect()}) {
        area.InflateRect(1, 1);
        pDC->Draw3dRect(&area, kEdge, kFrameLower);
    }
    return FALSE;
}

// ---------------------------------------------------------------- splitters

void CProjectManagerContainer::DrawTrackingLine(bool bDrawNew, CPoint point)
{
    HDC hDC = ::GetDCEx(m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE); // over the child windows too
    if (!hDC)
        return;
    HPEN hPen = nullptr;
    if (m_bmpPattern.m_hObject) {
        LOGBRUSH brush{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(m_bmpPattern.m_hObject)};
        hPen = ::ExtCreatePen(PS_GEOMETRIC, 4, &brush, 0, nullptr);
    }
    if (!hPen)
        hPen = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = ::SelectObject(hDC, hPen);
    int oldRop = ::SetROP2(hDC, R2_NOTXORPEN);
    const CRect& area = m_Layout.m_ResizeDrawConstraints;
    auto line = [&](CPoint at) {
        if (m_nDragBar == CPaneLayout::Bar3) {
            ::MoveToEx(hDC, area.left, at.y, nullptr);
            ::LineTo(hDC, area.right, at.y);
        } else {
            ::MoveToEx(hDC, at.x, area.top, nullptr);
            ::LineTo(hDC, at.x, area.bottom);
        }
    };
    // The same line drawn twice is gone again.
    if (m_bLineDrawn)
        line(m_ptLine);
    m_bLineDrawn = bDrawNew;
    if (bDrawNew) {
        line(point);
        m_ptLine = point;
    }
    ::SetROP2(hDC, oldRop);
    ::SelectObject(hDC, oldPen);
    ::DeleteObject(hPen);
    ::ReleaseDC(m_hWnd, hDC);
}

void CProjectManagerContainer::OnMouseMove(UINT nFlags, CPoint point)
{
    m_ptPrevious = m_ptCurrent;
    m_ptCurrent = point;
    if (!m_bDragging) {
        CPaneLayout::Bar bar = m_Layout.HitBar(point);
        if (bar == CPaneLayout::Bar1 || bar == CPaneLayout::Bar2) {
            ::SetCursor(m_hCursorVertical);
            m_bCursorChanged = true;
        } else if (bar == CPaneLayout::Bar3) {
            ::SetCursor(m_hCursorHorizontal);
            m_bCursorChanged = true;
        } else if (m_bCursorChanged) {
            ::SetCursor(m_hCursorArrow);
            m_bCursorChanged = false;
        }
    } else if (m_nDragBar == CPaneLayout::Bar3) {
        m_ptCurrent.y = CPaneLayout::Clamp(point.y, m_nDragLower, m_nDragUpper);
        DrawTrackingLine(true, m_ptCurrent);
        ::SetCursor(m_hCursorHorizontal);
    } else {
        m_ptCurrent.x = CPaneLayout::Clamp(point.x, m_nDragLower, m_nDragUpper);
        DrawTrackingLine(true, m_ptCurrent);
        ::SetCursor(m_hCursorVertical);
    }
    CDialog::OnMouseMove(nFlags, point);
}

void CProjectManagerContainer::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_ptDown = point;
    m_ptCurrent = point;
    CPaneLayout::Bar bar = m_Layout.HitBar(point);
    if (bar != CPaneLayout::NoBar) {
        m_nDragBar = bar;
        m_Layout.DragLimits(bar, m_rectClient.Height(), m_nDragLower, m_nDragUpper);
        m_bDragging = true;
        SetCapture();
    }
    CDialog::OnLButtonDown(nFlags, point);
}

void CProjectManagerContainer::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bDragging) {
        m_bDragging = false;
        ::ReleaseCapture();
        DrawTrackingLine(false);
        const int delta = m_nDragBar == CPaneLayout::Bar3 ? m_ptCurrent.y - m_ptDown.y : m_ptCurrent.x - m_ptDown.x;
        m_Layout.MoveBar(m_nDragBar, delta, m_rectClient.Width(), m_rectClient.Height());
        m_nDragBar = CPaneLayout::NoBar;
        ArrangeWindows();
        Invalidate(TRUE);
    }
    CDialog::OnLButtonUp(nFlags, point);
}

// ---------------------------------------------------------------- deleting and unlinking

namespace {

// A folder path as the file system resolves it, with "\" at its end.
CString FullFolder(CString folder)
{
    folder.Replace('/', '\\');
    char full[MAX_PATH * 2];
    const DWORD n = ::GetFullPathNameA(folder, sizeof full, full, nullptr);
    if (n > 0 && n < sizeof full)
        folder = full;
    if (folder.Right(1) != "\\")
        folder += "\\";
    return folder;
}

bool SameFolder(const CString& a, const CString& b)
{
    return FullFolder(a).CompareNoCase(FullFolder(b)) == 0;
}

bool PathExists(const CString& path)
{
    return !path.IsEmpty() && ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

CString DocumentXPath(const CString& uid)
{
    return "/Project/Documents/Document[@UID=" + XPathLiteral(uid) + "]";
}

} // namespace

int CProjectManagerContainer::ShowMessageBox(CWnd* pOwner, const CString& strText, const char* caption, UINT nType)
{
    return ::MessageBoxA(pOwner ? pOwner->m_hWnd : nullptr, strText, caption, nType);
}

bool CProjectManagerContainer::ConfirmOverMainWindow(const char* text, const char* caption)
{
    return ShowMessageBox(GetTopLevelParent(), text, caption, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

CString CProjectManagerContainer::CurrentDownloadFolder()
{
    return m_pOptions ? m_pOptions->GetOptionValue("SavePath") : CProgramOptions().GetOptionValue("SavePath");
}

bool CProjectManagerContainer::RequireStoreLists(const char* who, IXMLDOMNodePtr& pDocuments, IXMLDOMNodePtr& pShorts)
{
    IXMLDOMNodePtr folders = RequireNode(L"/Project/Folders", who);
    pDocuments = RequireNode(L"/Project/Documents", who);
    pShorts = RequireNode(L"/Project/Shorts", who);
    return folders && pDocuments && pShorts;
}

namespace {

// A record of Import File To Folder points at the user's own file, which it does not own.
bool OwnsItsFiles(IXMLDOMNodePtr pDocument)
{
    CString uid;
    GetXmlAttribute(pDocument, "UID", uid);
    return uid.Left(3).CompareNoCase("AOF") != 0;
}

// A path from a drive ("C:\") or a share ("\\server\"): any other path names a file only
// by the current folder, which is nothing the record can own.
bool IsFullPath(const CString& path)
{
    CString p = path;
    p.Replace('/', '\\');
    if (p.Left(2) == "\\\\")
        return p.GetLength() > 2;
    return p.GetLength() > 3 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':' && p[2] == '\\';
}

bool IsFolder(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

CProjectManagerContainer::RecordFiles CProjectManagerContainer::DeleteRecordFiles(IXMLDOMNodePtr pDocument,
                                                                                  bool bStopAtLocked,
                                                                                  CString& strLastPath)
{
    const bool bOwnsFiles = OwnsItsFiles(pDocument);
    IXMLDOMNodeListPtr items = pDocument->selectNodes(L"XMLCatalog/CatalogItem");
    bool bAllGone = true;
    for (long i = 0; i < items->Getlength(); ++i) {
        IXMLDOMNodePtr item = items->Getitem(i);
        CString path;
        if (!GetXmlAttribute(item, "FilePath", path)) {
            bAllGone = false;
            continue;
        }
        // Only a file goes, never a folder: whatever a damaged record names, nothing but
        // the one file at its full path can be lost.
        if (bOwnsFiles && IsFullPath(path) && !IsFolder(path)) {
            strLastPath = path;
            if (!::DeleteFileA(path) && PathExists(path)) {
                if (bStopAtLocked)
                    return RecordFiles::Locked;
                bAllGone = false;
                continue;
            }
        }
        item->GetparentNode()->removeChild(item);
    }
    return bAllGone ? RecordFiles::AllGone : RecordFiles::SomeKept;
}

void CProjectManagerContainer::RemoveDocumentFolder(IXMLDOMNodePtr pDocument, const CString& strLastPath)
{
    CString name;
    if (!GetXmlAttribute(pDocument, "Name", name))
        return;
    const CString folderName = StripSlashes(name);
    CString path = strLastPath;
    path.Replace('/', '\\');
    const int slash = path.ReverseFind('\\');
    if (folderName.IsEmpty() || slash < 0)
        return;
    // The record's own folder is the one its file lay in, named after the document (the
    // download's folder may carry a prefix, "FW" for a file wrapper); never the download
    // folder that holds every document, nor a drive's root.
    const int nameStart = path.Left(slash).ReverseFind('\\') + 1;
    const CString ownName = path.Mid(nameStart, slash - nameStart);
    const CString folder = path.Left(slash + 1);
    if (ownName.GetLength() < folderName.GetLength() ||
        ownName.Right(folderName.GetLength()).CompareNoCase(folderName) != 0 || !IsFullPath(folder) ||
        SameFolder(folder, CurrentDownloadFolder()))
        return;
    ::RemoveDirectoryA(folder); // fails, and so stays, while anything is left in it
}

void CProjectManagerContainer::RemoveRecord(IXMLDOMNodePtr pDocument)
{
    CString name;
    const bool bNamed = GetXmlAttribute(pDocument, "Name", name) != 0;
    // From whichever Documents element holds it: a store may have more than one.
    pDocument->GetparentNode()->removeChild(pDocument);
    if (bNamed)
        m_mapNameToUID.RemoveKey(name);
}

void CProjectManagerContainer::FinishDocumentChange()
{
    SaveProjectConfig();
    CMyTreeCtrl& tree = m_ProjectTree.GetTree();
    if (tree.m_hWnd)
        m_ProjectTree.RefreshFolderIconByKey(m_ProjectTree.KeyOfItem(tree.GetSelectedItem()));
    m_PatentManager.RefreshView(m_ProjectTree.m_strSelectedUid);
}

LRESULT CProjectManagerContainer::OnDeleteDocuments(WPARAM, LPARAM)
{
    IXMLDOMNodePtr documents, shorts;
    if (!RequireStoreLists("OnDeleteDocuments", documents, shorts))
        return 1;
    if (ConfirmOverMainWindow("Are you sure you want to DELETE the selected documents?  This action cannot be undone.",
                              "Delete Selected Documents?")) {
        IXMLDOMDocument2Ptr doc = m_Store.GetDocument();
        // The rows are read as they stand before anything changes; the list is refilled at
        // the end only.
        for (int row : m_PatentManager.GetSelectedRows()) {
            if (m_PatentManager.IsShortcutRow(row)) {
                // Only the one shortcut shown in the row goes.
                IXMLDOMNodeListPtr found = doc->selectNodes(
                    _bstr_t("/Project/Shorts/Short[@UID=" + XPathLiteral(m_PatentManager.RowShortcutUid(row)) + "]"));
                RemoveEach(found);
                continue;
            }
            const CString uid = m_PatentManager.RowDocumentUid(row);
            if (uid.IsEmpty())
                continue;
            // The shortcuts go before any file is touched; the store is written once at the end.
            RemoveShortcutsOfDocument(uid);
            IXMLDOMNodePtr document = doc->selectSingleNode(_bstr_t(DocumentXPath(uid)));
            if (!document)
                continue;
            CString lastPath;
            if (DeleteRecordFiles(document, false, lastPath) != RecordFiles::AllGone)
                continue; // the record stays with the files that could not be deleted
            RemoveDocumentFolder(document, lastPath);
            RemoveRecord(document);
        }
    }
    FinishDocumentChange();
    return 1;
}

LRESULT CProjectManagerContainer::OnUnlinkDocuments(WPARAM, LPARAM)
{
    IXMLDOMNodePtr documents, shorts;
    if (!RequireStoreLists("OnUnlinkDocuments", documents, shorts))
        return 1;
    if (ConfirmOverMainWindow("Are you sure you want to UNLINK the selected documents?  This action cannot be undone.",
                              "Un-Link Selected Documents?")) {
        // A shortcut row unlinks the document it shows; the document's shortcuts stay.
        for (int row : m_PatentManager.GetSelectedRows()) {
            IXMLDOMNodePtr document = m_PatentManager.RowDocument(row);
            if (!document)
                continue;
            IXMLDOMNodeListPtr items = document->selectNodes(L"XMLCatalog/CatalogItem");
            for (long i = 0; i < items->Getlength(); ++i) {
                IXMLDOMNodePtr item = items->Getitem(i);
                item->GetparentNode()->removeChild(item);
            }
            RemoveRecord(document);
        }
    }
    FinishDocumentChange();
    return 1;
}

// ---------------------------------------------------------------- clipboard and download requests

void CProjectManagerContainer::OnCopyToClipboardButton()
{
    OnCopyToClipboard();
}

void CProjectManagerContainer::OnCopyToClipboard()
{
    CMyListCtrl& list = m_PatentManager.GetList();
    const int count = list.m_hWnd ? list.GetItemCount() : 0;
    if (count == 0 || !::OpenClipboard(m_hWnd))
        return;
    CString text = "Download results provided by Zentrova International 4.0\r\n\r\n"
                   "Document No.\tTitle\tInventor\tAssignee\r\n\r\n";
    for (int row = 0; row < count; ++row)
        text += list.GetItemText(row, 1) + "\t" + list.GetItemText(row, 2) + "\t" + list.GetItemText(row, 3) + "\t" +
                list.GetItemText(row, 4) + "\r\n";
    ::EmptyClipboard();
    const size_t size = static_cast<size_t>(text.GetLength()) + 1;
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE, size);
    char* pBlock = hBlock ? static_cast<char*>(::GlobalLock(hBlock)) : nullptr;
    if (pBlock) {
        std::memcpy(pBlock, text.GetString(), size);
        ::GlobalUnlock(hBlock);
        // Once handed over, the block is the clipboard's.
        if (::SetClipboardData(CF_TEXT, hBlock))
            hBlock = nullptr;
    }
    if (hBlock) {
        ::GlobalFree(hBlock);
        Log("OnCopyToClipboard", "The text could not be put on the clipboard");
    }
    ::CloseClipboard();
}

LRESULT CProjectManagerContainer::OnDownloadDocument(WPARAM wParam, LPARAM)
{
    const CString* pNumber = TextArg(wParam);
    if (!pNumber)
        return 0;
    const CString number = *pNumber;
    m_checkFirstPage.SetCheck(0);
    if (!RemoveSelectedForRedownload(number))
        return 0;
    m_editQuickDownload.SetWindowText(number);
    // The whole document, whatever the page choice shows; the choice stays as it was.
    const int nRemembered = m_comboPageChoice.GetCurSel();
    m_comboPageChoice.SetCurSel(0);
    OnQuickDownload();
    m_comboPageChoice.SetCurSel(nRemembered);
    return 0;
}

int CProjectManagerContainer::RemoveSelectedForRedownload(CString strNumber)
{
    IXMLDOMNodePtr documents = RequireNode(L"/Project/Documents", "RemoveSelectedForRedownload");
    for (int row : documents ? m_PatentManager.GetSelectedRows() : std::vector<int>()) {
        IXMLDOMNodePtr document = m_PatentManager.RowDocument(row);
        if (!document)
            continue;
        CString lastPath;
        const RecordFiles result = DeleteRecordFiles(document, true, lastPath);
        if (result == RecordFiles::Locked) {
            // What went so far is gone from disk: the store and the list say so too.
            FinishDocumentChange();
            CString text;
            text.Format("Sorry, the following document(s) could not be downloaded because:\nThe first page of %s is "
                        "currently open in your PDF viewer.\nPlease close the file from viewing and then try to "
                        "download the entire document(s).",
                        strNumber.GetString());
            ShowMessageBox(this, text, "Download Failure", MB_OK | MB_ICONSTOP);
            return 0;
        }
        if (result == RecordFiles::AllGone) {
            RemoveDocumentFolder(document, lastPath);
            RemoveRecord(document);
        }
    }
    FinishDocumentChange();
    return 1;
}

void CProjectManagerContainer::OnHelpButton()
{
    if (CWnd* pMain = GetTopLevelParent())
        pMain->SendMessage(WM_COMMAND, ID_HELP_COUNTRY_CODES, 0);
}

// ---------------------------------------------------------------- moving the library

namespace {

// The stored download folder, with "\" at its end.
CString StoredDownloadFolder()
{
    CString folder = CProgramOptions().GetOptionValue("SavePath");
    if (!folder.IsEmpty() && folder.Right(1) != "\\")
        folder += "\\";
    return folder;
}

// One file operation of the shell on one source (and target). True when it failed.
bool ShellFileOperationFailed(HWND hOwner, UINT nFunction, const CString& from, const CString& to = CString())
{
    return !RunShellFileOperation(hOwner, nFunction, from, to);
}

} // namespace

bool CProjectManagerContainer::CopyReportsFolder(CString strNewFolder)
{
    return ShellFileOperationFailed(m_hWnd, FO_COPY, StoredDownloadFolder() + "Reports", strNewFolder);
}

bool CProjectManagerContainer::DeleteOldReports()
{
    // Without undo the files go for good; the Reports folder itself stays.
    return ShellFileOperationFailed(m_hWnd, FO_DELETE, StoredDownloadFolder() + "Reports\\*.*");
}

int CProjectManagerContainer::MoveAllDocuments(CString strNewFolder)
{
    if (strNewFolder.Right(1) != "\\")
        strNewFolder += "\\";
    // Into the folder in use nothing moves: copying the reports onto themselves and then
    // emptying them would lose them.
    if (SameFolder(strNewFolder, StoredDownloadFolder())) {
        Log("MoveAllDocuments", "The documents lie in " + strNewFolder + " already; nothing was moved");
        return 1;
    }
    IXMLDOMDocument2Ptr doc = m_Store.GetDocument();
    IXMLDOMNodeListPtr documents = doc ? doc->selectNodes(L"/Project/Documents/Document") : nullptr;
    if (!documents)
        return 0;
    if (!CopyReportsFolder(strNewFolder))
        DeleteOldReports();

    for (long d = 0; d < documents->Getlength(); ++d) {
        IXMLDOMNodeListPtr items = documents->Getitem(d)->selectNodes(L"XMLCatalog/CatalogItem");
        CString lastOldFolder;
        for (long k = 0; k < items->Getlength(); ++k) {
            IXMLDOMNodePtr item = items->Getitem(k);
            CString oldPath;
            GetXmlAttribute(item, "FilePath", oldPath);
            oldPath.Replace('/', '\\');
            // An item without a file in a folder names nothing to move: it stays as it is.
            const int slash = oldPath.ReverseFind('\\');
            if (slash < 1 || slash == oldPath.GetLength() - 1) {
                Log("MoveAllDocuments", "A file of a record has no path in a folder (\"" + oldPath + "\"); it stays");
                continue;
            }
            const CString fileName = oldPath.Mid(slash + 1);
            const CString oldFolder = oldPath.Left(slash);
            const int parent = oldFolder.ReverseFind('\\');
            const CString folderName = parent >= 0 ? oldFolder.Mid(parent + 1) : CString();
            const CString newFolder = folderName.IsEmpty() ? strNewFolder : strNewFolder + folderName + "\\";
            const CString newPath = newFolder + fileName;
            if (!folderName.IsEmpty() && !PathExists(strNewFolder + folderName) &&
                !::CreateDirectoryA(strNewFolder + folderName, nullptr))
                return 0;
            if (!::MoveFileA(oldPath, newPath))
                return 0;
            bool bStored = false;
            try {
                bStored = SetXmlAttribute(item, "FilePath", newPath) != 0;
            } catch (const _com_error&) {
                bStored = false;
            }
            if (!bStored) {
                ::MoveFileA(newPath, oldPath);
                return 0;
            }
            lastOldFolder = oldFolder;
        }
        if (!lastOldFolder.IsEmpty())
            ::RemoveDirectoryA(lastOldFolder); // only an empty folder goes
    }
    return 1;
}
