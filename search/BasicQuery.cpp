#include "BasicQuery.h"

namespace {

const char kFieldData[] = "[FIELDDATA]";
const char kAndJoin[] = " AND ";

CString Lookup(const std::map<int, CString>& map, int nId)
{
    auto it = map.find(nId);
    return it == map.end() ? CString() : it->second;
}

// The European Patent Office's form of a pattern: "txt = " before every word, joined by
// " and ".
CString EuropeanForm(const CString& pattern)
{
    CString form;
    int nWords = 0;
    int i = 0;
    const int n = pattern.GetLength();
    while (i < n) {
        while (i < n && pattern[i] == ' ')
            ++i;
        int start = i;
        while (i < n && pattern[i] != ' ')
            ++i;
        if (i > start) {
            form += nWords++ == 0 ? "txt = " : " and txt = ";
            form += pattern.Mid(start, i - start);
        }
    }
    return form;
}

// Whether the text at i holds the word (given in lower case) between blanks, any case.
bool WordAt(const CString& text, int i, const char* word)
{
    const int n = text.GetLength();
    int k = 0;
    for (; word[k]; ++k) {
        if (i + k >= n)
            return false;
        char c = text[i + k];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[k])
            return false;
    }
    return true;
}

} // namespace

CString JoinBasicWords(CString text)
{
    int len = text.GetLength();
    int i = 0;
    while (i < len - 1) {
        if (text[i] == ' ' && text[i + 1] == '"') {
            int close = text.Find('"', i + 2);
            i = (close < 0 ? len : close) + 1;
        }
        if (i < len && text[i] == '"') {
            int close = text.Find('"', i + 1);
            i = close < 0 ? len : close;
        }
        if (WordAt(text, i, " and ")) {
            i += 5;
        } else if (WordAt(text, i, " or ")) {
            i += 4;
        } else if (i + 1 < len && text[i] == ' ' && text[i + 1] != ' ') {
            text.Insert(i, " and");
            len += 4;
            i += 4;
        }
        ++i;
    }
    return text;
}

void ComposeBasicQuery(const BasicQueryInput& input, CMapStringToString& parameters, CString& strDisplay)
{
    parameters.RemoveAll();
    strDisplay.Empty();
    CString search;

    for (const BasicQueryValue& edit : input.edits) {
        const CString name = Lookup(input.names, edit.nFieldId);
        CString pattern = Lookup(input.templates, edit.nFieldId);
        pattern.Replace(kFieldData, edit.strValue);
        if (edit.strValue.IsEmpty()) {
            parameters.SetAt(name, "");
            continue;
        }
        if (input.nLocationIndex == 2)
            pattern = EuropeanForm(pattern);
        strDisplay += pattern;
        strDisplay += kAndJoin;
        parameters.SetAt(name, pattern);
        search += pattern;
    }
    // Only a join that stands at the end goes.
    if (strDisplay.Right(5) == kAndJoin)
        strDisplay = strDisplay.Left(strDisplay.GetLength() - 5);

    for (const BasicQueryValue& combo : input.combos) {
        const CString name = Lookup(input.names, combo.nFieldId);
        CString pattern = Lookup(input.templates, combo.nFieldId);
        pattern.Replace(kFieldData, combo.strValue);
        search.Trim(' ');
        if (name == "FIELDTYPE1" && (pattern == "TI" || pattern == "ABTX" || pattern == "CLM" ||
                                     pattern == "DRTX" || pattern == "DETD"))
            search = JoinBasicWords(search);
        if (name == "OPERATOR") {
            if (pattern == "NOT")
                strDisplay.Replace("AND", "ANDNOT");
            else if (pattern == "OR")
                strDisplay.Replace("AND", "OR");
        }
        parameters.SetAt(name, pattern);
        search += pattern;
    }
    if (!search.IsEmpty())
        parameters.SetAt("SEARCHSTRING", search);
}
