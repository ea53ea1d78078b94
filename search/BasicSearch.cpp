#include "BasicSearch.h"

#include "BasicQuery.h"
#include "DataFiles.h"
#include "NewQuery.h"
#include "NewMenu.h"
#include "SavedQueryBox.h"
#include "SearchPaneMessages.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <shellapi.h>

IMPLEMENT_DYNAMIC(CBasicSearch, CMyPropertyPage)

BEGIN_MESSAGE_MAP(CBasicSearch, CMyPropertyPage)
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_BASIC_START_SEARCH, &CBasicSearch::OnStartSearch)
    ON_BN_CLICKED(IDC_BASIC_HELP, &CBasicSearch::OnHelp)
    ON_BN_CLICKED(IDC_BASIC_CLEAR, &CBasicSearch::OnClear)
    ON_BN_CLICKED(IDC_BASIC_SAVE, &CBasicSearch::OnSaveQuery)
    ON_CBN_SELCHANGE(IDC_BASIC_SAVED_QUERIES, &CBasicSearch::OnSelchangeSavedQuery)
    ON_COMMAND(ID_QUERY_DELETE, &CBasicSearch::OnDeleteQuery)
END_MESSAGE_MAP()

CBasicSearch::ShellExecuteFn CBasicSearch::s_pfnShellExecute = &::ShellExecuteA;

namespace {

const int kRowPitch = 25;
const int kControlHeight = 16;
const int kControlInset = (kRowPitch - kControlHeight) / 2;
const int kLabelGap = 4;
const int kComboDropHeight = 100;
const UINT kLabelFormat = DT_RIGHT | DT_VCENTER | DT_WORDBREAK | DT_SINGLELINE;
const int kQueryMenuPopup = 5;

// The text of the field's Template child; empty without one.
CString FieldTemplate(IXMLDOMNodePtr field)
{
    IXMLDOMNodePtr node = field->selectSingleNode(L"Template");
    return node ? ToAnsi(node->Gettext()) : CString();
}

// The control rectangle of a row, from its label rectangle.
CRect ControlRect(const CRect& label, int nLabelWidth, int nWidth)
{
    const int left = label.left + nLabelWidth + kLabelGap;
    return CRect(left, label.top + kControlInset, left + nWidth, label.top + kControlInset + kControlHeight);
}

} // namespace

CBasicSearch::CBasicSearch() : CMyPropertyPage(IDD_BASIC_SEARCH), m_savedQueries(BasicQueryFormat()) {}

CBasicSearch::~CBasicSearch()
{
    DestroySearchFields();
}

void CBasicSearch::DoDataExchange(CDataExchange* pDX)
{
    CMyPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BASIC_NOTES, m_labelNotes);
    DDX_Control(pDX, IDC_BASIC_START_SEARCH, m_buttonStart);
    DDX_Control(pDX, IDC_BASIC_HELP, m_buttonHelp);
    DDX_Control(pDX, IDC_BASIC_SAVED_QUERIES, m_comboSavedQueries);
    DDX_Control(pDX, IDC_BASIC_SAVED_LABEL, m_labelSavedQueries);
    DDX_Control(pDX, IDC_BASIC_SAVE, m_buttonSave);
    DDX_Control(pDX, IDC_BASIC_CLEAR, m_buttonClear);
    DDX_Control(pDX, IDC_BASIC_QUERIES_LINK, m_linkQueries);
}

