// The search thread's life, its start and stop protocol, the step walk of a run, and what it
// hands to the recipe interpreter: its dialect, its request steps with the fetcher and their
// header lines, the extraction of single values with the result-total fallback, LessOrEqual
// and its keys.
#include "SearchThread.h"

#include "OpsTokenCache.h"
#include "SearchAnswer.h"
#include "SearchText.h"
#include "SearchThreadMessages.h"
#include "ServiceHosts.h"
#include "StageClock.h"
#include "XmlHelpers.h"

#include <cstdlib>

IMPLEMENT_DYNCREATE(CSearchThread, CRecipeThread)

BEGIN_MESSAGE_MAP(CSearchThread, CRecipeThread)
    ON_THREAD_MESSAGE(UM_THREAD_START, &CSearchThread::OnStartSearch)
    ON_THREAD_MESSAGE(UM_THREAD_QUIT, &CSearchThread::OnStopThread)
END_MESSAGE_MAP()

namespace {

CString NodeText(IXMLDOMNodePtr node)
{
    return ToAnsi(node->Gettext());
}

void MergeInto(CMapStringToString& target, const CMapStringToString& source)
{
    POSITION pos = source.GetStartPosition();
    while (pos) {
        CString key, value;
        source.GetNextAssoc(pos, key, value);
        target.SetAt(key, value);
    }
}

const char kResultTotal[] = "RESULTTOTAL";

// The search thread's dialect of the recipe language.
RecipeRules SearchRecipeRules()
{
    RecipeRules rules;
    rules.bStrictConditions = true;
    rules.bConverse = true;
    rules.bMultiMatch = false;
    rules.bReplaceNull = true;
    rules.bServiceErrorPage = false;
    rules.bNoResultsFails = false;
    rules.bFillKeyArguments = false;
    rules.bKeysWithoutLineBreaks = false;
    rules.bDelayedKeysAfterStep = false;
    return rules;
}

} // namespace

CSearchThread::CSearchThread() : CRecipeThread(SearchRecipeRules())
{
    m_WebGet.m_pQuitFlag = &m_bCancel;
}

CSearchThread::~CSearchThread() = default;

// ------------------------------------------------------------------ start and stop

void CSearchThread::SetParameters(const CMapStringToString& parameters)
{
    std::lock_guard<std::mutex> lock(m_startLock);
    MergeInto(m_PendingParameters, parameters);
}

int CSearchThread::Start()
{
    int nTag;
    {
        std::lock_guard<std::mutex> lock(m_startLock);
        auto inputs = std::make_unique<StartInputs>();
        inputs->nTag = nTag = ++m_nLastStartTag;
        inputs->strRecipeNodePath = m_strRecipeNodePath;
        MergeInto(inputs->parameters, m_PendingParameters);
        m_PendingParameters.RemoveAll();
        m_Starts.push_back(std::move(inputs));
    }
    if (PostThreadMessage(UM_THREAD_START, static_cast<WPARAM>(nTag), 0))
        return nTag;
    std::lock_guard<std::mutex> lock(m_startLock);
    for (auto it = m_Starts.begin(); it != m_Starts.end(); ++it) {
        if ((*it)->nTag == nTag) {
            m_Starts.erase(it);
            break;
        }
    }
    return 0;
}

int CSearchThread::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_startLock);
        m_nStoppedThroughTag = m_nLastStartTag;
        m_bCancel = 1;
    }
    m_WebGet.Abort();
    m_bBusy = 0;
    return 0;
}

CString CSearchThread::TakeStartInputs(int nTag)
{
    std::lock_guard<std::mutex> lock(m_startLock);
    // Starts are taken in the order they were posted; an entry older than this tag belongs
    // to a message that never arrived.
    while (!m_Starts.empty() && m_Starts.front()->nTag < nTag)
        m_Starts.pop_front();
    CString path;
    if (!m_Starts.empty() && m_Starts.front()->nTag == nTag) {
        MergeInto(m_Parameters, m_Starts.front()->parameters);
        path = m_Starts.front()->strRecipeNodePath;
        m_Starts.pop_front();
    } else {
        // A start message posted without Start: the inputs as they stand.
        MergeInto(m_Parameters, m_PendingParameters);
        m_PendingParameters.RemoveAll();
        path = m_strRecipeNodePath;
    }
    if (nTag > m_nStoppedThroughTag)
        m_bCancel = 0;
    m_nRunTag = nTag;
    return path;
}

