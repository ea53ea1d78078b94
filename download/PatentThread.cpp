#include "PatentThread.h"

#include "DataFiles.h"
#include "DocumentNumbers.h"
#include "DocumentRecord.h"
#include "DownloadManagerMessages.h"
#include "PatentThreadMessages.h"
#include "ProjectIds.h"
#include "RegEx.h"
#include "SafeNames.h"
#include "TextHelpers.h"

#include <shellapi.h>

#include <vector>

IMPLEMENT_DYNCREATE(CPatentThread, CDocumentThread)

BEGIN_MESSAGE_MAP(CPatentThread, CDocumentThread)
    ON_THREAD_MESSAGE(UM_THREAD_START, &CPatentThread::OnDownloadDocument)
    ON_THREAD_MESSAGE(UM_THREAD_QUIT, &CPatentThread::OnQuitThread)
    ON_THREAD_MESSAGE(UM_USE_REPLACEMENT_IMAGE, &CPatentThread::OnUseReplacementImage)
END_MESSAGE_MAP()

namespace {

// The download thread's dialect of the recipe language and its job: the defaults.
const RecipeRules kPatentRecipeRules;
const DocumentRules kPatentDocumentRules;

} // namespace

CPatentThread::CPatentThread() : CDocumentThread(kPatentRecipeRules, kPatentDocumentRules)
{
    m_WebGrab.m_pQuitFlag = &m_nQuit;
}

CPatentThread::~CPatentThread() = default;

BOOL CPatentThread::InitInstance()
{
    CDocumentThread::InitInstance();
    m_nImageRejected = -1;
    AfxSocketInit();
    return TRUE;
}

void CPatentThread::ParseDocumentNumber(CString number)
{
    m_strWrapperNumber = number;
    m_strEnteredNumber = number;

    CString work = number;
    work.Remove(' ');
    work.MakeUpper();
    work.Remove(',');

    RegEx us("US(.+)", false);
    RegEx other("([A-Z][A-Z]+)(.+)", false);
    if (us.Search(work, RegEx::MatchNotBol)) {
        m_strCountryCode = "US";
        m_strDocumentNumber = us.What(1);
    } else if (other.Search(work, RegEx::MatchNotBol)) {
        m_strCountryCode = other.What(1);
        m_strDocumentNumber = other.What(2);
    } else {
        m_strCountryCode = "US";
        m_strDocumentNumber = work;
    }
    m_nApplication = IsApplicationNumber(m_strCountryCode, m_strDocumentNumber) ? 1 : 0;
    if (m_bFileWrapperMode)
        m_strCountryCode.Empty();

    if (m_bLookupMode) {
        // The look-up's answer goes into the folder it was given.
        m_strTempFolder = m_strTempFolderSlash;
        return;
    }
    // The document's folder is named after the number and the kind code. Neither may lead
    // out of the save folder or name it, nor name the saved reports' folder there (the job
    // empties its folder first): a number without a usable name gets no folder, and its
    // job then fails without touching the disk.
    CString fileName = StripSlashes(work);
    if (m_bFileWrapperMode)
        fileName = "FW" + fileName;
    m_strKindCode = KeepLettersAndDigits(m_strKindCode);
    const CString folderName = MakeSafeFileName(fileName + m_strKindCode);
    if (folderName.IsEmpty() || folderName.CompareNoCase("Reports") == 0) {
        m_strTempFolder.Empty();
        m_strTempFolderSlash.Empty();
        return;
    }
    m_strTempFolder = m_strTempFolderSlash + folderName;
    m_strTempFolderSlash = m_strTempFolder + "\\";
}

void CPatentThread::Cancel()
{
    if (m_bFileWrapperMode)
        m_Wrapper.Cancel();
    else
        m_WebGrab.Abort();
    m_nBusy = 0;
}

void CPatentThread::OnDownloadDocument(WPARAM, LPARAM)
{
    RunJob();
    m_Status.m_strDocumentXml = m_strDocumentXml;
    ::SendMessageA(m_hOwner, UM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(m_nDownloadID), 0);
    ClearCatalogFiles();
}

void CPatentThread::PrepareJob(bool bHasFolder)
{
    if (m_bFileWrapperMode) {
        m_Wrapper.AddMessaging(reinterpret_cast<UINT_PTR>(m_hOwner), reinterpret_cast<UINT_PTR>(&m_Status),
                               static_cast<UINT_PTR>(m_nDownloadID), UM_DOWNLOAD_PROGRESS);
        // The library is the only source.
        m_strLocationUID.Empty();
    }
    // A look-up works in the folder it was given, which is never emptied.
    if (bHasFolder && !m_bLookupMode) {
        DeleteTempFolder(m_strTempFolder, false);
        ::CreateDirectoryA(m_strTempFolder, nullptr);
    }
}

bool CPatentThread::IsLookupJob() const
{
    return m_bLookupMode;
}

void CPatentThread::SetJobVariables()
{
    m_mapVariables.SetAt("SUFFIX", m_strSuffix);
    CDocumentThread::SetJobVariables();
}

bool CPatentThread::IsWorkStopped() const
{
    return IsQuitRequested() != 0;
}

CDocumentThread::JobFields CPatentThread::Fields()
{
    return {m_nDownloadID, m_nThreadCounter, m_strTempFolder, m_strTempFolderSlash};
}

void CPatentThread::FillDocumentRecord()
{
    const char* firstPage;
    if (m_bFileWrapperMode)
        firstPage = m_bShowDialog ? "0" : "1";
    else
        firstPage = m_bFirstPageOnly ? "1" : "0";
    m_strDocumentXml.Replace("[FIRSTPAGE]", firstPage);
    m_strDocumentXml.Replace("[WRAPPER]", m_bFileWrapperMode ? "1" : "0");

    CString inventor = Variable("DOCUMENTINVENTOR", "NA");
    if (inventor == "[DOCUMENTINVENTOR]")
        inventor = "NA";
    CString assignee = Variable("DOCUMENTASSIGNEE", "NA");
    if (assignee == "[DOCUMENTASSIGNEE]")
        assignee = "NA";
    FillRecordNames(Variable("DOCUMENTTITLE"), inventor, assignee);
}

int CPatentThread::RunDownloadLocation(IXMLDOMNodePtr location)
{
    if (m_bFileWrapperMode)
        return DownloadFileWrapper();
    return CDocumentThread::RunDownloadLocation(location);
}

bool CPatentThread::HasPagesToFinish() const
{
    // In file-wrapper mode the document already is one PDF.
    return !m_bFileWrapperMode;
}

void CPatentThread::OnQuitThread(WPARAM, LPARAM)
{
    m_nQuit = 1;
    for (int i = 0; i < 30 && m_nBusy; ++i)
        ::Sleep(1000);
    AfxEndThread(1, FALSE);
}

void CPatentThread::BuildDocumentXml()
{
    m_strDocumentXml = FormatDocumentRecord(m_strCountryCode, m_strDocumentNumber, m_strKindCode,
                                            SinceProjectEpoch());
}

CString CPatentThread::EscapeXml(CString text)
{
    return ::EscapeXml(text);
}

bool CPatentThread::DeleteTempFolder(CString folder, bool bPermanent)
{
    return RunShellFileOperation(nullptr, FO_DELETE, folder, CString(), !bPermanent);
}
