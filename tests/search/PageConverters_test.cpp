// The outside converters of report pages: a drawn page from BMP to a bilevel TIFF
// (Corvella6.dll) that the program's own TIFF-to-PDF writer also reads, and from that TIFF to
// a one-page PDF (Corvella.dll, loaded as the report run loads it).
#include "Corvella.h"
#include "Corvella6.h"
#include "DIBSection.h"
#include "TestSupport.h"
#include "TextConversion.h"
#include "TiffToPdf.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testsupport;

namespace {

// A 600 x 300 page, white with a black bar across its upper half.
void DrawPage(const CString& path)
{
    DIBSection page;
    page.Create(600, 300, 24);
    ASSERT_TRUE(page.GetBits());
    CDC* dc = page.GetDC();
    CRect all(0, 0, 600, 300), bar(50, 40, 550, 120);
    dc->FillSolidRect(&all, RGB(255, 255, 255));
    dc->FillSolidRect(&bar, RGB(0, 0, 0));
    ASSERT_EQ(SaveBitmap24(path, page), 1);
}

// The PDF and its pages for the Linux-side check (tests/download/pdf_check.py).
void RecordForCheck(const CString& pdf, const char* name, const char* pages)
{
    const char* folder = std::getenv("ZENTROVA_PDF_CHECK");
    if (!folder)
        return;
    CString unixFolder(folder);
    static bool started = false;
    if (!started) {
        DeleteFileA(unixFolder + "/outputs.txt");
        started = true;
    }
    std::string bytes;
    ASSERT_TRUE(ReadBytes(pdf, bytes));
    ASSERT_TRUE(CreateDirectoryA(unixFolder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(WriteBytes(unixFolder + "/" + name, bytes));
    std::string list;
    ReadBytes(unixFolder + "/outputs.txt", list);
    list += std::string(name) + "|" + pages + "\n";
    ASSERT_TRUE(WriteBytes(unixFolder + "/outputs.txt", list));
}

} // namespace

TEST(PageConverters, BitmapToTiffToPdf)
{
    TempDir dir;
    const CString bmp = dir.File("page.bmp"), tif = dir.File("page.tif"), pdf = dir.File("page.pdf");
    DrawPage(bmp);
    EXPECT_EQ(Bmp2Tiff(AnsiToUtf16(bmp).c_str(), AnsiToUtf16(tif).c_str()), 1);
    ASSERT_TRUE(FileExists(tif));

    // A real TIFF: the program's own writer converts it too.
    CTiffToPdf writer;
    EXPECT_EQ(writer.convertTiffToPdf(tif, dir.File("own.pdf"), nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr),
              TIFFPDF_DONE)
        << writer.GetMessageText();

    HMODULE library = LoadLibraryA("Corvella.dll");
    ASSERT_TRUE(library);
    auto makeIt = reinterpret_cast<MakeItFunction>(reinterpret_cast<void*>(GetProcAddress(library, "MakeIt")));
    ASSERT_TRUE(makeIt);
    EXPECT_EQ(makeIt(tif, pdf), 1);
    EXPECT_EQ(makeIt(dir.File("missing.tif"), dir.File("none.pdf")), 0);
    EXPECT_FALSE(FileExists(dir.File("none.pdf")));
    FreeLibrary(library);
    // 600 x 300 pixels at 300 dpi: 144 x 72 points, dark at the top left, light at the bottom right.
    RecordForCheck(pdf, "converted-page.pdf", "144x72,000000,ffffff");
    RecordForCheck(dir.File("own.pdf"), "own-writer-page.pdf", "144x72,000000,ffffff");
}

TEST(PageConverters, RefusesWhatIsNoDrawnPage)
{
    TempDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("text.bmp"), "not a bitmap at all, but long enough to be read whole........"));
    EXPECT_EQ(Bmp2Tiff(AnsiToUtf16(dir.File("text.bmp")).c_str(), AnsiToUtf16(dir.File("t.tif")).c_str()), 0);
    EXPECT_EQ(Bmp2Tiff(AnsiToUtf16(dir.File("missing.bmp")).c_str(), AnsiToUtf16(dir.File("t.tif")).c_str()), 0);
    EXPECT_FALSE(FileExists(dir.File("t.tif")));
}
