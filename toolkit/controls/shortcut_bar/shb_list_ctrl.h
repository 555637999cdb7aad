// The item list of a shortcut-bar group, also usable alone: one column of large or small icons
// with their texts, scrolled by two scroll buttons instead of scroll bars, with a hot item
// under the mouse, in-place renaming and moving or copying items by OLE drag and drop.
// The common control keeps the items; this class lays them out, paints, hit-tests and scrolls.
#pragma once

#include <map>
#include <memory>

#include "framework/ui.h"
#include "toolkit/controls/shb_dragdrop/shb_dragdrop.h"
#include "toolkit/controls/shortcut_bar/shb_defs.h"
#include "toolkit/controls/shortcut_bar/shb_edit.h"

// Hit-test codes of HitTestItem.
constexpr int SHBLC_ONVIEW = 1;         // in the view, on no item
constexpr int SHBLC_ONIMAGE = 2;
constexpr int SHBLC_ONTEXT = 4;
constexpr int SHBLC_ONITEM = -2;        // in the union of image and text, on neither
constexpr int SHBLC_OUTSIDEITEM = -1;   // on the item's row, outside that union
constexpr int SHBLC_ONTOPSCROLL = -3;
constexpr int SHBLC_ONBOTTOMSCROLL = -4;
// Side flags collected outside the visible part of the view.
constexpr int SHBLC_ABOVE = 0x08;
constexpr int SHBLC_BELOW = 0x10;
constexpr int SHBLC_TORIGHT = 0x20;
constexpr int SHBLC_TOLEFT = 0x40;

// The kind of rectangle GetItemRect answers (besides LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL).
constexpr UINT SHBLC_ENTIREITEM = static_cast<UINT>(-1);

class COXSHBListCtrl : public CListCtrl {
    DECLARE_DYNCREATE(COXSHBListCtrl)
public:
    COXSHBListCtrl();
    ~COXSHBListCtrl() override;

    // Creates the list-view window (always in icon view; LVS_SMALLICON set afterwards asks
    // for small icons when the list is alone) and initialises the list.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) override;

