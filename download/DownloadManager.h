// CDownloadManager: the download queue window (dialog 130), a child pane of the project pane.
// For every queued document it starts one download thread (CPatentThread) and shows one row:
// document, title, pages, a progress bar and the transfer rate, coloured by outcome. A
// finished document's record goes to the owner with UM_ADD_DOCUMENT; a failed download is
// started again after a wait when the user asked for retries, and given up after the set
// number of attempts. A download that failed for a cause no attempt can mend (the recipe
// file cannot be read, the OPS keys are missing or refused) is not started again: its row
// says why, and a message box tells the cause once until it changes. The context menu
// retries or cancels the selected downloads.
//
// The owner (the project pane) creates the window, fills the public fields below and stops
// every download with StopAllDownloads, polling IsStopped, before it destroys the window.
#pragma once

#include "DocumentNumbers.h"
#include "Framework.h"
#include "XListCtrl.h"

class CPatentThread;

// One started download.
struct DownloadJob
{
    CPatentThread* pThread = nullptr;  // created suspended, not auto-deleted; deleted here
    int nStopping = 0;                 // being cancelled: progress and restarts are ignored
    int nQuitPosted = 0;               // UM_THREAD_QUIT has been posted to the thread
    int nDownloadID = 0;               // the thread's id; the row's data word
    CString strKey;                    // normalised number followed by the kind code
};

// A download that has failed at least once and is still retried.
struct RetryRecord
{
    int nDownloadID = 0;
    int nAttempts = 0;          // automatic restarts scheduled so far, minus one
    UINT_PTR nTimer = 0;        // the running timer; -1 once it has fired
    UINT_PTR nTimerID = 0;      // the id the timer was set with
};

class CDownloadManager : public CDialog
{
    DECLARE_DYNAMIC(CDownloadManager)
public:
    CDownloadManager();
    ~CDownloadManager() override;

    // Queues a document: 1 started; -1 the same number and kind code is queued already; -2
    // the number cleans up to nothing, or no thread could be made; -3 the project holds the
    // document already. With a location UID the thread uses only that download source.
    int StartDownload(CString number, CString locationUID);
    int AddDownload(CString number) { return StartDownload(number, ""); }

    // The path of the document's stored PDF in the project, or "". A PCT number first starts
    // its look-up (StartPctLookup).
    CString FindDownloadedDocument(CString number);
    // Looks up the publication of a PCT application on a thread of its own (no row, no job)
    // and queues the number its answer names, or, without an answer, the PCT number itself
    // with its slashes and "PCT" removed. One look-up runs at a time; a number that comes
    // while one runs waits its turn (once).
    void StartPctLookup(CString number);
    // The look-up's answer file: WipoLinks.html in the folder the look-up works in.
    CString PctLookupAnswerPath() const { return m_strLookupFolder + "WipoLinks.html"; }
    // The number in the form the project's Document records carry in Name.
    static CString NormalizeDocumentNumber(CString number) { return ::NormalizeDocumentNumber(number); }
    // False when the project's document index holds the name; true otherwise, also when no
    // index is attached. The queue itself is not looked at.
    bool IsDownloading(CString name) const;

    // Begins stopping every download; IsStopped answers true once every thread has ended.
    void StopAllDownloads();
    bool IsStopped() const { return m_nStopped != 0; }

    // "%d," per column; RestoreColumnWidths applies m_strColumnWidths ("%d,%d,%d,%d,%d,"), or
    // proportional widths when it does not hold five numbers.
    CString GetColumnWidths() const;
    void RestoreColumnWidths();

    // Stops one download; its row goes once its thread has ended.
    void CancelDownload(int nDownloadID);
    // Runs a download's job again on its thread.
    void RestartDownload(int nDownloadID);

    // ------------------------------------------------------------ set by the owner
    HWND m_hOwner = nullptr;                       // receives UM_ADD_DOCUMENT, UM_PLAY_ERROR_SOUND
    CMapStringToString* m_pDocumentIndex = nullptr;  // the project's documents by Name
    IXMLDOMDocument2Ptr* m_ppProjectDocument = nullptr;  // the project store's DOM
    int m_nRetryFailed = 0;                        // option RetryFailedDownloads
    int m_nWaitBetweenAttempts = 0;                // option WaitTimeBetweenAttempts, in ms
    int m_nAttemptLimit = 0;                       // option NumberOfAttemptsBeforeFailure
    CString m_strColumnWidths;                     // option DownloadManagerWidths
    // Copied into the next download that starts:
    BYTE m_bFirstPageOnly = 0;      // fetch only the first m_nPageLimit pages
    int m_nPageLimit = 1;
    int m_nFileWrapperMode = 0;     // fetch through the file-wrapper library; no normalising
    DWORD_PTR m_dwMainWindow = 0;   // handed on to the file-wrapper library
    BYTE m_bShowWrapperDialog = 0;  // the file-wrapper library may show its dialog

