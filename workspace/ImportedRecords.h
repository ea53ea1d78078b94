// The Document records of files that did not come from a download: a user's own file
// imported into a folder, and a document recovered from an old download folder (its PDF
// and HTML page, with the title, inventors and assignee read from that page). Every value
// goes into the record text escaped, so the store reads back exactly the text given.
#pragma once

#include "String.h"

// The record of a file imported into a folder: one catalog item of type OTHER pointing to
// the file where it lies. dateSpan: the DownloadDate (seconds since the project epoch, low
// 32 bits).
CString ImportedFileRecord(const CString& fileName, const CString& folderUid, const CString& title, int dateSpan,
                           const CString& recordUid, const CString& filePath);

// One file of a recovered document: its path and size in bytes; an empty path is none.
struct RecoveredFile
{
    CString path;
    int size = 0;
};

// The record of a recovered document, filed in NEW DOWNLOADS: a PDF and an HTML catalog
// item for the files given.
CString RecoveredDocumentRecord(const CString& name, const CString& title, const CString& inventors,
                                const CString& assignee, int dateSpan, const CString& recordUid,
                                const RecoveredFile& pdf, const RecoveredFile& html);

// The document name of a recovered document: the file name of its PDF (of its HTML page
// when it has no PDF) from its first "." on, up to 25 characters, removed.
CString RecoveredDocumentName(const CString& pdfPath, const CString& htmlPath);

// Reads the title, the inventors and the assignee out of an old document page; what is not
// found (from the first missing marker on) stays "N/A", as do all three for a file that
// cannot be read. The values are the page's text: markup removed from inventors and
// assignee, entities decoded and white space runs made single blanks.
void ParseOldDocumentPage(const CString& htmlPath, CString& title, CString& inventors, CString& assignee);
// The same over the page's text.
void ParseOldDocumentText(const CString& page, CString& title, CString& inventors, CString& assignee);

// The text without its markup: each "<" with the first ">" after it and all between goes.
CString StripTags(CString text);
// HTML text as it reads: character entities decoded (&amp; &lt; &gt; &quot; &apos; &nbsp;
// and numeric ones; others stay as written), white space runs made one blank, both ends
// trimmed.
CString PageText(const CString& html);
