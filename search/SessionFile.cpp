#include "SessionFile.h"

#include "DataFiles.h"
#include "TextConversion.h"
#include "TextHelpers.h"
#include "XmlByPosition.h"
#include "XmlHelpers.h"

#include <string>

const char* const kNoSessionSelected = "No Session Selected";

SessionMessageBoxFn g_pfnSessionMessageBox = &::MessageBoxA;

namespace {

const char kSessionFileName[] = "session.xml";

bool DecodeBytes(const char* pch, int length, UINT codePage, DWORD flags, std::wstring& out)
{
    out.clear();
    if (length == 0)
        return true;
    const int needed = ::MultiByteToWideChar(codePage, flags, pch, length, nullptr, 0);
    if (needed <= 0)
        return false;
    out.resize(static_cast<size_t>(needed));
    return ::MultiByteToWideChar(codePage, flags, pch, length, &out[0], needed) == needed;
}

// The value of encoding="..." in a declaration, lower case; empty when it names none.
CString DeclaredEncoding(const std::string& declaration)
{
    const size_t at = declaration.find("encoding");
    if (at == std::string::npos)
        return CString();
    size_t quote = declaration.find_first_of("\"'", at);
    if (quote == std::string::npos)
        return CString();
    const size_t end = declaration.find(declaration[quote], quote + 1);
    if (end == std::string::npos)
        return CString();
    CString name(declaration.substr(quote + 1, end - quote - 1).c_str());
    name.Trim();
    name.MakeLower();
    return name;
}

// The code page the declared encoding names; CP_ACP for iso-8859-1 and the names it does not
// know.
UINT CodePageOf(const CString& encoding)
{
    if (encoding.IsEmpty() || encoding == "utf-8" || encoding == "utf8")
        return CP_UTF8;
    for (const char* prefix : {"windows-", "cp"}) {
        const int n = static_cast<int>(strlen(prefix));
        if (encoding.Left(n) == prefix) {
            const int page = atoi(encoding.Mid(n));
            if (page > 0)
                return static_cast<UINT>(page);
        }
    }
    return CP_ACP;
}

} // namespace

// ---------------------------------------------------------------------- session texts

CString EscapeSessionText(const CString& text)
{
    return EscapeXml(text);
}

