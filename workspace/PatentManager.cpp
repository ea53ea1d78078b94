#include "PatentManager.h"

#include "Bitmap.h"
#include "DataExchange.h"
#include "ProgramOptions.h"
#include "ProgressLog.h"
#include "ProjectMessages.h"
#include "ProjectIds.h"
#include "ProjectStore.h"
#include "SortClass.h"
#include "TextHelpers.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <cstdio>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CPatentManager, CDialog)

BEGIN_MESSAGE_MAP(CPatentManager, CDialog)
    ON_WM_SIZE()
    ON_MESSAGE(UM_SHOW_FOLDER, &CPatentManager::OnShowFolder)
    ON_MESSAGE(UM_DOCUMENTS_DROPPED, &CPatentManager::OnDocumentsDropped)
    ON_MESSAGE(UM_SORT_COLUMN, &CPatentManager::OnSortColumn)
    ON_COMMAND(ID_LIST_SELECT_ALL, &CPatentManager::OnSelectAll)
END_MESSAGE_MAP()

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

// The stylesheet that selects a folder's documents in the order of one attribute. It makes
// the Documents element that wraps them itself.
const char kSortStylesheet[] =
    "<?xml version=\"1.0\"?>"
    "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
    "<xsl:template match=\"/\">"
    "<Documents>"
    "<xsl:for-each select=\"/Project/Documents/Document[@ParentUID='[PARENTUID]']\">"
    "<xsl:sort select=\"[SORTVERB]\" order=\"[SORTDIRECTION]\"/>"
    "<xsl:copy-of select=\".\"/>"
    "</xsl:for-each>"
    "</Documents>"
    "</xsl:template>"
    "</xsl:stylesheet>";

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
    IXMLDOMNodeListPtr documents = m_spProjectDoc->selectNodes(L"/Project/Documents/Document");
    for (long i = 0; i < documents->Getlength(); ++i) {
        IXMLDOMNodePtr document = documents->Getitem(i);
        m_pNameToUID->SetAt(Attribute(document, "Name"), Attribute(document, "UID"));
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
    int kinds = 0;
    IXMLDOMNodeListPtr items = pDocument->selectNodes(L"XMLCatalog/CatalogItem");
    for (long i = 0; i < items->Getlength(); ++i) {
        IXMLDOMNodePtr item = items->Getitem(i);
        const CString type = Attribute(item, "FileType");
        if (type == "HTML")
            kinds |= 1;
        else if (type == "PDF")
            kinds |= 2;
        else if (type == "OTHER")
            kinds |= 4;
        if (Attribute(item, "Wrapper") == "1")
            kinds = 5;
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
        pParent->SendMessage(UM_SAVE_PROJECT, 0, 0);
}

// ---------------------------------------------------------------- filling the list

IXMLDOMNodeListPtr CPatentManager::SelectFolderDocuments(const CString& strFolderUID, int nSortColumn, bool bAscending)
{
    const char* verb = SortVerb(nSortColumn);
    if (!*verb) {
        // No key to order by (no sort column, the Files column or a hidden one): the store's
        // order; the list's own sort orders the rows afterwards.
        return m_spProjectDoc->selectNodes(
            _bstr_t("/Project/Documents/Document[@ParentUID=" + XPathLiteral(strFolderUID) + "]"));
    }
    CString stylesheet = kSortStylesheet;
    stylesheet.Replace("[SORTVERB]", verb);
    stylesheet.Replace("[SORTDIRECTION]", bAscending ? "ascending" : "descending");
    stylesheet.Replace("[PARENTUID]", EscapeXml(strFolderUID));
    IXMLDOMDocument2Ptr xsl = CreateDomDocument();
    if (!xsl->loadXML(_bstr_t(stylesheet))) {
        CWnd* pMain = GetTopLevelParent();
        ::MessageBoxA(pMain ? pMain->m_hWnd : nullptr, stylesheet, nullptr, MB_OK);
    }
    CString result = ToAnsi(m_spProjectDoc->transformNode(xsl));
    // The result may begin with a declaration naming the encoding of a text it no longer is.
    const int start = result.Find("<Documents");
    if (start > 0)
        result.Delete(0, start);
    IXMLDOMDocument2Ptr work = CreateDomDocument();
    work->loadXML(_bstr_t(result));
    return work->selectNodes(L"/Documents/Document");
}

void CPatentManager::AddDocumentRow(IXMLDOMNodePtr pDocument, int nData, const CString* pShortcutUid)
{
    const bool bFirstPageOnly = Attribute(pDocument, "FirstPage") == "1";
    const bool bRead = Attribute(pDocument, "DocumentRead") == "Yes";
    std::vector<CString> texts = {"",
                                  Attribute(pDocument, "Name"),
                                  Attribute(pDocument, "DocumentTitle"),
                                  "  " + Attribute(pDocument, "DocumentInventor"),
                                  "  " + Attribute(pDocument, "DocumentAssignee"),
                                  Attribute(pDocument, "DownloadDate")};
    std::vector<ListCellRecord> cells(colShortcutUid + 1);
    for (ListCellRecord& cell : cells) {
        cell.textColour = RGB(0, 0, 0);
        cell.backColour = kWhite;
    }
    for (int c = colDocument; c <= colDate; ++c) {
        if (bFirstPageOnly)
            cells[c].textColour = kBlue;
        cells[c].bold = bRead ? 0 : 1;
    }
    cells[colFiles].rowData = static_cast<DWORD_PTR>(nData);
    CString date;
    if (GetXmlAttribute(pDocument, "DownloadDate", date))
        cells[colFiles].imageIndex = RowImage(GetDocumentFileKinds(pDocument), Attribute(pDocument, "Wrapper"));
    if (pShortcutUid) {
        // Marked in the hidden columns, in the list's background colour.
        texts.push_back(kShortcutMark);
        texts.push_back(*pShortcutUid);
        const COLORREF crHidden = m_listDocuments.GetBkColor();
        for (int c : {colShortcut, colShortcutUid})
            cells[c].textColour = cells[c].backColour = crHidden;
    }
    if (m_listDocuments.InsertRow(0, texts, cells) >= 0)
        m_mapRowToUID[nData] = Attribute(pDocument, "UID");
}

void CPatentManager::AddFolderShortcuts(const CString& strFolderUID, int nFirst)
{
    IXMLDOMNodeListPtr shorts =
        m_spProjectDoc->selectNodes(_bstr_t("/Project/Shorts/Short[@ParentUID=" + XPathLiteral(strFolderUID) + "]"));
    int nData = nFirst;
    for (long i = 0; i < shorts->Getlength(); ++i) {
        IXMLDOMNodePtr shortcut = shorts->Getitem(i);
        IXMLDOMNodePtr document = m_spProjectDoc->selectSingleNode(
            _bstr_t("/Project/Documents/Document[@UID=" + XPathLiteral(Attribute(shortcut, "ShortUID")) + "]"));
        if (!document)
            continue; // a shortcut whose document is gone shows nothing
        const CString shortcutUid = Attribute(shortcut, "UID");
        AddDocumentRow(document, nData++, &shortcutUid);
    }
}

void CPatentManager::RefreshView(CString strFolderUID)
{
    // The list neither paints nor lays itself out while it is filled: each row would
    // otherwise cost a layout of the whole list.
    struct Quiet
    {
        CWnd& list;
        explicit Quiet(CWnd& w) : list(w) { list.SendMessage(WM_SETREDRAW, FALSE); }
        ~Quiet()
        {
            list.SendMessage(WM_SETREDRAW, TRUE);
            list.ShowWindow(SW_SHOW);
            list.Invalidate();
        }
    } quiet(m_listDocuments);
    RefillList(strFolderUID);
}

void CPatentManager::RefillList(const CString& strFolderUID)
{
    m_listDocuments.DeleteAllItems();
    m_mapRowToUID.RemoveAll();
    m_strFolderUID = strFolderUID;
    if (!m_spProjectDoc)
        return; // no store loaded: nothing to show

    CString direction, column;
    GetFolderSortSettings(strFolderUID, direction, column);
    m_listDocuments.SetSortAscending(direction == "1" ? 1 : 0);
    m_listDocuments.SetSortColumn(CSortClass::ParseInteger(column));
    const int nSortColumn = m_listDocuments.GetSortColumn();

    IXMLDOMNodeListPtr documents;
    try {
        documents = SelectFolderDocuments(strFolderUID, nSortColumn, direction == "1");
    } catch (const _com_error& e) {
        CString text;
        text.Format("Description: %s Message: %s", ToAnsi(e.Description()).GetString(),
                    ToAnsi(_bstr_t(e.ErrorMessage())).GetString());
        ::MessageBoxA(nullptr, text, nullptr, MB_ICONEXCLAMATION);
        documents = nullptr;
    }

    int nData = 0;
    if (documents && documents->Getlength() > 0) {
        m_listDocuments.DeleteAllItems();
        m_listDocuments.ShowWindow(SW_HIDE);
        for (long i = 0; i < documents->Getlength(); ++i)
            AddDocumentRow(documents->Getitem(i), nData++);
    }
    AddFolderShortcuts(strFolderUID, nData);

    // The final order: the sort key of every row, shortcuts included; a stored direction
    // of "1" shows the greatest key first.
    if (nSortColumn >= 0) {
        CSortClass sorter(&m_listDocuments, nSortColumn, nSortColumn == colDate);
        sorter.Sort(m_listDocuments.GetSortOrder() != 1);
    }
    // The dates in words; the cells keep their colours. The list shows once it is complete.
    const int count = m_listDocuments.GetItemCount();
    for (int row = 0; row < count; ++row)
        m_listDocuments.CListCtrl::SetItemText(row, colDate,
                                               FormatDownloadDate(m_listDocuments.GetItemText(row, colDate)));
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
