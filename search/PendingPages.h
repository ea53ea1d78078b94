// The page of the search pane's sheet that is not built yet: Search Report (271). It is an
// empty page that carries what the pane hands it and answers the pane's calls by doing
// nothing, so that the pane talks to it as it will talk to the finished page. The Advanced
// Search page is the real one (AdvancedSearch.h).
#pragma once

#include "AdvancedSearch.h"
#include "MyPropertyPage.h"
#include "XListCtrl.h"
#include "SavedReport.h"
#include "resource.h"

class CSearchReport : public CMyPropertyPage
{
public:
    CSearchReport() : CMyPropertyPage(IDD_SEARCH_REPORT) {}

    // The report list (column 2 the document numbers), once the page has one.
    CXListCtrl* GetReportList() { return nullptr; }
    void PullSelectionFromResults() {}
    void AddDocument(const CString&, const CString&) {}

    HWND m_hOwner = nullptr;
    CXListCtrl* m_pResultsList = nullptr;
    CSavedReport* m_pSavedReports = nullptr;
    int m_nSessionIndex = 0;
};
