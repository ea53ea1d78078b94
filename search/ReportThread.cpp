#include "ReportThread.h"

#include "BindStatusCallback.h"
#include "DataFiles.h"
#include "DocumentNumbers.h"
#include "DocumentRecord.h"
#include "FileCrypt.h"
#include "KeyFunctions.h"
#include "OpsTokenCache.h"
#include "PdfMerge.h"
#include "Placeholders.h"
#include "ProjectIds.h"
#include "RegEx.h"
#include "ReportMessages.h"
#include "SafeNames.h"
#include "SearchText.h"
#include "ServiceHosts.h"
#include "TextHelpers.h"
#include "TiffToPdf.h"
#include "TraceLine.h"
#include "XmlHelpers.h"

#include <urlmon.h>

#include <cstdlib>
#include <exception>
#include <vector>

IMPLEMENT_DYNCREATE(CReportThread, CWinThread)

BEGIN_MESSAGE_MAP(CReportThread, CWinThread)
    ON_THREAD_MESSAGE(UM_THREAD_START, &CReportThread::OnDownloadDocument)
    ON_THREAD_MESSAGE(UM_REPORT_CANCEL, &CReportThread::OnCancel)
END_MESSAGE_MAP()

namespace {

const int kTransferAttempts = 22;
const char kDefaultMask[] = "[THREADID]_[CURRENTPAGE]_[THREADCOUNTER].%s";
const char kServiceErrorText[] = "If you believe that this error is caused by a fault of the application";

CString Decimal(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

CString NodeText(IXMLDOMNodePtr node)
{
    return ToAnsi(node->Gettext());
}

void TraceException(const char* where, const CString& what)
{
    WriteTraceLine(CString("CReportThread::") + where + "-Exception: " + what);
}

CString CutAtAmpersand(CString value)
{
    const int amp = value.Find('&');
    return amp >= 0 ? value.Left(amp) : value;
}

int FileSize(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data) || data.nFileSizeHigh ||
        data.nFileSizeLow > 0x7FFFFFFF)
        return -1;
    return static_cast<int>(data.nFileSizeLow);
}

bool EndsWithNoCase(const CString& text, const char* ending)
{
    const CString e(ending);
    return text.GetLength() >= e.GetLength() && text.Right(e.GetLength()).CompareNoCase(e) == 0;
}

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

bool ReadWholeFile(const CString& path, CString& bytes)
{
    bytes.Empty();
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = ::GetFileSize(h, nullptr);
    bool ok = size != INVALID_FILE_SIZE && size < 0x40000000;
    if (ok && size > 0) {
        char* buffer = bytes.GetBuffer(static_cast<int>(size));
        DWORD read = 0;
        ok = ::ReadFile(h, buffer, size, &read, nullptr) && read == size;
        bytes.ReleaseBuffer(ok ? static_cast<int>(size) : 0);
    }
    ::CloseHandle(h);
    return ok;
}

} // namespace

CReportThread::CReportThread() : m_mapVariables(10)
{
    m_WebGrab.m_pQuitFlag = &m_nCancel;
}

CReportThread::~CReportThread()
{
    ClearCatalogFiles();
}

BOOL CReportThread::InitInstance()
{
    ::CoInitialize(nullptr);
    return TRUE;
}

int CReportThread::ExitInstance()
{
    return CWinThread::ExitInstance();
}

