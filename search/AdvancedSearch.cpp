#include "AdvancedSearch.h"

#include "DataExchange.h"
#include "DataFiles.h"
#include "HLinkDialog.h"
#include "NewMenu.h"
#include "NewQuery.h"
#include "SavedQueryBox.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <shellapi.h>

#include <cstdlib>

const char CAdvancedSearch::kReferencedByHelp[] =
    "Referenced By Field.\nThis is not an actual data field, but is a built-in retrievaltool (i.e. you cannot use "
    "this field with the other search fields).Searching in the Referenced By field will retrieve a list of "
    "otherpatents which contain this patent number in their full-text. This listwill include those other patents "
    "which cite the subject patent asprior art on their front pages.  Please note that you cannot use theother "
    "search fields when using this field.";
const char CAdvancedSearch::kApplicationSerialHelp[] =
    "Searching for Published Application Serial Numbers\nWhen searching for USPTO published patent applications by "
    "serial number, you must remove the first twodigits of the serial number and the slash. For example, if you are "
    "searching for the published applicationof U.S. Application Serial No. 10/096,340 you would only enter 096340 "
    "into the Application Serial Number field.";
const char CAdvancedSearch::kPatentSerialHelp[] =
    "Searching for Patent Application Serial Numbers\nWhen searching for USPTO patents by serial number, you must "
    "remove the first two digits of the serialnumber and the slash. For example, if you are searching for a patent "
    "having U.S. Application Serial No.10/137,527 you would only enter 137527 into the Application Serial Number "
    "field.";
const char CAdvancedSearch::kClassificationAddress[] = "https://www.wipo.int/classifications/ipc/ipcpub/";

namespace {

// The field grid: row pitch, control height, the gap between a label and its control.
const int kRowPitch = 25;
const int kControlHeight = 16;
const int kLabelGap = 4;
const int kControlOffset = (kRowPitch - kControlHeight) / 2;
const int kGridTop = 72; // the first row's distance below the Start Search button
const int kComboListHeight = 100;

const int kAdvQueryPopup = 6; // "AdvQuery" of menu 131

// The edit texts of location 2 at positions 1 to 9, kept for the whole run.
CString g_strEpoSlots[9];

const char kSavedQueryFile[] = "advancedquery.xml";

} // namespace

IMPLEMENT_DYNAMIC(CAdvancedSearch, CMyPropertyPage)

BEGIN_MESSAGE_MAP(CAdvancedSearch, CMyPropertyPage)
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_ADV_START_SEARCH, &CAdvancedSearch::OnStartSearch)
    ON_BN_CLICKED(IDC_ADV_HELP, &CAdvancedSearch::OnHelp)
    ON_BN_CLICKED(IDC_ADV_SAVE, &CAdvancedSearch::OnSaveQuery)
    ON_BN_CLICKED(IDC_ADV_CLEAR, &CAdvancedSearch::OnClear)
    ON_CBN_SELCHANGE(IDC_ADV_SAVED_QUERIES, &CAdvancedSearch::OnSelchangeSavedQuery)
    ON_COMMAND(ID_ADVQUERY_DELETE, &CAdvancedSearch::OnDeleteQuery)
    ON_MESSAGE(UM_FIELD_EDITED, &CAdvancedSearch::OnFieldChanged)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CAdvancedSearch::CAdvancedSearch()
    : CMyPropertyPage(IDD_ADVANCED_SEARCH), m_savedQueries(AdvancedQueryFormat())
{
}

CAdvancedSearch::~CAdvancedSearch()
{
    DestroySearchFields();
}

