// CSearchContainer: the search pane (dialog 147), a child of the main window shown in place of
// the project pane. It holds the search-location combo filled from the recipe file
// Download.cfg (every SearchLocation in file order), the session controls, and the tabbed
// sheet with the five search pages; choosing a location builds the query forms of the Basic
// and Advanced pages from that location's nodes. It owns the one search thread of the
// program, created with the pane and ended at shutdown: a page's Start Search hands the
// page's parameters and the location's recipe path to the thread, the thread's progress
// messages fill the Search Results page, and a second Start Search while a search runs stops
// it. Only the progress of the latest start counts: a stopped run that is still ending when a
// new one starts is ignored.
#pragma once

#include "BasicSearch.h"
#include "HoverButton.h"
#include "MyPropertySheet.h"
#include "MyStatic.h"
#include "PendingPages.h"
#include "SearchResults.h"
#include "SavedReportRunner.h"
#include "SearchSessions.h"
#include "ThatComboBox.h"

class CSearchThread;
class CProgramOptions;

class CSearchContainer : public CDialog
{
    DECLARE_DYNAMIC(CSearchContainer)
public:
    explicit CSearchContainer(CWnd* pParent = nullptr);
    ~CSearchContainer() override;

    BOOL OnInitDialog() override;

    // (Re)reads Download.cfg and refills the location combo.
    void LoadSearchLocations();
    // Builds the forms for the location chosen in the combo, unless it is the one built.
    afx_msg void OnSelchangeSearchLocation();
    // On the first showing of the pane: chooses the first location and builds its forms.
    void ReloadSearchLocation();

    // ------------------------------------------------------------ search runs
    afx_msg LRESULT OnRunBasicSearch(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRunAdvancedSearch(WPARAM wParam, LPARAM lParam);
    afx_msg void OnStartStopSearch();
    afx_msg LRESULT OnSearchProgress(WPARAM wParam, LPARAM lParam);
    // Appends the rows of one result-set text to the results list.
    void AddResultRows(const CString& text);
    afx_msg LRESULT OnStopSearch(WPARAM wParam, LPARAM lParam);
    afx_msg void OnAddSelectionToReport();
    // Shutdown: asks the thread to end and polls until it has.
    void StopSearchThread();
    int CheckSearchThreadEnded();
    int IsSearchThreadEnded() const { return m_bThreadEnded; }

    // ------------------------------------------------------------ sessions
    // The session store lives in the Search Report page; these are where the pane reads it.
    void GetSessionHeaders() { m_Sessions.GetSessionHeaders(); }
    void ParseReportFile() { m_Sessions.ParseReportFile(); }
    afx_msg void OnSelchangeSession() { m_Sessions.OnSelchangeSession(); }
    afx_msg void OnNewSession() { m_Sessions.NewSession(); }
    afx_msg void OnEditSession() { m_Sessions.OnEditSession(); }
    afx_msg void OnDeleteSession() { m_Sessions.OnDeleteSession(); }
    afx_msg void OnRemoveSelectionFromReport() { m_Sessions.OnRemoveSelectionFromReport(); }
    void AddSession(SearchSession session) { m_Sessions.AddSession(session); }
    CSearchSessions& GetSearchSessions() { return m_Sessions; }
    // The session combo's requests (message 0x0206: wParam 1 the session menu, 8 delete).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_RBUTTONDBLCLK && m_Sessions.OnComboRequest(wParam, lParam))
            return 0;
        return CDialog::WindowProc(message, wParam, lParam);
    }

