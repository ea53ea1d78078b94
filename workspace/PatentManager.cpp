#include "PatentManager.h"

#include "BalloonHelp.h"
#include "Bitmap.h"
#include "DataExchange.h"
#include "NewMenuHook.h"
#include "NewMenu.h"
#include "ProgramOptions.h"
#include "ProgressLog.h"
#include "ProjectMessages.h"
#include "ProjectIds.h"
#include "ProjectStore.h"
#include "SortClass.h"
#include "StageClock.h"
#include "TextConversion.h"
#include "TextHelpers.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

IMPLEMENT_DYNAMIC(CPatentManager, CDialog)

BEGIN_MESSAGE_MAP(CPatentManager, CDialog)
    ON_WM_SIZE()
    ON_MESSAGE(UM_SHOW_FOLDER, &CPatentManager::OnShowFolder)
    ON_MESSAGE(UM_DOCUMENTS_DROPPED, &CPatentManager::OnDocumentsDropped)
    ON_MESSAGE(UM_SORT_COLUMN, &CPatentManager::OnSortColumn)
    ON_COMMAND(ID_LIST_SELECT_ALL, &CPatentManager::OnSelectAll)
    ON_NOTIFY(NM_RCLICK, IDC_DOCUMENT_LIST, &CPatentManager::OnRClickList)
    ON_NOTIFY(NM_CLICK, IDC_DOCUMENT_LIST, &CPatentManager::OnClickList)
    ON_NOTIFY(NM_DBLCLK, IDC_DOCUMENT_LIST, &CPatentManager::OnDblClickList)
    ON_NOTIFY(LVN_KEYDOWN, IDC_DOCUMENT_LIST, &CPatentManager::OnKeyDownList)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_DOCUMENT_LIST, &CPatentManager::OnListChanged)
    ON_NOTIFY(LVN_ODSTATECHANGED, IDC_DOCUMENT_LIST, &CPatentManager::OnListChanged)
    ON_NOTIFY(HDN_ITEMCHANGEDA, 0, &CPatentManager::OnListChanged)
    ON_COMMAND(ID_LIST_OPEN_HTML, &CPatentManager::OnOpenHtml)
    ON_COMMAND(ID_LIST_OPEN_PDF, &CPatentManager::OnOpenPdf)
    ON_COMMAND(ID_LIST_OPEN_FILE, &CPatentManager::OnOpenFile)
    ON_COMMAND(ID_LIST_PRINT_HTML, &CPatentManager::OnPrintHtml)
    ON_COMMAND(ID_LIST_PRINT_PDF, &CPatentManager::OnPrintPdf)
    ON_COMMAND(ID_LIST_PRINT_FILE, &CPatentManager::OnPrintFile)
    ON_COMMAND(ID_LIST_MARK_READ, &CPatentManager::OnMarkRead)
    ON_COMMAND(ID_LIST_MARK_UNREAD, &CPatentManager::OnMarkUnread)
    ON_COMMAND(ID_LIST_DELETE, &CPatentManager::OnDeleteDocuments)
    ON_COMMAND(ID_LIST_UNLINK, &CPatentManager::OnUnlinkDocuments)
    ON_COMMAND(ID_LIST_DOWNLOAD_ENTIRE, &CPatentManager::OnDownloadEntireDocument)
    ON_COMMAND(ID_LIST_COPY_SHORTCUT, &CPatentManager::OnCopyShortcut)
    ON_COMMAND(ID_FILE_EMAIL_DOCUMENTS, &CPatentManager::OnEmailDocuments)
    ON_COMMAND(ID_FILE_SAVE_FILES_TO, &CPatentManager::OnSaveFilesTo)
END_MESSAGE_MAP()

CPatentManager::ShellExecuteFn CPatentManager::s_pfnShellExecute = &::ShellExecuteA;
CPatentManager::LaunchBalloonFn CPatentManager::s_pfnLaunchBalloon = &CBalloonHelp::LaunchBalloon;

namespace {

enum Column { colFiles, colDocument, colTitle, colInventor, colAssignee, colDate, colShortcut, colShortcutUid };

struct ColumnSpec
{
    const char* heading;
    int width;
};
const ColumnSpec kColumns[] = {{"Files", 100}, {"Document", 100}, {"Title", 100}, {"Inventor", 100},
                               {"Assignee", 100}, {"Date", 100}, {"", 0}, {"", 0}};

const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kDefault = static_cast<COLORREF>(-1);
const char kShortcutMark[] = "SHORTCUT";

// The attribute that orders the documents for a sort column; empty for a column without one.
const char* SortVerb(int nColumn)
{
    switch (nColumn) {
    case colDocument:
        return "@Name";
    case colTitle:
        return "@DocumentTitle";
    case colInventor:
        return "@DocumentInventor";
    case colAssignee:
        return "@DocumentAssignee";
    case colDate:
        return "@DownloadDate";
    default:
        return "";
    }
}

CString Attribute(IXMLDOMNodePtr node, const char* name)
{
    CString value;
    GetXmlAttribute(node, name, value);
    return value;
}

// Two texts in the order of their characters' code points (the store's sort compares the
// attributes so): UTF-16 units in that order, surrogates above the units they precede.
int CompareCodePoints(const std::wstring& a, const std::wstring& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        auto rank = [](wchar_t u) {
            const unsigned v = static_cast<unsigned>(u);
            return v >= 0xD800 && v <= 0xDFFF ? v + 0x2000 : v >= 0xE000 ? v - 0x800 : v;
        };
        return rank(a[i]) < rank(b[i]) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// An element's attribute: true when it has one of that name, its text then in value (8-bit)
// and, when asked, in wide (as stored); value and wide are emptied when it has none.
bool ReadAttribute(IXMLDOMElement* element, const _bstr_t& name, CString& value, std::wstring* wide = nullptr)
{
    VARIANT v;
    ::VariantInit(&v);
    const HRESULT hr = element->getAttribute(name, &v);
    const bool found = SUCCEEDED(hr) && v.vt == VT_BSTR;
    if (found) {
        const int n = static_cast<int>(::SysStringLen(v.bstrVal));
        value = n ? Utf16ToAnsi(v.bstrVal, n) : CString();
        if (wide)
            wide->assign(v.bstrVal, static_cast<size_t>(n));
    } else {
        value.Empty();
        if (wide)
            wide->clear();
    }
    ::VariantClear(&v);
    if (FAILED(hr))
        _com_issue_error(hr);
    return found;
}

// An error of the store while the list is filled: into the progress log, and shown in a box
// without owner.
void ReportStoreError(const _com_error& e)
{
    CString text;
    text.Format("Description: %s Message: %s", ToAnsi(e.Description()).GetString(),
                ToAnsi(_bstr_t(e.ErrorMessage())).GetString());
    CProgressLog().Write("CPatentManager::RefreshView-" + text);
    ::MessageBoxA(nullptr, text, nullptr, MB_ICONEXCLAMATION);
}

// "%m/%d/%Y" of the project epoch plus the seconds of the text, after two blanks.
CString FormatDownloadDate(const CString& seconds)
{
    const CTime when = ProjectEpoch() + CTimeSpan(static_cast<__time64_t>(CSortClass::ParseInteger(seconds)));
    return "  " + when.Format("%m/%d/%Y");
}

} // namespace

CPatentManager::CPatentManager(CWnd* pParent) : CDialog(IDD_PATENT_MANAGER, pParent)
{
}

CPatentManager::~CPatentManager() = default;

void CPatentManager::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DOCUMENT_LIST, m_listDocuments);
}

