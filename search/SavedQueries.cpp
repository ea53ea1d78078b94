#include "SavedQueries.h"

#include "DataFileSaves.h"
#include "DataFiles.h"
#include "TextConversion.h"
#include "TextHelpers.h"
#include "XmlByPosition.h"
#include "XmlHelpers.h"

#include <cstdlib>

namespace {

const std::vector<SavedQueryField> kBasicForm = {
    {"term1", false},      {"term2", false},      {"fieldtype1", true},
    {"fieldtype2", true},  {"fieldtype3", true},
};

const std::vector<SavedQueryField> kPatentFields = {
    {"title", false},           {"combine", true},
    {"description", false},     {"inventorname", false},
    {"abstract", false},        {"inventorcity", false},
    {"claims", false},          {"inventorstate", false},
    {"currentusclassification", false}, {"inventorcountry", false},
    {"internationalclassification", false}, {"assigneename", false},
    {"applicationtype", true},  {"assigneecity", false},
    {"filingdate", false},      {"assigneestate", false},
    {"issuedate", false},       {"assigneecountry", false},
    {"applicationserialnumber", false}, {"attorneyagent", false},
    {"relatedusappdata", false}, {"governmentinterest", false},
    {"referencedby", false},
};

const std::vector<SavedQueryField> kApplicationFields = {
    {"title", false},           {"combine", true},
    {"description", false},     {"inventorname", false},
    {"abstract", false},        {"inventorcity", false},
    {"claims", false},          {"inventorstate", false},
    {"currentusclassification", false}, {"inventorcountry", false},
    {"internationalclassification", false}, {"assigneename", false},
    {"filingdate", false},      {"assigneecity", false},
    {"applicationserialnumber", false}, {"assigneestate", false},
    {"foreignpriority", false}, {"assigneecountry", false},
    {"publicationdate", false}, {"governmentinterest", false},
};

const std::vector<SavedQueryField> kEpoFields = {
    {"title", false},             {"inventor", false},          {"titleorabstract", false},
    {"applicant", false},         {"applicationnumber", false}, {"prioritynumber", false},
    {"publicationnumber", false}, {"ipcclassification", false}, {"publicationdate", false},
    {"ecclassification", false},
};

const char kPatentsName[] = "USPTO Patents";
const char kApplicationsName[] = "USPTO Published Applications";
const char kEpoName[] = "European Patent Office";

const std::vector<SavedQuery> kNoList;

bool FileExists(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

const SavedQueryFormat& BasicQueryFormat()
{
    static const SavedQueryFormat format = {
        "basicquery.xml",
        "saved Basic Search queries",
        "basics",
        "basic",
        {{"BasicFormQuery", kPatentsName, kBasicForm},
         {"BasicFormQuery", kApplicationsName, kBasicForm},
         {"BasicTermQuery", kEpoName, {{"searchterm", false}}}},
    };
    return format;
}

const SavedQueryFormat& AdvancedQueryFormat()
{
    static const SavedQueryFormat format = {
        "advancedquery.xml",
        "saved Advanced Search queries",
        "advances",
        "advanced",
        {{"AdvancedPatentQuery", kPatentsName, kPatentFields},
         {"AdvancedApplicationQuery", kApplicationsName, kApplicationFields},
         {"AdvancedEpoQuery", kEpoName, kEpoFields}},
    };
    return format;
}

int SavedQuery::IntValue(size_t index) const
{
    return index < values.size() ? std::atoi(values[index]) : 0;
}

CString EscapeSavedQueryValue(const CString& value)
{
    const CString escaped = EscapeXml(value);
    CString result;
    int runStart = 0;
    for (int i = 0; i <= escaped.GetLength(); ++i) {
        if (i < escaped.GetLength() && static_cast<unsigned char>(escaped[i]) < 0x80)
            continue;
        result += escaped.Mid(runStart, i - runStart);
        if (i == escaped.GetLength())
            break;
        // A lead byte and its trail byte (a double-byte code page) make one character.
        const int length = ::IsDBCSLeadByte(static_cast<BYTE>(escaped[i])) && i + 1 < escaped.GetLength() ? 2 : 1;
        for (wchar_t unit : AnsiToUtf16(escaped.GetString() + i, length))
            result.AppendFormat("&#%u;", static_cast<unsigned>(unit));
        i += length - 1;
        runStart = i + 1;
    }
    return result;
}

CSavedQueryStore::CSavedQueryStore(const SavedQueryFormat& format) : m_format(format) {}

CSavedQueryStore::LoadResult CSavedQueryStore::Load(const CString& readPath)
{
    for (std::vector<SavedQuery>& list : m_lists)
        list.clear();
    m_bWriteBlocked = false;
    m_strSetAside.Empty();
    if (!FileExists(readPath))
        return loadNoFile;
    DataFileFault fault = IsOversizedDataFile(readPath) ? DataFileFault::TooLarge : DataFileFault::None;
    if (fault == DataFileFault::None) {
        try {
            IXMLDOMDocument2Ptr doc = CreateDomDocument();
            doc->Putasync(VARIANT_FALSE);
            if (doc->load(static_cast<const char*>(readPath)) != VARIANT_TRUE) {
                m_bWriteBlocked = true;
                return loadUnreadable;
            }
            if (IsDocumentOfKind(doc, L"saved", AnsiToUtf16(m_format.listElement).c_str()))
                ReadLists(doc);
            else
                fault = DataFileFault::OtherKind;
        } catch (const _com_error&) {
            // No DOM to read with: what the file holds is unknown, so it is kept as it is.
            for (std::vector<SavedQuery>& list : m_lists)
                list.clear();
            m_bWriteBlocked = true;
            return loadUnreadable;
        }
    }
    if (fault == DataFileFault::None)
        return loadRead;
    // Not a file this program wrote: it goes aside whole, and the lists start empty. One that
    // cannot be moved stays, and is then never overwritten.
    const CString aside = SetDataFileAside(readPath, fault);
    if (aside.IsEmpty()) {
        m_bWriteBlocked = true;
        return loadUnreadable;
    }
    m_strSetAside = DataFileSetAsideText(m_format.contents, readPath, aside, fault);
    return loadSetAside;
}

void CSavedQueryStore::ReadLists(IXMLDOMDocument2Ptr doc)
{
    CString xpath;
    xpath.Format("saved/%s/location", m_format.listElement);
    for (IXMLDOMNodePtr location : SelectNodes(doc, AnsiToUtf16(xpath).c_str())) {
        const CString name = AttributeTextAt(location, 0);
        int slot = -1;
        for (int s = 0; s < 3; ++s)
            if (name == m_format.kinds[s].locationName)
                slot = s;
        if (slot < 0)
            continue;
        const size_t fieldCount = m_format.kinds[slot].fields.size();
        for (IXMLDOMNodePtr entry : ChildElements(location)) {
            SavedQuery query;
            query.title = AttributeTextAt(entry, 0);
            query.values = ChildTexts(entry);
            query.values.resize(fieldCount);
            m_lists[slot].push_back(query);
        }
    }
}

CString CSavedQueryStore::FileText() const
{
    CString text = "<?xml version=\"1.0\" ?>\r\n<saved>\r\n";
    text.AppendFormat("<%s>\r\n", m_format.listElement);
    for (int slot = 0; slot < 3; ++slot) {
        const SavedQueryKind& kind = m_format.kinds[slot];
        text.AppendFormat("<location name=\"%s\">\r\n", kind.locationName);
        for (const SavedQuery& query : m_lists[slot]) {
            // Put together piece by piece: a value that looks like a placeholder stays a value.
            text += CString("<") + m_format.entryElement + " name=\"" + EscapeSavedQueryValue(query.title) + "\">\r\n";
            for (size_t k = 0; k < kind.fields.size(); ++k) {
                const SavedQueryField& field = kind.fields[k];
                CString value;
                if (field.combo)
                    value.Format("%d", query.IntValue(k));
                else if (k < query.values.size())
                    value = EscapeSavedQueryValue(query.values[k]);
                text += CString("<field name=\"") + field.name + "\" type=\"" + (field.combo ? "combobox" : "edit") +
                        "\">" + value + "</field>\r\n";
            }
            text.AppendFormat("</%s>\r\n", m_format.entryElement);
        }
        text += "</location>\r\n";
    }
    text.AppendFormat("</%s>\r\n</saved>\r\n", m_format.listElement);
    return text;
}

bool CSavedQueryStore::Write(const CString& path, CString* pError) const
{
    if (m_bWriteBlocked) {
        if (pError)
            pError->Format("The saved queries in %s could not be read, so the file was not changed.",
                           static_cast<const char*>(path));
        return false;
    }
    if (pError)
        pError->Empty();
    return SaveDataFile(path, FileText(), m_format.contents);
}

const std::vector<SavedQuery>& CSavedQueryStore::List(int slot) const
{
    return slot >= 0 && slot < 3 ? m_lists[slot] : kNoList;
}

void CSavedQueryStore::Append(int slot, const SavedQuery& query)
{
    if (slot >= 0 && slot < 3)
        m_lists[slot].push_back(query);
}

int CSavedQueryStore::RemoveByTitle(int slot, const CString& title)
{
    if (slot < 0 || slot > 2)
        return 0;
    std::vector<SavedQuery> kept;
    for (const SavedQuery& query : m_lists[slot])
        if (query.title != title)
            kept.push_back(query);
    const int removed = static_cast<int>(m_lists[slot].size() - kept.size());
    m_lists[slot] = kept;
    return removed;
}

SavedQuery CSavedQueryStore::Capture(int slot, const CString& title, const std::vector<CString>& edits,
                                     const std::vector<int>& comboSelections) const
{
    SavedQuery query;
    query.title = title;
    if (slot < 0 || slot > 2)
        return query;
    size_t edit = 0, combo = 0;
    for (const SavedQueryField& field : m_format.kinds[slot].fields) {
        if (field.combo) {
            CString value;
            value.Format("%d", combo < comboSelections.size() ? comboSelections[combo] : -1);
            query.values.push_back(value);
            ++combo;
        } else {
            query.values.push_back(edit < edits.size() ? edits[edit] : CString());
            ++edit;
        }
    }
    return query;
}
