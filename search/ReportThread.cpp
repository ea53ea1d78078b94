#include "ReportThread.h"

#include "DocumentNumbers.h"
#include "KeyFunctions.h"
#include "ProjectIds.h"
#include "RegEx.h"
#include "ReportMessages.h"
#include "SafeNames.h"
#include "TextHelpers.h"

IMPLEMENT_DYNCREATE(CReportThread, CDocumentThread)

BEGIN_MESSAGE_MAP(CReportThread, CDocumentThread)
    ON_THREAD_MESSAGE(UM_THREAD_START, &CReportThread::OnDownloadDocument)
    ON_THREAD_MESSAGE(UM_REPORT_CANCEL, &CReportThread::OnCancel)
END_MESSAGE_MAP()

namespace {

// The report thread's dialect of the recipe language: no MultiMatch and no RESULTS rule,
// ReplaceNull, and the cancel test in the extraction.
RecipeRules ReportRecipeRules()
{
    RecipeRules rules;
    rules.bMultiMatch = false;
    rules.bNoResultsFails = false;
    rules.bReplaceNull = true;
    rules.bStopEndsExtraction = true;
    return rules;
}

// Its job: every priority in turn, "EP" numbers by the international priorities, a source
// delivers only with a file, no look-ahead, and the page PDFs kept beside the merged file.
DocumentRules ReportDocumentRules()
{
    DocumentRules rules;
    rules.bEuropeanPriorities = false;
    rules.bEveryPriority = true;
    rules.bLookAhead = false;
    rules.bSourceNeedsFile = true;
    rules.bKeepPagePdfs = true;
    return rules;
}

CString CutAtAmpersand(CString value)
{
    const int amp = value.Find('&');
    return amp >= 0 ? value.Left(amp) : value;
}

} // namespace

CReportThread::CReportThread() : CDocumentThread(ReportRecipeRules(), ReportDocumentRules())
{
    m_WebGrab.m_pQuitFlag = &m_nCancel;
}

CReportThread::~CReportThread() = default;

// COM, which the thread initialises as every recipe thread does, is never released.
int CReportThread::ExitInstance()
{
    return CWinThread::ExitInstance();
}

void CReportThread::ParseDocumentNumber(CString number, CString title)
{
    CString work = number;
    work.Remove(' ');
    work.MakeUpper();
    work.Remove(',');
    if (work.Left(2) == "RE")
        work.Replace("RE", "USRE");
    if (work.Left(2) == "PP")
        work.Replace("PP", "USPP");
    m_strTitle = title;

    m_strKindCode.Empty();
    RegEx split("([A-Z][A-Z])(.+)", false);
    if (split.Search(work)) {
        m_strCountryCode = split.What(1);
        m_strDocumentNumber = split.What(2);
        // The rows of a search carry the kind of the publication found ("US7123456B2",
        // "US6000000A"): it is the number's kind, not part of its digits, and it chooses
        // among the publications of the number.
        RegEx kind("^([A-Z]{0,2}[0-9][0-9/]*)([A-Z][0-9]?)$", false);
        if (kind.Search(m_strDocumentNumber)) {
            m_strKindCode = kind.What(2);
            m_strDocumentNumber = kind.What(1);
        }
    } else {
        if (work.Left(1) == "D") {
            while (work.GetLength() < 7) {
                const int before = work.GetLength();
                work.Replace("D", "D0");
                if (work.GetLength() == before)
                    break;
            }
        }
        while (work.GetLength() < 7)
            work.Insert(0, '0');
        m_strCountryCode = "US";
        m_strDocumentNumber = work;
    }
    m_nApplication = IsApplicationNumber(m_strCountryCode, m_strDocumentNumber) ? 1 : 0;

    // The folder is named after the number, which may come from a web page or a session
    // file: a number that names no single file in the run folder gets no folder, and its
    // job then finds nothing.
    const CString cleaned = MakeSafeFileName(StripSlashes(work));
    m_strResultPath = cleaned;
    if (cleaned.IsEmpty()) {
        m_strDocumentFolder.Empty();
        return;
    }
    m_strDocumentFolder = m_strFolderSlash + cleaned;
    m_strFolderSlash = m_strDocumentFolder + "\\";
}

void CReportThread::AbortFetch()
{
    m_WebGrab.Abort();
}

