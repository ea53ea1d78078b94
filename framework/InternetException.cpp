#include "InternetException.h"

IMPLEMENT_DYNAMIC(CInternetException, CException)

CInternetException::CInternetException(DWORD dwError) : m_dwError(dwError) {}

bool CInternetException::GetErrorMessage(char* lpszError, unsigned int nMaxError,
                                         unsigned int* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    char* text = nullptr;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                  FORMAT_MESSAGE_IGNORE_INSERTS;
    HMODULE wininet = GetModuleHandleA("wininet.dll");
    if (wininet)
        flags |= FORMAT_MESSAGE_FROM_HMODULE;
    DWORD n = FormatMessageA(flags, wininet, m_dwError, 0, reinterpret_cast<char*>(&text), 0,
                             nullptr);
    CString message = n && text ? CString(text, static_cast<int>(n)) : CString();
    if (text)
        LocalFree(text);
    message.TrimRight("\r\n ");
    CopyMessage(message, lpszError, nMaxError);
    return !message.IsEmpty();
}

void AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError)
{
    if (dwError == 0)
        dwError = GetLastError();
    CInternetException* e = new CInternetException(dwError);
    e->m_dwContext = dwContext;
    throw e;
}
