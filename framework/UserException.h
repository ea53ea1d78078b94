// CUserException: thrown to stop an operation after the user has been told why (a data
// exchange that found a bad value); the catcher shows nothing more.
#pragma once

#include "Exception.h"

class CUserException : public CException
{
    DECLARE_DYNAMIC(CUserException)
public:
    CUserException() = default;
};

[[noreturn]] void AfxThrowUserException();
