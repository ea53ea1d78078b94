#include "FileCrypt.h"

#include "DataFiles.h"
#include "Rijndael.h"
#include "StageClock.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

const char kPassPhrase[] = "quarrelsomebutterflyparadigms77";

} // namespace

CFileCrypt::CFileCrypt() : m_strPassPhrase(kPassPhrase), m_nKeyLength(32) {}

CFileCrypt::~CFileCrypt() = default;

int CFileCrypt::EncryptString(CString text, CString& cipher)
{
    return UpdateCipher(text, cipher, 0);
}

int CFileCrypt::UpdateCipher(const CString& text, CString& cipher, int nUnchanged)
{
    return UpdateCipher(text.GetString(), text.GetLength(), cipher, nUnchanged);
}

int CFileCrypt::UpdateCipher(const char* text, int n, CString& cipher, int nUnchanged)
{
    try {
        CRijndael rijndael;
        char chain[32] = {};
        rijndael.MakeKey(m_strPassPhrase, chain, m_nKeyLength, m_nKeyLength);
        CStageTimer timer("encipher");
        const int padded = n + m_nKeyLength - (n % m_nKeyLength);
        // ECB enciphers every block on its own: the blocks before the first changed byte
        // stay as they are, in place.
        int from = 0;
        if (nUnchanged > 0 && cipher.GetLength() % m_nKeyLength == 0) {
            from = std::min({nUnchanged, n, cipher.GetLength()});
            from -= from % m_nKeyLength;
        }
        char* buffer = cipher.GetBufferSetLength(padded);
        std::memcpy(buffer + from, text + from, static_cast<size_t>(n - from));
        std::memset(buffer + n, ' ', static_cast<size_t>(padded - n));
        rijndael.Encrypt(buffer + from, buffer + from, static_cast<size_t>(padded - from), CRijndael::ECB);
        cipher.ReleaseBuffer(padded);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

int CFileCrypt::DecryptString(CString cipher, CString& text)
{
    try {
        CRijndael rijndael;
        char chain[32] = {};
        rijndael.MakeKey(m_strPassPhrase, chain, m_nKeyLength, m_nKeyLength);
        const int n = cipher.GetLength();
        if (n == 0 || n % m_nKeyLength != 0)
            return 0;
        CStageTimer timer("decipher");
        CString out;
        char* buffer = out.GetBufferSetLength(n);
        rijndael.Decrypt(cipher.GetString(), buffer, static_cast<size_t>(n), CRijndael::ECB);
        out.ReleaseBuffer(n);
        text = std::move(out);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

int CFileCrypt::WriteEncryptedFile(CString text, CString path)
{
    CString cipher;
    if (!EncryptString(std::move(text), cipher))
        return 0;
    return WriteCipherFile(cipher, path);
}

int CFileCrypt::WriteCipherFile(const CString& cipher, CString path)
{
    CStageTimer timer("write file");
    return WriteDataFile(path, cipher) ? 1 : 0;
}

int CFileCrypt::ReadEncryptedFile(CString path, CString& text, CString* pCipher)
{
    text.Empty();
    CString cipher;
    {
        CStageTimer timer("read file");
        HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return 0;
        LARGE_INTEGER size;
        if (!GetFileSizeEx(h, &size) || size.QuadPart > 0x7FFFFFFF) {
            CloseHandle(h);
            return 0;
        }
        const DWORD length = static_cast<DWORD>(size.QuadPart);
        DWORD read = 0;
        BOOL ok = ReadFile(h, cipher.GetBufferSetLength(static_cast<int>(length)), length, &read,
                           nullptr);
        CloseHandle(h);
        if (!ok || read != length)
            return 0;
    }
    CString plain;
    if (!DecryptString(cipher, plain))
        return 0;
    text = std::move(plain);
    if (pCipher)
        *pCipher = std::move(cipher);
    return 1;
}
