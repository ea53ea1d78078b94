// CSearchSessions: the search pane's session operations over its session combo, the Search
// Report page (which holds the session store) and the results list: choosing a session,
// new, edit, delete, adding an imported one, the session menu, Remove Selection From Report,
// the export of the chosen session, and the chooser offered when the pane first shows.
//
// Combo entry i and session-list position i always name the same session; entry 0 is
// "No Session Selected". Names are held as typed in both, so that they compare exactly.
#pragma once

#include "ComboBox.h"
#include "SearchReport.h"
#include "SessionFile.h"

#include <functional>

class CMenu;
class CNewSearchSession;
class CProgramOptions;
class CSearchSessionDialog;

class CSearchSessions
{
public:
    CSearchSessions() = default;
    virtual ~CSearchSessions() = default;
    CSearchSessions(const CSearchSessions&) = delete;
    CSearchSessions& operator=(const CSearchSessions&) = delete;

    // The pane's window (owner of menus and boxes), its combo, the report page and the
    // results list (may be null).
    void Attach(CWnd* pPane, CComboBox* pCombo, CSearchReport* pReport, CXListCtrl* pResults);

    // What the pane adds: the active page of its sheet (3 = Search Report), the results
    // page's colouring of all rows and the resync of its Select All box.
    std::function<int()> m_fnActivePage;
    std::function<void()> m_fnColourAllRows;
    std::function<void()> m_fnResyncSelectAll;

    // ------------------------------------------------------------ the Part's operations
    void GetSessionHeaders();
    void ParseReportFile();
    // Writes the whole session list to session.xml; false when it could not be written (the
    // data files' saves tell the user of the first such write): the sessions then stay in
    // memory, and the next change of session does not read them back from the old file. A
    // file that could not be read is written over only once a copy of it is kept.
    bool WriteSessionFile();
    void OnSelchangeSession();
    // The new combo index, or 0 when the dialog was cancelled.
    int NewSession();
    void AddSession(SearchSession session);
    void OnEditSession();
    void OnDeleteSession();
    void OnRemoveSelectionFromReport();
    // The combo's request message 0x0206: wParam 1 opens the session menu at the screen point
    // in lParam, wParam 8 deletes the chosen session. False for any other wParam.
    bool OnComboRequest(WPARAM wParam, LPARAM lParam);
    // The pane being shown: offers the chooser once per program run unless the option
    // Showsearchsessiondialog is "0", then carries out its choice.
    void OnPaneShown(BOOL bShow, CProgramOptions* pOptions);
    static bool s_bChooserOffered;

    // ------------------------------------------------------------ export
    // The chosen session's name, mark and client with the report list's rows, as a session
    // file; false with the message for the user when no session is chosen.
    bool BuildExport(CString& strText, CString& strWhy) const;

    int GetLastSession() const { return m_nLastSession; }
    CString ComboText(int nIndex) const;

protected:
    virtual INT_PTR RunSessionDialog(CNewSearchSession& dialog);
    virtual INT_PTR RunChooser(CSearchSessionDialog& dialog);
    virtual void TrackSessionMenu(CMenu* pPopup, CPoint point);
    int ShowMessageBox(const CString& strText, const char* caption, UINT nType) const;
    // Reads session.xml into the sessions. A file too large or of another kind is set aside
    // with a message and read as missing; one that cannot be moved is left where it is and
    // answers SessionFileUnreadable.
    SessionFileState ReadSessions(SessionArray& sessions, IXMLDOMDocument2Ptr doc) const;

    // The shown session keeps the report rows: into the general list for entry 0, into the
    // session's results otherwise, and a real session is written.
    void StoreShownSession();
    void ClearResultChecks();
    void ColourAllRows();
    void SelectNewEntry(int n);

    CWnd* m_pPane = nullptr;
    CComboBox* m_pCombo = nullptr;
    CSearchReport* m_pReport = nullptr;
    CXListCtrl* m_pResults = nullptr;
    int m_nLastSession = 0;
    bool m_bUnsaved = false;         // the last write failed: memory holds the sessions
    bool m_bToldUnreadable = false;  // the user heard once that session.xml could not be read
    // session.xml as read when it could not be read, until a copy of it is kept.
    CString m_strUnreadable;
    // Copies the unreadable file beside itself, whole; false, with the user told that the
    // sessions are not saved, when the copy cannot be written.
    bool KeepUnreadableCopy();
};
