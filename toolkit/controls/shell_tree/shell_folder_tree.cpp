#include "toolkit/controls/shell_tree/shell_folder_tree.h"

#include <shellapi.h>

#include <cstring>

#include "framework/app.h"
#include "toolkit/controls/shell_tree/shell_tree_res.h"

namespace
{

constexpr UINT kCmdDelete = 18;  // after it the item no longer exists
constexpr UINT kCmdRename = 19;  // starts a label edit instead of being invoked
constexpr UINT kCmdRefresh = 27; // after it the item's children may have changed

// Whether the first element of an identifier list is exactly the element at lpElement.
bool SameFirstElement(LPCITEMIDLIST lpidl, LPCITEMIDLIST lpElement)
{
    if (lpidl == nullptr || lpElement == nullptr || lpidl->mkid.cb != lpElement->mkid.cb)
        return false;
    return std::memcmp(lpidl, lpElement, lpElement->mkid.cb) == 0;
}

// The element after lpidl's first (the terminator at the end).
LPCITEMIDLIST NextElement(LPCITEMIDLIST lpidl)
{
    return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(lpidl) + lpidl->mkid.cb);
}

} // namespace

IMPLEMENT_DYNAMIC(COXShellFolderTree, CTreeCtrl)

BEGIN_MESSAGE_MAP(COXShellFolderTree, CTreeCtrl)
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_RBUTTONUP()
ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
ON_WM_CAPTURECHANGED()
ON_NOTIFY_REFLECT_EX(NM_DBLCLK, OnDblClk)
ON_NOTIFY_REFLECT(TVN_ITEMEXPANDING, OnItemExpanding)
ON_NOTIFY_REFLECT_EX(TVN_BEGINLABELEDIT, OnBeginLabelEdit)
ON_NOTIFY_REFLECT(TVN_ENDLABELEDIT, OnEndLabelEdit)
ON_NOTIFY_REFLECT_EX(TVN_DELETEITEM, OnDeleteItem)
END_MESSAGE_MAP()

COXShellFolderTree::COXShellFolderTree(BOOL bShowPopupMenu, BOOL bOnlyFileSystemFolders,
                                       BOOL bNotifyError, BOOL bShowDesktopItem, BOOL bShowFiles,
                                       LPCTSTR lpszFilter)
    : m_bOnlyFileSystemFolders(bOnlyFileSystemFolders), m_bShowDesktopItem(bShowDesktopItem),
      m_bShowFiles(bShowFiles), m_bShowPopupMenu(bShowPopupMenu), m_bNotifyError(bNotifyError)
{
    SetStringList(lpszFilter);
}

COXShellFolderTree::~COXShellFolderTree()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
    m_navigator.FreeIDList(m_lpidlRoot);
}

void COXShellFolderTree::SetNotifyError(BOOL bNotify)
{
    m_bNotifyError = bNotify;
    if (::IsWindow(m_hWnd))
        m_navigator.SetOwnerWnd(bNotify ? this : nullptr);
}

HTREEITEM COXShellFolderTree::GetDesktopItem() const
{
    HTREEITEM hRoot = GetRootItem();
    return m_bShowDesktopItem && hRoot != nullptr && ItemRecord(hRoot) == nullptr ? hRoot : nullptr;
}

