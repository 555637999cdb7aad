// Points, sizes and rectangles in device units, with the Win32 rectangle rules: a rectangle
// holds the points with left <= x < right and top <= y < bottom, and it is empty when it has
// no width or no height.
// Classes here: CSize, CPoint, CRect.
#pragma once

#include "framework/wintypes.h"

class CPoint;
class CRect;

class CSize : public SIZE
{
public:
    CSize() : SIZE{0, 0} {}
    CSize(int initCX, int initCY) : SIZE{initCX, initCY} {}
    CSize(SIZE initSize) : SIZE(initSize) {}
    CSize(POINT initPt) : SIZE{initPt.x, initPt.y} {}
    // Low word cx, high word cy.
    CSize(DWORD dwSize)
        : SIZE{static_cast<short>(LOWORD(dwSize)), static_cast<short>(HIWORD(dwSize))}
    {
    }

    void SetSize(int CX, int CY) { cx = CX, cy = CY; }
    friend bool operator==(const CSize& a, const CSize& b) { return a.cx == b.cx && a.cy == b.cy; }
    friend bool operator==(const CSize& a, const SIZE& b) { return a == CSize(b); }
    void operator+=(SIZE s) { cx += s.cx, cy += s.cy; }
    void operator-=(SIZE s) { cx -= s.cx, cy -= s.cy; }
    CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
    CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
    CPoint operator+(POINT pt) const;
    CPoint operator-(POINT pt) const;
    CRect operator+(const RECT* lpRect) const;
    CRect operator-(const RECT* lpRect) const;
};

