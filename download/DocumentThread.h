// CDocumentThread: the base of the two threads that fetch a document by the download sources
// of the recipe file: the download thread (CPatentThread) and the report thread
// (CReportThread). On the recipe interpreter (CRecipeThread) it runs their common job: the
// set-up of the variables and the recipe, the walk of the DownloadLocation sources by their
// priority for the document's class, the steps of one source (the Process step with the
// page fetcher, the ImageCollection step with its page transfers, 22 attempts a page and a
// renewal of the OPS token), the finishing of a delivered document (page images converted to
// PDF and merged into "[COUNTRYCODE][DOCUMENTNUMBER].pdf", one CatalogItem line per file in
// the record) and the discarding of a failed source's files.
//
// Each thread hands it what is its own: the rules of its job (DocumentRules), its record
// text, its pages (PlanPages), its step types beyond Process and ImageCollection, and the
// hooks below; it answers its owner itself once the job has ended (RunJob).
#pragma once

#include "DownloadRecords.h"
#include "RecipeThread.h"
#include "WebGrab.h"

#include <climits>

// The points where the two threads' jobs differ. The defaults are the download thread's.
struct DocumentRules
{
    // "EP" numbers have priorities of their own (EuropeanPatentPriority and
    // EuropeanApplicationPriority); without, they are walked by the international ones.
    bool bEuropeanPriorities = true;
    // False: a job tries two sources at most, the first and, when it fails, the next (with a
    // location UID the same source twice). True: every priority in turn until one delivers,
    // a source chosen by its UID once.
    bool bEveryPriority = false;
    // A source whose document cannot be finished gives way to the next priority when the
    // recipe has one.
    bool bLookAhead = true;
    // A source counts as delivered only when it left at least one file.
    bool bSourceNeedsFile = false;
    // The page PDFs stay on disk and in the catalog beside the merged file.
    bool bKeepPagePdfs = false;
};

class CDocumentThread : public CRecipeThread
{
    DECLARE_DYNAMIC(CDocumentThread)
public:
    ~CDocumentThread() override;

    // The recipe interpreter's operations, public so that they can be driven one by one.
    using CRecipeThread::ApplyHardCodeKeys;
    using CRecipeThread::ApplyImmediateHardCodeKeys;
    using CRecipeThread::CheckCondition;
    using CRecipeThread::CheckFatalCondition;
    using CRecipeThread::ExtractValues;
    using CRecipeThread::ReplaceVariables;
    using CRecipeThread::ReplaceVariablesEscaped;

    // One download source (a DownloadLocation element): 1 it delivered, 0 it failed.
    virtual int RunDownloadLocation(IXMLDOMNodePtr location);
    // Fetches the step's Url and extracts values from the page: 1 success, 0 the source fails.
    // The location name is not used by this step.
    int ProcessStep(IXMLDOMNodePtr step, CString locationName);
    // Fetches the step's pages, one URL per page, into the document's folder, each stored
    // page recorded as a catalog file: 1 success, 0 the source fails.
    int ImageCollectionStep(IXMLDOMNodePtr step, CString locationName);

    // After a source delivered: page images converted and merged, then one CatalogItem line
    // per file. 1 finished; 0 a page could not be converted or the merge failed (the pages
    // then stay on disk and in the catalog).
    int FinishDocument();
    // Every TIFF catalog file converted to a page PDF, which replaces it in the catalog. 1 all
    // converted; 0 some page kept its TIFF.
    int ConvertImagesToPdf();
    // The page PDFs merged into "[COUNTRYCODE][DOCUMENTNUMBER].pdf" in the folder of the
    // first one, recorded as one more catalog file; the pages are removed unless the rules
    // keep them. 1 merged; 0 nothing changed.
    int MergePagePdfs();
    void AppendCatalogItems(CString title, CString filePath, CString sourceName, CString fileSize,
                            CString fileType);
    // After a source failed: its files (the first-pages copies among them) are deleted, the
    // catalog emptied and the record rebuilt; the busy flag is left 0.
    void DiscardLocationFiles();
    void ClearCatalogFiles();
    // A fresh document record text with a new identifier and download date.
    virtual void BuildDocumentXml() = 0;

    CString m_strDocumentXml;            // the Document record being built
    CString m_strDocumentNumber;         // variable DOCUMENTNUMBER
    CString m_strCountryCode;            // variable COUNTRYCODE
    CString m_strKindCode;               // variable KINDCODE (may be empty)
    int m_nApplication = 0;              // 1: the number is an application number
    CString m_strLocationUID;            // non-empty: only this DownloadLocation is used
    CMapStringToString m_mapVariables;   // recipe variables by name
    CWebGrab m_WebGrab;
    // How long a page transfer or a Process fetch waits for the next bytes of its reply, in
    // milliseconds: a reply that stalls longer fails its attempt.
    DWORD m_dwReplyTimeout = kReplyTimeout;
    DownloadStatus m_Status;
    volatile int m_nBusy = 0;            // 1 while a job runs
    HWND m_hOwner = nullptr;             // hears of the job's end
    CArray<CatalogFile*, CatalogFile*> m_CatalogFiles;  // this attempt's files, owned
    CStringArray m_PageCopies;  // this attempt's first-pages copies ("xTT.pdf"), not in the catalog

    // Why a failed job could fetch no document at all, whatever its number: the recipe file
    // cannot be read, or the OPS service refused the keys its requests were sent with.
    // Another attempt cannot help until that changes. Cleared at the start of every job;
    // m_strJobFault then holds the message for the user.
    enum { JobFaultNone = 0, JobFaultRecipe = 1, JobFaultKeys = 2 };
    int m_nJobFault = JobFaultNone;
    CString m_strJobFault;

protected:
    CDocumentThread(const RecipeRules& recipeRules, const DocumentRules& documentRules);

