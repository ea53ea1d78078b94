// The search thread's Collection step: paging through a result list, cutting each page into
// rows with the step's extraction template, and the result-set text of every page.
#include "SearchThread.h"

#include "KeyFunctions.h"
#include "RegEx.h"
#include "SearchText.h"
#include "SearchThreadMessages.h"
#include "StageClock.h"
#include "XmlHelpers.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The web servers of the United States patent office; their result lists put links where
// other sources put titles.
const char kOutsideHostDomain[] = "uspto.gov";

CString Decimal(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

// A result count as a result list prints it, thousands separators included ("12,345").
int CountValue(CString text)
{
    text.Remove(',');
    return std::atoi(text);
}

} // namespace

int CSearchThread::RunCollectionStep(IXMLDOMNodePtr step)
{
    m_strPage.Empty();
    IXMLDOMNodePtr urlNode = step->selectSingleNode(L"Url");
    if (!urlNode)
        return 0;
    const CString urlTemplate = ToAnsi(urlNode->Gettext());
    if (!ReadExtractionTemplate(step))
        return 0;
    CString value;
    if (!m_Parameters.Lookup("PAGENUMBER", value))
        return 0;
    int nPage = std::atoi(value);
    int nEnd = m_Parameters.Lookup("RANGEEND", value) ? std::atoi(value) : 100;
    m_nResultTotal = CountValue(Parameter("RESULTTOTAL"));

    for (;;) {
        if (!CheckCondition(step))
            return 1;
        if (!CheckFatalCondition(step, m_strPage))
            return 1;
        m_Parameters.SetAt("PAGENUMBER", Decimal(nPage));
        ++nPage;
        m_Parameters.SetAt("RANGESTART", Decimal(nEnd + 1));
        nEnd += 100;
        m_Parameters.SetAt("RANGEEND", Decimal(nEnd));

        const CString url = FillPlaceholders(urlTemplate);
        ReadHttpHeaders(step);
        CStageTimer timer("page fetch");
        if (m_WebGet.GrabWebPage(url, m_strPage, 320, false) == 0)
            return 0;
        timer.Next("extract rules");
        m_Parameters.SetAt("HTTPHEADER", m_WebGet.m_strResponseHeaders);
        m_fKBps = RateInKBps(m_WebGet.m_dRate);
        if (!ExtractRows(step, m_strPage))
            return 0;
        timer.Next("key functions");
        RunHardCodeKeys(step, 1);
        timer.Stop();
        WriteResultSet(m_strPage, url.Find(kOutsideHostDomain) >= 0);

        // The total follows the pages that print it.
        const int nTotal = CountValue(Parameter("RESULTTOTAL"));
        if (nTotal != 0)
            m_nResultTotal = nTotal;

        const int nStartIndex = std::atoi(Parameter("STARTINDEX"));
        const int nEndIndex = std::atoi(Parameter("ENDINDEX"));
        const int nPerPage = std::atoi(Parameter("PERPAGE"));
        if (nStartIndex != 0 && nEndIndex != 0) {
            m_nRangeStart = nStartIndex;
            m_nRangeEnd = nEndIndex;
        } else if (nPerPage != 0) {
            m_nRangeStart = (nPage - 1) * nPerPage + 1;
            m_nRangeEnd = std::min(nPage * nPerPage, nTotal);
        }
        ::SendMessageA(m_hOwner, UM_SEARCH_PROGRESS, static_cast<WPARAM>(m_nRunTag), 0);
    }
}

int CSearchThread::ReadExtractionTemplate(IXMLDOMNodePtr step)
{
    IXMLDOMNodePtr row = step->selectSingleNode(L"ExtractionTemplate/RowTemplate");
    if (!row)
        return 0;
    m_strRowTemplate = ToAnsi(row->Gettext());
    IXMLDOMNodePtr exact = step->selectSingleNode(L"ExtractionTemplate/ExactTemplate");
    if (!exact)
        return 0;
    m_strExactTemplate = ToAnsi(exact->Gettext());
    IXMLDOMNodePtr matches = step->selectSingleNode(L"ExtractionTemplate/Matches");
    if (!matches)
        return 0;
    CString removeHtml;
    m_bRemoveHtml = GetXmlAttribute(matches, "RemoveHTML", removeHtml) && removeHtml == "Yes" ? 1 : 0;

    m_MatchNames.RemoveAll();
    for (IXMLDOMNodePtr match : SelectNodes(matches, L"Match")) {
        CString name;
        if (!GetXmlAttribute(match, "Name", name))
            return 0;
        m_MatchNames.Add(name);
    }
    return 1;
}

void CSearchThread::WriteResultSet(const CString& page, bool bOutsideHost)
{
    CStageTimer timer("templates");
    CString text = "<ResultSet>\r\n";
    RegEx rowPattern(m_strRowTemplate, true);
    RegEx exactPattern(m_strExactTemplate, true);
    std::vector<CString> rows;
    rowPattern.Grep(rows, page);
    // Groups beyond the template's Match names have no element name and are left out.
    const int nValues = std::min(exactPattern.GroupCount(), static_cast<int>(m_MatchNames.GetSize()));
    for (const CString& row : rows) {
        timer.Next("templates");
        if (!exactPattern.Search(row))
            continue;
        timer.Next("result-set text");
        text.AppendFormat("\t<Result ID=\"%d\">\r\n", m_nNextResultId);
        for (int j = 1; j <= nValues; ++j) {
            CString value = exactPattern.What(j);
            value.Replace("&F=0", "");
            if (m_bRemoveHtml == 1)
                value = RemoveHtmlTags(value);
            if (bOutsideHost && value.Find('/', 1) >= 1)
                value = "Title Not Available.";
            const CString& name = m_MatchNames.GetAt(j - 1);
            text += "\t\t<" + name + ">" + CleanXmlValue(value) + "</" + name + ">\r\n";
        }
        ++m_nNextResultId;
        text += "\t</Result>\r\n";
    }
    text += "</ResultSet>\r\n";
    m_ResultQueue.Add(text);
}
