// The controls' test dialog: one of each skinned control bound to the template's controls,
// initialised the way the program's dialogs do it, and a record of what reached the dialog.
#pragma once

#include "CJComboBox.h"
#include "ControlsTestResource.h"
#include "DataExchange.h"
#include "DC.h"
#include "Dialog.h"
#include "Look.h"
#include "MyCheckboxButton.h"
#include "MyComboBox.h"
#include "MyEdit.h"
#include "MyRadioButton.h"
#include "MyTreeCtrl.h"
#include "ThatComboBox.h"

#include <utility>
#include <vector>

class CSkinFormDlg : public CDialog
{
public:
    CSkinFormDlg() : CDialog(IDD_SKIN_FORM) {}

    CMyEdit m_edit;
    CMyEdit m_editOther;
    CMyComboBox m_values;
    CThatComboBox m_queries;
    CCJComboBox m_pages;
    CMyCheckboxButton m_check;
    CMyRadioButton m_radioImport;
    CMyRadioButton m_radioExport;
    CMyTreeCtrl m_tree;
    HTREEITEM m_hRoot = nullptr;
    HTREEITEM m_hNewDownloads = nullptr;
    HTREEITEM m_hSamples = nullptr;

    std::vector<std::pair<WPARAM, LPARAM>> comboRequests; // WM_RBUTTONDBLCLK from m_queries
    std::vector<WPARAM> fieldEdits;                         // UM_FIELD_EDITED
    std::vector<int> checkStatesAtClick;                    // BN_CLICKED of the check box
    int radioClicks = 0;
    std::vector<HTREEITEM> selectedAtRightClick;            // NM_RCLICK of the tree
    std::vector<HTREEITEM> pressedAtBeginDrag;              // TVN_BEGINDRAG of the tree

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_SKIN_EDIT, m_edit);
        DDX_Control(pDX, IDC_SKIN_EDIT_OTHER, m_editOther);
        DDX_Control(pDX, IDC_SKIN_VALUES, m_values);
        DDX_Control(pDX, IDC_SKIN_QUERIES, m_queries);
        DDX_Control(pDX, IDC_SKIN_PAGES, m_pages);
        DDX_Control(pDX, IDC_SKIN_CHECK, m_check);
        DDX_Control(pDX, IDC_SKIN_RADIO_IMPORT, m_radioImport);
        DDX_Control(pDX, IDC_SKIN_RADIO_EXPORT, m_radioExport);
        DDX_Control(pDX, IDC_SKIN_TREE, m_tree);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_edit.Initialize();
        m_editOther.Initialize();
        m_values.Initialize();
        m_check.SetText("First");
        m_check.Initialize();
        m_radioImport.SetText("Import search session");
        m_radioImport.Initialize();
        m_radioExport.SetText("Export search session");
        m_radioExport.Initialize();
        m_pages.InsertString(0, "All Pages");
        m_pages.InsertString(1, "First 1");
        m_pages.SetCurSel(0);
        m_queries.AddString("None");
        m_queries.AddString("Saved query");
        m_queries.SetCurSel(0);
        m_hRoot = m_tree.InsertItem("Project");
        m_hNewDownloads = m_tree.InsertItem("NEW DOWNLOADS", m_hRoot);
        m_hSamples = m_tree.InsertItem("Samples", m_hRoot);
        m_tree.InsertItem("Reports", m_hRoot);
        m_tree.Expand(m_hRoot, TVE_EXPAND);
        return TRUE;
    }
    afx_msg BOOL OnEraseBkgnd(CDC* pDC)
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, look::kPanelBackground);
        return TRUE;
    }
    afx_msg LRESULT OnFieldEdited(WPARAM wParam, LPARAM /*lParam*/)
    {
        fieldEdits.push_back(wParam);
        return 0;
    }
    afx_msg LRESULT OnComboRequest(WPARAM wParam, LPARAM lParam)
    {
        comboRequests.emplace_back(wParam, lParam);
        return 0;
    }
    afx_msg void OnCheckClicked() { checkStatesAtClick.push_back(m_check.GetCheck()); }
    afx_msg void OnRadioClicked() { ++radioClicks; }
    afx_msg void OnTreeRightClick(NMHDR*, LRESULT* pResult)
    {
        selectedAtRightClick.push_back(m_tree.GetSelectedItem());
        *pResult = 1; // handled: no WM_CONTEXTMENU
    }
    afx_msg void OnTreeBeginDrag(NMHDR*, LRESULT* pResult)
    {
        pressedAtBeginDrag.push_back(m_tree.m_hLastClickedItem);
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};
