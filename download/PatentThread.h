// CPatentThread: the download thread of one document. The download queue window creates it
// suspended, fills its fields, resumes it and posts UM_THREAD_START; the thread then runs the
// document job: it reads the recipe file Download.cfg, picks the recipe's download sources by
// their priority for the document's class, runs their steps (web requests with extraction of
// values, key functions, documents written from templates, page images fetched page by page)
// until one source delivers, finishes the document (page images judged, converted to PDF and
// merged into one file), and reports the outcome with one UM_DOWNLOAD_PROGRESS to its owner
// window, which reads the DownloadStatus record and the document record text during the call.
// While page images come in, it sends one UM_DOWNLOAD_PROGRESS before every page (the
// status's done flag still 0). The same object runs the job again on the next
// UM_THREAD_START (a retry).
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
    // Fetches a document's pages, one URL per page, into the document's folder, each stored
    // page recorded as a catalog file: 1 success, 0 the source fails.
    int ImageCollectionStep(IXMLDOMNodePtr step, CString locationName);

    // The step's HardCodeKey entries: the immediate ones before the step, the delayed ones
    // (DelayProcess "Yes") after it succeeded.
    void ApplyImmediateHardCodeKeys(IXMLDOMNodePtr step);
    void ApplyHardCodeKeys(IXMLDOMNodePtr step, bool bDelayed);

    // A fresh document record text with a new identifier and download date.
    void BuildDocumentXml();
    static CString EscapeXml(CString text);

    // After a source delivered: page images converted and merged, then one CatalogItem line
    // per file. 1 finished; 0 a page could not be converted or the merge failed (the pages
    // then stay on disk and in the catalog).
    int FinishDocument();
    // Every TIFF catalog file judged (under the page-image lock) and converted to a page PDF,
    // which replaces it in the catalog. 1 all converted; 0 some page kept its TIFF.
    int ConvertImagesToPdf();
    // The page PDFs merged into "[COUNTRYCODE][DOCUMENTNUMBER].pdf" in the folder of the first
    // one, which then replaces them in the catalog and on disk. 1 merged; 0 nothing changed.
    int MergePagePdfs();
    // Asks the page-image judge (Vostrel.dll in the program folder) about the image; an
    // unusable one is overwritten with replace.tif. 1 replaced, 0 kept (also without judge).
    int TestImage(CString imagePath);
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
    // Look-up mode (set before ParseDocumentNumber): the job answers a PCT look-up. It takes
    // the sources of the recipe's PCTLookupPriority, writes what they write into the folder
    // it was given (it makes, empties and removes no folder of its own) and files nothing:
    // a source that delivers is the whole answer.
    bool m_bLookupMode = false;
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
    // From outside: the image being judged is unusable; it is replaced by replace.tif.
    afx_msg void OnUseReplacementImage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // One ImageCollection step's run over its pages.
    struct PageRun
    {
        IXMLDOMNodePtr step;
        CString locationName;
        CString urlTemplate;
        CString mask;            // file-name template
        CString type;            // OutputType
        bool bFirstPages = false;
        int nLimit = 0;          // pages of a first-pages run; raised for every HTML reply
        bool bTokenRenewed = false;
    };
    // PageMissing: the page never came; the document would lack it, so the step fails.
    enum PageResult { PageStored, PageMissing, PageStop, PageQuit, PageExtractFailed };
    enum TransferResult { TransferDone, TransferFailed, TransferQuit };
    // One page: progress report, transfer, extraction, stored file.
    PageResult FetchPage(PageRun& run, int page);
    // Up to 22 attempts to bring the page into the file.
    TransferResult TransferPage(const CString& url, const CString& file, PageRun& run);
    void ReportExtractionException(const PageRun& run);

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
