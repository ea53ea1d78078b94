#include "DownloadManager.h"

#include "DownloadManagerMessages.h"
#include "FaultNotices.h"
#include "NewMenu.h"
#include "PatentThread.h"
#include "PatentThreadMessages.h"
#include "ProgramOptions.h"
#include "TextHelpers.h"
#include "XmlHelpers.h"
#include "resource.h"

#include <algorithm>
#include <cstdio>
#include <vector>

IMPLEMENT_DYNAMIC(CDownloadManager, CDialog)

BEGIN_MESSAGE_MAP(CDownloadManager, CDialog)
    ON_MESSAGE(UM_DOWNLOAD_PROGRESS, &ThisClass::OnDownloadProgress)
    ON_MESSAGE(UM_LIST_RBUTTONDOWN, &ThisClass::OnListRButtonDown)
    ON_MESSAGE(UM_CANCEL_DOWNLOAD, &ThisClass::OnCancelDownloadMessage)
    ON_MESSAGE(UM_WIPO_LINKS_READY, &ThisClass::OnWipoLinksReady)
    ON_MESSAGE(UM_SHOW_JOB_FAULT, &ThisClass::OnShowJobFault)
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_COMMAND(ID_DOWNLOAD_RETRY, &ThisClass::OnRetrySelected)
    ON_COMMAND(ID_DOWNLOAD_CANCEL, &ThisClass::OnCancelSelected)
    ON_WM_ERASEBKGND()
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_DOWNLOAD_LIST, &ThisClass::OnListItemChanged)
END_MESSAGE_MAP()

CDownloadManager::MessageBoxFn CDownloadManager::s_pfnMessageBox = &::MessageBoxA;

namespace {

// The shutdown poll: every stopping thread is asked again until all have ended.
const UINT_PTR kShutdownTimer = 1;
const UINT kShutdownPollMs = 500;
// Retry timers take ids above this one.
const UINT_PTR kLastFixedTimer = 99;
// A wait shorter than this between attempts (an option that is not a number reads as 0)
// would make the retry timer fire without pause.
const int kShortestRetryWaitMs = 1000;

enum Column
{
    colDocument,
    colTitle,
    colPages,
    colProgress,
    colRate,
    columnCount
};

} // namespace

CDownloadManager::CDownloadManager() : CDialog(IDD_DOWNLOAD_MANAGER)
{
}

CDownloadManager::~CDownloadManager()
{
    // The retry records go with the window; the jobs are the owner's to stop first.
    while (!m_Retries.IsEmpty()) {
        RetryRecord* record = m_Retries.RemoveHead();
        if (m_hWnd && record->nTimer != static_cast<UINT_PTR>(-1))
            ::KillTimer(m_hWnd, record->nTimer);
        delete record;
    }
}

void CDownloadManager::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DOWNLOAD_LIST, m_List);
}

BOOL CDownloadManager::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetClientRect(&m_rectClient);

    m_List.InsertColumn(colDocument, "Document", LVCFMT_LEFT);
    m_List.InsertColumn(colTitle, "Document Title", LVCFMT_LEFT);
    m_List.InsertColumn(colPages, "Pages", LVCFMT_CENTER);
    m_List.InsertColumn(colProgress, "Progress", LVCFMT_CENTER);
    m_List.InsertColumn(colRate, "Rate KB/s", LVCFMT_CENTER);
    m_List.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT);
    m_List.MoveWindow(m_rectClient.left, 60, m_rectClient.Width(), m_rectClient.Height() - 60);
    m_nInitialized = 1;
    // Once the list has its place, so that proportional widths fit it.
    RestoreColumnWidths();
    return TRUE;
}

BOOL CDownloadManager::OnEraseBkgnd(CDC* /*pDC*/)
{
    return FALSE;
}

void CDownloadManager::OnListItemChanged(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    *pResult = 0;
}

void CDownloadManager::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    GetClientRect(&m_rectClient);
    if (m_nInitialized && m_List.m_hWnd)
        m_List.MoveWindow(0, 0, m_rectClient.Width(), m_rectClient.Height());
}

