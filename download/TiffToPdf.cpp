#include "TiffToPdf.h"

#include "String.h"
#include "TiffReader.h"

#include <tiffio.h>
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

// Longest path the conversion accepts: the Win32 ANSI file functions take no longer ones.
const int kMaxPathLength = MAX_PATH - 1;

// Decoded pages are held whole in memory; a damaged file may claim any size.
const uint64_t kMaxDecodedBytes = 512ull << 20;
const uint64_t kMaxStripBytes = 256ull << 20;

// The longest page side, in points, that PDF readers accept (200 inches). A page must also
// be at least one point wide and high.
const double kMaxPageSide = 14400.0;

const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday",
                                 "Friday", "Saturday"};
const char* const kMonthNames[] = {"January", "February", "March", "April", "May", "June",
                                   "July", "August", "September", "October", "November",
                                   "December"};

// Today's date as the Info dictionary's default creation date: "Tuesday, December 08, 2026".
CString TodayText()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString text;
    text.Format("%s, %s %02u, %u", kDayNames[now.wDayOfWeek % 7],
                kMonthNames[(now.wMonth + 11) % 12], now.wDay, now.wYear);
    return text;
}

// The text of a PDF literal string: backslashes and parentheses escaped.
std::string PdfLiteral(const char* text)
{
    std::string literal = "(";
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\\' || *p == '(' || *p == ')')
            literal += '\\';
        literal += *p;
    }
    literal += ')';
    return literal;
}

bool SameFile(const char* a, const char* b)
{
    char fullA[MAX_PATH * 2], fullB[MAX_PATH * 2];
    DWORD na = GetFullPathNameA(a, sizeof fullA, fullA, nullptr);
    DWORD nb = GetFullPathNameA(b, sizeof fullB, fullB, nullptr);
    if (na == 0 || nb == 0 || na >= sizeof fullA || nb >= sizeof fullB)
        return lstrcmpiA(a, b) == 0;
    return lstrcmpiA(fullA, fullB) == 0;
}

// Page size in points: the width truncated, the height rounded.
long PageWidth(const CTiffReader& r)
{
    return static_cast<long>(r.m_nImageWidth * 72.0 / r.m_fXResolution);
}

long PageHeight(const CTiffReader& r)
{
    return static_cast<long>(r.m_nImageLength * 72.0 / r.m_fYResolution + 0.5);
}

} // namespace

// ---------------------------------------------------------------- output file

class CTiffToPdf::Output
{
public:
    Output() : m_hFile(INVALID_HANDLE_VALUE), m_nFlushed(0), m_bFailed(false)
    {
        m_buffer.reserve(kBufferSize);
    }
    ~Output() { Close(); }

    bool Create(const char* path)
    {
        m_hFile = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        return m_hFile != INVALID_HANDLE_VALUE;
    }

    // Writes what is buffered and closes the file: false when any write failed.
    bool Close()
    {
        if (m_hFile == INVALID_HANDLE_VALUE)
            return !m_bFailed;
        Flush();
        if (!CloseHandle(m_hFile))
            m_bFailed = true;
        m_hFile = INVALID_HANDLE_VALUE;
        return !m_bFailed;
    }

    uint64_t Tell() const { return m_nFlushed + m_buffer.size(); }
    bool Failed() const { return m_bFailed; }

    void Write(const void* data, size_t length)
    {
        if (m_buffer.size() + length > kBufferSize)
            Flush();
        if (length >= kBufferSize)
            WriteThrough(static_cast<const char*>(data), length);
        else
            m_buffer.append(static_cast<const char*>(data), length);
    }

    void Write(const char* text) { Write(text, std::strlen(text)); }
    void Write(const std::string& text) { Write(text.data(), text.size()); }

