#include "Vostrel.h"

#include <tiffio.h>

#include <cstdint>
#include <vector>

namespace {

const uint32_t kMinSide = 300;
const uint32_t kMaxSide = 30000;
const uint32_t kMaxAspect = 5;

// libtiff would otherwise print warnings and errors about a damaged file on stderr.
void Quiet(const char*, const char*, va_list) {}

bool PlausibleSize(uint32_t width, uint32_t height)
{
    if (width < kMinSide || height < kMinSide || width > kMaxSide || height > kMaxSide)
        return false;
    return width <= height * kMaxAspect && height <= width * kMaxAspect;
}

bool PageDecodes(TIFF* tif)
{
    const bool tiled = TIFFIsTiled(tif) != 0;
    const tmsize_t size = tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
    if (size <= 0)
        return false;
    std::vector<unsigned char> buffer(static_cast<size_t>(size));
    const uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    if (count == 0)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        tmsize_t got = tiled ? TIFFReadEncodedTile(tif, i, buffer.data(), size)
                             : TIFFReadEncodedStrip(tif, i, buffer.data(), size);
        if (got < 0)
            return false;
    }
    return true;
}

bool PageUsable(TIFF* tif)
{
    uint32_t width = 0, height = 0;
    uint16_t bits = 0, samples = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height))
        return false;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    if (bits < 1 || bits > 16 || samples < 1)
        return false;
    return PlausibleSize(width, height) && PageDecodes(tif);
}

bool ImageUsable(const wchar_t* path)
{
    if (!path || !*path)
        return false;
    TIFFSetErrorHandler(Quiet);
    TIFFSetWarningHandler(Quiet);
    TIFF* tif = TIFFOpenW(path, "r");
    if (!tif)
        return false;
    bool usable = true;
    int pages = 0;
    do {
        ++pages;
        usable = PageUsable(tif);
    } while (usable && TIFFReadDirectory(tif));
    TIFFClose(tif);
    return usable && pages > 0;
}

} // namespace

int __cdecl TestImage(int /*downloadId*/, int* rejected, const wchar_t* path)
{
    const int unusable = ImageUsable(path) ? 0 : 1;
    if (rejected)
        *rejected = unusable;
    return unusable;
}