// ---------------------------------------------------------------- column widths

CString CDownloadManager::GetColumnWidths() const
{
    CString widths;
    const int count = m_List.m_hWnd ? m_List.GetColumnCount() : 0;
    for (int i = 0; i < count; ++i) {
        CString one;
        one.Format("%d,", m_List.GetColumnWidth(i));
        widths += one;
    }
    return widths;
}

void CDownloadManager::RestoreColumnWidths()
{
    if (!m_nInitialized)
        return;
    int w[columnCount] = {};
    if (!m_strColumnWidths.IsEmpty() &&
        std::sscanf(m_strColumnWidths.GetString(), "%d,%d,%d,%d,%d,", &w[0], &w[1], &w[2], &w[3], &w[4]) == columnCount) {
        for (int i = 0; i < columnCount; ++i)
            m_List.SetColumnWidth(i, w[i] & 0xFFFF);
        return;
    }
    CRect client;
    m_List.GetClientRect(&client);
    const double share[columnCount] = {0.1, 0.6, 0.1, 0.1, 0.1};
    for (int i = 0; i < columnCount; ++i)
        m_List.SetColumnWidth(i, static_cast<int>(client.Width() * share[i]));
    m_List.SetColumnWidth(colRate, LVSCW_AUTOSIZE_USEHEADER);
}

// ---------------------------------------------------------------- look-ups

DownloadJob* CDownloadManager::Job(int nDownloadID) const
{
    for (POSITION pos = m_Jobs.GetHeadPosition(); pos;) {
        DownloadJob* job = m_Jobs.GetNext(pos);
        if (job->nDownloadID == nDownloadID)
            return job;
    }
    return nullptr;
}

const DownloadJob* CDownloadManager::FindJob(int nDownloadID) const
{
    return Job(nDownloadID);
}

CPatentThread* CDownloadManager::GetThread(int nDownloadID) const
{
    const DownloadJob* job = Job(nDownloadID);
    return job ? job->pThread : nullptr;
}

POSITION CDownloadManager::RetryPosition(int nDownloadID) const
{
    for (POSITION pos = m_Retries.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        if (m_Retries.GetNext(pos)->nDownloadID == nDownloadID)
            return at;
    }
    return nullptr;
}

const RetryRecord* CDownloadManager::FindRetry(int nDownloadID) const
{
    const POSITION pos = RetryPosition(nDownloadID);
    return pos ? m_Retries.GetAt(pos) : nullptr;
}

int CDownloadManager::RowOf(int nDownloadID) const
{
    const int rows = m_List.m_hWnd ? m_List.GetItemCount() : 0;
    for (int i = 0; i < rows; ++i) {
        if (static_cast<int>(m_List.GetItemData(i)) == nDownloadID)
            return i;
    }
    return -1;
}

bool CDownloadManager::IsQueued(const CString& key) const
{
    for (POSITION pos = m_Jobs.GetHeadPosition(); pos;) {
        if (m_Jobs.GetNext(pos)->strKey == key)
            return true;
    }
    return false;
}

bool CDownloadManager::IsDownloading(CString name) const
{
    CString uid;
    return !(m_pDocumentIndex && m_pDocumentIndex->Lookup(name, uid));
}

// ---------------------------------------------------------------- starting

