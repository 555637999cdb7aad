// The proxy of every freedb exchange, from the settings: with UseProxy 2 the proxy the four
// proxy settings name, otherwise none.
#pragma once

#include "catalogue/cddb/freedb_mgr.h"
#include "foundation/settings/app_cfg.h"

inline void ApplyFreedbProxy(CFreedbMgr& freedb)
{
    CAppCfg& cfg = GetAppCfg();
    if (cfg.GetUseProxy() != 2)
        return;
    CString port;
    port.Format("%d", cfg.GetProxyPort());
    freedb.SetProxyHost(cfg.GetProxyServer());
    freedb.SetProxyPort(port);
    freedb.SetProxyUser(cfg.GetProxyUser());
    freedb.SetProxyPassword(cfg.GetProxyPwd());
}
