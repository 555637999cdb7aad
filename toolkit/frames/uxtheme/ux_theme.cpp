// The visual-styles binding and its two free helpers.
#include "toolkit/frames/uxtheme/ux_theme.h"

#include <shlwapi.h>

#include <vector>

namespace {

// 8-bit text in the system's ANSI code page as UTF-16, for the length of one call.
std::vector<WCHAR> Widen(LPCSTR text, int nCount)
{
    if (text == nullptr)
        return std::vector<WCHAR>(1, L'\0');
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, nCount, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text, nCount, wide.data(), n);
    return wide;
}

using PfnOpenThemeData = HTHEME(WINAPI*)(HWND, LPCWSTR);
using PfnGetWindowTheme = HTHEME(WINAPI*)(HWND);
using PfnDrawThemeBackground = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*,
                                                const RECT*);
using PfnDrawThemeText = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD,
                                          const RECT*);
using PfnGetThemeSysColor = COLORREF(WINAPI*)(HTHEME, int);
using PfnBool = BOOL(WINAPI*)();
using PfnDllGetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);

template <class Pfn>
Pfn As(FARPROC p)
{
    return reinterpret_cast<Pfn>(reinterpret_cast<void*>(p));
}

bool IsWindowsXP()
{
    OSVERSIONINFO vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (!::GetVersionEx(&vi))
        return false;
    return vi.dwMajorVersion == 5 && vi.dwMinorVersion == 1;
}

bool AppThemed(HMODULE hUxTheme)
{
    auto isAppThemed = As<PfnBool>(::GetProcAddress(hUxTheme, "IsAppThemed"));
    auto isThemeActive = As<PfnBool>(::GetProcAddress(hUxTheme, "IsThemeActive"));
    return isAppThemed != nullptr && isThemeActive != nullptr && isAppThemed() &&
           isThemeActive();
}

bool CommonControls6()
{
    HMODULE hComCtl = ::LoadLibrary("comctl32.dll");
    if (hComCtl == nullptr)
        return false;
    bool ok = false;
    if (auto getVersion = As<PfnDllGetVersion>(::GetProcAddress(hComCtl, "DllGetVersion"))) {
        DLLVERSIONINFO dvi{};
        dvi.cbSize = 20; // the first version of the record
        ok = SUCCEEDED(getVersion(&dvi)) && dvi.dwMajorVersion >= 6;
    }
    ::FreeLibrary(hComCtl);
    return ok;
}

} // namespace

COXUxTheme::COXUxTheme() : m_hUxTheme(::LoadLibrary("UxTheme.dll")) {}

COXUxTheme::~COXUxTheme()
{
    if (m_hUxTheme != nullptr)
        ::FreeLibrary(m_hUxTheme);
}

FARPROC COXUxTheme::Function(LPCSTR lpszName) const
{
    return m_hUxTheme != nullptr ? ::GetProcAddress(m_hUxTheme, lpszName) : nullptr;
}

HTHEME COXUxTheme::OpenThemeData(HWND hWnd, LPCSTR lpszClassList) const
{
    auto pfn = As<PfnOpenThemeData>(Function("OpenThemeData"));
    if (pfn == nullptr)
        return nullptr;
    std::vector<WCHAR> classes = Widen(lpszClassList, -1);
    return pfn(hWnd, classes.data());
}

HTHEME COXUxTheme::GetWindowTheme(HWND hWnd) const
{
    auto pfn = As<PfnGetWindowTheme>(Function("GetWindowTheme"));
    return pfn != nullptr ? pfn(hWnd) : nullptr;
}

BOOL COXUxTheme::DrawThemeBackground(HTHEME hTheme, HDC hDC, int iPartId, int iStateId,
                                     const RECT* pRect, const RECT* pClipRect) const
{
    auto pfn = As<PfnDrawThemeBackground>(Function("DrawThemeBackground"));
    return pfn != nullptr && pfn(hTheme, hDC, iPartId, iStateId, pRect, pClipRect) == S_OK;
}

BOOL COXUxTheme::DrawThemeText(HTHEME hTheme, HDC hDC, int iPartId, int iStateId,
                               LPCSTR lpszText, int nCount, DWORD dwTextFlags,
                               DWORD dwTextFlags2, const RECT* pRect) const
{
    auto pfn = As<PfnDrawThemeText>(Function("DrawThemeText"));
    if (pfn == nullptr)
        return FALSE;
    std::vector<WCHAR> text = Widen(lpszText, nCount);
    int nWide = nCount < 0 ? -1 : static_cast<int>(text.size()) - 1;
    return pfn(hTheme, hDC, iPartId, iStateId, text.data(), nWide, dwTextFlags, dwTextFlags2,
               pRect) == S_OK;
}

COLORREF COXUxTheme::GetThemeSysColor(HTHEME hTheme, int iColorId) const
{
    auto pfn = As<PfnGetThemeSysColor>(Function("GetThemeSysColor"));
    return pfn != nullptr ? pfn(hTheme, iColorId) : 0;
}

BOOL IsXPThemeActive()
{
    if (!IsWindowsXP())
        return FALSE;
    HMODULE hUxTheme = ::LoadLibrary("uxtheme.dll");
    if (hUxTheme == nullptr)
        return FALSE;
    bool ok = AppThemed(hUxTheme) && CommonControls6();
    ::FreeLibrary(hUxTheme);
    return ok ? TRUE : FALSE;
}

HBRUSH CreateHalftoneBrush(COLORREF crFirst, COLORREF crSecond)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 8;
    info.header.biHeight = 8;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    const COLORREF crs[2] = {crFirst, crSecond};
    for (int i = 0; i < 2; ++i)
        info.colors[i] = RGBQUAD{GetBValue(crs[i]), GetGValue(crs[i]), GetRValue(crs[i]), 0};
    // Rows of a 1-bit DIB are padded to 32 bits.
    DWORD rows[8];
    for (int y = 0; y < 8; ++y)
        rows[y] = y % 2 == 0 ? 0xAA : 0x55;
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateDIBitmap(hScreen, &info.header, CBM_INIT, rows,
                                       reinterpret_cast<const BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hScreen);
    if (hBitmap == nullptr)
        return nullptr;
    HBRUSH hBrush = ::CreatePatternBrush(hBitmap);
    ::DeleteObject(hBitmap);
    return hBrush;
}
