#include "SearchSessions.h"

#include "DataFileSaves.h"
#include "DataFiles.h"
#include "NewMenu.h"
#include "NewSearchSession.h"
#include "ProgramOptions.h"
#include "ProgressLog.h"
#include "SearchSessionDialog.h"
#include "SessionExport.h"
#include "XmlHelpers.h"
#include "resource.h"

bool CSearchSessions::s_bChooserOffered = false;

namespace {

const int kReportPage = 3;
const int kSessionMenu = 4;
// What session.xml holds, as the user's notices name it.
const char kSessionsContents[] = "search sessions";
// The copy of a session file that could not be read.
const char kUnreadableSuffix[] = ".unreadable";

enum { kColumnCheck = 1, kColumnDocument = 2, kColumnTitle = 3 };

// COM for the length of one read.
class CComScope
{
public:
    CComScope() : m_hr(::CoInitialize(nullptr)) {}
    ~CComScope()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }

private:
    HRESULT m_hr;
};

IXMLDOMDocument2Ptr CreateDocumentOrLog(const char* failure)
{
    try {
        return CreateDomDocument();
    } catch (const _com_error&) {
        CProgressLog().Write(failure);
        return nullptr;
    }
}

} // namespace

void CSearchSessions::Attach(CWnd* pPane, CComboBox* pCombo, CSearchReport* pReport, CXListCtrl* pResults)
{
    m_pPane = pPane;
    m_pCombo = pCombo;
    m_pReport = pReport;
    m_pResults = pResults;
}

INT_PTR CSearchSessions::RunSessionDialog(CNewSearchSession& dialog)
{
    return dialog.DoModal();
}

INT_PTR CSearchSessions::RunChooser(CSearchSessionDialog& dialog)
{
    return dialog.DoModal();
}

void CSearchSessions::TrackSessionMenu(CMenu* pPopup, CPoint point)
{
    pPopup->TrackPopupMenu(0, point.x, point.y, m_pPane);
}

int CSearchSessions::ShowMessageBox(const CString& strText, const char* caption, UINT nType) const
{
    return g_pfnSessionMessageBox(m_pPane ? m_pPane->m_hWnd : nullptr, strText, caption, nType);
}

CString CSearchSessions::ComboText(int nIndex) const
{
    CString text;
    if (m_pCombo && nIndex >= 0 && nIndex < m_pCombo->GetCount())
        m_pCombo->GetLBText(nIndex, text);
    return text;
}

void CSearchSessions::ColourAllRows()
{
    if (m_fnColourAllRows) {
        m_fnColourAllRows();
    } else if (m_pResults) {
        for (int i = 0; i < m_pResults->GetItemCount(); ++i)
            m_pResults->ColorRowByCheck(i);
    }
}

void CSearchSessions::ClearResultChecks()
{
    if (!m_pResults)
        return;
    for (int i = 0; i < m_pResults->GetItemCount(); ++i)
        m_pResults->SetCheckbox(i, kColumnCheck, 0);
}

// ---------------------------------------------------------------------- session.xml

SessionFileState CSearchSessions::ReadSessions(SessionArray& sessions, IXMLDOMDocument2Ptr doc) const
{
    const CString path = SessionFileReadPath();
    const SessionFileState state = ReadSessionFile(path, sessions, doc);
    if (state != SessionFileTooLarge && state != SessionFileOtherKind)
        return state;
    sessions.RemoveAll();
    const DataFileFault fault = state == SessionFileTooLarge ? DataFileFault::TooLarge : DataFileFault::OtherKind;
    const CString aside = SetDataFileAside(path, fault);
    if (aside.IsEmpty())
        return SessionFileUnreadable;
    CProgressLog().Write("CSearchContainer::ReadSessions() - " + path + " was set aside as " + aside);
    ShowMessageBox(DataFileSetAsideText("search sessions", path, aside, fault), AfxGetAppName(),
                   MB_OK | MB_ICONWARNING);
    return SessionFileMissing;
}

void CSearchSessions::GetSessionHeaders()
{
    CComScope com;
    IXMLDOMDocument2Ptr doc =
        CreateDocumentOrLog("CSearchContainer::GetSessionHeaders() - Failed to instantiate an XML DOM.");
    if (!doc || !m_pCombo)
        return;
    try {
        SessionArray sessions;
        ReadSessions(sessions, doc);
        EnsureNoSessionEntry(sessions);
        m_pCombo->ResetContent();
        for (INT_PTR i = 0; i < sessions.GetSize(); ++i)
            m_pCombo->InsertString(static_cast<int>(i), sessions[i].strName);
        m_pCombo->SetCurSel(0);
    } catch (const _com_error&) {
        CProgressLog().Write("Error in GetSessionHeaders: Unhandled exception");
    }
}

