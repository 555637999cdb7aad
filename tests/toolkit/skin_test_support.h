// Shared by the skin tests: a stand-in sizable bar that paints its non-client area through a
// dock-bar skin, real mouse input and pixel reads.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>

#include "framework/ui.h"
#include "toolkit/frames/skins/dockbar_skin.h"

// The client area of a TestBar, unlike any system colour.
constexpr COLORREF kClientColour = RGB(10, 20, 30);

// A child window laid out and painted like a docked sizable bar: the skin reserves the
// caption in WM_NCCALCSIZE and paints border, strip and buttons in WM_NCPAINT.
class TestBar : public CWnd, public COXSkinnedBar
{
public:
    // pSkin null: the bar asks pfnLookup at every paint (the skinned-app lookup).
    TestBar(COXDockbarSkin* pSkin, DWORD dwSizeBarStyle, DWORD dwBarStyle)
        : m_pSkin(pSkin), m_dwSizeBarStyle(dwSizeBarStyle), m_dwBarStyle(dwBarStyle)
    {
    }
    BOOL CreateBar(CWnd* pParent, const CRect& rect, LPCTSTR lpszTitle)
    {
        return CreateEx(0, nullptr, lpszTitle, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                        rect, pParent, 0);
    }
    COXDockbarSkin* (*pfnLookup)(TestBar*) = nullptr;
    COXDockbarSkin* Skin() { return pfnLookup != nullptr ? pfnLookup(this) : m_pSkin; }

    CWnd* GetBarWindow() override { return this; }
    DWORD GetSizeBarStyle() const override { return m_dwSizeBarStyle; }
    DWORD GetBarStyle() const override { return m_dwBarStyle; }
    BOOL CanExpand() override { return m_bCanExpand; }
    BOOL IsBarActive() const override { return m_bActive; }
    BOOL IsBarExpanded() const override { return m_bExpanded; }
    int GetPressedButton() const override { return m_nPressed; }
    CRect& GetCaptionRect() override { return m_rectCaption; }
    CRect& GetCloseRect() override { return m_rectClose; }
    CRect& GetExpandRect() override { return m_rectExpand; }
    void SetCaptionPending(BOOL bPending) override { m_bHasCaption = bPending; }
    void DrawBarBorders(CDC* pDC, CRect& rect) override
    {
        pDC->Draw3dRect(&rect, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        rect.DeflateRect(1, 1);
    }

    // The bar's window DC colour at a point of its window rectangle.
    COLORREF WindowPixel(int x, int y)
    {
        HDC dc = ::GetWindowDC(m_hWnd);
        COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(m_hWnd, dc);
        return c;
    }
    // The offset of the client area in the window rectangle.
    CPoint Origin() { return COXDockbarSkin::ClientOrigin(this); }

    COXDockbarSkin* m_pSkin;
    DWORD m_dwSizeBarStyle;
    DWORD m_dwBarStyle;
    BOOL m_bCanExpand = TRUE;
    BOOL m_bActive = FALSE;
    BOOL m_bExpanded = FALSE;
    int m_nPressed = -1;
    BOOL m_bHasCaption = FALSE;
    CRect m_rectCaption, m_rectClose, m_rectExpand;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_NCCALCSIZE: {
            LRESULT r = CWnd::WindowProc(message, wParam, lParam);
            auto* rect = reinterpret_cast<RECT*>(lParam); // rgrc[0] either way
            CRect client(rect);
            Skin()->CalcBarClientRect(static_cast<BOOL>(wParam), client, this);
            *rect = client;
            return r;
        }
        case WM_NCPAINT:
            PaintNonClient();
            return 0;
        case WM_ERASEBKGND: {
            CRect rect;
            GetClientRect(&rect);
            CDC::FromHandle(reinterpret_cast<HDC>(wParam))
                ->FillSolidRect(&rect, kClientColour);
            return TRUE;
        }
        default:
            return CWnd::WindowProc(message, wParam, lParam);
        }
    }
    void PaintNonClient()
    {
        CWindowDC dc(this);
        CRect rectWindow, rectClient;
        GetWindowRect(&rectWindow);
        GetClientRect(&rectClient);
        rectClient.OffsetRect(Origin());
        rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
        dc.ExcludeClipRect(&rectClient);
        COXDockbarSkin* pSkin = Skin();
        pSkin->DrawBarBackground(&dc, rectWindow, this);
        pSkin->LayoutCaption(this);
        if (!(m_dwSizeBarStyle & 0x20))
            pSkin->DrawGripper(&dc, this);
        if (!(m_dwSizeBarStyle & 0x40))
            pSkin->DrawCloseButton(&dc, this);
        if (!(m_dwSizeBarStyle & 0x80))
            pSkin->DrawExpandButton(&dc, this);
    }
};

inline void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

// Control-bar styles the skins read.
constexpr DWORD kDockedTop = 0x2000;  // CBRS_ALIGN_TOP: strip at the bar's left
constexpr DWORD kDockedLeft = 0x1000; // CBRS_ALIGN_LEFT: strip at the bar's top
constexpr DWORD kFloating = 0x0001;   // CBRS_FLOATING

// Moves the real cursor to a screen point through the input queue.
inline void MoveMouseTo(int x, int y)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((x * 65536LL + cx - 1) / cx);
    in.mi.dy = static_cast<LONG>((y * 65536LL + cy - 1) / cy);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
}

inline void MouseButton(bool down)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(in));
}

// Per-channel distance of two colours.
inline int ColourDistance(COLORREF a, COLORREF b)
{
    int d = std::abs(GetRValue(a) - GetRValue(b));
    d = std::max(d, std::abs(GetGValue(a) - GetGValue(b)));
    return std::max(d, std::abs(GetBValue(a) - GetBValue(b)));
}

// Whether any pixel of rect (in the DC's coordinates) has the colour.
inline bool AnyPixel(HDC dc, const RECT& rect, COLORREF clr)
{
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (::GetPixel(dc, x, y) == clr)
                return true;
    return false;
}

// The process's USER object count; where the system does not tell (Wine answers 0), the
// windows of this thread, children included.
inline DWORD UserObjectCount()
{
    DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    if (n != 0)
        return n;
    auto countTop = [](HWND h, LPARAM l) -> BOOL {
        ++*reinterpret_cast<DWORD*>(l);
        ::EnumChildWindows(h, [](HWND, LPARAM p) -> BOOL {
            ++*reinterpret_cast<DWORD*>(p);
            return TRUE;
        }, l);
        return TRUE;
    };
    ::EnumThreadWindows(::GetCurrentThreadId(), countTop, reinterpret_cast<LPARAM>(&n));
    return n;
}

