// CProgramOptions: the program's settings, read and written by key. Each user builds its own
// object, which reads config2.cfg from the program folder (or a newer VirtualStore copy) when
// it is built; a change reaches other objects only after Save. Options are
// /Config/ProgramOptions/Option elements whose Name attribute is the key and whose text is
// the value. Setting a key the file lacks changes nothing: the installed file holds every key,
// and a file of an earlier version gets the keys added since then, empty, when it is loaded.
#pragma once

#include "FileCrypt.h"
#include "Msxml.h"
#include "String.h"

#include <windows.h>

class CProgramOptions
{
public:
    CProgramOptions();
    ~CProgramOptions();

    // Re-reads the file; applies the first-run defaults when SetDefaults is "1".
    void Load();
    // Writes the document back. Does nothing (and logs) while the document has no Config
    // root, so an options file that could not be read is never replaced by an empty one. A
    // write that fails leaves the previous file and is reported (DataFileSaves): the user
    // hears of the first one.
    void Save();

    CString GetOptionValue(CString key);
    CString GetOption(CString key) { return GetOptionValue(key); }
    // True only for "1" after trimming white space at both ends.
    bool GetBoolOption(CString key);
    // The leading decimal integer of the value; 0 without digits.
    int GetIntOption(CString key);
    // 1 when the option exists and was set; 0 when the store lacks the key.
    int SetOptionValue(CString key, CString value);
    // 1 and the rectangle filled when the value holds four integers "l,t,r,b"; else 0.
    int GetRectOption(CString key, RECT& rect);
    void SetRectOption(CString key, const RECT& rect);
    void SetDefaults();

    // The name of the options file in the program folder.
    static CString FileName();

private:
    IXMLDOMNodePtr FindOption(const CString& key);
    void AddMissingLaterKeys();

    CFileCrypt m_Crypt;
    IXMLDOMDocument2Ptr m_pDoc;
};
