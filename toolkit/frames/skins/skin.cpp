// The three skins, their palettes and the drawing helpers the element skins share.
#include "toolkit/frames/skins/skin.h"

#include <algorithm>

#include "toolkit/frames/skins/dockbar_skin.h"
#include "toolkit/frames/skins/shortcutbar_skin.h"
#include "toolkit/frames/skins/statusbar_skin.h"
#include "toolkit/frames/skins/toolbar_skin.h"
#include "toolkit/frames/skins/tab_skin.h"

namespace {

BYTE Channel(float value)
{
    if (value <= 0.0f)
        return 0;
    return value >= 255.0f ? 255 : static_cast<BYTE>(value);
}

COLORREF Sys(int nIndex)
{
    return ::GetSysColor(nIndex);
}

// A gradient corner: GradientFill takes 16-bit colour channels.
TRIVERTEX Vertex(LONG x, LONG y, COLORREF c)
{
    TRIVERTEX v{};
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(c) * 255);
    v.Green = static_cast<COLOR16>(GetGValue(c) * 255);
    v.Blue = static_cast<COLOR16>(GetBValue(c) * 255);
    v.Alpha = 0;
    return v;
}

} // namespace

// --- COXSkin ---

COXSkin::COXSkin(LPCTSTR lpszName) : m_strName(lpszName) {}

COXSkin::~COXSkin()
{
    // In the order of the element table.
    m_pToolbarSkin.reset();
    m_pMenuSkin.reset();
    m_pToolbarSkin2.reset();
    m_pDockbarSkin.reset();
    m_pTabSkin.reset();
    m_pShortcutBarSkin.reset();
    m_pMiniFrameSkin.reset();
    m_pStatusbarSkin.reset();
    m_pFrameSkin.reset();
}

COXSkinClassic::COXSkinClassic() : COXSkin("Classic")
{
    m_pToolbarSkin = std::make_unique<COXToolbarSkinClassic>();
    m_pMenuSkin = std::make_unique<COXMenuSkinClassic>();
    m_pToolbarSkin2 = std::make_unique<COXToolbarSkinClassic>();
    m_pDockbarSkin = std::make_unique<COXDockbarSkinClassic>();
    m_pTabSkin = std::make_unique<COXTabSkinClassic>();
    m_pShortcutBarSkin = std::make_unique<COXShortcutBarSkinClassic>();
    m_pStatusbarSkin = std::make_unique<COXStatusbarSkinClassic>();
    m_pMiniFrameSkin = std::make_unique<COXMiniFrameSkinClassic>();
    m_pFrameSkin = std::make_unique<COXFrameSkinClassic>();
}

// --- COXSkinXP: palette ---

COXSkinXP::COXSkinXP() : COXSkin("Office XP")
{
    m_pToolbarSkin = std::make_unique<COXToolbarSkinXP>(this);
    m_pMenuSkin = std::make_unique<COXMenuSkinXP>(this);
    m_pToolbarSkin2 = std::make_unique<COXToolbarSkinXP>(this);
    m_pDockbarSkin = std::make_unique<COXDockbarSkinXP>(this);
    m_pTabSkin = std::make_unique<COXTabSkinXP>(this);
    m_pShortcutBarSkin = std::make_unique<COXShortcutBarSkinXP>(this);
    m_pStatusbarSkin = std::make_unique<COXStatusbarSkinXP>(this);
    m_pMiniFrameSkin = std::make_unique<COXMiniFrameSkinXP>(this);
    m_pFrameSkin = std::make_unique<COXFrameSkinXP>(this);
}

COLORREF COXSkinXP::ShiftColor(COLORREF clr, int nRed, int nGreen, int nBlue)
{
    auto shift = [](int c, int d) { return static_cast<BYTE>(std::clamp(c + d, 0, 255)); };
    return RGB(shift(GetRValue(clr), nRed), shift(GetGValue(clr), nGreen),
               shift(GetBValue(clr), nBlue));
}

COLORREF COXSkinXP::ScaleColor(COLORREF clr, float fRed, float fGreen, float fBlue)
{
    return RGB(Channel(GetRValue(clr) * fRed), Channel(GetGValue(clr) * fGreen),
               Channel(GetBValue(clr) * fBlue));
}

