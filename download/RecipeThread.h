// CRecipeThread: the recipe interpreter of the program's worker threads. The recipe file
// Download.cfg is one small language, and the download thread, the report thread and the
// search thread all speak it through this class: variables and the filling of "[NAME]"
// placeholders (plain, and escaped for patterns), the step guard (Condition), the page guard
// (FatalCondition), the Extract rules, the HardCodeKey entries with their key functions and
// their two moments (before the step, or after it with DelayProcess "Yes"), URL encoding,
// the Process step, and the walk over a list of Step elements in which every step is
// guarded, so that no exception leaves a step.
//
// A thread derives from it and hands it what is its own: the rules of its dialect of the
// language (RecipeRules, below) and the hooks (the protected virtual functions): its variable
// map, its stop test, its key functions, its step types, its page fetch. The threads that
// fetch documents derive from CDocumentThread, which adds their common job.
#pragma once

#include "Framework.h"
#include "RecipeFile.h"
#include "URLEncode.h"
#include "XmlHelpers.h"

#include <exception>

// The points where the threads' dialects of the recipe language differ. The defaults are
// the download thread's; the report thread and the search thread name what they do
// otherwise.
struct RecipeRules
{
    // Conditions. False: a Condition without Target brings up a warning box and is left
    // out, and every condition is tested. True: a Condition without Target, or the first
    // failing one, skips the step at once, without a word.
    bool bStrictConditions = false;
    // Converse="1" on a Condition or a FatalCondition inverts its test.
    bool bConverse = false;
    // MultiMatch (any case of "true") joins every whole match of an Extract pattern.
    bool bMultiMatch = true;
    // ReplaceNull="Yes" turns the NUL characters of an Extract rule's source into blanks.
    bool bReplaceNull = false;
    // The service's error page fails the extraction.
    bool bServiceErrorPage = true;
    // An extracted RESULTS of "0" fails the extraction: the source has no such document.
    bool bNoResultsFails = true;
    // The stop test before the extraction and before each of its rules.
    bool bStopEndsExtraction = false;
    // A key's Argument has its placeholders filled.
    bool bFillKeyArguments = true;
    // A key's value loses its carriage returns and line feeds.
    bool bKeysWithoutLineBreaks = true;
    // The walk runs a step's delayed keys after the step succeeded; false: the steps run
    // them themselves, where their work allows.
    bool bDelayedKeysAfterStep = true;
};

class CRecipeThread : public CWinThread
{
    DECLARE_DYNAMIC(CRecipeThread)
public:
    ~CRecipeThread() override;

    // COM for the thread (apartment-threaded), and again released at its end.
    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    explicit CRecipeThread(const RecipeRules& rules);

    // "[NAME]" placeholders filled from the variables, in the map's order, in one pass;
    // placeholders of variables that do not exist stay.
    CString ReplaceVariables(const CString& text);
    // The same with every value escaped for use inside a pattern first.
    CString ReplaceVariablesEscaped(const CString& text);
    // The variable's value; the given text when it does not exist.
    CString Variable(const CString& name, const CString& missing = CString());

    // The step guard: 1 when the step's conditions hold (see RecipeRules), else 0.
    int CheckCondition(IXMLDOMNodePtr step);
    // 0 when a FatalCondition pattern of the step marks the page as fatal, else 1.
    int CheckFatalCondition(const CString& page, IXMLDOMNodePtr step);
    // Applies the step's Extract rules to the page: 1 success, 0 the step fails.
    int ExtractValues(IXMLDOMNodePtr step, const CString& page);
    // The step's HardCodeKey entries: the immediate ones (before the step) or the delayed
    // ones (DelayProcess "Yes").
    void ApplyHardCodeKeys(IXMLDOMNodePtr step, bool bDelayed);
    void ApplyImmediateHardCodeKeys(IXMLDOMNodePtr step);
    // The Process step: the step's Url filled and fetched, the page guard, the extraction.
    // 1 success, 0 the step fails.
    int ProcessStep(IXMLDOMNodePtr step);

    // The Step children of the node in document order, each tested by its conditions, given
    // its immediate keys, run by its type and, as the rules say, given its delayed keys. An
    // exception in a step is traced with the where-text and fails it. 1 every step went
    // on; 0 one failed, or the thread was stopped before one.
    int WalkSteps(IXMLDOMNodePtr parent, const char* pszWhere);

    // The recipe file Download.cfg of the program folder, deciphered and loaded into a new
    // document (LoadRecipeFile), which stays empty unless it was read.
    static RecipeFileState LoadRecipe(IXMLDOMDocument2Ptr& recipe);
    // What a search or a download that needs the recipe tells the user when it cannot be read.
    static CString RecipeFaultText(RecipeFileState state);

    // Runs the work; an exception it raises ends it and, unless the where-text is null, is
    // traced as "<class>::<where>-Exception: <what>". False when it ended so.
    template <class Work>
    bool RunGuarded(const char* pszWhere, Work&& work);
    void TraceException(const char* pszWhere, const CString& what);

    // ---- what the thread hands to the interpreter
    // The thread's variable map.
    virtual CMapStringToString& Variables() = 0;
    // True once the thread's work is to stop.
    virtual bool IsWorkStopped() const = 0;
    // Runs a step of the type (its Type attribute) after its condition and immediate keys:
    // 1 go on, 0 the walk fails. A type the thread does not know runs nothing and goes on.
    virtual int RunStep(const CString& type, IXMLDOMNodePtr step) = 0;
    // The value after the key function of the thread's set named by the key.
    virtual CString ApplyKeyFunction(const CString& function, const CString& value, const CString& argument) = 0;
    // Fetches the page of a Process step from the filled URL: above 0 a page to read, else
    // the step fails.
    virtual int FetchProcessPage(IXMLDOMNodePtr step, const CString& url, CString& page) = 0;
    // The extraction of a Process step's page.
    virtual int ExtractStepValues(IXMLDOMNodePtr step, const CString& page);
    // Whether the condition holds for the filled pattern and target: the pattern is found.
    virtual bool ConditionHolds(IXMLDOMNodePtr condition, const CString& pattern, const CString& target);
    // An Extract rule the thread answers itself: true when it stored the value.
    virtual bool ExtractOwnValue(const CString& name, const CString& page);
    // A key's value has been stored under its name.
    virtual void KeyStored(const CString& name, const CString& value);

    const RecipeRules m_rules;
    CURLEncode m_URLEncode;  // the keys' URLEncode
};

template <class Work>
bool CRecipeThread::RunGuarded(const char* pszWhere, Work&& work)
{
    try {
        work();
        return true;
    } catch (_com_error& e) {
        TraceException(pszWhere, ToAnsi(e.Description()));
    } catch (CException* e) {
        char text[512] = "";
        e->GetErrorMessage(text, sizeof text);
        e->Delete();
        TraceException(pszWhere, text);
    } catch (const std::exception& e) {
        TraceException(pszWhere, e.what());
    }
    return false;
}
