// RegEx: the regular expressions of the recipe interpreters and of the number parsing, in
// Perl syntax. A pattern is compiled once and then searched for anywhere in a text, never
// matched against the whole text. A pattern that does not compile matches nothing. A search
// that the engine gives up (the pattern is too costly for the text at hand) counts as no
// match and leaves a trace line, so no downloaded page can break off a download this way.
#pragma once

#include "String.h"

#include <boost/regex.hpp>

#include <vector>

class RegEx
{
public:
    enum MatchFlags
    {
        MatchDefault = 0,
        MatchNotBol = 1,  // the first position of the text is not the start of a line
    };

    RegEx() = default;
    RegEx(const CString& pattern, bool bIgnoreCase) { SetExpression(pattern, bIgnoreCase); }

    // Compiles the pattern; false when it does not compile (it then matches nothing).
    bool SetExpression(const CString& pattern, bool bIgnoreCase);

    // Searches the text for the first match; its groups are then read with What.
    bool Search(const CString& text, int flags = MatchDefault);

    // The text of a group of the last match (0: the whole match); empty when the group did
    // not take part or does not exist.
    CString What(int group = 0) const;

    // The number of groups the pattern has (0 for a pattern that does not compile).
    int GroupCount() const;

    // Every non-overlapping match in order, each as its whole matched text, appended to the
    // list; answers how many were found. With a limit, the search ends after that many.
    unsigned Grep(std::vector<CString>& matches, const CString& text, int flags = MatchDefault,
                  unsigned nLimit = 0);

private:
    // The trace line of a search the engine gave up.
    void TraceGivenUp(const char* pszOperation, const std::exception& e) const;

    boost::regex m_expression;
    CString m_strPattern;
    bool m_bValid = false;
    std::vector<CString> m_groups;
};