BOOL CPatentManager::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hAccel = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_PATENT_ACCEL));
    CBitmap icons, mask;
    if (m_imageList.Create(32, 16, ILC_COLOR32 | ILC_MASK, 4, 0) && icons.LoadBitmap(IDB_ROW_ICONS) &&
        mask.LoadBitmap(IDB_ROW_ICONS_MASK))
        m_imageList.Add(&icons, &mask);
    GetClientRect(&m_rcClient);
    m_listDocuments.SetImageList(&m_imageList, LVSIL_SMALL);
    for (int i = 0; i < static_cast<int>(sizeof kColumns / sizeof kColumns[0]); ++i)
        m_listDocuments.InsertColumn(i, kColumns[i].heading, LVCFMT_LEFT, kColumns[i].width);
    m_listDocuments.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    if (m_pOptions) {
        m_listDocuments.SetSortAscending(m_pOptions->GetIntOption("PatentDisplaySortDirection"));
        m_listDocuments.SetSortColumn(m_pOptions->GetIntOption("PatentDisplaySortColumn"));
    }
    m_bInitialized = 1;
    return TRUE;
}

BOOL CPatentManager::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccel && ::TranslateAcceleratorA(m_hWnd, m_hAccel, pMsg))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

void CPatentManager::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    GetClientRect(&m_rcClient);
    if (m_bInitialized)
        m_listDocuments.MoveWindow(&m_rcClient, TRUE);
}

LRESULT CPatentManager::OnShowFolder(WPARAM /*wParam*/, LPARAM lParam)
{
    const CString* pUid = reinterpret_cast<const CString*>(lParam);
    RefreshView(pUid ? *pUid : CString());
    return 1;
}

LRESULT CPatentManager::OnDocumentsDropped(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(UM_DOCUMENTS_DROPPED, 0, 0);
    return 1;
}

LRESULT CPatentManager::OnSortColumn(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    SaveFolderSortSettings(m_strFolderUID);
    RefreshView(m_strFolderUID);
    return 1;
}

void CPatentManager::OnSelectAll()
{
    const int count = m_listDocuments.GetItemCount();
    for (int i = 0; i < count; ++i)
        m_listDocuments.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
}

// ---------------------------------------------------------------- the store's documents

bool CPatentManager::SetProjectDocument(IXMLDOMDocument2Ptr pDocument)
{
    m_spProjectDoc = pDocument;
    BuildNameMap();
    return m_spProjectDoc != nullptr;
}

void CPatentManager::BuildNameMap()
{
    if (!m_pNameToUID || !m_spProjectDoc)
        return;
    static const _bstr_t kName(L"Name"), kUid(L"UID");
    IXMLDOMNodeListPtr documents = m_spProjectDoc->selectNodes(L"/Project/Documents/Document");
    const long count = documents->Getlength();
    // The map never grows its table by itself: one bucket per document or so keeps a lookup
    // short in a large library.
    const UINT buckets = static_cast<UINT>(count + count / 2) | 1;
    if (m_pNameToUID->GetHashTableSize() < buckets)
        m_pNameToUID->InitHashTable(buckets);
    CString name, uid;
    for (long i = 0; i < count; ++i) {
        IXMLDOMElementPtr document = documents->Getitem(i);
        if (!document)
            continue;
        ReadAttribute(document, kName, name);
        ReadAttribute(document, kUid, uid);
        m_pNameToUID->SetAt(name, uid);
    }
}

CString CPatentManager::UidOfRowData(DWORD_PTR dwData) const
{
    CString uid;
    m_mapRowToUID.Lookup(static_cast<int>(dwData), uid);
    return uid;
}

