// GDI wrappers: owning objects for pens, brushes, fonts and bitmaps, and device contexts.
// Classes here: CGdiObject, CPen, CBrush, CFont, CBitmap, CRgn, CDC, CPaintDC, CClientDC,
// CWindowDC.
//
// Every class owns its handle and deletes it (DeleteObject/DeleteDC); copies are deleted,
// moves transfer the handle. Attach/Detach are the only other ways ownership crosses.
// FromHandle gives a borrowing wrapper that lives until the thread's next idle time.
#pragma once

#include <windows.h>

#include <utility>

#include "framework/core.h"

class CWnd;

class CGdiObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_hObject(std::exchange(other.m_hObject, nullptr))
    {
    }
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other) {
            DeleteObject();
            m_hObject = std::exchange(other.m_hObject, nullptr);
        }
        return *this;
    }
    virtual ~CGdiObject() { DeleteObject(); }

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    // Takes ownership; false when this object already holds a handle or h is null.
    BOOL Attach(HGDIOBJ h)
    {
        if (m_hObject != nullptr || h == nullptr)
            return FALSE;
        m_hObject = h;
        return TRUE;
    }
    HGDIOBJ Detach() { return std::exchange(m_hObject, nullptr); }
    BOOL DeleteObject()
    {
        HGDIOBJ h = Detach();
        return h != nullptr && ::DeleteObject(h);
    }
    int GetObject(int nCount, LPVOID lpObject) const
    {
        return ::GetObject(m_hObject, nCount, lpObject);
    }
    BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

    static CGdiObject* FromHandle(HGDIOBJ h);
    static void DeleteTempMap();
};

inline HGDIOBJ AfxHandle(const CGdiObject* p)
{
    return p != nullptr ? p->m_hObject : nullptr;
}

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
    {
        return Attach(::CreatePen(nPenStyle, nWidth, crColor));
    }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    static CPen* FromHandle(HPEN h);
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
    BOOL CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    static CBrush* FromHandle(HBRUSH h);
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont)
    {
        return Attach(::CreateFontIndirect(lpLogFont));
    }
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName);
    int GetLogFont(LOGFONT* pLogFont) const { return GetObject(sizeof(LOGFONT), pLogFont); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    static CFont* FromHandle(HFONT h);
};

class CBitmap : public CGdiObject {
public:
    BOOL CreateCompatibleBitmap(class CDC* pDC, int nWidth, int nHeight);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
    {
        return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
    }
    BOOL LoadBitmap(UINT nIDResource);
    int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    static CBitmap* FromHandle(HBITMAP h);
};

// A region; the combining members return the region type (ERROR on failure).
class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2)
    {
        return Attach(::CreateRectRgn(x1, y1, x2, y2));
    }
    BOOL CreateRectRgnIndirect(LPCRECT r) { return Attach(::CreateRectRgnIndirect(r)); }
    int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
    {
        return ::CombineRgn(*this, *pRgn1, pRgn2 ? HRGN(*pRgn2) : nullptr, nCombineMode);
    }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
    int GetRgnBox(LPRECT r) const { return ::GetRgnBox(*this, r); }
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    static CRgn* FromHandle(HRGN h);
};

