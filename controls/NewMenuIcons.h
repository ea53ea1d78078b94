// CNewMenuIcons: the icons of menu items, made from a bitmap strip and a toolbar block
// (bitmap id, cell width, cell height, then the command of each cell, ended by 0). Every
// icon is kept three times: 3i plain, 3i + 1 shaded (shown unselected when the icon-draw
// flag is set), 3i + 2 disabled. The lists are shared between menus, counted, and kept in
// one process-wide list, so that loading the same block again reuses the first list.
#pragma once

#include "Framework.h"

#include <vector>

class CNewMenuIcons : public CObject
{
    DECLARE_DYNAMIC(CNewMenuIcons)
public:
    CNewMenuIcons() = default;
    ~CNewMenuIcons() override;

    // The list loaded from this block and mask colour, or a new one (null when the bitmap
    // cannot be loaded). A new list joins the process-wide list with no reference yet.
    static CNewMenuIcons* FindOrLoad(const WORD* pToolInfo, COLORREF crTransparent);
    // How many lists exist in the process.
    static int ListCount();

    virtual int FindIndex(UINT_PTR nID) const;
    virtual BOOL LoadToolBar(const WORD* pToolInfo, COLORREF crTransparent);
    virtual BOOL DoMatch(const WORD* pToolInfo, COLORREF crTransparent) const;
    virtual BOOL LoadBitmap(int nWidth, int nHeight, UINT nIDBitmap, HMODULE hInst);
    // Appends the darkened picture of the icon.
    virtual void AddShadedIcon(CImageList& target, HICON hIcon);
    // Appends the greyed, lightened picture mixed with the menu colour.
    virtual void AddDisabledIcon(CImageList& target, HICON hIcon);
    // Rebuilds the list as plain, shaded and disabled picture per icon.
    virtual void MakeImages();

    int AddRef() { return ++m_dwRefCount; }
    // Drops one reference; the last one deletes the list and takes it out of the
    // process-wide list.
    int Release();

    CSize GetIconSize() const;

    UINT m_nIDResource = 0;
    HMODULE m_hInst = nullptr;
    COLORREF m_crTransparent = CLR_DEFAULT;
    CImageList m_IconsList;
    std::vector<UINT_PTR> m_IDs;
    int m_dwRefCount = 0;
    int m_nColors = 0;

private:
    // Applies fn to every pixel of a copy of the icon's colour picture.
    static HICON TransformIcon(HICON hIcon, COLORREF (*fn)(COLORREF));
};
