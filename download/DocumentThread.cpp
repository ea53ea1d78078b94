// The document job of the download and report threads: its set-up and end, the walk of the
// recipe's sources, the steps of one source and the record's names.
#include "DocumentThread.h"

#include "DocumentRecord.h"
#include "OpsTokenCache.h"
#include "ServiceHosts.h"
#include "TextHelpers.h"
#include "TraceLine.h"

IMPLEMENT_DYNAMIC(CDocumentThread, CRecipeThread)

namespace {

// The priority attribute of a document class.
const char* PriorityAttribute(const CString& countryCode, int nApplication, bool bEuropean)
{
    if (countryCode == "US")
        return nApplication == 1 ? "USApplicationPriority" : "USPatentPriority";
    if (bEuropean && countryCode == "EP")
        return nApplication == 1 ? "EuropeanApplicationPriority" : "EuropeanPatentPriority";
    return nApplication == 1 ? "InternationalApplicationPriority" : "InternationalPatentPriority";
}

CString Decimal(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

} // namespace

CDocumentThread::CDocumentThread(const RecipeRules& recipeRules, const DocumentRules& documentRules)
    : CRecipeThread(recipeRules), m_mapVariables(10), m_documentRules(documentRules)
{
}

CDocumentThread::~CDocumentThread()
{
    ClearCatalogFiles();
}

CMapStringToString& CDocumentThread::Variables()
{
    return m_mapVariables;
}

void CDocumentThread::RunJob()
{
    m_nBusy = 1;
    m_Status.Reset();
    BuildDocumentXml();
    const bool bHasFolder = !Fields().folder.IsEmpty();
    PrepareJob(bHasFolder);
    m_mapVariables.RemoveAll();
    SetJobVariables();

    m_nJobFault = JobFaultNone;
    m_strJobFault.Empty();
    m_bAskedOps = false;

    // No exception may leave the job: the owner must hear of its end in every case.
    RecipeFileState recipeState = RecipeFileState::Read;
    RunGuarded("OnDownloadDocument()", [&] {
        IXMLDOMDocument2Ptr recipe;
        recipeState = LoadRecipe(recipe);
        // Without its recipe no source can run, whatever the number.
        if (bHasFolder && recipeState == RecipeFileState::Read)
            RunSources(recipe);
    });
    // A stop that came while the document was being finished: it is not filed, so nothing of
    // it stays either.
    if (m_Status.m_nSuccess && IsWorkStopped() && !IsLookupJob())
        m_Status.m_nSuccess = 0;
    if (!m_Status.m_nSuccess && (!m_CatalogFiles.IsEmpty() || !m_PageCopies.IsEmpty()))
        DiscardLocationFiles();
    if (!m_Status.m_nSuccess && !IsWorkStopped()) {
        if (recipeState != RecipeFileState::Read) {
            m_nJobFault = JobFaultRecipe;
            m_strJobFault = RecipeFaultText(recipeState);
        }
        NoteJobFault();
    }

    m_nBusy = 0;
    if (!m_Status.m_nSuccess && bHasFolder && !IsLookupJob())
        ::RemoveDirectoryA(Fields().folder);
    m_Status.m_nDone = 1;
}

void CDocumentThread::NoteJobFault()
{
    if (m_nJobFault == JobFaultNone && m_bAskedOps) {
        const int nKeys = COpsTokenCache::KeyFault();
        if (nKeys != COpsTokenCache::OpsKeysAccepted) {
            m_nJobFault = JobFaultKeys;
            m_strJobFault = COpsTokenCache::KeyFaultText(nKeys);
        }
    }
    if (m_nJobFault == JobFaultNone)
        return;
    WriteTraceLine(CString(GetRuntimeClass()->m_lpszClassName) + "::OnDownloadDocument()-" +
                   FirstLine(m_strJobFault));
}

void CDocumentThread::SetJobVariables()
{
    m_mapVariables.SetAt("COUNTRYCODE", m_strCountryCode);
    m_mapVariables.SetAt("DOCUMENTNUMBER", m_strDocumentNumber);
    m_mapVariables.SetAt("KINDCODE", m_strKindCode);
    m_mapVariables.SetAt("THREADID", Decimal(Fields().nId));
}

void CDocumentThread::RunSources(IXMLDOMDocument2Ptr recipe)
{
    const CString attribute = IsLookupJob() ? "PCTLookupPriority"
                                            : PriorityAttribute(m_strCountryCode, m_nApplication,
                                                                m_documentRules.bEuropeanPriorities);
    ClearCatalogFiles();

    bool bDone = false;
    for (int nTurn = 1, nPriority = 1; !bDone && !IsWorkStopped() && m_nBusy != 0; ++nTurn, ++nPriority) {
        IXMLDOMNodePtr lookAhead;
        IXMLDOMNodePtr source = SelectSource(recipe, attribute, nPriority, lookAhead);
        if (!source) {
            bDone = true;
            m_Status.m_nSuccess = 0;
            m_Status.m_nCurrentPage = 0;
            continue;
        }

        int nResult = RunDownloadLocation(source);
        // A stop between pages ends the page loop as if the document were whole: what came
        // so far is no document.
        if (nResult == 1 && IsWorkStopped())
            nResult = 0;
        if (nResult == 1 && m_documentRules.bSourceNeedsFile && m_CatalogFiles.IsEmpty())
            nResult = 0;
        if (nResult == 1 && IsLookupJob()) {
            bDone = true;
            m_Status.m_nSuccess = 1;
            continue;
        }
        if (nResult == 1) {
            if (!FinishDocument() && lookAhead) {
                nResult = 0;
            } else {
                bDone = true;
                m_Status.m_nSuccess = 1;
                FillDocumentRecord();
            }
        }
        if (nResult == 0) {
            DiscardLocationFiles();
            if (TriesAnotherSource(nTurn))
                m_nBusy = 1;
            else
                bDone = true;
        }
        RestoreNumberVariables();
    }
}

IXMLDOMNodePtr CDocumentThread::SelectSource(IXMLDOMDocument2Ptr recipe, const CString& attribute,
                                             int nPriority, IXMLDOMNodePtr& lookAhead)
{
    CString xpath;
    if (!m_strLocationUID.IsEmpty()) {
        xpath.Format("/ParsingInformation/DownloadLocation[@UID='%s']", m_strLocationUID.GetString());
        return recipe->selectSingleNode(_bstr_t(xpath));
    }
    xpath.Format("/ParsingInformation/DownloadLocation[@%s='%d']", attribute.GetString(), nPriority);
    IXMLDOMNodePtr source = recipe->selectSingleNode(_bstr_t(xpath));
    if (m_documentRules.bLookAhead) {
        xpath.Format("/ParsingInformation/DownloadLocation[@%s='%d']", attribute.GetString(), nPriority + 1);
        lookAhead = recipe->selectSingleNode(_bstr_t(xpath));
    }
    return source;
}

bool CDocumentThread::TriesAnotherSource(int nTurn) const
{
    if (m_documentRules.bEveryPriority)
        return m_strLocationUID.IsEmpty();
    return nTurn == 1;
}

void CDocumentThread::RestoreNumberVariables()
{
    m_mapVariables.SetAt("COUNTRYCODE", m_strCountryCode);
    m_mapVariables.SetAt("DOCUMENTNUMBER", m_strDocumentNumber);
}

int CDocumentThread::RunDownloadLocation(IXMLDOMNodePtr location)
{
    m_strSourceName.Empty();
    GetXmlAttribute(location, "Name", m_strSourceName);
    return WalkSteps(location, "RunDownloadLocation()");
}

int CDocumentThread::RunStep(const CString& type, IXMLDOMNodePtr step)
{
    if (type == "Process")
        return ProcessStep(step, m_strSourceName);
    if (type == "ImageCollection")
        return ImageCollectionStep(step, m_strSourceName);
    return RunOwnStep(type, step, m_strSourceName);
}

int CDocumentThread::RunOwnStep(const CString&, IXMLDOMNodePtr, const CString&)
{
    return 1;
}

int CDocumentThread::ProcessStep(IXMLDOMNodePtr step, CString /*locationName*/)
{
    return CRecipeThread::ProcessStep(step);
}

int CDocumentThread::FetchProcessPage(IXMLDOMNodePtr, const CString& url, CString& page)
{
    if (IsOpsUrl(url))
        m_bAskedOps = true;
    m_WebGrab.m_dwReceiveTimeout = m_dwReplyTimeout;
    const int nSize = m_WebGrab.GrabWebPage(url, page, 320, false);
    RewritePage(page);
    // The page fetcher hands on no reply headers.
    m_mapVariables.SetAt("HTTPHEADER", "");
    return nSize;
}

void CDocumentThread::RewritePage(CString&) {}

void CDocumentThread::PageStarting() {}

void CDocumentThread::FillRecordNames(const CString& title, const CString& inventor, const CString& assignee)
{
    CString cleaned = CleanTitleText(title);
    cleaned.Trim();
    m_strDocumentXml.Replace("[DOCUMENTTITLE]", EscapeXml(cleaned));
    m_strDocumentXml.Replace("[DOCUMENTINVENTOR]", EscapeXml(inventor));
    m_strDocumentXml.Replace("[DOCUMENTASSIGNEE]", EscapeXml(assignee));
}
