// CPropertyPage: the base of a page that a sheet shows: a child dialog made from its
// template with Create(template id, sheet). OK and Cancel do not end a page.
#pragma once

#include "Dialog.h"

class CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage() = default;
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(const char* lpszTemplateName, UINT nIDCaption = 0);

    // The page's caption: the string resource given at construction (empty without one).
    CString m_strCaption;

protected:
    void OnOK() override;
    void OnCancel() override;
};
