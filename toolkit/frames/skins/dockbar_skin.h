// The dock-bar element skin: caption strip, caption buttons and non-client area of sizable
// control bars, and background, non-client area and splitters of dock bars, with the geometry
// of the caption.
// Classes here: COXSkinnedBar, COXSplitterRect, COXDockbarSkin, COXDockbarSkinClassic,
// COXDockbarSkinXP, COXDockbarSkin2003.
#pragma once

#include <windows.h>

#include "framework/ui.h"

class COXSkinXP;
class COXSkin2003;

// What a dock-bar skin reads and lays out of the sizable control bar it paints; the bar
// implements it. The rectangles are in the bar's client coordinates (the caption lies
// outside the client area).
class COXSkinnedBar
{
public:
    virtual ~COXSkinnedBar() = default;
    virtual CWnd* GetBarWindow() = 0;
    // The toolkit style bits: 0x20 no caption, 0x40 no close button, 0x80 no expand button,
    // 0x100 no caption text, 0x200 solid caption.
    virtual DWORD GetSizeBarStyle() const = 0;
    // The control-bar style: CBRS_FLOATING, CBRS_ALIGN_* of the side the bar is docked on.
    virtual DWORD GetBarStyle() const = 0;
    virtual BOOL CanExpand() = 0;
    virtual BOOL IsBarActive() const = 0;
    virtual BOOL IsBarExpanded() const = 0;
    // -1 none, -2 the expand button is held down, -3 the close button.
    virtual int GetPressedButton() const = 0;
    virtual CRect& GetCaptionRect() = 0;
    virtual CRect& GetCloseRect() = 0;
    virtual CRect& GetExpandRect() = 0;
    // Set when the non-client size reserved the caption, cleared when it is laid out.
    virtual void SetCaptionPending(BOOL bPending) = 0;
    // The framework's control-bar borders; shrinks rect to the area inside them.
    virtual void DrawBarBorders(CDC* pDC, CRect& rect) = 0;
};

// One splitter of a dock bar, in the dock bar's client coordinates.
class COXSplitterRect : public CObject
{
public:
    COXSplitterRect(int nType, const RECT& rect) : m_rect(rect), m_nType(static_cast<BYTE>(nType))
    {
    }
    CRect m_rect;
    // 1 a vertical splitter between bars side by side (it moves horizontally), 2 horizontal.
    BYTE m_nType;
    int m_nBarIndex = 0;
};

class COXDockbarSkin
{
public:
    virtual ~COXDockbarSkin() = default;
    // pDC is the bar's window DC in these three; nothing is drawn for a floating bar.
    virtual void DrawGripper(CDC* pDC, COXSkinnedBar* pBar) = 0;
    virtual void DrawCloseButton(CDC* pDC, COXSkinnedBar* pBar) = 0;
    virtual void DrawExpandButton(CDC* pDC, COXSkinnedBar* pBar) = 0;
    // The gap in pixels kept after each caption button.
    virtual int& GetButtonGap() = 0;
    // rect is the bar's window rectangle in window coordinates.
    virtual void DrawBarBackground(CDC* pDC, const CRect& rect, COXSkinnedBar* pBar) = 0;
    virtual void DrawSplitter(CDC* pDC, COXSplitterRect* pSplitter, CWnd* pDockBar) = 0;
    // Paints the non-client area of a dock bar while it handles WM_NCPAINT.
    virtual void DrawDockBarNonClient(CWnd* pDockBar) = 0;
    virtual void EraseDockBarBackground(CDC* pDC, CWnd* pDockBar) = 0;
    // Shrinks the bar's window rectangle to its client rectangle (WM_NCCALCSIZE).
    virtual void CalcBarClientRect(BOOL bCalcValidRects, CRect& rect, COXSkinnedBar* pBar) = 0;
    virtual void LayoutCaption(COXSkinnedBar* pBar) = 0;
    virtual COLORREF GetClientFrameColor() = 0;

    // Shared by every variant.
    static BOOL IsFloating(COXSkinnedBar* pBar);
    // Docked on the top or bottom side: the caption strip stands at the bar's left.
    static BOOL IsDockedHorizontally(COXSkinnedBar* pBar);
    // The offset of the client area within the window rectangle.
    static CPoint ClientOrigin(CWnd* pWnd);

protected:
    // The strip thickness the non-client size takes from the client rectangle.
    void ReserveCaption(CRect& rect, COXSkinnedBar* pBar, int nThickness);
};

