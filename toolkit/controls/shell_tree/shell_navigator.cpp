#include "toolkit/controls/shell_tree/shell_navigator.h"

#include <cstring>

#include "framework/exceptions.h"

namespace
{

// The path as the shell's wide text, cut at MAX_PATH characters.
void ToWide(LPCTSTR lpsz, WCHAR (&wsz)[MAX_PATH])
{
    wsz[0] = 0;
    if (lpsz != nullptr && ::MultiByteToWideChar(CP_ACP, 0, lpsz, -1, wsz, MAX_PATH) == 0)
        wsz[MAX_PATH - 1] = 0;
}

} // namespace

COXShellNamespaceNavigator::COXShellNamespaceNavigator()
{
    if (FAILED(::SHGetMalloc(&m_pMalloc)) || m_pMalloc == nullptr)
        AfxThrowMemoryException();
}

COXShellNamespaceNavigator::~COXShellNamespaceNavigator()
{
    if (m_bReleaseRecorded) {
        POSITION pos = m_mapIDLists.GetStartPosition();
        while (pos != nullptr) {
            LPITEMIDLIST lpidl = nullptr;
            BOOL b = FALSE;
            m_mapIDLists.GetNextAssoc(pos, lpidl, b);
            FreeIDList(lpidl);
        }
        pos = m_mapFolders.GetStartPosition();
        while (pos != nullptr) {
            IShellFolder* lpFolder = nullptr;
            BOOL b = FALSE;
            m_mapFolders.GetNextAssoc(pos, lpFolder, b);
            lpFolder->Release();
        }
    }
    m_mapIDLists.RemoveAll();
    m_mapFolders.RemoveAll();
    if (m_bEnumerating)
        EndEnumeration();
    m_pMalloc->Release();
}

HIMAGELIST COXShellNamespaceNavigator::GetSystemImageList(BOOL bSmall) const
{
    SHFILEINFOA sfi{};
    UINT nFlags = SHGFI_SYSICONINDEX | (bSmall ? SHGFI_SMALLICON : 0);
    return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA("", 0, &sfi, sizeof(sfi), nFlags));
}

BOOL COXShellNamespaceNavigator::ParsePath(LPCTSTR lpszPath, LPITEMIDLIST* lplpidl) const
{
    *lplpidl = nullptr;
    if (lpszPath == nullptr || *lpszPath == '\0')
        return TRUE;
    IShellFolder* lpDesktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&lpDesktop)) || lpDesktop == nullptr)
        return FALSE;
    WCHAR wszPath[MAX_PATH];
    ToWide(lpszPath, wszPath);
    ULONG nEaten = 0;
    LPITEMIDLIST lpidlShell = nullptr;
    HRESULT hr =
        lpDesktop->ParseDisplayName(OwnerHwnd(), nullptr, wszPath, &nEaten, &lpidlShell, nullptr);
    lpDesktop->Release();
    if (FAILED(hr) || lpidlShell == nullptr)
        return FALSE;
    *lplpidl = CopyIDList(lpidlShell);
    ::CoTaskMemFree(lpidlShell);
    return *lplpidl != nullptr;
}

IShellFolder* COXShellNamespaceNavigator::GetFolder(LPCTSTR lpszPath)
{
    IShellFolder* lpDesktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&lpDesktop)) || lpDesktop == nullptr)
        return nullptr;
    IShellFolder* lpFolder = lpDesktop;
    LPITEMIDLIST lpidl = nullptr;
    if (lpszPath != nullptr && *lpszPath != '\0' && ParsePath(lpszPath, &lpidl) && lpidl != nullptr) {
        IShellFolder* lpBound = BindToFolder(lpDesktop, lpidl);
        FreeIDList(lpidl);
        if (lpBound != nullptr) {
            lpDesktop->Release();
            lpFolder = lpBound;
        }
    }
    m_mapFolders[lpFolder] = TRUE;
    return lpFolder;
}

IShellFolder* COXShellNamespaceNavigator::BindToFolder(IShellFolder* lpParentFolder,
                                                       LPCITEMIDLIST lpidlRelative) const
{
    if (lpParentFolder == nullptr || lpidlRelative == nullptr)
        return nullptr;
    IShellFolder* lpFolder = nullptr;
    if (FAILED(lpParentFolder->BindToObject(lpidlRelative, nullptr, IID_IShellFolder,
                                            reinterpret_cast<void**>(&lpFolder))))
        return nullptr;
    return lpFolder;
}

