#include "RegEx.h"

#include "TraceLine.h"

namespace {

boost::match_flag_type ToBoost(int flags)
{
    boost::match_flag_type f = boost::match_default;
    if (flags & RegEx::MatchNotBol)
        f |= boost::match_not_bol;
    return f;
}

} // namespace

bool RegEx::SetExpression(const CString& pattern, bool bIgnoreCase)
{
    m_groups.clear();
    m_strPattern = pattern;
    try {
        boost::regex::flag_type f = boost::regex::perl;
        if (bIgnoreCase)
            f |= boost::regex::icase;
        m_expression.assign(pattern.str(), f);
        m_bValid = true;
    } catch (const std::exception&) {
        m_bValid = false;
    }
    return m_bValid;
}

bool RegEx::Search(const CString& text, int flags)
{
    m_groups.clear();
    if (!m_bValid)
        return false;
    const std::string& s = text.str();
    boost::smatch match;
    try {
        if (!boost::regex_search(s, match, m_expression, ToBoost(flags)))
            return false;
    } catch (const std::exception& e) {
        TraceGivenUp("Search", e);
        return false;
    }
    for (size_t i = 0; i < match.size(); ++i)
        m_groups.push_back(match[i].matched ? CString(match[i].str()) : CString());
    return true;
}

CString RegEx::What(int group) const
{
    if (group < 0 || static_cast<size_t>(group) >= m_groups.size())
        return CString();
    return m_groups[static_cast<size_t>(group)];
}

int RegEx::GroupCount() const
{
    return m_bValid ? static_cast<int>(m_expression.mark_count()) : 0;
}

unsigned RegEx::Grep(std::vector<CString>& matches, const CString& text, int flags, unsigned nLimit)
{
    if (!m_bValid)
        return 0;
    const std::string& s = text.str();
    std::vector<CString> found;
    try {
        boost::sregex_iterator it(s.begin(), s.end(), m_expression, ToBoost(flags));
        for (; it != boost::sregex_iterator() && (nLimit == 0 || found.size() < nLimit); ++it)
            found.push_back(CString((*it)[0].str()));
    } catch (const std::exception& e) {
        // A search given up part of the way finds nothing at all, as a single search does.
        TraceGivenUp("Grep", e);
        return 0;
    }
    matches.insert(matches.end(), found.begin(), found.end());
    return static_cast<unsigned>(found.size());
}

void RegEx::TraceGivenUp(const char* pszOperation, const std::exception& e) const
{
    CString line;
    line.Format("RegEx::%s()-Search given up, counted as no match: %s Pattern: %s", pszOperation,
                e.what(), m_strPattern.GetString());
    WriteTraceLine(line);
}
