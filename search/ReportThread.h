// CReportThread: the worker thread that fetches the first page of one document for a search
// report. The report run creates it suspended, sets its index, run folder and owner window,
// parses the number, resumes it and posts UM_THREAD_START; the thread walks the download
// sources of Download.cfg by priority with a reduced copy of the download thread's recipe
// interpreter (Process steps, one page image per ImageCollection step, no WriteDocument
// steps), converts the page to PDF, merges it into "[COUNTRYCODE][DOCUMENTNUMBER].pdf" in a
// folder of its own under the run folder and answers UM_REPORT_ITEM_DONE (ReportMessages.h).
// A cancelled job ends the thread, and the thread object deletes itself; a finished one
// leaves the thread idle with its object kept for the run to read.
//
// The interpreter's operations are public so that they can be driven one by one.
#pragma once

#include "DownloadRecords.h"
#include "Framework.h"
#include "URLEncode.h"
#include "WebGrab.h"

class CReportThread : public CWinThread
{
    DECLARE_DYNCREATE(CReportThread)
public:
    CReportThread();
    ~CReportThread() override;

    BOOL InitInstance() override;
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

    int RunDownloadLocation(IXMLDOMNodePtr location);
    int ProcessStep(IXMLDOMNodePtr step, CString locationName);
    int ExtractValues(IXMLDOMNodePtr step, const CString& page);
    int CheckCondition(IXMLDOMNodePtr step);
    int CheckFatalCondition(CString page, IXMLDOMNodePtr step);
    void ApplyImmediateHardCodeKeys(IXMLDOMNodePtr step);
    void ApplyHardCodeKeys(IXMLDOMNodePtr step, bool bDelayed);
    CString ReplaceVariables(CString text);
    CString ReplaceVariablesEscaped(CString text);
    // Fetches the one page named by STARTPAGE into the document's folder.
    int ImageCollectionStep(IXMLDOMNodePtr step, CString locationName);
    void FinishDocument();
    void ConvertImagesToPdf();
    void MergePagePdfs();
    void BuildDocumentXml();
    void AppendCatalogItems(CString title, CString filePath, CString sourceName, CString fileSize,
                            CString fileType);
    void ClearCatalogFiles();
    void DiscardLocationFiles();

    // The key functions of report recipes: the download thread's set without isUS,
    // RemoveWhiteSpace and FixLinkProtocol, and getKC and getDate.
    static CString ApplyReportKeyFunction(const CString& function, const CString& value,
                                          const CString& argument);

    int m_nItemIndex = 0;              // the document's place in the run; THREADID
    CString m_strFolderSlash;          // the run folder; then the document folder + "\"
    CString m_strDocumentFolder;       // run folder + cleaned number; empty: no usable name
    CString m_strDocumentXml;
    CString m_strDocumentNumber;
    CString m_strTitle;
    CString m_strCountryCode;
    CString m_strKindCode;             // the kind a search result's number ends in; KINDCODE
    int m_nApplication = 0;
    CString m_strLocationUID;          // empty: sources by priority
    CMapStringToString m_mapVariables;
    CWebGrab m_WebGrab;
    DownloadStatus m_Status;           // m_nDone, m_nSuccess and m_strDocumentXml are read
    volatile int m_nCancel = 0;
    volatile int m_nBusy = 0;
    int m_nFileCounter = 0;
    HWND m_hOwner = nullptr;
    CArray<CatalogFile*, CatalogFile*> m_CatalogFiles;
    CURLEncode m_URLEncode;
    CatalogFile m_CurrentCatalogFile;
    // The cleaned number, then that + "\" + the merged file's name: relative to the run folder.
    CString m_strResultPath;

protected:
    afx_msg void OnDownloadDocument(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void RunSources(IXMLDOMDocument2Ptr recipe);
    void FillDocumentRecord();
    CString Variable(const CString& name, const CString& missing = CString());

    volatile int m_nStopRequested = 0;
};