    void Printf(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
    {
        char line[256];
        va_list args;
        va_start(args, format);
        int n = std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        if (n < 0 || n >= static_cast<int>(sizeof line))
            throw std::bad_alloc();
        Write(line, static_cast<size_t>(n));
    }

private:
    static const size_t kBufferSize = 256 * 1024;

    void Flush()
    {
        WriteThrough(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
    }

    void WriteThrough(const char* data, size_t length)
    {
        while (length > 0 && !m_bFailed) {
            DWORD chunk = static_cast<DWORD>(length > (1u << 30) ? (1u << 30) : length);
            DWORD written = 0;
            if (m_hFile == INVALID_HANDLE_VALUE ||
                !WriteFile(m_hFile, data, chunk, &written, nullptr) || written != chunk) {
                m_bFailed = true;
                return;
            }
            data += chunk;
            length -= chunk;
            m_nFlushed += chunk;
        }
    }

    HANDLE m_hFile;
    std::string m_buffer;
    uint64_t m_nFlushed;
    bool m_bFailed;
};

namespace {

// Runs one object writer: its result, or `code` when it ran out of memory or a write failed.
template <typename Body>
int Guarded(CTiffToPdf::Output& out, int code, Body body)
{
    try {
        int rc = body();
        return out.Failed() ? code : rc;
    } catch (const std::bad_alloc&) {
        return code;
    }
}

} // namespace

// ---------------------------------------------------------------- PackBits

size_t PackBitsBound(size_t length)
{
    return length + length / 127 + 4;
}

size_t PackBitsEncode(unsigned char* out, const unsigned char* in, size_t length)
{
    unsigned char* o = out;
    size_t i = 0;
    while (i < length) {
        size_t m = length - i;
        const unsigned char* p = in + i;
        if (m == 1) {
            *o++ = 0;
            *o++ = p[0];
            i += 1;
        } else if (m == 2) {
            *o++ = 1;
            *o++ = p[0];
            *o++ = p[1];
            i += 2;
        } else if (m == 3) {
            if (p[0] == p[1] && p[1] == p[2]) {
                *o++ = 254;
                *o++ = p[0];
            } else {
                *o++ = 2;
                *o++ = p[0];
                *o++ = p[1];
                *o++ = p[2];
            }
            i += 3;
        } else if (p[0] == p[1] && p[1] == p[2]) {
            size_t k = 3;
            while (k < m && p[k] == p[0] && k < 127)
                ++k;
            *o++ = static_cast<unsigned char>(257 - k);
            *o++ = p[0];
            i += k;
        } else {
            size_t j = 0;
            while (j < m - 3 && j < 127 && !(p[j] == p[j + 1] && p[j + 1] == p[j + 2]))
                ++j;
            *o++ = static_cast<unsigned char>(j - 1);
            std::memcpy(o, p, j);
            o += j;
            i += j;
        }
    }
    *o++ = 128;
    return static_cast<size_t>(o - out);
}

// ---------------------------------------------------------------- page layout

bool CTiffToPdf::PlanPage(const CTiffReader& r, PagePlan& plan)
{
    TIFF* tif = r.GetHandle();
    const int bits = r.m_nBitsPerSample ? r.m_nBitsPerSample : 1;
    const int samples = r.m_nSamplesPerPixel ? r.m_nSamplesPerPixel : 1;
    const int ph = r.m_nPhotometric;
    plan = PagePlan{PagePlan::ROWS, PagePlan::GRAY, 8, 1, 0, 0, false};

    if (bits > 16 || r.m_nImageWidth == 0 || r.m_nImageLength == 0)
        return false;
    // The page's sides in points as PageWidth and PageHeight give them: a size and resolution
    // that make a side 0 or longer than a reader takes give no page a reader can show.
    const double width = r.m_nImageWidth * 72.0 / r.m_fXResolution;
    const double height = r.m_nImageLength * 72.0 / r.m_fYResolution + 0.5;
    if (!(width >= 1.0 && width < kMaxPageSide + 1.0 && height >= 1.0 && height < kMaxPageSide + 1.0))
        return false;
    uint32_t tileWidth = 0;
    if (TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth) && tileWidth)
        return false; // tiles are neither strips to copy nor scan lines to read
    uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    if (samples > 1 && planar != PLANARCONFIG_CONTIG)
        return false;

    const bool bilevel = bits == 1 && samples == 1;
    if (r.m_nCompression == COMPRESSION_CCITTFAX3 || r.m_nCompression == COMPRESSION_CCITTFAX4) {
        if (!bilevel)
            return false;
        // One strip is one CCITT stream. Several strips each end their own stream (a Group 4
        // strip with its end-of-block code), which a PDF reader stops at, and 2-D Group 3 rows
        // need tag bits the stream parameters cannot say: such pages are decoded instead.
        uint32_t g3options = 0;
        if (r.m_nCompression == COMPRESSION_CCITTFAX3)
            TIFFGetFieldDefaulted(tif, TIFFTAG_GROUP3OPTIONS, &g3options);
        if (TIFFNumberOfStrips(tif) == 1 && !(g3options & GROUP3OPT_2DENCODING)) {
            plan.data = PagePlan::RAW_STRIPS;
            plan.bitsPerComponent = 1;
            plan.k = r.m_nCompression == COMPRESSION_CCITTFAX4 ? -1 : 0;
            plan.blackIs1 = ph == PHOTOMETRIC_MINISBLACK;
            return true;
        }
        plan.data = PagePlan::FAX_ROWS;
    } else if (r.m_nCompression == COMPRESSION_CCITTRLE) {
        if (!bilevel)
            return false;
        plan.data = PagePlan::FAX_ROWS;
    } else if (ph == PHOTOMETRIC_SEPARATED || ph == PHOTOMETRIC_RGB) {
        plan.channels = ph == PHOTOMETRIC_SEPARATED ? 4 : 3;
        plan.space = ph == PHOTOMETRIC_SEPARATED ? PagePlan::CMYK : PagePlan::RGB;
        if ((bits != 8 && bits != 16) || samples < plan.channels)
            return false;
    } else if (ph == PHOTOMETRIC_YCBCR || ph == PHOTOMETRIC_CIELAB ||
               ph == PHOTOMETRIC_ICCLAB || ph == PHOTOMETRIC_ITULAB ||
               ph == PHOTOMETRIC_LOGL || ph == PHOTOMETRIC_LOGLUV) {
        return false;
    } else if (ph == PHOTOMETRIC_PALETTE) {
        if (samples != 1 || (bits != 1 && bits != 2 && bits != 4 && bits != 8))
            return false;
        plan.space = PagePlan::INDEXED;
        plan.paletteSize = 1 << bits;
        int entries[256][3];
        if (!r.BuildPalette(entries, plan.paletteSize))
            return false;
    } else if (bilevel) {
        plan.data = PagePlan::FAX_ROWS;
    } else if ((bits == 2 || bits == 4) && samples == 1) {
        plan.space = PagePlan::INDEXED;
        plan.paletteSize = 1 << bits;
    } else if (bits == 8 || bits == 16) {
        // 16-bit samples are written as their high byte: PDF 1.2 knows at most 8 bits.
        plan.space = PagePlan::INDEXED;
        plan.paletteSize = 256;
    } else {
        return false;
    }
    uint64_t expanded = uint64_t(r.m_nImageWidth) * r.m_nImageLength * plan.channels;
    return expanded <= kMaxDecodedBytes;
}

// ---------------------------------------------------------------- object writers

int CTiffToPdf::tiff_writePDFInfoObject(Output& out, unsigned long, const char* creator,
                                        const char* creationDate, const char* author,
                                        const char* producer, const char* title,
                                        const char* subject, const char* keywords)
{
    return Guarded(out, TIFFPDF_ERR_INFO, [&] {
        CString today;
        if (!creationDate) {
            today = TodayText();
            creationDate = today;
        }
        const struct { const char* key; const char* value; } entries[] = {
            {"/Creator ", creator}, {"/CreationDate ", creationDate}, {"/Author ", author},
            {"/Producer ", producer}, {"/Title ", title}, {"/Subject ", subject},
            {"/Keywords ", keywords}};
        out.Write("<<\r");
        for (const auto& e : entries) {
            out.Write(e.key);
            out.Write(PdfLiteral(e.value));
            out.Write("\r");
        }
        out.Write(">>\rendobj\r");
        return 1;
    });
}

int CTiffToPdf::tiff_writePDFCatalogObject(Output& out, unsigned long)
{
    return Guarded(out, TIFFPDF_ERR_CATALOG, [&] {
        out.Printf("<<\r/Type /Catalog\r/Pages %lu 0 R\r>>\rendobj\r", 3ul);
        return 1;
    });
}

int CTiffToPdf::tiff_writePDFPagesObject(Output& out, unsigned long object,
                                         const CTiffReader& reader,
                                         const std::vector<PagePlan>& plans)
{
    return Guarded(out, TIFFPDF_ERR_PAGES, [&] {
        unsigned long page = object + 1;
        out.Printf("<<\r/Type /Pages\r/Kids [%lu 0 R ", page);
        for (size_t i = 1; i < plans.size(); ++i) {
            page += static_cast<unsigned long>(plans[i - 1].ObjectCount());
            out.Printf("%ld 0 R ", static_cast<long>(page));
        }
        out.Printf("]\r/Count %lu\r", static_cast<unsigned long>(reader.GetPageCount()));
        out.Printf("/MediaBox [0 0 %ld %ld]\r>>\rendobj\r", 0l, 0l);
        return 1;
    });
}

int CTiffToPdf::tiff_writePDFPageObject(Output& out, unsigned long object,
                                        unsigned long pagesObject, const CTiffReader& reader)
{
    return Guarded(out, TIFFPDF_ERR_PAGE, [&] {
        out.Printf("<<\r/Type /Page\r/Parent %lu 0 R\r", pagesObject);
        out.Printf("/MediaBox [0 0 %ld %ld]\r", PageWidth(reader), PageHeight(reader));
        out.Write("/Resources\r<<\r");
        out.Printf("/XObject << /Im%lu %lu 0 R >>\r",
                   static_cast<unsigned long>(reader.m_nCurrentPage), object + 3);
        out.Printf("/ProcSet %lu 0 R \r>>\r", object + 2);
        out.Printf("/Contents [%lu 0 R]\r>>\rendobj\r", object + 1);
        return 1;
    });
}

int CTiffToPdf::tiff_writePDFContentsObject(Output& out, unsigned long,
                                            const CTiffReader& reader)
{
    return Guarded(out, TIFFPDF_ERR_CONTENTS, [&] {
        char content[128];
        long w = PageWidth(reader), h = PageHeight(reader);
        int n = std::snprintf(content, sizeof content, "q\r%ld 0 0 %ld %ld %ld cm\r/Im%lu Do\rQ\r",
                              w, h, 0l, 0l, static_cast<unsigned long>(reader.m_nCurrentPage));
        // The final CR is the line end before "endstream", outside the stream's length.
        out.Printf("<<\r/Length %i\r>>\rstream\r\n", n - 1);
        out.Write(content, static_cast<size_t>(n));
        out.Write("endstream\rendobj\r");
        return 1;
    });
}

int CTiffToPdf::tiff_writePDFProcsetObject(Output& out, unsigned long, const CTiffReader& reader)
{
    return Guarded(out, TIFFPDF_ERR_PROCSET, [&] {
        out.Write(reader.m_bColor ? "[ /PDF /ImageC ]\r" : "[ /PDF /ImageI ]\r");
        out.Write("endobj\r");
        return 1;
    });
}

int CTiffToPdf::tiff_writePDFXObject(Output& out, unsigned long object, const CTiffReader& reader,
                                     const PagePlan& plan, uint64_t& dataStart,
                                     uint64_t& dataEnd)
{
    return Guarded(out, TIFFPDF_ERR_XOBJECT, [&] {
        unsigned long page = static_cast<unsigned long>(reader.m_nCurrentPage);
        out.Printf("<<\r/Type /XObject\r/Subtype /Image\r/Name /Im%lu\r", page);
        if (plan.data == PagePlan::RAW_STRIPS) {
            out.Write("/Filter /CCITTFaxDecode\r");
            out.Printf("/DecodeParms << /K %i /Columns %ld /Rows %ld%s >>\r", plan.k,
                       static_cast<long>(reader.m_nImageWidth),
                       static_cast<long>(reader.m_nImageLength),
                       plan.blackIs1 ? " /BlackIs1 true" : "");
        } else {
            out.Write("/Filter /RunLengthDecode\r");
        }
        out.Printf("/ColorSpace %lu 0 R\r", object + 2);
        out.Printf("/Width %lu\r/Height %lu\r", static_cast<unsigned long>(reader.m_nImageWidth),
                   static_cast<unsigned long>(reader.m_nImageLength));
        out.Printf("/BitsPerComponent %d\r/Length %lu 0 R\r>>\rstream\r\n",
                   plan.bitsPerComponent, object + 1);
        dataStart = out.Tell();
        bool ok = plan.data == PagePlan::RAW_STRIPS ? WriteRawStrips(out, reader)
                  : plan.data == PagePlan::FAX_ROWS ? WriteFaxRowsRunLength(out, reader)
                                                    : WriteRowsRunLength(out, reader, plan);
        if (!ok)
            return static_cast<int>(TIFFPDF_ERR_XOBJECT);
        dataEnd = out.Tell();
        out.Write("\rendstream\rendobj\r");
        return 1;
    });
}

int CTiffToPdf::tiff_writePDFXObjectLength(Output& out, unsigned long, uint64_t dataStart,
                                           uint64_t dataEnd)
{
    return Guarded(out, TIFFPDF_ERR_XOBJECT_LENGTH, [&] {
        out.Printf("%lu\rendobj\r", static_cast<unsigned long>(dataEnd - dataStart));
        return 1;
    });
}

int CTiffToPdf::tiff_writePDFColorSpaceObject(Output& out, unsigned long object,
                                              const CTiffReader&, const PagePlan& plan)
{
    return Guarded(out, TIFFPDF_ERR_PAGES, [&] {
        switch (plan.space) {
        case PagePlan::CMYK:
            out.Write("/DeviceCMYK\rendobj\r");
            return 1;
        case PagePlan::GRAY:
            out.Write("/DeviceGray\rendobj\r");
            return 1;
        case PagePlan::RGB:
            out.Write("/DeviceRGB\rendobj\r");
            return 1;
        case PagePlan::INDEXED:
            break;
        }
        out.Printf("[ /Indexed /DeviceRGB %lu %lu 0 R ]\rendobj\r",
                   static_cast<unsigned long>(plan.paletteSize - 1), object + 1);
        return 2;
    });
}

int CTiffToPdf::tiff_writePDFPaletteObject(Output& out, unsigned long object,
                                           const CTiffReader& reader, const PagePlan& plan,
                                           uint64_t& dataStart, uint64_t& dataEnd)
{
    return Guarded(out, TIFFPDF_ERR_PAGES, [&] {
        int entries[256][3];
        if (plan.paletteSize < 1 || plan.paletteSize > 256 ||
            !reader.BuildPalette(entries, plan.paletteSize))
            return static_cast<int>(TIFFPDF_ERR_PAGES);
        out.Printf("<<\r/Length %lu 0 R\n>>\rstream\r\n", object + 1);
        dataStart = out.Tell();
        for (int i = 0; i < plan.paletteSize; ++i) {
            const unsigned char rgb[3] = {static_cast<unsigned char>(entries[i][0]),
                                          static_cast<unsigned char>(entries[i][1]),
                                          static_cast<unsigned char>(entries[i][2])};
            out.Write(rgb, 3);
        }
        dataEnd = out.Tell();
        out.Write("\rendstream\rendobj\r");
        return 1;
    });
}

// ---------------------------------------------------------------- image data

bool CTiffToPdf::WriteRawStrips(Output& out, const CTiffReader& reader)
{
    TIFF* tif = reader.GetHandle();
    uint64_t* counts = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &counts) || !counts)
        return false;
    const uint32_t strips = TIFFNumberOfStrips(tif);
    uint64_t largest = 0;
    for (uint32_t s = 0; s < strips; ++s)
        if (counts[s] > largest)
            largest = counts[s];
    if (largest == 0 || largest > kMaxStripBytes)
        return false;
    uint16_t fillOrder = FILLORDER_MSB2LSB;
    TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fillOrder);
    std::vector<unsigned char> buffer(static_cast<size_t>(largest));
    for (uint32_t s = 0; s < strips; ++s) {
        tmsize_t n = TIFFReadRawStrip(tif, s, buffer.data(), static_cast<tmsize_t>(counts[s]));
        if (n < 0)
            return false;
        if (fillOrder == FILLORDER_LSB2MSB)
            TIFFReverseBits(buffer.data(), n);
        out.Write(buffer.data(), static_cast<size_t>(n));
    }
    return true;
}

