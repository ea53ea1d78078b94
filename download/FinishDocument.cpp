// Finishing a document on the document threads: once a source has delivered, every TIFF page
// is converted to PDF (the thread may judge it first), the page PDFs are merged into
// "[COUNTRYCODE][DOCUMENTNUMBER].pdf", and every file gets its CatalogItem line in the record.
// Nothing a page needs is deleted before what replaces it is known to exist: a page that
// cannot be converted keeps its TIFF, and the page PDFs stay until the merged file has been
// written. Also the discarding of a failed source's files.
#include "DocumentThread.h"

#include "DocumentRecord.h"
#include "PdfMerge.h"
#include "SafeNames.h"
#include "TiffToPdf.h"
#include "TraceLine.h"

#include <cstring>
#include <vector>

namespace {

bool EndsWith(const CString& text, const char* ending)
{
    const int n = static_cast<int>(std::strlen(ending));
    return text.GetLength() >= n && text.Right(n) == ending;
}

bool IsPdfType(const CString& type)
{
    return type == "PDF" || type == "pdf";
}

// The size of the file in bytes; -1 when it cannot be opened.
int FileSize(const CString& path)
{
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    const DWORD size = ::GetFileSize(h, nullptr);
    ::CloseHandle(h);
    return size == INVALID_FILE_SIZE || size > 0x7FFFFFFF ? -1 : static_cast<int>(size);
}

// The page PDF of a page image: its ".tif" or ".tiff" ending replaced by ".pdf", or ".pdf"
// added to a name with neither.
CString PagePdfPath(const CString& tiffPath)
{
    if (EndsWith(tiffPath, ".tiff"))
        return tiffPath.Left(tiffPath.GetLength() - 5) + ".pdf";
    if (EndsWith(tiffPath, ".tif"))
        return tiffPath.Left(tiffPath.GetLength() - 4) + ".pdf";
    return tiffPath + ".pdf";
}

} // namespace

int CDocumentThread::FinishDocument()
{
    int nResult = 1;
    if (HasPagesToFinish()) {
        if (!ConvertImagesToPdf())
            nResult = 0;  // the pages stay as they are, nothing is merged
        else if (!MergePagePdfs())
            nResult = 0;
    }
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i) {
        const CatalogFile* file = m_CatalogFiles[i];
        CString size;
        size.Format("%d", file->m_nFileSize);
        AppendCatalogItems("", file->m_strFilePath, file->m_strDownloadSourceName, size,
                           file->m_strFileType);
    }
    return nResult;
}

int CDocumentThread::ConvertImagesToPdf()
{
    int nResult = 1;
    CTiffToPdf writer;
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i) {
        CatalogFile* file = m_CatalogFiles[i];
        if (file->m_strFileType != "TIFF")
            continue;
        CString tiffPath = file->m_strFilePath;
        tiffPath.MakeLower();
        const CString pdfPath = PagePdfPath(tiffPath);
        JudgePage(tiffPath);
        const int rc = writer.convertTiffToPdf(tiffPath, pdfPath, nullptr, nullptr, nullptr, nullptr,
                                               nullptr, nullptr, nullptr);
        if (rc != TIFFPDF_DONE) {
            // The page keeps its image and its catalog entry; the document is not finished.
            WriteTraceLine(CString(GetRuntimeClass()->m_lpszClassName) + "::ConvertImagesToPdf()-" +
                           CString(writer.GetMessageText()) + ": " + tiffPath);
            nResult = 0;
            continue;
        }
        ::DeleteFileA(tiffPath);
        file->m_strFileType = "PDF";
        file->m_strFilePath = pdfPath;
        const int size = FileSize(pdfPath);
        file->m_nFileSize = size < 0 ? 0 : size;
    }
    return nResult;
}

int CDocumentThread::MergePagePdfs()
{
    int nResult = 1;
    CString output;
    CString pageSource;
    std::vector<CString> inputs;
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i) {
        const CatalogFile* file = m_CatalogFiles[i];
        if (!IsPdfType(file->m_strFileType))
            continue;
        HANDLE h = ::CreateFileA(file->m_strFilePath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            CString text;
            text.Format("Could not open file %s for merging!", file->m_strFilePath.GetString());
            AfxMessageBox(text, MB_OK);
            nResult = 0;
            continue;
        }
        ::CloseHandle(h);
        if (output.IsEmpty()) {
            // The name may hold values taken from web pages: it names one file in the
            // folder of the first page, never a path.
            CString name = MakeSafeFileName(ReplaceVariables("[COUNTRYCODE][DOCUMENTNUMBER].pdf"));
            if (name.GetLength() >= 4 && name.Left(4) == "USUS")
                name = name.Mid(2);
            if (name.IsEmpty())
                return 0;
            const CString& path = file->m_strFilePath;
            output = path.Left(path.ReverseFind('\\')) + "\\" + name;
            pageSource = file->m_strDownloadSourceName;
        }
        inputs.push_back(file->m_strFilePath);
    }
    // A page that cannot be read would be missing from the merged file: nothing is merged.
    if (nResult == 0 || inputs.empty())
        return 0;

    CPdfMerge merge;
    if (!merge.MergeFiles(inputs, output))
        return 0;
    const int size = FileSize(output);
    if (size <= 0) {
        if (size == 0)
            ::DeleteFileA(output);
        return 0;
    }

    // The pages are deleted only now that the merged file holds them; a page PDF that
    // carried the merged file's own name has been replaced by it and stays.
    for (INT_PTR i = m_CatalogFiles.GetSize() - 1; i >= 0 && !m_documentRules.bKeepPagePdfs; --i) {
        CatalogFile* file = m_CatalogFiles[i];
        if (!IsPdfType(file->m_strFileType))
            continue;
        if (file->m_strFilePath.CompareNoCase(output) != 0)
            ::DeleteFileA(file->m_strFilePath);
        delete file;
        m_CatalogFiles.RemoveAt(i);
    }

    CatalogFile* merged = new CatalogFile;
    merged->m_strDownloadSourceName =
        m_CatalogFiles.IsEmpty() ? pageSource : m_CatalogFiles[0]->m_strDownloadSourceName;
    merged->m_strFileType = "PDF";
    merged->m_strFilePath = output;
    merged->m_nFileSize = size;
    m_CatalogFiles.Add(merged);
    PagesMerged(*merged);
    return 1;
}

bool CDocumentThread::HasPagesToFinish() const
{
    return true;
}

void CDocumentThread::JudgePage(const CString&) {}

void CDocumentThread::PagesMerged(const CatalogFile&) {}

void CDocumentThread::AppendCatalogItems(CString title, CString filePath, CString sourceName,
                                         CString fileSize, CString fileType)
{
    InsertCatalogItem(m_strDocumentXml, FormatCatalogItem(title, filePath, sourceName, fileSize, fileType));
}

void CDocumentThread::DiscardLocationFiles()
{
    m_nBusy = 1;
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i)
        ::DeleteFileA(m_CatalogFiles[i]->m_strFilePath);
    for (INT_PTR i = 0; i < m_PageCopies.GetSize(); ++i)
        ::DeleteFileA(m_PageCopies[i]);
    ClearCatalogFiles();
    BuildDocumentXml();
    m_nBusy = 0;
}

void CDocumentThread::ClearCatalogFiles()
{
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i)
        delete m_CatalogFiles[i];
    m_CatalogFiles.RemoveAll();
    m_PageCopies.RemoveAll();
}
