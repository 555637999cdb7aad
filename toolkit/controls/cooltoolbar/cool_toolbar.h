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
#include <vector>

#include "framework/archive.h"
#include "framework/toolbar.h"
#include "framework/ui.h"
#include "toolkit/controls/shb_dragdrop/shb_dragdrop.h"

class COXToolbarSkin;
class COXToolbarSkinClassic;
class COXCoolToolBar;
class COleDataSource;

// A window hosted as a toolbar button: the template makes the window for one bar and copies
// itself for another. Registered process-wide by command id (COXCoolToolBar::RegisterCustomButton).
class COXCustomButtonTemplate {
public:
    virtual ~COXCustomButtonTemplate() = default;
    virtual CWnd* GetWindow() = 0;
    // Creates the window as a child of the toolbar; TRUE on success.
    virtual BOOL CreateButtonWindow(UINT nID, COXCoolToolBar* pToolBar, DWORD dwStyle,
                                    DWORD dwStyleEx, LPCTSTR lpszClassName,
                                    LPCTSTR lpszWindowName) = 0;
    // A new template with a window of its own for another bar; null on failure.
    virtual COXCustomButtonTemplate* CopyForToolBar(COXCoolToolBar* pToolBar) = 0;
    // The button was deleted from its bar.
    virtual void DestroyButtonWindow() = 0;
    virtual void SetCustomizeMode(BOOL) {}
    // Non-zero: a bar that takes the button off must not keep this template.
    virtual BOOL IsShared() { return FALSE; }
    virtual void SaveState(CArchive&) {}
    virtual void LoadState(CArchive&) {}
};

// Orientations in which a custom button shows its window.
constexpr int OXCBD_SHOWVERT = 1;  // docked on a vertical side
constexpr int OXCBD_SHOWHORZ = 2;  // docked on a horizontal side
constexpr int OXCBD_SHOWFLOAT = 4; // floating
constexpr int OXCBD_SHOWANY = 7;

struct _tagOXCUSTOMBUTTONDESCRIPTOR {
    COXCustomButtonTemplate* m_pCBTemplate = nullptr;
    UINT m_nID = 0;                  // the window's control id
    int m_nWidth = -1;               // the separator's width; -1: the window's
    int m_nHeight = -1;              // 0 or less: the full button height
    int m_nFlags = OXCBD_SHOWANY;    // OXCBD_SHOW*
    int m_nImageIndex = -1;          // shown as an image button where the window is not
};
using OXCUSTOMBUTTONDESCRIPTOR = _tagOXCUSTOMBUTTONDESCRIPTOR;

// The customisation notification (WM_NOTIFY code) and its commands.
constexpr UINT OXCTB_CUSTOMIZE_NOTIFY = 0x8083;
constexpr UINT ID_OXCUSTTB_CUSTOMIZED_CHANGED = 32892;
constexpr UINT ID_OXCUSTTB_DELETE = 32893;
constexpr UINT ID_OXCUSTTB_APPEARANCE = 32894;
constexpr UINT ID_OXCUSTTB_IMAGEONLY = 32895;
constexpr UINT ID_OXCUSTTB_IMAGETEXT = 32896;
constexpr UINT ID_OXCUSTTB_SEPARATOR_BEFORE = 32897;
constexpr UINT ID_OXCUSTTB_SEPARATOR_AFTER = 32898;
// Texts of the customise menu (looked up in the string table, with these English defaults).
constexpr UINT IDS_OX_CUSTTB_DELETE = 26585;
constexpr UINT IDS_OX_CUSTTB_APPEARANCE = 26586;
constexpr UINT IDS_OX_CUSTTB_IMAGEONLY = 26587;
constexpr UINT IDS_OX_CUSTTB_IMAGETEXT = 26588;
constexpr UINT IDS_OX_CUSTTB_SEPARATOR_BEFORE = 26589;
constexpr UINT IDS_OX_CUSTTB_SEPARATOR_AFTER = 26590;

