// CSearchThread: the worker that runs one web search at a time for the search pane. It is a
// user-interface thread with its own message queue that lives as long as its owner. For a
// run it takes a parameter map (the query under SEARCHSTRING, beside the search page's field
// values) and the XPath of one ProcessConfiguration node of the recipe file Download.cfg, and
// walks that node's Step list: it checks each step's conditions, computes its keys, runs
// request steps ("Process") and paged result-collection steps ("Collection"), queues one
// result-set text per result page and tells its owner by UM_SEARCH_PROGRESS.
//
// How an owner uses it (all calls on the owner's user-interface thread):
//
// Creating: AfxBeginThread(RUNTIME_CLASS(CSearchThread), THREAD_PRIORITY_NORMAL, 0,
//   CREATE_SUSPENDED), then m_bAutoDelete = FALSE (the object outlives the thread) and
//   ResumeThread. The thread is idle until a start.
//
// Starting a run: set m_hOwner (the window that receives UM_SEARCH_PROGRESS) and
//   m_strRecipeNodePath (for example "/ParsingInformation/SearchLocation[@UID='...']/
//   Basic/ProcessConfiguration"), call SetParameters with the page's map, then Start(). Start
//   hands these inputs over to the run it posts (UM_THREAD_START) and answers that run's tag,
//   a number that grows with every start (0 when the message could not be posted). The
//   inputs belong to that run alone: a start made while an earlier, stopped run is still
//   ending keeps its inputs, and the owner may set the next run's inputs at any time.
//
// Reading a run: every UM_SEARCH_PROGRESS carries the tag of the run that sent it in wParam.
//   The owner handles only messages whose tag is that of its latest start and ignores the
//   others (they come from a superseded run that is still ending; their pages are dropped at
//   the next run's start). While it handles one it may read m_nRangeStart, m_nRangeEnd,
//   m_nResultTotal, m_fKBps and m_bSearchDone and take the oldest result-set text with
//   TakeResultSet (one per message: the message for a page comes after that page's text was
//   queued). The message with m_bSearchDone 1 is the run's last; it comes exactly once per
//   run, also after a stop or a failure. m_bCancel is then 1 when the run was stopped (the
//   owner need not clear it: the next start does). m_nRunFault then says whether the run
//   got every answer it asked for: RunRefused when the service refused a request (a status
//   other than 200 after the token rule, or its fault answer), RunIncomplete when an answer
//   did not come, broke off, was empty or damaged, or gave fewer or repeated results, or
//   results beyond the total it named; RunNoRecipe when the recipe file Download.cfg cannot
//   be read (nothing is asked); RunNoKeys when the OPS service refused a request because its
//   token endpoint refused the program's keys. The pages delivered before stay.
//   m_strRunFault holds the message that says so. An answer by which the service says it
//   holds nothing (its "not found" fault) is no fault: the list simply ends there.
//
// A result-set text is plain XML without a declaration, lines ended by CR LF:
//   "<ResultSet>", then per row of the page "\t<Result ID=\"N\">", one line
//   "\t\t<NAME>value</NAME>" per value (NAME a Match name of the recipe; the search pane
//   reads PATNUM and TITLE; values escaped for XML, percent escapes as character references),
//   "\t</Result>", and "</ResultSet>" last. IDs run on from 1 over all pages of a run. A page
//   without rows gives the first and the last line only.
//
// Stopping a run: Stop(). It stops the running run and every run started before the call;
//   the stopped run still ends with its last message (m_bSearchDone 1, m_bCancel 1). A run
//   started after the stop runs normally: its start clears m_bCancel.
//
// Ending the thread: Stop(), then PostThreadMessage(UM_THREAD_QUIT, 0, 0); the thread ends
//   with exit code 1 once the running run has ended. Poll GetExitCodeThread(m_hThread) until
//   it is no longer STILL_ACTIVE, then delete the object.
//
// The recipe interpreter is the program's one (CRecipeThread), in the search thread's dialect:
// a Condition without Target or the first failing one skips its step, Converse inverts a
// condition, LessOrEqual compares numbers, ReplaceNull, no MultiMatch, RESULTS or error-page
// rule, a key's Argument taken as written and its line breaks kept, and the delayed keys
// run by the steps themselves. Its own are the fetcher with its header lines, the result
// collection and the key functions of search recipes.
// The interpreter's operations are public so that they can be driven one by one.
#pragma once

#include "RecipeThread.h"
#include "WebGet.h"

#include <deque>
#include <memory>
#include <mutex>

class CSearchThread : public CRecipeThread
{
    DECLARE_DYNCREATE(CSearchThread)
public:
    CSearchThread();
    ~CSearchThread() override;

    // Adds the map's keys and values to the inputs of the next Start, replacing equal keys.
    void SetParameters(const CMapStringToString& parameters);
    // Posts a run with the inputs handed over since the last start (see above); answers its
    // tag, or 0 when the thread could not be reached.
    int Start();
    // Stops the running run and every run started before: sets m_bCancel, aborts the running
    // page fetch and clears m_bBusy. Answers 0.
    int Stop();
    // Takes the oldest queued result-set text; false when none is queued. Only while the
    // owner handles a UM_SEARCH_PROGRESS of the thread.
    bool TakeResultSet(CString& text);

    // The step walk of one run over the ProcessConfiguration node at the path.
    void RunSteps(const CString& recipeNodePath);

