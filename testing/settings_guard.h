// Keeps the settings object as a test found it: every declared value, lists included, is
// restored when the guard ends, also when a failed assertion ends the test early.
#pragma once

#include "foundation/settings/app_cfg.h"

#include <string>
#include <vector>

namespace testing_settings
{

class SettingsGuard
{
public:
    explicit SettingsGuard(CAppCfg& cfg = GetAppCfg()) : m_cfg(cfg)
    {
#define SONORIA_GUARD_SAVE(kind, key, def) Save(cfg, #key);
        SONORIA_APP_SETTINGS(SONORIA_GUARD_SAVE)
#undef SONORIA_GUARD_SAVE
    }
    ~SettingsGuard()
    {
        CAppCfg& cfg = m_cfg;
        for (const Saved& saved : m_saved) {
            CCfgData* pData = cfg.FindSetting(saved.key.c_str());
            if (pData == nullptr)
                continue;
            if (pData->IsList()) {
                cfg.ClearList(saved.key.c_str());
                for (const std::string& item : saved.items)
                    cfg.AddListItem(saved.key.c_str(), item.c_str());
            } else {
                // The value as it was, '|' and all (SetString would drop those).
                pData->SetValue(saved.value.c_str());
            }
        }
    }
    SettingsGuard(const SettingsGuard&) = delete;
    SettingsGuard& operator=(const SettingsGuard&) = delete;

private:
    struct Saved {
        std::string key;
        std::string value;
        std::vector<std::string> items;
    };

    void Save(CAppCfg& cfg, const char* key)
    {
        CCfgData* pData = cfg.FindSetting(key);
        if (pData == nullptr)
            return;
        Saved saved{key, static_cast<LPCTSTR>(pData->GetValue()), {}};
        for (int i = 0; pData->IsList() && i < pData->GetItemCount(); ++i) {
            CString item;
            pData->GetItem(i, item);
            saved.items.emplace_back(static_cast<LPCTSTR>(item));
        }
        m_saved.push_back(std::move(saved));
    }

    CAppCfg& m_cfg;
    std::vector<Saved> m_saved;
};

} // namespace testing_settings
