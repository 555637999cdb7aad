// CRect operations with more than one rule to them.
#include "framework/geometry.h"

#include <algorithm>
#include <utility>

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

BOOL CRect::IntersectRect(const RECT* lpRect1, const RECT* lpRect2)
{
    const CRect a(lpRect1), b(lpRect2); // either may be this rectangle
    const CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom));
    if (a.IsRectEmpty() || b.IsRectEmpty() || r.IsRectEmpty()) {
        SetRectEmpty();
        return FALSE;
    }
    *this = r;
    return TRUE;
}

BOOL CRect::UnionRect(const RECT* lpRect1, const RECT* lpRect2)
{
    const CRect a(lpRect1), b(lpRect2);
    if (a.IsRectEmpty() && b.IsRectEmpty()) {
        SetRectEmpty();
        return FALSE;
    }
    if (a.IsRectEmpty())
        *this = b;
    else if (b.IsRectEmpty())
        *this = a;
    else
        SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom));
    return TRUE;
}
