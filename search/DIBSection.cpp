#include "DIBSection.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

const uint16_t kMasks[17] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F, 0x003F, 0x007F, 0x00FF,
                             0x01FF, 0x03FF, 0x07FF, 0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};

// A section larger than this is no report page: such a header comes from a damaged file.
const int kMaxSide = 32767;
const unsigned long long kMaxPixelBytes = 512ull * 1024 * 1024;

uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(unsigned char* p, uint32_t v) { p[0] = static_cast<unsigned char>(v); p[1] = static_cast<unsigned char>(v >> 8); }
void Put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Paints decoded colour indexes into a 24-bit section; points outside the bitmap and
// indexes outside the colour table are ignored.
class PixelSink
{
public:
    PixelSink(DIBSection& section, const unsigned char* table, size_t colours)
        : m_bits(section.GetBits()), m_width(section.GetWidth()), m_height(section.GetHeight()),
          m_rowWidth(section.GetRowWidth()), m_table(table), m_colours(colours) {}

    void Put(long long x, long long y, unsigned index)
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height || index >= m_colours)
            return;
        unsigned char* p = m_bits + (static_cast<size_t>(y) * m_rowWidth + static_cast<size_t>(x)) * 3;
        const unsigned char* c = m_table + 4 * static_cast<size_t>(index);
        p[0] = c[0];
        p[1] = c[1];
        p[2] = c[2];
    }

private:
    unsigned char* m_bits;
    int m_width, m_height, m_rowWidth;
    const unsigned char* m_table;
    size_t m_colours;
};

// The run-length schemes: RLE8 (bNibbles false) and RLE4.
void DecodeRunLength(const unsigned char* data, size_t size, bool bNibbles, PixelSink& sink)
{
    size_t pos = 0;
    long long x = 0, y = 0;
    while (pos + 1 < size) {
        const unsigned n = data[pos];
        const unsigned second = data[pos + 1];
        pos += 2;
        if (n > 0) {
            for (unsigned i = 0; i < n; ++i) {
                const unsigned index = bNibbles ? ((i & 1) ? (second & 0x0F) : (second >> 4)) : second;
                sink.Put(x++, y, index);
            }
            continue;
        }
        if (second == 0) {
            ++y;
            x = 0;
        } else if (second == 1) {
            return;
        } else if (second == 2) {
            if (pos + 1 >= size)
                return;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else {
            const size_t bytes = bNibbles ? (second + 1) / 2 : second;
            for (unsigned i = 0; i < second; ++i) {
                const size_t at = pos + (bNibbles ? i / 2 : i);
                if (at >= size)
                    return;
                const unsigned index = bNibbles ? ((i & 1) ? (data[at] & 0x0F) : (data[at] >> 4)) : data[at];
                sink.Put(x++, y, index);
            }
            pos += bytes + (bytes & 1);
        }
    }
}

// Rows of packed indexes (1 or 4 bits), each row padded to 4 bytes.
void DecodePacked(const unsigned char* data, size_t size, int bits, int width, int height, PixelSink& sink)
{
    const size_t rowBytes = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    BitReader reader;
    reader.SetData(size, data);
    for (int y = 0; y < height; ++y) {
        const size_t start = static_cast<size_t>(y) * rowBytes;
        if (start >= size)
            return;
        reader.SeekBit(start * 8);
        for (int x = 0; x < width; ++x) {
            uint16_t index = 0;
            reader.ReadBits(bits, index);
            sink.Put(x, y, index);
        }
    }
}

} // namespace

DIBSection::DIBSection()
{
    Init();
}

DIBSection::~DIBSection()
{
    Release();
}

void DIBSection::Init()
{
    m_hBitmap = nullptr;
    m_hOldObject = nullptr;
    m_pBits = nullptr;
    m_nWidth = 0;
    m_nHeight = 0;
    m_pDC = nullptr;
    m_nRowWidth = 0;
    std::memset(&m_Header, 0, sizeof m_Header);
    m_nBitsPerPixel = 0;
}

