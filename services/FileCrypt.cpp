#include "FileCrypt.h"

#include "Rijndael.h"
#include "StageClock.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace {

const char kPassPhrase[] = "quarrelsomebutterflyparadigms77";

// Where the file name of a path begins (after its last slash or drive colon).
int NameStart(const CString& path)
{
    int slash = path.ReverseFind('\\');
    const int fwd = path.ReverseFind('/');
    if (fwd > slash)
        slash = fwd;
    if (slash < 0 && path.GetLength() >= 2 && path.GetAt(1) == ':')
        slash = 1;
    return slash + 1;
}

// The temporary files of a target are named after it: "Project.cfg.~1a2b3c4d.tmp" beside
// "Project.cfg", so that the next save of the target can tell its own stale ones (left by a
// program killed in the middle of a save) from anybody else's files.
const char kTempMark[] = ".~";
const char kTempEnd[] = ".tmp";
const int kTempDigits = 8;
const int kTempEndLength = sizeof kTempEnd - 1;

bool IsTempNameOf(const CString& fileName, const CString& targetName)
{
    const int head = targetName.GetLength() + static_cast<int>(sizeof kTempMark - 1);
    if (fileName.GetLength() != head + kTempDigits + kTempEndLength ||
        fileName.Left(head).CompareNoCase(targetName + kTempMark) != 0 ||
        fileName.Right(kTempEndLength).CompareNoCase(kTempEnd) != 0)
        return false;
    for (int i = head; i < head + kTempDigits; ++i) {
        const char c = fileName.GetAt(i);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// Creates a new temporary file for the target, open for writing and shared with nobody.
HANDLE CreateTempFor(const CString& path, CString& temp)
{
    static std::atomic<unsigned> next{::GetTickCount() ^ (::GetCurrentProcessId() << 16)};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.Format("%s%s%08x%s", static_cast<const char*>(path), kTempMark, next++, kTempEnd);
        HANDLE h = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            return h;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

// Deletes the target's stale temporary files. One still open for writing (another program
// in the middle of a save) cannot be deleted and stays.
void RemoveStaleTemps(const CString& path)
{
    const int start = NameStart(path);
    const CString folder = path.Left(start);
    const CString name = path.Mid(start);
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA(path + kTempMark + "*" + kTempEnd, &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTempNameOf(found.cFileName, name))
            DeleteFileA(folder + found.cFileName);
    } while (FindNextFileA(hFind, &found));
    FindClose(hFind);
}

// Puts the written temporary file in the target's place. A reader that has the target open
// at that moment (a backup, a virus scanner, a second look at the file) makes the rename
// fail for as long as it holds the file: the rename is tried again for about a second.
bool ReplaceWith(const CString& temp, const CString& path)
{
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (attempt == 20 ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION))
            return false;
        Sleep(50);
    }
}

// One save at a time in this program: a save never takes another one's temporary file for
// a stale one.
std::mutex g_saveLock;

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
    std::lock_guard<std::mutex> hold(g_saveLock);
    CString temp;
    HANDLE h = CreateTempFor(path, temp);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    const DWORD length = static_cast<DWORD>(cipher.GetLength());
    bool ok = g_pfnWriteCipher(h, static_cast<const char*>(cipher), length, &written, nullptr) &&
              written == length && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok)
        ok = ReplaceWith(temp, path);
    if (!ok) {
        DeleteFileA(temp);
        return 0;
    }
    RemoveStaleTemps(path);
    return 1;
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
