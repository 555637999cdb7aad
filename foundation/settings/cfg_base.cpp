// The settings store's portable part: records, declaration and the value rules.
// The registry part lives in cfg_registry_win.cpp.
#include "foundation/settings/cfg_base.h"

#include <climits>
#include <cstdio>

CCfgData::CCfgData(LPCTSTR lpszValue, BOOL bIsList)
    : m_strValue(lpszValue), m_strDefault(lpszValue),
      m_pItems(bIsList ? std::make_unique<CStringArray>() : nullptr)
{
}

CCfgData::~CCfgData() = default;

int CCfgData::GetItemCount() const
{
    return m_pItems ? static_cast<int>(m_pItems->GetSize()) : -1;
}

void CCfgData::RemoveAllItems()
{
    if (m_pItems)
        m_pItems->RemoveAll();
}

int CCfgData::AddItem(LPCTSTR lpszItem)
{
    return m_pItems ? static_cast<int>(m_pItems->Add(lpszItem)) : -1;
}

BOOL CCfgData::GetItem(int nIndex, CString& strItem) const
{
    if (nIndex < 0 || nIndex >= GetItemCount())
        return FALSE;
    strItem = m_pItems->GetAt(nIndex);
    return TRUE;
}

CCfgBase::CCfgBase(BOOL bAutoDeclare) : m_bAutoDeclare(bAutoDeclare ? 1 : 0) {}

CCfgBase::~CCfgBase()
{
    RemoveAll();
}

BOOL CCfgBase::Declare(LPCTSTR lpszKey, LPCTSTR lpszDefault, BOOL bIsList)
{
    m_settings.try_emplace(lpszKey, std::make_unique<CCfgData>(lpszDefault, bIsList));
    return TRUE;
}

CCfgData* CCfgBase::FindSetting(LPCTSTR lpszKey) const
{
    const auto it = m_settings.find(lpszKey ? lpszKey : "");
    return it == m_settings.end() ? nullptr : it->second.get();
}

BOOL CCfgBase::GetString(LPCTSTR lpszKey, CString& strValue) const
{
    const CCfgData* pData = FindSetting(lpszKey);
    if (!pData)
        return FALSE;
    strValue = pData->GetValue();
    return TRUE;
}

BOOL CCfgBase::SetString(LPCTSTR lpszKey, LPCTSTR lpszValue)
{
    CCfgData* pData = FindSetting(lpszKey);
    if (!pData)
        return FALSE;
    CString strValue(lpszValue);
    strValue.Remove('|');
    pData->SetValue(strValue);
    return TRUE;
}

BOOL CCfgBase::GetInt(LPCTSTR lpszKey, int& nValue) const
{
    const CCfgData* pData = FindSetting(lpszKey);
    if (!pData)
        return FALSE;
    nValue = ReadInt(pData->GetValue());
    return TRUE;
}

BOOL CCfgBase::SetInt(LPCTSTR lpszKey, int nValue)
{
    CCfgData* pData = FindSetting(lpszKey);
    if (!pData)
        return FALSE;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%ld", static_cast<long>(nValue));
    pData->SetValue(buf);
    return TRUE;
}

BOOL CCfgBase::GetBool(LPCTSTR lpszKey, BOOL& bValue) const
{
    const CCfgData* pData = FindSetting(lpszKey);
    bValue = pData && ReadInt(pData->GetValue()) == 1;
    return pData != nullptr;
}

BOOL CCfgBase::SetBool(LPCTSTR lpszKey, BOOL bValue)
{
    CCfgData* pData = FindSetting(lpszKey);
    if (!pData)
        return FALSE;
    pData->SetValue(bValue ? "1" : "0");
    return TRUE;
}

int CCfgBase::GetListCount(LPCTSTR lpszKey) const
{
    const CCfgData* pData = FindSetting(lpszKey);
    if (!pData)
        return -1;
    return pData->IsList() ? pData->GetItemCount() : -2;
}

BOOL CCfgBase::GetListItem(LPCTSTR lpszKey, int nIndex, CString& strItem) const
{
    const CCfgData* pData = FindSetting(lpszKey);
    return pData && pData->GetItem(nIndex, strItem);
}

BOOL CCfgBase::AddListItem(LPCTSTR lpszKey, LPCTSTR lpszItem)
{
    CCfgData* pData = FindSetting(lpszKey);
    if (!pData || !pData->IsList())
        return FALSE;
    pData->AddItem(lpszItem);
    return TRUE;
}

void CCfgBase::ClearList(LPCTSTR lpszKey)
{
    if (CCfgData* pData = FindSetting(lpszKey))
        pData->RemoveAllItems();
}

void CCfgBase::RemoveAll()
{
    m_settings.clear();
}

BOOL CCfgBase::SetFromText(LPCTSTR lpszKey, LPCTSTR lpszText)
{
    CCfgData* pData = FindSetting(lpszKey);
    if (!pData) {
        if (!m_bAutoDeclare)
            return FALSE;
        Declare(lpszKey, "", FALSE);
        pData = FindSetting(lpszKey);
    }
    if (!pData->IsList()) {
        pData->SetValue(lpszText);
        return TRUE;
    }
    // The older list form: every '|' ends an item; text after the last one is dropped.
    pData->RemoveAllItems();
    const CString strText(lpszText);
    int start = 0;
    for (int bar = strText.Find('|'); bar >= 0; bar = strText.Find('|', start)) {
        pData->AddItem(strText.Mid(start, bar - start));
        start = bar + 1;
    }
    return TRUE;
}

int CCfgBase::ReadInt(LPCTSTR lpszText)
{
    const char* s = lpszText ? lpszText : "";
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    const bool negative = *s == '-';
    if (*s == '-' || *s == '+')
        ++s;
    long long value = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        value = value * 10 + (*s - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
