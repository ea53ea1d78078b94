// The page images of search reports: DIBSection is a device-independent bitmap with a memory
// device context of its own, on which the report text is drawn; LoadBitmapFile and
// DecodeBitmap read a Windows BMP file (1, 4, 8 or 24 bits per pixel, RLE4 and RLE8 too,
// rows bottom-up) into a 24-bit section; SaveBitmap24 writes a 24-bit section as an
// uncompressed BMP file. BitReader reads the 1- and 4-bit pixel rows.
#pragma once

#include "Framework.h"

#include <cstdint>

class DIBSection
{
public:
    DIBSection();
    virtual ~DIBSection();
    DIBSection(const DIBSection&) = delete;
    DIBSection& operator=(const DIBSection&) = delete;

    // A new blank section of 8, 16, 24 or 32 bits per pixel; any other depth leaves the
    // object as it was. Any previous bitmap is given back first. Without bits (the system
    // refused the bitmap) GetBits() answers null.
    void Create(int nWidth, int nHeight, int nBitsPerPixel);
    // Gives back the bitmap and the context; every member empty again.
    void Release();
    void Init();

    HBITMAP GetBitmap() const { return m_hBitmap; }
    unsigned char* GetBits() const { return m_pBits; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    CDC* GetDC() const { return m_pDC; }
    // The width rounded up to a multiple of 4: the pixels of one row in the bits.
    int GetRowWidth() const { return m_nRowWidth; }
    int GetBitsPerPixel() const { return m_nBitsPerPixel; }
    const BITMAPINFOHEADER& GetInfoHeader() const { return m_Header; }

private:
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOldObject;
    unsigned char* m_pBits;
    int m_nWidth;
    int m_nHeight;
    CDC* m_pDC;
    int m_nRowWidth;
    BITMAPINFOHEADER m_Header;
    int m_nBitsPerPixel;
};

// Reads bit fields of 0 to 16 bits, most significant bit first, from a byte buffer; bytes
// past its end read as 0.
class BitReader
{
public:
    BitReader();
    void SetData(size_t nSize, const unsigned char* pData);
    void Clear();
    // Reads n bits (0 to 16) into value; with no data nothing is read and value stays.
    void ReadBits(int n, uint16_t& value);
    // Moves the read position to the bit (for skipping row padding).
    void SeekBit(size_t nBit) { m_nBitPosition = nBit; m_bFirstUse = false; }
    size_t GetBitPosition() const { return m_nBitPosition; }

private:
    const unsigned char* m_pData;
    size_t m_nSize;
    size_t m_nByteIndex;
    size_t m_nBitPosition;
    int m_nBitOffset;
    int m_nShift;
    bool m_bFirstUse;
};

// Reads the whole file and decodes it into the section: 1 decoded, 0 not. A file that
// cannot be read is 0; an exception on the way is told in a message box.
int LoadBitmapFile(const CString& path, DIBSection& section);
// Decodes a BMP file held in memory into a new 24-bit section: 1 decoded, 0 refused (too
// short, top-down, an unknown depth or compression, or headers and colour table that do not
// fit in the data). Runs and reads that would leave the bitmap or the data are ignored.
int DecodeBitmap(size_t nSize, const unsigned char* pData, DIBSection& section);
// Writes the section as an uncompressed 24-bit BMP file, replacing the file: 1 when the
// whole file was written; a section of another depth gets its headers only and gives 0.
int SaveBitmap24(const CString& path, const DIBSection& section);
