#include "Placeholders.h"

CString FillPlaceholders(const CMapStringToString& variables, CString text, bool bForPattern)
{
    POSITION pos = variables.GetStartPosition();
    while (pos) {
        CString name, value;
        variables.GetNextAssoc(pos, name, value);
        const CString placeholder = "[" + name + "]";
        if (text.Find(placeholder) >= 0)
            text.Replace(placeholder, bForPattern ? EscapeForPattern(value) : value);
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
