#include "ProjectStore.h"

#include "DataFileSaves.h"
#include "DataFiles.h"
#include "FileCrypt.h"
#include "ProgressLog.h"
#include "ProjectIds.h"
#include "StageClock.h"
#include "StoreText.h"
#include "XmlHelpers.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace {

const char kShortsPair[] = "\r\n<Shorts>\r\n</Shorts>\r\n";

// "Project.cfg.20260314-101500.kept" beside the file, with "-2", "-3" ... when it is taken.
CString FreeAsidePath(const CString& path)
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    CString stem;
    stem.Format("%s.%04u%02u%02u-%02u%02u%02u", path.GetString(), now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
    CString candidate = stem + ".kept";
    for (int n = 2; ::GetFileAttributesA(candidate) != INVALID_FILE_ATTRIBUTES; ++n)
        candidate.Format("%s-%d.kept", stem.GetString(), n);
    return candidate;
}
const int kBlock = 32; // the cipher's block: the text is padded with blanks to a multiple of it

// The decimal value of an identifier made only of digits, or -1.
LONGLONG NumericId(const CString& uid)
{
    if (uid.IsEmpty() || uid.GetLength() > 18)
        return -1;
    for (int i = 0; i < uid.GetLength(); ++i) {
        if (uid[i] < '0' || uid[i] > '9')
            return -1;
    }
    return std::strtoll(uid, nullptr, 10);
}

// The ancestors of a node from the document down: [0] the document, [1] the root, [2] a
// section (Folders, Shorts, Documents), [3] an element of a section, ...
std::vector<IXMLDOMNodePtr> PathOf(IXMLDOMNodePtr node)
{
    std::vector<IXMLDOMNodePtr> path;
    for (; node; node = node->GetparentNode())
        path.insert(path.begin(), node);
    return path;
}

// Whether the path leads from a document through its root (the document's own node objects
// are made anew for every call, so they cannot be compared with the store's).
bool FromDocument(const std::vector<IXMLDOMNodePtr>& path)
{
    return path.size() >= 2 && path[0]->GetnodeType() == NODE_DOCUMENT;
}

// The position of a node among its parent's children.
int IndexOf(IXMLDOMNodePtr node)
{
    int index = 0;
    for (IXMLDOMNodePtr sibling = node->GetpreviousSibling(); sibling; sibling = sibling->GetpreviousSibling())
        ++index;
    return index;
}

} // namespace

CProjectStore::CProjectStore()
    : m_nNextID(SinceProjectEpoch().GetTotalSeconds()), m_bLoaded(false)
{
}


bool CProjectStore::RepairShorts(CString& text)
{
    // The DOM writes an empty element back self-closed, so a store this program saved holds
    // "<Shorts/>": that is a Shorts element too, and must not receive a second one.
    if (text.Find("<Shorts/>") >= 0)
        return false;
    if (text.Find("<Shorts>") >= 0 && text.Find("</Shorts>") >= 0)
        return false;
    const int folders = text.Find("</Folders>");
    if (folders < 0)
        return false;
    text.Insert(folders + 10, kShortsPair);
    return true;
}

const char CProjectStore::kFileContents[] = "project (its folders and documents)";

CString CProjectStore::FilePath()
{
    return GetAppDirectory() + "\\Project.cfg";
}

bool CProjectStore::WasReplaced() const
{
    const DataFileStamp now = StampOfDataFile(FilePath());
    return now.bExists && now != m_stamp;
}

bool CProjectStore::Load(CString path)
{
    m_bLoaded = false;
    m_bUnsaved = false;
    m_strAside.Empty();
    m_bAsideCurrent = false;
    m_kept.Clear();
    m_strCipher.Empty();
    m_pDoc = nullptr;
    m_pDoc = CreateDomDocument();
    // Taken before the file is read: a file put in place while it is read counts as replaced.
    m_stamp = StampOfDataFile(FilePath());

    CFileCrypt crypt;
    CString text, cipher;
    crypt.ReadEncryptedFile(path, text, &cipher);
    const bool bRepaired = RepairShorts(text);
    {
        CStageTimer timer("parse");
        m_pDoc->loadXML(_bstr_t(text));
    }
    m_pDoc->Putasync(VARIANT_FALSE);

    IXMLDOMElementPtr root = m_pDoc->GetdocumentElement();
    m_bLoaded = root && ToAnsi(root->GettagName()) == "Project";
    if (!m_bLoaded) {
        CProgressLog().Write("CProjectStore::Load-" + path +
                             " holds no project; it will not be written until one is loaded");
        return false;
    }
    StartCounterAboveStoredIds();
    // The text the next change builds on. A file this program wrote holds exactly it, and
    // its bytes are then its cipher text.
    CStageTimer timer("keep store text");
    if (m_kept.Make(m_pDoc) && !bRepaired) {
        const std::string& kept = m_kept.Text();
        const int n = static_cast<int>(kept.size());
        bool same = text.GetLength() == n + kBlock - n % kBlock && cipher.GetLength() == text.GetLength() &&
                    std::memcmp(text.GetString(), kept.data(), static_cast<size_t>(n)) == 0;
        for (int i = n; same && i < text.GetLength(); ++i)
            same = text[i] == ' ';
        if (same)
            m_strCipher = std::move(cipher);
    }
    return true;
}

void CProjectStore::StartCounterAboveStoredIds()
{
    IXMLDOMNodeListPtr ids = m_pDoc->selectNodes(L"/Project/Folders/Folder/@UID | /Project/Shorts/Short/@UID");
    for (long i = 0; ids && i < ids->Getlength(); ++i) {
        LONGLONG id = NumericId(ToAnsi(ids->Getitem(i)->Gettext()));
        if (id >= m_nNextID)
            m_nNextID = id + 1;
    }
}

