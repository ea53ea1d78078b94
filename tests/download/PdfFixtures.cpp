#include "PdfFixtures.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace pdffixtures {

namespace {

uint32_t MaxValue(const PageSpec& page)
{
    return page.bits >= 32 ? 0xFFFFFFFFu : (1u << page.bits) - 1;
}

// The sample values of one pixel.
std::vector<uint32_t> PixelSamples(const PageSpec& page, bool dark)
{
    const uint32_t max = MaxValue(page);
    std::vector<uint32_t> s(page.samples, 0);
    switch (page.photometric) {
    case PHOTOMETRIC_MINISWHITE:
        s[0] = dark ? max : 0;
        break;
    case PHOTOMETRIC_PALETTE:
        s[0] = dark ? 1 : 0;
        break;
    case PHOTOMETRIC_RGB:
        s[0] = dark ? max / 255 * 200 : max;
        s[1] = dark ? 0 : max;
        s[2] = dark ? 0 : max;
        for (size_t c = 3; c < s.size(); ++c)
            s[c] = max; // opaque alpha
        break;
    case PHOTOMETRIC_SEPARATED:
        s[1] = dark ? max : 0;
        s[2] = dark ? max : 0;
        break;
    default: // min-is-black grey and anything else
        for (auto& v : s)
            v = dark ? 0 : max;
        break;
    }
    return s;
}

void PutSample(std::vector<unsigned char>& row, size_t index, int bits, uint32_t value)
{
    if (bits < 8) {
        size_t bit = index * static_cast<size_t>(bits);
        int shift = 8 - bits - static_cast<int>(bit % 8);
        row[bit / 8] = static_cast<unsigned char>(row[bit / 8] | (value << shift));
    } else {
        size_t bytes = static_cast<size_t>(bits / 8);
        std::memcpy(&row[index * bytes], &value, bytes); // the machine's byte order
    }
}

float YResolution(const PageSpec& page)
{
    return page.yResolution > 0 ? page.yResolution : page.resolution;
}

// Each run of the test program begins the list of outputs afresh.
struct ListReset {
    ListReset()
    {
        CString folder = CheckFolder();
        if (!folder.IsEmpty())
            DeleteFileA(folder + "\\outputs.txt");
    }
} g_listReset;

} // namespace

bool IsDark(const PageSpec& page, uint32_t x, uint32_t y)
{
    return x < page.width / 2 - 3 && y < page.height / 2;
}

std::vector<unsigned char> DecodedImage(const PageSpec& page)
{
    const bool bilevel = page.bits == 1 && page.photometric != PHOTOMETRIC_PALETTE;
    const int shift = page.bits > 8 ? page.bits - 8 : 0;
    const size_t channels = page.photometric == PHOTOMETRIC_RGB         ? 3
                            : page.photometric == PHOTOMETRIC_SEPARATED ? 4
                                                                        : 1;
    const std::vector<uint32_t> dark = PixelSamples(page, true);
    const std::vector<uint32_t> light = PixelSamples(page, false);
    std::vector<unsigned char> image;
    for (uint32_t y = 0; y < page.height; ++y) {
        for (uint32_t x = 0; x < page.width; ++x) {
            bool isDark = IsDark(page, x, y);
            if (bilevel) {
                image.push_back(isDark ? 0 : 255);
                continue;
            }
            const auto& pixel = isDark ? dark : light;
            for (size_t c = 0; c < channels; ++c)
                image.push_back(static_cast<unsigned char>(pixel[c] >> shift));
        }
    }
    return image;
}

bool WriteTiff(const CString& path, const std::vector<PageSpec>& pages)
{
    TIFF* tif = TIFFOpen(path, "w");
    if (!tif)
        return false;
    bool ok = true;
    for (const PageSpec& page : pages) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, page.bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, page.samples);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, page.compression);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, page.photometric);
        TIFFSetField(tif, TIFFTAG_FILLORDER, page.fillOrder);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip ? page.rowsPerStrip : page.height);
        if (page.bits == 32)
            TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
        if (page.photometric == PHOTOMETRIC_RGB && page.samples == 4) {
            uint16_t extra = EXTRASAMPLE_UNASSALPHA;
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
        if (page.compression == COMPRESSION_CCITTFAX3)
            TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, page.group3Options);
        if (page.resolution > 0) {
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, page.resolution);
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, YResolution(page));
            if (page.resolutionUnit)
                TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, page.resolutionUnit);
        }
        if (page.photometric == PHOTOMETRIC_PALETTE) {
            // Entry 0 white, entry 1 blue, the rest black.
            size_t n = size_t(1) << page.bits;
            std::vector<uint16_t> red(n, 0), green(n, 0), blue(n, 0);
            red[0] = green[0] = blue[0] = 65535;
            blue[1] = 65535;
            TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
        }
        const size_t rowBytes = (size_t(page.width) * page.samples * page.bits + 7) / 8;
        const std::vector<uint32_t> dark = PixelSamples(page, true);
        const std::vector<uint32_t> light = PixelSamples(page, false);
        std::vector<unsigned char> row(rowBytes);
        for (uint32_t y = 0; ok && y < page.height; ++y) {
            std::fill(row.begin(), row.end(), 0);
            for (uint32_t x = 0; x < page.width; ++x) {
                const auto& pixel = IsDark(page, x, y) ? dark : light;
                for (size_t c = 0; c < pixel.size(); ++c)
                    PutSample(row, size_t(x) * page.samples + c, page.bits, pixel[c]);
            }
            ok = TIFFWriteScanline(tif, row.data(), y, 0) == 1;
        }
        ok = ok && TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