class CPoint : public POINT
{
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int initX, int initY) : POINT{initX, initY} {}
    CPoint(POINT initPt) : POINT(initPt) {}
    CPoint(SIZE initSize) : POINT{initSize.cx, initSize.cy} {}
    // Signed low word x, signed high word y (as mouse messages pack them).
    CPoint(LONG_PTR dwPoint)
        : POINT{static_cast<short>(LOWORD(dwPoint)), static_cast<short>(HIWORD(dwPoint))}
    {
    }

    void Offset(int xOffset, int yOffset) { x += xOffset, y += yOffset; }
    void Offset(POINT pt) { Offset(pt.x, pt.y); }
    void Offset(SIZE s) { Offset(s.cx, s.cy); }
    void SetPoint(int X, int Y) { x = X, y = Y; }
    friend bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator==(const CPoint& a, const POINT& b) { return a == CPoint(b); }
    void operator+=(SIZE s) { Offset(s); }
    void operator-=(SIZE s) { Offset(-s.cx, -s.cy); }
    void operator+=(POINT pt) { Offset(pt); }
    void operator-=(POINT pt) { Offset(-pt.x, -pt.y); }
    CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
    CPoint operator+(POINT pt) const { return CPoint(x + pt.x, y + pt.y); }
    CSize operator-(POINT pt) const { return CSize(x - pt.x, y - pt.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
    CRect operator+(const RECT* lpRect) const;
    CRect operator-(const RECT* lpRect) const;
};

class CRect : public RECT
{
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& srcRect) : RECT(srcRect) {}
    CRect(const RECT* lpSrcRect) : RECT(*lpSrcRect) {}
    CRect(POINT point, SIZE size) : RECT{point.x, point.y, point.x + size.cx, point.y + size.cy} {}
    CRect(POINT topLeft, POINT bottomRight)
        : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}
    {
    }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    // References into the rectangle: writing through them moves that corner.
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT pt) const
    {
        return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom;
    }
    BOOL EqualRect(const RECT* lpRect) const
    {
        return left == lpRect->left && top == lpRect->top && right == lpRect->right &&
               bottom == lpRect->bottom;
    }

    void SetRect(int x1, int y1, int x2, int y2) { left = x1, top = y1, right = x2, bottom = y2; }
    void SetRect(POINT topLeft, POINT bottomRight)
    {
        SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(const RECT* lpSrcRect) { *static_cast<RECT*>(this) = *lpSrcRect; }

    void OffsetRect(int x, int y) { left += x, right += x, top += y, bottom += y; }
    void OffsetRect(POINT pt) { OffsetRect(pt.x, pt.y); }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void MoveToX(int x) { right = Width() + x, left = x; }
    void MoveToY(int y) { bottom = Height() + y, top = y; }
    void MoveToXY(int x, int y) { MoveToX(x), MoveToY(y); }
    void MoveToXY(POINT pt) { MoveToXY(pt.x, pt.y); }

    void InflateRect(int l, int t, int r, int b) { left -= l, top -= t, right += r, bottom += b; }
    void InflateRect(int x, int y) { InflateRect(x, y, x, y); }
    void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
    void InflateRect(const RECT* lpRect)
    {
        InflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void DeflateRect(int x, int y) { InflateRect(-x, -y); }
    void DeflateRect(SIZE s) { InflateRect(-s.cx, -s.cy); }
    void DeflateRect(const RECT* lpRect)
    {
        DeflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }

    // Swaps edges so that left <= right and top <= bottom.
    void NormalizeRect();
    // The overlap of the two; empty (all zero) and FALSE when they do not overlap.
    BOOL IntersectRect(const RECT* lpRect1, const RECT* lpRect2);
    // The smallest rectangle holding both; empty rectangles are left out. FALSE when the
    // result is empty.
    BOOL UnionRect(const RECT* lpRect1, const RECT* lpRect2);

    friend bool operator==(const CRect& a, const CRect& b) { return a.EqualRect(&b) != FALSE; }
    friend bool operator==(const CRect& a, const RECT& b) { return a.EqualRect(&b) != FALSE; }
    void operator+=(POINT pt) { OffsetRect(pt); }
    void operator+=(SIZE s) { OffsetRect(s); }
    void operator+=(const RECT* lpRect) { InflateRect(lpRect); }
    void operator-=(POINT pt) { OffsetRect(-pt.x, -pt.y); }
    void operator-=(SIZE s) { OffsetRect(-s.cx, -s.cy); }
    void operator-=(const RECT* lpRect) { DeflateRect(lpRect); }
    void operator&=(const RECT& rect) { IntersectRect(this, &rect); }
    void operator|=(const RECT& rect) { UnionRect(this, &rect); }
    CRect operator+(POINT pt) const
    {
        CRect r(*this);
        r += pt;
        return r;
    }
    CRect operator-(POINT pt) const
    {
        CRect r(*this);
        r -= pt;
        return r;
    }
    CRect operator+(SIZE s) const
    {
        CRect r(*this);
        r += s;
        return r;
    }
    CRect operator-(SIZE s) const
    {
        CRect r(*this);
        r -= s;
        return r;
    }
    CRect operator+(const RECT* lpRect) const
    {
        CRect r(*this);
        r += lpRect;
        return r;
    }
    CRect operator-(const RECT* lpRect) const
    {
        CRect r(*this);
        r -= lpRect;
        return r;
    }
    CRect operator&(const RECT& rect) const
    {
        CRect r;
        r.IntersectRect(this, &rect);
        return r;
    }
    CRect operator|(const RECT& rect) const
    {
        CRect r;
        r.UnionRect(this, &rect);
        return r;
    }
};

inline CPoint CSize::operator+(POINT pt) const
{
    return CPoint(cx + pt.x, cy + pt.y);
}
inline CPoint CSize::operator-(POINT pt) const
{
    return CPoint(cx - pt.x, cy - pt.y);
}
inline CRect CSize::operator+(const RECT* lpRect) const
{
    return CRect(lpRect) + *this;
}
inline CRect CSize::operator-(const RECT* lpRect) const
{
    return CRect(lpRect) - *this;
}
inline CRect CPoint::operator+(const RECT* lpRect) const
{
    return CRect(lpRect) + *this;
}
inline CRect CPoint::operator-(const RECT* lpRect) const
{
    return CRect(lpRect) - *this;
}
