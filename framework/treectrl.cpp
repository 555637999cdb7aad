// Members of CTreeCtrl that do more than one call.
#include "framework/treectrl.h"

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                                UINT nState, UINT nStateMask, LPARAM lParam, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCT tvis{};
    tvis.hParent = hParent;
    tvis.hInsertAfter = hInsertAfter;
    tvis.item.mask = nMask;
    tvis.item.pszText = const_cast<LPTSTR>(lpszItem);
    tvis.item.iImage = nImage;
    tvis.item.iSelectedImage = nSelectedImage;
    tvis.item.state = nState;
    tvis.item.stateMask = nStateMask;
    tvis.item.lParam = lParam;
    return InsertItem(&tvis);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    // The control copies at most the buffer: grow it until the text fits.
    for (int size = 256;; size *= 4) {
        CString text;
        TVITEM item{};
        item.mask = TVIF_TEXT;
        item.hItem = hItem;
        item.pszText = text.GetBufferSetLength(size);
        item.cchTextMax = size;
        if (!GetItem(&item)) {
            text.ReleaseBuffer(0);
            return text;
        }
        text.ReleaseBuffer();
        if (text.GetLength() < size - 1 || size >= 0x10000)
            return text;
    }
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem)
{
    TVITEM item{};
    item.mask = TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = const_cast<LPTSTR>(lpszItem);
    return SetItem(&item);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    TVITEM item{};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
{
    TVITEM item{};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    item.lParam = static_cast<LPARAM>(dwData);
    return SetItem(&item);
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
    TVITEM item{};
    item.mask = TVIF_STATE;
    item.hItem = hItem;
    item.stateMask = nStateMask;
    return GetItem(&item) ? (item.state & nStateMask) : 0;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
{
    TVITEM item{};
    item.mask = TVIF_STATE;
    item.hItem = hItem;
    item.state = nState;
    item.stateMask = nStateMask;
    return SetItem(&item);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
{
    TVITEM item{};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    if (!GetItem(&item))
        return FALSE;
    nImage = item.iImage;
    nSelectedImage = item.iSelectedImage;
    return TRUE;
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
    TVITEM item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = hItem;
    return GetItem(&item) && item.cChildren != 0;
}

CEdit* CTreeCtrl::EditLabel(HTREEITEM hItem)
{
    HWND hEdit =
        reinterpret_cast<HWND>(SendMessage(TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(hItem)));
    return hEdit != nullptr ? static_cast<CEdit*>(FromHandle(hEdit)) : nullptr;
}

CEdit* CTreeCtrl::GetEditControl() const
{
    HWND hEdit = reinterpret_cast<HWND>(SendMessage(TVM_GETEDITCONTROL));
    return hEdit != nullptr ? static_cast<CEdit*>(FromHandle(hEdit)) : nullptr;
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    TVHITTESTINFO hti{};
    hti.pt = pt;
    HTREEITEM hItem = HitTest(&hti);
    if (pFlags != nullptr)
        *pFlags = hti.flags;
    return hItem;
}
