// zbench: times the program's TIFF-to-PDF writer and PDF merge on files given by the caller.
//   zbench tiff2pdf IN.tif OUT.pdf [IN.tif OUT.pdf ...]
//   zbench merge OUT.pdf IN1.pdf IN2.pdf ...
// Prints one line "pages=N seconds=S bytes=B" (pages converted or merged, time spent inside
// the writer or the merge, total size of the outputs) and exits 1 on the first failure.
#include "PdfMerge.h"
#include "TiffReader.h"
#include "TiffToPdf.h"

#include <podofo/podofo.h>
#include <windows.h>

#include <cstdio>
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
                         "       zbench merge OUT.pdf IN1.pdf IN2.pdf ...\n");
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

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "tiff2pdf") == 0)
        return Convert(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "merge") == 0)
        return Merge(argc - 2, argv + 2);
    return Usage();
}
