// A report list view with check boxes held as state images, owner-drawn rows with optional
// grid lines and an own font, cells edited in place column by column, and sorting by a click
// on a column header that keeps the owner's item data intact.
// Classes here: COXGridEdit, COXGridList.
#pragma once

#include "framework/ui.h"
#include "toolkit/controls/gridlist/grid_header.h"
#include "toolkit/controls/gridlist/gridlist_res.h"

// The grid list's context-menu notification: an NMHDR followed by this record.
constexpr UINT GLN_CONTEXTMENU = 0x8089;
struct OXGLNCONTEXTMENU {
    NMHDR hdr;
    struct Record {
        CMenu* pMenu;
        POINT point; // screen co-ordinates
    }* pRecord;
};

// The in-place editor: the list view's own label editor, subclassed for each edit; it takes
// the geometry of the cell, keeps the text it is given until it is sized, and remembers the
// key that ended the edit.
class COXGridEdit : public CEdit {
    DECLARE_DYNAMIC(COXGridEdit)
public:
    COXGridEdit() { Reset(); }
    ~COXGridEdit() override;

    void SetEditPosition(POINT point);
    void SetEditHeight(int nHeight);
    // Extra width beside the text; also makes the editor follow its text's width.
    void SetExtraWidth(int nWidth);
    // Shown once the editor is sized (the list view sets its own text before that).
    void SetEditText(LPCTSTR lpszText);
    // The key that ended the edit, 0 for none, with the Shift and Ctrl states it had.
    UINT GetEndKey(BOOL& bShift, BOOL& bCtrl) const;
    void Reset();

    BOOL m_bStretch; // always reach the right limit (the edit list sets it)

protected:
    friend class COXGridList;
    CString m_sPendingText;
    BOOL m_bPendingText;
    POINT m_ptForced;
    BOOL m_bForcedPosition;
    int m_nForcedHeight;
    BOOL m_bForcedHeight;
    int m_nExtraWidth;
    BOOL m_bSizeToText;
    UINT m_nEndKey;
    BOOL m_bEndShift;
    BOOL m_bEndCtrl;
    int m_nRightLimit;

    int TextWidth() const;
    void EndWithKey(UINT nKey);

    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

class COXGridList : public CListCtrl {
    DECLARE_DYNAMIC(COXGridList)
public:
    COXGridList();
    ~COXGridList() override;

    virtual BOOL Initialize();
    virtual BOOL SortColumn(int nColumn);
    virtual int GetColumnCount() const { return m_nColumnCount; }
    virtual BOOL ResizeColumnsToFit();
    virtual void SetGridLines(BOOL bGridLines, COLORREF crColor = RGB(192, 192, 192),
                              BOOL bRedraw = TRUE);
    virtual void GetGridLines(BOOL& bGridLines, COLORREF& crColor) const;
    virtual void SetGridLinesDirection(BOOL bHorizontal, BOOL bVertical);
    // A copy of the font is kept; null returns to the list's default font.
    virtual BOOL SetTextFont(CFont* pFont = nullptr, BOOL bRedraw = TRUE);
    virtual void SetShowSelAlways(BOOL bShowSelAlways);
    virtual void SetMultipleSelection(BOOL bMultiple);
    // nColumn -1: every column.
    virtual void SetEditable(BOOL bEditable = TRUE, int nColumn = -1);
    virtual void SetCheckable(BOOL bCheckable = TRUE);
    virtual BOOL GetCheckable() const { return m_bCheckable; }
    virtual BOOL ToggleCheck(int nItem);
    virtual BOOL SetItemCheck(int nItem, int nCheck);
    virtual void SetAutoEdit(BOOL bAutoEdit = TRUE) { m_bAutoEdit = bAutoEdit; }
    virtual BOOL IsLastItemVisible() const;
    virtual void OnLastItemVisible() {}
    virtual COXGridEdit* GetGridEdit() { return &m_edit; }
    virtual BOOL LoadCheckImages();
    virtual void DrawGridLines(CDC* pDC, LPDRAWITEMSTRUCT lpDIS);
    virtual void DrawItemColumns(LPDRAWITEMSTRUCT lpDIS, BOOL bHighlighted);
    virtual void DrawCellText(CDC* pDC, LPCTSTR lpszText, RECT rectCell, int nFormat,
                              UINT nDrawFlags);
    virtual int GetItemDataState() const { return m_nItemDataState; }
    virtual void SetItemDataState(int nState) { m_nItemDataState = nState; }

