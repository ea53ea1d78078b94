// The framework's exception classes. They are thrown by pointer (throw new ...), caught as
// CException* and released with Delete().
#pragma once

#include "Object.h"
#include "String.h"

class CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    explicit CException(bool bAutoDelete = true) : m_bAutoDelete(bAutoDelete) {}

    // Frees a heap exception; one made with auto-delete off (on the stack) stays.
    void Delete();

    // Copies the description into the buffer (terminated, cut to nMaxError - 1 characters).
    // The base answers false with an empty buffer.
    virtual bool GetErrorMessage(char* lpszError, unsigned int nMaxError,
                                 unsigned int* pnHelpContext = nullptr) const;

    // Shows the description in a message box; answers the box's result.
    virtual int ReportError(unsigned int nType = 0x30 /* MB_ICONEXCLAMATION */,
                            unsigned int nMessageID = 0) const;

protected:
    // Helper for derived classes: copies a text into a caller's buffer and clears the help
    // context when one is asked for.
    static bool CopyMessage(const CString& text, char* lpszError, unsigned int nMaxError,
                            unsigned int* pnHelpContext = nullptr);

    bool m_bAutoDelete;
};

class CMemoryException : public CException
{
    DECLARE_DYNAMIC(CMemoryException)
public:
    CMemoryException() = default;
    bool GetErrorMessage(char* lpszError, unsigned int nMaxError,
                         unsigned int* pnHelpContext = nullptr) const override;
};

// Raised for an argument outside what a framework call accepts, such as an index past the end
// of an array or a null POSITION.
class CInvalidArgException : public CException
{
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    CInvalidArgException() = default;
    bool GetErrorMessage(char* lpszError, unsigned int nMaxError,
                         unsigned int* pnHelpContext = nullptr) const override;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowInvalidArgException();
