// CPtrList: a linked list of untyped pointers, with the members of CList. It never frees what
// the pointers point to; their owner does.
#pragma once

#include "List.h"

class CPtrList : public CList<void*, void*>
{
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(INT_PTR nBlockSize = 10) : CList<void*, void*>(nBlockSize) {}
};
