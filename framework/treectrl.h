// Wrapper of the common controls' tree view. Classes here: CTreeCtrl.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/controls.h"

// CTreeCtrl: client side of a tree-view control. Item handles are HTREEITEM; null means none.
class CTreeCtrl : public CWnd
{
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(WC_TREEVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
    }

    // Items
    HTREEITEM InsertItem(LPTVINSERTSTRUCT lpInsertStruct)
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(lpInsertStruct)));
    }
    HTREEITEM InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                         UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter);
    HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT,
                         HTREEITEM hInsertAfter = TVI_LAST)
    {
        return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
    }
    BOOL DeleteItem(HTREEITEM hItem)
    {
        return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hItem)));
    }
    BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }
    BOOL GetItem(TVITEM* pItem) const
    {
        return static_cast<BOOL>(SendMessage(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL SetItem(TVITEM* pItem)
    {
        return static_cast<BOOL>(SendMessage(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    CString GetItemText(HTREEITEM hItem) const;
    BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem);
    DWORD_PTR GetItemData(HTREEITEM hItem) const;
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
    BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
    BOOL ItemHasChildren(HTREEITEM hItem) const;
    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
    {
        *reinterpret_cast<HTREEITEM*>(lpRect) = hItem;
        return static_cast<BOOL>(
            SendMessage(TVM_GETITEMRECT, bTextOnly, reinterpret_cast<LPARAM>(lpRect)));
    }

    // Navigation (TVGN_* codes)
    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const
    {
        return GetNextItem(hItem, TVGN_PREVIOUS);
    }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const
    {
        return GetNextItem(hItem, TVGN_NEXTVISIBLE);
    }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }

    // Selection, expansion, editing
    BOOL Select(HTREEITEM hItem, UINT nCode)
    {
        return static_cast<BOOL>(
            SendMessage(TVM_SELECTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
    BOOL Expand(HTREEITEM hItem, UINT nCode)
    {
        return static_cast<BOOL>(SendMessage(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    BOOL EnsureVisible(HTREEITEM hItem)
    {
        return static_cast<BOOL>(
            SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hItem)));
    }
    CEdit* EditLabel(HTREEITEM hItem);
    CEdit* GetEditControl() const;
    HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
    }

    // Images and sorting
    HIMAGELIST SetImageList(HIMAGELIST hImageList, int nImageListType)
    {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(TVM_SETIMAGELIST, nImageListType, reinterpret_cast<LPARAM>(hImageList)));
    }
    HIMAGELIST GetImageList(int nImageListType) const
    {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, nImageListType));
    }
    // Sorts the direct children of hParent with the callback (over the items' data).
    BOOL SortChildrenCB(LPTVSORTCB pSort)
    {
        return static_cast<BOOL>(
            SendMessage(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(pSort)));
    }
};
