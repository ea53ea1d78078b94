// CSearchSessionDialog: the session chooser "Search Session" (template 277), which asks, the
// first time the search pane shows in a program run, how to go on: search without a
// session, create a new session, or open an existing one. Its check box "Show this window
// each time" writes the option Showsearchsessiondialog; the pane carries out the choice.
#pragma once

#include "ComboBox.h"
#include "Dialog.h"
#include "Font.h"
#include "HoverButton.h"
#include "MyCheckboxButton.h"
#include "MyRadioButton.h"
#include "MyStatic.h"

class CProgramOptions;

class CSearchSessionDialog : public CDialog
{
public:
    enum { kGeneralSearching = 0, kNewSession = 1, kExistingSession = 2 };

    explicit CSearchSessionDialog(CWnd* pParent = nullptr);

    // Fills the session combo with the names of session.xml in file order and selects
    // entry 0, "No Session Selected".
    void GetSessionHeaders();

    CProgramOptions* m_pOptions = nullptr; // set by the opener before DoModal
    int m_nChosenSession = -1;             // after IDOK: the combo selection (-1: none)
    int m_nChoice = kGeneralSearching;     // after IDOK: one of the three choices

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    virtual int ShowMessageBox(const CString& strText, const char* caption, UINT nType);

    afx_msg void OnBnClickedOk();
    afx_msg void OnGeneralSearching();
    afx_msg void OnNewSession();
    afx_msg void OnExistingSession();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    void CheckOnly(CMyRadioButton& radio);

    CFont m_fontCaption;
    CComboBox m_comboSessions;
    CMyRadioButton m_radioGeneral;
    CMyRadioButton m_radioNew;
    CMyRadioButton m_radioExisting;
    CMyStatic m_labelGeneral;
    CMyStatic m_labelNew;
    CMyStatic m_labelExisting;
    CMyCheckboxButton m_checkShowEachTime;
    CHoverButton m_buttonOK;
    CMyStatic m_labelBanner;
};