void CSearchSessions::ParseReportFile()
{
    if (!m_pReport)
        return;
    if (m_bUnsaved) {
        // The file is older than the sessions in memory: they are kept until a write succeeds.
        CProgressLog().Write("CSearchContainer::ParseReportFile() - session.xml is not up to date; the sessions in "
                             "memory are kept.");
        return;
    }
    CComScope com;
    IXMLDOMDocument2Ptr doc =
        CreateDocumentOrLog("CSearchContainer::ParseReportFile() - Failed to instantiate an XML DOM.");
    if (!doc)
        return;
    SessionArray& sessions = m_pReport->m_arrSessions;
    sessions.RemoveAll();
    try {
        if (m_pCombo && m_pCombo->GetCurSel() < 0)
            return;
        const CString path = SessionFileReadPath();
        const SessionFileState state = ReadSessions(sessions, doc);
        if (state == SessionFileUnreadable && !m_bToldUnreadable) {
            m_bToldUnreadable = true;
            m_strUnreadable = path;
            if (KeepUnreadableCopy())
                ShowMessageBox("The search sessions in\n" + path + "\ncould not be read. A copy of the file is kept as\n" +
                                   path + kUnreadableSuffix,
                               "Error", MB_OK | MB_ICONERROR);
        }
        EnsureNoSessionEntry(sessions);
    } catch (const _com_error&) {
        CProgressLog().Write("Error in CSearchContainer::ParseReportFile: Unhandled exception");
    }
}

bool CSearchSessions::KeepUnreadableCopy()
{
    const CString copy = m_strUnreadable + kUnreadableSuffix;
    DWORD error = ERROR_SUCCESS;
    if (CopyDataFile(m_strUnreadable, copy, &error)) {
        DataFileSaved(SessionFileWritePath());
        m_strUnreadable.Empty();
        return true;
    }
    CProgressLog().Write("CSearchContainer::ParseReportFile() - " + copy + " could not be written: " +
                         SystemErrorText(error));
    DataFileNotSavedWithText(SessionFileWritePath(), kSessionsContents,
                             "The search sessions in\n" + m_strUnreadable +
                                 "\ncould not be read, and no copy of the file could be made as\n" + copy + "\n" +
                                 SystemErrorText(error) +
                                 "\n\nThe file is left as it is: the search sessions are not saved into it until "
                                 "a copy of it can be made.");
    return false;
}

bool CSearchSessions::WriteSessionFile()
{
    if (!m_pReport)
        return false;
    const CString path = SessionFileWritePath();
    // An unreadable file is written over only once a copy of it is kept.
    if (!m_strUnreadable.IsEmpty() && !KeepUnreadableCopy()) {
        m_bUnsaved = true;
        return false;
    }
    if (SaveDataFile(path, SessionFileText(m_pReport->m_arrSessions), kSessionsContents)) {
        m_bUnsaved = false;
        return true;
    }
    m_bUnsaved = true;
    CProgressLog().Write("CSearchContainer::WriteSessionFile() - " + path + " could not be written");
    return false;
}

// ---------------------------------------------------------------------- choosing a session

void CSearchSessions::OnSelchangeSession()
{
    if (!m_pCombo || !m_pReport)
        return;
    const int selection = m_pCombo->GetCurSel();
    m_pReport->m_nChosenSession = selection;
    if (selection == m_nLastSession || selection < 0)
        return;
    const bool lock = m_fnActivePage && m_fnActivePage() == kReportPage && m_pReport->m_hWnd;
    if (lock)
        m_pReport->LockWindowUpdate();

    CXListCtrl& rows = m_pReport->GetReportList();
    if (m_nLastSession == 0) {
        m_pReport->RemoveUncheckedRows();
        m_pReport->m_arrGeneral.RemoveAll();
        for (int i = 0; i < rows.GetItemCount(); ++i)
            m_pReport->m_arrGeneral.Add(
                SessionResult{rows.GetItemText(i, kColumnDocument), rows.GetItemText(i, kColumnTitle)});
    }
    m_pReport->RemoveUncheckedRows();
    const CString previous = ComboText(m_nLastSession);
    SessionArray& sessions = m_pReport->m_arrSessions;
    for (INT_PTR s = 0; s < sessions.GetSize(); ++s) {
        if (sessions[s].strName != previous)
            continue;
        sessions[s].results.RemoveAll();
        for (int i = 0; i < rows.GetItemCount(); ++i) {
            SessionResult result;
            m_pReport->GetCheckedRow(result.strNumber, result.strTitle, i);
            if (!result.strNumber.IsEmpty())
                sessions[s].results.Add(result);
        }
        break;
    }
    if (m_nLastSession != 0)
        WriteSessionFile();
    m_nLastSession = selection;
    rows.DeleteAllItems();
    ParseReportFile();
    const CString name = ComboText(selection);
    if (name == kNoSessionSelected) {
        m_pReport->FillFromSession(name, true);
        if (lock)
            m_pReport->UnlockWindowUpdate();
        m_pReport->m_nChosenSession = selection;
        ColourAllRows();
    } else {
        m_pReport->m_nChosenSession = selection;
        m_pReport->FillFromSession(name, false);
        ColourAllRows();
        if (lock)
            m_pReport->UnlockWindowUpdate();
    }
}

