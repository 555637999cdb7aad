// The toolbar element skins: gripper, non-client frame, separators, background and, through
// the toolbar's custom draw, its buttons. Classic leaves the buttons to the common controls
// unless the bar sets state colours; XP draws the whole bar flat from its palette; 2003 adds
// gradients and fixed button colours.
// Classes here: COXToolbarSkin, COXToolbarSkinClassic, COXToolbarSkinXP, COXToolbarSkin2003;
// NMOXTBCUSTOMDRAW.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/ui.h"

class COXCoolToolBar;
class COXSkinXP;
class COXSkin2003;

// Sent before a skin paints a toolbar (WM_NOTIFY, wParam the bar's id) to the floating bar's
// top-level parent, else to its parent frame. Clearing bDoDefault makes the skin return
// lResult and draw nothing.
constexpr UINT OXTBN_CUSTOMDRAW = 0x807B;
struct NMOXTBCUSTOMDRAW {
    NMHDR hdr;
    LPNMCUSTOMDRAW pCustomDraw; // an NMTBCUSTOMDRAW on common controls 4.71 and later
    LRESULT lResult;
    BOOL bDoDefault;
};

class COXToolbarSkin {
public:
    virtual ~COXToolbarSkin() = default;
    // rect: the gripper's area inside the borders (window coordinates of pDC).
    virtual void DrawGripper(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) = 0;
    // rect: the window rectangle at 0,0; left inside the borders.
    virtual void DrawNonClientArea(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) = 0;
    virtual void DrawSeparator(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) = 0;
    virtual void DrawCustomizedButtonFrame(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) = 0;
    // The answer to the bar's reflected NM_CUSTOMDRAW.
    virtual LRESULT OnCustomDraw(NMHDR* pNotify, COXCoolToolBar* pBar) = 0;
    virtual void OnPaintComboBox(CWnd* pComboBox);
    virtual void Reserved(void*) {}
    virtual void DrawComboBox(CWnd*) {}
    virtual void DrawEditFrame(CWnd*) {}
    virtual void DrawMDIButtons(CDC*, CWnd*) {}
    // 1: the bar erases its background as usual; 0: it does not erase.
    virtual int IsDefaultEraseBackground() = 0;

protected:
    // The notification to the frame; true when the receiver took over (result in *pResult).
    static bool FrameTakesOver(NMHDR* pNotify, COXCoolToolBar* pBar, LRESULT* pResult);
    static bool IsFloating(COXCoolToolBar* pBar);
    static bool IsHorizontal(COXCoolToolBar* pBar);
};

class COXToolbarSkinClassic : public COXToolbarSkin {
public:
    void DrawGripper(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    void DrawNonClientArea(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    void DrawSeparator(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    void DrawCustomizedButtonFrame(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    LRESULT OnCustomDraw(NMHDR* pNotify, COXCoolToolBar* pBar) override;
    int IsDefaultEraseBackground() override { return 1; }
};

class COXToolbarSkinXP : public COXToolbarSkin {
public:
    explicit COXToolbarSkinXP(COXSkinXP* pSkin) : m_pSkin(pSkin) {}
    void DrawGripper(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    void DrawNonClientArea(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    void DrawSeparator(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    void DrawCustomizedButtonFrame(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    LRESULT OnCustomDraw(NMHDR* pNotify, COXCoolToolBar* pBar) override;
    int IsDefaultEraseBackground() override { return 0; }

    virtual void FillBackground(CDC* pDC, COXCoolToolBar* pBar);
    virtual void DrawButton(CDC* pDC, const TBBUTTON& button, const CRect& rect,
                            COXCoolToolBar* pBar, BOOL bDrawBackground);
    virtual void FillButtonArea(CDC* pDC, const CRect& rect);
    // Combo boxes and edits hosted in a toolbar: flat, over the toolbar's background.
    void OnPaintComboBox(CWnd* pComboBox) override;
    void DrawComboBox(CWnd* pComboBox) override;
    void DrawEditFrame(CWnd* pEdit) override;

    COXSkinXP* m_pSkin; // not owned

protected:
    // The background of a window hosted in a toolbar over area (pDC's co-ordinates, whose
    // origin lies at ptOrigin on the screen).
    virtual void FillHostedBackground(CDC* pDC, CWnd* pHosted, const CRect& area,
                                      CPoint ptOrigin);
    enum Fill { fillHot, fillChecked, fillPressed };
    virtual void FillButton(CDC* pDC, const CRect& rect, Fill fill);
    virtual COLORREF DisabledTextColor() { return ::GetSysColor(COLOR_GRAYTEXT); }
    void DrawImage(CDC* pDC, const TBBUTTON& button, CRect& rect, COXCoolToolBar* pBar,
                   int nLook, bool hasText);
    void DrawText(CDC* pDC, const TBBUTTON& button, CRect rect, COXCoolToolBar* pBar,
                  COLORREF clrText);
    enum Look { lookNormal, lookHot, lookRaised, lookDisabled };
};

class COXToolbarSkin2003 : public COXToolbarSkinXP {
public:
    explicit COXToolbarSkin2003(COXSkin2003* pSkin);
    void DrawGripper(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    void DrawNonClientArea(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    void DrawSeparator(CDC* pDC, CRect& rect, COXCoolToolBar* pBar) override;
    void FillBackground(CDC* pDC, COXCoolToolBar* pBar) override;
    void FillButtonArea(CDC*, const CRect&) override {}

protected:
    void FillHostedBackground(CDC* pDC, CWnd* pHosted, const CRect& area,
                              CPoint ptOrigin) override;
    // The frame and edit gradients, drawn line by line on the 9x systems.
    void DrawFrameGradient(CDC* pDC, const CRect& rect, BOOL bVertical);
    void FillButton(CDC* pDC, const CRect& rect, Fill fill) override;
    COLORREF DisabledTextColor() override;
    COXSkin2003* Skin2003() const;
    // The band along a docked bar, or the plain floating background.
    void FillBand(CDC* pDC, const CRect& rect, COXCoolToolBar* pBar);
};