    // Slots in order.
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    // Selects an item (-1 none) unless the owner refuses; returns the previous selection.
    virtual int SelectItem(int nItem);
    virtual void DrawScrollButtons(CDC* pDC);
    virtual void DrawInsertMark(CDC* pDC);
    virtual BOOL CreateEditControl();
    virtual void CalculateItemRects();
    virtual void CalculateScrollRects();
    virtual COleDropSource* GetDropSource();
    virtual COleDropTarget* GetDropTarget();
    virtual void StartDragDrop(int nItem, COleDataSource* pDataSource);
    // The drop-target events (SHBDROPTARGETACTION*); non-zero when handled.
    virtual LRESULT OnDragEnter(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDragOver(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDragLeave(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDrop(WPARAM wParam, LPARAM lParam);

    void PreSubclassWindow() override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

    // Each returns the previous item; the owner may refuse the change (then nothing changes).
    int SetHotItem(int nItem);
    int SetActiveItem(int nItem);
    int GetHotItem() const { return m_nHotItem; }
    int GetLastHotItem() const { return m_nLastHotItem; }
    int GetActiveItem() const { return m_nActiveItem; }
    int GetSelectedItem() const { return m_nSelectedItem; }
    int GetEditedItem() const { return m_nEditItem; }

    // The item at a client point (-1 none) and its SHBLC_* code in *pFlags.
    int HitTestItem(CPoint point, int* pFlags, BOOL bTestButtons) const;
    // Client coordinates; nCode LVIR_BOUNDS (image and text), LVIR_ICON, LVIR_LABEL or
    // SHBLC_ENTIREITEM (the whole row). FALSE for an invalid item.
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    // Moves the view by (dx, dy) pixels within the items; FALSE when it cannot move at all.
    BOOL Scroll(CSize size);
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    // Starts renaming an item in place (needs SHB_STYLE_EDITITEMS); the editor, or null.
    COXSHBEdit* EditLabel(int nItem);
    COXSHBEdit* GetEditControl() { return &m_edit; }
    int GetItemImage(int nItem) const;
    // 1 large icons, 2 small icons.
    int GetView() const;
    COLORREF GetBkColor() const;
    COLORREF GetTextColor() const;
    // The SHB_STYLE_* bits in force: the bar's, or derived from the list's own styles.
    DWORD GetBarStyle() const;
    COXShortcutBar* GetShortcutBar() const { return m_pShortcutBar; }
    HSHBGROUP GetShbGroup() const { return m_hGroup; }
    // The view rectangle in content coordinates: from the top margin to the lowest item.
    CRect GetViewRect() const;
    CPoint GetOrigin() const { return m_ptOrigin; }
    // The scroll buttons in client coordinates (empty when hidden).
    CRect GetTopScrollButtonRect() const { return m_rectTopScroll; }
    CRect GetBottomScrollButtonRect() const { return m_rectBottomScroll; }

    // bAuto: started by resting on a button (SHB_STYLE_AUTOSCROLL), with the slower period.
    void StartScrolling(BOOL bScrollingUp, BOOL bAuto = FALSE);
    void StopScrolling();

    // Item drag and drop: builds the data source of an item and posts SHBM_STARTDRAGDROP;
    // -1 only forgets the dragged item.
    void BeginDragItem(int nItem);
    // The image as the bytes of a one-image image list; null (and 0) when it has none.
    // The caller frees the bytes with delete[].
    static BYTE* SerializeImage(CImageList* pImageList, int nImage, DWORD& dwSize);
    // Adds the first image of a serialised image list to *ppImageList, creating the list with
    // that image's size when *ppImageList is null (the caller then owns it). The new index,
    // or -1.
    static int DeserializeImage(CImageList** ppImageList, const BYTE* pData, DWORD dwSize);

    // Fills the record's header and group and sends it to the owner; the owner's answer.
    LRESULT SendSHBNotification(SHB_NOTIFYHDR* pNotify) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL InitListCtrl();

    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC) { return TRUE; }
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    LRESULT OnLButtonDblClkMessage(WPARAM wParam, LPARAM lParam);
    void OnLButtonUp(UINT nFlags, CPoint point);
    LRESULT OnSwallow(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    void OnRButtonUp(UINT nFlags, CPoint point);
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT OnPopulateContextMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetShbGroup(WPARAM wParam, LPARAM lParam);
    LRESULT OnGroupInfoChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnShbInfoChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnCheckMousePos(WPARAM wParam, LPARAM lParam);
    LRESULT OnStartDragDrop(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    struct ItemRects {
        CRect bound; // content coordinates
        CRect image; // relative to bound
        CRect text;  // relative to bound
    };

    // The list-view messages the class answers itself; FALSE passes one on unchanged.
    BOOL HandleListViewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    BOOL HandleBarColours(UINT message, LPARAM lParam, LRESULT& result);
    LRESULT OnInsertItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteAllItems(WPARAM wParam, LPARAM lParam);
    LRESULT OnFindItem(WPARAM wParam, LPARAM lParam);
    void Relayout(BOOL bRedraw);

    const ItemRects* Rects(int nItem) const;
    CRect ClientBound(int nItem) const; // the bound rectangle in client coordinates
    // A notification header for SendSHBNotification.
    static SHB_NOTIFYHDR Notify(UINT code, int nItem, LPARAM lParam = 0);
    CImageList* ViewImageList() const;
    CSize ImageSize() const;
    HFONT ItemFont() const;
    // Fills a piece of the list: rect in client coordinates, pDC's origin at its top-left.
    void FillBackground(CDC* pDC, const CRect& rect) const;
    void DrawItemFrame(CDC* pDC, const CRect& rect, BOOL bHot, BOOL bPressed) const;
    // Item nItem with its background into pDC, whose origin stands for rectBound's top-left
    // (client coordinates).
    void DrawWholeItem(CDC* pDC, int nItem, const CRect& rectBound);
    CSize ScrollButtonSize() const;
    UINT ScrollDelay(BOOL bAuto) const;
    BOOL IsEditingHeader() const;
    void RedrawItem(int nItem);
    void UpdateHotItem(CPoint point);
    void CheckMousePos();
    int FindNearest(CPoint point, UINT vkDirection, int nStart, BOOL bWrap) const;
    int FirstVisibleItem() const;
    void ScrollStep();
    void FinishRename(BOOL bOK);
    int DropPosition(CPoint point, DROPEFFECT& effect) const;
    CRect InsertMarkRect(int nPosition) const;
    void RedrawInsertMark(int nPosition);
    HGLOBAL BuildDragBlock(int nItem);
    BOOL ReadDragBlock(const BYTE* pData, SIZE_T cbData, int nPosition);
    CImageList* CreateDragImage(int nItem, LPPOINT lpHotSpot);
    COLORREF DefaultBkColor() const;
    void SetOrigin(CPoint point);

    COXShortcutBar* m_pShortcutBar = nullptr;
    HSHBGROUP m_hGroup = 0;

    int m_nSelectedItem = -1;
    int m_nHotItem = -1;
    int m_nLastHotItem = -1;
    int m_nActiveItem = -1;
    int m_nDragItem = -1;
    int m_nEditItem = -1;
    int m_nPressedItem = -1;

    std::map<int, ItemRects> m_mapRects;
    CRect m_rectTopScroll;
    CRect m_rectBottomScroll;
    CPoint m_ptOrigin{0, 0};

    mutable CFont m_fontItem; // a copy of the group's item font, in a bar
    COXSHBEdit m_edit;
    COXSHBDropSource m_dropSource;
    COXSHBDropTarget m_dropTarget;
    std::unique_ptr<CImageList> m_pOwnImageList;      // normal, made for dropped images
    std::unique_ptr<CImageList> m_pOwnSmallImageList; // small, likewise

    BOOL m_bMouseIsOver = FALSE;
    BOOL m_bScrollingUp = FALSE;
    BOOL m_bScrollingDown = FALSE;
    BOOL m_bAutoScrolling = FALSE;
    BOOL m_bCreatingDragImage = FALSE;
    BOOL m_bDragSource = FALSE;
    BOOL m_bDragOver = FALSE;
    BOOL m_bInCreate = FALSE;

    std::unique_ptr<CImageList> m_pDragImage;
    CPoint m_ptDragHotSpot{0, 0};
    CPoint m_ptPressed{0, 0};

    static constexpr UINT_PTR kScrollTimer = 1;
    static constexpr UINT_PTR kMouseTimer = 275;
    BOOL m_bMouseTimer = FALSE;

    int m_nInsertPos = -1;
};
