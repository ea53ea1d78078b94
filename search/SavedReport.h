// CSavedReport: the Saved Reports page of the search pane's sheet. It lists the search
// reports the user kept (Reports.xml in the program folder), opens, deletes and mails them,
// and runs the building of a report: the Search Report page hands it a SearchSession, the
// page fetches each document's first page on a report thread of its own (one at a time),
// draws the title and list pages on the templates Template.bmp and Template2.bmp, merges
// everything into one PDF, asks whether to keep it and opens it. Progress and the end of a
// run go to the search pane (UM_REPORT_PROGRESS, UM_REPORT_FINISHED).
//
// Report and session names name files only through ReportFileStem, and the run deletes
// folders only below SavePath\Reports.
#pragma once

#include "Framework.h"
#include "HoverButton.h"
#include "MyPropertyPage.h"
#include "ProgramOptions.h"
#include "ProgressCtrlX.h"
#include "SavedReportEntry.h"
#include "SearchSession.h"
#include "XListCtrl.h"

#include <vector>

class CReportPopupDialog;
class CReportThread;
class DIBSection;

class CSavedReport : public CMyPropertyPage
{
    DECLARE_DYNAMIC(CSavedReport)
public:
    explicit CSavedReport(CWnd* pParent = nullptr);
    ~CSavedReport() override;

    // The report run.
    void StartReport(SearchSession session);
    void DownloadNextDocument(SearchSession session);
    void StopReport();
    void DrawReportPages();
    void MergeAndSaveReport(std::vector<CString> pagePdfs);
    // Deletes a run folder with everything in it; only folders below SavePath\Reports.
    void DeleteFolderTree(CString folder);
    // A run is under way, or a stopped run's thread has not answered yet: a new run waits.
    bool IsBusy() const { return m_bBusy; }
    bool IsStopping() const { return m_bStopping; }

    // The list and its file.
    void LoadReportsXml();
    // Writes Reports.xml from the entries; false when it was not written (also when the file
    // could not be read at start, which then stays as it is). A write that fails is reported
    // to the data files' saves, which tell the user once; the entries stay as they are, and
    // the next write that succeeds writes them all.
    bool WriteReportsXml();
    void FillReportList();
    void AddReportRow(SavedReportEntry entry);
    void RenumberRows();
    void OpenSelectedReport();
    void DeleteSelectedReport();

    // The saved report's file for a report name.
    CString ReportPdfPath(const CString& name);
    CString ReportsFolder();  // SavePath + "Reports", without a trailing backslash

    // The shell call that opens reports; tests put a recorder in its place.
    typedef HINSTANCE(WINAPI* ShellExecuteFn)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static ShellExecuteFn s_pfnShellExecute;
    // The creation of the report threads; tests put one in its place that fails.
    typedef CWinThread* (*BeginThreadFn)(CRuntimeClass*, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
    static BeginThreadFn s_pfnBeginThread;

    std::vector<SavedReportEntry> m_Entries;
    CXListCtrl m_List;
    CProgressCtrlX m_Progress;
    CHoverButton m_Stop;
    CStatic m_Status;
    CProgramOptions m_Options;
    BOOL m_bInitialized = FALSE;
    CRect m_rectClient;
    int m_nMenuX = 0;
    int m_nMenuY = 0;
    bool m_bReportsXmlUnreadable = false;

    // Run state.
    CString m_strRunFolder;
    int m_nNextIndex = 0;
    CString m_strReportName;
    CString m_strReportMark;
    CString m_strReportClient;
    std::vector<CString> m_ResultFiles;
    SearchSession m_RunSession;
    CArray<CReportThread*, CReportThread*> m_ReportThreads;
    bool m_bBusy = false;
    bool m_bStopping = false;
    CReportThread* m_pInFlight = nullptr;  // the thread whose answer the run waits for
    int m_nInFlightIndex = -1;
    CString m_strFaultMessage;  // the message of the cause that ended the run, still to show
    // Handed over by the Search Report page before each start.
    CWnd* m_pReportStop = nullptr;
    CWnd* m_pReportGenerate = nullptr;
    CWnd* m_pReportStatus = nullptr;
    CReportPopupDialog* m_pReportPopup = nullptr;
    HWND m_hContainer = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnReportThreadDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnShowReportFault(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnListRButtonDown(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDblclkReportList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnKeydownReportList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRclickReportList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnOpenSelectedReport();
    afx_msg void OnDeleteSelectedReport();
    afx_msg void OnEmailSelectedReports();
    afx_msg void OnStop();
    DECLARE_MESSAGE_MAP()

private:
    CString SavePath();
    void SetStatus(const CString& text);
    void ResetProgress();
    void EnableReportControl(CWnd* pControl, BOOL bEnable);
    // The end of a run that was stopped or could not go on, with its status text.
    void EndRunCancelled(bool bNotifyContainer, const CString& status = "Download Cancelled");
    // The end of a run whose document met a cause that fails every document alike (the
    // recipe cannot be read, the OPS keys are refused): the run stops and says why, in a
    // message box the first time the cause is met.
    void EndRunFailed(int nJobFault, const CString& fault);
    void OpenReportFile(const CString& path);
    int FirstSelectedRow();
    int Ask(const char* text, const char* caption, UINT type);
};

// One report page from bitmap to PDF through the outside converters.
void ConvertBitmapToPdf(CString bitmapPath, CString pdfPath);
