// CURLEncode: percent-encodes a text for use inside a URL. Letters, digits and ' ( ) * - . _
// pass unchanged; every other byte becomes "%" and two upper-case hexadecimal digits (a blank
// becomes %20, a percent sign %25).
#pragma once

#include "String.h"

class CURLEncode
{
public:
    CURLEncode() = default;
    virtual ~CURLEncode() = default;

    CString URLEncode(CString text);
    bool IsUnsafe(char c);
    CString EncodeByte(char c);
    CString ToBase(char c, int base);

    static const CString s_reservedChars;
};
