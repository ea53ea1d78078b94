#include "Palette.h"

#include "DC.h"

BOOL CPalette::CreateHalftonePalette(CDC* pDC)
{
    return pDC ? Attach(::CreateHalftonePalette(pDC->m_hDC)) : FALSE;
}
