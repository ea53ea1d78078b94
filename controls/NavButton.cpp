#include "NavButton.h"

IMPLEMENT_DYNAMIC(CNavButton, CHoverButton)

void CNavButton::SetActive(BOOL bActive)
{
    m_bActive = bActive;
    if (m_hWnd)
        Invalidate(TRUE);
}