BOOL COXShellFolderTree::InitTree(LPCTSTR lpszRootPath)
{
    if (!::IsWindow(m_hWnd))
        return FALSE;
    m_navigator.SetOwnerWnd(m_bNotifyError ? this : nullptr);

    if (m_ilShell.GetSafeHandle() != nullptr)
        m_ilShell.DeleteImageList();
    m_mapImageIndex.RemoveAll();
    if (m_hSysImageList == nullptr)
        m_hSysImageList = m_navigator.GetSystemImageList(TRUE);
    if (m_hSysImageList == nullptr)
        return FALSE;

    IMAGEINFO info{};
    ::ImageList_GetImageInfo(m_hSysImageList, 0, &info);
    const int cx = info.rcImage.right - info.rcImage.left;
    const int cy = info.rcImage.bottom - info.rcImage.top;
    m_ilShell.Create(cx > 0 ? cx : 16, cy > 0 ? cy : 16, ILC_COLOR32 | ILC_MASK, 0, 0);
    if (HICON hIcon = ::ExtractIconA(AfxGetInstanceHandle(), "shell32.dll", 34)) {
        ::ImageList_AddIcon(m_ilShell, hIcon);
        ::DestroyIcon(hIcon);
    }
    SetImageList(m_ilShell, TVSIL_NORMAL);

    IShellFolder* lpFolder = m_navigator.GetFolder(lpszRootPath);
    LPITEMIDLIST lpidlRoot = nullptr;
    if (lpFolder == nullptr || !m_navigator.ParsePath(lpszRootPath, &lpidlRoot)) {
        if (lpFolder != nullptr)
            lpFolder->Release();
        return FALSE;
    }
    m_navigator.FreeIDList(m_lpidlRoot);
    m_lpidlRoot = lpidlRoot;

    SelectItem(nullptr);
    DeleteAllItems();

    HTREEITEM hParent = TVI_ROOT;
    if (m_bShowDesktopItem) {
        CString sDesktop;
        sDesktop.LoadString(IDS_OX_SHELLTREE_DESKTOP);
        TVINSERTSTRUCT tvis{};
        tvis.hParent = TVI_ROOT;
        tvis.hInsertAfter = TVI_LAST;
        tvis.item.mask =
            TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE | TVIF_PARAM;
        tvis.item.pszText = const_cast<LPTSTR>(static_cast<LPCTSTR>(sDesktop));
        tvis.item.cChildren = 1;
        tvis.item.state = TVIS_EXPANDED | TVIS_EXPANDEDONCE;
        tvis.item.stateMask = TVIS_EXPANDED | TVIS_EXPANDEDONCE;
        tvis.item.lParam = 0;
        hParent = InsertItem(&tvis);
    }
    FillChildren(hParent, lpFolder, m_lpidlRoot);
    lpFolder->Release();
    SortChildren(TVI_ROOT);
    return TRUE;
}

BOOL COXShellFolderTree::FillChildren(HTREEITEM hParent, IShellFolder* lpFolder,
                                      LPCITEMIDLIST lpidlFolder)
{
    CWaitCursor wait;
    if (!m_navigator.BeginEnumeration(lpFolder, lpidlFolder,
                                      SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN))
        return FALSE;
    for (;;) {
        BOOL bEnd = FALSE;
        LPNAMESPACEITEM lpItem = m_navigator.GetNextItem(bEnd);
        if (bEnd)
            break;
        if (lpItem == nullptr)
            continue;
        const ULONG a = lpItem->dwFlags;
        BOOL bKeep;
        if (m_bOnlyFileSystemFolders && m_bShowFiles)
            bKeep = (a & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) != 0;
        else if (m_bOnlyFileSystemFolders)
            bKeep = ((a & SFGAO_FILESYSANCESTOR) && (a & SFGAO_HASSUBFOLDER)) ||
                    ((a & SFGAO_FILESYSTEM) && (a & SFGAO_FOLDER));
        else if (m_bShowFiles)
            bKeep = TRUE;
        else
            bKeep = (a & (SFGAO_HASSUBFOLDER | SFGAO_FOLDER)) != 0;
        if (bKeep && (a & SFGAO_FILESYSTEM) && !(a & SFGAO_FOLDER))
            bKeep = IsFileShown(lpItem->szDisplayName);
        if (bKeep)
            bKeep = IsItemShown(lpItem);
        if (!bKeep) {
            m_navigator.FreeItem(lpItem);
            continue;
        }
        TVINSERTSTRUCT tvis{};
        tvis.hParent = hParent;
        tvis.hInsertAfter = TVI_LAST;
        tvis.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
        tvis.item.pszText = lpItem->szDisplayName;
        tvis.item.iImage = MapImage(lpItem->nImageSmall);
        tvis.item.iSelectedImage = MapImage(lpItem->nImageSelectedSmall);
        tvis.item.cChildren = ((a & (SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR)) ||
                               (m_bShowFiles && (a & SFGAO_FOLDER)))
                                  ? 1
                                  : 0;
        tvis.item.lParam = reinterpret_cast<LPARAM>(lpItem);
        if (InsertItem(&tvis) == nullptr)
            m_navigator.FreeItem(lpItem);
    }
    m_navigator.EndEnumeration();
    return TRUE;
}

int COXShellFolderTree::MapImage(int nSystemImage)
{
    int nImage = 0;
    if (m_mapImageIndex.Lookup(nSystemImage, nImage))
        return nImage;
    HICON hIcon = ::ImageList_GetIcon(m_hSysImageList, nSystemImage, ILD_TRANSPARENT);
    if (hIcon == nullptr)
        return 0;
    m_mapImageIndex[nSystemImage] = static_cast<int>(m_mapImageIndex.GetCount()) + 1;
    nImage = ::ImageList_AddIcon(m_ilShell, hIcon);
    ::DestroyIcon(hIcon);
    return nImage;
}

