#include "SessionExport.h"

#include "XmlByPosition.h"
#include "XmlHelpers.h"

const char kSessionFileFilter[] = "Zentrova files (*.qvx)|*.qvx|All Files(*.*)|*.*||";

namespace {

CString Escaped(const CString& text)
{
    return EscapeSessionText(XmlSafeText(text));
}

} // namespace

CString SessionExportText(const SearchSession& session)
{
    CString text = "<?xml version=\"1.0\" encoding=\"" + SystemCodePageName() + "\" ?>\r\n";
    text += "<session name=\"" + Escaped(session.strName) + "\" mark=\"" + Escaped(session.strMark) + "\" client=\"" +
            Escaped(session.strClient) + "\">\r\n";
    for (INT_PTR i = 0; i < session.results.GetSize(); ++i) {
        text += "<document number=\"" + Escaped(session.results[i].strNumber) + "\">" +
                Escaped(session.results[i].strTitle) + "</document>\r\n";
    }
    text += "</session>\r\n";
    return text;
}

bool ReadSessionExport(const CString& path, SearchSession& session, CString& strWhy)
{
    const CString notASession = "The file\n" + path + "\nis not a search session file. Nothing was imported.";
    try {
        IXMLDOMDocument2Ptr doc = CreateDomDocument();
        const SessionFileState state = LoadStoredXml(path, doc);
        if (state == SessionFileMissing) {
            strWhy = "The file\n" + path + "\ncould not be found. Nothing was imported.";
            return false;
        }
        if (state != SessionFileRead) {
            strWhy = notASession;
            return false;
        }
        IXMLDOMNodePtr root = doc->selectSingleNode(L"session");
        IXMLDOMNamedNodeMapPtr attributes = root ? root->Getattributes() : nullptr;
        if (!attributes || attributes->Getlength() < 1) {
            strWhy = notASession;
            return false;
        }
        SearchSession read;
        read.strName = AttributeTextAt(root, 0);
        read.strMark = AttributeTextAt(root, 1);
        read.strClient = AttributeTextAt(root, 2);
        if (read.strName.IsEmpty()) {
            strWhy = notASession;
            return false;
        }
        for (IXMLDOMNodePtr node : SelectNodes(root, L"document")) {
            SessionResult result;
            result.strNumber = AttributeTextAt(node, 0);
            result.strTitle = ToAnsi(node->Gettext());
            if (result.strNumber.IsEmpty())
                continue; // a document element without its number names no document
            read.results.Add(result);
        }
        session = read;
        return true;
    } catch (const _com_error&) {
        strWhy = notASession;
        return false;
    }
}
