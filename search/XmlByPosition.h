// Reading the texts of an element's attributes and child nodes by their position, for the
// stored files whose readers address them so (the session and saved-report files): an
// element edited by hand may have fewer of them, and a missing one reads as the empty text.
#pragma once

#include "Msxml.h"
#include "String.h"

#include <vector>

// The text of the node's attribute at the position (0 is the first); empty when the node is
// null or has no attribute there.
CString AttributeTextAt(IXMLDOMNodePtr node, long index);

// The text of the node's child node at the position (0 is the first); empty when the node is
// null or has no child there.
CString ChildTextAt(IXMLDOMNodePtr node, long index);

// The texts of all the node's child nodes in order, as ChildTextAt gives them position by
// position, in one walk from sibling to sibling (none for a null node).
std::vector<CString> ChildTexts(IXMLDOMNodePtr node);