void CSearchSessions::StoreShownSession()
{
    m_pReport->PullSelectionFromResults();
    if (m_nLastSession == 0) {
        // The general list keeps what was gathered without a session, as a change of session does.
        CXListCtrl& rows = m_pReport->GetReportList();
        m_pReport->m_arrGeneral.RemoveAll();
        for (int i = 0; i < rows.GetItemCount(); ++i) {
            if (rows.GetCheckbox(i, kColumnCheck) == 1)
                m_pReport->m_arrGeneral.Add(
                    SessionResult{rows.GetItemText(i, kColumnDocument), rows.GetItemText(i, kColumnTitle)});
        }
    }
    m_pReport->StoreRowsInSession(ComboText(m_nLastSession));
    m_nLastSession = m_pCombo->GetCurSel();
    WriteSessionFile();
}

void CSearchSessions::SelectNewEntry(int n)
{
    m_pCombo->SetCurSel(n - 1);
    m_pCombo->SetCurSel(n);
    m_pReport->GetReportList().DeleteAllItems();
    ClearResultChecks();
    m_pReport->m_nChosenSession = m_pCombo->GetCurSel();
}

int CSearchSessions::NewSession()
{
    if (!m_pCombo || !m_pReport)
        return 0;
    CNewSearchSession dialog(m_pPane);
    dialog.m_pExistingSessions = m_pCombo;
    dialog.m_bEditMode = 0;
    if (RunSessionDialog(dialog) != IDOK)
        return 0;
    SearchSession session;
    session.strName = UnescapeSessionText(dialog.m_strProjectName);
    session.strMark = UnescapeSessionText(dialog.m_strInvention);
    session.strClient = UnescapeSessionText(dialog.m_strClientName);

    const int n = m_pCombo->GetCount();
    m_pCombo->InsertString(n, session.strName);
    StoreShownSession();
    m_nLastSession = n;
    m_pReport->m_arrSessions.Add(session);
    SelectNewEntry(n);
    return n;
}

void CSearchSessions::AddSession(SearchSession session)
{
    if (!m_pCombo || !m_pReport)
        return;
    for (int i = 0; i < m_pCombo->GetCount(); ++i) {
        if (ComboText(i) == session.strName) {
            CString text;
            text.Format("A Session with the name \"%s\" already exists", session.strName.GetString());
            ShowMessageBox(text, "Error", MB_OK | MB_ICONERROR);
            return;
        }
    }
    // The shown session keeps its rows before the imported one takes the list.
    StoreShownSession();
    const int n = m_pCombo->GetCount();
    m_pCombo->InsertString(n, session.strName);
    m_nLastSession = n;
    m_pReport->m_arrSessions.Add(session);
    SelectNewEntry(n);
    if (session.results.GetSize() > 0) {
        for (INT_PTR i = 0; i < session.results.GetSize(); ++i)
            m_pReport->AddDocument(session.results[i].strNumber, session.results[i].strTitle);
        m_pReport->PushSelectionToResults();
    }
}

void CSearchSessions::OnEditSession()
{
    if (!m_pCombo || !m_pReport)
        return;
    const int s = m_pCombo->GetCurSel();
    if (s <= 0)
        return; // "No Session Selected" is no session to edit
    const CString name = ComboText(s);
    SessionArray& sessions = m_pReport->m_arrSessions;
    for (INT_PTR i = 0; i < sessions.GetSize(); ++i) {
        if (sessions[i].strName != name)
            continue;
        CNewSearchSession dialog(m_pPane);
        dialog.m_pExistingSessions = m_pCombo;
        dialog.m_bEditMode = 1;
        dialog.m_strProjectName = sessions[i].strName;
        dialog.m_strInvention = sessions[i].strMark;
        dialog.m_strClientName = sessions[i].strClient;
        if (RunSessionDialog(dialog) != IDOK)
            return;
        sessions[i].strClient = UnescapeSessionText(dialog.m_strClientName);
        sessions[i].strName = UnescapeSessionText(dialog.m_strProjectName);
        sessions[i].strMark = UnescapeSessionText(dialog.m_strInvention);
        m_pCombo->DeleteString(static_cast<UINT>(s));
        m_pCombo->InsertString(s, sessions[i].strName);
        m_pCombo->SetCurSel(s);
        break;
    }
    WriteSessionFile();
}

