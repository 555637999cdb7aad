// The toolkit's status bar: per-pane cursor, bitmap, text colour, font, tooltip and progress
// control over the framework's status bar, painted through the status-bar element skin; a
// double click on a pane is reported to the parent.
// Classes here: COXStatusBar.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/statusbar.h"
#include "framework/ui.h"

class COXStatusbarSkin;

// Pane style bit of a pane that shows a progress control.
constexpr UINT OXSBPS_PROGRESS = 0x2000000;
// Sent to the parent when a pane is double-clicked: wParam the pane's control id, lParam 0.
constexpr UINT WM_OXSB_PANEDBLCLK = 0x80CE;

class COXStatusBar : public CStatusBar {
    DECLARE_DYNAMIC(COXStatusBar)
public:
    // Bitmap alignment modes (any other value draws left-aligned).
    enum BitmapMode {
        bmStretch = 1,
        bmCenter = 3,
        bmRight = 4,
        bmLeftClip = 5,
        bmCenterClip = 6,
        bmRightClip = 7,
    };
    struct BITMAPRECORD {
        CBitmap bitmap;
        int nWidth = 0;
        int nHeight = 0;
        int nMode = 0;
        COLORREF clrTransparent = 0;
    };
    struct PROGRESSRECORD {
        CWnd ctrl; // the progress control (PROGRESS_CLASS)
        CRect rect;
        BOOL bShowPercent = FALSE; // a percentage label left of the bar
        BOOL bCreated = FALSE;
    };

    COXStatusBar();
    ~COXStatusBar() override;

    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount) override;
    // The framework's pane record (for the skin); null for a bad index.
    AFX_STATUSPANE* GetPaneInfo(int nIndex) const { return _GetPanePtr(nIndex); }
    using CStatusBar::GetPaneInfo;
    // The pane's item rectangle less the control's borders; FALSE when the item is empty.
    BOOL GetPaneInnerRect(int nIndex, CRect& rect, BOOL bForProgress) const;
    void RecalcPaneLayout(BOOL bResize, BOOL bUpdateText);
    BOOL CreatePaneProgress(int nIndex, PROGRESSRECORD& rec);
    void DrawPaneBitmap(CDC* pDC, int nIndex, UINT nStyle);
    void DrawTransparentBitmap(CDC* pDC, const BITMAPRECORD& rec, const CRect& rcDest,
                               CSize sizeSrc);
    COXStatusbarSkin* GetStatusbarSkin();

    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

    // The per-pane extras. Each setter answers FALSE for a bad index.
    BOOL SetPaneCursor(int nIndex, HCURSOR hCursor);
    // Takes ownership of hBitmap (null removes the bitmap).
    BOOL SetPaneBitmap(int nIndex, HBITMAP hBitmap, int nMode, COLORREF clrTransparent);
    // Makes the pane owner-drawn so the colour applies.
    BOOL SetPaneTextColor(int nIndex, COLORREF clr);
    // A copy of the font is kept (null: the bar's font again); makes the pane owner-drawn.
    BOOL SetPaneFont(int nIndex, const LOGFONT* pLogFont);
    BOOL SetPaneTooltip(int nIndex, LPCTSTR lpszText);
    // Gives the pane a progress control (range 0..nMax), created at the next layout.
    BOOL SetPaneProgress(int nIndex, int nMax, BOOL bShowPercent);
    // Moves the bar; with the label, the pane text becomes the percentage.
    BOOL SetPaneProgressPos(int nIndex, int nPos);
    BOOL RemovePaneProgress(int nIndex);

    HWND GetPaneProgressHwnd(int nIndex) const;
    const BITMAPRECORD* GetPaneBitmap(int nIndex) const;
    // The default painting of the control, for the Classic skin.
    void PaintDefault() { CStatusBar::OnPaint(); }

    std::vector<HCURSOR> m_arrCursors;
    std::vector<std::unique_ptr<BITMAPRECORD>> m_arrBitmaps;
    std::vector<COLORREF> m_arrTextColors;
    std::vector<std::unique_ptr<PROGRESSRECORD>> m_arrProgress;
    std::vector<std::unique_ptr<CFont>> m_arrFonts;
    std::vector<CString> m_arrTooltips;

    CDC m_dcMem;
    std::unique_ptr<COXStatusbarSkin> m_pStatusbarSkin;

protected:
    bool Valid(int nIndex) const { return nIndex >= 0 && nIndex < GetCount(); }
    int PercentLabelWidth(int nIndex);
    void MakeOwnerDraw(int nIndex);

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    LRESULT OnSetMinHeight(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
