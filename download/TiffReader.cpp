#include "TiffReader.h"

#include <tiffio.h>

#include <cmath>

namespace {

const float kDefaultResolution = 200.0f;
const float kCentimetresPerInch = 2.54f;

// The resolution in dots per inch. A value in pixels per centimetre (ResolutionUnit 3, as the
// OPS service writes its pages) is turned into one per inch; an inch, no unit (1) or a
// missing unit tag take the value as it stands. A missing value, or one that is not a
// positive number, counts as the default.
float UsableResolution(float value, uint16_t unit)
{
    if (!std::isfinite(value) || value <= 0.0f)
        return kDefaultResolution;
    if (unit == RESUNIT_CENTIMETER)
        value *= kCentimetresPerInch;
    return std::isfinite(value) ? value : kDefaultResolution;
}

} // namespace

CTiffReader::CTiffReader()
    : m_nImageLength(0), m_nImageWidth(0), m_nBitsPerSample(0), m_nSamplesPerPixel(0),
      m_nRowsPerStrip(0), m_nPhotometric(0), m_nCompression(0), m_nOrientation(0),
      m_fXResolution(0.0f), m_fYResolution(0.0f), m_nPageCount(-1), m_nCurrentPage(0),
      m_bColor(false), m_pTiff(nullptr)
{
}

CTiffReader::~CTiffReader()
{
    Close();
}

void CTiffReader::Close()
{
    if (m_pTiff) {
        TIFFClose(m_pTiff);
        m_pTiff = nullptr;
    }
}

int CTiffReader::Open(const char* path)
{
    Close();
    m_pTiff = TIFFOpen(path, "r");
    if (!m_pTiff)
        return 0;
    if (m_nPageCount == -1) {
        int n = 0;
        while (TIFFSetDirectory(m_pTiff, static_cast<tdir_t>(n)))
            ++n;
        m_nPageCount = n;
    }
    if (!TIFFSetDirectory(m_pTiff, 0)) {
        Close();
        return 0;
    }
    m_nCurrentPage = 0;
    ReadDirectory();
    return 1;
}

void CTiffReader::ReadDirectory()
{
    m_nCompression = 0;
    m_nImageWidth = 0;
    m_nImageLength = 0;
    m_nSamplesPerPixel = 0;
    m_nBitsPerSample = 0;
    m_nRowsPerStrip = 0;
    m_nPhotometric = 0;
    m_nOrientation = 0;
    m_fXResolution = 0.0f;
    m_fYResolution = 0.0f;
    TIFFGetField(m_pTiff, TIFFTAG_COMPRESSION, &m_nCompression);
    TIFFGetField(m_pTiff, TIFFTAG_IMAGEWIDTH, &m_nImageWidth);
    TIFFGetField(m_pTiff, TIFFTAG_IMAGELENGTH, &m_nImageLength);
    TIFFGetField(m_pTiff, TIFFTAG_SAMPLESPERPIXEL, &m_nSamplesPerPixel);
    TIFFGetField(m_pTiff, TIFFTAG_BITSPERSAMPLE, &m_nBitsPerSample);
    TIFFGetField(m_pTiff, TIFFTAG_ROWSPERSTRIP, &m_nRowsPerStrip);
    TIFFGetField(m_pTiff, TIFFTAG_PHOTOMETRIC, &m_nPhotometric);
    TIFFGetField(m_pTiff, TIFFTAG_ORIENTATION, &m_nOrientation);
    TIFFGetField(m_pTiff, TIFFTAG_XRESOLUTION, &m_fXResolution);
    TIFFGetField(m_pTiff, TIFFTAG_YRESOLUTION, &m_fYResolution);
    uint16_t unit = 0;
    TIFFGetField(m_pTiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    m_bColor = (m_nBitsPerSample >= 8 && m_nPhotometric == PHOTOMETRIC_RGB) ||
               m_nPhotometric == PHOTOMETRIC_YCBCR || m_nPhotometric == PHOTOMETRIC_SEPARATED ||
               m_nPhotometric == PHOTOMETRIC_LOGLUV;
    m_fXResolution = UsableResolution(m_fXResolution, unit);
    m_fYResolution = UsableResolution(m_fYResolution, unit);
}

bool CTiffReader::SelectPage(int page)
{
    if (page == m_nCurrentPage)
        return true;
    if (!m_pTiff || !TIFFSetDirectory(m_pTiff, static_cast<tdir_t>(page)))
        return false;
    ReadDirectory();
    m_nCurrentPage = page;
    return true;
}

bool CTiffReader::BuildPalette(int (*entries)[3], int count) const
{
    const int d = count > 1 ? count - 1 : 1;
    if (m_nPhotometric == PHOTOMETRIC_PALETTE) {
        uint16_t* red = nullptr;
        uint16_t* green = nullptr;
        uint16_t* blue = nullptr;
        if (!TIFFGetField(m_pTiff, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green ||
            !blue)
            return false;
        // The colour map holds 2^BitsPerSample entries; the page's bit depth says how many.
        if (m_nBitsPerSample < 1 || m_nBitsPerSample > 8 || count > (1 << m_nBitsPerSample))
            return false;
        double divisor = 256.0;
        for (int i = 0; i < count; ++i) {
            if (red[i] >= 256 || green[i] >= 256 || blue[i] >= 256) {
                divisor = 65535.0;
                break;
            }
        }
        for (int i = 0; i < count; ++i) {
            entries[i][0] = static_cast<int>(red[i] * 255.0 / divisor + 0.5);
            entries[i][1] = static_cast<int>(green[i] * 255.0 / divisor + 0.5);
            entries[i][2] = static_cast<int>(blue[i] * 255.0 / divisor + 0.5);
        }
        return true;
    }
    for (int i = 0; i < count; ++i) {
        double v = i * 255.0 / d;
        int level = m_nPhotometric == PHOTOMETRIC_MINISBLACK ? static_cast<int>(v + 0.5)
                                                             : static_cast<int>(255.0 - v + 0.5);
        entries[i][0] = entries[i][1] = entries[i][2] = level;
    }
    return true;
}
