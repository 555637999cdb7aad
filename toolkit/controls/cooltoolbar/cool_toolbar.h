// The toolkit's toolbar: flat transparent buttons, drop-down arrows, text labels from the
// command strings or the menu, image lists loaded from bitmaps (cached per bar), painting
// through the toolbar element skin, a gripper and a drag of its own into the dock bars.
// Classes here: CMFCToolBar, COXCoolToolBar, COXCoolToolBarCmdUI; OXGetComCtlVersion.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <memory>
#include <string>

#include "framework/toolbar.h"
#include "framework/ui.h"
#include "toolkit/controls/shb_dragdrop/shb_dragdrop.h"

class COXToolbarSkin;
class COXToolbarSkinClassic;

// The bars' question to the application's main window: do bars drag themselves live?
#ifndef OX_QUERYLIVEDRAG_DECLARED // the sizable bar's header declares it too
#define OX_QUERYLIVEDRAG_DECLARED
constexpr UINT WM_OX_QUERYLIVEDRAG = 0x45C;
#endif

// DllGetVersion of comctl32: E_INVALIDARG for a null output, E_FAIL when the library cannot be
// loaded or its probe fails; 4.0 when it exports no DllGetVersion.
HRESULT OXGetComCtlVersion(LPDWORD pdwMajor, LPDWORD pdwMinor);
// (major << 16) | minor, probed once by the first toolbar (0x40000 when the probe fails).
DWORD OXComCtlVersion();
constexpr DWORD OX_COMCTL_471 = 0x40047;

// A toolbar that always docks at the top when created.
class CMFCToolBar : public CToolBar {
    DECLARE_DYNAMIC(CMFCToolBar)
public:
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR) override;
};

class COXCoolToolBar : public CMFCToolBar {
    DECLARE_DYNAMIC(COXCoolToolBar)
public:
    COXCoolToolBar();
    ~COXCoolToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR) override;

    // Cached per resource; null (nothing cached) when the bitmap, list or masked add fails.
    HIMAGELIST LoadImageList(LPCTSTR lpszResource, int cx, COLORREF clrMask,
                             UINT nFlags = ILC_COLOR24 | ILC_MASK, int nInitial = 0,
                             int nGrow = 0);
    HIMAGELIST LoadImageListById(UINT nID, int cx, COLORREF clrMask,
                                 UINT nFlags = ILC_COLOR24 | ILC_MASK, int nInitial = 0,
                                 int nGrow = 0)
    {
        return LoadImageList(MAKEINTRESOURCE(nID), cx, clrMask, nFlags, nInitial, nGrow);
    }
    void SetDefaultImageList(HIMAGELIST hList)
    {
        SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hList));
    }
    void SetDisabledImageList(HIMAGELIST hList)
    {
        SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(hList));
    }
    void SetImageSize(int cx, int cy);
    void UpdateSizes();
    void SetDropDownArrow(BOOL bOn);
    BOOL IsDropDownArrow() const;
    static int GetDropDownArrowWidth();
    // nType: 0 the command string before its newline, 1 after it, 2 the main menu's item
    // text (before a tab), 3 leave the texts, 4 no text (larger values count as 4).
    void SetButtonsText(UINT nFirstID, UINT nLastID, int nType);
    BOOL SetButtonWidth(int nMin, int nMax);
    void SetBarStyle(DWORD dwStyle);
    void EnableDocking(DWORD dwDockStyle, BOOL bFlag = FALSE);
    void SetDragOffset(int x, int y);
    COXToolbarSkin* GetToolbarSkin();
    BOOL IsCustomButton(int) const { return FALSE; }
    void UpdateLayout(BOOL bRecalcFrame = TRUE, BOOL bFrameChanged = FALSE);
    int GetTextType() const { return m_nTextType; }

    virtual COXSHBDropSource* GetDropSource() { return &m_dropSource; }
    virtual COXSHBDropTarget* GetDropTarget() { return &m_dropTarget; }
    virtual void DrawGripper(CDC* pDC, CRect& rect);
    virtual void DrawSeparator(CDC* pDC, CRect& rect);
    virtual void DrawIcon(CDC*, CRect&) {}
    virtual void DrawCustomizedButtonFrame(CDC* pDC, CRect& rect);
    virtual void CalcExtraMargins(CRect& rect, BOOL) { rect.SetRectEmpty(); }
    virtual void DrawExtraNonClient(CDC*, CRect&) {}
    virtual void OnFloatingStateChanged(BOOL) {}
    virtual void OnDockingSideChanged(DWORD) {}

    void DrawBorders(CDC* pDC, CRect& rect) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;

    int m_nTextType = 3;
    BOOL m_bCool = FALSE;
    BOOL m_bSeparator = TRUE;
    BOOL m_bDropDownArrow = FALSE;
    int m_nIndent = 0;
    // Button looks by state (default, hot, selected, checked): text, background, border;
    // CLR_DEFAULT is "not set".
    COLORREF m_clrDefaultText = CLR_DEFAULT, m_clrDefaultBk = CLR_DEFAULT,
             m_clrDefaultBorder = CLR_DEFAULT;
    COLORREF m_clrHotText = CLR_DEFAULT, m_clrHotBk = CLR_DEFAULT, m_clrHotBorder = CLR_DEFAULT;
    COLORREF m_clrSelectedText = CLR_DEFAULT, m_clrSelectedBk = CLR_DEFAULT,
             m_clrSelectedBorder = CLR_DEFAULT;
    COLORREF m_clrCheckedText = CLR_DEFAULT, m_clrCheckedBk = CLR_DEFAULT,
             m_clrCheckedBorder = CLR_DEFAULT;
    int m_nMinButtonWidth = -1;
    int m_nMaxButtonWidth = -1;
    int m_nDropDownArrowWidth = 0;
    int m_nCustomizedButtonIndex = -1; // the button selected for customisation
    int m_nDraggedButtonID = -1;       // the command dragged in customisation
    BOOL m_bTracking = FALSE;
    POINT m_ptDragOffset{};

protected:
    int LayoutButtonWidth(const TBBUTTON& button, int nIndex) const override;

    LRESULT OnNcCalcSizeMsg(WPARAM wParam, LPARAM lParam);
    void OnNcPaint();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnWindowPosChanged(WINDOWPOS* lpWndPos);
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnCustomDraw(NMHDR* pNotify, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    std::map<UINT_PTR, HIMAGELIST> m_imageLists; // numeric ids
    std::map<std::string, HIMAGELIST> m_namedImageLists;
    std::unique_ptr<COXToolbarSkin> m_pDefaultSkin; // a COXToolbarSkinClassic
    COXSHBDropSource m_dropSource;
    COXSHBDropTarget m_dropTarget;
    int m_nLastFloating = 3;
    DWORD m_dwLastSide = static_cast<DWORD>(-1);
};

// The toolbar button update, except that a disabled button keeps its pressed state.
class COXCoolToolBarCmdUI : public CToolCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override;
    // A text goes to the bar's window, as for any other window item.
    void SetText(LPCTSTR lpszText) override { CCmdUI::SetText(lpszText); }
};
