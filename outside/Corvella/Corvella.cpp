#include "Corvella.h"

#include <windows.h>

#include <tiffio.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// One PDF file written by hand: objects numbered from 1, their offsets kept for the
// cross-reference table.
class PdfFile
{
public:
    explicit PdfFile(FILE* f) : m_file(f) {}
    void Text(const std::string& text) { Bytes(text.data(), text.size()); }
    void Bytes(const void* data, size_t size)
    {
        if (m_ok && size && std::fwrite(data, 1, size, m_file) != size)
            m_ok = false;
        m_offset += size;
    }
    void BeginObject()
    {
        m_objects.push_back(m_offset);
        Text(std::to_string(m_objects.size()) + " 0 obj\n");
    }
    void Finish(int root)
    {
        const size_t xref = m_offset;
        Text("xref\n0 " + std::to_string(m_objects.size() + 1) + "\n0000000000 65535 f \n");
        for (size_t offset : m_objects) {
            char line[32];
            std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
            Text(line);
        }
        Text("trailer\n<< /Size " + std::to_string(m_objects.size() + 1) + " /Root " + std::to_string(root) +
             " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
    }
    bool Ok() const { return m_ok; }

private:
    FILE* m_file;
    size_t m_offset = 0;
    std::vector<size_t> m_objects;
    bool m_ok = true;
};

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

} // namespace

CORVELLA_API int __cdecl MakeIt(const char* tiffPath, const char* pdfPath)
{
    if (!tiffPath || !pdfPath)
        return 0;
    TIFF* tif = TIFFOpen(tiffPath, "r");
    if (!tif)
        return 0;
    uint32_t width = 0, height = 0;
    uint16_t compression = 0, bits = 0, photometric = PHOTOMETRIC_MINISWHITE, unit = RESUNIT_INCH;
    float xres = 0, yres = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres) || xres <= 0)
        xres = 300;
    if (!TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres) || yres <= 0)
        yres = xres;
    if (unit == RESUNIT_CENTIMETER) {
        xres *= 2.54f;
        yres *= 2.54f;
    }
    std::vector<unsigned char> strip;
    bool ok = width > 0 && height > 0 && bits == 1 && compression == COMPRESSION_CCITTFAX4 &&
              TIFFNumberOfStrips(tif) == 1;
    if (ok) {
        const tmsize_t size = TIFFRawStripSize(tif, 0);
        ok = size > 0;
        if (ok) {
            strip.resize(static_cast<size_t>(size));
            ok = TIFFReadRawStrip(tif, 0, strip.data(), size) == size;
            uint16_t fill = FILLORDER_MSB2LSB;
            TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fill);
            if (ok && fill == FILLORDER_LSB2MSB)
                TIFFReverseBits(strip.data(), size);
        }
    }
    TIFFClose(tif);
    if (!ok)
        return 0;

    FILE* f = std::fopen(pdfPath, "wb");
    if (!f)
        return 0;
    const double pageWidth = width * 72.0 / xres, pageHeight = height * 72.0 / yres;
    const std::string content = "q " + Number(pageWidth) + " 0 0 " + Number(pageHeight) + " 0 0 cm /Im1 Do Q\n";
    PdfFile pdf(f);
    pdf.Text("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    pdf.BeginObject();
    pdf.Text("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    pdf.BeginObject();
    pdf.Text("<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n");
    pdf.BeginObject();
    pdf.Text("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(pageWidth) + " " + Number(pageHeight) +
             "] /Resources << /XObject << /Im1 5 0 R >> /ProcSet [/PDF /ImageB] >> /Contents 4 0 R >>\nendobj\n");
    pdf.BeginObject();
    pdf.Text("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream\nendobj\n");
    pdf.BeginObject();
    pdf.Text("<< /Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
             std::to_string(height) + " /ColorSpace /DeviceGray /BitsPerComponent 1 /Filter /CCITTFaxDecode"
             " /DecodeParms << /K -1 /Columns " + std::to_string(width) + " /Rows " + std::to_string(height) +
             (photometric == PHOTOMETRIC_MINISBLACK ? " /BlackIs1 true" : "") + " >> /Length " +
             std::to_string(strip.size()) + " >>\nstream\n");
    pdf.Bytes(strip.data(), strip.size());
    pdf.Text("\nendstream\nendobj\n");
    pdf.Finish(1);
    const bool written = pdf.Ok();
    if (std::fclose(f) != 0 || !written) {
        ::DeleteFileA(pdfPath);
        return 0;
    }
    return 1;
}
