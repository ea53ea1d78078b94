#include "PdfFixtures.h"
#include "TestSupport.h"
#include "TiffToPdf.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <regex>
#include <string>
#include <vector>

using namespace pdffixtures;
using testsupport::DataPath;
using testsupport::FileExists;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {

// The bytes that PDF's RunLengthDecode makes of PackBits data.
std::vector<unsigned char> RunLengthDecode(const std::vector<unsigned char>& data)
{
    std::vector<unsigned char> out;
    size_t i = 0;
    while (i < data.size() && data[i] != 128) {
        unsigned header = data[i++];
        if (header < 128) {
            out.insert(out.end(), data.begin() + i, data.begin() + i + header + 1);
            i += header + 1;
        } else {
            out.insert(out.end(), 257 - header, data[i++]);
        }
    }
    return out;
}

std::vector<unsigned char> Encode(const std::vector<unsigned char>& in)
{
    std::vector<unsigned char> out(PackBitsBound(in.size()));
    out.resize(PackBitsEncode(out.data(), in.data(), in.size()));
    return out;
}

int Convert(const CString& tiff, const CString& pdf, CTiffToPdf& writer)
{
    return writer.convertTiffToPdf(tiff, pdf, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr);
}

PageSpec Spec(uint16_t compression, uint16_t bits, uint16_t samples, uint16_t photometric)
{
    PageSpec page;
    page.compression = compression;
    page.bits = bits;
    page.samples = samples;
    page.photometric = photometric;
    return page;
}

// Writes the pages as a TIFF, converts them into the check folder and registers the PDF.
std::string ConvertChecked(const char* name, const std::vector<PageSpec>& pages,
                           const TempDir& dir)
{
    CString tiff = dir.File("page.tif");
    EXPECT_TRUE(WriteTiff(tiff, pages));
    CString pdf = CheckedPath(name, dir.Path());
    CTiffToPdf writer;
    EXPECT_EQ(Convert(tiff, pdf, writer), TIFFPDF_DONE) << writer.GetMessageText();
    std::vector<ExpectedPage> expected;
    for (const PageSpec& page : pages)
        expected.push_back(Expected(page));
    ExpectPdf(pdf, expected);
    return ReadAll(pdf);
}

// The number of objects the trailer announces.
int ObjectsOf(const std::string& pdf)
{
    size_t at = pdf.find("/Size ");
    return at == std::string::npos ? -1 : std::atoi(pdf.c_str() + at + 6) - 1;
}

// The image XObject of page `index`: its dictionary and its stream data.
struct Image {
    std::string dictionary;
    std::vector<unsigned char> data;
};

Image ImageOf(const std::string& pdf, int index)
{
    size_t at = pdf.find("/Name /Im" + std::to_string(index) + "\r");
    size_t start = at == std::string::npos ? at : pdf.find("stream\r\n", at);
    if (start == std::string::npos)
        return Image();
    size_t end = pdf.find("\rendstream\r", start);
    return Image{pdf.substr(at, start - at),
                 std::vector<unsigned char>(pdf.begin() + start + 8, pdf.begin() + end)};
}

} // namespace

TEST(PackBits, EncodesRunsAndLiteralsAsPdfReadsThem)
{
    struct Case { const char* name; std::vector<unsigned char> in; std::vector<unsigned char> out; };
    std::vector<unsigned char> distinct300(300);
    for (size_t i = 0; i < distinct300.size(); ++i)
        distinct300[i] = static_cast<unsigned char>(i * 7 + i / 256);
    std::vector<unsigned char> literals;
    literals.push_back(126);
    literals.insert(literals.end(), distinct300.begin(), distinct300.begin() + 127);
    literals.push_back(126);
    literals.insert(literals.end(), distinct300.begin() + 127, distinct300.begin() + 254);
    literals.push_back(42);
    literals.insert(literals.end(), distinct300.begin() + 254, distinct300.begin() + 297);
    literals.push_back(2);
    literals.insert(literals.end(), distinct300.begin() + 297, distinct300.end());
    literals.push_back(128);
    const Case cases[] = {
        {"200 equal bytes", std::vector<unsigned char>(200, 9), {130, 9, 184, 9, 128}},
        {"300 distinct bytes", distinct300, literals},
        {"one byte", {5}, {0, 5, 128}},
        {"two bytes", {5, 5}, {1, 5, 5, 128}},
        {"three equal bytes", {5, 5, 5}, {254, 5, 128}},
        {"three distinct bytes", {5, 6, 7}, {2, 5, 6, 7, 128}},
        {"literal then run", {1, 2, 3, 3, 3, 3}, {1, 1, 2, 253, 3, 128}},
        {"run then one byte", std::vector<unsigned char>(128, 0), {130, 0, 0, 0, 128}},
        {"nothing", {}, {128}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Encode(c.in), c.out);
    }
}

