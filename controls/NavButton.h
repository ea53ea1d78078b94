// CNavButton: a navigation button of the main window. Like a hover button, and drawn
// pressed while the pane it switches to is the one shown.
#pragma once

#include "HoverButton.h"

class CNavButton : public CHoverButton
{
    DECLARE_DYNAMIC(CNavButton)
public:
    CNavButton() = default;

    // Marks the button as the active pane's (pressed look) or not, and repaints.
    void SetActive(BOOL bActive);
    BOOL IsActive() const { return m_bActive; }

protected:
    BOOL ShowsPressed() const override { return m_bActive; }

private:
    BOOL m_bActive = FALSE;
};
