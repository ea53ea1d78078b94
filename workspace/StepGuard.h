// The guard of the start-up steps of the main window and its panes: a step that throws
// is reported and the start goes on with the next step.
#pragma once

#include "Exception.h"

// Runs one step; false when it threw anything (a framework exception is deleted).
template <class Step>
bool RunStep(Step&& run)
{
    try {
        run();
        return true;
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return false;
}

// The box of a failed step, without owner, captioned "Exception": "Exception while " what,
// then the request to report it.
void ReportStepException(const char* what);
