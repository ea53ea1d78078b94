// The recipe interpreter of the download thread: placeholders, the step and page guards, the
// Process and WriteDocument steps, the extraction rules and the key runs.
#include "PatentThread.h"

#include "KeyFunctions.h"
#include "Placeholders.h"
#include "RegEx.h"
#include "SafeNames.h"
#include "ServiceHosts.h"
#include "XmlHelpers.h"

namespace {

const char kViewerPath[] = "/espacenet/bnsviewer?";
const char kViewerLink[] = "/espacenet/bnsviewer?CY=ep&LG=en&DB=EPD&PN=";
const char kServiceErrorText[] = "If you believe that this error is caused by a fault of the application";

CString NodeText(IXMLDOMNodePtr node)
{
    return ToAnsi(node->Gettext());
}

CString Decimal(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

} // namespace

CString CPatentThread::ReplaceVariables(CString text)
{
    return FillPlaceholders(text, false);
}

CString CPatentThread::ReplaceVariablesEscaped(CString text)
{
    return FillPlaceholders(text, true);
}

CString CPatentThread::FillPlaceholders(CString text, bool bEscaped)
{
    return ::FillPlaceholders(m_mapVariables, text, bEscaped);
}

int CPatentThread::CheckCondition(IXMLDOMNodePtr step)
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

int CPatentThread::ProcessStep(IXMLDOMNodePtr step, CString /*locationName*/)
{
    IXMLDOMNodePtr url = step->selectSingleNode(L"Url");
    if (!url)
        return 0;
    CString page;
    const int nSize = m_WebGrab.GrabWebPage(ReplaceVariables(NodeText(url)), page, 320, false);
    if (!m_strKindCode.IsEmpty())
        RewriteViewerKindCode(page);
    m_mapVariables.SetAt("HTTPHEADER", "");
    if (nSize == 0)
        return 0;
    if (!CheckFatalCondition(page, step))
        return 0;
    return ExtractValues(step, page);
}

// A viewer link whose ID parameter ends in the bare number, a two-character kind code and
// "+" is made to carry the job's kind code.
void CPatentThread::RewriteViewerKindCode(CString& page)
{
    const int p0 = page.Find(kViewerLink);
    if (p0 < 0 || page.Find(m_strKindCode) < 0)
        return;
    int p = page.Find(m_strBareNumber, p0);
    if (p >= 0)
        p = page.Find("ID=", p);
    if (p >= 0)
        p = page.Find(m_strBareNumber, p);
    if (p < 0)
        return;
    p += m_strBareNumber.GetLength();
    while (p < page.GetLength() && page[p] != '+')
        ++p;
    page.SetAt(p - 2, m_strKindCode[0]);
    if (m_strKindCode.GetLength() >= 2)
        page.SetAt(p - 1, m_strKindCode[1]);
}

int CPatentThread::CheckFatalCondition(CString page, IXMLDOMNodePtr step)
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

CString CPatentThread::FindViewerKey(const CString& page)
{
    CString marker = "TARGET = \"bnsbaseviewer\">[EXTENSION]</A>";
    marker.Replace("[EXTENSION]", m_strKindCode);
    const CString link = kViewerLink + m_strEnteredNumber + "&ID=";
    const int reach = link.GetLength() + 20;
    CString key;
    const int q = page.Find(marker);
    if (q > reach) {
        int p = page.Find(link, q - reach);
        if (p >= 0) {
            for (p += link.GetLength(); p < page.GetLength(); ++p) {
                const char c = page[p];
                if (c == '"' || c == ' ')
                    break;
                key += c;
            }
        }
    }
    if (key.GetLength() > 2) {
        key.SetAt(0, 'E');
        key.SetAt(1, 'P');
    }
    return key;
}

int CPatentThread::ExtractValues(IXMLDOMNodePtr step, const CString& page)
{
    CString lowerPage = page;
    if (lowerPage.MakeLower().Find(CString(kServiceErrorText).MakeLower()) >= 0)
        return 0;

    IXMLDOMNodeListPtr rules = step->selectNodes(L"Extract");
    const long count = rules ? rules->Getlength() : 0;
    for (long i = 0; i < count; ++i) {
        IXMLDOMNodePtr rule = rules->Getitem(i);
        CString name;
        if (!GetXmlAttribute(rule, "Name", name))
            continue;
        CString multiMatch = "False";
        GetXmlAttribute(rule, "MultiMatch", multiMatch);
        CString from = page;
        GetXmlAttribute(rule, "From", from);
        RegEx pattern(ReplaceVariablesEscaped(NodeText(rule)), true);
        from = ReplaceVariables(from);

        if (!m_strKindCode.IsEmpty() && name == "IDKEY") {
            const CString key = FindViewerKey(page);
            if (!key.IsEmpty()) {
                m_mapVariables.SetAt("IDKEY", key);
                continue;
            }
        }

        if (pattern.Search(from)) {
            CString value;
            if (multiMatch.MakeLower() == "true") {
                std::vector<CString> matches;
                pattern.Grep(matches, from);
                for (const CString& m : matches)
                    value += m;
            } else {
                value = pattern.What(1);
            }
            m_mapVariables.SetAt(name, value);
            if (name == "RESULTS" && value == "0")
                return 0;
        } else {
            m_mapVariables.SetAt(name, "");
            CString fatal;
            if (GetXmlAttribute(rule, "Fatal", fatal) && fatal == "1")
                return 0;
        }
    }
    return 1;
}

int CPatentThread::WriteDocumentStep(IXMLDOMNodePtr step, CString locationName)
{
    CString type;
    if (!GetXmlAttribute(step, "OutputType", type))
        return 0;
    CString mask;
    if (!GetXmlAttribute(step, "OutputFileMask", mask))
        mask.Format("[THREADID]_Document[THREADCOUNTER].%s", type.GetString());
    IXMLDOMNodePtr source = step->selectSingleNode(L"SourceTemplate");
    if (!source)
        return 0;
    CString content = ReplaceVariables(NodeText(source));

    mask.Replace("[THREADID]", Decimal(m_nDownloadID));
    mask.Replace("[THREADCOUNTER]", Decimal(m_nThreadCounter));
    // The name may hold values taken from web pages: it names one file in the document's
    // folder, never a path.
    mask = MakeSafeFileName(ReplaceVariables(mask));
    if (mask.GetLength() >= 4 && mask.Left(4) == "USUS")
        mask = mask.Mid(2);
    if (type == "HTML")
        content.Replace(kViewerPath, GetViewerBaseUrl() + kViewerPath);

    bool bWritten = false;
    if (!mask.IsEmpty()) {
        const CString path = m_strTempFolderSlash + mask;
        // An existing file is replaced whole: a shorter text leaves no tail of the old one.
        HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            const DWORD length = static_cast<DWORD>(content.GetLength());
            DWORD written = 0;
            bWritten = ::WriteFile(h, content.GetString(), length, &written, nullptr) && written == length;
            ::CloseHandle(h);
            if (bWritten) {
                CatalogFile* file = new CatalogFile;
                file->m_strDownloadSourceName = locationName;
                file->m_strFilePath = path;
                file->m_nFileSize = static_cast<int>(written);
                file->m_strFileType = type;
                m_CatalogFiles.Add(file);
            } else {
                ::DeleteFileA(path);  // a partly written file is not a document
            }
        }
    }
    ++m_nThreadCounter;
    return bWritten ? 1 : 0;
}

void CPatentThread::ApplyImmediateHardCodeKeys(IXMLDOMNodePtr step)
{
    ApplyHardCodeKeys(step, false);
}

void CPatentThread::ApplyHardCodeKeys(IXMLDOMNodePtr step, bool bDelayed)
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
        CString value = ApplyKeyFunction(function, ReplaceVariables(NodeText(key)), ReplaceVariables(argument));
        if (urlEncode == "Yes")
            value = m_URLEncode.URLEncode(value);
        value.Remove('\r');
        value.Remove('\n');
        m_mapVariables.SetAt(name, value);
    }
}
