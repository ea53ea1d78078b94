// The pages of the search pane's sheet that are not built yet: Advanced Search (dialog 153)
// and Search Report (271). Each is an empty page that carries what the
// pane hands it and answers the pane's calls by doing nothing, so that the pane talks to
// them as it will talk to the finished pages.
#pragma once

#include "MyPropertyPage.h"
#include "XListCtrl.h"
#include "SavedReport.h"
#include "resource.h"

class CAdvancedSearch : public CMyPropertyPage
{
public:
    CAdvancedSearch() : CMyPropertyPage(IDD_ADVANCED_SEARCH) {}

    void ApplySettings(IXMLDOMNodePtr) {}
    void BuildSearchFields(IXMLDOMNodeListPtr) {}
    void RestoreFieldValues() {}
    void SetNotes(IXMLDOMNodePtr) {}
    void SetHelpLink(IXMLDOMNodePtr) {}
    void FillSavedQueryCombo() {}
    CString GetQueryText() const { return CString(); }

    HWND m_hOwner = nullptr;
    int m_nLocationIndex = 0;
    int m_nPreviousLocationIndex = 0;
    CMapStringToString m_Parameters;
};

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
