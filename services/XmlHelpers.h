// Reading and setting attributes of DOM nodes, with the values as 8-bit text.
#pragma once

#include "Msxml.h"
#include "String.h"

#include <vector>

// 1 when the node has an attribute of that name (case-sensitive), its text then in value;
// 0 when not, and value is left exactly as it was. A null node raises _com_error(E_POINTER).
int GetXmlAttribute(IXMLDOMNodePtr node, CString name, CString& value);

// Sets the attribute, replacing one of the same name or adding it; the new attribute is made
// by the node's own document. 1 when set, 0 for a null node. A failing DOM call raises
// _com_error.
int SetXmlAttribute(IXMLDOMNodePtr node, CString name, CString value);

// A new, empty MSXML 4.0 DOM document (DOMDocument40, in any server context); a failure
// raises _com_error.
IXMLDOMDocument2Ptr CreateDomDocument();

// The text of a node or of a DOM string, as 8-bit text in the system code page.
CString ToAnsi(const _bstr_t& text);

// The value as an XPath string literal, for queries made from stored texts: in double
// quotes, in single quotes when it holds a double quote, and joined with concat() when it
// holds both, so that no value can break or change the query.
CString XPathLiteral(const CString& value);

// The nodes the XPath selects from the node, in document order (none when it selects none).
// A null node or a query that is no XPath raises _com_error.
std::vector<IXMLDOMNodePtr> SelectNodes(IXMLDOMNodePtr node, const wchar_t* xpath);

// The element children of the node in document order (none for a null node), walked from
// sibling to sibling: the time it takes grows with their number, where asking a child list
// for its items by position under Wine walks the list from its start for each one.
std::vector<IXMLDOMNodePtr> ChildElements(IXMLDOMNodePtr node);

// Whether the loaded document is of the kind a reader expects: its root element bears the
// root name and, when the root holds elements, at least one of them bears the child name.
// Another data file copied into a file's place fails; an empty list passes. A failing DOM
// call raises _com_error.
bool IsDocumentOfKind(IXMLDOMDocument2Ptr doc, const wchar_t* root, const wchar_t* child);
