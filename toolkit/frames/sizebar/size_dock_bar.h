// COXSizeDockBar: the dock bar on each side of a frame with sizable docking. Its sizable bars
// share each row's length, 8-pixel splitters between bars and rows resize them, a row can be
// expanded in favour of one bar, and bars docked at one place form a tab group shown with a
// tab strip along the bottom.
#pragma once

#include "framework/ui.h"
#include "toolkit/frames/sizebar/dock_tab_ctrl.h"
#include "toolkit/frames/sizebar/splitter_tracker.h"
#include "toolkit/frames/skins/dockbar_skin.h"

class COXSizeControlBar;

// What a row of a dock bar holds (visible bars only). Lengths run along the dock bar.
struct OXROWINFO {
    int nSizeBarLength = 0;     // the sizable bars
    int nOtherLength = 0;       // the other bars, plus the splitters between sizable bars
    int nMaxThickness = 0;      // of all bars
    int nMaxOtherThickness = 0; // of the other bars
    int nSizeBars = 0;
    int nVisibleBars = 0;
    int nTotalLength = 0;
    int nMaxMinTrackHeight = 0; // the largest minimum tracking size the bars report
    int nMaxMinTrackWidth = 0;
};

// Width of the splitters between bars and rows.
constexpr int OX_SPLITTER_SIZE = 8;
// Height of the tab strip while a tab group exists; drops within this distance of the
// dock bar's bottom join the tab group.
constexpr int OX_TAB_STRIP_HEIGHT = 28;
constexpr int OX_TAB_DROP_HEIGHT = 48;

class COXSizeDockBar : public CDockBar {
    DECLARE_DYNAMIC(COXSizeDockBar)
public:
    COXSizeDockBar();
    ~COXSizeDockBar() override;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr) override;

    // The dock bar of the main frame that takes pBar at a screen point, or null.
    static COXSizeDockBar* DockBarFromPoint(CPoint ptScreen, CControlBar* pBar);
    COXDockbarSkin* GetDockbarSkin();
    int GetTabStripHeight() const;
    void PositionTabs();
    static CControlBar* GetDockedBar(int nIndex, const CPtrArray& arr);
    CControlBar* GetFirstBar() const;
    BOOL IsHorz() const;
    void GetRowInfo(int nStart, OXROWINFO& info, const CPtrArray& arr) const;
    BOOL FitRow(int nStart, int nLength, const CPtrArray& arr);
    BOOL FitAllRows(int nLength);
    void FitRowOfBar(CControlBar* pBar);
    int RowFromRect(CControlBar* pBar, const RECT& rcScreen) const;
    int CountBarsInRow(CControlBar* pBar, const RECT& rcScreen) const;
    void ExpandBar(COXSizeControlBar* pBar, BOOL bExpand);
    int CountOtherSizeBars(CControlBar* pBar) const;
    COXSizeControlBar* FindOtherSizeBar(CControlBar* pBar) const;
    CControlBar* FindOtherCoolToolBar(CControlBar* pBar) const;
    int CountAlignedBars(CControlBar* pBar) const;
    UINT GetVisibleSignature() const;

    // Splitters.
    COXSplitterRect* SplitterFromPoint(CPoint pt) const;
    void SetSplitterCursor(CPoint pt);
    void TrackSplitter(CPoint pt);
    int ShrinkBarsBefore(int nIndex, int nAmount, BOOL bApply, int* pnCount);
    int ShrinkBarsAfter(int nIndex, int nAmount, BOOL bApply, int* pnCount);
    int RowStartBefore(int nIndex) const;

    // The length of a bar along this dock bar and its thickness across it.
    int BarLength(CControlBar* pBar) const;
    int BarThickness(CControlBar* pBar) const;
    void SetBarLength(CControlBar* pBar, int nLength);

    CObArray m_arrSplitters; // COXSplitterRect, owned
    COXSplitterRect* m_pTrackSplitter = nullptr;
    HCURSOR m_hcurVertSplit = nullptr;
    HCURSOR m_hcurHorzSplit = nullptr;
    int m_nLastCx = 0xFFFF;
    int m_nLastCy = 0xFFFF;
    UINT m_nVisibleSignature = 0;
    CPtrArray m_arrHiddenBars;
    COXDockTabCtrl m_wndTabs;
    COXDockbarSkin* m_pDockbarSkin = nullptr;

protected:
    void OnPaint();
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnNcPaint();
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    void OnTabSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    void DeleteSplitters();
    int RowStartOf(int nIndex) const;
    // Takes what it can of nAmount - nTaken from one sizable bar (a negative amount grows
    // it); TRUE when nothing more is to be taken.
    BOOL ShrinkBar(CControlBar* p, int nAmount, BOOL bApply, int* pnCount, int& nTaken);
    int GetRowEnd(CControlBar* pBar, int nDrop, int nAcross) const;
};

// A sizable bar (the toolkit's), as the dock bar's rows treat it.
bool OXIsSizeBar(const CControlBar* pBar);
// A bar of a run-time class with that name (or derived from one).
bool OXIsKindOfName(const CObject* pObj, const char* pszClassName);
