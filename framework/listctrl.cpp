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

INT_PTR CListCtrl::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    if (!(GetExtendedStyle() & LVS_EX_INFOTIP))
        return CWnd::OnToolHitTest(point, pTI);
    // The list's own tooltip would show the same tip a second time where the platform has
    // info tips; it is destroyed, not leaked.
    if (HWND hOwn = reinterpret_cast<HWND>(SendMessage(LVM_GETTOOLTIPS)); hOwn != nullptr) {
        ::SendMessage(m_hWnd, LVM_SETTOOLTIPS, 0, 0);
        ::DestroyWindow(hOwn);
    }
    LVHITTESTINFO hit{};
    hit.pt = point;
    const int nItem = HitTest(&hit);
    if (nItem < 0 || !(hit.flags & LVHT_ONITEM))
        return -1;
    if (pTI != nullptr) {
        pTI->hwnd = m_hWnd;
        pTI->uId = static_cast<UINT_PTR>(nItem);
        GetItemRect(nItem, &pTI->rect, LVIR_BOUNDS);
        pTI->lpszText = LPSTR_TEXTCALLBACK;
    }
    return nItem;
}

BOOL CListCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    const bool tipText = pNMHDR != nullptr &&
                         (pNMHDR->code == TTN_NEEDTEXTA || pNMHDR->code == TTN_NEEDTEXTW);
    if (!tipText || pNMHDR->hwndFrom != AfxGetThreadToolTip() ||
        !(GetExtendedStyle() & LVS_EX_INFOTIP))
        return CWnd::OnNotify(wParam, lParam, pResult);

    // The tooltip copies the text when this returns; one tip shows at a time per thread.
    thread_local char szTip[INFOTIPSIZE];
    thread_local wchar_t wszTip[INFOTIPSIZE];
    szTip[0] = 0;
    NMLVGETINFOTIPA info{};
    info.hdr.hwndFrom = m_hWnd;
    info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
    info.hdr.code = LVN_GETINFOTIPA;
    info.dwFlags = LVGIT_UNFOLDED;
    info.pszText = szTip;
    info.cchTextMax = INFOTIPSIZE;
    info.iItem = static_cast<int>(pNMHDR->idFrom);
    ::SendMessage(::GetParent(m_hWnd), WM_NOTIFY, info.hdr.idFrom,
                  reinterpret_cast<LPARAM>(&info));
    szTip[INFOTIPSIZE - 1] = 0;
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->lpszText = szTip;
    } else {
        ::MultiByteToWideChar(CP_ACP, 0, szTip, -1, wszTip, INFOTIPSIZE);
        reinterpret_cast<NMTTDISPINFOW*>(pNMHDR)->lpszText = wszTip;
    }
    *pResult = 0;
    return TRUE;
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