int CPatentManager::GetDocumentFileKinds(IXMLDOMNodePtr pDocument)
{
    // The CatalogItem children of the XMLCatalog children, in document order.
    static const _bstr_t kFileType(L"FileType"), kWrapper(L"Wrapper");
    int kinds = 0;
    CString type, wrapper;
    for (IXMLDOMNodePtr catalog = pDocument->GetfirstChild(); catalog; catalog = catalog->GetnextSibling()) {
        if (catalog->GetnodeType() != NODE_ELEMENT || catalog->GetnodeName() != _bstr_t(L"XMLCatalog"))
            continue;
        for (IXMLDOMNodePtr node = catalog->GetfirstChild(); node; node = node->GetnextSibling()) {
            IXMLDOMElementPtr item = node;
            if (!item || node->GetnodeName() != _bstr_t(L"CatalogItem"))
                continue;
            ReadAttribute(item, kFileType, type);
            if (type == "HTML")
                kinds |= 1;
            else if (type == "PDF")
                kinds |= 2;
            else if (type == "OTHER")
                kinds |= 4;
            ReadAttribute(item, kWrapper, wrapper);
            if (wrapper == "1")
                kinds = 5;
        }
    }
    return kinds;
}

int CPatentManager::RowImage(int kinds, const CString& strWrapper)
{
    int image = -1;
    if ((kinds & 1) && (kinds & 2))
        image = 0;
    if ((kinds & 1) && !(kinds & 2))
        image = 2;
    if ((kinds & 2) && !(kinds & 1))
        image = strWrapper == "1" ? 4 : 1;
    if (kinds & 4)
        image = 3;
    return image;
}

void CPatentManager::GetFolderSortSettings(const CString& strFolderUID, CString& strDirection, CString& strColumn)
{
    strDirection = "1";
    strColumn = "5";
    IXMLDOMNodePtr folder =
        m_spProjectDoc->selectSingleNode(_bstr_t("/Project/Folders/Folder[@UID=" + XPathLiteral(strFolderUID) + "]"));
    if (!folder)
        return;
    GetXmlAttribute(folder, "SortDir", strDirection);
    GetXmlAttribute(folder, "SortCol", strColumn);
}

void CPatentManager::SaveFolderSortSettings(const CString& strFolderUID)
{
    if (!m_spProjectDoc)
        return;
    IXMLDOMNodePtr folder =
        m_spProjectDoc->selectSingleNode(_bstr_t("/Project/Folders/Folder[@UID=" + XPathLiteral(strFolderUID) + "]"));
    if (!folder)
        return;
    CString direction, column;
    direction.Format("%d", m_listDocuments.GetSortOrder());
    column.Format("%d", m_listDocuments.GetSortColumn());
    SetXmlAttribute(folder, "SortDir", direction);
    SetXmlAttribute(folder, "SortCol", column);
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(UM_SAVE_PROJECT, reinterpret_cast<WPARAM>(static_cast<IXMLDOMNode*>(folder)), 0);
}

// ---------------------------------------------------------------- filling the list

CPatentManager::Row CPatentManager::MakeRow(IXMLDOMNodePtr pDocument, const CString* pShortcutUid) const
{
    static const _bstr_t kName(L"Name"), kUid(L"UID"), kFirstPage(L"FirstPage"), kWrapper(L"Wrapper"),
        kTitle(L"DocumentTitle"), kDate(L"DownloadDate"), kRead(L"DocumentRead"), kInventor(L"DocumentInventor"),
        kAssignee(L"DocumentAssignee");
    IXMLDOMElementPtr element = pDocument;
    if (!element)
        _com_issue_error(E_NOINTERFACE);
    Row row;
    CString name, firstPage, wrapper, title, date, read, inventor, assignee;
    ReadAttribute(element, kName, name);
    ReadAttribute(element, kUid, row.uid);
    ReadAttribute(element, kFirstPage, firstPage);
    ReadAttribute(element, kWrapper, wrapper);
    ReadAttribute(element, kTitle, title);
    const bool bDated = ReadAttribute(element, kDate, date);
    ReadAttribute(element, kRead, read);
    ReadAttribute(element, kInventor, inventor);
    ReadAttribute(element, kAssignee, assignee);
    if (*m_order.verb) {
        // The attribute that the sort key names ("@DocumentTitle"), as stored.
        CString unused;
        ReadAttribute(element, _bstr_t(m_order.verb + 1), unused, &row.orderKey);
    }

    const bool bFirstPageOnly = firstPage == "1";
    const bool bRead = read == "Yes";
    row.texts = {"", name, title, "  " + inventor, "  " + assignee, date};
    row.cells.resize(colShortcutUid + 1);
    for (ListCellRecord& cell : row.cells) {
        cell.textColour = RGB(0, 0, 0);
        cell.backColour = kWhite;
    }
    for (int c = colDocument; c <= colDate; ++c) {
        if (bFirstPageOnly)
            row.cells[static_cast<size_t>(c)].textColour = kBlue;
        row.cells[static_cast<size_t>(c)].bold = bRead ? 0 : 1;
    }
    if (bDated)
        row.cells[colFiles].imageIndex = RowImage(GetDocumentFileKinds(pDocument), wrapper);
    if (pShortcutUid) {
        // Marked in the hidden columns, in the list's background colour.
        row.shortcut = true;
        row.texts.push_back(kShortcutMark);
        row.texts.push_back(*pShortcutUid);
        for (int c : {colShortcut, colShortcutUid})
            row.cells[static_cast<size_t>(c)].textColour = row.cells[static_cast<size_t>(c)].backColour =
                m_listDocuments.GetBkColor();
    }
    // The list's sort compares the column's text as the row was made, the date as stored.
    if (m_order.column >= 0 && m_order.column < static_cast<int>(row.texts.size()))
        row.listKey = m_order.listSort.MakeItem(row.texts[static_cast<size_t>(m_order.column)]);
    row.texts[colDate] = FormatDownloadDate(date);
    return row;
}

void CPatentManager::AddFolderShortcuts(const CString& strFolderUID, std::vector<Row>& rows) const
{
    IXMLDOMNodeListPtr shorts =
        m_spProjectDoc->selectNodes(_bstr_t("/Project/Shorts/Short[@ParentUID=" + XPathLiteral(strFolderUID) + "]"));
    for (long i = 0; i < shorts->Getlength(); ++i) {
        IXMLDOMNodePtr shortcut = shorts->Getitem(i);
        IXMLDOMNodePtr document = m_spProjectDoc->selectSingleNode(
            _bstr_t("/Project/Documents/Document[@UID=" + XPathLiteral(Attribute(shortcut, "ShortUID")) + "]"));
        if (!document)
            continue; // a shortcut whose document is gone shows nothing
        const CString shortcutUid = Attribute(shortcut, "UID");
        rows.push_back(MakeRow(document, &shortcutUid));
    }
}