BOOL CBasicSearch::OnInitDialog()
{
    CMyPropertyPage::OnInitDialog();
    GetClientRect(&m_rectClient);

    m_labelNotes.SetText("");
    m_labelNotes.SetTextFormat(DT_WORDBREAK | DT_VCENTER);
    m_labelNotes.SetTransparent(TRUE);
    m_labelNotes.Initialize();

    m_linkQueries.SetText("HOW TO CREATE SEARCH QUERIES");
    m_linkQueries.SetTextFormat(DT_WORDBREAK | DT_VCENTER);
    m_linkQueries.SetTransparent(TRUE);
    m_linkQueries.Initialize();
    m_linkQueries.SetLink(1);
    m_linkQueries.SetHelpMode(0);
    m_linkQueries.SetHelpText(GetAppDirectory() + "\\HText.html");
    m_linkQueries.ModifyStyle(0, SS_NOTIFY);

    m_buttonStart.LoadBitmap(IDB_BASIC_START_SEARCH);
    m_buttonStart.GetWindowRect(&m_rectStartSearch);
    ScreenToClient(&m_rectStartSearch);

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

// ---------------------------------------------------------------- the rows

void CBasicSearch::ApplySettings(IXMLDOMNodePtr settings)
{
    CString width;
    if (settings && GetXmlAttribute(settings, "LabelWidth", width))
        m_nLabelWidth = std::atoi(width.SpanIncluding("0123456789"));
}

void CBasicSearch::DestroySearchFields()
{
    m_RowNames.clear();
    m_RowTemplates.clear();
    m_Parameters.RemoveAll();
    for (CMyStatic* p : m_arrLabels) {
        p->DestroyWindow();
        delete p;
    }
    for (CMyEdit* p : m_arrEdits) {
        p->DestroyWindow();
        delete p;
    }
    for (CMyComboBox* p : m_arrCombos) {
        p->DestroyWindow();
        delete p;
    }
    m_arrLabels.clear();
    m_arrEdits.clear();
    m_arrCombos.clear();
}

void CBasicSearch::BuildSearchFields(IXMLDOMNodeListPtr fields)
{
    GetScrollBar().MoveThumb(-1, 0);
    ResetScroll();
    DestroySearchFields();

    const int nWidth = (m_rectClient.Width() - 80) / 4;
    const int nShift = m_nLabelWidth + 20 + nWidth;
    const int base = m_rectStartSearch.bottom + 71;
    CRect label(0, base + 1, m_nLabelWidth, base + 26);
    CRect control = ControlRect(label, m_nLabelWidth, nWidth);

    CString strLabel, strName, strForceDefault;
    CWnd* pPrevious = nullptr;
    const long count = fields ? fields->Getlength() : 0;
    for (long i = 0; i < count; ++i) {
        IXMLDOMNodePtr field = fields->Getitem(i);
        if (i % 2 == 1) {
            label.OffsetRect(nShift, 0);
            control.OffsetRect(nShift, 0);
        } else if (i != 0) {
            label.OffsetRect(-nShift, kRowPitch);
            control = ControlRect(label, m_nLabelWidth, nWidth);
        }
        CString strType;
        GetXmlAttribute(field, "Label", strLabel);
        GetXmlAttribute(field, "Name", strName);
        GetXmlAttribute(field, "Type", strType);
        GetXmlAttribute(field, "ForceDefault", strForceDefault);
        const CString strTemplate = FieldTemplate(field);
        const int nColumn = static_cast<int>(i % 2);

        CMyStatic* pLabel = new CMyStatic;
        pLabel->Create(strLabel, WS_CHILD | WS_VISIBLE, label, this, 0xFFFF);
        pLabel->SetTransparent(TRUE);
        pLabel->Initialize();
        pLabel->SetTextFormat(kLabelFormat);
        pLabel->SetText(strLabel);
        pLabel->m_nColumn = nColumn;
        m_arrLabels.push_back(pLabel);

        CWnd* pControl = nullptr;
        if (strType.IsEmpty()) {
            CMyEdit* pEdit = new CMyEdit;
            pEdit->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, control, this, 1);
            pEdit->Initialize();
            pEdit->SetFieldId(static_cast<int>(i));
            pEdit->m_nColumn = nColumn;
            m_arrEdits.push_back(pEdit);
            pControl = pEdit;
        } else if (strType == "ComboBox") {
            CRect drop = control;
            drop.bottom = drop.top + kComboDropHeight;
            CMyComboBox* pCombo = new CMyComboBox;
            pCombo->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, drop, this, 1);
            pCombo->m_nColumn = nColumn;
            for (IXMLDOMNodePtr option : SelectNodes(field, L"Options/Option")) {
                CString value;
                GetXmlAttribute(option, "Value", value);
                pCombo->AddItem(value, ToAnsi(option->Gettext()));
            }
            pCombo->SetFieldId(static_cast<int>(i));
            if (strForceDefault == "1")
                pCombo->SetCurSel(0);
            pCombo->Initialize();
            m_arrCombos.push_back(pCombo);
            pControl = pCombo;
        }
        m_RowNames[static_cast<int>(i)] = strName;
        m_RowTemplates[static_cast<int>(i)] = strTemplate;
        if (pControl) {
            pControl->SetWindowPos(pPrevious ? pPrevious : &CWnd::wndTop, 0, 0, 0, 0,
                                   SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
            pPrevious = pControl;
        }
    }
    m_nRowsBottom = count > 0 ? label.bottom : base + 26;
    SetContentHeight(m_nRowsBottom);
    LayoutControls();
}