    // Button style of the check behaviour: BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE or
    // BS_AUTO3STATE.
    void SetCheckStyle(int nStyle) { m_nCheckStyle = nStyle; }
    int GetCurSel() const;
    BOOL SetCurSel(int nItem, BOOL bSelect = TRUE);
    int GetFocusedItem() const;
    BOOL SetFocusedItem(int nItem = -1, BOOL bFocus = TRUE);
    // States: -1 no box, 0 unchecked, 1 checked, 2 third state; nItem -1 for every item.
    BOOL SetCheck(int nItem, int nCheck);
    int GetCheck(int nItem) const;
    // nColumn -1: the first editable column. The editor, or null when nothing is editable.
    CEdit* EditLabel(int nItem, int nColumn = -1);
    BOOL IsColumnEditable(int nColumn) const;
    void SetSortable(BOOL bSortable = TRUE);
    BOOL IsSortable() const { return m_bSortable; }
    int GetSortColumn() const { return m_nSortColumn; }
    BOOL IsSortAscending() const { return m_bSortAscending; }
    COXGridHeader& GetGridHeader() { return m_header; }

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // Compares the texts of the sorted column (case-insensitive); lParamSort is the block the
    // list passes.
    static int CALLBACK CompareItemText(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);
    struct SortBlock {
        COXGridList* pList;
        int nColumn;
        BOOL bAscending;
    };

protected:
    int m_bInitialized = FALSE;
    int m_bSortable = FALSE;
    int m_bCheckable = FALSE;
    int m_nCheckStyle = BS_AUTOCHECKBOX;
    int m_bAutoEdit = FALSE;
    int m_bHighlight = FALSE;
    int m_nItemDataState = 1;
    int m_nColumnCount = 0;
    int m_nImageColumn = 0;
    CPen m_gridPen;
    int m_bGridLines = FALSE;
    int m_bHorzGridLines = TRUE;
    int m_bVertGridLines = TRUE;
    RECT m_rectFocus{};
    CFont m_textFont;
    CImageList m_stateImages;
    COXGridEdit m_edit;
    POINT m_ptLastClick{};
    int m_nEditColumn = 0;
    CWordArray m_arrEditable;
    COXGridHeader m_header;
    int m_bSortAscending = FALSE;
    int m_nSortColumn = -1;
    CMenu* m_pContextMenu = nullptr;
    PFNLVCOMPARE m_pfnCompare = &CompareItemText;

    enum ItemDataState { kPlain = 1, kWrapping = 2, kWrapped = 3, kUnwrapping = 4 };

    void RestoreDefaults();
    void AttachHeader();
    void CreateGridPen(COLORREF crColor);
    void RedrawList();
    int StateImageWidth() const;
    void DrawItemImages(CDC* pDC, int nItem, RECT& rectCell, BOOL bHighlighted);
    int HitTestCheckBox(POINT point) const;
    int RowAt(POINT point) const;
    void RepaintFocusAndSelection();

    // Editing (grid_list_edit.cpp)
    int FirstEditableColumn() const;
    void PostEditLabel(int nItem, int nColumn);
    BOOL GetCellRect(int nItem, int nColumn, BOOL bWhole, RECT& rect) const;
    BOOL HitTestCell(POINT point, int& nItem, int& nColumn, RECT& rect) const;
    BOOL SetItemTextNotify(int nItem, int nColumn, LPCTSTR lpszText);
    BOOL EnsureCellVisible(int nItem, int nColumn, BOOL bPartialOK);
    int NextEditableColumn(int nColumn, int nStep) const;
    void MoveEditAfter(int nItem, UINT nKey, BOOL bShift);
    BOOL OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnEditLabelMessage(WPARAM wParam, LPARAM lParam);
    void MoveFocusFromEditor();

    // Sorting and item data (grid_list_data.cpp)
    void WrapItemData();
    void UnwrapItemData();
    LPARAM NativeParam(int nItem) const;
    BOOL SetNativeParam(int nItem, LPARAM lParam);
    LPARAM* Cell(int nItem) const;
    BOOL OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnItemDataNotify(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnInsertItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteAllItems(WPARAM wParam, LPARAM lParam);
    LRESULT OnFindItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnInsertColumn(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteColumn(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetColumn(WPARAM wParam, LPARAM lParam);

    // Window messages (grid_list.cpp)
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnKeyUpMessage(WPARAM wParam, LPARAM lParam);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    BOOL OnFocusChange(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    bool m_bLastVisibleReported = false; // key-down already reported the last row
    bool m_bSpaceToggled = false;        // the Space key-down toggled a check box
};
