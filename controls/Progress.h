// CProgress: the logic of the program's progress bars, apart from any window: the range,
// position and step, the style bits that say how the bar is laid out and labelled, and the
// drawing of background, bar (a brush or the gradient of its base) and text. CProgressCtrlX
// gives it a window; it can also draw on any device context.
//
// In the moving-block mode (styleSnake) the bar is a block from the snake's tail to the
// position; each step moves it on, and once its tail has run out at the upper end the block
// turns and runs back the other way (the bar's reversed bit toggles).
#pragma once

#include "Gradient.h"
#include "Rgn.h"
#include "String.h"

class CBrush;

class CProgress : public CGradient
{
public:
    // Style bits; in CProgressCtrlX they are the window's own style bits.
    static const DWORD styleVertical = 0x4;      // the length runs along the height
    static const DWORD styleTextLeft = 0x10;     // 0x10 alone left, 0x20 alone right, else centred
    static const DWORD styleTextRight = 0x20;
    static const DWORD styleTextTop = 0x40;      // 0x40 alone top, 0x80 alone bottom, else centred
    static const DWORD styleTextBottom = 0x80;
    static const DWORD styleShowPercent = 0x100; // text "%d%%" of the percentage
    static const DWORD styleShowPosition = 0x200; // text "%d" of the position
    static const DWORD styleTieText = 0x1000;    // text on the bar's part, only where it fits
    static const DWORD styleRubberBar = 0x2000;  // the gradient stretched over the bar's part
    static const DWORD styleReverse = 0x4000;    // grows from the right (from the top when vertical)
    static const DWORD styleSnake = 0x8000;      // the moving block
    static const DWORD kDefaultStyle = 0xF0;     // text centred both ways, none shown

    CProgress();
    ~CProgress() override;

    // ------------------------------------------------------------ style
    virtual DWORD GetStyle() const { return m_dwStyle; }
    // Clears the bits of dwRemove, then sets those of dwAdd.
    virtual void ModifyStyle(DWORD dwRemove, DWORD dwAdd);

    // ------------------------------------------------------------ range and position
    // Stored ordered (lower <= upper); the position is then set again, clamped.
    void SetRange(int nLower, int nUpper);
    int GetLower() const { return m_nLower; }
    int GetUpper() const { return m_nUpper; }
    // Clamps into the range; stores it when it differs and (bForce or OnPosChanging agrees).
    // Answers the old position.
    int SetPos(int nPos, BOOL bForce = FALSE);
    int GetPos() const { return m_nPos; }
    // Moves the position (a snake moves its block); answers the old position.
    int OffsetPos(int nDelta);
    int StepIt() { return OffsetPos(m_nStep); }
    // Answers the old step.
    int SetStep(int nStep);
    int GetStep() const { return m_nStep; }
    void SetSnakeLength(int nLength) { m_nSnakeLength = nLength; }
    int GetSnakeLength() const { return m_nSnakeLength; }
    int GetSnakeTail() const { return m_nTail; }

    // ------------------------------------------------------------ look
    // -1 (CLR_NONE): no background of its own (the target shows through).
    void SetBkColor(COLORREF crBk) { m_crBk = crBk; }
    COLORREF GetBkColor() const { return m_crBk; }
    // Brushes are not owned; null: the colour, the gradient.
    void SetBkBrush(CBrush* pBrush) { m_pbrBk = pBrush; }
    void SetBarBrush(CBrush* pBrush) { m_pbrBar = pBrush; }
    void SetTextColors(COLORREF crOnBar, COLORREF crBesideBar) { m_crTextOnBar = crOnBar; m_crTextBesideBar = crBesideBar; }
    void SetBorders(const CRect& rcBorders) { m_rcBorders = rcBorders; }
    // A printf format of one integer; empty: the style's own ("%d%%" or "%d").
    void SetTextFormat(const CString& strFormat) { m_strTextFormat = strFormat; }
    const CString& GetTextFormat() const { return m_strTextFormat; }
    void SetTextFont(HFONT hFont) { m_hFont = hFont; }
    HFONT GetTextFont() const { return m_hFont; }

    // ------------------------------------------------------------ drawing
    // Draws the whole bar over rect: off-screen and copied, or with bDirect straight to pDC.
    // (Not CGradient::Draw, which paints a band of the gradient.)
    void Draw(CDC* pDC, const CRect& rect, BOOL bDirect = FALSE);
    // The bar's text over rcWhole, with the bar's part rcBar.
    virtual void DrawText(CDC* pDC, const CRect& rcWhole, const CRect& rcBar);
    // The text at the viewport origin, clipped to rcClip (given before the origin moved to
    // ptAnchor), in crText.
    virtual void DrawClippedText(CDC* pDC, const CRect& rcClip, const CString& strText, const CPoint& ptAnchor,
                                 COLORREF crText);
    // Moves the snake's block; FALSE (nothing done) unless styleSnake is set.
    virtual BOOL StepSnake(int nDelta, BOOL bRelative);
    // The text the bar shows now; empty when it shows none.
    virtual CString FormatText();
    // The value the text shows: the percentage (styleShowPercent), the position
    // (styleShowPosition), else 0.
    virtual float GetValue();
    virtual BOOL OnPosChanging(int nOldPos, int nNewPos);
    virtual void OnPosChanged(int nNewPos);

    // The position's length in pixels of a band of nSize pixels (0 for an empty range).
    int LengthOf(int nValue, int nSize) const;

protected:
    CBrush* m_pbrBar = nullptr;
    COLORREF m_crBk;
    CBrush* m_pbrBk = nullptr;
    COLORREF m_crTextOnBar;
    COLORREF m_crTextBesideBar;
    int m_nTail = 0;
    int m_nSnakeLength = 40;
    int m_nStep = 10;
    int m_nLower = 0;
    int m_nUpper = 100;
    CRect m_rcBorders;
    CString m_strTextFormat;
    HFONT m_hFont = nullptr;
    DWORD m_dwStyle = kDefaultStyle;
    CRgn m_rgnClip;
    int m_nPos = 0;
    int m_nGradientOffset = 0;
};

// The text of a printf format of at most one integer conversion (d, i, u, x, X, o with
// flags, width and precision; "%%" for a percent sign) filled with nValue. A format that
// asks for anything else (a string, a second value, a width taken from the arguments) is
// shown as it stands, since it comes from outside the program's control.
CString FormatProgressText(const CString& strFormat, int nValue);
