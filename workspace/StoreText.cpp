#include "StoreText.h"

#include "TextConversion.h"
#include "XmlHelpers.h"

#include <cstring>
#include <cwchar>

namespace storetext {

namespace {

// The line that starts at `at`: its length without the line end, and where the next begins.
void LineAt(const char* text, int at, int to, int& length, int& next)
{
    const void* lf = std::memchr(text + at, '\n', static_cast<size_t>(to - at));
    next = lf ? static_cast<int>(static_cast<const char*>(lf) - text) + 1 : to;
    length = next - at;
    if (length > 0 && text[at + length - 1] == '\n')
        --length;
    if (length > 0 && text[at + length - 1] == '\r')
        --length;
}

int Tabs(const char* line, int length)
{
    int n = 0;
    while (n < length && line[n] == '\t')
        ++n;
    return n;
}

bool IsElement(IXMLDOMNodePtr node)
{
    return node && node->GetnodeType() == NODE_ELEMENT;
}

// The node's own xml text with character references beyond ASCII made characters again, in
// 8-bit text.
std::string OwnText(IXMLDOMNodePtr node)
{
    const _bstr_t xml = node->Getxml();
    const wchar_t* w = static_cast<const wchar_t*>(xml);
    const size_t n = xml.length();
    if (!w)
        return std::string();
    if (!std::wcsstr(w, L"&#x"))
        return Utf16ToAnsi(w, static_cast<int>(n)).str();
    std::wstring text;
    text.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        if (w[i] == L'&' && i + 3 < n && w[i + 1] == L'#' && w[i + 2] == L'x') {
            size_t j = i + 3;
            unsigned long code = 0;
            while (j < n && j < i + 11) {
                const wchar_t c = w[j];
                int digit = -1;
                if (c >= L'0' && c <= L'9')
                    digit = c - L'0';
                else if (c >= L'A' && c <= L'F')
                    digit = c - L'A' + 10;
                else if (c >= L'a' && c <= L'f')
                    digit = c - L'a' + 10;
                if (digit < 0)
                    break;
                code = code * 16 + static_cast<unsigned long>(digit);
                ++j;
            }
            if (j < n && w[j] == L';' && j > i + 3 && code >= 0x80 && code <= 0x10FFFF) {
                if (code >= 0x10000) {
                    code -= 0x10000;
                    text += static_cast<wchar_t>(0xD800 + (code >> 10));
                    text += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
                } else {
                    text += static_cast<wchar_t>(code);
                }
                i = j;
                continue;
            }
        }
        text += w[i];
    }
    return Utf16ToAnsi(text.c_str(), static_cast<int>(text.size())).str();
}

// Whether a line of an element's text is one tag and nothing else: "<name ...>", "</name>"
// or "<name .../>". Markup characters in attribute values are written as references, so a
// line holding text, a comment, a processing instruction or two tags fails.
bool IsTagLine(const char* line, int length)
{
    int at = 0;
    while (at < length && line[at] == '\t')
        ++at;
    if (length - at < 3 || line[at] != '<' || line[length - 1] != '>' || line[at + 1] == '!' || line[at + 1] == '?')
        return false;
    const char* rest = line + at + 1;
    const size_t restLength = static_cast<size_t>(length - at - 2);
    return !std::memchr(rest, '<', restLength) && !std::memchr(rest, '>', restLength);
}

// The lines of a text, each indented by `depth` tabs and ended by CR LF, added to out; false
// when a line is not a tag (with out then partly written).
bool AddIndented(const std::string& lines, int depth, std::string& out)
{
    const char* p = lines.data();
    const int to = static_cast<int>(lines.size());
    for (int at = 0; at < to;) {
        int length = 0, next = 0;
        LineAt(p, at, to, length, next);
        if (!IsTagLine(p + at, length))
            return false;
        out.append(static_cast<size_t>(depth), '\t');
        out.append(p + at, static_cast<size_t>(length));
        out += "\r\n";
        at = next;
    }
    return to > 0;
}

// The start tag of an element with children: the text of the element without them, opened.
bool AddStartTag(IXMLDOMNodePtr element, int depth, std::string& out)
{
    std::string empty = OwnText(element->cloneNode(VARIANT_FALSE));
    if (empty.size() < 3 || empty.compare(empty.size() - 2, 2, "/>") != 0 || !IsTagLine(empty.data(), static_cast<int>(empty.size())))
        return false;
    empty.erase(empty.size() - 2);
    out.append(static_cast<size_t>(depth), '\t');
    out += empty;
    out += ">\r\n";
    return true;
}

void AddEndTag(IXMLDOMNodePtr element, int depth, std::string& out)
{
    out.append(static_cast<size_t>(depth), '\t');
    out += "</";
    out += ToAnsi(element->GetnodeName()).str();
    out += ">\r\n";
}

} // namespace