class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() { DeleteDC(); }

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL Attach(HDC hDC)
    {
        if (m_hDC != nullptr || hDC == nullptr)
            return FALSE;
        m_hDC = hDC;
        return TRUE;
    }
    HDC Detach() { return std::exchange(m_hDC, nullptr); }
    BOOL DeleteDC()
    {
        HDC h = Detach();
        return h != nullptr && ::DeleteDC(h);
    }
    // A memory DC compatible with pDC (the screen when null).
    BOOL CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(AfxHdc(pDC))); }
    static CDC* FromHandle(HDC hDC);
    static void DeleteTempMap();
    static HDC AfxHdc(const CDC* p) { return p != nullptr ? p->m_hDC : nullptr; }

    // Selection returns the previously selected object as a temporary wrapper.
    CPen* SelectObject(CPen* p) { return CPen::FromHandle(HPEN(Select(p))); }
    CBrush* SelectObject(CBrush* p) { return CBrush::FromHandle(HBRUSH(Select(p))); }
    CFont* SelectObject(CFont* p) { return CFont::FromHandle(HFONT(Select(p))); }
    CBitmap* SelectObject(CBitmap* p) { return CBitmap::FromHandle(HBITMAP(Select(p))); }
    CGdiObject* SelectStockObject(int nIndex)
    {
        return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
    }
    int SelectClipRgn(CRgn* pRgn)
    {
        return ::SelectClipRgn(m_hDC, pRgn ? HRGN(*pRgn) : nullptr);
    }
    int ExcludeClipRect(LPCRECT r)
    {
        return ::ExcludeClipRect(m_hDC, r->left, r->top, r->right, r->bottom);
    }
    int IntersectClipRect(LPCRECT r)
    {
        return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom);
    }
    int GetClipBox(LPRECT r) const { return ::GetClipBox(m_hDC, r); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }

    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    UINT SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
    CPoint SetViewportOrg(int x, int y)
    {
        POINT old{};
        ::SetViewportOrgEx(m_hDC, x, y, &old);
        return CPoint(old);
    }
    CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    CPoint GetViewportOrg() const
    {
        POINT p{};
        ::GetViewportOrgEx(m_hDC, &p);
        return CPoint(p);
    }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }

    CPoint MoveTo(int x, int y)
    {
        POINT old{};
        ::MoveToEx(m_hDC, x, y, &old);
        return CPoint(old);
    }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    int FillRect(LPCRECT lpRect, CBrush* pBrush)
    {
        return ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(AfxHandle(pBrush)));
    }
    int FrameRect(LPCRECT lpRect, CBrush* pBrush)
    {
        return ::FrameRect(m_hDC, lpRect, static_cast<HBRUSH>(AfxHandle(pBrush)));
    }
    // A frame of 1-pixel lines: clrTopLeft on the top and left edges, clrBottomRight on the others.
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void Draw3dRect(LPCRECT r, COLORREF clrTopLeft, COLORREF clrBottomRight)
    {
        Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, clrTopLeft,
                   clrBottomRight);
    }
    void DrawFocusRect(LPCRECT r) { ::DrawFocusRect(m_hDC, r); }
    BOOL DrawFrameControl(LPRECT r, UINT nType, UINT nState)
    {
        return ::DrawFrameControl(m_hDC, r, nType, nState);
    }
    BOOL Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
    BOOL PatBlt(int x, int y, int cx, int cy, DWORD dwRop)
    {
        return ::PatBlt(m_hDC, x, y, cx, cy, dwRop);
    }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }

    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
    {
        return ::DrawText(m_hDC, lpszString, nCount, lpRect, nFormat);
    }
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat)
    {
        return ::DrawText(m_hDC, str, str.GetLength(), lpRect, nFormat);
    }
    BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount)
    {
        return ::TextOut(m_hDC, x, y, lpszString, nCount);
    }
    BOOL TextOut(int x, int y, const CString& str) { return TextOut(x, y, str, str.GetLength()); }
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const
    {
        SIZE s{};
        ::GetTextExtentPoint32(m_hDC, lpszString, nCount, &s);
        return CSize(s);
    }
    CSize GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, AfxHdc(pSrcDC), xSrc, ySrc, dwRop);
    }

    // Inverts the frame of lpRect, size thick, through pBrush, and takes away the frame drawn
    // last (lpRectLast, sizeLast, pBrushLast) in the same stroke: only the difference changes,
    // so a moving tracking rectangle does not flicker. Thickness 0 erases. Null brushes mean
    // the halftone brush.
    void DrawDragRect(LPCRECT lpRect, SIZE size, LPCRECT lpRectLast, SIZE sizeLast,
                      CBrush* pBrush = nullptr, CBrush* pBrushLast = nullptr);
    // The 50% grey checkerboard brush of tracking rectangles; owned by the framework.
    static CBrush* GetHalftoneBrush();

private:
    HGDIOBJ Select(const CGdiObject* p) { return ::SelectObject(m_hDC, AfxHandle(p)); }
};

// BeginPaint/EndPaint around one WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

// GetDC/ReleaseDC of a window's client area.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

// GetWindowDC/ReleaseDC of a whole window, caption and frame included.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};