void COXShellFolderTree::SortChildren(HTREEITEM hItem)
{
    TVSORTCB sort{};
    sort.hParent = hItem;
    sort.lpfnCompare = &COXShellNamespaceNavigator::CompareItems;
    sort.lParam = 0;
    SortChildrenCB(&sort);
}

BOOL COXShellFolderTree::SelectPath(LPCTSTR lpszPath, BOOL bExpand)
{
    if (lpszPath == nullptr || *lpszPath == '\0')
        return TRUE;
    LPITEMIDLIST lpidl = nullptr;
    if (!m_navigator.ParsePath(lpszPath, &lpidl))
        return FALSE;
    BOOL bResult = SelectIDList(lpidl, bExpand);
    m_navigator.FreeIDList(lpidl);
    return bResult;
}

BOOL COXShellFolderTree::SelectIDList(LPCITEMIDLIST lpidl, BOOL bExpand)
{
    if (lpidl == nullptr || lpidl->mkid.cb == 0)
        return FALSE;
    // Under a root folder the tree holds the path's elements below the root. The shell
    // compares the leading part (identifiers carry times, so bytes may differ).
    LPCITEMIDLIST lpElement = lpidl;
    if (m_lpidlRoot != nullptr && m_lpidlRoot->mkid.cb != 0) {
        LPCITEMIDLIST lpBelow = lpidl;
        for (LPCITEMIDLIST p = m_lpidlRoot; p->mkid.cb != 0 && lpBelow->mkid.cb != 0;
             p = NextElement(p))
            lpBelow = NextElement(lpBelow);
        const UINT cbPrefix = static_cast<UINT>(reinterpret_cast<const BYTE*>(lpBelow) -
                                                reinterpret_cast<const BYTE*>(lpidl));
        IShellFolder* lpDesktop = nullptr;
        auto* lpPrefix = static_cast<LPITEMIDLIST>(::CoTaskMemAlloc(cbPrefix + sizeof(USHORT)));
        if (lpPrefix != nullptr && SUCCEEDED(::SHGetDesktopFolder(&lpDesktop))) {
            std::memcpy(lpPrefix, lpidl, cbPrefix);
            std::memset(reinterpret_cast<BYTE*>(lpPrefix) + cbPrefix, 0, sizeof(USHORT));
            HRESULT hr = lpDesktop->CompareIDs(0, m_lpidlRoot, lpPrefix);
            if (SUCCEEDED(hr) && HRESULT_CODE(hr) == 0)
                lpElement = lpBelow;
            lpDesktop->Release();
        }
        ::CoTaskMemFree(lpPrefix);
    }
    if (lpElement == nullptr || lpElement->mkid.cb == 0)
        return FALSE;

    HTREEITEM hItem = GetRootItem();
    if (GetDesktopItem() != nullptr)
        hItem = GetChildItem(hItem);
    BOOL bFound = FALSE;
    while (hItem != nullptr) {
        LPNAMESPACEITEM lpItem = ItemRecord(hItem);
        if (lpItem == nullptr || !SameItem(lpItem, lpElement)) {
            hItem = GetNextSiblingItem(hItem);
            continue;
        }
        bFound = TRUE;
        LPCITEMIDLIST lpNext = m_navigator.GetNextItemID(lpElement);
        if (lpNext != nullptr && lpNext->mkid.cb != 0) {
            Expand(hItem, TVE_EXPAND);
            lpElement = lpNext;
            hItem = GetChildItem(hItem);
            continue;
        }
        SelectItem(hItem);
        if (bExpand)
            Expand(hItem, TVE_EXPAND);
        EnsureVisible(hItem);
        break;
    }
    return bFound;
}

