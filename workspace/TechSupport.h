// CTechSupport: the Technical Support box (dialog 233): the maker's postal address and two
// links, the support e-mail address and the support web page.
#pragma once

#include "HyperLink.h"

class CTechSupport : public CDialog
{
public:
    explicit CTechSupport(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    // The two link targets.
    static const char* const kSupportMail;
    static const char* const kSupportPage;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnWebLink() {}

private:
    CHyperLink m_linkMail;
    CHyperLink m_linkWeb;

    DECLARE_MESSAGE_MAP()
};
