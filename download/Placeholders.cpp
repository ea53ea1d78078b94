#include "Placeholders.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// Where "[" stands in the text: a placeholder can begin nowhere else.
std::vector<size_t> OpeningBrackets(const std::string& text)
{
    std::vector<size_t> opens;
    for (size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 1))
        opens.push_back(at);
    return opens;
}

bool HoldsAt(const std::string& text, const std::vector<size_t>& opens, const char* placeholder)
{
    const size_t length = std::strlen(placeholder);
    for (size_t at : opens) {
        if (text.compare(at, length, placeholder) == 0)
            return true;
    }
    return false;
}

} // namespace

CString FillPlaceholders(const CMapStringToString& variables, CString text, bool bForPattern)
{
    // A page of megabytes is searched once for its brackets, not once for every key; the
    // brackets are found again only after a replacement, the one step that changes the text.
    std::vector<size_t> opens = OpeningBrackets(text.str());
    POSITION pos = variables.GetStartPosition();
    while (pos && !opens.empty()) {
        CString name, value;
        variables.GetNextAssoc(pos, name, value);
        const CString placeholder = "[" + name + "]";
        if (!HoldsAt(text.str(), opens, placeholder))
            continue;
        text.Replace(placeholder, bForPattern ? EscapeForPattern(value) : value);
        opens = OpeningBrackets(text.str());
    }
    return text;
}

CString EscapeForPattern(CString value)
{
    value.Replace("[", "\\[");
    value.Replace("]", "\\]");
    value.Replace(".", "\\.");
    value.Replace("(", "\\(");
    value.Replace(")", "\\)");
    value.Replace("+", "\\+");
    return value;
}
