// Finishing a document, driven on a thread object that is never started, over catalogs built
// by hand from TIFF and PDF files in a folder of the test's own: page names, the merged
// file's name and place, the record lines, and the failures that must keep the pages. This
// test program's folder holds no page judge, so every page is kept as it came.
#include "PatentThread.h"

#include "PageImageLock.h"
#include "PdfFixtures.h"
#include "PdfMerge.h"
#include "RegEx.h"
#include "TestSupport.h"
#include "XmlHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace testsupport;
using pdffixtures::PageSpec;

namespace {

// The program creates the page-image lock at start-up; so does this test program.
struct PageImageLockSetUp
{
    PageImageLockSetUp() { InitializeCriticalSection(&g_PageImageLock); }
} g_pageImageLockSetUp;

PageSpec Page(uint32_t width)
{
    PageSpec page;
    page.width = width;
    page.height = 1100;
    page.resolution = 100.0f;
    return page;
}

class FinishDocumentTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_folder = m_dir.Path();
        m_thread.m_mapVariables.SetAt("COUNTRYCODE", "US");
        m_thread.m_mapVariables.SetAt("DOCUMENTNUMBER", "1234");
        m_thread.BuildDocumentXml();
    }
    void TearDown() override { CoUninitialize(); }

    // A catalog file of the thread, its file written first (a TIFF page of that width, or
    // the bytes given).
    void AddTiff(const CString& name, uint32_t width, const char* source = "Pages")
    {
        ASSERT_TRUE(pdffixtures::WriteTiff(m_folder + "\\" + name, {Page(width)}));
        Add(name, source, "TIFF");
    }
    void AddFile(const CString& name, const std::string& bytes, const char* source, const char* type)
    {
        ASSERT_TRUE(WriteBytes(m_folder + "\\" + name, bytes));
        Add(name, source, type);
    }
    void Add(const CString& name, const char* source, const char* type)
    {
        auto* file = new CatalogFile;
        file->m_strDownloadSourceName = source;
        file->m_strFilePath = m_folder + "\\" + name;
        std::string bytes;
        ReadBytes(file->m_strFilePath, bytes);
        file->m_nFileSize = static_cast<int>(bytes.size());
        file->m_strFileType = type;
        m_thread.m_CatalogFiles.Add(file);
    }

    // The catalog as "name|source|type", names lower case and without the folder.
    std::vector<CString> Catalog()
    {
        std::vector<CString> entries;
        for (INT_PTR i = 0; i < m_thread.m_CatalogFiles.GetSize(); ++i) {
            const CatalogFile* file = m_thread.m_CatalogFiles[i];
            CString name = file->m_strFilePath.Mid(file->m_strFilePath.ReverseFind('\\') + 1);
            entries.push_back(name.MakeLower() + "|" + file->m_strDownloadSourceName + "|" + file->m_strFileType);
            std::string bytes;
            const bool exists = ReadBytes(file->m_strFilePath, bytes);
            EXPECT_TRUE(exists) << file->m_strFilePath.GetString();
            EXPECT_EQ(file->m_nFileSize, static_cast<int>(bytes.size())) << file->m_strFilePath.GetString();
        }
        return entries;
    }

    // The record's CatalogItem lines as "name|source|size|type".
    std::vector<CString> RecordItems()
    {
        std::vector<CString> items;
        RegEx line("<CatalogItem Title=\"\" FilePath=\"[^\"]*\\\\([^\"\\\\]*)\" DownloadSourceName=\"([^\"]*)\" "
                   "FileSize=\"(\\d+)\" FileType=\"([^\"]*)\"/>",
                   false);
        std::vector<CString> lines;
        line.Grep(lines, m_thread.m_strDocumentXml);
        for (const CString& l : lines) {
            line.Search(l);
            CString name = line.What(1);
            items.push_back(name.MakeLower() + "|" + line.What(2) + "|" + line.What(3) + "|" + line.What(4));
        }
        return items;
    }

    CString SizeOf(const char* name)
    {
        std::string bytes;
        ReadBytes(m_folder + "\\" + name, bytes);
        return CString(std::to_string(bytes.size()).c_str());
    }

    TempDir m_dir;
    CString m_folder;
    CPatentThread m_thread;
};

TEST_F(FinishDocumentTest, PagesBecomeOneMergedPdfAfterTheOtherFiles)
{
    AddFile("US1234.html", "<html></html>", "Front page", "HTML");
    AddTiff("1_1_0.tif", 850);
    AddTiff("1_2_1.tif", 800);
    AddTiff("1_3_2.tif", 900);
    AddTiff("1_4_3.tif", 850);
    EXPECT_EQ(m_thread.FinishDocument(), 1);

    // Only the HTML file and the merged file are left; the merged file takes the source name
    // of the first file left in the catalog.
    EXPECT_EQ(FileNamesIn(m_folder), (std::vector<CString>{"us1234.html", "us1234.pdf"}));
    EXPECT_EQ(Catalog(), (std::vector<CString>{"us1234.html|Front page|HTML", "us1234.pdf|Front page|PDF"}));
    EXPECT_EQ(RecordItems(), (std::vector<CString>{"us1234.html|Front page|13|HTML",
                                                   "us1234.pdf|Front page|" + SizeOf("US1234.pdf") + "|PDF"}));
    const std::string pdf = pdffixtures::ReadAll(m_folder + "\\US1234.pdf");
    RegEx pages("/Count 4\\b", false);
    EXPECT_TRUE(pages.Search(CString(pdf)));
}

