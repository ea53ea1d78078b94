// CFileException: a failed file operation, with a portable cause, the system's error code and
// the file's name. Thrown by pointer like every framework exception.
#pragma once

#include "Exception.h"
#include "String.h"

#include <windows.h>

class CFileException : public CException
{
    DECLARE_DYNAMIC(CFileException)
public:
    enum
    {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1,
                            const char* lpszFileName = nullptr);

    // The cause that matches a system error code (GetLastError).
    static int OsErrorToException(LONG lOsError);
    [[noreturn]] static void ThrowOsError(LONG lOsError, const char* lpszFileName = nullptr);

    // One sentence naming the file and what went wrong.
    bool GetErrorMessage(char* lpszError, unsigned int nMaxError,
                         unsigned int* pnHelpContext = nullptr) const override;

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1,
                                        const char* lpszFileName = nullptr);