int CDownloadManager::StartDownload(CString number, CString locationUID)
{
    const QueuedNumber queued = CleanQueuedNumber(number, m_nFileWrapperMode != 0);
    if (queued.number.IsEmpty())
        return -2;
    const CString key = queued.Key();
    if (IsQueued(key))
        return -1;
    CString uid;
    if (m_pDocumentIndex && m_pDocumentIndex->Lookup(key, uid))
        return -3;

    {
        CProgramOptions options;
        m_strSaveFolder = options.GetOptionValue("SavePath");
    }

    auto* thread = static_cast<CPatentThread*>(
        AfxBeginThread(RUNTIME_CLASS(CPatentThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!thread)
        return -2;
    thread->m_bAutoDelete = FALSE;
    thread->m_nDownloadID = static_cast<int>(thread->m_nThreadID);
    thread->m_strSuffix = queued.suffix;
    thread->m_strTempFolderSlash = m_strSaveFolder;
    thread->m_strLocationUID = locationUID;
    thread->m_bFirstPageOnly = m_bFirstPageOnly != 0;
    thread->m_nPageLimit = m_nPageLimit;
    thread->m_bShowDialog = m_bShowWrapperDialog != 0;
    thread->m_bFileWrapperMode = m_nFileWrapperMode != 0;
    thread->m_dwMainWindow = m_dwMainWindow;
    thread->m_strBareNumber = queued.bare;
    thread->m_strKindCode = queued.kind;
    thread->ParseDocumentNumber(queued.number);

    thread->ResumeThread();
    thread->m_hOwner = m_hWnd;
    thread->PostThreadMessage(UM_THREAD_START, 0, 0);

    const int nDownloadID = thread->m_nDownloadID;
    const int row = m_List.InsertItem(0, " " + key);
    if (row >= 0) {
        m_List.SetProgress(row, colProgress, TRUE, nullptr);
        m_List.SetItemData(row, static_cast<DWORD_PTR>(static_cast<unsigned>(nDownloadID)));
    }

    auto* job = new DownloadJob;
    job->pThread = thread;
    job->nDownloadID = nDownloadID;
    job->strKey = key;
    m_Jobs.AddHead(job);
    return 1;
}

void CDownloadManager::RestartDownload(int nDownloadID)
{
    const DownloadJob* job = Job(nDownloadID);
    if (job && !job->nStopping && job->pThread)
        job->pThread->PostThreadMessage(UM_THREAD_START, 0, 0);
}

// ---------------------------------------------------------------- progress

LRESULT CDownloadManager::OnDownloadProgress(WPARAM wParam, LPARAM /*lParam*/)
{
    const int nDownloadID = static_cast<int>(wParam);
    if (m_pLookup && nDownloadID == m_nLookupID) {
        // The look-up reports only the end of its job, as every job does.
        if (m_pLookup->m_Status.m_nDone == 1)
            OnPctLookupEnded();
        return 0;
    }
    DownloadJob* job = Job(nDownloadID);
    if (!job || job->nStopping)
        return 0;
    const int row = RowOf(nDownloadID);
    if (row < 0)
        return 1;
    if (!job->pThread)
        return 0;
    // The thread waits in SendMessage while its record is read here.
    const DownloadStatus& status = job->pThread->m_Status;
    const bool bFinished = status.m_nDone == 1;

    COLORREF crText = kNormalText;
    COLORREF crBack = kNormalBack;
    if (bFinished && status.m_nSuccess != 1) {
        crText = kFailedText;
        crBack = kFailedBack;
        ::SendMessageA(m_hOwner, UM_PLAY_ERROR_SOUND, 0, 0);
        if (job->pThread->m_nJobFault != CPatentThread::JobFaultNone) {
            // Another attempt would meet the same recipe or keys: the download stops here.
            RemoveRetry(nDownloadID);
            TellJobFault(*job->pThread);
            if (m_nRetryFailed) {
                crText = kGivenUpText;
                crBack = kGivenUpBack;
            }
        } else if (m_nRetryFailed && !ScheduleRetry(nDownloadID)) {
            crText = kGivenUpText;
            crBack = kGivenUpBack;
        }
    }

    if (bFinished && status.m_nSuccess == 1) {
        const LPARAM bLast = m_List.GetItemCount() == 1 ? 1 : 0;
        if (::SendMessageA(m_hOwner, UM_ADD_DOCUMENT, reinterpret_cast<WPARAM>(status.m_strDocumentXml.GetString()),
                           bLast))
            CancelDownload(nDownloadID);
        return 1;
    }

    // The owner may have changed the list while it handled the error sound.
    const int current = RowOf(nDownloadID);
    if (current >= 0)
        UpdateRow(current, *job, crText, crBack);
    return 1;
}

void CDownloadManager::UpdateRow(int nRow, const DownloadJob& job, COLORREF crText, COLORREF crBack)
{
    const CPatentThread& thread = *job.pThread;
    const DownloadStatus& status = thread.m_Status;
    const bool bFailed = status.m_nDone == 1 && status.m_nSuccess != 1;

    m_List.SetItemText(nRow, colDocument, m_List.GetItemText(nRow, colDocument), crText, crBack);

    CString title = CleanTitle(status.m_strTitle);
    if (bFailed && thread.m_nJobFault != CPatentThread::JobFaultNone)
        title = "Download Failed -- " + FirstLine(thread.m_strJobFault);
    else if (bFailed)
        title = m_nRetryFailed ? "Download Failed -- Reattempting Download" : "Download Failed";
    m_List.SetItemText(nRow, colTitle, title, crText, crBack);

    CString pages;
    int nOf = status.m_nTotalPages;
    if (thread.m_bFirstPageOnly) {
        nOf = thread.m_nPageLimit;
        pages.Format("%d/%d", status.m_nCurrentPage, nOf);
    } else if (status.m_nTotalPages == 1) {
        pages = "Downloading";
    } else {
        pages.Format("%d/%d", status.m_nCurrentPage, status.m_nTotalPages);
    }
    m_List.SetItemText(nRow, colPages, pages, crText, crBack);

    CString rate;
    rate.Format("%.2f", status.m_dRate);
    m_List.SetItemText(nRow, colRate, rate, crText, crBack);

    int nPercent = 0;
    if (nOf > 0) {
        nPercent = static_cast<int>(static_cast<double>(status.m_nCurrentPage) / nOf * 100.0);
        if (nPercent < 0)
            nPercent = 0;
    }
    m_List.SetItemText(nRow, colProgress, nullptr, crText, crBack);
    m_List.UpdateProgress(nRow, colProgress, nPercent);
}

// ---------------------------------------------------------------- retries

bool CDownloadManager::ScheduleRetry(int nDownloadID)
{
    const UINT nWait = static_cast<UINT>(std::max(m_nWaitBetweenAttempts, kShortestRetryWaitMs));
    const POSITION pos = RetryPosition(nDownloadID);
    if (!pos) {
        auto* record = new RetryRecord;
        record->nDownloadID = nDownloadID;
        record->nAttempts = 0;
        record->nTimerID = m_nNextRetryTimerID++;
        record->nTimer = SetTimer(record->nTimerID, nWait, nullptr);
        m_Retries.AddTail(record);
        return true;
    }
    RetryRecord* record = m_Retries.GetAt(pos);
    if (record->nAttempts >= m_nAttemptLimit - 1) {
        if (record->nTimer != static_cast<UINT_PTR>(-1))
            KillTimer(record->nTimer);
        m_Retries.RemoveAt(pos);
        delete record;
        return false;
    }
    ++record->nAttempts;
    record->nTimerID = m_nNextRetryTimerID++;
    record->nTimer = SetTimer(record->nTimerID, nWait, nullptr);
    return true;
}

void CDownloadManager::RemoveRetry(int nDownloadID)
{
    const POSITION pos = RetryPosition(nDownloadID);
    if (!pos)
        return;
    RetryRecord* record = m_Retries.GetAt(pos);
    if (record->nTimer != static_cast<UINT_PTR>(-1))
        KillTimer(record->nTimer);
    m_Retries.RemoveAt(pos);
    delete record;
}

void CDownloadManager::TellJobFault(const CPatentThread& thread)
{
    const FaultTopic topic =
        thread.m_nJobFault == CPatentThread::JobFaultRecipe ? FaultTopic::Recipe : FaultTopic::OpsKeys;
    if (!TakeFaultNotice(topic, thread.m_strJobFault))
        return;
    // Shown once the thread, which waits in its SendMessage, has been let go.
    m_JobFaultMessages.AddTail(thread.m_strJobFault);
    PostMessage(UM_SHOW_JOB_FAULT, 0, 0);
}

LRESULT CDownloadManager::OnShowJobFault(WPARAM, LPARAM)
{
    while (!m_JobFaultMessages.IsEmpty()) {
        const CString text = m_JobFaultMessages.RemoveHead();
        s_pfnMessageBox(::GetAncestor(m_hWnd, GA_ROOT), text, "Download Failed", MB_OK | MB_ICONWARNING);
    }
    return 0;
}

void CDownloadManager::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kShutdownTimer) {
        if (ReapStoppedThreads()) {
            KillTimer(m_nShutdownTimer);
            m_nShutdownTimer = 0;
            m_nStopped = 1;
        }
    } else if (nIDEvent > kLastFixedTimer) {
        for (POSITION pos = m_Retries.GetHeadPosition(); pos;) {
            RetryRecord* record = m_Retries.GetNext(pos);
            if (record->nTimerID != nIDEvent)
                continue;
            RestartDownload(record->nDownloadID);
            KillTimer(record->nTimer);
            record->nTimer = static_cast<UINT_PTR>(-1);
        }
    }
    CDialog::OnTimer(nIDEvent);
}

