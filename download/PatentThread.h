// CPatentThread: the download thread of one document. The download queue window creates it
// suspended, fills its fields, resumes it and posts UM_THREAD_START; the thread then runs the
// document job: it reads the recipe file Download.cfg, picks the recipe's download sources by
// their priority for the document's class, runs their steps (web requests with extraction of
// values, key functions, documents written from templates) until one source delivers, and
// reports the outcome with one UM_DOWNLOAD_PROGRESS to its owner window, which reads the
// DownloadStatus record and the document record text during the call. The same object runs
// the job again on the next UM_THREAD_START (a retry).
//
// The recipe interpreter's operations are public so that they can be driven one by one.
#pragma once

#include "DownloadRecords.h"
#include "Framework.h"
#include "URLEncode.h"
#include "WebGrab.h"
#include "Wrapper.h"

class CPatentThread : public CWinThread
{
    DECLARE_DYNCREATE(CPatentThread)
public:
    CPatentThread();
    ~CPatentThread() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Called on the suspended thread once the save folder, the kind code, the file-wrapper
    // mode and the bare number are set: country code, document number, application flag and
    // the document's folder from the number as queued.
    void ParseDocumentNumber(CString number);

    // Stops the running job: aborts the running page fetch (in file-wrapper mode the
    // library's work) and clears the busy flag. May be called from another thread.
    void Cancel();
    int IsQuitRequested() const { return m_nQuit; }

    // One download source (a DownloadLocation element): 1 it delivered, 0 it failed.
    int RunDownloadLocation(IXMLDOMNodePtr location);

    // "[NAME]" placeholders filled from the variables, in the map's order, in one pass;
    // placeholders of variables that do not exist stay.
    CString ReplaceVariables(CString text);
    // The same with every value escaped for use inside a pattern first.
    CString ReplaceVariablesEscaped(CString text);

    // The step guard: 1 when every Condition with a Target finds its pattern.
    int CheckCondition(IXMLDOMNodePtr step);
    // Fetches the step's Url and extracts values from the page: 1 success, 0 the source fails.
    int ProcessStep(IXMLDOMNodePtr step, CString locationName);
    // 1 when no FatalCondition pattern of the step is found in the page.
    int CheckFatalCondition(CString page, IXMLDOMNodePtr step);
    // Applies the step's Extract rules to the page: 1 success, 0 the step fails.
    int ExtractValues(IXMLDOMNodePtr step, const CString& page);
    // Writes one file from the step's SourceTemplate: 1 written and recorded, 0 failure.
    int WriteDocumentStep(IXMLDOMNodePtr step, CString locationName);
    // Fetches a document's page images. Page images are not fetched by this program yet: a
    // source that needs them fails here.
    int ImageCollectionStep(IXMLDOMNodePtr step, CString locationName);

    // The step's HardCodeKey entries: the immediate ones before the step, the delayed ones
    // (DelayProcess "Yes") after it succeeded.
    void ApplyImmediateHardCodeKeys(IXMLDOMNodePtr step);
    void ApplyHardCodeKeys(IXMLDOMNodePtr step, bool bDelayed);

    // A fresh document record text with a new identifier and download date.
    void BuildDocumentXml();
    static CString EscapeXml(CString text);

    // After a source delivered: one CatalogItem line per downloaded file. 1 finished.
    int FinishDocument();
    void AppendCatalogItems(CString title, CString filePath, CString sourceName, CString fileSize,
                            CString fileType);
    // After a source failed: its files are deleted, the catalog emptied and the record
    // rebuilt; the busy flag is left 0.
    void DiscardLocationFiles();
    // Deletes the folder with everything in it (to the recycle bin unless bPermanent).
    bool DeleteTempFolder(CString folder, bool bPermanent);
    void ClearCatalogFiles();
    // The source of file-wrapper mode: the file-wrapper library fetches the document as one
    // PDF into the document's folder, which becomes its only catalog file. 1 recorded, 0 the
    // source failed (not found, cancelled, or no file left behind).
    int DownloadFileWrapper();
    // The PDF that file-wrapper mode asks the library for.
    CString FileWrapperOutputPath() const;

    // Set by the download queue window before the first UM_THREAD_START.
    bool m_bLookupMode = false;          // no document folder is created
    bool m_bFileWrapperMode = false;     // sources are served by the file-wrapper library
    CString m_strWrapperNumber;          // the number as queued, for the file-wrapper library
    CWrapper m_Wrapper;                  // the file-wrapper library, one per thread
    DWORD_PTR m_dwMainWindow = 0;        // passed through to the file-wrapper library
    int m_nPageLimit = 1;                // pages wanted when only the first pages are wanted
    bool m_bFirstPageOnly = false;
    bool m_bShowDialog = false;          // file-wrapper mode: the library may show its dialog
    CString m_strEnteredNumber;          // the number as queued; used for viewer links
    CString m_strKindCode;               // variable KINDCODE (may be empty)
    CString m_strBareNumber;             // the digits of the queued number
    int m_nImageRejected = -1;
    CString m_strCurrentImagePath;
    int m_nDownloadID = 0;               // the thread's id; names files
    CString m_strTempFolderSlash;        // the save folder; then the document's folder + "\"
    CString m_strTempFolder;             // the document's folder; empty when none is usable
    CString m_strDocumentXml;            // the Document record being built
    CString m_strDocumentNumber;         // variable DOCUMENTNUMBER
    CString m_strCountryCode;            // variable COUNTRYCODE
    CString m_strSuffix;                 // variable SUFFIX
    int m_nApplication = 0;              // 1: the number is an application number
    CString m_strLocationUID;            // non-empty: only this DownloadLocation is used
    CMapStringToString m_mapVariables;   // recipe variables by name
    CWebGrab m_WebGrab;
    DownloadStatus m_Status;
    volatile int m_nQuit = 0;            // set once the thread is to end; never cleared
    volatile int m_nBusy = 0;            // 1 while a job runs; cleared by a cancel
    int m_nThreadCounter = 0;            // "[THREADCOUNTER]" in file names
    HWND m_hOwner = nullptr;             // receives UM_DOWNLOAD_PROGRESS
    CArray<CatalogFile*, CatalogFile*> m_CatalogFiles;  // this attempt's files, owned
    CURLEncode m_URLEncode;

protected:
    afx_msg void OnDownloadDocument(WPARAM wParam, LPARAM lParam);
    afx_msg void OnQuitThread(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The source loop of the job over the loaded recipe; a source that delivered leaves the
    // status's success at 1.
    void RunSources(IXMLDOMDocument2Ptr recipe);
    // Fills the record's placeholders after a source delivered.
    void FillDocumentRecord();
    // COUNTRYCODE and DOCUMENTNUMBER from their fields again.
    void RestoreNumberVariables();
    // Both placeholder fillings: the values as they are, or escaped for a pattern.
    CString FillPlaceholders(CString text, bool bEscaped);
    CString Variable(const CString& name, const CString& missing = CString());
    // The kind-code rewrite of viewer links in a fetched page.
    void RewriteViewerKindCode(CString& page);
    // The viewer key of an IDKEY rule: the viewer link's ID parameter; empty when none.
    CString FindViewerKey(const CString& page);
};
