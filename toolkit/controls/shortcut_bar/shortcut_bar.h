// The shortcut bar: named groups stacked like the folds of an accordion, each with a header
// button; the one expanded group shows its child window (an item list the bar makes, or a
// window of the caller) in the room the headers leave. The owner steers it through WM_NOTIFY.
// Classes here: COXShortcutBar; the records _tagSHB_GROUPINFO and _tagSHB_DESCRIPTOR.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <set>

#include "framework/ui.h"
#include "toolkit/controls/shb_dragdrop/shb_dragdrop.h"
#include "toolkit/controls/shortcut_bar/shb_defs.h"
#include "toolkit/controls/shortcut_bar/shb_edit.h"
#include "toolkit/frames/skins/shortcutbar_skin.h"

class COXSHBListCtrl;

// Group-information mask bits; any other bit makes a request invalid.
constexpr UINT SHBIF_TEXT = 0x00010000;
constexpr UINT SHBIF_IMAGE = 0x00020000;
constexpr UINT SHBIF_IMAGEEXPANDED = 0x00040000;
constexpr UINT SHBIF_PARAM = 0x00080000;
constexpr UINT SHBIF_ORDER = 0x00100000;
constexpr UINT SHBIF_VIEW = 0x00200000;
constexpr UINT SHBIF_DESCRIPTOR = 0x00400000;
constexpr UINT SHBIF_CHILDWND = 0x00800000;
constexpr UINT SHBIF_ALL = 0x00FF0000;

// Descriptor mask bits.
constexpr BYTE SHBIF_CLRBACK = 0x01;
constexpr BYTE SHBIF_CLRTEXT = 0x02;
constexpr BYTE SHBIF_HDRCLRBACK = 0x04;
constexpr BYTE SHBIF_HDRCLRTEXT = 0x08;
constexpr BYTE SHBIF_HDRTEXTFMT = 0x10;
constexpr BYTE SHBIF_TEXTFONT = 0x20;
constexpr BYTE SHBIF_HDRFONT = 0x40;
constexpr BYTE SHBIF_HDRHEIGHT = 0x80;

// Insertion orders besides 0..count-1.
constexpr int SHBI_FIRST = -1;
constexpr int SHBI_LAST = -2;
constexpr int SHBI_SORT = -3;

// Views of a group's list.
constexpr int SHB_LARGEICON = 1;
constexpr int SHB_SMALLICON = 2;

// Hit-test codes.
constexpr int SHB_ONHEADER = 1;
constexpr int SHB_ONCHILD = 2;
constexpr int SHB_NOWHERE = 3;

// Context-menu commands.
constexpr UINT SHB_IDMLARGEICON = 33014;
constexpr UINT SHB_IDMSMALLICON = 33015;
constexpr UINT SHB_IDMADDNEWGROUP = 33016;
constexpr UINT SHB_IDMREMOVEGROUP = 33017;
constexpr UINT SHB_IDMRENAMEGROUP = 33018;
constexpr UINT SHB_IDMREMOVEITEM = 33019;
constexpr UINT SHB_IDMRENAMEITEM = 33020;

// Timers of the bar.
constexpr UINT_PTR SHB_IDTCHECKFORDRAG = 2;
constexpr UINT_PTR SHB_IDTWAITFORAUTOEXPAND = 3;
constexpr UINT_PTR SHB_IDTCHECKMOUSE = 4;

typedef struct _tagSHB_DESCRIPTOR {
    COLORREF clrBackground;       // child window background
    COLORREF clrText;             // item text
    COLORREF clrHeaderBackground;
    COLORREF clrHeaderText;
    UINT nHeaderTextFormat;       // DrawText flags
    LOGFONT lfText;               // item font
    LOGFONT lfHeader;
    int nHeaderHeight;
    BYTE nMask;                   // SHBIF_CLRBACK ...
} SHB_DESCRIPTOR, *LPSHB_DESCRIPTOR;

typedef struct _tagSHB_GROUPINFO {
    LPSTR pszText;
    int nTextMax;                 // bytes of text, no terminator
    int nImage;
    int nImageExpanded;
    LPARAM lParam;
    int nOrder;
    int nView;
    LPSHB_DESCRIPTOR pDescriptor;
    HWND hwndChild;               // the caller's own child window
    UINT nMask;                   // SHBIF_TEXT ...
    BOOL bOwnsText;
} SHB_GROUPINFO, *LPSHB_GROUPINFO;