    // 1 when every Condition of the step holds, each on its own; 0 when one fails or has no
    // Target.
    using CRecipeThread::CheckCondition;
    // 0 when a FatalCondition of the step marks the page as fatal, each tested on its own;
    // else 1.
    int CheckFatalCondition(IXMLDOMNodePtr step, const CString& page);
    // Fetches the step's Url and extracts values from the page: 1 go on, 0 end the walk.
    int RunProcessStep(IXMLDOMNodePtr step);
    // Adds the step's HTTPHeader lines to the fetcher's extra request-header text; a line
    // that is there already is not added again.
    void ReadHttpHeaders(IXMLDOMNodePtr step);
    // The step's Extract rules on the page, then the RESULTTOTAL fallback: 1 go on, 0 an
    // Extract with Fatal "1" found nothing.
    int ExtractRows(IXMLDOMNodePtr step, const CString& page);

    // Fetches the page of a step: 1 a page to read; 0 the fetch failed or the service
    // refused it (the run's fault then says so, unless the run was stopped); -1 the service
    // answered that it holds nothing for the request.
    int FetchStepPage(const CString& url, CString& page);
    // Notes why the run did not get its answers; the first fault of a run is the one kept.
    void NoteRunFault(int nFault, const CString& text);

    // Pages through a result list: 1 when paging ended by its condition, a fatal condition or
    // the service's "nothing found", 0 when the step failed.
    int RunCollectionStep(IXMLDOMNodePtr step);
    // Reads the step's ExtractionTemplate into the template members: 1, or 0 when a required
    // element or a Match name is missing.
    int ReadExtractionTemplate(IXMLDOMNodePtr step);
    // Cuts the page into rows with the template and queues their result-set text; with
    // bOutsideHost a value holding "/" after its first character is no title. The first
    // nSkip rows are left out and at most nMaxRows rows follow them (below 0: no limit);
    // answers how many rows the page was found to hold, looking no further than one row past
    // those, so that a page holding more than it may give shows it.
    int WriteResultSet(const CString& page, bool bOutsideHost, int nSkip = 0, int nMaxRows = -1);

    // The text with the parameters' placeholders filled; for patterns, the values escaped.
    CString FillPlaceholders(const CString& text);
    CString FillPlaceholdersForRegex(const CString& text);
    // The parameter's value; empty when there is none.
    CString Parameter(const char* pszKey) const;
    // The step's immediate keys (before the step runs).
    void RunStepKeys(IXMLDOMNodePtr step);
    // The step's keys: bDelayed 0 the immediate ones, 1 those with DelayProcess "Yes".
    void RunHardCodeKeys(IXMLDOMNodePtr step, int bDelayed);

    // Inputs of a run, written by the owner before Start.
    CString m_strRecipeNodePath;
    HWND m_hOwner = nullptr;

    // The parameter map of the running run: its inputs, then the keys and extractions of the
    // recipe; emptied at the end of every run.
    CMapStringToString m_Parameters;
    CWebGet m_WebGet;

    // Progress record, read by the owner while it handles UM_SEARCH_PROGRESS. The numbers
    // are read from the service's pages in 64 bits, held at the largest value.
    long long m_nRangeStart = 0;   // first result number of the page last delivered
    long long m_nRangeEnd = 0;     // last result number of the page last delivered
    long long m_nResultTotal = 0;  // total number of results of the search
    float m_fKBps = 0.0f;          // transfer rate of the page last fetched, KB/s
    int m_bSearchDone = 0;         // 1 once the run's step walk has ended
    int m_nRunTag = 0;             // tag of the run that sends the messages

    // Why the run ended without every answer it asked for (see above); set before the last
    // message, cleared at every start.
    enum { RunComplete = 0, RunRefused = 1, RunIncomplete = 2, RunNoRecipe = 3, RunNoKeys = 4 };
    int m_nRunFault = RunComplete;
    CString m_strRunFault;

    volatile int m_bCancel = 0;  // set by Stop and UM_THREAD_QUIT; every fetch then fails
    volatile int m_bBusy = 0;    // 1 while a run's step walk runs

    // The extraction template of the current Collection step.
    CString m_strRowTemplate;
    CString m_strExactTemplate;
    CStringArray m_MatchNames;
    int m_bRemoveHtml = 0;

    CStringArray m_ResultQueue;  // result-set texts waiting for the owner, oldest first
    int m_nNextResultId = 1;     // ID of the next Result of the run
    CString m_strPage;           // the current page of a Collection step

protected:
    afx_msg void OnStartSearch(WPARAM wParam, LPARAM lParam);
    afx_msg void OnStopThread(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The interpreter's hooks.
    CMapStringToString& Variables() override;
    bool IsWorkStopped() const override;
    int RunStep(const CString& type, IXMLDOMNodePtr step) override;
    CString ApplyKeyFunction(const CString& function, const CString& value, const CString& argument) override;
    int FetchProcessPage(IXMLDOMNodePtr step, const CString& url, CString& page) override;
    int ExtractStepValues(IXMLDOMNodePtr step, const CString& page) override;
    // LessOrEqual: the target's whole number is not above the pattern's.
    bool ConditionHolds(IXMLDOMNodePtr condition, const CString& pattern, const CString& target) override;
    // MAINDOCUMENT replaces the current page.
    void KeyStored(const CString& name, const CString& value) override;

private:
    // The inputs of one start, kept until its run begins.
    struct StartInputs
    {
        int nTag = 0;
        CString strRecipeNodePath;
        CMapStringToString parameters;
    };

    // At the beginning of the run with the tag: its inputs merged into m_Parameters and its
    // recipe path; m_bCancel cleared unless a stop came after the start.
    CString TakeStartInputs(int nTag);

    std::mutex m_startLock;                           // guards the members below
    CMapStringToString m_PendingParameters;           // SetParameters since the last Start
    std::deque<std::unique_ptr<StartInputs>> m_Starts;  // posted, not yet begun
    int m_nLastStartTag = 0;
    int m_nStoppedThroughTag = 0;                     // runs up to this tag are stopped
};
