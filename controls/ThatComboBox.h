// CThatComboBox: the combo box of saved queries and of search sessions. A right click asks
// the parent for a context menu and the Delete key for deleting the selected entry, both
// with WM_RBUTTONDBLCLK: wParam 1 with the screen point (x low word, y high word) in lParam,
// or wParam 8 with lParam 0.
#pragma once

#include "ComboBox.h"

class CThatComboBox : public CComboBox
{
public:
    CThatComboBox() = default;

    static const WPARAM RequestContextMenu = 1;
    static const WPARAM RequestDelete = 8;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
