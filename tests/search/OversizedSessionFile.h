// A session.xml as the program writes it, of one session whose documents take it beyond the
// size of data file the program reads, for the tests of its readers.
#pragma once

#include "DataFiles.h"
#include "SessionFile.h"
#include "TestSupport.h"

#include <string>

inline std::string OversizedSessionFile()
{
    SessionArray sessions;
    SearchSession session;
    session.strName = "Big";
    sessions.Add(session);
    session.results.Add(SessionResult{"EP1000000B1", "Tray"});
    sessions.Add(session);
    const CString text = SessionFileText(sessions);
    const int item = text.Find("<saved>"), end = text.Find("</session>", item);
    return testsupport::GrownText(text.Left(item).GetString(), text.Mid(item, end - item).GetString(),
                                  text.Mid(end).GetString(), static_cast<size_t>(kDataFileSizeLimit));
}