void CReportThread::ParseDocumentNumber(CString number, CString title)
{
    CString work = number;
    work.Remove(' ');
    work.MakeUpper();
    work.Remove(',');
    if (work.Left(2) == "RE")
        work.Replace("RE", "USRE");
    if (work.Left(2) == "PP")
        work.Replace("PP", "USPP");
    m_strTitle = title;

    m_strKindCode.Empty();
    RegEx split("([A-Z][A-Z])(.+)", false);
    if (split.Search(work)) {
        m_strCountryCode = split.What(1);
        m_strDocumentNumber = split.What(2);
        // The rows of a search carry the kind of the publication found ("US7123456B2",
        // "US6000000A"): it is the number's kind, not part of its digits, and it chooses
        // among the publications of the number.
        RegEx kind("^([A-Z]{0,2}[0-9][0-9/]*)([A-Z][0-9]?)$", false);
        if (kind.Search(m_strDocumentNumber)) {
            m_strKindCode = kind.What(2);
            m_strDocumentNumber = kind.What(1);
        }
    } else {
        if (work.Left(1) == "D") {
            while (work.GetLength() < 7) {
                const int before = work.GetLength();
                work.Replace("D", "D0");
                if (work.GetLength() == before)
                    break;
            }
        }
        while (work.GetLength() < 7)
            work.Insert(0, '0');
        m_strCountryCode = "US";
        m_strDocumentNumber = work;
    }
    m_nApplication = IsApplicationNumber(m_strCountryCode, m_strDocumentNumber) ? 1 : 0;

    // The folder is named after the number, which may come from a web page or a session
    // file: a number that names no single file in the run folder gets no folder, and its
    // job then finds nothing.
    const CString cleaned = MakeSafeFileName(StripSlashes(work));
    m_strResultPath = cleaned;
    if (cleaned.IsEmpty()) {
        m_strDocumentFolder.Empty();
        return;
    }
    m_strDocumentFolder = m_strFolderSlash + cleaned;
    m_strFolderSlash = m_strDocumentFolder + "\\";
}

void CReportThread::AbortFetch()
{
    m_WebGrab.Abort();
}

void CReportThread::OnCancel(WPARAM, LPARAM)
{
    m_nStopRequested = 1;
    AbortFetch();
    m_bAutoDelete = TRUE;
    m_nCancel = 1;
}

CString CReportThread::Variable(const CString& name, const CString& missing)
{
    CString value;
    return m_mapVariables.Lookup(name, value) ? value : missing;
}

void CReportThread::OnDownloadDocument(WPARAM, LPARAM)
{
    m_nBusy = 1;
    m_Status.Reset();
    BuildDocumentXml();
    const bool bHasFolder = !m_strDocumentFolder.IsEmpty();
    if (bHasFolder)
        ::CreateDirectoryA(m_strDocumentFolder, nullptr);

    m_mapVariables.RemoveAll();
    m_mapVariables.SetAt("COUNTRYCODE", m_strCountryCode);
    m_mapVariables.SetAt("DOCUMENTNUMBER", m_strDocumentNumber);
    m_mapVariables.SetAt("KINDCODE", m_strKindCode);
    m_mapVariables.SetAt("THREADID", Decimal(m_nItemIndex));

    // No exception may leave the job: the run waits for its reply.
    try {
        IXMLDOMDocument2Ptr recipe = CreateDomDocument();
        CFileCrypt crypt;
        CString text;
        crypt.ReadEncryptedFile(GetAppDirectory() + "\\Download.cfg", text);
        recipe->Putasync(VARIANT_FALSE);
        recipe->loadXML(_bstr_t(text));
        if (bHasFolder)
            RunSources(recipe);
    } catch (_com_error& e) {
        TraceException("OnDownloadDocument()", ToAnsi(e.Description()));
    } catch (CException* e) {
        e->Delete();
        TraceException("OnDownloadDocument()", "framework exception");
    } catch (const std::exception& e) {
        TraceException("OnDownloadDocument()", e.what());
    }
    if (!m_Status.m_nSuccess && !m_CatalogFiles.IsEmpty())
        DiscardLocationFiles();

    m_nBusy = 0;
    if (!m_Status.m_nSuccess && bHasFolder)
        ::RemoveDirectoryA(m_strDocumentFolder);
    m_Status.m_nDone = 1;

    if (m_nCancel) {
        ::SendMessageA(m_hOwner, UM_REPORT_ITEM_DONE, static_cast<WPARAM>(m_nItemIndex), kReportCancelled);
        ClearCatalogFiles();
        // A stop set auto-delete: the object goes with the thread.
        AfxEndThread(0, TRUE);
    }
    m_Status.m_strDocumentXml = m_strDocumentXml;
    ::SendMessageA(m_hOwner, UM_REPORT_ITEM_DONE, static_cast<WPARAM>(m_nItemIndex), 0);
    ClearCatalogFiles();
}