void DIBSection::Create(int nWidth, int nHeight, int nBitsPerPixel)
{
    if (nBitsPerPixel != 8 && nBitsPerPixel != 16 && nBitsPerPixel != 24 && nBitsPerPixel != 32)
        return;
    Release();
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nBitsPerPixel = nBitsPerPixel;
    m_nRowWidth = (nWidth + 3) & ~3;
    m_Header.biSize = sizeof(BITMAPINFOHEADER);
    m_Header.biWidth = m_nRowWidth;
    m_Header.biHeight = nHeight;
    m_Header.biPlanes = 1;
    m_Header.biBitCount = static_cast<WORD>(nBitsPerPixel);
    m_Header.biCompression = BI_RGB;

    m_pDC = new CDC;
    m_pDC->Attach(::CreateCompatibleDC(nullptr));
    if (nWidth <= 0 || nHeight <= 0)
        return;
    BITMAPINFO info = {};
    info.bmiHeader = m_Header;
    void* bits = nullptr;
    m_hBitmap = ::CreateDIBSection(m_pDC->GetSafeHdc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (m_hBitmap) {
        m_pBits = static_cast<unsigned char*>(bits);
        m_hOldObject = ::SelectObject(m_pDC->GetSafeHdc(), m_hBitmap);
    }
}

void DIBSection::Release()
{
    if (m_pDC && m_hOldObject)
        ::SelectObject(m_pDC->GetSafeHdc(), m_hOldObject);
    if (m_hBitmap)
        ::DeleteObject(m_hBitmap);
    if (m_pDC) {
        const HDC hdc = m_pDC->Detach();
        if (hdc)
            ::DeleteDC(hdc);
        delete m_pDC;
    }
    Init();
}

BitReader::BitReader()
{
    Clear();
}

void BitReader::SetData(size_t nSize, const unsigned char* pData)
{
    Clear();
    m_pData = pData;
    m_nSize = nSize;
}

void BitReader::Clear()
{
    m_pData = nullptr;
    m_nSize = 0;
    m_nByteIndex = 0;
    m_nBitPosition = 0;
    m_nBitOffset = 0;
    m_nShift = 0;
    m_bFirstUse = true;
}

void BitReader::ReadBits(int n, uint16_t& value)
{
    if (m_bFirstUse) {
        m_nBitPosition = 0;
        m_bFirstUse = false;
    }
    if (!m_pData || m_nSize == 0 || n < 0 || n > 16)
        return;
    m_nByteIndex = m_nBitPosition / 8;
    uint32_t word = 0;
    for (size_t i = 0; i < 4; ++i) {
        const size_t at = m_nByteIndex + i;
        word = (word << 8) | (at < m_nSize ? m_pData[at] : 0u);
    }
    m_nBitOffset = static_cast<int>(m_nBitPosition - 8 * m_nByteIndex);
    m_nShift = 32 - m_nBitOffset - n;
    value = static_cast<uint16_t>((word >> m_nShift) & kMasks[n]);
    m_nBitPosition += static_cast<size_t>(n);
}

int DecodeBitmap(size_t nSize, const unsigned char* pData, DIBSection& section)
{
    if (!pData || nSize == 0 || nSize < 14)
        return 0;
    if (14 + 40 > nSize)
        return 0;
    const unsigned char* info = pData + 14;
    const uint32_t biSize = Get32(info);
    const int32_t width = static_cast<int32_t>(Get32(info + 4));
    const int32_t height = static_cast<int32_t>(Get32(info + 8));
    const int bitCount = Get16(info + 14);
    const uint32_t compression = Get32(info + 16);
    const uint32_t clrUsed = Get32(info + 32);
    if (biSize < 40 || biSize > nSize - 14)
        return 0;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return 0;
    if (static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * 3 > kMaxPixelBytes)
        return 0;

    bool bIndexed = false;
    if (bitCount == 1 && compression == BI_RGB)
        bIndexed = true;
    else if (bitCount == 4 && (compression == BI_RGB || compression == BI_RLE4))
        bIndexed = true;
    else if (bitCount == 8 && (compression == BI_RGB || compression == BI_RLE8))
        bIndexed = true;
    else if (!(bitCount == 24 && compression == BI_RGB))
        return 0;

    const unsigned char* work = info + biSize;
    const size_t workSize = nSize - 14 - biSize;
    size_t colours = 0;
    if (bIndexed) {
        colours = clrUsed ? clrUsed : (size_t(1) << bitCount);
        if (colours > workSize / 4)
            return 0;
    }
    const unsigned char* pixels = work + 4 * colours;
    const size_t pixelSize = workSize - 4 * colours;

    section.Create(width, height, 24);
    if (!section.GetBits())
        return 0;
    std::memset(section.GetBits(), 0, static_cast<size_t>(section.GetRowWidth()) * 3 * height);

    PixelSink sink(section, work, colours);
    if (bitCount == 24) {
        const size_t rowBytes = ((static_cast<size_t>(width) * 24 + 31) / 32) * 4;
        const size_t stride = static_cast<size_t>(section.GetRowWidth()) * 3;
        for (int y = 0; y < height; ++y) {
            const size_t start = static_cast<size_t>(y) * rowBytes;
            if (start >= pixelSize)
                break;
            const size_t n = pixelSize - start < rowBytes ? pixelSize - start : rowBytes;
            std::memcpy(section.GetBits() + y * stride, pixels + start, n);
        }
    } else if (compression == BI_RLE8 || compression == BI_RLE4) {
        DecodeRunLength(pixels, pixelSize, compression == BI_RLE4, sink);
    } else if (bitCount == 8) {
        const size_t rowBytes = static_cast<size_t>(section.GetRowWidth());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t at = static_cast<size_t>(y) * rowBytes + x;
                if (at >= pixelSize)
                    return 1;
                sink.Put(x, y, pixels[at]);
            }
    } else {
        DecodePacked(pixels, pixelSize, bitCount, width, height, sink);
    }
    return 1;
}