void CReportThread::OnCancel(WPARAM, LPARAM)
{
    m_nStopRequested = 1;
    AbortFetch();
    m_bAutoDelete = TRUE;
    m_nCancel = 1;
}

void CReportThread::OnDownloadDocument(WPARAM, LPARAM)
{
    RunJob();
    if (m_nCancel) {
        ::SendMessageA(m_hOwner, UM_REPORT_ITEM_DONE, static_cast<WPARAM>(m_nItemIndex), kReportCancelled);
        ClearCatalogFiles();
        // A stop set auto-delete: the object goes with the thread.
        AfxEndThread(0, TRUE);
    }
    m_Status.m_strDocumentXml = m_strDocumentXml;
    ::SendMessageA(m_hOwner, UM_REPORT_ITEM_DONE, static_cast<WPARAM>(m_nItemIndex), 0);
    ClearCatalogFiles();
}

void CReportThread::PrepareJob(bool bHasFolder)
{
    if (bHasFolder)
        ::CreateDirectoryA(m_strDocumentFolder, nullptr);
}

bool CReportThread::IsWorkStopped() const
{
    return m_nCancel != 0;
}

CDocumentThread::JobFields CReportThread::Fields()
{
    return {m_nItemIndex, m_nFileCounter, m_strDocumentFolder, m_strFolderSlash};
}

void CReportThread::FillDocumentRecord()
{
    m_strTitle = Variable("DOCUMENTTITLE");
    FillRecordNames(m_strTitle, Variable("DOCUMENTINVENTOR", "NA"), Variable("DOCUMENTASSIGNEE", "NA"));
    if (!m_CatalogFiles.IsEmpty())
        m_CurrentCatalogFile.m_strFilePath = m_CatalogFiles[m_CatalogFiles.GetSize() - 1]->m_strFilePath;
}

// One page: the start page, whatever the total, never over an existing file.
bool CReportThread::PlanPages(int, PagePlan& plan)
{
    if (m_nCancel)
        return false;
    plan.nLimit = 1;
    plan.bWithinTotal = false;
    plan.bKeepExisting = true;
    return true;
}

void CReportThread::PagesMerged(const CatalogFile& merged)
{
    const CString& path = merged.m_strFilePath;
    m_strResultPath += "\\" + path.Mid(path.ReverseFind('\\') + 1);
}

CString CReportThread::ApplyKeyFunction(const CString& function, const CString& value, const CString& argument)
{
    return ApplyReportKeyFunction(function, value, argument);
}

CString CReportThread::ApplyReportKeyFunction(const CString& function, const CString& value,
                                              const CString& argument)
{
    if (function == "getKC") {
        const int k = value.Find('K');
        const int c = k >= 0 ? value.Find('C', k) : -1;
        if (c < 0)
            return value;
        CString rest = value;
        rest.Delete(0, c + 2);
        return CutAtAmpersand(rest);
    }
    if (function == "getDate") {
        const int d = value.Find("da");
        if (d < 0)
            return value;
        CString rest = value;
        rest.Delete(0, d + 5);
        return CutAtAmpersand(rest);
    }
    if (function == "isUS" || function == "RemoveWhiteSpace" || function == "FixLinkProtocol")
        return value;
    return ::ApplyKeyFunction(function, value, argument);
}

void CReportThread::BuildDocumentXml()
{
    const CTimeSpan since = SinceProjectEpoch();
    const CString uid = "DOCUID" + m_strCountryCode + m_strDocumentNumber + since.Format("%D%H%M%S");
    m_strDocumentXml.Format("<?xml version=\"1.0\" ?>\r\n\t<Document Name=\"%s%s\" ParentUID=\"1\" "
                            "DocumentTitle=\"[DOCUMENTTITLE]\" DocumentInventor=\"[DOCUMENTINVENTOR]\" "
                            "DocumentAssignee=\"[DOCUMENTASSIGNEE]\" DownloadDate=\"%d\" TotalSize=\"\" "
                            "UID=\"%s\">\r\n<XMLCatalog>\r\n\t\t",
                            EscapeXml(m_strCountryCode).GetString(), EscapeXml(m_strDocumentNumber).GetString(),
                            static_cast<int>(since.GetTotalSeconds() & 0xFFFFFFFF), EscapeXml(uid).GetString());
    m_strDocumentXml += "\t</XMLCatalog></Document>";
}
