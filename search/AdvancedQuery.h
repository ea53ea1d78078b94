// The query building of the Advanced Search page, without a window: the treatment of each
// field's text by its name, the query checker, the joining of bare words, the reordering of
// examiner names, and the assembly of the search text, the parameter map and the readable
// query from the filled field patterns. The page reads its controls into
// AdvancedFieldInput records, calls BuildAdvancedQuery and shows the checker's messages.
#pragma once

#include "MapStringToString.h"
#include "String.h"

#include <functional>
#include <vector>

// How a field's text is treated before it goes into the field's pattern, chosen by the
// field's Name (exact comparison).
enum class AdvancedFieldClass
{
    JoinedText, // TTL, SPEC, ABST, ACLM: bare words joined by "and", then checked
    Code,       // numbers, classes and dates: operators only
    Examiner,   // EXP, EXA: "First Last" becomes "Last-First", operators only
    FreeText    // every other name: checked
};
AdvancedFieldClass ClassifyAdvancedField(const CString& name);

// The checker's two messages.
extern const char kBadBracketCombination[];   // "Bad bracket combination"
extern const char kBadQuotationCombination[]; // "Bad quotation combination"

// The query checker. With check 1 at location 0 or 1 (the two USPTO locations) the text is
// lower-cased, its brackets and double quotes are validated, and its bare words are quoted
// and joined by "and" (unless the pattern holds an "[OPERATOR]" marker of a text field);
// otherwise only the operators AND, OR and NOT are written in capitals, closing and
// reopening the quote that the pattern puts around the data. A text that fails validation
// gives the empty text, with the message in *pError (when given).
CString CheckQueryText(const CString& pattern, const CString& text, int check, int locationIndex,
                       CString* pError = nullptr);

// " and" put between bare words that no operator joins yet; quoted phrases stay whole.
CString JoinQueryWords(const CString& text);

// An examiner's name as the service expects it: "A B" becomes "B-A", "A B C" becomes "C-A-B"
// (a fourth word is dropped); one word stays as it is.
CString ReorderExaminerName(const CString& text);

// One run-time field of the page as the page read it.
struct AdvancedFieldInput
{
    CString name;    // the field's Name
    CString pattern; // its Template, with "[FIELDDATA]"
    CString text;    // an edit's window text, or a combo's selected value
};

// What one start of the search hands on.
struct AdvancedQuery
{
    CMapStringToString params; // Name -> filled pattern, and SEARCHSTRING
    CString searchText;        // the filled patterns one after the other
    CString displayText;       // the readable query shown after "Query: "
};

// Builds the search from the page's edits and combos, each list in creation order. Each
// message of the checker is handed to report as it comes (the page shows it in a box); the
// field then contributes its pattern with an empty value and the build goes on.
void BuildAdvancedQuery(const std::vector<AdvancedFieldInput>& edits,
                        const std::vector<AdvancedFieldInput>& combos, int locationIndex,
                        const std::function<void(const CString&)>& report, AdvancedQuery& query);