// The record's item is the element: byte for byte, or by its folder's own comparison (an item
// renamed here carries the identifiers the rename gave, which may differ in bytes from a parse).
BOOL COXShellFolderTree::SameItem(LPNAMESPACEITEM lpItem, LPCITEMIDLIST lpElement) const
{
    if (SameFirstElement(lpItem->lpidlRelative, lpElement))
        return TRUE;
    if (lpItem->lpsfParent == nullptr || lpItem->lpidlRelative == nullptr)
        return FALSE;
    const UINT cb = lpElement->mkid.cb;
    auto* lpSingle = static_cast<LPITEMIDLIST>(::CoTaskMemAlloc(cb + sizeof(USHORT)));
    if (lpSingle == nullptr)
        return FALSE;
    std::memcpy(lpSingle, lpElement, cb);
    std::memset(reinterpret_cast<BYTE*>(lpSingle) + cb, 0, sizeof(USHORT));
    HRESULT hr = lpItem->lpsfParent->CompareIDs(0, lpItem->lpidlRelative, lpSingle);
    ::CoTaskMemFree(lpSingle);
    return SUCCEEDED(hr) && HRESULT_CODE(hr) == 0;
}

CString COXShellFolderTree::GetItemPath(HTREEITEM hItem) const
{
    LPNAMESPACEITEM lpItem = ItemRecord(hItem);
    char sz[MAX_PATH] = "";
    if (lpItem == nullptr || lpItem->lpidlFullyQualified == nullptr ||
        !::SHGetPathFromIDListA(lpItem->lpidlFullyQualified, sz))
        return CString();
    return CString(sz);
}

BOOL COXShellFolderTree::RefreshItem(HTREEITEM hItem)
{
    if (hItem == nullptr)
        return FALSE;
    const BOOL bRoot = hItem == TVI_ROOT;
    const BOOL bWasExpanded = !bRoot && (GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    // A collapsed item is only marked for enumeration at its next expansion; the selection
    // has no reason to move.
    if (!bRoot && !bWasExpanded)
        return SetItemState(hItem, 0, TVIS_EXPANDEDONCE);

    const CString sSelected = GetItemPath(GetSelectedItem());
    SelectItem(nullptr);
    HTREEITEM hStart = nullptr;
    if (bRoot) {
        hStart = GetRootItem();
        if (hStart != nullptr && hStart == GetDesktopItem())
            hStart = GetChildItem(hStart);
    } else {
        hStart = GetChildItem(hItem);
    }
    if (hStart == nullptr)
        return TRUE;

    CStringArray arrExpanded;
    for (HTREEITEM h = hStart; h != nullptr; h = GetNextVisibleItem(h)) {
        if (GetItemState(h, TVIS_EXPANDED) & TVIS_EXPANDED) {
            CString sPath = GetItemPath(h);
            if (!sPath.IsEmpty())
                arrExpanded.Add(sPath);
        }
    }

    EnableRedraw(FALSE);
    if (bRoot) {
        InitTree("");
    } else {
        while (HTREEITEM hChild = GetChildItem(hItem))
            DeleteItem(hChild);
        SetItemState(hItem, 0, TVIS_EXPANDEDONCE);
        if (bWasExpanded) {
            Expand(hItem, TVE_COLLAPSE);
            Expand(hItem, TVE_EXPAND);
        }
    }
    for (INT_PTR i = 0; i < arrExpanded.GetSize(); ++i)
        SelectPath(arrExpanded[i], TRUE);
    if (!sSelected.IsEmpty())
        SelectPath(sSelected, FALSE);
    EnableRedraw(TRUE);
    return TRUE;
}

void COXShellFolderTree::EnableRedraw(BOOL bEnable)
{
    if (!bEnable) {
        if (m_nRedrawLock++ == 0)
            SetRedraw(FALSE);
        return;
    }
    if (m_nRedrawLock > 0)
        --m_nRedrawLock;
    if (m_nRedrawLock == 0) {
        SetRedraw(TRUE);
        Invalidate();
    }
}

void COXShellFolderTree::SetStringList(LPCTSTR lpszList)
{
    m_arrFilter.RemoveAll();
    CString sRest = lpszList != nullptr ? lpszList : "";
    if (sRest.IsEmpty())
        return;
    int nBar;
    while (!sRest.IsEmpty() && (nBar = sRest.Find('|')) >= 0) {
        CString sPart = sRest.Left(nBar);
        if (!sPart.IsEmpty())
            m_arrFilter.Add(sPart);
        sRest = sRest.Mid(nBar + 1);
    }
    m_arrFilter.Add(sRest);
}

BOOL COXShellFolderTree::IsFileShown(LPCTSTR lpszFileName)
{
    if (m_arrFilter.GetSize() == 0)
        return TRUE;
    CString sName = lpszFileName != nullptr ? lpszFileName : "";
    const int nDot = sName.Find('.');
    CString sExt = nDot >= 0 ? sName.Mid(nDot + 1) : sName;
    if (nDot == 0)
        sExt.Empty();
    for (INT_PTR i = 0; i < m_arrFilter.GetSize(); ++i)
        if (::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, sExt, -1, m_arrFilter[i], -1) ==
            CSTR_EQUAL)
            return TRUE;
    return FALSE;
}