bool CPatentManager::ListBefore(const CSortClass::CSortItem& a, const CSortClass::CSortItem& b) const
{
    return m_order.column >= 0 && m_order.listSort.Before(a, b, !m_order.greatestFirst);
}

bool CPatentManager::OrderBefore(const std::wstring& a, const std::wstring& b) const
{
    if (!*m_order.verb)
        return false;
    const int c = CompareCodePoints(a, b);
    return m_order.orderKeysUp ? c < 0 : c > 0;
}

void CPatentManager::InsertListRow(int nIndex, const Row& row, int nData)
{
    std::vector<ListCellRecord> cells = row.cells;
    cells[colFiles].rowData = static_cast<DWORD_PTR>(nData);
    const int nAt = m_listDocuments.InsertRow(nIndex, row.texts, cells);
    if (nAt < 0)
        return;
    m_mapRowToUID[nData] = row.uid;
    RowKey key{row.listKey, row.orderKey, row.shortcut};
    m_rowKeys.insert(m_rowKeys.begin() + std::min<size_t>(static_cast<size_t>(nAt), m_rowKeys.size()), key);
}

void CPatentManager::RefreshView(CString strFolderUID)
{
    // The list neither paints nor lays itself out while it is filled: each row would
    // otherwise cost a layout of the whole list. Full-row selection is off meanwhile: with
    // it, every cell text set asks the header for the column's place.
    struct Quiet
    {
        CListCtrl& list;
        DWORD dwExStyle;
        explicit Quiet(CListCtrl& l) : list(l), dwExStyle(l.GetExtendedStyle())
        {
            list.SendMessage(WM_SETREDRAW, FALSE);
            if (dwExStyle & LVS_EX_FULLROWSELECT)
                list.SetExtendedStyle(dwExStyle & ~LVS_EX_FULLROWSELECT);
        }
        ~Quiet()
        {
            if (dwExStyle & LVS_EX_FULLROWSELECT)
                list.SetExtendedStyle(dwExStyle);
            list.SendMessage(WM_SETREDRAW, TRUE);
            list.ShowWindow(SW_SHOW);
            list.Invalidate();
        }
    } quiet(m_listDocuments);
    // A damaged store fails the refill where it is read; the list then shows what was filled.
    try {
        RefillList(strFolderUID);
    } catch (const _com_error& e) {
        ReportStoreError(e);
    }
}

void CPatentManager::RefillList(const CString& strFolderUID)
{
    CStageTimer timer("list messages");
    {
        // Thousands of messages to the list and its notices back, no menu: see
        // CMenuHookPause.
        CMenuHookPause pause;
        m_listDocuments.DeleteAllItems();
    }
    m_mapRowToUID.RemoveAll();
    m_rowKeys.clear();
    m_nNextRowData = 0;
    m_strFolderUID = strFolderUID;
    if (!m_spProjectDoc)
        return; // no store loaded: nothing to show

    timer.Next("select documents");
    CString direction, column;
    GetFolderSortSettings(strFolderUID, direction, column);
    m_listDocuments.SetSortAscending(direction == "1" ? 1 : 0);
    m_listDocuments.SetSortColumn(CSortClass::ParseInteger(column));
    m_order = Order();
    m_order.column = m_listDocuments.GetSortColumn();
    m_order.listSort = CSortClass(m_order.column, m_order.column == colDate);
    m_order.greatestFirst = m_listDocuments.GetSortOrder() == 1;
    m_order.orderKeysUp = direction == "1";
    m_order.verb = SortVerb(m_order.column);

    // The folder's documents in the store's sort: by the sort column's attribute as text,
    // equal keys (and every document, without a key) in store order.
    std::vector<Row> rows;
    try {
        // The folder's documents in store order; comparing each one's ParentUID here is
        // quicker than a query with that condition.
        static const _bstr_t kParentUid(L"ParentUID");
        IXMLDOMNodeListPtr documents = m_spProjectDoc->selectNodes(L"/Project/Documents/Document");
        const long count = documents->Getlength();
        std::vector<IXMLDOMNodePtr> filed;
        CString parent;
        for (long i = 0; i < count; ++i) {
            IXMLDOMElementPtr document = documents->Getitem(i);
            if (document && ReadAttribute(document, kParentUid, parent) && parent == strFolderUID)
                filed.push_back(document);
        }
        timer.Next("read records");
        rows.reserve(filed.size());
        for (const IXMLDOMNodePtr& document : filed)
            rows.push_back(MakeRow(document));
    } catch (const _com_error& e) {
        ReportStoreError(e);
        rows.clear();
    }
    timer.Next("order rows");
    std::stable_sort(rows.begin(), rows.end(),
                     [this](const Row& a, const Row& b) { return OrderBefore(a.orderKey, b.orderKey); });
    timer.Next("read records");
    AddFolderShortcuts(strFolderUID, rows);

    // Each row went on top of the list, so they stood in the reverse order; the list's sort
    // then orders them all, shortcuts included, rows of equal keys keeping their places.
    timer.Next("order rows");
    std::vector<const Row*> order;
    order.reserve(rows.size());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        order.push_back(&*it);
    if (m_order.column >= 0)
        m_order.listSort.StableSort(order.begin(), order.end(), !m_order.greatestFirst,
                                    [](const Row* row) -> const CSortClass::CSortItem& { return row->listKey; });

    // Data words in the order the rows were made: the documents first, then the shortcuts.
    timer.Next("list messages");
    if (!rows.empty())
        m_listDocuments.ShowWindow(SW_HIDE);
    m_rowKeys.reserve(rows.size());
    const UINT buckets = static_cast<UINT>(rows.size() / 8) | 1;
    if (m_mapRowToUID.GetHashTableSize() < buckets)
        m_mapRowToUID.InitHashTable(buckets);
    CMenuHookPause pause;
    for (size_t i = 0; i < order.size(); ++i)
        InsertListRow(static_cast<int>(i), *order[i], static_cast<int>(order[i] - rows.data()));
    m_nNextRowData = static_cast<int>(rows.size());
}

