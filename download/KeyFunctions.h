// The string functions that a recipe's HardCodeKey names in its Function attribute. Each
// turns the key's value, with an optional argument, into the text the key stores: kind codes
// split off document numbers, OPS service addresses built from numbers or from the
// resolution elements of OPS replies (on the published-data base that ServiceHosts names),
// HTML tags removed from extracted names. Characters are compared as single bytes; a capital
// is 'A' to 'Z', a digit '0' to '9'.
#pragma once

#include "String.h"

// The value after the named function (the names are exact and case-sensitive); a name that
// is none of them leaves the value as it is.
CString ApplyKeyFunction(const CString& function, const CString& value, const CString& argument);

// True when ApplyKeyFunction knows the name.
bool IsKeyFunction(const CString& function);

// The text without its tags: each "<" up to the next ">" is cut out, the search starting
// again from the beginning; a "<" without a later ">" stays.
CString RemoveHtmlTags(CString text);
