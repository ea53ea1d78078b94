#include "AdvancedQuery.h"

#include <windows.h>

const char kBadBracketCombination[] = "Bad bracket combination";
const char kBadQuotationCombination[] = "Bad quotation combination";

namespace {

bool IsOneOf(const CString& name, const char* const* names)
{
    for (; *names; ++names)
        if (name == *names)
            return true;
    return false;
}

const char* const kJoinedTextNames[] = {"TTL", "SPEC", "ABST", "ACLM", nullptr};
const char* const kCodeNames[] = {"IS",  "CCL", "ICN", "ICL",  "APT", "APD", "AS", "ISD",
                                  "ACN", "APN", "RLAP", "PN", "KD", "PCT", "PD", nullptr};
const char* const kExaminerNames[] = {"EXP", "EXA", nullptr};

// Pattern markers of the text fields whose operators the recipe places itself: their words
// are not quoted one by one.
const char* const kOperatorMarkers[] = {"[OPERATOR]TTL/", "[OPERATOR]ABST/", "[OPERATOR]SPEC/",
                                        "[OPERATOR]ACLM/", nullptr};

void CollapseSpaces(CString& text)
{
    while (text.Replace("  ", " ") > 0) {
    }
}

// Lower case by the user's locale, a double-byte character taken as one unit.
void LowerByLocale(CString& text)
{
    if (text.IsEmpty())
        return;
    const int length = text.GetLength();
    char* buffer = text.GetBuffer(length);
    ::CharLowerBuffA(buffer, static_cast<DWORD>(length));
    text.ReleaseBuffer(length);
}

// Every "(" needs a ")" somewhere after it; a ")" with no "(" before it is not counted.
bool BracketsBalance(const CString& work)
{
    int open = 0;
    int p = 0;
    for (;;) {
        const int o = work.Find('(', p);
        if (o < 0)
            break;
        ++open;
        const int c = work.Find(')', o);
        if (c < 0)
            break;
        --open;
        p = c + 1;
    }
    return open == 0;
}

// Encloses each word that stands outside double quotes in double quotes.
void QuoteBareWords(CString& work)
{
    int p = 0;
    while (p < work.GetLength()) {
        if (work[p] == '"') {
            const int close = work.Find('"', p + 1);
            p = close < 0 ? work.GetLength() : close;
        }
        if (p < work.GetLength() && (work[p] == '(' || work[p] == ')'))
            ++p;
        if (p < work.GetLength()) {
            const char c = work[p];
            if (c != ' ' && c != '(' && c != ')' && c != '"') {
                work.Insert(p, '"');
                const int space = work.Find(' ', p + 1);
                p = space < 0 ? work.GetLength() : space;
                work.Insert(p, '"');
            }
        }
        ++p;
    }
}

// Puts " and " between two terms that stand side by side: two quoted terms, a quoted term
// and a bracket that opens, a bracket that closes and a quoted term.
void JoinAdjacentTerms(CString& work)
{
    int p = 1;
    while (p < work.GetLength() - 1) {
        const int space = work.Find(' ', p);
        p = space < 0 ? work.GetLength() : space;
        const auto joins = [&](char before, char after) {
            return p < work.GetLength() - 1 && work[p - 1] == before && work[p + 1] == after;
        };
        if (joins('"', '"')) {
            work.Insert(p, " and ");
            p += 5;
        }
        if (joins('"', '(')) {
            work.Insert(p, " and ");
            p += 5;
        }
        if (joins(')', '"')) {
            work.Insert(p, " and ");
            p += 5;
        }
        ++p;
    }
}

CString CheckedText(const CString& pattern, const CString& text, CString* pError)
{
    CString work = text;
    LowerByLocale(work);
    if (!BracketsBalance(work)) {
        if (pError)
            *pError = kBadBracketCombination;
        return CString();
    }
    int quotes = 0;
    for (int i = 0; i < work.GetLength(); ++i)
        if (work[i] == '"')
            ++quotes;
    if (quotes % 2 != 0) {
        if (pError)
            *pError = kBadQuotationCombination;
        return CString();
    }
    work.Replace("(", " ( ");
    work.Replace(")", " ) ");
    CollapseSpaces(work);
    bool marked = false;
    for (const char* const* marker = kOperatorMarkers; *marker; ++marker)
        if (pattern.Find(*marker) >= 0)
            marked = true;
    if (!marked)
        QuoteBareWords(work);
    CollapseSpaces(work);
    for (const char* op : {"and", "or", "not", "andnot"}) {
        const CString quoted = CString("\"") + op + "\"";
        work.Replace(quoted, op);
    }
    JoinAdjacentTerms(work);
    CollapseSpaces(work);
    return work;
}

CString OperatorText(const CString& pattern, const CString& text)
{
    CString q;
    if (pattern.Find('"', 1) >= 1)
        q = "\"";
    if (pattern.Find('\'', 1) >= 1)
        q = "'";
    CString work = text;
    CString replacement;
    replacement.Format("%s NOT %s", static_cast<const char*>(q), static_cast<const char*>(q));
    work.Replace(" NOT ", replacement);
    work.Replace(" not ", replacement);
    replacement.Format("%s OR %s", static_cast<const char*>(q), static_cast<const char*>(q));
    work.Replace(" OR ", replacement);
    work.Replace(" or ", replacement);
    replacement.Format("%s AND %s", static_cast<const char*>(q), static_cast<const char*>(q));
    work.Replace(" AND ", replacement);
    work.Replace(" and ", replacement);
    return work;
}

bool StartsWithNoCase(const CString& text, int at, const char* word)
{
    const int length = static_cast<int>(strlen(word));
    return at + length <= text.GetLength() && text.Mid(at, length).CompareNoCase(word) == 0;
}

} // namespace

