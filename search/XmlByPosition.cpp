#include "XmlByPosition.h"

#include "XmlHelpers.h"

CString AttributeTextAt(IXMLDOMNodePtr node, long index)
{
    if (!node || index < 0)
        return CString();
    IXMLDOMNamedNodeMapPtr attributes = node->Getattributes();
    if (!attributes || index >= attributes->Getlength())
        return CString();
    IXMLDOMNodePtr attribute = attributes->Getitem(index);
    return attribute ? ToAnsi(attribute->Gettext()) : CString();
}

CString ChildTextAt(IXMLDOMNodePtr node, long index)
{
    if (!node || index < 0)
        return CString();
    IXMLDOMNodeListPtr children = node->GetchildNodes();
    if (!children || index >= children->Getlength())
        return CString();
    IXMLDOMNodePtr child = children->Getitem(index);
    return child ? ToAnsi(child->Gettext()) : CString();
}

std::vector<CString> ChildTexts(IXMLDOMNodePtr node)
{
    std::vector<CString> texts;
    for (IXMLDOMNodePtr child = node ? node->GetfirstChild() : nullptr; child; child = child->GetnextSibling())
        texts.push_back(ToAnsi(child->Gettext()));
    return texts;
}
