// Translation of the program's own texts: the engine over the language files, its one global
// object and the small wrappers every window, message and job text goes through.
#pragma once

#include "framework/core.h"

#include <mutex>
#include <string>
#include <unordered_map>

// Looks texts up by key in the current language file (an ini file, section "Language"). A key
// the file lacks gets its English default written back, so a language file collects every key
// the program uses. Results are cached per language file.
//
// Thread safety: every public member may be called from any thread (job threads translate their
// error texts while the user-interface thread translates windows).
class CI18N {
public:
    CI18N();
    virtual ~CI18N();
    CI18N(const CI18N&) = delete;
    CI18N& operator=(const CI18N&) = delete;

    // Makes the full path current; the cache is cleared only when the path differs
    // (case-sensitive comparison).
    void SetLanguageFile(LPCTSTR lpszPath);
    void ClearCache();

    // The text of the key. A key missing from the file gives the default and writes it into the
    // file; with no default (nullptr) a missing key gives an empty text and writes nothing.
    // While no language file is set, the default (or an empty text) is returned and nothing is
    // written.
    CString Translate(LPCTSTR lpszKey, LPCTSTR lpszDefault = nullptr);

#ifdef _WIN32
    // Sets the window's text to the translation; with no default, the window's current text is
    // the default. Always TRUE.
    BOOL TranslateWindow(HWND hWnd, LPCTSTR lpszKey, LPCTSTR lpszDefault = nullptr);
    // FALSE, with nothing looked up or written, when the dialog has no item of that id.
    BOOL TranslateDlgItem(HWND hDlg, int nID, LPCTSTR lpszKey, LPCTSTR lpszDefault = nullptr);
    // Translates every item by position (key: prefix + ".%d"), submenus with the item's key as
    // their prefix; the current texts are the defaults.
    void TranslateMenu(HMENU hMenu, LPCTSTR lpszPrefix);

    // Empties the list, then adds the name (without folder) of every "*.lang" file of the folder
    // (which ends with a backslash), in directory-listing order. Returns the count.
    int ListLanguageFiles(LPCTSTR lpszFolder, CStringArray& files);
    // Picks the language file whose [Info] LocaleID matches the user's language: an exact match
    // wins, else the last file listed with the same primary language. Uses no engine state.
    static BOOL FindLanguageFileForLocale(LPCTSTR lpszFolder, CString& strFile);
#endif

    // Reads the unescaped entry; FALSE when the file has no non-empty entry for the key.
    BOOL ReadEntry(LPCTSTR lpszKey, CString& strText);
    // Writes the escaped text as the key's entry (the file and section are created as needed).
    BOOL WriteEntry(LPCTSTR lpszKey, LPCTSTR lpszText);

    static CString Escape(LPCTSTR lpszText);
    static CString Unescape(LPCTSTR lpszText);

    BOOL LookupCache(LPCTSTR lpszKey, CString& strText) const;
    void StoreCache(LPCTSTR lpszKey, LPCTSTR lpszText);

private:
    // One lock around the cache, the current path and the file access. Translate holds it from
    // the cache lookup to the cache store, so a key missing from the file is read and written
    // back once even when several threads ask for it together; recursive because Translate
    // calls the other locked members.
    mutable std::recursive_mutex m_lock;
    CString m_strLanguageFile;
    std::unordered_map<std::string, std::string> m_cache;
};

// The one translation object of the process (constructed on first use).
CI18N& GetI18N();

CString I18NString(LPCTSTR lpszKey, LPCTSTR lpszDefault = nullptr);
void I18NSetLanguageFile(LPCTSTR lpszPath);

#ifdef _WIN32
BOOL I18NSetWindowText(HWND hWnd, LPCTSTR lpszKey, LPCTSTR lpszDefault = nullptr);
BOOL I18NSetDlgItemText(HWND hDlg, int nID, LPCTSTR lpszKey, LPCTSTR lpszDefault = nullptr);
void I18NTranslateMenu(HMENU hMenu, LPCTSTR lpszPrefix);
int I18NListLanguageFiles(LPCTSTR lpszFolder, CStringArray& files);
BOOL I18NFindLanguageFileForLocale(LPCTSTR lpszFolder, CString& strFile);

// The same for framework windows and menus (anything with GetSafeHwnd / GetSafeHmenu).
template <class TWnd>
BOOL I18NSetWindowText(TWnd* pWnd, LPCTSTR lpszKey, LPCTSTR lpszDefault = nullptr)
{
    return I18NSetWindowText(pWnd->GetSafeHwnd(), lpszKey, lpszDefault);
}
template <class TWnd>
BOOL I18NSetDlgItemText(TWnd* pDlg, int nID, LPCTSTR lpszKey, LPCTSTR lpszDefault = nullptr)
{
    return I18NSetDlgItemText(pDlg->GetSafeHwnd(), nID, lpszKey, lpszDefault);
}
template <class TMenu> void I18NTranslateMenu(TMenu* pMenu, LPCTSTR lpszPrefix)
{
    I18NTranslateMenu(pMenu->GetSafeHmenu(), lpszPrefix);
}
#endif
