// COXDockTabCtrl: the tab strip along the bottom of a sizable dock bar. Sizable bars docked
// at one place form a tab group: one tab per bar, only the selected bar shows; pulling a tab
// away starts the live drag of its bar.
#pragma once

#include "toolkit/frames/skins/skinned_tab.h"

class COXSizeDockBar;
class COXSizeControlBar;

class COXDockTabCtrl : public COXSkinnedTabCtrl {
public:
    explicit COXDockTabCtrl(COXSizeDockBar* pDockBar);
    ~COXDockTabCtrl() override;

    int FindBar(CControlBar* pBar);
    CControlBar* GetBar(int nIndex);
    // Where a bar dropped at a screen point joins the group: -1 outside the drop area.
    int TabFromPoint(CPoint ptScreen, CControlBar* pBar);
    void MoveTab(int nFrom, int nTo, CPoint ptScreen);
    void InsertBar(CControlBar* pBar, int nIndex, BOOL bActivate);
    void RemoveBar(CControlBar* pBar);
    COXSizeControlBar* ActivateSelected();

    CFont m_font;
    CControlBar* m_pLastActiveBar = nullptr;
    COXSizeDockBar* m_pDockBar;
    CPoint m_ptButtonDown;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    int OnCreate(LPCREATESTRUCT lpcs);
    DECLARE_MESSAGE_MAP()

private:
    void InsertTab(int nIndex, CControlBar* pBar);
};
