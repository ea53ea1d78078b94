// CPoint, CSize and CRect: the Windows POINT, SIZE and RECT with value operations. They
// derive from the Windows structures, so they pass wherever those are expected.
#pragma once

#include <windows.h>

class CSize : public SIZE
{
public:
    CSize() { cx = cy = 0; }
    CSize(int x, int y) { cx = x; cy = y; }
    CSize(SIZE s) { cx = s.cx; cy = s.cy; }
    CSize(POINT p) { cx = p.x; cy = p.y; }

    bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(SIZE s) const { return !(*this == s); }
    void operator+=(SIZE s) { cx += s.cx; cy += s.cy; }
    void operator-=(SIZE s) { cx -= s.cx; cy -= s.cy; }
    CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
    CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
};

class CPoint : public POINT
{
public:
    CPoint() { x = y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    CPoint(POINT p) { x = p.x; y = p.y; }
    CPoint(SIZE s) { x = s.cx; y = s.cy; }
    // From a message's LPARAM: x in the low word, y in the high word, both signed.
    explicit CPoint(LPARAM dwPoint)
    {
        x = static_cast<short>(LOWORD(dwPoint));
        y = static_cast<short>(HIWORD(dwPoint));
    }

    void Offset(int dx, int dy) { x += dx; y += dy; }
    void Offset(POINT p) { Offset(p.x, p.y); }
    void Offset(SIZE s) { Offset(s.cx, s.cy); }
    void SetPoint(int X, int Y) { x = X; y = Y; }

    bool operator==(POINT p) const { return x == p.x && y == p.y; }
    bool operator!=(POINT p) const { return !(*this == p); }
    void operator+=(SIZE s) { x += s.cx; y += s.cy; }
    void operator-=(SIZE s) { x -= s.cx; y -= s.cy; }
    void operator+=(POINT p) { x += p.x; y += p.y; }
    void operator-=(POINT p) { x -= p.x; y -= p.y; }
    CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
    CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
    CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public RECT
{
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) { SetRect(r.left, r.top, r.right, r.bottom); }
    CRect(const RECT* r) { SetRectEmpty(); CopyRect(r); }
    CRect(POINT topLeft, SIZE size)
    {
        left = topLeft.x; top = topLeft.y;
        right = left + size.cx; bottom = top + size.cy;
    }
    CRect(POINT topLeft, POINT bottomRight)
    {
        left = topLeft.x; top = topLeft.y;
        right = bottomRight.x; bottom = bottomRight.y;
    }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(this); }
    CPoint& BottomRight() { return *(reinterpret_cast<CPoint*>(this) + 1); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(this); }
    const CPoint& BottomRight() const { return *(reinterpret_cast<const CPoint*>(this) + 1); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator RECT*() { return this; }
    operator const RECT*() const { return this; }

    bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(const RECT* r) { if (r) SetRect(r->left, r->top, r->right, r->bottom); }
    bool EqualRect(const RECT* r) const
    {
        return r && left == r->left && top == r->top && right == r->right && bottom == r->bottom;
    }

    void InflateRect(int x, int y) { left -= x; top -= y; right += x; bottom += y; }
    void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void InflateRect(const RECT* r) { InflateRect(r->left, r->top, r->right, r->bottom); }
    void DeflateRect(int x, int y) { InflateRect(-x, -y); }
    void DeflateRect(SIZE s) { InflateRect(-s.cx, -s.cy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void DeflateRect(const RECT* r) { DeflateRect(r->left, r->top, r->right, r->bottom); }
    void OffsetRect(int x, int y) { left += x; top += y; right += x; bottom += y; }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void MoveToX(int x) { right += x - left; left = x; }
    void MoveToY(int y) { bottom += y - top; top = y; }
    void MoveToXY(int x, int y) { MoveToX(x); MoveToY(y); }
    void NormalizeRect();

    // Both answer whether the result is non-empty; an empty result is all zeros.
    bool IntersectRect(const RECT* a, const RECT* b);
    bool UnionRect(const RECT* a, const RECT* b);

    bool operator==(const RECT& r) const { return EqualRect(&r); }
    bool operator!=(const RECT& r) const { return !EqualRect(&r); }
    void operator+=(POINT p) { OffsetRect(p); }
    void operator-=(POINT p) { OffsetRect(-p.x, -p.y); }
    void operator&=(const RECT& r) { IntersectRect(this, &r); }
    void operator|=(const RECT& r) { UnionRect(this, &r); }
    CRect operator+(POINT p) const { CRect r(*this); r.OffsetRect(p); return r; }
    CRect operator-(POINT p) const { CRect r(*this); r.OffsetRect(-p.x, -p.y); return r; }
    CRect operator&(const RECT& o) const { CRect r; r.IntersectRect(this, &o); return r; }
    CRect operator|(const RECT& o) const { CRect r; r.UnionRect(this, &o); return r; }
};
