// The composition of a Basic Search query: from the typed and chosen values of the page's
// rows to the parameter map that the search thread fills its recipe texts from and the
// readable query shown above the results. Needs no window.
#pragma once

#include "Framework.h"

#include <map>
#include <vector>

// One row control of the page: its field id (the row index) and its value (an edit's text,
// a combo's selected option value).
struct BasicQueryValue
{
    int nFieldId = 0;
    CString strValue;
};

struct BasicQueryInput
{
    std::vector<BasicQueryValue> edits;   // in creation order
    std::vector<BasicQueryValue> combos;  // in creation order
    std::map<int, CString> names;         // row index -> the row's Name
    std::map<int, CString> templates;     // row index -> the row's Template
    int nLocationIndex = 0;               // 2 is the European Patent Office location
};

// Fills the parameter map (emptied first; one entry per row name, SEARCHSTRING when the
// search string is not empty) and the display query.
void ComposeBasicQuery(const BasicQueryInput& input, CMapStringToString& parameters, CString& strDisplay);

// The text with " and" put between its words: quoted phrases, "and" and "or" stay as they
// are.
CString JoinBasicWords(CString text);
