// CPtrArray: a growing array of untyped pointers, with the members of CArray. It never frees
// what the pointers point to; their owner does.
#pragma once

#include "Array.h"

class CPtrArray : public CArray<void*, void*>
{
    DECLARE_DYNAMIC(CPtrArray)
};
