// COXShellNamespaceNavigator: paths to item identifier lists, folder enumeration into item
// records, the shell's context menus and renaming, and identifier-list arithmetic. Every
// identifier list and record it returns is allocated with the shell's task allocator and
// belongs to the caller.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include "framework/collections.h"
#include "framework/strings.h"
#include "framework/wnd.h"

// One enumerated item. Allocated with the shell allocator; the parent folder holds a reference.
struct NAMESPACEITEM {
    IShellFolder* lpsfParent;
    LPITEMIDLIST lpidlRelative;
    LPITEMIDLIST lpidlFullyQualified;
    ULONG dwFlags;
    char szDisplayName[MAX_PATH];
    int nImage;
    int nImageSelected;
    int nImageSmall;
    int nImageSelectedSmall;
};
typedef NAMESPACEITEM* LPNAMESPACEITEM;

class COXShellNamespaceNavigator {
public:
    COXShellNamespaceNavigator();
    COXShellNamespaceNavigator(const COXShellNamespaceNavigator&) = delete;
    COXShellNamespaceNavigator& operator=(const COXShellNamespaceNavigator&) = delete;
    virtual ~COXShellNamespaceNavigator();

    // The window every shell call gets as its owner; none keeps the shell silent.
    void SetOwnerWnd(CWnd* pWnd) { m_pOwnerWnd = pWnd; }
    CWnd* GetOwnerWnd() const { return m_pOwnerWnd; }

    HIMAGELIST GetSystemImageList(BOOL bSmall) const;

    BOOL ParsePath(LPCTSTR lpszPath, LPITEMIDLIST* lplpidl) const;
    IShellFolder* GetFolder(LPCTSTR lpszPath);
    IShellFolder* BindToFolder(IShellFolder* lpParentFolder, LPCITEMIDLIST lpidlRelative) const;

    BOOL BeginEnumeration(IShellFolder* lpFolder, LPCITEMIDLIST lpidlFolder, DWORD dwFlags);
    LPNAMESPACEITEM GetNextItem(BOOL& bEnd);
    BOOL EndEnumeration();
    BOOL IsEnumerating() const { return m_bEnumerating; }

    LPNAMESPACEITEM MakeItem(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative,
                             LPCITEMIDLIST lpidlFullyQualified) const;
    // Releases what a record holds, then the record itself.
    void FreeItem(LPNAMESPACEITEM lpItem) const;
    CString GetDisplayName(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative) const;

    HMENU GetContextMenu(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative, UINT nFlags) const;
    BOOL InvokeCommand(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative, UINT nCmdID,
                       UINT nFlags) const;
    BOOL InvokeDefaultCommand(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative) const;
    BOOL Rename(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative, LPITEMIDLIST* lplpidlNew,
                LPCTSTR lpszNewName) const;

    LPITEMIDLIST GetNextItemID(LPCITEMIDLIST lpidl) const;
    UINT GetIDListSize(LPCITEMIDLIST lpidl) const;
    LPITEMIDLIST CopyIDList(LPCITEMIDLIST lpidl) const;
    LPITEMIDLIST ConcatIDLists(LPCITEMIDLIST lpidlFirst, LPCITEMIDLIST lpidlSecond) const;
    void FreeIDList(LPITEMIDLIST lpidl) const;

    // Tree sort callback over two records: the first record's parent folder orders them.
    static int CALLBACK CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

protected:
    HWND OwnerHwnd() const { return m_pOwnerWnd != nullptr ? m_pOwnerWnd->GetSafeHwnd() : nullptr; }
    IContextMenu* GetContextMenuObject(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative) const;

    CWnd* m_pOwnerWnd = nullptr;
    IEnumIDList* m_lpEnumIDList = nullptr;
    BOOL m_bEnumerating = FALSE;
    IShellFolder* m_lpEnumFolder = nullptr;
    LPCITEMIDLIST m_lpidlEnumFolder = nullptr;
    CMap<LPITEMIDLIST, LPITEMIDLIST, BOOL, BOOL> m_mapIDLists{10};
    CMap<IShellFolder*, IShellFolder*, BOOL, BOOL> m_mapFolders{10};
    BOOL m_bReleaseRecorded = FALSE;
    IMalloc* m_pMalloc = nullptr;
};