void CBasicSearch::LayoutControls()
{
    const int W = m_rectClient.Width();
    const int LW = m_nLabelWidth;
    const int F = (W - 50 - 2 * LW - 32) / 2;

    if (IsPageInitialized() && m_buttonStart.m_hWnd) {
        const int w = m_rectStartSearch.Width();
        const int h = m_rectStartSearch.Height();
        m_rectStartSearch.SetRect(W - 10 - w, 0, W - 10, h);
        m_buttonStart.MoveWindow(&m_rectStartSearch);
    }
    auto place = [](CWnd* pWnd, int x, int width) {
        CRect rect;
        pWnd->GetWindowRect(&rect);
        pWnd->GetParent()->ScreenToClient(&rect);
        pWnd->MoveWindow(x, rect.top, width, rect.Height());
    };
    for (CMyEdit* p : m_arrEdits)
        place(p, p->m_nColumn == 0 ? 150 : 2 * LW + F + 68, F);
    for (CMyComboBox* p : m_arrCombos)
        place(p, p->m_nColumn == 0 ? 150 : 2 * LW + F + 68, F);
    for (CMyStatic* p : m_arrLabels)
        place(p, p->m_nColumn == 0 ? 20 : LW + F + 54, p->m_nColumn == 0 ? LW + 30 : LW);

    if (CWnd* pRule = GetDlgItem(IDC_BASIC_RULE_BOTTOM))
        pRule->MoveWindow(10, m_nRowsBottom + 45, W - 20, 2);
    if (CWnd* pRule = GetDlgItem(IDC_BASIC_RULE_TOP))
        pRule->MoveWindow(10, 80, W - 20, 2);
    if (m_linkQueries.m_hWnd) {
        if (m_nLocationIndex == 2) {
            m_linkQueries.ShowWindow(SW_HIDE);
        } else {
            CRect rect;
            m_linkQueries.GetWindowRect(&rect);
            m_linkQueries.MoveWindow(10, m_nRowsBottom + 61, rect.Width(), rect.Height());
            m_linkQueries.ShowWindow(SW_SHOW);
        }
    }
}

void CBasicSearch::OnSize(UINT nType, int cx, int cy)
{
    CMyPropertyPage::OnSize(nType, cx, cy);
    GetClientRect(&m_rectClient);
    LayoutControls();
}

void CBasicSearch::SetNotes(IXMLDOMNodePtr notes)
{
    if (!notes) {
        m_labelNotes.SetText("");
        SetContentHeight(m_nRowsBottom);
        return;
    }
    CString text = ToAnsi(notes->Gettext());
    text.Replace("\\n", "\n");
    CRect rect(0, 0, m_rectClient.Width(), 10);
    m_labelNotes.CalcTextHeight(text, rect);
    const int h = rect.Height();
    m_labelNotes.MoveWindow(0, m_nRowsBottom + 22, m_rectClient.Width(), h);
    m_labelNotes.SetText(text);
    SetContentHeight(m_nRowsBottom + h);
}

