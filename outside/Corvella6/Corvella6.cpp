#include "Corvella6.h"

#include <windows.h>

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const int kResolution = 300;

std::string ToAnsiPath(const wchar_t* path)
{
    const int n = ::WideCharToMultiByte(CP_ACP, 0, path, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string text(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, path, -1, &text[0], n, nullptr, nullptr);
    text.resize(static_cast<size_t>(n - 1));
    return text;
}

bool ReadFileBytes(const wchar_t* path, std::vector<unsigned char>& bytes)
{
    HANDLE h = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool ok = ::GetFileSizeEx(h, &size) && size.QuadPart > 54 && size.QuadPart < 0x40000000;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
             read == bytes.size();
    }
    ::CloseHandle(h);
    return ok;
}

uint32_t Get32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

CORVELLA6_API int __cdecl Bmp2Tiff(const wchar_t* bitmapPath, const wchar_t* tiffPath)
{
    if (!bitmapPath || !tiffPath)
        return 0;
    std::vector<unsigned char> bmp;
    if (!ReadFileBytes(bitmapPath, bmp) || bmp[0] != 'B' || bmp[1] != 'M')
        return 0;
    const uint32_t offset = Get32(&bmp[10]);
    const int32_t width = static_cast<int32_t>(Get32(&bmp[18]));
    const int32_t height = static_cast<int32_t>(Get32(&bmp[22]));
    const unsigned bits = bmp[28] | (bmp[29] << 8);
    const uint32_t compression = Get32(&bmp[30]);
    if (bits != 24 || compression != 0 || width <= 0 || height <= 0 || width > 32767 || height > 32767)
        return 0;
    const size_t rowBytes = ((static_cast<size_t>(width) * 24 + 31) / 32) * 4;
    if (offset > bmp.size() || rowBytes * static_cast<size_t>(height) > bmp.size() - offset)
        return 0;

    const std::string out = ToAnsiPath(tiffPath);
    TIFF* tif = TIFFOpen(out.c_str(), "w");
    if (!tif)
        return 0;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(kResolution));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(kResolution));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);

    bool ok = true;
    std::vector<unsigned char> line((static_cast<size_t>(width) + 7) / 8);
    for (int32_t row = 0; row < height && ok; ++row) {
        // The bitmap's rows run bottom-up, the TIFF's top-down.
        const unsigned char* src = &bmp[offset + rowBytes * static_cast<size_t>(height - 1 - row)];
        std::fill(line.begin(), line.end(), 0);
        for (int32_t x = 0; x < width; ++x) {
            const unsigned b = src[3 * x], g = src[3 * x + 1], r = src[3 * x + 2];
            if (r * 299 + g * 587 + b * 114 < 128000)
                line[static_cast<size_t>(x) / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
        ok = TIFFWriteScanline(tif, line.data(), static_cast<uint32_t>(row), 0) == 1;
    }
    TIFFClose(tif);
    if (!ok) {
        ::DeleteFileW(tiffPath);
        return 0;
    }
    return 1;
}