// Orders two groups for SortGroups: negative, 0 or positive like strcmp.
using SHBCompareFn = int (*)(COXShortcutBar* pBar, HSHBGROUP hGroup1, HSHBGROUP hGroup2);

class COXShortcutBar : public CWnd
{
    DECLARE_DYNCREATE(COXShortcutBar)
public:
    COXShortcutBar();
    ~COXShortcutBar() override;

    // Creates the bar window (WS_CHILD added) and runs the initialisation with dwBarStyle.
    BOOL Create(CWnd* pParent, const RECT& rect, DWORD dwBarStyle, UINT nID,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE);

    // --- groups ---
    HSHBGROUP InsertGroup(const SHB_GROUPINFO* pGroupInfo);
    BOOL DeleteGroup(HSHBGROUP hGroup);
    BOOL DeleteAllGroups();
    // Returns the group expanded before (the current one when the owner refuses).
    HSHBGROUP ExpandGroup(HSHBGROUP hGroup);
    BOOL SetGroupInfo(HSHBGROUP hGroup, const SHB_GROUPINFO* pGroupInfo, BOOL bReplace = FALSE);
    BOOL SetGroupText(HSHBGROUP hGroup, LPCTSTR lpszText);
    BOOL SetGroupOrder(HSHBGROUP hGroup, int nOrder);
    // hGroup 0: every group, stopping at the first failure.
    BOOL SetGroupView(HSHBGROUP hGroup, int nView);
    BOOL SetGroupDescriptor(HSHBGROUP hGroup, const SHB_DESCRIPTOR* pDescriptor);
    BOOL SetGroupBkColor(HSHBGROUP hGroup, COLORREF clr);
    BOOL SetGroupTextColor(HSHBGROUP hGroup, COLORREF clr);

    CString GetGroupText(HSHBGROUP hGroup) const;
    int GetGroupImage(HSHBGROUP hGroup) const;
    int GetGroupImageExpanded(HSHBGROUP hGroup) const;
    int GetGroupOrder(HSHBGROUP hGroup) const;
    // 1 when unset, -1 for a handle that names no group.
    int GetGroupView(HSHBGROUP hGroup) const;
    LPARAM GetGroupData(HSHBGROUP hGroup) const;
    CWnd* GetGroupChildWnd(HSHBGROUP hGroup) const;
    COXSHBListCtrl* GetGroupListCtrl(HSHBGROUP hGroup) const;
    COLORREF GetGroupBkColor(HSHBGROUP hGroup);
    COLORREF GetGroupTextColor(HSHBGROUP hGroup);
    // Whether the group's descriptor carries its own child background colour.
    BOOL HasGroupBkColor(HSHBGROUP hGroup) const;
    COLORREF GetGroupHeaderBkColor(HSHBGROUP hGroup) const;
    COLORREF GetGroupHeaderTextColor(HSHBGROUP hGroup) const;
    UINT GetGroupHeaderTextFormat(HSHBGROUP hGroup) const;
    // Both point at the descriptor's LOGFONT or at a buffer the next call overwrites.
    LPLOGFONT GetGroupHeaderFont(HSHBGROUP hGroup) const;
    LPLOGFONT GetGroupTextFont(HSHBGROUP hGroup) const;
    int GetGroupHeaderHeight(HSHBGROUP hGroup);
    int GetGroupCount() const { return static_cast<int>(m_mapHandleToInfo.size()); }

    HSHBGROUP FindGroup(const SHB_GROUPINFO* pGroupInfo) const;
    HSHBGROUP FindGroupByOrder(int nOrder) const;
    // nDirection 1 ascending, -1 descending, 0 unsorted; pfnCompare null: by text.
    BOOL SortGroups(int nDirection, SHBCompareFn pfnCompare = nullptr);
    // nFlags out: SHB_ONHEADER, SHB_ONCHILD or SHB_NOWHERE.
    HSHBGROUP HitTest(CPoint point, int* pFlags = nullptr) const;
    CRect GetGroupHeaderRect(HSHBGROUP hGroup) const;
    CRect GetChildWndRect() const { return m_rectChildWnd; }

    COXShortcutBarSkin* GetShortcutBarSkin();