namespace {

// Reads every scan line of the page in order and hands it to `take`; false on a read error.
// libtiff has already put the bits of each line in the normal fill order.
template <typename Take>
bool ForEachRow(const CTiffReader& reader, Take take)
{
    TIFF* tif = reader.GetHandle();
    tmsize_t size = TIFFScanlineSize(tif);
    if (size <= 0)
        return false;
    std::vector<unsigned char> row(static_cast<size_t>(size));
    for (uint32_t y = 0; y < reader.m_nImageLength; ++y) {
        if (TIFFReadScanline(tif, row.data(), y, 0) < 0)
            return false;
        take(row.data(), static_cast<size_t>(size));
    }
    return true;
}

void WritePackBits(CTiffToPdf::Output& out, const std::vector<unsigned char>& samples)
{
    std::vector<unsigned char> encoded(PackBitsBound(samples.size()));
    size_t n = PackBitsEncode(encoded.data(), samples.data(), samples.size());
    out.Write(encoded.data(), n);
}

} // namespace

bool CTiffToPdf::WriteRowsRunLength(Output& out, const CTiffReader& reader, const PagePlan& plan)
{
    const uint32_t width = reader.m_nImageWidth;
    const int bits = reader.m_nBitsPerSample ? reader.m_nBitsPerSample : 1;
    const int samples = reader.m_nSamplesPerPixel ? reader.m_nSamplesPerPixel : 1;
    const size_t channels = static_cast<size_t>(plan.channels);
    std::vector<unsigned char> pixels;
    pixels.reserve(size_t(width) * reader.m_nImageLength * channels);

    bool ok = ForEachRow(reader, [&](const unsigned char* row, size_t size) {
        if (bits < 8) {
            // Packed indices or grey levels, one byte per pixel, most significant bits first.
            const int perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1;
            for (uint32_t x = 0; x < width; ++x) {
                size_t byte = x / perByte;
                int shift = 8 - bits * (static_cast<int>(x % perByte) + 1);
                pixels.push_back(byte < size ? static_cast<unsigned char>((row[byte] >> shift) & mask)
                                             : 0);
            }
            return;
        }
        // 8 or 16 bits: the first `channels` samples of each pixel; of a 16-bit sample its
        // high byte (libtiff hands samples over in the machine's byte order).
        const size_t bytesPerSample = static_cast<size_t>(bits / 8);
        const size_t stride = bytesPerSample * static_cast<size_t>(samples);
        const size_t high = bytesPerSample == 2 ? 1 : 0;
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned char* pixel = row + x * stride;
            for (size_t c = 0; c < channels; ++c) {
                size_t at = x * stride + c * bytesPerSample + high;
                pixels.push_back(at < size ? pixel[c * bytesPerSample + high] : 0);
            }
        }
    });
    if (!ok)
        return false;
    WritePackBits(out, pixels);
    return true;
}

