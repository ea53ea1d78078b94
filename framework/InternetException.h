// CInternetException: a failure of a WinINet call made by the internet classes, carrying the
// WinINet (or system) error code and the context value of the object that failed.
#pragma once

#include "Exception.h"

#include <windows.h>

class CInternetException : public CException
{
    DECLARE_DYNAMIC(CInternetException)
public:
    explicit CInternetException(DWORD dwError);

    // The system's text for the error code (WinINet's own messages for its codes); false with
    // an empty buffer when the system has no text for it.
    bool GetErrorMessage(char* lpszError, unsigned int nMaxError,
                         unsigned int* pnHelpContext = nullptr) const override;

    DWORD_PTR m_dwContext = 0;
    DWORD m_dwError;
};

// Throws a CInternetException; an error code of 0 takes the thread's last error.
[[noreturn]] void AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError = 0);
