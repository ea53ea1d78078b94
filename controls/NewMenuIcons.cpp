#include "NewMenuIcons.h"

#include "MenuColors.h"
#include "MenuDrawing.h"

#include <algorithm>
#include <functional>

IMPLEMENT_DYNAMIC(CNewMenuIcons, CObject)

namespace {

std::vector<CNewMenuIcons*>& ProcessLists()
{
    static auto* lists = new std::vector<CNewMenuIcons*>;
    return *lists;
}

// The colour count of a bitmap resource as its header gives it.
int ResourceColors(HMODULE hInst, UINT nID)
{
    HRSRC hRes = ::FindResourceA(hInst, MAKEINTRESOURCEA(nID), reinterpret_cast<LPCSTR>(RT_BITMAP));
    HGLOBAL hData = hRes ? ::LoadResource(hInst, hRes) : nullptr;
    const auto* pHeader = hData ? static_cast<const BITMAPINFOHEADER*>(::LockResource(hData)) : nullptr;
    if (!pHeader)
        return 0;
    if (pHeader->biClrUsed)
        return static_cast<int>(pHeader->biClrUsed);
    switch (pHeader->biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

HICON Transform(HICON hIcon, const std::function<COLORREF(COLORREF)>& fn)
{
    ICONINFO info{};
    if (!::GetIconInfo(hIcon, &info))
        return nullptr;
    BITMAP bm{};
    ::GetObjectA(info.hbmColor, sizeof bm, &bm);
    HDC hScreen = ::GetDC(nullptr);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    HBITMAP hCopy = ::CreateCompatibleBitmap(hScreen, bm.bmWidth, bm.bmHeight);
    HDC hSrc = ::CreateCompatibleDC(hScreen);
    HGDIOBJ oldSrc = ::SelectObject(hSrc, info.hbmColor);
    HGDIOBJ oldDst = ::SelectObject(hDC, hCopy);
    ::BitBlt(hDC, 0, 0, bm.bmWidth, bm.bmHeight, hSrc, 0, 0, SRCCOPY);
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x)
            ::SetPixel(hDC, x, y, fn(::GetPixel(hDC, x, y)));
    ::SelectObject(hSrc, oldSrc);
    ::SelectObject(hDC, oldDst);
    ::DeleteDC(hSrc);
    ::DeleteDC(hDC);
    ::ReleaseDC(nullptr, hScreen);
    ICONINFO made = info;
    made.hbmColor = hCopy;
    HICON hMade = ::CreateIconIndirect(&made);
    ::DeleteObject(hCopy);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return hMade;
}

} // namespace

CNewMenuIcons::~CNewMenuIcons()
{
    auto& lists = ProcessLists();
    lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
}

int CNewMenuIcons::Release()
{
    int n = --m_dwRefCount;
    if (n <= 0)
        delete this;
    return n;
}

int CNewMenuIcons::ListCount()
{
    return static_cast<int>(ProcessLists().size());
}

CNewMenuIcons* CNewMenuIcons::FindOrLoad(const WORD* pToolInfo, COLORREF crTransparent)
{
    for (CNewMenuIcons* p : ProcessLists())
        if (p->DoMatch(pToolInfo, crTransparent))
            return p;
    auto* p = new CNewMenuIcons;
    if (!p->LoadToolBar(pToolInfo, crTransparent)) {
        delete p;
        return nullptr;
    }
    ProcessLists().push_back(p);
    return p;
}

int CNewMenuIcons::FindIndex(UINT_PTR nID) const
{
    for (size_t i = 0; i < m_IDs.size(); ++i)
        if (m_IDs[i] == nID)
            return static_cast<int>(i);
    return -1;
}

BOOL CNewMenuIcons::DoMatch(const WORD* pToolInfo, COLORREF crTransparent) const
{
    if (!pToolInfo || pToolInfo[0] != m_nIDResource || crTransparent != m_crTransparent)
        return FALSE;
    size_t i = 0;
    for (const WORD* p = pToolInfo + 3; *p; ++p, ++i)
        if (i >= m_IDs.size() || m_IDs[i] != *p)
            return FALSE;
    return i == m_IDs.size();
}

BOOL CNewMenuIcons::LoadToolBar(const WORD* pToolInfo, COLORREF crTransparent)
{
    if (!pToolInfo)
        return FALSE;
    m_crTransparent = crTransparent;
    if (!LoadBitmap(pToolInfo[1], pToolInfo[2], pToolInfo[0], nullptr))
        return FALSE;
    m_IDs.clear();
    for (const WORD* p = pToolInfo + 3; *p; ++p)
        m_IDs.push_back(*p);
    MakeImages();
    return TRUE;
}

BOOL CNewMenuIcons::LoadBitmap(int nWidth, int nHeight, UINT nIDBitmap, HMODULE hInst)
{
    m_nIDResource = nIDBitmap;
    m_hInst = hInst;
    HMODULE hModule = hInst ? hInst : AfxGetResourceHandle();
    CBitmap bitmap;
    bitmap.Attach(::LoadImageA(hModule, MAKEINTRESOURCEA(nIDBitmap), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap.m_hObject) {
        m_nColors = 0;
        return FALSE;
    }
    m_nColors = ResourceColors(hModule, nIDBitmap);
    COLORREF crMask = m_crTransparent;
    if (crMask == CLR_DEFAULT) {
        // The image list's default: the colour of the strip's top-left pixel.
        HDC hDC = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(hDC, bitmap.m_hObject);
        crMask = ::GetPixel(hDC, 0, 0);
        ::SelectObject(hDC, old);
        ::DeleteDC(hDC);
    }
    m_IconsList.DeleteImageList();
    if (!m_IconsList.Create(nWidth, nHeight, ILC_COLORDDB | ILC_MASK, 0, 10))
        return FALSE;
    return m_IconsList.Add(&bitmap, crMask) >= 0;
}

HICON CNewMenuIcons::TransformIcon(HICON hIcon, COLORREF (*fn)(COLORREF))
{
    return Transform(hIcon, fn);
}

void CNewMenuIcons::AddShadedIcon(CImageList& target, HICON hIcon)
{
    HICON hShaded = TransformIcon(hIcon, [](COLORREF c) {
        return RGB(MulDiv(GetRValue(c), 205, 255), MulDiv(GetGValue(c), 205, 255), MulDiv(GetBValue(c), 205, 255));
    });
    target.Add(hShaded ? hShaded : hIcon);
    if (hShaded)
        ::DestroyIcon(hShaded);
}

void CNewMenuIcons::AddDisabledIcon(CImageList& target, HICON hIcon)
{
    const COLORREF menu = menudraw::MenuColor(nullptr, FALSE);
    HICON hDisabled = Transform(hIcon, [menu](COLORREF c) {
        COLORREF grey = menucolors::Lighten(100, menucolors::Grey(c));
        return menucolors::Mix8614(grey, menu);
    });
    target.Add(hDisabled ? hDisabled : hIcon);
    if (hDisabled)
        ::DestroyIcon(hDisabled);
}

void CNewMenuIcons::MakeImages()
{
    CSize size = GetIconSize();
    int count = m_IconsList.GetImageCount();
    CImageList rebuilt;
    if (!rebuilt.Create(size.cx, size.cy, ILC_COLORDDB | ILC_MASK, 0, 10))
        return;
    for (int i = 0; i < count; ++i) {
        HICON hIcon = m_IconsList.ExtractIcon(i);
        rebuilt.Add(hIcon);
        AddShadedIcon(rebuilt, hIcon);
        AddDisabledIcon(rebuilt, hIcon);
        ::DestroyIcon(hIcon);
    }
    m_IconsList.DeleteImageList();
    m_IconsList.Attach(rebuilt.Detach());
}

CSize CNewMenuIcons::GetIconSize() const
{
    int cx = 0, cy = 0;
    if (m_IconsList.m_hImageList)
        ImageList_GetIconSize(m_IconsList.m_hImageList, &cx, &cy);
    return CSize(cx, cy);
}
