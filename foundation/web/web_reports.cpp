// The usage-statistics reports and the update check.
#include "foundation/web/web_reports.h"

#include "foundation/web/endpoints.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
const char kStatsKey[] = "Software\\Corvalen\\qvkstat";
}

CQVKSignal::CQVKSignal(const char* site) : m_strSite(site ? site : "")
{
}

std::string CQVKSignal::GetBaseUrl() const
{
    std::string site = !m_strSite.empty() ? m_strSite
                       : m_bDebugHost     ? endpoints::kStatsDebugSite
                                          : endpoints::kStatsSite;
    return site + "/qvkstat";
}

DWORD CQVKSignal::LoadInstallId(int appId) const
{
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kStatsKey, &key) != ERROR_SUCCESS)
        return 0;
    char name[16];
    std::snprintf(name, sizeof name, "%d", appId);
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        value = 0;
    RegCloseKey(key);
    return value;
}

BOOL CQVKSignal::StoreInstallId(int appId, DWORD installId) const
{
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kStatsKey, &key) != ERROR_SUCCESS)
        return FALSE;
    char name[16];
    std::snprintf(name, sizeof name, "%d", appId);
    LONG rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&installId),
                             sizeof installId);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

BOOL CQVKSignal::SendPing(const char* url) const
{
    CHttpClient client("QVKLIB", "", nullptr);
    if (client.Get(url, INTERNET_FLAG_RELOAD) == 0)
        return FALSE;
    char reply[1024];
    DWORD length = sizeof reply;
    client.ReadResponse(reply, length);
    return TRUE;
}

BOOL CQVKSignal::SignalInstall(int installId, int appId, int build, const char* locale)
{
    DWORD oldId = LoadInstallId(appId);
    char url[256];
    std::snprintf(url, sizeof url, "%s/sinstall.php?disid=%d&appid=%d&build=%d&locale=%s&olddis=%d",
                  GetBaseUrl().c_str(), installId, appId, build, locale, static_cast<int>(oldId));
    StoreInstallId(appId, static_cast<DWORD>(installId));
    return SendPing(url);
}

BOOL CQVKSignal::SignalUninstall(int installId, int appId, int build, const char* locale)
{
    DWORD oldId = LoadInstallId(appId);
    int reported = installId >= 1 ? installId : static_cast<int>(oldId);
    char url[256];
    std::snprintf(url, sizeof url, "%s/suninstall.php?disid=%d&appid=%d&build=%d&locale=%s",
                  GetBaseUrl().c_str(), reported, appId, build, locale);
    StoreInstallId(appId, 0);
    return SendPing(url);
}

BOOL CQVKSignal::SignalAjInstall(int installId, int appId, int build, const char* locale)
{
    DWORD oldId = LoadInstallId(appId);
    int reported = installId >= 1 ? installId : static_cast<int>(oldId);
    char url[256];
    std::snprintf(url, sizeof url, "%s/sajinstall.php?disid=%d&appid=%d&build=%d&locale=%s",
                  GetBaseUrl().c_str(), reported, appId, build, locale);
    return SendPing(url);
}

CHttpVersionCheck::CHttpVersionCheck(const char* agent, const char* proxy, const char* user,
                                     const char* password)
    : m_pClient(std::make_unique<CHttpClient>(agent, proxy, nullptr))
{
    if (user && password)
        m_pClient->SetProxyCredentials(user, password);
}

int CHttpVersionCheck::FindValue(const char* text, const char* key, char* output)
{
    const char* found = std::strstr(text, key);
    if (!found)
        return 0;
    const char* p = found + std::strlen(key);
    while (*p && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    // The output holds 64 bytes: a longer value is cut, never written past it.
    size_t n = 0;
    while (p[n] && !std::isspace(static_cast<unsigned char>(p[n])) && n < 63)
        ++n;
    std::memcpy(output, p, n);
    output[n] = 0;
    return 1;
}

int CHttpVersionCheck::Fetch(const char* url, const char* key, char* output)
{
    DWORD status = m_pClient->Get(url, INTERNET_FLAG_RELOAD);
    if (status != 200)
        return -static_cast<int>(status);
    std::vector<char> reply(m_nBufferSize);
    DWORD length = static_cast<DWORD>(reply.size());
    m_pClient->ReadResponse(reply.data(), length);
    char* open = std::strstr(reply.data(), "<ss>");
    char* close = std::strstr(reply.data(), "</ss>");
    if (open && close && close - open >= 11)
        *close = 0;
    return FindValue(reply.data(), key, output);
}

int CHttpVersionCheck::IsNewerVersion(const char* url, const char* key, const char* current)
{
    char value[64] = {};
    if (Fetch(url, key, value) != 1)
        return 0;
    return std::strtod(value, nullptr) > std::strtod(current, nullptr) ? 1 : 0;
}
