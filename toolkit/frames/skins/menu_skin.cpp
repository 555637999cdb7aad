// The Classic, XP and 2003 menu skins.
#include "toolkit/frames/skins/menu_skin.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/frames/skins/bitmap_menu.h"
#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/uxtheme/ux_theme.h"

namespace {

COLORREF Sys(int nIndex)
{
    return ::GetSysColor(nIndex);
}

void Fill(CDC* pDC, const CRect& rect, COLORREF clr)
{
    if (!rect.IsRectEmpty())
        pDC->FillSolidRect(&rect, clr);
}

// A rectangle outlined with a 1-pixel pen and filled.
void FramedFill(CDC* pDC, const CRect& rect, COLORREF clrPen, COLORREF clrFill)
{
    HPEN hPen = ::CreatePen(PS_SOLID, 1, clrPen);
    HBRUSH hBrush = ::CreateSolidBrush(clrFill);
    HGDIOBJ hOldPen = ::SelectObject(pDC->m_hDC, hPen);
    HGDIOBJ hOldBrush = ::SelectObject(pDC->m_hDC, hBrush);
    ::Rectangle(pDC->m_hDC, rect.left, rect.top, rect.right, rect.bottom);
    ::SelectObject(pDC->m_hDC, hOldBrush);
    ::SelectObject(pDC->m_hDC, hOldPen);
    ::DeleteObject(hBrush);
    ::DeleteObject(hPen);
}

void FrameSolid(CDC* pDC, const CRect& rect, COLORREF clr, int nWidth)
{
    pDC->FillSolidRect(rect.left, rect.top, rect.Width(), nWidth, clr);
    pDC->FillSolidRect(rect.left, rect.bottom - nWidth, rect.Width(), nWidth, clr);
    pDC->FillSolidRect(rect.left, rect.top, nWidth, rect.Height(), clr);
    pDC->FillSolidRect(rect.right - nWidth, rect.top, nWidth, rect.Height(), clr);
}

int TrackedImageColumnWidth(const OXMENUDIMENSIONS& dimensions);

bool IsSelected(UINT nState)
{
    return (nState & ODS_SELECTED) != 0;
}
bool IsDisabled(UINT nState)
{
    return (nState & (ODS_DISABLED | ODS_GRAYED)) != 0;
}
bool IsChecked(UINT nState)
{
    return (nState & ODS_CHECKED) != 0;
}
bool HasImage(const OXMENUIMAGEINFO* pImage)
{
    return pImage != nullptr && pImage->hImageList != nullptr && pImage->nIndex >= 0;
}

// Draws an icon of the image list through DrawState (mono or embossed).
void DrawImageState(CDC* pDC, const OXMENUIMAGEINFO* pImage, int nIndex, int x, int y,
                    UINT nFlags, HBRUSH hBrush)
{
    HICON hIcon = ImageList_GetIcon(pImage->hImageList, nIndex, ILD_NORMAL);
    if (hIcon == nullptr)
        return;
    ::DrawStateA(pDC->m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, x, y, 0, 0,
                 DST_ICON | nFlags);
    ::DestroyIcon(hIcon);
}

} // namespace

// --- COXMenuSkin: shared helpers and defaults ---

void COXMenuSkin::DrawInsertMark(CDC* pDC, const CRect& rect, BOOL bBefore)
{
    CRect r = rect;
    r.DeflateRect(2, 2);
    const int y = bBefore ? r.top : r.bottom;
    const POINT points[] = {{r.left, y - 2},      {r.left + 1, y - 1}, {r.right - 1, y - 1},
                            {r.right, y - 2},     {r.right, y + 1},    {r.right - 1, y},
                            {r.left + 1, y},      {r.left, y + 1},     {r.left, y - 2}};
    ::Polyline(pDC->m_hDC, points, static_cast<int>(std::size(points)));
}

LRESULT COXMenuSkin::PopupWindowProc(WNDPROC pfnPrevious, HWND hWnd, UINT message, WPARAM wParam,
                                     LPARAM lParam)
{
    return ::CallWindowProc(pfnPrevious, hWnd, message, wParam, lParam);
}

void COXMenuSkin::OnNcPaintPopup(HWND hWnd)
{
    ::DefWindowProc(hWnd, WM_NCPAINT, 1, 0);
}

void COXMenuSkin::OnPaintButtonWindow(HWND hWnd)
{
    ::DefWindowProc(hWnd, WM_PAINT, 0, 0);
}

