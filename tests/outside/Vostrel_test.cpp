#include "PdfFixtures.h"
#include "TestSupport.h"
#include "TextConversion.h"
#include "Vostrel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

using pdffixtures::PageSpec;

namespace {

// The page judge as the download thread reaches it: loaded from the program's folder by name.
class VostrelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const char* build = std::getenv("ZENTROVA_BUILD");
        ASSERT_NE(build, nullptr);
        m_binFolder = CString(build) + "/bin";
        m_module = LoadLibraryA(m_binFolder + "/Vostrel.dll");
        ASSERT_NE(m_module, nullptr);
        m_test = reinterpret_cast<TestImageFunction>(
            reinterpret_cast<void*>(GetProcAddress(m_module, "TestImage")));
        ASSERT_NE(m_test, nullptr);
    }
    void TearDown() override
    {
        if (m_module)
            FreeLibrary(m_module);
    }

    // The judgement and the flag, which must agree.
    int Judge(const CString& path)
    {
        int rejected = -7;
        int result = m_test(1234, &rejected, AnsiToUtf16(path).c_str());
        EXPECT_EQ(result, rejected) << path;
        return result;
    }

    CString m_binFolder;
    HMODULE m_module = nullptr;
    TestImageFunction m_test = nullptr;
    testsupport::TempDir m_dir;
};

PageSpec Page(uint32_t width, uint32_t height, uint16_t compression = COMPRESSION_CCITTFAX4)
{
    PageSpec p;
    p.width = width;
    p.height = height;
    p.compression = compression;
    p.resolution = 200.0f;
    return p;
}

} // namespace

TEST_F(VostrelTest, AcceptsPlausiblePatentPages)
{
    struct Case { const char* name; std::vector<PageSpec> pages; };
    PageSpec grey = Page(1700, 2200, COMPRESSION_NONE);
    grey.bits = 8;
    grey.photometric = PHOTOMETRIC_MINISBLACK;
    const Case cases[] = {
        {"letter G4.tif", {Page(1700, 2200)}},
        {"three pages.tif", {Page(1700, 2200), Page(2480, 3508), Page(2200, 1700)}},
        {"grey.tif", {grey}},
        {"strips.tif", {[] { PageSpec p = Page(2480, 3508); p.rowsPerStrip = 100; return p; }()}},
    };
    for (const Case& c : cases) {
        CString path = m_dir.File(c.name);
        ASSERT_TRUE(pdffixtures::WriteTiff(path, c.pages)) << c.name;
        EXPECT_EQ(Judge(path), 0) << c.name;
    }
    EXPECT_EQ(Judge(m_binFolder + "/replace.tif"), 0) << "the shipped replacement page";
}

TEST_F(VostrelTest, RejectsUnusablePages)
{
    struct Case { const char* name; std::vector<PageSpec> pages; };
    const Case cases[] = {
        {"tiny.tif", {Page(40, 30)}},
        {"narrow strip.tif", {Page(300, 3000)}},
        {"second page tiny.tif", {Page(1700, 2200), Page(100, 100)}},
    };
    for (const Case& c : cases) {
        CString path = m_dir.File(c.name);
        ASSERT_TRUE(pdffixtures::WriteTiff(path, c.pages)) << c.name;
        EXPECT_EQ(Judge(path), 1) << c.name;
    }

    // A page whose compressed data is cut off: the strip cannot be decoded.
    CString good = m_dir.File("good.tif");
    ASSERT_TRUE(pdffixtures::WriteTiff(good, {Page(1700, 2200, COMPRESSION_LZW)}));
    std::string bytes;
    ASSERT_TRUE(testsupport::ReadBytes(good, bytes));
    const size_t ifd = static_cast<unsigned char>(bytes[4]) | (static_cast<unsigned char>(bytes[5]) << 8) |
                       (static_cast<unsigned char>(bytes[6]) << 16);
    for (size_t i = 8; i + 16 < ifd; ++i)
        bytes[i] = static_cast<char>(0xFF);  // garble the image data, keep the directory
    ASSERT_TRUE(testsupport::WriteBytes(m_dir.File("garbled.tif"), bytes));
    EXPECT_EQ(Judge(m_dir.File("garbled.tif")), 1);

    ASSERT_TRUE(testsupport::WriteBytes(m_dir.File("page.tif"), "%PDF-1.4 not a picture"));
    EXPECT_EQ(Judge(m_dir.File("page.tif")), 1);
    ASSERT_TRUE(testsupport::WriteBytes(m_dir.File("empty.tif"), ""));
    EXPECT_EQ(Judge(m_dir.File("empty.tif")), 1);
    EXPECT_EQ(Judge(m_dir.File("missing.tif")), 1);
    int rejected = 0;
    EXPECT_EQ(m_test(1, &rejected, nullptr), 1);
    EXPECT_EQ(m_test(1, nullptr, L""), 1);
}

TEST_F(VostrelTest, TakesNonAsciiPaths)
{
    CString path = m_dir.File("Seite \xE4.tif");
    ASSERT_TRUE(pdffixtures::WriteTiff(path, {Page(1700, 2200)}));
    EXPECT_EQ(Judge(path), 0);
}
