// Members of the header and list-view wrappers that do more than one call.
#include "framework/listctrl.h"

IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

namespace {

// Owner-drawn items reach the control's own DrawItem; the parent's answer is TRUE.
template <class Ctrl>
BOOL DrawItemOrReflect(Ctrl* pCtrl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return pCtrl->CWnd::OnChildNotify(message, wParam, lParam, pResult);
    pCtrl->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult != nullptr)
        *pResult = TRUE;
    return TRUE;
}

} // namespace

BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return DrawItemOrReflect(this, message, wParam, lParam, pResult);
}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return DrawItemOrReflect(this, message, wParam, lParam, pResult);
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const
{
    HWND hHeader = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    if (hHeader == nullptr)
        return nullptr;
    // A permanent object (a header subclassed by a derived list) keeps its own type.
    if (CWnd* pWnd = FromHandlePermanent(hHeader))
        return static_cast<CHeaderCtrl*>(pWnd);
    return static_cast<CHeaderCtrl*>(FromHandle(hHeader));
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage,
                        UINT nState, UINT nStateMask, LPARAM lParam)
{
    LVITEM item{};
    item.mask = nMask;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPTSTR>(lpszItem);
    item.iImage = nImage;
    item.state = nState;
    item.stateMask = nStateMask;
    item.lParam = lParam;
    return SetItem(&item);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask,
                          int nImage, LPARAM lParam)
{
    LVITEM item{};
    item.mask = nMask;
    item.iItem = nItem;
    item.pszText = const_cast<LPTSTR>(lpszItem);
    item.state = nState;
    item.stateMask = nStateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(&item);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // LVM_GETITEMTEXT returns the length copied; grow until the text fits with room to spare.
    CString text;
    for (int size = 256;; size *= 2) {
        LVITEM item{};
        item.iSubItem = nSubItem;
        item.cchTextMax = size;
        item.pszText = text.GetBufferSetLength(size);
        int n = static_cast<int>(
            SendMessage(LVM_GETITEMTEXT, nItem, reinterpret_cast<LPARAM>(&item)));
        text.ReleaseBuffer(n);
        if (n < size - 1 || size >= (1 << 20))
            return text;
    }
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const
{
    LVITEM item{};
    item.iSubItem = nSubItem;
    item.cchTextMax = nLen;
    item.pszText = lpszText;
    return static_cast<int>(SendMessage(LVM_GETITEMTEXT, nItem, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    LVITEM item{};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPTSTR>(lpszText);
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXT, nItem, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEM item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEM item{};
    item.state = nState;
    item.stateMask = nMask;
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMSTATE, nItem, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    lpRect->left = static_cast<LONG>(nCode);
    return static_cast<BOOL>(
        SendMessage(LVM_GETITEMRECT, nItem, reinterpret_cast<LPARAM>(lpRect)));
}

BOOL CListCtrl::GetSubItemRect(int nItem, int nSubItem, int nArea, CRect& ref) const
{
    RECT r{};
    r.top = nSubItem;
    r.left = nArea;
    BOOL ok = static_cast<BOOL>(
        SendMessage(LVM_GETSUBITEMRECT, nItem, reinterpret_cast<LPARAM>(&r)));
    ref = r;
    return ok;
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    LVHITTESTINFO info{};
    info.pt = pt;
    int nItem = HitTest(&info);
    if (pFlags != nullptr)
        *pFlags = info.flags;
    return nItem;
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth,
                            int nSubItem)
{
    LVCOLUMN col{};
    col.mask = LVCF_TEXT | LVCF_FMT;
    col.pszText = const_cast<LPTSTR>(lpszColumnHeading);
    col.fmt = nFormat;
    if (nWidth != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = nWidth;
    }
    if (nSubItem != -1) {
        col.mask |= LVCF_SUBITEM;
        col.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &col);
}

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    HIMAGELIST hOld = reinterpret_cast<HIMAGELIST>(SendMessage(
        LVM_SETIMAGELIST, nImageListType,
        reinterpret_cast<LPARAM>(pImageList != nullptr ? pImageList->m_hImageList : nullptr)));
    return CImageList::FromHandle(hOld);
}