void CBasicSearch::SetHelpLink(IXMLDOMNodePtr helpLink)
{
    m_strHelpLink.Empty();
    m_bHasHelpLink = 0;
    m_buttonHelp.ShowWindow(SW_HIDE);
    CString url;
    if (helpLink && GetXmlAttribute(helpLink, "URL", url) && !url.IsEmpty()) {
        m_strHelpLink = url;
        m_bHasHelpLink = 1;
        m_buttonHelp.ShowWindow(SW_SHOW);
    }
}

void CBasicSearch::OnHelp()
{
    s_pfnShellExecute(m_hWnd, "open", m_strHelpLink, nullptr, nullptr, SW_SHOWNORMAL);
}

// ---------------------------------------------------------------- terms kept between locations

CString CBasicSearch::GetEditText(int nIndex) const
{
    CString text;
    if (nIndex >= 0 && nIndex < static_cast<int>(m_arrEdits.size()))
        m_arrEdits[nIndex]->GetWindowText(text);
    return text;
}

void CBasicSearch::CollectFieldValues()
{
    const int nEdits = static_cast<int>(m_arrEdits.size());
    if (m_nPreviousLocationIndex == 0 || m_nPreviousLocationIndex == 1) {
        if (nEdits > 0)
            m_KeptTexts[0] = GetEditText(0);
        if (nEdits > 1)
            m_KeptTexts[1] = GetEditText(1);
    } else if (m_nPreviousLocationIndex == 2) {
        if (nEdits > 0)
            m_KeptTexts[0] = GetEditText(0);
    }
}

void CBasicSearch::RestoreFieldValues()
{
    if (m_KeptTexts.empty())
        return;
    auto slot0 = m_KeptTexts.find(0);
    if (slot0 != m_KeptTexts.end() && !m_arrEdits.empty())
        m_arrEdits[0]->SetWindowText(slot0->second);
    auto slot1 = m_KeptTexts.find(1);
    if ((m_nLocationIndex == 0 || m_nLocationIndex == 1) && slot1 != m_KeptTexts.end() && m_arrEdits.size() > 1)
        m_arrEdits[1]->SetWindowText(slot1->second);
}

void CBasicSearch::RefillSavedQueryCombo()
{
    FillSavedQueryBox(m_comboSavedQueries, m_savedQueries, m_nLocationIndex);
}

void CBasicSearch::FillSavedQueryCombo()
{
    if (m_nLocationIndex == 1 || m_nLocationIndex == 2)
        CollectFieldValues();
    if (m_comboSavedQueries.m_hWnd)
        RefillSavedQueryCombo();
}

// ---------------------------------------------------------------- saved queries

void CBasicSearch::LoadSavedQueries()
{
    if (m_savedQueries.Load(ResolveDataFilePath(BasicQueryFormat().fileName)) == CSavedQueryStore::loadSetAside)
        ::MessageBoxA(m_hWnd, m_savedQueries.SetAsideText(), AfxGetAppName(), MB_OK | MB_ICONWARNING);
    FillSavedQueryCombo();
}

void CBasicSearch::WriteSavedQueries()
{
    CString error;
    if (!m_savedQueries.Write(GetAppDirectory() + "\\" + BasicQueryFormat().fileName, &error) && !error.IsEmpty())
        ::MessageBoxA(m_hWnd, error, AfxGetAppName(), MB_OK | MB_ICONWARNING);
}

