// The report run of the Saved Reports page: one report thread per document, one at a time,
// then the report's own pages, the merge, the save question and the Reports.xml entry.
//
// A stop cancels the thread in flight and leaves the run stopping until that thread has
// answered: only then can the next run start, so no late answer is read against it. An
// answer counts only when it comes from the thread in flight with that thread's index.
#include "SavedReport.h"

#include "DataFiles.h"
#include "FaultNotices.h"
#include "PdfMerge.h"
#include "ReportFiles.h"
#include "ReportMessages.h"
#include "ReportPopupDialog.h"
#include "ReportThread.h"
#include "TextHelpers.h"

CSavedReport::BeginThreadFn CSavedReport::s_pfnBeginThread = &AfxBeginThread;

void CSavedReport::SetStatus(const CString& text)
{
    if (m_pReportStatus && ::IsWindow(m_pReportStatus->GetSafeHwnd()))
        m_pReportStatus->SetWindowText(text);
    if (::IsWindow(m_Status.GetSafeHwnd())) {
        m_Status.SetWindowText(text);
        m_Status.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        m_Status.Invalidate(TRUE);
    }
}

void CSavedReport::ResetProgress()
{
    if (!::IsWindow(m_Progress.GetSafeHwnd()))
        return;
    m_Progress.ShowWindow(SW_HIDE);
    m_Progress.SetPos(0);
    m_Progress.Invalidate(TRUE);
    Invalidate(TRUE);
}

void CSavedReport::EnableReportControl(CWnd* pControl, BOOL bEnable)
{
    if (pControl && ::IsWindow(pControl->GetSafeHwnd()))
        pControl->EnableWindow(bEnable);
}

void CSavedReport::DeleteFolderTree(CString folder)
{
    DeleteFolderBelow(folder, ReportsFolder(), GetSafeHwnd());
}

void CSavedReport::StartReport(SearchSession session)
{
    if (m_bBusy || m_bStopping) {
        AfxMessageBox("Already downloading", MB_OK);
        return;
    }
    m_bBusy = true;
    EnableReportControl(m_pReportStop, TRUE);
    m_nNextIndex = 0;
    m_RunSession = session;
    m_ResultFiles.clear();
    m_strReportName = session.strName;
    m_strReportMark = session.strMark;
    m_strReportClient = session.strClient;

    if (session.strName == "General") {
        const CString base = SavePath() + "Reports\\General";
        ::CreateDirectoryA(SavePath() + "Reports", nullptr);
        CString name = "General";
        CString tested = SavePath() + "Reports";
        for (int n = 1; ::GetFileAttributesA(tested) != INVALID_FILE_ATTRIBUTES; ++n) {
            tested.Format("%s%d.pdf", base.GetString(), n);
            name.Format("General%d", n);
        }
        m_strReportName = name;
        session.strName = name;
        session.strMark.Empty();
        session.strClient.Empty();
        m_strReportMark.Empty();
        m_strReportClient.Empty();
    }
    DownloadNextDocument(session);
}

void CSavedReport::EndRunCancelled(bool bNotifyContainer, const CString& status)
{
    ResetProgress();
    ::MessageBeep(0xFFFFFFFF);
    EnableReportControl(m_pReportStop, FALSE);
    EnableReportControl(m_pReportGenerate, TRUE);
    m_ReportThreads.RemoveAll();
    m_pInFlight = nullptr;
    m_nInFlightIndex = -1;
    SetStatus(status);
    m_nNextIndex = 0;
    m_bBusy = false;
    m_bStopping = false;
    EnableReportControl(&m_Stop, FALSE);
    if (m_pReportPopup && ::IsWindow(m_pReportPopup->GetSafeHwnd()))
        m_pReportPopup->ShowWindow(SW_HIDE);
    if (bNotifyContainer && m_hContainer)
        ::SendMessageA(m_hContainer, UM_REPORT_FINISHED, 0, 0);
    DeleteFolderTree(SavePath() + "Reports\\" + ReportFileStem(m_RunSession.strName));
}

