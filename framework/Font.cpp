#include "Font.h"

#include "DC.h"

#include <cstdlib>
#include <cstring>

BOOL CFont::CreatePointFont(int nPointSize, const char* lpszFaceName, CDC* pDC)
{
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, lpszFaceName ? lpszFaceName : "", LF_FACESIZE - 1);
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    // Tenths of a point to logical units of the device.
    POINT pt{0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), nPointSize, 720)};
    POINT origin{0, 0};
    ::DPtoLP(hDC, &pt, 1);
    ::DPtoLP(hDC, &origin, 1);
    lf.lfHeight = -std::abs(pt.y - origin.y);
    if (!pDC)
        ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&lf);
}