COLORREF COXSkinXP::BlendColors(COLORREF clr1, float fWeight1, COLORREF clr2, float fWeight2,
                                COLORREF clr3, float fWeight3)
{
    auto mix = [&](BYTE (*get)(COLORREF)) {
        return Channel(get(clr1) * fWeight1 + get(clr2) * fWeight2 + get(clr3) * fWeight3);
    };
    return RGB(mix([](COLORREF c) { return GetRValue(c); }),
               mix([](COLORREF c) { return GetGValue(c); }),
               mix([](COLORREF c) { return GetBValue(c); }));
}

COLORREF COXSkinXP::InvertColor(COLORREF clr)
{
    return (clr ^ 0x00FFFFFF) & 0x00FFFFFF;
}

COLORREF COXSkinXP::GetHotItemColor()
{
    return BlendColors(Sys(COLOR_WINDOW), 0.7f, Sys(COLOR_HIGHLIGHT), 0.3f);
}
COLORREF COXSkinXP::GetCheckedItemColor()
{
    return BlendColors(Sys(COLOR_BTNFACE), 0.42f, Sys(COLOR_WINDOW), 0.48f,
                       Sys(COLOR_HIGHLIGHT), 0.1f);
}
COLORREF COXSkinXP::GetPressedItemColor()
{
    return BlendColors(Sys(COLOR_WINDOW), 0.5f, Sys(COLOR_HIGHLIGHT), 0.5f);
}
COLORREF COXSkinXP::GetHighlightBorderColor()
{
    return Sys(COLOR_HIGHLIGHT);
}
COLORREF COXSkinXP::GetMenuBackgroundColor()
{
    return BlendColors(Sys(COLOR_WINDOW), 0.86f, Sys(COLOR_BTNFACE), 0.14f);
}
COLORREF COXSkinXP::GetMenuBorderColor()
{
    return Sys(COLOR_BTNSHADOW);
}
COLORREF COXSkinXP::GetToolbarBackgroundColor()
{
    return BlendColors(Sys(COLOR_WINDOW), 0.16f, Sys(COLOR_BTNFACE), 0.84f);
}
COLORREF COXSkinXP::GetDockBarBackgroundColor()
{
    return Sys(COLOR_BTNFACE);
}
COLORREF COXSkinXP::GetTabTextColor()
{
    return ShiftColor(Sys(COLOR_GRAYTEXT), -8, -12, -22);
}
COLORREF COXSkinXP::GetSeparatorColor()
{
    return ShiftColor(Sys(COLOR_BTNSHADOW), 38, 38, 38);
}
COLORREF COXSkinXP::GetBorderColor()
{
    return Sys(COLOR_BTNSHADOW);
}
COLORREF COXSkinXP::GetGripperColor()
{
    return ShiftColor(Sys(COLOR_BTNSHADOW), 32, 32, 32);
}
COLORREF COXSkinXP::GetMiniFrameCaptionColor()
{
    return Sys(COLOR_BTNSHADOW);
}
COLORREF COXSkinXP::GetMiniFrameCaptionTextColor()
{
    return Sys(COLOR_CAPTIONTEXT);
}
COLORREF COXSkinXP::GetMiniFrameBorderColor()
{
    return ShiftColor(Sys(COLOR_BTNSHADOW), -9, -9, -9);
}
COLORREF COXSkinXP::GetMiniFrameBackgroundColor()
{
    return GetToolbarBackgroundColor();
}
COLORREF COXSkinXP::GetDisabledTextColor()
{
    return Sys(COLOR_GRAYTEXT);
}
COLORREF COXSkinXP::GetMenuDisabledTextColor()
{
    return GetSeparatorColor();
}
COLORREF COXSkinXP::GetLightFaceColor()
{
    return ScaleColor(Sys(COLOR_BTNFACE), 1.2f, 1.2f, 1.2f);
}
COLORREF COXSkinXP::GetDarkFaceColor()
{
    return ShiftColor(Sys(COLOR_BTNFACE), -8, -8, -8);
}
COLORREF COXSkinXP::GetStatusPaneColor()
{
    return ShiftColor(Sys(COLOR_BTNFACE), 17, 12, 16);
}

