#include "DocumentRecord.h"

#include "ProjectIds.h"
#include "TextHelpers.h"

CString FormatDocumentRecord(const CString& countryCode, const CString& documentNumber,
                             const CString& kindCode, CTimeSpan sinceEpoch)
{
    const CString uid = FormatDocumentUID(countryCode + documentNumber + kindCode, sinceEpoch);
    CString record;
    record.Format("<?xml version=\"1.0\" ?>\r\n\t<Document Name=\"%s%s\" ParentUID=\"1\" "
                  "DocumentTitle=\"[DOCUMENTTITLE]\" DocumentInventor=\"[DOCUMENTINVENTOR]\" "
                  "DocumentAssignee=\"[DOCUMENTASSIGNEE]\" DownloadDate=\"%d\" TotalSize=\"\" "
                  "UID=\"%s\" FirstPage=\"[FIRSTPAGE]\" Wrapper=\"[WRAPPER]\">\r\n<XMLCatalog>\r\n\t\t",
                  EscapeXml(countryCode).GetString(), EscapeXml(documentNumber + kindCode).GetString(),
                  static_cast<int>(sinceEpoch.GetTotalSeconds() & 0xFFFFFFFF),
                  EscapeXml(uid).GetString());
    return record + "\t</XMLCatalog></Document>";
}

CString CleanTitleText(CString title)
{
    title.Replace('\t', ' ');
    title.Replace("  ", " ");
    title.Replace("  ", " ");
    title.Remove('\n');
    title.Remove('\r');
    return title;
}

CString FormatCatalogItem(const CString& title, const CString& filePath, const CString& sourceName,
                          const CString& fileSize, const CString& fileType)
{
    CString line;
    line.Format("\t\t<CatalogItem Title=\"%s\" FilePath=\"%s\" DownloadSourceName=\"%s\" "
                "FileSize=\"%s\" FileType=\"%s\"/>\r\n",
                EscapeXml(CleanTitleText(title)).GetString(), EscapeXml(filePath).GetString(),
                EscapeXml(sourceName).GetString(), EscapeXml(fileSize).GetString(),
                EscapeXml(fileType).GetString());
    return line;
}

void InsertCatalogItem(CString& record, const CString& line)
{
    // Every value in the record is escaped, so its only "<" followed by "/XMLCatalog" is the
    // frame's closing tag.
    const int p = record.Find("</XMLCatalog>");
    if (p < 0)
        return;
    record.Insert(p, line);
}