// Hover of the right button: the item under it looks selected (or drop-highlighted) while the
// real selection keeps its place.
void COXShellFolderTree::ShowHoverLook(HTREEITEM hItem, BOOL bOn)
{
    if (hItem == nullptr)
        return;
    if (hItem == GetSelectedItem())
        SetItemState(hItem, bOn ? TVIS_SELECTED : 0, TVIS_SELECTED);
    else
        SetItemState(hItem, bOn ? TVIS_DROPHILITED : 0, TVIS_DROPHILITED);
}

void COXShellFolderTree::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_bEditingLabel) {
        SetFocus();
        return;
    }
    Default();
}

void COXShellFolderTree::OnRButtonDown(UINT nFlags, CPoint point)
{
    if (!m_bShowPopupMenu) {
        Default();
        return;
    }
    m_hHotItem = HitTest(point);
    HTREEITEM hSelected = GetSelectedItem();
    if (m_hHotItem != nullptr && m_hHotItem != hSelected) {
        if (hSelected != nullptr)
            SetItemState(hSelected, 0, TVIS_SELECTED);
        SetItemState(m_hHotItem, TVIS_DROPHILITED, TVIS_DROPHILITED);
    }
    SetCapture();
}

void COXShellFolderTree::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bShowPopupMenu && (nFlags & MK_RBUTTON) && GetCapture() == this && !m_bShowingMenu) {
        HTREEITEM hItem = HitTest(point);
        if (hItem != m_hHotItem) {
            ShowHoverLook(m_hHotItem, FALSE);
            m_hHotItem = hItem;
            ShowHoverLook(m_hHotItem, TRUE);
        }
    }
    Default();
}

void COXShellFolderTree::OnRButtonUp(UINT nFlags, CPoint point)
{
    if (!m_bShowPopupMenu) {
        Default();
        return;
    }
    m_bShowingMenu = TRUE;
    LPNAMESPACEITEM lpItem = ItemRecord(m_hHotItem);
    if (lpItem != nullptr) {
        UINT nFlagsMenu = CMF_EXPLORE;
        if ((GetStyle() & TVS_EDITLABELS) && (lpItem->dwFlags & SFGAO_CANRENAME))
            nFlagsMenu |= CMF_CANRENAME;
        if (HMENU hMenu =
                m_navigator.GetContextMenu(lpItem->lpsfParent, lpItem->lpidlRelative, nFlagsMenu)) {
            CPoint ptScreen = point;
            ClientToScreen(&ptScreen);
            UINT nCmd = static_cast<UINT>(
                ::TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, ptScreen.x,
                                 ptScreen.y, 0, m_hWnd, nullptr));
            if (nCmd == kCmdRename) {
                EditLabel(m_hHotItem);
            } else if (nCmd != 0 &&
                       m_navigator.InvokeCommand(lpItem->lpsfParent, lpItem->lpidlRelative, nCmd,
                                                 nFlagsMenu)) {
                if (nCmd == kCmdDelete) {
                    HTREEITEM hGone = m_hHotItem;
                    m_hHotItem = nullptr;
                    DeleteItem(hGone);
                } else if (nCmd == kCmdRefresh) {
                    RefreshItem(m_hHotItem);
                }
            }
            ::DestroyMenu(hMenu);
        }
    }
    m_bShowingMenu = FALSE;
    if (GetCapture() == this)
        ::ReleaseCapture();
    else
        EndHover();
}

void COXShellFolderTree::EndHover()
{
    if (m_bShowingMenu)
        return;
    HTREEITEM hSelected = GetSelectedItem();
    if (m_hHotItem != nullptr && hSelected != m_hHotItem) {
        if (hSelected != nullptr)
            SetItemState(hSelected, TVIS_SELECTED, TVIS_SELECTED);
        SetItemState(m_hHotItem, 0, TVIS_DROPHILITED);
    }
    m_hHotItem = nullptr;
}

LRESULT COXShellFolderTree::OnCancelMode(WPARAM, LPARAM)
{
    LRESULT lResult = Default();
    EndHover();
    return lResult;
}