void CSavedReport::EndRunFailed(int nJobFault, const CString& fault)
{
    m_bBusy = false;
    EndRunCancelled(true, FirstLine(fault));
    const FaultTopic topic = nJobFault == CDocumentThread::JobFaultRecipe ? FaultTopic::Recipe : FaultTopic::OpsKeys;
    if (TakeFaultNotice(topic, fault)) {
        // Shown once the report thread, which waits in its SendMessage, has been let go.
        m_strFaultMessage = fault;
        PostMessage(UM_SHOW_REPORT_FAULT, 0, 0);
    }
}

LRESULT CSavedReport::OnShowReportFault(WPARAM, LPARAM)
{
    const CString text = m_strFaultMessage;
    m_strFaultMessage.Empty();
    if (!text.IsEmpty())
        Ask(text, "Search Report Failed", MB_OK | MB_ICONWARNING);
    return 0;
}

void CSavedReport::DownloadNextDocument(SearchSession session)
{
    m_strRunFolder = SavePath() + "Reports";
    ::CreateDirectoryA(m_strRunFolder, nullptr);
    m_strRunFolder += "\\";

    if (!m_bBusy) {
        EndRunCancelled(false);
        return;
    }

    m_strRunFolder += ReportFileStem(session.strName);
    ::CreateDirectoryA(m_strRunFolder, nullptr);
    m_strRunFolder += "\\";
    m_RunSession = session;

    const int count = static_cast<int>(session.results.GetSize());
    if (m_nNextIndex >= count) {
        m_bBusy = false;
        SetStatus("Download Finished");
        m_ReportThreads.RemoveAll();
        m_pInFlight = nullptr;
        m_nInFlightIndex = -1;
        m_nNextIndex = 0;
        EnableReportControl(m_pReportGenerate, TRUE);
        EnableReportControl(m_pReportStop, FALSE);
        if (m_pReportPopup && ::IsWindow(m_pReportPopup->GetSafeHwnd()))
            m_pReportPopup->ShowWindow(SW_HIDE);
        DrawReportPages();
        ResetProgress();
        EnableReportControl(&m_Stop, FALSE);
        ::MessageBeep(0xFFFFFFFF);
        if (m_hContainer)
            ::SendMessageA(m_hContainer, UM_REPORT_FINISHED, 0, 0);
        return;
    }

    CString status;
    status.Format("Downloading %d of %d", m_nNextIndex + 1, count);
    SetStatus(status);
    const SessionResult document = session.results[m_nNextIndex];
    auto* thread = static_cast<CReportThread*>(
        s_pfnBeginThread(RUNTIME_CLASS(CReportThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, nullptr));
    if (!thread) {
        // Without its thread the run can never go on: it ends here.
        Ask("The search report could not be generated: no worker thread could be started.", "Error",
            MB_OK | MB_ICONERROR);
        EndRunCancelled(true);
        return;
    }
    thread->m_bAutoDelete = FALSE;
    thread->m_nItemIndex = m_nNextIndex;
    thread->m_strFolderSlash = m_strRunFolder;
    m_pInFlight = thread;
    m_nInFlightIndex = m_nNextIndex;
    ++m_nNextIndex;
    m_ReportThreads.Add(thread);
    thread->ParseDocumentNumber(document.strNumber, document.strTitle);
    thread->ResumeThread();
    thread->m_hOwner = GetSafeHwnd();
    thread->PostThreadMessage(UM_THREAD_START, 0, 0);
    EnableReportControl(&m_Stop, TRUE);
}

LRESULT CSavedReport::OnReportThreadDone(WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(wParam);
    if (!m_pInFlight || index != m_nInFlightIndex || index < 0 || index >= m_ReportThreads.GetSize() ||
        m_ReportThreads[index] != m_pInFlight)
        return 0;
    CReportThread* thread = m_pInFlight;
    // Its job has ended: the thread waits in its SendMessage while its fields are read here.
    m_pInFlight = nullptr;
    m_nInFlightIndex = -1;

    if (thread->m_Status.m_nDone == 1 && m_hContainer)
        ::SendMessageA(m_hContainer, UM_REPORT_PROGRESS, static_cast<WPARAM>(m_RunSession.results.GetSize()),
                       static_cast<LPARAM>(m_nNextIndex));

    const bool bCancelled = lParam == kReportCancelled || thread->IsCancelled();
    if (m_bStopping || (bCancelled && thread->IsStopRequested())) {
        // A cancelled thread deletes its object once this returns: its entry goes now.
        m_ReportThreads.RemoveAt(index);
        EndRunCancelled(true);
        return 0;
    }
    // The recipe or the OPS keys would fail every further document alike: the run ends
    // here and says why, instead of making a report without its documents.
    const int nJobFault = thread->m_nJobFault;
    const CString fault = thread->m_strJobFault;
    // A cancel flag without a stop comes from a fetch that failed: that document was not
    // found, and the run goes on.
    m_ResultFiles.push_back(thread->m_strResultPath);
    if (!bCancelled && thread->m_Status.m_nSuccess != 1)
        thread->m_nCancel = 1;
    // Everything of the thread's job has been read: the thread ends once it leaves its
    // SendMessage and takes its object with it, so that a long run leaves no idle thread
    // per document behind.
    m_ReportThreads[index] = nullptr;
    thread->m_bAutoDelete = TRUE;
    thread->PostThreadMessage(WM_QUIT, 0, 0);
    if (nJobFault != CDocumentThread::JobFaultNone)
        EndRunFailed(nJobFault, fault);
    else
        DownloadNextDocument(m_RunSession);
    return 0;
}

void CSavedReport::StopReport()
{
    m_bBusy = false;
    ResetProgress();
    if (m_pInFlight) {
        m_bStopping = true;
        m_pInFlight->AbortFetch();
        EnableReportControl(&m_Stop, FALSE);
        m_pInFlight->OnCancel(0, 0);
    } else {
        EnableReportControl(&m_Stop, FALSE);
    }
}

void CSavedReport::MergeAndSaveReport(std::vector<CString> pagePdfs)
{
    const CString folder = ReportsFolder();
    ::CreateDirectoryA(folder, nullptr);
    const CString output = folder + "\\General.pdf";
    ::DeleteFileA(output);

    const CString runFolder = SavePath() + "Reports\\" + ReportFileStem(m_RunSession.strName);
    std::vector<CString> inputs;
    auto isFile = [](const CString& path) {
        const DWORD attributes = ::GetFileAttributesA(path);
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    for (const CString& page : pagePdfs)
        if (isFile(page))
            inputs.push_back(page);
    const size_t documents = static_cast<size_t>(m_RunSession.results.GetSize());
    for (size_t i = 0; i < documents && i < m_ResultFiles.size(); ++i) {
        const CString path = runFolder + "\\" + m_ResultFiles[i];
        if (isFile(path))
            inputs.push_back(path);
    }

    CPdfMerge merge;
    const bool bMerged = !inputs.empty() && merge.MergeFiles(inputs, output);
    DeleteFolderTree(runFolder);
    if (!bMerged) {
        CString text;
        if (inputs.empty())
            text = "The search report has no pages: none of its pages and documents could be made.";
        else
            text.Format("The search report could not be written to %s.", output.GetString());
        Ask(text, "Error", MB_OK | MB_ICONERROR);
        return;
    }

    if (Ask("Do you want to save this Search Report for later access?", "Save Search Report?",
            MB_YESNO | MB_ICONQUESTION) != IDYES) {
        OpenReportFile(output);
        return;
    }
    const CString target = ReportPdfPath(m_strReportName);
    if (target.CompareNoCase(output) != 0) {
        ::DeleteFileA(target);
        if (!::MoveFileA(output, target)) {
            CString text;
            text.Format("The search report could not be saved as %s. It stays in %s.", target.GetString(),
                        output.GetString());
            Ask(text, "Error", MB_OK | MB_ICONERROR);
            OpenReportFile(output);
            return;
        }
    }
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    SavedReportEntry entry;
    entry.strName = m_strReportName;
    entry.strMark = m_strReportMark;
    entry.strClient = m_strReportClient;
    entry.strDateTime = FormatReportDate(now);
    AddReportRow(entry);
    m_Entries.push_back(entry);
    if (!WriteReportsXml() && m_bReportsXmlUnreadable)
        Ask("The list of saved reports (Reports.xml) could not be read, so it was not written: this report is "
            "saved but will not be listed after the next start.",
            "Error", MB_OK | MB_ICONERROR);
    OpenReportFile(target);
}
