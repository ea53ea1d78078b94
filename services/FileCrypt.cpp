#include "FileCrypt.h"

#include "Rijndael.h"
#include "StageClock.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

const char kPassPhrase[] = "quarrelsomebutterflyparadigms77";

// The folder part of a path, for the temporary file that is renamed over the target.
CString FolderOf(const CString& path)
{
    int slash = path.ReverseFind('\\');
    int fwd = path.ReverseFind('/');
    if (fwd > slash)
        slash = fwd;
    if (slash < 0)
        return ".";
    if (slash == 0 || (slash == 2 && path.GetAt(1) == ':'))
        return path.Left(slash + 1);
    return path.Left(slash);
}

CipherFileWriter g_pfnWriteCipher = WriteFile;

} // namespace

CipherFileWriter SetCipherFileWriter(CipherFileWriter writer)
{
    CipherFileWriter previous = g_pfnWriteCipher;
    g_pfnWriteCipher = writer;
    return previous;
}

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
    char temp[MAX_PATH];
    if (!GetTempFileNameA(FolderOf(path), "zcf", 0, temp))
        return 0;

    bool ok = false;
    HANDLE h = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        const DWORD length = static_cast<DWORD>(cipher.GetLength());
        ok = g_pfnWriteCipher(h, static_cast<const char*>(cipher), length, &written, nullptr) &&
             written == length && FlushFileBuffers(h);
        ok = CloseHandle(h) && ok;
    }
    if (ok)
        ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok)
        DeleteFileA(temp);
    return ok ? 1 : 0;
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