void CAdvancedSearch::DoDataExchange(CDataExchange* pDX)
{
    CMyPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ADV_START_SEARCH, m_buttonStartSearch);
    DDX_Control(pDX, IDC_ADV_NOTES, m_labelNotes);
    DDX_Control(pDX, IDC_ADV_HELP, m_buttonHelp);
    DDX_Control(pDX, IDC_ADV_SAVE, m_buttonSave);
    DDX_Control(pDX, IDC_ADV_SAVED_QUERIES, m_comboSavedQueries);
    DDX_Control(pDX, IDC_ADV_SAVED_LABEL, m_labelSavedQueries);
    DDX_Control(pDX, IDC_ADV_CLEAR, m_buttonClear);
    DDX_Control(pDX, IDC_ADV_QUERY_HELP, m_labelQueryHelp);
    DDX_Control(pDX, IDC_ADV_LOWER_LINE, m_lineLower);
    DDX_Control(pDX, IDC_ADV_UPPER_LINE, m_lineUpper);
}

BOOL CAdvancedSearch::OnInitDialog()
{
    CMyPropertyPage::OnInitDialog();

    m_buttonStartSearch.LoadBitmap(IDB_BASIC_START_SEARCH);
    m_buttonStartSearch.GetWindowRect(&m_rectStartSearch);
    ScreenToClient(&m_rectStartSearch);

    m_labelNotes.SetText("");
    m_labelNotes.SetTextFormat(DT_WORDBREAK | DT_VCENTER);
    m_labelNotes.SetTransparent(TRUE);
    m_labelNotes.Initialize();

    m_labelQueryHelp.SetText("HOW TO CREATE SEARCH QUERIES");
    m_labelQueryHelp.SetTextFormat(DT_WORDBREAK | DT_VCENTER);
    m_labelQueryHelp.SetTransparent(TRUE);
    m_labelQueryHelp.Initialize();
    m_labelQueryHelp.SetLink(1);
    m_labelQueryHelp.SetHelpMode(0);
    m_labelQueryHelp.ModifyStyle(0, SS_NOTIFY);
    m_labelQueryHelp.SetHelpText(GetAppDirectory() + "\\HText.html");
    // The help labels show the query help page in the program's help window.
    if (!CMyStatic::s_pfnShowHelpPage)
        CMyStatic::s_pfnShowHelpPage = &CHLinkDialog::ShowHelpPage;

    m_buttonHelp.LoadBitmap(IDB_BASIC_HELP);
    m_buttonHelp.MoveWindow(5, 5, 54, 24);

    m_comboSavedQueries.AddString("None");
    m_comboSavedQueries.SetCurSel(0);
    m_labelSavedQueries.SetText("Saved Queries:");
    m_labelSavedQueries.SetTransparent(TRUE);
    m_labelSavedQueries.Initialize();

    m_buttonSave.LoadBitmap(IDB_BASIC_SAVE);
    m_buttonClear.LoadBitmap(IDB_BASIC_CLEAR);

    LoadSavedQueries();
    return TRUE;
}

// ---------------------------------------------------------------- fields

CString CAdvancedSearch::GetFieldTemplate(IXMLDOMNodePtr node)
{
    if (!node)
        return CString();
    IXMLDOMNodePtr pattern = node->selectSingleNode(L"Template");
    return pattern ? ToAnsi(pattern->Gettext()) : CString();
}

void CAdvancedSearch::DestroySearchFields()
{
    m_mapFieldNames.clear();
    m_Parameters.RemoveAll();
    m_mapFieldPatterns.clear();
    for (auto& label : m_labels)
        if (label->m_hWnd)
            label->DestroyWindow();
    for (auto& edit : m_edits)
        if (edit->m_hWnd)
            edit->DestroyWindow();
    for (auto& combo : m_combos)
        if (combo->m_hWnd)
            combo->DestroyWindow();
    m_labels.clear();
    m_edits.clear();
    m_combos.clear();
}

void CAdvancedSearch::BuildSearchFields(IXMLDOMNodeListPtr nodes)
{
    std::vector<IXMLDOMNodePtr> list;
    const long count = nodes ? nodes->Getlength() : 0;
    for (long i = 0; i < count; ++i)
        list.push_back(nodes->Getitem(i));
    BuildSearchFields(list);
}