// --- COXSkinXP: drawing helpers ---

void COXSkinXP::DrawGripperPattern(CDC* pDC, const CRect& rect, BOOL bHorizontal)
{
    const COLORREF dark = GetGripperColor();
    const COLORREF light = Sys(COLOR_WINDOW);
    if (bHorizontal) {
        const int across = rect.Height();
        for (int x = rect.left; x <= rect.right; x += 4) {
            pDC->FillSolidRect(x, rect.top, 2, across, dark);
            pDC->FillSolidRect(x + 1, rect.top + 1, 2, across, light);
        }
    } else {
        const int across = rect.Width();
        for (int y = rect.top; y <= rect.bottom; y += 4) {
            pDC->FillSolidRect(rect.left, y, across, 2, dark);
            pDC->FillSolidRect(rect.left + 1, y + 1, across, 2, light);
        }
    }
}

void COXSkinXP::DrawTransparentGlyph(CBitmap* pBitmap, CDC* pDC, int x, int y, int cx, int cy,
                                     COLORREF clrTransparent)
{
    CDC source;
    source.CreateCompatibleDC(pDC);
    CBitmap* pOldSource = source.SelectObject(pBitmap);

    CDC mask;
    mask.CreateCompatibleDC(pDC);
    CBitmap maskBitmap;
    maskBitmap.CreateBitmap(cx, cy, 1, 1, nullptr);
    CBitmap* pOldMask = mask.SelectObject(&maskBitmap);
    COLORREF oldSourceBk = source.SetBkColor(clrTransparent);
    mask.BitBlt(0, 0, cx, cy, &source, 0, 0, SRCCOPY); // white where transparent
    source.SetBkColor(oldSourceBk);

    COLORREF oldBk = pDC->SetBkColor(RGB(255, 255, 255));
    COLORREF oldText = pDC->SetTextColor(RGB(0, 0, 0));
    pDC->BitBlt(x, y, cx, cy, &source, 0, 0, SRCINVERT);
    pDC->BitBlt(x, y, cx, cy, &mask, 0, 0, SRCAND);
    pDC->BitBlt(x, y, cx, cy, &source, 0, 0, SRCINVERT);
    pDC->SetBkColor(oldBk);
    pDC->SetTextColor(oldText);

    mask.SelectObject(pOldMask);
    source.SelectObject(pOldSource);
}

void COXSkinXP::FillCaptionButtonBackground(CDC* pDC, const CRect& rectButton,
                                            COLORREF clrBackground, CWnd* pWnd)
{
    pDC->FillSolidRect(0, 0, rectButton.Width(), rectButton.Height(), clrBackground);
}