void CReportThread::RunSources(IXMLDOMDocument2Ptr recipe)
{
    CString attribute;
    if (m_strCountryCode == "US")
        attribute = m_nApplication == 1 ? "USApplicationPriority" : "USPatentPriority";
    else
        attribute = m_nApplication == 1 ? "InternationalApplicationPriority" : "InternationalPatentPriority";
    ClearCatalogFiles();

    bool bDone = false;
    for (int p = 1; !bDone && !m_nCancel; ++p) {
        CString xpath;
        if (m_strLocationUID.IsEmpty())
            xpath.Format("/ParsingInformation/DownloadLocation[@%s='%d']", attribute.GetString(), p);
        else
            xpath.Format("/ParsingInformation/DownloadLocation[@UID=%s]", XPathLiteral(m_strLocationUID).GetString());
        IXMLDOMNodePtr source = recipe->selectSingleNode(_bstr_t(xpath));
        if (!source) {
            bDone = true;
            m_Status.m_nSuccess = 0;
            m_Status.m_nCurrentPage = 0;
        } else if (RunDownloadLocation(source) == 1 && !m_CatalogFiles.IsEmpty()) {
            bDone = true;
            m_Status.m_nSuccess = 1;
            CString title = Variable("DOCUMENTTITLE");
            m_strTitle = title;
            FinishDocument();
            FillDocumentRecord();
        } else {
            DiscardLocationFiles();
            m_nBusy = 1;
            if (!m_strLocationUID.IsEmpty())
                bDone = true;
        }
        m_mapVariables.SetAt("COUNTRYCODE", m_strCountryCode);
        m_mapVariables.SetAt("DOCUMENTNUMBER", m_strDocumentNumber);
    }
}

void CReportThread::FillDocumentRecord()
{
    CString title = CleanTitleText(m_strTitle);
    title.Trim();
    m_strDocumentXml.Replace("[DOCUMENTTITLE]", EscapeXml(title));
    m_strDocumentXml.Replace("[DOCUMENTINVENTOR]", EscapeXml(Variable("DOCUMENTINVENTOR", "NA")));
    m_strDocumentXml.Replace("[DOCUMENTASSIGNEE]", EscapeXml(Variable("DOCUMENTASSIGNEE", "NA")));
}

int CReportThread::RunDownloadLocation(IXMLDOMNodePtr location)
{
    CString name;
    GetXmlAttribute(location, "Name", name);
    IXMLDOMNodeListPtr steps = location->selectNodes(L"Step");
    const long count = steps ? steps->Getlength() : 0;
    for (long i = 0; i < count; ++i) {
        if (m_nCancel)
            return 0;
        try {
            IXMLDOMNodePtr step = steps->Getitem(i);
            if (!CheckCondition(step))
                continue;
            ApplyImmediateHardCodeKeys(step);
            CString type;
            GetXmlAttribute(step, "Type", type);
            int nResult = 1;
            if (type == "Process")
                nResult = ProcessStep(step, name);
            else if (type == "ImageCollection")
                nResult = ImageCollectionStep(step, name);
            if (nResult == 0)
                return 0;
            ApplyHardCodeKeys(step, true);
        } catch (_com_error& e) {
            TraceException("RunDownloadLocation()", ToAnsi(e.Description()));
            return 0;
        } catch (CException* e) {
            e->Delete();
            TraceException("RunDownloadLocation()", "framework exception");
            return 0;
        } catch (const std::exception& e) {
            TraceException("RunDownloadLocation()", e.what());
            return 0;
        }
    }
    return 1;
}

CString CReportThread::ReplaceVariables(CString text)
{
    return FillPlaceholders(m_mapVariables, text, false);
}

CString CReportThread::ReplaceVariablesEscaped(CString text)
{
    return FillPlaceholders(m_mapVariables, text, true);
}

int CReportThread::CheckCondition(IXMLDOMNodePtr step)
{
    int nResult = 1;
    IXMLDOMNodeListPtr conditions = step->selectNodes(L"Condition");
    const long count = conditions ? conditions->Getlength() : 0;
    for (long i = 0; i < count; ++i) {
        IXMLDOMNodePtr condition = conditions->Getitem(i);
        CString target;
        if (!GetXmlAttribute(condition, "Target", target)) {
            AfxMessageBox("WARNING: Condition has no target! Please contact tech support to report this issue.",
                          MB_OK);
            continue;
        }
        RegEx pattern(ReplaceVariables(NodeText(condition)), true);
        if (!pattern.Search(ReplaceVariables(target)))
            nResult = 0;
    }
    return nResult;
}

int CReportThread::CheckFatalCondition(CString page, IXMLDOMNodePtr step)
{
    IXMLDOMNodeListPtr fatals = step->selectNodes(L"FatalCondition");
    const long count = fatals ? fatals->Getlength() : 0;
    for (long i = 0; i < count; ++i) {
        RegEx pattern(ReplaceVariables(NodeText(fatals->Getitem(i))), true);
        if (pattern.Search(page))
            return 0;
    }
    return 1;
}

