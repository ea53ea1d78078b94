#include "FileCrypt.h"

#include "Rijndael.h"

#include <windows.h>

#include <stdexcept>
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

// Another program may hold the file open for a moment (a reader of the project, a virus
// scanner): the replace is tried again for about a second before the old file is kept.
const int kReplaceAttempts = 20;
const DWORD kReplacePause = 50;

bool ReplaceWithTemporary(const char* temp, const CString& path)
{
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                          error == ERROR_LOCK_VIOLATION;
        if (!held || attempt == kReplaceAttempts)
            return false;
        Sleep(kReplacePause);
    }
}

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
    try {
        CRijndael rijndael;
        char chain[32] = {};
        rijndael.MakeKey(m_strPassPhrase, chain, m_nKeyLength, m_nKeyLength);
        int n = text.GetLength();
        int pad = m_nKeyLength - (n % m_nKeyLength);
        text += CString(' ', pad);
        n += pad;
        std::vector<char> out(static_cast<size_t>(n));
        rijndael.Encrypt(text, out.data(), static_cast<size_t>(n), CRijndael::ECB);
        cipher = CString(out.data(), n);
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
        int n = cipher.GetLength();
        std::vector<char> out(static_cast<size_t>(n > 0 ? n : 1));
        rijndael.Decrypt(cipher, out.data(), static_cast<size_t>(n), CRijndael::ECB);
        text = CString(out.data(), n);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

int CFileCrypt::WriteEncryptedFile(CString text, CString path)
{
    CString cipher;
    if (!EncryptString(text, cipher))
        return 0;

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
        ok = ReplaceWithTemporary(temp, path);
    if (!ok)
        DeleteFileA(temp);
    return ok ? 1 : 0;
}

int CFileCrypt::ReadEncryptedFile(CString path, CString& text)
{
    text.Empty();
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size) || size.QuadPart > 0x7FFFFFFF) {
        CloseHandle(h);
        return 0;
    }
    CString cipher;
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    DWORD read = 0;
    BOOL ok = ReadFile(h, cipher.GetBufferSetLength(static_cast<int>(length)), length, &read,
                       nullptr);
    CloseHandle(h);
    if (!ok || read != length)
        return 0;
    CString plain;
    if (!DecryptString(cipher, plain))
        return 0;
    text = plain;
    return 1;
}
