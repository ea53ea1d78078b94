// CSearchReport: the Search Report page of the search pane (template 271), on which the user
// gathers the documents of a search report: one row per document (number and title) with a
// "Report" check box, taken over from the ticks of the Search Results page or from a saved
// search session. Generate packs the ticked rows into a SearchSession and hands it to the
// report run; the page shows the run's progress and stops it on request.
//
// The page also holds the session store that the pane's session operations keep: the session
// list (position i is entry i of the pane's session combo, 0 being "No Session Selected"),
// the documents kept while no session is chosen, and the chosen session's index.
#pragma once

#include "Button.h"
#include "HoverButton.h"
#include "MyStatic.h"
#include "ProgressCtrlX.h"
#include "ReportMessages.h"
#include "ReportPopupDialog.h"
#include "PropertyPage.h"
#include "SessionFile.h"
#include "Static.h"
#include "XListCtrl.h"

class CReportRunner;


class CSearchReport : public CPropertyPage
{
public:
    CSearchReport();
    ~CSearchReport() override;

    // ------------------------------------------------------------ rows
    // Appends a ticked row unless a row already holds the number.
    void AddDocument(const CString& strNumber, const CString& strTitle);
    bool ContainsDocument(const CString& strNumber) const;
    // Number and title of the row when it exists and is ticked; otherwise both stay.
    void GetCheckedRow(CString& strNumber, CString& strTitle, int nRow) const;
    // The ticks of the results list taken over, and given back.
    void PullSelectionFromResults();
    void PushSelectionToResults();
    // Takes the ticks over, then deletes every unticked row.
    void RemoveUncheckedRows();
    // Refills the rows from the session of that name, or (general) from the general selection,
    // and ticks their rows in the results list.
    void FillFromSession(const CString& strName, bool bGeneral);
    // Adds every row to the documents of the session of that name (a number it held already
    // is not added again).
    void StoreRowsInSession(const CString& strName);
    void SetReportProgress(int nTotal, int nDone);
    void HideProgress();
    void UpdateSelectAllCheck();
    void RenumberRows();
    void DeleteUncheckedRows();

    // ------------------------------------------------------------ links set by the pane
    void SetResultsList(CXListCtrl* pResults) { m_pResultsList = pResults; }
    void SetReportRunner(CReportRunner* pRunner) { m_pReportRunner = pRunner; }
    // The progress pop-up (a captioned pop-up window with this page as its parent); the page
    // centres and shows it when a run starts.
    void SetProgressPopup(CWnd* pPopup) { m_pProgressPopup = pPopup; }
    CXListCtrl& GetReportList() { return m_ReportList; }

    // ------------------------------------------------------------ the session store
    SessionArray m_arrSessions;        // position i = entry i of the session combo
    SessionResultArray m_arrGeneral;   // the rows kept while "No Session Selected" is shown
    int m_nChosenSession = 0;          // the combo selection; below 1: no session

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // The message boxes of the page.
    virtual int ShowMessageBox(const CString& strText, const char* caption, UINT nType);

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnSelectAll();
    afx_msg void OnGenerate();
    afx_msg void OnStop();
    afx_msg LRESULT OnPopupCancel(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void LayoutColumns(int nWidth);
    int ResultsRowOf(const CString& strNumber) const;
    // Appends a ticked row for the number; false when the list refused the row.
    bool AppendDocument(const CString& strNumber, const CString& strTitle);

    CXListCtrl m_ReportList;
    CRect m_rectClient;
    BOOL m_bInitialised = FALSE;
    CXListCtrl* m_pResultsList = nullptr;
    CWnd* m_pProgressPopup = nullptr;
    CReportPopupDialog m_Popup;  // the progress pop-up this page creates, hidden until a run
    CReportRunner* m_pReportRunner = nullptr;
    CButton m_checkSelectAll;
    CHoverButton m_buttonGenerate;
    CStatic m_textStatus;
    CHoverButton m_buttonStop;
    CMyStatic m_labelIntro;
    CProgressCtrlX m_ProgressBar;
};