    // --- state the skins and lists read ---
    DWORD GetBarStyle() const { return m_dwBarStyle; }
    void SetBarStyle(DWORD dwBarStyle) { m_dwBarStyle = dwBarStyle; }
    HSHBGROUP GetExpandedGroup() const { return m_hExpandedGroup; }
    HSHBGROUP GetHotGroup() const { return m_hHotGroup; }
    HSHBGROUP GetPressedGroup() const { return m_hPressedGroup; }
    HSHBGROUP GetDragGroup() const { return m_hDragGroup; }
    HSHBGROUP GetDropTargetGroup() const { return m_hDropTargetGroup; }
    HSHBGROUP GetEditedGroup() const { return m_hEditGroup; }
    BOOL IsCreatingDragImage() const { return m_bCreatingDragImage; }
    CImageList* GetImageList() const { return m_pImageList; }
    // The caller's list, not owned.
    void SetImageList(CImageList* pImageList) { m_pImageList = pImageList; }
    int GetSortOrder() const { return m_nSortOrder; }

    // --- metrics ---
    int GetGroupMargin() const { return m_nGroupMargin; }
    void SetGroupMargin(int nMargin) { m_nGroupMargin = nMargin; }
    CRect GetChildWndMargins() const { return m_rectChildWndMargins; }
    void SetChildWndMargins(const CRect& rect) { m_rectChildWndMargins = rect; }
    CSize GetScrollButtonSize() const { return m_sizeScrollButton; }
    void SetScrollButtonSize(CSize size) { m_sizeScrollButton = size; }
    UINT GetScrollingDelay() const { return m_nScrollingDelay; }
    void SetScrollingDelay(UINT nDelay) { m_nScrollingDelay = nDelay; }
    UINT GetAutoScrollingDelay() const { return m_nAutoScrollingDelay; }
    void SetAutoScrollingDelay(UINT nDelay) { m_nAutoScrollingDelay = nDelay; }
    UINT GetAutoExpandDelay() const { return m_nWaitForAutoExpand; }
    void SetAutoExpandDelay(UINT nDelay) { m_nWaitForAutoExpand = nDelay; }

    // --- interaction ---
    // Starts renaming a header; the editor window, or null.
    CWnd* EditGroupHeader(HSHBGROUP hGroup);
    // Re-places the expanded group's child window on the child area.
    void ShowChildWnd(HSHBGROUP hGroup, BOOL bRedraw = TRUE);

    // The notification record sent to the owner; the owner's answer.
    LRESULT SendSHBNotification(UINT nCode, HSHBGROUP hGroup, LPARAM lParam = 0, int nItem = -1);

