// CAbout: the About box (dialog 100): the program icon, the product and version line and a
// bitmap OK button on the beige background.
#pragma once

#include "HoverButton.h"
#include "MyStatic.h"

class CAbout : public CDialog
{
public:
    explicit CAbout(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnText() {}

private:
    CRect m_rectClient;
    CMyStatic m_Text;
    CHoverButton m_buttonOK;

    DECLARE_MESSAGE_MAP()
};