bool CTiffToPdf::WriteFaxRowsRunLength(Output& out, const CTiffReader& reader)
{
    const uint32_t width = reader.m_nImageWidth;
    // A set bit is black unless the page says min-is-black.
    const bool blackIsOne = reader.m_nPhotometric != PHOTOMETRIC_MINISBLACK;
    const unsigned char one = blackIsOne ? 0 : 255;
    const unsigned char zero = blackIsOne ? 255 : 0;
    std::vector<unsigned char> pixels;
    pixels.reserve(size_t(width) * reader.m_nImageLength);
    bool ok = ForEachRow(reader, [&](const unsigned char* row, size_t size) {
        for (uint32_t x = 0; x < width; ++x) {
            size_t byte = x / 8;
            bool set = byte < size && (row[byte] & (0x80 >> (x % 8)));
            pixels.push_back(set ? one : zero);
        }
    });
    if (!ok)
        return false;
    WritePackBits(out, pixels);
    return true;
}

// ---------------------------------------------------------------- conversion

CTiffToPdf::CTiffToPdf()
{
    m_szMessage[0] = '\0';
}

int CTiffToPdf::Fail(Output* out, const char* pdfPath, int code)
{
    if (out) {
        out->Close();
        DeleteFileA(pdfPath);
    }
    if (code == TIFFPDF_FAILED) {
        std::snprintf(m_szMessage, sizeof m_szMessage, "Error in convertTiffToPdf");
        return code;
    }
    const char* name = "tiff_writePDFInfoObject";
    switch (code) {
    case TIFFPDF_ERR_CATALOG: name = "tiff_writePDFCatalogObject"; break;
    case TIFFPDF_ERR_PAGES: name = "tiff_writePDFPagesObject"; break;
    case TIFFPDF_ERR_PAGE: name = "tiff_writePDFPageObject"; break;
    case TIFFPDF_ERR_CONTENTS: name = "tiff_writePDFContentsObject"; break;
    case TIFFPDF_ERR_PROCSET: name = "tiff_writePDFProcsetObject"; break;
    case TIFFPDF_ERR_XOBJECT: name = "tiff_writePDFXObject"; break;
    case TIFFPDF_ERR_XOBJECT_LENGTH: name = "tiff_writePDFXObjectLength"; break;
    default: break;
    }
    std::snprintf(m_szMessage, sizeof m_szMessage, "Error in function %s", name);
    return code;
}