void CAdvancedSearch::BuildSearchFields(const std::vector<IXMLDOMNodePtr>& nodes)
{
    if (m_ScrollBar.m_hWnd)
        m_ScrollBar.MoveThumb(-1, 0);
    ResetScroll();
    DestroySearchFields();

    CRect client;
    GetClientRect(&client);
    const int bottom = m_rectStartSearch.bottom;
    const int firstWidth = (client.Width() - 80) / 4;
    const int L = m_nLabelWidth;
    const int count = static_cast<int>(nodes.size()) < kMaxFields ? static_cast<int>(nodes.size()) : kMaxFields;

    const auto rowRects = [&](int row, int column, CRect& label, CRect& control) {
        const int top = bottom + kGridTop + kRowPitch * row;
        const int shift = column == 0 ? 0 : L + 20 + firstWidth;
        label.SetRect(shift, top, shift + L, top + kRowPitch);
        control.SetRect(shift + L + kLabelGap, top + kControlOffset, shift + L + kLabelGap + firstWidth,
                         top + kControlOffset + kControlHeight);
    };
    // Pass one: the even fields down the left column; pass two: the odd ones down the right.
    std::vector<int> odd;
    int row = 0;
    for (int i = 0; i < count; ++i) {
        if (i % 2 != 0) {
            odd.push_back(i);
            continue;
        }
        CRect label, control;
        rowRects(row++, 0, label, control);
        BuildField(nodes[static_cast<size_t>(i)], i, 0, label, control);
    }
    row = 0;
    for (int i : odd) {
        CRect label, control;
        rowRects(row++, 1, label, control);
        BuildField(nodes[static_cast<size_t>(i)], i, 1, label, control);
    }

    const int contentHeight = bottom + kGridTop + kRowPitch + kRowPitch * static_cast<int>(odd.size());
    SetContentHeight(contentHeight);
    m_nFieldsBottom = contentHeight + 55;
    LayoutControls();
}

void CAdvancedSearch::BuildField(IXMLDOMNodePtr node, int nIndex, int nColumn, const CRect& rectLabel,
                                 const CRect& rectControl)
{
    CString label, name, type, forceDefault;
    if (node) {
        GetXmlAttribute(node, "Label", label);
        GetXmlAttribute(node, "Name", name);
        GetXmlAttribute(node, "Type", type);
        GetXmlAttribute(node, "ForceDefault", forceDefault);
    }
    const CString pattern = GetFieldTemplate(node);

    auto pLabel = std::make_unique<CMyStatic>();
    pLabel->Create(label, WS_VISIBLE | SS_NOTIFY, rectLabel, this, IDC_ADV_FIELD_LABEL);
    pLabel->SetTransparent(TRUE);
    pLabel->Initialize();
    pLabel->SetTextFormat(DT_RIGHT | DT_VCENTER | DT_WORDBREAK | DT_SINGLELINE);
    pLabel->SetText(label);
    pLabel->m_nColumn = nColumn;
    m_labels.push_back(std::move(pLabel));

    if (type == "Edit" || type.IsEmpty()) {
        auto pEdit = std::make_unique<CMyEdit>();
        pEdit->Create(WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, rectControl, this, IDC_ADV_FIELD);
        pEdit->Initialize();
        pEdit->m_bNotify = name == "REFBY";
        pEdit->SetFieldId(nIndex);
        pEdit->m_nColumn = nColumn;
        m_edits.push_back(std::move(pEdit));
    } else if (type == "ComboBox") {
        auto pCombo = std::make_unique<CMyComboBox>();
        pCombo->m_nColumn = nColumn;
        CRect rectList = rectControl;
        rectList.bottom = rectList.top + kComboListHeight;
        pCombo->Create(WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, rectList, this, IDC_ADV_FIELD);
        if (node) {
            IXMLDOMNodeListPtr options = node->selectNodes(L"Options/Option");
            const long count = options ? options->Getlength() : 0;
            for (long k = 0; k < count; ++k) {
                IXMLDOMNodePtr option = options->Getitem(k);
                CString value;
                GetXmlAttribute(option, "Value", value);
                pCombo->AddItem(value, ToAnsi(option->Gettext()));
            }
        }
        pCombo->SetFieldId(nIndex);
        if (forceDefault == "1")
            pCombo->SetCurSel(0);
        pCombo->Initialize();
        m_combos.push_back(std::move(pCombo));
    }
    m_mapFieldNames[nIndex] = name;
    m_mapFieldPatterns[nIndex] = pattern;
}

