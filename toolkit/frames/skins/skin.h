// Skins: named sets of element skins, and the palettes the XP and 2003 element skins read.
// Classes here: COXSkin, COXSkinClassic, COXSkinXP, COXSkin2003, COXOffScreenDC.
#pragma once

#include <windows.h>

#include <algorithm>
#include <memory>

#include "framework/ui.h"
#include "toolkit/frames/skins/element_skins.h"
#include "toolkit/frames/skins/menu_skin.h"
#include "toolkit/frames/uxtheme/ux_theme.h"

class COXDockbarSkin;
class COXTabSkin;

// A memory DC over a bitmap of the given size, compatible with pDC: the skins draw there first
// and copy the whole picture at once, without flicker.
struct COXOffScreenDC {
    CDC dc;
    CBitmap bitmap;
    CBitmap* pOld = nullptr;
    COXOffScreenDC(CDC* pDC, int cx, int cy)
    {
        dc.CreateCompatibleDC(pDC);
        bitmap.CreateCompatibleBitmap(pDC, std::max(cx, 1), std::max(cy, 1));
        pOld = dc.SelectObject(&bitmap);
    }
    ~COXOffScreenDC() { dc.SelectObject(pOld); }
};

// A skin owns its nine element skins; an element skin of the XP or 2003 family keeps a
// pointer back to the skin that made it and reads its palette.
class COXSkin
{
public:
    explicit COXSkin(LPCTSTR lpszName);
    COXSkin(const COXSkin&) = delete;
    COXSkin& operator=(const COXSkin&) = delete;
    virtual ~COXSkin();
    // 0 Classic, 1 Office XP and Office 2003, 3 this base.
    virtual int GetSkinType() const { return 3; }

    const CString& GetName() const { return m_strName; }
    COXDockbarSkin* GetDockbarSkin() const { return m_pDockbarSkin.get(); }
    COXTabSkin* GetTabSkin() const { return m_pTabSkin.get(); }
    COXShortcutBarSkin* GetShortcutBarSkin() const { return m_pShortcutBarSkin.get(); }

    // Controls read these directly; null where a skin has not made that element.
    std::unique_ptr<COXToolbarSkin> m_pToolbarSkin;
    std::unique_ptr<COXMenuSkin> m_pMenuSkin;
    std::unique_ptr<COXToolbarSkin> m_pToolbarSkin2;
    std::unique_ptr<COXDockbarSkin> m_pDockbarSkin;
    std::unique_ptr<COXTabSkin> m_pTabSkin;
    std::unique_ptr<COXShortcutBarSkin> m_pShortcutBarSkin;
    std::unique_ptr<COXMiniFrameSkin> m_pMiniFrameSkin;
    std::unique_ptr<COXStatusbarSkin> m_pStatusbarSkin;
    std::unique_ptr<COXFrameSkin> m_pFrameSkin;

protected:
    CString m_strName;
    CMapPtrToPtr m_mapData{10};
};

// "Classic": system colours and the operating system's own look.
class COXSkinClassic : public COXSkin
{
public:
    COXSkinClassic();
    int GetSkinType() const override { return 0; }
};

// "Office XP": a flat look whose colours are blended from the system colours at each call,
// so a change of the colour scheme shows at the next paint.
class COXSkinXP : public virtual COXSkin
{
public:
    COXSkinXP();
    int GetSkinType() const override { return 1; }

    virtual COLORREF GetHotItemColor();
    virtual COLORREF GetCheckedItemColor();
    virtual COLORREF GetPressedItemColor();
    virtual COLORREF GetHighlightBorderColor();
    virtual COLORREF GetMenuBackgroundColor();
    virtual COLORREF GetMenuBorderColor();
    virtual COLORREF GetToolbarBackgroundColor();
    virtual COLORREF GetDockBarBackgroundColor();
    virtual COLORREF GetTabTextColor();
    virtual COLORREF GetSeparatorColor();
    virtual COLORREF GetBorderColor();
    virtual COLORREF GetGripperColor();
    virtual COLORREF GetMiniFrameCaptionColor();
    virtual COLORREF GetMiniFrameCaptionTextColor();
    virtual COLORREF GetMiniFrameBorderColor();
    virtual COLORREF GetMiniFrameBackgroundColor();
    virtual COLORREF GetDisabledTextColor();
    virtual COLORREF GetMenuDisabledTextColor();
    // A caption button (nType DFCS_CAPTIONCLOSE, DFCS_CAPTIONMIN or DFCS_CAPTIONMAX) composed
    // off screen and copied to rect of pDC (a window DC of pWnd) in one operation.
    virtual void DrawCaptionButton(CDC* pDC, const CRect& rect, UINT nType, BOOL bDisabled,
                                   BOOL bSolidCaption, COLORREF clrBackground, CWnd* pWnd);

    // Channel arithmetic on 0x00BBGGRR values: clamped to 0..255, truncated toward zero.
    static COLORREF ShiftColor(COLORREF clr, int nRed, int nGreen, int nBlue);
    static COLORREF ScaleColor(COLORREF clr, float fRed, float fGreen, float fBlue);
    // c1*w1 + c2*w2 + c3*w3 per channel; the weights are not normalised.
    static COLORREF BlendColors(COLORREF clr1, float fWeight1, COLORREF clr2, float fWeight2,
                                COLORREF clr3 = 0, float fWeight3 = 0.0f);
    static COLORREF InvertColor(COLORREF clr);