void CPatentManager::ShowAddedDocument(IXMLDOMNodePtr pDocument, const CString& strFolderUID)
{
    if (!m_spProjectDoc || !pDocument || m_strFolderUID != strFolderUID ||
        m_rowKeys.size() != static_cast<size_t>(m_listDocuments.GetItemCount())) {
        RefreshView(strFolderUID);
        return;
    }
    if (Attribute(pDocument, "ParentUID") != strFolderUID)
        return; // filed elsewhere: the rows shown stay as they are
    // A shortcut of this folder that names the new document's UID would show a second row.
    const CString uid = Attribute(pDocument, "UID");
    if (m_spProjectDoc->selectSingleNode(_bstr_t("/Project/Shorts/Short[@ParentUID=" + XPathLiteral(strFolderUID) +
                                                 "][@ShortUID=" + XPathLiteral(uid) + "]"))) {
        RefreshView(strFolderUID);
        return;
    }
    CStageTimer timer("read records");
    const Row row = MakeRow(pDocument);
    // Its place: among the rows of an equal key in the list's sort (all rows without a sort
    // column), after their shortcuts, and before the documents that the store's sort puts
    // before it, as it comes last in the store.
    timer.Next("order rows");
    auto first = std::lower_bound(m_rowKeys.begin(), m_rowKeys.end(), row, [this](const RowKey& k, const Row& r) {
        return ListBefore(k.listKey, r.listKey);
    });
    auto last = std::upper_bound(first, m_rowKeys.end(), row, [this](const Row& r, const RowKey& k) {
        return ListBefore(r.listKey, k.listKey);
    });
    auto at = first;
    while (at != last && (at->shortcut || OrderBefore(row.orderKey, at->orderKey)))
        ++at;
    timer.Next("list messages");
    InsertListRow(static_cast<int>(at - m_rowKeys.begin()), row, m_nNextRowData++);
    // An empty list showed its text across the whole width: that goes.
    if (m_rowKeys.size() == 1)
        m_listDocuments.Invalidate();
}

// ---------------------------------------------------------------- column widths

CString CPatentManager::GetColumnWidths()
{
    CString widths;
    const int count = m_listDocuments.GetColumnCount();
    for (int c = 0; c < count; ++c) {
        CString one;
        one.Format("%d,", m_listDocuments.GetColumnWidth(c));
        widths += one;
    }
    return widths;
}

void CPatentManager::ApplyColumnWidths()
{
    int w[6] = {};
    if (!m_strColumnWidths.IsEmpty() &&
        std::sscanf(m_strColumnWidths, "%d,%d,%d,%d,%d,%d,", &w[0], &w[1], &w[2], &w[3], &w[4], &w[5]) == 6) {
        for (int c = 0; c < 6; ++c)
            m_listDocuments.SetColumnWidth(c, LOWORD(w[c]));
        return;
    }
    for (int c = colFiles; c <= colAssignee; ++c)
        m_listDocuments.SetColumnWidth(c, 100);
    m_listDocuments.SetColumnWidth(colDate, LVSCW_AUTOSIZE_USEHEADER);
}

// ---------------------------------------------------------------- the selection

namespace {

// The kinds of file the checks tell apart.
const int kHtml = 1;
const int kPdf = 2;
const int kOther = 4;

int KindOfType(const CString& type)
{
    return type == "HTML" ? kHtml : type == "PDF" ? kPdf : type == "OTHER" ? kOther : 0;
}

bool FileExists(const CString& path)
{
    return !path.IsEmpty() && ::PathFileExistsA(path);
}

CString DocumentPath(const CString& uid)
{
    return "/Project/Documents/Document[@UID=" + XPathLiteral(uid) + "]";
}

// The items of the "PatentList" popup.
const UINT kSingleDocumentCommands[] = {ID_LIST_OPEN_HTML, ID_LIST_OPEN_PDF,  ID_LIST_PRINT_HTML,
                                        ID_LIST_PRINT_PDF, ID_LIST_OPEN_FILE, ID_LIST_PRINT_FILE,
                                        ID_LIST_COPY_SHORTCUT};
const int kPatentListPopup = 3;
const unsigned kErrorBalloonOptions =
    CBalloonHelp::ShowCloseButton | CBalloonHelp::ShowInnerShadow | CBalloonHelp::ShowTopmost;
const unsigned kErrorBalloonTimeout = 30000;
const char kNoDocument[] = "A document for this patent does not exist.";

void Grey(CMenu* pPopup, UINT nID)
{
    pPopup->EnableMenuItem(nID, MF_BYCOMMAND | MF_GRAYED);
}

} // namespace