    // ------------------------------------------------------------ parts, for the main window
    CMyPropertySheet& GetSheet() { return m_Sheet; }
    CBasicSearch& GetBasicPage() { return m_pageBasic; }
    CAdvancedSearch& GetAdvancedPage() { return m_pageAdvanced; }
    CSearchResults& GetResultsPage() { return m_pageResults; }
    CSearchReport& GetReportPage() { return m_pageReport; }
    CSavedReport& GetSavedReportsPage() { return m_pageSavedReports; }
    CSearchThread* GetSearchThread() const { return m_pSearchThread; }
    CComboBox& GetLocationCombo() { return m_comboLocation; }
    CThatComboBox& GetSessionCombo() { return m_comboSession; }
    // The UID of the location at that combo position; empty when there is none.
    CString LocationUID(int nIndex) const;
    int GetLastLocationIndex() const { return m_nLastLocationIndex; }
    bool IsEpoSwitchOn() const { return m_bEpoSwitch; }
    int GetRowCounter() const { return m_nRowCounter; }
    int GetRunTag() const { return m_nRunTag; }
    const CRect& GetLogoRect() const { return m_rectLogo; }

    CProgramOptions* m_pOptions = nullptr;  // the main window's options

    // The size guard's box and the message of a search that could not run; a test may put
    // its own in.
    typedef int(WINAPI* MessageBoxFn)(HWND, LPCSTR, LPCSTR, UINT);
    static MessageBoxFn s_pfnMessageBox;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}
    void OnCancel() override {}

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg LRESULT OnOfferSessionChooser(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnShowSearchFault(WPARAM wParam, LPARAM lParam);
    // The report run's messages, for the Search Report page: the Saved Reports tab, the end
    // of a run (its bar hides) and a document done (wParam of lParam).
    afx_msg LRESULT OnShowSavedReports(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnReportFinished(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnReportProgress(WPARAM wParam, LPARAM lParam);
    afx_msg void OnUpdateAddSelectionToReport(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    // A start from a page: the page's parameters, its query text and the recipe path.
    LRESULT RunPageSearch(const CMapStringToString& parameters, const CString& strQuery, const char* pszPath);
    void EnableStartButtons(bool bEnable);
    void ShowRunEndBalloon();
    // A run that could not search at all (no readable recipe, no keys OPS takes): the first
    // time its cause is met a message box says why, later runs say it in their balloon.
    void ShowRunCannotSearch(const CPoint& anchor);
    // A run that ended without rows: the text where the rows would be, nothing to copy.
    void ShowEmptyList(const CString& text);

    CSearchThread* m_pSearchThread = nullptr;
    CBasicSearch m_pageBasic;
    CAdvancedSearch m_pageAdvanced;
    CSearchResults m_pageResults;
    CSearchReport m_pageReport;
    CSavedReport m_pageSavedReports;
    CMyPropertySheet m_Sheet;
    int m_bReload = 1;
    CBitmap m_bmpBackground;
    CRect m_rectLogo;
    CMapEx<int, CString> m_LocationMap;  // combo item data -> the location's UID
    CString m_strStatus;
    int m_nRowCounter = 0;
    int m_nLocationCounter = 0;
    int m_nPollTimer = -1;
    int m_bThreadEnded = 0;
    int m_nLastLocationIndex = -1;
    int m_bPagesReady = 0;
    CRect m_rectClient;
    IXMLDOMDocument2Ptr m_pResultDocument;
    IXMLDOMDocument2Ptr m_pRecipeDocument;
    CFont m_fontCombo;
    bool m_bEpoSwitch = false;
    int m_nRunTag = 0;  // the tag of the latest start; progress of other runs is ignored
    CString m_strFaultMessage;  // waiting for UM_SHOW_SEARCH_FAULT

    CComboBox m_comboLocation;     // 1020
    CMyStatic m_labelDatabase;     // 1027
    CMyStatic m_labelHint;         // 1028
    CStatic m_staticLogo;          // 1035
    CThatComboBox m_comboSession;  // 1106
    CSearchSessions m_Sessions;    // the session operations over the combo and the report page
    CSavedReportRunner m_ReportRunner{m_pageSavedReports};  // Generate's road to the report run
    CMyStatic m_labelSession;      // 1107
    CHoverButton m_buttonNewSession;  // 1001
};
