// The search thread's Collection step: paging through a result list, cutting each page into
// rows with the step's extraction template, and the result-set text of every page.
#include "SearchThread.h"

#include "KeyFunctions.h"
#include "RegEx.h"
#include "SearchAnswer.h"
#include "SearchText.h"
#include "SearchThreadMessages.h"
#include "StageClock.h"
#include "XmlHelpers.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

// The web servers of the United States patent office; their result lists put links where
// other sources put titles.
const char kOutsideHostDomain[] = "uspto.gov";
// Every page asks for the next range of this many results.
const int kRangeSize = 100;

CString Decimal(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

// A result count as a result list prints it, thousands separators included ("12,345").
long long CountValue(CString text)
{
    text.Remove(',');
    return WholeNumber(text);
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
    // The last result number of the ranges the pages named and this step listed.
    long long nListedThrough = 0;
    // The results the pages of this step held.
    long long nResultsSeen = 0;

    for (;;) {
        if (!CheckCondition(step))
            return 1;
        if (!CheckFatalCondition(step, m_strPage))
            return 1;
        m_Parameters.SetAt("PAGENUMBER", Decimal(nPage));
        ++nPage;
        m_Parameters.SetAt("RANGESTART", Decimal(nEnd + 1));
        nEnd += kRangeSize;
        m_Parameters.SetAt("RANGEEND", Decimal(nEnd));

        const CString url = FillPlaceholders(urlTemplate);
        ReadHttpHeaders(step);
        const int nFetched = FetchStepPage(url, m_strPage);
        if (nFetched < 0) {
            // "Nothing found" after pages that held fewer results than their total said.
            if (nResultsSeen > 0 && nResultsSeen < m_nResultTotal)
                NoteRunFault(RunIncomplete, IncompleteText(AnswerShort));
            return 1;
        }
        if (nFetched == 0)
            return 0;
        CStageTimer timer("extract rules");
        m_Parameters.SetAt("HTTPHEADER", m_WebGet.m_strResponseHeaders);
        m_fKBps = RateInKBps(m_WebGet.m_dRate);
        if (!ExtractRows(step, m_strPage)) {
            NoteRunFault(RunIncomplete, IncompleteText(AnswerUnreadable));
            return 0;
        }
        timer.Next("key functions");
        RunHardCodeKeys(step, 1);
        timer.Stop();

        // A page that names its range: the results of it that are listed already are left
        // out, and a page that gives nothing new ends the list.
        const long long nStartIndex = WholeNumber(Parameter("STARTINDEX"));
        const long long nEndIndex = WholeNumber(Parameter("ENDINDEX"));
        const bool bNamedRange = nStartIndex != 0 && nEndIndex != 0;
        long long nSkip = 0;
        if (bNamedRange && nStartIndex <= nListedThrough) {
            if (nEndIndex <= nListedThrough) {
                NoteRunFault(RunIncomplete, IncompleteText(AnswerRepeated));
                return 0;
            }
            nSkip = std::min<long long>(nListedThrough - nStartIndex + 1, INT_MAX - kRangeSize);
        }
        // The total follows the pages that print it.
        const long long nTotal = CountValue(Parameter("RESULTTOTAL"));
        if (nTotal != 0)
            m_nResultTotal = nTotal;

        // No page gives more rows than the range it was asked for, nor, where it names its
        // range, results numbered past the total the answers name: the answers disagree, and
        // those are not listed. (Rows of a page that names no range are not numbered: a row
        // of its template may be no result.)
        long long nMaxRows = kRangeSize;
        if (bNamedRange && m_nResultTotal > 0)
            nMaxRows = std::max(0LL, std::min(nMaxRows, m_nResultTotal - (nStartIndex + nSkip) + 1));
        const int nRows = WriteResultSet(m_strPage, url.Find(kOutsideHostDomain) >= 0, static_cast<int>(nSkip),
                                         static_cast<int>(nMaxRows));
        const long long nOffered = std::max<long long>(nRows - nSkip, 0);
        const bool bBeyondTotal = nMaxRows < kRangeSize && nOffered > nMaxRows;
        if (bNamedRange)
            nListedThrough = std::max(nListedThrough, nEndIndex);
        nResultsSeen += std::min(nOffered, nMaxRows);

        const long long nPerPage = WholeNumber(Parameter("PERPAGE"));
        if (bNamedRange) {
            m_nRangeStart = nStartIndex;
            m_nRangeEnd = nEndIndex;
        } else if (nPerPage != 0) {
            m_nRangeStart = (nPage - 1) * nPerPage + 1;
            m_nRangeEnd = std::min(nPage * nPerPage, nTotal);
        }
        ::SendMessageA(m_hOwner, UM_SEARCH_PROGRESS, static_cast<WPARAM>(m_nRunTag), 0);

        if (bBeyondTotal) {
            NoteRunFault(RunIncomplete, IncompleteText(AnswerBeyondTotal));
            return 0;
        }
        // A page that holds fewer results than the range it names, as far as the total
        // reaches, was cut short.
        const long long nLastNamed = m_nResultTotal > 0 ? std::min(nEndIndex, m_nResultTotal) : nEndIndex;
        if (bNamedRange && nLastNamed >= nStartIndex &&
            nRows < std::min(nLastNamed - nStartIndex + 1, nSkip + kRangeSize)) {
            NoteRunFault(RunIncomplete, IncompleteText(AnswerShort));
            return 0;
        }
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

int CSearchThread::WriteResultSet(const CString& page, bool bOutsideHost, int nSkip, int nMaxRows)
{
    CStageTimer timer("templates");
    CString text = "<ResultSet>\r\n";
    RegEx rowPattern(m_strRowTemplate, true);
    RegEx exactPattern(m_strExactTemplate, true);
    std::vector<CString> rows;
    const unsigned nLimit = nMaxRows >= 0 ? static_cast<unsigned>(nSkip + nMaxRows + 1) : 0;
    const int nFound = static_cast<int>(rowPattern.Grep(rows, page, RegEx::MatchDefault, nLimit));
    rows.erase(rows.begin(), rows.begin() + std::min<size_t>(rows.size(), static_cast<size_t>(std::max(nSkip, 0))));
    if (nMaxRows >= 0 && rows.size() > static_cast<size_t>(nMaxRows))
        rows.resize(static_cast<size_t>(nMaxRows));
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
    return nFound;
}