void COXShellFolderTree::OnCaptureChanged(CWnd* pWnd)
{
    Default();
    EndHover();
}

BOOL COXShellFolderTree::OnDblClk(NMHDR* pNotify, LRESULT* pResult)
{
    *pResult = 0;
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    LPNAMESPACEITEM lpItem = ItemRecord(HitTest(point));
    if (lpItem != nullptr && !(lpItem->dwFlags & SFGAO_FOLDER))
        m_navigator.InvokeDefaultCommand(lpItem->lpsfParent, lpItem->lpidlRelative);
    return FALSE;
}

void COXShellFolderTree::OnItemExpanding(NMHDR* pNotify, LRESULT* pResult)
{
    *pResult = 0;
    auto* pnmtv = reinterpret_cast<NMTREEVIEW*>(pNotify);
    HTREEITEM hItem = pnmtv->itemNew.hItem;
    if (GetItemState(hItem, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE)
        return;
    LPNAMESPACEITEM lpItem = ItemRecord(hItem);
    if (lpItem == nullptr)
        return;
    CWaitCursor wait;
    IShellFolder* lpFolder = m_navigator.BindToFolder(lpItem->lpsfParent, lpItem->lpidlRelative);
    if (lpFolder == nullptr)
        return;
    // Enumerated again after a refresh of the collapsed item: the old children go first.
    while (HTREEITEM hChild = GetChildItem(hItem))
        DeleteItem(hChild);
    FillChildren(hItem, lpFolder, lpItem->lpidlFullyQualified);
    lpFolder->Release();
    SortChildren(hItem);
}

BOOL COXShellFolderTree::OnBeginLabelEdit(NMHDR* pNotify, LRESULT* pResult)
{
    auto* pInfo = reinterpret_cast<NMTVDISPINFO*>(pNotify);
    LPNAMESPACEITEM lpItem = ItemRecord(pInfo->item.hItem);
    if (lpItem == nullptr || !(lpItem->dwFlags & SFGAO_CANRENAME)) {
        *pResult = 1;
        return TRUE;
    }
    *pResult = 0;
    m_bEditingLabel = TRUE;
    return FALSE;
}

void COXShellFolderTree::OnEndLabelEdit(NMHDR* pNotify, LRESULT* pResult)
{
    CWaitCursor wait;
    auto* pInfo = reinterpret_cast<NMTVDISPINFO*>(pNotify);
    *pResult = 0;
    LPNAMESPACEITEM lpItem = ItemRecord(pInfo->item.hItem);
    LPITEMIDLIST lpidlNew = nullptr;
    if (lpItem != nullptr && pInfo->item.pszText != nullptr && *pInfo->item.pszText != '\0' &&
        m_navigator.Rename(lpItem->lpsfParent, lpItem->lpidlRelative, &lpidlNew,
                           pInfo->item.pszText) &&
        lpidlNew != nullptr) {
        m_navigator.FreeIDList(lpItem->lpidlRelative);
        lpItem->lpidlRelative = lpidlNew;
        LPNAMESPACEITEM lpParent = ItemRecord(GetParentItem(pInfo->item.hItem));
        LPITEMIDLIST lpidlFull =
            lpParent != nullptr ? m_navigator.ConcatIDLists(lpParent->lpidlFullyQualified, lpidlNew)
            : m_lpidlRoot != nullptr ? m_navigator.ConcatIDLists(m_lpidlRoot, lpidlNew)
                                     : m_navigator.CopyIDList(lpidlNew);
        m_navigator.FreeIDList(lpItem->lpidlFullyQualified);
        lpItem->lpidlFullyQualified = lpidlFull;
        CString sName = m_navigator.GetDisplayName(lpItem->lpsfParent, lpidlNew);
        ::lstrcpynA(lpItem->szDisplayName, sName.IsEmpty() ? pInfo->item.pszText : sName, MAX_PATH);
        *pResult = 1;
    }
    m_bEditingLabel = FALSE;
}

// Every item owns its record: it goes with the item.
BOOL COXShellFolderTree::OnDeleteItem(NMHDR* pNotify, LRESULT* pResult)
{
    auto* pnmtv = reinterpret_cast<NMTREEVIEW*>(pNotify);
    if (auto* lpItem = reinterpret_cast<LPNAMESPACEITEM>(pnmtv->itemOld.lParam))
        m_navigator.FreeItem(lpItem);
    *pResult = 0;
    return FALSE;
}
