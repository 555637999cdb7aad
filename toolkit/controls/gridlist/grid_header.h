// The column header of the grid list: draws the sort arrow of the sorted column, themed when
// visual styles are active and flat otherwise, and repaints as the mouse enters or leaves it.
#pragma once

#include "framework/ui.h"
#include "toolkit/frames/uxtheme/ux_theme.h"

class COXGridHeader : public CHeaderCtrl {
    DECLARE_DYNAMIC(COXGridHeader)
public:
    COXGridHeader() = default;
    ~COXGridHeader() override;

    // Shows the arrow on nColumn: nDirection 1 ascending, -1 descending, 0 none. Returns TRUE.
    BOOL SetSortColumn(int nColumn, int nDirection);
    int GetSortColumn() const { return m_nSortColumn; }
    int GetSortDirection() const { return m_nSortDirection; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void PreSubclassWindow() override;

    // The mouse hook shared by all headers of the process: set while at least one header
    // window is subclassed, null otherwise.
    static HHOOK GetMouseHook();

protected:
    COXUxTheme m_uxTheme;
    int m_bAllowResize = TRUE;
    int m_nSortColumn = -1;
    int m_nSortDirection = 0;

    void DrawThemedItem(HTHEME hTheme, LPDRAWITEMSTRUCT lpDIS);
    void DrawClassicItem(LPDRAWITEMSTRUCT lpDIS);
    // The item's text and HDF_* format.
    CString GetItemTextAndFormat(int nItem, int& nFormat) const;
    bool ShowsArrow(int nItem) const { return nItem == m_nSortColumn && m_nSortDirection != 0; }

    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnDestroy();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnTrackOrDividerDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    bool m_bCounted = false; // this header holds one use of the shared mouse hook
    static LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);
    void AddHookUser();
    void RemoveHookUser();
};
