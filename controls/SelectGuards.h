// Guards that put one setting of a device context in place for a scope: each takes the DC
// and the new value, remembers the old one and puts it back when it goes (or earlier, on
// Restore). The progress bars draw their text through them.
#pragma once

#include "DC.h"

// The base of the guards: the DC and whether the old setting is still to be put back.
class CSelect
{
public:
    explicit CSelect(CDC* pDC) : m_pDC(pDC) {}
    virtual ~CSelect() = default;
    CSelect(const CSelect&) = delete;
    CSelect& operator=(const CSelect&) = delete;

    // Puts the old setting back now; the destructor then does nothing.
    virtual void Restore() = 0;

protected:
    CDC* m_pDC;
    bool m_bActive = true;
};

// Selects a font (a null handle changes nothing).
class CSelFont : public CSelect
{
public:
    CSelFont(CDC* pDC, HFONT hFont)
        : CSelect(pDC), m_hOld(hFont ? static_cast<HFONT>(::SelectObject(*pDC, hFont)) : nullptr)
    {
        m_bActive = hFont != nullptr;
    }
    ~CSelFont() override { CSelFont::Restore(); }
    void Restore() override
    {
        if (m_bActive)
            ::SelectObject(*m_pDC, m_hOld);
        m_bActive = false;
    }

private:
    HFONT m_hOld;
};

// Sets the background mode (OPAQUE or TRANSPARENT).
class CSelBkMode : public CSelect
{
public:
    CSelBkMode(CDC* pDC, int nMode) : CSelect(pDC), m_nOld(pDC->SetBkMode(nMode)) {}
    ~CSelBkMode() override { CSelBkMode::Restore(); }
    void Restore() override
    {
        if (m_bActive)
            m_pDC->SetBkMode(m_nOld);
        m_bActive = false;
    }

private:
    int m_nOld;
};

// Sets the text colour.
class CSelTextColor : public CSelect
{
public:
    CSelTextColor(CDC* pDC, COLORREF crText) : CSelect(pDC), m_crOld(pDC->SetTextColor(crText)) {}
    ~CSelTextColor() override { CSelTextColor::Restore(); }
    void Restore() override
    {
        if (m_bActive)
            m_pDC->SetTextColor(m_crOld);
        m_bActive = false;
    }

private:
    COLORREF m_crOld;
};

// Sets the text alignment (TA_... flags).
class CSelTextAlign : public CSelect
{
public:
    CSelTextAlign(CDC* pDC, UINT nAlign) : CSelect(pDC), m_nOld(pDC->SetTextAlign(nAlign)) {}
    ~CSelTextAlign() override { CSelTextAlign::Restore(); }
    void Restore() override
    {
        if (m_bActive)
            m_pDC->SetTextAlign(m_nOld);
        m_bActive = false;
    }

private:
    UINT m_nOld;
};
