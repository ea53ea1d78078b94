// What the Search Report page needs of the report run, which the Saved Reports page carries:
// the page hands it a session to build a report from, may stop it, and lends it the
// controls that the run enables, disables and writes while it works.
#pragma once

#include "SearchSession.h"

class CWnd;

class CReportRunner
{
public:
    virtual ~CReportRunner() = default;

    // The Search Report page's Stop button, Generate button and status text, handed over
    // before each start.
    virtual void SetReportControls(CWnd* pStop, CWnd* pGenerate, CWnd* pStatus) = 0;
    // The progress pop-up the run hides at its end (may be null).
    virtual void SetReportPopup(CWnd* pPopup) = 0;
    virtual void StartReport(SearchSession session) = 0;
    virtual void StopReport() = 0;
    // A run is under way.
    virtual bool IsReportBusy() const = 0;
    // A stopped run waits for its thread's answer; no new run can start yet.
    virtual bool IsReportStopping() const = 0;
};