void COXSkinXP::DrawCaptionButton(CDC* pDC, const CRect& rect, UINT nType, BOOL bDisabled,
                                  BOOL bSolidCaption, COLORREF clrBackground, CWnd* pWnd)
{
    const int cx = rect.Width();
    const int cy = rect.Height();
    if (cx <= 4 || cy <= 4)
        return;
    COLORREF clrGlyph = 0;
    if (bDisabled) {
        clrGlyph = bSolidCaption ? ShiftColor(clrBackground, 64, 64, 64)
                                 : ShiftColor(clrBackground, -96, -96, -96);
        bSolidCaption = FALSE;
    }

    CPoint cursor;
    ::GetCursorPos(&cursor);
    CRect rectWindow;
    pWnd->GetWindowRect(&rectWindow);
    cursor.Offset(-rectWindow.left, -rectWindow.top);
    const BOOL bHot = rect.PtInRect(cursor);
    const BOOL bPressed = bHot && ::GetCapture() != nullptr;

    COXOffScreenDC button(pDC, cx, cy);
    if (!bHot || bDisabled) {
        FillCaptionButtonBackground(&button.dc, rect, clrBackground, pWnd);
    } else {
        CBrush brush(bPressed ? GetPressedItemColor() : GetHotItemColor());
        CPen pen(PS_SOLID, 1, GetHighlightBorderColor());
        CBrush* pOldBrush = button.dc.SelectObject(&brush);
        CPen* pOldPen = button.dc.SelectObject(&pen);
        button.dc.Rectangle(0, 0, cx, cy);
        button.dc.SelectObject(pOldPen);
        button.dc.SelectObject(pOldBrush);
    }

    // DrawFrameControl into a rectangle 2 px larger than the bitmap keeps only the glyph.
    const int gx = cx - 4, gy = cy - 4;
    COXOffScreenDC glyph(pDC, gx, gy);
    RECT rectFrame{-2, -2, gx + 2, gy + 2};
    ::DrawFrameControl(glyph.dc, &rectFrame, DFC_CAPTION, nType | DFCS_FLAT);
    // The glyph font may be smoothed: every pixel that is not the face becomes black, so the
    // glyph is black on the face as the recolouring below expects.
    const COLORREF face = Sys(COLOR_BTNFACE);
    for (int y = 0; y < gy; ++y)
        for (int x = 0; x < gx; ++x)
            if (glyph.dc.GetPixel(x, y) != face)
                ::SetPixelV(glyph.dc, x, y, RGB(0, 0, 0));
    COLORREF clrTransparent = face;
    if (bPressed || (bSolidCaption && !bHot)) {
        glyph.dc.BitBlt(0, 0, gx, gy, nullptr, 0, 0, DSTINVERT);
        clrTransparent = InvertColor(clrTransparent);
    }
    glyph.dc.SelectObject(glyph.pOld);
    DrawTransparentGlyph(&glyph.bitmap, &button.dc, 2, 2, gx, gy, clrTransparent);
    glyph.pOld = glyph.dc.SelectObject(&glyph.bitmap);

    if (bDisabled) {
        COXOffScreenDC recoloured(pDC, cx, cy);
        recoloured.dc.FillSolidRect(0, 0, cx, cy, clrGlyph);
        button.dc.SelectObject(button.pOld);
        DrawTransparentGlyph(&button.bitmap, &recoloured.dc, 0, 0, cx, cy, RGB(0, 0, 0));
        button.pOld = button.dc.SelectObject(&button.bitmap);
        pDC->BitBlt(rect.left, rect.top, cx, cy, &recoloured.dc, 0, 0, SRCCOPY);
        return;
    }
    pDC->BitBlt(rect.left, rect.top, cx, cy, &button.dc, 0, 0, SRCCOPY);
}

// --- COXSkin2003 ---

COXSkin2003::COXSkin2003() : COXSkin("Office 2003"), COXSkinXP(NoElements{})
{
    m_pToolbarSkin = std::make_unique<COXToolbarSkin2003>(this);
    m_pMenuSkin = std::make_unique<COXMenuSkin2003>(this);
    m_pToolbarSkin2 = std::make_unique<COXToolbarSkin2003>(this);
    m_pDockbarSkin = std::make_unique<COXDockbarSkin2003>(this);
    m_pTabSkin = std::make_unique<COXTabSkin2003>(this);
    m_pShortcutBarSkin = std::make_unique<COXShortcutBarSkin2003>(this);
    m_pStatusbarSkin = std::make_unique<COXStatusbarSkin2003>(this);
    m_pMiniFrameSkin = std::make_unique<COXMiniFrameSkinXP>(this);
    m_pFrameSkin = std::make_unique<COXFrameSkin2003>(this);
    m_hMsimg32 = ::LoadLibraryA("Msimg32.dll");
    if (m_hMsimg32 != nullptr)
        m_pfnGradientFill =
            reinterpret_cast<GradientFillFn>(
                reinterpret_cast<void*>(::GetProcAddress(m_hMsimg32, "GradientFill")));
}

COXSkin2003::~COXSkin2003()
{
    // The element skins may draw gradients until they are gone.
    m_pMenuSkin.reset();
    m_pDockbarSkin.reset();
    m_pTabSkin.reset();
    m_pShortcutBarSkin.reset();
    m_pfnGradientFill = nullptr;
    if (m_hMsimg32 != nullptr)
        ::FreeLibrary(m_hMsimg32);
}

