// Visual styles without linking to UxTheme.dll, which older systems lack: each object loads the
// library for itself and looks every function up when it is called, failing softly.
// Classes here: COXUxTheme; the free functions IsXPThemeActive and CreateHalftoneBrush.
#pragma once

#include <windows.h>
#include <uxtheme.h>

class COXUxTheme {
public:
    COXUxTheme();
    COXUxTheme(const COXUxTheme&) = delete;
    COXUxTheme& operator=(const COXUxTheme&) = delete;
    virtual ~COXUxTheme();

    BOOL IsLoaded() const { return m_hUxTheme != nullptr; }

    // Theme handles belong to the caller (close them with the library's CloseThemeData).
    // Null when the library or the function is missing, or no theme is active.
    HTHEME OpenThemeData(HWND hWnd, LPCSTR lpszClassList) const;
    HTHEME GetWindowTheme(HWND hWnd) const;
    // TRUE only when the library answered S_OK.
    BOOL DrawThemeBackground(HTHEME hTheme, HDC hDC, int iPartId, int iStateId,
                             const RECT* pRect, const RECT* pClipRect) const;
    // nCount -1: the text up to its terminator.
    BOOL DrawThemeText(HTHEME hTheme, HDC hDC, int iPartId, int iStateId, LPCSTR lpszText,
                       int nCount, DWORD dwTextFlags, DWORD dwTextFlags2,
                       const RECT* pRect) const;
    // 0 when the library or the function is missing.
    COLORREF GetThemeSysColor(HTHEME hTheme, int iColorId) const;

    // The library, null when loading it failed.
    HMODULE m_hUxTheme;

private:
    FARPROC Function(LPCSTR lpszName) const;
};

// TRUE only on Windows XP itself (5.1) with an active theme applied to this application and
// version 6 or later of the common controls.
BOOL IsXPThemeActive();

// An 8 x 8 pattern brush of single pixels alternating between the two colours (a chessboard;
// black and white make the classic 50 % grey). The caller owns it; null on failure.
HBRUSH CreateHalftoneBrush(COLORREF crFirst, COLORREF crSecond);