    // The job up to its end: the record begun, the folder prepared, the variables set, the
    // recipe's sources walked and, without success, the attempt's files and the empty folder
    // removed; the status's done flag is then 1. No exception leaves it. The thread then
    // tells its owner.
    void RunJob();

    // Writes the bytes as a file of the document (CreateFileA with the disposition) and
    // records it as a catalog file; false when it could not be written whole (a partly
    // written file is deleted).
    bool WriteCatalogFile(const CString& path, const CString& bytes, DWORD dwDisposition,
                          const CString& sourceName, const CString& type);

    // The title, the inventor and the assignee put into the record's placeholders: the
    // title cleaned and trimmed, each value escaped.
    void FillRecordNames(const CString& title, const CString& inventor, const CString& assignee);

    // How an ImageCollection step runs over the pages of a document.
    struct PagePlan
    {
        int nLimit = INT_MAX;         // pages from the start page at most
        bool bWithinTotal = true;     // no page past the step's total
        bool bFirstPages = false;     // a first-pages run: a page that came back as an HTML
                                      // page does not count, a PDF page is copied to "xTT.pdf",
                                      // and a reply that cannot be read and an exception in
                                      // the extraction are shown
        bool bKeepExisting = false;   // a page file never writes over an existing file
    };

    // ---- what the thread hands to the job
    // The thread's own fields that the job works with.
    struct JobFields
    {
        int nId;                     // THREADID of the recipe and of file names
        int& nFileCounter;           // behind "[THREADCOUNTER]" in file names
        const CString& folder;       // the document's folder; empty: no usable folder
        const CString& folderSlash;  // the same with a trailing "\"
    };
    virtual JobFields Fields() = 0;
    // Before the variables are set: the document's folder made ready.
    virtual void PrepareJob(bool bHasFolder) = 0;
    // A look-up job takes the sources of the recipe's PCTLookupPriority; a source that
    // delivers is the whole answer (nothing is finished or filed), and the folder it was
    // given is its owner's, never removed.
    virtual bool IsLookupJob() const { return false; }
    // The variables a job starts with: COUNTRYCODE, DOCUMENTNUMBER, KINDCODE and THREADID.
    virtual void SetJobVariables();
    // Fills the record's placeholders after a source delivered.
    virtual void FillDocumentRecord() = 0;
    // The pages an ImageCollection step with the total fetches; false: the job has been
    // cancelled, and the step fails.
    virtual bool PlanPages(int nTotal, PagePlan& plan) = 0;
    // A step type beyond Process and ImageCollection (which go on).
    virtual int RunOwnStep(const CString& type, IXMLDOMNodePtr step, const CString& locationName);
    // Before each page of an ImageCollection step, its number and title in the status.
    virtual void PageStarting();
    // A fetched Process page, before its guard and extraction.
    virtual void RewritePage(CString& page);
    // Whether the delivered files are page images to convert and merge.
    virtual bool HasPagesToFinish() const;
    // A page image about to be converted, under its path in lower case.
    virtual void JudgePage(const CString& imagePath);
    // The merged file has been recorded as the last catalog file.
    virtual void PagesMerged(const CatalogFile& merged);

    CMapStringToString& Variables() override;
    int RunStep(const CString& type, IXMLDOMNodePtr step) override;
    int FetchProcessPage(IXMLDOMNodePtr step, const CString& url, CString& page) override;

private:
    // One ImageCollection step's run over its pages.
    struct PageRun
    {
        IXMLDOMNodePtr step;
        CString locationName;
        CString urlTemplate;
        CString mask;            // file-name template
        CString type;            // OutputType
        PagePlan plan;
        bool bTokenRenewed = false;  // for the page being fetched
    };
    // PageMissing: the page never came; the document would lack it, so the step fails.
    enum PageResult { PageStored, PageMissing, PageStop, PageQuit, PageExtractFailed };
    enum TransferResult { TransferDone, TransferFailed, TransferQuit, TransferNoFile };
    // One page: progress, transfer, extraction, stored file.
    PageResult FetchPage(PageRun& run, int page);
    // Up to 22 attempts to bring the page into a transfer file, which after TransferDone is
    // the caller's to read and delete; no other outcome leaves a file.
    TransferResult TransferPage(const CString& url, PageRun& run, CString& file);
    // Stores the page's reply as its file and records it; false when it could not be written.
    bool StorePage(const PageRun& run, int page, const CString& reply);

    // The source walk of the job over the loaded recipe; a source that delivered leaves the
    // status's success at 1.
    void RunSources(IXMLDOMDocument2Ptr recipe);
    // The source of the priority (with its look-ahead, the next priority's source, where the
    // rules look ahead), or the one of the location UID.
    IXMLDOMNodePtr SelectSource(IXMLDOMDocument2Ptr recipe, const CString& attribute, int nPriority,
                                IXMLDOMNodePtr& lookAhead);
    // After a failed source in the turn: whether the walk goes on.
    bool TriesAnotherSource(int nTurn) const;
    // COUNTRYCODE and DOCUMENTNUMBER from their fields again.
    void RestoreNumberVariables();

    // Notes the cause of a failed job that no attempt can mend (see m_nJobFault).
    void NoteJobFault();

    const DocumentRules m_documentRules;
    CString m_strSourceName;  // Name of the source whose steps run
    bool m_bAskedOps = false;  // the job sent a request to the OPS service
};
