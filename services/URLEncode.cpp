#include "URLEncode.h"

namespace {
const char kDigits[] = "0123456789ABCDEF";
}

const CString CURLEncode::s_reservedChars("\"<>%\\^[]`+$,@:;/!#?=&");

bool CURLEncode::IsUnsafe(char c)
{
    if (c != '\0' && s_reservedChars.Find(c) >= 0)
        return true;
    const signed char v = static_cast<signed char>(c);
    return v <= 32 || v >= 123;
}

CString CURLEncode::ToBase(char c, int base)
{
    if (base < 2 || base > 16)
        base = 16;
    int v = static_cast<unsigned char>(c);
    CString digits;
    do {
        digits += kDigits[v % base];
        v /= base;
    } while (v > 0);
    if (digits.GetLength() == 1)
        digits += '0';
    digits.MakeReverse();
    return digits;
}

CString CURLEncode::EncodeByte(char c)
{
    return "%" + ToBase(c, 16);
}

CString CURLEncode::URLEncode(CString text)
{
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        char c = text.GetAt(i);
        if (IsUnsafe(c))
            out += EncodeByte(c);
        else
            out += c;
    }
    return out;
}