bool CSearchThread::TakeResultSet(CString& text)
{
    if (m_ResultQueue.IsEmpty())
        return false;
    text = m_ResultQueue.GetAt(0);
    m_ResultQueue.RemoveAt(0);
    return true;
}

void CSearchThread::OnStopThread(WPARAM, LPARAM)
{
    m_bCancel = 1;
    if (m_bBusy == 0)
        AfxEndThread(1, FALSE);
}

// ------------------------------------------------------------------ the step walk

void CSearchThread::OnStartSearch(WPARAM wParam, LPARAM)
{
    m_bBusy = 1;
    const CString path = TakeStartInputs(static_cast<int>(wParam));
    m_nRangeStart = 0;
    m_nRangeEnd = 0;
    m_nResultTotal = 0;
    m_fKBps = 0.0f;
    m_bSearchDone = 0;
    m_nRunFault = RunComplete;
    m_strRunFault.Empty();
    // Pages of a superseded run that its owner never took go with it.
    m_ResultQueue.RemoveAll();
    m_nNextResultId = 1;

    // No exception may leave the run: the owner must hear of its end in every case.
    RunGuarded("OnStartSearch()", [&] { RunSteps(path); });

    m_bSearchDone = 1;
    m_Parameters.RemoveAll();
    m_bBusy = 0;
    ::SendMessageA(m_hOwner, UM_SEARCH_PROGRESS, static_cast<WPARAM>(m_nRunTag), 0);
}

void CSearchThread::RunSteps(const CString& recipeNodePath)
{
    IXMLDOMDocument2Ptr recipe;
    // Without its recipe the run asks nothing and says why.
    const RecipeFileState state = LoadRecipe(recipe);
    if (state != RecipeFileState::Read) {
        NoteRunFault(RunNoRecipe, RecipeFaultText(state));
        return;
    }
    if (recipeNodePath.IsEmpty())
        return;
    IXMLDOMNodePtr node = recipe->selectSingleNode(_bstr_t(recipeNodePath));
    if (node)
        WalkSteps(node, "RunSteps()");
}

int CSearchThread::RunStep(const CString& type, IXMLDOMNodePtr step)
{
    if (type == "Process")
        return RunProcessStep(step);
    if (type == "Collection")
        return RunCollectionStep(step);
    return 1;
}

bool CSearchThread::IsWorkStopped() const
{
    return m_bCancel != 0;
}

CMapStringToString& CSearchThread::Variables()
{
    return m_Parameters;
}

bool CSearchThread::ConditionHolds(IXMLDOMNodePtr condition, const CString& pattern, const CString& target)
{
    CString lessOrEqual;
    if (GetXmlAttribute(condition, "LessOrEqual", lessOrEqual))
        return WholeNumber(target) <= WholeNumber(pattern);
    return CRecipeThread::ConditionHolds(condition, pattern, target);
}

int CSearchThread::CheckFatalCondition(IXMLDOMNodePtr step, const CString& page)
{
    return CRecipeThread::CheckFatalCondition(page, step);
}

void CSearchThread::ReadHttpHeaders(IXMLDOMNodePtr step)
{
    CString& extra = m_WebGet.m_strExtraHeaders;
    for (IXMLDOMNodePtr header : SelectNodes(step, L"HTTPHeader")) {
        const CString line = FillPlaceholders(NodeText(header) + "\r\n");
        if (("\r\n" + extra).Find("\r\n" + line) < 0)
            extra += line;
    }
}

int CSearchThread::RunProcessStep(IXMLDOMNodePtr step)
{
    if (!ProcessStep(step))
        return 0;
    RunHardCodeKeys(step, 1);
    return 1;
}

