// CMapStringToString: text keys to text values, with the members of CMap. Keys are compared
// byte for byte (case-sensitive). The iteration order is the one Map.h describes, with the
// text hash h = h * 33 + byte.
#pragma once

#include "Map.h"
#include "String.h"

class CMapStringToString : public CMap<CString, const CString&, CString, const CString&>
{
    DECLARE_DYNAMIC(CMapStringToString)
public:
    explicit CMapStringToString(INT_PTR nBlockSize = 10)
        : CMap<CString, const CString&, CString, const CString&>(nBlockSize)
    {}
};
