// The ImageCollection step of the download thread: a document fetched page by page, one URL
// per page, each reply stored as one file in the document's folder and recorded as one
// catalog file; a page that does not come in any of its attempts fails the step. The transfers run through urlmon with the program's own callback object,
// which puts the OPS bearer line on image requests and fails every reply other than 200.
#include "PatentThread.h"

#include "BindStatusCallback.h"
#include "DownloadManagerMessages.h"
#include "OpsTokenCache.h"
#include "SafeNames.h"
#include "ServiceHosts.h"
#include "TraceLine.h"
#include "XmlHelpers.h"

#include <urlmon.h>

#include <cstdlib>
#include <exception>

namespace {

const int kTransferAttempts = 22;
const char kDefaultMask[] = "[THREADID]_[CURRENTPAGE]_[THREADCOUNTER].%s";
const char kHtmlPageMark[] = "<HTML><HEAD>";

CString Decimal(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

// The leading decimal number of the text; 0 when it has none. Values too large for a page
// count are held at the largest int.
int LeadingNumber(const CString& text)
{
    long long value = 0;
    for (int i = 0; i < text.GetLength() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x7FFFFFFF)
            return 0x7FFFFFFF;
    }
    return static_cast<int>(value);
}

// A new empty file in the system's temporary folder for one transfer; empty when none can
// be made.
CString NewTransferFile()
{
    char folder[2048] = "";
    const DWORD n = ::GetTempPathA(2000, folder);
    if (n == 0 || n >= 2000)
        return CString();
    char file[2048 + MAX_PATH] = "";
    if (!::GetTempFileNameA(folder, "pat", 0, file))
        return CString();
    return CString(file);
}

// The whole file. A failure leaves the bytes empty and, when asked, tells the user why.
CString ReadTransferFile(const CString& path, bool bReportError)
{
    CString bytes;
    try {
        CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
        const ULONGLONG length = file.GetLength();
        if (length > 0x7FFFFFFF)
            AfxThrowFileException(CFileException::genericException, ERROR_FILE_TOO_LARGE, path);
        const int size = static_cast<int>(length);
        char* buffer = bytes.GetBuffer(size);
        const UINT read = file.Read(buffer, static_cast<UINT>(size));
        bytes.ReleaseBuffer(static_cast<int>(read));
    } catch (CException* e) {
        if (bReportError)
            e->ReportError();
        e->Delete();
        bytes.Empty();
    }
    return bytes;
}

// The path of the copy a first-pages run leaves beside a stored PDF page: "x.pdf" gives
// "xTT.pdf". Empty for a path that does not end in ".pdf".
CString FirstPagesCopyPath(const CString& path)
{
    CString lower = path;
    lower.MakeLower();
    if (lower.GetLength() < 4 || lower.Right(4) != ".pdf")
        return CString();
    return path.Left(path.GetLength() - 4) + "TT.pdf";
}

} // namespace

int CPatentThread::ImageCollectionStep(IXMLDOMNodePtr step, CString locationName)
{
    IXMLDOMNodePtr url = step->selectSingleNode(L"Url");
    if (!url)
        return 0;
    const CString urlTemplate = ToAnsi(url->Gettext());
    CString quantity, type, mask;
    if (!GetXmlAttribute(step, "ResultQuantity", quantity))
        return 0;
    if (!GetXmlAttribute(step, "OutputType", type))
        return 0;
    if (!GetXmlAttribute(step, "OutputFileMask", mask))
        mask.Format(kDefaultMask, type.GetString());

    if (quantity == "Unknown")
        quantity = Variable("MAXPAGES", quantity);
    const int total = LeadingNumber(quantity);
    m_Status.m_nTotalPages = total;

    if (m_nBusy == 0)
        return 0;

    int start = LeadingNumber(Variable("STARTPAGE"));
    if (start == 0)
        start = 1;

    // A document no longer than the page limit is fetched whole.
    if (m_bFirstPageOnly && total <= m_nPageLimit)
        m_bFirstPageOnly = false;

    PageRun run;
    run.step = step;
    run.locationName = locationName;
    run.urlTemplate = urlTemplate;
    run.mask = mask;
    run.type = type;
    run.bFirstPages = m_bFirstPageOnly;
    run.nLimit = m_nPageLimit;

    bool bStop = false;
    for (int page = start; !bStop && !IsQuitRequested(); ++page) {
        // A first-pages run takes the limit's pages from the start page, each page that came
        // back as an HTML page not counted; it never goes past the document's last page.
        if (run.bFirstPages ? (page >= start + run.nLimit || page > total) : page > total)
            break;
        const PageResult result = FetchPage(run, page);
        if (result == PageQuit || result == PageExtractFailed || result == PageMissing)
            return 0;
        if (result == PageStop)
            bStop = true;
    }
    return bStop ? 0 : 1;
}

