// The page of the search pane's sheet that is not built yet: Advanced Search (dialog 153),
// an empty page that carries what the pane hands it and answers the pane's calls by doing
// nothing, so that the pane talks to it as it will talk to the finished page.
#pragma once

#include "MyPropertyPage.h"
#include "SearchReport.h"
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