    virtual CImageList* CreateGroupDragImage(HSHBGROUP hGroup);
    virtual void DrawGroupHeader(LPDRAWITEMSTRUCT lpDrawItemStruct);
    // Draws a group's header through DrawGroupHeader into a DC of the header's size.
    void DrawGroupHeaderAt(CDC* pDC, HSHBGROUP hGroup, CSize size);
    virtual void DrawBackground(CDC* pDC);
    virtual BOOL CreateEditControl();
    virtual BOOL CreateGroupWindow(HSHBGROUP hGroup);
    virtual COXSHBListCtrl* CreateListCtrl();
    virtual void CalculateBoundRects();
    virtual HSHBGROUP NewGroupHandle() { return ++m_nLastHandle; }
    virtual BOOL CompareGroupInfo(const SHB_GROUPINFO* pInfo1, const SHB_GROUPINFO* pInfo2) const;
    virtual COleDropTarget* GetDropTarget();
    virtual LRESULT OnDragOver(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDragLeave(WPARAM wParam, LPARAM lParam);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

protected:
    void PreSubclassWindow() override;
    BOOL InitShortcutBar();

    BOOL VerifyGroupInfo(const SHB_GROUPINFO* pInfo) const;
    BOOL VerifyImage(int nImage) const;
    BOOL VerifyOrder(int nOrder) const;
    BOOL VerifyChildWnd(HWND hWnd) const;
    // The per-field checks of CopyGroupInfo, made before anything changes.
    BOOL CheckCopy(LPSHB_GROUPINFO pDest, const SHB_GROUPINFO* pSource, UINT mask,
                   BOOL bInserting) const;
    LRESULT SendNotifyRecord(SHB_NOTIFYHDR& nm, UINT nCode, HSHBGROUP hGroup, int nItem);
    // Drops a group's record without asking the owner (undoing a half-made insertion).
    void RemoveGroup(HSHBGROUP hGroup);
    // SetGroupInfo on one group, or on every group (hGroup 0) until the first failure.
    BOOL ForEachGroup(HSHBGROUP hGroup, const SHB_GROUPINFO& info);
    static void DestroyListObject(COXSHBListCtrl* pList);
    // nFlags: 1 reset the destination, 2 it is being inserted, 4 take the source's mask.
    BOOL CopyGroupInfo(HSHBGROUP hDest, LPSHB_GROUPINFO pDest, const SHB_GROUPINFO* pSource,
                       UINT nFlags);
    static void CopyDescriptor(LPSHB_DESCRIPTOR pDest, const SHB_DESCRIPTOR* pSource, UINT nFlags);
    void ReleaseDescriptor(LPSHB_DESCRIPTOR pDescriptor, HSHBGROUP hExcept);
    void ShiftGroupOrders(int nFirst, int nLast, int nDelta);
    LPSHB_GROUPINFO GetInfo(HSHBGROUP hGroup) const;
    const SHB_DESCRIPTOR* GetDescriptor(HSHBGROUP hGroup, BYTE nBit) const;
    void DestroyListCtrl(HSHBGROUP hGroup);
    void AnimateExpand(HSHBGROUP hOld, HSHBGROUP hNew);
    void RedrawHeader(HSHBGROUP hGroup);
    void SetHotGroup(HSHBGROUP hGroup, BOOL bRedraw);
    void KillAutoExpandTimer();
    void ForgetPressedGroupIfUp();
    void BeginGroupDrag(HSHBGROUP hGroup, CPoint point);
    // The header the dragged picture overlaps most (the first on a tie), 0 for none.
    HSHBGROUP FindOverlappedHeader(CPoint point) const;
    void UpdateDragTarget(CPoint point);
    void EndGroupDrag(BOOL bDrop);

    // message handlers
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnDestroy();
    LRESULT OnNcHitTest(CPoint) { return HTCLIENT; }
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnToolTipText(UINT id, NMHDR* pNMHDR, LRESULT* pResult);
    void OnEndEdit(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnDragOverMsg(WPARAM wParam, LPARAM lParam) { return OnDragOver(wParam, lParam); }
    LRESULT OnDragLeaveMsg(WPARAM wParam, LPARAM lParam) { return OnDragLeave(wParam, lParam); }
    void OnViewCommand(UINT nID);
    void OnAddNewGroup();
    void OnRemoveGroup();
    void OnRenameGroup();
    void OnItemCommand(UINT nID);
    void OnUpdateLargeIcon(CCmdUI* pCmdUI);
    void OnUpdateSmallIcon(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    CImageList* m_pImageList = nullptr;
    std::map<HSHBGROUP, std::unique_ptr<SHB_GROUPINFO>> m_mapHandleToInfo;
    std::map<HSHBGROUP, COXSHBListCtrl*> m_mapHandleToListCtrl; // owned
    std::map<HSHBGROUP, CRect> m_mapHandleToBoundRect;
    std::set<LPSHB_DESCRIPTOR> m_setDescriptors;
    HSHBGROUP m_nLastHandle = 0;

    HSHBGROUP m_hExpandedGroup = 0;
    HSHBGROUP m_hLastContextMenuGroup = 0;
    HSHBGROUP m_hEditGroup = 0;
    HSHBGROUP m_hDragGroup = 0;
    HSHBGROUP m_hDropTargetGroup = 0;
    HSHBGROUP m_hPressedGroup = 0;
    HSHBGROUP m_hHotGroup = 0;
    HSHBGROUP m_hSuspectGroup = 0;   // waiting for hover expansion
    HSHBGROUP m_hDragCandidate = 0;

    int m_nSortOrder = 0;
    DWORD m_dwBarStyle = 0;
    CRect m_rectChildWnd;
    int m_nGroupMargin = 0;
    CRect m_rectChildWndMargins{5, 5, 5, 5};
    CSize m_sizeScrollButton{16, 16};
    UINT m_nScrollingDelay = 200;
    UINT m_nAutoScrollingDelay = 400;
    UINT m_nWaitForAutoExpand = 800;

    CFont m_font;
    COXSHBEdit m_edit;
    COXSHBDropTarget m_dropTarget;
    std::unique_ptr<CImageList> m_pDragImage;
    CPoint m_ptDragImageOffset;
    BOOL m_bCreatingDragImage = FALSE;

    UINT_PTR m_nCheckForDragTimer = 0;
    UINT_PTR m_nWaitForAutoExpandTimer = 0;
    UINT_PTR m_nCheckMouseTimer = 0;

    std::unique_ptr<COXShortcutBarSkin> m_pShortcutBarSkin;
};