// ---------------------------------------------------------------- stopping

void CDownloadManager::CancelDownload(int nDownloadID)
{
    RemoveRetry(nDownloadID);
    if (DownloadJob* job = Job(nDownloadID)) {
        if (job->nStopping)
            return;
        job->nStopping = 1;
        job->pThread->m_nQuit = 1;
        job->pThread->Cancel();
    }
    if (!ReapStoppedThreads())
        StartShutdownTimer();
}

LRESULT CDownloadManager::OnCancelDownloadMessage(WPARAM wParam, LPARAM /*lParam*/)
{
    CancelDownload(static_cast<int>(wParam));
    return 0;
}

void CDownloadManager::StartShutdownTimer()
{
    if (!m_nShutdownTimer)
        m_nShutdownTimer = SetTimer(kShutdownTimer, kShutdownPollMs, nullptr);
}

bool CDownloadManager::ReapStoppedThreads()
{
    bool bAllEnded = true;
    for (POSITION pos = m_EndedLookups.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CPatentThread* thread = m_EndedLookups.GetNext(pos);
        DWORD code = 0;
        ::GetExitCodeThread(thread->m_hThread, &code);
        if (code == STILL_ACTIVE) {
            bAllEnded = false;
            continue;
        }
        m_EndedLookups.RemoveAt(at);
        delete thread;
    }
    for (POSITION pos = m_Jobs.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        DownloadJob* job = m_Jobs.GetNext(pos);
        if (!job->nStopping)
            continue;
        job->pThread->Cancel();
        DWORD code = 0;
        ::GetExitCodeThread(job->pThread->m_hThread, &code);
        if (!job->nQuitPosted) {
            job->pThread->PostThreadMessage(UM_THREAD_QUIT, 0, 0);
            job->nQuitPosted = 1;
        }
        if (code == STILL_ACTIVE) {
            bAllEnded = false;
            continue;
        }
        m_Jobs.RemoveAt(at);
        const int row = RowOf(job->nDownloadID);
        if (row >= 0)
            m_List.DeleteItem(row);
        delete job->pThread;
        delete job;
    }
    return bAllEnded;
}

