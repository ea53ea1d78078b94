#include "ProjectStore.h"

#include "DataFiles.h"
#include "FileCrypt.h"
#include "ProgressLog.h"
#include "ProjectIds.h"
#include "XmlHelpers.h"

#include <cstdlib>

namespace {

const char kShortsPair[] = "\r\n<Shorts>\r\n</Shorts>\r\n";

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

bool CProjectStore::Load(CString path)
{
    m_bLoaded = false;
    m_pDoc = nullptr;
    m_pDoc = CreateDomDocument();

    CFileCrypt crypt;
    CString text;
    crypt.ReadEncryptedFile(path, text);
    RepairShorts(text);
    m_pDoc->loadXML(_bstr_t(text));
    m_pDoc->Putasync(VARIANT_FALSE);

    IXMLDOMElementPtr root = m_pDoc->GetdocumentElement();
    m_bLoaded = root && ToAnsi(root->GettagName()) == "Project";
    if (m_bLoaded)
        StartCounterAboveStoredIds();
    else
        CProgressLog().Write("CProjectStore::Load-" + path +
                             " holds no project; it will not be written until one is loaded");
    return m_bLoaded;
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
    CString text = ToAnsi(m_pDoc->Getxml());
    CFileCrypt crypt;
    if (!crypt.WriteEncryptedFile(text, GetAppDirectory() + "\\Project.cfg"))
        CProgressLog().Write("CProjectStore::Save-Could not write Project.cfg; the previous file is kept");
}

CString CProjectStore::NextUID()
{
    CString uid;
    uid.Format("%d", static_cast<int>(m_nNextID & 0xFFFFFFFF));
    ++m_nNextID;
    return uid;
}
