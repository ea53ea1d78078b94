#include "ImportedRecords.h"

#include "File.h"
#include "TextHelpers.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kNotAvailable[] = "N/A";

CString RecordHead(const CString& name, const CString& parentUid, const CString& title, const CString& inventors,
                   const CString& assignee, int dateSpan, const CString& recordUid)
{
    CString head;
    head.Format("<?xml version=\"1.0\" ?>\r\n\t<Document Name=\"%s\" ParentUID=\"%s\" DocumentTitle=\"%s\" "
                "DocumentInventor=\"%s\" DocumentAssignee=\"%s\" DownloadDate=\"%d\" TotalSize=\"\" UID=\"%s\">\r\n"
                "<XMLCatalog>\r\n\t\t",
                EscapeXml(name).GetString(), EscapeXml(parentUid).GetString(), EscapeXml(title).GetString(),
                EscapeXml(inventors).GetString(), EscapeXml(assignee).GetString(), dateSpan,
                EscapeXml(recordUid).GetString());
    return head;
}

CString RecoveredItem(const RecoveredFile& file, const char* type)
{
    if (file.path.IsEmpty())
        return CString();
    CString item;
    item.Format("\t<CatalogItem Title=\"\" FilePath=\"%s\" DownloadSourceName=\"DoesNotMatter\" FileSize=\"%d\" "
                "FileType=\"%s\"/>",
                EscapeXml(file.path).GetString(), file.size, type);
    return item;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The character a character reference at text[at] ('&') stands for, and its length; 0 when
// it is none that is decoded.
int DecodeEntity(const CString& text, int at, char& decoded)
{
    struct Named
    {
        const char* entity;
        char character;
    };
    static const Named named[] = {{"&amp;", '&'},  {"&lt;", '<'},   {"&gt;", '>'},
                                  {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
    const char* p = text.GetString() + at;
    for (const Named& n : named) {
        const int length = static_cast<int>(strlen(n.entity));
        if (_strnicmp(p, n.entity, static_cast<size_t>(length)) == 0) {
            decoded = n.character;
            return length;
        }
    }
    if (p[1] != '#')
        return 0;
    const bool hex = p[2] == 'x' || p[2] == 'X';
    const char* digits = p + (hex ? 3 : 2);
    char* end = nullptr;
    const long code = std::strtol(digits, &end, hex ? 16 : 10);
    if (end == digits || *end != ';' || code <= 0 || code > 255)
        return 0;
    decoded = static_cast<char>(code == 160 ? ' ' : code);
    return static_cast<int>(end + 1 - p);
}

// The text between the end of the first marker (looked for from a position) and the second
// marker after it; false when either is missing.
bool Between(const CString& page, int from, const char* open, const char* close, CString& value)
{
    const int start = page.Find(open, from);
    if (start < 0)
        return false;
    const int valueStart = start + static_cast<int>(strlen(open));
    const int end = page.Find(close, valueStart);
    if (end < 0)
        return false;
    value = page.Mid(valueStart, end - valueStart);
    return true;
}

// "Assignee:" or "Inventors:", then the bold cell's text up to the end of the cell.
bool LabelledCell(const CString& page, const char* label, CString& value)
{
    const int at = page.Find(label);
    if (at < 0)
        return false;
    CString raw;
    if (!Between(page, at, "<B>", "</TD>", raw))
        return false;
    value = PageText(StripTags(raw));
    return true;
}

} // namespace

CString ImportedFileRecord(const CString& fileName, const CString& folderUid, const CString& title, int dateSpan,
                           const CString& recordUid, const CString& filePath)
{
    return RecordHead(fileName, folderUid, title, "", "", dateSpan, recordUid) +
           "\t<CatalogItem Title=\"DoesNotMatter\" FilePath=\"" + EscapeXml(filePath) +
           "\" DownloadSourceName=\"DoesNotMatter\" FileSize=\"0\" FileType=\"OTHER\"/></XMLCatalog></Document>";
}

CString RecoveredDocumentRecord(const CString& name, const CString& title, const CString& inventors,
                                const CString& assignee, int dateSpan, const CString& recordUid,
                                const RecoveredFile& pdf, const RecoveredFile& html)
{
    return RecordHead(name, "1", title, inventors, assignee, dateSpan, recordUid) + RecoveredItem(pdf, "PDF") +
           RecoveredItem(html, "HTML") + "</XMLCatalog></Document>";
}

CString RecoveredDocumentName(const CString& pdfPath, const CString& htmlPath)
{
    const CString& path = pdfPath.IsEmpty() ? htmlPath : pdfPath;
    CString name = path.Mid(path.ReverseFind('\\') + 1);
    const int dot = name.Find('.');
    if (dot >= 0)
        name.Delete(dot, 25);
    return name;
}

CString StripTags(CString text)
{
    for (;;) {
        const int open = text.Find('<');
        if (open < 0)
            break;
        const int close = text.Find('>', open);
        if (close < 0)
            break;
        text.Delete(open, close - open + 1);
    }
    return text;
}

CString PageText(const CString& html)
{
    CString text;
    bool pendingBlank = false;
    for (int i = 0; i < html.GetLength(); ++i) {
        char c = html[i];
        if (c == '&') {
            char decoded = 0;
            if (const int length = DecodeEntity(html, i, decoded)) {
                c = decoded;
                i += length - 1;
            }
        }
        if (IsBlank(c)) {
            pendingBlank = !text.IsEmpty();
            continue;
        }
        if (pendingBlank)
            text += ' ';
        pendingBlank = false;
        text += c;
    }
    return text;
}

void ParseOldDocumentText(const CString& page, CString& title, CString& inventors, CString& assignee)
{
    title = inventors = assignee = kNotAvailable;
    CString raw;
    if (!Between(page, 0, "<font size=\"+1\">", "</font>", raw))
        return;
    title = PageText(raw);
    if (!LabelledCell(page, "Assignee:", assignee))
        return;
    LabelledCell(page, "Inventors:", inventors);
}

void ParseOldDocumentPage(const CString& htmlPath, CString& title, CString& inventors, CString& assignee)
{
    CString page;
    CFile file;
    if (file.Open(htmlPath, CFile::modeRead | CFile::shareDenyNone)) {
        try {
            const ULONGLONG length = file.GetLength();
            // An old document page is a few hundred kilobytes at most; a larger file is
            // read up to 16 MB.
            const UINT size = static_cast<UINT>(length < (16u << 20) ? length : (16u << 20));
            char* buffer = page.GetBuffer(static_cast<int>(size));
            const UINT read = file.Read(buffer, size);
            page.ReleaseBuffer(static_cast<int>(read));
        } catch (CException* e) {
            e->Delete();
            page.Empty();
        }
    }
    ParseOldDocumentText(page, title, inventors, assignee);
}