void CDownloadManager::StopAllDownloads()
{
    m_nStopped = 0;
    m_PendingLookups.RemoveAll();
    m_bLookupBusy = false;
    if (m_pLookup) {
        m_pLookup->m_nQuit = 1;
        m_pLookup->Cancel();
        m_pLookup->PostThreadMessage(UM_THREAD_QUIT, 0, 0);
        m_EndedLookups.AddTail(m_pLookup);
        m_pLookup = nullptr;
    }
    for (POSITION pos = m_Jobs.GetHeadPosition(); pos;) {
        DownloadJob* job = m_Jobs.GetNext(pos);
        if (job->nStopping)
            continue;
        job->nStopping = 1;
        job->pThread->m_nQuit = 1;
        job->pThread->Cancel();
    }
    if (ReapStoppedThreads())
        m_nStopped = 1;
    else
        StartShutdownTimer();
}

// ---------------------------------------------------------------- context menu

LRESULT CDownloadManager::OnListRButtonDown(WPARAM wParam, LPARAM /*lParam*/)
{
    const int row = static_cast<int>(wParam);
    if (row == -1)
        return 0;
    const DownloadJob* job = Job(static_cast<int>(m_List.GetItemData(row)));
    if (!job || !job->pThread)
        return 0;

    CNewMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return 0;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (!pPopup)
        return 0;
    const DownloadStatus& status = job->pThread->m_Status;
    const bool bFinished = status.m_nDone == 1;
    const bool bFailed = bFinished && status.m_nSuccess != 1;
    const bool bSucceeded = bFinished && status.m_nSuccess == 1;
    pPopup->EnableMenuItem(ID_DOWNLOAD_RETRY, MF_BYCOMMAND | (bFailed ? MF_ENABLED : MF_GRAYED));
    pPopup->EnableMenuItem(ID_DOWNLOAD_CANCEL, MF_BYCOMMAND | (bSucceeded ? MF_GRAYED : MF_ENABLED));
    const CPoint point = m_List.m_ptLastRightClick;
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
    return 0;
}

