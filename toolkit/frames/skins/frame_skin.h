// Skins of frame windows: the mini-frame skin paints the non-client area of the floating
// frames that hold undocked bars (border, caption, close button with hot tracking); the frame
// skin offers a border and two colours for ordinary frames.
// Classes here: COXMiniFrameSkin (Classic, XP), COXFrameSkin (Classic, XP, 2003).
#pragma once

#include "framework/ui.h"

class COXSkinXP;
class COXSkin2003;

class COXMiniFrameSkin
{
public:
    virtual ~COXMiniFrameSkin() = default;
    virtual void OnNcPaintMiniFrame(CMiniDockFrameWnd* pFrame) = 0;
    // The result is WM_NCACTIVATE's.
    virtual BOOL OnNcActivateMiniFrame(BOOL bActive, CMiniDockFrameWnd* pFrame) = 0;
    virtual void DrawMiniFrameCaption(CMiniDockFrameWnd* pFrame) = 0;
    // FALSE when the skin draws no close button of its own (the system's is used).
    virtual BOOL DrawMiniFrameCloseButton(CMiniDockFrameWnd* pFrame) = 0;
};

// The system paints; a bar floated as an MDI child keeps the caption of its MDI child.
class COXMiniFrameSkinClassic : public COXMiniFrameSkin
{
public:
    void OnNcPaintMiniFrame(CMiniDockFrameWnd* pFrame) override;
    BOOL OnNcActivateMiniFrame(BOOL bActive, CMiniDockFrameWnd* pFrame) override;
    void DrawMiniFrameCaption(CMiniDockFrameWnd*) override {}
    BOOL DrawMiniFrameCloseButton(CMiniDockFrameWnd*) override { return FALSE; }
};

// Flat border and caption in the skin's colours, with its own close button.
class COXMiniFrameSkinXP : public COXMiniFrameSkin
{
public:
    explicit COXMiniFrameSkinXP(COXSkinXP* pSkin);
    ~COXMiniFrameSkinXP() override;
    void OnNcPaintMiniFrame(CMiniDockFrameWnd* pFrame) override;
    BOOL OnNcActivateMiniFrame(BOOL, CMiniDockFrameWnd*) override { return TRUE; }
    void DrawMiniFrameCaption(CMiniDockFrameWnd* pFrame) override;
    BOOL DrawMiniFrameCloseButton(CMiniDockFrameWnd* pFrame) override;

    // The caption and its close button in window coordinates.
    static CRect GetCaptionRect(CWnd* pFrame);
    static CRect GetCloseButtonRect(CWnd* pFrame);

    COXSkinXP* m_pSkin;
    CFont m_fontCaption;
};

class COXFrameSkin
{
public:
    virtual ~COXFrameSkin() = default;
    virtual void DrawFrameBorder(CWnd* pFrame) = 0;
    virtual void InflateFrameRect(CRect& rect, CWnd* pFrame) = 0;
    virtual COLORREF GetFrameBackgroundColor() = 0;
    virtual COLORREF GetFrameBorderColor() = 0;
};

class COXFrameSkinClassic : public COXFrameSkin
{
public:
    void DrawFrameBorder(CWnd*) override {}
    void InflateFrameRect(CRect&, CWnd*) override {}
    COLORREF GetFrameBackgroundColor() override { return ::GetSysColor(COLOR_BTNFACE); }
    COLORREF GetFrameBorderColor() override { return ::GetSysColor(COLOR_BTNSHADOW); }
};

class COXFrameSkinXP : public COXFrameSkin
{
public:
    explicit COXFrameSkinXP(COXSkinXP* pSkin) : m_pSkin(pSkin) {}
    void DrawFrameBorder(CWnd* pFrame) override;
    void InflateFrameRect(CRect& rect, CWnd*) override { rect.InflateRect(1, 1); }
    COLORREF GetFrameBackgroundColor() override { return ::GetSysColor(COLOR_BTNFACE); }
    COLORREF GetFrameBorderColor() override { return ::GetSysColor(COLOR_BTNSHADOW); }

    COXSkinXP* m_pSkin;
};

class COXFrameSkin2003 : public COXFrameSkinXP
{
public:
    explicit COXFrameSkin2003(COXSkin2003* pSkin);
    COLORREF GetFrameBackgroundColor() override;
    COLORREF GetFrameBorderColor() override;
};
