// How the MAPI32.DLL test double writes a text into its log: the control characters that
// would break its lines and fields (line feed, carriage return, tab, zero) spelled out as
// \n, \r, \t and \0. Shared by the double and the test programs that read its log.
#pragma once

#include <cstddef>
#include <string>

inline std::string EscapeMapiText(const char* text, size_t length)
{
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        switch (text[i]) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\0': out += "\\0"; break;
        default: out += text[i]; break;
        }
    }
    return out;
}