struct NMOXCUSTOMIZE {
    NMHDR hdr;
    int nCommand;
    int nValue;
};

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
    // --- custom buttons ---
    // Registers a template for a command (process-wide); returns its registration index, or
    // -1 when the command is taken or the template is missing. The registry keeps the
    // template for the life of the process.
    static int RegisterCustomButton(UINT nCommandID, const OXCUSTOMBUTTONDESCRIPTOR& descriptor);
    static int GetCustomButtonRegistrationIndex(UINT nCommandID);
    BOOL IsCustomButton(int nIndex) const;
    CWnd* GetCustomButtonWindow(int nIndex) const;
    BOOL InsertCustomButton(int nIndex, int nRegIndex, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                            DWORD dwStyleEx = 0, LPCTSTR lpszClassName = nullptr,
                            LPCTSTR lpszWindowName = nullptr);
    BOOL CreateCustomButtonWindow(int nRegIndex, OXCUSTOMBUTTONDESCRIPTOR& descriptor,
                                  DWORD dwStyle = WS_CHILD | WS_VISIBLE, DWORD dwStyleEx = 0,
                                  LPCTSTR lpszClassName = nullptr,
                                  LPCTSTR lpszWindowName = nullptr);
    void PlaceCustomButton(int nIndex);
    void PlaceCustomButtons(int nFirst = 0, int nLast = -1);
    BOOL MoveButton(int nFrom, int nTo);
    int GetCustomButtonCount() const { return static_cast<int>(m_mapCustomButtons.size()); }

    // --- customisation ---
    void SetCustomizable(BOOL bCustomizable, BOOL bAdvanced = TRUE);
    BOOL IsCustomizable(BOOL bAdvanced = TRUE) const;
    // The commands the common-controls customise dialog offers (copied).
    void SetCustomizeCommands(const UINT* pCommandIDs, int nCount);
    void SetCustomizeMode(BOOL bOn) { m_bCustomizeMode = bOn; }
    BOOL IsInCustomizeMode() const { return m_bCustomizeMode; }
    void SetNotifyWnd(HWND hWnd) { m_hNotifyWnd = hWnd; }
    int SetCustomizedButton(int nIndex);
    int GetCustomizedButton() const { return m_nCustomizedButton; }
    void RedrawButton(int nIndex);
    BOOL RemoveButton(int nIndex);
    void DisplayCustomizeButtonContextMenu(int nIndex, CPoint ptScreen);
    // The drag data of a button or command; the caller deletes it.
    static COleDataSource* CreateCommandDataSource(LPCTSTR lpszText, int nImage, int nCommandID,
                                                   BYTE fsStyle, HMENU hMenu = nullptr);
    static CLIPFORMAT GetCommandButtonFormat();
    BOOL SaveBarState(LPCTSTR lpszProfileName, LPCTSTR lpszBarName, BOOL bProperties = TRUE);
    BOOL LoadBarState(LPCTSTR lpszProfileName, LPCTSTR lpszBarName, BOOL bProperties = TRUE);
    // The insert mark as the control keeps it (iButton -1: none).
    TBINSERTMARK GetInsertMark() const;

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
    int m_nCustomizedButton = -1;      // the button selected for customisation
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
    LRESULT OnInsertButton(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteButton(WPARAM wParam, LPARAM lParam);
    LRESULT OnMoveButtonMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUIMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragEnterMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragOverMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragLeaveMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropExMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnCustomizeMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCustomizeCommand(UINT nID);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnBeginDrag(NMHDR* pNotify, LRESULT* pResult);
    BOOL OnQueryInsertDelete(NMHDR* pNotify, LRESULT* pResult);
    BOOL OnEndDrag(NMHDR* pNotify, LRESULT* pResult);
    BOOL OnToolbarChange(NMHDR* pNotify, LRESULT* pResult);
    BOOL OnGetButtonInfo(NMHDR* pNotify, LRESULT* pResult);
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

    // Customisation state.
    BOOL m_bAdvancedCustomizable = FALSE;
    std::vector<UINT> m_pCommandIDs;
    int m_nCommandCount = 0;
    BOOL m_bCustomizeMode = FALSE;
    BOOL m_bDraggingButton = FALSE;
    int m_nDraggedButton = -1;
    BOOL m_bRemoveAfterDrag = FALSE;
    std::map<UINT, CString> m_mapButtonText; // texts of buttons that show none
    HWND m_hNotifyWnd = nullptr;

    // Custom buttons by button index.
    std::map<int, OXCUSTOMBUTTONDESCRIPTOR> m_mapCustomButtons;
    BOOL m_bSuspendCustomButtons = FALSE;
    int m_nPendingCustomUpdate = 0; // 1 re-place with layout, 2 re-place only

private:
    // Sends the customisation notification; its answer.
    LRESULT NotifyCustomize(int nCommand, int nValue = 0);
    // A plain separator in, or a button out, at nIndex without the insert and delete
    // handlers' own bookkeeping; the hosted windows after it keep their buttons.
    BOOL InsertSeparatorAt(int nIndex);
    void RemoveButtonAt(int nIndex);
    void ShiftForInsert(int nIndex);
    void ShiftForDelete(int nIndex);
    BOOL IsPlainSeparator(int nIndex) const;
    void DestroyCustomButton(OXCUSTOMBUTTONDESCRIPTOR& descriptor);
    BOOL DropCommand(COleDataObject* pData, int nIndex);
    void SetInsertMark(int nButton, DWORD dwFlags);
    static void SaveCustomButtonRegistry(CArchive& ar);
    static void LoadCustomButtonRegistry(CArchive& ar);
};

// The toolbar button update, except that a disabled button keeps its pressed state.
class COXCoolToolBarCmdUI : public CToolCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override;
    // A text goes to the bar's window, as for any other window item.
    void SetText(LPCTSTR lpszText) override { CCmdUI::SetText(lpszText); }
};
