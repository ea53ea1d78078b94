// CMyRadioButton: the skinned radio button. It paints a ring, a dot when checked and its
// caption. Its state changes only through SetCheck: the owner clears the other buttons of a
// group itself.
#pragma once

#include "Button.h"
#include "Font.h"
#include "Geometry.h"
#include "String.h"

class CMyRadioButton : public CButton
{
public:
    CMyRadioButton();

    // Client rectangle and font; after the button is bound.
    void Initialize();
    void SetText(const CString& strText);
    int GetCheck() const { return m_nCheck; }
    // Stores the state (1 checked, 0 not) and paints at once.
    void SetCheck(int nCheck);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // Set by the owner: draw the caption with pOtherFont instead of the button's own font.
    BYTE m_bUseOtherFont = FALSE;
    CFont* m_pOtherFont = nullptr;

protected:
    void Paint(CDC* pDC);

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    int m_nCheck = 0;
    CRect m_rectClient;
    CString m_strCaption;
    COLORREF m_crSecond;
    COLORREF m_crText;
    COLORREF m_crFace;
    CFont m_font;
    UINT m_uFormat = DT_WORDBREAK;
    int m_nFontWeight;
    int m_nFontHeight;
};
