// CStringList: a linked list of CString, with the members of CList.
#pragma once

#include "List.h"
#include "String.h"

class CStringList : public CList<CString, const CString&>
{
    DECLARE_DYNAMIC(CStringList)
public:
    explicit CStringList(INT_PTR nBlockSize = 10) : CList<CString, const CString&>(nBlockSize) {}
};
