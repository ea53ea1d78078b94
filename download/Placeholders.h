// The placeholders of the recipe interpreters: "[NAME]" in a recipe text stands for the value
// of the variable NAME. The download thread and the search thread fill their texts from
// their own variable maps with these two functions.
#pragma once

#include "Framework.h"

// The text with every "[KEY]" replaced by its value, key by key in the map's own order, in
// one pass: a placeholder that an inserted value brings in is filled only when its key comes
// later in that order; placeholders of keys that do not exist stay. With bForPattern every
// value is escaped for use inside a regular expression first (EscapeForPattern).
CString FillPlaceholders(const CMapStringToString& variables, CString text, bool bForPattern);

// The value with "[", "]", ".", "(", ")" and "+" preceded by a backslash, in that order; no
// other character is escaped.
CString EscapeForPattern(CString value);
