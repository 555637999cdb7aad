// The daily update check.
#include "foundation/web/update_check.h"

#include "foundation/web/web_reports.h"

int UpdateCheckDayCode(const SYSTEMTIME& date)
{
    return date.wYear * 365 + date.wMonth * 31 + date.wDay;
}

bool UpdateCheckIsDue(CAppCfg& cfg, const SYSTEMTIME& today)
{
    if (!cfg.GetAutoCheckNewVersion())
        return false;
    const int code = UpdateCheckDayCode(today);
    if (code == cfg.GetLastCheckNewVersion())
        return false;
    cfg.SetLastCheckNewVersion(code);
    return true;
}

CString UpdateCheckUrl(LPCTSTR pageUrl, LPCTSTR languageCode)
{
    CString url;
    url.Format("%s?s=curver&language=%s&version=%s&build=%d", pageUrl, languageCode,
               kRunningVersion, kRunningBuild);
    return url;
}

int IsNewerVersionAvailable(const CAppCfg& cfg, LPCTSTR pageUrl, LPCTSTR languageCode)
{
    const CString proxy = cfg.GetProxyHostPort();
    const CString user = cfg.GetProxyUser();
    const CString password = cfg.GetProxyPwd();
    CHttpVersionCheck check("Sonoria_VC", proxy, user, password);
    return check.IsNewerVersion(UpdateCheckUrl(pageUrl, languageCode), "Sonoria",
                                kRunningVersion);
}
