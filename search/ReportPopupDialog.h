// CReportPopupDialog: the modeless "Report Generation in Progress" pop-up that the Search
// Report page shows while a report run fetches its documents. Its one button, Cancel (and
// Escape and the caption's close box, which reach it as the same command), asks its owner
// window to cancel the run with UM_CANCEL_REPORT and hides the pop-up; the window stays.
#pragma once

#include "Framework.h"
#include "HoverButton.h"
#include "MyStatic.h"

class CReportPopupDialog : public CDialog
{
    DECLARE_DYNAMIC(CReportPopupDialog)
public:
    explicit CReportPopupDialog(CWnd* pParent = nullptr);
    ~CReportPopupDialog() override;

    HWND m_hOwner = nullptr;  // receives UM_CANCEL_REPORT; set by the creator
    CHoverButton m_Cancel;
    CMyStatic m_Explanation;
    CMyStatic m_Heading;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