COXSkin2003::Theme COXSkin2003::QueryTheme()
{
    Theme theme;
    HTHEME hTheme = m_uxTheme.OpenThemeData(nullptr, "button");
    if (hTheme == nullptr)
        return theme;
    theme.themed = true;
    theme.highlight = m_uxTheme.GetThemeSysColor(hTheme, COLOR_HIGHLIGHT);
    theme.caption = m_uxTheme.GetThemeSysColor(hTheme, COLOR_ACTIVECAPTION);
    // The binding offers no CloseThemeData; the handle is released here so that several
    // palette calls per paint do not pile handles up.
    using CloseFn = HRESULT(WINAPI*)(HTHEME);
    if (auto fn = reinterpret_cast<CloseFn>(reinterpret_cast<void*>(
            ::GetProcAddress(m_uxTheme.m_hUxTheme, "CloseThemeData"))))
        fn(hTheme);
    return theme;
}

COLORREF COXSkin2003::GetHotItemColor()
{
    return QueryTheme().themed ? RGB(255, 238, 194) : COXSkinXP::GetHotItemColor();
}
COLORREF COXSkin2003::GetCheckedItemColor()
{
    return QueryTheme().themed ? RGB(255, 192, 111) : COXSkinXP::GetCheckedItemColor();
}
COLORREF COXSkin2003::GetPressedItemColor()
{
    return QueryTheme().themed ? RGB(254, 128, 62) : COXSkinXP::GetPressedItemColor();
}
COLORREF COXSkin2003::GetHighlightBorderColor()
{
    Theme t = QueryTheme();
    return t.themed ? ShiftColor(t.caption, 0, -84, -99) : Sys(COLOR_HIGHLIGHT);
}
COLORREF COXSkin2003::GetMenuBackgroundColor()
{
    return QueryTheme().themed ? RGB(246, 246, 246)
                               : BlendColors(Sys(COLOR_WINDOW), 0.86f, Sys(COLOR_BTNFACE), 0.14f);
}
COLORREF COXSkin2003::GetMenuBorderColor()
{
    Theme t = QueryTheme();
    return t.themed ? BlendColors(t.caption, 0.55f, 0, 0.0f) : Sys(COLOR_BTNSHADOW);
}
COLORREF COXSkin2003::GetDockBarBackgroundColor()
{
    return QueryTheme().themed ? GetDockBarGradientEndColor() : Sys(COLOR_BTNFACE);
}
COLORREF COXSkin2003::GetTabTextColor()
{
    return Sys(COLOR_BTNTEXT);
}
COLORREF COXSkin2003::GetSeparatorColor()
{
    Theme t = QueryTheme();
    return t.themed ? BlendColors(Sys(COLOR_WINDOW), 0.2f, t.highlight, 0.8f)
                    : COXSkinXP::GetSeparatorColor();
}
COLORREF COXSkin2003::GetBorderColor()
{
    Theme t = QueryTheme();
    return t.themed ? BlendColors(t.highlight, 0.5f, 0, 0.0f) : COXSkinXP::GetSeparatorColor();
}
COLORREF COXSkin2003::GetGripperColor()
{
    Theme t = QueryTheme();
    return t.themed ? BlendColors(t.highlight, 0.7f, 0, 0.0f) : COXSkinXP::GetGripperColor();
}
COLORREF COXSkin2003::GetMiniFrameCaptionColor()
{
    Theme t = QueryTheme();
    return t.themed ? t.highlight : Sys(COLOR_BTNSHADOW);
}
COLORREF COXSkin2003::GetMiniFrameBorderColor()
{
    Theme t = QueryTheme();
    return t.themed ? t.highlight : COXSkinXP::GetMiniFrameBorderColor();
}
COLORREF COXSkin2003::GetMiniFrameBackgroundColor()
{
    return GetDockBarBackgroundColor();
}
COLORREF COXSkin2003::GetDisabledTextColor()
{
    return QueryTheme().themed ? RGB(141, 141, 141) : Sys(COLOR_GRAYTEXT);
}
COLORREF COXSkin2003::GetMenuDisabledTextColor()
{
    return QueryTheme().themed ? RGB(141, 141, 141) : GetSeparatorColor();
}

// Themed: the window colour blended with the theme highlight; else the given fall-back.
#define OX_2003_BLEND(name, wWindow, wHighlight, fallback)                                     \
    COLORREF COXSkin2003::name()                                                               \
    {                                                                                          \
        Theme t = QueryTheme();                                                                \
        return t.themed ? BlendColors(Sys(COLOR_WINDOW), wWindow, t.highlight, wHighlight)     \
                        : (fallback);                                                          \
    }
