// The time base of the library's identifiers and dates: the project epoch, the span since it,
// and the identifier of a downloaded document. The download engine makes document records
// with them; the project store starts its folder and shortcut counter from them.
#pragma once

#include "String.h"
#include "Time.h"
#include "TimeSpan.h"

// 2003-01-01 12:00:00 local time: the base of DownloadDate values and identifiers.
CTime ProjectEpoch();

// The time from the project epoch to the given moment (now, when omitted).
CTimeSpan SinceProjectEpoch(CTime now = CTime::GetCurrentTime());

// A downloaded document's identifier: "DOCUID", the record's Name, then the span as
// "%D%H%M%S" (whole days, then hours, minutes and seconds with two digits each).
CString FormatDocumentUID(CString name, CTimeSpan sinceEpoch);
