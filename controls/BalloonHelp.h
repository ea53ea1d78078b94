// CBalloonHelp: a balloon tip. A rounded pop-up with a tail pointing at an anchor point, a
// header row (icon, bold title, optional close button) and a word-wrapped message. The
// program shows one with LaunchBalloon and forgets it: the balloon closes by itself on a
// timeout, a click, a mouse movement or a key as its options say, and deletes itself.
#pragma once

#include "BalloonHookThunks.h"
#include "Font.h"
#include "Geometry.h"
#include "ImageList.h"
#include "Rgn.h"
#include "String.h"
#include "Wnd.h"

#include <windows.h>

class CDC;

class CBalloonHelp : public CWnd,
                     public BHKeybHookThunk<CBalloonHelp>,
                     public BHMouseHookThunk<CBalloonHelp>,
                     public BHCallWndRetHookThunk<CBalloonHelp>
{
public:
    // Option bits.
    static const unsigned CloseOnLButtonUp = 0x1;   // left button up anywhere in the thread
    static const unsigned CloseOnMButtonUp = 0x2;
    static const unsigned CloseOnRButtonUp = 0x4;
    static const unsigned CloseOnLButtonDown = 0x8;
    static const unsigned CloseOnMButtonDown = 0x10;
    static const unsigned CloseOnRButtonDown = 0x20;
    static const unsigned CloseOnMouseMove = 0x40;  // beyond the threshold from the show point
    static const unsigned CloseOnKeyPress = 0x80;
    static const unsigned CloseOnAnyMouse = 0x7F;
    static const unsigned DelayedClose = 0x100;     // a close event starts the timeout instead
    static const unsigned DeleteThisOnClose = 0x200;
    static const unsigned ShowCloseButton = 0x400;
    static const unsigned ShowInnerShadow = 0x800;
    static const unsigned ShowTopmost = 0x1000;
    static const unsigned DisableDropShadow = 0x2000;
    static const unsigned DisableFadeIn = 0x4000;
    static const unsigned DisableFadeOut = 0x8000;
    static const unsigned DisableFade = 0xC000;

    static const int TailHeight = 20;
    static const int Margin = 8;

    CBalloonHelp();
    ~CBalloonHelp() override;

    // Shows a balloon that owns itself: anchor in client coordinates of pParentWnd (of the
    // screen without one); icon a system icon id (IDI_...) or null; returns at once.
    static void LaunchBalloon(const char* strTitle, const char* strContent, const CPoint& ptAnchor,
                              const char* szIcon, unsigned unOptions, CWnd* pParentWnd,
                              const CString& strURL = "", unsigned unTimeout = 0);

    BOOL Create(const CString& strTitle, const CString& strContent, const CPoint& ptAnchor,
                unsigned unOptions, CWnd* pParentWnd, CString strURL, unsigned unTimeout,
                HICON hIcon);

    void SetIcon(HICON hIcon);
    void SetIcon(HICON hIcon, int cx, int cy);
    void SetIcon(HBITMAP hBitmap, COLORREF crMask);
    void SetIcon(HBITMAP hBitmap, HBITMAP hMask);
    void SetTimeout(unsigned unTimeout);
    void SetAnchorPoint(CPoint ptAnchor, CWnd* pWndAnchor = nullptr);
    // The anchor in screen coordinates.
    CPoint GetAnchorPoint() const;

    // Opens a balloon's link. The shell's ShellExecuteA; a test may put its own in.
    typedef HINSTANCE(WINAPI* ShellExecuteFn)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static ShellExecuteFn s_pfnShellExecute;

protected:
    virtual void DrawNonClientArea(CDC* pDC);
    virtual void DrawClientArea(CDC* pDC);
    // Draws (bDraw) or only measures the header row; answers its size.
    virtual CSize DrawHeader(CDC* pDC, BOOL bDraw = TRUE);
    // Draws (bDraw) or only measures the message from nTop down; answers its size.
    virtual CSize DrawContent(CDC* pDC, int nTop, BOOL bDraw = TRUE);
    void PostNcDestroy() override;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Where the balloon stands relative to its anchor: 0 and 1 hang below it (anchor in the
    // upper half of the work area, right or left of the centre), 2 and 3 stand above it.
    int GetBalloonQuadrant();
    // The work area of the anchor's monitor, cached until the next reposition.
    void GetAnchorScreenBounds(CRect& rect);
    CSize CalcHeaderSize(CDC* pDC) { return DrawHeader(pDC, FALSE); }
    CSize CalcContentSize(CDC* pDC) { return DrawContent(pDC, 0, FALSE); }
    CSize CalcClientSize();
    CSize CalcWindowSize();
    // Sizes, places and shapes the window after its anchor, texts or icon changed.
    void PositionWindow();
    // Closes the balloon (or, with DelayedClose, starts the delay).
    void HideBalloon();
    CRect GetCloseButtonRect() const;
    void DrawCloseButton(CDC* pDC);
    void RedrawCloseButton();

    void SetKeyboardHook();
    void RemoveKeyboardHook();
    void SetMouseHook();
    void RemoveMouseHook();
    void SetCallWndRetHook();
    void RemoveCallWndRetHook();

    BOOL(WINAPI* m_fnAnimateWindow)(HWND, DWORD, DWORD) = nullptr;
    HHOOK m_hKeyboardHook = nullptr;
    HHOOK m_hMouseHook = nullptr;
    HHOOK m_hCallWndRetHook = nullptr;
    unsigned m_unOptions = 0;
    unsigned m_unTimeout = 0;
    UINT_PTR m_unTimerClose = 0;
    CString m_strContent;
    CString m_strURL;
    HWND m_hwndAnchor = nullptr;
    CPoint m_ptAnchor;
    CImageList m_ilIcon;
    CFont* m_pTitleFont = nullptr;
    CFont* m_pContentFont = nullptr;
    COLORREF m_crBackground;
    COLORREF m_crForeground;
    CRect m_screenRect;
    CRgn m_rgnComplete;
    CPoint m_ptMouseOrig;
    UINT m_uCloseState = DFCS_FLAT;
    int m_nMouseMoveTolerance = 3;
    bool m_bCloseHeld = false;  // the close button is pressed and the mouse captured
    bool m_bAnimating = false;  // a fade is under way (the fade may show or hide again)

private:
    friend class BHKeybHookThunk<CBalloonHelp>;
    friend class BHMouseHookThunk<CBalloonHelp>;
    friend class BHCallWndRetHookThunk<CBalloonHelp>;
    LRESULT KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
    LRESULT MouseHookProc(int code, WPARAM wParam, LPARAM lParam);
    LRESULT CallWndRetHookProc(int code, WPARAM wParam, LPARAM lParam);

    static bool RegisterWindowClasses();
    static ATOM s_ClassAtom;         // "BalloonHelpClass"
    static ATOM s_ClassAtomShadowed; // "BalloonHelpClassDS"
};