void CAdvancedSearch::ApplyLabelHelp(CMyStatic& label, int nColumn) const
{
    const CString& text = label.GetText();
    if (text == "Current US Classification") {
        label.SetLink(1);
        label.SetHelpMode(nColumn == 0 ? 0 : 1);
        label.SetHelpText(kClassificationAddress);
    } else if (text == "Referenced By") {
        label.SetLink(1);
        label.SetHelpMode(1);
        label.SetHelpText(kReferencedByHelp);
    } else if (text == "Application Serial Number" && (m_nLocationIndex == 0 || m_nLocationIndex == 1)) {
        label.SetLink(1);
        label.SetHelpMode(1);
        label.SetHelpText(m_nLocationIndex == 1 ? kApplicationSerialHelp : kPatentSerialHelp);
    } else if (text == "International Classification") {
        label.SetLink(1);
        label.SetHelpMode(0);
        label.SetHelpText(kClassificationAddress);
    }
}

void CAdvancedSearch::LayoutControls()
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    const int W = client.Width();
    const int L = m_nLabelWidth;
    const int C = (W - 2 * L - 32) / 2;

    if (IsPageInitialized() && m_buttonStartSearch.m_hWnd) {
        CRect rect;
        m_buttonStartSearch.GetWindowRect(&rect);
        ScreenToClient(&rect);
        m_buttonStartSearch.MoveWindow(client.right - 10 - rect.Width(), 0, rect.Width(), rect.Height());
        m_buttonStartSearch.GetWindowRect(&m_rectStartSearch);
        ScreenToClient(&m_rectStartSearch);
    }
    const auto place = [&](CWnd& wnd, int x, int width) {
        CRect rect;
        wnd.GetWindowRect(&rect);
        ScreenToClient(&rect);
        wnd.MoveWindow(x, rect.top, width, rect.Height());
    };
    for (auto& edit : m_edits)
        place(*edit, edit->m_nColumn == 0 ? L + 4 : L + 4 + C + 20 + L + 4, C);
    for (auto& combo : m_combos)
        place(*combo, combo->m_nColumn == 0 ? L + 4 : L + 4 + C + 20 + L + 4, C);
    for (auto& label : m_labels) {
        place(*label, label->m_nColumn == 0 ? 0 : L + 4 + C + 20, L);
        ApplyLabelHelp(*label, label->m_nColumn);
    }

    if (m_labelQueryHelp.m_hWnd) {
        if (m_nLocationIndex != 2) {
            CRect rect;
            m_labelQueryHelp.GetWindowRect(&rect);
            m_labelQueryHelp.MoveWindow(10, m_nFieldsBottom + 6, rect.Width(), rect.Height());
            m_labelQueryHelp.ShowWindow(SW_SHOW);
        } else {
            m_labelQueryHelp.ShowWindow(SW_HIDE);
        }
    }
    if (m_lineLower.m_hWnd)
        m_lineLower.MoveWindow(10, m_nFieldsBottom - 5, W - 20, 2);
    if (m_lineUpper.m_hWnd)
        m_lineUpper.MoveWindow(10, 80, W - 20, 2);
}

