// The MSXML 4.0 DOM through COM smart pointers.
//
// The SDK's msxml2.h declares the DOM interfaces with their raw methods only (HRESULT results,
// out parameters), and has no uuid declarations for them nor the DOMDocument40 class id. This
// header adds, in namespace MSXML2, one type per interface that derives from the SDK's and
// keeps its raw methods, plus members that take and answer values and raise _com_error for a
// failing HRESULT (with the object's error information):
//   methods keep their names:        doc->loadXML(L"<a/>"), node->selectNodes(L"//b")
//   property reads are Get<name>:    node->Getxml(), node->Gettext(), doc->GetparseError()
//   property writes are Put<name>:   doc->Putasync(VARIANT_FALSE), node->Puttext(L"x")
// A call through a null smart pointer raises _com_error(E_POINTER). A node that a selection
// does not find comes back as a null pointer, without an exception. Text parameters are
// _bstr_t, so 8-bit text goes through _bstr_t(text), which converts from the ANSI code page.
//
// The smart-pointer types (IXMLDOMDocument2Ptr, IXMLDOMNodePtr, ...) are also available
// without the namespace. Create a document with
//   IXMLDOMDocument2Ptr doc;
//   doc.CreateInstance(__uuidof(DOMDocument40));
#pragma once

#include "ComSupport.h"

#include <msxml2.h>

namespace MSXML2 {

struct IXMLDOMNode;
struct IXMLDOMDocument;
struct IXMLDOMDocument2;
struct IXMLDOMNodeList;
struct IXMLDOMNamedNodeMap;
struct IXMLDOMElement;
struct IXMLDOMAttribute;
struct IXMLDOMText;
struct IXMLDOMParseError;
using ::DOMDocument40;

} // namespace MSXML2

