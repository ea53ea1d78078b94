// The text of the project store as the XML document writes it (its `xml` property): one
// element per line, indented by one tab per level, lines ended by CR LF. For a store that
// holds nothing but elements under its root, CKeptText makes that text from the texts of the
// store's elements one by one, which takes time in proportion to the store (the document's
// own serialization does not), knows where the lines of each section (the root's children:
// Folders, Shorts, Documents) lie, and after a change to one element, or one added at the
// end of a section, puts that element's new lines in place.
#pragma once

#include "Msxml.h"

#include <string>
#include <vector>

namespace storetext {

// Where an element's lines lie in the text: [begin, end) in bytes, whole lines.
struct Span
{
    int begin = 0;
    int end = 0;
};

// The elements that start at the given depth (lines of exactly `depth` tabs, then "<")
// within [from, to), each with its lines up to its end tag. False when the lines do not have
// that shape (an element without its end tag, a deeper line outside any element).
bool FindElements(const std::string& text, int from, int to, int depth, std::vector<Span>& out);

// The length of the common beginning of two texts, from `from` on.
int CommonPrefix(const std::string& a, const std::string& b, int from = 0);

// The store's text, kept between writes, with the lines of its sections.
class CKeptText
{
public:
    // Makes the text of the document, as its `xml` property gives it (converted to 8-bit
    // text), from its elements. False, with nothing kept, for a document that holds anything
    // but the XML declaration and elements.
    bool Make(IXMLDOMDocument2Ptr pDoc);
    void Clear();
    bool IsKnown() const { return m_bKnown; }
    const std::string& Text() const { return m_text; }

    // pElement was added as the last child of the section at that position; nChildren is
    // the section's number of children now. False (the text unchanged) when the kept text
    // does not show that section with one child fewer, or the element holds more than
    // elements. nUnchanged: the length of the text's beginning that stayed as it was.
    bool Append(int nSection, long nChildren, IXMLDOMNodePtr pElement, int& nUnchanged);
    // The child at nIndex of the section (nIndex -1: the section itself, whose children may
    // have come and gone) changed; nChildren is the section's number of children. False (the
    // text unchanged) when the kept text does not show that element, or the element holds
    // more than elements.
    bool Replace(int nSection, int nIndex, long nChildren, IXMLDOMNodePtr pElement, int& nUnchanged);

private:
    struct Section
    {
        Span span;         // all its lines
        int closing = -1;  // where its end-tag line begins; -1 for an empty element on one line
        long children = 0;
    };

    // The section's lines (start tag, children, end tag) added to out, and where they lie.
    static bool AddSection(IXMLDOMNodePtr pSection, std::string& out, Section& where);
    // The sections after nSection move by delta bytes.
    void Shift(int nSection, int delta);

    std::string m_text;
    std::vector<Section> m_sections;
    bool m_bKnown = false;
};

} // namespace storetext
