#include "PdfFixtures.h"
#include "PdfMerge.h"
#include "TestSupport.h"
#include "TiffToPdf.h"

#include <gtest/gtest.h>

#include <podofo/podofo.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace pdffixtures;
using testsupport::FileExists;
using testsupport::FilesIn;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {

// A page PDF made by the writer, `width` pixels wide at 120 dpi (so width * 0.6 points).
CString PagePdf(const TempDir& dir, const char* name, std::vector<uint32_t> widths)
{
    std::vector<PageSpec> pages;
    for (uint32_t width : widths) {
        PageSpec page;
        page.width = width;
        pages.push_back(page);
    }
    CString tiff = dir.File("page.tif");
    EXPECT_TRUE(WriteTiff(tiff, pages));
    CString pdf = dir.File(name);
    CTiffToPdf writer;
    EXPECT_EQ(writer.convertTiffToPdf(tiff, pdf, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr),
              TIFFPDF_DONE);
    return pdf;
}

// The widths of the pages of a PDF file, in page order, as the library reads them.
std::vector<int> PageWidths(const CString& path)
{
    std::vector<int> widths;
    PoDoFo::PdfMemDocument document(path.GetString());
    for (int i = 0; i < document.GetPageCount(); ++i)
        widths.push_back(static_cast<int>(document.GetPage(i)->GetMediaBox().GetWidth()));
    return widths;
}

std::vector<ExpectedPage> Sizes(const std::vector<int>& widths)
{
    std::vector<ExpectedPage> pages;
    for (int width : widths)
        pages.push_back({std::to_string(width) + "x96", "000000", "ffffff"});
    return pages;
}

} // namespace

TEST(PdfMerge, NoInputWritesNothing)
{
    TempDir dir;
    CPdfMerge merge;
    EXPECT_FALSE(merge.MergeFiles({}, dir.File("none.pdf")));
    EXPECT_FALSE(FileExists(dir.File("none.pdf")));

    ASSERT_TRUE(WriteBytes(dir.File("old.pdf"), "old"));
    EXPECT_FALSE(merge.MergeFiles({}, dir.File("old.pdf")));
    EXPECT_EQ(ReadAll(dir.File("old.pdf")), "old");
}

TEST(PdfMerge, OneInputIsCopiedByteForByteOverAnExistingFile)
{
    TempDir dir;
    CString page = PagePdf(dir, "page1.pdf", {240});
    CString out = dir.File("US1234.pdf");
    ASSERT_TRUE(WriteBytes(out, "an older file"));
    CPdfMerge merge;
    EXPECT_TRUE(merge.MergeFiles({page}, out));
    EXPECT_EQ(ReadAll(out), ReadAll(page));
    EXPECT_EQ(FilesIn(dir.Path()), 3); // page.tif, page1.pdf, US1234.pdf
}

TEST(PdfMerge, SeveralInputsAreJoinedInListOrder)
{
    TempDir dir;
    std::vector<CString> pages = {PagePdf(dir, "p1.pdf", {240}), PagePdf(dir, "p2.pdf", {300, 360}),
                                  PagePdf(dir, "p3.pdf", {180})};
    const std::vector<int> widths = {144, 180, 216, 108};
    CPdfMerge merge;

    CString out = CheckedPath("merged-three.pdf", dir.Path());
    ASSERT_TRUE(WriteBytes(out, "an older file"));
    ASSERT_TRUE(merge.MergeFiles(pages, out));
    EXPECT_EQ(PageWidths(out), widths);
    ExpectPdf(out, Sizes(widths));

    // The output may be one of the inputs: it is replaced once every input has been read.
    CString first = pages[0];
    ASSERT_TRUE(merge.MergeFiles(pages, first));
    EXPECT_EQ(PageWidths(first), widths);
    EXPECT_EQ(FilesIn(dir.Path()), 4) << "no file left over besides page.tif and the inputs";
}

// A damaged or missing input fails the merge: no output appears, an existing output stays as
// it was, no temporary file is left, and the inputs are untouched.
TEST(PdfMerge, DamagedInputFailsWithoutOutput)
{
    TempDir dir;
    CString good1 = PagePdf(dir, "good1.pdf", {240});
    CString good2 = PagePdf(dir, "good2.pdf", {240});
    std::string goodBytes = ReadAll(good1);
    ASSERT_TRUE(WriteBytes(dir.File("garbage.pdf"), "<html>Service unavailable</html>"));
    ASSERT_TRUE(WriteBytes(dir.File("truncated.pdf"), goodBytes.substr(0, goodBytes.size() / 2)));
    std::string broken = goodBytes;
    broken.replace(broken.find("/Type /Page\r"), 12, "/Type /Pxxx\r");
    ASSERT_TRUE(WriteBytes(dir.File("nopage.pdf"), broken));
    ASSERT_TRUE(WriteBytes(dir.File("empty.pdf"), ""));

    const char* const damaged[] = {"garbage.pdf", "truncated.pdf", "nopage.pdf", "empty.pdf",
                                   "missing.pdf"};
    const int filesBefore = FilesIn(dir.Path());
    CPdfMerge merge;
    for (const char* name : damaged) {
        SCOPED_TRACE(name);
        // Among good pages, and alone: a lone input is copied, but only once it reads as a PDF.
        const std::vector<CString> lists[] = {{good1, dir.File(name), good2}, {dir.File(name)}};
        for (const std::vector<CString>& inputs : lists) {
            SCOPED_TRACE(inputs.size());
            EXPECT_FALSE(merge.MergeFiles(inputs, dir.File("out.pdf")));
            EXPECT_FALSE(FileExists(dir.File("out.pdf")));

            ASSERT_TRUE(WriteBytes(dir.File("kept.pdf"), "an older file"));
            EXPECT_FALSE(merge.MergeFiles(inputs, dir.File("kept.pdf")));
            EXPECT_EQ(ReadAll(dir.File("kept.pdf")), "an older file");
            DeleteFileA(dir.File("kept.pdf"));

            EXPECT_EQ(FilesIn(dir.Path()), filesBefore);
            EXPECT_EQ(ReadAll(good1), goodBytes);
        }
    }
    // Paths the file functions cannot take are refused.
    const CString longName = dir.File(std::string(270, 'x').c_str());
    EXPECT_FALSE(merge.MergeFiles({good1, good2}, longName));
    EXPECT_FALSE(merge.MergeFiles({good1, longName}, dir.File("out.pdf")));
    EXPECT_FALSE(FileExists(dir.File("out.pdf")));
    EXPECT_EQ(FilesIn(dir.Path()), filesBefore);
}
