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
// The job and the recipe interpreter are those of CDocumentThread; what is the download
// thread's own is here: its number parsing, its WriteDocument step, the kind-code rewrite of
// viewer links and the viewer key, the first-pages run, the page-image judge, the
// file-wrapper mode, the progress before every page, its record text and the quit message.
// The interpreter's operations are public so that they can be driven one by one.
#pragma once

#include "DocumentThread.h"
#include "Wrapper.h"

class CPatentThread : public CDocumentThread
{
    DECLARE_DYNCREATE(CPatentThread)
public:
    CPatentThread();
    ~CPatentThread() override;

    BOOL InitInstance() override;

    // Called on the suspended thread once the save folder, the kind code, the file-wrapper
    // mode and the bare number are set: country code, document number, application flag and
    // the document's folder from the number as queued.
    void ParseDocumentNumber(CString number);

    // Stops the running job: aborts the running page fetch (in file-wrapper mode the
    // library's work) and clears the busy flag. May be called from another thread.
    void Cancel();
    int IsQuitRequested() const { return m_nQuit; }

    // One download source (a DownloadLocation element): 1 it delivered, 0 it failed. In
    // file-wrapper mode the library is the source.
    int RunDownloadLocation(IXMLDOMNodePtr location) override;

    // Writes one file from the step's SourceTemplate: 1 written and recorded, 0 failure.
    int WriteDocumentStep(IXMLDOMNodePtr step, CString locationName);

    // A fresh document record text with a new identifier and download date.
    void BuildDocumentXml() override;
    static CString EscapeXml(CString text);

    // Asks the page-image judge (Vostrel.dll in the program folder) about the image; an
    // unusable one is overwritten with replace.tif. 1 replaced, 0 kept (also without judge).
    int TestImage(CString imagePath);
    // Deletes the folder with everything in it (to the recycle bin unless bPermanent).
    bool DeleteTempFolder(CString folder, bool bPermanent);
    // The source of file-wrapper mode: the file-wrapper library fetches the document as one
    // PDF into the document's folder, which becomes its only catalog file. 1 recorded, 0 the
    // source failed (not found, cancelled, or no file left behind).
    int DownloadFileWrapper();
    // The PDF that file-wrapper mode asks the library for.
    CString FileWrapperOutputPath() const;

    // Set by the download queue window before the first UM_THREAD_START, beside the kind
    // code, the location UID and the owner window (which receives UM_DOWNLOAD_PROGRESS).
    // A cancel clears the busy flag.
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
    CString m_strBareNumber;             // the digits of the queued number
    int m_nImageRejected = -1;
    CString m_strCurrentImagePath;
    int m_nDownloadID = 0;               // the thread's id; names files
    CString m_strTempFolderSlash;        // the save folder; then the document's folder + "\"
    CString m_strTempFolder;             // the document's folder; empty when none is usable
    CString m_strSuffix;                 // variable SUFFIX
    volatile int m_nQuit = 0;            // set once the thread is to end; never cleared
    int m_nThreadCounter = 0;            // "[THREADCOUNTER]" in file names

protected:
    afx_msg void OnDownloadDocument(WPARAM wParam, LPARAM lParam);
    afx_msg void OnQuitThread(WPARAM wParam, LPARAM lParam);
    // From outside: the image being judged is unusable; it is replaced by replace.tif.
    afx_msg void OnUseReplacementImage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The document job's hooks.
    bool IsWorkStopped() const override;
    CString ApplyKeyFunction(const CString& function, const CString& value, const CString& argument) override;
    bool ExtractOwnValue(const CString& name, const CString& page) override;
    JobFields Fields() override;
    void PrepareJob(bool bHasFolder) override;
    bool IsLookupJob() const override;
    void SetJobVariables() override;
    void FillDocumentRecord() override;
    bool PlanPages(int nTotal, PagePlan& plan) override;
    int RunOwnStep(const CString& type, IXMLDOMNodePtr step, const CString& locationName) override;
    void PageStarting() override;
    void RewritePage(CString& page) override;
    bool HasPagesToFinish() const override;
    void JudgePage(const CString& imagePath) override;

    // The kind-code rewrite of viewer links in a fetched page.
    void RewriteViewerKindCode(CString& page);
    // The viewer key of an IDKEY rule: the viewer link's ID parameter; empty when none.
    CString FindViewerKey(const CString& page);
};
