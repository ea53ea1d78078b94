#include "RecipeThread.h"

#include "DataFiles.h"
#include "FaultNotices.h"
#include "Placeholders.h"
#include "RegEx.h"
#include "TextHelpers.h"
#include "TraceLine.h"

#include <vector>

IMPLEMENT_DYNAMIC(CRecipeThread, CWinThread)

namespace {

const char kNoTargetWarning[] =
    "WARNING: Condition has no target! Please contact tech support to report this issue.";
const char kServiceErrorText[] = "If you believe that this error is caused by a fault of the application";

CString NodeText(IXMLDOMNodePtr node)
{
    return ToAnsi(node->Gettext());
}

// The attribute holds exactly the value.
bool AttributeIs(IXMLDOMNodePtr node, const char* pszName, const char* pszValue)
{
    CString value;
    return GetXmlAttribute(node, pszName, value) && value == pszValue;
}

bool IsServiceErrorPage(const CString& page)
{
    CString lowerPage = page;
    return lowerPage.MakeLower().Find(CString(kServiceErrorText).MakeLower()) >= 0;
}

// Every whole match of the pattern in the text, joined without separator.
CString AllMatches(RegEx& pattern, const CString& text)
{
    std::vector<CString> matches;
    pattern.Grep(matches, text);
    CString value;
    for (const CString& m : matches)
        value += m;
    return value;
}

} // namespace

CRecipeThread::CRecipeThread(const RecipeRules& rules) : m_rules(rules) {}

CRecipeThread::~CRecipeThread() = default;

BOOL CRecipeThread::InitInstance()
{
    ::CoInitialize(nullptr);
    return TRUE;
}

int CRecipeThread::ExitInstance()
{
    ::CoUninitialize();
    return CWinThread::ExitInstance();
}

CString CRecipeThread::ReplaceVariables(const CString& text)
{
    return FillPlaceholders(Variables(), text, false);
}

CString CRecipeThread::ReplaceVariablesEscaped(const CString& text)
{
    return FillPlaceholders(Variables(), text, true);
}

CString CRecipeThread::Variable(const CString& name, const CString& missing)
{
    CString value;
    return Variables().Lookup(name, value) ? value : missing;
}

int CRecipeThread::CheckCondition(IXMLDOMNodePtr step)
{
    int nResult = 1;
    for (IXMLDOMNodePtr condition : SelectNodes(step, L"Condition")) {
        CString target;
        if (!GetXmlAttribute(condition, "Target", target)) {
            if (m_rules.bStrictConditions)
                return 0;
            AfxMessageBox(kNoTargetWarning, MB_OK);
            continue;
        }
        bool bHolds = ConditionHolds(condition, ReplaceVariables(NodeText(condition)), ReplaceVariables(target));
        if (m_rules.bConverse && AttributeIs(condition, "Converse", "1"))
            bHolds = !bHolds;
        if (!bHolds) {
            if (m_rules.bStrictConditions)
                return 0;
            nResult = 0;
        }
    }
    return nResult;
}

bool CRecipeThread::ConditionHolds(IXMLDOMNodePtr, const CString& pattern, const CString& target)
{
    return RegEx(pattern, true).Search(target);
}

int CRecipeThread::CheckFatalCondition(const CString& page, IXMLDOMNodePtr step)
{
    for (IXMLDOMNodePtr fatal : SelectNodes(step, L"FatalCondition")) {
        bool bFound = RegEx(ReplaceVariables(NodeText(fatal)), true).Search(page);
        if (m_rules.bConverse && AttributeIs(fatal, "Converse", "1"))
            bFound = !bFound;
        if (bFound)
            return 0;
    }
    return 1;
}

int CRecipeThread::ExtractValues(IXMLDOMNodePtr step, const CString& page)
{
    if (m_rules.bStopEndsExtraction && IsWorkStopped())
        return 0;
    if (m_rules.bServiceErrorPage && IsServiceErrorPage(page))
        return 0;

    for (IXMLDOMNodePtr rule : SelectNodes(step, L"Extract")) {
        if (m_rules.bStopEndsExtraction && IsWorkStopped())
            return 0;
        CString name;
        if (!GetXmlAttribute(rule, "Name", name))
            continue;
        CString source = page;
        GetXmlAttribute(rule, "From", source);
        if (m_rules.bReplaceNull && AttributeIs(rule, "ReplaceNull", "Yes"))
            source = NullsToSpaces(source);
        source = ReplaceVariables(source);
        RegEx pattern(ReplaceVariablesEscaped(NodeText(rule)), true);
        if (ExtractOwnValue(name, page))
            continue;

        if (pattern.Search(source)) {
            CString multiMatch;
            GetXmlAttribute(rule, "MultiMatch", multiMatch);
            const bool bAll = m_rules.bMultiMatch && multiMatch.MakeLower() == "true";
            const CString value = bAll ? AllMatches(pattern, source) : pattern.What(1);
            Variables().SetAt(name, value);
            if (m_rules.bNoResultsFails && name == "RESULTS" && value == "0")
                return 0;
        } else {
            Variables().SetAt(name, "");
            if (AttributeIs(rule, "Fatal", "1"))
                return 0;
        }
    }
    return 1;
}

