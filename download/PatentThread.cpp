#include "PatentThread.h"

#include "DataFiles.h"
#include "DocumentRecord.h"
#include "DownloadManagerMessages.h"
#include "FileCrypt.h"
#include "PatentThreadMessages.h"
#include "ProjectIds.h"
#include "RegEx.h"
#include "SafeNames.h"
#include "TextHelpers.h"
#include "TraceLine.h"
#include "XmlHelpers.h"

IMPLEMENT_DYNCREATE(CPatentThread, CWinThread)

BEGIN_MESSAGE_MAP(CPatentThread, CWinThread)
    ON_THREAD_MESSAGE(UM_THREAD_START, &CPatentThread::OnDownloadDocument)
    ON_THREAD_MESSAGE(UM_THREAD_QUIT, &CPatentThread::OnQuitThread)
    ON_THREAD_MESSAGE(UM_USE_REPLACEMENT_IMAGE, &CPatentThread::OnUseReplacementImage)
END_MESSAGE_MAP()

namespace {

// The priority attribute of a document class.
const char* PriorityAttribute(const CString& countryCode, int nApplication)
{
    if (countryCode == "US")
        return nApplication == 1 ? "USApplicationPriority" : "USPatentPriority";
    if (countryCode == "EP")
        return nApplication == 1 ? "EuropeanApplicationPriority" : "EuropeanPatentPriority";
    return nApplication == 1 ? "InternationalApplicationPriority" : "InternationalPatentPriority";
}

IXMLDOMNodePtr SelectLocation(IXMLDOMDocument2Ptr recipe, const CString& xpath)
{
    return recipe->selectSingleNode(_bstr_t(xpath));
}

// The trace line of an exception that ended a job's work early.
void TraceException(const char* pszWhere, const CString& what)
{
    WriteTraceLine(CString("CPatentThread::") + pszWhere + "-Exception: " + what);
}

} // namespace

CPatentThread::CPatentThread() : m_mapVariables(10)
{
    m_WebGrab.m_pQuitFlag = &m_nQuit;
}

CPatentThread::~CPatentThread()
{
    ClearCatalogFiles();
}

BOOL CPatentThread::InitInstance()
{
    ::CoInitialize(nullptr);
    m_nImageRejected = -1;
    AfxSocketInit();
    return TRUE;
}

int CPatentThread::ExitInstance()
{
    ::CoUninitialize();
    return CWinThread::ExitInstance();
}

void CPatentThread::ParseDocumentNumber(CString number)
{
    m_strWrapperNumber = number;
    m_strEnteredNumber = number;

    CString work = number;
    work.Remove(' ');
    work.MakeUpper();
    work.Remove(',');

    RegEx us("US(.+)", false);
    RegEx other("([A-Z][A-Z]+)(.+)", false);
    if (us.Search(work, RegEx::MatchNotBol)) {
        m_strCountryCode = "US";
        m_strDocumentNumber = us.What(1);
    } else if (other.Search(work, RegEx::MatchNotBol)) {
        m_strCountryCode = other.What(1);
        m_strDocumentNumber = other.What(2);
    } else {
        m_strCountryCode = "US";
        m_strDocumentNumber = work;
    }
    if (m_bFileWrapperMode)
        m_strCountryCode.Empty();
    m_nApplication = m_strDocumentNumber.GetLength() >= 8 ? 1 : 0;

    if (m_bLookupMode) {
        // The look-up's answer goes into the folder it was given.
        m_strTempFolder = m_strTempFolderSlash;
        return;
    }
    // The document's folder is named after the number and the kind code. Neither may lead
    // out of the save folder or name it, nor name the saved reports' folder there (the job
    // empties its folder first): a number without a usable name gets no folder, and its
    // job then fails without touching the disk.
    CString fileName = StripSlashes(work);
    if (m_bFileWrapperMode)
        fileName = "FW" + fileName;
    m_strKindCode = KeepLettersAndDigits(m_strKindCode);
    const CString folderName = MakeSafeFileName(fileName + m_strKindCode);
    if (folderName.IsEmpty() || folderName.CompareNoCase("Reports") == 0) {
        m_strTempFolder.Empty();
        m_strTempFolderSlash.Empty();
        return;
    }
    m_strTempFolder = m_strTempFolderSlash + folderName;
    m_strTempFolderSlash = m_strTempFolder + "\\";
}

