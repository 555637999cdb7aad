// The toolbar: a control bar over the common-controls toolbar, loaded from a toolbar resource
// (RT_TOOLBAR: version 1, image width, image height, count, then the command ids, 0 for a
// separator) and its bitmap. It wraps its rows to fit a length (the dynamic layout), updates
// its buttons through CToolCmdUI at idle time, shows the commands' tooltips and, with
// CBRS_FLYBY, their prompts in the frame's status bar.
// Classes here: CToolBar, CToolCmdUI.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "framework/cmd_ui.h"
#include "framework/control_bar.h"

// Shows a command's prompt (wParam the id, 0 for the idle prompt) in the frame's message pane.
#ifndef WM_SETMESSAGESTRING
constexpr UINT WM_SETMESSAGESTRING = 0x0362;
#endif

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                        UINT nID = AFX_IDW_TOOLBAR);
    // dwCtrlStyle: TBSTYLE_* of the control; rcBorders: the bar's gaps.
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                          CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);

    // Buttons from the toolbar resource, images from the bitmap of the same name.
    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    // Buttons with these ids (0 a separator); images in order. Null ids: nIDCount blanks.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    // Button and image sizes of the control (TB_SETBUTTONSIZE, TB_SETBITMAPSIZE).
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    CSize GetButtonSize() const;

    int GetCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    virtual void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    // The low word: TBSTYLE_* (TBBS_*); the high word: TBSTATE_* bits.
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
    CString GetButtonText(int nIndex) const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
    // The control's own tooltip asks here for its texts before anything else sees it.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};

protected:
    // The dynamic layout over a copy of the buttons. Width of one button in a row (the
    // button size, the item rectangle for TBSTYLE_AUTOSIZE, a separator its image index).
    virtual int LayoutButtonWidth(const TBBUTTON& button, int nIndex) const;
    std::vector<TBBUTTON> GetButtons() const;
    void SetButtonsState(const std::vector<TBBUTTON>& buttons);
    // Extent of the buttons as wrapped (TBSTATE_WRAP).
    CSize LayoutSize(const std::vector<TBBUTTON>& buttons) const;
    // Wraps the buttons at nWidth; returns the rows.
    int LayoutWrap(std::vector<TBBUTTON>& buttons, int nWidth) const;
    // The narrowest wrap for nLength (a width, or a height with bVert).
    void LayoutSizeTo(std::vector<TBBUTTON>& buttons, int nLength, BOOL bVert) const;
    CSize LayoutCalc(DWORD dwMode, int nLength);

    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    // The whole window answers as client area, so a press on the gripper or a border
    // reaches the bar's own mouse handling (and starts a drag there).
    LRESULT OnNcHitTest(CPoint point) { return HTCLIENT; }
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseLeave();
    LRESULT OnNotifyThis(WPARAM wParam, LPARAM lParam);
    // The flyby prompt of a command (or the idle message) in the frame's message pane.
    void ShowPrompt(UINT nID);
    DECLARE_MESSAGE_MAP()

    // The image strip loaded with LoadBitmap (kept for re-use by the control).
    HBITMAP m_hbmImageWell = nullptr;
    int m_nFlybyIndex = -1; // the button whose prompt shows
    BOOL m_bTrackingLeave = FALSE;
};

// The update of one toolbar button.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override;
    // 0 up, 1 checked, 2 indeterminate.
    void SetCheck(int nCheck = 1) override;
    void SetText(LPCTSTR) override {} // buttons keep their texts

protected:
    // The state (TBSTATE_*) of button m_nIndex of the toolbar m_pOther.
    BYTE GetButtonState() const;
    void SetButtonState(BYTE fsState);
};
