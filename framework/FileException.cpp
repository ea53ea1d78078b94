#include "FileException.h"

IMPLEMENT_DYNAMIC(CFileException, CException)

CFileException::CFileException(int cause, LONG lOsError, const char* lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
{}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_CANNOT_MAKE: return accessDenied;
    case ERROR_INVALID_HANDLE:
    case ERROR_INVALID_ACCESS: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_NO_MORE_FILES: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE: return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
    case ERROR_SECTOR_NOT_FOUND: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_LOCK_FAILED: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

void CFileException::ThrowOsError(LONG lOsError, const char* lpszFileName)
{
    throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

bool CFileException::GetErrorMessage(char* lpszError, unsigned int nMaxError,
                                     unsigned int* pnHelpContext) const
{
    static const char* const kTexts[] = {
        "No error occurred while accessing %s.",
        "An unexpected error occurred while accessing %s.",
        "The file %s was not found.",
        "The path of %s is not valid.",
        "%s could not be opened: too many files are open.",
        "Access to %s was denied.",
        "%s is not an open file.",
        "%s could not be removed: it is the current folder.",
        "%s could not be created: the folder is full.",
        "Seeking in %s failed.",
        "A hardware error occurred while accessing %s.",
        "%s is in use by another program.",
        "Part of %s is locked by another program.",
        "The disk is full while writing %s.",
        "%s was read past its end.",
    };
    int cause = (m_cause >= none && m_cause <= endOfFile) ? m_cause : genericException;
    CString text;
    text.Format(kTexts[cause],
                m_strFileName.IsEmpty() ? "an unnamed file" : m_strFileName.GetString());
    return CopyMessage(text, lpszError, nMaxError, pnHelpContext);
}

void AfxThrowFileException(int cause, LONG lOsError, const char* lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}