TEST_F(FinishDocumentTest, ThePageNamesLoseOnlyTheirImageExtension)
{
    ASSERT_TRUE(CreateDirectoryA(m_folder + "\\scan.tif.d", nullptr));
    const struct
    {
        const char* image;
        const char* pdf;
    } cases[] = {
        {"Page.TIF", "page.pdf"},
        {"two.tiff", "two.pdf"},
        {"scan.tif.d\\inner.tif", "scan.tif.d\\inner.pdf"},
        {"noextension", "noextension.pdf"},
    };
    for (const auto& c : cases)
        AddTiff(c.image, 850);
    EXPECT_EQ(m_thread.ConvertImagesToPdf(), 1);
    ASSERT_EQ(m_thread.m_CatalogFiles.GetSize(), 4);
    for (size_t i = 0; i < 4; ++i) {
        const CatalogFile* file = m_thread.m_CatalogFiles[static_cast<INT_PTR>(i)];
        SCOPED_TRACE(cases[i].image);
        EXPECT_EQ(file->m_strFilePath, CString(m_folder + "\\" + cases[i].pdf).MakeLower());
        EXPECT_EQ(file->m_strFileType, "PDF");
        EXPECT_FALSE(FileExists(m_folder + "\\" + cases[i].image));
        std::string bytes;
        ASSERT_TRUE(ReadBytes(file->m_strFilePath, bytes));
        EXPECT_EQ(bytes.compare(0, 8, "%PDF-1.2"), 0);
        EXPECT_EQ(file->m_nFileSize, static_cast<int>(bytes.size()));
    }
}

TEST_F(FinishDocumentTest, TheMergedFileIsNamedAfterTheDocumentInTheFolderOfTheFirstPage)
{
    const struct
    {
        const char* country;
        const char* number;
        const char* merged;
    } cases[] = {
        {"US", "US1234", "us1234.pdf"},
        {"EP", "1234", "ep1234.pdf"},
        // A number taken from a web page names a file in the folder, never a path.
        {"US", "..\\..\\5678", "us....5678.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.merged);
        TempDir dir;
        m_folder = dir.Path();
        m_thread.ClearCatalogFiles();
        m_thread.m_mapVariables.SetAt("COUNTRYCODE", c.country);
        m_thread.m_mapVariables.SetAt("DOCUMENTNUMBER", c.number);
        AddTiff("1_1_0.tif", 850);
        AddTiff("1_2_1.tif", 850);
        EXPECT_EQ(m_thread.FinishDocument(), 1);
        // A document of pages only: the merged file takes the pages' source name.
        EXPECT_EQ(Catalog(), (std::vector<CString>{CString(c.merged) + "|Pages|PDF"}));
        EXPECT_EQ(FileNamesIn(m_folder), (std::vector<CString>{c.merged}));
    }
}

TEST_F(FinishDocumentTest, APageThatCannotBeConvertedKeepsItsImageAndNothingIsMerged)
{
    AddTiff("1_1_0.tif", 850);
    AddFile("1_2_1.tif", std::string("II*\0cut off in transfer", 23), "Pages", "TIFF");
    AddTiff("1_3_2.tif", 900);
    EXPECT_EQ(m_thread.FinishDocument(), 0);
    EXPECT_EQ(FileNamesIn(m_folder), (std::vector<CString>{"1_1_0.pdf", "1_2_1.tif", "1_3_2.pdf"}));
    EXPECT_EQ(Catalog(), (std::vector<CString>{"1_1_0.pdf|Pages|PDF", "1_2_1.tif|Pages|TIFF", "1_3_2.pdf|Pages|PDF"}));
    EXPECT_EQ(RecordItems(), (std::vector<CString>{"1_1_0.pdf|Pages|" + SizeOf("1_1_0.pdf") + "|PDF",
                                                   "1_2_1.tif|Pages|23|TIFF",
                                                   "1_3_2.pdf|Pages|" + SizeOf("1_3_2.pdf") + "|PDF"}));
}

TEST_F(FinishDocumentTest, AFailedMergeKeepsThePagePdfs)
{
    AddTiff("1_1_0.tif", 850);
    AddFile("1_2_1.pdf", "%PDF-1.2\rnot really a PDF\r", "Pages", "PDF");
    EXPECT_EQ(m_thread.FinishDocument(), 0);
    EXPECT_EQ(FileNamesIn(m_folder), (std::vector<CString>{"1_1_0.pdf", "1_2_1.pdf"}));
    EXPECT_EQ(Catalog(), (std::vector<CString>{"1_1_0.pdf|Pages|PDF", "1_2_1.pdf|Pages|PDF"}));
    EXPECT_EQ(RecordItems().size(), 2u);
}

TEST_F(FinishDocumentTest, NoPageAtAllIsNoMergedDocument)
{
    AddFile("US1234.html", "<html></html>", "Front page", "HTML");
    EXPECT_EQ(m_thread.FinishDocument(), 0);
    EXPECT_EQ(FileNamesIn(m_folder), (std::vector<CString>{"us1234.html"}));
    EXPECT_EQ(RecordItems(), (std::vector<CString>{"us1234.html|Front page|13|HTML"}));
}

} // namespace
