// CMyEdit: the skinned edit box. Verdana font, small margins, a cue text that stands in the
// empty box while it has no focus, a lock that ignores typing, and an optional notice to
// the parent after every typed character.
#pragma once

#include "Edit.h"
#include "Font.h"
#include "Geometry.h"
#include "String.h"

// CMyEdit -> its parent after each typed character while the notify flag is set;
// wParam: the CMyEdit object, lParam: 0.
#define UM_FIELD_EDITED (WM_APP + 0x7F2)
// anyone -> CMyEdit: put the cue text back when the box is empty and unfocused; 0, 0.
#define UM_RESTORE_CUE_TEXT (WM_APP + 0x141)

class CMyEdit : public CEdit
{
public:
    CMyEdit() = default;

    // Font, 3-pixel margins, a limit of 1000 characters; after the edit is bound.
    void Initialize();
    void SetFieldId(int nId) { m_nFieldId = nId; }
    int GetFieldId() const { return m_nFieldId; }
    void SetLocked(BOOL bLocked) { m_bLocked = bLocked ? TRUE : FALSE; }
    // With the focus: removes the cue text when the box shows it. Without: puts the cue
    // text into the empty box when the cue-text flag is set.
    void UpdateCueText();
    // The box shows its cue text (then it holds no value of the user's).
    bool IsShowingCueText() const;

    // Set directly by the owner.
    BOOL m_bNotify = FALSE;  // send UM_FIELD_EDITED after each typed character
    BYTE m_bCueText = FALSE; // show the cue text while empty and unfocused
    CString m_strCueText;
    int m_nColumn = 0;       // the owner's column of the field: 0 left, 1 right

protected:
    CFont m_font;
    CRect m_rectClient;
    int m_nFieldId = 0;
    BOOL m_bLocked = FALSE;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnKillFocusReflect();
    afx_msg LRESULT OnRestoreCueText(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
