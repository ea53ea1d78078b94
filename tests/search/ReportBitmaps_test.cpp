// The report pages' bitmaps: the BMP reader and decoder on the depths and compressions the
// templates may have, damaged files refused, the writer, and the bit reader.
#include "DIBSection.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

void Put16(std::string& s, size_t at, unsigned v) { s[at] = char(v & 0xFF); s[at + 1] = char((v >> 8) & 0xFF); }
void Put32(std::string& s, size_t at, unsigned v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = char((v >> (8 * i)) & 0xFF);
}

// A BMP file: headers, a colour table of `colours` entries (entry i = (i, 2i, 3i) as B, G,
// R), then the pixel bytes as given.
std::string Bmp(int width, int height, int bits, unsigned compression, unsigned clrUsed, int colours,
                const std::string& pixels)
{
    std::string s(54, '\0');
    s[0] = 'B';
    s[1] = 'M';
    Put32(s, 10, 54 + 4 * colours);
    Put32(s, 14, 40);
    Put32(s, 18, static_cast<unsigned>(width));
    Put32(s, 22, static_cast<unsigned>(height));
    Put16(s, 26, 1);
    Put16(s, 28, static_cast<unsigned>(bits));
    Put32(s, 30, compression);
    Put32(s, 46, clrUsed);
    for (int i = 0; i < colours; ++i) {
        s += char(i);
        s += char(2 * i);
        s += char(3 * i);
        s += '\0';
    }
    Put32(s, 2, static_cast<unsigned>(s.size() + pixels.size()));
    return s + pixels;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += char(v);
    return s;
}

// The B, G, R bytes of pixel (x, y), y counted from the bottom row.
std::string Pixel(const DIBSection& dib, int x, int y)
{
    const unsigned char* p = dib.GetBits() + (static_cast<size_t>(y) * dib.GetRowWidth() + x) * 3;
    return std::string(reinterpret_cast<const char*>(p), 3);
}

std::string Colour(int i) { return Bytes({i, 2 * i, 3 * i}); }

int Decode(const std::string& file, DIBSection& dib)
{
    return DecodeBitmap(file.size(), reinterpret_cast<const unsigned char*>(file.data()), dib);
}

} // namespace

TEST(ReportBitmaps, TwentyFourBitsLoadAndSaveWithPaddedRows)
{
    // 5 x 2 pixels: rows of 15 bytes padded to 16.
    std::string pixels;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 5; ++x)
            pixels += Bytes({x, y, 200});
        pixels += '\0';
    }
    TempDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("in.bmp"), Bmp(5, 2, 24, 0, 0, 0, pixels)));
    DIBSection dib;
    ASSERT_EQ(LoadBitmapFile(dir.File("in.bmp"), dib), 1);
    EXPECT_EQ(dib.GetWidth(), 5);
    EXPECT_EQ(dib.GetRowWidth(), 8);
    EXPECT_EQ(Pixel(dib, 4, 1), Bytes({4, 1, 200}));

    ASSERT_EQ(SaveBitmap24(dir.File("out.bmp"), dib), 1);
    std::string saved;
    ASSERT_TRUE(ReadBytes(dir.File("out.bmp"), saved));
    ASSERT_EQ(saved.size(), 86u);
    EXPECT_EQ(saved.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(saved[18]), 5);
    EXPECT_EQ(saved.substr(54), pixels);
}