int CTiffToPdf::convertTiffToPdf(const char* tiffPath, const char* pdfPath, const char* creator,
                                 const char* creationDate, const char* author,
                                 const char* producer, const char* title, const char* subject,
                                 const char* keywords)
{
    m_szMessage[0] = '\0';
    if (!tiffPath || std::strlen(tiffPath) > static_cast<size_t>(kMaxPathLength)) {
        std::snprintf(m_szMessage, sizeof m_szMessage, "Unable to open file.");
        return TIFFPDF_CANNOT_OPEN;
    }
    CString outPath;
    bool created = false;
    if (pdfPath) {
        outPath = pdfPath;
    } else {
        CString in(tiffPath);
        outPath = in.Left(in.GetLength() >= 3 ? in.GetLength() - 3 : 0) + "pdf";
    }

    try {
        CTiffReader reader;
        if (!reader.Open(tiffPath)) {
            std::snprintf(m_szMessage, sizeof m_szMessage, "Unable to open file.");
            return TIFFPDF_CANNOT_OPEN;
        }
        if (reader.m_nPhotometric == PHOTOMETRIC_SEPARATED) {
            std::snprintf(m_szMessage, sizeof m_szMessage, "CMYK File Format not accepted");
            return TIFFPDF_FAILED;
        }
        // An output that would replace the image being read, or that the file functions
        // cannot take, is not created.
        if (outPath.GetLength() > kMaxPathLength || SameFile(tiffPath, outPath)) {
            std::snprintf(m_szMessage, sizeof m_szMessage, "Unable to create file.");
            return TIFFPDF_FAILED;
        }

        // Every page's layout is known before the Pages object names the page objects.
        const int pages = reader.GetPageCount();
        std::vector<PagePlan> plans(static_cast<size_t>(pages));
        for (int i = 0; i < pages; ++i) {
            if (!reader.SelectPage(i) || !PlanPage(reader, plans[static_cast<size_t>(i)]))
                return Fail(nullptr, nullptr, TIFFPDF_ERR_PAGES);
        }

        Output out;
        if (!out.Create(outPath)) {
            std::snprintf(m_szMessage, sizeof m_szMessage, "Unable to create file.");
            return TIFFPDF_FAILED;
        }
        created = true;

        std::vector<uint64_t> positions;
        positions.reserve(3 + static_cast<size_t>(pages) * 8);
        unsigned long n = 0;
        auto beginObject = [&] {
            positions.push_back(out.Tell());
            ++n;
            out.Printf("%lu 0 obj\r", n);
            return n;
        };

        out.Write("%PDF-1.2\r");
        int rc = tiff_writePDFInfoObject(out, beginObject(), creator, creationDate, author,
                                         producer, title, subject, keywords);
        if (rc == 1)
            rc = tiff_writePDFCatalogObject(out, beginObject());
        if (rc == 1)
            rc = tiff_writePDFPagesObject(out, beginObject(), reader, plans);
        for (int i = 0; rc == 1 && i < pages; ++i) {
            if (!reader.SelectPage(i)) {
                rc = TIFFPDF_FAILED;
                break;
            }
            const PagePlan& plan = plans[static_cast<size_t>(i)];
            uint64_t dataStart = 0, dataEnd = 0;
            rc = tiff_writePDFPageObject(out, beginObject(), 3, reader);
            if (rc == 1)
                rc = tiff_writePDFContentsObject(out, beginObject(), reader);
            if (rc == 1)
                rc = tiff_writePDFProcsetObject(out, beginObject(), reader);
            if (rc == 1)
                rc = tiff_writePDFXObject(out, beginObject(), reader, plan, dataStart, dataEnd);
            if (rc == 1)
                rc = tiff_writePDFXObjectLength(out, beginObject(), dataStart, dataEnd);
            if (rc == 1)
                rc = tiff_writePDFColorSpaceObject(out, beginObject(), reader, plan);
            if (rc == 2) {
                rc = tiff_writePDFPaletteObject(out, beginObject(), reader, plan, dataStart,
                                                dataEnd);
                if (rc == 1)
                    rc = tiff_writePDFXObjectLength(out, beginObject(), dataStart, dataEnd);
            }
        }
        if (rc != 1)
            return Fail(&out, outPath, rc);

        const uint64_t xref = out.Tell();
        out.Printf("xref\r0 %lu\r0000000000 65535 f \r", n + 1);
        for (uint64_t position : positions)
            out.Printf("%010lu 00000 n \r", static_cast<unsigned long>(position & 0xFFFFFFFFu));
        out.Printf("trailer\r<<\r/Size %lu\r/Root %lu 0 R\r/Info %lu 0 R\r>>\r", n + 1, 2ul, 1ul);
        out.Printf("startxref\r%lu\r%%%%EOF\r", static_cast<unsigned long>(xref));
        if (!out.Close())
            return Fail(&out, outPath, TIFFPDF_FAILED);
        return TIFFPDF_DONE;
    } catch (const std::bad_alloc&) {
        if (created)
            DeleteFileA(outPath);
        return Fail(nullptr, nullptr, TIFFPDF_FAILED);
    }
}