void CAdvancedSearch::OnSize(UINT nType, int cx, int cy)
{
    CMyPropertyPage::OnSize(nType, cx, cy);
    LayoutControls();
}

void CAdvancedSearch::SetNotes(IXMLDOMNodePtr node)
{
    if (!node) {
        m_labelNotes.SetText("");
        SetContentHeight(m_nFieldsBottom);
        return;
    }
    CString text = ToAnsi(node->Gettext());
    text.Replace("\\n", "\n");
    CRect client;
    GetClientRect(&client);
    CRect measured(0, 0, client.Width(), 10);
    m_labelNotes.CalcTextHeight(text, measured);
    m_labelNotes.MoveWindow(0, m_nFieldsBottom - 33, client.Width(), measured.Height());
    m_labelNotes.SetText(text);
    SetContentHeight(m_nFieldsBottom + measured.Height());
}

void CAdvancedSearch::SetHelpLink(IXMLDOMNodePtr node)
{
    m_strHelpAddress.Empty();
    m_buttonHelp.ShowWindow(SW_HIDE);
    CString address;
    if (node && GetXmlAttribute(node, "URL", address) && !address.IsEmpty()) {
        m_strHelpAddress = address;
        m_buttonHelp.ShowWindow(SW_SHOW);
    }
}

void CAdvancedSearch::ApplySettings(IXMLDOMNodePtr node)
{
    CString width;
    if (node && GetXmlAttribute(node, "LabelWidth", width))
        m_nLabelWidth = std::atoi(width.SpanIncluding("0123456789"));
}

void CAdvancedSearch::OnHelp()
{
    ::ShellExecuteA(m_hWnd, "open", m_strHelpAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

// ---------------------------------------------------------------- keys and messages

BOOL CAdvancedSearch::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        OnStartSearch();
        return TRUE;
    }
    return CMyPropertyPage::PreTranslateMessage(pMsg);
}

LRESULT CAdvancedSearch::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_RBUTTONDBLCLK && wParam == CThatComboBox::RequestContextMenu) {
        CNewMenu menu;
        if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
            return 0;
        CMenu* pPopup = menu.GetSubMenu(kAdvQueryPopup);
        if (!pPopup)
            return 0;
        if (m_comboSavedQueries.GetCurSel() < 1)
            pPopup->EnableMenuItem(0, MF_BYPOSITION | MF_DISABLED | MF_GRAYED);
        pPopup->TrackPopupMenu(0, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), this);
        return 0;
    }
    return CMyPropertyPage::WindowProc(message, wParam, lParam);
}

LRESULT CAdvancedSearch::OnFieldChanged(WPARAM wParam, LPARAM /*lParam*/)
{
    const CMyEdit* pSource = reinterpret_cast<const CMyEdit*>(wParam);
    const bool empty = !pSource || pSource->GetWindowTextLength() == 0;
    for (auto& edit : m_edits) {
        if (edit.get() == pSource)
            continue;
        edit->SetWindowText("");
        edit->SetLocked(empty ? FALSE : TRUE);
    }
    for (auto& combo : m_combos)
        combo->SetCurSel(0);
    return 0;
}

BOOL CAdvancedSearch::OnEraseBkgnd(CDC* pDC)
{
    CMyPropertyPage::OnEraseBkgnd(pDC);
    return FALSE;
}

// ---------------------------------------------------------------- texts kept across locations

int CAdvancedSearch::KeptFieldKey(int nLocation, int nPosition)
{
    if (nPosition < 0)
        return -1;
    switch (nLocation) {
    case 0:
        if (nPosition <= 3)
            return nPosition;
        if (nPosition <= 11)
            return nPosition + 1;
        if (nPosition <= 21)
            return nPosition + 4;
        return -1;
    case 1:
        if (nPosition <= 3)
            return nPosition;
        if (nPosition <= 6)
            return nPosition + 1;
        if (nPosition == 7)
            return 9;
        if (nPosition == 8)
            return 13;
        if (nPosition == 9)
            return 14;
        if (nPosition <= 17)
            return nPosition + 6;
        if (nPosition == 18)
            return 25;
        return -1;
    case 2:
        if (nPosition == 0)
            return 0;
        if (nPosition <= 9)
            return 100 + nPosition - 1;
        return -1;
    default:
        return -1;
    }
}

