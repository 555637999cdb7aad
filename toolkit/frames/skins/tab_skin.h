// The tab element skin: paints tab controls and their scroll arrows.
// Classes here: COXTabSkin, COXTabSkinClassic, COXTabSkinXP, COXTabSkin2003.
#pragma once

#include <windows.h>

#include "framework/ui.h"

class COXSkinXP;
class COXSkin2003;

class COXTabSkin
{
public:
    virtual ~COXTabSkin() = default;
    // Paints the control during its WM_PAINT (the Classic variant lets the control paint).
    virtual void OnPaintTabCtrl(CTabCtrl* pTabCtrl) = 0;
    // Paints an up-down control during its WM_PAINT.
    virtual void OnPaintSpin(CSpinButtonCtrl* pSpin) = 0;
    virtual void DrawPageBorder(CDC* pDC, const CRect& rect) = 0;
    virtual void OnNcPaintTabCtrl(CTabCtrl* pTabCtrl) = 0;
    // Extends rectPage by nDelta on every side where the display area lies within 8 px of
    // the client edge (the flat skins draw no 3D frame there).
    virtual void AdjustPageRect(CRect& rectPage, int nDelta, CTabCtrl* pTabCtrl) = 0;
};

// The operating system's own painting, plus the vertical labels that themed XP controls omit.
class COXTabSkinClassic : public COXTabSkin
{
public:
    void OnPaintTabCtrl(CTabCtrl* pTabCtrl) override;
    void OnPaintSpin(CSpinButtonCtrl* pSpin) override;
    void DrawPageBorder(CDC* pDC, const CRect& rect) override;
    void OnNcPaintTabCtrl(CTabCtrl* pTabCtrl) override;
    void AdjustPageRect(CRect&, int, CTabCtrl*) override {}
};

// Flat tabs painted off screen and copied once, with flat scroll arrows.
class COXTabSkinXP : public COXTabSkin
{
public:
    explicit COXTabSkinXP(COXSkinXP* pSkin);
    void OnPaintTabCtrl(CTabCtrl* pTabCtrl) override;
    void OnPaintSpin(CSpinButtonCtrl* pSpin) override;
    void DrawPageBorder(CDC* pDC, const CRect& rect) override;
    void OnNcPaintTabCtrl(CTabCtrl* pTabCtrl) override;
    void AdjustPageRect(CRect& rectPage, int nDelta, CTabCtrl* pTabCtrl) override;

    // lpDIS is filled by the skin: itemState 1 for the selected tab, hDC the item buffer.
    virtual void DrawTabItem(LPDRAWITEMSTRUCT lpDIS, CTabCtrl* pTabCtrl);
    virtual void FillTabBackground(CDC* pDC, const CRect& rect, CTabCtrl* pTabCtrl);
    virtual void DrawTabItemEdges(LPDRAWITEMSTRUCT lpDIS, CTabCtrl* pTabCtrl);

protected:
    // The band where the tabs stand (one row only), from the outer edge to the page side.
    virtual void FillTabBand(CDC* pDC, const CRect& rect, BOOL bBottom);
    // The separator after an unselected tab.
    virtual void DrawTabSeparator(CDC* pDC, int x, int top, int bottom);
    // The background of the spin buffer.
    virtual void FillSpinBackground(CDC* pDC, const CRect& rect, BOOL bBottom);
    virtual void FillTabItemBackground(CDC* pDC, const CRect& rect, BOOL bSelected,
                                       BOOL bBottom);

    COXSkinXP* m_pSkin;
    CPen m_penShadow;
    CFont m_fontTab;
    CBrush m_brushArrow;
    CPen m_penArrow;
};

// As XP, with gradients.
class COXTabSkin2003 : public COXTabSkinXP
{
public:
    explicit COXTabSkin2003(COXSkin2003* pSkin);
    void FillTabBackground(CDC* pDC, const CRect& rect, CTabCtrl* pTabCtrl) override;

protected:
    void FillTabBand(CDC* pDC, const CRect& rect, BOOL bBottom) override;
    void DrawTabSeparator(CDC* pDC, int x, int top, int bottom) override;
    void FillSpinBackground(CDC* pDC, const CRect& rect, BOOL bBottom) override;
    void FillTabItemBackground(CDC* pDC, const CRect& rect, BOOL bSelected,
                               BOOL bBottom) override;
    COXSkin2003* Skin2003() const;
};
