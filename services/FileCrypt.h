// CFileCrypt: enciphers the program's data files (the recipe, the project store and the
// options store) with one fixed pass phrase: Rijndael, 32-byte key and block, ECB, the text
// padded with 1 to 32 blanks to a multiple of 32 bytes. The file is the bare cipher text.
#pragma once

#include "String.h"

#include <windows.h>

class CFileCrypt
{
public:
    CFileCrypt();
    ~CFileCrypt();

    // 1 on success, 0 when the cipher refused the data.
    int EncryptString(CString text, CString& cipher);
    int DecryptString(CString cipher, CString& text);
    // The cipher text of a text whose first nUnchanged bytes equal those of the text that
    // cipher was made from: the whole blocks before that point are kept, the rest is
    // enciphered anew. cipher is replaced by the new cipher text; 1 on success, 0 (cipher
    // unchanged) when the cipher refused the data. With nUnchanged 0 it is EncryptString.
    int UpdateCipher(const CString& text, CString& cipher, int nUnchanged);
    int UpdateCipher(const char* text, int nLength, CString& cipher, int nUnchanged);

    // Writes the cipher text of the text to the path, whole, as every data file is written
    // (WriteDataFile): the old file is replaced only once the new cipher text is wholly on
    // disk; on any failure it stays as it was and 0 comes back.
    int WriteEncryptedFile(CString text, CString path);
    // The same for cipher text made already.
    int WriteCipherFile(const CString& cipher, CString path);

    // Reads and deciphers the whole file; 0 on any failure, with the text left empty. The
    // file's bytes go to *pCipher when it is given (on success only).
    int ReadEncryptedFile(CString path, CString& text, CString* pCipher = nullptr);

private:
    CString m_strPassPhrase;
    int m_nKeyLength;
};
