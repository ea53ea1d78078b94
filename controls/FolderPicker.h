// CFolderPicker: asks the user for a folder with the shell's folder browser (the Preferences
// and Save Files To dialogs use it). Browse answers the chosen folder's path, or an empty
// text when the user cancels or picks something that is not a folder of the file system.
#pragma once

#include "String.h"

#include <windows.h>

class CFolderPicker
{
public:
    explicit CFolderPicker(const CString& strPrompt) : m_strPrompt(strPrompt) {}

    // The browser with the prompt as its title, owned by the application's main window.
    CString Browse();

    // The shell's folder browser: starting at the folder pszRoot (null: the desktop) with the
    // folder pszInitial selected (null: none). TRUE with the path in strResult; FALSE with
    // strResult empty when nothing usable was chosen.
    static BOOL BrowseForFolder(CString& strResult, const char* pszTitle, HWND hOwner, const char* pszRoot,
                                const char* pszInitial);

    CString m_strPrompt;
};
