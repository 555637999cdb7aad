// The shortcut-bar element skins: group headers, backgrounds and item frames of the shortcut
// bar and its lists. Classic uses system colours and 3D edges, XP the flat palette colours,
// 2003 gradients, warm highlights and a title band with every header at the bottom.
// Classes here: COXShortcutBarSkin, COXShortcutBarSkinClassic, COXShortcutBarSkinXP,
// COXShortcutBarSkin2003.
#pragma once

#include <windows.h>

#include "framework/ui.h"

class COXShortcutBar;
class COXSkinXP;
class COXSkin2003;
using HSHBGROUP = UINT_PTR;

class COXShortcutBarSkin
{
public:
    virtual ~COXShortcutBarSkin() = default;
    // Default background of the bar and of its children.
    virtual COLORREF GetBackgroundColor(COXShortcutBar* pBar) = 0;
    // Default item text colour.
    virtual COLORREF GetTextColor(COXShortcutBar* pBar) = 0;
    // pList: the list the item belongs to (its LVM_GETBKCOLOR is read by Classic).
    virtual void DrawItemFrame(CDC* pDC, const CRect& rect, BOOL bHot, BOOL bPressed,
                               CWnd* pList) = 0;
    // rect in pWnd's client coordinates; a list paints pieces whose DC origin is the top-left
    // corner of rect. bUseColor: fill with clr rather than the skin's background.
    virtual void FillBackground(CDC* pDC, const CRect& rect, CWnd* pWnd, BOOL bUseColor,
                                COLORREF clr) = 0;
    // rcItem of the record is the header at (0, 0) of hDC; itemID the group.
    virtual void DrawGroupHeader(LPDRAWITEMSTRUCT lpDrawItemStruct, COXShortcutBar* pBar) = 0;
    virtual void Reserved() {}
    // 0 Classic, 1 XP, 2 2003.
    virtual int GetSkinType() { return 3; }
    virtual void DrawBarDecoration(COXShortcutBar* pBar, CDC* pDC) {}

    // Width of the image drawn, 0 for none.
    int DrawGroupImage(HSHBGROUP hGroup, COXShortcutBar* pBar, CDC* pDC, int x, int y);
    void DrawGroupText(HSHBGROUP hGroup, COXShortcutBar* pBar, CDC* pDC, const CRect& rect,
                       UINT nFormat, BOOL bBold);
    // The marks of a header drag on the drop-target header.
    void DrawDropArrows(HSHBGROUP hGroup, COXShortcutBar* pBar, CDC* pDC, const CRect& rect);

    // TRUE: headers stack from the top, the expanded child under its own header (Classic,
    // XP); FALSE: every header at the bottom under a title band (2003).
    BOOL m_bHeadersFromTop = TRUE;

protected:
    // Header colour of the group, inverted while it is dragged.
    static COLORREF HeaderColor(HSHBGROUP hGroup, COXShortcutBar* pBar);
    // The two nested frames and the fill of a Classic or XP header.
    static void DrawHeaderFrames(LPDRAWITEMSTRUCT lpDrawItemStruct, COXShortcutBar* pBar);
    // The image and text of a Classic or XP header, then the drop marks.
    void DrawHeaderContents(LPDRAWITEMSTRUCT lpDrawItemStruct, COXShortcutBar* pBar);
};

class COXShortcutBarSkinClassic : public COXShortcutBarSkin
{
public:
    COLORREF GetBackgroundColor(COXShortcutBar* pBar) override;
    COLORREF GetTextColor(COXShortcutBar* pBar) override;
    void DrawItemFrame(CDC* pDC, const CRect& rect, BOOL bHot, BOOL bPressed,
                       CWnd* pList) override;
    void FillBackground(CDC* pDC, const CRect& rect, CWnd* pWnd, BOOL bUseColor,
                        COLORREF clr) override;
    void DrawGroupHeader(LPDRAWITEMSTRUCT lpDrawItemStruct, COXShortcutBar* pBar) override;
    int GetSkinType() override { return 0; }
};

class COXShortcutBarSkinXP : public COXShortcutBarSkin
{
public:
    // pSkin: the palette, not owned.
    explicit COXShortcutBarSkinXP(COXSkinXP* pSkin) : m_pSkinXP(pSkin) {}
    COLORREF GetBackgroundColor(COXShortcutBar* pBar) override;
    COLORREF GetTextColor(COXShortcutBar* pBar) override;
    void DrawItemFrame(CDC* pDC, const CRect& rect, BOOL bHot, BOOL bPressed,
                       CWnd* pList) override;
    void FillBackground(CDC* pDC, const CRect& rect, CWnd* pWnd, BOOL bUseColor,
                        COLORREF clr) override;
    void DrawGroupHeader(LPDRAWITEMSTRUCT lpDrawItemStruct, COXShortcutBar* pBar) override;
    int GetSkinType() override { return 1; }

protected:
    COXSkinXP* m_pSkinXP;
};

class COXShortcutBarSkin2003 : public COXShortcutBarSkinXP
{
public:
    explicit COXShortcutBarSkin2003(COXSkin2003* pSkin);
    void FillBackground(CDC* pDC, const CRect& rect, CWnd* pWnd, BOOL bUseColor,
                        COLORREF clr) override;
    void DrawGroupHeader(LPDRAWITEMSTRUCT lpDrawItemStruct, COXShortcutBar* pBar) override;
    int GetSkinType() override { return 2; }
    void DrawBarDecoration(COXShortcutBar* pBar, CDC* pDC) override;

    static constexpr int kTitleBandHeight = 25;

protected:
    COXSkin2003* m_pSkin2003;
};
