// CProjectStore: the user's library in memory and on disk. The project pane owns one; it
// holds the MSXML DOM of Project.cfg (folders, shortcuts, document records) and the counter
// from which new folder and shortcut identifiers are taken.
//
// A store that could not be read or parsed is never written back: until a load has produced
// a document with a Project root, Save writes nothing and logs why, so a damaged or missing
// file is not overwritten by the next change.
#pragma once

#include "Msxml.h"
#include "String.h"

#include <memory>

class CProjectStore
{
public:
    // Starts the identifier counter at the seconds since the project epoch.
    CProjectStore();

    // Reads and deciphers the file, inserts an empty Shorts element after Folders when the
    // text lacks one, and loads it into a fresh DOM document. True when the document has a
    // Project root; the counter then starts above every numeric folder and shortcut UID.
    bool Load(CString path);

    // Writes the whole document, enciphered, to the program folder's Project.cfg through a
    // temporary file; on failure the old file stays and a log line says so.
    void Save();

    IXMLDOMDocument2Ptr GetDocument() const { return m_pDoc; }
    // Where the document pointer lives, for readers that must see every later load.
    IXMLDOMDocument2Ptr* GetDocumentAddress() { return std::addressof(m_pDoc); }
    bool IsLoaded() const { return m_bLoaded; }

    // The next folder or shortcut identifier ("%d" of the counter's low 32 bits).
    CString NextUID();
    LONGLONG GetCounter() const { return m_nNextID; }

    // The Shorts repair of a project text; answers whether it inserted the pair.
    static bool RepairShorts(CString& text);

private:
    void StartCounterAboveStoredIds();

    IXMLDOMDocument2Ptr m_pDoc;
    LONGLONG m_nNextID;
    bool m_bLoaded;
};