// System colours, 3D lines and the operating system's caption buttons.
class COXDockbarSkinClassic : public COXDockbarSkin
{
public:
    COXDockbarSkinClassic();
    void DrawGripper(CDC* pDC, COXSkinnedBar* pBar) override;
    void DrawCloseButton(CDC* pDC, COXSkinnedBar* pBar) override;
    void DrawExpandButton(CDC* pDC, COXSkinnedBar* pBar) override;
    int& GetButtonGap() override { return m_nButtonGap; }
    void DrawBarBackground(CDC* pDC, const CRect& rect, COXSkinnedBar* pBar) override;
    void DrawSplitter(CDC* pDC, COXSplitterRect* pSplitter, CWnd* pDockBar) override;
    void DrawDockBarNonClient(CWnd* pDockBar) override;
    void EraseDockBarBackground(CDC* pDC, CWnd* pDockBar) override;
    void CalcBarClientRect(BOOL bCalcValidRects, CRect& rect, COXSkinnedBar* pBar) override;
    void LayoutCaption(COXSkinnedBar* pBar) override;
    COLORREF GetClientFrameColor() override { return ::GetSysColor(COLOR_WINDOWFRAME); }

protected:
    void DrawButton(CDC* pDC, COXSkinnedBar* pBar, const CRect& rectClient, UINT nState);

    CFont m_fontCaption;
    CFont m_fontSolidCaption;
    int m_nButtonGap = 2;
};

// Flat look: palette colours, a bold caption font and the palette's caption buttons.
class COXDockbarSkinXP : public COXDockbarSkin
{
public:
    explicit COXDockbarSkinXP(COXSkinXP* pSkin);
    void DrawGripper(CDC* pDC, COXSkinnedBar* pBar) override;
    void DrawCloseButton(CDC* pDC, COXSkinnedBar* pBar) override;
    void DrawExpandButton(CDC* pDC, COXSkinnedBar* pBar) override;
    int& GetButtonGap() override { return m_nButtonGap; }
    void DrawBarBackground(CDC* pDC, const CRect& rect, COXSkinnedBar* pBar) override;
    void DrawSplitter(CDC* pDC, COXSplitterRect* pSplitter, CWnd* pDockBar) override;
    void DrawDockBarNonClient(CWnd* pDockBar) override;
    void EraseDockBarBackground(CDC* pDC, CWnd* pDockBar) override;
    void CalcBarClientRect(BOOL bCalcValidRects, CRect& rect, COXSkinnedBar* pBar) override;
    void LayoutCaption(COXSkinnedBar* pBar) override;
    COLORREF GetClientFrameColor() override;

protected:
    // The two caption buttons; bSolid and clrBackground as the XP and 2003 rules give them.
    void DrawButton(CDC* pDC, COXSkinnedBar* pBar, const CRect& rectClient, UINT nType,
                    BOOL bDisabled);
    virtual BOOL UseSolidCaption(COXSkinnedBar* pBar);
    // The non-client fill of a dock bar; clrFill for XP.
    void FillDockBarNonClient(CWnd* pDockBar);

    COXSkinXP* m_pSkin;
    CFont m_fontCaption;
    int m_nButtonGap = 3;
};

// Gradient caption strip, dotted gripper and a wider strip.
class COXDockbarSkin2003 : public COXDockbarSkinXP
{
public:
    explicit COXDockbarSkin2003(COXSkin2003* pSkin);
    void DrawGripper(CDC* pDC, COXSkinnedBar* pBar) override;
    void DrawBarBackground(CDC* pDC, const CRect& rect, COXSkinnedBar* pBar) override;
    void DrawSplitter(CDC* pDC, COXSplitterRect* pSplitter, CWnd* pDockBar) override;
    void DrawDockBarNonClient(CWnd* pDockBar) override;
    void EraseDockBarBackground(CDC* pDC, CWnd* pDockBar) override;
    void CalcBarClientRect(BOOL bCalcValidRects, CRect& rect, COXSkinnedBar* pBar) override;
    void LayoutCaption(COXSkinnedBar* pBar) override;

protected:
    BOOL UseSolidCaption(COXSkinnedBar* pBar) override { return FALSE; }
    COXSkin2003* Skin2003() const;
};