bool CRecipeThread::ExtractOwnValue(const CString&, const CString&)
{
    return false;
}

void CRecipeThread::ApplyImmediateHardCodeKeys(IXMLDOMNodePtr step)
{
    ApplyHardCodeKeys(step, false);
}

void CRecipeThread::ApplyHardCodeKeys(IXMLDOMNodePtr step, bool bDelayed)
{
    for (IXMLDOMNodePtr key : SelectNodes(step, bDelayed ? L"HardCodeKey[@DelayProcess='Yes']" : L"HardCodeKey")) {
        CString name;
        if (!GetXmlAttribute(key, "Name", name))
            continue;
        CString function, argument, urlEncode, delay;
        GetXmlAttribute(key, "Function", function);
        GetXmlAttribute(key, "Argument", argument);
        GetXmlAttribute(key, "URLEncode", urlEncode);
        GetXmlAttribute(key, "DelayProcess", delay);
        if (!bDelayed && delay == "Yes")
            continue;
        if (m_rules.bFillKeyArguments)
            argument = ReplaceVariables(argument);
        CString value = ApplyKeyFunction(function, ReplaceVariables(NodeText(key)), argument);
        if (urlEncode == "Yes")
            value = m_URLEncode.URLEncode(value);
        if (m_rules.bKeysWithoutLineBreaks) {
            value.Remove('\r');
            value.Remove('\n');
        }
        Variables().SetAt(name, value);
        KeyStored(name, value);
    }
}

void CRecipeThread::KeyStored(const CString&, const CString&) {}

int CRecipeThread::ProcessStep(IXMLDOMNodePtr step)
{
    IXMLDOMNodePtr url = step->selectSingleNode(L"Url");
    if (!url)
        return 0;
    CString page;
    if (FetchProcessPage(step, ReplaceVariables(NodeText(url)), page) <= 0)
        return 0;
    if (!CheckFatalCondition(page, step))
        return 0;
    return ExtractStepValues(step, page);
}

int CRecipeThread::ExtractStepValues(IXMLDOMNodePtr step, const CString& page)
{
    return ExtractValues(step, page);
}

int CRecipeThread::WalkSteps(IXMLDOMNodePtr parent, const char* pszWhere)
{
    for (IXMLDOMNodePtr step : SelectNodes(parent, L"Step")) {
        if (IsWorkStopped())
            return 0;
        // A step raises nothing to its caller: a failing XML call fails the step.
        int nResult = 1;
        const bool bRan = RunGuarded(pszWhere, [&] {
            if (!CheckCondition(step))
                return;
            ApplyImmediateHardCodeKeys(step);
            CString type;
            GetXmlAttribute(step, "Type", type);
            nResult = RunStep(type, step);
            if (nResult != 0 && m_rules.bDelayedKeysAfterStep)
                ApplyHardCodeKeys(step, true);
        });
        if (!bRan || nResult == 0)
            return 0;
    }
    return 1;
}

RecipeFileState CRecipeThread::LoadRecipe(IXMLDOMDocument2Ptr& recipe)
{
    const RecipeFileState state = LoadRecipeFile(GetAppDirectory() + "\\Download.cfg", recipe);
    if (state == RecipeFileState::Read)
        ClearFaultNotice(FaultTopic::Recipe);
    return state;
}

CString CRecipeThread::RecipeFaultText(RecipeFileState state)
{
    return RecipeFileFaultText(state, GetAppDirectory() + "\\Download.cfg") +
           "\nSearches and downloads need this file. Please install Zentrova again to restore it.";
}

void CRecipeThread::TraceException(const char* pszWhere, const CString& what)
{
    if (!pszWhere)
        return;
    WriteTraceLine(CString(GetRuntimeClass()->m_lpszClassName) + "::" + pszWhere + "-Exception: " + what);
}
