// The Document record text: its frame character for character, its identifier, and its
// catalog lines with every value escaped.
#include "DocumentRecord.h"

#include "ComSupport.h"
#include "Msxml.h"
#include "XmlHelpers.h"

#include <gtest/gtest.h>

namespace {

TEST(DocumentRecord, FrameCharacterForCharacter)
{
    const CString record = FormatDocumentRecord("US", "7654321", "B2", CTimeSpan(3, 4, 5, 6));
    EXPECT_EQ(record,
              "<?xml version=\"1.0\" ?>\r\n\t<Document Name=\"US7654321B2\" ParentUID=\"1\" "
              "DocumentTitle=\"[DOCUMENTTITLE]\" DocumentInventor=\"[DOCUMENTINVENTOR]\" "
              "DocumentAssignee=\"[DOCUMENTASSIGNEE]\" DownloadDate=\"273906\" TotalSize=\"\" "
              "UID=\"DOCUIDUS7654321B23040506\" FirstPage=\"[FIRSTPAGE]\" Wrapper=\"[WRAPPER]\">\r\n"
              "<XMLCatalog>\r\n\t\t\t</XMLCatalog></Document>");
}

TEST(DocumentRecord, DateAndIdentifierFromTheTimeSinceTheEpoch)
{
    struct
    {
        CTimeSpan span;
        const char* date;
        const char* uid;
    } cases[] = {
        {CTimeSpan(1, 0, 0, 5), "86405", "DOCUIDEP1234561000005"},
        {CTimeSpan(0, 0, 0, 0), "0", "DOCUIDEP1234560000000"},
        {CTimeSpan(7000, 23, 59, 59), "604886399", "DOCUIDEP1234567000235959"},
        // Past 2^31 seconds the date keeps the low 32 bits, the identifier the whole span.
        {CTimeSpan(25000, 0, 0, 0), "-2134967296", "DOCUIDEP12345625000000000"},
    };
    for (const auto& c : cases) {
        const CString record = FormatDocumentRecord("EP", "123456", "", c.span);
        EXPECT_GE(record.Find(CString("DownloadDate=\"") + c.date + "\""), 0) << record.GetString();
        EXPECT_GE(record.Find(CString("UID=\"") + c.uid + "\""), 0) << record.GetString();
    }
}

TEST(DocumentRecord, CatalogLinesGoInFrontOfTheCatalogEndInOrder)
{
    CString record = FormatDocumentRecord("US", "1", "", CTimeSpan(0));
    InsertCatalogItem(record, FormatCatalogItem("", "C:\\d\\a.html", "Src", "10", "HTML"));
    InsertCatalogItem(record, FormatCatalogItem("T\tx  y\r\n", "C:\\d\\b.pdf", "Src", "20", "PDF"));
    const CString tail = "<XMLCatalog>\r\n\t\t\t"
                         "\t\t<CatalogItem Title=\"\" FilePath=\"C:\\d\\a.html\" DownloadSourceName=\"Src\" "
                         "FileSize=\"10\" FileType=\"HTML\"/>\r\n"
                         "\t\t<CatalogItem Title=\"T x y\" FilePath=\"C:\\d\\b.pdf\" DownloadSourceName=\"Src\" "
                         "FileSize=\"20\" FileType=\"PDF\"/>\r\n"
                         "</XMLCatalog></Document>";
    EXPECT_EQ(record.Right(tail.GetLength()), tail);

    CString noCatalog = "<Document/>";
    InsertCatalogItem(noCatalog, "line");
    EXPECT_EQ(noCatalog, "<Document/>");
}

TEST(DocumentRecord, HostileValuesGiveAWellFormedRecord)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        CString record = FormatDocumentRecord("U\"S", "1<2>&3", "", CTimeSpan(5));
        record.Replace("[DOCUMENTTITLE]", "");
        InsertCatalogItem(record, FormatCatalogItem("a\"b", "C:\\R&D\\</XMLCatalog>\\x", "<src>", "1", "\"&"));
        InsertCatalogItem(record, FormatCatalogItem("", "C:\\second", "s", "2", "PDF"));

        IXMLDOMDocument2Ptr doc;
        ASSERT_TRUE(SUCCEEDED(doc.CreateInstance(__uuidof(DOMDocument40))));
        ASSERT_EQ(doc->loadXML(_bstr_t(record)), VARIANT_TRUE) << record.GetString();
        IXMLDOMNodePtr document = doc->selectSingleNode(L"/Document");
        CString value;
        ASSERT_EQ(GetXmlAttribute(document, "Name", value), 1);
        EXPECT_EQ(value, "U\"S1<2>&3");
        ASSERT_EQ(GetXmlAttribute(document, "UID", value), 1);
        EXPECT_EQ(value, "DOCUIDU\"S1<2>&30000005");
        IXMLDOMNodeListPtr items = doc->selectNodes(L"/Document/XMLCatalog/CatalogItem");
        ASSERT_EQ(items->Getlength(), 2);
        GetXmlAttribute(items->Getitem(0), "Title", value);
        EXPECT_EQ(value, "a\"b");
        GetXmlAttribute(items->Getitem(0), "FilePath", value);
        EXPECT_EQ(value, "C:\\R&D\\</XMLCatalog>\\x");
        GetXmlAttribute(items->Getitem(0), "DownloadSourceName", value);
        EXPECT_EQ(value, "<src>");
        GetXmlAttribute(items->Getitem(0), "FileType", value);
        EXPECT_EQ(value, "\"&");
        GetXmlAttribute(items->Getitem(1), "FilePath", value);
        EXPECT_EQ(value, "C:\\second");
    }
    CoUninitialize();
}

} // namespace