void CSearchSessions::OnDeleteSession()
{
    if (!m_pCombo || !m_pReport)
        return;
    const int s = m_pCombo->GetCurSel();
    if (s <= 0)
        return; // "No Session Selected" cannot be deleted
    const CString name = ComboText(s);
    SessionArray& sessions = m_pReport->m_arrSessions;
    for (INT_PTR i = sessions.GetSize() - 1; i >= 0; --i) {
        if (sessions[i].strName == name)
            sessions.RemoveAt(i);
    }
    m_nLastSession = 0;
    m_pCombo->DeleteString(static_cast<UINT>(s));
    m_pReport->GetReportList().DeleteAllItems();
    m_pCombo->SetCurSel(0);
    m_pReport->m_nChosenSession = 0;
    WriteSessionFile();
}

void CSearchSessions::OnRemoveSelectionFromReport()
{
    if (!m_pResults || !m_pReport)
        return;
    for (int row = m_pResults->GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = m_pResults->GetNextItem(row, LVNI_SELECTED)) {
        m_pResults->SetCheckbox(row, kColumnCheck, 0);
        const COLORREF text = m_pResults->GetCheckbox(row, kColumnCheck) == 1 ? RGB(0, 0, 255) : RGB(0, 0, 0);
        for (int column : {0, 2, 3})
            m_pResults->SetItemText(row, column, m_pResults->GetItemText(row, column), text, RGB(255, 255, 255));
    }
    if (m_pResults->GetItemCount() > 0) {
        m_pReport->GetReportList().DeleteAllItems();
        for (int i = 0; i < m_pResults->GetItemCount(); ++i) {
            if (m_pResults->GetCheckbox(i, kColumnCheck) == 1)
                m_pReport->AddDocument(m_pResults->GetItemText(i, kColumnDocument),
                                       m_pResults->GetItemText(i, kColumnTitle));
        }
        if (m_fnResyncSelectAll)
            m_fnResyncSelectAll();
    }
}

bool CSearchSessions::OnComboRequest(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 8) {
        OnDeleteSession();
        return true;
    }
    if (wParam != 1)
        return false;
    CNewMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return true;
    CMenu* pPopup = menu.GetSubMenu(kSessionMenu);
    if (!pPopup)
        return true;
    if (!m_pCombo || m_pCombo->GetCurSel() <= 0) {
        for (UINT position : {0u, 1u})
            pPopup->EnableMenuItem(position, MF_BYPOSITION | MF_GRAYED | MF_DISABLED);
    }
    TrackSessionMenu(pPopup, CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
    return true;
}

// ---------------------------------------------------------------------- chooser and export

void CSearchSessions::OnPaneShown(BOOL bShow, CProgramOptions* pOptions)
{
    if (!bShow || s_bChooserOffered)
        return;
    s_bChooserOffered = true;
    if (pOptions && pOptions->GetOptionValue("Showsearchsessiondialog") == "0")
        return;
    CSearchSessionDialog dialog(m_pPane);
    dialog.m_pOptions = pOptions;
    if (RunChooser(dialog) != IDOK)
        return;
    if (dialog.m_nChoice == CSearchSessionDialog::kExistingSession) {
        if (m_pCombo)
            m_pCombo->SetCurSel(dialog.m_nChosenSession);
        OnSelchangeSession();
    } else if (dialog.m_nChoice == CSearchSessionDialog::kNewSession) {
        NewSession();
    }
}

bool CSearchSessions::BuildExport(CString& strText, CString& strWhy) const
{
    const int selection = m_pCombo ? m_pCombo->GetCurSel() : -1;
    if (selection < 1 || !m_pReport || selection >= m_pReport->m_arrSessions.GetSize()) {
        strWhy = "There are no results to be exported";
        return false;
    }
    SearchSession session;
    const SearchSession& chosen = m_pReport->m_arrSessions[selection];
    session.strName = chosen.strName;
    session.strMark = chosen.strMark;
    session.strClient = chosen.strClient;
    // The file holds what the report list shows.
    CXListCtrl& rows = m_pReport->GetReportList();
    for (int i = 0; i < rows.GetItemCount(); ++i)
        session.results.Add(SessionResult{rows.GetItemText(i, kColumnDocument), rows.GetItemText(i, kColumnTitle)});
    strText = SessionExportText(session);
    return true;
}
