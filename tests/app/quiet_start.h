// Settings under which the program starts in a test: the simulated drive's first device, the
// disc's own CD-Text, no local store or look-ups, no update check, more than one instance.
#pragma once

#include "foundation/settings/app_cfg.h"

inline void SetQuietStartSettings(BOOL bForceAspi)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetForceASPI(bForceAspi);
    cfg.SetCDDevice(0);
    cfg.SetUseLocalDB(FALSE);
    cfg.SetWriteCDPLAYERINI(FALSE);
    cfg.SetReadCDText(TRUE);
    cfg.SetSonoriaDBAutoSearch(FALSE);
    cfg.SetAutoSearchFreedb(FALSE);
    cfg.SetAutoCheckNewVersion(FALSE);
    cfg.SetAllowMultipleInstances(TRUE);
}
