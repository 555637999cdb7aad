// The translation engine's Windows part: language files through the profile functions, windows
// and menus, and the choice of a language file by the user's locale.
#include "foundation/i18n/i18n.h"

#include <cstring>
#include <vector>

namespace {

const char kLanguageSection[] = "Language";
const DWORD kEntrySize = 4096; // at most 4095 bytes of escaped text count

CString WindowText(HWND hWnd)
{
    const int len = ::GetWindowTextLengthA(hWnd);
    std::vector<char> buf(static_cast<size_t>(len) + 1, '\0');
    ::GetWindowTextA(hWnd, buf.data(), len + 1);
    return CString(buf.data());
}

} // namespace

BOOL CI18N::ReadEntry(LPCTSTR lpszKey, CString& strText)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (m_strLanguageFile.IsEmpty())
        return FALSE;
    char buf[kEntrySize];
    const DWORD len = ::GetPrivateProfileStringA(kLanguageSection, lpszKey, "", buf, kEntrySize,
                                                 m_strLanguageFile);
    if (len == 0)
        return FALSE;
    strText = Unescape(buf);
    return TRUE;
}

BOOL CI18N::WriteEntry(LPCTSTR lpszKey, LPCTSTR lpszText)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    // With no file set, an empty path would make the profile functions use win.ini.
    if (!m_strLanguageFile.IsEmpty())
        ::WritePrivateProfileStringA(kLanguageSection, lpszKey, Escape(lpszText),
                                     m_strLanguageFile);
    return TRUE;
}

BOOL CI18N::TranslateWindow(HWND hWnd, LPCTSTR lpszKey, LPCTSTR lpszDefault)
{
    const CString strCurrent = lpszDefault ? CString() : WindowText(hWnd);
    const LPCTSTR lpszText = lpszDefault ? lpszDefault : strCurrent.GetString();
    ::SetWindowTextA(hWnd, Translate(lpszKey, lpszText));
    return TRUE;
}

BOOL CI18N::TranslateDlgItem(HWND hDlg, int nID, LPCTSTR lpszKey, LPCTSTR lpszDefault)
{
    HWND hItem = ::GetDlgItem(hDlg, nID);
    if (!hItem)
        return FALSE;
    return TranslateWindow(hItem, lpszKey, lpszDefault);
}

void CI18N::TranslateMenu(HMENU hMenu, LPCTSTR lpszPrefix)
{
    const int count = ::GetMenuItemCount(hMenu);
    for (int pos = 0; pos < count; ++pos) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(hMenu, pos, TRUE, &mii))
            continue;
        std::vector<char> text(mii.cch + 1, '\0');
        mii.dwTypeData = text.data();
        mii.cch = static_cast<UINT>(text.size());
        if (!::GetMenuItemInfoA(hMenu, pos, TRUE, &mii))
            continue;
        if ((mii.fType & MFT_SEPARATOR) && text[0] == '\0')
            continue;

        CString strKey;
        strKey.Format("%s.%d", lpszPrefix, pos);
        const CString strText = Translate(strKey, text.data());
        // Only the text changes: the command id, submenu, state and type stay as they are.
        MENUITEMINFOA set{};
        set.cbSize = sizeof set;
        set.fMask = MIIM_STRING;
        set.dwTypeData = const_cast<LPSTR>(static_cast<LPCSTR>(strText));
        ::SetMenuItemInfoA(hMenu, pos, TRUE, &set);
        if (mii.hSubMenu)
            TranslateMenu(mii.hSubMenu, strKey);
    }
}

int CI18N::ListLanguageFiles(LPCTSTR lpszFolder, CStringArray& files)
{
    files.RemoveAll();
    CString strPattern;
    strPattern.Format("%s*.lang", lpszFolder);
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA(strPattern, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.Add(fd.cFileName);
    } while (::FindNextFileA(hFind, &fd));
    ::FindClose(hFind);
    return static_cast<int>(files.GetSize());
}

BOOL CI18N::FindLanguageFileForLocale(LPCTSTR lpszFolder, CString& strFile)
{
    char userId[8] = "";
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, userId, sizeof userId);
    if (std::strlen(userId) != 4)
        return FALSE;

    CString strPattern;
    strPattern.Format("%s*.lang", lpszFolder);
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA(strPattern, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL bChosen = FALSE;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        CString strPath;
        strPath.Format("%s%s", lpszFolder, fd.cFileName);
        char fileId[8] = "";
        ::GetPrivateProfileStringA("Info", "LocaleID", "", fileId, sizeof fileId, strPath);
        const size_t len = std::strlen(fileId);
        if (len < 2)
            continue;
        if (std::strcmp(fileId, userId) == 0) {
            strFile = fd.cFileName;
            bChosen = TRUE;
            break;
        }
        // Same primary language (the last two digits): taken, but a later file may replace it.
        if (std::strcmp(fileId + len - 2, userId + 2) == 0) {
            strFile = fd.cFileName;
            bChosen = TRUE;
        }
    } while (::FindNextFileA(hFind, &fd));
    ::FindClose(hFind);
    return bChosen;
}

BOOL I18NSetWindowText(HWND hWnd, LPCTSTR lpszKey, LPCTSTR lpszDefault)
{
    return GetI18N().TranslateWindow(hWnd, lpszKey, lpszDefault);
}

BOOL I18NSetDlgItemText(HWND hDlg, int nID, LPCTSTR lpszKey, LPCTSTR lpszDefault)
{
    return GetI18N().TranslateDlgItem(hDlg, nID, lpszKey, lpszDefault);
}

void I18NTranslateMenu(HMENU hMenu, LPCTSTR lpszPrefix)
{
    GetI18N().TranslateMenu(hMenu, lpszPrefix);
}

int I18NListLanguageFiles(LPCTSTR lpszFolder, CStringArray& files)
{
    return GetI18N().ListLanguageFiles(lpszFolder, files);
}

BOOL I18NFindLanguageFileForLocale(LPCTSTR lpszFolder, CString& strFile)
{
    return CI18N::FindLanguageFileForLocale(lpszFolder, strFile);
}
