// What of the recipe language is the download thread's own: the WriteDocument step, the
// kind-code rewrite of viewer links in fetched pages, the viewer key of an IDKEY rule, and
// its set of key functions.
#include "PatentThread.h"

#include "KeyFunctions.h"
#include "SafeNames.h"
#include "ServiceHosts.h"
#include "XmlHelpers.h"

namespace {

const char kViewerPath[] = "/espacenet/bnsviewer?";
const char kViewerLink[] = "/espacenet/bnsviewer?CY=ep&LG=en&DB=EPD&PN=";

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

int CPatentThread::RunOwnStep(const CString& type, IXMLDOMNodePtr step, const CString& locationName)
{
    return type == "WriteDocument" ? WriteDocumentStep(step, locationName) : 1;
}

CString CPatentThread::ApplyKeyFunction(const CString& function, const CString& value, const CString& argument)
{
    return ::ApplyKeyFunction(function, value, argument);
}

void CPatentThread::RewritePage(CString& page)
{
    if (!m_strKindCode.IsEmpty())
        RewriteViewerKindCode(page);
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

// With a kind code, an IDKEY rule takes the viewer key from the page when it has one.
bool CPatentThread::ExtractOwnValue(const CString& name, const CString& page)
{
    if (m_strKindCode.IsEmpty() || name != "IDKEY")
        return false;
    const CString key = FindViewerKey(page);
    if (key.IsEmpty())
        return false;
    m_mapVariables.SetAt("IDKEY", key);
    return true;
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

    // An existing file is replaced whole: a shorter text leaves no tail of the old one.
    const bool bWritten =
        !mask.IsEmpty() && WriteCatalogFile(m_strTempFolderSlash + mask, content, CREATE_ALWAYS, locationName, type);
    ++m_nThreadCounter;
    return bWritten ? 1 : 0;
}
