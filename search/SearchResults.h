// CSearchResults: the Search Results page (dialog 154) of the search pane's sheet. One row per
// result that the search pane delivers (running number, the "Report" check box, document
// number, title); the page sorts the rows by a header click, copies the whole list to the
// clipboard as text, stops the running search, shows the search's status line and an activity
// bar, and hands the selected rows to the download queue, whole or first page only, telling
// the outcome in balloons. Commands of its context menu that it does not handle ("Add
// Selection to Report", "Remove Selection From Report") go on to the sheet and the pane.
#pragma once

#include "Button.h"
#include "HoverButton.h"
#include "MyPropertyPage.h"
#include "MyStatic.h"
#include "ProgressCtrlX.h"
#include "Static.h"
#include "XListCtrl.h"

#include <vector>

class CDownloadManager;

// One row during a header-click sort.
struct ResultSortRecord
{
    CString strNumber;  // column 2
    CString strTitle;   // column 3
    bool bChecked = false;
};

// Bubble sort of the records by column 2 (number) or 3 (title), byte by byte: order 1 leaves
// them descending, 2 ascending; other columns or orders leave them as they are.
void SortResultRecords(std::vector<ResultSortRecord>& records, int nColumn, int nOrder);

// The clipboard text of the rows (number, title): the header line, a blank line, then one
// line per row; a number holding "." gives what follows its first ".".
CString ResultsClipboardText(const std::vector<std::pair<CString, CString>>& rows);

class CSearchResults : public CMyPropertyPage
{
    DECLARE_DYNAMIC(CSearchResults)
public:
    CSearchResults();
    ~CSearchResults() override;

    BOOL OnInitDialog() override;

    // ------------------------------------------------------------ called by the search pane
    void ClearResults();
    void SetStatusText(const CString& text);
    void ClearStatus();
    void ShowProgress();
    void HideProgress();
    void EnableCopyButton(bool bEnable);
    void ColourRow(int nRow);
    void ColourAllRows();
    void UpdateSelectAllCheck();
    // Asks the pane to stop the search and clears the busy state.
    void OnStopSearch();

    // ------------------------------------------------------------ called by the main window
    CString GetColumnWidths() const;
    void SetColumnWidths();
    void OnCopyResultsToClipboard();

    // Greys or enables the items of the "SearchList" popup for the page's present state.
    void PrepareContextMenu(CMenu* pPopup);
    void SortByColumn();

    afx_msg void OnDownloadSelected();
    afx_msg void OnDownloadFirstPageOnly();
    afx_msg void OnSelectAll();

    // ------------------------------------------------------------ state
    CXListCtrl m_listResults;                 // 1016
    CMapEx<int, CString> m_ResultMap;         // result number -> document number
    CDownloadManager* m_pDownloadManager = nullptr;
    HWND m_hSearchPane = nullptr;
    int m_bSearchRunning = 0;
    int m_bCopyAllowed = 0;
    CString m_strLocationUID;                 // the chosen location's TargetUID
    CString m_strColumnWidths;                // the layout text of the main window
    int m_nLastSortColumn = 2;

    CMyStatic& GetStatusLabel() { return m_labelStatus; }
    CHoverButton& GetStopButton() { return m_buttonStop; }
    CHoverButton& GetCopyButton() { return m_buttonCopy; }
    CButton& GetSelectAllBox() { return m_checkSelectAll; }
    CStatic& GetQueryCaption() { return m_staticQuery; }
    CProgressCtrlX& GetProgressBar() { return m_progress; }

    // Seams for the tests: the balloon, and the queue's two calls.
    typedef void (*LaunchBalloonFn)(const char* title, const char* content, const CPoint& anchor, const char* icon,
                                    unsigned options, CWnd* pParent, const CString& url, unsigned timeout);
    static LaunchBalloonFn s_pfnLaunchBalloon;
    virtual int StartDownload(const CString& number, bool bFirstPageOnly);
    virtual CString FindDownloadedDocument(const CString& number);

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnRclickResults(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDblclkResults(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnClickResults(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnStopSearchButton();
    afx_msg LRESULT OnRepaint(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHeaderClick(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The document numbers of the selected rows, in index order.
    std::vector<CString> SelectedNumbers() const;
    // The right-click point in the main window's client coordinates.
    CPoint BalloonAnchor() const;
    // The list's frame and the ground under the bar, and the Select All box.
    void DrawFrames(CDC* pDC);
    void RepaintFrames();

    std::vector<ResultSortRecord> m_SortRecords;
    int m_bInitialized = 0;
    CRect m_rectStop;
    CRect m_rectCopy;
    CRect m_rectStatus;
    CRect m_rectClient;

    CMyStatic m_labelStatus;      // 1022
    CHoverButton m_buttonStop;    // 1032
    CHoverButton m_buttonCopy;    // 1001
    CButton m_checkSelectAll;     // 1053
    CStatic m_staticQuery;        // 1109
    CProgressCtrlX m_progress;    // 1138
};