BOOL COXShellNamespaceNavigator::BeginEnumeration(IShellFolder* lpFolder, LPCITEMIDLIST lpidlFolder,
                                                  DWORD dwFlags)
{
    if (m_bEnumerating || lpFolder == nullptr)
        return FALSE;
    IEnumIDList* lpEnum = nullptr;
    if (FAILED(lpFolder->EnumObjects(OwnerHwnd(), dwFlags, &lpEnum)))
        return FALSE;
    // S_FALSE with no enumerator is an empty folder: the enumeration simply ends at once.
    m_lpEnumIDList = lpEnum;
    if (m_lpEnumIDList != nullptr)
        m_lpEnumIDList->Reset();
    m_lpEnumFolder = lpFolder;
    m_lpidlEnumFolder = lpidlFolder;
    m_bEnumerating = TRUE;
    return TRUE;
}

LPNAMESPACEITEM COXShellNamespaceNavigator::GetNextItem(BOOL& bEnd)
{
    bEnd = FALSE;
    LPITEMIDLIST lpidl = nullptr;
    ULONG nFetched = 0;
    if (!m_bEnumerating || m_lpEnumIDList == nullptr ||
        m_lpEnumIDList->Next(1, &lpidl, &nFetched) != S_OK || lpidl == nullptr) {
        bEnd = TRUE;
        return nullptr;
    }
    LPITEMIDLIST lpidlFull = ConcatIDLists(m_lpidlEnumFolder, lpidl);
    LPNAMESPACEITEM lpItem = MakeItem(m_lpEnumFolder, lpidl, lpidlFull);
    FreeIDList(lpidlFull);
    ::CoTaskMemFree(lpidl);
    return lpItem;
}

BOOL COXShellNamespaceNavigator::EndEnumeration()
{
    if (!m_bEnumerating)
        return FALSE;
    if (m_lpEnumIDList != nullptr)
        m_lpEnumIDList->Release();
    m_lpEnumIDList = nullptr;
    m_lpEnumFolder = nullptr;
    m_lpidlEnumFolder = nullptr;
    m_bEnumerating = FALSE;
    return TRUE;
}

LPNAMESPACEITEM COXShellNamespaceNavigator::MakeItem(IShellFolder* lpFolder,
                                                     LPCITEMIDLIST lpidlRelative,
                                                     LPCITEMIDLIST lpidlFullyQualified) const
{
    if (lpFolder == nullptr || lpidlRelative == nullptr)
        return nullptr;
    ULONG dwAttributes = 0xFFFFFFFF;
    LPCITEMIDLIST apidl[1] = {lpidlRelative};
    if (FAILED(lpFolder->GetAttributesOf(1, apidl, &dwAttributes)))
        dwAttributes = 0;

    auto* lpItem = static_cast<LPNAMESPACEITEM>(m_pMalloc->Alloc(sizeof(NAMESPACEITEM)));
    if (lpItem == nullptr)
        return nullptr;
    std::memset(lpItem, 0, sizeof(NAMESPACEITEM));
    lpItem->lpsfParent = lpFolder;
    lpFolder->AddRef();
    lpItem->lpidlRelative = CopyIDList(lpidlRelative);
    lpItem->lpidlFullyQualified = CopyIDList(lpidlFullyQualified);
    lpItem->dwFlags = dwAttributes;

    // A record without a name is of no use to anyone: give back all it holds.
    CString sName = GetDisplayName(lpFolder, lpidlRelative);
    if (sName.IsEmpty() || lpItem->lpidlRelative == nullptr) {
        FreeItem(lpItem);
        return nullptr;
    }
    ::lstrcpynA(lpItem->szDisplayName, sName, MAX_PATH);

    struct {
        UINT nExtra;
        int* pIndex;
    } const icons[] = {
        {SHGFI_SMALLICON, &lpItem->nImageSmall},
        {SHGFI_SMALLICON | SHGFI_OPENICON, &lpItem->nImageSelectedSmall},
        {0, &lpItem->nImage},
        {SHGFI_OPENICON, &lpItem->nImageSelected},
    };
    for (const auto& icon : icons) {
        SHFILEINFOA sfi{};
        ::SHGetFileInfoA(reinterpret_cast<LPCSTR>(lpItem->lpidlFullyQualified), 0, &sfi, sizeof(sfi),
                         SHGFI_PIDL | SHGFI_SYSICONINDEX | icon.nExtra);
        *icon.pIndex = sfi.iIcon;
    }
    return lpItem;
}

