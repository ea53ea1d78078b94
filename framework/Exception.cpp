#include "Exception.h"

#include <windows.h>

#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

bool CException::CopyMessage(const CString& text, char* lpszError, unsigned int nMaxError,
                             unsigned int* pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return false;
    size_t n = static_cast<size_t>(text.GetLength());
    if (n > nMaxError - 1)
        n = nMaxError - 1;
    std::memcpy(lpszError, text.GetString(), n);
    lpszError[n] = '\0';
    return true;
}

bool CException::GetErrorMessage(char* lpszError, unsigned int nMaxError,
                                 unsigned int* pnHelpContext) const
{
    CopyMessage("", lpszError, nMaxError, pnHelpContext);
    return false;
}

int CException::ReportError(unsigned int nType, unsigned int /*nMessageID*/) const
{
    char text[512];
    if (!GetErrorMessage(text, sizeof text))
        std::strcpy(text, "An unsupported operation was attempted.");
    return MessageBoxA(GetActiveWindow(), text, nullptr, nType);
}

bool CMemoryException::GetErrorMessage(char* lpszError, unsigned int nMaxError,
                                       unsigned int* pnHelpContext) const
{
    return CopyMessage("Out of memory.", lpszError, nMaxError, pnHelpContext);
}

bool CInvalidArgException::GetErrorMessage(char* lpszError, unsigned int nMaxError,
                                           unsigned int* pnHelpContext) const
{
    return CopyMessage("Invalid argument.", lpszError, nMaxError, pnHelpContext);
}

void AfxThrowMemoryException()
{
    throw new CMemoryException;
}

void AfxThrowInvalidArgException()
{
    throw new CInvalidArgException;
}