std::vector<int> CPatentManager::GetSelectedRows() const
{
    std::vector<int> rows;
    if (!m_listDocuments.m_hWnd)
        return rows;
    for (int row = m_listDocuments.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = m_listDocuments.GetNextItem(row, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

CString CPatentManager::RowDocumentUid(int nRow) const
{
    if (nRow < 0 || nRow >= m_listDocuments.GetItemCount())
        return CString();
    return UidOfRowData(m_listDocuments.GetItemData(nRow));
}

IXMLDOMNodePtr CPatentManager::RowDocument(int nRow)
{
    const CString uid = RowDocumentUid(nRow);
    if (uid.IsEmpty() || !m_spProjectDoc)
        return nullptr;
    return m_spProjectDoc->selectSingleNode(_bstr_t(DocumentPath(uid)));
}

bool CPatentManager::IsShortcutRow(int nRow) const
{
    return m_listDocuments.GetItemText(nRow, colShortcut) == kShortcutMark;
}

CString CPatentManager::RowShortcutUid(int nRow) const
{
    return IsShortcutRow(nRow) ? m_listDocuments.GetItemText(nRow, colShortcutUid) : CString();
}

std::vector<IXMLDOMNodePtr> CPatentManager::SelectedCatalogItems()
{
    std::vector<IXMLDOMNodePtr> items;
    std::set<std::string> uids;
    for (int row : GetSelectedRows()) {
        const CString uid = RowDocumentUid(row);
        if (!uid.IsEmpty())
            uids.insert(uid.GetString());
    }
    if (uids.empty() || !m_spProjectDoc)
        return items;
    // One walk over the records: a query naming every selected document costs a pass over
    // the store per name.
    IXMLDOMNodeListPtr documents =
        uids.size() == 1 ? m_spProjectDoc->selectNodes(_bstr_t(DocumentPath(uids.begin()->c_str())))
                         : m_spProjectDoc->selectNodes(L"/Project/Documents/Document");
    for (long i = 0; i < documents->Getlength(); ++i) {
        IXMLDOMNodePtr document = documents->Getitem(i);
        if (!uids.count(Attribute(document, "UID").GetString()))
            continue;
        IXMLDOMNodeListPtr found = document->selectNodes(L"XMLCatalog/CatalogItem");
        for (long k = 0; k < found->Getlength(); ++k)
            items.push_back(found->Getitem(k));
    }
    return items;
}

CString CPatentManager::ResolveMovedFilePath(CString strPath, CString strBase)
{
    if (strBase.Right(1) == "\\")
        strBase.Delete(strBase.GetLength() - 1);
    CString tail = strPath;
    for (;;) {
        const int slash = tail.Find('\\');
        if (slash < 0)
            return CString();
        tail.Delete(0, slash + 1);
        const CString candidate = strBase + "\\" + tail;
        const DWORD attributes = tail.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(candidate);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return candidate;
    }
}

bool CPatentManager::CheckCatalogFile(IXMLDOMNodePtr pItem, CString& strType, CString& strPath)
{
    strType.Empty();
    strPath.Empty();
    GetXmlAttribute(pItem, "FileType", strType);
    GetXmlAttribute(pItem, "FilePath", strPath);
    if (strPath.IsEmpty())
        return false;
    if (FileExists(strPath))
        return true;
    const CString base = m_pOptions ? m_pOptions->GetOptionValue("SavePath") : CString();
    const CString moved = base.IsEmpty() ? CString() : ResolveMovedFilePath(strPath, base);
    if (moved.IsEmpty()) {
        strPath.Empty();
        return false;
    }
    SetXmlAttribute(pItem, "FilePath", moved);
    SendToPane(UM_STORE_CHANGED);
    strPath = moved;
    return true;
}

// ---------------------------------------------------------------- checks

int CPatentManager::FindDocumentFiles(const CString& strUid)
{
    m_strSelectedUID = strUid;
    m_strHtmlPath.Empty();
    m_strPdfPath.Empty();
    m_strOtherPath.Empty();
    int kinds = 0;
    IXMLDOMNodeListPtr items = m_spProjectDoc->selectNodes(_bstr_t(DocumentPath(strUid) + "/XMLCatalog/CatalogItem"));
    for (long i = 0; i < items->Getlength(); ++i) {
        CString type, path;
        if (!CheckCatalogFile(items->Getitem(i), type, path))
            continue;
        const int kind = KindOfType(type);
        kinds |= kind;
        if (kind == kHtml)
            m_strHtmlPath = path;
        else if (kind == kPdf)
            m_strPdfPath = path;
        else if (kind == kOther)
            m_strOtherPath = path;
    }
    return kinds;
}

int CPatentManager::CheckSingleSelection()
{
    if (!m_listDocuments.m_hWnd || m_listDocuments.GetSelectedCount() != 1 || !m_spProjectDoc)
        return 0;
    m_nSelectedItem = m_listDocuments.GetNextItem(-1, LVNI_SELECTED);
    const CString uid = RowDocumentUid(m_nSelectedItem);
    return uid.IsEmpty() ? 0 : FindDocumentFiles(uid);
}

bool CPatentManager::HasHtmlFile()
{
    return (CheckSingleSelection() & kHtml) != 0;
}

bool CPatentManager::HasPdfFile()
{
    return (CheckSingleSelection() & kPdf) != 0;
}

bool CPatentManager::HasOtherFile()
{
    return (CheckSingleSelection() & kOther) != 0;
}

IXMLDOMNodePtr CPatentManager::SingleSelectedDocument()
{
    if (!m_listDocuments.m_hWnd || m_listDocuments.GetSelectedCount() != 1)
        return nullptr;
    m_nSelectedItem = m_listDocuments.GetNextItem(-1, LVNI_SELECTED);
    return RowDocument(m_nSelectedItem);
}

bool CPatentManager::CanMarkRead()
{
    IXMLDOMNodePtr document = SingleSelectedDocument();
    return document && Attribute(document, "DocumentRead") != "Yes";
}

bool CPatentManager::CanMarkUnread()
{
    IXMLDOMNodePtr document = SingleSelectedDocument();
    return document && Attribute(document, "DocumentRead") == "Yes";
}

bool CPatentManager::CanUnlinkSelection()
{
    for (IXMLDOMNodePtr item : SelectedCatalogItems()) {
        if (Attribute(item, "FileType") == "OTHER")
            return true;
    }
    return false;
}

bool CPatentManager::CanDownloadEntireDocument()
{
    if (!m_listDocuments.m_hWnd || m_listDocuments.GetSelectedCount() != 1)
        return false;
    IXMLDOMNodePtr document = RowDocument(m_listDocuments.GetNextItem(-1, LVNI_SELECTED));
    return !document || Attribute(document, "FirstPage") != "0";
}

void CPatentManager::UpdateDownloadEntireDocument(CCmdUI* pCmdUI)
{
    if (!CanDownloadEntireDocument())
        pCmdUI->Enable(FALSE);
}

void CPatentManager::PrepareContextMenu(CMenu* pPopup)
{
    m_strHtmlPath.Empty();
    m_strPdfPath.Empty();
    const int selected = static_cast<int>(m_listDocuments.GetSelectedCount());
    if (selected > 1) {
        for (UINT nID : kSingleDocumentCommands)
            Grey(pPopup, nID);
    }

    // Un-Link for a selection of linked files only, Delete for one without any.
    bool bLinked = false, bOthers = false;
    for (IXMLDOMNodePtr item : SelectedCatalogItems()) {
        if (Attribute(item, "FileType") == "OTHER")
            bLinked = true;
        else
            bOthers = true;
    }
    if (!bLinked || bOthers)
        Grey(pPopup, ID_LIST_UNLINK);
    if (!bOthers || bLinked)
        Grey(pPopup, ID_LIST_DELETE);

    if (selected != 1) {
        Grey(pPopup, ID_LIST_DOWNLOAD_ENTIRE);
        return;
    }
    m_nSelectedItem = m_listDocuments.GetNextItem(-1, LVNI_SELECTED);
    IXMLDOMNodePtr document = RowDocument(m_nSelectedItem);
    if (document && Attribute(document, "FirstPage") == "0")
        Grey(pPopup, ID_LIST_DOWNLOAD_ENTIRE);
    const CString uid = RowDocumentUid(m_nSelectedItem);
    if (uid.IsEmpty())
        return;
    if (document)
        Grey(pPopup, Attribute(document, "DocumentRead") == "Yes" ? ID_LIST_MARK_READ : ID_LIST_MARK_UNREAD);
    const int kinds = FindDocumentFiles(uid);
    if (!(kinds & kHtml)) {
        Grey(pPopup, ID_LIST_PRINT_HTML);
        Grey(pPopup, ID_LIST_OPEN_HTML);
    }
    if (!(kinds & kPdf)) {
        Grey(pPopup, ID_LIST_PRINT_PDF);
        Grey(pPopup, ID_LIST_OPEN_PDF);
    }
    if (!(kinds & kOther)) {
        Grey(pPopup, ID_LIST_OPEN_FILE);
        Grey(pPopup, ID_LIST_PRINT_FILE);
    }
}

void CPatentManager::OnRClickList(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    *pResult = 0;
    if (m_listDocuments.GetSelectedCount() == 0)
        return;
    CNewMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return;
    CMenu* pPopup = menu.GetSubMenu(kPatentListPopup);
    if (!pPopup)
        return;
    m_ptContextMenu = m_listDocuments.m_ptLastMouse;
    m_listDocuments.ClientToScreen(&m_ptContextMenu);
    PrepareContextMenu(pPopup);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, m_ptContextMenu.x, m_ptContextMenu.y, this);
}

// ---------------------------------------------------------------- open, print, read marks

int CPatentManager::ShellOpen(const CString& strPath)
{
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(s_pfnShellExecute(m_hWnd, "open", strPath, nullptr, nullptr, SW_SHOWNORMAL)));
}

int CPatentManager::ShellPrint(const CString& strPath)
{
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(s_pfnShellExecute(m_hWnd, "print", strPath, nullptr, nullptr, SW_SHOWNORMAL)));
}

