// The test frame of the docking tests: a frame with sizable docking on every side, a pane and
// four sizable bars, with the helpers that read its windows back on the screen.
#pragma once

#include <windows.h>

#include "tests/framework_ui/frame_test.h"
#include "toolkit/frames/sizebar/frame_size_dock.h"
#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/sizebar/size_dock_bar.h"

namespace docktest {

constexpr UINT kBarIds[4] = {32772, 32773, 32774, 32775};
constexpr const char* kBarTitles[4] = {"Disc", "Tracks", "Lyrics", "Log"};
// Their sizes as created (horizontal; a vertical bar stands the other way round).
constexpr SIZE kBarSizes[4] = {{300, 120}, {260, 100}, {180, 90}, {240, 80}};

inline CRect ScreenRect(const CWnd& w)
{
    CRect r;
    ::GetWindowRect(w.m_hWnd, &r);
    return r;
}

// A client rectangle's centre on the screen.
inline CPoint ScreenCentre(const CWnd& w, const CRect& rectClient)
{
    CPoint pt = rectClient.CenterPoint();
    ::ClientToScreen(w.m_hWnd, &pt);
    return pt;
}

// The idle pass of the program's message loop: delayed layouts and shows happen here.
inline void IdleLayout()
{
    PumpPending();
    for (int i = 0; i < 3; ++i)
        AfxGetThread()->OnIdle(0);
    PumpPending();
}

class DockTestFrame : public COXFrameWndSizeDock {
public:
    DockTestFrame() = default;
    // The default layout: Disc and Tracks share the top row, Lyrics on the left, Log at the
    // bottom. A visible top-level frame at a fixed place, so two processes see the same.
    BOOL Make()
    {
        if (!CreateTestFrame(*this, m_pane, "Sizable docking", CRect(30, 30, 30 + 860, 30 + 640),
                             false))
            return FALSE;
        EnableDocking(CBRS_ALIGN_ANY);
        for (int i = 0; i < 4; ++i) {
            if (!m_bars[i].Create(this, kBarTitles[i], kBarIds[i], WS_CHILD | WS_VISIBLE | CBRS_TOP,
                                  CRect(CPoint(0, 0), kBarSizes[i])))
                return FALSE;
            m_bars[i].EnableDocking(CBRS_ALIGN_ANY);
        }
        DockControlBar(&m_bars[0], AFX_IDW_DOCKBAR_TOP);
        RecalcLayout();
        CRect rectRight = ScreenRect(m_bars[0]);
        rectRight.OffsetRect(rectRight.Width() + 20, 0);
        DockControlBar(&m_bars[1], AFX_IDW_DOCKBAR_TOP, &rectRight);
        DockControlBar(&m_bars[2], AFX_IDW_DOCKBAR_LEFT);
        DockControlBar(&m_bars[3], AFX_IDW_DOCKBAR_BOTTOM);
        RecalcLayout();
        IdleLayout();
        return TRUE;
    }
    COXSizeDockBar* Dock(UINT nID) { return DYNAMIC_DOWNCAST(COXSizeDockBar, GetControlBar(nID)); }
    // The control id of the dock bar holding the bar (AFX_IDW_DOCKBAR_FLOAT when floating).
    UINT SideOf(const CControlBar& bar) const
    {
        return bar.m_pDockBar != nullptr ? static_cast<UINT>(bar.m_pDockBar->GetDlgCtrlID()) : 0;
    }

    CWnd m_pane;
    COXSizeControlBar m_bars[4];
};

} // namespace docktest
