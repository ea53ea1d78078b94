// CGradient: a colour gradient of several stops that fills a band of a rectangle piece by
// piece. The band runs from one edge of the rectangle (its direction); each interval between
// two neighbouring stops takes its share of the length (equal shares by default) and is
// split into as many steps of one colour as its colours differ, so that a band of any length
// shows a smooth change. A window of the length can be painted alone, and the gradient can
// be turned cyclically by an offset. The progress bars paint their bar with it.
#pragma once

#include "DC.h"
#include "Geometry.h"
#include "Palette.h"

#include <climits>
#include <vector>

// One run of the painted band: a colour and its length in pixels.
struct GradientEntry
{
    COLORREF colour;
    int length;
};
typedef std::vector<GradientEntry> GradientEntries;

class CGradient
{
public:
    // Where the band starts.
    enum Direction { fromLeft = 0, fromRight = 1, fromTop = 2, fromBottom = 3 };
    // No limit on the colours of one interval (true-colour devices).
    static const int kUnlimitedColours = INT_MAX;
    // The colours a palette device gives the whole band.
    static const int kPaletteColours = 236;

    CGradient();
    virtual ~CGradient();

    // Paints the window [nFrom, nTo] (nTo -1: to the end) of the band over pRect, each run
    // at its place along the band, turned by nOffset pixels.
    virtual void Draw(CDC* pDC, const CRect& rect, int nFrom = 0, int nTo = -1, int nOffset = 0);
    // The runs of the window [nFrom, nTo] of a band of nLength pixels turned by nOffset.
    virtual GradientEntries MakeShiftedEntries(int nOffset, int nLength, int nFrom, int nTo, int nBudget) const;
    // The runs of the window [nFrom, nTo] (-1: nLength) of a band of nLength pixels, with at
    // most nBudget colours per interval.
    virtual GradientEntries MakeEntries(int nLength, int nFrom, int nTo, int nBudget) const;
    // Appends the runs of one interval [nStart, nStart + nLen] from cr1 to cr2 that fall in
    // the window [nFrom, nTo].
    virtual void InterpolateEntries(GradientEntries& entries, COLORREF cr1, COLORREF cr2, int nStart, int nLen,
                                    int nFrom, int nTo, int nBudget) const;

    // nCount stops (COLORREF arguments), in equal intervals.
    void SetColors(int nCount, ...);
    void SetColors(const std::vector<COLORREF>& colours);
    // The first two stops: the second is the first when there is one stop; both -1
    // (0xFFFFFFFF) when there are none.
    void GetColors(COLORREF& crFirst, COLORREF& crSecond) const;
    int GetColorCount() const { return static_cast<int>(m_arrColors.size()); }
    COLORREF GetColor(int nIndex) const { return m_arrColors.at(static_cast<size_t>(nIndex)); }

    void SetDirection(int nDirection) { m_nDirection = nDirection; }
    int GetDirection() const { return m_nDirection; }
    // The painted length is the band's length times the scale.
    void SetScale(float fScale) { m_fScale = fScale; }
    // On palette devices: paint with a palette of the gradient's own colours.
    void SetUsePalette(BOOL bUsePalette) { m_bUsePalette = bUsePalette; }

protected:
    // Builds the palette from the gradient's runs once; FALSE when it cannot be made.
    BOOL BuildPalette();

    std::vector<COLORREF> m_arrColors;
    BOOL m_bUsePalette = FALSE;
    CPalette m_Palette;
    std::vector<double> m_arrWeights; // percent of the length per interval
    int m_nDirection = fromLeft;
    float m_fScale = 1.0f;
};
