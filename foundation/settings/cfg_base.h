// The general settings store: named settings held as text, with integer and boolean readings,
// list settings, and saving and loading under one registry key.
// Classes here: CCfgData (one setting), CCfgBase (the store).
#pragma once

#include "framework/core.h"

#include <memory>
#include <string>
#include <unordered_map>

// One setting: its value text, its declared default and, for a list setting only, its items.
class CCfgData {
public:
    CCfgData(LPCTSTR lpszValue, BOOL bIsList);
    virtual ~CCfgData();
    CCfgData(const CCfgData&) = delete;
    CCfgData& operator=(const CCfgData&) = delete;

    BOOL IsList() const { return m_pItems != nullptr; }
    // -1 for a scalar setting.
    int GetItemCount() const;
    void RemoveAllItems();
    // Appends and returns the new item's index (-1 for a scalar setting).
    int AddItem(LPCTSTR lpszItem);
    // FALSE for an index outside 0 to count-1.
    BOOL GetItem(int nIndex, CString& strItem) const;
    void SetValue(LPCTSTR lpszValue) { m_strValue = lpszValue; }
    void SetDefault(LPCTSTR lpszDefault) { m_strDefault = lpszDefault; }
    CString GetValue() const { return m_strValue; }

private:
    CString m_strValue;
    CString m_strDefault;
    std::unique_ptr<CStringArray> m_pItems; // present exactly for a list setting
};

// A store of declared settings. A derived class declares its settings in DefineSettings, called
// from its own constructor. Keys are case-sensitive. Getters and setters return FALSE for an
// undeclared key and leave their output alone (GetBool then gives FALSE). Not thread-safe.
class CCfgBase {
public:
    // With auto-declare set, a load declares registry values of undeclared names as scalars.
    explicit CCfgBase(BOOL bAutoDeclare);
    virtual ~CCfgBase();
    CCfgBase(const CCfgBase&) = delete;
    CCfgBase& operator=(const CCfgBase&) = delete;

    virtual void DefineSettings() = 0;

    // Value and default both become the text; a list starts with no items. Always TRUE; a key
    // declared a second time keeps its first record.
    BOOL Declare(LPCTSTR lpszKey, LPCTSTR lpszDefault, BOOL bIsList = FALSE);
    CCfgData* FindSetting(LPCTSTR lpszKey) const;

    BOOL GetString(LPCTSTR lpszKey, CString& strValue) const;
    // Stores the text with every '|' removed.
    BOOL SetString(LPCTSTR lpszKey, LPCTSTR lpszValue);
    BOOL GetInt(LPCTSTR lpszKey, int& nValue) const;
    BOOL SetInt(LPCTSTR lpszKey, int nValue);
    // TRUE only when the integer reading of the value is exactly 1.
    BOOL GetBool(LPCTSTR lpszKey, BOOL& bValue) const;
    BOOL SetBool(LPCTSTR lpszKey, BOOL bValue);

    // Item count; -1 for an undeclared key, -2 for a scalar setting.
    int GetListCount(LPCTSTR lpszKey) const;
    BOOL GetListItem(LPCTSTR lpszKey, int nIndex, CString& strItem) const;
    // Appends the text unchanged ('|' allowed). FALSE for an undeclared key or a scalar.
    BOOL AddListItem(LPCTSTR lpszKey, LPCTSTR lpszItem);
    void ClearList(LPCTSTR lpszKey);

    // Deletes every record: afterwards every key is undeclared.
    void RemoveAll();

    // Applies one value read from the registry: a scalar takes the text as it is; a list reads
    // it in the older form ("a|b|c|"); an undeclared key is declared first with auto-declare
    // set, else ignored (FALSE).
    BOOL SetFromText(LPCTSTR lpszKey, LPCTSTR lpszText);

    // The integer reading of a value: the C library's atol rule, limited to 32 bits.
    static int ReadInt(LPCTSTR lpszText);

#ifdef _WIN32
    // Root HKEY_CURRENT_USER when bCurrentUser is set, else HKEY_LOCAL_MACHINE. Saving writes
    // every scalar as a REG_SZ value and replaces every list subkey whole; FALSE when the key
    // cannot be opened or created. Loading returns FALSE, changing nothing, when the key does
    // not exist.
    BOOL SaveToRegistry(LPCTSTR lpszPath, BOOL bCurrentUser);
    BOOL LoadFromRegistry(LPCTSTR lpszPath, BOOL bCurrentUser);
    BOOL SaveListToRegistry(HKEY hParent, LPCTSTR lpszKey, CCfgData* pData);
    BOOL LoadListFromRegistry(HKEY hParent, LPCTSTR lpszKey, CCfgData* pData);
#endif

private:
    std::unordered_map<std::string, std::unique_ptr<CCfgData>> m_settings;
    LONG m_bAutoDeclare;
};
