// CProjectStore: the user's library in memory and on disk. The project pane owns one; it
// holds the MSXML DOM of Project.cfg (folders, shortcuts, document records) and the counter
// from which new folder and shortcut identifiers are taken.
//
// A store that could not be read or parsed is never written back: until a load has produced
// a document with a Project root, Save writes nothing and logs why, so a damaged or missing
// file is not overwritten by the next change.
//
// Every write puts the whole document into the file, as the document's own text (its `xml`
// property) enciphered. The store keeps the text it last wrote (and its cipher text): after
// a change to one element, or an element added at the end of a section, only that element
// is serialized and put in its place in the kept text, and only the cipher blocks from the
// first changed byte on are made anew. A whole Save makes the text element by element
// (storetext::CKeptText), in time proportional to the store, and falls back to the document's
// own serialization for a store that holds more than elements. The bytes written are those
// the document's own serialization gives. A load makes the kept text too, so that the first
// change after a start is written as quickly as the next.
//
// A write that fails keeps everything in memory: the next write that succeeds writes all of
// it, and the user hears of the first failure (DataFileSaves). The store never writes over a
// Project.cfg that another program (the import wizard) put in place since the store last
// read or wrote the file: that file is left as it is, the project as this store holds it is
// kept beside it (KeepAside), and the owner is told to take the new file up.
#pragma once

#include "DataFiles.h"
#include "Msxml.h"
#include "StoreText.h"
#include "String.h"

#include <functional>
#include <memory>
#include <vector>

class CProjectStore
{
public:
    // Starts the identifier counter at the seconds since the project epoch.
    CProjectStore();
    CProjectStore(const CProjectStore&) = delete;
    CProjectStore& operator=(const CProjectStore&) = delete;

    // Reads and deciphers the file, inserts an empty Shorts element after Folders when the
    // text lacks one, and loads it into a fresh DOM document. True when the document has a
    // Project root; the counter then starts above every numeric folder and shortcut UID.
    bool Load(CString path);

    // Writes the whole document, enciphered, to the program folder's Project.cfg through a
    // temporary file; on failure the old file stays and a log line says so.
    void Save();
    // The same after pElement, a child of a child of the root, was added as the last child
    // of its parent (a document record filed, a folder made). pElement is a node of this
    // store's document.
    void SaveAppended(IXMLDOMNodePtr pElement);
    // The same after a change within pNode only (attributes of a folder or of a document,
    // or anything beneath them); pNode is a node of this store's document.
    void SaveChanged(IXMLDOMNodePtr pNode);
    // The document was changed and is not written now: the next write, of whatever kind,
    // writes the whole document. Every change to the document is followed by one of the
    // writes above or by this call; a kept text never misses a change.
    void ChangedWithoutSave()
    {
        m_kept.Clear();
        m_bUnsaved = true;
        m_bAsideCurrent = false;
    }

    // The program folder's Project.cfg, which every write goes to, and what it holds as the
    // user's notices name it.
    static CString FilePath();
    static const char kFileContents[];
    // Whether another program has put a file of its own in place of Project.cfg since this
    // store last read or wrote it (a file now where there was none counts; one gone does not).
    bool WasReplaced() const;
    // Whether the document holds changes that no write has put into Project.cfg.
    bool HasUnsavedChanges() const { return m_bLoaded && m_bUnsaved; }
    // Writes the whole document, enciphered, beside Project.cfg as "Project.cfg.DATE-TIME.kept"
    // and answers that path; the same path again while the file replaced stays the same. Empty
    // when it could not be written (the user then hears that the project is not saved).
    CString KeepAside();
    // Called (on the store's thread) when a write found Project.cfg replaced by another
    // program and kept the project beside it instead.
    void SetReplacedHandler(std::function<void()> handler) { m_fnReplaced = std::move(handler); }

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
    // Enciphers the kept text (its first nUnchanged bytes as they were at the last write)
    // and writes it.
    void WriteKeptText(int nUnchanged);
    // Enciphers a text (its first nUnchanged bytes as at the last write) and writes it.
    void WriteCipher(const char* text, int nLength, int nUnchanged);
    // Writes the cipher text to Project.cfg, or beside it when another program replaced it.
    void WriteStoreFile();
    // Writes the cipher text to the kept-aside file; false, with the user told, when it fails.
    bool WriteAside(const CString& cipher);
    // Writes the kept text once splice has put the changed lines in place (given the node's
    // path from the document down; it answers where the text first changed); a whole Save
    // when the kept text is not known or splice cannot place them.
    void SaveSpliced(IXMLDOMNodePtr pNode,
                     const std::function<bool(const std::vector<IXMLDOMNodePtr>&, int&)>& splice);

    IXMLDOMDocument2Ptr m_pDoc;
    LONGLONG m_nNextID;
    bool m_bLoaded;

    // The text of the document as written last and its cipher text, while known.
    storetext::CKeptText m_kept;
    CString m_strCipher;

    // Project.cfg as this store last read or wrote it.
    DataFileStamp m_stamp;
    // A change not yet in Project.cfg.
    bool m_bUnsaved = false;
    // Where the project was kept beside a replaced Project.cfg, and whether that file holds
    // the document as it is now.
    CString m_strAside;
    bool m_bAsideCurrent = false;
    std::function<void()> m_fnReplaced;
};
