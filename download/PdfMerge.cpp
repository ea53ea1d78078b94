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

bool JoinWithLibrary(const std::vector<CString>& inputs, const CString& target)
{
    PoDoFo::PdfError::EnableDebug(false);
    PoDoFo::PdfError::EnableLogging(false);
    try {
        // Each input is read whole and parsed from memory: the library reads a document
        // opened from a path lazily, in small pieces, which is several times slower, and
        // would keep the file open while the output is written.
        PoDoFo::PdfMemDocument output;
        std::vector<std::unique_ptr<PoDoFo::PdfMemDocument>> documents;
        for (const CString& path : inputs) {
            std::string bytes;
            if (!ReadWholeFile(path, bytes))
                return false;
            documents.push_back(std::make_unique<PoDoFo::PdfMemDocument>());
            documents.back()->LoadFromBuffer(bytes.data(), static_cast<long>(bytes.size()));
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

    CString temp = TempFileBeside(output);
    if (temp.IsEmpty())
        return false;
    bool written = inputs.size() == 1 ? CopyFileA(inputs.front(), temp, FALSE) != 0
                                      : JoinWithLibrary(inputs, temp);
    if (written && MoveFileExA(temp, output, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return true;
    DeleteFileA(temp);
    return false;
}