int CPatentManager::OpenDocumentFile(int nRow, int nKind)
{
    const CString uid = RowDocumentUid(nRow);
    if (uid.IsEmpty() || !m_spProjectDoc)
        return 0;
    IXMLDOMNodeListPtr items = m_spProjectDoc->selectNodes(_bstr_t(DocumentPath(uid) + "/XMLCatalog/CatalogItem"));
    for (long i = 0; i < items->Getlength(); ++i) {
        CString type, path;
        if (!CheckCatalogFile(items->Getitem(i), type, path))
            continue;
        const bool bMatch = type == "OTHER" || (nKind == 1 && type == "HTML") || (nKind == 2 && type == "PDF");
        if (!bMatch || !FileExists(path))
            continue;
        const int result = ShellOpen(path);
        return result > 32 ? result : -result;
    }
    return 0;
}

void CPatentManager::ShowErrorBalloon(const CString& strText, CPoint ptScreen)
{
    CWnd* pMain = GetTopLevelParent();
    if (pMain)
        pMain->ScreenToClient(&ptScreen);
    s_pfnLaunchBalloon("Error", strText, ptScreen, IDI_APPLICATION, kErrorBalloonOptions, pMain, "",
                       kErrorBalloonTimeout);
}

void CPatentManager::RunShellCommand(const CString& strPath, bool bOpen, const char* pszMissing, bool bMarkRead)
{
    if (m_listDocuments.GetSelectedCount() != 1)
        return;
    const int result = bOpen ? ShellOpen(strPath) : ShellPrint(strPath);
    if (result > 32) {
        if (bMarkRead)
            MarkRead(m_nSelectedItem, true, false);
        return;
    }
    const CString text =
        pszMissing && !::PathFileExistsA(strPath) ? CString(pszMissing) : GetShellExecuteErrorText(result);
    ShowErrorBalloon(text, m_ptContextMenu);
}

void CPatentManager::OnOpenHtml()
{
    RunShellCommand(m_strHtmlPath, true, "An HTML document for this patent does not exist.", true);
}

void CPatentManager::OnOpenPdf()
{
    RunShellCommand(m_strPdfPath, true, "A PDF document for this patent does not exist.", true);
}