int CReportThread::ProcessStep(IXMLDOMNodePtr step, CString)
{
    IXMLDOMNodePtr url = step->selectSingleNode(L"Url");
    if (!url)
        return 0;
    CString page;
    const int nSize = m_WebGrab.GrabWebPage(ReplaceVariables(NodeText(url)), page, 320, false);
    m_mapVariables.SetAt("HTTPHEADER", "");
    if (nSize == 0)
        return 0;
    if (!CheckFatalCondition(page, step))
        return 0;
    return ExtractValues(step, page);
}

int CReportThread::ExtractValues(IXMLDOMNodePtr step, const CString& page)
{
    if (m_nCancel)
        return 0;
    if (RegEx(kServiceErrorText, true).Search(page))
        return 0;
    IXMLDOMNodeListPtr rules = step->selectNodes(L"Extract");
    const long count = rules ? rules->Getlength() : 0;
    for (long i = 0; i < count; ++i) {
        if (m_nCancel)
            return 0;
        IXMLDOMNodePtr rule = rules->Getitem(i);
        CString name;
        if (!GetXmlAttribute(rule, "Name", name))
            continue;
        CString source = page;
        GetXmlAttribute(rule, "From", source);
        CString replaceNull = "No";
        GetXmlAttribute(rule, "ReplaceNull", replaceNull);
        if (replaceNull == "Yes")
            source = NullsToSpaces(source);
        source = ReplaceVariables(source);
        RegEx pattern(ReplaceVariablesEscaped(NodeText(rule)), true);
        if (pattern.Search(source)) {
            m_mapVariables.SetAt(name, pattern.What(1));
        } else {
            m_mapVariables.SetAt(name, "");
            CString fatal;
            if (GetXmlAttribute(rule, "Fatal", fatal) && fatal == "1")
                return 0;
        }
    }
    return 1;
}

CString CReportThread::ApplyReportKeyFunction(const CString& function, const CString& value,
                                              const CString& argument)
{
    if (function == "getKC") {
        const int k = value.Find('K');
        const int c = k >= 0 ? value.Find('C', k) : -1;
        if (c < 0)
            return value;
        CString rest = value;
        rest.Delete(0, c + 2);
        return CutAtAmpersand(rest);
    }
    if (function == "getDate") {
        const int d = value.Find("da");
        if (d < 0)
            return value;
        CString rest = value;
        rest.Delete(0, d + 5);
        return CutAtAmpersand(rest);
    }
    if (function == "isUS" || function == "RemoveWhiteSpace" || function == "FixLinkProtocol")
        return value;
    return ApplyKeyFunction(function, value, argument);
}

void CReportThread::ApplyImmediateHardCodeKeys(IXMLDOMNodePtr step)
{
    ApplyHardCodeKeys(step, false);
}

void CReportThread::ApplyHardCodeKeys(IXMLDOMNodePtr step, bool bDelayed)
{
    IXMLDOMNodeListPtr keys = step->selectNodes(bDelayed ? L"HardCodeKey[@DelayProcess='Yes']" : L"HardCodeKey");
    const long count = keys ? keys->Getlength() : 0;
    for (long i = 0; i < count; ++i) {
        IXMLDOMNodePtr key = keys->Getitem(i);
        CString name;
        if (!GetXmlAttribute(key, "Name", name))
            continue;
        CString function, argument, urlEncode, delay;
        GetXmlAttribute(key, "Function", function);
        GetXmlAttribute(key, "Argument", argument);
        GetXmlAttribute(key, "URLEncode", urlEncode);
        GetXmlAttribute(key, "DelayProcess", delay);
        if (!bDelayed && delay == "Yes")
            continue;
        CString value =
            ApplyReportKeyFunction(function, ReplaceVariables(NodeText(key)), ReplaceVariables(argument));
        if (urlEncode == "Yes")
            value = m_URLEncode.URLEncode(value);
        value.Remove('\r');
        value.Remove('\n');
        m_mapVariables.SetAt(name, value);
    }
}