void CDownloadManager::OnRetrySelected()
{
    for (int row = m_List.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_List.GetNextItem(row, LVNI_SELECTED)) {
        const int nDownloadID = static_cast<int>(m_List.GetItemData(row));
        RemoveRetry(nDownloadID);
        RestartDownload(nDownloadID);
    }
}

void CDownloadManager::OnCancelSelected()
{
    int row = m_List.GetNextItem(-1, LVNI_SELECTED);
    while (row >= 0) {
        // Cancelling may take the row away: find the next one first.
        const int next = m_List.GetNextItem(row, LVNI_SELECTED);
        const int nNextID = next >= 0 ? static_cast<int>(m_List.GetItemData(next)) : 0;
        CancelDownload(static_cast<int>(m_List.GetItemData(row)));
        row = next >= 0 ? RowOf(nNextID) : -1;
    }
}

// ---------------------------------------------------------------- the project

CString CDownloadManager::FindDownloadedDocument(CString number)
{
    if (number.Find("PCT") >= 0)
        StartPctLookup(number);
    const QueuedNumber queued = CleanQueuedNumber(number, m_nFileWrapperMode != 0);
    if (queued.number.IsEmpty() || !m_ppProjectDocument || !*m_ppProjectDocument)
        return "";
    // The record's Name carries the kind code, as the document index does.
    const CString name = queued.Key();
    CString xpath;
    if (name.Find('"') < 0)
        xpath.Format("/Project/Documents/Document[@Name=\"%s\"]", name.GetString());
    else if (name.Find('\'') < 0)
        xpath.Format("/Project/Documents/Document[@Name='%s']", name.GetString());
    else
        return "";

    CString path;
    try {
        IXMLDOMNodePtr document = (*m_ppProjectDocument)->selectSingleNode(_bstr_t(xpath));
        if (!document)
            return "";
        IXMLDOMNodeListPtr children = document->GetchildNodes();
        const long count = children ? children->Getlength() : 0;
        for (long i = 0; i < count; ++i) {
            IXMLDOMNodeListPtr items = children->Getitem(i)->GetchildNodes();
            const long itemCount = items ? items->Getlength() : 0;
            for (long j = 0; j < itemCount; ++j) {
                GetXmlAttribute(items->Getitem(j), "FilePath", path);
                if (path.Find(".pdf") >= 0 || path.Find(".PDF") >= 0)
                    return path;
            }
        }
    } catch (_com_error&) {
        return "";
    }
    return path;
}

