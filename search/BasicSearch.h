// CBasicSearch: the Basic Search page (dialog 152), the first page of the search pane's sheet.
// Its form is built at run time from the chosen search location's Basic fields in the recipe
// file: a two-column grid of labelled rows (edit boxes and drop-down lists), the location's
// notes under the rows and, when the location names one, a Help button for its help page.
// Start Search (or Enter anywhere on the page) composes the query (BasicQuery.h) and asks the
// search pane to run it with UM_RUN_BASIC_SEARCH; the pane reads the parameter map and the
// display query during that call. The first two search terms are carried over when the user
// moves from one location to another. Saved queries (basicquery.xml, SavedQueries.h) put a
// stored form back into the rows.
#pragma once

#include "HoverButton.h"
#include "MyComboBox.h"
#include "MyEdit.h"
#include "MyPropertyPage.h"
#include "MyStatic.h"
#include "SavedQueries.h"
#include "ThatComboBox.h"

#include <map>
#include <vector>

class CBasicSearch : public CMyPropertyPage
{
    DECLARE_DYNAMIC(CBasicSearch)
public:
    CBasicSearch();
    ~CBasicSearch() override;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // ------------------------------------------------------------ driven by the search pane
    // The label width from the location's Settings node (LabelWidth), when it has one.
    void ApplySettings(IXMLDOMNodePtr settings);
    // Replaces every row by the rows of the Field nodes.
    void BuildSearchFields(IXMLDOMNodeListPtr fields);
    void DestroySearchFields();
    // The location's notes under the rows ("\n" in the recipe text is a line break); null
    // clears them.
    void SetNotes(IXMLDOMNodePtr notes);
    // Shows Help for the node's URL attribute; hides it for null or an empty URL.
    void SetHelpLink(IXMLDOMNodePtr helpLink);
    // Refills the saved-query box for the current location ("None" first) and keeps the
    // search terms of the location being left.
    void FillSavedQueryCombo();
    // Saved queries: read once at initialisation, written whole after every change.
    void LoadSavedQueries();
    void WriteSavedQueries();
    // Puts list entry nIndex of the slot into the rows; nothing is searched.
    void ApplySavedQuery(int nSlot, int nIndex);
    const CSavedQueryStore& GetSavedQueries() const { return m_savedQueries; }
    // Writes the kept search terms into the rows just built.
    void RestoreFieldValues();
    void CollectFieldValues();
    CString GetEditText(int nIndex) const;
    CString GetQueryText() const { return m_strDisplayQuery; }
    void LayoutControls();

    // Composes the query from the rows and sends UM_RUN_BASIC_SEARCH to the owner window.
    afx_msg void OnStartSearch();
    afx_msg void OnClear();
    afx_msg void OnHelp();
    afx_msg void OnSaveQuery();
    afx_msg void OnSelchangeSavedQuery();
    afx_msg void OnDeleteQuery();

    // ------------------------------------------------------------ state
    HWND m_hOwner = nullptr;          // the search pane
    int m_nLocationIndex = 0;         // set by the pane before it rebuilds the rows
    int m_nPreviousLocationIndex = 0;
    CMapStringToString m_Parameters;  // the last composed query's parameters
    int m_nLabelWidth = 150;

    const std::vector<CMyStatic*>& GetLabels() const { return m_arrLabels; }
    const std::vector<CMyEdit*>& GetEdits() const { return m_arrEdits; }
    const std::vector<CMyComboBox*>& GetCombos() const { return m_arrCombos; }
    const std::map<int, CString>& GetRowNames() const { return m_RowNames; }
    const std::map<int, CString>& GetRowTemplates() const { return m_RowTemplates; }
    int GetRowsBottom() const { return m_nRowsBottom; }
    CHoverButton& GetStartButton() { return m_buttonStart; }
    CHoverButton& GetHelpButton() { return m_buttonHelp; }
    CMyStatic& GetNotesLabel() { return m_labelNotes; }
    CMyStatic& GetQueriesLink() { return m_linkQueries; }
    CThatComboBox& GetSavedQueryCombo() { return m_comboSavedQueries; }
    const CString& GetHelpLink() const { return m_strHelpLink; }

    // Opens the help link; the shell's ShellExecuteA, a test may put its own in.
    typedef HINSTANCE(WINAPI* ShellExecuteFn)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static ShellExecuteFn s_pfnShellExecute;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void RefillSavedQueryCombo();

    CSavedQueryStore m_savedQueries;
    CString m_strDisplayQuery;
    CRect m_rectClient;
    std::vector<CMyStatic*> m_arrLabels;
    std::vector<CMyEdit*> m_arrEdits;
    std::vector<CMyComboBox*> m_arrCombos;
    int m_nRowsBottom = 0;
    CRect m_rectStartSearch;
    std::map<int, CString> m_RowNames;
    std::map<int, CString> m_RowTemplates;
    std::map<int, CString> m_KeptTexts;  // slot 0 and 1: the terms of edits 0 and 1
    int m_bHasHelpLink = 0;
    CString m_strHelpLink;

    CMyStatic m_labelNotes;               // 1030
    CHoverButton m_buttonStart;           // 1031
    CHoverButton m_buttonHelp;            // 1001
    CThatComboBox m_comboSavedQueries;    // 1020
    CMyStatic m_labelSavedQueries;        // 1114
    CHoverButton m_buttonSave;            // 1013
    CHoverButton m_buttonClear;           // 1014
    CMyStatic m_linkQueries;              // 1140
};
