// The ImageCollection step of the document threads: a document fetched page by page, one URL
// per page, each reply stored as one file in the document's folder and recorded as one
// catalog file; a page that does not come in any of its attempts fails the step. The
// transfers run through urlmon with the program's own callback object, which puts the OPS
// bearer line on image requests and fails every reply other than 200, each on a worker thread
// of its own (PageTransfer), so that a stop ends the step at once however the server stalls.
// Which pages a step fetches is the thread's plan (PlanPages).
#include "DocumentThread.h"

#include "OpsTokenCache.h"
#include "PageTransfer.h"
#include "SafeNames.h"
#include "ServiceHosts.h"
#include "WorkerTask.h"
#include "XmlHelpers.h"

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


int CDocumentThread::ImageCollectionStep(IXMLDOMNodePtr step, CString locationName)
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

    PageRun run;
    if (!PlanPages(total, run.plan))
        return 0;
    int start = LeadingNumber(Variable("STARTPAGE"));
    if (start == 0)
        start = 1;
    run.step = step;
    run.locationName = locationName;
    run.urlTemplate = urlTemplate;
    run.mask = mask;
    run.type = type;

    bool bStop = false;
    for (int page = start; !bStop && !IsWorkStopped(); ++page) {
        // A limited run takes the limit's pages from the start page (a first-pages run does
        // not count a page that came back as an HTML page); it goes past the document's last
        // page only where the plan allows.
        if (page - start >= run.plan.nLimit)
            break;
        if (run.plan.bWithinTotal && page > total)
            break;
        const PageResult result = FetchPage(run, page);
        if (result == PageQuit || result == PageExtractFailed || result == PageMissing)
            return 0;
        if (result == PageStop)
            bStop = true;
    }
    return bStop ? 0 : 1;
}

CDocumentThread::PageResult CDocumentThread::FetchPage(PageRun& run, int page)
{
    m_Status.m_nCurrentPage = page;
    CString title = ReplaceVariables("[DOCUMENTTITLE]");
    if (title == "[DOCUMENTTITLE]")
        title = "Title not found";
    m_Status.m_strTitle = title;
    PageStarting();

    CString url = run.urlTemplate;
    url.Replace("[CURRENTPAGE]", Decimal(page));
    url = ReplaceVariables(url);

    CString transferFile;
    switch (TransferPage(url, run, transferFile)) {
    case TransferDone:
        break;
    case TransferNoFile:
        return PageStop;
    case TransferQuit:
        return PageQuit;
    case TransferFailed:
        // A page that never came fails the step: a document without it is not filed, and
        // the source, then the queue, try again.
        return PageMissing;
    }

    const bool bFirstPages = run.plan.bFirstPages;
    const CString reply = ReadTransferFile(transferFile, bFirstPages);
    ::DeleteFileA(transferFile);
    if (bFirstPages && reply.Find(kHtmlPageMark) >= 0)
        ++run.plan.nLimit;

    m_mapVariables.SetAt("HTTPHEADER", "");
    // An exception in the extraction leaves the page as it came.
    bool bExtracted = true;
    const bool bRan = RunGuarded(nullptr, [&] { bExtracted = ExtractValues(run.step, reply) != 0; });
    if (!bExtracted)
        return PageExtractFailed;
    if (!bRan && bFirstPages)
        ::MessageBoxA(nullptr, "Exception in ProcessImageCollectionNode2\n", "AS", MB_OK);

    if (reply.IsEmpty())
        return PageStop;

    m_Status.m_dRate = m_WebGrab.m_dRate / 1024.0;
    m_Status.m_dElapsed = m_WebGrab.m_dElapsed;
    return StorePage(run, page, reply) ? PageStored : PageStop;
}

bool CDocumentThread::StorePage(const PageRun& run, int page, const CString& reply)
{
    CString name = run.mask;
    name.Replace("[CURRENTPAGE]", Decimal(page));
    name.Replace("[THREADID]", Decimal(Fields().nId));
    name.Replace("[THREADCOUNTER]", Decimal(Fields().nFileCounter));
    name = MakeSafeFileName(name);
    if (name.IsEmpty())
        return false;
    const CString path = Fields().folderSlash + name;

    // A page replaces a file of the same name whole, unless the plan keeps existing files.
    if (!WriteCatalogFile(path, reply, run.plan.bKeepExisting ? CREATE_NEW : CREATE_ALWAYS, run.locationName,
                          run.type))
        return false;
    ++Fields().nFileCounter;

    if (run.plan.bFirstPages) {
        const CString copy = FirstPagesCopyPath(path);
        if (!copy.IsEmpty() && ::CopyFileA(path, copy, FALSE))
            m_PageCopies.Add(copy);
    }
    return true;
}

CDocumentThread::TransferResult CDocumentThread::TransferPage(const CString& url, PageRun& run, CString& file)
{
    const bool bOps = IsOpsUrl(url);
    const auto isStopped = [this] { return IsWorkStopped(); };
    for (int attempt = 0; attempt < kTransferAttempts;) {
        // A stalled reply holds no attempt longer than the reply time-out, and a stop lets go
        // of it at once.
        const PageTransfer transfer = TransferPageFile(url, isStopped, m_dwReplyTimeout);
        if (transfer.outcome == PageTransfer::Done) {
            // The token may expire again before a later page: that page may renew it too.
            run.bTokenRenewed = false;
            file = transfer.file;
            return TransferDone;
        }
        if (transfer.outcome == PageTransfer::NoFile)
            return TransferNoFile;
        if (IsWorkStopped())
            return TransferQuit;
        // The OPS service refuses a token it no longer accepts with 400: the token is
        // renewed once for the page, and that attempt does not count. A renewal the token
        // endpoint refuses leaves the old token, which the page's attempts then meet. The
        // renewal, too, never holds a stop.
        if (bOps && transfer.dwStatus == 400 && !run.bTokenRenewed) {
            run.bTokenRenewed = true;
            if (!RunOnWorker([] { COpsTokenCache::ForceRefresh(); }, isStopped))
                return TransferQuit;
            continue;
        }
        ++attempt;
    }
    return TransferFailed;
}

bool CDocumentThread::WriteCatalogFile(const CString& path, const CString& bytes, DWORD dwDisposition,
                                       const CString& sourceName, const CString& type)
{
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, dwDisposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const DWORD length = static_cast<DWORD>(bytes.GetLength());
    DWORD written = 0;
    const bool bWritten = ::WriteFile(h, bytes.GetString(), length, &written, nullptr) && written == length;
    ::CloseHandle(h);
    if (!bWritten) {
        ::DeleteFileA(path);  // a partly written file is not a file of the document
        return false;
    }
    CatalogFile* file = new CatalogFile;
    file->m_strDownloadSourceName = sourceName;
    file->m_strFilePath = path;
    file->m_nFileSize = static_cast<int>(written);
    file->m_strFileType = type;
    m_CatalogFiles.Add(file);
    return true;
}
