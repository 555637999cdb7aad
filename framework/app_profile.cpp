// The application profile: registry under HKCU\Software\<key>\<profile> after SetRegistryKey,
// an ini file otherwise.
#include "framework/app.h"

#include <vector>

namespace {

// Opens or creates subKey under parent; null on failure.
HKEY CreateKey(HKEY parent, LPCTSTR subKey)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyEx(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_READ | KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

class ScopedKey {
public:
    explicit ScopedKey(HKEY key) : m_key(key) {}
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    ~ScopedKey()
    {
        if (m_key != nullptr)
            ::RegCloseKey(m_key);
    }
    operator HKEY() const { return m_key; }

private:
    HKEY m_key;
};

} // namespace

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_strAppName;
    m_pszProfileName = m_strProfileName;
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (m_pszRegistryKey == nullptr)
        return nullptr;
    ScopedKey software(CreateKey(HKEY_CURRENT_USER, "Software"));
    if (software == nullptr)
        return nullptr;
    ScopedKey company(CreateKey(software, m_pszRegistryKey));
    if (company == nullptr)
        return nullptr;
    return CreateKey(company, m_pszProfileName);
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    ScopedKey app(GetAppRegistryKey());
    if (app == nullptr)
        return nullptr;
    return CreateKey(app, lpszSection);
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    if (m_pszRegistryKey == nullptr)
        return ::GetPrivateProfileInt(lpszSection, lpszEntry, nDefault, m_pszProfileName);
    ScopedKey section(GetSectionKey(lpszSection));
    if (section == nullptr)
        return static_cast<UINT>(nDefault);
    DWORD type = 0, value = 0, size = sizeof(value);
    if (::RegQueryValueEx(section, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(&value),
                          &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return static_cast<UINT>(nDefault);
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (m_pszRegistryKey == nullptr) {
        CString text;
        text.Format("%d", nValue);
        return ::WritePrivateProfileString(lpszSection, lpszEntry, text, m_pszProfileName);
    }
    ScopedKey section(GetSectionKey(lpszSection));
    if (section == nullptr)
        return FALSE;
    DWORD value = static_cast<DWORD>(nValue);
    return ::RegSetValueEx(section, lpszEntry, 0, REG_DWORD, reinterpret_cast<LPBYTE>(&value),
                           sizeof(value)) == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    CString fallback = lpszDefault != nullptr ? lpszDefault : "";
    if (m_pszRegistryKey == nullptr) {
        // GetPrivateProfileString cuts silently, so grow until the text fits.
        for (DWORD size = 256; size <= (1u << 20); size *= 4) {
            std::vector<char> buf(size);
            DWORD n = ::GetPrivateProfileString(lpszSection, lpszEntry, fallback, buf.data(),
                                                size, m_pszProfileName);
            if (n < size - 2)
                return CString(buf.data());
        }
        return fallback;
    }
    ScopedKey section(GetSectionKey(lpszSection));
    if (section == nullptr)
        return fallback;
    DWORD type = 0, size = 0;
    if (::RegQueryValueEx(section, lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return fallback;
    std::vector<char> buf(size + 1, 0);
    if (::RegQueryValueEx(section, lpszEntry, nullptr, &type,
                          reinterpret_cast<LPBYTE>(buf.data()), &size) != ERROR_SUCCESS)
        return fallback;
    return CString(buf.data());
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (m_pszRegistryKey == nullptr)
        return ::WritePrivateProfileString(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
    if (lpszEntry == nullptr) {
        ScopedKey app(GetAppRegistryKey());
        if (app == nullptr)
            return FALSE;
        LONG rc = ::RegDeleteKey(app, lpszSection);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    ScopedKey section(GetSectionKey(lpszSection));
    if (section == nullptr)
        return FALSE;
    if (lpszValue == nullptr) {
        LONG rc = ::RegDeleteValue(section, lpszEntry);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    return ::RegSetValueEx(section, lpszEntry, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(lpszValue),
                           static_cast<DWORD>(lstrlen(lpszValue) + 1)) == ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData,
                               UINT* pBytes)
{
    *ppData = nullptr;
    *pBytes = 0;
    if (m_pszRegistryKey == nullptr) {
        CString text = GetProfileString(lpszSection, lpszEntry, nullptr);
        int n = text.GetLength();
        if (n == 0 || n % 2 != 0)
            return FALSE;
        for (int i = 0; i < n; ++i)
            if (text[i] < 'A' || text[i] > 'P')
                return FALSE;
        *pBytes = static_cast<UINT>(n / 2);
        *ppData = new BYTE[*pBytes];
        for (UINT i = 0; i < *pBytes; ++i)
            (*ppData)[i] = static_cast<BYTE>((text[2 * i] - 'A') | ((text[2 * i + 1] - 'A') << 4));
        return TRUE;
    }
    ScopedKey section(GetSectionKey(lpszSection));
    if (section == nullptr)
        return FALSE;
    DWORD type = 0, size = 0;
    if (::RegQueryValueEx(section, lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return FALSE;
    auto* data = new BYTE[size > 0 ? size : 1];
    if (::RegQueryValueEx(section, lpszEntry, nullptr, &type, data, &size) != ERROR_SUCCESS) {
        delete[] data;
        return FALSE;
    }
    *ppData = data;
    *pBytes = size;
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData,
                                 UINT nBytes)
{
    if (m_pszRegistryKey == nullptr) {
        // Low nibble first, each as a letter from 'A'.
        std::vector<char> text(nBytes * 2 + 1, 0);
        for (UINT i = 0; i < nBytes; ++i) {
            text[2 * i] = static_cast<char>('A' + (pData[i] & 0x0F));
            text[2 * i + 1] = static_cast<char>('A' + ((pData[i] >> 4) & 0x0F));
        }
        return WriteProfileString(lpszSection, lpszEntry, text.data());
    }
    ScopedKey section(GetSectionKey(lpszSection));
    if (section == nullptr)
        return FALSE;
    return ::RegSetValueEx(section, lpszEntry, 0, REG_BINARY, pData, nBytes) == ERROR_SUCCESS;
}