CString CAdvancedSearch::GetEditText(int nPosition) const
{
    CString text;
    if (nPosition >= 0 && nPosition < static_cast<int>(m_edits.size()))
        m_edits[static_cast<size_t>(nPosition)]->GetWindowText(text);
    return text;
}

void CAdvancedSearch::CollectFieldValues()
{
    for (int position = 0; position < static_cast<int>(m_edits.size()); ++position) {
        const int key = KeptFieldKey(m_nPreviousLocationIndex, position);
        if (key >= 100)
            g_strEpoSlots[key - 100] = GetEditText(position);
        else if (key >= 0)
            m_mapFieldValues[key] = GetEditText(position);
    }
}

void CAdvancedSearch::RestoreFieldValues()
{
    for (int position = 0; position < static_cast<int>(m_edits.size()); ++position) {
        const int key = KeptFieldKey(m_nLocationIndex, position);
        if (key < 0)
            continue;
        CString text;
        if (key >= 100) {
            text = g_strEpoSlots[key - 100];
        } else {
            auto kept = m_mapFieldValues.find(key);
            if (kept != m_mapFieldValues.end())
                text = kept->second;
        }
        m_edits[static_cast<size_t>(position)]->SetWindowText(text);
    }
}

// ---------------------------------------------------------------- the search

CString CAdvancedSearch::CheckQuery(const CString& pattern, const CString& text, BYTE check)
{
    CString error;
    CString value = CheckQueryText(pattern, text, check, m_nLocationIndex, &error);
    if (!error.IsEmpty())
        ShowMessage(error, MB_OK);
    return value;
}

void CAdvancedSearch::ShowMessage(const CString& text, UINT nType)
{
    ::MessageBoxA(m_hWnd, text, AfxGetAppName(), nType);
}

void CAdvancedSearch::OnStartSearch()
{
    const auto lookup = [](const std::map<int, CString>& map, int key) {
        auto found = map.find(key);
        return found != map.end() ? found->second : CString();
    };
    std::vector<AdvancedFieldInput> edits, combos;
    for (auto& edit : m_edits) {
        AdvancedFieldInput input;
        input.name = lookup(m_mapFieldNames, edit->GetFieldId());
        input.pattern = lookup(m_mapFieldPatterns, edit->GetFieldId());
        edit->GetWindowText(input.text);
        edits.push_back(input);
    }
    for (auto& combo : m_combos) {
        AdvancedFieldInput input;
        input.name = lookup(m_mapFieldNames, combo->GetFieldId());
        input.pattern = lookup(m_mapFieldPatterns, combo->GetFieldId());
        input.text = combo->GetSelectedValue();
        combos.push_back(input);
    }
    AdvancedQuery query;
    BuildAdvancedQuery(edits, combos, m_nLocationIndex, [this](const CString& message) { ShowMessage(message, MB_OK); },
                       query);
    m_Parameters.RemoveAll();
    POSITION pos = query.params.GetStartPosition();
    while (pos) {
        CString key, value;
        query.params.GetNextAssoc(pos, key, value);
        m_Parameters.SetAt(key, value);
    }
    m_strQueryText = query.displayText;
    if (m_hOwner && ::IsWindow(m_hOwner))
        ::SendMessageA(m_hOwner, kRunSearchMessage, 0, 0);
}

// ---------------------------------------------------------------- saved queries