TEST(PackBits, RoundTripsEveryMixOfRunsAndLiterals)
{
    unsigned seed = 12345;
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<unsigned char> data;
        size_t length = trial % 50 == 0 ? 0 : seed % 1200;
        while (data.size() < length) {
            seed = seed * 1103515245 + 12345;
            size_t run = 1 + (seed >> 16) % (seed & 1 ? 300 : 4);
            data.insert(data.end(), run, static_cast<unsigned char>(seed >> 8));
        }
        std::vector<unsigned char> encoded = Encode(data);
        ASSERT_LE(encoded.size(), PackBitsBound(data.size()));
        ASSERT_EQ(encoded.back(), 128);
        ASSERT_EQ(RunLengthDecode(encoded), data) << "trial " << trial;
    }
}

TEST(TiffToPdfLayout, G4PageWithoutResolutionIsLaidOutAt200Dpi)
{
    TempDir dir;
    PageSpec page;
    page.width = 2480;
    page.height = 3508;
    page.resolution = 0;
    std::string pdf = ConvertChecked("g4-a4-200dpi.pdf", {page}, dir);
    ASSERT_EQ(CheckSkeleton(pdf, 9), "");

    EXPECT_EQ(ObjectText(pdf, 2), "2 0 obj\r<<\r/Type /Catalog\r/Pages 3 0 R\r>>\rendobj\r");
    EXPECT_EQ(ObjectText(pdf, 3), "3 0 obj\r<<\r/Type /Pages\r/Kids [4 0 R ]\r/Count 1\r"
                                  "/MediaBox [0 0 0 0]\r>>\rendobj\r");
    EXPECT_EQ(ObjectText(pdf, 4), "4 0 obj\r<<\r/Type /Page\r/Parent 3 0 R\r"
                                  "/MediaBox [0 0 892 1263]\r/Resources\r<<\r"
                                  "/XObject << /Im0 7 0 R >>\r/ProcSet 6 0 R \r>>\r"
                                  "/Contents [5 0 R]\r>>\rendobj\r");
    EXPECT_EQ(ObjectText(pdf, 5), "5 0 obj\r<<\r/Length 31\r>>\rstream\r\n"
                                  "q\r892 0 0 1263 0 0 cm\r/Im0 Do\rQ\rendstream\rendobj\r");
    EXPECT_EQ(ObjectText(pdf, 6), "6 0 obj\r[ /PDF /ImageI ]\rendobj\r");
    EXPECT_EQ(ObjectText(pdf, 9), "9 0 obj\r/DeviceGray\rendobj\r");

    const std::string head = "7 0 obj\r<<\r/Type /XObject\r/Subtype /Image\r/Name /Im0\r"
                             "/Filter /CCITTFaxDecode\r"
                             "/DecodeParms << /K -1 /Columns 2480 /Rows 3508 >>\r"
                             "/ColorSpace 9 0 R\r/Width 2480\r/Height 3508\r"
                             "/BitsPerComponent 1\r/Length 8 0 R\r>>\rstream\r\n";
    size_t at = pdf.find(head);
    ASSERT_NE(at, std::string::npos);
    size_t end = pdf.find("\rendstream\r", at);
    std::string data = pdf.substr(at + head.size(), end - at - head.size());
    EXPECT_EQ(ObjectText(pdf, 8), "8 0 obj\r" + std::to_string(data.size()) + "\rendobj\r");

    // The stream is the TIFF's strip as stored.
    TIFF* tif = TIFFOpen(dir.File("page.tif"), "r");
    ASSERT_NE(tif, nullptr);
    std::string strip(data.size() + 16, '\0');
    tmsize_t n = TIFFReadRawStrip(tif, 0, &strip[0], static_cast<tmsize_t>(strip.size()));
    TIFFClose(tif);
    EXPECT_EQ(strip.substr(0, static_cast<size_t>(n)), data);
}

