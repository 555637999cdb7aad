// Text static with its own font, colours, gradient background and tooltip, and the etched
// separator line with an optional caption.
// Classes here: COXStatic, COXSeparator.
#pragma once

#include <windows.h>

#include "framework/ui.h"

class COXStatic : public CStatic
{
public:
    COXStatic();
    ~COXStatic() override = default;

    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID = 0xFFFF) override;

    // CLR_NONE: no background is painted.
    void SetBkColor(COLORREF clr) { m_clrBackground = clr; }
    COLORREF GetBkColor() const { return m_clrBackground; }
    // 0 solid; 1 bright at the right, 2 bright in the middle, 3 bright at the left.
    void SetBkFill(int nFill) { m_nBkFill = nFill; }
    int GetBkFill() const { return m_nBkFill; }
    void SetTextColor(COLORREF clr) { m_clrText = clr; }
    COLORREF GetTextColor() const { return m_clrText; }
    void EnableToolTip(BOOL bEnable = TRUE);
    BOOL IsToolTipEnabled() const { return m_bToolTipEnabled; }
    void SetToolTipText(LPCTSTR lpszText);
    CString GetToolTipText() const { return m_sToolTipText; }
    void SetFitToText(BOOL bFit);
    BOOL GetFitToText() const { return m_bFitToText; }
    // The tooltip window (null before initialisation or after destruction).
    HWND GetToolTipHwnd() const { return m_toolTip.m_hWnd; }
    CFont* GetOwnFont() { return &m_font; }

    BOOL IsTextStatic() const;

    virtual BOOL RebuildFont();
    virtual BOOL Initialize();
    virtual void UpdateToolTip();
    virtual HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void FitToText();
    void SetToolText(const CString& text);
    // Copies the window font into m_font, underlined when asked; the fitting follows.
    BOOL CopyWindowFont(BOOL bUnderline);

    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);

    COLORREF m_clrBackground;
    int m_nBkFill = 0;
    COLORREF m_clrText;
    CFont m_font;
    BOOL m_bToolTipEnabled = FALSE;
    CString m_sToolTipText;
    CWnd m_toolTip;
    RECT m_rectWindow{};
    BOOL m_bExplicitToolTipText = FALSE;
    BOOL m_bCreatedThroughCreate = FALSE;
    BOOL m_bFontInitialized = FALSE;
    BOOL m_bFitToText = FALSE;

    DECLARE_MESSAGE_MAP()
};

class COXSeparator : public CStatic
{
public:
    COXSeparator();

    void SetVertOriented(BOOL bVertical = TRUE);
    BOOL IsVertOriented() const { return m_bVertical; }
    void SetTextColor(COLORREF clr) { m_clrText = clr; }
    void SetShadowColor(COLORREF clr) { m_clrShadow = clr; }
    void SetHilightColor(COLORREF clr) { m_clrHilight = clr; }

    void PreSubclassWindow() override;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaint();
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    void Draw(CDC* pDC);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);

    COLORREF m_clrText;
    COLORREF m_clrShadow;
    COLORREF m_clrHilight;
    BOOL m_bVertical = FALSE;
    CString m_sCaption;

    DECLARE_MESSAGE_MAP()
};

// Answer to the control's reflected WM_CTLCOLORSTATIC: HBRUSH CtlColor(CDC*, UINT).
#define ON_WM_CTLCOLOR_REFLECT_STATIC()                                                            \
    AFX_MSG_ROW(WM_REFLECT_BASE + WM_CTLCOLORSTATIC, 0, 0, 0,                                      \
                *pResult = reinterpret_cast<LRESULT>(                                              \
                    p->CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), CTLCOLOR_STATIC)))