int LoadBitmapFile(const CString& path, DIBSection& section)
{
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int nResult = 0;
    try {
        LARGE_INTEGER size = {};
        if (::GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF) {
            std::vector<unsigned char> buffer(static_cast<size_t>(size.QuadPart), 0);
            DWORD read = 0;
            if (::ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
                read == buffer.size())
                nResult = DecodeBitmap(buffer.size(), buffer.data(), section);
        }
    } catch (const std::bad_alloc&) {
        ::MessageBoxA(nullptr, "An error occured while opening the file", "Error", MB_OK | MB_ICONERROR);
        nResult = 0;
    }
    ::CloseHandle(h);
    return nResult;
}

int SaveBitmap24(const CString& path, const DIBSection& section)
{
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int nResult = 0;
    if (section.GetBits()) {
        const uint32_t width = static_cast<uint32_t>(section.GetWidth());
        const uint32_t height = static_cast<uint32_t>(section.GetHeight());
        const uint32_t rowBytes = ((width * 24 + 31) & ~31u) / 8;
        unsigned char header[54] = {};
        header[0] = 'B';
        header[1] = 'M';
        Put32(header + 2, 54 + rowBytes * height);
        Put32(header + 10, 54);
        Put32(header + 14, 40);
        Put32(header + 18, width);
        Put32(header + 22, height);
        Put16(header + 26, 1);
        Put16(header + 28, 24);
        Put32(header + 34, rowBytes * height);
        DWORD written = 0;
        if (::WriteFile(h, header, sizeof header, &written, nullptr) && written == sizeof header) {
            if (section.GetBitsPerPixel() == 24) {
                nResult = 1;
                const size_t stride = static_cast<size_t>(section.GetRowWidth()) * 3;
                for (uint32_t y = 0; y < height && nResult; ++y) {
                    if (!::WriteFile(h, section.GetBits() + y * stride, rowBytes, &written, nullptr) ||
                        written != rowBytes)
                        nResult = 0;
                }
            }
        }
    }
    ::CloseHandle(h);
    return nResult;
}