void CPatentThread::Cancel()
{
    if (m_bFileWrapperMode)
        m_Wrapper.Cancel();
    else
        m_WebGrab.Abort();
    m_nBusy = 0;
}

void CPatentThread::OnDownloadDocument(WPARAM, LPARAM)
{
    m_nBusy = 1;
    m_Status.Reset();
    BuildDocumentXml();
    if (m_bFileWrapperMode)
        m_Wrapper.AddMessaging(reinterpret_cast<UINT_PTR>(m_hOwner), reinterpret_cast<UINT_PTR>(&m_Status),
                               static_cast<UINT_PTR>(m_nDownloadID), UM_DOWNLOAD_PROGRESS);

    // A look-up works in the folder it was given, which is never emptied or removed.
    const bool bHasFolder = !m_strTempFolder.IsEmpty() && !m_bLookupMode;
    if (bHasFolder) {
        DeleteTempFolder(m_strTempFolder, false);
        ::CreateDirectoryA(m_strTempFolder, nullptr);
    }

    m_mapVariables.RemoveAll();
    m_mapVariables.SetAt("SUFFIX", m_strSuffix);
    m_mapVariables.SetAt("COUNTRYCODE", m_strCountryCode);
    m_mapVariables.SetAt("DOCUMENTNUMBER", m_strDocumentNumber);
    m_mapVariables.SetAt("KINDCODE", m_strKindCode);
    CString threadId;
    threadId.Format("%d", m_nDownloadID);
    m_mapVariables.SetAt("THREADID", threadId);

    // No exception may leave the job: the owner must hear of its end in every case.
    try {
        IXMLDOMDocument2Ptr recipe = CreateDomDocument();
        CFileCrypt crypt;
        CString text;
        crypt.ReadEncryptedFile(GetAppDirectory() + "\\Download.cfg", text);
        recipe->loadXML(_bstr_t(text));
        recipe->Putasync(VARIANT_FALSE);
        if (bHasFolder || m_bLookupMode)
            RunSources(recipe);
    } catch (_com_error& e) {
        TraceException("OnDownloadDocument()", ToAnsi(e.Description()));
    } catch (CException* e) {
        char text[512] = "";
        e->GetErrorMessage(text, sizeof text);
        e->Delete();
        TraceException("OnDownloadDocument()", text);
    } catch (const std::exception& e) {
        TraceException("OnDownloadDocument()", e.what());
    }
    if (!m_Status.m_nSuccess && !m_CatalogFiles.IsEmpty())
        DiscardLocationFiles();

    m_nBusy = 0;
    if (!m_Status.m_nSuccess && bHasFolder)
        ::RemoveDirectoryA(m_strTempFolder);
    m_Status.m_nDone = 1;
    m_Status.m_strDocumentXml = m_strDocumentXml;
    ::SendMessageA(m_hOwner, UM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(m_nDownloadID), 0);
    ClearCatalogFiles();
}

