// One saved search report as Reports.xml lists it and the Saved Reports page shows it.
#pragma once

#include "String.h"

struct SavedReportEntry {
    CString strName;      // the report name; its file is ReportFileStem(name) + ".pdf"
    CString strMark;      // "Invention"
    CString strClient;    // "Client"
    CString strDateTime;  // "Tuesday, December 8, 2026"
};
