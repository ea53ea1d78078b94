// CStringArray: a growing array of CString, with the members of CArray.
#pragma once

#include "Array.h"
#include "String.h"

class CStringArray : public CArray<CString, const CString&>
{
    DECLARE_DYNAMIC(CStringArray)
};