void CPatentThread::RunSources(IXMLDOMDocument2Ptr recipe)
{
    const CString attribute =
        m_bLookupMode ? CString("PCTLookupPriority") : CString(PriorityAttribute(m_strCountryCode, m_nApplication));
    if (m_bFileWrapperMode)
        m_strLocationUID.Empty();
    ClearCatalogFiles();

    int nTurn = 0;
    int nPriority = 1;
    bool bDone = false;
    for (;;) {
        if (bDone || IsQuitRequested())
            break;
        ++nTurn;
        if (m_nBusy == 0)
            break;
        if (m_bFileWrapperMode)
            m_strLocationUID.Empty();

        CString xpath;
        IXMLDOMNodePtr source;
        IXMLDOMNodePtr lookAhead;
        if (m_strLocationUID.IsEmpty()) {
            xpath.Format("/ParsingInformation/DownloadLocation[@%s='%d']", attribute.GetString(), nPriority);
            source = SelectLocation(recipe, xpath);
            xpath.Format("/ParsingInformation/DownloadLocation[@%s='%d']", attribute.GetString(), nPriority + 1);
            lookAhead = SelectLocation(recipe, xpath);
        } else {
            xpath.Format("/ParsingInformation/DownloadLocation[@UID='%s']", m_strLocationUID.GetString());
            source = SelectLocation(recipe, xpath);
        }
        if (!source) {
            bDone = true;
            m_Status.m_nSuccess = 0;
            m_Status.m_nCurrentPage = 0;
            continue;
        }

        int nResult = RunDownloadLocation(source);
        if (nResult == 1 && m_bLookupMode) {
            bDone = true;
            m_Status.m_nSuccess = 1;
            continue;
        }
        if (nResult == 1) {
            if (!FinishDocument() && lookAhead) {
                nResult = 0;
            } else {
                bDone = true;
                m_Status.m_nSuccess = 1;
                FillDocumentRecord();
            }
        }
        if (nResult == 0) {
            DiscardLocationFiles();
            RestoreNumberVariables();
            if (nTurn == 1) {
                ++nPriority;
                m_nBusy = 1;
                continue;
            }
            if (!m_strLocationUID.IsEmpty())
                bDone = true;
        }
        ++nPriority;
        RestoreNumberVariables();
    }
}

void CPatentThread::RestoreNumberVariables()
{
    m_mapVariables.SetAt("COUNTRYCODE", m_strCountryCode);
    m_mapVariables.SetAt("DOCUMENTNUMBER", m_strDocumentNumber);
}

CString CPatentThread::Variable(const CString& name, const CString& missing)
{
    CString value;
    return m_mapVariables.Lookup(name, value) ? value : missing;
}

void CPatentThread::FillDocumentRecord()
{
    CString title = CleanTitleText(Variable("DOCUMENTTITLE"));
    title.Trim();

    const char* firstPage;
    if (m_bFileWrapperMode)
        firstPage = m_bShowDialog ? "0" : "1";
    else
        firstPage = m_bFirstPageOnly ? "1" : "0";
    m_strDocumentXml.Replace("[FIRSTPAGE]", firstPage);
    m_strDocumentXml.Replace("[WRAPPER]", m_bFileWrapperMode ? "1" : "0");
    m_strDocumentXml.Replace("[DOCUMENTTITLE]", EscapeXml(title));

    CString inventor = Variable("DOCUMENTINVENTOR", "NA");
    if (inventor == "[DOCUMENTINVENTOR]")
        inventor = "NA";
    m_strDocumentXml.Replace("[DOCUMENTINVENTOR]", EscapeXml(inventor));
    CString assignee = Variable("DOCUMENTASSIGNEE", "NA");
    if (assignee == "[DOCUMENTASSIGNEE]")
        assignee = "NA";
    m_strDocumentXml.Replace("[DOCUMENTASSIGNEE]", EscapeXml(assignee));
}

int CPatentThread::RunDownloadLocation(IXMLDOMNodePtr location)
{
    if (m_bFileWrapperMode)
        return DownloadFileWrapper();

    CString name;
    GetXmlAttribute(location, "Name", name);
    IXMLDOMNodeListPtr steps = location->selectNodes(L"Step");
    const long count = steps ? steps->Getlength() : 0;
    for (long i = 0; i < count; ++i) {
        if (IsQuitRequested())
            return 0;
        // A step raises nothing to the source: a failing XML call fails the step.
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
            else if (type == "WriteDocument")
                nResult = WriteDocumentStep(step, name);
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

void CPatentThread::OnQuitThread(WPARAM, LPARAM)
{
    m_nQuit = 1;
    for (int i = 0; i < 30 && m_nBusy; ++i)
        ::Sleep(1000);
    AfxEndThread(1, FALSE);
}

void CPatentThread::BuildDocumentXml()
{
    m_strDocumentXml = FormatDocumentRecord(m_strCountryCode, m_strDocumentNumber, m_strKindCode,
                                            SinceProjectEpoch());
}

CString CPatentThread::EscapeXml(CString text)
{
    return ::EscapeXml(text);
}

void CPatentThread::ClearCatalogFiles()
{
    for (INT_PTR i = 0; i < m_CatalogFiles.GetSize(); ++i)
        delete m_CatalogFiles[i];
    m_CatalogFiles.RemoveAll();
}