    COLORREF GetWindowColor() { return ::GetSysColor(COLOR_WINDOW); }
    COLORREF GetHighlightTextColor() { return ::GetSysColor(COLOR_HIGHLIGHTTEXT); }
    COLORREF GetLightFaceColor();
    COLORREF GetDarkFaceColor();
    COLORREF GetStatusPaneColor();
    // Dots with a light shadow every 4 pixels along the strip: rows when bHorizontal.
    void DrawGripperPattern(CDC* pDC, const CRect& rect, BOOL bHorizontal);
    // Copies pBitmap to (x, y) of pDC leaving the pixels of clrTransparent untouched.
    void DrawTransparentGlyph(CBitmap* pBitmap, CDC* pDC, int x, int y, int cx, int cy,
                              COLORREF clrTransparent);

protected:
    // For the 2003 skin, which makes its own element skins.
    struct NoElements {};
    explicit COXSkinXP(NoElements) : COXSkin("Office 2003") {}
    // Step 1 of DrawCaptionButton for the 2003 override: the plain background of the button.
    virtual void FillCaptionButtonBackground(CDC* pDC, const CRect& rectButton,
                                             COLORREF clrBackground, CWnd* pWnd);
};

// "Office 2003": gradients (GradientFill of Msimg32.dll when present, else line by line) and,
// while visual styles are in force, themed colours.
class COXSkin2003 : public COXSkinXP
{
public:
    COXSkin2003();
    ~COXSkin2003() override;

    COLORREF GetHotItemColor() override;
    COLORREF GetCheckedItemColor() override;
    COLORREF GetPressedItemColor() override;
    COLORREF GetHighlightBorderColor() override;
    COLORREF GetMenuBackgroundColor() override;
    COLORREF GetMenuBorderColor() override;
    COLORREF GetDockBarBackgroundColor() override;
    COLORREF GetTabTextColor() override;
    COLORREF GetSeparatorColor() override;
    COLORREF GetBorderColor() override;
    COLORREF GetGripperColor() override;
    COLORREF GetMiniFrameCaptionColor() override;
    COLORREF GetMiniFrameBorderColor() override;
    COLORREF GetMiniFrameBackgroundColor() override;
    COLORREF GetDisabledTextColor() override;
    COLORREF GetMenuDisabledTextColor() override;

    COLORREF GetDockBarGradientStartColor();
    COLORREF GetDockBarGradientEndColor();
    COLORREF GetCaptionGradientStartColor();
    COLORREF GetCaptionGradientEndColor();
    COLORREF GetTabGradientLightColor();
    COLORREF GetTabGradientDarkColor();
    COLORREF GetStatusGradientTopColor();
    COLORREF GetStatusGradientMiddleColor();
    COLORREF GetStatusGradientBottomColor();
    COLORREF GetSplitterLineColor();
    COLORREF GetCheckedGradientStartColor();
    COLORREF GetCheckedGradientEndColor();

    // From clrStart at the top (bVertical) or left edge to clrEnd at the other.
    void DrawGradient(CDC* pDC, const CRect& rect, COLORREF clrStart, COLORREF clrEnd,
                      BOOL bVertical);
    // The same one line at a time, as without Msimg32.dll.
    static void DrawGradientLines(CDC* pDC, const CRect& rect, COLORREF clrStart,
                                  COLORREF clrEnd, BOOL bVertical);
    // The dock-bar gradient over rect, as one band starting at xBandLeft (window or client
    // coordinates of pDC) as wide as the larger of the screen and nBandWidth.
    void DrawDockBarGradient(CDC* pDC, const CRect& rect, int xBandLeft, int nBandWidth);
    // Two triangles over rect, each corner with its own colour (without Msimg32.dll: a
    // two-colour gradient, horizontal for a rectangle narrower than high, else vertical).
    void DrawCornerGradient(CDC* pDC, const CRect& rect, COLORREF clrTopLeft,
                            COLORREF clrTopRight, COLORREF clrBottomLeft,
                            COLORREF clrBottomRight);
    // The shortcut-bar header colours: light (top) and mid (bottom of a plain header).
    COLORREF GetShortcutBarLightColor();
    COLORREF GetShortcutBarMidColor();

protected:
    friend class COXMenuSkin2003; // its gradient colours follow the theme state too
    using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

    // Themed: visual styles are in force; the colours of the "button" theme then apply.
    struct Theme {
        bool themed = false;
        COLORREF highlight = 0;
        COLORREF caption = 0;
    };
    Theme QueryTheme();
    void FillCaptionButtonBackground(CDC* pDC, const CRect& rectButton, COLORREF clrBackground,
                                     CWnd* pWnd) override;

    COXUxTheme m_uxTheme;
    HMODULE m_hMsimg32 = nullptr;
    GradientFillFn m_pfnGradientFill = nullptr;
};