TEST(TiffToPdfLayout, PageObjectsAreNumberedOnAcrossPages)
{
    PageSpec g4;
    PageSpec grey = Spec(COMPRESSION_NONE, 8, 1, PHOTOMETRIC_MINISBLACK);
    struct Case {
        const char* name;
        std::vector<PageSpec> pages;
        const char* kids;
        int objects;
    };
    const Case cases[] = {
        {"three-bilevel.pdf", {g4, g4, g4}, "/Kids [4 0 R 10 0 R 16 0 R ]\r/Count 3\r", 21},
        {"palette-between.pdf", {g4, grey, g4}, "/Kids [4 0 R 10 0 R 18 0 R ]\r/Count 3\r", 23},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string pdf = ConvertChecked(c.name, c.pages, dir);
        EXPECT_EQ(CheckSkeleton(pdf, c.objects), "");
        EXPECT_NE(ObjectText(pdf, 3).find(c.kids), std::string::npos) << ObjectText(pdf, 3);
        // Each page's image is named after the page index.
        EXPECT_NE(pdf.find("/XObject << /Im2 "), std::string::npos);
    }
}

TEST(TiffToPdfLayout, InfoStringsAreEscapedAndNullOnesEmpty)
{
    TempDir dir;
    CString tiff = dir.File("page.tif");
    ASSERT_TRUE(WriteTiff(tiff, {PageSpec()}));
    {
        CString pdf = CheckedPath("info-given.pdf", dir.Path());
        CTiffToPdf writer;
        ASSERT_EQ(writer.convertTiffToPdf(tiff, pdf, "Zentrova", "D:20260108", "A (B) C",
                                          "back\\slash", "Title (1", "x)", ""),
                  TIFFPDF_DONE);
        ExpectPdf(pdf, {Expected(PageSpec())});
        EXPECT_EQ(ObjectText(ReadAll(pdf), 1),
                  "1 0 obj\r<<\r/Creator (Zentrova)\r/CreationDate (D:20260108)\r"
                  "/Author (A \\(B\\) C)\r/Producer (back\\\\slash)\r/Title (Title \\(1)\r"
                  "/Subject (x\\))\r/Keywords ()\r>>\rendobj\r");
    }
    CString pdf = CheckedPath("info-null.pdf", dir.Path());
    CTiffToPdf writer;
    ASSERT_EQ(Convert(tiff, pdf, writer), TIFFPDF_DONE);
    ExpectPdf(pdf, {Expected(PageSpec())});
    std::string info = ObjectText(ReadAll(pdf), 1);
    std::regex expected("1 0 obj\r<<\r/Creator \\(\\)\r"
                        "/CreationDate \\((Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day, "
                        "(January|February|March|April|May|June|July|August|September|"
                        "October|November|December) [0-3][0-9], 20[0-9][0-9]\\)\r"
                        "/Author \\(\\)\r/Producer \\(\\)\r/Title \\(\\)\r/Subject \\(\\)\r"
                        "/Keywords \\(\\)\r>>\rendobj\r");
    EXPECT_TRUE(std::regex_match(info, expected)) << info;
}