void CAdvancedSearch::LoadSavedQueries()
{
    if (m_savedQueries.Load(ResolveDataFilePath(kSavedQueryFile)) == CSavedQueryStore::loadSetAside)
        ShowMessage(m_savedQueries.SetAsideText(), MB_OK | MB_ICONWARNING);
    FillSavedQueryCombo();
}

void CAdvancedSearch::RefillSavedQueryCombo()
{
    FillSavedQueryBox(m_comboSavedQueries, m_savedQueries, m_nLocationIndex);
}

void CAdvancedSearch::FillSavedQueryCombo()
{
    RefillSavedQueryCombo();
    if (m_bFirstFill)
        CollectFieldValues();
    m_bFirstFill = TRUE;
    m_comboSavedQueries.SetCurSel(0);
}

void CAdvancedSearch::OnSelchangeSavedQuery()
{
    const int selection = m_comboSavedQueries.GetCurSel();
    if (selection < 1) {
        OnClear();
        return;
    }
    switch (m_nLocationIndex) {
    case 0:
        ApplyPatentQuery(selection - 1);
        break;
    case 1:
        ApplyApplicationQuery(selection - 1);
        break;
    case 2:
        // European queries are listed and deleted, never applied.
        m_comboSavedQueries.SetCurSel(0);
        break;
    default:
        break;
    }
}

void CAdvancedSearch::ApplySavedQuery(int nSlot, int nIndex)
{
    const std::vector<SavedQuery>& list = m_savedQueries.List(nSlot);
    if (nIndex < 0 || nIndex >= static_cast<int>(list.size()))
        return;
    m_savedQueries.Apply(
        nSlot, list[static_cast<size_t>(nIndex)], m_edits.size(), m_combos.size(),
        [this](size_t edit, const CString& text) { m_edits[edit]->SetWindowText(text); },
        [this](size_t combo, int selection) { m_combos[combo]->SetCurSel(selection); });
}

void CAdvancedSearch::ApplyPatentQuery(int nIndex)
{
    ApplySavedQuery(0, nIndex);
}

void CAdvancedSearch::ApplyApplicationQuery(int nIndex)
{
    ApplySavedQuery(1, nIndex);
}

void CAdvancedSearch::OnClear()
{
    for (auto& edit : m_edits)
        edit->SetWindowText("");
    for (auto& combo : m_combos)
        combo->SetCurSel(0);
    m_comboSavedQueries.SetCurSel(0);
}

void CAdvancedSearch::OnSaveQuery()
{
    CNewQuery dialog(this);
    if (dialog.DoModal() != IDOK)
        return;
    const int index = m_comboSavedQueries.GetCount();
    if (m_nLocationIndex == 0 || m_nLocationIndex == 1) {
        std::vector<CString> edits;
        for (size_t i = 0; i < m_edits.size(); ++i)
            edits.push_back(GetEditText(static_cast<int>(i)));
        std::vector<int> selections;
        for (auto& combo : m_combos)
            selections.push_back(combo->GetCurSel());
        m_savedQueries.Append(m_nLocationIndex,
                              m_savedQueries.Capture(m_nLocationIndex, dialog.m_strPlainTitle, edits, selections));
    } else if (m_nLocationIndex == 2) {
        return;
    }
    m_comboSavedQueries.AddString(dialog.m_strPlainTitle);
    m_comboSavedQueries.SetCurSel(index);
    WriteSavedQueries();
}

void CAdvancedSearch::OnDeleteQuery()
{
    if (!DeleteChosenSavedQuery(m_comboSavedQueries, m_savedQueries, m_nLocationIndex))
        return;
    OnSelchangeSavedQuery();
    WriteSavedQueries();
}

void CAdvancedSearch::WriteSavedQueries()
{
    CString error;
    if (!m_savedQueries.Write(GetAppDirectory() + "\\" + kSavedQueryFile, &error) && !error.IsEmpty())
        ShowMessage(error, MB_OK | MB_ICONWARNING);
}
