// The records of search sessions: the documents a user kept for one report, and the session
// (project, invention, client) they belong to. A session is the input of a report run and
// what the main window's session import and export move; the Search Report page holds the
// list of sessions, whose entry 0 is the pseudo-session "No Session Selected".
#pragma once

#include "Array.h"
#include "String.h"

// One document kept for a session or a report.
struct SessionResult {
    CString strNumber;  // the document number as the result lists show it
    CString strTitle;
};

// A named set of kept documents; a value type copied whole. Sessions are told apart by an
// exact, case-sensitive comparison of their names.
struct SearchSession {
    CString strName;    // "Project:"
    CString strMark;    // "Invention:"
    CString strClient;  // "Client Name:"
    CArray<SessionResult, const SessionResult&> results;  // in report-list order

    SearchSession() = default;
    SearchSession(const SearchSession& other) { *this = other; }
    SearchSession& operator=(const SearchSession& other)
    {
        if (this != &other) {
            strName = other.strName;
            strMark = other.strMark;
            strClient = other.strClient;
            results.RemoveAll();
            for (INT_PTR i = 0; i < other.results.GetSize(); ++i)
                results.Add(other.results[i]);
        }
        return *this;
    }
};