// ---------------------------------------------------------------- the PCT look-up

namespace {

// A look-up's number as the queue takes it: without slashes, backslashes and "PCT".
CString PctQueueNumber(CString number)
{
    number.Remove('/');
    number.Remove('\\');
    number.Replace("PCT", "");
    return number;
}

// The number the look-up's answer names: the text in brackets behind the first link after
// "Title". False when the answer does not hold one.
bool NumberInLookupAnswer(const CString& text, CString& number)
{
    const int title = text.Find("Title");
    const int link = title < 0 ? -1 : text.Find("HREF", title);
    const int open = link < 0 ? -1 : text.Find('(', link);
    const int close = open < 0 ? -1 : text.Find(')', open);
    if (close < 0)
        return false;
    number = text.Mid(open + 1, close - open - 1);
    return true;
}

} // namespace

void CDownloadManager::StartPctLookup(CString number)
{
    // From the start of a look-up until its answer has been read, later numbers wait.
    if (m_bLookupBusy) {
        if (number != m_strLookupNumber && !m_PendingLookups.Find(number))
            m_PendingLookups.AddTail(number);
        return;
    }
    BeginPctLookup(number);
}

void CDownloadManager::BeginPctLookup(const CString& number)
{
    {
        CProgramOptions options;
        m_strSaveFolder = options.GetOptionValue("SavePath");
    }
    m_strLookupFolder = m_strSaveFolder;
    // An answer left by an earlier look-up must not be read as this one's.
    ::DeleteFileA(PctLookupAnswerPath());
    m_strLookupNumber = number;
    m_bLookupBusy = true;

    auto* thread = static_cast<CPatentThread*>(
        AfxBeginThread(RUNTIME_CLASS(CPatentThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!thread) {
        // Without its thread the look-up has no answer: the number is queued as it is.
        PostMessage(UM_WIPO_LINKS_READY, 0, 0);
        return;
    }
    thread->m_bAutoDelete = FALSE;
    thread->m_nDownloadID = static_cast<int>(thread->m_nThreadID);
    thread->m_strTempFolderSlash = m_strLookupFolder;
    thread->m_strLocationUID.Empty();
    thread->m_bLookupMode = true;
    thread->ParseDocumentNumber(number);
    thread->ResumeThread();
    thread->m_hOwner = m_hWnd;
    thread->PostThreadMessage(UM_THREAD_START, 0, 0);
    m_pLookup = thread;
    m_nLookupID = thread->m_nDownloadID;
}

void CDownloadManager::OnPctLookupEnded()
{
    // The thread waits in its SendMessage while this runs: it quits once it has left it and
    // is deleted when it has ended. The answer is read once the thread has let go of it.
    m_pLookup->PostThreadMessage(UM_THREAD_QUIT, 0, 0);
    m_EndedLookups.AddTail(m_pLookup);
    m_pLookup = nullptr;
    if (!ReapStoppedThreads())
        StartShutdownTimer();
    PostMessage(UM_WIPO_LINKS_READY, 0, 0);
}

LRESULT CDownloadManager::OnWipoLinksReady(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (!m_bLookupBusy || m_pLookup)
        return 0;
    CString answer;
    CFile file;
    if (file.Open(PctLookupAnswerPath(), CFile::modeRead | CFile::shareDenyNone)) {
        std::vector<char> bytes(20000);
        const UINT read = file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
        file.Close();
        answer = CString(bytes.data(), static_cast<int>(read));
    }
    ::DeleteFileA(PctLookupAnswerPath());
    CString number;
    if (!NumberInLookupAnswer(answer, number))
        number = m_strLookupNumber;
    m_bLookupBusy = false;
    m_strLookupNumber.Empty();
    AddDownload(PctQueueNumber(number));

    if (!m_PendingLookups.IsEmpty())
        BeginPctLookup(m_PendingLookups.RemoveHead());
    return 0;
}
