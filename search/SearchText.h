// The text operations of the search thread that need no thread: the key functions a search
// recipe names in a HardCodeKey's Function attribute, and the cleaning of the values that
// go into a result-set text. Characters are compared as single bytes.
#pragma once

#include "String.h"

// The value after the named search key function (names exact and case-sensitive):
// "CalculateStart" and "CalculateEnd" (the value's whole number plus 1 or 100),
// "TrimLeft" (drops as many leading characters as the argument's whole number says),
// "WIPOFIX" (query rewriting), "Replace" (argument "from:to"), "getKC" (the kind code of a
// query text), "getDate" (the date of a query text), "RemoveHTML" (tags removed) and
// "GetOpsUrlFromResolution" (the OPS published-data address followed by the text of the
// value's first resolution element, as for the document recipe). Any other name leaves the
// value as it is. A whole number is read as the C library's atoi reads
// it: 0 for a text without leading digits.
CString ApplySearchKeyFunction(const CString& function, const CString& value, const CString& argument);

// One value of a result row made fit for the result-set text: runs of blanks become one
// blank, line ends go, tags are removed, the five entities of XML are read back and
// & < > " escaped again, and percent escapes become character references
// (DecodePercentEscapes). A control character that XML cannot carry becomes a blank.
CString CleanXmlValue(CString value);

// Every "+" becomes a blank, then in one pass from left to right every "%" followed by one
// or two hexadecimal digits becomes the character reference "&#x" + those digits + ";".
// An escape of a control character that XML cannot carry (0 to 8, 0B, 0C, 0E to 1F) becomes
// a blank instead.
CString DecodePercentEscapes(CString text);

// The whole number a text begins with, read as the C library's atoi reads it (leading
// blanks, a sign, then digits; 0 without digits), but in 64 bits and held at the largest or
// smallest value instead of wrapping round: "4294967396" is 4294967396, not 100.
long long WholeNumber(const CString& text);

// A transfer rate in bytes per second as KB/s (rounded to ten significant digits), for the
// progress record; 0 for a rate that is no finite number, as after a fetch that took no
// measurable time.
float RateInKBps(double dBytesPerSecond);