void COXMenuSkin::DrawMarlettGlyph(CDC* pDC, const CRect& rect, TCHAR cGlyph, COLORREF clr)
{
    HFONT hFont = ::CreateFontA(::GetSystemMetrics(SM_CYMENUCHECK), 0, 0, 0, FW_NORMAL, FALSE,
                                FALSE, FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
    HGDIOBJ hOld = ::SelectObject(pDC->m_hDC, hFont);
    const int nOldMode = ::SetBkMode(pDC->m_hDC, TRANSPARENT);
    const COLORREF clrOld = ::SetTextColor(pDC->m_hDC, clr);
    RECT r = rect;
    char text[2] = {cGlyph, 0};
    ::DrawTextA(pDC->m_hDC, text, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetTextColor(pDC->m_hDC, clrOld);
    ::SetBkMode(pDC->m_hDC, nOldMode);
    ::SelectObject(pDC->m_hDC, hOld);
    ::DeleteObject(hFont);
}

void COXMenuSkin::DrawItemText(CDC* pDC, LPCTSTR lpszText, const CRect& rectText,
                               const CRect& rectShortcut, COLORREF clr, UINT nExtraFlags)
{
    CString text = lpszText != nullptr ? lpszText : "";
    CString shortcut;
    if (int tab = text.Find('\t'); tab >= 0) {
        shortcut = text.Mid(tab + 1);
        text = text.Left(tab);
    }
    const int nOldMode = ::SetBkMode(pDC->m_hDC, TRANSPARENT);
    const COLORREF clrOld = ::SetTextColor(pDC->m_hDC, clr);
    ::DrawStateA(pDC->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(text.GetString()),
                 static_cast<WPARAM>(text.GetLength()), rectText.left, rectText.top,
                 rectText.Width(), rectText.Height(), DST_PREFIXTEXT | nExtraFlags);
    if (!shortcut.IsEmpty()) {
        RECT measure{0, 0, 0, 0};
        ::DrawTextA(pDC->m_hDC, shortcut, shortcut.GetLength(), &measure,
                    DT_CALCRECT | DT_SINGLELINE);
        const int cx = measure.right - measure.left;
        ::DrawStateA(pDC->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(shortcut.GetString()),
                     static_cast<WPARAM>(shortcut.GetLength()), rectShortcut.right - cx,
                     rectShortcut.top, cx, measure.bottom - measure.top,
                     DST_PREFIXTEXT | nExtraFlags);
    }
    ::SetTextColor(pDC->m_hDC, clrOld);
    ::SetBkMode(pDC->m_hDC, nOldMode);
}

void COXMenuSkin::DrawImageAt(CDC* pDC, const OXMENUIMAGEINFO* pImage, UINT nState, int x, int y)
{
    const int nIndex =
        IsSelected(nState) && pImage->nHotIndex >= 0 ? pImage->nHotIndex : pImage->nIndex;
    ImageList_Draw(pImage->hImageList, nIndex, pDC->m_hDC, x, y, ILD_TRANSPARENT);
}

CSize COXMenuSkin::ImageSize(const OXMENUIMAGEINFO* pImage)
{
    int cx = 0, cy = 0;
    if (HasImage(pImage))
        ImageList_GetIconSize(pImage->hImageList, &cx, &cy);
    return CSize(cx, cy);
}

void COXMenuSkin::DistributeSpace(const OXMENUIMAGEINFO* pImage, const CRect& rectItem,
                                  CRect& rectFrame, CRect& rectImage, CRect& rectText,
                                  CRect& rectShortcut, const OXMENUMETRICS& metrics)
{
    const OXMENUDIMENSIONS& dim = GetDimensions();
    rectFrame.SetRectEmpty();
    rectImage.SetRectEmpty();
    if (HasImage(pImage)) {
        const CSize size = ImageSize(pImage);
        rectImage.left = rectItem.left + dim.nImageLeft;
        rectImage.top = rectItem.top + (rectItem.Height() - size.cy) / 2;
        rectImage.right = rectImage.left + size.cx;
        rectImage.bottom = rectImage.top + size.cy;
        rectFrame = rectImage;
        rectFrame.InflateRect(2, 2);
    }
    rectText.left = rectItem.left + dim.nImageTextGap + metrics.nImageColumnWidth + dim.nImageLeft;
    rectText.right = rectText.left + metrics.nTextWidth;
    rectText.top = rectItem.top + (rectItem.Height() - metrics.nTextHeight) / 2;
    rectText.bottom = rectText.top + metrics.nTextHeight;
    rectShortcut.right = rectItem.right - dim.nShortcutRight;
    rectShortcut.left = rectShortcut.right - metrics.nShortcutWidth;
    rectShortcut.OffsetRect(-(rectShortcut.left - rectText.right) / 2, 0);
    rectShortcut.top = rectText.top;
    rectShortcut.bottom = rectText.bottom;
}

// --- Classic ---

COXMenuSkinClassic::COXMenuSkinClassic() : COXMenuSkin({2, 0, 8, 2, 3, 4, 3, 8, 0, 12}) {}

void COXMenuSkinClassic::DrawBackground(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                                        const CRect& rectItem, const CRect& rectImageArea,
                                        const OXMENUMETRICS& metrics)
{
    const bool bCheckMark = pImage != nullptr && pImage->bCheckMark;
    int nTextLeft = rectItem.left + metrics.nImageColumnWidth + m_dimensions.nImageLeft;
    nTextLeft += IsChecked(nState) ? 2 : bCheckMark ? -1 : 1;
    CRect rectText(std::max<int>(rectImageArea.right, nTextLeft), rectItem.top, rectItem.right,
                   rectItem.bottom - 1);
    CRect rectImage(rectItem.left, rectItem.top, rectText.left, rectItem.bottom - 1);

    HBRUSH hHalftone = CreateHalftoneBrush(Sys(COLOR_MENU), Sys(COLOR_BTNHIGHLIGHT));
    if ((nState & OXODS_HIDDEN) && !IsSelected(nState) && !bCheckMark) {
        // Set apart: the pattern over both parts, with lines where the run starts and ends.
        CRect rectAll(rectItem.left, rectItem.top, rectItem.right, rectItem.bottom);
        ::FillRect(pDC->m_hDC, &rectAll, hHalftone);
        if (nState & OXODS_HIDDENFIRST)
            pDC->FillSolidRect(rectAll.left, rectAll.top, rectAll.Width(), 1, Sys(COLOR_BTNSHADOW));
        if (nState & OXODS_HIDDENLAST)
            pDC->FillSolidRect(rectAll.left, rectAll.bottom - 1, rectAll.Width(), 1,
                               Sys(COLOR_BTNHIGHLIGHT));
    } else {
        Fill(pDC, rectText, Sys(IsSelected(nState) ? COLOR_HIGHLIGHT : COLOR_MENU));
        if (IsSelected(nState) && bCheckMark)
            Fill(pDC, rectImage, Sys(COLOR_HIGHLIGHT));
        else if (IsChecked(nState) && !IsSelected(nState))
            ::FillRect(pDC->m_hDC, &rectImage, hHalftone);
        else
            Fill(pDC, rectImage, Sys(COLOR_MENU));
    }
    ::DeleteObject(hHalftone);
}

void COXMenuSkinClassic::DrawImageFrame(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                                        const CRect& rectFrame)
{
    RECT r = rectFrame;
    if (IsChecked(nState))
        ::DrawEdge(pDC->m_hDC, &r, BDR_SUNKENOUTER, BF_RECT);
    else if (IsSelected(nState) && !IsDisabled(nState) && !(pImage != nullptr && pImage->bCheckMark))
        ::DrawEdge(pDC->m_hDC, &r, BDR_RAISEDINNER, BF_RECT);
}

void COXMenuSkinClassic::DrawImage(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                                   const CRect& rectImage)
{
    if (!HasImage(pImage) || (pImage->bCheckMark && !IsChecked(nState)))
        return;
    if (IsDisabled(nState))
        DrawImageState(pDC, pImage, pImage->nIndex, rectImage.left, rectImage.top, DSS_DISABLED,
                       nullptr);
    else
        DrawImageAt(pDC, pImage, nState, rectImage.left, rectImage.top);
}

void COXMenuSkinClassic::DrawText(CDC* pDC, UINT nState, LPCTSTR lpszText, const CRect& rectText,
                                  const CRect& rectShortcut)
{
    const COLORREF clr = IsDisabled(nState)   ? Sys(COLOR_GRAYTEXT)
                         : IsSelected(nState) ? Sys(COLOR_HIGHLIGHTTEXT)
                                              : Sys(COLOR_MENUTEXT);
    DrawItemText(pDC, lpszText, rectText, rectShortcut, clr,
                 IsDisabled(nState) && !IsSelected(nState) ? DSS_DISABLED : 0);
}

void COXMenuSkinClassic::DrawSeparator(CDC* pDC, const CRect& rectItem, const OXMENUMETRICS&)
{
    CRect r = rectItem;
    r.DeflateRect(2, 2);
    const int top = r.top + r.Height() / 2 - 1;
    pDC->Draw3dRect(r.left, top, r.Width(), 2, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
}

void COXMenuSkinClassic::DrawCustomizedButtonFrame(CDC* pDC, const CRect& rect)
{
    // The drag frame: a 2-pixel halftone inverted over what is there.
    HBRUSH hBrush = CreateHalftoneBrush(RGB(0, 0, 0), RGB(255, 255, 255));
    HGDIOBJ hOld = ::SelectObject(pDC->m_hDC, hBrush);
    ::PatBlt(pDC->m_hDC, rect.left, rect.top, rect.Width(), 2, PATINVERT);
    ::PatBlt(pDC->m_hDC, rect.left, rect.bottom - 2, rect.Width(), 2, PATINVERT);
    ::PatBlt(pDC->m_hDC, rect.left, rect.top + 2, 2, rect.Height() - 4, PATINVERT);
    ::PatBlt(pDC->m_hDC, rect.right - 2, rect.top + 2, 2, rect.Height() - 4, PATINVERT);
    ::SelectObject(pDC->m_hDC, hOld);
    ::DeleteObject(hBrush);
}

void COXMenuSkinClassic::DrawPopupItem(CDC* pDC, UINT nState, LPCTSTR lpszText, BOOL bSubmenu,
                                       const CRect& rectItem, const CRect& rectText,
                                       const CRect& rectShortcut)
{
    DrawText(pDC, nState, lpszText, rectText, rectShortcut);
    if (!bSubmenu)
        return;
    const COLORREF clr = IsDisabled(nState)   ? Sys(COLOR_BTNSHADOW)
                         : IsSelected(nState) ? Sys(COLOR_HIGHLIGHTTEXT)
                                              : Sys(COLOR_MENUTEXT);
    CRect rectArrow(rectItem.right - m_dimensions.nArrowWidth * 2, rectItem.top, rectItem.right,
                    rectItem.bottom);
    DrawMarlettGlyph(pDC, rectArrow, '8', clr);
}

void COXMenuSkinClassic::DrawDownArrow(CDC* pDC, const CRect& rect, UINT nState)
{
    const COLORREF clr = IsDisabled(nState)   ? Sys(COLOR_GRAYTEXT)
                         : IsSelected(nState) ? Sys(COLOR_HIGHLIGHTTEXT)
                                              : Sys(COLOR_MENUTEXT);
    DrawMarlettGlyph(pDC, rect, '6', clr);
}

// --- XP ---

COXMenuSkinXP::COXMenuSkinXP(COXSkinXP* pSkin)
    : COXMenuSkin({3, 5, 15, 12, 6, 10, 4, 3, 16, 16}), m_pSkin(pSkin)
{
}

int COXMenuSkinXP::ImageColumnRight(const CRect& rectItem, const OXMENUMETRICS& metrics) const
{
    return rectItem.left + metrics.nImageColumnWidth + m_dimensions.nImageLeft +
           m_dimensions.nImageColumnRight;
}

void COXMenuSkinXP::DistributeSpace(const OXMENUIMAGEINFO* pImage, const CRect& rectItem,
                                    CRect& rectFrame, CRect& rectImage, CRect& rectText,
                                    CRect& rectShortcut, const OXMENUMETRICS& metrics)
{
    COXMenuSkin::DistributeSpace(pImage, rectItem, rectFrame, rectImage, rectText, rectShortcut,
                                 metrics);
    if (HasImage(pImage)) {
        // The frame fills the whole image column; a check mark sits in its middle.
        rectFrame.SetRect(rectItem.left + 1, rectItem.top + 1,
                          rectItem.left + metrics.nImageColumnWidth + 5, rectItem.bottom - 1);
        if (pImage->bCheckMark)
            rectImage.OffsetRect(rectItem.left + (metrics.nImageColumnWidth + 5 -
                                                  rectImage.Width()) / 2 - rectImage.left,
                                 0);
    }
}

void COXMenuSkinXP::DrawBackground(CDC* pDC, UINT nState, const OXMENUIMAGEINFO*,
                                   const CRect& rectItem, const CRect&,
                                   const OXMENUMETRICS& metrics)
{
    if (!IsSelected(nState) || IsDisabled(nState)) {
        Fill(pDC, rectItem, m_pSkin->GetMenuBackgroundColor());
        CRect rectColumn(rectItem.left, rectItem.top, ImageColumnRight(rectItem, metrics),
                         rectItem.bottom);
        Fill(pDC, rectColumn, (nState & OXODS_HIDDEN) ? m_pSkin->GetDarkFaceColor()
                                                      : m_pSkin->GetToolbarBackgroundColor());
        return;
    }
    FramedFill(pDC, rectItem, m_pSkin->GetHighlightBorderColor(), m_pSkin->GetHotItemColor());
}

void COXMenuSkinXP::DrawImageFrame(CDC* pDC, UINT nState, const OXMENUIMAGEINFO*,
                                   const CRect& rectFrame)
{
    if (!IsChecked(nState))
        return;
    FramedFill(pDC, rectFrame, m_pSkin->GetHighlightBorderColor(),
               IsSelected(nState) ? m_pSkin->GetPressedItemColor()
                                  : m_pSkin->GetCheckedItemColor());
}

void COXMenuSkinXP::DrawImage(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                              const CRect& rectImage)
{
    if (!HasImage(pImage) || (pImage->bCheckMark && !IsChecked(nState)))
        return;
    if (IsDisabled(nState)) {
        DrawImageState(pDC, pImage, pImage->nIndex, rectImage.left, rectImage.top, DSS_MONO,
                       ::GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    if (IsSelected(nState) && !IsChecked(nState)) {
        // Raised: the silhouette one pixel right and down, the image one left and up.
        const int nIndex = pImage->nHotIndex >= 0 ? pImage->nHotIndex : pImage->nIndex;
        DrawImageState(pDC, pImage, nIndex, rectImage.left + 1, rectImage.top + 1, DSS_MONO,
                       ::GetSysColorBrush(COLOR_BTNSHADOW));
        DrawImageAt(pDC, pImage, nState, rectImage.left - 1, rectImage.top - 1);
        return;
    }
    DrawImageAt(pDC, pImage, nState, rectImage.left, rectImage.top);
}

void COXMenuSkinXP::DrawText(CDC* pDC, UINT nState, LPCTSTR lpszText, const CRect& rectText,
                             const CRect& rectShortcut)
{
    const COLORREF clr =
        IsDisabled(nState) ? m_pSkin->GetMenuDisabledTextColor() : Sys(COLOR_MENUTEXT);
    DrawItemText(pDC, lpszText, rectText, rectShortcut, clr, 0);
}

void COXMenuSkinXP::DrawSeparator(CDC* pDC, const CRect& rectItem, const OXMENUMETRICS& metrics)
{
    Fill(pDC, rectItem, m_pSkin->GetMenuBackgroundColor());
    const int nColumnRight = ImageColumnRight(rectItem, metrics);
    Fill(pDC, CRect(rectItem.left, rectItem.top, nColumnRight, rectItem.bottom),
         m_pSkin->GetToolbarBackgroundColor());
    const int x = rectItem.left + metrics.nImageColumnWidth + m_dimensions.nImageLeft +
                  m_dimensions.nImageTextGap;
    pDC->FillSolidRect(x, rectItem.top + rectItem.Height() / 2, rectItem.right - x, 1,
                       m_pSkin->GetSeparatorColor());
}

void COXMenuSkinXP::DrawCustomizedButtonFrame(CDC* pDC, const CRect& rect)
{
    FrameSolid(pDC, rect, Sys(COLOR_MENUTEXT), 2);
}

void COXMenuSkinXP::DrawPopupItem(CDC* pDC, UINT nState, LPCTSTR lpszText, BOOL,
                                  const CRect&, const CRect& rectText, const CRect& rectShortcut)
{
    DrawText(pDC, nState, lpszText, rectText, rectShortcut);
}

void COXMenuSkinXP::DrawDownArrow(CDC* pDC, const CRect& rect, UINT nState)
{
    DrawMarlettGlyph(pDC, rect, '6',
                     IsDisabled(nState) ? m_pSkin->GetSeparatorColor() : Sys(COLOR_MENUTEXT));
}

void COXMenuSkinXP::FillImageColumn(CDC* pDC, const CRect& rect)
{
    Fill(pDC, rect, m_pSkin->GetToolbarBackgroundColor());
}

void COXMenuSkinXP::DrawJoint(CDC* pDC, const CRect& rect)
{
    Fill(pDC, rect, m_pSkin->GetToolbarBackgroundColor());
}

void COXMenuSkinXP::FillGap(CDC* pDC, const CRect& rect)
{
    Fill(pDC, rect, m_pSkin->GetToolbarBackgroundColor());
}

void COXMenuSkinXP::OnNcPaintPopup(HWND hWnd)
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    rect.OffsetRect(-rect.left, -rect.top);
    HDC hDC = ::GetWindowDC(hWnd);
    CDC dc;
    dc.Attach(hDC);
    CDC* pDC = &dc;
    Fill(pDC, rect, m_pSkin->GetMenuBackgroundColor());
    Fill(pDC,
         CRect(0, 2, TrackedImageColumnWidth(m_dimensions) + m_dimensions.nImageLeft + 7,
               rect.Height() - 2),
         m_pSkin->GetToolbarBackgroundColor());
    FrameSolid(pDC, rect, Sys(COLOR_BTNSHADOW), 1);
    dc.Detach();
    ::ReleaseDC(hWnd, hDC);
}

// --- XP: the popup windows of a tracked menu ---

namespace {

int TrackedImageColumnWidth(const OXMENUDIMENSIONS& dimensions)
{
    COXBitmapMenu* pMenu = COXBitmapMenu::GetTrackingMenu();
    return pMenu != nullptr ? pMenu->GetMetrics().nImageColumnWidth : dimensions.nMinImageColumn;
}

OXPOPUPWND* FindPopup(COXBitmapMenu* pMenu, HWND hWnd)
{
    if (pMenu == nullptr)
        return nullptr;
    for (OXPOPUPWND& popup : pMenu->m_listPopups)
        if (popup.hWnd == hWnd)
            return &popup;
    return nullptr;
}

// How much a shadow pixel is darkened (out of 255): k is 1 for the outermost line to 4 for
// the innermost, i the position along the edge of length n.
int ShadowAmount(int k, int i, int n)
{
    if (i < 4)
        return 0;
    if (i < 8)
        return 3 * k * (i - 3);
    if (i < n - 4)
        return 15 * k;
    return 3 * k * (n - i);
}

COLORREF Darken(COLORREF c, int d)
{
    auto ch = [d](int v) { return static_cast<BYTE>(v * (255 - d) / 255); };
    return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

} // namespace

void COXMenuSkinXP::DrawShadow(CDC* pDC, CPoint ptScreen, const CRect& rectWindow, int nJoint,
                               const CRect& rectJoint, std::vector<COLORREF>* pCache)
{
    const int cx = rectWindow.Width(), cy = rectWindow.Height();
    if (cx <= 8 || cy <= 8)
        return;
    // What lies under the window on the screen, unless the cache already holds it.
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, cx, cy);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    const bool bFromCache = pCache != nullptr && !pCache->empty();
    if (!bFromCache)
        ::BitBlt(hMem, 0, 0, cx, cy, hScreen, ptScreen.x, ptScreen.y, SRCCOPY);
    ::ReleaseDC(nullptr, hScreen);

    size_t nCached = 0;
    auto shade = [&](int x, int y, int d) {
        COLORREF c;
        if (bFromCache)
            c = nCached < pCache->size() ? (*pCache)[nCached] : RGB(255, 255, 255);
        else {
            c = ::GetPixel(hMem, x, y);
            if (pCache != nullptr)
                pCache->push_back(c);
        }
        ++nCached;
        ::SetPixelV(hMem, x, y, Darken(c, d));
    };
    for (int i = 0; i < 4; ++i) { // right edge, innermost column first
        const int x = cx - 4 + i, k = 4 - i;
        for (int y = 0; y < cy; ++y) {
            const bool bJoint = nJoint == 2 && y >= rectJoint.top && y < rectJoint.bottom;
            shade(x, y, bJoint ? 0 : ShadowAmount(k, y, cy));
        }
    }
    for (int j = 0; j < 4; ++j) { // bottom edge, up to the right edge's columns
        const int y = cy - 4 + j, k = 4 - j;
        for (int x = 0; x < cx - 4; ++x) {
            const bool bJoint = nJoint == 1 && x >= rectJoint.left && x < rectJoint.right;
            shade(x, y, bJoint ? 0 : ShadowAmount(k, x, cx));
        }
    }
    ::BitBlt(pDC->m_hDC, cx - 4, 0, 4, cy, hMem, cx - 4, 0, SRCCOPY);
    ::BitBlt(pDC->m_hDC, 0, cy - 4, cx - 4, 4, hMem, 0, cy - 4, SRCCOPY);
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
}

void COXMenuSkinXP::PaintPopupFrame(CDC* pDC, HWND hWnd, std::vector<COLORREF>* pCache)
{
    CRect rectWindow;
    ::GetWindowRect(hWnd, &rectWindow);
    const CPoint ptScreen = rectWindow.TopLeft();
    rectWindow.OffsetRect(-ptScreen.x, -ptScreen.y);
    CRect rectBody(0, 0, rectWindow.right - 4, rectWindow.bottom - 4);

    // The joint: the side of the body the opening button touches.
    int nJoint = -1;
    CRect rectJoint;
    COXBitmapMenu* pMenu = COXBitmapMenu::GetTrackingMenu();
    if (pMenu != nullptr && !pMenu->m_rectButton.IsRectEmpty()) {
        CRect rectButton = pMenu->m_rectButton;
        // A popup pushed back from a monitor edge still joins the part of the button on it.
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (::GetMonitorInfo(::MonitorFromRect(&rectButton, MONITOR_DEFAULTTONEAREST), &mi))
            rectButton.IntersectRect(&rectButton, &mi.rcMonitor);
        rectButton.OffsetRect(-ptScreen.x, -ptScreen.y);
        const int left = std::max<int>(rectButton.left, rectBody.left) + 1;
        const int right = std::min<int>(rectButton.right, rectBody.right) - 1;
        const int top = std::max<int>(rectButton.top, rectBody.top) + 1;
        const int bottom = std::min<int>(rectButton.bottom, rectBody.bottom) - 1;
        if (rectButton.bottom == rectBody.top) {
            nJoint = 0;
            rectJoint.SetRect(left, 0, right, 1);
        } else if (rectButton.top == rectBody.bottom) {
            nJoint = 1;
            rectJoint.SetRect(left, rectBody.bottom - 1, right, rectBody.bottom);
        } else if (rectButton.right == rectBody.left) {
            nJoint = 0;
            rectJoint.SetRect(0, top, 1, bottom);
        } else if (rectButton.left == rectBody.right) {
            nJoint = 2;
            rectJoint.SetRect(rectBody.right - 1, top, rectBody.right, bottom);
        }
    }

    const int saved = pDC->SaveDC();
    CRect rectInner = rectBody;
    rectInner.DeflateRect(3, 3);
    ::ExcludeClipRect(pDC->m_hDC, rectInner.left, rectInner.top, rectInner.right,
                      rectInner.bottom);
    DrawShadow(pDC, ptScreen, rectWindow, nJoint, rectJoint, pCache);
    Fill(pDC, rectBody, m_pSkin->GetMenuBackgroundColor());
    FillImageColumn(pDC, CRect(0, 2,
                               TrackedImageColumnWidth(m_dimensions) + m_dimensions.nImageLeft + 8,
                               rectBody.Height() - 2));
    FrameSolid(pDC, rectBody, Sys(COLOR_BTNSHADOW), 1);
    if (nJoint >= 0)
        DrawJoint(pDC, rectJoint);
    pDC->RestoreDC(saved);
}

LRESULT COXMenuSkinXP::PopupWindowProc(WNDPROC pfnPrevious, HWND hWnd, UINT message,
                                       WPARAM wParam, LPARAM lParam)
{
    COXBitmapMenu* pMenu = COXBitmapMenu::GetTrackingMenu();
    switch (message) {
    case WM_CREATE:
        if (pMenu != nullptr)
            pMenu->m_listPopups.push_front(OXPOPUPWND{hWnd, {}});
        break;
    case WM_DESTROY:
        if (pMenu != nullptr) {
            pMenu->m_listPopups.remove_if([hWnd](const OXPOPUPWND& p) { return p.hWnd == hWnd; });
            m_mapPopupPositions.RemoveKey(hWnd);
            // The popup below repaints its shadow and joint (NT-family systems).
            if (!pMenu->m_listPopups.empty() && (::GetVersion() & 0x80000000) == 0)
                ::SendMessage(pMenu->m_listPopups.front().hWnd, WM_NCPAINT, 1, 0);
        }
        break;
    case WM_ERASEBKGND:
        if (pMenu != nullptr)
            return 0;
        break;
    case WM_WINDOWPOSCHANGING:
        if (pMenu != nullptr) {
            auto* pPos = reinterpret_cast<WINDOWPOS*>(lParam);
            if ((pPos->flags & SWP_NOSIZE) == 0) {
                pPos->cx += 4; // room for the shadow
                pPos->cy += 4;
            }
            if ((pPos->flags & SWP_NOMOVE) == 0)
                m_mapPopupPositions[hWnd] = CPoint(pPos->x, pPos->y);
        }
        break;
    case WM_NCPAINT: {
        HDC hDC = ::GetWindowDC(hWnd);
        CDC dc;
        dc.Attach(hDC);
        OXPOPUPWND* pPopup = FindPopup(pMenu, hWnd);
        PaintPopupFrame(&dc, hWnd, pPopup != nullptr ? &pPopup->pixels : nullptr);
        dc.Detach();
        ::ReleaseDC(hWnd, hDC);
        return 0;
    }
    case WM_PAINT: {
        // Wine paints a popup menu's border inside its client area: the frame goes on top.
        LRESULT result = ::CallWindowProc(pfnPrevious, hWnd, message, wParam, lParam);
        if (pMenu != nullptr)
            PopupWindowProc(pfnPrevious, hWnd, WM_NCPAINT, 1, 0);
        return result;
    }
    case WM_PRINT: {
        // Menu animation: pending paints first, then the whole window off screen.
        MSG msg;
        while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessage(&msg);
        CRect rect;
        ::GetWindowRect(hWnd, &rect);
        HDC hTarget = reinterpret_cast<HDC>(wParam);
        HDC hMem = ::CreateCompatibleDC(hTarget);
        HBITMAP hBitmap = ::CreateCompatibleBitmap(hTarget, rect.Width(), rect.Height());
        HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
        POINT old;
        ::SetViewportOrgEx(hMem, 3, 3, &old);
        ::SendMessage(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hMem), PRF_CLIENT);
        ::SetViewportOrgEx(hMem, old.x, old.y, nullptr);
        CDC dc;
        dc.Attach(hMem);
        PaintPopupFrame(&dc, hWnd, nullptr);
        dc.Detach();
        ::BitBlt(hTarget, 0, 0, rect.Width(), rect.Height(), hMem, 0, 0, SRCCOPY);
        ::SelectObject(hMem, hOld);
        ::DeleteObject(hBitmap);
        ::DeleteDC(hMem);
        return 0;
    }
    default:
        break;
    }
    return ::CallWindowProc(pfnPrevious, hWnd, message, wParam, lParam);
}

// --- 2003 ---

COXMenuSkin2003::COXMenuSkin2003(COXSkin2003* pSkin) : COXMenuSkinXP(pSkin) {}

COXSkin2003* COXMenuSkin2003::Skin2003() const
{
    return static_cast<COXSkin2003*>(m_pSkin);
}

COLORREF COXMenuSkin2003::GetMenuGradientLightColor()
{
    auto t = Skin2003()->QueryTheme();
    return t.themed ? COXSkinXP::BlendColors(Sys(COLOR_WINDOW), 0.95f, t.highlight, 0.05f)
                    : COXSkinXP::BlendColors(Sys(COLOR_WINDOW), 0.86f, Sys(COLOR_BTNFACE), 0.14f);
}

COLORREF COXMenuSkin2003::GetMenuGradientDarkColor()
{
    auto t = Skin2003()->QueryTheme();
    return t.themed ? COXSkinXP::BlendColors(Sys(COLOR_WINDOW), 0.2f, t.highlight, 0.8f)
                    : COXSkinXP::BlendColors(Sys(COLOR_WINDOW), 0.08f, Sys(COLOR_BTNFACE), 0.92f);
}

COLORREF COXMenuSkin2003::GetMenuJointGradientDarkColor()
{
    auto t = Skin2003()->QueryTheme();
    return t.themed ? COXSkinXP::BlendColors(Sys(COLOR_WINDOW), 0.2f, t.highlight, 0.8f)
                    : COXSkinXP::BlendColors(Sys(COLOR_WINDOW), 0.58f, Sys(COLOR_BTNFACE), 0.42f);
}

void COXMenuSkin2003::FillColumnGradient(CDC* pDC, const CRect& rect, BOOL bSetApart)
{
    COLORREF light = GetMenuGradientLightColor(), dark = GetMenuGradientDarkColor();
    if (bSetApart) {
        light = COXSkinXP::ScaleColor(light, 0.93f, 0.93f, 0.93f);
        dark = COXSkinXP::ScaleColor(dark, 0.93f, 0.93f, 0.93f);
    }
    Skin2003()->DrawGradient(pDC, rect, light, dark, FALSE);
}

void COXMenuSkin2003::DrawBackground(CDC* pDC, UINT nState, const OXMENUIMAGEINFO*,
                                     const CRect& rectItem, const CRect&,
                                     const OXMENUMETRICS& metrics)
{
    if (!IsSelected(nState) || IsDisabled(nState)) {
        Fill(pDC, rectItem, m_pSkin->GetMenuBackgroundColor());
        FillColumnGradient(pDC, CRect(rectItem.left - 2, rectItem.top,
                                      ImageColumnRight(rectItem, metrics), rectItem.bottom),
                           (nState & OXODS_HIDDEN) != 0);
        return;
    }
    FramedFill(pDC, rectItem, m_pSkin->GetHighlightBorderColor(), m_pSkin->GetHotItemColor());
}

void COXMenuSkin2003::DrawImage(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                                const CRect& rectImage)
{
    if (!HasImage(pImage) || (pImage->bCheckMark && !IsChecked(nState)))
        return;
    if (IsDisabled(nState))
        DrawImageState(pDC, pImage, pImage->nIndex, rectImage.left, rectImage.top, DSS_MONO,
                       ::GetSysColorBrush(COLOR_BTNSHADOW));
    else
        DrawImageAt(pDC, pImage, nState, rectImage.left, rectImage.top);
}

void COXMenuSkin2003::DrawSeparator(CDC* pDC, const CRect& rectItem, const OXMENUMETRICS& metrics)
{
    Fill(pDC, rectItem, m_pSkin->GetMenuBackgroundColor());
    FillColumnGradient(pDC, CRect(rectItem.left - 2, rectItem.top,
                                  ImageColumnRight(rectItem, metrics), rectItem.bottom),
                       FALSE);
    const int x = rectItem.left + metrics.nImageColumnWidth + m_dimensions.nImageLeft +
                  m_dimensions.nImageTextGap;
    pDC->FillSolidRect(x, rectItem.top + rectItem.Height() / 2, rectItem.right - x, 1,
                       m_pSkin->GetSeparatorColor());
}

void COXMenuSkin2003::FillImageColumn(CDC* pDC, const CRect& rect)
{
    CRect r = rect;
    r.bottom += 2;
    FillColumnGradient(pDC, r, FALSE);
}

void COXMenuSkin2003::DrawJoint(CDC* pDC, const CRect& rect)
{
    Skin2003()->DrawGradient(pDC, rect, GetMenuGradientLightColor(),
                             GetMenuJointGradientDarkColor(), TRUE);
}