CString UnescapeSessionText(const CString& text)
{
    static const struct {
        const char* entity;
        int length;
        char ch;
    } kEntities[] = {{"&amp;", 5, '&'}, {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&quot;", 6, '"'}};
    CString out;
    const int length = text.GetLength();
    for (int i = 0; i < length;) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& e : kEntities) {
                if (text.Mid(i, e.length) == e.entity) {
                    out += e.ch;
                    i += e.length;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += text[i++];
    }
    return out;
}

CString XmlSafeText(const CString& text)
{
    CString out(text);
    for (int i = 0; i < out.GetLength(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(out[i]);
        if (ch < 0x20 && ch != '\t' && ch != '\r' && ch != '\n')
            out.SetAt(i, ' ');
    }
    return out;
}

CString CDataSections(const CString& text)
{
    CString body = XmlSafeText(text);
    body.Replace("]]>", "]]]]><![CDATA[>");
    return "<![CDATA[" + body + "]]>";
}

// ---------------------------------------------------------------------- session.xml

CString SessionFileWritePath()
{
    return GetAppDirectory() + "\\" + kSessionFileName;
}

CString SessionFileReadPath()
{
    return ResolveDataFilePath(kSessionFileName);
}

CString SessionFileText(const SessionArray& sessions)
{
    CString text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n<savedsession>\r\n";
    for (INT_PTR i = 0; i < sessions.GetSize(); ++i) {
        const SearchSession& session = sessions[i];
        // Twice escaped, as the file has always held them.
        auto attribute = [](const CString& value) {
            return EscapeSessionText(EscapeSessionText(XmlSafeText(value)));
        };
        // Joined piece by piece: a value that holds "[MARK]" stays as it is.
        text += "<session name=\"" + attribute(session.strName) + "\" mark=\"" + attribute(session.strMark) +
                "\" client=\"" + attribute(session.strClient) + "\">\r\n";
        if (i > 0) {
            for (INT_PTR r = 0; r < session.results.GetSize(); ++r) {
                text += "<saved>\r\n<number>" + CDataSections(session.results[r].strNumber) +
                        "</number>\r\n<title>" + CDataSections(session.results[r].strTitle) +
                        "</title>\r\n</saved>\r\n";
            }
        }
        text += "</session>\r\n";
    }
    text += "</savedsession>\r\n";
    return text;
}

bool WriteTextFile(const CString& path, const CString& text, CString* pWhy)
{
    DWORD error = ERROR_SUCCESS;
    if (WriteDataFile(path, text, &error))
        return true;
    if (pWhy) {
        char buffer[512] = {};
        ::SetLastError(error);
        *pWhy = GetLastErrorText(buffer, sizeof buffer);
    }
    return false;
}

bool SplitSavedText(const CString& text, SessionResult& result)
{
    if (text.GetLength() < 3)
        return false;
    const int blank = text.Find(' ');
    if (blank < 0) {
        result.strNumber = text;
        result.strTitle = text;
    } else {
        result.strNumber = text.Left(blank);
        result.strTitle = text.Mid(blank + 1);
    }
    return true;
}

SessionFileState ReadSessionFile(const CString& path, SessionArray& sessions, IXMLDOMDocument2Ptr doc)
{
    sessions.RemoveAll();
    const SessionFileState state = LoadStoredXml(path, doc);
    if (state != SessionFileRead)
        return state;
    if (!IsDocumentOfKind(doc, L"savedsession", L"session"))
        return SessionFileOtherKind;
    for (IXMLDOMNodePtr node : SelectNodes(doc, L"savedsession/session")) {
        SearchSession session;
        session.strName = UnescapeSessionText(AttributeTextAt(node, 0));
        session.strMark = UnescapeSessionText(AttributeTextAt(node, 1));
        session.strClient = UnescapeSessionText(AttributeTextAt(node, 2));
        for (IXMLDOMNodePtr child : ChildElements(node)) { // the white space between them is no child
            SessionResult result;
            IXMLDOMNodePtr number = child->selectSingleNode(L"number");
            if (number) {
                IXMLDOMNodePtr title = child->selectSingleNode(L"title");
                result.strNumber = ToAnsi(number->Gettext());
                result.strTitle = title ? ToAnsi(title->Gettext()) : CString();
                CString joined = result.strNumber + " " + result.strTitle;
                if (joined.Trim().GetLength() < 3)
                    break;
            } else {
                CString text = ToAnsi(child->Gettext());
                if (!SplitSavedText(text.Trim(), result))
                    break;
            }
            session.results.Add(result);
        }
        sessions.Add(session);
    }
    return SessionFileRead;
}

void EnsureNoSessionEntry(SessionArray& sessions)
{
    if (sessions.GetSize() > 0 && sessions[0].strName == kNoSessionSelected)
        return;
    SearchSession general;
    general.strName = kNoSessionSelected;
    sessions.InsertAt(0, general);
}

// ---------------------------------------------------------------------- stored XML files

CString SystemCodePageName()
{
    CString name;
    name.Format("windows-%u", ::GetACP());
    return name;
}

SessionFileState LoadStoredXml(const CString& path, IXMLDOMDocument2Ptr doc)
{
    if (IsOversizedDataFile(path))
        return SessionFileTooLarge;
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? SessionFileMissing
                                                                                 : SessionFileUnreadable;
    }
    std::string bytes;
    char buffer[16384];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(h, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0)
        bytes.append(buffer, got);
    ::CloseHandle(h);
    if (!ok)
        return SessionFileUnreadable;

    size_t body = 0;
    CString encoding;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        body = 3;
        encoding = "utf-8";
    }
    const size_t first = bytes.find_first_not_of(" \t\r\n", body);
    if (first != std::string::npos && bytes.compare(first, 5, "<?xml") == 0) {
        const size_t end = bytes.find("?>", first);
        if (end == std::string::npos)
            return SessionFileUnreadable;
        if (encoding.IsEmpty())
            encoding = DeclaredEncoding(bytes.substr(first, end - first));
        body = end + 2; // the parser is handed text: the declaration's encoding is not its concern
    }
    const char* pch = bytes.data() + body;
    const int length = static_cast<int>(bytes.size() - body);
    std::wstring text;
    const UINT codePage = CodePageOf(encoding);
    if (!DecodeBytes(pch, length, codePage, MB_ERR_INVALID_CHARS, text) &&
        !DecodeBytes(pch, length, CP_ACP, 0, text))
        return SessionFileUnreadable;

    doc->Putasync(VARIANT_FALSE);
    doc->PutpreserveWhiteSpace(VARIANT_TRUE);
    if (text.find(L'\0') != std::wstring::npos)
        return SessionFileUnreadable;
    return doc->loadXML(_bstr_t(text.c_str())) ? SessionFileRead : SessionFileUnreadable;
}
