// CTiffReader: the TIFF page image being converted to PDF. Holds the libtiff handle and the
// fields of the directory (page) currently selected. A tag the directory lacks reads as 0.
#pragma once

#include <cstdint>

typedef struct tiff TIFF;

class CTiffReader
{
public:
    CTiffReader();
    ~CTiffReader();
    CTiffReader(const CTiffReader&) = delete;
    CTiffReader& operator=(const CTiffReader&) = delete;

    // Opens the file read-only, counts its pages and selects the first: 1, or 0 when the file
    // is no readable TIFF.
    int Open(const char* path);
    void Close();

    // Loads the fields of the current directory. The resolutions are kept in dots per inch:
    // one given per centimetre (ResolutionUnit 3) is converted, any other unit or none is
    // taken as inches. A resolution that is missing (or not a positive number) counts as
    // 200 dots per inch.
    void ReadDirectory();

    // Selects page `page` (0-based) and loads its fields: true, or false when the file has
    // no such directory.
    bool SelectPage(int page);

    int GetPageCount() const { return m_nPageCount; }

    // Fills `count` palette entries of three integers R, G, B (0..255) for an indexed image of
    // the current page; false when a palette page has no usable colour map. `count` is at
    // most 256.
    bool BuildPalette(int (*entries)[3], int count) const;

    TIFF* GetHandle() const { return m_pTiff; }

    uint32_t m_nImageLength;
    uint32_t m_nImageWidth;
    uint16_t m_nBitsPerSample;
    uint16_t m_nSamplesPerPixel;
    uint32_t m_nRowsPerStrip;
    uint16_t m_nPhotometric;
    uint16_t m_nCompression;
    uint16_t m_nOrientation;
    float m_fXResolution;
    float m_fYResolution;
    int32_t m_nPageCount;
    int32_t m_nCurrentPage;
    bool m_bColor;

private:
    TIFF* m_pTiff;
};
