#include "XmlHelpers.h"

#include "TextConversion.h"

CString ToAnsi(const _bstr_t& text)
{
    const wchar_t* w = static_cast<const wchar_t*>(text);
    return w ? Utf16ToAnsi(w, static_cast<int>(text.length())) : CString();
}

IXMLDOMDocument2Ptr CreateDomDocument()
{
    IXMLDOMDocument2Ptr doc;
    HRESULT hr = doc.CreateInstance(__uuidof(DOMDocument40), nullptr,
                                    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                                        CLSCTX_REMOTE_SERVER);
    if (FAILED(hr))
        _com_issue_error(hr);
    return doc;
}

int GetXmlAttribute(IXMLDOMNodePtr node, CString name, CString& value)
{
    if (!node)
        _com_issue_error(E_POINTER);
    IXMLDOMNamedNodeMapPtr attributes = node->Getattributes();
    if (!attributes)
        return 0;
    IXMLDOMNodePtr attribute = attributes->getNamedItem(_bstr_t(name));
    if (!attribute)
        return 0;
    value = ToAnsi(attribute->Gettext());
    return 1;
}

int SetXmlAttribute(IXMLDOMNodePtr node, CString name, CString value)
{
    if (!node)
        return 0;
    IXMLDOMNamedNodeMapPtr attributes = node->Getattributes();
    IXMLDOMDocumentPtr document = node->GetownerDocument();
    if (!attributes || !document)
        _com_issue_error(E_INVALIDARG);
    IXMLDOMNodePtr attribute =
        document->createNode(_variant_t(static_cast<short>(NODE_ATTRIBUTE)), _bstr_t(name), _bstr_t(L""));
    attribute->Puttext(_bstr_t(value));
    attributes->setNamedItem(attribute);
    return 1;
}

CString XPathLiteral(const CString& value)
{
    if (value.Find('"') < 0)
        return "\"" + value + "\"";
    if (value.Find('\'') < 0)
        return "'" + value + "'";
    // concat("a", '"', "b") for a"b
    CString out = "concat(";
    int start = 0;
    for (int i = 0; i <= value.GetLength(); ++i) {
        if (i == value.GetLength() || value[i] == '"') {
            if (i > start)
                out += "\"" + value.Mid(start, i - start) + "\", ";
            if (i < value.GetLength())
                out += "'\"', ";
            start = i + 1;
        }
    }
    out += "\"\")";
    return out;
}

std::vector<IXMLDOMNodePtr> SelectNodes(IXMLDOMNodePtr node, const wchar_t* xpath)
{
    if (!node)
        _com_issue_error(E_POINTER);
    std::vector<IXMLDOMNodePtr> nodes;
    IXMLDOMNodeListPtr list = node->selectNodes(_bstr_t(xpath));
    const long count = list ? list->Getlength() : 0;
    for (long i = 0; i < count; ++i)
        nodes.push_back(list->Getitem(i));
    return nodes;
}

std::vector<IXMLDOMNodePtr> ChildElements(IXMLDOMNodePtr node)
{
    std::vector<IXMLDOMNodePtr> elements;
    for (IXMLDOMNodePtr child = node ? node->GetfirstChild() : nullptr; child; child = child->GetnextSibling())
        if (child->GetnodeType() == NODE_ELEMENT)
            elements.push_back(child);
    return elements;
}

bool IsDocumentOfKind(IXMLDOMDocument2Ptr doc, const wchar_t* root, const wchar_t* child)
{
    IXMLDOMElementPtr element = doc ? doc->GetdocumentElement() : nullptr;
    if (!element || _bstr_t(root) != element->GettagName())
        return false;
    bool bHoldsElements = false;
    for (IXMLDOMNodePtr node = element->GetfirstChild(); node; node = node->GetnextSibling()) {
        if (node->GetnodeType() != NODE_ELEMENT)
            continue;
        if (_bstr_t(child) == node->GetnodeName())
            return true;
        bHoldsElements = true;
    }
    return !bHoldsElements;
}
