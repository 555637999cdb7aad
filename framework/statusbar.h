// The status bar: a control bar over the common-controls status window, with one pane per
// indicator id. Pane texts are kept here and handed to the control when it paints (a pane
// waits with SBPF_UPDATE); the commands' update handlers drive the panes through CStatusCmdUI.
// Classes here: CStatusBar, CStatusCmdUI; AFX_STATUSPANE and the pane style constants.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "framework/cmd_ui.h"
#include "framework/control_bar.h"

// Pane styles (nStyle); the low ones are the control's own SBT_* drawing bits.
constexpr UINT SBPS_NORMAL = 0x0000;
constexpr UINT SBPS_NOBORDERS = SBT_NOBORDERS;
constexpr UINT SBPS_POPOUT = SBT_POPOUT;
constexpr UINT SBPS_OWNERDRAW = SBT_OWNERDRAW;
constexpr UINT SBPS_DISABLED = 0x04000000; // the text is not shown
constexpr UINT SBPS_STRETCH = 0x08000000;  // takes a share of the spare width
// Pane flags (nFlags).
constexpr UINT SBPF_UPDATE = 0x0001; // the text is still to be handed to the control

#ifndef SB_SETMINHEIGHT
constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
#endif

struct AFX_STATUSPANE {
    UINT nID;      // the indicator's command id; ID_SEPARATOR (0) for a free pane
    int cxText;    // width of the text area
    UINT nStyle;   // SBPS_*
    UINT nFlags;   // SBPF_*
    CString strText;
};

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    // dwCtrlStyle: SBARS_SIZEGRIP and the other control styles.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                  UINT nID = AFX_IDW_STATUS_BAR);

    // One pane per id; a pane's text starts as the id's string resource (none for 0) and its
    // width is that text's. The first pane of id 0 stretches and has no border.
    virtual BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return static_cast<int>(m_panes.size()); }
    // -1 when no pane has the id.
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    // The pane's rectangle in client coordinates (the control's SB_GETRECT).
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    CString GetPaneText(int nIndex) const;
    // bUpdate: repaint the pane now; otherwise the text waits for the next paint.
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    // The pane record (null for a bad index).
    AFX_STATUSPANE* _GetPanePtr(int nIndex) const;

    // bUpdateRects: the pane edges from the widths (spare width shared among stretch panes);
    // bUpdateText: pending texts go to the control.
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    // Owner-drawn panes (SBPS_OWNERDRAW); itemID is the pane index.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // The framework's tooltips (OnToolHitTest) follow CBRS_TOOLTIPS: the control has none
    // of its own for panes.
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;

    int m_nMinHeight = 0;

    // The toggle key an indicator id shows (VK_CAPITAL for ID_INDICATOR_CAPS...), else 0.
    static int KeyOfIndicator(UINT nID);

protected:
    // The control's borders: [0] horizontal, [1] vertical, [2] between panes.
    void GetBorders(int borders[3]) const;
    // Hands one pane's text and drawing style to the control.
    void SendPaneText(int nIndex);
    HFONT GetBarFont() const;

    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMinHeight(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    std::vector<AFX_STATUSPANE> m_panes;
    HFONT m_hFont = nullptr;
};

// The update of one status pane: enabled shows the text, checked pops the pane out.
class CStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetText(LPCTSTR lpszText) override;
};
