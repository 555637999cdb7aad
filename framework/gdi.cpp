// Temporary GDI wrappers and the members of the GDI classes that do more than one call.
#include "framework/gdi.h"

#include "framework/handle_map.h"
#include "framework/wnd.h"

namespace {

template <class T>
void SetGdiHandle(T& obj, HGDIOBJ h)
{
    obj.m_hObject = h;
}
void SetDcHandle(CDC& dc, HDC h)
{
    dc.m_hDC = h;
}

// One temporary map per wrapper type, so FromHandle returns the type the caller asked for.
template <class T>
T* TempGdi(HGDIOBJ h)
{
    return AfxThreadMap<CHandleMap<T, HGDIOBJ, &SetGdiHandle<T>>>().FromHandle(h);
}
template <class T>
void DeleteTempGdi()
{
    AfxThreadMap<CHandleMap<T, HGDIOBJ, &SetGdiHandle<T>>>().DeleteTemp();
}
using DcMap = CHandleMap<CDC, HDC, &SetDcHandle>;

} // namespace

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h)
{
    return TempGdi<CGdiObject>(h);
}
CPen* CPen::FromHandle(HPEN h)
{
    return TempGdi<CPen>(h);
}
CBrush* CBrush::FromHandle(HBRUSH h)
{
    return TempGdi<CBrush>(h);
}
CFont* CFont::FromHandle(HFONT h)
{
    return TempGdi<CFont>(h);
}
CBitmap* CBitmap::FromHandle(HBITMAP h)
{
    return TempGdi<CBitmap>(h);
}
CRgn* CRgn::FromHandle(HRGN h)
{
    return TempGdi<CRgn>(h);
}

void CGdiObject::DeleteTempMap()
{
    DeleteTempGdi<CGdiObject>();
    DeleteTempGdi<CPen>();
    DeleteTempGdi<CBrush>();
    DeleteTempGdi<CFont>();
    DeleteTempGdi<CBitmap>();
    DeleteTempGdi<CRgn>();
}

CDC* CDC::FromHandle(HDC hDC)
{
    return AfxThreadMap<DcMap>().FromHandle(hDC);
}
void CDC::DeleteTempMap()
{
    AfxThreadMap<DcMap>().DeleteTemp();
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName)
{
    LOGFONT lf{};
    HDC screen = ::GetDC(nullptr);
    // nPointSize is in tenths of a point.
    lf.lfHeight = -MulDiv(nPointSize, ::GetDeviceCaps(screen, LOGPIXELSY), 720);
    ::ReleaseDC(nullptr, screen);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyn(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(CDC::AfxHdc(pDC), nWidth, nHeight));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Attach(::LoadBitmap(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource)));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft,
                     COLORREF clrBottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, clr);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(AfxHwnd(pWnd))
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}
CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(AfxHwnd(pWnd))
{
    Attach(::GetDC(m_hWnd));
}
CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(AfxHwnd(pWnd))
{
    Attach(::GetWindowDC(m_hWnd));
}
CWindowDC::~CWindowDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

namespace {

// The region between a rectangle and the same rectangle shrunk by size: its frame.
HRGN FrameRegion(LPCRECT lpRect, SIZE size)
{
    RECT inner = *lpRect;
    ::InflateRect(&inner, -size.cx, -size.cy);
    ::IntersectRect(&inner, &inner, lpRect);
    HRGN outside = ::CreateRectRgnIndirect(lpRect);
    HRGN inside = ::CreateRectRgnIndirect(&inner);
    HRGN frame = ::CreateRectRgn(0, 0, 0, 0);
    ::CombineRgn(frame, outside, inside, RGN_XOR);
    ::DeleteObject(outside);
    ::DeleteObject(inside);
    return frame;
}

void InvertRegion(HDC hDC, HRGN hRgn, HBRUSH hBrush)
{
    ::SelectClipRgn(hDC, hRgn);
    RECT box;
    ::GetClipBox(hDC, &box);
    HGDIOBJ old = ::SelectObject(hDC, hBrush);
    ::PatBlt(hDC, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
    ::SelectObject(hDC, old);
}

} // namespace

CBrush* CDC::GetHalftoneBrush()
{
    static CBrush brush = [] {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i)
            pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
        CBrush b;
        HBITMAP bmp = ::CreateBitmap(8, 8, 1, 1, pattern);
        b.Attach(::CreatePatternBrush(bmp));
        ::DeleteObject(bmp); // the brush keeps its own copy of the pattern
        return b;
    }();
    return &brush;
}

void CDC::DrawDragRect(LPCRECT lpRect, SIZE size, LPCRECT lpRectLast, SIZE sizeLast,
                       CBrush* pBrush, CBrush* pBrushLast)
{
    if (pBrush == nullptr)
        pBrush = GetHalftoneBrush();
    if (pBrushLast == nullptr)
        pBrushLast = pBrush;
    HBRUSH hBrush = static_cast<HBRUSH>(pBrush->m_hObject);
    HBRUSH hBrushLast = static_cast<HBRUSH>(pBrushLast->m_hObject);
    HRGN rgnNew = FrameRegion(lpRect, size);
    HRGN rgnUpdate = nullptr;
    if (lpRectLast != nullptr) {
        HRGN rgnLast = FrameRegion(lpRectLast, sizeLast);
        if (hBrush == hBrushLast) { // same brush: inverting the difference does both
            rgnUpdate = ::CreateRectRgn(0, 0, 0, 0);
            ::CombineRgn(rgnUpdate, rgnLast, rgnNew, RGN_XOR);
        } else {
            InvertRegion(m_hDC, rgnLast, hBrushLast);
        }
        ::DeleteObject(rgnLast);
    }
    InvertRegion(m_hDC, rgnUpdate != nullptr ? rgnUpdate : rgnNew, hBrush);
    ::SelectClipRgn(m_hDC, nullptr);
    ::DeleteObject(rgnNew);
    if (rgnUpdate != nullptr)
        ::DeleteObject(rgnUpdate);
}