void COXShellNamespaceNavigator::FreeItem(LPNAMESPACEITEM lpItem) const
{
    if (lpItem == nullptr)
        return;
    if (lpItem->lpsfParent != nullptr)
        lpItem->lpsfParent->Release();
    FreeIDList(lpItem->lpidlRelative);
    FreeIDList(lpItem->lpidlFullyQualified);
    m_pMalloc->Free(lpItem);
}

CString COXShellNamespaceNavigator::GetDisplayName(IShellFolder* lpFolder,
                                                   LPCITEMIDLIST lpidlRelative) const
{
    CString sName;
    STRRET str{};
    if (lpFolder == nullptr ||
        FAILED(lpFolder->GetDisplayNameOf(lpidlRelative, SHGDN_NORMAL, &str)))
        return sName;
    char szName[MAX_PATH] = "";
    switch (str.uType) {
    case STRRET_WSTR:
        if (str.pOleStr != nullptr) {
            if (::WideCharToMultiByte(CP_ACP, 0, str.pOleStr, -1, szName, MAX_PATH, nullptr,
                                      nullptr) == 0)
                szName[MAX_PATH - 1] = '\0';
            ::CoTaskMemFree(str.pOleStr);
        }
        break;
    case STRRET_OFFSET:
        ::lstrcpynA(szName, reinterpret_cast<LPCSTR>(lpidlRelative) + str.uOffset, MAX_PATH);
        break;
    case STRRET_CSTR:
        ::lstrcpynA(szName, str.cStr, MAX_PATH);
        break;
    default:
        break;
    }
    sName = szName;
    return sName;
}

IContextMenu* COXShellNamespaceNavigator::GetContextMenuObject(IShellFolder* lpFolder,
                                                               LPCITEMIDLIST lpidlRelative) const
{
    if (lpFolder == nullptr || lpidlRelative == nullptr)
        return nullptr;
    IContextMenu* lpcm = nullptr;
    LPCITEMIDLIST apidl[1] = {lpidlRelative};
    if (FAILED(lpFolder->GetUIObjectOf(OwnerHwnd(), 1, apidl, IID_IContextMenu, nullptr,
                                       reinterpret_cast<void**>(&lpcm))))
        return nullptr;
    return lpcm;
}

HMENU COXShellNamespaceNavigator::GetContextMenu(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative,
                                                 UINT nFlags) const
{
    IContextMenu* lpcm = GetContextMenuObject(lpFolder, lpidlRelative);
    if (lpcm == nullptr)
        return nullptr;
    HMENU hMenu = ::CreatePopupMenu();
    if (hMenu != nullptr && FAILED(lpcm->QueryContextMenu(hMenu, 0, 1, 0x7FFF, nFlags))) {
        ::DestroyMenu(hMenu);
        hMenu = nullptr;
    }
    lpcm->Release();
    return hMenu;
}

BOOL COXShellNamespaceNavigator::InvokeCommand(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative,
                                               UINT nCmdID, UINT nFlags) const
{
    if (nCmdID == 0)
        return FALSE;
    IContextMenu* lpcm = GetContextMenuObject(lpFolder, lpidlRelative);
    if (lpcm == nullptr)
        return FALSE;
    BOOL bResult = FALSE;
    HMENU hMenu = ::CreatePopupMenu();
    if (hMenu != nullptr && SUCCEEDED(lpcm->QueryContextMenu(hMenu, 0, 1, 0x7FFF, nFlags))) {
        CMINVOKECOMMANDINFO ici{};
        ici.cbSize = sizeof(ici);
        ici.fMask = 0;
        ici.hwnd = OwnerHwnd();
        ici.lpVerb = MAKEINTRESOURCEA(nCmdID - 1);
        ici.nShow = SW_SHOWNORMAL;
        bResult = SUCCEEDED(lpcm->InvokeCommand(&ici));
    }
    if (hMenu != nullptr)
        ::DestroyMenu(hMenu);
    lpcm->Release();
    return bResult;
}

BOOL COXShellNamespaceNavigator::InvokeDefaultCommand(IShellFolder* lpFolder,
                                                      LPCITEMIDLIST lpidlRelative) const
{
    HMENU hMenu = GetContextMenu(lpFolder, lpidlRelative, CMF_DEFAULTONLY);
    if (hMenu == nullptr)
        return FALSE;
    UINT nDefault = static_cast<UINT>(-1);
    if (::GetMenuItemCount(hMenu) > 0)
        nDefault = ::GetMenuDefaultItem(hMenu, FALSE, GMDI_GOINTOPOPUPS);
    ::DestroyMenu(hMenu);
    if (nDefault == static_cast<UINT>(-1))
        return FALSE;
    return InvokeCommand(lpFolder, lpidlRelative, nDefault, CMF_DEFAULTONLY);
}

