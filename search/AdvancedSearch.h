// CAdvancedSearch: the Advanced Search page of the search pane (template 153). Its query
// fields are not fixed: for each search location the pane hands it the location's Advanced
// field nodes of the recipe, and the page builds a label and an input control per node in
// two columns. Around them stand the location's notes, its Help button, the link to the
// program's query help, and the saved queries of the location (combo, Save, Clear), kept in
// advancedquery.xml. Start Search or Enter turns the fields into the search text, the
// parameter map and the readable query (AdvancedQuery.h) and sends the run message to
// its owner, the search pane. While the field named REFBY holds text, every other edit is locked.
#pragma once

#include "AdvancedQuery.h"
#include "HoverButton.h"
#include "MapStringToString.h"
#include "Msxml.h"
#include "MyComboBox.h"
#include "MyEdit.h"
#include "MyPropertyPage.h"
#include "MyStatic.h"
#include "SavedQueries.h"
#include "ThatComboBox.h"

#include <map>
#include <memory>
#include <vector>

class CAdvancedSearch : public CMyPropertyPage
{
    DECLARE_DYNAMIC(CAdvancedSearch)
public:
    CAdvancedSearch();
    ~CAdvancedSearch() override;

    // The page keeps fields for at most this many recipe fields (26 in the left column, 25 in
    // the right); further fields are ignored.
    static const int kMaxFields = 51;

    // Replaces every field by those of the nodes (the location's Advanced Field nodes).
    void BuildSearchFields(IXMLDOMNodeListPtr nodes);
    void BuildSearchFields(const std::vector<IXMLDOMNodePtr>& nodes);
    void DestroySearchFields();
    // The text of the node's "Template" child; empty without one. Both query pages use it.
    static CString GetFieldTemplate(IXMLDOMNodePtr node);
    // Places every control for the present client width.
    void LayoutControls();

    // The location's Notes, HelpLink and Settings nodes, each possibly null.
    void SetNotes(IXMLDOMNodePtr node);
    void SetHelpLink(IXMLDOMNodePtr node);
    void ApplySettings(IXMLDOMNodePtr node);

    // Keep the edit texts of the previous location, and put back those of the current one.
    void CollectFieldValues();
    void RestoreFieldValues();
    // The window text of the edit at that position of the edit list; empty beyond it.
    CString GetEditText(int nPosition) const;
    // The key under which the edit text of a location's position is kept: 0 to 25 in the
    // page's field-value map, 100 + n for the n-th of the process-wide slots of location 2;
    // -1 when that position is not kept.
    static int KeptFieldKey(int nLocation, int nPosition);

    // Builds the query from the fields and sends kRunSearchMessage to the owner.
    void OnStartSearch();
    // The checker for this page's location; a bad text shows its message in a box.
    CString CheckQuery(const CString& pattern, const CString& text, BYTE check);
    static CString JoinWords(const CString& text) { return JoinQueryWords(text); }
    CString GetQueryText() const { return m_strQueryText; }

    // Saved queries (advancedquery.xml).
    void LoadSavedQueries();
    void FillSavedQueryCombo();
    void ApplyPatentQuery(int nIndex);
    void ApplyApplicationQuery(int nIndex);
    // Rewrites the file from the lists; a failure is shown and the old file stays.
    void WriteSavedQueries();
    const CSavedQueryStore& GetSavedQueries() const { return m_savedQueries; }

    // Advanced page -> its owner (the search pane): run the query the page just built (its
    // parameter map and GetQueryText); wParam 0, lParam 0, sent with SendMessage. The
    // number of the pane's UM_RUN_ADVANCED_SEARCH.
    static const UINT kRunSearchMessage = WM_APP + 0x19;

    // Set by the pane: the window that receives kRunSearchMessage, and the locations.
    HWND m_hOwner = nullptr;
    int m_nLocationIndex = 0;
    int m_nPreviousLocationIndex = 0;
    // Field Name -> filled pattern, and SEARCHSTRING: what the last start handed on.
    CMapStringToString m_Parameters;

    // The run-time fields, in creation order (left column, then right column).
    const std::vector<std::unique_ptr<CMyStatic>>& Labels() const { return m_labels; }
    const std::vector<std::unique_ptr<CMyEdit>>& Edits() const { return m_edits; }
    const std::vector<std::unique_ptr<CMyComboBox>>& Combos() const { return m_combos; }
    int GetLabelWidth() const { return m_nLabelWidth; }
    int GetFieldsBottom() const { return m_nFieldsBottom; }
    const CString& GetHelpAddress() const { return m_strHelpAddress; }
    const CRect& GetStartSearchRect() const { return m_rectStartSearch; }
    CThatComboBox& SavedQueryCombo() { return m_comboSavedQueries; }

    // The help texts of the labels that carry one.
    static const char kReferencedByHelp[];
    static const char kApplicationSerialHelp[];
    static const char kPatentSerialHelp[];
    static const char kClassificationAddress[];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHelp();
    afx_msg void OnSaveQuery();
    afx_msg void OnClear();
    afx_msg void OnSelchangeSavedQuery();
    afx_msg void OnDeleteQuery();
    afx_msg LRESULT OnFieldChanged(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    void BuildField(IXMLDOMNodePtr node, int nIndex, int nColumn, const CRect& rectLabel, const CRect& rectControl);
    void ApplyLabelHelp(CMyStatic& label, int nColumn) const;
    // Fills the combo from the current location's list and selects "None".
    void RefillSavedQueryCombo();
    void ApplySavedQuery(int nSlot, int nIndex);
    void ShowMessage(const CString& text, UINT nType);

    int m_nFieldsBottom = 0;
    int m_nLabelWidth = 150;
    BOOL m_bFirstFill = FALSE;
    CString m_strHelpAddress;
    CMyStatic m_labelNotes;
    CHoverButton m_buttonStartSearch;
    CHoverButton m_buttonHelp;
    std::vector<std::unique_ptr<CMyStatic>> m_labels;
    std::vector<std::unique_ptr<CMyEdit>> m_edits;
    std::vector<std::unique_ptr<CMyComboBox>> m_combos;
    CRect m_rectStartSearch;
    std::map<int, CString> m_mapFieldNames;
    std::map<int, CString> m_mapFieldPatterns;
    std::map<int, CString> m_mapFieldValues;
    CSavedQueryStore m_savedQueries;
    CThatComboBox m_comboSavedQueries;
    CMyStatic m_labelSavedQueries;
    CString m_strQueryText;
    CHoverButton m_buttonSave;
    CHoverButton m_buttonClear;
    CMyStatic m_labelQueryHelp;
    CStatic m_lineLower;
    CStatic m_lineUpper;
};
