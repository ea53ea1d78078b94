#include "Gradient.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>

namespace {

int Channel(COLORREF cr, int shift)
{
    return static_cast<int>((cr >> shift) & 0xFF);
}

// The runs of entries that lie in [nFrom, nTo], the first run starting at 0.
GradientEntries Window(const GradientEntries& entries, int nFrom, int nTo)
{
    GradientEntries out;
    int pos = 0;
    for (const GradientEntry& e : entries) {
        int s = std::max(pos, nFrom);
        int t = std::min(pos + e.length, nTo);
        if (t > s)
            out.push_back({e.colour, t - s});
        pos += e.length;
        if (pos >= nTo)
            break;
    }
    return out;
}

} // namespace

CGradient::CGradient() = default;

CGradient::~CGradient() = default;

void CGradient::SetColors(int nCount, ...)
{
    std::vector<COLORREF> colours;
    va_list args;
    va_start(args, nCount);
    for (int i = 0; i < nCount; ++i)
        colours.push_back(va_arg(args, COLORREF));
    va_end(args);
    SetColors(colours);
}

void CGradient::SetColors(const std::vector<COLORREF>& colours)
{
    m_arrColors = colours;
    m_arrWeights.clear();
    if (colours.size() > 1)
        m_arrWeights.assign(colours.size() - 1, 100.0 / static_cast<double>(colours.size() - 1));
    m_Palette.DeleteObject();
}

void CGradient::GetColors(COLORREF& crFirst, COLORREF& crSecond) const
{
    if (m_arrColors.empty()) {
        crFirst = crSecond = static_cast<COLORREF>(-1);
        return;
    }
    crFirst = m_arrColors[0];
    crSecond = m_arrColors.size() > 1 ? m_arrColors[1] : crFirst;
}

void CGradient::InterpolateEntries(GradientEntries& entries, COLORREF cr1, COLORREF cr2, int nStart, int nLen,
                                   int nFrom, int nTo, int nBudget) const
{
    if (nLen <= 0)
        return;
    const int dr = Channel(cr2, 0) - Channel(cr1, 0);
    const int dg = Channel(cr2, 8) - Channel(cr1, 8);
    const int db = Channel(cr2, 16) - Channel(cr1, 16);
    int k = std::max({std::abs(dr), std::abs(dg), std::abs(db)});
    k = std::min(k, nBudget);
    k = std::min(k, nLen);
    k = std::max(k, 1);
    for (int j = 0; j < k; ++j) {
        int s = nStart + static_cast<int>(static_cast<long long>(j) * nLen / k);
        int e = nStart + (j == k - 1 ? nLen : static_cast<int>(static_cast<long long>(j + 1) * nLen / k));
        if (e <= nFrom)
            continue;
        if (s >= nTo)
            break;
        s = std::max(s, nFrom);
        e = std::min(e, nTo);
        if (e <= s)
            continue;
        const int r = (Channel(cr1, 0) + j * dr / k) & 0xFF;
        const int g = (Channel(cr1, 8) + j * dg / k) & 0xFF;
        const int b = (Channel(cr1, 16) + j * db / k) & 0xFF;
        entries.push_back({RGB(r, g, b), e - s});
    }
}

GradientEntries CGradient::MakeEntries(int nLength, int nFrom, int nTo, int nBudget) const
{
    GradientEntries entries;
    if (nTo < 0 || nTo > nLength)
        nTo = nLength;
    nFrom = std::max(nFrom, 0);
    if (m_arrColors.empty() || nFrom >= nTo)
        return entries;
    if (m_arrColors.size() == 1) {
        entries.push_back({m_arrColors[0], nTo - nFrom});
        return entries;
    }
    const size_t intervals = m_arrColors.size() - 1;
    double sum = 0.0;
    for (size_t i = 0; i < intervals; ++i) {
        const int start = static_cast<int>(nLength * sum / 100.0);
        sum += i < m_arrWeights.size() ? m_arrWeights[i] : 0.0;
        const int end = i + 1 == intervals ? nLength : static_cast<int>(nLength * sum / 100.0);
        if (end <= nFrom)
            continue;
        InterpolateEntries(entries, m_arrColors[i], m_arrColors[i + 1], start, end - start, nFrom, nTo, nBudget);
        if (end >= nTo)
            break;
    }
    return entries;
}