OX_2003_BLEND(GetDockBarGradientStartColor, 0.5f, 0.5f, Sys(COLOR_BTNFACE))
OX_2003_BLEND(GetDockBarGradientEndColor, 0.7f, 0.3f,
              BlendColors(Sys(COLOR_WINDOW), 0.8f, Sys(COLOR_BTNFACE), 0.2f))
OX_2003_BLEND(GetCaptionGradientStartColor, 0.95f, 0.05f,
              BlendColors(Sys(COLOR_WINDOW), 0.73f, Sys(COLOR_BTNFACE), 0.27f))
OX_2003_BLEND(GetCaptionGradientEndColor, 0.2f, 0.8f, Sys(COLOR_BTNFACE))
OX_2003_BLEND(GetTabGradientLightColor, 0.95f, 0.05f,
              BlendColors(Sys(COLOR_WINDOW), 0.78f, Sys(COLOR_BTNFACE), 0.22f))
OX_2003_BLEND(GetTabGradientDarkColor, 0.2f, 0.8f,
              BlendColors(Sys(COLOR_WINDOW), 0.04f, Sys(COLOR_BTNFACE), 0.96f))
OX_2003_BLEND(GetStatusGradientTopColor, 0.3f, 0.3f, Sys(COLOR_BTNSHADOW))
OX_2003_BLEND(GetStatusGradientMiddleColor, 0.6f, 0.4f,
              BlendColors(Sys(COLOR_WINDOW), 0.5f, Sys(COLOR_BTNFACE), 0.5f))
OX_2003_BLEND(GetStatusGradientBottomColor, 0.3f, 0.7f,
              BlendColors(Sys(COLOR_WINDOW), 0.2f, Sys(COLOR_BTNFACE), 0.8f))
OX_2003_BLEND(GetSplitterLineColor, 0.5f, 0.5f, GetSeparatorColor())
OX_2003_BLEND(GetShortcutBarLightColor, 0.95f, 0.05f,
              BlendColors(Sys(COLOR_WINDOW), 0.86f, Sys(COLOR_BTNFACE), 0.14f))
OX_2003_BLEND(GetShortcutBarMidColor, 0.5f, 0.5f, GetToolbarBackgroundColor())
#undef OX_2003_BLEND

COLORREF COXSkin2003::GetCheckedGradientStartColor()
{
    return QueryTheme().themed ? RGB(255, 213, 140) : GetCheckedItemColor();
}
COLORREF COXSkin2003::GetCheckedGradientEndColor()
{
    return QueryTheme().themed ? RGB(255, 173, 85) : GetCheckedItemColor();
}

