// CReportThread: the worker thread that fetches the first page of one document for a search
// report. The report run creates it suspended, sets its index, run folder and owner window,
// parses the number, resumes it and posts UM_THREAD_START; the thread walks the download
// sources of Download.cfg by priority, converts the page to PDF, merges it into
// "[COUNTRYCODE][DOCUMENTNUMBER].pdf" in a folder of its own under the run folder and answers
// UM_REPORT_ITEM_DONE (ReportMessages.h). A cancelled job ends the thread, and the thread
// object deletes itself; a finished one leaves the thread idle with its object kept for the
// run to read.
//
// The job and the recipe interpreter are the download thread's (CDocumentThread), with the
// report thread's rules: every priority walked, the international priorities for "EP"
// numbers, a source delivers only with a file, no look-ahead, one page per ImageCollection
// step (no WriteDocument steps, no page judge), the page PDFs kept beside the merged file,
// and its extraction (ReplaceNull, the cancel test, no MultiMatch or RESULTS). Its own are
// the number parsing, its key functions, its record text, the result path and the cancel.
// The interpreter's operations are public so that they can be driven one by one.
#pragma once

#include "DocumentThread.h"

class CReportThread : public CDocumentThread
{
    DECLARE_DYNCREATE(CReportThread)
public:
    CReportThread();
    ~CReportThread() override;

    int ExitInstance() override;

    // On the calling thread, before the thread is resumed: country code, document number,
    // application flag and the document's folder under the run folder.
    void ParseDocumentNumber(CString number, CString title);

    // Stops the job: aborts the running page fetch, lets the thread object delete itself
    // when its thread ends, and sets the cancel flag. Called from the user-interface thread.
    afx_msg void OnCancel(WPARAM wParam, LPARAM lParam);
    void AbortFetch();
    int IsCancelled() const { return m_nCancel; }
    // True once OnCancel ran: the cancel flag then comes from a stop, not from the fetcher.
    bool IsStopRequested() const { return m_nStopRequested != 0; }

    // A fresh record text: the download thread's Document record without its FirstPage and
    // Wrapper attributes, the identifier without the kind code.
    void BuildDocumentXml() override;

    // The key functions of report recipes: the download thread's set without isUS,
    // RemoveWhiteSpace and FixLinkProtocol, and getKC and getDate.
    static CString ApplyReportKeyFunction(const CString& function, const CString& value,
                                          const CString& argument);

    // Beside the fields of the job: m_hOwner receives UM_REPORT_ITEM_DONE; of m_Status the run
    // reads m_nDone, m_nSuccess and m_strDocumentXml; m_strKindCode is the kind a search
    // result's number ends in; m_strLocationUID stays empty.
    int m_nItemIndex = 0;              // the document's place in the run; THREADID
    CString m_strFolderSlash;          // the run folder; then the document folder + "\"
    CString m_strDocumentFolder;       // run folder + cleaned number; empty: no usable name
    CString m_strTitle;
    volatile int m_nCancel = 0;
    int m_nFileCounter = 0;
    CatalogFile m_CurrentCatalogFile;
    // The cleaned number, then that + "\" + the merged file's name: relative to the run folder.
    CString m_strResultPath;

protected:
    afx_msg void OnDownloadDocument(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The document job's hooks.
    bool IsWorkStopped() const override;
    CString ApplyKeyFunction(const CString& function, const CString& value, const CString& argument) override;
    JobFields Fields() override;
    void PrepareJob(bool bHasFolder) override;
    void FillDocumentRecord() override;
    bool PlanPages(int nTotal, PagePlan& plan) override;
    void PagesMerged(const CatalogFile& merged) override;

    volatile int m_nStopRequested = 0;
};