CPatentThread::PageResult CPatentThread::FetchPage(PageRun& run, int page)
{
    m_Status.m_nCurrentPage = page;
    CString title = ReplaceVariables("[DOCUMENTTITLE]");
    if (title == "[DOCUMENTTITLE]")
        title = "Title not found";
    m_Status.m_strTitle = title;
    ::SendMessageA(m_hOwner, UM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(m_nDownloadID), 0);

    CString url = run.urlTemplate;
    url.Replace("[CURRENTPAGE]", Decimal(page));
    url = ReplaceVariables(url);

    const CString transferFile = NewTransferFile();
    if (transferFile.IsEmpty())
        return PageStop;
    bool bArrived = false;
    switch (TransferPage(url, transferFile, run)) {
    case TransferDone:
        bArrived = true;
        break;
    case TransferQuit:
        ::DeleteFileA(transferFile);
        return PageQuit;
    case TransferFailed:
        break;
    }
    if (!bArrived) {
        // A page that never came fails the step: a document without it is not filed, and
        // the source, then the queue, try again.
        ::DeleteFileA(transferFile);
        return PageMissing;
    }

    const CString reply = ReadTransferFile(transferFile, run.bFirstPages);
    ::DeleteFileA(transferFile);
    if (run.bFirstPages && reply.Find(kHtmlPageMark) >= 0)
        ++run.nLimit;

    m_mapVariables.SetAt("HTTPHEADER", "");
    try {
        if (!ExtractValues(run.step, reply))
            return PageExtractFailed;
    } catch (_com_error&) {
        ReportExtractionException(run);
    } catch (CException* e) {
        e->Delete();
        ReportExtractionException(run);
    } catch (const std::exception&) {
        ReportExtractionException(run);
    }

    if (reply.IsEmpty())
        return PageStop;

    m_Status.m_dRate = m_WebGrab.m_dRate / 1024.0;
    m_Status.m_dElapsed = m_WebGrab.m_dElapsed;

    CString name = run.mask;
    name.Replace("[CURRENTPAGE]", Decimal(page));
    name.Replace("[THREADID]", Decimal(m_nDownloadID));
    name.Replace("[THREADCOUNTER]", Decimal(m_nThreadCounter));
    name = MakeSafeFileName(name);
    if (name.IsEmpty())
        return PageStop;
    const CString path = m_strTempFolderSlash + name;

    // A full run replaces a file of the same name whole; a first-pages run never writes
    // over one.
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, run.bFirstPages ? CREATE_NEW : CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return PageStop;
    const DWORD length = static_cast<DWORD>(reply.GetLength());
    DWORD written = 0;
    const bool bWritten = ::WriteFile(h, reply.GetString(), length, &written, nullptr) && written == length;
    ::CloseHandle(h);
    if (!bWritten) {
        ::DeleteFileA(path);  // a partly written page is not a page
        return PageStop;
    }
    CatalogFile* file = new CatalogFile;
    file->m_strDownloadSourceName = run.locationName;
    file->m_strFilePath = path;
    file->m_nFileSize = static_cast<int>(written);
    file->m_strFileType = run.type;
    m_CatalogFiles.Add(file);
    ++m_nThreadCounter;

    if (run.bFirstPages) {
        const CString copy = FirstPagesCopyPath(path);
        if (!copy.IsEmpty())
            ::CopyFileA(path, copy, FALSE);
    }
    return PageStored;
}

CPatentThread::TransferResult CPatentThread::TransferPage(const CString& url, const CString& file,
                                                          PageRun& run)
{
    const bool bOps = IsOpsUrl(url);
    for (int attempt = 0; attempt < kTransferAttempts;) {
        CBindStatusCallback callback;
        const HRESULT hr = ::URLDownloadToFileA(nullptr, url, file, 0, &callback);
        const DWORD status = callback.GetResponseStatus();
        if (hr == S_OK && (status == 0 || status == 200)) {
            // The token may expire again before a later page: that page may renew it too.
            run.bTokenRenewed = false;
            return TransferDone;
        }
        if (IsQuitRequested())
            return TransferQuit;
        // The OPS service refuses a token it no longer accepts with 400: the token is
        // renewed once for the page, and that attempt does not count. A renewal the token
        // endpoint refuses leaves the old token, which the page's attempts then meet.
        if (bOps && status == 400 && !run.bTokenRenewed) {
            run.bTokenRenewed = true;
            COpsTokenCache::ForceRefresh();
            continue;
        }
        ++attempt;
    }
    return TransferFailed;
}

void CPatentThread::ReportExtractionException(const PageRun& run)
{
    if (run.bFirstPages)
        ::MessageBoxA(nullptr, "Exception in ProcessImageCollectionNode2\n", "AS", MB_OK);
}