int CSearchThread::FetchProcessPage(IXMLDOMNodePtr step, const CString& filledUrl, CString& page)
{
    CString url = filledUrl;
    // Full-text queries in the ORCL fields search the text database, not the full one.
    if (url.Find("FIELD1=ORCL") >= 0 || url.Find("FIELD2=ORCL") >= 0)
        url.Replace("d=pall", "d=ptxt");
    ReadHttpHeaders(step);

    const int nFetched = FetchStepPage(url, page);
    if (nFetched <= 0)
        return nFetched;
    m_Parameters.SetAt("HTTPHEADER", m_WebGet.m_strResponseHeaders);
    return 1;
}

int CSearchThread::ExtractStepValues(IXMLDOMNodePtr step, const CString& page)
{
    if (ExtractRows(step, page))
        return 1;
    NoteRunFault(RunIncomplete, IncompleteText(AnswerUnreadable));
    return 0;
}

int CSearchThread::FetchStepPage(const CString& url, CString& page)
{
    const int nCount = m_WebGet.GrabWebPage(url, page, 320, false);
    if (m_bCancel || m_WebGet.m_nFetchResult == CWebGet::FetchAborted)
        return 0;
    if (nCount == 0) {
        const int n = m_WebGet.m_nFetchResult;
        const IncompleteAnswer reason = n == CWebGet::FetchNoReply ? AnswerNoReply
                                        : n == CWebGet::FetchEmpty ? AnswerEmpty
                                                                   : AnswerBroken;
        NoteRunFault(RunIncomplete, IncompleteText(reason));
        return 0;
    }
    CString code, message;
    CStageTimer timer("fault check");
    const bool bFault = ReadServiceFault(page, code, message);
    timer.Stop();
    if (bFault && IsNothingFoundFault(code))
        return -1;
    if (bFault || m_WebGet.m_dwStatusCode != 200) {
        // OPS refuses a request without a token when its token endpoint refused the keys.
        const int nKeys = IsOpsUrl(url) ? COpsTokenCache::KeyFault() : COpsTokenCache::OpsKeysAccepted;
        if (nKeys != COpsTokenCache::OpsKeysAccepted)
            NoteRunFault(RunNoKeys, COpsTokenCache::KeyFaultText(nKeys));
        else
            NoteRunFault(RunRefused, RefusalText(m_WebGet.m_dwStatusCode, m_WebGet.m_strStatusText, code, message));
        return 0;
    }
    return 1;
}

void CSearchThread::NoteRunFault(int nFault, const CString& text)
{
    if (m_nRunFault != RunComplete)
        return;
    m_nRunFault = nFault;
    m_strRunFault = text;
}

int CSearchThread::ExtractRows(IXMLDOMNodePtr step, const CString& page)
{
    if (!ExtractValues(step, page))
        return 0;

    // Result lists that print their size as "Approximately <STRONG>N</STRONG> results found"
    // give the total without an Extract rule.
    if (Parameter(kResultTotal).IsEmpty() && page.Find("results found") >= 0) {
        static const char kOpening[] = "Approximately <STRONG>";
        const int start = page.Find(kOpening);
        const int end = start >= 0 ? page.Find("</STRONG>", start) : -1;
        if (end >= 0) {
            const int first = start + static_cast<int>(sizeof kOpening) - 1;
            m_Parameters.SetAt(kResultTotal, end >= first ? page.Mid(first, end - first) : CString());
        }
    }
    return 1;
}

// ------------------------------------------------------------------ placeholders and keys

CString CSearchThread::FillPlaceholders(const CString& text)
{
    return ReplaceVariables(text);
}

CString CSearchThread::FillPlaceholdersForRegex(const CString& text)
{
    return ReplaceVariablesEscaped(text);
}

CString CSearchThread::Parameter(const char* pszKey) const
{
    CString value;
    m_Parameters.Lookup(pszKey, value);
    return value;
}

void CSearchThread::RunStepKeys(IXMLDOMNodePtr step)
{
    ApplyImmediateHardCodeKeys(step);
}

void CSearchThread::RunHardCodeKeys(IXMLDOMNodePtr step, int bDelayed)
{
    ApplyHardCodeKeys(step, bDelayed != 0);
}

CString CSearchThread::ApplyKeyFunction(const CString& function, const CString& value, const CString& argument)
{
    return ApplySearchKeyFunction(function, value, argument);
}

void CSearchThread::KeyStored(const CString& name, const CString& value)
{
    if (name == "MAINDOCUMENT")
        m_strPage = value;
}
