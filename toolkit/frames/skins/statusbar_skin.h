// The status-bar element skins: Classic keeps the control's own painting and adds the panes'
// attached bitmaps; XP and 2003 paint background, texts, pane borders and size grip themselves.
// Classes here: COXStatusbarSkin, COXStatusbarSkinClassic, COXStatusbarSkinXP,
// COXStatusbarSkin2003.
#pragma once

#include <windows.h>

#include "framework/ui.h"

class COXStatusBar;
class COXSkinXP;
class COXSkin2003;

class COXStatusbarSkin {
public:
    virtual ~COXStatusbarSkin() = default;
    // The whole WM_PAINT of the bar.
    virtual void OnPaintStatusBar(COXStatusBar* pStatusBar) = 0;
    virtual void DrawPanes(CDC* pDC, COXStatusBar* pStatusBar) = 0;
    virtual void DrawPaneBorders(CDC* pDC, COXStatusBar* pStatusBar) = 0;
    virtual void DrawSizeGrip(CDC* pDC, COXStatusBar* pStatusBar) = 0;

protected:
    // Step common to every skin: the bitmap of each enabled pane that has one.
    static void DrawAttachedItems(CDC* pDC, COXStatusBar* pStatusBar);
    // A pane's rectangle, the last one ending at its left edge + its width + 6.
    static CRect PaneRect(COXStatusBar* pStatusBar, int nIndex);
};

class COXStatusbarSkinClassic : public COXStatusbarSkin {
public:
    void OnPaintStatusBar(COXStatusBar* pStatusBar) override;
    void DrawPanes(CDC*, COXStatusBar*) override {}
    void DrawPaneBorders(CDC*, COXStatusBar*) override {}
    void DrawSizeGrip(CDC*, COXStatusBar*) override {}
};

class COXStatusbarSkinXP : public COXStatusbarSkin {
public:
    explicit COXStatusbarSkinXP(COXSkinXP* pSkin) : m_pSkin(pSkin) {}
    void OnPaintStatusBar(COXStatusBar* pStatusBar) override;
    void DrawPanes(CDC* pDC, COXStatusBar* pStatusBar) override;
    void DrawPaneBorders(CDC* pDC, COXStatusBar* pStatusBar) override;
    void DrawSizeGrip(CDC* pDC, COXStatusBar* pStatusBar) override;

protected:
    virtual void FillBackground(CDC* pDC, const CRect& rect);
    // No grip inside a maximised frame or one without a sizing border.
    static bool HasGrip(COXStatusBar* pStatusBar);
    COXSkinXP* m_pSkin; // not owned
};

class COXStatusbarSkin2003 : public COXStatusbarSkinXP {
public:
    explicit COXStatusbarSkin2003(COXSkin2003* pSkin);
    void DrawPaneBorders(CDC* pDC, COXStatusBar* pStatusBar) override;
    void DrawSizeGrip(CDC* pDC, COXStatusBar* pStatusBar) override;

protected:
    void FillBackground(CDC* pDC, const CRect& rect) override;
    COXSkin2003* Skin2003() const;
};