void CBasicSearch::ApplySavedQuery(int nSlot, int nIndex)
{
    const std::vector<SavedQuery>& list = m_savedQueries.List(nSlot);
    if (nIndex < 0 || nIndex >= static_cast<int>(list.size()))
        return;
    m_savedQueries.Apply(
        nSlot, list[static_cast<size_t>(nIndex)], m_arrEdits.size(), m_arrCombos.size(),
        [this](size_t edit, const CString& text) { m_arrEdits[edit]->SetWindowText(text); },
        [this](size_t combo, int selection) { m_arrCombos[combo]->SetCurSel(selection); });
}

void CBasicSearch::OnSelchangeSavedQuery()
{
    const int selection = m_comboSavedQueries.GetCurSel();
    if (selection < 1)
        OnClear();
    else
        ApplySavedQuery(m_nLocationIndex, selection - 1);
}

void CBasicSearch::OnSaveQuery()
{
    CNewQuery dialog(this);
    if (dialog.DoModal() == IDCANCEL)
        return;
    const int index = m_comboSavedQueries.GetCount();
    if (m_nLocationIndex >= 0 && m_nLocationIndex <= 2) {
        std::vector<CString> edits;
        for (size_t i = 0; i < m_arrEdits.size(); ++i)
            edits.push_back(GetEditText(static_cast<int>(i)));
        std::vector<int> selections;
        for (CMyComboBox* p : m_arrCombos)
            selections.push_back(p->GetCurSel());
        m_savedQueries.Append(m_nLocationIndex,
                              m_savedQueries.Capture(m_nLocationIndex, dialog.m_strPlainTitle, edits, selections));
    }
    // Other locations keep the title in the box for this visit only.
    m_comboSavedQueries.AddString(dialog.m_strPlainTitle);
    m_comboSavedQueries.SetCurSel(index);
    WriteSavedQueries();
}

void CBasicSearch::OnDeleteQuery()
{
    if (!DeleteChosenSavedQuery(m_comboSavedQueries, m_savedQueries, m_nLocationIndex))
        return;
    OnSelchangeSavedQuery();
    WriteSavedQueries();
}

// ---------------------------------------------------------------- running the query

void CBasicSearch::OnStartSearch()
{
    BasicQueryInput input;
    input.nLocationIndex = m_nLocationIndex;
    input.names = m_RowNames;
    input.templates = m_RowTemplates;
    for (CMyEdit* p : m_arrEdits) {
        BasicQueryValue value;
        value.nFieldId = p->GetFieldId();
        p->GetWindowText(value.strValue);
        input.edits.push_back(value);
    }
    for (CMyComboBox* p : m_arrCombos) {
        BasicQueryValue value;
        value.nFieldId = p->GetFieldId();
        value.strValue = p->GetSelectedValue();
        input.combos.push_back(value);
    }
    ComposeBasicQuery(input, m_Parameters, m_strDisplayQuery);
    if (m_hOwner)
        ::SendMessageA(m_hOwner, UM_RUN_BASIC_SEARCH, 0, 0);
}

void CBasicSearch::OnClear()
{
    for (CMyEdit* p : m_arrEdits)
        p->SetWindowText("");
    for (CMyComboBox* p : m_arrCombos)
        p->SetCurSel(0);
    m_comboSavedQueries.SetCurSel(0);
}

BOOL CBasicSearch::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        OnStartSearch();
        return TRUE;
    }
    return CMyPropertyPage::PreTranslateMessage(pMsg);
}

LRESULT CBasicSearch::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_RBUTTONDBLCLK && wParam == 1) {
        CNewMenu menu;
        if (menu.LoadMenu(IDR_CONTEXT_MENUS)) {
            if (CMenu* pPopup = menu.GetSubMenu(kQueryMenuPopup)) {
                if (m_comboSavedQueries.GetCurSel() <= 0)
                    pPopup->EnableMenuItem(0, MF_BYPOSITION | MF_GRAYED | MF_DISABLED);
                pPopup->TrackPopupMenu(0, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                                       this);
            }
        }
        return 0;
    }
    return CMyPropertyPage::WindowProc(message, wParam, lParam);
}
