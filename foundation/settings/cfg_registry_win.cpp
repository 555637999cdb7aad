// The settings store's registry part. Layout under the key: one REG_SZ value per scalar
// setting; one subkey per list setting holding "N" (the count) and "0", "1", ... (the items).
// The older list form, one value "a|b|c|", is read and never written.
#include "foundation/settings/cfg_base.h"

#include <vector>

namespace {

const REGSAM kWriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
const DWORD kNameSize = 260;    // names of up to 259 characters
const DWORD kDataSize = 16300;  // value data read at most
const DWORD kCountSize = 32;    // "N" of up to 31 characters
// A list subkey's "N" comes from outside: a corrupt count must not make the load append empty
// items by the billion. No list of this program comes near it.
const int kMaxListItems = 65536;

HKEY Root(BOOL bCurrentUser)
{
    return bCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

BOOL SetText(HKEY hKey, LPCTSTR lpszName, LPCTSTR lpszText)
{
    const CString strText(lpszText);
    return ::RegSetValueExA(hKey, lpszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszText),
                            static_cast<DWORD>(strText.GetLength() + 1)) == ERROR_SUCCESS;
}

// A string value (REG_SZ or REG_EXPAND_SZ) of at most nSize bytes, up to its first NUL.
BOOL QueryText(HKEY hKey, LPCTSTR lpszName, DWORD nSize, CString& strText)
{
    std::vector<char> buf(nSize + 1, '\0');
    DWORD type = 0;
    DWORD len = nSize;
    if (::RegQueryValueExA(hKey, lpszName, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                           &len) != ERROR_SUCCESS)
        return FALSE;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return FALSE;
    buf[len] = '\0';
    strText = buf.data();
    return TRUE;
}

} // namespace

BOOL CCfgBase::SaveToRegistry(LPCTSTR lpszPath, BOOL bCurrentUser)
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(Root(bCurrentUser), lpszPath, 0, nullptr, 0, kWriteAccess, nullptr,
                          &hKey, nullptr) != ERROR_SUCCESS)
        return FALSE;
    for (const auto& [key, pData] : m_settings) {
        if (pData->IsList())
            SaveListToRegistry(hKey, key.c_str(), pData.get());
        else
            SetText(hKey, key.c_str(), pData->GetValue());
    }
    ::RegCloseKey(hKey);
    return TRUE;
}

BOOL CCfgBase::SaveListToRegistry(HKEY hParent, LPCTSTR lpszKey, CCfgData* pData)
{
    ::RegDeleteValueA(hParent, lpszKey); // the older form
    ::RegDeleteTreeA(hParent, lpszKey);
    HKEY hList = nullptr;
    if (::RegCreateKeyExA(hParent, lpszKey, 0, nullptr, 0, kWriteAccess, nullptr, &hList,
                          nullptr) != ERROR_SUCCESS)
        return FALSE;
    const int count = pData->GetItemCount();
    CString strName;
    strName.Format("%u", static_cast<unsigned>(count));
    SetText(hList, "N", strName);
    for (int i = 0; i < count; ++i) {
        CString strItem;
        pData->GetItem(i, strItem);
        strName.Format("%d", i);
        SetText(hList, strName, strItem);
    }
    ::RegCloseKey(hList);
    return TRUE;
}

BOOL CCfgBase::LoadFromRegistry(LPCTSTR lpszPath, BOOL bCurrentUser)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(Root(bCurrentUser), lpszPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return FALSE;

    // Values first, so a list stored both ways ends with its subkey's items. A value too large
    // for the buffers is skipped; stopping there would leave every later value unread and the
    // next save would overwrite them with defaults.
    char name[kNameSize];
    std::vector<char> data(kDataSize + 1);
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = kNameSize;
        DWORD dataLen = kDataSize;
        const LONG rc = ::RegEnumValueA(hKey, i, name, &nameLen, nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(data.data()), &dataLen);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        data[dataLen] = '\0';
        SetFromText(name, data.data());
    }

    for (DWORD i = 0;; ++i) {
        DWORD nameLen = kNameSize;
        const LONG rc = ::RegEnumKeyExA(hKey, i, name, &nameLen, nullptr, nullptr, nullptr,
                                        nullptr);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        CCfgData* pData = FindSetting(name);
        if (pData && pData->IsList())
            LoadListFromRegistry(hKey, name, pData);
    }
    ::RegCloseKey(hKey);
    return TRUE;
}

BOOL CCfgBase::LoadListFromRegistry(HKEY hParent, LPCTSTR lpszKey, CCfgData* pData)
{
    HKEY hList = nullptr;
    if (::RegOpenKeyExA(hParent, lpszKey, 0, KEY_READ, &hList) != ERROR_SUCCESS)
        return FALSE;
    CString strCount;
    if (QueryText(hList, "N", kCountSize, strCount)) {
        pData->RemoveAllItems();
        int count = ReadInt(strCount);
        if (count > kMaxListItems)
            count = kMaxListItems;
        // A missing item is kept as an empty one, so the others keep their indices.
        for (int i = 0; i < count; ++i) {
            CString strName, strItem;
            strName.Format("%d", i);
            if (!QueryText(hList, strName, kDataSize, strItem))
                strItem.Empty();
            pData->AddItem(strItem);
        }
    }
    ::RegCloseKey(hList);
    return TRUE;
}
