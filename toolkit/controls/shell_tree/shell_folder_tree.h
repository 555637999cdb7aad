// COXShellFolderTree: a tree view of the shell namespace with the shell's own icons. Folders are
// enumerated on first expansion; the tree can keep to file-system folders, show files filtered
// by extension, show the shell's context menu, rename through label editing and rebuild itself
// keeping the expanded folders and the selection.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/collections.h"
#include "framework/controls.h"
#include "framework/treectrl.h"
#include "toolkit/controls/shell_tree/shell_navigator.h"

class COXShellFolderTree : public CTreeCtrl
{
    DECLARE_DYNAMIC(COXShellFolderTree)
public:
    COXShellFolderTree(BOOL bShowPopupMenu = TRUE, BOOL bOnlyFileSystemFolders = TRUE,
                       BOOL bNotifyError = TRUE, BOOL bShowDesktopItem = TRUE,
                       BOOL bShowFiles = FALSE, LPCTSTR lpszFilter = "");
    ~COXShellFolderTree() override;

    // (Re)builds the whole tree from the folder at the path; empty means the Desktop.
    BOOL InitTree(LPCTSTR lpszRootPath = "");
    // Re-enumerates one item, or with TVI_ROOT rebuilds the whole tree from the Desktop, keeping
    // the expanded folders and the selection.
    BOOL RefreshItem(HTREEITEM hItem);
    // Selects the item of a folder, expanding the levels above it.
    BOOL SelectPath(LPCTSTR lpszPath, BOOL bExpand = FALSE);
    // The file-system path of an item; empty for the Desktop item and virtual folders.
    CString GetItemPath(HTREEITEM hItem) const;
    // The extensions shown with show files, from a "|"-separated text.
    void SetStringList(LPCTSTR lpszList);
    BOOL FillChildren(HTREEITEM hParent, IShellFolder* lpFolder, LPCITEMIDLIST lpidlFolder);
    void SortChildren(HTREEITEM hItem);
    void EnableRedraw(BOOL bEnable);

    COXShellNamespaceNavigator* GetNavigator() { return &m_navigator; }
    HTREEITEM GetDesktopItem() const;

    // Hooks of a derived tree: drop an item, filter a file by its name.
    virtual BOOL IsItemShown(LPNAMESPACEITEM lpNameSpaceItem) { return TRUE; }
    virtual BOOL IsFileShown(LPCTSTR lpszFileName);

    // Options; after changing the first three the caller refreshes the whole tree, after the
    // last it sets the navigator's owner window (SetNotifyError does both).
    BOOL m_bOnlyFileSystemFolders;
    BOOL m_bShowDesktopItem;
    BOOL m_bShowFiles;
    BOOL m_bShowPopupMenu;
    BOOL m_bNotifyError;
    void SetNotifyError(BOOL bNotify);

protected:
    void PreSubclassWindow() override {}
    BOOL PreCreateWindow(CREATESTRUCT& cs) override { return CWnd::PreCreateWindow(cs); }

    BOOL SelectIDList(LPCITEMIDLIST lpidl, BOOL bExpand);
    BOOL SameItem(LPNAMESPACEITEM lpItem, LPCITEMIDLIST lpElement) const;
    int MapImage(int nSystemImage);
    void EndHover();
    void ShowHoverLook(HTREEITEM hItem, BOOL bOn);
    LPNAMESPACEITEM ItemRecord(HTREEITEM hItem) const
    {
        return hItem != nullptr ? reinterpret_cast<LPNAMESPACEITEM>(GetItemData(hItem)) : nullptr;
    }

    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    LRESULT OnCancelMode(WPARAM, LPARAM);
    void OnCaptureChanged(CWnd* pWnd);
    BOOL OnDblClk(NMHDR* pNotify, LRESULT* pResult);
    void OnItemExpanding(NMHDR* pNotify, LRESULT* pResult);
    BOOL OnBeginLabelEdit(NMHDR* pNotify, LRESULT* pResult);
    void OnEndLabelEdit(NMHDR* pNotify, LRESULT* pResult);
    BOOL OnDeleteItem(NMHDR* pNotify, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    COXShellNamespaceNavigator m_navigator;
    CImageList m_ilShell;
    HIMAGELIST m_hSysImageList = nullptr;
    CMap<int, int, int, int> m_mapImageIndex{10};
    CStringArray m_arrFilter;
    int m_nRedrawLock = 0;
    BOOL m_bEditingLabel = FALSE;
    HTREEITEM m_hHotItem = nullptr;
    BOOL m_bShowingMenu = FALSE;
    // The root folder's identifiers (none for the Desktop): paths under a root are found
    // below it, and renamed top items get their absolute identifiers from it.
    LPITEMIDLIST m_lpidlRoot = nullptr;
};