int CReportThread::ImageCollectionStep(IXMLDOMNodePtr step, CString locationName)
{
    IXMLDOMNodePtr url = step->selectSingleNode(L"Url");
    if (!url)
        return 0;
    CString quantity, type, mask;
    if (!GetXmlAttribute(step, "ResultQuantity", quantity) || !GetXmlAttribute(step, "OutputType", type))
        return 0;
    if (!GetXmlAttribute(step, "OutputFileMask", mask))
        mask.Format(kDefaultMask, type.GetString());
    if (quantity == "Unknown")
        quantity = Variable("MAXPAGES", quantity);
    m_Status.m_nTotalPages = std::atoi(quantity);

    // The first page is 1, as in a download: a recipe that names no start page would
    // otherwise ask for a page 0, which the services do not have.
    int page = std::atoi(Variable("STARTPAGE"));
    if (page < 1)
        page = 1;
    if (m_nCancel)
        return 0;
    m_Status.m_nCurrentPage = page;
    CString title = ReplaceVariables("[DOCUMENTTITLE]");
    m_Status.m_strTitle = title == "[DOCUMENTTITLE]" ? CString("Title not found") : title;

    CString address = NodeText(url);
    address.Replace("[CURRENTPAGE]", Decimal(page));
    address = ReplaceVariables(address);

    const CString transferFile = NewTransferFile();
    if (transferFile.IsEmpty())
        return 0;
    bool bArrived = false;
    bool bTokenRenewed = false;
    const bool bOps = IsOpsUrl(address);
    for (int attempt = 0; attempt < kTransferAttempts && !bArrived;) {
        CBindStatusCallback callback;
        const HRESULT hr = ::URLDownloadToFileA(nullptr, address, transferFile, 0, &callback);
        const DWORD status = callback.GetResponseStatus();
        if (hr == S_OK && (status == 0 || status == 200)) {
            bArrived = true;
            break;
        }
        if (m_nCancel) {
            ::DeleteFileA(transferFile);
            return 0;
        }
        // The OPS service refuses a token it no longer accepts with 400: the token is
        // renewed once for the page (the step's only one), and that attempt does not count.
        if (bOps && status == 400 && !bTokenRenewed) {
            bTokenRenewed = true;
            COpsTokenCache::ForceRefresh();
            continue;
        }
        ++attempt;
    }
    CString reply;
    if (bArrived)
        ReadWholeFile(transferFile, reply);
    ::DeleteFileA(transferFile);
    // A page that never came is no first page: the source fails and the next one is tried.
    if (!bArrived || reply.IsEmpty())
        return 0;

    m_mapVariables.SetAt("HTTPHEADER", "");
    if (!ExtractValues(step, reply))
        return 0;

    CString name = mask;
    name.Replace("[CURRENTPAGE]", Decimal(page));
    name.Replace("[THREADID]", Decimal(m_nItemIndex));
    name.Replace("[THREADCOUNTER]", Decimal(m_nFileCounter));
    name = MakeSafeFileName(ReplaceVariables(name));
    if (name.IsEmpty())
        return 0;
    const CString path = m_strFolderSlash + name;
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    const DWORD length = static_cast<DWORD>(reply.GetLength());
    DWORD written = 0;
    const bool bWritten = ::WriteFile(h, reply.GetString(), length, &written, nullptr) && written == length;
    ::CloseHandle(h);
    if (!bWritten) {
        ::DeleteFileA(path);
        return 0;
    }
    CatalogFile* file = new CatalogFile;
    file->m_strDownloadSourceName = locationName;
    file->m_strFilePath = path;
    file->m_nFileSize = static_cast<int>(written);
    file->m_strFileType = type;
    m_CatalogFiles.Add(file);
    ++m_nFileCounter;
    return 1;
}

void CReportThread::FinishDocument()
{
    ConvertImagesToPdf();
    MergePagePdfs();
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i) {
        const CatalogFile* file = m_CatalogFiles[i];
        m_CurrentCatalogFile.m_strFilePath = file->m_strFilePath;
        AppendCatalogItems("", file->m_strFilePath, file->m_strDownloadSourceName, Decimal(file->m_nFileSize),
                           file->m_strFileType);
    }
}

