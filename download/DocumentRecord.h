// The text of the Document record that a finished download hands to the project store: its
// frame with name, download date and identifier, and its CatalogItem lines. Every value is
// written XML-escaped, so no title, path or number can break the record.
#pragma once

#include "String.h"
#include "TimeSpan.h"

// The record frame of a document built at the given time since the project epoch. Its
// placeholders "[DOCUMENTTITLE]", "[DOCUMENTINVENTOR]", "[DOCUMENTASSIGNEE]", "[FIRSTPAGE]"
// and "[WRAPPER]" are filled by the job; catalog lines go in front of "</XMLCatalog>".
CString FormatDocumentRecord(const CString& countryCode, const CString& documentNumber,
                             const CString& kindCode, CTimeSpan sinceEpoch);

// Tabs become blanks, double blanks single ones (two passes), line breaks go.
CString CleanTitleText(CString title);

// One CatalogItem line, title cleaned, values escaped.
CString FormatCatalogItem(const CString& title, const CString& filePath, const CString& sourceName,
                          const CString& fileSize, const CString& fileType);

// Puts the line in front of the "<" of the record's "</XMLCatalog>", behind the lines
// already there; a record without it is left alone.
void InsertCatalogItem(CString& record, const CString& line);