bool FindElements(const std::string& text, int from, int to, int depth, std::vector<Span>& out)
{
    out.clear();
    const char* p = text.data();
    int open = -1; // the start of the element whose end tag is awaited
    for (int at = from; at < to;) {
        int length = 0, next = 0;
        LineAt(p, at, to, length, next);
        const char* line = p + at;
        const int tabs = Tabs(line, length);
        if (tabs == depth) {
            if (length < tabs + 2 || line[tabs] != '<')
                return false;
            if (line[tabs + 1] == '/') {
                if (open < 0)
                    return false;
                out.push_back(Span{open, next});
                open = -1;
            } else {
                if (open >= 0)
                    return false;
                if (length >= tabs + 3 && line[length - 2] == '/' && line[length - 1] == '>')
                    out.push_back(Span{at, next});
                else
                    open = at;
            }
        } else if (tabs < depth) {
            if (open >= 0)
                return false;
        } else if (open < 0) {
            return false; // deeper lines belong inside an element of this depth
        }
        at = next;
    }
    return open < 0;
}

int CommonPrefix(const std::string& a, const std::string& b, int from)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    size_t i = static_cast<size_t>(from) < n ? static_cast<size_t>(from) : n;
    // Whole words first, then the bytes of the first word that differs.
    while (i + 8 <= n && std::memcmp(a.data() + i, b.data() + i, 8) == 0)
        i += 8;
    while (i < n && a[i] == b[i])
        ++i;
    return static_cast<int>(i);
}

// ---------------------------------------------------------------- the kept text

void CKeptText::Clear()
{
    m_text.clear();
    m_sections.clear();
    m_bKnown = false;
}

bool CKeptText::AddSection(IXMLDOMNodePtr pSection, std::string& out, Section& where)
{
    where = Section();
    where.span.begin = static_cast<int>(out.size());
    IXMLDOMNodePtr child = pSection->GetfirstChild();
    if (!child) {
        if (!AddIndented(OwnText(pSection), 1, out))
            return false;
    } else {
        if (!AddStartTag(pSection, 1, out))
            return false;
        for (; child; child = child->GetnextSibling()) {
            if (!IsElement(child) || !AddIndented(OwnText(child), 2, out))
                return false;
            ++where.children;
        }
        where.closing = static_cast<int>(out.size());
        AddEndTag(pSection, 1, out);
    }
    where.span.end = static_cast<int>(out.size());
    return true;
}

bool CKeptText::Make(IXMLDOMDocument2Ptr pDoc)
{
    Clear();
    // Before the root only the declaration, after it nothing.
    std::string text;
    IXMLDOMNodePtr root;
    for (IXMLDOMNodePtr node = pDoc->GetfirstChild(); node; node = node->GetnextSibling()) {
        if (IsElement(node)) {
            if (root)
                return false;
            root = node;
        } else if (!root && node->GetnodeType() == NODE_PROCESSING_INSTRUCTION &&
                   ToAnsi(node->GetnodeName()) == "xml") {
            const std::string declaration = OwnText(node);
            if (declaration.find('\n') != std::string::npos)
                return false;
            text += declaration + "\r\n";
        } else {
            return false;
        }
    }
    if (!root)
        return false;
    std::vector<Section> sections;
    IXMLDOMNodePtr section = root->GetfirstChild();
    if (!section) {
        if (!AddIndented(OwnText(root), 0, text))
            return false;
    } else {
        if (!AddStartTag(root, 0, text))
            return false;
        for (; section; section = section->GetnextSibling()) {
            Section where;
            if (!IsElement(section) || !AddSection(section, text, where))
                return false;
            sections.push_back(where);
        }
        AddEndTag(root, 0, text);
    }
    m_text = std::move(text);
    m_sections = std::move(sections);
    m_bKnown = true;
    return true;
}