TEST(ReportBitmaps, IndexedDepthsTakeTheirColourTable)
{
    struct Case {
        const char* name;
        int bits;
        unsigned clrUsed;
        int colours;
        std::string pixels;  // 3 x 2 pixels
        std::vector<int> expected;  // indexes, bottom row first
    };
    const Case cases[] = {
        // 1 bit: rows of 4 bytes, most significant bit first.
        {"1 bit", 1, 0, 2, Bytes({0xA0, 0, 0, 0, 0x40, 0, 0, 0}), {1, 0, 1, 0, 1, 0}},
        // 4 bits: high nibble first.
        {"4 bits", 4, 0, 16, Bytes({0x12, 0x30, 0, 0, 0xFE, 0xD0, 0, 0}), {1, 2, 3, 15, 14, 13}},
        // 8 bits with 16 colours: pixel data right after 16 entries (file offset 118).
        {"8 bits, 16 colours", 8, 16, 16, Bytes({5, 6, 7, 0, 8, 9, 10, 0}), {5, 6, 7, 8, 9, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DIBSection dib;
        ASSERT_EQ(Decode(Bmp(3, 2, c.bits, 0, c.clrUsed, c.colours, c.pixels), dib), 1);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Pixel(dib, i % 3, i / 3), Colour(c.expected[i])) << "pixel " << i;
    }
}

TEST(ReportBitmaps, RunLengthSchemes)
{
    {
        SCOPED_TRACE("RLE8 (3, 7), (0, 0), (0, 1)");
        DIBSection dib;
        ASSERT_EQ(Decode(Bmp(4, 2, 8, 1, 0, 256, Bytes({3, 7, 0, 0, 0, 1})), dib), 1);
        EXPECT_EQ(Pixel(dib, 0, 0), Colour(7));
        EXPECT_EQ(Pixel(dib, 2, 0), Colour(7));
        EXPECT_EQ(Pixel(dib, 3, 0), Bytes({0, 0, 0}));
        EXPECT_EQ(Pixel(dib, 0, 1), Bytes({0, 0, 0}));
    }
    {
        SCOPED_TRACE("RLE8 literal run, delta and a run past the row's end");
        DIBSection dib;
        // Literal of 3 (padded to 4 bytes), delta (1, 1), then a run of 9 that leaves the row.
        ASSERT_EQ(Decode(Bmp(4, 2, 8, 1, 0, 256, Bytes({0, 3, 1, 2, 3, 0, 0, 2, 0, 1, 9, 4, 0, 1})), dib), 1);
        EXPECT_EQ(Pixel(dib, 0, 0), Colour(1));
        EXPECT_EQ(Pixel(dib, 2, 0), Colour(3));
        EXPECT_EQ(Pixel(dib, 3, 1), Colour(4));
        EXPECT_EQ(Pixel(dib, 2, 1), Bytes({0, 0, 0}));
    }
    {
        SCOPED_TRACE("RLE4: runs alternate the nibbles, literals pack two to a byte");
        DIBSection dib;
        ASSERT_EQ(Decode(Bmp(6, 1, 4, 2, 0, 16, Bytes({3, 0x12, 0, 3, 0x45, 0x60, 0, 1})), dib), 1);
        const int expected[] = {1, 2, 1, 4, 5, 6};
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(Pixel(dib, x, 0), Colour(expected[x])) << x;
    }
}

TEST(ReportBitmaps, DamagedOrUnsupportedFilesAreRefused)
{
    const std::string sound = Bmp(2, 2, 24, 0, 0, 0, std::string(16, 'x'));
    std::string topDown = sound;
    Put32(topDown, 22, static_cast<unsigned>(-2));
    std::string huge = sound;
    Put32(huge, 18, 100000);
    std::string tooManyColours = Bmp(2, 2, 8, 0, 0xFFFFFF, 0, std::string(8, '\0'));
    std::string infoTooLong = sound;
    Put32(infoTooLong, 14, 4000);
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"empty", ""},
        {"shorter than the file header", "BM12"},
        {"no room for the info header", sound.substr(0, 40)},
        {"top-down rows", topDown},
        {"16 bits per pixel", Bmp(2, 2, 16, 0, 0, 0, std::string(8, '\0'))},
        {"8 bits with a bit-field compression", Bmp(2, 2, 8, 3, 0, 256, std::string(8, '\0'))},
        {"a side beyond any page", huge},
        {"a colour table beyond the data", tooManyColours},
        {"an info header beyond the data", infoTooLong},
    };
    for (const auto& c : cases) {
        DIBSection dib;
        EXPECT_EQ(Decode(c.file, dib), 0) << c.name;
    }
    DIBSection dib;
    EXPECT_EQ(DecodeBitmap(0, nullptr, dib), 0);
    // Pixel data cut short decodes what is there.
    EXPECT_EQ(Decode(sound.substr(0, 60), dib), 1);
    TempDir dir;
    EXPECT_EQ(LoadBitmapFile(dir.File("missing.bmp"), dib), 0);
    ASSERT_TRUE(WriteBytes(dir.File("empty.bmp"), ""));
    EXPECT_EQ(LoadBitmapFile(dir.File("empty.bmp"), dib), 0);
}

TEST(ReportBitmaps, SectionDepthsAndTheirSaving)
{
    DIBSection dib;
    dib.Create(10, 4, 24);
    ASSERT_TRUE(dib.GetBits());
    ASSERT_TRUE(dib.GetDC());
    EXPECT_EQ(dib.GetInfoHeader().biWidth, 12);
    dib.Create(20, 20, 12);  // no such depth: the section stays
    EXPECT_EQ(dib.GetWidth(), 10);
    EXPECT_EQ(dib.GetBitsPerPixel(), 24);

    TempDir dir;
    dib.Create(10, 4, 8);
    EXPECT_EQ(SaveBitmap24(dir.File("eight.bmp"), dib), 0);
    std::string saved;
    ASSERT_TRUE(ReadBytes(dir.File("eight.bmp"), saved));
    EXPECT_EQ(saved.size(), 54u);
    dib.Release();
    EXPECT_FALSE(dib.GetDC());
    EXPECT_FALSE(dib.GetBits());
}

TEST(ReportBitmaps, BitReaderReadsMostSignificantFirst)
{
    const unsigned char data[] = {0xAB, 0xCD};
    BitReader reader;
    reader.SetData(sizeof data, data);
    uint16_t a = 0, b = 0, c = 0, d = 0, past = 7;
    reader.ReadBits(4, a);
    reader.ReadBits(4, b);
    reader.ReadBits(4, c);
    reader.ReadBits(16, d);
    EXPECT_EQ(a, 0xA);
    EXPECT_EQ(b, 0xB);
    EXPECT_EQ(c, 0xC);
    EXPECT_EQ(d, 0xD000);  // bytes past the end read as 0
    reader.ReadBits(0, past);
    EXPECT_EQ(past, 0);
    BitReader empty;
    uint16_t kept = 9;
    empty.ReadBits(8, kept);
    EXPECT_EQ(kept, 9);
}

TEST(ReportBitmaps, ShippedTemplatesLoad)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    ASSERT_TRUE(build);
    for (const char* name : {"Template.bmp", "Template2.bmp"}) {
        DIBSection dib;
        ASSERT_EQ(LoadBitmapFile(CString(build) + "/bin/" + name, dib), 1) << name;
        EXPECT_EQ(dib.GetWidth(), 2550);
        EXPECT_EQ(dib.GetHeight(), 3300);
        // White below the heading band, the band itself dark.
        EXPECT_EQ(Pixel(dib, 1000, 1500), Bytes({255, 255, 255}));
        EXPECT_LT(static_cast<unsigned char>(Pixel(dib, 10, 3290)[2]), 100);
    }
}
