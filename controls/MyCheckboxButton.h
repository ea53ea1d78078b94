// CMyCheckboxButton: the skinned check box. It paints a white box with a cross when checked
// and its caption beside it, and keeps its own check state, which a click toggles.
#pragma once

#include "Button.h"
#include "Font.h"
#include "Geometry.h"
#include "String.h"

class CMyCheckboxButton : public CButton
{
public:
    CMyCheckboxButton();

    // Client rectangle and font; after the button is bound.
    void Initialize();
    void SetText(const CString& strText);
    int GetCheck() const { return m_nCheck; }
    // Stores the state (1 checked, 0 not) and paints at once.
    void SetCheck(int nCheck);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void Paint(CDC* pDC);

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnClicked();
    DECLARE_MESSAGE_MAP()

    COLORREF m_crErase;
    COLORREF m_crText;
    COLORREF m_crFace;
    CRect m_rectClient;
    CFont m_font;
    CString m_strCaption;
    UINT m_uFormat = DT_WORDBREAK;
    int m_nFontWeight;
    int m_nFontHeight;
    int m_nCheck = 0;
};
