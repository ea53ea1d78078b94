// Smoke test of the linked libraries: a broken dependency build shows here first.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <boost/regex.hpp>
#include <boost/thread/once.hpp>
#include <podofo/podofo.h>
#include <tiffio.h>

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

using testsupport::TempDir;

TEST(Dependencies, LibtiffWritesAndReadsAG4Page)
{
    TempDir dir;
    CString path = dir.File("page.tif");
    TIFF* out = TIFFOpen(path, "w");
    ASSERT_NE(out, nullptr);
    const uint32_t width = 64, height = 16;
    TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, height);
    std::vector<unsigned char> row(width / 8);
    for (uint32_t y = 0; y < height; ++y) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<unsigned char>((y + i) % 2 ? 0xF0 : 0x0F);
        ASSERT_EQ(TIFFWriteScanline(out, row.data(), y, 0), 1);
    }
    TIFFClose(out);

    TIFF* in = TIFFOpen(path, "r");
    ASSERT_NE(in, nullptr);
    uint32_t w = 0;
    uint16_t compression = 0;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(in, TIFFTAG_COMPRESSION, &compression);
    EXPECT_EQ(w, width);
    EXPECT_EQ(compression, COMPRESSION_CCITTFAX4);
    std::vector<unsigned char> back(static_cast<size_t>(TIFFScanlineSize(in)));
    for (uint32_t y = 0; y <= 3; ++y)
        ASSERT_EQ(TIFFReadScanline(in, back.data(), y, 0), 1);
    EXPECT_EQ(back[0], 0xF0);
    TIFFClose(in);
}

TEST(Dependencies, PodofoWritesAndReloadsADocument)
{
    PoDoFo::PdfError::EnableDebug(false);
    PoDoFo::PdfError::EnableLogging(false);
    TempDir dir;
    CString path = dir.File("two.pdf");
    {
        PoDoFo::PdfMemDocument doc;
        doc.CreatePage(PoDoFo::PdfPage::CreateStandardPageSize(PoDoFo::ePdfPageSize_Letter));
        doc.CreatePage(PoDoFo::PdfPage::CreateStandardPageSize(PoDoFo::ePdfPageSize_A4));
        doc.Write(path.GetString());
    }
    PoDoFo::PdfMemDocument back(path.GetString());
    EXPECT_EQ(back.GetPageCount(), 2);
}

TEST(Dependencies, BoostRegexSearchesCaseInsensitively)
{
    boost::regex re("us\\s*([0-9,]+)", boost::regex::perl | boost::regex::icase);
    boost::smatch m;
    std::string text = "Patent US 5,123,456 B2";
    ASSERT_TRUE(boost::regex_search(text, m, re));
    EXPECT_EQ(m[1].str(), "5,123,456");
}

TEST(Dependencies, BoostCallOnceRunsOnceAcrossThreads)
{
    static boost::once_flag flag = BOOST_ONCE_INIT;
    static std::atomic<int> calls{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([] { boost::call_once(flag, [] { ++calls; Sleep(20); }); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(calls.load(), 1);
}