void CProjectStore::Save()
{
    if (!m_bLoaded || !m_pDoc) {
        CProgressLog().Write("CProjectStore::Save-No project is loaded; Project.cfg left as it is");
        return;
    }
    CStageTimer timer("serialize store");
    storetext::CKeptText made;
    if (made.Make(m_pDoc)) {
        const int nUnchanged = m_kept.IsKnown() ? storetext::CommonPrefix(m_kept.Text(), made.Text()) : 0;
        m_kept = std::move(made);
        timer.Stop();
        WriteKeptText(nUnchanged);
        return;
    }
    m_kept.Clear();
    // More than elements: the document's own serialization, and nothing kept.
    const CString text = ToAnsi(m_pDoc->Getxml());
    timer.Stop();
    WriteCipher(text.GetString(), text.GetLength(), 0);
}

void CProjectStore::WriteKeptText(int nUnchanged)
{
    WriteCipher(m_kept.Text().data(), static_cast<int>(m_kept.Text().size()), nUnchanged);
}

void CProjectStore::WriteCipher(const char* text, int nLength, int nUnchanged)
{
    m_bUnsaved = true;
    m_bAsideCurrent = false;
    CFileCrypt crypt;
    if (!crypt.UpdateCipher(text, nLength, m_strCipher, nUnchanged)) {
        m_kept.Clear();
        m_strCipher.Empty();
        CProgressLog().Write("CProjectStore::Save-Could not write Project.cfg; the previous file is kept");
        DataFileNotSaved(FilePath(), kFileContents, ERROR_INVALID_DATA);
        return;
    }
    WriteStoreFile();
}

void CProjectStore::WriteStoreFile()
{
    const CString path = FilePath();
    if (WasReplaced()) {
        CProgressLog().Write("CProjectStore::Save-Project.cfg was replaced by another program; it is not written over");
        if (WriteAside(m_strCipher) && m_fnReplaced)
            m_fnReplaced();
        return;
    }
    CStageTimer timer("write file");
    DWORD error = ERROR_SUCCESS;
    DataFileStamp written;
    if (!WriteDataFile(path, m_strCipher, &error, &written)) {
        CProgressLog().Write("CProjectStore::Save-Could not write Project.cfg; the previous file is kept");
        DataFileNotSaved(path, kFileContents, error);
        return;
    }
    m_stamp = written;
    m_bUnsaved = false;
    DataFileSaved(path);
}

CString CProjectStore::KeepAside()
{
    if (!m_bLoaded || !m_pDoc)
        return CString();
    if (m_bAsideCurrent)
        return m_strAside;
    CFileCrypt crypt;
    CString cipher;
    if (!crypt.EncryptString(ToAnsi(m_pDoc->Getxml()), cipher))
        return CString();
    return WriteAside(cipher) ? m_strAside : CString();
}

bool CProjectStore::WriteAside(const CString& cipher)
{
    const CString path = FilePath();
    if (m_strAside.IsEmpty())
        m_strAside = FreeAsidePath(path);
    DWORD error = ERROR_SUCCESS;
    if (!WriteDataFile(m_strAside, cipher, &error)) {
        DataFileNotSavedWithText(path, kFileContents,
                                 CString("The ") + kFileContents +
                                     " could not be saved: another program put a file of its own in place of\n" +
                                     path +
                                     "\nand Zentrova does not write over it. Nor could the project be kept as\n" +
                                     m_strAside + "\n" + SystemErrorText(error) +
                                     "\n\nZentrova keeps the project in memory and tries again with the next save.");
        return false;
    }
    CProgressLog().Write("CProjectStore::Save-The project is kept as " + m_strAside);
    m_bAsideCurrent = true;
    return true;
}

void CProjectStore::SaveSpliced(IXMLDOMNodePtr pNode,
                                const std::function<bool(const std::vector<IXMLDOMNodePtr>&, int&)>& splice)
{
    if (!m_bLoaded || !pNode || !m_kept.IsKnown()) {
        Save();
        return;
    }
    CStageTimer timer("splice store text");
    const std::vector<IXMLDOMNodePtr> path = PathOf(pNode);
    int nUnchanged = 0;
    const bool bSpliced = path.size() >= 3 && FromDocument(path) && splice(path, nUnchanged);
    timer.Stop();
    if (bSpliced)
        WriteKeptText(nUnchanged);
    else
        Save();
}

void CProjectStore::SaveAppended(IXMLDOMNodePtr pElement)
{
    // Only an element of a section, added last.
    SaveSpliced(pElement, [&](const std::vector<IXMLDOMNodePtr>& path, int& nUnchanged) {
        return path.size() == 4 && !pElement->GetnextSibling() &&
               m_kept.Append(IndexOf(path[2]), path[2]->GetchildNodes()->Getlength(), pElement, nUnchanged);
    });
}

void CProjectStore::SaveChanged(IXMLDOMNodePtr pNode)
{
    // The lines that change: those of the section's element that holds the node, or of the
    // whole section when the node is the section.
    SaveSpliced(pNode, [&](const std::vector<IXMLDOMNodePtr>& path, int& nUnchanged) {
        const bool bSection = path.size() == 3;
        IXMLDOMNodePtr element = bSection ? path[2] : path[3];
        return element->GetnodeType() == NODE_ELEMENT &&
               m_kept.Replace(IndexOf(path[2]), bSection ? -1 : IndexOf(element),
                              path[2]->GetchildNodes()->Getlength(), element, nUnchanged);
    });
}

CString CProjectStore::NextUID()
{
    CString uid;
    uid.Format("%d", static_cast<int>(m_nNextID & 0xFFFFFFFF));
    ++m_nNextID;
    return uid;
}
