#include "PdfMerge.h"

#include <podofo/podofo.h>
#include <windows.h>

#include <exception>
#include <memory>
#include <string>

namespace {

// The whole file; false when it cannot be read or is too large for the library (2 GB).
bool ReadWholeFile(const CString& path, std::string& bytes)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() ||
             (ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
              read == bytes.size());
    }
    CloseHandle(h);
    return ok;
}

// A new empty file beside the output, which the result is written into first and then
// renamed over the output: a failed merge leaves neither a partial file nor a damaged output.
CString TempFileBeside(const CString& output)
{
    int slash = output.ReverseFind('\\');
    int fwd = output.ReverseFind('/');
    if (fwd > slash)
        slash = fwd;
    CString folder = slash < 0 ? CString(".") : output.Left(slash + 1);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder, "zpm", 0, temp))
        return CString();
    return CString(temp);
}

// Reads the file whole and parses it from memory: the library reads a document opened from a
// path lazily, in small pieces, which is several times slower, and would keep the file open
// while the output is written. False when the file cannot be read; the library throws its
// error when the bytes are not a PDF.
bool LoadWholeDocument(const CString& path, PoDoFo::PdfMemDocument& document)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    document.LoadFromBuffer(bytes.data(), static_cast<long>(bytes.size()));
    return true;
}

// Whether a lone input is a PDF whose every page can be read. It is copied as it stands
// afterwards, but an error page saved in place of a document must not pass as merged.
bool ReadsAsPdf(const CString& path)
{
    try {
        PoDoFo::PdfMemDocument document;
        if (!LoadWholeDocument(path, document) || document.GetPageCount() < 1)
            return false;
        for (int i = 0; i < document.GetPageCount(); ++i) {
            if (!document.GetPage(i))
                return false;
        }
        return true;
    } catch (const PoDoFo::PdfError&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool JoinWithLibrary(const std::vector<CString>& inputs, const CString& target)
{
    try {
        PoDoFo::PdfMemDocument output;
        std::vector<std::unique_ptr<PoDoFo::PdfMemDocument>> documents;
        for (const CString& path : inputs) {
            documents.push_back(std::make_unique<PoDoFo::PdfMemDocument>());
            if (!LoadWholeDocument(path, *documents.back()))
                return false;
            output.Append(*documents.back(), true);
        }
        output.Write(target.GetString());
        return true;
    } catch (const PoDoFo::PdfError&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

bool CPdfMerge::MergeFiles(std::vector<CString> inputs, CString output)
{
    if (inputs.empty() || output.IsEmpty() || output.GetLength() >= MAX_PATH)
        return false;
    for (const CString& path : inputs)
        if (path.GetLength() >= MAX_PATH)
            return false;

    PoDoFo::PdfError::EnableDebug(false);
    PoDoFo::PdfError::EnableLogging(false);
    CString temp = TempFileBeside(output);
    if (temp.IsEmpty())
        return false;
    bool written = inputs.size() == 1
                       ? ReadsAsPdf(inputs.front()) && CopyFileA(inputs.front(), temp, FALSE) != 0
                       : JoinWithLibrary(inputs, temp);
    if (written && MoveFileExA(temp, output, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return true;
    DeleteFileA(temp);
    return false;
}
