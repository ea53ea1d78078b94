// session.xml, the file that keeps the search sessions from one run to the next, and the
// reading of the small stored XML files of the session side (session.xml, the exported
// session files) whatever encoding their declaration names.
//
// In memory every session text (name, mark, client) is held as the user typed it. The file
// keeps the format that earlier versions wrote: the three attributes are escaped twice (the
// parser takes one level away, the reader the other), numbers and titles stand in CDATA
// sections. A "]]>" inside a number or title is split across two sections, so that no text
// can end its section early.
//
// The file's declaration names iso-8859-1, while its bytes are those of the system code page
// (as every writer of the file has written it): the reader therefore decodes the bytes
// itself, by the declared encoding where the bytes fit it and by the system code page
// otherwise, and hands the parser text, not bytes.
#pragma once

#include "Array.h"
#include "Msxml.h"
#include "SearchSession.h"
#include "String.h"

#include <windows.h>

typedef CArray<SearchSession, const SearchSession&> SessionArray;
typedef CArray<SessionResult, const SessionResult&> SessionResultArray;

// The pseudo-session of general searching, always entry 0 of the session combo and the
// session list; its kept documents live only in memory.
extern const char* const kNoSessionSelected;

// ------------------------------------------------------------------ session texts
// The text as the escaping of session texts gives it: & < > " become &amp; &lt; &gt; &quot;.
CString EscapeSessionText(const CString& text);
// The exact inverse of EscapeSessionText, in one pass: "&amp;lt;" becomes "&lt;". An
// ampersand that starts none of the four entities stays.
CString UnescapeSessionText(const CString& text);
// Control characters other than tab, carriage return and line feed cannot stand in an XML
// file; they are written as blanks.
CString XmlSafeText(const CString& text);
// The text as one or more CDATA sections that read back as the text.
CString CDataSections(const CString& text);

// ------------------------------------------------------------------ session.xml
// The program-folder path the file is written to, and the path it is read from.
CString SessionFileWritePath();
CString SessionFileReadPath();

// The whole file for the session list, byte for byte. The session at position 0 is written
// without its documents.
CString SessionFileText(const SessionArray& sessions);

// Writes the text whole (WriteDataFile): a failed or killed write leaves the previous file
// whole. False (and the system's reason in *pWhy) when the file could not be written.
bool WriteTextFile(const CString& path, const CString& text, CString* pWhy = nullptr);

enum SessionFileState {
    SessionFileMissing,    // no file at the path
    SessionFileUnreadable, // a file that is not well-formed XML (or cannot be read)
    SessionFileRead,
    SessionFileTooLarge,   // larger than kDataFileSizeLimit: not read
    SessionFileOtherKind,  // well-formed, but no list of search sessions
};

// Reads the sessions of the file in file order, with their texts as typed, into sessions
// (emptied first), through the document given. A file whose root is not "savedsession", or
// that holds elements there but no "session", is of another kind and gives no sessions. A
// failing DOM call raises _com_error; what was read until then stays.
SessionFileState ReadSessionFile(const CString& path, SessionArray& sessions, IXMLDOMDocument2Ptr doc);

// One kept document from the text of a "saved" element of a hand-made file: the number is
// the text before the first blank, the title the text after it; a text without a blank is
// both. False for a text of fewer than 3 characters, which ends the session's documents.
bool SplitSavedText(const CString& text, SessionResult& result);

// Puts "No Session Selected" at position 0 when the list does not start with it.
void EnsureNoSessionEntry(SessionArray& sessions);

// ------------------------------------------------------------------ stored XML files
// Loads the file into the document (asynchronous loading off, white space kept); a file
// larger than kDataFileSizeLimit is not read (SessionFileTooLarge). The bytes are decoded by the encoding the declaration names (UTF-8 when it names none) and, where
// they do not fit it, by the system code page; iso-8859-1 files are taken as the system code
// page, which is what the program writes under that name. Answers the file's state; a
// failing DOM call raises _com_error.
SessionFileState LoadStoredXml(const CString& path, IXMLDOMDocument2Ptr doc);

// The name of the system code page as an XML encoding name ("windows-1252").
CString SystemCodePageName();

// The message boxes of the session side go through this function, so that tests see them.
typedef int(WINAPI* SessionMessageBoxFn)(HWND, LPCSTR, LPCSTR, UINT);
extern SessionMessageBoxFn g_pfnSessionMessageBox;
