// The exported session file ("*.qvx") that carries one search session between colleagues:
// the session's name, mark and client, and one document element per report row.
//
//   <?xml version="1.0" encoding="windows-1252" ?>
//   <session name="..." mark="..." client="...">
//   <document number="...">title</document>
//   </session>
//
// The bytes are those of the system code page, and the declaration names that code page.
// Every value is escaped, so that a number or title holding markup reads back as it was.
// The reader goes by position: the first three attributes of the first "session" element,
// the first attribute of each "document" element directly below it.
#pragma once

#include "SessionFile.h"

// The file dialogs' filter.
extern const char kSessionFileFilter[];

// The whole file, byte for byte.
CString SessionExportText(const SearchSession& session);

// Reads a session file. False, with the reason for the user in strWhy and the session left
// untouched, for a file that is missing, not XML, or holds no session.
bool ReadSessionExport(const CString& path, SearchSession& session, CString& strWhy);