void CKeptText::Shift(int nSection, int delta)
{
    for (size_t i = static_cast<size_t>(nSection) + 1; i < m_sections.size(); ++i) {
        m_sections[i].span.begin += delta;
        m_sections[i].span.end += delta;
        if (m_sections[i].closing >= 0)
            m_sections[i].closing += delta;
    }
}

bool CKeptText::Append(int nSection, long nChildren, IXMLDOMNodePtr pElement, int& nUnchanged)
{
    if (!m_bKnown || nSection < 0 || nSection >= static_cast<int>(m_sections.size()))
        return false;
    Section& s = m_sections[static_cast<size_t>(nSection)];
    std::string added;
    if (s.children != nChildren - 1 || !AddIndented(OwnText(pElement), 2, added))
        return false;
    int at = 0, removed = 0;
    std::string inserted;
    if (s.closing < 0) {
        // An empty section on one line, "\t<Name/>": opened, the element, closed.
        const int tail = 4; // "/>\r\n"
        if (s.span.end - s.span.begin < tail + 3 ||
            m_text.compare(static_cast<size_t>(s.span.end - tail), tail, "/>\r\n") != 0)
            return false;
        at = s.span.end - tail;
        removed = tail;
        inserted = ">\r\n" + added;
        AddEndTag(pElement->GetparentNode(), 1, inserted);
        s.closing = at + 3 + static_cast<int>(added.size());
    } else {
        at = s.closing;
        inserted = added;
        s.closing += static_cast<int>(added.size());
    }
    m_text.replace(static_cast<size_t>(at), static_cast<size_t>(removed), inserted);
    const int delta = static_cast<int>(inserted.size()) - removed;
    s.span.end += delta;
    s.children = nChildren;
    Shift(nSection, delta);
    nUnchanged = at;
    return true;
}

bool CKeptText::Replace(int nSection, int nIndex, long nChildren, IXMLDOMNodePtr pElement, int& nUnchanged)
{
    if (!m_bKnown || nSection < 0 || nSection >= static_cast<int>(m_sections.size()))
        return false;
    Section& s = m_sections[static_cast<size_t>(nSection)];
    Span span = s.span;
    std::string lines;
    Section replaced;
    if (nIndex < 0) {
        if (!AddSection(pElement, lines, replaced))
            return false;
    } else {
        std::vector<Span> children;
        if (s.children != nChildren || nIndex >= nChildren ||
            !FindElements(m_text, s.span.begin, s.span.end, 2, children) ||
            static_cast<long>(children.size()) != nChildren || !AddIndented(OwnText(pElement), 2, lines))
            return false;
        span = children[static_cast<size_t>(nIndex)];
    }
    // How much of the old lines the new ones begin with.
    size_t same = 0;
    const size_t oldLength = static_cast<size_t>(span.end - span.begin);
    while (same < oldLength && same < lines.size() && m_text[static_cast<size_t>(span.begin) + same] == lines[same])
        ++same;
    m_text.replace(static_cast<size_t>(span.begin), oldLength, lines);
    nUnchanged = span.begin + static_cast<int>(same);
    const int delta = static_cast<int>(lines.size()) - static_cast<int>(oldLength);
    if (nIndex < 0) {
        s.children = replaced.children;
        s.closing = replaced.closing < 0 ? -1 : span.begin + replaced.closing;
    } else if (s.closing >= 0) {
        s.closing += delta;
    }
    s.span.end += delta;
    Shift(nSection, delta);
    return true;
}

} // namespace storetext