BOOL COXShellNamespaceNavigator::Rename(IShellFolder* lpFolder, LPCITEMIDLIST lpidlRelative,
                                        LPITEMIDLIST* lplpidlNew, LPCTSTR lpszNewName) const
{
    if (lplpidlNew != nullptr)
        *lplpidlNew = nullptr;
    if (lpFolder == nullptr || lpidlRelative == nullptr)
        return FALSE;
    WCHAR wszName[MAX_PATH];
    ToWide(lpszNewName, wszName);
    return SUCCEEDED(
        lpFolder->SetNameOf(OwnerHwnd(), lpidlRelative, wszName, SHGDN_INFOLDER, lplpidlNew));
}

LPITEMIDLIST COXShellNamespaceNavigator::GetNextItemID(LPCITEMIDLIST lpidl) const
{
    if (lpidl == nullptr || lpidl->mkid.cb == 0)
        return nullptr;
    auto* lpNext = reinterpret_cast<LPITEMIDLIST>(
        const_cast<BYTE*>(reinterpret_cast<const BYTE*>(lpidl)) + lpidl->mkid.cb);
    return lpNext->mkid.cb == 0 ? nullptr : lpNext;
}

UINT COXShellNamespaceNavigator::GetIDListSize(LPCITEMIDLIST lpidl) const
{
    if (lpidl == nullptr)
        return 0;
    UINT nSize = sizeof(USHORT);
    for (auto* p = reinterpret_cast<const BYTE*>(lpidl);
         reinterpret_cast<LPCITEMIDLIST>(p)->mkid.cb != 0;
         p += reinterpret_cast<LPCITEMIDLIST>(p)->mkid.cb)
        nSize += reinterpret_cast<LPCITEMIDLIST>(p)->mkid.cb;
    return nSize;
}

LPITEMIDLIST COXShellNamespaceNavigator::CopyIDList(LPCITEMIDLIST lpidl) const
{
    if (lpidl == nullptr)
        return nullptr;
    const UINT nSize = GetIDListSize(lpidl);
    auto* lpCopy = static_cast<LPITEMIDLIST>(m_pMalloc->Alloc(nSize));
    if (lpCopy != nullptr)
        std::memcpy(lpCopy, lpidl, nSize);
    return lpCopy;
}

LPITEMIDLIST COXShellNamespaceNavigator::ConcatIDLists(LPCITEMIDLIST lpidlFirst,
                                                       LPCITEMIDLIST lpidlSecond) const
{
    if (lpidlFirst == nullptr)
        return CopyIDList(lpidlSecond);
    if (lpidlSecond == nullptr)
        return CopyIDList(lpidlFirst);
    const UINT nFirst = GetIDListSize(lpidlFirst) - sizeof(USHORT);
    const UINT nSecond = GetIDListSize(lpidlSecond);
    auto* lpNew = static_cast<BYTE*>(m_pMalloc->Alloc(nFirst + nSecond));
    if (lpNew == nullptr)
        return nullptr;
    std::memcpy(lpNew, lpidlFirst, nFirst);
    std::memcpy(lpNew + nFirst, lpidlSecond, nSecond);
    return reinterpret_cast<LPITEMIDLIST>(lpNew);
}

void COXShellNamespaceNavigator::FreeIDList(LPITEMIDLIST lpidl) const
{
    if (lpidl != nullptr)
        m_pMalloc->Free(lpidl);
}

int CALLBACK COXShellNamespaceNavigator::CompareItems(LPARAM lParam1, LPARAM lParam2,
                                                      LPARAM /*lParamSort*/)
{
    auto* lpItem1 = reinterpret_cast<LPNAMESPACEITEM>(lParam1);
    auto* lpItem2 = reinterpret_cast<LPNAMESPACEITEM>(lParam2);
    if (lpItem1 == nullptr || lpItem2 == nullptr || lpItem1->lpsfParent == nullptr)
        return 0;
    HRESULT hr = lpItem1->lpsfParent->CompareIDs(0, lpItem1->lpidlRelative, lpItem2->lpidlRelative);
    if (FAILED(hr))
        return 0;
    return static_cast<short>(HRESULT_CODE(hr));
}