AdvancedFieldClass ClassifyAdvancedField(const CString& name)
{
    if (IsOneOf(name, kJoinedTextNames))
        return AdvancedFieldClass::JoinedText;
    if (IsOneOf(name, kCodeNames))
        return AdvancedFieldClass::Code;
    if (IsOneOf(name, kExaminerNames))
        return AdvancedFieldClass::Examiner;
    return AdvancedFieldClass::FreeText;
}

CString CheckQueryText(const CString& pattern, const CString& text, int check, int locationIndex,
                       CString* pError)
{
    if (check == 1 && (locationIndex == 0 || locationIndex == 1))
        return CheckedText(pattern, text, pError);
    return OperatorText(pattern, text);
}

CString JoinQueryWords(const CString& input)
{
    CString text = input;
    int i = 0;
    while (i < text.GetLength() - 1) {
        if (text[i] == ' ' && text[i + 1] == '"') {
            const int close = text.Find('"', i + 2);
            i = close < 0 ? text.GetLength() : close + 1;
        }
        if (i < text.GetLength() && text[i] == '"') {
            const int close = text.Find('"', i + 1);
            i = close < 0 ? text.GetLength() : close;
        }
        if (i >= text.GetLength())
            break;
        if (StartsWithNoCase(text, i, " and ")) {
            i += 6;
            continue;
        }
        if (StartsWithNoCase(text, i, " or ")) {
            i += 5;
            continue;
        }
        if (text[i] == ' ' && i != 0 && i + 1 < text.GetLength() && text[i + 1] != ' ') {
            // The window is read as written: "solar ANDROID" gets its " and".
            const CString window = text.Mid(i, 5);
            if (window.Find(" and") < 0 && window.Find(" or") < 0) {
                text.Insert(i, " and");
                i += 4;
            }
        }
        ++i;
    }
    return text;
}

CString ReorderExaminerName(const CString& input)
{
    CString text;
    for (int i = 0; i < input.GetLength(); ++i) {
        if (input[i] == ' ' && i + 1 < input.GetLength() && input[i + 1] == ' ') {
            text += ' ';
            ++i;
        } else {
            text += input[i];
        }
    }
    CString words[3];
    int spaces = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == ' ')
            ++spaces;
        else if (spaces < 3)
            words[spaces] += text[i];
    }
    if (spaces == 0)
        return text;
    if (spaces == 1)
        return words[1] + "-" + words[0];
    return words[2] + "-" + words[0] + "-" + words[1];
}

void BuildAdvancedQuery(const std::vector<AdvancedFieldInput>& edits,
                        const std::vector<AdvancedFieldInput>& combos, int locationIndex,
                        const std::function<void(const CString&)>& report, AdvancedQuery& query)
{
    query.params.RemoveAll();
    query.searchText.Empty();
    query.displayText.Empty();

    const auto check = [&](const CString& pattern, const CString& text, int nCheck) {
        CString error;
        CString value = CheckQueryText(pattern, text, nCheck, locationIndex, &error);
        if (!error.IsEmpty() && report)
            report(error);
        return value;
    };

    for (const AdvancedFieldInput& edit : edits) {
        CString text = edit.text;
        text.Trim(' ');
        CString value;
        switch (ClassifyAdvancedField(edit.name)) {
        case AdvancedFieldClass::JoinedText:
            text = JoinQueryWords(text);
            value = check(edit.pattern, text, 1);
            break;
        case AdvancedFieldClass::Code:
            value = check(edit.pattern, text, 0);
            break;
        case AdvancedFieldClass::Examiner:
            value = check(edit.pattern, ReorderExaminerName(text), 0);
            break;
        case AdvancedFieldClass::FreeText:
            value = check(edit.pattern, text, 1);
            break;
        }
        CString filled = edit.pattern;
        filled.Replace("[FIELDDATA]", value);
        if (!text.IsEmpty()) {
            query.displayText += filled + " AND ";
            query.params.SetAt(edit.name, filled);
            query.searchText += filled;
        } else {
            query.params.SetAt(edit.name, CString());
        }
    }
    // Only the joiner after the last field goes; a shorter text keeps what it has.
    if (query.displayText.GetLength() >= 5 && query.displayText.Right(5) == " AND ")
        query.displayText = query.displayText.Left(query.displayText.GetLength() - 5);

    CString lastComboPattern;
    for (const AdvancedFieldInput& combo : combos) {
        CString filled = combo.pattern;
        filled.Replace("[FIELDDATA]", check(combo.pattern, combo.text, 0));
        query.params.SetAt(combo.name, filled);
        query.searchText += filled;
        lastComboPattern = filled;
    }
    if (!lastComboPattern.IsEmpty())
        query.displayText.Replace(" AND ", lastComboPattern);
    if (!query.searchText.IsEmpty())
        query.params.SetAt("SEARCHSTRING", query.searchText);
}