ExpectedPage Expected(const PageSpec& page)
{
    char size[64];
    const float perInch = page.resolutionUnit == RESUNIT_CENTIMETER ? 2.54f : 1.0f;
    const float xRes = page.resolution > 0 ? page.resolution * perInch : 200.0f;
    const float yRes = page.resolution > 0 ? YResolution(page) * perInch : 200.0f;
    std::snprintf(size, sizeof size, "%ldx%ld", static_cast<long>(page.width * 72.0 / xRes),
                  static_cast<long>(page.height * 72.0 / yRes + 0.5));
    ExpectedPage e{size, "000000", "ffffff"};
    if (page.photometric == PHOTOMETRIC_PALETTE)
        e.dark = "0000ff";
    else if (page.photometric == PHOTOMETRIC_RGB)
        e.dark = "c80000";
    else if (page.photometric == PHOTOMETRIC_SEPARATED)
        e.dark = "ff0000";
    return e;
}

std::string ReadAll(const CString& path)
{
    std::string bytes;
    std::ifstream in(path.GetString(), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return bytes;
}

std::string ObjectText(const std::string& pdf, int number)
{
    size_t start = pdf.rfind("startxref\r");
    if (start == std::string::npos)
        return std::string();
    unsigned long xref = std::strtoul(pdf.c_str() + start + 10, nullptr, 10);
    size_t table = pdf.find('\r', pdf.find('\r', xref) + 1) + 1; // after "xref\r0 N\r"
    size_t entry = table + 20 * static_cast<size_t>(number);
    if (entry + 20 > pdf.size())
        return std::string();
    unsigned long at = std::strtoul(pdf.c_str() + entry, nullptr, 10);
    size_t end = pdf.find("endobj\r", at);
    if (at >= pdf.size() || end == std::string::npos)
        return std::string();
    return pdf.substr(at, end + 7 - at);
}

std::string CheckSkeleton(const std::string& pdf, int expectedObjects)
{
    if (pdf.compare(0, 9, "%PDF-1.2\r") != 0)
        return "no PDF-1.2 header";
    size_t start = pdf.rfind("startxref\r");
    if (start == std::string::npos || pdf.compare(pdf.size() - 6, 6, "%%EOF\r") != 0)
        return "no startxref or %%EOF at the end";
    unsigned long xref = std::strtoul(pdf.c_str() + start + 10, nullptr, 10);
    char head[64];
    std::snprintf(head, sizeof head, "xref\r0 %d\r0000000000 65535 f \r", expectedObjects + 1);
    if (pdf.compare(xref, std::strlen(head), head) != 0)
        return "startxref does not lead to the expected table head " + std::string(head);
    size_t entry = xref + std::strlen(head);
    for (int k = 1; k <= expectedObjects; ++k, entry += 20) {
        std::string line = pdf.substr(entry, 20);
        if (line.size() != 20 || line.compare(10, 10, " 00000 n \r") != 0)
            return "bad table line for object " + std::to_string(k);
        unsigned long at = std::strtoul(line.c_str(), nullptr, 10);
        std::string expected = std::to_string(k) + " 0 obj\r";
        if (pdf.compare(at, expected.size(), expected) != 0)
            return "table entry of object " + std::to_string(k) + " points elsewhere";
    }
    char trailer[128];
    std::snprintf(trailer, sizeof trailer, "trailer\r<<\r/Size %d\r/Root 2 0 R\r/Info 1 0 R\r>>\r"
                  "startxref\r%lu\r%%%%EOF\r", expectedObjects + 1, xref);
    if (pdf.compare(entry, std::string::npos, trailer) != 0)
        return "trailer differs";
    return std::string();
}

CString CheckFolder()
{
    const char* folder = std::getenv("ZENTROVA_PDF_CHECK");
    if (!folder || !*folder)
        return CString();
    CreateDirectoryA(folder, nullptr);
    return CString(folder);
}

CString CheckedPath(const char* name, const CString& fallback)
{
    CString folder = CheckFolder();
    return (folder.IsEmpty() ? fallback : folder) + "\\" + name;
}

void ExpectPdf(const CString& path, const std::vector<ExpectedPage>& pages)
{
    CString folder = CheckFolder();
    if (folder.IsEmpty())
        return;
    std::ofstream list((folder + "\\outputs.txt").GetString(), std::ios::app);
    CString name = path.Mid(path.ReverseFind('\\') + 1);
    list << name.GetString() << "|";
    for (size_t i = 0; i < pages.size(); ++i) {
        list << (i ? ";" : "") << pages[i].size << "," << pages[i].dark << ","
             << pages[i].light;
    }
    list << "\n";
}

} // namespace pdffixtures