TEST(TiffToPdfLayout, NullPdfPathReplacesTheLastThreeCharacters)
{
    TempDir dir;
    const struct { const char* tiff; const char* pdf; } cases[] = {
        {"nullpath-page.tif", "nullpath-page.pdf"},
        {"nullpath-a.tiff", "nullpath-a.tpdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tiff);
        // Written beside the TIFF, so the TIFF goes where the outside check reads.
        const CString tiff = CheckedPath(c.tiff, dir.Path());
        ASSERT_TRUE(WriteTiff(tiff, {PageSpec()}));
        CTiffToPdf writer;
        EXPECT_EQ(writer.convertTiffToPdf(tiff, nullptr, nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr),
                  TIFFPDF_DONE);
        DeleteFileA(tiff);
        const CString pdf = CheckedPath(c.pdf, dir.Path());
        EXPECT_TRUE(FileExists(pdf));
        ExpectPdf(pdf, {Expected(PageSpec())});
    }
}

TEST(TiffToPdfLayout, EachPageSideTakesItsOwnAxisResolution)
{
    struct Case {
        const char* name;
        uint32_t width, height;
        float xDpi, yDpi;
        const char* mediaBox;
        const char* matrix;
    };
    // Width truncated, height rounded: 255 px at 100 dpi is 183.6 points, 155 px at 200 dpi 55.8.
    const Case cases[] = {
        {"res-200x100.pdf", 400, 300, 200.0f, 100.0f, "/MediaBox [0 0 144 216]\r", "\r144 0 0 216 0 0 cm\r"},
        {"res-100x200.pdf", 255, 155, 100.0f, 200.0f, "/MediaBox [0 0 183 56]\r", "\r183 0 0 56 0 0 cm\r"},
        // The longest side a PDF reader takes.
        {"res-2x200.pdf", 400, 300, 2.0f, 200.0f, "/MediaBox [0 0 14400 108]\r", "\r14400 0 0 108 0 0 cm\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        PageSpec page;
        page.width = c.width;
        page.height = c.height;
        page.resolution = c.xDpi;
        page.yResolution = c.yDpi;
        std::string pdf = ConvertChecked(c.name, {page}, dir);
        EXPECT_NE(ObjectText(pdf, 4).find(c.mediaBox), std::string::npos) << ObjectText(pdf, 4);
        EXPECT_NE(ObjectText(pdf, 5).find(c.matrix), std::string::npos) << ObjectText(pdf, 5);
    }
}

// The OPS service writes its pages at pixels per centimetre (ResolutionUnit 3, unequal axes):
// its real page is an A4 page. A resolution in inches, of no unit, or without a unit tag is
// taken as dots per inch.
TEST(TiffToPdfLayout, APageIsSizedInItsOwnResolutionUnit)
{
    {
        TempDir dir;
        const CString pdf = CheckedPath("ops-real-page.pdf", dir.Path());
        CTiffToPdf writer;
        ASSERT_EQ(Convert(DataPath("web/ops/realops/EP2400812A1-page1.tif"), pdf, writer), TIFFPDF_DONE)
            << writer.GetMessageText();
        const std::string bytes = ReadAll(pdf);
        EXPECT_NE(ObjectText(bytes, 4).find("/MediaBox [0 0 595 842]\r"), std::string::npos) << ObjectText(bytes, 4);
        EXPECT_NE(ObjectText(bytes, 5).find("\r595 0 0 842 0 0 cm\r"), std::string::npos) << ObjectText(bytes, 5);
        ExpectPdf(pdf, {ExpectedPage{"595x842", "", ""}});
    }
    struct Case {
        const char* name;
        uint16_t unit;
        float x, y;
        const char* mediaBox;
    };
    // 2592 x 3508 pixels; 123.429 pixels/cm is 313.5 dpi, 118.114 pixels/cm 300.0 dpi.
    const Case cases[] = {
        {"unit-cm.pdf", RESUNIT_CENTIMETER, 123.429f, 118.114f, "/MediaBox [0 0 595 842]\r"},
        {"unit-inch.pdf", RESUNIT_INCH, 313.51f, 300.01f, "/MediaBox [0 0 595 842]\r"},
        {"unit-none.pdf", RESUNIT_NONE, 313.51f, 300.01f, "/MediaBox [0 0 595 842]\r"},
        {"unit-missing.pdf", 0, 313.51f, 300.01f, "/MediaBox [0 0 595 842]\r"},
        // Read as inches, the centimetre values would give a page of 53 x 75 cm.
        {"unit-none-small.pdf", RESUNIT_NONE, 123.429f, 118.114f, "/MediaBox [0 0 1511 2138]\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        PageSpec page;
        page.width = 2592;
        page.height = 3508;
        page.resolution = c.x;
        page.yResolution = c.y;
        page.resolutionUnit = c.unit;
        const std::string pdf = ConvertChecked(c.name, {page}, dir);
        EXPECT_NE(ObjectText(pdf, 4).find(c.mediaBox), std::string::npos) << ObjectText(pdf, 4);
    }
}

// Every kind of page the downloads bring: the image is either wrapped as stored (CCITT) or
// decoded and PackBits-compressed, with the colour space its samples need. The Linux-side
// check renders each page and looks at its dark and light quadrants.
TEST(TiffToPdfImages, EveryKindOfPageIsWrittenWithItsColourSpace)
{
    PageSpec g4 = Spec(COMPRESSION_CCITTFAX4, 1, 1, PHOTOMETRIC_MINISWHITE);
    PageSpec g4Strips = g4;
    g4Strips.rowsPerStrip = 16;
    PageSpec g4Reversed = g4;
    g4Reversed.fillOrder = FILLORDER_LSB2MSB;
    PageSpec g4Black = g4;
    g4Black.photometric = PHOTOMETRIC_MINISBLACK;
    PageSpec g3 = Spec(COMPRESSION_CCITTFAX3, 1, 1, PHOTOMETRIC_MINISWHITE);
    PageSpec g3Reversed = g3;
    g3Reversed.fillOrder = FILLORDER_LSB2MSB;
    PageSpec g32d = g3;
    g32d.group3Options = GROUP3OPT_2DENCODING;
    PageSpec bilevel = Spec(COMPRESSION_NONE, 1, 1, PHOTOMETRIC_MINISWHITE);
    PageSpec bilevelReversed = bilevel;
    bilevelReversed.fillOrder = FILLORDER_LSB2MSB;
    PageSpec cmykSecond = Spec(COMPRESSION_NONE, 8, 4, PHOTOMETRIC_SEPARATED);

    const char* const rle = "/Filter /RunLengthDecode\r";
    struct Case {
        const char* name;
        std::vector<PageSpec> pages;
        std::vector<std::string> contains;
    };
    const Case cases[] = {
        {"g4.pdf", {g4}, {"/K -1 /Columns 240 /Rows 160 >>", "/BitsPerComponent 1\r", "/DeviceGray"}},
        {"g4-strips.pdf", {g4Strips}, {rle, "/BitsPerComponent 8\r", "/DeviceGray"}},
        {"g4-fillorder2.pdf", {g4Reversed}, {"/CCITTFaxDecode", "/K -1 "}},
        {"g4-minisblack.pdf", {g4Black}, {"/K -1 /Columns 240 /Rows 160 /BlackIs1 true >>"}},
        {"g3.pdf", {g3}, {"/CCITTFaxDecode", "/K 0 /Columns 240 /Rows 160 >>"}},
        {"g3-fillorder2.pdf", {g3Reversed}, {"/K 0 "}},
        {"g3-2d.pdf", {g32d}, {rle}},
        {"mh.pdf", {Spec(COMPRESSION_CCITTRLE, 1, 1, PHOTOMETRIC_MINISWHITE)}, {rle, "/DeviceGray"}},
        {"bilevel.pdf", {bilevel}, {rle, "/DeviceGray", "/BitsPerComponent 8\r"}},
        {"bilevel-fillorder2.pdf", {bilevelReversed}, {rle}},
        {"bilevel-packbits.pdf", {Spec(COMPRESSION_PACKBITS, 1, 1, PHOTOMETRIC_MINISBLACK)}, {rle}},
        {"grey8.pdf", {Spec(COMPRESSION_NONE, 8, 1, PHOTOMETRIC_MINISBLACK)},
         {"[ /Indexed /DeviceRGB 255 "}},
        {"grey8-lzw.pdf", {Spec(COMPRESSION_LZW, 8, 1, PHOTOMETRIC_MINISWHITE)},
         {rle, "[ /Indexed /DeviceRGB 255 "}},
        {"grey4-miniswhite.pdf", {Spec(COMPRESSION_NONE, 4, 1, PHOTOMETRIC_MINISWHITE)},
         {"[ /Indexed /DeviceRGB 15 "}},
        {"grey2.pdf", {Spec(COMPRESSION_NONE, 2, 1, PHOTOMETRIC_MINISBLACK)},
         {"[ /Indexed /DeviceRGB 3 "}},
        {"grey16.pdf", {Spec(COMPRESSION_NONE, 16, 1, PHOTOMETRIC_MINISBLACK)},
         {"[ /Indexed /DeviceRGB 255 ", "/BitsPerComponent 8\r"}},
        {"palette8.pdf", {Spec(COMPRESSION_NONE, 8, 1, PHOTOMETRIC_PALETTE)},
         {"[ /Indexed /DeviceRGB 255 "}},
        {"palette4-packbits.pdf", {Spec(COMPRESSION_PACKBITS, 4, 1, PHOTOMETRIC_PALETTE)},
         {"[ /Indexed /DeviceRGB 15 "}},
        {"rgb.pdf", {Spec(COMPRESSION_NONE, 8, 3, PHOTOMETRIC_RGB)},
         {"/DeviceRGB\rendobj\r", "[ /PDF /ImageC ]"}},
        {"rgb16.pdf", {Spec(COMPRESSION_NONE, 16, 3, PHOTOMETRIC_RGB)}, {"/DeviceRGB\rendobj\r"}},
        {"rgba-lzw.pdf", {Spec(COMPRESSION_LZW, 8, 4, PHOTOMETRIC_RGB)}, {"/DeviceRGB\rendobj\r"}},
        {"multipage.pdf", {g4, bilevel, Spec(COMPRESSION_NONE, 8, 3, PHOTOMETRIC_RGB), g3},
         {"/Count 4\r"}},
        {"cmyk-second.pdf", {g4, cmykSecond}, {"/DeviceCMYK\rendobj\r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string pdf = ConvertChecked(c.name, c.pages, dir);
        int objects = ObjectsOf(pdf);
        EXPECT_EQ(CheckSkeleton(pdf, objects), "");
        for (const std::string& text : c.contains)
            EXPECT_NE(pdf.find(text), std::string::npos) << text;
        // Decoded pages carry exactly the samples of the TIFF.
        for (size_t i = 0; i < c.pages.size(); ++i) {
            Image image = ImageOf(pdf, static_cast<int>(i));
            if (image.dictionary.find("/RunLengthDecode") != std::string::npos) {
                EXPECT_EQ(RunLengthDecode(image.data), DecodedImage(c.pages[i])) << "page " << i;
            }
        }
    }
}

TEST(TiffToPdfImages, PaletteBytesFollowTheColourMapOrTheGreyRamp)
{
    TempDir dir;
    PageSpec grey = Spec(COMPRESSION_NONE, 8, 1, PHOTOMETRIC_MINISBLACK);
    std::string pdf = ConvertChecked("grey8-ramp.pdf", {grey}, dir);
    std::string ramp;
    for (int i = 0; i < 256; ++i)
        ramp += std::string(3, static_cast<char>(i));
    EXPECT_EQ(ObjectText(pdf, 10), "10 0 obj\r<<\r/Length 11 0 R\n>>\rstream\r\n" + ramp +
                                       "\rendstream\rendobj\r");
    EXPECT_EQ(ObjectText(pdf, 11), "11 0 obj\r768\rendobj\r");
    EXPECT_EQ(ObjectText(pdf, 9), "9 0 obj\r[ /Indexed /DeviceRGB 255 10 0 R ]\rendobj\r");

    PageSpec palette = grey;
    palette.bits = 2;
    palette.photometric = PHOTOMETRIC_PALETTE;
    pdf = ConvertChecked("palette2.pdf", {palette}, dir);
    const char colours[] = "\xff\xff\xff\x00\x00\xff\x00\x00\x00\x00\x00\x00";
    EXPECT_EQ(ObjectText(pdf, 10), "10 0 obj\r<<\r/Length 11 0 R\n>>\rstream\r\n" +
                                       std::string(colours, 12) + "\rendstream\rendobj\r");
}

// Files the writer refuses: a clear result code, the reason in the message buffer, and no
// PDF file left behind.
TEST(TiffToPdfFailures, BadInputGivesAnErrorAndNoFile)
{
    TempDir dir;
    const CString tiff = dir.File("in.tif");
    const CString pdf = dir.File("out.pdf");
    // libtiff writes the strips first, after the 8-byte header, and the directory last.
    auto damage = [&](const PageSpec& page, const std::function<void(std::string&)>& edit) {
        std::string bytes;
        ASSERT_TRUE(WriteTiff(tiff, {page}));
        ASSERT_TRUE(ReadBytes(tiff, bytes));
        edit(bytes);
        ASSERT_TRUE(WriteBytes(tiff, bytes));
    };
    // The first strip's byte count (tag 279, held in its directory entry) made far too large.
    auto inflateByteCount = [](std::string& bytes) {
        uint32_t ifd = 0;
        std::memcpy(&ifd, &bytes[4], 4);
        uint16_t entries = 0;
        std::memcpy(&entries, &bytes[ifd], 2);
        for (uint16_t i = 0; i < entries; ++i) {
            char* entry = &bytes[ifd + 2 + 12 * i];
            uint16_t tag = 0, type = 0;
            std::memcpy(&tag, entry, 2);
            std::memcpy(&type, entry + 2, 2);
            if (tag == 279 && type == 4) {
                uint32_t count = 50000000;
                std::memcpy(entry + 8, &count, 4);
            }
        }
    };
    // Every strip byte replaced by noise, the directory kept.
    auto scribble = [](std::string& bytes) {
        uint32_t ifd = 0;
        std::memcpy(&ifd, &bytes[4], 4);
        for (size_t i = 8; i < ifd; ++i)
            bytes[i] = static_cast<char>(0xFF ^ (i * 37));
    };
    PageSpec g4;
    PageSpec lzw = Spec(COMPRESSION_LZW, 8, 1, PHOTOMETRIC_MINISBLACK);
    lzw.rowsPerStrip = 8;
    const PageSpec cmyk = Spec(COMPRESSION_NONE, 8, 4, PHOTOMETRIC_SEPARATED);
    const PageSpec grey32 = Spec(COMPRESSION_NONE, 32, 1, PHOTOMETRIC_MINISBLACK);
    const PageSpec grey12 = Spec(COMPRESSION_NONE, 12, 1, PHOTOMETRIC_MINISBLACK);
    const PageSpec palette16 = Spec(COMPRESSION_NONE, 16, 1, PHOTOMETRIC_PALETTE);
    const CString longName = dir.File(std::string(270, 'x').c_str());
    // Pages whose size and resolution give a side of 0 points or of more than the 14,400
    // that PDF readers accept.
    auto sized = [](uint16_t compression, uint32_t width, uint32_t height, float xDpi, float yDpi) {
        PageSpec page = Spec(compression, 1, 1, PHOTOMETRIC_MINISWHITE);
        page.width = width;
        page.height = height;
        page.resolution = xDpi;
        page.yResolution = yDpi;
        return page;
    };
    const PageSpec zeroHigh = sized(COMPRESSION_CCITTFAX4, 300, 1, 200.0f, 200.0f);    // [0 0 108 0]
    const PageSpec zeroWide = sized(COMPRESSION_CCITTFAX4, 1, 160, 200.0f, 200.0f);    // [0 0 0 58]
    const PageSpec g3Wide = sized(COMPRESSION_CCITTFAX3, 100000, 8, 200.0f, 200.0f);   // [0 0 36000 3]
    const PageSpec pointTooWide = sized(COMPRESSION_CCITTFAX4, 14401, 16, 72.0f, 72.0f);
    const PageSpec tooHigh = sized(COMPRESSION_NONE, 240, 160, 120.0f, 0.5f);         // 23,040 high

    struct Case {
        const char* name;
        std::function<void()> make;
        CString in;
        CString out;
        int result;
        const char* message;
    };
    const Case cases[] = {
        {"missing file", [&] { DeleteFileA(tiff); }, tiff, pdf, TIFFPDF_CANNOT_OPEN,
         "Unable to open file."},
        {"not a TIFF", [&] { WriteBytes(tiff, "%PDF-1.4 this is no image"); }, tiff, pdf,
         TIFFPDF_CANNOT_OPEN, "Unable to open file."},
        {"first page CMYK", [&] { WriteTiff(tiff, {cmyk}); }, tiff, pdf, TIFFPDF_FAILED,
         "CMYK File Format not accepted"},
        {"G4 strip past the end of the file", [&] { damage(g4, inflateByteCount); }, tiff, pdf,
         TIFFPDF_ERR_XOBJECT, "Error in function tiff_writePDFXObject"},
        {"LZW strips that do not decode", [&] { damage(lzw, scribble); }, tiff, pdf,
         TIFFPDF_ERR_XOBJECT, "Error in function tiff_writePDFXObject"},
        {"32 bits per sample", [&] { WriteTiff(tiff, {grey32}); },
         tiff, pdf, TIFFPDF_ERR_PAGES, "Error in function tiff_writePDFPagesObject"},
        {"12 bits per sample", [&] { WriteTiff(tiff, {grey12}); },
         tiff, pdf, TIFFPDF_ERR_PAGES, "Error in function tiff_writePDFPagesObject"},
        {"16-bit palette", [&] { WriteTiff(tiff, {palette16}); },
         tiff, pdf, TIFFPDF_ERR_PAGES, "Error in function tiff_writePDFPagesObject"},
        {"page of zero height", [&] { WriteTiff(tiff, {zeroHigh}); }, tiff, pdf, TIFFPDF_ERR_PAGES,
         "Error in function tiff_writePDFPagesObject"},
        {"page of zero width", [&] { WriteTiff(tiff, {zeroWide}); }, tiff, pdf, TIFFPDF_ERR_PAGES,
         "Error in function tiff_writePDFPagesObject"},
        {"G3 page 100,000 pixels wide", [&] { WriteTiff(tiff, {g3Wide}); }, tiff, pdf,
         TIFFPDF_ERR_PAGES, "Error in function tiff_writePDFPagesObject"},
        {"page one point wider than a reader takes", [&] { WriteTiff(tiff, {pointTooWide}); }, tiff,
         pdf, TIFFPDF_ERR_PAGES, "Error in function tiff_writePDFPagesObject"},
        {"page 23,040 points high", [&] { WriteTiff(tiff, {tooHigh}); }, tiff, pdf,
         TIFFPDF_ERR_PAGES, "Error in function tiff_writePDFPagesObject"},
        {"second page of zero height", [&] { WriteTiff(tiff, {PageSpec(), zeroHigh}); }, tiff, pdf,
         TIFFPDF_ERR_PAGES, "Error in function tiff_writePDFPagesObject"},
        {"output folder missing", [&] { WriteTiff(tiff, {PageSpec()}); }, tiff,
         dir.File("no such folder\\out.pdf"), TIFFPDF_FAILED, "Unable to create file."},
        {"output is the input", [&] { WriteTiff(tiff, {PageSpec()}); }, tiff, tiff,
         TIFFPDF_FAILED, "Unable to create file."},
        {"TIFF path too long", [] {}, longName, pdf, TIFFPDF_CANNOT_OPEN, "Unable to open file."},
        {"PDF path too long", [&] { WriteTiff(tiff, {PageSpec()}); }, tiff, longName,
         TIFFPDF_FAILED, "Unable to create file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(pdf);
        c.make();
        std::string before;
        ReadBytes(tiff, before);
        CTiffToPdf writer;
        EXPECT_EQ(Convert(c.in, c.out, writer), c.result);
        EXPECT_STREQ(writer.GetMessageText(), c.message);
        if (c.out != c.in) {
            EXPECT_FALSE(FileExists(c.out));
        }
        std::string after;
        ReadBytes(tiff, after);
        EXPECT_EQ(after, before) << "the TIFF must stay as it was";
    }
}
