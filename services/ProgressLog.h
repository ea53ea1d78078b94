// CProgressLog: the append-only trace file ProgressLog.txt in the program folder. Each Write
// adds the message and CR LF; nothing is held open between lines. A line that cannot be
// written (no log, a full disk) is dropped silently: tracing never disturbs the caller.
// Writes from several threads of the program take turns, so none is lost to another.
#pragma once

#include "String.h"

#include <windows.h>

class CProgressLog
{
public:
    CProgressLog();
    explicit CProgressLog(CString path);

    void Write(CString message);

    const CString& GetPath() const { return m_strPath; }

private:
    CString m_strPath;
};

// A trace sink for the download engine's lines (SetTraceSink): each becomes a log line.
void TraceToProgressLog(const CString& line);

// The block written at every start: asterisk lines around the title, the date as
// day/month/year and the time on the 12-hour clock, all without leading zeros.
CString FormatLogHeader(const SYSTEMTIME& now);