    // ------------------------------------------------------------ state, for the owner's checks
    CXListCtrl& GetList() { return m_List; }
    const DownloadJob* FindJob(int nDownloadID) const;
    const RetryRecord* FindRetry(int nDownloadID) const;
    int GetJobCount() const { return static_cast<int>(m_Jobs.GetCount()); }
    CPatentThread* GetThread(int nDownloadID) const;

    // Row colours by outcome.
    static const COLORREF kNormalText = RGB(0, 0, 0);
    static const COLORREF kNormalBack = RGB(255, 255, 255);
    static const COLORREF kFailedText = RGB(255, 255, 0);
    static const COLORREF kFailedBack = RGB(255, 0, 0);
    static const COLORREF kGivenUpText = RGB(255, 255, 255);
    static const COLORREF kGivenUpBack = RGB(128, 128, 128);

    // Shows the messages of failed downloads; a test puts a stand-in in place.
    typedef int(WINAPI* MessageBoxFn)(HWND, LPCSTR, LPCSTR, UINT);
    static MessageBoxFn s_pfnMessageBox;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

    afx_msg LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnListRButtonDown(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCancelDownloadMessage(WPARAM wParam, LPARAM lParam);
    // A PCT look-up has ended: its answer is read and the number it names is queued; the
    // next waiting look-up starts.
    afx_msg LRESULT OnWipoLinksReady(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnShowJobFault(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnRetrySelected();
    afx_msg void OnCancelSelected();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnListItemChanged(NMHDR* pNMHDR, LRESULT* pResult);

private:
    DownloadJob* Job(int nDownloadID) const;
    POSITION RetryPosition(int nDownloadID) const;
    int RowOf(int nDownloadID) const;
    bool IsQueued(const CString& key) const;

    // Schedules the next automatic restart; false when the download has used up its
    // attempts (its record is then gone).
    bool ScheduleRetry(int nDownloadID);
    // Forgets the download's retry record and its timer.
    void RemoveRetry(int nDownloadID);
    // A download failed for its job's fault: the message is shown unless its cause has been
    // told already.
    void TellJobFault(const CPatentThread& thread);
    // Asks every stopping thread again to end, and removes those that have ended with their
    // rows. True when no stopping thread is left.
    bool ReapStoppedThreads();
    void StartShutdownTimer();
    void UpdateRow(int nRow, const DownloadJob& job, COLORREF crText, COLORREF crBack);
    // Starts the look-up thread of a PCT number.
    void BeginPctLookup(const CString& number);
    // The running look-up's end of job: the thread is told to quit and the answer read.
    void OnPctLookupEnded();

    int m_nStopped = 1;
    UINT_PTR m_nShutdownTimer = 0;
    CList<DownloadJob*, DownloadJob*> m_Jobs;       // newest first
    CList<RetryRecord*, RetryRecord*> m_Retries;    // oldest first
    CString m_strSaveFolder;
    CXListCtrl m_List;
    CRect m_rectClient;
    int m_nInitialized = 0;
    UINT_PTR m_nNextRetryTimerID = 100;
    CStringList m_JobFaultMessages;  // messages waiting for UM_SHOW_JOB_FAULT

    // The PCT look-up.
    CPatentThread* m_pLookup = nullptr;          // the running look-up's thread
    int m_nLookupID = 0;                         // its download id
    CString m_strLookupNumber;                   // the number of the look-up under way
    bool m_bLookupBusy = false;                  // from a look-up's start until its answer is read
    CString m_strLookupFolder;                   // the folder it works in (the save folder)
    CStringList m_PendingLookups;                // numbers waiting for their look-up
    CList<CPatentThread*, CPatentThread*> m_EndedLookups;  // told to quit; deleted once ended

    DECLARE_MESSAGE_MAP()
};