void COXSkin2003::DrawGradient(CDC* pDC, const CRect& rect, COLORREF clrStart, COLORREF clrEnd,
                               BOOL bVertical)
{
    if (rect.IsRectEmpty())
        return;
    if (m_pfnGradientFill != nullptr) {
        TRIVERTEX vertices[2] = {Vertex(rect.left, rect.top, clrStart),
                                 Vertex(rect.right, rect.bottom, clrEnd)};
        GRADIENT_RECT mesh{0, 1};
        m_pfnGradientFill(pDC->m_hDC, vertices, 2, &mesh, 1,
                          bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
        return;
    }
    DrawGradientLines(pDC, rect, clrStart, clrEnd, bVertical);
}

void COXSkin2003::DrawCornerGradient(CDC* pDC, const CRect& rect, COLORREF clrTopLeft,
                                     COLORREF clrTopRight, COLORREF clrBottomLeft,
                                     COLORREF clrBottomRight)
{
    if (rect.IsRectEmpty())
        return;
    if (m_pfnGradientFill == nullptr) {
        if (rect.Width() < rect.Height())
            DrawGradientLines(pDC, rect, clrTopLeft, clrTopRight, FALSE);
        else
            DrawGradientLines(pDC, rect, clrTopLeft, clrBottomLeft, TRUE);
        return;
    }
    TRIVERTEX vertices[6] = {
        Vertex(rect.left, rect.top, clrTopLeft),       Vertex(rect.right, rect.top, clrTopRight),
        Vertex(rect.left, rect.bottom, clrBottomLeft), Vertex(rect.right, rect.top, clrTopRight),
        Vertex(rect.left, rect.bottom, clrBottomLeft),
        Vertex(rect.right, rect.bottom, clrBottomRight)};
    GRADIENT_TRIANGLE mesh[2] = {{0, 1, 2}, {3, 4, 5}};
    m_pfnGradientFill(pDC->m_hDC, vertices, 6, mesh, 2, GRADIENT_FILL_TRIANGLE);
}

void COXSkin2003::DrawGradientLines(CDC* pDC, const CRect& rect, COLORREF clrStart,
                                    COLORREF clrEnd, BOOL bVertical)
{
    const int n = bVertical ? rect.Height() : rect.Width();
    auto step = [n](int from, int to, int i) { return from + (to - from) * i / n; };
    for (int i = 0; i < n; ++i) {
        COLORREF c = RGB(step(GetRValue(clrStart), GetRValue(clrEnd), i),
                         step(GetGValue(clrStart), GetGValue(clrEnd), i),
                         step(GetBValue(clrStart), GetBValue(clrEnd), i));
        if (bVertical)
            pDC->FillSolidRect(rect.left, rect.top + i, rect.Width(), 1, c);
        else
            pDC->FillSolidRect(rect.left + i, rect.top, 1, rect.Height(), c);
    }
}

void COXSkin2003::DrawDockBarGradient(CDC* pDC, const CRect& rect, int xBandLeft,
                                      int nBandWidth)
{
    if (rect.IsRectEmpty())
        return;
    const int width = std::max(::GetSystemMetrics(SM_CXSCREEN), nBandWidth);
    const int xMiddle = xBandLeft + width / 2;
    const int saved = pDC->SaveDC();
    ::IntersectClipRect(pDC->m_hDC, rect.left, rect.top, rect.right, rect.bottom);
    // The whole half band is drawn (clipped to rect) so its colours stay those of the band.
    CRect rectHalf(xBandLeft, rect.top, xMiddle, rect.bottom);
    if (rectHalf.right > rect.left && rectHalf.left < rect.right)
        DrawGradient(pDC, rectHalf, GetDockBarGradientStartColor(), GetDockBarGradientEndColor(),
                     FALSE);
    CRect rectRest(std::max<int>(xMiddle, rect.left), rect.top, rect.right, rect.bottom);
    if (!rectRest.IsRectEmpty())
        pDC->FillSolidRect(&rectRest, GetDockBarGradientEndColor());
    pDC->RestoreDC(saved);
}

void COXSkin2003::FillCaptionButtonBackground(CDC* pDC, const CRect& rectButton,
                                              COLORREF clrBackground, CWnd* pWnd)
{
    const CRect rectBitmap(0, 0, rectButton.Width(), rectButton.Height());
    if (auto* pBar = dynamic_cast<COXSkinnedBar*>(pWnd)) {
        // Continue the caption strip's gradient behind the glyph.
        CRect strip = pBar->GetCaptionRect();
        CPoint origin = COXDockbarSkin::ClientOrigin(pWnd);
        strip.OffsetRect(origin.x - rectButton.left, origin.y - rectButton.top);
        DrawGradient(pDC, strip, GetCaptionGradientStartColor(), GetCaptionGradientEndColor(),
                     !COXDockbarSkin::IsDockedHorizontally(pBar));
        return;
    }
    const CRuntimeClass* pMenuBar = CRuntimeClass::FromName("COXMenuBar");
    if (pMenuBar != nullptr && pWnd->IsKindOf(pMenuBar)) {
        CRect rectFrame, rectWnd;
        CWnd* pFrame = pWnd->GetParent();
        while (pFrame != nullptr && !pFrame->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            pFrame = pFrame->GetParent();
        pWnd->GetWindowRect(&rectWnd);
        if (pFrame != nullptr)
            pFrame->GetWindowRect(&rectFrame);
        else
            rectFrame = rectWnd;
        DrawDockBarGradient(pDC, rectBitmap, rectFrame.left - rectWnd.left - rectButton.left,
                            rectFrame.Width());
        return;
    }
    pDC->FillSolidRect(&rectBitmap, clrBackground);
}