// Each interface id, for the SDK's interface and for ours.
// clang-format off
#define ZENTROVA_XML_UUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                  \
    __CRT_UUID_DECL(::name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                    \
    __CRT_UUID_DECL(MSXML2::name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)
ZENTROVA_XML_UUID(IXMLDOMNode, 0x2933bf80, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
ZENTROVA_XML_UUID(IXMLDOMDocument, 0x2933bf81, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
ZENTROVA_XML_UUID(IXMLDOMNodeList, 0x2933bf82, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
ZENTROVA_XML_UUID(IXMLDOMNamedNodeMap, 0x2933bf83, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
ZENTROVA_XML_UUID(IXMLDOMAttribute, 0x2933bf85, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
ZENTROVA_XML_UUID(IXMLDOMElement, 0x2933bf86, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
ZENTROVA_XML_UUID(IXMLDOMText, 0x2933bf87, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
ZENTROVA_XML_UUID(IXMLDOMDocument2, 0x2933bf95, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
ZENTROVA_XML_UUID(IXMLDOMParseError, 0x3efaa426, 0x272f, 0x11d2, 0x83, 0x6f, 0x00, 0x00, 0xf8, 0x7a, 0x77, 0x82)
#undef ZENTROVA_XML_UUID
__CRT_UUID_DECL(DOMDocument40, 0x88d969c0, 0xf192, 0x11d4, 0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5)
// clang-format on

namespace MSXML2 {

_COM_SMARTPTR_TYPEDEF(IXMLDOMNode, __uuidof(::IXMLDOMNode));
_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument, __uuidof(::IXMLDOMDocument));
_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument2, __uuidof(::IXMLDOMDocument2));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNodeList, __uuidof(::IXMLDOMNodeList));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNamedNodeMap, __uuidof(::IXMLDOMNamedNodeMap));
_COM_SMARTPTR_TYPEDEF(IXMLDOMElement, __uuidof(::IXMLDOMElement));
_COM_SMARTPTR_TYPEDEF(IXMLDOMAttribute, __uuidof(::IXMLDOMAttribute));
_COM_SMARTPTR_TYPEDEF(IXMLDOMText, __uuidof(::IXMLDOMText));
_COM_SMARTPTR_TYPEDEF(IXMLDOMParseError, __uuidof(::IXMLDOMParseError));

namespace detail {

// Raises _com_error for a failing result, with the error information of the object.
template <class Raw>
inline void Check(Raw* self, HRESULT hr)
{
    if (FAILED(hr))
        _com_issue_errorex(hr, self, __uuidof(Raw));
}

// A smart pointer that takes over the reference an out parameter delivered.
template <class Ptr, class Out>
inline Ptr Take(Out* p)
{
    return Ptr(static_cast<typename Ptr::Interface*>(p), false);
}

// The calls below run a raw method of self (whose interface is Raw) and check its result.
template <class Raw, class Base, class T>
inline T Get(Raw* self, HRESULT (WINAPI Base::*get)(T*))
{
    T value{};
    Check<Raw>(self, (self->*get)(&value));
    return value;
}

template <class Raw, class Base>
inline _bstr_t GetBstr(Raw* self, HRESULT (WINAPI Base::*get)(BSTR*))
{
    BSTR value = nullptr;
    Check<Raw>(self, (self->*get)(&value));
    return _bstr_t(value, false);
}

template <class Raw, class Base>
inline _variant_t GetVariant(Raw* self, HRESULT (WINAPI Base::*get)(VARIANT*))
{
    _variant_t value;
    Check<Raw>(self, (self->*get)(&value));
    return value;
}

template <class Ptr, class Raw, class Base, class Out>
inline Ptr GetPtr(Raw* self, HRESULT (WINAPI Base::*get)(Out**))
{
    Out* out = nullptr;
    Check<Raw>(self, (self->*get)(&out));
    return Take<Ptr>(out);
}

template <class Raw, class Base, class Arg, class Given>
inline HRESULT Put(Raw* self, HRESULT (WINAPI Base::*put)(Arg), const Given& value)
{
    HRESULT hr = (self->*put)(value);
    Check<Raw>(self, hr);
    return hr;
}

template <class Ptr, class Raw, class Base, class Arg, class Out, class Given>
inline Ptr CallPtr(Raw* self, HRESULT (WINAPI Base::*call)(Arg, Out**), const Given& arg)
{
    Out* out = nullptr;
    Check<Raw>(self, (self->*call)(arg, &out));
    return Take<Ptr>(out);
}

} // namespace detail

// The members every node kind has. Raw is the SDK interface of the final type.
template <class Raw>
struct DomNodeT : Raw
{
    using Raw::appendChild;
    using Raw::cloneNode;
    using Raw::hasChildNodes;
    using Raw::insertBefore;
    using Raw::removeChild;
    using Raw::replaceChild;
    using Raw::selectNodes;
    using Raw::selectSingleNode;
    using Raw::transformNode;

    _bstr_t GetnodeName() { return detail::GetBstr<Raw>(this, &Raw::get_nodeName); }
    _variant_t GetnodeValue() { return detail::GetVariant<Raw>(this, &Raw::get_nodeValue); }
    void PutnodeValue(const _variant_t& value)
    {
        detail::Put<Raw>(this, &Raw::put_nodeValue, value);
    }
    DOMNodeType GetnodeType() { return detail::Get<Raw>(this, &Raw::get_nodeType); }
    IXMLDOMNodePtr GetparentNode()
    {
        return detail::GetPtr<IXMLDOMNodePtr, Raw>(this, &Raw::get_parentNode);
    }
    IXMLDOMNodeListPtr GetchildNodes()
    {
        return detail::GetPtr<IXMLDOMNodeListPtr, Raw>(this, &Raw::get_childNodes);
    }
    IXMLDOMNodePtr GetfirstChild()
    {
        return detail::GetPtr<IXMLDOMNodePtr, Raw>(this, &Raw::get_firstChild);
    }
    IXMLDOMNodePtr GetlastChild()
    {
        return detail::GetPtr<IXMLDOMNodePtr, Raw>(this, &Raw::get_lastChild);
    }
    IXMLDOMNodePtr GetpreviousSibling()
    {
        return detail::GetPtr<IXMLDOMNodePtr, Raw>(this, &Raw::get_previousSibling);
    }
    IXMLDOMNodePtr GetnextSibling()
    {
        return detail::GetPtr<IXMLDOMNodePtr, Raw>(this, &Raw::get_nextSibling);
    }
    // Null for node kinds without attributes.
    IXMLDOMNamedNodeMapPtr Getattributes()
    {
        return detail::GetPtr<IXMLDOMNamedNodeMapPtr, Raw>(this, &Raw::get_attributes);
    }
    IXMLDOMDocumentPtr GetownerDocument()
    {
        return detail::GetPtr<IXMLDOMDocumentPtr, Raw>(this, &Raw::get_ownerDocument);
    }
    _bstr_t Gettext() { return detail::GetBstr<Raw>(this, &Raw::get_text); }
    void Puttext(_bstr_t text) { detail::Put<Raw>(this, &Raw::put_text, text); }
    _bstr_t Getxml() { return detail::GetBstr<Raw>(this, &Raw::get_xml); }
    _bstr_t GetnamespaceURI() { return detail::GetBstr<Raw>(this, &Raw::get_namespaceURI); }
    _bstr_t Getprefix() { return detail::GetBstr<Raw>(this, &Raw::get_prefix); }
    _bstr_t GetbaseName() { return detail::GetBstr<Raw>(this, &Raw::get_baseName); }

    IXMLDOMNodePtr insertBefore(::IXMLDOMNode* newChild, const _variant_t& refChild)
    {
        ::IXMLDOMNode* out = nullptr;
        detail::Check<Raw>(this, Self()->insertBefore(newChild, refChild, &out));
        return detail::Take<IXMLDOMNodePtr>(out);
    }
    IXMLDOMNodePtr replaceChild(::IXMLDOMNode* newChild, ::IXMLDOMNode* oldChild)
    {
        ::IXMLDOMNode* out = nullptr;
        detail::Check<Raw>(this, Self()->replaceChild(newChild, oldChild, &out));
        return detail::Take<IXMLDOMNodePtr>(out);
    }
    IXMLDOMNodePtr removeChild(::IXMLDOMNode* childNode)
    {
        return detail::CallPtr<IXMLDOMNodePtr, Raw>(this, &Raw::removeChild, childNode);
    }
    IXMLDOMNodePtr appendChild(::IXMLDOMNode* newChild)
    {
        return detail::CallPtr<IXMLDOMNodePtr, Raw>(this, &Raw::appendChild, newChild);
    }
    VARIANT_BOOL hasChildNodes() { return detail::Get<Raw>(this, &Raw::hasChildNodes); }
    IXMLDOMNodePtr cloneNode(VARIANT_BOOL deep)
    {
        return detail::CallPtr<IXMLDOMNodePtr, Raw>(this, &Raw::cloneNode, deep);
    }
    // The text the stylesheet (a document or its root) makes of this node.
    _bstr_t transformNode(::IXMLDOMNode* stylesheet)
    {
        BSTR out = nullptr;
        detail::Check<Raw>(this, Self()->transformNode(stylesheet, &out));
        return _bstr_t(out, false);
    }
    IXMLDOMNodeListPtr selectNodes(_bstr_t queryString)
    {
        return detail::CallPtr<IXMLDOMNodeListPtr, Raw>(this, &Raw::selectNodes, queryString);
    }
    IXMLDOMNodePtr selectSingleNode(_bstr_t queryString)
    {
        return detail::CallPtr<IXMLDOMNodePtr, Raw>(this, &Raw::selectSingleNode, queryString);
    }

protected:
    // The SDK interface: calls through it dispatch virtually, as a call qualified with Raw::
    // would not.
    Raw* Self() { return this; }
};

struct IXMLDOMNode : DomNodeT<::IXMLDOMNode>
{};
struct IXMLDOMText : DomNodeT<::IXMLDOMText>
{};

struct IXMLDOMAttribute : DomNodeT<::IXMLDOMAttribute>
{
    _bstr_t Getname()
    {
        return detail::GetBstr<::IXMLDOMAttribute>(this, &::IXMLDOMAttribute::get_name);
    }
    _variant_t Getvalue()
    {
        return detail::GetVariant<::IXMLDOMAttribute>(this, &::IXMLDOMAttribute::get_value);
    }
    void Putvalue(const _variant_t& value)
    {
        detail::Put<::IXMLDOMAttribute>(this, &::IXMLDOMAttribute::put_value, value);
    }
};

struct IXMLDOMNodeList : ::IXMLDOMNodeList
{
    using ::IXMLDOMNodeList::nextNode;
    typedef ::IXMLDOMNodeList Raw;

    // Null past the end.
    IXMLDOMNodePtr Getitem(long index)
    {
        return detail::CallPtr<IXMLDOMNodePtr, Raw>(this, &Raw::get_item, index);
    }
    long Getlength() { return detail::Get<Raw>(this, &Raw::get_length); }
    // Null after the last node; reset() starts over.
    IXMLDOMNodePtr nextNode() { return detail::GetPtr<IXMLDOMNodePtr, Raw>(this, &Raw::nextNode); }
};

struct IXMLDOMNamedNodeMap : ::IXMLDOMNamedNodeMap
{
    using ::IXMLDOMNamedNodeMap::getNamedItem;
    using ::IXMLDOMNamedNodeMap::nextNode;
    using ::IXMLDOMNamedNodeMap::removeNamedItem;
    using ::IXMLDOMNamedNodeMap::setNamedItem;
    typedef ::IXMLDOMNamedNodeMap Raw;

    // Null when there is no item of that name.
    IXMLDOMNodePtr getNamedItem(_bstr_t name)
    {
        return detail::CallPtr<IXMLDOMNodePtr, Raw>(this, &Raw::getNamedItem, name);
    }
    // Adds the item, or replaces the one of the same name (which is answered).
    IXMLDOMNodePtr setNamedItem(::IXMLDOMNode* newItem)
    {
        return detail::CallPtr<IXMLDOMNodePtr, Raw>(this, &Raw::setNamedItem, newItem);
    }
    IXMLDOMNodePtr removeNamedItem(_bstr_t name)
    {
        return detail::CallPtr<IXMLDOMNodePtr, Raw>(this, &Raw::removeNamedItem, name);
    }
    IXMLDOMNodePtr Getitem(long index)
    {
        return detail::CallPtr<IXMLDOMNodePtr, Raw>(this, &Raw::get_item, index);
    }
    long Getlength() { return detail::Get<Raw>(this, &Raw::get_length); }
    IXMLDOMNodePtr nextNode() { return detail::GetPtr<IXMLDOMNodePtr, Raw>(this, &Raw::nextNode); }
};

struct IXMLDOMParseError : ::IXMLDOMParseError
{
    typedef ::IXMLDOMParseError Raw;

    // 0 when the last load parsed.
    long GeterrorCode() { return detail::Get<Raw>(this, &Raw::get_errorCode); }
    _bstr_t Geturl() { return detail::GetBstr<Raw>(this, &Raw::get_url); }
    _bstr_t Getreason() { return detail::GetBstr<Raw>(this, &Raw::get_reason); }
    _bstr_t GetsrcText() { return detail::GetBstr<Raw>(this, &Raw::get_srcText); }
    long Getline() { return detail::Get<Raw>(this, &Raw::get_line); }
    long Getlinepos() { return detail::Get<Raw>(this, &Raw::get_linepos); }
    long Getfilepos() { return detail::Get<Raw>(this, &Raw::get_filepos); }
};

struct IXMLDOMElement : DomNodeT<::IXMLDOMElement>
{
    using ::IXMLDOMElement::getAttribute;
    using ::IXMLDOMElement::getAttributeNode;
    using ::IXMLDOMElement::getElementsByTagName;
    using ::IXMLDOMElement::removeAttribute;
    using ::IXMLDOMElement::setAttribute;
    typedef ::IXMLDOMElement Raw;

    _bstr_t GettagName() { return detail::GetBstr<Raw>(this, &Raw::get_tagName); }
    // A null variant (VT_NULL) when the attribute is missing.
    _variant_t getAttribute(_bstr_t name)
    {
        _variant_t value;
        detail::Check<Raw>(this, Self()->getAttribute(name, &value));
        return value;
    }
    HRESULT setAttribute(_bstr_t name, const _variant_t& value)
    {
        HRESULT hr = Self()->setAttribute(name, value);
        detail::Check<Raw>(this, hr);
        return hr;
    }
    HRESULT removeAttribute(_bstr_t name)
    {
        return detail::Put<Raw>(this, &Raw::removeAttribute, name);
    }
    IXMLDOMAttributePtr getAttributeNode(_bstr_t name)
    {
        return detail::CallPtr<IXMLDOMAttributePtr, Raw>(this, &Raw::getAttributeNode, name);
    }
    IXMLDOMNodeListPtr getElementsByTagName(_bstr_t tagName)
    {
        return detail::CallPtr<IXMLDOMNodeListPtr, Raw>(this, &Raw::getElementsByTagName, tagName);
    }
};

template <class Raw>
struct DomDocumentT : DomNodeT<Raw>
{
    using Raw::createAttribute;
    using Raw::createElement;
    using Raw::createNode;
    using Raw::createTextNode;
    using Raw::getElementsByTagName;
    using Raw::load;
    using Raw::loadXML;
    using Raw::save;

    IXMLDOMElementPtr GetdocumentElement()
    {
        return detail::GetPtr<IXMLDOMElementPtr, Raw>(this, &Raw::get_documentElement);
    }
    void PutRefdocumentElement(::IXMLDOMElement* element)
    {
        detail::Put<Raw>(this, &Raw::putref_documentElement, element);
    }
    IXMLDOMElementPtr createElement(_bstr_t tagName)
    {
        return detail::CallPtr<IXMLDOMElementPtr, Raw>(this, &Raw::createElement, tagName);
    }
    IXMLDOMTextPtr createTextNode(_bstr_t data)
    {
        return detail::CallPtr<IXMLDOMTextPtr, Raw>(this, &Raw::createTextNode, data);
    }
    IXMLDOMAttributePtr createAttribute(_bstr_t name)
    {
        return detail::CallPtr<IXMLDOMAttributePtr, Raw>(this, &Raw::createAttribute, name);
    }
    IXMLDOMNodeListPtr getElementsByTagName(_bstr_t tagName)
    {
        return detail::CallPtr<IXMLDOMNodeListPtr, Raw>(this, &Raw::getElementsByTagName, tagName);
    }
    // type: a DOMNodeType as a number variant, e.g. _variant_t(short(NODE_ATTRIBUTE)).
    IXMLDOMNodePtr createNode(const _variant_t& type, _bstr_t name, _bstr_t namespaceURI)
    {
        ::IXMLDOMNode* node = nullptr;
        detail::Check<Raw>(this, this->Self()->createNode(type, name, namespaceURI, &node));
        return detail::Take<IXMLDOMNodePtr>(node);
    }
    // Both answer VARIANT_FALSE, without an exception, when the text does not parse;
    // GetparseError then says why.
    VARIANT_BOOL load(const _variant_t& xmlSource)
    {
        VARIANT_BOOL ok = VARIANT_FALSE;
        detail::Check<Raw>(this, this->Self()->load(xmlSource, &ok));
        return ok;
    }
    VARIANT_BOOL loadXML(_bstr_t bstrXML)
    {
        VARIANT_BOOL ok = VARIANT_FALSE;
        detail::Check<Raw>(this, this->Self()->loadXML(bstrXML, &ok));
        return ok;
    }
    HRESULT save(const _variant_t& destination)
    {
        return detail::Put<Raw>(this, &Raw::save, destination);
    }
    IXMLDOMParseErrorPtr GetparseError()
    {
        return detail::GetPtr<IXMLDOMParseErrorPtr, Raw>(this, &Raw::get_parseError);
    }
    VARIANT_BOOL Getasync() { return detail::Get<Raw>(this, &Raw::get_async); }
    void Putasync(VARIANT_BOOL isAsync) { detail::Put<Raw>(this, &Raw::put_async, isAsync); }
    VARIANT_BOOL GetpreserveWhiteSpace()
    {
        return detail::Get<Raw>(this, &Raw::get_preserveWhiteSpace);
    }
    void PutpreserveWhiteSpace(VARIANT_BOOL isPreserving)
    {
        detail::Put<Raw>(this, &Raw::put_preserveWhiteSpace, isPreserving);
    }
};

struct IXMLDOMDocument : DomDocumentT<::IXMLDOMDocument>
{};

struct IXMLDOMDocument2 : DomDocumentT<::IXMLDOMDocument2>
{
    using ::IXMLDOMDocument2::getProperty;
    using ::IXMLDOMDocument2::setProperty;
    typedef ::IXMLDOMDocument2 Raw;

    HRESULT setProperty(_bstr_t name, const _variant_t& value)
    {
        HRESULT hr = Self()->setProperty(name, value);
        detail::Check<Raw>(this, hr);
        return hr;
    }
    _variant_t getProperty(_bstr_t name)
    {
        _variant_t value;
        detail::Check<Raw>(this, Self()->getProperty(name, &value));
        return value;
    }
};

} // namespace MSXML2

using MSXML2::IXMLDOMAttributePtr;
using MSXML2::IXMLDOMDocument2Ptr;
using MSXML2::IXMLDOMDocumentPtr;
using MSXML2::IXMLDOMElementPtr;
using MSXML2::IXMLDOMNamedNodeMapPtr;
using MSXML2::IXMLDOMNodeListPtr;
using MSXML2::IXMLDOMNodePtr;
using MSXML2::IXMLDOMParseErrorPtr;
using MSXML2::IXMLDOMTextPtr;