void CPatentManager::OnOpenFile()
{
    RunShellCommand(m_strOtherPath, true, kNoDocument, false);
}

void CPatentManager::OnPrintHtml()
{
    RunShellCommand(m_strHtmlPath, false, nullptr, false);
}

void CPatentManager::OnPrintPdf()
{
    RunShellCommand(m_strPdfPath, false, nullptr, false);
}

void CPatentManager::OnPrintFile()
{
    RunShellCommand(m_strOtherPath, false, nullptr, false);
}

void CPatentManager::MarkRead(int nRow, bool bRead, bool bNoSave)
{
    IXMLDOMNodePtr document = RowDocument(nRow);
    if (!document || !SetXmlAttribute(document, "DocumentRead", bRead ? "Yes" : "No"))
        return;
    if (!bNoSave)
        SendToPane(UM_SAVE_PROJECT, reinterpret_cast<WPARAM>(static_cast<IXMLDOMNode*>(document)));
    for (int c = colDocument; c <= colDate; ++c)
        m_listDocuments.SetBold(nRow, c, bRead ? 0 : 1, 1);
    m_listDocuments.RedrawItems(nRow, nRow);
}

void CPatentManager::MarkSelection(bool bRead)
{
    const std::vector<int> rows = GetSelectedRows();
    for (int row : rows)
        MarkRead(row, bRead, true);
    if (!rows.empty())
        SendToPane(UM_SAVE_PROJECT);
}

void CPatentManager::OnMarkRead()
{
    MarkSelection(true);
}

void CPatentManager::OnMarkUnread()
{
    MarkSelection(false);
}

// ---------------------------------------------------------------- clicks and keys

void CPatentManager::OnListChanged(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    *pResult = 0;
}

void CPatentManager::OnClickList(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    *pResult = 0;
    m_bHasSelection1 = m_bHasSelection2 = m_listDocuments.GetSelectedCount() > 0 ? 1 : 0;
    // The main window decides the item again when its menu opens.
    CWnd* pMain = GetTopLevelParent();
    HMENU hBar = pMain ? ::GetMenu(pMain->m_hWnd) : nullptr;
    HMENU hFirst = hBar ? ::GetSubMenu(hBar, 0) : nullptr;
    if (hFirst)
        ::EnableMenuItem(hFirst, ID_FILE_EMAIL_DOCUMENTS, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
}

void CPatentManager::OnDblClickList(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* pActivate = reinterpret_cast<const NMITEMACTIVATE*>(pNMHDR);
    const int row = pActivate->iItem;
    if (row < 0)
        return;
    int result = 0;
    if (pActivate->iSubItem == colFiles) {
        result = OpenDocumentFile(row, pActivate->ptAction.x <= 16 ? 1 : 2);
    } else {
        result = OpenDocumentFile(row, 2);
        if (result == 0)
            result = OpenDocumentFile(row, 1);
    }
    if (result > 0) {
        MarkRead(row, true, false);
        return;
    }
    CPoint point = pActivate->ptAction;
    m_listDocuments.ClientToScreen(&point);
    ShowErrorBalloon(kNoDocument, point);
}

void CPatentManager::OnKeyDownList(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    if (reinterpret_cast<const NMLVKEYDOWN*>(pNMHDR)->wVKey == VK_DELETE)
        OnDeleteDocuments();
}

// ---------------------------------------------------------------- requests to the pane

LRESULT CPatentManager::SendToPane(UINT nMessage, WPARAM wParam)
{
    CWnd* pParent = GetParent();
    return pParent ? pParent->SendMessage(nMessage, wParam, 0) : 0;
}

void CPatentManager::SendFirstRowRequest(UINT nMessage, const CString& strText)
{
    CString text = strText;
    SendToPane(nMessage, reinterpret_cast<WPARAM>(&text));
}

void CPatentManager::OnDeleteDocuments()
{
    SendToPane(UM_DELETE_DOCUMENTS);
}

void CPatentManager::OnUnlinkDocuments()
{
    SendToPane(UM_UNLINK_DOCUMENTS);
}

void CPatentManager::OnDownloadEntireDocument()
{
    const int row = m_listDocuments.GetNextItem(-1, LVNI_SELECTED);
    if (row >= 0)
        SendFirstRowRequest(UM_DOWNLOAD_DOCUMENT, m_listDocuments.GetItemText(row, colDocument));
}

void CPatentManager::OnCopyShortcut()
{
    const int row = m_listDocuments.GetNextItem(-1, LVNI_SELECTED);
    if (row >= 0)
        SendFirstRowRequest(UM_COPY_SHORTCUT, RowDocumentUid(row));
}

// ---------------------------------------------------------------- shell error texts

CString GetShellExecuteErrorText(int nCode)
{
    switch (nCode) {
    case 0:
        return "The operating system is out of memory or resources.";
    case SE_ERR_FNF:
        return "The specified file was not found.";
    case SE_ERR_PNF:
        return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED:
        return "The operating system denied access to the specified file.";
    case SE_ERR_OOM:
        return "There was not enough memory to complete the operation. ";
    case ERROR_BAD_FORMAT:
        return "The .exe file is invalid (non-Win32\xAE .exe or error in .exe image).";
    case SE_ERR_SHARE:
        return "A sharing violation occurred.";
    case SE_ERR_ASSOCINCOMPLETE:
        return "The file name association is incomplete or invalid.";
    case SE_ERR_DDETIMEOUT:
        return "The DDE transaction could not be completed because the request timed out.";
    case SE_ERR_DDEFAIL:
        return "The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
        return "The DDE transaction could not be completed because other DDE transactions were being processed.";
    case SE_ERR_NOASSOC:
        return "There is no application associated with the given file name extension. This error will also be "
               "returned if you attempt to print a file that is not printable. ";
    case SE_ERR_DLLNOTFOUND:
        return "The specified dynamic-link library was not found.  ";
    default:
        return CString();
    }
}
