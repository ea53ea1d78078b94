// CProgressCtrlX: the progress bar of the search pages. It subclasses a standard progress
// control and answers the progress messages (PBM_...), the text messages and the font
// messages itself, so nothing reaches the standard control's own handling; it paints with
// CProgress: a gradient bar with an optional text such as the percentage. Its style bits
// are the window's own style bits (see CProgress).
//
// Timer 11 of its window steps the bar once per tick: a page that shows a moving block
// sets the snake style and that timer, and the bar moves by itself.
#pragma once

#include "Progress.h"
#include "ProgressCtrl.h"
#include "ToolTipCtrl.h"

class CProgressCtrlX : public CProgressCtrl, public CProgress
{
    DECLARE_DYNAMIC(CProgressCtrlX)
public:
    // The timer whose ticks step the bar.
    static const UINT_PTR kStepTimer = 11;

    CProgressCtrlX();
    ~CProgressCtrlX() override;

    // The window's style (the bits of CProgress).
    DWORD GetStyle() const override { return CWnd::GetStyle(); }
    // Changes the window's style, then repaints the bar.
    void ModifyStyle(DWORD dwRemove, DWORD dwAdd) override;

    // The standard control's operations, sent as messages to the bar.
    void SetRange(int nLower, int nUpper) { CProgressCtrl::SetRange32(nLower, nUpper); }
    void GetRange(int& nLower, int& nUpper) const { CProgressCtrl::GetRange(nLower, nUpper); }
    int SetPos(int nPos) { return CProgressCtrl::SetPos(nPos); }
    int GetPos() const { return CProgressCtrl::GetPos(); }
    int OffsetPos(int nDelta) { return CProgressCtrl::OffsetPos(nDelta); }
    int SetStep(int nStep) { return CProgressCtrl::SetStep(nStep); }
    int StepIt() { return CProgressCtrl::StepIt(); }
    COLORREF SetBkColor(COLORREF crBk) { return CProgressCtrl::SetBkColor(crBk); }
    COLORREF SetBarColor(COLORREF crBar) { return CProgressCtrl::SetBarColor(crBar); }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PreSubclassWindow() override;
    void OnPosChanged(int nNewPos) override;

    afx_msg LRESULT OnSetRange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetRange32(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetRange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDeltaPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetStep(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStepIt(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBarColor(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBkColor(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    // A tool tip of the bar's text (tool 0). The bar feeds it only once it exists: none of
    // the program's bars creates one.
    CToolTipCtrl m_ToolTip;
};
