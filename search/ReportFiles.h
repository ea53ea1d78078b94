// The files of search reports: the file stem a report or session name is stored under, the
// removal of a run's folder (never anything outside the Reports folder), the text of
// Reports.xml and the date texts of report pages and entries.
#pragma once

#include "DataFiles.h"
#include "SavedReportEntry.h"

#include <windows.h>

#include <vector>

// The name as one file name in the Reports folder: every character Windows forbids in names
// (\ / : * ? " < > |) and every control character becomes "_", a trailing blank or full stop
// (which Windows would drop) becomes "_", a device name (CON, NUL, COM1, ...) gets "_" in
// front, and the empty name is "_". Ordinary names stay as they are, so reports saved
// before keep their files.
CString ReportFileStem(const CString& name);

// True when the path lies strictly below the folder (both made full paths first, letters
// compared without regard to case): the folder itself, and paths that lead out of it with
// "..", are not below it.
bool IsPathStrictlyBelow(const CString& path, const CString& folder);

// Deletes the folder with everything in it, without asking and without undo, when it lies
// strictly below the Reports folder (reportsFolder, without a trailing backslash); any
// other path is left alone and answers false.
bool DeleteFolderBelow(const CString& folder, const CString& reportsFolder, HWND hOwner);

// The whole text of Reports.xml for the entries, in their order, values XML-escaped.
CString FormatReportsXml(const std::vector<SavedReportEntry>& entries);

// Reads Reports.xml. Answers false when the file exists but is no readable list (it is then
// not to be overwritten); a missing file is an empty list and answers true. A file in the
// system code page without an encoding declaration (as written) is read as such. A file
// larger than kDataFileSizeLimit is not read, nor one of another kind (another root than
// "saved", or elements there but no "report"): false, with the fault in *pFault when given
// (DataFileFault::None for every other answer).
bool ReadReportsXml(const CString& path, std::vector<SavedReportEntry>& entries, DataFileFault* pFault = nullptr);

// "Tuesday, December 8, 2026": weekday, month, day and year of the time, English names.
CString FormatReportDate(const SYSTEMTIME& time);