void CReportThread::ConvertImagesToPdf()
{
    CTiffToPdf writer;
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i) {
        CatalogFile* file = m_CatalogFiles[i];
        if (file->m_strFileType != "TIFF")
            continue;
        CString tiffPath = file->m_strFilePath;
        tiffPath.MakeLower();
        CString pdfPath;
        if (EndsWithNoCase(tiffPath, ".tiff"))
            pdfPath = tiffPath.Left(tiffPath.GetLength() - 5) + ".pdf";
        else if (EndsWithNoCase(tiffPath, ".tif"))
            pdfPath = tiffPath.Left(tiffPath.GetLength() - 4) + ".pdf";
        else
            pdfPath = tiffPath + ".pdf";
        const int rc = writer.convertTiffToPdf(tiffPath, pdfPath, nullptr, nullptr, nullptr, nullptr, nullptr,
                                               nullptr, nullptr);
        if (rc != TIFFPDF_DONE) {
            WriteTraceLine("CReportThread::ConvertImagesToPdf()-" + CString(writer.GetMessageText()) + ": " +
                           tiffPath);
            continue;
        }
        ::DeleteFileA(tiffPath);
        file->m_strFileType = "PDF";
        file->m_strFilePath = pdfPath;
        const int size = FileSize(pdfPath);
        file->m_nFileSize = size < 0 ? 0 : size;
    }
}

void CReportThread::MergePagePdfs()
{
    std::vector<CString> inputs;
    CString source;
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i) {
        const CatalogFile* file = m_CatalogFiles[i];
        if (file->m_strFileType != "PDF" && file->m_strFileType != "pdf")
            continue;
        if (::GetFileAttributesA(file->m_strFilePath) == INVALID_FILE_ATTRIBUTES) {
            CString text;
            text.Format("Could not open file %s for merging!", file->m_strFilePath.GetString());
            AfxMessageBox(text, MB_OK);
            continue;
        }
        if (inputs.empty())
            source = file->m_strDownloadSourceName;
        inputs.push_back(file->m_strFilePath);
    }
    if (inputs.empty())
        return;
    CString name = MakeSafeFileName(ReplaceVariables("[COUNTRYCODE][DOCUMENTNUMBER].pdf"));
    if (name.GetLength() >= 4 && name.Left(4) == "USUS")
        name = name.Mid(2);
    if (name.IsEmpty())
        return;
    const CString output = m_strFolderSlash + name;
    CPdfMerge merge;
    if (!merge.MergeFiles(inputs, output))
        return;
    CatalogFile* merged = new CatalogFile;
    merged->m_strDownloadSourceName = source;
    merged->m_strFilePath = output;
    const int size = FileSize(output);
    merged->m_nFileSize = size < 0 ? 0 : size;
    merged->m_strFileType = "PDF";
    m_CatalogFiles.Add(merged);
    m_strResultPath += "\\" + name;
}

void CReportThread::BuildDocumentXml()
{
    const CTimeSpan since = SinceProjectEpoch();
    const CString uid = "DOCUID" + m_strCountryCode + m_strDocumentNumber + since.Format("%D%H%M%S");
    m_strDocumentXml.Format("<?xml version=\"1.0\" ?>\r\n\t<Document Name=\"%s%s\" ParentUID=\"1\" "
                            "DocumentTitle=\"[DOCUMENTTITLE]\" DocumentInventor=\"[DOCUMENTINVENTOR]\" "
                            "DocumentAssignee=\"[DOCUMENTASSIGNEE]\" DownloadDate=\"%d\" TotalSize=\"\" "
                            "UID=\"%s\">\r\n<XMLCatalog>\r\n\t\t",
                            EscapeXml(m_strCountryCode).GetString(), EscapeXml(m_strDocumentNumber).GetString(),
                            static_cast<int>(since.GetTotalSeconds() & 0xFFFFFFFF), EscapeXml(uid).GetString());
    m_strDocumentXml += "\t</XMLCatalog></Document>";
}

void CReportThread::AppendCatalogItems(CString title, CString filePath, CString sourceName, CString fileSize,
                                       CString fileType)
{
    InsertCatalogItem(m_strDocumentXml, FormatCatalogItem(title, filePath, sourceName, fileSize, fileType));
}

void CReportThread::ClearCatalogFiles()
{
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i)
        delete m_CatalogFiles[i];
    m_CatalogFiles.RemoveAll();
}

void CReportThread::DiscardLocationFiles()
{
    m_nBusy = 1;
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i)
        ::DeleteFileA(m_CatalogFiles[i]->m_strFilePath);
    ClearCatalogFiles();
    BuildDocumentXml();
    m_nBusy = 0;
}