GradientEntries CGradient::MakeShiftedEntries(int nOffset, int nLength, int nFrom, int nTo, int nBudget) const
{
    if (nLength <= 0)
        return GradientEntries();
    int shift = nOffset;
    while (shift < 0)
        shift += nLength;
    shift %= nLength;
    if (shift == 0 || m_arrColors.size() < 2)
        return MakeEntries(nLength, nFrom, nTo, nBudget);

    GradientEntries all = MakeEntries(nLength, 0, nLength, nBudget);
    // The runs that cover the last `shift` pixels go to the front, in their order; the run
    // that straddles the cut is split, its end leading and its start staying behind.
    GradientEntries turned;
    int remaining = shift;
    size_t kept = all.size();
    while (kept > 0 && remaining > 0) {
        GradientEntry& e = all[kept - 1];
        if (e.length <= remaining) {
            turned.insert(turned.begin(), e);
            remaining -= e.length;
            --kept;
        } else {
            turned.insert(turned.begin(), GradientEntry{e.colour, remaining});
            e.length -= remaining;
            remaining = 0;
        }
    }
    turned.insert(turned.end(), all.begin(), all.begin() + static_cast<std::ptrdiff_t>(kept));
    if (nTo < 0 || nTo > nLength)
        nTo = nLength;
    return Window(turned, std::max(nFrom, 0), nTo);
}

BOOL CGradient::BuildPalette()
{
    if (m_Palette.m_hObject)
        return TRUE;
    GradientEntries entries = MakeEntries(kPaletteColours, 0, kPaletteColours, kPaletteColours);
    if (entries.empty())
        return FALSE;
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
    auto* pLog = reinterpret_cast<LOGPALETTE*>(buffer.data());
    pLog->palVersion = 0x300;
    pLog->palNumEntries = static_cast<WORD>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        PALETTEENTRY& pe = pLog->palPalEntry[i];
        pe.peRed = GetRValue(entries[i].colour);
        pe.peGreen = GetGValue(entries[i].colour);
        pe.peBlue = GetBValue(entries[i].colour);
        pe.peFlags = 0;
    }
    return m_Palette.CreatePalette(pLog);
}

void CGradient::Draw(CDC* pDC, const CRect& rect, int nFrom, int nTo, int nOffset)
{
    if (m_arrColors.empty() || rect.IsRectEmpty())
        return;
    const bool bPaletteDevice = (pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0;
    const int bits = pDC->GetDeviceCaps(BITSPIXEL) * pDC->GetDeviceCaps(PLANES);
    if (!bPaletteDevice && bits < 8) {
        pDC->FillSolidRect(&rect, m_arrColors[0]);
        return;
    }
    const bool bHorizontal = m_nDirection == fromLeft || m_nDirection == fromRight;
    const int nBand = bHorizontal ? rect.Width() : rect.Height();
    const int nLength = static_cast<int>(static_cast<float>(nBand) * m_fScale);
    const int intervals = std::max(1, GetColorCount() - 1);
    const int nBudget = bPaletteDevice ? std::max(1, kPaletteColours / intervals) : kUnlimitedColours;

    CPalette* pOldPalette = nullptr;
    const bool bPalette = bPaletteDevice && m_bUsePalette && BuildPalette();
    if (bPalette) {
        pOldPalette = pDC->SelectPalette(&m_Palette, TRUE);
        pDC->RealizePalette();
    }
    int pos = std::max(nFrom, 0);
    for (const GradientEntry& e : MakeShiftedEntries(nOffset, nLength, nFrom, nTo, nBudget)) {
        CRect run = rect;
        switch (m_nDirection) {
        case fromRight: run.right = rect.right - pos; run.left = run.right - e.length; break;
        case fromTop: run.top = rect.top + pos; run.bottom = run.top + e.length; break;
        case fromBottom: run.bottom = rect.bottom - pos; run.top = run.bottom - e.length; break;
        default: run.left = rect.left + pos; run.right = run.left + e.length; break;
        }
        pDC->FillSolidRect(&run, bPalette ? (e.colour | 0x02000000) : e.colour);
        pos += e.length;
    }
    if (pOldPalette)
        pDC->SelectPalette(pOldPalette, TRUE);
}
