// A one-column grid list for editing a list of names in place: the last row is always empty
// and takes a new name, names are edited by typing or with Insert, removed with Delete and
// moved with Alt+Up and Alt+Down; duplicates can be refused. A caption strip holding a mini
// toolbar (New, Delete, Move Up, Move Down) can sit at one of twelve places around the list.
// Classes here: COXEditListHeader, COXEditList.
#pragma once

#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/controls/editlist/editlist_res.h"
#include "toolkit/controls/gridlist/grid_list.h"

// The deferred set-up the list posts to itself once its window exists.
constexpr UINT WM_OX_EDITLIST_SETUP = 0x8084;

// The caption strip: a flat 3D frame with an optional text, drawn across or (for the strips
// left and right of the list) along the strip.
class COXEditListHeader : public CStatic {
    DECLARE_DYNAMIC(COXEditListHeader)
public:
    COXEditListHeader() = default;
    ~COXEditListHeader() override;

    void SetVertical(BOOL bVertical) { m_bVertical = bVertical; }
    BOOL IsVertical() const { return m_bVertical; }

protected:
    void PreSubclassWindow() override;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaint();
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

    CString m_strText;
    COLORREF m_clrText = ::GetSysColor(COLOR_WINDOWTEXT);
    COLORREF m_clrTopLeft = ::GetSysColor(COLOR_BTNSHADOW);
    COLORREF m_clrBottomRight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    BOOL m_bVertical = FALSE;
};

class COXEditList : public COXGridList {
    DECLARE_DYNAMIC(COXEditList)
public:
    // nToolbarPosition: -1 no caption strip, 0-2 above, 3-5 below, 6-8 left, 9-11 right
    // (near end, middle, far end of that side).
    explicit COXEditList(int nToolbarPosition = 0, BOOL bAllowDuplicates = TRUE,
                         BOOL bAllowMove = TRUE);
    ~COXEditList() override;

    // The list answers for the mini toolbar it owns: its command updates route here.
    BOOL IsFrameWnd() const override { return TRUE; }
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    BOOL Initialize() override;
    BOOL SortColumn(int nColumn) override;
    // Before the deferred set-up only the flag is kept.
    void SetEditable(BOOL bEditable = TRUE, int nColumn = -1) override;

    virtual BOOL CanDelete() const;
    virtual BOOL CanMoveUp() const;
    virtual BOOL CanMoveDown() const;
    virtual void AppendEmptyRow();

    // Deletes the selected rows (never the empty last one); FALSE when nothing may go.
    BOOL DeleteItems();
    BOOL MoveItemUp();
    BOOL MoveItemDown();
    // Exchanges image, item data, state and every column's text of two rows.
    BOOL SwapItems(int nFirst, int nSecond);
    void PositionToolbar(int nPosition);
    int GetToolbarPosition() const { return m_nToolbarPosition; }
    CMFCToolBar& GetToolbar() { return m_toolbar; }
    COXEditListHeader& GetHeaderStrip() { return m_header; }
    BOOL IsListReady() const { return m_bListReady; }

protected:
    int m_nToolbarPosition;
    int m_bAllowDuplicates;
    int m_bAllowMove;
    CMFCToolBar m_toolbar;
    COXEditListHeader m_header;
    int m_bListReady = FALSE;
    CString m_strOldText;
    CString m_strDuplicateMessage;
    int m_nNamedImage = 1;
    int m_bPendingEditable = 1;

    BOOL IsEditing() const;
    // The consequences of a row's new column-0 text: a named last row gets a new empty row
    // after it, an emptied row above it goes.
    void ApplyTextChange(int nItem);

    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnSysKeyDown(WPARAM wParam, LPARAM lParam);
    void OnNewItem();
    void OnDeleteItems() { DeleteItems(); }
    void OnMoveUp() { MoveItemUp(); }
    void OnMoveDown() { MoveItemDown(); }
    void OnUpdateDelete(CCmdUI* pCmdUI) { pCmdUI->Enable(CanDelete()); }
    void OnUpdateMoveUp(CCmdUI* pCmdUI) { pCmdUI->Enable(CanMoveUp()); }
    void OnUpdateMoveDown(CCmdUI* pCmdUI) { pCmdUI->Enable(CanMoveDown()); }
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    void OnWindowPosChanged(WINDOWPOS* lpWndPos);
    BOOL OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnBeginLabelEditList(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnEndLabelEditList(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnInsertItemList(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteItemList(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteAllItemsList(WPARAM wParam, LPARAM lParam);
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnSetup(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    bool m_bDeleting = false; // inside DeleteItems
};
