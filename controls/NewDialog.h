// CNewDialog: the dialog base of the main window. When the dialog opens it takes the
// window's system menu and menu bar into its two CNewMenu members and gives the menu bar
// the current theme's background.
#pragma once

#include "NewFrame.h"

class CNewDialog : public CNewFrame<CDialog>
{
    DECLARE_DYNAMIC(CNewDialog)
public:
    CNewDialog(UINT nIDTemplate, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
};
