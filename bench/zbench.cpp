// zbench: times the program's TIFF-to-PDF writer, PDF merge and file cipher on files given by
// the caller.
//   zbench tiff2pdf IN.tif OUT.pdf [IN.tif OUT.pdf ...]
//   zbench merge OUT.pdf IN1.pdf IN2.pdf ...
//   zbench cipher PLAIN [RUNS]
// The first two print one line "pages=N seconds=S bytes=B" (pages converted or merged, time
// spent inside the writer or the merge, total size of the outputs). The cipher prints
// "bytes=N encipher=S decipher=S filecrypt=S": the best of RUNS (default 5) in-memory runs
// of the data files' cipher (32-byte key and block, ECB) over the file's bytes, each way,
// and of the whole enciphering of a data file's text (padding and copies included). All exit
// 1 on the first failure.
#include "FileCrypt.h"
#include "PdfMerge.h"
#include "Rijndael.h"
#include "TiffReader.h"
#include "TiffToPdf.h"

#include <podofo/podofo.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

long long FileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int Usage()
{
    std::fprintf(stderr, "usage: zbench tiff2pdf IN.tif OUT.pdf [IN.tif OUT.pdf ...]\n"
                         "       zbench merge OUT.pdf IN1.pdf IN2.pdf ...\n"
                         "       zbench cipher PLAIN [RUNS]\n");
    return 2;
}

int Convert(int count, char** args)
{
    if (count < 2 || count % 2)
        return Usage();
    long long pages = 0, bytes = 0;
    double seconds = 0;
    for (int i = 0; i < count; i += 2) {
        CTiffToPdf writer;
        double start = Now();
        int rc = writer.convertTiffToPdf(args[i], args[i + 1], nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr);
        seconds += Now() - start;
        if (rc != TIFFPDF_DONE) {
            std::fprintf(stderr, "zbench: %s: result %d (%s)\n", args[i], rc, writer.GetMessageText());
            return 1;
        }
        CTiffReader reader;
        if (reader.Open(args[i]))
            pages += reader.GetPageCount();
        bytes += FileSize(args[i + 1]);
    }
    std::printf("pages=%lld seconds=%.6f bytes=%lld\n", pages, seconds, bytes);
    return 0;
}

long long CountPages(const char* path)
{
    try {
        PoDoFo::PdfError::EnableDebug(false);
        PoDoFo::PdfError::EnableLogging(false);
        PoDoFo::PdfMemDocument document(path);
        return document.GetPageCount();
    } catch (const PoDoFo::PdfError&) {
        return -1;
    }
}

int Merge(int count, char** args)
{
    if (count < 2)
        return Usage();
    std::vector<CString> inputs(args + 1, args + count);
    CPdfMerge merge;
    double start = Now();
    bool written = merge.MergeFiles(inputs, args[0]);
    double seconds = Now() - start;
    if (!written) {
        std::fprintf(stderr, "zbench: merge into %s failed\n", args[0]);
        return 1;
    }
    std::printf("pages=%lld seconds=%.6f bytes=%lld\n", CountPages(args[0]), seconds,
                FileSize(args[0]));
    return 0;
}

int Cipher(int count, char** args)
{
    if (count < 1)
        return Usage();
    HANDLE h = CreateFileA(args[0], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size{};
    if (h == INVALID_HANDLE_VALUE || !GetFileSizeEx(h, &size) || size.QuadPart <= 0 || size.QuadPart > 0x40000000) {
        std::fprintf(stderr, "zbench: cannot read %s\n", args[0]);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        return 1;
    }
    // Whole blocks of the file's bytes.
    const size_t n = static_cast<size_t>(size.QuadPart) / 32 * 32;
    std::vector<char> plain(static_cast<size_t>(size.QuadPart)), cipher(n), back(n);
    DWORD read = 0;
    const BOOL ok = ReadFile(h, plain.data(), static_cast<DWORD>(plain.size()), &read, nullptr);
    CloseHandle(h);
    if (!ok || read != plain.size() || n == 0) {
        std::fprintf(stderr, "zbench: cannot read %s\n", args[0]);
        return 1;
    }
    const int runs = count >= 2 ? std::atoi(args[1]) : 5;
    const char key[33] = "0123456789abcdef0123456789abcdef";
    const char chain[32] = {};
    double encipher = 1e9, decipher = 1e9, filecrypt = 1e9;
    const CString text(plain.data(), static_cast<int>(plain.size()));
    for (int run = 0; run < (runs > 0 ? runs : 1); ++run) {
        CRijndael rijndael;
        rijndael.MakeKey(key, chain, 32, 32);
        double start = Now();
        rijndael.Encrypt(plain.data(), cipher.data(), n, CRijndael::ECB);
        encipher = std::min(encipher, Now() - start);
        start = Now();
        rijndael.Decrypt(cipher.data(), back.data(), n, CRijndael::ECB);
        decipher = std::min(decipher, Now() - start);
        if (std::memcmp(back.data(), plain.data(), n) != 0) {
            std::fprintf(stderr, "zbench: the cipher did not give the text back\n");
            return 1;
        }
        CFileCrypt crypt;
        CString out;
        start = Now();
        if (!crypt.EncryptString(text, out))
            return 1;
        filecrypt = std::min(filecrypt, Now() - start);
    }
    std::printf("bytes=%zu encipher=%.6f decipher=%.6f filecrypt=%.6f\n", n, encipher, decipher, filecrypt);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "tiff2pdf") == 0)
        return Convert(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "merge") == 0)
        return Merge(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "cipher") == 0)
        return Cipher(argc - 2, argv + 2);
    return Usage();
}
